#include "EngineMainFrameFixture.h"

#include "platform/ui/RenderEngine.h"
#include "support/WaitUntil.h"

#include <gtest/gtest.h>

using namespace platform::ui;

namespace {

const std::u16string kRoomTitle = u"王者荣耀巅峰赛冲分直播间今晚不上王者不下";

// The main frame on the real engine against a local site: the lobby in the home tab,
// a page's window.open as a new tab, the page title on the tab.
class MainFrameEngineTest : public EngineMainFrameFixture {
protected:
    void SetUp() override
    {
        site.Page("/", "<html><head><title>Lobby</title></head><body>lobby</body></html>");
        site.Page("/room",
            "<html><head><meta charset='utf-8'><title>" + QString::fromStdU16String(kRoomTitle).toStdString()
                + "</title></head><body>room</body></html>");
        OpenFrame();
    }
};

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
