#include "EngineTestSupport.h"
#include "app/GlobalState.h"
#include "browser/BrowserClientHandler.h"
#include "browser/TabContextHandler.h"
#include "browser/TabTitleSink.h"
#include "platform/engine/CefBrowser.h"
#include "platform/engine/CefCommandLine.h"
#include "platform/engine/SaveLocation.h"
#include "platform/os/OsLayer.h"
#include "platform/ui/ControlUI.h"
#include "platform/ui/WindowImplBase.h"
#include "platform/ui/qt/WidgetHandles.h"
#include "support/WaitUntil.h"

#include "ids/WindowMessageIds.h"
#include <QApplication>
#include <QCoreApplication>
#include <QDir>
#include <QDragEnterEvent>
#include <QFile>
#include <QMimeData>
#include <QTemporaryDir>
#include <QWebEngineView>
#include <QWidget>
#include <QtGlobal>
#include <csignal>
#include <gtest/gtest.h>
#include <memory>
#include <mutex>
#include <signal.h>

using namespace platform::engine;

namespace {

// Stands in for the main frame: records the new-tab requests posted to it.
class MainWindowProbe final : public platform::ui::WindowImplBase {
public:
    MainWindowProbe()
        // One file per process: cases run side by side, and a half-written layout fails to load.
        : layout(QDir::temp().filePath(
            QStringLiteral("zandrel-main-window-probe-%1.xml").arg(QCoreApplication::applicationPid())))
    {
        QFile file(layout);
        if (file.open(QIODevice::WriteOnly | QIODevice::Truncate))
            file.write("<?xml version=\"1.0\" encoding=\"utf-8\"?><Window "
                       "size=\"200,100\"><VerticalLayout/></Window>");
    }
    ~MainWindowProbe() override { QFile::remove(layout); }
    platform::ui::CDuiString GetSkinFile() override { return layout.toStdU16String(); }
    platform::ui::CDuiString GetWindowClassName() const override { return u"MainWindowProbe"; }
    platform::ui::LRESULT HandleMessage(
        platform::ui::UINT msg, platform::ui::WPARAM wParam, platform::ui::LPARAM lParam) override
    {
        if (msg == WM_OPEN_TAB) {
            openedTabs.push_back(platform::ui::PayloadValue<std::string>(wParam));
            return 0;
        }
        return WindowImplBase::HandleMessage(msg, wParam, lParam);
    }
    std::vector<std::string> openedTabs;

private:
    QString layout;
};

class TitleRecorder final : public TabTitleSink {
public:
    void TitleChanged(int tabId, const std::u16string& title) override
    {
        std::lock_guard<std::mutex> guard(lock);
        titles.emplace_back(tabId, title);
    }
    bool Has(int tabId, const std::u16string& title)
    {
        std::lock_guard<std::mutex> guard(lock);
        return std::find(titles.begin(), titles.end(), std::make_pair(tabId, title)) != titles.end();
    }

private:
    std::mutex lock;
    std::vector<std::pair<int, std::u16string>> titles;
};

class BrowserHandlerEngineTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        StartEngineForTests();
        server.Page(
            "/home.html", "<title>home</title><a id='blank' href='/from-link.html' target='_blank'>x</a>");
        server.Page("/second.html", "<title>second</title>");
        CefCommandLine::InitGlobalCommandLine({ "zandrel", "--url=" + server.Url("/home.html") });
        handler = new BrowserClientHandler;
        ASSERT_NE(mainWindow.Create(nullptr, u"probe", 0, 0), nullptr);
        mainWindowHandle = mainWindow.GetHWND();
        handler->SetTitleSink(&titles);
        handler->SetNavigationControls(&back, &forward, nullptr, nullptr);
        host = std::make_unique<QWidget>();
        host->resize(800, 600);
        host->show();
    }
    void TearDown() override
    {
        host.reset();
        mainWindowHandle = nullptr;
        CefCommandLine::InitGlobalCommandLine({});
    }

    // Opens a tab's browser the way a tab page does and waits for it.
    CefRefPtr<CefBrowser> OpenTab(const std::string& url, int& tabId)
    {
        CefRefPtr<TabContextHandler> context(new TabContextHandler);
        tabId = context->tabId;
        CefWindowInfo info;
        info.SetAsChild(platform::ui::qt::HandleFromWidget(host.get()), RECT { 0, 0, 800, 600 });
        EXPECT_TRUE(CefBrowserHost::CreateBrowser(
            info, handler, url, CefBrowserSettings(), CefRequestContext::CreateContext(context)));
        CefRefPtr<CefBrowser> browser;
        WaitUntil([&] { return (browser = handler->FindBrowserByTabId(tabId)) != nullptr; });
        return browser;
    }

    LocalHttpServer server;
    CefRefPtr<BrowserClientHandler> handler;
    MainWindowProbe mainWindow;
    TitleRecorder titles;
    platform::ui::CControlUI back, forward;
    std::unique_ptr<QWidget> host;
};

} // namespace

