#include <gtest/gtest.h>

#include <QDBusArgument>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QDBusPendingCall>
#include <QDBusVariant>
#include <QFile>

#include "DesktopSession.h"
#include "fakes/dbus/FakeStatusNotifierWatcher.h"
#include "support/WaitUntil.h"

namespace {

constexpr int kReplyMs = 10000;

// The program's icon as a StatusNotifier host sees it: the item registered with the watcher,
// its exported menu read and clicked over DBusMenu, the item activated.
class StatusNotifierTrayTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (!desktop.Available())
            GTEST_SKIP() << "needs Xvfb, openbox, xdotool and x11-utils";
        if (!watcher.Available())
            GTEST_SKIP() << "needs dbus-daemon";
        program = std::make_unique<DesktopProgram>(
            desktop, [this](const QString& folder, QProcessEnvironment& environment) {
                CloseToTray(folder + "/config.xml");
                environment.insert("DBUS_SESSION_BUS_ADDRESS", watcher.BusAddress());
            });
        ASSERT_TRUE(program->WaitUntilReady());
        ASSERT_TRUE(WaitUntil([this] { return !watcher.RegisteredStatusNotifierItems().isEmpty(); }, 30000))
            << "no item registered with the watcher";
        item = watcher.RegisteredStatusNotifierItems().front();
    }

    static void CloseToTray(const QString& path)
    {
        QFile file(path);
        file.open(QIODevice::ReadOnly);
        QByteArray config = file.readAll().replace("optionexit=\"0\"", "optionexit=\"1\"");
        file.close();
        file.open(QIODevice::WriteOnly | QIODevice::Truncate);
        file.write(config);
    }

    // Calls the item's object and waits for the reply, answering the item's own calls meanwhile.
    QDBusMessage Call(
        const QString& path, const QString& interface, const QString& method, const QVariantList& arguments)
    {
        QDBusMessage call = QDBusMessage::createMethodCall(item, path, interface, method);
        call.setArguments(arguments);
        QDBusPendingCall pending = watcher.Bus().asyncCall(call, kReplyMs);
        WaitUntil([&] { return pending.isFinished(); }, kReplyMs + 5000);
        return pending.reply();
    }

    QString MenuPath()
    {
        QDBusMessage reply = Call("/StatusNotifierItem", "org.freedesktop.DBus.Properties", "Get",
            { "org.kde.StatusNotifierItem", "Menu" });
        if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty())
            return {};
        return reply.arguments().front().value<QDBusVariant>().variant().value<QDBusObjectPath>().path();
    }

    // The labels of the menu's visible top-level entries, by id, in order.
    std::vector<std::pair<int, QString>> TopLevelEntries(const QString& menuPath)
    {
        QDBusMessage reply = Call(menuPath, "com.canonical.dbusmenu", "GetLayout", { 0, -1, QStringList() });
        std::vector<std::pair<int, QString>> entries;
        if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().size() < 2)
            return entries;
        // (u revision, (i id, a{sv} properties, av children))
        const QDBusArgument root = reply.arguments().at(1).value<QDBusArgument>();
        int rootId = 0;
        QVariantMap rootProperties;
        root.beginStructure();
        root >> rootId >> rootProperties;
        root.beginArray();
        while (!root.atEnd()) {
            QDBusVariant child;
            root >> child;
            const QDBusArgument node = child.variant().value<QDBusArgument>();
            int id = 0;
            QVariantMap properties;
            node.beginStructure();
            node >> id >> properties;
            if (properties.value("visible", true).toBool() && properties.value("type") != "separator")
                entries.emplace_back(id, properties.value("label").toString());
        }
        root.endArray();
        root.endStructure();
        return entries;
    }

    bool Click(const QString& menuPath, int id)
    {
        QDBusMessage reply = Call(menuPath, "com.canonical.dbusmenu", "Event",
            { id, QStringLiteral("clicked"), QVariant::fromValue(QDBusVariant(QVariant(0))), 0u });
        return reply.type() == QDBusMessage::ReplyMessage;
    }

    bool HideToTray()
    {
        return program->ClickButton(program->mainWindow, "关闭")
            && desktop.WaitForViewableCount(program->run->Pid(), 0);
    }

    bool Maximised() const
    {
        QString state = desktop.Property(program->mainWindow, "_NET_WM_STATE");
        return state.contains("_NET_WM_STATE_MAXIMIZED_VERT")
            && state.contains("_NET_WM_STATE_MAXIMIZED_HORZ");
    }

    // The window is back as it was: shown, maximised, focused, and the lobby gets the keys.
    ::testing::AssertionResult BackMaximisedWithTheKeyboard(const char* key, const std::string& typed)
    {
        if (!desktop.WaitForViewableCount(program->run->Pid(), 1))
            return ::testing::AssertionFailure() << "not shown";
        if (!WaitUntil(
                [&] { return DesktopSession::SameWindow(desktop.ActiveWindow(), program->mainWindow); },
                30000))
            return ::testing::AssertionFailure() << "not focused";
        if (!Maximised())
            return ::testing::AssertionFailure()
                << "not maximised: " << desktop.Property(program->mainWindow, "_NET_WM_STATE").toStdString();
        desktop.Key(key);
        if (!WaitUntil([&] { return program->site.Typed("Lobby") == typed; }, 30000))
            return ::testing::AssertionFailure() << "the page got \"" << program->site.Typed("Lobby") << "\"";
        return ::testing::AssertionSuccess();
    }

    DesktopSession desktop;
    FakeStatusNotifierWatcher watcher;
    std::unique_ptr<DesktopProgram> program;
    QString item;
};

