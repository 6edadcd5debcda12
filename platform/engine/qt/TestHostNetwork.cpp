#include "platform/engine/qt/TestHostNetwork.h"

#include "platform/engine/CefResource.h"
#include "platform/engine/qt/EngineResolverRules.h"

#include <arpa/inet.h>
#include <httplib.h>
#include <memory>
#include <mutex>
#include <netdb.h>
#include <string>
#include <strings.h>

namespace platform::engine::qt {

namespace {
    constexpr int kTimeoutSeconds = 10;
    // A page larger than this is cut off rather than held in memory.
    constexpr size_t kMaxBodyBytes = size_t(64) * 1024 * 1024;

    std::mutex rulesLock;
    std::string engineRules;

    std::string Rules()
    {
        std::lock_guard<std::mutex> guard(rulesLock);
        return engineRules;
    }

    std::string Resolve(const std::string& name)
    {
        addrinfo hints {};
        hints.ai_family = AF_UNSPEC;
        hints.ai_socktype = SOCK_STREAM;
        addrinfo* found = nullptr;
        if (getaddrinfo(name.c_str(), nullptr, &hints, &found) != 0 || !found)
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

    // Header names are case-insensitive, and servers send them in any case.
    bool IsHopHeader(const std::string& name)
    {
        // The client asks for the encodings it decodes itself and hands on the decoded body.
        static const char* const kHop[]
            = { "LOCAL_ADDR", "LOCAL_PORT", "REMOTE_ADDR", "REMOTE_PORT", "Connection", "Keep-Alive",
                  "Transfer-Encoding", "Content-Length", "Accept-Encoding", "Content-Encoding" };
        for (const char* hop : kHop) {
            if (strcasecmp(name.c_str(), hop) == 0)
                return true;
        }
        return strncasecmp(name.c_str(), "X-Zandrel-Test-", 15) == 0;
    }
}

std::string NetworkErrorText(cef_errorcode_t error)
{
    return error == ERR_NAME_NOT_RESOLVED ? "net::ERR_NAME_NOT_RESOLVED" : "net::ERR_CONNECTION_FAILED";
}

void UseEngineResolverRules(const std::string& rules)
{
    std::lock_guard<std::mutex> guard(rulesLock);
    engineRules = rules;
}

cef_errorcode_t FetchFromTestHostNetwork(const httplib::Request& request, httplib::Response& response)
{
    const std::string hostHeader = request.get_header_value("Host");
    const ResolverRoute route
        = RouteByResolverRules(Rules(), hostHeader.empty() ? kBuiltInTestHost : hostHeader);
    if (route.kind == ResolverRoute::Kind::NotFound)
        return ERR_NAME_NOT_RESOLVED;
    const std::string address = Resolve(route.host);
    if (address.empty())
        return ERR_NAME_NOT_RESOLVED;
    httplib::Client client(address, route.port);
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
