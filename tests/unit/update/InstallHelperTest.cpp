#include "platform/os/OsLayer.h"
#include "update/InstallerCommand.h"
#include "update/signing/InstallerSigning.h"

#include "support/TestConfig.h"
#include "support/WaitUntil.h"

#include <QProcess>
#include <QTemporaryDir>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <sstream>
#include <sys/stat.h>

namespace {

namespace fs = std::filesystem;

constexpr int kRefused = 125;

std::string ReadAll(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

// The helper as a test user runs it: a copy of the built one in a folder of its own, beside the
// installation's config.xml, and an installer that says where it ran and ends with status 7.
class InstallHelperTest : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(folder.isValid());
        root = folder.path().toStdString();
        helper = root / "program" / "zandrel-install-update";
        fs::create_directories(root / "program");
        // As installed, whatever the umask (Debian 13 gives users 002): the helper refuses a
        // folder its owner's group may write.
        fs::permissions(root / "program", fs::perms(0755));
        fs::create_directories(root / "update");
        fs::copy_file(ZANDREL_PROGRAM_DIR "/zandrel-install-update", helper);
        pair = GenerateSigningKey().value();
        WriteConfig(pair.publicKey);
        marker = root / "ran";
        installerText = "#!/bin/sh\necho \"$0 $# $(pwd)\" > '" + marker.string() + "'\nexit 7\n";
        installer = root / "update" / "setup.sh";
        std::ofstream(installer) << installerText;
        fs::permissions(installer, fs::perms::owner_all);
        signature = SignBytes(pair.privateKeyPem, installerText).value();
    }

    void WriteConfig(const std::string& key)
    {
        ASSERT_TRUE(TestConfig()
                        .Set("Update", "url", "https://u.invalid/check")
                        .Set("Update", "key", key)
                        .Write((root / "program" / "config.xml").string()));
        fs::permissions(root / "program" / "config.xml", fs::perms(0644));
    }

    int RunHelper(const QStringList& arguments)
    {
        QProcess process;
        process.start(QString::fromStdString(helper.string()), arguments);
        if (!process.waitForFinished(20000)) {
            process.kill();
            process.waitForFinished();
            return -1;
        }
        return process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    }

    QTemporaryDir folder;
    fs::path root, helper, installer, marker;
    SigningKeyPair pair;
    std::string installerText, signature;
};

// Only the copy runs, from a folder of the helper's own that is gone afterwards, and its exit
// status is the helper's.
TEST_F(InstallHelperTest, RunsItsOwnVerifiedCopyAndPassesOnItsStatus)
{
    EXPECT_EQ(
        RunHelper({ QString::fromStdString(installer.string()), QString::fromStdString(signature) }), 7);
    const std::string ran = ReadAll(marker);
    ASSERT_FALSE(ran.empty());
    const std::string copy = ran.substr(0, ran.find(' '));
    EXPECT_NE(copy, installer.string());
    EXPECT_EQ(fs::path(copy).filename(), "setup.sh");
    EXPECT_EQ(ran.substr(ran.find(' ')), " 0 " + fs::path(copy).parent_path().string() + "\n");
    EXPECT_FALSE(fs::exists(fs::path(copy).parent_path())) << "the private copy is removed";
}