TEST_F(StatusNotifierTrayTest, ExportedMenuAndActivationRunTheTrayMenuCommands)
{
    const QString menuPath = MenuPath();
    ASSERT_FALSE(menuPath.isEmpty()) << "the item exports no menu";
    auto entries = TopLevelEntries(menuPath);
    ASSERT_EQ(entries.size(), 2u);
    EXPECT_EQ(entries[0].second, QString::fromUtf8("打开主界面"));
    EXPECT_EQ(entries[1].second, QString::fromUtf8("退出客户端"));

    ASSERT_TRUE(HideToTray()) << "the close button hides the window to the tray";
    ASSERT_EQ(Call("/StatusNotifierItem", "org.kde.StatusNotifierItem", "Activate", { 0, 0 }).type(),
        QDBusMessage::ReplyMessage);
    EXPECT_TRUE(desktop.WaitForViewableCount(program->run->Pid(), 1)) << "activation restores the window";

    ASSERT_TRUE(HideToTray());
    ASSERT_TRUE(Click(menuPath, entries[0].first));
    EXPECT_TRUE(desktop.WaitForViewableCount(program->run->Pid(), 1)) << "打开主界面 restores the window";

    // 退出客户端 asks first, as from the program's own menu.
    ASSERT_TRUE(Click(menuPath, entries[1].first));
    EXPECT_TRUE(desktop.WaitForViewableCount(program->run->Pid(), 2)) << "no confirmation";
}

TEST_F(StatusNotifierTrayTest, AMaximisedWindowComesBackMaximisedWithTheKeyboard)
{
    const QString menuPath = MenuPath();
    auto entries = TopLevelEntries(menuPath);
    ASSERT_EQ(entries.size(), 2u);
    ASSERT_TRUE(WaitUntil([&] { return program->site.Listening("Lobby"); }, 60000));
    ASSERT_TRUE(program->ClickButton(program->mainWindow, "最大化"));
    ASSERT_TRUE(WaitUntil([&] { return Maximised(); }, 30000));

    ASSERT_TRUE(program->ClickButton(program->mainWindow, "最小化"));
    ASSERT_TRUE(desktop.WaitForViewableCount(program->run->Pid(), 0));
    ASSERT_EQ(Call("/StatusNotifierItem", "org.kde.StatusNotifierItem", "Activate", { 0, 0 }).type(),
        QDBusMessage::ReplyMessage);
    EXPECT_TRUE(BackMaximisedWithTheKeyboard("a", "a")) << "activation after minimising";

    ASSERT_TRUE(HideToTray());
    ASSERT_TRUE(Click(menuPath, entries[0].first));
    EXPECT_TRUE(BackMaximisedWithTheKeyboard("b", "ab")) << "打开主界面 after closing to the tray";

    // A second start brings back a window hidden to the tray, not only a minimised one.
    ASSERT_TRUE(HideToTray());
    ProgramRun second(program->folder, ProgramEnvironment(program->home.path(), &desktop.Display()));
    ASSERT_TRUE(desktop.WaitForViewableCount(second.Pid(), 1)) << "the second start shows no box";
    const QString box = desktop.ViewableWindows(second.Pid()).front();
    ASSERT_TRUE(WaitUntil([&] { return DesktopSession::SameWindow(desktop.ActiveWindow(), box); }, 30000));
    desktop.Key("Return");
    ASSERT_TRUE(second.WaitForExit(30000));
    EXPECT_EQ(second.ExitCode(), 0);
    EXPECT_TRUE(BackMaximisedWithTheKeyboard("c", "abc")) << "after a second start";
}

} // namespace
