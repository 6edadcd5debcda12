#include "platform/engine/qt/TestHostNetwork.h"

#include "platform/engine/CefResource.h"

#include <arpa/inet.h>
#include <httplib.h>
#include <memory>
#include <netdb.h>
#include <string>

namespace platform::engine::qt {

namespace {
    constexpr int kTimeoutSeconds = 10;
    // A page larger than this is cut off rather than held in memory.
    constexpr size_t kMaxBodyBytes = 64 * 1024 * 1024;

    std::string ResolveTestHost()
    {
        addrinfo hints {};
        hints.ai_family = AF_UNSPEC;
        hints.ai_socktype = SOCK_STREAM;
        addrinfo* found = nullptr;
        if (getaddrinfo(kBuiltInTestHost, "80", &hints, &found) != 0 || !found)
            return std::string();
        std::unique_ptr<addrinfo, decltype(&freeaddrinfo)> owner(found, freeaddrinfo);
        char text[INET6_ADDRSTRLEN] = {};
        const void* address = found->ai_family == AF_INET6
            ? static_cast<const void*>(&reinterpret_cast<const sockaddr_in6*>(found->ai_addr)->sin6_addr)
            : static_cast<const void*>(&reinterpret_cast<const sockaddr_in*>(found->ai_addr)->sin_addr);
        if (!inet_ntop(found->ai_family, address, text, sizeof text))
            return std::string();
        return text;
    }

    bool IsHopHeader(const std::string& name)
    {
        return name == "LOCAL_ADDR" || name == "LOCAL_PORT" || name == "REMOTE_ADDR" || name == "REMOTE_PORT"
            || name == "Connection" || name == "Keep-Alive" || name == "Transfer-Encoding"
            || name == "Content-Length" || name.rfind("X-Zandrel-Test-", 0) == 0;
    }
}

std::string NetworkErrorText(cef_errorcode_t error)
{
    return error == ERR_NAME_NOT_RESOLVED ? "net::ERR_NAME_NOT_RESOLVED" : "net::ERR_CONNECTION_FAILED";
}

cef_errorcode_t FetchFromTestHostNetwork(const httplib::Request& request, httplib::Response& response)
{
    const std::string address = ResolveTestHost();
    if (address.empty())
        return ERR_NAME_NOT_RESOLVED;
    httplib::Client client(address, 80);
    client.set_connection_timeout(kTimeoutSeconds, 0);
    client.set_read_timeout(kTimeoutSeconds, 0);
    client.set_write_timeout(kTimeoutSeconds, 0);

    httplib::Request forwarded;
    forwarded.method = request.method;
    forwarded.path = request.target;
    for (const auto& [name, value] : request.headers) {
        if (!IsHopHeader(name))
            forwarded.headers.emplace(name, value);
    }
    forwarded.body = request.body;
    std::string body;
    forwarded.content_receiver = [&body](const char* data, size_t length, uint64_t, uint64_t) {
        if (body.size() + length > kMaxBodyBytes)
            return false;
        body.append(data, length);
        return true;
    };
    const httplib::Result result = client.send(forwarded);
    if (!result)
        return ERR_CONNECTION_FAILED;
    response.status = result->status;
    for (const auto& [name, value] : result->headers) {
        if (!IsHopHeader(name))
            response.set_header(name.c_str(), value);
    }
    response.body = std::move(body);
    return ERR_NONE;
}

} // namespace platform::engine::qt