TEST_F(BrowserHandlerEngineTest, PagePopupsBecomeOneNewTabRequestEachAndNoWindow)
{
    int tabId = -1;
    auto browser = OpenTab(server.Url("/home.html"), tabId);
    ASSERT_TRUE(browser);
    ASSERT_TRUE(WaitUntil([&] { return titles.Has(tabId, u"home"); }, 15000));
    const auto windowsBefore = QApplication::topLevelWidgets().size();

    browser->GetMainFrame()->ExecuteJavaScript(
        "window.open('/from-script.html?x=1', 'w', 'width=300');", "", 0);
    ASSERT_TRUE(WaitUntil([&] { return mainWindow.openedTabs.size() == 1; }, 15000));
    browser->GetMainFrame()->ExecuteJavaScript("document.getElementById('blank').click();", "", 0);
    ASSERT_TRUE(WaitUntil([&] { return mainWindow.openedTabs.size() == 2; }, 15000));
    WaitUntil([] { return false; }, 300);
    EXPECT_EQ(mainWindow.openedTabs,
        (std::vector<std::string> { server.Url("/from-script.html?x=1"), server.Url("/from-link.html") }));
    EXPECT_EQ(QApplication::topLevelWidgets().size(), windowsBefore);
    EXPECT_EQ(browser->GetMainFrame()->GetURL(), server.Url("/home.html"));
}

TEST_F(BrowserHandlerEngineTest, TitlesCarryTheTabIdAndNavigationControlsFollowTheHistory)
{
    int firstTab = -1, secondTab = -1;
    auto first = OpenTab(server.Url("/home.html"), firstTab);
    auto second = OpenTab(server.Url("/second.html"), secondTab);
    ASSERT_TRUE(first && second);
    EXPECT_NE(firstTab, secondTab);
    EXPECT_TRUE(
        WaitUntil([&] { return titles.Has(firstTab, u"home") && titles.Has(secondTab, u"second"); }, 15000));

    second->GetMainFrame()->LoadURL(server.Url("/home.html"));
    EXPECT_TRUE(WaitUntil(
        [&] { return titles.Has(secondTab, u"home") && back.IsEnabled() && !forward.IsEnabled(); }, 15000));
    second->GoBack();
    EXPECT_TRUE(WaitUntil([&] { return !back.IsEnabled() && forward.IsEnabled(); }, 15000));
}

TEST_F(BrowserHandlerEngineTest, DnsFailureShowsTheErrorPageUnderTheFailedAddress)
{
    int tabId = -1;
    const std::string failing = "http://nx.zandrel.test/room.html";
    auto browser = OpenTab(failing, tabId);
    ASSERT_TRUE(browser);
    auto* view = qobject_cast<QWebEngineView*>(
        platform::ui::qt::WidgetFromHandle(browser->GetHost()->GetWindowHandle()));
    ASSERT_NE(view, nullptr);
    // The page answers asynchronously, possibly after this test is over: keep the text on the heap.
    auto text = std::make_shared<QString>();
    ASSERT_TRUE(WaitUntil(
        [&] {
            view->page()->toPlainText([text](const QString& result) { *text = result; });
            return text->contains(QStringLiteral("(-105)"));
        },
        15000));
    EXPECT_TRUE(
        text->startsWith(QStringLiteral("Failed to load URL http://nx.zandrel.test/room.html with error ")));
    EXPECT_EQ(browser->GetMainFrame()->GetURL(), failing);
}

