#include "browser/BrowserClientHandler.h"
#include "BrowserTestSupport.h"
#include "app/GlobalState.h"
#include "browser/NextTabId.h"
#include "browser/SiteOrigin.h"
#include "browser/TabContextHandler.h"
#include "config/SiteAddress.h"
#include "fakes/engine/FakeEngine.h"
#include "fakes/os/FakeOsLayer.h"
#include "platform/engine/CefCommandLine.h"
#include "platform/os/TextCodec.h"
#include "platform/ui/ControlUI.h"
#include "platform/ui/WindowMessages.h"
#include "support/WaitUntil.h"

#include <cstdlib>
#include <gtest/gtest.h>

using namespace platform::engine;

namespace {

class QuotaAnswer final : public CefQuotaCallback {
public:
    void Continue(bool allow) override { answer = allow ? 1 : 0; }
    void Cancel() override { answer = 0; }
    int answer = -1;
    IMPLEMENT_REFCOUNTING(QuotaAnswer);
};

class DownloadAnswer final : public CefBeforeDownloadCallback {
public:
    void Continue(const std::string& path, bool dialog) override
    {
        downloadPath = path;
        showDialog = dialog;
        continued = true;
    }
    std::string downloadPath;
    bool showDialog = false;
    bool continued = false;
    IMPLEMENT_REFCOUNTING(DownloadAnswer);
};

class BrowserClientHandlerTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        CefCommandLine::InitGlobalCommandLine({ "zandrel", "--url=http://start.test/home" });
        handler = new BrowserClientHandler;
    }
    void TearDown() override
    {
        // Close what a test left open, so that the open-browser count starts at 0 again.
        for (auto& browser : engine.Created()) {
            if (!browser->IsClosed())
                engine.Run([&] { engine.CloseBrowser(browser); });
        }
        CefCommandLine::InitGlobalCommandLine({});
    }

    CefRefPtr<FakeBrowser> Open(CefRefPtr<CefRequestContextHandler> context = new TabContextHandler)
    {
        CefRefPtr<FakeBrowser> browser;
        engine.Run([&] { browser = engine.OpenBrowser(handler, CefRequestContext::CreateContext(context)); });
        return browser;
    }
    void Close(CefRefPtr<FakeBrowser> browser)
    {
        engine.Run([&] { engine.CloseBrowser(browser); });
    }

    FakeEngine engine;
    CefRefPtr<BrowserClientHandler> handler;
};

} // namespace

TEST_F(BrowserClientHandlerTest, SwitchesChooseTheStartAddressAndCursorPolicy)
{
    EXPECT_EQ(handler->StartupUrl(), "http://start.test/home");
    EXPECT_FALSE(handler->MouseCursorChangeDisabled());

    for (const auto& argv :
        { std::vector<std::string> { "zandrel" }, std::vector<std::string> { "zandrel", "--url=" },
            std::vector<std::string> { "zandrel", "--url" } }) {
        CefCommandLine::InitGlobalCommandLine(argv);
        CefRefPtr<BrowserClientHandler> other(new BrowserClientHandler);
        EXPECT_EQ(other->StartupUrl(), platform::os::Utf16ToUtf8(SiteUrl()) + "/?miniClient=1")
            << argv.back();
    }

    CefCommandLine::InitGlobalCommandLine({ "zandrel", "--mouse-cursor-change-disabled" });
    handler = new BrowserClientHandler;
    EXPECT_TRUE(handler->MouseCursorChangeDisabled());
    EXPECT_TRUE(Open()->IsMouseCursorChangeDisabled());
}

