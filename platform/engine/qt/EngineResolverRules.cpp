#include "platform/engine/qt/EngineResolverRules.h"

#include <cstdlib>
#include <fnmatch.h>
#include <sstream>
#include <vector>

namespace platform::engine::qt {

namespace {
    constexpr int kHttpPort = 80;

    struct HostPort {
        std::string host;
        int port = 0;
    };

    // "name", "name:port", "[v6]" or "[v6]:port"; a missing or unreadable port is fallback.
    HostPort SplitHostPort(const std::string& text, int fallback)
    {
        HostPort split { text, fallback };
        size_t colon = std::string::npos;
        if (!text.empty() && text.front() == '[') {
            const size_t close = text.find(']');
            if (close == std::string::npos)
                return split;
            split.host = text.substr(1, close - 1);
            if (close + 1 < text.size() && text[close + 1] == ':')
                colon = close + 1;
        } else {
            colon = text.rfind(':');
            if (colon != std::string::npos && text.find(':') != colon)
                return split;
            if (colon != std::string::npos)
                split.host = text.substr(0, colon);
        }
        if (colon != std::string::npos) {
            const int port = std::atoi(text.c_str() + colon + 1);
            split.port = port > 0 && port <= 65535 ? port : fallback;
        }
        return split;
    }

    bool Matches(const std::string& pattern, const HostPort& target)
    {
        const std::string withPort = target.host + ":" + std::to_string(target.port);
        return fnmatch(pattern.c_str(), target.host.c_str(), FNM_CASEFOLD) == 0
            || fnmatch(pattern.c_str(), withPort.c_str(), FNM_CASEFOLD) == 0;
    }

    std::vector<std::vector<std::string>> ParseRules(const std::string& rules)
    {
        std::vector<std::vector<std::string>> parsed;
        std::stringstream list(rules);
        std::string rule;
        while (std::getline(list, rule, ',')) {
            std::stringstream words(rule);
            std::vector<std::string> parts;
            for (std::string word; words >> word;)
                parts.push_back(word);
            if (!parts.empty())
                parsed.push_back(std::move(parts));
        }
        return parsed;
    }
}

ResolverRoute RouteByResolverRules(const std::string& rules, const std::string& hostAndPort)
{
    const HostPort target = SplitHostPort(hostAndPort, kHttpPort);
    ResolverRoute route;
    route.host = target.host;
    route.port = target.port;
    const auto parsed = ParseRules(rules);
    // Exclusions win over every mapping; among mappings the first that applies counts.
    for (const auto& parts : parsed) {
        if (parts.size() == 2 && parts[0] == "EXCLUDE" && Matches(parts[1], target))
            return route;
    }
    for (const auto& parts : parsed) {
        if (parts.size() != 3 || parts[0] != "MAP" || !Matches(parts[1], target))
            continue;
        if (parts[2] == "~NOTFOUND") {
            route.kind = ResolverRoute::Kind::NotFound;
            return route;
        }
        const HostPort replacement = SplitHostPort(parts[2], target.port);
        route.kind = ResolverRoute::Kind::Mapped;
        route.host = replacement.host;
        route.port = replacement.port;
        return route;
    }
    return route;
}

} // namespace platform::engine::qt
