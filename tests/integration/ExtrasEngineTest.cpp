#include "EngineTestSupport.h"
#include "base/ProgramPaths.h"
#include "browser/BrowserClientHandler.h"
#include "browser/TabContextHandler.h"
#include "config/AppConfig.h"
#include "platform/engine/CefBrowser.h"
#include "platform/engine/CefCommandLine.h"
#include "platform/engine/qt/TestPageServer.h"
#include "platform/ui/qt/WidgetHandles.h"
#include "support/WaitUntil.h"

#include <QApplication>
#include <QFile>
#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QTcpServer>
#include <QWebEnginePage>
#include <QWebEngineView>
#include <QWidget>
#include <gtest/gtest.h>
#include <memory>

using namespace platform::engine;

namespace {

// The shared handler, recording the focus reports that reach it.
class RecordingHandler final : public BrowserClientHandler {
public:
    bool OnProcessMessageReceived(CefRefPtr<CefBrowser> browser, CefProcessId sourceProcess,
        CefRefPtr<CefProcessMessage> message) override
    {
        if (message && message->GetName() == "ClientRenderer.FocusedNodeChanged")
            focusReports.push_back(message->GetArgumentList()->GetBool(0));
        return BrowserClientHandler::OnProcessMessageReceived(browser, sourceProcess, message);
    }
    bool OnConsoleMessage(CefRefPtr<CefBrowser> browser, const std::u16string& message,
        const std::u16string& source, int line) override
    {
        consoleMessages.push_back(QString::fromStdU16String(message).toStdString());
        return BrowserClientHandler::OnConsoleMessage(browser, message, source, line);
    }
    std::vector<bool> focusReports;
    std::vector<std::string> consoleMessages;
};

// A port nothing listens on: bound for a moment and closed again.
int ClosedPort()
{
    QTcpServer probe;
    probe.listen(QHostAddress::LocalHost);
    const int port = probe.serverPort();
    probe.close();
    return port;
}

class ExtrasEngineTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        StartEngineForTests();
        CefCommandLine::InitGlobalCommandLine({ "zandrel", "--url=about:blank" });
        handler = new RecordingHandler;
        host = std::make_unique<QWidget>();
        host->resize(800, 600);
        host->show();
        savedTestMode = AppConfig::Instance().testMode;
    }
    void TearDown() override
    {
        AppConfig::Instance().testMode = savedTestMode;
        host.reset();
        CefCommandLine::InitGlobalCommandLine({});
    }

    CefRefPtr<CefBrowser> Open(const std::string& url)
    {
        CefRefPtr<TabContextHandler> context(new TabContextHandler);
        const int tabId = context->tabId;
        CefWindowInfo info;
        info.SetAsChild(platform::ui::qt::HandleFromWidget(host.get()), RECT { 0, 0, 800, 600 });
        EXPECT_TRUE(CefBrowserHost::CreateBrowser(
            info, handler, url, CefBrowserSettings(), CefRequestContext::CreateContext(context)));
        CefRefPtr<CefBrowser> browser;
        WaitUntil([&] { return (browser = handler->FindBrowserByTabId(tabId)) != nullptr; }, 15000);
        return browser;
    }
    static QWebEngineView* View(CefRefPtr<CefBrowser> browser)
    {
        return qobject_cast<QWebEngineView*>(
            platform::ui::qt::WidgetFromHandle(browser->GetHost()->GetWindowHandle()));
    }
    static QVariant Evaluate(CefRefPtr<CefBrowser> browser, const QString& script)
    {
        QVariant result;
        bool done = false;
        View(browser)->page()->runJavaScript(script, [&](const QVariant& value) {
            result = value;
            done = true;
        });
        WaitUntil([&] { return done; }, 10000);
        return result;
    }
    static bool WaitForTitle(CefRefPtr<CefBrowser> browser, const QString& title, int ms = 20000)
    {
        return WaitUntil([&] { return View(browser)->page()->title() == title; }, ms);
    }
    static bool WaitForText(CefRefPtr<CefBrowser> browser, const QString& text)
    {
        return WaitUntil(
            [&] {
                return Evaluate(browser, QStringLiteral("document.body ? document.body.innerText : ''"))
                    .toString()
                    .contains(text);
            },
            20000);
    }

    LocalHttpServer server;
    CefRefPtr<RecordingHandler> handler;
    std::unique_ptr<QWidget> host;
    bool savedTestMode = false;
};

} // namespace