TEST_F(BrowserClientHandlerTest, FirstBrowserIsMainOthersAreSecondaryAndTakeFocus)
{
    auto first = Open();
    auto second = Open();
    engine.Flush();
    EXPECT_TRUE(handler->GetMainBrowser()->IsSame(first));
    EXPECT_EQ(handler->GetMainBrowserId(), first->GetIdentifier());
    EXPECT_EQ(handler->SecondaryBrowserCount(), 1u);
    EXPECT_EQ(second->Calls(), (std::vector<std::string> { "focus" }));
    EXPECT_TRUE(first->Calls().empty());
    EXPECT_EQ(OpenBrowserCount(), 2);

    Close(first);
    EXPECT_EQ(handler->GetMainBrowser(), nullptr);
    // The identifier of the closed main browser stays until another one takes its place.
    EXPECT_EQ(handler->GetMainBrowserId(), first->GetIdentifier());
    auto third = Open();
    EXPECT_TRUE(handler->GetMainBrowser()->IsSame(third));
    EXPECT_EQ(handler->GetMainBrowserId(), third->GetIdentifier());

    Close(second);
    EXPECT_EQ(handler->SecondaryBrowserCount(), 0u);
    EXPECT_EQ(OpenBrowserCount(), 1);
}

TEST_F(BrowserClientHandlerTest, RouterLivesWhileBrowsersAreOpen)
{
    EXPECT_FALSE(handler->HasMessageRouter());
    auto first = Open();
    auto second = Open();
    EXPECT_TRUE(handler->HasMessageRouter());
    Close(first);
    EXPECT_TRUE(handler->HasMessageRouter());
    Close(second);
    EXPECT_FALSE(handler->HasMessageRouter());
    Open();
    EXPECT_TRUE(handler->HasMessageRouter());
}

TEST_F(BrowserClientHandlerTest, PopupsBecomeNewTabRequestsAndAreRefused)
{
    OpenTabProbe probe;
    ASSERT_NE(probe.Create(nullptr, u"probe", 0, 0), nullptr);
    mainWindowHandle = probe.GetHWND();
    auto browser = Open();
    bool refused[2] = { false, false };
    engine.Run([&] {
        refused[0] = handler->OnBeforePopup(browser, browser, "http://site.test/room?id=7", "");
        refused[1] = handler->OnBeforePopup(browser, browser, "", "");
    });
    EXPECT_TRUE(refused[0]);
    EXPECT_TRUE(refused[1]);
    EXPECT_TRUE(WaitUntil([&] { return probe.openedTabs.size() == 2; }));
    EXPECT_EQ(probe.openedTabs, (std::vector<std::string> { "http://site.test/room?id=7", "" }));
    mainWindowHandle = nullptr;
}

TEST_F(BrowserClientHandlerTest, TitlesReachTheSinkWithTheTabOfTheBrowser)
{
    RecordingTitleSink sink;
    CefRefPtr<TabContextHandler> tabA(new TabContextHandler);
    CefRefPtr<TabContextHandler> tabB(new TabContextHandler);
    auto a = Open(tabA);
    auto b = Open(tabB);
    CefRefPtr<FakeBrowser> devTools;
    engine.Run([&] { devTools = engine.OpenBrowser(handler, CefRequestContext::GetGlobalContext()); });

    engine.Run([&] { handler->OnTitleChange(a, u"before sink"); });
    handler->SetTitleSink(&sink);
    engine.Run([&] {
        handler->OnTitleChange(b, u"直播间");
        handler->OnTitleChange(a, u"Lobby");
        handler->OnTitleChange(devTools, u"DevTools");
    });
    EXPECT_EQ(sink.Titles(),
        (std::vector<std::pair<int, std::u16string>> {
            { tabB->tabId, u"直播间" }, { tabA->tabId, u"Lobby" } }));
}

TEST_F(BrowserClientHandlerTest, TabIdsWrapAndTheOlderBrowserIsFound)
{
    int id = NextTabId();
    int calls = 0;
    while (id != 65535 && calls++ < 70000)
        id = NextTabId();
    ASSERT_EQ(id, 65535);
    CefRefPtr<TabContextHandler> older(new TabContextHandler);
    EXPECT_EQ(older->tabId, 0);
    for (int i = 0; i < 65535; ++i)
        NextTabId();
    CefRefPtr<TabContextHandler> newer(new TabContextHandler);
    EXPECT_EQ(newer->tabId, 0);

    auto olderBrowser = Open(older);
    auto newerBrowser = Open(newer);
    Close(olderBrowser);
    EXPECT_TRUE(handler->FindBrowserByTabId(0)->IsSame(olderBrowser));
    EXPECT_EQ(handler->FindBrowserByTabId(12345), nullptr);
}

