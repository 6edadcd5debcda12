#pragma once

#include <string>

namespace platform::engine::qt {

// Where the engine's resolver rules (the value of its "host-resolver-rules" switch: MAP and
// EXCLUDE rules, comma-separated) send a host, read the way the engine reads them.
struct ResolverRoute {
    enum class Kind { System, Mapped, NotFound };
    // System: no rule applies and the system's resolver decides.
    Kind kind = Kind::System;
    std::string host;
    int port = 0;
};

// hostAndPort is a request's Host header: "name" (port 80) or "name:port".
ResolverRoute RouteByResolverRules(const std::string& rules, const std::string& hostAndPort);

} // namespace platform::engine::qt
