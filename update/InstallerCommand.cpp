#include "update/InstallerCommand.h"

#include <cstring>
#include <fstream>

namespace {
constexpr char kDebianPackageStart[] = "!<arch>\ndebian-binary   ";
}

bool IsDebianPackage(const std::string& path)
{
    constexpr size_t length = sizeof(kDebianPackageStart) - 1;
    char start[length] = {};
    std::ifstream in(path, std::ios::binary);
    return in.read(start, length) && std::memcmp(start, kDebianPackageStart, length) == 0;
}

std::vector<std::string> InstallerCommand(const std::string& copy)
{
    if (IsDebianPackage(copy))
        return { "/usr/bin/env", "DEBIAN_FRONTEND=noninteractive", "/usr/bin/apt-get", "install", "-y",
            "--no-remove", copy };
    return { copy };
}