TEST_F(BrowserClientHandlerTest, LoadingStateDrivesTheNavigationControls)
{
    platform::ui::CControlUI back, forward, reload, stop;
    handler->SetNavigationControls(&back, &forward, &reload, &stop);
    engine.Flush();
    auto browser = Open();
    engine.Run([&] { handler->OnLoadingStateChange(browser, true, true, false); });
    EXPECT_TRUE(WaitUntil([&] { return back.IsEnabled() && !forward.IsEnabled() && !reload.IsEnabled(); }));
    EXPECT_FALSE(stop.IsEnabled());
    engine.Run([&] { handler->OnLoadingStateChange(browser, false, false, true); });
    EXPECT_TRUE(WaitUntil([&] { return !back.IsEnabled() && forward.IsEnabled() && reload.IsEnabled(); }));
    EXPECT_TRUE(stop.IsEnabled());
}

TEST_F(BrowserClientHandlerTest, LoadErrorsShowTheErrorPageExceptAbortsAndAllowedSchemes)
{
    auto browser = Open();
    browser->SetURL("spotify:track:1");
    engine.Run([&] {
        handler->OnLoadError(browser, browser, ERR_ABORTED, "net::ERR_ABORTED", "http://a.test/");
        handler->OnLoadError(browser, browser, ERR_UNKNOWN_URL_SCHEME, "unknown", "spotify:track:1");
    });
    EXPECT_TRUE(browser->LoadedStrings().empty());

    browser->SetURL("http://site.test/");
    engine.Run([&] { handler->OnLoadError(browser, browser, ERR_UNKNOWN_URL_SCHEME, "unknown", "foo:bar"); });
    ASSERT_EQ(browser->LoadedStrings().size(), 1u);
    EXPECT_EQ(browser->LoadedStrings()[0].second, "foo:bar");

    engine.Run([&] {
        handler->OnLoadError(browser, browser, ERR_NAME_NOT_RESOLVED, "Host not found", "http://nx.test/a");
    });
    ASSERT_EQ(browser->LoadedStrings().size(), 2u);
    EXPECT_EQ(browser->LoadedStrings()[1].first,
        "<html><body bgcolor=\"white\"><h2>Failed to load URL http://nx.test/a with error Host not found "
        "(-105).</h2></body></html>");
    EXPECT_EQ(browser->LoadedStrings()[1].second, "http://nx.test/a");
}

TEST_F(BrowserClientHandlerTest, ErrorPageCannotCarryScriptFromTheAddress)
{
    auto browser = Open();
    const std::string crafted = "http://nx.test/<script>alert(document.cookie)</script>?a=1&b=\"2\"";
    engine.Run([&] { handler->OnLoadError(browser, browser, ERR_NAME_NOT_RESOLVED, "<b>bad</b>", crafted); });
    ASSERT_EQ(browser->LoadedStrings().size(), 1u);
    const std::string page = browser->LoadedStrings()[0].first;
    EXPECT_EQ(page.find("<script>"), std::string::npos);
    EXPECT_EQ(page.find("<b>"), std::string::npos);
    EXPECT_NE(page.find("&lt;script&gt;alert(document.cookie)&lt;/script&gt;?a=1&amp;b=&quot;2&quot;"),
        std::string::npos);
    // The page still claims the failed address, unescaped.
    EXPECT_EQ(browser->LoadedStrings()[0].second, crafted);
}

