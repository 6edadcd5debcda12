#include "ui/SettingWindow.h"

#include "config/AppConfig.h"
#include "ids/CloseCodes.h"
#include "platform/ui/ModalAnswerer.h"
#include "platform/ui/PaintManagerUI.h"
#include "platform/ui/WindowOps.h"
#include "support/TestConfig.h"
#include "support/WaitUntil.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTimer>
#include <functional>
#include <gtest/gtest.h>

using namespace platform::ui;

namespace {

class SettingWindowTest : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(folder.isValid());
        CPaintManagerUI::SetResourcePath(u"" ZANDREL_SOURCE_DIR "/skin/Zandrel/");
        WriteConfig(true, false);
    }

    void TearDown() override { SetModalAnswerer(nullptr); }

    QString ConfigPath() const { return folder.filePath("config.xml"); }

    // The update check reads a local file through the transfer client, so no server is needed.
    void WriteConfig(bool optionexit, bool powerboot, bool withAccount = true)
    {
        TestConfig config;
        config.Set("Update", "url", "file://" + folder.filePath("check.json").toStdString())
            .Set("Notify", "powerboot", powerboot ? "1" : "0")
            .Set("Notify", "optionexit", optionexit ? "1" : "0");
        if (!withAccount)
            config.Without("Account");
        ASSERT_TRUE(config.Write(ConfigPath().toStdString()));
        AppConfig::ResetInstanceForTests(ConfigPath().toStdU16String());
    }

    static void Write(const QString& path, const QString& text)
    {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(text.toUtf8());
    }

    QString ConfigText() const
    {
        QFile file(ConfigPath());
        return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
    }

    // Opens the window modally as the main frame does and runs script in it; message
    // boxes are answered with OK and recorded. Returns the close code.
    UINT RunWindow(std::function<void(SettingWindow*)> script)
    {
        HWND hwnd = nullptr;
        SetModalAnswerer([&](const ModalInfo& info) -> std::optional<int> {
            if (info.className != u"SettingWindow") {
                messages.push_back(info.caption + u"|" + info.text);
                return 1;
            }
            QTimer::singleShot(0, [&] {
                if (auto* window = dynamic_cast<SettingWindow*>(WindowFromHandle(hwnd)))
                    script(window);
                if (WindowImplBase* window = WindowFromHandle(hwnd))
                    window->Close(kCloseDismissed);
            });
            return std::nullopt;
        });
        auto* window = new SettingWindow;
        hwnd = window->Create(nullptr, u"设置", 0x96C80080, 0);
        if (!hwnd)
            return 0;
        window->CenterWindow();
        const UINT code = window->ShowModal();
        SetModalAnswerer(nullptr);
        return code;
    }

    static COptionUI* Option(SettingWindow* window, const char16_t* name)
    {
        return static_cast<COptionUI*>(window->FindControl(name));
    }

    struct Selection {
        bool powerboot, min, exit;
        bool operator==(const Selection& other) const
        {
            return powerboot == other.powerboot && min == other.min && exit == other.exit;
        }
    };

    static Selection Selected(SettingWindow* window)
    {
        return { Option(window, u"ispowerbootcheck")->IsSelected(), Option(window, u"min")->IsSelected(),
            Option(window, u"exit")->IsSelected() };
    }

    static void Click(SettingWindow* window, const char16_t* name)
    {
        ASSERT_TRUE(SimulateClick(window->FindControl(name))) << "cannot click";
    }

    QTemporaryDir folder;
    std::vector<CDuiString> messages;
};

TEST_F(SettingWindowTest, OpeningSelectsTheSavedChoices)
{
    struct Case {
        bool optionexit, powerboot;
        Selection expected;
    } cases[] = {
        { true, false, { false, true, false } },
        { false, true, { true, false, true } },
    };
    for (const Case& c : cases) {
        WriteConfig(c.optionexit, c.powerboot);
        Selection shown {};
        RunWindow([&](SettingWindow* window) { shown = Selected(window); });
        EXPECT_TRUE(shown == c.expected) << "optionexit " << c.optionexit << " powerboot " << c.powerboot;
    }
}

