#include "MainFrameFixture.h"
#include "platform/ui/ModalAnswerer.h"
#include "platform/ui/WindowOps.h"

#include <QApplication>
#include <QWidget>
#include <gtest/gtest.h>

using namespace platform::ui;

namespace {

// The settings window and the update dialog as the main frame opens them.
class MainFrameDialogsTest : public MainFrameFixture {
protected:
    void SetUp() override
    {
        // Nothing answers at the update address, so the dialog does not wait either.
        WriteConfig("powerboot=\"0\" test=\"0\" optionexit=\"0\"", "http://127.0.0.1:1/check");
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
        OpenFrame();
    }

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