TEST_F(BrowserClientHandlerTest, CrashRecoveryReturnsToTheStartAddress)
{
    auto browser = Open();
    const std::vector<std::pair<std::string, bool>> cases {
        { "HTTP://START.TEST/HOME?room=2", false }, // below the start address once lower-cased
        { "http://other.test/", true },
        { "", false },
    };
    for (const auto& [address, reloads] : cases) {
        browser->SetURL(address);
        const size_t before = browser->Calls().size();
        engine.Run([&] { handler->OnRenderProcessTerminated(browser, TS_PROCESS_CRASHED); });
        EXPECT_EQ(browser->Calls().size() - before, reloads ? 1u : 0u) << address;
    }
    EXPECT_EQ(browser->Calls().back(), "load:http://start.test/home");

    CefCommandLine::InitGlobalCommandLine({ "zandrel", "--url=http://Start.test/" });
    CefRefPtr<BrowserClientHandler> upper(new BrowserClientHandler);
    browser->SetURL("http://start.test/");
    engine.Run([&] { upper->OnRenderProcessTerminated(browser, TS_PROCESS_WAS_KILLED); });
    EXPECT_EQ(browser->Calls().back(), "load:http://Start.test/");

    CefCommandLine::InitGlobalCommandLine({ "zandrel", "--url=chrome://crash" });
    CefRefPtr<BrowserClientHandler> crashing(new BrowserClientHandler);
    browser->SetURL("http://other.test/");
    const size_t before = browser->Calls().size();
    engine.Run([&] { crashing->OnRenderProcessTerminated(browser, TS_PROCESS_CRASHED); });
    EXPECT_EQ(browser->Calls().size(), before);
}

TEST_F(BrowserClientHandlerTest, PoliciesForQuotaDragsProtocolsAndDownloads)
{
    auto browser = Open();
    CefRefPtr<QuotaAnswer> exact(new QuotaAnswer), over(new QuotaAnswer);
    EXPECT_TRUE(handler->OnQuotaRequest(browser, "http://site.test", 20971520, exact));
    EXPECT_TRUE(handler->OnQuotaRequest(browser, "http://site.test", 20971521, over));
    EXPECT_EQ(exact->answer, 1);
    EXPECT_EQ(over->answer, 0);

    EXPECT_TRUE(handler->OnDragEnter(browser, nullptr,
        static_cast<cef_drag_operations_mask_t>(DRAG_OPERATION_COPY | DRAG_OPERATION_LINK)));
    EXPECT_FALSE(handler->OnDragEnter(browser, nullptr, DRAG_OPERATION_COPY));

    bool allow = false;
    handler->OnProtocolExecution(browser, "spotify:track:1", allow);
    EXPECT_TRUE(allow);
    allow = false;
    handler->OnProtocolExecution(browser, "mailto:a@b.test", allow);
    EXPECT_FALSE(allow);

    // The proposal is a plain file in the documents folder, whatever the server suggests.
    FakeOsLayerScope os;
    const std::string longChinese = [] {
        std::string text;
        for (int i = 0; i < 300; ++i)
            text += "录";
        return text;
    }();
    const struct {
        std::u16string suggested;
        std::string proposed;
    } names[] = {
        { u"录像.mp4", "录像.mp4" },
        { u"../../../tmp/x/escaped.sh", "escaped.sh" },
        { u"../.config/autostart/evil.desktop", "evil.desktop" },
        { u"..\\..\\Start Menu\\evil.bat", "evil.bat" },
        { u" . .bashrc", "bashrc" },
        { u"a\nb\tc\x7f\x9b.txt", "abc.txt" },
        { u"clip\u202Ecod.exe", "clipcod.exe" },
        { u"", "download" },
        { u"..", "download" },
        { u"folder/", "download" },
        { std::u16string(996, u'a') + u".mp4", std::string(196, 'a') + ".mp4" },
        { platform::os::Utf8ToUtf16(longChinese + ".flv"), longChinese.substr(0, 195) + ".flv" },
        { u"x." + std::u16string(300, u'y'), "x." + std::string(198, 'y') },
    };
    for (const auto& name : names) {
        CefRefPtr<DownloadAnswer> download(new DownloadAnswer);
        handler->OnBeforeDownload(browser, nullptr, name.suggested, download);
        EXPECT_TRUE(download->continued);
        EXPECT_TRUE(download->showDialog);
        EXPECT_EQ(download->downloadPath, "/home/user/Documents/" + name.proposed);
    }
}

