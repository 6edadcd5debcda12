#include "browser/BrowserClientHandler.h"
#include "browser/ContextMenu.h"
#include "browser/TabContextHandler.h"
#include "config/AppConfig.h"
#include "fakes/engine/FakeEngine.h"
#include "platform/engine/CefCommandLine.h"

#include <gtest/gtest.h>

using namespace platform::engine;

namespace {

std::vector<std::u16string> Labels(const CefMenuModel& model)
{
    std::vector<std::u16string> labels;
    for (const auto& item : model.Items())
        labels.push_back(item.type == MENUITEMTYPE_SEPARATOR ? u"---" : item.label);
    return labels;
}

CefRefPtr<CefMenuModel> EngineMenu()
{
    CefRefPtr<CefMenuModel> model(new CefMenuModel);
    model->AddItem(0, u"Back");
    model->AddItem(1, u"Forward");
    return model;
}

class DevToolsMenuTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        CefCommandLine::InitGlobalCommandLine({ "zandrel" });
        handler = new BrowserClientHandler;
        engine.Run([&] {
            browser = engine.OpenBrowser(handler, CefRequestContext::CreateContext(new TabContextHandler));
        });
        savedTestMode = AppConfig::Instance().testMode;
    }
    void TearDown() override
    {
        AppConfig::Instance().testMode = savedTestMode;
        engine.Run([&] { engine.CloseBrowser(browser); });
    }
    // Offers a key to the handler as the engine would; true when it was consumed.
    bool Offer(cef_key_event_type_t type, int code, bool editable)
    {
        CefKeyEvent event;
        event.type = type;
        event.windows_key_code = code;
        event.focus_on_editable_field = editable;
        bool consumed = false;
        engine.Run([&] { consumed = handler->OnPreKeyEvent(browser, event, nullptr, nullptr); });
        return consumed;
    }
    std::vector<std::string> CallsAfter(size_t before)
    {
        auto calls = browser->Calls();
        return std::vector<std::string>(
            calls.begin() + static_cast<std::ptrdiff_t>(std::min(before, calls.size())), calls.end());
    }

    FakeEngine engine;
    CefRefPtr<BrowserClientHandler> handler;
    CefRefPtr<FakeBrowser> browser;
    bool savedTestMode = false;
};

} // namespace

TEST(ContextMenuEntries, PageAndFrameMenusInTestModeOnly)
{
    const std::vector<std::u16string> withEntries { u"Back", u"Forward", u"---", u"&Show DevTools",
        u"Close DevTools", u"---", u"Inspect Element" };
    struct Case {
        int flags;
        bool testMode;
        bool added;
    } cases[] = {
        { CM_TYPEFLAG_PAGE, true, true },
        { CM_TYPEFLAG_FRAME, true, true },
        { CM_TYPEFLAG_PAGE | CM_TYPEFLAG_LINK, true, true },
        { CM_TYPEFLAG_PAGE, false, false },
        { CM_TYPEFLAG_LINK | CM_TYPEFLAG_EDITABLE, true, false },
        { CM_TYPEFLAG_SELECTION, true, false },
        { CM_TYPEFLAG_NONE, true, false },
    };
    for (const Case& c : cases) {
        auto model = EngineMenu();
        ContextMenu::AddDevToolsEntries(c.flags, c.testMode, *model);
        EXPECT_EQ(Labels(*model), c.added ? withEntries : Labels(*EngineMenu())) << c.flags << c.testMode;
    }
    CefMenuModel empty;
    ContextMenu::AddDevToolsEntries(CM_TYPEFLAG_PAGE, true, empty);
    EXPECT_EQ(Labels(empty),
        (std::vector<std::u16string> { u"&Show DevTools", u"Close DevTools", u"---", u"Inspect Element" }));
    EXPECT_EQ(empty.GetCommandIdAt(0), 26500);
    EXPECT_EQ(empty.GetCommandIdAt(1), 26501);
    EXPECT_EQ(empty.GetCommandIdAt(3), 26502);
}

TEST_F(DevToolsMenuTest, MenuFollowsTheTestModeAtEachOpening)
{
    CefRefPtr<CefContextMenuParams> params(new CefContextMenuParams(CM_TYPEFLAG_PAGE, 5, 6));
    AppConfig::Instance().testMode = false;
    auto model = EngineMenu();
    engine.Run([&] { handler->OnBeforeContextMenu(browser, browser, params, model); });
    EXPECT_EQ(model->GetCount(), 2u);
    AppConfig::Instance().testMode = true;
    engine.Run([&] { handler->OnBeforeContextMenu(browser, browser, params, model); });
    EXPECT_EQ(model->GetCount(), 7u);
}