TEST_F(ExtrasEngineTest, TestPagesEchoTheRequestAndLeaveOtherNamesToTheNetwork)
{
    auto browser = Open("http://tests/request.html?q=1");
    ASSERT_TRUE(browser);
    ASSERT_TRUE(
        WaitForText(browser, QStringLiteral("URL: http://tests/request.html?q=1\nMethod: GET\nHeaders:")));
    EXPECT_TRUE(
        Evaluate(browser, QStringLiteral("document.body.innerText")).toString().contains("User-Agent: "));
    EXPECT_FALSE(Evaluate(browser, QStringLiteral("document.body.innerText")).toString().contains("Secret"));
    EXPECT_EQ(browser->GetMainFrame()->GetURL(), "http://tests/request.html?q=1");

    // A form post to the name without a dot reaches the dump with its body; the address stays.
    server.Page("/form.html",
        "<form id='f' method='post' action='http://tests/request'><input name='a' value='1'>"
        "<input name='b' value='&lt;x&gt;'></form><script>document.getElementById('f').submit();</script>");
    browser->GetMainFrame()->LoadURL(server.Url("/form.html"));
    ASSERT_TRUE(WaitForText(browser, QStringLiteral("Method: POST")));
    const QString dump = Evaluate(browser, QStringLiteral("document.body.innerText")).toString();
    EXPECT_TRUE(dump.startsWith("URL: http://tests/request\n")) << dump.toStdString();
    EXPECT_TRUE(dump.contains("Post Data:\n\tBytes: a=1&b=%3Cx%3E")) << dump.toStdString();
    EXPECT_EQ(browser->GetMainFrame()->GetURL(), "http://tests/request");

    // Other names go to the network, where the host does not resolve: the error page, at their address.
    for (const std::string other : { "http://tests/binding.html", "http://tests/" }) {
        browser->GetMainFrame()->LoadURL(other);
        EXPECT_TRUE(
            WaitForText(browser, QString::fromStdString("Failed to load URL " + other + " with error ")))
            << other;
        EXPECT_EQ(browser->GetMainFrame()->GetURL(), other);
    }

    // Other local programs do not get the test pages.
    httplib::Client outsider("127.0.0.1", platform::engine::qt::TestPageServer::Instance().Port());
    auto response = outsider.Get("/request.html", { { "Host", "tests" } });
    ASSERT_TRUE(response);
    EXPECT_EQ(response->status, 404);
    EXPECT_EQ(response->body.find("Method"), std::string::npos);
    browser->GetHost()->CloseBrowser(true);
}

TEST_F(ExtrasEngineTest, ClientAddressesFailAsAnUnknownSchemeAndErrorPagesRaiseNoScriptErrors)
{
    server.Page("/start.html", "<title>start</title>");
    auto browser = Open(server.Url("/start.html"));
    ASSERT_TRUE(browser);
    ASSERT_TRUE(WaitForTitle(browser, QStringLiteral("start")));

    browser->GetMainFrame()->LoadURL("client://page/x.html");
    EXPECT_TRUE(WaitForText(browser,
        QStringLiteral(
            "Failed to load URL client://page/x.html with error net::ERR_UNKNOWN_URL_SCHEME (-302).")));
    EXPECT_EQ(browser->GetMainFrame()->GetURL(), "client://page/x.html");

    const std::string closed = "http://127.0.0.1:" + std::to_string(ClosedPort()) + "/x.html";
    browser->GetMainFrame()->LoadURL(closed);
    EXPECT_TRUE(
        WaitForText(browser, QString::fromStdString("Failed to load URL " + closed + " with error ")));
    // A page loaded after the error pages shows the bridge has settled: no error of ours came before it.
    browser->GetMainFrame()->LoadURL(server.Url("/start.html"));
    ASSERT_TRUE(WaitForTitle(browser, QStringLiteral("start")));
    ASSERT_TRUE(WaitUntil([&] { return !browser->IsLoading(); }, 20000));
    for (const std::string& message : handler->consoleMessages)
        ADD_FAILURE() << message;
    browser->GetHost()->CloseBrowser(true);
}

