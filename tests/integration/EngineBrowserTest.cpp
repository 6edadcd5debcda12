#include "EngineTestSupport.h"
#include "platform/engine/CefBrowser.h"
#include "platform/engine/CefClient.h"
#include "platform/engine/CefRequestContext.h"
#include "platform/ui/qt/WidgetHandles.h"
#include "support/WaitUntil.h"

#include <QApplication>
#include <QWidget>
#include <algorithm>
#include <gtest/gtest.h>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

using namespace platform::engine;

namespace {

struct LoadError {
    int code;
    std::string failedUrl;
};

// Records what the engine reports; shows its own page for failed loads like the program does.
class RecordingClient final : public CefClient,
                              public CefLifeSpanHandler,
                              public CefDisplayHandler,
                              public CefLoadHandler,
                              public CefRequestHandler {
public:
    CefRefPtr<CefLifeSpanHandler> GetLifeSpanHandler() override { return this; }
    CefRefPtr<CefDisplayHandler> GetDisplayHandler() override { return this; }
    CefRefPtr<CefLoadHandler> GetLoadHandler() override { return this; }
    CefRefPtr<CefRequestHandler> GetRequestHandler() override { return this; }

    void OnAfterCreated(CefRefPtr<CefBrowser> created) override { browser = created; }
    void OnBeforeClose(CefRefPtr<CefBrowser>) override { ++closed; }
    bool OnBeforePopup(
        CefRefPtr<CefBrowser>, CefRefPtr<CefFrame>, const std::string& url, const std::string&) override
    {
        popups.push_back(url);
        return true;
    }
    void OnTitleChange(CefRefPtr<CefBrowser>, const std::u16string& title) override
    {
        titles.push_back(title);
    }
    void OnLoadingStateChange(
        CefRefPtr<CefBrowser>, bool isLoading, bool canGoBack, bool canGoForward) override
    {
        loading = isLoading;
        back = canGoBack;
        forward = canGoForward;
    }
    void OnLoadEnd(CefRefPtr<CefBrowser>, CefRefPtr<CefFrame>, int) override { ++loadsEnded; }
    void OnLoadError(CefRefPtr<CefBrowser>, CefRefPtr<CefFrame> frame, cef_errorcode_t code,
        const std::string& text, const std::string& failedUrl) override
    {
        errors.push_back({ code, failedUrl });
        if (code != ERR_ABORTED)
            frame->LoadString(
                "<html><head><title>failed</title></head><body>" + text + "</body></html>", failedUrl);
    }
    void OnProtocolExecution(CefRefPtr<CefBrowser>, const std::string& url, bool& allow) override
    {
        protocols.push_back(url);
        allow = url.rfind("allowed:", 0) == 0;
    }
    void OnRenderProcessTerminated(CefRefPtr<CefBrowser> crashed, TerminationStatus status) override
    {
        terminations.push_back(status);
        if (!recoverTo.empty())
            crashed->GetMainFrame()->LoadURL(recoverTo);
    }

    CefRefPtr<CefBrowser> browser;
    int closed = 0;
    int loadsEnded = 0;
    bool loading = false, back = false, forward = false;
    std::vector<std::string> popups, protocols;
    std::vector<std::u16string> titles;
    std::vector<LoadError> errors;
    std::vector<TerminationStatus> terminations;
    std::string recoverTo;
    IMPLEMENT_REFCOUNTING(RecordingClient);
};

class EngineBrowserTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        StartEngineForTests();
        host = std::make_unique<QWidget>();
        host->resize(640, 480);
        host->show();
        client = new RecordingClient;
    }
    void TearDown() override
    {
        host.reset();
        WaitUntil([&] { return client->closed > 0 || !client->browser; }, 5000);
    }

    bool Open(const std::string& url)
    {
        CefWindowInfo info;
        info.SetAsChild(platform::ui::qt::HandleFromWidget(host.get()), RECT { 0, 24, 640, 456 });
        if (!CefBrowserHost::CreateBrowser(info, client, url, CefBrowserSettings(), nullptr))
            return false;
        return WaitUntil([&] { return client->browser != nullptr; });
    }
    bool WaitLoaded(int count)
    {
        return WaitUntil([&] { return client->loadsEnded >= count && !client->loading; }, 15000);
    }
    bool WaitTitle(const std::u16string& title)
    {
        return WaitUntil([&] { return !client->titles.empty() && client->titles.back() == title; }, 15000);
    }

    LocalHttpServer server;
    std::unique_ptr<QWidget> host;
    CefRefPtr<RecordingClient> client;
};

} // namespace

