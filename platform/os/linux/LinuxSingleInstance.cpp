#include "platform/os/linux/LinuxOsLayer.h"

#include <cstddef>
#include <cstring>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

namespace platform::os {

namespace {
    int markerSocket = -1;
}

// The marker is a socket bound in the abstract namespace: it is visible to every
// user and session of the machine (within one network namespace) and the kernel
// releases the name when the process ends, however it ends. CLOEXEC keeps it out
// of the engine's sub-processes and of anything the program launches.
bool LinuxOsLayer::AcquireSingleInstanceMarker(const std::string& name)
{
    if (markerSocket >= 0)
        return true;

    // A Windows-style "Global\" prefix names the machine-wide scope; the abstract namespace already is.
    std::string markerName = name;
    const std::string globalPrefix = "Global\\";
    if (markerName.compare(0, globalPrefix.size(), globalPrefix) == 0)
        markerName.erase(0, globalPrefix.size());

    sockaddr_un address {};
    address.sun_family = AF_UNIX;
    if (markerName.empty() || markerName.size() + 1 > sizeof(address.sun_path))
        return false;
    std::memcpy(address.sun_path + 1, markerName.data(), markerName.size());
    socklen_t length = static_cast<socklen_t>(offsetof(sockaddr_un, sun_path) + 1 + markerName.size());

    int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0)
        return false;
    if (bind(fd, reinterpret_cast<sockaddr*>(&address), length) != 0) {
        close(fd);
        return false;
    }
    markerSocket = fd;
    return true;
}

void LinuxOsLayer::ReleaseSingleInstanceMarker()
{
    if (markerSocket < 0)
        return;
    close(markerSocket);
    markerSocket = -1;
}

} // namespace platform::os