TEST_F(ExtrasEngineTest, QueriesFailWithTheRoutersReplyInPagesAndFramesAndCancelledOnesStaySilent)
{
    const std::string query = "<script>"
                              "var cancelled = 0;"
                              "var id = cefQuery({request: 'gone', onSuccess: function () { cancelled++; },"
                              "    onFailure: function () { cancelled++; }});"
                              "cefQueryCancel(id);"
                              "cefQuery({request: 'x', onSuccess: function (r) { report('ok:' + r); },"
                              "    onFailure: function (c, m) { setTimeout(function () {"
                              "        report('fail:' + c + ':' + m + ':' + cancelled); }, 200); }});"
                              "</script>";
    server.Page("/query.html",
        "<title>waiting</title><script>function report(t) { document.title = t; }</script>" + query);
    server.Page("/frame.html", "<script>function report(t) { parent.postMessage(t, '*'); }</script>" + query);
    // One frame of the page's own origin and one of another origin.
    const std::string crossOrigin
        = "http://localhost:" + server.Url("").substr(server.Url("").rfind(':') + 1);
    server.Page("/outer.html",
        "<title>waiting</title><script>var results = [];"
        "window.addEventListener('message', function (e) { results.push(e.data);"
        " if (results.length == 2) document.title = 'frames ' + results.join(' | '); });</script>"
        "<iframe src='/frame.html'></iframe><iframe src='"
            + crossOrigin + "/frame.html'></iframe>");

    auto browser = Open(server.Url("/query.html"));
    ASSERT_TRUE(browser);
    EXPECT_TRUE(WaitForTitle(browser, QStringLiteral("fail:-1:The query has been canceled:0")))
        << View(browser)->page()->title().toStdString();
    browser->GetMainFrame()->LoadURL(server.Url("/outer.html"));
    EXPECT_TRUE(WaitForTitle(browser,
        QStringLiteral(
            "frames fail:-1:The query has been canceled:0 | fail:-1:The query has been canceled:0")))
        << View(browser)->page()->title().toStdString();
    browser->GetHost()->CloseBrowser(true);
}

// What the program's own script reports cannot be made up by the page or an ad frame in it: a
// forged new top document would have dropped the page's queries unanswered.
TEST_F(ExtrasEngineTest, ForgedBridgeMessagesLeaveThePagesQueriesAnswered)
{
    const std::string forged = "[{zandrelBridge: 1, key: 'forged', op: 'created', args: [true]},"
                               " {zandrelBridge: 1, secret: '', key: 'forged', op: 'created', args: [true]},"
                               " {zandrelPage: 1, op: 'created', args: [true]}]";
    server.Page("/forger.html",
        "<script>" + forged
            + ".forEach(function (m) { parent.postMessage(m, '*'); });"
              "setTimeout(function () { parent.postMessage('forged', '*'); }, 300);</script>");
    const std::string crossOrigin
        = "http://localhost:" + server.Url("").substr(server.Url("").rfind(':') + 1);
    server.Page("/forged.html",
        "<title>waiting</title><script>" + forged
            + ".forEach(function (m) { window.postMessage(m, '*'); });"
              "window.addEventListener('message', function (e) { if (e.data !== 'forged') return;"
              " cefQuery({request: 'x', onFailure: function (c) { document.title = 'answered ' + c; }}); });"
              "</script><iframe src='"
            + crossOrigin + "/forger.html'></iframe>");
    auto browser = Open(server.Url("/forged.html"));
    ASSERT_TRUE(browser);
    EXPECT_TRUE(WaitForTitle(browser, QStringLiteral("answered -1")))
        << View(browser)->page()->title().toStdString();
    browser->GetHost()->CloseBrowser(true);
}

TEST_F(ExtrasEngineTest, FocusMovesReportOnlyChangesOfEditability)
{
    server.Page("/focus.html",
        "<input id='a'><input id='b'><button id='c'>c</button>"
        "<script>function step(i) { ['b', 'b', 'c', 'a'].forEach(function (id, n) {"
        " setTimeout(function () { document.getElementById(id).focus(); if (n == 3) document.title = 'done'; "
        "},"
        " 100 * (n + 1)); }); }</script>");
    auto browser = Open(server.Url("/focus.html"));
    ASSERT_TRUE(browser);
    // Not loading may still be the blank page before the first navigation: wait for the page's own script.
    ASSERT_TRUE(WaitUntil(
        [&] { return Evaluate(browser, QStringLiteral("typeof step === 'function'")).toBool(); }, 20000));
    Evaluate(browser, QStringLiteral("document.getElementById('c').focus(); step();"));
    ASSERT_TRUE(WaitForTitle(browser, QStringLiteral("done")));
    ASSERT_TRUE(WaitUntil([&] { return handler->focusReports.size() >= 3; }, 10000));
    EXPECT_EQ(handler->focusReports, (std::vector<bool> { true, false, true }));
    EXPECT_TRUE(handler->FocusOnEditableField());
    browser->GetHost()->CloseBrowser(true);
}