TEST_F(BrowserHandlerEngineTest, KilledRendererReturnsToTheStartAddress)
{
    int tabId = -1;
    auto browser = OpenTab(server.Url("/second.html"), tabId);
    ASSERT_TRUE(browser);
    ASSERT_TRUE(WaitUntil([&] { return titles.Has(tabId, u"second"); }, 15000));
    auto* view = qobject_cast<QWebEngineView*>(
        platform::ui::qt::WidgetFromHandle(browser->GetHost()->GetWindowHandle()));
    ASSERT_NE(view, nullptr);
    const qint64 renderer = view->page()->renderProcessPid();
    ASSERT_GT(renderer, 0);
    ::kill(static_cast<pid_t>(renderer), SIGKILL);
    EXPECT_TRUE(WaitUntil([&] { return titles.Has(tabId, u"home"); }, 15000));
    EXPECT_EQ(browser->GetMainFrame()->GetURL(), server.Url("/home.html"));
}

TEST_F(BrowserHandlerEngineTest, DragsOfferingALinkAreRefused)
{
    int tabId = -1;
    auto browser = OpenTab("about:blank", tabId);
    ASSERT_TRUE(browser);
    QWidget* view = platform::ui::qt::WidgetFromHandle(browser->GetHost()->GetWindowHandle());
    ASSERT_NE(view, nullptr);
    QMimeData data;
    data.setUrls({ QUrl(QStringLiteral("http://elsewhere.test/")) });
    QDragEnterEvent withLink(
        QPoint(10, 10), Qt::CopyAction | Qt::LinkAction, &data, Qt::LeftButton, Qt::NoModifier);
    withLink.accept();
    QApplication::sendEvent(view, &withLink);
    EXPECT_FALSE(withLink.isAccepted());
}

TEST_F(BrowserHandlerEngineTest, DownloadsGoWhereTheUserConfirms)
{
    server.Handle("/report", [](const httplib::Request&, httplib::Response& response) {
        response.set_header("Content-Disposition", "attachment; filename=\"report.bin\"");
        response.set_content("zandrel-download", "application/octet-stream");
    });
    QTemporaryDir target;
    ASSERT_TRUE(target.isValid());
    const std::string chosen = target.filePath(QStringLiteral("sub/saved.bin")).toStdString();
    std::string proposed;
    platform::engine::SetSaveLocationChooser([&](const std::string& path) {
        proposed = path;
        return chosen; // NOLINT(performance-no-automatic-move): captured, never moved from
    });
    int tabId = -1;
    auto browser = OpenTab(server.Url("/second.html"), tabId);
    ASSERT_TRUE(browser);
    ASSERT_TRUE(WaitUntil([&] { return titles.Has(tabId, u"second"); }, 15000));
    browser->GetMainFrame()->LoadURL(server.Url("/report"));
    EXPECT_TRUE(WaitUntil(
        [&] {
            QFile file(QString::fromStdString(chosen));
            return file.open(QIODevice::ReadOnly) && file.readAll() == "zandrel-download";
        },
        15000));
    platform::engine::SetSaveLocationChooser({});
    const std::string documents = platform::os::Os().DocumentsFolder();
    EXPECT_EQ(proposed, documents + "/report.bin");
    // The page stays where it was.
    EXPECT_EQ(browser->GetMainFrame()->GetURL(), server.Url("/second.html"));
}

TEST_F(BrowserHandlerEngineTest, StorageQuotaIsGrantedUpToTwentyMebibytes)
{
#if QT_VERSION >= QT_VERSION_CHECK(6, 8, 0)
    GTEST_SKIP() << "Qt WebEngine " << qVersion()
                 << " no longer asks for storage quota: every origin gets the engine's own limit";
#endif
    server.Page("/quota.html",
        "<title>waiting</title><script>"
        "function ask(bytes, label) { return new Promise(function (done) {"
        "  navigator.webkitPersistentStorage.requestQuota(bytes,"
        "    function (granted) { done(label + (granted >= bytes ? '-granted' : '-refused')); },"
        "    function () { done(label + '-refused'); }); }); }"
        "ask(20971520, 'exact').then(function (a) { return ask(20971521, 'over').then(function (b) {"
        "  document.title = a + ',' + b; }); });"
        "</script>");
    int tabId = -1;
    auto browser = OpenTab(server.Url("/quota.html"), tabId);
    ASSERT_TRUE(browser);
    EXPECT_TRUE(WaitUntil([&] { return titles.Has(tabId, u"exact-granted,over-refused"); }, 15000));
}