// What the user's account can change after the user-side check never runs: other bytes, a link,
// a pipe, a name that is not a plain one, a config that others may write.
TEST_F(InstallHelperTest, RefusesWhatItCannotVouchFor)
{
    const fs::path swapped = root / "update" / "swapped.sh";
    std::ofstream(swapped) << installerText << "echo pwned\n";
    const fs::path link = root / "update" / "link.sh";
    fs::create_symlink(installer, link);
    const fs::path pipe = root / "update" / "pipe.sh";
    ASSERT_EQ(mkfifo(pipe.c_str(), 0600), 0);
    const fs::path dashed = root / "update" / "-setup.sh";
    fs::copy_file(installer, dashed);
    const QString sig = QString::fromStdString(signature);
    const struct {
        const char* what;
        QStringList arguments;
    } cases[] = {
        { "bytes swapped after the check", { QString::fromStdString(swapped.string()), sig } },
        { "no signature", { QString::fromStdString(installer.string()) } },
        { "a link to the signed file", { QString::fromStdString(link.string()), sig } },
        { "a pipe", { QString::fromStdString(pipe.string()), sig } },
        { "a folder", { QString::fromStdString((root / "update").string()), sig } },
        { "a name with a leading dash", { QString::fromStdString(dashed.string()), sig } },
        { "no installer", {} },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(RunHelper(c.arguments), kRefused);
    }
    fs::permissions(root / "program" / "config.xml", fs::perms(0664));
    EXPECT_EQ(RunHelper({ QString::fromStdString(installer.string()), sig }), kRefused)
        << "a config others may write names no key";
    EXPECT_FALSE(fs::exists(marker));
}

// Without a key nothing can be verified (the program only gets this far over https): the copy runs.
TEST_F(InstallHelperTest, WithoutAKeyTheCopyRuns)
{
    WriteConfig("");
    EXPECT_EQ(RunHelper({ QString::fromStdString(installer.string()) }), 7);
    EXPECT_TRUE(fs::exists(marker));
}

// The program's own launch, through a stand-in pkexec that records what it was given and runs
// the helper directly: the helper and the installer's path, each one argument.
TEST_F(InstallHelperTest, ElevatedLaunchHandsTheHelperOneArgumentPerValue)
{
    const fs::path bin = root / "bin";
    fs::create_directories(bin);
    const fs::path recorded = root / "pkexec-args";
    std::ofstream(bin / "pkexec") << "#!/bin/sh\nfor a in \"$@\"; do echo \"[$a]\"; done > '"
                                  << recorded.string() << "'\nexec \"$@\"\n";
    fs::permissions(bin / "pkexec", fs::perms::owner_all);
    const fs::path quoted = root / "update" / "setup v2.sh";
    std::ofstream(quoted) << installerText;
    const char* searched = std::getenv("PATH");
    const std::string path = searched ? searched : "/usr/bin:/bin";
    setenv("PATH", (bin.string() + ":" + path).c_str(), 1);
    const int launched
        = platform::os::Os().LaunchElevatedProgram(helper.string(), { quoted.string(), signature });
    setenv("PATH", path.c_str(), 1);
    EXPECT_EQ(launched, 0);
    ASSERT_TRUE(WaitUntil([&] { return fs::exists(marker); }, 15000));
    EXPECT_EQ(
        ReadAll(recorded), "[" + helper.string() + "]\n[" + quoted.string() + "]\n[" + signature + "]\n");
}

// The program's own package is offered as its update: a Debian package is handed to apt-get, never
// executed, while a look-alike archive or a script runs itself.
TEST_F(InstallHelperTest, DebianPackagesGoToAptGetAndEverythingElseRunsItself)
{
    const fs::path package = root / "update" / "zandrel_1.0.0.2_amd64.deb";
    std::ofstream(package) << "!<arch>\ndebian-binary   1733000000  0     0     100644  4         `\n2.0\n";
    const fs::path otherArchive = root / "update" / "other.a";
    std::ofstream(otherArchive) << "!<arch>\nsomething.o/    0           0     0     644     4         `\n";
    const fs::path truncated = root / "update" / "short.deb";
    std::ofstream(truncated) << "!<arch>\ndebian";
    EXPECT_EQ(InstallerCommand(package.string()),
        (std::vector<std::string> { "/usr/bin/env", "DEBIAN_FRONTEND=noninteractive", "/usr/bin/apt-get",
            "install", "-y", "--no-remove", package.string() }));
    for (const fs::path& runsItself : { installer, otherArchive, truncated }) {
        SCOPED_TRACE(runsItself.string());
        EXPECT_EQ(InstallerCommand(runsItself.string()), std::vector<std::string> { runsItself.string() });
    }
}

} // namespace
