#include "base/TextConversion.h"

#include <cstdint>
#include <limits>

namespace {

struct LeadingNumber {
    bool negative = false;
    std::uint64_t magnitude = 0;
};

bool IsSpace(char16_t c)
{
    return c == u' ' || c == u'\t' || c == u'\n' || c == u'\r' || c == u'\v' || c == u'\f';
}

LeadingNumber ParseLeadingNumber(const std::u16string& text)
{
    LeadingNumber number;
    std::size_t i = 0;
    while (i < text.size() && IsSpace(text[i]))
        ++i;
    if (i < text.size() && (text[i] == u'+' || text[i] == u'-')) {
        number.negative = text[i] == u'-';
        ++i;
    }
    // Anything past 2^32 is out of range for every caller, so stop counting there.
    constexpr std::uint64_t kCap = std::uint64_t(1) << 33;
    for (; i < text.size() && text[i] >= u'0' && text[i] <= u'9'; ++i) {
        number.magnitude = number.magnitude * 10 + static_cast<std::uint64_t>(text[i] - u'0');
        if (number.magnitude > kCap)
            number.magnitude = kCap;
    }
    return number;
}

} // namespace

bool TextToBool(const std::u16string& text) { return TextToInt(text, 0) > 0; }

int TextToInt(const std::u16string& text, int defaultValue)
{
    if (text.empty())
        return defaultValue;
    const LeadingNumber number = ParseLeadingNumber(text);
    const std::int64_t value = number.negative ? -static_cast<std::int64_t>(number.magnitude)
                                               : static_cast<std::int64_t>(number.magnitude);
    if (value > std::numeric_limits<int>::max())
        return std::numeric_limits<int>::max();
    if (value < std::numeric_limits<int>::min())
        return std::numeric_limits<int>::min();
    return static_cast<int>(value);
}

unsigned int TextToUInt(const std::u16string& text)
{
    const LeadingNumber number = ParseLeadingNumber(text);
    if (number.magnitude > std::numeric_limits<unsigned int>::max())
        return std::numeric_limits<unsigned int>::max();
    const auto value = static_cast<unsigned int>(number.magnitude);
    return number.negative ? 0u - value : value;
}

std::u16string UIntToText(unsigned int value)
{
    std::u16string digits;
    do {
        digits.insert(digits.begin(), static_cast<char16_t>(u'0' + value % 10));
        value /= 10;
    } while (value != 0);
    return digits;
}
