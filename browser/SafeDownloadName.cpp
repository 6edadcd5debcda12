#include "browser/SafeDownloadName.h"

#include "platform/os/TextCodec.h"

namespace {

// Longer "extensions" are part of the name, cut like the rest.
constexpr size_t kMaxExtensionBytes = 32;

bool IsControl(char16_t c)
{
    // C0, DEL and C1, and the direction overrides that make "evil<U+202E>txt.sh" show as "evilhs.txt".
    return c < 0x20 || (c >= 0x7F && c <= 0x9F) || (c >= 0x202A && c <= 0x202E)
        || (c >= 0x2066 && c <= 0x2069);
}

// Cuts text to at most bytes without splitting a UTF-8 sequence.
std::string CutUtf8(const std::string& text, size_t bytes)
{
    if (text.size() <= bytes)
        return text;
    size_t end = bytes;
    while (end > 0 && (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80)
        --end;
    return text.substr(0, end);
}

} // namespace

std::string SafeDownloadName(const std::u16string& suggestedName)
{
    const size_t separator = suggestedName.find_last_of(u"/\\");
    const std::u16string segment
        = separator == std::u16string::npos ? suggestedName : suggestedName.substr(separator + 1);
    std::u16string kept;
    for (char16_t c : segment) {
        if (!IsControl(c))
            kept += c;
    }
    const size_t start = kept.find_first_not_of(u". ");
    std::string name
        = start == std::u16string::npos ? std::string() : platform::os::Utf16ToUtf8(kept.substr(start));
    if (name.size() > kMaxDownloadNameBytes) {
        const size_t dot = name.rfind('.');
        const std::string extension = dot != std::string::npos && name.size() - dot <= kMaxExtensionBytes
            ? name.substr(dot)
            : std::string();
        name = CutUtf8(
                   name.substr(0, name.size() - extension.size()), kMaxDownloadNameBytes - extension.size())
            + extension;
    }
    return name.empty() ? "download" : name;
}
