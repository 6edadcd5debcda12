#include "config/XmlUtf8.h"

#include <cstdint>
#include <cstring>

std::u16string XmlDecodeUtf8(const char* bytes, std::size_t size)
{
    // Never more units than bytes: write into a buffer of that size and cut it at the end.
    std::u16string out(size, u'\0');
    char16_t* o = out.data();
    const auto* p = reinterpret_cast<const unsigned char*>(bytes);
    const unsigned char* end = p + size;
    while (p < end) {
        // Plain ASCII without zero bytes, eight bytes at a time: the bulk of every document.
        constexpr std::uint64_t kHigh = 0x8080808080808080ull;
        constexpr std::uint64_t kOnes = 0x0101010101010101ull;
        std::uint64_t word;
        if (end - p >= 8
            && (std::memcpy(&word, p, 8), (word & kHigh) == 0 && ((word - kOnes) & kHigh) == 0)) {
            for (int k = 0; k < 8; ++k)
                o[k] = p[k];
            p += 8;
            o += 8;
            continue;
        }
        const unsigned char lead = *p;
        if (lead < 0x80) {
            if (lead == 0)
                break;
            *o++ = lead;
            ++p;
            continue;
        }
        int extra;
        char32_t code;
        char32_t minimum;
        if (lead >= 0xC2 && lead <= 0xDF) {
            extra = 1, code = lead & 0x1F, minimum = 0x80;
        } else if (lead >= 0xE0 && lead <= 0xEF) {
            extra = 2, code = lead & 0x0F, minimum = 0x800;
        } else if (lead >= 0xF0 && lead <= 0xF4) {
            extra = 3, code = lead & 0x07, minimum = 0x10000;
        } else {
            *o++ = u'?';
            ++p;
            continue;
        }
        if (end - p <= extra) {
            // The file ends inside the sequence: drop it when what is there is well begun.
            bool continuation = true;
            for (const unsigned char* q = p + 1; q < end; ++q)
                continuation = continuation && (*q & 0xC0) == 0x80;
            if (continuation)
                break;
        }
        int taken = 0;
        while (taken < extra && p + 1 + taken < end && (p[1 + taken] & 0xC0) == 0x80) {
            code = (code << 6) | (p[1 + taken] & 0x3F);
            ++taken;
        }
        // Overlong forms, encoded surrogates and values past U+10FFFF are as invalid as broken ones.
        if (taken < extra || code < minimum || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) {
            *o++ = u'?';
            ++p;
            continue;
        }
        p += 1 + extra;
        if (code >= 0x10000) {
            code -= 0x10000;
            *o++ = static_cast<char16_t>(0xD800 + (code >> 10));
            *o++ = static_cast<char16_t>(0xDC00 + (code & 0x3FF));
        } else {
            *o++ = static_cast<char16_t>(code);
        }
    }
    out.resize(static_cast<std::size_t>(o - out.data()));
    return out;
}

std::string XmlEncodeUtf8(const std::u16string& text)
{
    std::string out;
    out.reserve(text.size() + text.size() / 2);
    const std::size_t n = text.size();
    for (std::size_t i = 0; i < n; ++i) {
        char32_t code = text[i];
        if (code < 0x80) {
            out.push_back(static_cast<char>(code));
            continue;
        }
        if (code >= 0xD800 && code <= 0xDFFF) {
            if (code <= 0xDBFF && i + 1 < n && text[i + 1] >= 0xDC00 && text[i + 1] <= 0xDFFF) {
                code = 0x10000 + ((code - 0xD800) << 10) + (text[i + 1] - 0xDC00);
                ++i;
            } else {
                out.push_back('?');
                continue;
            }
        }
        if (code < 0x800) {
            out.push_back(static_cast<char>(0xC0 | (code >> 6)));
        } else if (code < 0x10000) {
            out.push_back(static_cast<char>(0xE0 | (code >> 12)));
            out.push_back(static_cast<char>(0x80 | ((code >> 6) & 0x3F)));
        } else {
            out.push_back(static_cast<char>(0xF0 | (code >> 18)));
            out.push_back(static_cast<char>(0x80 | ((code >> 12) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | ((code >> 6) & 0x3F)));
        }
        out.push_back(static_cast<char>(0x80 | (code & 0x3F)));
    }
    return out;
}
