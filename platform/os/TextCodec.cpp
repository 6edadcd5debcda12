#include "platform/os/TextCodec.h"

#include <QString>

namespace platform::os {

std::u16string Utf8ToUtf16(const std::string& text)
{
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())).toStdU16String();
}

std::string Utf16ToUtf8(const std::u16string& text) { return QString::fromStdU16String(text).toStdString(); }

} // namespace platform::os
