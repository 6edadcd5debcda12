#include "platform/engine/qt/TestPageServer.h"
#include "platform/engine/qt/EngineResolverRules.h"

#include <gtest/gtest.h>

using platform::engine::qt::TestPageServer;

TEST(TestPageServer, TestHostRulesJoinSwitchesAlreadyGiven)
{
    EXPECT_EQ(TestPageServer::WithTestHostRules("", 4711),
        "--host-resolver-rules=\"MAP tests 127.0.0.1:4711\" --proxy-bypass-list=\"tests\"");
    EXPECT_EQ(TestPageServer::WithTestHostRules(
                  "--a --host-resolver-rules=\"MAP x ~NOTFOUND\" --proxy-bypass-list=*.lan --b", 80),
        "--a --host-resolver-rules=\"MAP tests 127.0.0.1:80,MAP x ~NOTFOUND\" "
        "--proxy-bypass-list=\"tests;*.lan\" "
        "--b");
    EXPECT_EQ(TestPageServer::MergeSwitch("--s=\"open", "s", "v", ','), "--s=\"v,open\"");
}

TEST(TestPageServer, FallThroughFindsTheTestHostAsTheEnginesOtherRulesWould)
{
    using platform::engine::qt::ResolverRoute;
    using platform::engine::qt::RouteByResolverRules;
    using Kind = ResolverRoute::Kind;
    struct Row { // NOLINT(clang-analyzer-optin.performance.Padding): a test table, in reading order
        const char* rules;
        const char* hostHeader;
        Kind kind;
        const char* host;
        int port;
    } rows[] = {
        { "", "tests", Kind::System, "tests", 80 },
        { "", "tests:8080", Kind::System, "tests", 8080 },
        { "MAP tests 127.0.0.1:4711", "tests", Kind::Mapped, "127.0.0.1", 4711 },
        { "MAP other x, MAP tests 127.0.0.1", "tests:8080", Kind::Mapped, "127.0.0.1", 8080 },
        { " MAP t?sts [::1]:99 ,MAP tests y", "tests", Kind::Mapped, "::1", 99 },
        { "MAP tests:8080 x:1", "tests", Kind::System, "tests", 80 },
        { "MAP tests:8080 x:1", "tests:8080", Kind::Mapped, "x", 1 },
        { "MAP * x:1, EXCLUDE tests", "tests", Kind::System, "tests", 80 },
        { "MAP tests ~NOTFOUND", "tests", Kind::NotFound, "tests", 80 },
        { "MAP tests", "tests:99999", Kind::System, "tests", 80 },
    };
    for (const Row& row : rows) {
        const ResolverRoute route = RouteByResolverRules(row.rules, row.hostHeader);
        EXPECT_EQ(route.kind, row.kind) << row.rules << " / " << row.hostHeader;
        EXPECT_EQ(route.host, row.host) << row.rules << " / " << row.hostHeader;
        EXPECT_EQ(route.port, row.port) << row.rules << " / " << row.hostHeader;
    }
}