TEST_F(ExtrasEngineTest, ConsoleMessagesAreAppendedToTheProgramsLog)
{
    const QString path = QString::fromStdString(ProgramDirectoryA() + "console.log");
    QFile::remove(path);
    server.Page("/console.html",
        "<title>c</title>\n<script>\nconsole.log('first');\nconsole.error('second');\n</script>");
    auto browser = Open(server.Url("/console.html"));
    ASSERT_TRUE(browser);
    QFile log(path);
    ASSERT_TRUE(WaitUntil([&] { return log.exists() && log.size() > 0 && QFile(path).size() > 100; }, 20000));
    WaitUntil([&] { return false; }, 300);
    ASSERT_TRUE(log.open(QIODevice::ReadOnly));
    const std::string source = server.Url("/console.html");
    EXPECT_EQ(log.readAll().toStdString(),
        "Message: first\r\nSource: " + source + "\r\nLine: 3\r\n-----------------------\r\n"
            + "Message: second\r\nSource: " + source + "\r\nLine: 4\r\n-----------------------\r\n");
    log.close();
    QFile::remove(path);
    browser->GetHost()->CloseBrowser(true);
}

TEST_F(ExtrasEngineTest, SpaceBarAlertsOutsideTextFieldsAndTypesInside)
{
    server.Page("/space.html",
        "<title>space</title><script>var alerts = []; var keys = 0;"
        "window.alert = function (m) { alerts.push(m); };"
        "document.addEventListener('keydown', function () { keys++; });</script>"
        "<input id='field'><div style='height: 5000px'>tall</div>");
    server.Page("/plain.html",
        "<title>plain</title><script>var alerts = []; var keys = 0;"
        "window.alert = function (m) { alerts.push(m); };"
        "document.addEventListener('keydown', function () { keys++; });</script>"
        "<div style='height: 5000px'>tall</div>");
    auto browser = Open(server.Url("/space.html"));
    ASSERT_TRUE(browser);
    // Not loading is also the state before the first navigation starts, when the page is
    // still blank and an alert would be a real, blocking dialog: wait for the page's own script.
    ASSERT_TRUE(WaitUntil(
        [&] {
            return !browser->IsLoading()
                && Evaluate(browser, QStringLiteral("typeof alerts")).toString() == "object";
        },
        20000));
    QWebEngineView* view = View(browser);
    view->window()->activateWindow();
    view->setFocus();
    auto press = [&](bool autoRepeat) {
        QWidget* target = view->focusProxy() ? view->focusProxy() : view;
        QKeyEvent down(QEvent::KeyPress, Qt::Key_Space, Qt::NoModifier, QStringLiteral(" "), autoRepeat);
        QKeyEvent up(QEvent::KeyRelease, Qt::Key_Space, Qt::NoModifier, QStringLiteral(" "), autoRepeat);
        QCoreApplication::sendEvent(target, &down);
        QCoreApplication::sendEvent(target, &up);
    };
    press(false);
    press(true);
    ASSERT_TRUE(
        WaitUntil([&] { return Evaluate(browser, QStringLiteral("alerts.length")).toInt() == 2; }, 10000));
    EXPECT_EQ(Evaluate(browser, QStringLiteral("alerts[0]")).toString(),
        QStringLiteral("You pressed the space bar!"));
    EXPECT_EQ(Evaluate(browser, QStringLiteral("window.scrollY")).toInt(), 0);
    EXPECT_EQ(Evaluate(browser, QStringLiteral("keys")).toInt(), 0);

    Evaluate(browser, QStringLiteral("document.getElementById('field').focus()"));
    ASSERT_TRUE(WaitUntil(
        [&] { return view->focusProxy() && view->focusProxy()->testAttribute(Qt::WA_InputMethodEnabled); },
        10000));
    ASSERT_TRUE(WaitUntil([&] { return handler->FocusOnEditableField(); }, 10000));
    press(false);
    EXPECT_TRUE(WaitUntil(
        [&] {
            return Evaluate(browser, QStringLiteral("document.getElementById('field').value")).toString()
                == " ";
        },
        10000));
    EXPECT_EQ(Evaluate(browser, QStringLiteral("alerts.length")).toInt(), 2);

    // Another origin brings a new page widget; the hook follows it.
    QWidget* before = view->focusProxy();
    const std::string port = server.Url("").substr(server.Url("").rfind(':') + 1);
    browser->GetMainFrame()->LoadURL("http://localhost:" + port + "/plain.html");
    ASSERT_TRUE(WaitUntil(
        [&] {
            return !browser->IsLoading()
                && browser->GetMainFrame()->GetURL().find("localhost") != std::string::npos;
        },
        20000));
    ASSERT_TRUE(
        WaitUntil([&] { return Evaluate(browser, QStringLiteral("typeof alerts")).toString() == "object"; }));
    EXPECT_NE(view->focusProxy(), before);
    press(false);
    EXPECT_TRUE(
        WaitUntil([&] { return Evaluate(browser, QStringLiteral("alerts.length")).toInt() == 1; }, 10000))
        << Evaluate(
               browser, QStringLiteral("alerts.length + ' ' + keys + ' ' + document.activeElement.tagName"))
               .toString()
               .toStdString();
    browser->GetHost()->CloseBrowser(true);
}

