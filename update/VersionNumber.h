#pragma once

#include <string>

// A program version of four dot-separated numbers; a plain copyable value.
class VersionNumber {
public:
    // Reads "%d.%d.%d.%d" scanf-style; parts the scan does not reach are 0 and
    // negative parts become 0. Text after the fourth number is ignored.
    VersionNumber& Parse(const std::string& text);
    bool IsLessThan(const VersionNumber& other) const;
    std::string ToString() const;

    int major = 0;
    int minor = 0;
    int build = 0;
    int revision = 0;
};

// The running program's version, from the build identity.
VersionNumber CurrentVersion();
