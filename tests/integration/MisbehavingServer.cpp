#include "MisbehavingServer.h"

#include <arpa/inet.h>
#include <chrono>
#include <netinet/in.h>
#include <poll.h>
#include <random>
#include <sys/socket.h>
#include <unistd.h>

namespace {

bool SendAll(int connection, const std::string& data)
{
    size_t sent = 0;
    while (sent < data.size()) {
        ssize_t n = ::send(connection, data.data() + sent, data.size() - sent, MSG_NOSIGNAL);
        if (n <= 0)
            return false;
        sent += static_cast<size_t>(n);
    }
    return true;
}

void ReadRequestHead(int connection)
{
    std::string head;
    char buffer[1024];
    while (head.find("\r\n\r\n") == std::string::npos) {
        pollfd readable { connection, POLLIN, 0 };
        if (::poll(&readable, 1, 5000) <= 0)
            return;
        ssize_t n = ::recv(connection, buffer, sizeof buffer, 0);
        if (n <= 0)
            return;
        head.append(buffer, static_cast<size_t>(n));
    }
}

std::string HugeJson()
{
    std::string body = R"({"result":"0","version":"1.0.0.0","new_version":"1.0.0.0","min_version":"1.0.0.0",)"
                       R"("version_name":"n","version_url":"","padding":[)";
    const std::string item = R"("0123456789abcdef0123456789abcdef0123456789abcdef0123456789abcdef",)";
    while (body.size() < 50u * 1024 * 1024)
        body += item;
    body += "\"end\"]}";
    return body;
}

} // namespace

MisbehavingServer::MisbehavingServer(Fault fault)
    : fault(fault)
{
    listener = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address {};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    ::bind(listener, reinterpret_cast<sockaddr*>(&address), sizeof address);
    ::listen(listener, 16);
    socklen_t length = sizeof address;
    ::getsockname(listener, reinterpret_cast<sockaddr*>(&address), &length);
    port = ntohs(address.sin_port);
    acceptor = std::thread([this] {
        while (!stopping) {
            pollfd readable { listener, POLLIN, 0 };
            if (::poll(&readable, 1, 100) <= 0)
                continue;
            int connection = ::accept4(listener, nullptr, nullptr, SOCK_CLOEXEC);
            if (connection >= 0)
                connections.emplace_back([this, connection] { Serve(connection); });
        }
    });
}

MisbehavingServer::~MisbehavingServer()
{
    stopping = true;
    acceptor.join();
    for (std::thread& connection : connections)
        connection.join();
    ::close(listener);
}

std::string MisbehavingServer::Url(const std::string& path) const
{
    return "http://127.0.0.1:" + std::to_string(port) + path;
}

void MisbehavingServer::Serve(int connection)
{
    ReadRequestHead(connection);
    ++requests;
    switch (fault) {
    case Fault::Garbage: {
        std::mt19937 random(7);
        std::string body(4096, '\0');
        for (char& c : body)
            c = static_cast<char>(random());
        SendAll(connection,
            "HTTP/1.1 200 OK\r\nContent-Type: application/json\r\nContent-Length: "
                + std::to_string(body.size()) + "\r\nConnection: close\r\n\r\n" + body);
        break;
    }
    case Fault::HugeJson: {
        const std::string body = HugeJson();
        SendAll(connection,
            "HTTP/1.1 200 OK\r\nContent-Type: application/json\r\nContent-Length: "
                + std::to_string(body.size()) + "\r\nConnection: close\r\n\r\n" + body);
        break;
    }
    case Fault::DeeplyNestedJson: {
        const std::string body
            = R"({"version":"1","x":)" + std::string(1000, '[') + std::string(1000, ']') + "}";
        SendAll(connection,
            "HTTP/1.1 200 OK\r\nContent-Type: application/json\r\nContent-Length: "
                + std::to_string(body.size()) + "\r\nConnection: close\r\n\r\n" + body);
        break;
    }
    case Fault::EndlessSlowBody:
        if (SendAll(
                connection, "HTTP/1.1 200 OK\r\nContent-Type: application/json\r\n\r\n{\"result\":\"0\","))
            while (!stopping && SendAll(connection, " "))
                std::this_thread::sleep_for(std::chrono::milliseconds(100));
        break;
    case Fault::CloseAtOnce:
        break;
    }
    ::close(connection);
}
