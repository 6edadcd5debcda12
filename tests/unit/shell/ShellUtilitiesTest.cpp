#include "shell/ShellUtilities.h"
#include "base/AppDataPath.h"
#include "base/ProgramPaths.h"
#include "base/SystemErrorText.h"
#include "base/TextCodePage.h"
#include "fakes/os/FakeOsLayer.h"
#include "platform/ui/PaintManagerUI.h"
#include "support/WaitUntil.h"

#include <QApplication>
#include <QMessageBox>
#include <QTimer>
#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <sstream>

namespace {

namespace fs = std::filesystem;

struct SplitCase {
    std::u16string commandLine;
    bool splits;
    std::u16string program;
    std::u16string parameters;
};

TEST(SplitCommandLine, QuotedAndUnquotedForms)
{
    const SplitCase cases[] = {
        { u"\"/tmp/setup.exe\" ", true, u"/tmp/setup.exe", u" " },
        { u"\"/opt/my app/run\" -a b", true, u"/opt/my app/run", u" -a b" },
        { u"/usr/bin/prog a b", true, u"/usr/bin/prog", u"a b" },
        { u"/usr/bin/prog", true, u"/usr/bin/prog", u"" },
        { u"\"unterminated -x", false, u"", u"" },
        { u"\"", false, u"", u"" },
        { u"\"\"", false, u"", u"" },
    };
    for (const SplitCase& c : cases) {
        CommandLineParts parts;
        ASSERT_EQ(SplitCommandLine(c.commandLine, parts), c.splits);
        if (c.splits) {
            EXPECT_EQ(parts.program, c.program);
            EXPECT_EQ(parts.parameters, c.parameters);
        }
    }
}

TEST(SplitCommandLine, ParametersBecomeWords)
{
    EXPECT_TRUE(SplitParameters(" ").empty());
    EXPECT_EQ(
        SplitParameters("  -a \"b c\"  d\\\"e \"\""), (std::vector<std::string> { "-a", "b c", "d\"e", "" }));
}

TEST(LaunchCommandLine, ChoosesTheFolderByElevation)
{
    FakeOsLayerScope os;
    os.fake.executablePath = "/opt/zandrel/zandrel";
    platform::ui::CPaintManagerUI::SetResourcePath(u"/opt/zandrel/skin/Zandrel");
    EXPECT_TRUE(LaunchCommandLine(u"/usr/bin/prog -v", false, true, false));
    EXPECT_TRUE(LaunchProgram(u"/tmp/安装 程序", u"", true));
    ASSERT_EQ(os.fake.launches.size(), 2u);
    EXPECT_EQ(os.fake.launches[0].program, "/usr/bin/prog");
    EXPECT_EQ(os.fake.launches[0].arguments, std::vector<std::string> { "-v" });
    EXPECT_EQ(os.fake.launches[0].workingDirectory, "/opt/zandrel/");
    EXPECT_FALSE(os.fake.launches[0].elevated);
    EXPECT_EQ(os.fake.launches[1].program, "/tmp/安装 程序");
    EXPECT_TRUE(os.fake.launches[1].arguments.empty());
    EXPECT_EQ(os.fake.launches[1].workingDirectory, "/opt/zandrel/skin/Zandrel/");
    EXPECT_TRUE(os.fake.launches[1].elevated);
}

// A path is one program whatever it holds: joined into a command line and split again, a quote
// in a downloaded file's name chose an earlier file and gave it the rest as arguments.
TEST(LaunchCommandLine, ProgramPathsAreNeverSplit)
{
    FakeOsLayerScope os;
    EXPECT_TRUE(LaunchProgram(u"/tmp/update/x\"--evil-arg=from-update-server", u"", true));
    EXPECT_TRUE(LaunchProgram(u"/tmp/a\" \"b", u"-q \"c d\"", false));
    EXPECT_FALSE(LaunchProgram(u"", u"-q", false));
    ASSERT_EQ(os.fake.launches.size(), 2u);
    EXPECT_EQ(os.fake.launches[0].program, "/tmp/update/x\"--evil-arg=from-update-server");
    EXPECT_TRUE(os.fake.launches[0].arguments.empty());
    EXPECT_EQ(os.fake.launches[1].program, "/tmp/a\" \"b");
    EXPECT_EQ(os.fake.launches[1].arguments, (std::vector<std::string> { "-q", "c d" }));
}

// The installer goes to the install helper as root, its path one argument and the signature, when
// there is one, the other; the helper lies beside the executable in a build, else in libexec.
TEST(LaunchUpdateInstaller, HandsThePathWholeToTheHelper)
{
    FakeOsLayerScope os;
    os.fake.executablePath = "/usr/lib/zandrel/zandrel";
    EXPECT_EQ(InstallHelperPath(), u"/usr/libexec/zandrel/zandrel-install-update");
    EXPECT_TRUE(LaunchUpdateInstaller(u"/home/u/update/a b\"c.sh", u""));
    EXPECT_TRUE(LaunchUpdateInstaller(u"/home/u/update/setup.sh", u"SIG="));

    const fs::path build = fs::temp_directory_path() / ("zandrel-helper-" + std::to_string(getpid()));
    fs::create_directories(build);
    std::ofstream(build / "zandrel-install-update") << "#!/bin/sh\n";
    os.fake.executablePath = (build / "zandrel").string();
    EXPECT_EQ(InstallHelperPath(), (build / "zandrel-install-update").u16string());
    os.fake.launchResult = EACCES;
    EXPECT_FALSE(LaunchUpdateInstaller(u"/home/u/update/setup.sh", u"")) << "the password prompt declined";
    fs::remove_all(build);

    ASSERT_EQ(os.fake.launches.size(), 3u);
    EXPECT_EQ(os.fake.launches[0].program, "/usr/libexec/zandrel/zandrel-install-update");
    EXPECT_EQ(os.fake.launches[0].arguments, std::vector<std::string> { "/home/u/update/a b\"c.sh" });
    EXPECT_TRUE(os.fake.launches[0].elevated);
    EXPECT_EQ(
        os.fake.launches[1].arguments, (std::vector<std::string> { "/home/u/update/setup.sh", "SIG=" }));
    EXPECT_EQ(os.fake.launches[2].program, (build / "zandrel-install-update").string());
}

TEST(LaunchCommandLine, FailuresStartNothingAndAreReportedOnlyOnRequest)
{
    FakeOsLayerScope os;
    EXPECT_FALSE(LaunchCommandLine(u"\"/usr/bin/prog -v", false, false, true));
    EXPECT_TRUE(os.fake.launches.empty());

    os.fake.launchResult = EACCES;
    EXPECT_FALSE(LaunchProgram(u"/tmp/setup", u"", true));

    QString shownText, shownTitle;
    QTimer closer;
    QObject::connect(&closer, &QTimer::timeout, [&] {
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
            shownText = box->text();
            shownTitle = box->windowTitle();
            box->accept();
        }
    });
    closer.start(10);
    EXPECT_FALSE(LaunchCommandLine(u"/usr/bin/prog", true, false, false));
    closer.stop();
    EXPECT_EQ(shownTitle, QString::fromUtf8("错误"));
    EXPECT_EQ(shownText, QString("error %1").arg(EACCES));
}

