#include "browser/SharedClientHandler.h"
#include "config/AppConfig.h"
#include "fakes/FakeEngine.h"
#include "platform/engine/CefCommandLine.h"
#include "platform/ui/ModalAnswerer.h"
#include "platform/ui/PaintManagerUI.h"
#include "platform/ui/WindowOps.h"
#include "support/WaitUntil.h"
#include "ui/MainFrame.h"

#include <QApplication>
#include <QFile>
#include <QTemporaryDir>
#include <QWidget>
#include <gtest/gtest.h>

using namespace platform::ui;

namespace {

// The settings window and the update dialog as the main frame opens them.
class MainFrameDialogsTest : public testing::Test {
protected:
    void SetUp() override
    {
        QFile file(folder.filePath("config.xml"));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        // Nothing answers at these addresses, so neither start-up nor the dialog waits.
        file.write("<config><Channel url=\"\"/><Update url=\"http://127.0.0.1:1/check\"/>"
                   "<Notify powerboot=\"0\" test=\"0\" optionexit=\"0\"/><Account/>"
                   "<Site url=\"http://127.0.0.1:1\"/></config>\n");
        file.close();
        AppConfig::ResetInstanceForTests(folder.filePath("config.xml").toStdU16String());
        platform::engine::CefCommandLine::InitGlobalCommandLine({ "zandrel" });
        CPaintManagerUI::SetResourcePath(u"" ZANDREL_SOURCE_DIR "/skin/Zandrel/");
        sharedClientHandler = new BrowserClientHandler;
        SetModalAnswerer([this](const ModalInfo& info) -> std::optional<int> {
            if (info.className == u"MessageBoxDialog_Class") {
                confirmations.push_back(info.text);
                return 1;
            }
            opened.push_back(info.className);
            for (QWidget* widget : QApplication::topLevelWidgets()) {
                if (widget->isVisible()
                    && widget->objectName() == QString::fromStdU16String(info.className)) {
                    titles.push_back(widget->windowTitle().toStdU16String());
                    ownedByFrame.push_back(
                        widget->parentWidget() && widget->parentWidget()->window() != widget);
                }
            }
            return dialogAnswer;
        });
        frame = new MainFrame;
        hwnd = frame->Create(nullptr, u"Tessik微端", UI_WNDSTYLE_FRAME, 0);
        ASSERT_NE(hwnd, nullptr);
        frame->ShowWindow(true, true);
        ASSERT_TRUE(WaitUntil([&] { return frame->Tabs().Count() == 1 && engine.Created().size() == 1; }));
    }

    void TearDown() override
    {
        SetModalAnswerer(nullptr);
        if (IsWindow(hwnd))
            DestroyWindow(hwnd);
        // The frame ends the message loop when it goes; take that quit here.
        CPaintManagerUI::MessageLoop();
        for (auto& browser : engine.Created())
            engine.Run([&] { engine.CloseBrowser(browser); });
        sharedClientHandler.reset();
    }

    void ClickMenuItem(int id)
    {
        const MenuItemInfo* item = frame->MenuItems().at(id).get();
        PostMessage(hwnd, MainFrame::WM_MENU_CLICK, reinterpret_cast<WPARAM>(item), item->id);
    }

    QTemporaryDir folder;
    FakeEngine engine;
    MainFrame* frame = nullptr;
    HWND hwnd = nullptr;
    std::optional<int> dialogAnswer = 2;
    std::vector<CDuiString> opened, titles, confirmations;
    std::vector<bool> ownedByFrame;
};

TEST_F(MainFrameDialogsTest, UpdateDialogEndingWithOneClosesTheFrameWithoutAsking)
{
    ClickMenuItem(61);
    ASSERT_TRUE(WaitUntil([&] { return opened.size() == 1; }));
    EXPECT_EQ(opened[0], u"UpdateCheckDialog_Class");
    EXPECT_EQ(titles, std::vector<CDuiString> { u"版本更新" });
    EXPECT_EQ(ownedByFrame, std::vector<bool> { true });
    WaitUntil([] { return false; }, 100);
    EXPECT_TRUE(IsWindow(hwnd)) << "any other code changes nothing";

    dialogAnswer = 1;
    ClickMenuItem(61);
    ASSERT_TRUE(WaitUntil([&] { return !IsWindow(hwnd); }));
    EXPECT_TRUE(confirmations.empty());
}

TEST_F(MainFrameDialogsTest, SettingsButtonOpensTheSettingsWindow)
{
    ASSERT_TRUE(SimulateClick(frame->FindControl(u"dropmenu_btn_setting")));
    ASSERT_TRUE(WaitUntil([&] { return opened.size() == 1; }));
    EXPECT_EQ(opened[0], u"SettingWindow");
    EXPECT_EQ(titles, std::vector<CDuiString> { u"设置" });
    EXPECT_EQ(ownedByFrame, std::vector<bool> { true });
    EXPECT_TRUE(IsWindow(hwnd));
}

} // namespace
