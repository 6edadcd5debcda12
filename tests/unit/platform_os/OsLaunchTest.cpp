#include "platform/os/OsLayer.h"

#include "support/WaitUntil.h"

#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <sstream>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;

void WriteScript(const fs::path& path, const std::string& body)
{
    std::ofstream(path) << "#!/bin/sh\n" << body;
    fs::permissions(path, fs::perms::owner_all);
}

std::string ReadAll(const fs::path& path)
{
    std::ifstream in(path);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

// A private folder with a stand-in pkexec first in PATH and a probe program that
// reports its folder, arguments and environment.
class OsLaunchTest : public testing::Test {
protected:
    void SetUp() override
    {
        folder = fs::temp_directory_path() / ("zandrel-oslaunch-" + std::to_string(getpid()));
        fs::remove_all(folder);
        fs::create_directories(folder / "bin");
        fs::create_directories(folder / "work");
        output = folder / "out.txt";
        WriteScript(folder / "probe",
            "{ pwd; for a in \"$@\"; do echo \"[$a]\"; done; echo "
            "\"engine=${QTWEBENGINEPROCESS_PATH-unset}\"; } > \""
                + output.string() + ".tmp\"\nmv \"" + output.string() + ".tmp\" \"" + output.string()
                + "\"\n");
        const char* path = std::getenv("PATH");
        savedPath = path ? path : "";
        setenv("PATH", ((folder / "bin").string() + ":" + savedPath).c_str(), 1);
        setenv("QTWEBENGINEPROCESS_PATH", "/engine/helper", 1);
    }
    void TearDown() override
    {
        setenv("PATH", savedPath.c_str(), 1);
        unsetenv("QTWEBENGINEPROCESS_PATH");
        fs::remove_all(folder);
    }

    std::string Expected(const std::string& arguments) const
    {
        return fs::canonical(folder / "work").string() + "\n" + arguments + "engine=unset\n";
    }

    fs::path folder;
    fs::path output;
    std::string savedPath;
};

TEST_F(OsLaunchTest, PlainLaunchRunsInTheFolderWithoutTheEngineVariable)
{
    auto& os = platform::os::Os();
    EXPECT_EQ(
        os.LaunchProcess((folder / "probe").string(), { "a b", "" }, (folder / "work").string(), false), 0);
    ASSERT_TRUE(WaitUntil([&] { return fs::exists(output); }, 10000));
    EXPECT_EQ(ReadAll(output), Expected("[a b]\n[]\n"));
}

TEST_F(OsLaunchTest, PlainLaunchReportsWhatStopsIt)
{
    auto& os = platform::os::Os();
    EXPECT_EQ(os.LaunchProcess((folder / "missing").string(), {}, {}, false), ENOENT);
    EXPECT_EQ(os.LaunchProcess("zandrel-no-such-program", {}, {}, false), ENOENT);
    EXPECT_EQ(
        os.LaunchProcess((folder / "probe").string(), {}, (folder / "no-folder").string(), false), ENOENT);
}

TEST_F(OsLaunchTest, ElevatedLaunchGoesThroughPkexec)
{
    WriteScript(folder / "bin" / "pkexec",
        "echo \"$@\" > \"" + (folder / "pkexec-args").string() + "\"\nexec \"$@\"\n");
    auto& os = platform::os::Os();
    EXPECT_EQ(os.LaunchProcess((folder / "probe").string(), { "x" }, (folder / "work").string(), true), 0);
    ASSERT_TRUE(WaitUntil([&] { return fs::exists(output); }, 10000));
    EXPECT_EQ(ReadAll(output), Expected("[x]\n"));
    EXPECT_EQ(ReadAll(folder / "pkexec-args").rfind("/bin/sh -c ", 0), 0u);
}

TEST_F(OsLaunchTest, ElevatedLaunchFailsWhenPkexecRefusesOrIsMissing)
{
    auto& os = platform::os::Os();
    WriteScript(folder / "bin" / "pkexec", "exit 126\n");
    EXPECT_EQ(os.LaunchProcess((folder / "probe").string(), {}, (folder / "work").string(), true), EACCES);

    fs::remove(folder / "bin" / "pkexec");
    setenv("PATH", (folder / "bin").string().c_str(), 1);
    EXPECT_EQ(os.LaunchProcess((folder / "probe").string(), {}, (folder / "work").string(), true), ENOENT);
    EXPECT_FALSE(fs::exists(output));
}

// Straight through pkexec, so that its prompt names the program: every argument arrives as given,
// none made from a command line; a refusal or a missing pkexec starts nothing.
TEST_F(OsLaunchTest, ElevatedProgramIsPkexecsOwnArgument)
{
    const fs::path recorded = folder / "pkexec-args";
    WriteScript(folder / "bin" / "pkexec",
        "for a in \"$@\"; do echo \"[$a]\"; done > \"" + recorded.string() + "\"\nexec \"$@\"\n");
    auto& os = platform::os::Os();
    const std::string probe = (folder / "probe").string();
    EXPECT_EQ(os.LaunchElevatedProgram(probe, { "/home/u/x\"--evil arg", "" }), 0);
    ASSERT_TRUE(WaitUntil([&] { return fs::exists(output); }, 10000));
    EXPECT_EQ(ReadAll(recorded), "[" + probe + "]\n[/home/u/x\"--evil arg]\n[]\n");
    EXPECT_NE(ReadAll(output).find("[/home/u/x\"--evil arg]\n[]\n"), std::string::npos);

    fs::remove(output);
    WriteScript(folder / "bin" / "pkexec", "exit 126\n");
    EXPECT_EQ(os.LaunchElevatedProgram(probe, {}), EACCES);
    EXPECT_EQ(os.LaunchElevatedProgram((folder / "missing").string(), {}), ENOENT);
    fs::remove(folder / "bin" / "pkexec");
    setenv("PATH", (folder / "bin").string().c_str(), 1);
    EXPECT_EQ(os.LaunchElevatedProgram(probe, {}), ENOENT);
    EXPECT_FALSE(fs::exists(output));
}

} // namespace
