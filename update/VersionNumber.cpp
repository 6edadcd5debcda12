#include "update/VersionNumber.h"

#include "base/BuildIdentity.h"
#include "platform/os/TextCodec.h"

#include <climits>
#include <cstddef>

namespace {

bool IsScanSpace(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r'; }

// One "%d" conversion: leading white space, an optional sign, at least one digit.
// Out-of-range values saturate instead of wrapping.
bool ScanInt(const std::string& text, size_t& pos, int& value)
{
    size_t at = pos;
    while (at < text.size() && IsScanSpace(text[at]))
        ++at;
    bool negative = false;
    if (at < text.size() && (text[at] == '+' || text[at] == '-')) {
        negative = text[at] == '-';
        ++at;
    }
    if (at >= text.size() || text[at] < '0' || text[at] > '9')
        return false;
    long long magnitude = 0;
    for (; at < text.size() && text[at] >= '0' && text[at] <= '9'; ++at) {
        if (magnitude <= static_cast<long long>(INT_MAX) + 1)
            magnitude = magnitude * 10 + (text[at] - '0');
    }
    long long signedValue = negative ? -magnitude : magnitude;
    if (signedValue > INT_MAX)
        signedValue = INT_MAX;
    if (signedValue < INT_MIN)
        signedValue = INT_MIN;
    value = static_cast<int>(signedValue);
    pos = at;
    return true;
}

} // namespace

VersionNumber& VersionNumber::Parse(const std::string& text)
{
    int* parts[] = { &major, &minor, &build, &revision };
    for (int* part : parts)
        *part = 0;

    size_t pos = 0;
    for (size_t index = 0; index < 4; ++index) {
        if (index > 0) {
            if (pos >= text.size() || text[pos] != '.')
                break;
            ++pos;
        }
        if (!ScanInt(text, pos, *parts[index]))
            break;
    }
    for (int* part : parts) {
        if (*part < 0)
            *part = 0;
    }
    return *this;
}

bool VersionNumber::IsLessThan(const VersionNumber& other) const
{
    if (major != other.major)
        return major < other.major;
    if (minor != other.minor)
        return minor < other.minor;
    if (build != other.build)
        return build < other.build;
    return revision < other.revision;
}

std::string VersionNumber::ToString() const
{
    return std::to_string(major) + "." + std::to_string(minor) + "." + std::to_string(build) + "."
        + std::to_string(revision);
}

VersionNumber CurrentVersion()
{
    VersionNumber version;
    version.Parse(platform::os::Utf16ToUtf8(EffectiveVersionText()));
    return version;
}
