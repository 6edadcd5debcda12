#include "platform/engine/CefCommandLine.h"

#include <gtest/gtest.h>

using platform::engine::CefCommandLine;

TEST(CefCommandLineTest, ReadsSwitchesWithAndWithoutValues)
{
    auto commandLine = CefCommandLine::CreateCommandLine();
    commandLine->InitFromArgv({ "/opt/zandrel/zandrel", "--url=http://host/a?b=c=d",
        "-mouse-cursor-change-disabled", "plain", "--empty=", "--", "--not-a-switch" });
    EXPECT_EQ(commandLine->GetProgram(), "/opt/zandrel/zandrel");
    EXPECT_TRUE(commandLine->HasSwitch("url"));
    // Only the first "=" separates name and value.
    EXPECT_EQ(commandLine->GetSwitchValue("url"), "http://host/a?b=c=d");
    EXPECT_TRUE(commandLine->HasSwitch("mouse-cursor-change-disabled"));
    EXPECT_EQ(commandLine->GetSwitchValue("mouse-cursor-change-disabled"), "");
    EXPECT_TRUE(commandLine->HasSwitch("empty"));
    EXPECT_EQ(commandLine->GetSwitchValue("empty"), "");
    EXPECT_FALSE(commandLine->HasSwitch("not-a-switch"));
    EXPECT_EQ(commandLine->GetArguments(), (std::vector<std::string> { "plain", "--not-a-switch" }));
}

TEST(CefCommandLineTest, MalformedItemsAreArgumentsNotSwitches)
{
    auto commandLine = CefCommandLine::CreateCommandLine();
    commandLine->InitFromArgv({ "prog", "-", "--=value", "" });
    EXPECT_FALSE(commandLine->HasSwitch(""));
    EXPECT_EQ(commandLine->GetArguments().size(), 3u);
    commandLine->InitFromArgv({});
    EXPECT_EQ(commandLine->GetProgram(), "");
    EXPECT_FALSE(commandLine->HasSwitch("url"));
}

TEST(CefCommandLineTest, GlobalCommandLineFollowsTheProcessArguments)
{
    CefCommandLine::InitGlobalCommandLine({ "prog", "--url=https://example.test/" });
    EXPECT_EQ(CefCommandLine::GetGlobalCommandLine()->GetSwitchValue("url"), "https://example.test/");
    CefCommandLine::InitGlobalCommandLine({ "prog" });
    EXPECT_FALSE(CefCommandLine::GetGlobalCommandLine()->HasSwitch("url"));
}