TEST_F(ExtrasEngineTest, TestModeMenuEndsWithTheDeveloperEntriesAndInspectOpensTheTools)
{
    AppConfig::Instance().testMode = true;
    server.Page("/menu.html", "<title>menu</title><p id='p'>text</p>");
    auto browser = Open(server.Url("/menu.html"));
    ASSERT_TRUE(browser);
    ASSERT_TRUE(WaitForTitle(browser, QStringLiteral("menu")));
    QWebEngineView* view = View(browser);
    const QPoint at(60, 80);
    auto rightClick = [&] {
        QWidget* target = view->focusProxy() ? view->focusProxy() : view;
        QMouseEvent press(QEvent::MouseButtonPress, at, target->mapToGlobal(at), Qt::RightButton,
            Qt::RightButton, Qt::NoModifier);
        QMouseEvent release(QEvent::MouseButtonRelease, at, target->mapToGlobal(at), Qt::RightButton,
            Qt::NoButton, Qt::NoModifier);
        QCoreApplication::sendEvent(target, &press);
        QCoreApplication::sendEvent(target, &release);
    };
    QMenu* menu = nullptr;
    auto menuShown = [&] {
        auto menus = view->findChildren<QMenu*>();
        menu = menus.isEmpty() ? nullptr : menus.last();
        return menu && menu->actions().size() >= 5;
    };
    // The page's widget takes clicks only once the renderer has painted; click until it answers.
    for (int attempt = 0; attempt < 15 && !menuShown(); ++attempt) {
        rightClick();
        WaitUntil(menuShown, 1000);
    }
    ASSERT_TRUE(menuShown());
    const auto actions = menu->actions();
    const int n = static_cast<int>(actions.size());
    ASSERT_GE(n, 6);
    EXPECT_FALSE(actions[0]->isSeparator()); // the engine's own entries come first
    EXPECT_TRUE(actions[n - 5]->isSeparator());
    EXPECT_EQ(actions[n - 4]->text(), QStringLiteral("&Show DevTools"));
    EXPECT_EQ(actions[n - 3]->text(), QStringLiteral("Close DevTools"));
    EXPECT_TRUE(actions[n - 2]->isSeparator());
    EXPECT_EQ(actions[n - 1]->text(), QStringLiteral("Inspect Element"));

    const size_t secondaryBefore = handler->SecondaryBrowserCount();
    actions[n - 1]->trigger();
    menu->close();
    auto devTools = [] {
        for (QWidget* widget : QApplication::topLevelWidgets()) {
            if (widget->windowTitle() == QStringLiteral("DevTools") && widget->isVisible())
                return widget;
        }
        return static_cast<QWidget*>(nullptr);
    };
    ASSERT_TRUE(WaitUntil([&] { return devTools() != nullptr; }, 10000));
    EXPECT_EQ(handler->SecondaryBrowserCount(), secondaryBefore + 1);
    auto tools = qobject_cast<QWebEngineView*>(devTools());
    ASSERT_TRUE(tools);
    EXPECT_TRUE(
        WaitUntil([&] { return tools->page()->url().scheme() == QStringLiteral("devtools"); }, 15000));

    CefRefPtr<CefContextMenuParams> params(new CefContextMenuParams(CM_TYPEFLAG_PAGE, 0, 0));
    EXPECT_TRUE(handler->OnContextMenuCommand(browser, browser->GetMainFrame(), params, 26501, 0));
    EXPECT_TRUE(WaitUntil([&] { return devTools() == nullptr; }, 10000));
    EXPECT_EQ(handler->SecondaryBrowserCount(), secondaryBefore);

    // Closed from its own window, the tools open again on the next request.
    for (int round = 0; round < 2; ++round) {
        EXPECT_TRUE(handler->OnContextMenuCommand(browser, browser->GetMainFrame(), params, 26500, 0));
        ASSERT_TRUE(WaitUntil([&] { return devTools() != nullptr; }, 10000)) << round;
        devTools()->close();
        EXPECT_TRUE(WaitUntil([&] { return handler->SecondaryBrowserCount() == secondaryBefore; }, 10000));
    }
    browser->GetHost()->CloseBrowser(true);
}
