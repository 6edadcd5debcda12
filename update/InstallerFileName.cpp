#include "update/InstallerFileName.h"

#include <cstring>

namespace {

constexpr size_t kLongestName = 128;

int HexValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

// A "%" that starts no escape stays as it is, as a browser leaves it.
std::string PercentDecoded(const std::string& text)
{
    std::string bytes;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '%' && i + 2 < text.size() && HexValue(text[i + 1]) >= 0
            && HexValue(text[i + 2]) >= 0) {
            bytes += static_cast<char>(HexValue(text[i + 1]) * 16 + HexValue(text[i + 2]));
            i += 2;
        } else {
            bytes += text[i];
        }
    }
    return bytes;
}

// The code point of the UTF-8 sequence at text[at], advancing at; -1 for anything but the
// shortest form of a scalar value.
long NextCodePoint(const std::string& text, size_t& at)
{
    const auto lead = static_cast<unsigned char>(text[at++]);
    if (lead < 0x80)
        return lead;
    int length = lead >= 0xF0 ? 3 : lead >= 0xE0 ? 2 : lead >= 0xC0 ? 1 : -1;
    if (length < 0 || lead > 0xF4)
        return -1;
    long code = lead & (0x3F >> length);
    for (int i = 0; i < length; ++i) {
        if (at >= text.size() || (static_cast<unsigned char>(text[at]) & 0xC0) != 0x80)
            return -1;
        code = (code << 6) | (static_cast<unsigned char>(text[at++]) & 0x3F);
    }
    static const long kSmallest[] = { 0, 0x80, 0x800, 0x10000 };
    if (code < kSmallest[length] || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF))
        return -1;
    return code;
}

} // namespace

bool IsPlainInstallerName(const std::string& name)
{
    if (name.empty() || name.size() > kLongestName || name[0] == '.' || name[0] == '-')
        return false;
    for (size_t at = 0; at < name.size();) {
        const long code = NextCodePoint(name, at);
        if (code < 0x20 || (code >= 0x7F && code <= 0x9F))
            return false;
        if (code < 0x80 && std::strchr("/\\\"<>|:*?", static_cast<int>(code)))
            return false;
    }
    return true;
}

std::optional<std::string> InstallerFileName(const std::string& address)
{
    const size_t slash = address.find_last_of("/\\");
    std::string name = PercentDecoded(slash == std::string::npos ? address : address.substr(slash + 1));
    if (!IsPlainInstallerName(name))
        return std::nullopt;
    return name;
}