TEST_F(BrowserClientHandlerTest, RendererReportsWhetherAnEditableFieldHasFocus)
{
    auto browser = Open();
    auto message = CefProcessMessage::Create("ClientRenderer.FocusedNodeChanged");
    message->GetArgumentList()->SetBool(0, true);
    EXPECT_TRUE(handler->OnProcessMessageReceived(browser, PID_RENDERER, message));
    EXPECT_TRUE(handler->FocusOnEditableField());
    message->GetArgumentList()->SetBool(0, false);
    EXPECT_TRUE(handler->OnProcessMessageReceived(browser, PID_RENDERER, message));
    EXPECT_FALSE(handler->FocusOnEditableField());
    EXPECT_FALSE(
        handler->OnProcessMessageReceived(browser, PID_RENDERER, CefProcessMessage::Create("Other")));
}

TEST_F(BrowserClientHandlerTest, BrowserCreationIsLoggedOnlyInDebugRuns)
{
    testing::internal::CaptureStderr();
    Open();
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
    setenv("ZANDREL_DEBUG", "1", 1);
    testing::internal::CaptureStderr();
    Open();
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "Enable  ");
    unsetenv("ZANDREL_DEBUG");
}

TEST_F(BrowserClientHandlerTest, ZoomChangedInATabReachesTheOtherTabsOfItsSiteAndItsLaterPages)
{
    auto lobby = Open(), room = Open(), other = Open();
    CefRefPtr<FakeBrowser> devTools;
    engine.Run([&] { devTools = engine.OpenBrowser(handler, CefRequestContext::GetGlobalContext()); });
    engine.Run([&] {
        handler->OnAddressChange(lobby, lobby, "http://Live.Example/?miniClient=1");
        handler->OnAddressChange(room, room, "http://live.example/room/7");
        handler->OnAddressChange(other, other, "https://ads.example/banner");
        handler->OnAddressChange(devTools, devTools, "http://live.example/");
    });

    handler->SetSiteZoomLevel(lobby, 2);
    EXPECT_EQ(lobby->GetZoomLevel(), 2);
    EXPECT_EQ(room->GetZoomLevel(), 2);
    EXPECT_EQ(other->GetZoomLevel(), 0);
    EXPECT_EQ(devTools->GetZoomLevel(), 0);

    // A tab the lobby opens later starts at its site's zoom; leaving the site takes the other
    // site's, and a blank page on the way changes nothing.
    auto opened = Open();
    engine.Run([&] {
        handler->OnAddressChange(opened, opened, "about:blank");
        handler->OnAddressChange(opened, opened, "http://live.example/room/8");
        handler->OnAddressChange(room, room, "about:blank");
        handler->OnAddressChange(room, room, "http://live.example/room/9");
        handler->OnAddressChange(lobby, lobby, "https://ads.example/");
    });
    EXPECT_EQ(opened->GetZoomLevel(), 2);
    EXPECT_EQ(room->GetZoomLevel(), 2);
    EXPECT_EQ(lobby->GetZoomLevel(), 0);
    handler->SetSiteZoomLevel(room, -1);
    EXPECT_EQ(opened->GetZoomLevel(), -1);
    EXPECT_EQ(lobby->GetZoomLevel(), 0);
}

TEST(SiteOriginTest, OnlyTheSitesHostAndItsSubdomainsOverWebSchemesAreTheSite)
{
    const std::u16string site = u"http://Live.Example:8080";
    const struct {
        const char* url;
        bool site;
    } rows[] = {
        { "http://live.example:8080/room/1", true },
        { "https://LIVE.example/", true },
        { "http://cdn.live.example/player", true },
        { "http://a.b.live.example/", true },
        { "http://evillive.example/", false },
        { "http://live.example.evil.test/", false },
        { "http://example/", false },
        { "ftp://live.example/", false },
        { "file:///live.example/", false },
        { "data:text/html,live.example", false },
        { "not a url", false },
        { "", false },
    };
    for (const auto& row : rows)
        EXPECT_EQ(IsSiteOrigin(row.url, site), row.site) << row.url;
    EXPECT_FALSE(IsSiteOrigin("http://live.example/", u""));
}