TEST_F(DevToolsMenuTest, CommandsOpenAndCloseTheDeveloperTools)
{
    CefRefPtr<CefContextMenuParams> params(new CefContextMenuParams(CM_TYPEFLAG_PAGE, 40, 70));
    const size_t before = browser->Calls().size();
    bool results[4] = {};
    engine.Run([&] {
        results[0] = handler->OnContextMenuCommand(browser, browser, params, 26500, 0);
        results[1] = handler->OnContextMenuCommand(browser, browser, params, 26502, 0);
        results[2] = handler->OnContextMenuCommand(browser, browser, params, 26501, 0);
        results[3] = handler->OnContextMenuCommand(browser, browser, params, 2, 0);
    });
    EXPECT_TRUE(results[0] && results[1] && results[2]);
    EXPECT_FALSE(results[3]);
    EXPECT_EQ(CallsAfter(before),
        (std::vector<std::string> { "devtools:0,0", "devtools:40,70", "close-devtools" }));

    auto info = ContextMenu::DevToolsWindowInfo(reinterpret_cast<platform::ui::HWND>(0x10));
    EXPECT_EQ(info.style, 0x16CF0000u);
    EXPECT_EQ(info.windowName, u"DevTools");
    EXPECT_EQ(info.parentWindow, reinterpret_cast<platform::ui::HWND>(0x10));
}

TEST_F(DevToolsMenuTest, SpaceBarOutsideTextFieldsAlertsOnEachRawKeyDownAndNeverReachesThePage)
{
    auto offer
        = [&](cef_key_event_type_t type, int code, bool editable) { return Offer(type, code, editable); };
    const size_t before = browser->Calls().size();
    EXPECT_TRUE(offer(KEYEVENT_RAWKEYDOWN, 32, false));
    EXPECT_TRUE(offer(KEYEVENT_CHAR, 32, false));
    EXPECT_TRUE(offer(KEYEVENT_RAWKEYDOWN, 32, false)); // held: repeats
    EXPECT_TRUE(offer(KEYEVENT_KEYUP, 32, false));
    EXPECT_FALSE(offer(KEYEVENT_RAWKEYDOWN, 32, true));
    EXPECT_FALSE(offer(KEYEVENT_CHAR, 32, true));
    EXPECT_FALSE(offer(KEYEVENT_RAWKEYDOWN, 'A', false));
    const std::string alert = "js:alert('You pressed the space bar!');";
    EXPECT_EQ(CallsAfter(before), (std::vector<std::string> { alert, alert }));

    // A password field: the page reports it editable although the key event does not.
    auto focusReport = [&](bool editable) {
        CefRefPtr<CefProcessMessage> message = CefProcessMessage::Create("ClientRenderer.FocusedNodeChanged");
        message->GetArgumentList()->SetBool(0, editable);
        engine.Run([&] { handler->OnProcessMessageReceived(browser, PID_RENDERER, message); });
    };
    focusReport(true);
    EXPECT_FALSE(offer(KEYEVENT_RAWKEYDOWN, 32, false));
    EXPECT_FALSE(offer(KEYEVENT_CHAR, 32, false));
    focusReport(false);
    EXPECT_TRUE(offer(KEYEVENT_RAWKEYDOWN, 32, false));
}

TEST_F(DevToolsMenuTest, EscapeTakesAFullscreenPageOutOfItAndOtherwiseReachesThePage)
{
    const int escape = 27;
    const size_t before = browser->Calls().size();
    EXPECT_FALSE(Offer(KEYEVENT_RAWKEYDOWN, escape, false));
    engine.Run([&] { handler->OnFullscreenModeChange(browser, true); });
    // In a text field too: the page cannot keep the screen by holding the focus.
    EXPECT_TRUE(Offer(KEYEVENT_RAWKEYDOWN, escape, true));
    EXPECT_TRUE(Offer(KEYEVENT_CHAR, escape, true));
    EXPECT_TRUE(Offer(KEYEVENT_KEYUP, escape, true));
    EXPECT_FALSE(Offer(KEYEVENT_RAWKEYDOWN, 'A', false));
    engine.Run([&] { handler->OnFullscreenModeChange(browser, false); });
    EXPECT_FALSE(Offer(KEYEVENT_RAWKEYDOWN, escape, false));
    EXPECT_EQ(CallsAfter(before), (std::vector<std::string> { "exit-fullscreen" }));
}
