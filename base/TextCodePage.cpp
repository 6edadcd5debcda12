#include "base/TextCodePage.h"

#include "platform/os/OsLayer.h"

namespace {

std::string UpToFirstZero(std::string text)
{
    auto zero = text.find('\0');
    if (zero != std::string::npos)
        text.erase(zero);
    return text;
}

} // namespace

std::string Utf8ToAnsi(const std::string& text)
{
    return UpToFirstZero(platform::os::Os().Utf8ToLocale(text));
}

std::string AnsiToUtf8(const std::string& text)
{
    return UpToFirstZero(platform::os::Os().LocaleToUtf8(text));
}
