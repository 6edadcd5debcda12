#include "platform/os/OsLayer.h"
#include "platform/os/linux/LinuxCharset.h"

#include <QClipboard>
#include <QGuiApplication>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <sstream>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;

// Sets environment variables for one test and restores them afterwards.
class EnvironmentScope {
public:
    void Set(const char* name, const std::string& value)
    {
        const char* old = std::getenv(name);
        saved.push_back({ name, old ? std::optional<std::string>(old) : std::nullopt });
        setenv(name, value.c_str(), 1);
    }
    ~EnvironmentScope()
    {
        for (auto it = saved.rbegin(); it != saved.rend(); ++it) {
            if (it->second)
                setenv(it->first, it->second->c_str(), 1);
            else
                unsetenv(it->first);
        }
    }

private:
    std::vector<std::pair<const char*, std::optional<std::string>>> saved;
};

TEST(OsCharset, ConvertsBothWaysAndSurvivesBadInput)
{
    const std::string name = "升级包.exe";
    std::string gbk = platform::os::ConvertCharset(name, "UTF-8", "GBK");
    EXPECT_EQ(gbk, "\xc9\xfd\xbc\xb6\xb0\xfc.exe");
    EXPECT_EQ(platform::os::ConvertCharset(gbk, "GBK", "UTF-8"), name);
    EXPECT_EQ(platform::os::ConvertCharset("", "UTF-8", "GBK"), "");

    EXPECT_EQ(platform::os::ConvertCharset("a\xff"
                                           "b",
                  "UTF-8", "GBK"),
        "a?b");
    EXPECT_EQ(platform::os::ConvertCharset("a\xe5\x8d", "UTF-8", "GBK"), "a??") << "cut sequence at the end";
    EXPECT_EQ(platform::os::ConvertCharset("\xf0\x9f\x98\x80", "UTF-8", "ISO-8859-1"), "????");
    std::string big(100000, 'x');
    EXPECT_EQ(platform::os::ConvertCharset(big, "UTF-8", "GBK"), big);
}

TEST(OsCharset, LocaleConversionKeepsUtf8Text)
{
    // The test runs in a UTF-8 or C locale, where narrow text is UTF-8.
    auto& os = platform::os::Os();
    EXPECT_EQ(os.Utf8ToLocale("升级包"), "升级包");
    EXPECT_EQ(os.LocaleToUtf8("升级包"), "升级包");
}

TEST(OsFolders, DataFolderFollowsXdgThenHome)
{
    auto& os = platform::os::Os();
    EnvironmentScope env;
    env.Set("XDG_DATA_HOME", "/data/home/");
    EXPECT_EQ(os.UserDataFolder(), "/data/home");
    env.Set("XDG_DATA_HOME", "relative/ignored");
    env.Set("HOME", "/home/someone");
    EXPECT_EQ(os.UserDataFolder(), "/home/someone/.local/share");
    env.Set("XDG_CONFIG_HOME", "/config/home//");
    EXPECT_EQ(os.UserConfigFolder(), "/config/home");
    env.Set("XDG_CONFIG_HOME", "");
    EXPECT_EQ(os.UserConfigFolder(), "/home/someone/.config");
}

TEST(OsFolders, DocumentsFolderFollowsUserDirsAndIsCreated)
{
    const fs::path root = fs::temp_directory_path() / ("zandrel-documents-" + std::to_string(getpid()));
    fs::remove_all(root);
    EnvironmentScope env;
    env.Set("HOME", (root / "home").string());
    env.Set("XDG_CONFIG_HOME", (root / "config").string());
    auto& os = platform::os::Os();
    EXPECT_EQ(os.DocumentsFolder(), (root / "home" / "Documents").string());
    EXPECT_TRUE(fs::is_directory(root / "home" / "Documents"));

    fs::create_directories(root / "config");
    std::ofstream(root / "config" / "user-dirs.dirs") << "XDG_DOCUMENTS_DIR=\"$HOME/文档\"\n";
    EXPECT_EQ(os.DocumentsFolder(), (root / "home" / "文档").string());
    EXPECT_TRUE(fs::is_directory(root / "home" / "文档"));
    fs::remove_all(root);
}

