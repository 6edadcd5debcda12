#include "platform/os/linux/LinuxOsLayer.h"

#include <climits>
#include <unistd.h>

namespace platform::os {

std::string LinuxOsLayer::ExecutablePath()
{
    char buffer[PATH_MAX + 1] = {};
    ssize_t length = readlink("/proc/self/exe", buffer, PATH_MAX);
    if (length <= 0)
        return {};
    return std::string(buffer, static_cast<size_t>(length));
}

} // namespace platform::os
