#include "update/Base64.h"

namespace {

const char kAlphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";

int DigitValue(char c)
{
    if (c >= 'A' && c <= 'Z')
        return c - 'A';
    if (c >= 'a' && c <= 'z')
        return c - 'a' + 26;
    if (c >= '0' && c <= '9')
        return c - '0' + 52;
    if (c == '+')
        return 62;
    if (c == '/')
        return 63;
    return -1;
}

} // namespace

std::string Base64Encode(const std::string& bytes)
{
    std::string text;
    text.reserve((bytes.size() + 2) / 3 * 4);
    size_t i = 0;
    for (; i + 2 < bytes.size(); i += 3) {
        unsigned value = static_cast<unsigned char>(bytes[i]) << 16
            | static_cast<unsigned char>(bytes[i + 1]) << 8 | static_cast<unsigned char>(bytes[i + 2]);
        text += kAlphabet[value >> 18 & 63];
        text += kAlphabet[value >> 12 & 63];
        text += kAlphabet[value >> 6 & 63];
        text += kAlphabet[value & 63];
    }
    size_t rest = bytes.size() - i;
    if (rest > 0) {
        unsigned value = static_cast<unsigned char>(bytes[i]) << 16;
        if (rest == 2)
            value |= static_cast<unsigned char>(bytes[i + 1]) << 8;
        text += kAlphabet[value >> 18 & 63];
        text += kAlphabet[value >> 12 & 63];
        text += rest == 2 ? kAlphabet[value >> 6 & 63] : '=';
        text += '=';
    }
    return text;
}

bool Base64Decode(const std::string& text, std::string& bytes)
{
    std::string decoded;
    unsigned buffer = 0;
    int bits = 0;
    for (char c : text) {
        if (c == '=')
            break;
        if (c == ' ' || c == '\t' || c == '\r' || c == '\n')
            continue;
        int digit = DigitValue(c);
        if (digit < 0)
            return false;
        buffer = (buffer << 6 | static_cast<unsigned>(digit)) & 0xFFFFFF;
        bits += 6;
        if (bits >= 8) {
            bits -= 8;
            decoded += static_cast<char>(buffer >> bits & 0xFF);
        }
    }
    bytes = decoded;
    return true;
}
