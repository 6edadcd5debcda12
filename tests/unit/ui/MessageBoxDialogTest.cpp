#include "support/WaitUntil.h"

#include "dialogs/MessageBoxDialog.h"
#include "platform/ui/LabelUI.h"
#include "platform/ui/ModalAnswerer.h"
#include "platform/ui/PaintManagerUI.h"
#include "platform/ui/RenderEngine.h"
#include "platform/ui/WindowImplBase.h"
#include "platform/ui/WindowOps.h"

#include "platform/ui/qt/WidgetHandles.h"
#include "platform/ui/qt/WindowWidget.h"

#include <QApplication>
#include <QTimer>
#include <functional>
#include <gtest/gtest.h>

using namespace platform::ui;

namespace {

// Drives the dialog once it runs: finds the open message box and acts on it.
class MessageBoxDialogTest : public testing::Test {
protected:
    void SetUp() override { CPaintManagerUI::SetResourcePath(ZANDREL_SOURCE_DIR u"/skin/Zandrel/"); }
    void TearDown() override { SetModalAnswerer(nullptr); }

    // Runs action against the dialog as soon as it is modal; records what it showed.
    void WhenShown(std::function<void(WindowImplBase*)> action)
    {
        SetModalAnswerer([this, action = std::move(action)](const ModalInfo& info) -> std::optional<int> {
            shown = info;
            QTimer::singleShot(0, [action] {
                WindowImplBase* dialog = nullptr;
                for (QWidget* widget : QApplication::topLevelWidgets()) {
                    if (widget->objectName() == "MessageBoxDialog_Class" && widget->isVisible())
                        dialog = WindowFromHandle(qt::HandleFromWidget(widget));
                }
                ASSERT_TRUE(dialog);
                action(dialog);
            });
            return std::nullopt;
        });
    }

    static void Click(WindowImplBase* dialog, const char16_t* name)
    {
        CControlUI* control = dialog->FindControl(name);
        ASSERT_TRUE(control) << "no control";
        EXPECT_TRUE(SimulateClick(control));
    }