TEST_F(EngineBrowserTest, BrowserIsAChildWindowAtTheRequestedPlace)
{
    server.Page("/a.html", "<title>A</title>");
    ASSERT_TRUE(Open(server.Url("/a.html")));
    QWidget* view = platform::ui::qt::WidgetFromHandle(client->browser->GetHost()->GetWindowHandle());
    ASSERT_NE(view, nullptr);
    EXPECT_EQ(view->parentWidget(), host.get());
    EXPECT_EQ(view->geometry(), QRect(0, 24, 640, 432));
    EXPECT_FALSE(client->browser->GetHost()->IsWindowRenderingDisabled());
    EXPECT_TRUE(WaitTitle(u"A"));
    EXPECT_EQ(client->browser->GetMainFrame()->GetURL(), server.Url("/a.html"));
}

TEST_F(EngineBrowserTest, RefusedWithoutAParentWindow)
{
    CefWindowInfo info;
    info.SetAsChild(nullptr, RECT { 0, 0, 10, 10 });
    EXPECT_FALSE(CefBrowserHost::CreateBrowser(info, client, "about:blank", CefBrowserSettings(), nullptr));
    info.SetAsChild(platform::ui::qt::HandleFromWidget(host.get()), RECT { 0, 0, 10, 10 });
    EXPECT_FALSE(CefBrowserHost::CreateBrowser(info, nullptr, "about:blank", CefBrowserSettings(), nullptr));
}

TEST_F(EngineBrowserTest, PopupsAreReportedWithTheirAddressAndNeverOpened)
{
    server.Page("/p.html", "<a id='l' href='/target.html' target='_blank'>x</a>");
    ASSERT_TRUE(Open(server.Url("/p.html")));
    ASSERT_TRUE(WaitLoaded(1));
    // The engine makes a hidden view for every window a page asks for and deletes it later once
    // refused: only a shown window would be one opened.
    const auto shownWindows = [] {
        const QWidgetList all = QApplication::topLevelWidgets();
        return std::count_if(all.begin(), all.end(), [](const QWidget* w) { return w->isVisible(); });
    };
    const auto topLevelBefore = shownWindows();
    client->browser->GetMainFrame()->ExecuteJavaScript("document.getElementById('l').click();", "", 0);
    ASSERT_TRUE(WaitUntil([&] { return client->popups.size() == 1; }, 10000));
    EXPECT_EQ(client->popups[0], server.Url("/target.html"));
    client->browser->GetMainFrame()->ExecuteJavaScript("window.open('/other.html?q=1');", "", 0);
    ASSERT_TRUE(WaitUntil([&] { return client->popups.size() == 2; }, 10000));
    EXPECT_EQ(client->popups[1], server.Url("/other.html?q=1"));
    // What the engine never opens as a top document is no popup either: it would come back as a
    // tab whose address the engine loads on the program's behalf.
    client->browser->GetMainFrame()->ExecuteJavaScript(
        "window.open('data:text/html,<script>alert(1)</script>'); window.open('javascript:alert(1)');"
        "window.open('file:///etc/passwd'); window.open('spotify:track:1'); window.open('client://x/');"
        "window.open('');",
        "", 0);
    ASSERT_TRUE(WaitUntil([&] { return client->popups.size() >= 3; }, 10000));
    EXPECT_EQ(client->popups[2], "");
    EXPECT_EQ(client->popups.size(), 3u);
    EXPECT_EQ(shownWindows(), topLevelBefore);
    EXPECT_EQ(client->browser->GetMainFrame()->GetURL(), server.Url("/p.html"));
}

