#include "config/AutoStartRegistrar.h"

#include "fakes/os/FakeOsLayer.h"
#include "platform/os/OsLayer.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <sstream>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;

TEST(AutoStartRegistrar, RegistersTheRunningExecutableUnderItsName)
{
    FakeOsLayerScope os;
    os.fake.executablePath = "/opt/live client/zandrel";
    AutoStartRegistrar registrar;
    registrar.SetAutoStart();
    registrar.SetAutoStart();
    EXPECT_EQ(os.fake.autostartEntries,
        (std::map<std::string, std::string> { { "Zandrel", "/opt/live client/zandrel" } }));
    registrar.RemoveAutoStart();
    registrar.RemoveAutoStart();
    EXPECT_TRUE(os.fake.autostartEntries.empty());

    // Without a known executable there is nothing to start: no entry naming nothing.
    os.fake.executablePath.clear();
    registrar.SetAutoStart();
    EXPECT_TRUE(os.fake.autostartEntries.empty());
}

// The real desktop entries, with both autostart folders moved into a temporary folder.
TEST(AutoStartRegistrar, WritesAndRemovesTheDesktopEntry)
{
    fs::path folder = fs::temp_directory_path() / ("zandrel-registrar-" + std::to_string(getpid()));
    fs::remove_all(folder);
    setenv("XDG_CONFIG_DIRS", (folder / "machine").c_str(), 1);
    setenv("XDG_CONFIG_HOME", (folder / "user").c_str(), 1);

    AutoStartRegistrar registrar;
    registrar.SetAutoStart();
    const fs::path entry = folder / "machine/autostart/Zandrel.desktop";
    ASSERT_TRUE(fs::exists(entry));
    std::stringstream text;
    text << std::ifstream(entry).rdbuf();
    EXPECT_NE(text.str().find("\nExec=\"" + platform::os::Os().ExecutablePath() + "\"\n"), std::string::npos);
    EXPECT_NE(text.str().find("\nName=Tessik微端\nIcon=zandrel\n"), std::string::npos)
        << "as the menu's entry";

    registrar.RemoveAutoStart();
    EXPECT_FALSE(fs::exists(entry));
    registrar.RemoveAutoStart();

    unsetenv("XDG_CONFIG_DIRS");
    unsetenv("XDG_CONFIG_HOME");
    fs::remove_all(folder);
}

} // namespace
