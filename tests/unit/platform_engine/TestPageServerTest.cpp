#include "platform/engine/qt/TestPageServer.h"

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