// Each click sees the selection from before it; the two close options stay exclusive.
TEST_F(SettingWindowTest, ClicksFollowTheSelectionBeforeTheClick)
{
    struct Step {
        const char16_t* control;
        Selection after;
        bool optionexit, powerboot;
    } steps[] = {
        { u"exit", { false, false, true }, false, false },
        { u"exit", { false, true, false }, true, false },
        { u"min", { false, false, true }, false, false },
        { u"min", { false, true, false }, true, false },
        { u"ispowerbootcheck", { true, true, false }, true, true },
        { u"ispowerbootcheck", { false, true, false }, true, false },
        { u"exit", { false, false, true }, false, false },
    };
    RunWindow([&](SettingWindow* window) {
        for (const Step& step : steps) {
            Click(window, step.control);
            EXPECT_TRUE(Selected(window) == step.after)
                << "after a click on " << QString::fromStdU16String(step.control).toStdString();
            EXPECT_EQ(AppConfig::Instance().optionexit, step.optionexit);
            EXPECT_EQ(AppConfig::Instance().powerboot, step.powerboot);
        }
        EXPECT_TRUE(IsWindow(window->GetHWND()));
    });
}

TEST_F(SettingWindowTest, SaveWritesAndClosesWhileCloseKeepsTheFile)
{
    const QString before = ConfigText();
    UINT code = RunWindow([&](SettingWindow* window) {
        Click(window, u"exit");
        Click(window, u"ispowerbootcheck");
        Click(window, u"closebtn");
    });
    EXPECT_EQ(code, 1u);
    // The main window's close button follows the choice at once, the file does not.
    EXPECT_FALSE(AppConfig::Instance().optionexit);
    EXPECT_EQ(ConfigText(), before);

    Selection reopened {};
    code = RunWindow([&](SettingWindow* window) {
        reopened = Selected(window);
        Click(window, u"exit");
        Click(window, u"savesettingbtn");
    });
    EXPECT_TRUE(reopened == (Selection { false, true, false })) << "unsaved choices are dropped";
    EXPECT_EQ(code, 1u);
    EXPECT_TRUE(ConfigText().contains("optionexit=\"0\"")) << ConfigText().toStdString();
    EXPECT_TRUE(messages.empty());
}

TEST_F(SettingWindowTest, EnterAndEscapeLeaveTheWindowOpen)
{
    bool open = false;
    UINT code = RunWindow([&](SettingWindow* window) {
        window->FindControl(u"savesettingbtn")->SetFocus();
        SimulateKey(window->GetHWND(), VK_RETURN);
        SimulateKey(window->GetHWND(), VK_ESCAPE);
        WaitUntil([] { return false; }, 100);
        open = IsWindow(window->GetHWND());
    });
    EXPECT_TRUE(open);
    EXPECT_EQ(code, 2u) << "closed by the test, not by a key";
    EXPECT_TRUE(messages.empty());
}

TEST_F(SettingWindowTest, FailedSaveKeepsTheWindowOpenAndSaysWhy)
{
    // A folder in the file's place once the settings are read makes the write fail, even for root.
    bool open = false;
    RunWindow([&](SettingWindow* window) {
        Click(window, u"exit");
        ASSERT_TRUE(QFile::remove(ConfigPath()));
        ASSERT_TRUE(QDir(folder.path()).mkdir("config.xml"));
        Click(window, u"savesettingbtn");
        open = IsWindow(window->GetHWND());
    });
    EXPECT_TRUE(open);
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_TRUE(QString::fromStdU16String(messages[0]).startsWith("提示|设置保存失败："));
    EXPECT_GT(messages[0].size(), std::u16string(u"提示|设置保存失败：").size()) << "a reason follows";
    EXPECT_TRUE(QFileInfo(ConfigPath()).isDir());

    messages.clear();
    ASSERT_TRUE(QDir(folder.path()).rmdir("config.xml"));
    WriteConfig(true, false, false);
    RunWindow([&](SettingWindow* window) { Click(window, u"savesettingbtn"); });
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0], u"提示|设置保存失败：config.xml 中缺少 Account 配置项");
}

TEST_F(SettingWindowTest, ManualCheckSpeaksOnlyWhenUpToDate)
{
    const std::string running = ZANDREL_PROJECT_VERSION;
    auto reply = [&](const std::string& minVersion, const std::string& newVersion) {
        return R"({"version":")" + running + R"(","min_version":")" + minVersion + R"(","new_version":")"
            + newVersion + R"("})";
    };
    struct Case {
        std::string reply;
        std::vector<CDuiString> expected;
    } cases[] = {
        { reply(running, running), { u"提示|当前版本已是最新版本" } },
        { reply(running, "99.0.0.0"), {} },
        { reply("99.0.0.0", running), {} },
        { R"({"version":""})", {} },
        { "not json", {} },
    };
    for (const Case& c : cases) {
        Write(folder.filePath("check.json"), QString::fromStdString(c.reply));
        messages.clear();
        bool open = false;
        RunWindow([&](SettingWindow* window) {
            Click(window, u"updatebtn");
            open = IsWindow(window->GetHWND());
        });
        EXPECT_EQ(messages, c.expected) << c.reply;
        EXPECT_TRUE(open);
    }
}

} // namespace
