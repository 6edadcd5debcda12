#include "EngineMainFrameFixture.h"

#include "platform/ui/RenderEngine.h"
#include "platform/ui/WindowMessages.h"
#include "support/WaitUntil.h"

#include <gtest/gtest.h>
#include <mutex>

using namespace platform::ui;

namespace {

const std::u16string kRoomTitle = u"王者荣耀巅峰赛冲分直播间今晚不上王者不下";

// The main frame on the real engine against a local site: the lobby in the home tab,
// a page's window.open as a new tab, the page title on the tab, what the lobby sees of
// its window being hidden.
class MainFrameEngineTest : public EngineMainFrameFixture {
protected:
    void SetUp() override
    {
        site.Page("/",
            "<html><head><title>Lobby</title></head><body>lobby<script>"
            "function report() { fetch('/visibility?state=' + document.visibilityState); }"
            "document.addEventListener('visibilitychange', report); report();"
            "</script></body></html>");
        site.Handle("/visibility", [this](const httplib::Request& request, httplib::Response&) {
            std::lock_guard<std::mutex> guard(lock);
            visibility = request.get_param_value("state");
        });
        site.Page("/room",
            "<html><head><meta charset='utf-8'><title>" + QString::fromStdU16String(kRoomTitle).toStdString()
                + "</title></head><body>room</body></html>");
        OpenFrame();
    }

    bool LobbyReports(const std::string& state)
    {
        return WaitUntil(
            [&] {
                std::lock_guard<std::mutex> guard(lock);
                return visibility == state;
            },
            30000);
    }

    std::mutex lock;
    std::string visibility;
};

// A stream in a hidden or minimised window must not be drawn for nobody, and must be
// drawn again once the window is back.
TEST_F(MainFrameEngineTest, TheLobbyIsHiddenWhileItsWindowIsHiddenOrMinimisedAndVisibleOnceRestored)
{
    ASSERT_TRUE(LobbyReports("visible"));
    for (int hide : { SW_HIDE, SW_MINIMIZE }) {
        SCOPED_TRACE(hide == SW_HIDE ? "hidden to the tray" : "minimised");
        ShowWindow(hwnd, hide);
        EXPECT_TRUE(LobbyReports("hidden"));
        SendMessage(hwnd, WM_SYSCOMMAND, SC_RESTORE, 0);
        EXPECT_TRUE(LobbyReports("visible"));
    }
}

TEST_F(MainFrameEngineTest, APageOpeningAWindowGetsATabTitledAfterThePage)
{
    ASSERT_TRUE(
        WaitUntil([&] { return TabRowItem(0, 0) && TabRowItem(0, 0)->GetText() == u"Lobby"; }, 30000));
    auto home = BrowserOf(0);
    ASSERT_TRUE(home);

    home->GetMainFrame()->ExecuteJavaScript("window.open('/room');", "", 0);

    ASSERT_TRUE(WaitUntil([&] { return frame->Tabs().Count() == 2; }, 30000));
    EXPECT_EQ(frame->Tabs().CurrentIndex(), 1);
    EXPECT_TRUE(TabRowItem(1, 1)->IsVisible());
    ASSERT_TRUE(WaitUntil([&] { return TabRowItem(1, 0)->GetToolTip() == kRoomTitle; }, 30000));
    int charWidth = CRenderEngine::GetTextSize(frame->GetPaintManager(), u"中", -1).cx;
    EXPECT_EQ(TabRowItem(1, 0)->GetText(), TabStrip::FittedTitle(kRoomTitle, 174, charWidth));
    EXPECT_EQ(TabRowItem(1, 0)->GetText().substr(8), u"...");
}

} // namespace