TEST(OsDesktop, ClipboardTakesText)
{
    ASSERT_NE(qobject_cast<QGuiApplication*>(QCoreApplication::instance()), nullptr);
    EXPECT_TRUE(platform::os::Os().SetClipboardText(" version 1.0.0.0 \r\n"));
    EXPECT_EQ(QGuiApplication::clipboard()->text(), QString(" version 1.0.0.0 \r\n"));
}

class OsAutostartTest : public testing::Test {
protected:
    void SetUp() override
    {
        folder = fs::temp_directory_path() / ("zandrel-autostart-" + std::to_string(getpid()));
        fs::remove_all(folder);
        fs::create_directories(folder);
        env.Set("XDG_CONFIG_DIRS", (folder / "machine").string() + ":/etc/xdg");
        env.Set("XDG_CONFIG_HOME", (folder / "user").string());
    }
    void TearDown() override { fs::remove_all(folder); }

    static std::string Read(const fs::path& path)
    {
        std::ifstream in(path);
        std::stringstream text;
        text << in.rdbuf();
        return text.str();
    }

    // A regular file where the machine-wide folder would be, so it cannot be created.
    void BlockMachineFolder() { std::ofstream(folder / "machine") << "x"; }

    EnvironmentScope env;
    fs::path folder;
};

TEST_F(OsAutostartTest, WritesTheMachineWideEntryWithAQuotedPath)
{
    auto& os = platform::os::Os();
    ASSERT_TRUE(os.WriteAutostartEntry("Zandrel", "/opt/my app/zandrel", "Tessik", "zandrel"));
    std::string entry = Read(folder / "machine/autostart/Zandrel.desktop");
    EXPECT_NE(entry.find("[Desktop Entry]\n"), std::string::npos);
    EXPECT_NE(entry.find("\nExec=\"/opt/my app/zandrel\"\n"), std::string::npos);
    EXPECT_FALSE(fs::exists(folder / "user/autostart/Zandrel.desktop"));

    ASSERT_TRUE(os.WriteAutostartEntry("Zandrel", "/opt/100%/$x\\\"y", "Tessik", "zandrel"));
    EXPECT_NE(Read(folder / "machine/autostart/Zandrel.desktop")
                  .find("\nExec=\"/opt/100%%/\\\\$x\\\\\\\\\\\\\"y\"\n"),
        std::string::npos);
    EXPECT_FALSE(os.WriteAutostartEntry("Zandrel", "/opt/x\nExec=/bin/evil", "Tessik", "zandrel"))
        << "no line breaks in an entry";
    EXPECT_FALSE(os.WriteAutostartEntry("Zandrel", "/opt/x", "Tessik\nExec=/bin/evil", "zandrel"));

    EXPECT_TRUE(os.RemoveAutostartEntry("Zandrel"));
    EXPECT_FALSE(fs::exists(folder / "machine/autostart/Zandrel.desktop"));
    EXPECT_TRUE(os.RemoveAutostartEntry("Zandrel")) << "nothing left to remove is fine";
}

TEST_F(OsAutostartTest, FallsBackToTheUserFolder)
{
    BlockMachineFolder();
    auto& os = platform::os::Os();
    ASSERT_TRUE(os.WriteAutostartEntry("Zandrel", "/opt/zandrel/zandrel", "Tessik", "zandrel"));
    EXPECT_NE(Read(folder / "user/autostart/Zandrel.desktop").find("Exec=\"/opt/zandrel/zandrel\""),
        std::string::npos);
    EXPECT_TRUE(os.RemoveAutostartEntry("Zandrel"));
    EXPECT_FALSE(fs::exists(folder / "user/autostart/Zandrel.desktop"));

    env.Set("XDG_CONFIG_HOME", (folder / "machine" / "sub").string());
    env.Set("HOME", (folder / "machine").string());
    EXPECT_FALSE(os.WriteAutostartEntry("Zandrel", "/opt/zandrel/zandrel", "Tessik", "zandrel"));
}

} // namespace
