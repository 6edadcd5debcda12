#include "platform/os/linux/LinuxCharset.h"
#include "platform/os/linux/LinuxOsLayer.h"

#include <cerrno>
#include <clocale>
#include <cstring>
#include <iconv.h>
#include <langinfo.h>
#include <locale.h>

namespace platform::os {

namespace {

    // The character set of the user's locale, read without changing the process locale.
    const std::string& LocaleCharset()
    {
        static const std::string charset = [] {
            locale_t userLocale = newlocale(LC_CTYPE_MASK, "", static_cast<locale_t>(nullptr));
            if (!userLocale)
                return std::string("UTF-8");
            std::string name = nl_langinfo_l(CODESET, userLocale);
            freelocale(userLocale);
            // The C locale names plain ASCII, which says nothing about the names on disk;
            // the toolkit takes UTF-8 then, and so do we rather than lose every non-ASCII byte.
            if (name.empty() || name == "ANSI_X3.4-1968" || name == "ASCII")
                return std::string("UTF-8");
            return name;
        }();
        return charset;
    }

    bool IsUtf8(const std::string& charset)
    {
        return strcasecmp(charset.c_str(), "UTF-8") == 0 || strcasecmp(charset.c_str(), "UTF8") == 0;
    }

} // namespace

// Invalid or unconvertible input is replaced byte by byte with "?" so the
// conversion always ends.
std::string ConvertCharset(const std::string& text, const char* from, const char* to)
{
    iconv_t converter = iconv_open(to, from);
    if (converter == reinterpret_cast<iconv_t>(-1))
        return text;
    std::string result;
    char buffer[1024];
    char* in = const_cast<char*>(text.data());
    size_t inLeft = text.size();
    while (inLeft > 0) {
        char* out = buffer;
        size_t outLeft = sizeof(buffer);
        size_t done = iconv(converter, &in, &inLeft, &out, &outLeft);
        result.append(buffer, static_cast<size_t>(out - buffer));
        if (done != static_cast<size_t>(-1) || errno == E2BIG)
            continue;
        result += '?';
        ++in;
        --inLeft;
        iconv(converter, nullptr, nullptr, nullptr, nullptr);
    }
    char* out = buffer;
    size_t outLeft = sizeof(buffer);
    iconv(converter, nullptr, nullptr, &out, &outLeft);
    result.append(buffer, static_cast<size_t>(out - buffer));
    iconv_close(converter);
    return result;
}

std::string LinuxOsLayer::Utf8ToLocale(const std::string& text)
{
    const std::string& charset = LocaleCharset();
    if (IsUtf8(charset))
        return text;
    return ConvertCharset(text, "UTF-8", charset.c_str());
}

std::string LinuxOsLayer::LocaleToUtf8(const std::string& text)
{
    const std::string& charset = LocaleCharset();
    if (IsUtf8(charset))
        return text;
    return ConvertCharset(text, charset.c_str(), "UTF-8");
}

} // namespace platform::os