    ModalInfo shown;
};

TEST_F(MessageBoxDialogTest, ButtonsAndKeysGiveTheirResults)
{
    struct Case {
        const char* how;
        std::function<void(WindowImplBase*)> act;
        int expected;
    } cases[] = {
        { "okbtn", [](WindowImplBase* d) { Click(d, u"okbtn"); }, 1 },
        { "cancelbtn", [](WindowImplBase* d) { Click(d, u"cancelbtn"); }, 2 },
        { "closebtn", [](WindowImplBase* d) { Click(d, u"closebtn"); }, 2 },
        { "Enter", [](WindowImplBase* d) { SimulateKey(d->GetHWND(), VK_RETURN); }, 1 },
        { "Escape", [](WindowImplBase* d) { SimulateKey(d->GetHWND(), VK_ESCAPE); }, 2 },
        { "desktop close", [](WindowImplBase* d) { d->Widget()->close(); }, 2 },
    };
    for (const Case& c : cases) {
        WhenShown(c.act);
        EXPECT_EQ(MessageBoxDialog::Confirm(nullptr, u"提示", u"你确定要关闭Tessik微端吗", true), c.expected)
            << c.how;
        EXPECT_EQ(shown.className, u"MessageBoxDialog_Class");
        EXPECT_EQ(shown.caption, u"提示");
        EXPECT_EQ(shown.text, u"你确定要关闭Tessik微端吗");
    }
}

TEST_F(MessageBoxDialogTest, InformHidesCancelAndConfirmShowsItOnlyWhenAsked)
{
    std::vector<bool> cancelVisible;
    auto look = [&](WindowImplBase* d) {
        cancelVisible.push_back(d->FindControl(u"cancelbtn")->IsVisible());
        Click(d, u"closebtn");
    };
    WhenShown(look);
    EXPECT_EQ(MessageBoxDialog::Inform(nullptr, u"提示", u"当前版本已是最新版本"), 2);
    WhenShown(look);
    MessageBoxDialog::Confirm(nullptr, u"提示", u"x", false);
    WhenShown(look);
    MessageBoxDialog::Confirm(nullptr, u"提示", u"x", true);
    EXPECT_EQ(cancelVisible, (std::vector<bool> { false, false, true }));
}

// However the window is closed, only the OK code counts as OK.
TEST_F(MessageBoxDialogTest, ClosingWithTheOkCodeIsOkAndAnyOtherCodeIsCancel)
{
    for (const auto& [code, expected] : { std::pair { 1u, 1 }, { 2u, 2 }, { 0u, 2 }, { 7u, 2 } }) {
        WhenShown([code = code](WindowImplBase* d) { d->Close(code); });
        EXPECT_EQ(MessageBoxDialog::Inform(nullptr, u"提示", u"x"), expected) << code;
    }
}

TEST_F(MessageBoxDialogTest, LongTextGrowsOnlyTheHeightAndShortTextKeepsTheLayoutSize)
{
    std::vector<RECT> sizes;
    auto measure = [&](WindowImplBase* d) {
        sizes.push_back(GetClientRect(d->GetHWND()));
        Click(d, u"okbtn");
    };
    WhenShown(measure);
    MessageBoxDialog::Inform(nullptr, u"提示", u"短");
    std::u16string longText;
    for (int i = 0; i < 60; ++i)
        longText += u"有新版本请进入主界面后进行软件更新";
    WhenShown(measure);
    MessageBoxDialog::Inform(nullptr, u"提示", longText);
    ASSERT_EQ(sizes.size(), 2u);
    EXPECT_EQ(sizes[0].right, 380);
    EXPECT_EQ(sizes[0].bottom, 190) << "never below the layout's height";
    EXPECT_EQ(sizes[1].right, 380) << "never wider";
    EXPECT_GT(sizes[1].bottom, 190 + 200) << "a long text needs more lines";
}

// 2,400 characters on an 800 x 600 screen: the box stays on the screen, the text scrolls, OK answers.
TEST_F(MessageBoxDialogTest, AHugeTextStaysWithinTheWorkAreaScrollsAndStaysAnswerable)
{
    std::u16string hugeText;
    for (int i = 0; i < 150; ++i)
        hugeText += u"版本说明版本说明版本说明版本说明";
    RECT window {}, work {}, client {}, ok {};
    int scrollRange = 0, scrolledTo = 0;
    bool okVisible = false;
    WhenShown([&](WindowImplBase* d) {
        window = GetWindowRect(d->GetHWND());
        work = GetWorkArea(d->GetHWND());
        client = GetClientRect(d->GetHWND());
        ok = d->FindControl(u"okbtn")->GetPos();
        okVisible = d->FindControl(u"okbtn")->IsVisible();
        auto* text = static_cast<CTextUI*>(d->FindControl(u"text")->GetInterface(u"Text"));
        scrollRange = text->GetScrollRange();
        text->SetScrollPos(scrollRange);
        scrolledTo = text->GetScrollPos();
        Click(d, u"okbtn");
    });
    EXPECT_EQ(MessageBoxDialog::Confirm(nullptr, u"提示", hugeText, true), 1);
    EXPECT_GE(window.top, work.top);
    EXPECT_LE(window.bottom, work.bottom);
    EXPECT_EQ(client.right, 380) << "never wider";
    EXPECT_TRUE(okVisible);
    EXPECT_GT(ok.top, 0);
    EXPECT_LE(ok.bottom, client.bottom) << "OK inside the box";
    EXPECT_GT(scrollRange, 0) << "the rest of the text scrolls into view";
    EXPECT_EQ(scrolledTo, scrollRange);
}

TEST_F(MessageBoxDialogTest, CentredOnItsOwner)
{
    class Owner : public WindowImplBase {
    public:
        CDuiString GetSkinFile() override { return u"tabwin.xml"; }
        CDuiString GetWindowClassName() const override { return u"Owner"; }
    } owner;
    ASSERT_TRUE(owner.Create(nullptr, u"", UI_WNDSTYLE_FRAME, 0, 100, 100, 800, 600));
    RECT dialogRect {};
    WhenShown([&](WindowImplBase* d) {
        dialogRect = GetWindowRect(d->GetHWND());
        Click(d, u"okbtn");
    });
    MessageBoxDialog::Inform(owner.GetHWND(), u"提示", u"居中");
    RECT ownerRect = GetWindowRect(owner.GetHWND());
    EXPECT_NEAR((dialogRect.left + dialogRect.right) / 2.0, (ownerRect.left + ownerRect.right) / 2.0, 1);
    EXPECT_NEAR((dialogRect.top + dialogRect.bottom) / 2.0, (ownerRect.top + ownerRect.bottom) / 2.0, 1);
    DestroyWindow(owner.GetHWND());
}

} // namespace