TEST(LaunchCommandLine, RunsTheProgramDetachedInTheProgramFolder)
{
    fs::path folder = fs::temp_directory_path() / ("zandrel-launch-" + std::to_string(getpid()));
    fs::create_directories(folder);
    fs::path script = folder / "probe.sh";
    fs::path output = folder / "out.txt";
    {
        std::ofstream out(script);
        out << "#!/bin/sh\n{ pwd; for a in \"$@\"; do echo \"[$a]\"; done; echo "
               "\"engine=${QTWEBENGINEPROCESS_PATH-unset}\"; } > \""
            << output.string() << ".tmp\"\nmv \"" << output.string() << ".tmp\" \"" << output.string()
            << "\"\n";
    }
    fs::permissions(script, fs::perms::owner_all);
    setenv("QTWEBENGINEPROCESS_PATH", "/engine/helper", 1);

    EXPECT_TRUE(LaunchCommandLine(
        u"\"" + std::u16string(script.u16string()) + u"\" one \"two words\"", false, false, false));
    ASSERT_TRUE(WaitUntil([&] { return fs::exists(output); }, 10000));
    std::ifstream in(output);
    std::stringstream text;
    text << in.rdbuf();
    std::string programFolder = ProgramDirectoryA();
    programFolder.pop_back();
    EXPECT_EQ(text.str(), fs::canonical(programFolder).string() + "\n[one]\n[two words]\nengine=unset\n");

    EXPECT_FALSE(LaunchCommandLine(u"\"" + (folder / "missing").u16string() + u"\"", false, false, false));
    unsetenv("QTWEBENGINEPROCESS_PATH");
    fs::remove_all(folder);
}

TEST(ShellHandOffs, UrlsAndFilesGoToTheDesktopAsUtf8)
{
    FakeOsLayerScope os;
    OpenUrl(u"http://example.test/直播");
    OpenFolderAndSelect(u"/home/u/下载/setup.bin");
    EXPECT_EQ(os.fake.openedUrls, std::vector<std::string> { "http://example.test/直播" });
    EXPECT_EQ(os.fake.revealedPaths, std::vector<std::string> { "/home/u/下载/setup.bin" });
}

TEST(AppDataPath, JoinsTheDataFolderWithOneSlash)
{
    FakeOsLayerScope os;
    os.fake.userDataFolder = "/home/u/.local/share";
    std::u16string path = u"/mervok/Korvath/update/setup.bin";
    EXPECT_TRUE(AppDataPath(path));
    EXPECT_EQ(path, u"/home/u/.local/share/mervok/Korvath/update/setup.bin");

    std::u16string relative = u"x";
    EXPECT_TRUE(AppDataPath(relative));
    EXPECT_EQ(relative, u"/home/u/.local/share/x");

    os.fake.userDataFolder.clear();
    std::u16string unchanged = u"/mervok/x";
    EXPECT_FALSE(AppDataPath(unchanged));
    EXPECT_EQ(unchanged, u"/mervok/x");
}

TEST(TextCodePage, StopsAtTheFirstZeroByte)
{
    FakeOsLayerScope os;
    EXPECT_EQ(Utf8ToAnsi(std::string("ab\0cd", 5)), "ab");
    EXPECT_EQ(AnsiToUtf8(std::string("\0x", 2)), "");
    EXPECT_EQ(Utf8ToAnsi(""), "");
}

TEST(SystemErrorText, HoldsTheSystemTextOfOneCode)
{
    SystemErrorText text(ENOENT);
    EXPECT_EQ(text.Text(), u"No such file or directory");
    EXPECT_EQ(text.Length(), text.Text().size());
    text.Clear();
    EXPECT_EQ(text.Length(), 0u);
    text.Set(EACCES);
    EXPECT_EQ(text.Text(), u"Permission denied");
}

} // namespace