TEST_F(EngineBrowserTest, BackAndForwardFollowTheHistory)
{
    server.Page("/one.html", "<title>one</title>");
    server.Page("/two.html", "<title>two</title>");
    ASSERT_TRUE(Open(server.Url("/one.html")));
    ASSERT_TRUE(WaitLoaded(1));
    EXPECT_FALSE(client->back);
    client->browser->GetMainFrame()->LoadURL(server.Url("/two.html"));
    ASSERT_TRUE(WaitLoaded(2));
    EXPECT_TRUE(client->back);
    EXPECT_FALSE(client->forward);
    client->browser->GoBack();
    ASSERT_TRUE(WaitUntil([&] { return client->forward && !client->back; }, 10000));
    // The history changes at commit, before the old page is gone: a script run then
    // could still land in it.
    ASSERT_TRUE(WaitLoaded(3));
    // A same-document navigation changes the history without a load.
    client->browser->GetMainFrame()->ExecuteJavaScript("history.pushState({}, '', '#more');", "", 0);
    EXPECT_TRUE(WaitUntil([&] { return client->back; }, 10000));
}

TEST_F(EngineBrowserTest, NetworkFailuresReportChromiumCodesAndKeepTheAddress)
{
    server.Handle("/missing", [](const httplib::Request&, httplib::Response& response) {
        response.status = 404;
        response.set_content("<title>nope</title>", "text/html");
    });
    ASSERT_TRUE(Open(server.Url("/missing")));
    ASSERT_TRUE(WaitTitle(u"nope"));
    // The title comes before the load ends, and a load still running when the next one starts
    // is reported as aborted.
    ASSERT_TRUE(WaitLoaded(1));
    // An HTTP error status is a delivered page, not a load error.
    EXPECT_TRUE(client->errors.empty());

    const std::string failing = "http://nx.zandrel.test/page.html";
    client->browser->GetMainFrame()->LoadURL(failing);
    ASSERT_TRUE(WaitUntil([&] { return !client->errors.empty(); }, 15000));
    EXPECT_EQ(client->errors[0].code, ERR_NAME_NOT_RESOLVED);
    EXPECT_EQ(client->errors[0].failedUrl, failing);
    ASSERT_TRUE(WaitTitle(u"failed"));
    EXPECT_EQ(client->browser->GetMainFrame()->GetURL(), failing);
}

TEST_F(EngineBrowserTest, UnknownSchemesGoToTheDesktopOnlyWhenAllowed)
{
    server.Page("/s.html", "<title>s</title>");
    ASSERT_TRUE(Open(server.Url("/s.html")));
    ASSERT_TRUE(WaitLoaded(1));
    client->browser->GetMainFrame()->LoadURL("unknownscheme:thing");
    ASSERT_TRUE(WaitUntil([&] { return !client->errors.empty(); }, 10000));
    EXPECT_EQ(client->protocols, (std::vector<std::string> { "unknownscheme:thing" }));
    EXPECT_EQ(client->errors[0].code, ERR_UNKNOWN_URL_SCHEME);
    EXPECT_EQ(client->errors[0].failedUrl, "unknownscheme:thing");
}

TEST_F(EngineBrowserTest, RendererCrashIsReportedAndANewLoadRecovers)
{
    server.Page("/c.html", "<title>alive</title>");
    server.Page("/again.html", "<title>again</title>");
    ASSERT_TRUE(Open(server.Url("/c.html")));
    ASSERT_TRUE(WaitTitle(u"alive"));
    // Loading from inside the report is how the program recovers.
    client->recoverTo = server.Url("/again.html");
    client->browser->GetMainFrame()->LoadURL("chrome://crash");
    ASSERT_TRUE(WaitUntil([&] { return !client->terminations.empty(); }, 15000));
    EXPECT_EQ(client->terminations[0], TS_PROCESS_CRASHED);
    EXPECT_TRUE(WaitTitle(u"again"));
}

TEST_F(EngineBrowserTest, DestroyingTheParentClosesTheBrowser)
{
    ASSERT_TRUE(Open("about:blank"));
    CefRefPtr<CefBrowser> browser = client->browser;
    host.reset();
    EXPECT_EQ(client->closed, 1);
    EXPECT_EQ(browser->GetHost()->GetWindowHandle(), nullptr);
    EXPECT_EQ(browser->GetMainFrame()->GetURL(), "");
    browser->GetMainFrame()->LoadURL("about:blank");
    browser->GoBack();
}
