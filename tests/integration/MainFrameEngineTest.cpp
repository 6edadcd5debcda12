#include "EngineTestSupport.h"

#include "app/GlobalState.h"
#include "browser/SharedClientHandler.h"
#include "config/AppConfig.h"
#include "platform/engine/CefBrowser.h"
#include "platform/engine/CefCommandLine.h"
#include "platform/ui/PaintManagerUI.h"
#include "platform/ui/RenderEngine.h"
#include "platform/ui/WindowOps.h"
#include "support/WaitUntil.h"
#include "ui/MainFrame.h"
#include "ui/TabWin.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace platform::ui;

namespace {

const std::u16string kRoomTitle = u"王者荣耀巅峰赛冲分直播间今晚不上王者不下";

// The main frame on the real engine against a local site: the lobby in the home tab,
// a page's window.open as a new tab, the page title on the tab.
class MainFrameEngineTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        StartEngineForTests();
        site.Page("/", "<html><head><title>Lobby</title></head><body>lobby</body></html>");
        site.Page("/room",
            "<html><head><meta charset='utf-8'><title>" + QString::fromStdU16String(kRoomTitle).toStdString()
                + "</title></head><body>room</body></html>");
        QFile config(folder.filePath("config.xml"));
        ASSERT_TRUE(config.open(QIODevice::WriteOnly));
        config.write(("<config><Channel/><Update url=\"\"/><Notify optionexit=\"0\"/><Account/><Site url=\""
            + site.Url("") + "\"/></config>")
                         .c_str());
        config.close();
        AppConfig::ResetInstanceForTests(folder.filePath("config.xml").toStdU16String());
        platform::engine::CefCommandLine::InitGlobalCommandLine({ "zandrel" });
        CPaintManagerUI::SetResourcePath(u"" ZANDREL_SOURCE_DIR "/skin/Zandrel/");
        sharedClientHandler = new BrowserClientHandler;

        frame = new MainFrame;
        hwnd = frame->Create(nullptr, u"Tessik微端", UI_WNDSTYLE_FRAME, 0, 0, 0, 1000, 700);
        mainWindowHandle = hwnd;
        frame->ShowWindow(true, true);
    }

    void TearDown() override
    {
        if (IsWindow(hwnd))
            DestroyWindow(hwnd);
        CPaintManagerUI::MessageLoop();
        mainWindowHandle = nullptr;
        sharedClientHandler.reset();
    }

    CControlUI* TabRowItem(int tab, int item)
    {
        auto* rows = static_cast<CContainerUI*>(frame->FindControl(u"tab_button_container"));
        auto* row = rows ? static_cast<CContainerUI*>(rows->GetItemAt(tab)) : nullptr;
        return row ? row->GetItemAt(item) : nullptr;
    }

    LocalPageServer site;
    QTemporaryDir folder;
    MainFrame* frame = nullptr;
    HWND hwnd = nullptr;
};

TEST_F(MainFrameEngineTest, APageOpeningAWindowGetsATabTitledAfterThePage)
{
    ASSERT_TRUE(
        WaitUntil([&] { return TabRowItem(0, 0) && TabRowItem(0, 0)->GetText() == u"Lobby"; }, 30000));
    auto home = sharedClientHandler->FindBrowserByTabId(frame->Tabs().TabAt(0)->GetTabId());
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
