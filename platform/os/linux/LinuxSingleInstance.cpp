#include "platform/os/linux/LinuxOsLayer.h"

#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <functional>
#include <mutex>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <thread>
#include <unistd.h>

namespace platform::os {

namespace {
    // What a later start sends; anything else is not a request.
    constexpr char kShowRequest[] = "zandrel show\n";
    constexpr std::size_t kShowRequestLength = sizeof(kShowRequest) - 1;
    // A connection that sends nothing is given up after this; it only delays the next one.
    constexpr int kRequestTimeoutMs = 1000;
    // How long a later start waits for the holder to have handled its request; a holder that
    // hangs must not keep it from saying so.
    constexpr int kHandledTimeoutMs = 5000;

    std::atomic<int> markerSocket { -1 };

    // A Windows-style "Global\" prefix names the machine-wide scope; the abstract namespace already is.
    // False when the name cannot be an abstract socket name.
    bool MarkerAddress(const std::string& name, sockaddr_un& address, socklen_t& length)
    {
        std::string markerName = name;
        const std::string globalPrefix = "Global\\";
        if (markerName.compare(0, globalPrefix.size(), globalPrefix) == 0)
            markerName.erase(0, globalPrefix.size());
        address = sockaddr_un {};
        address.sun_family = AF_UNIX;
        if (markerName.empty() || markerName.size() + 1 > sizeof(address.sun_path))
            return false;
        std::memcpy(address.sun_path + 1, markerName.data(), markerName.size());
        length = static_cast<socklen_t>(offsetof(sockaddr_un, sun_path) + 1 + markerName.size());
        return true;
    }

    // Only the same user's starts may bring the window forward.
    bool FromThisUser(int connection)
    {
        ucred credentials {};
        socklen_t size = sizeof(credentials);
        return getsockopt(connection, SOL_SOCKET, SO_PEERCRED, &credentials, &size) == 0
            && credentials.uid == geteuid();
    }

    // Reads at most the request's length, within the time limit; true for exactly the request.
    bool ReadsShowRequest(int connection)
    {
        char received[kShowRequestLength + 1];
        std::size_t count = 0;
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(kRequestTimeoutMs);
        while (count < sizeof(received)) {
            const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
                deadline - std::chrono::steady_clock::now())
                                  .count();
            pollfd wait { connection, POLLIN, 0 };
            if (left <= 0 || poll(&wait, 1, static_cast<int>(left)) <= 0)
                break;
            ssize_t got = read(connection, received + count, sizeof(received) - count);
            if (got < 0 && (errno == EINTR || errno == EAGAIN))
                continue;
            if (got <= 0)
                break;
            count += static_cast<std::size_t>(got);
        }
        return count == kShowRequestLength && std::memcmp(received, kShowRequest, kShowRequestLength) == 0;
    }

    // Accepts the connections to the marker one at a time on a thread of its own, so that
    // nothing a client does can hold up the program's windows.
    class MarkerListener {
    public:
        ~MarkerListener() { Stop(); }

        void Start(int listening, std::function<void()> onSignal)
        {
            std::lock_guard<std::mutex> guard(lock);
            StopLocked();
            stopEvent = eventfd(0, EFD_CLOEXEC);
            if (stopEvent < 0)
                return;
            thread = std::thread(
                [this, listening, onSignal = std::move(onSignal)] { Run(listening, onSignal); });
        }

        void Stop()
        {
            std::lock_guard<std::mutex> guard(lock);
            StopLocked();
        }

    private:
        void StopLocked()
        {
            if (!thread.joinable())
                return;
            const uint64_t one = 1;
            (void)!write(stopEvent, &one, sizeof(one));
            thread.join();
            close(stopEvent);
            stopEvent = -1;
        }

        void Run(int listening, const std::function<void()>& onSignal)
        {
            for (;;) {
                pollfd waits[2] = { { listening, POLLIN, 0 }, { stopEvent, POLLIN, 0 } };
                if (poll(waits, 2, -1) < 0) {
                    if (errno == EINTR)
                        continue;
                    return;
                }
                if (waits[1].revents)
                    return;
                if (waits[0].revents & (POLLERR | POLLHUP | POLLNVAL))
                    return;
                int connection = accept4(listening, nullptr, nullptr, SOCK_CLOEXEC | SOCK_NONBLOCK);
                if (connection < 0)
                    continue;
                // The later start waits for the close, so it goes on once the request was handled.
                if (FromThisUser(connection) && ReadsShowRequest(connection) && onSignal)
                    onSignal();
                close(connection);
            }
        }

        std::mutex lock;
        std::thread thread;
        int stopEvent = -1;
    };

    MarkerListener listener;
}

// The marker is a socket bound in the abstract namespace: it is visible to every
// user and session of the machine (within one network namespace) and the kernel
// releases the name when the process ends, however it ends. CLOEXEC keeps it out
// of the engine's sub-processes and of anything the program launches.
bool LinuxOsLayer::AcquireSingleInstanceMarker(const std::string& name)
{
    if (markerSocket >= 0)
        return true;
    sockaddr_un address;
    socklen_t length;
    if (!MarkerAddress(name, address, length))
        return false;
    int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0)
        return false;
    if (bind(fd, reinterpret_cast<sockaddr*>(&address), length) != 0) {
        close(fd);
        return false;
    }
    // Later starts connect to it to ask for the window; the name alone is the marker.
    listen(fd, 8);
    markerSocket = fd;
    return true;
}

void LinuxOsLayer::ReleaseSingleInstanceMarker()
{
    listener.Stop();
    if (markerSocket < 0)
        return;
    close(markerSocket);
    markerSocket = -1;
}

void LinuxOsLayer::ListenOnSingleInstanceMarker(std::function<void()> onSignal)
{
    if (markerSocket >= 0)
        listener.Start(markerSocket, std::move(onSignal));
}

void LinuxOsLayer::StopListeningOnSingleInstanceMarker() { listener.Stop(); }

bool LinuxOsLayer::SignalSingleInstanceMarker(const std::string& name)
{
    sockaddr_un address;
    socklen_t length;
    if (!MarkerAddress(name, address, length))
        return false;
    // Non-blocking: a holder that does not accept (a stranger, or one whose queue is full)
    // must not keep this start waiting.
    int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    if (fd < 0)
        return false;
    bool sent = connect(fd, reinterpret_cast<sockaddr*>(&address), length) == 0
        && send(fd, kShowRequest, kShowRequestLength, MSG_NOSIGNAL)
            == static_cast<ssize_t>(kShowRequestLength);
    if (sent) {
        // The request ends here, which the holder reads as its end; the holder answers nothing
        // and closes the connection once it has handled the request.
        shutdown(fd, SHUT_WR);
        pollfd handled { fd, POLLIN, 0 };
        while (poll(&handled, 1, kHandledTimeoutMs) < 0 && errno == EINTR) { }
    }
    close(fd);
    return sent;
}

} // namespace platform::os
