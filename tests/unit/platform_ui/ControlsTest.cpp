#include "TestWindow.h"

#include "platform/ui/ButtonUI.h"
#include "platform/ui/ControlRef.h"
#include "platform/ui/DialogBuilder.h"
#include "platform/ui/HorizontalLayoutUI.h"
#include "platform/ui/ListContainerElementUI.h"
#include "platform/ui/ListUI.h"
#include "platform/ui/ModalAnswerer.h"
#include "platform/ui/OptionUI.h"
#include "platform/ui/RenderEngine.h"
#include "platform/ui/WindowOps.h"
#include "platform/ui/qt/ControlWidget.h"

#include <QAccessible>
#include <QApplication>
#include <cstdint>
#include <gtest/gtest.h>
#include <memory>
#include <vector>

using namespace platform::ui;

namespace {

class Controls : public testing::Test {
protected:
    void SetUp() override
    {
        window = std::make_unique<TestWindow>(kSimpleLayout);
        ASSERT_TRUE(window->Create(nullptr, u"", UI_WNDSTYLE_FRAME, 0));
        window->ShowWindow();
        QApplication::processEvents();
        window->onNotify = [this](TNotifyUI& msg) {
            if (msg.type == kNotifyClick)
                clicks.push_back(msg.pSender->GetName());
        };
    }
    void TearDown() override { DestroyWindow(window->GetHWND()); }

    TEventUI Event(CControlUI* control, int type, POINT at)
    {
        TEventUI event;
        event.Type = type;
        event.pSender = control;
        event.ptMouse = at;
        return event;
    }
    static POINT Centre(CControlUI* c)
    {
        RECT rc = c->GetPos();
        return POINT { (rc.left + rc.right) / 2, (rc.top + rc.bottom) / 2 };
    }

    std::unique_ptr<TestWindow> window;
    std::vector<CDuiString> clicks;
};

TEST_F(Controls, ButtonClicksOnlyOnAReleaseInsideAfterAPressInside)
{
    CControlUI* ok = window->FindControl(u"OkBtn");
    RECT rc = ok->GetPos();
    ASSERT_GT(rc.right - rc.left, 0) << "laid out";
    EXPECT_EQ(rc.right - rc.left, 60);

    TEventUI down = Event(ok, UIEVENT_BUTTONDOWN, Centre(ok));
    ok->DoEvent(down);
    TEventUI upOutside = Event(ok, UIEVENT_BUTTONUP, POINT { rc.right + 50, rc.bottom + 50 });
    ok->DoEvent(upOutside);
    EXPECT_TRUE(clicks.empty()) << "dragged off before release";

    TEventUI upWithoutPress = Event(ok, UIEVENT_BUTTONUP, Centre(ok));
    ok->DoEvent(upWithoutPress);
    EXPECT_TRUE(clicks.empty()) << "release without a press";

    ok->DoEvent(down);
    TEventUI up = Event(ok, UIEVENT_BUTTONUP, Centre(ok));
    ok->DoEvent(up);
    EXPECT_EQ(clicks, std::vector<CDuiString> { u"OkBtn" });
}

TEST_F(Controls, SpaceAndEnterActivateTheFocusedButtonButNotADisabledOne)
{
    CControlUI* ok = window->FindControl(u"OkBtn");
    ok->SetFocus();
    SimulateKey(window->GetHWND(), VK_SPACE);
    SimulateKey(window->GetHWND(), VK_RETURN);
    EXPECT_EQ(clicks.size(), 2u);
    ok->SetEnabled(false);
    SimulateKey(window->GetHWND(), VK_SPACE);
    EXPECT_EQ(clicks.size(), 2u);
    EXPECT_FALSE(ok->Activate());
}

// The look follows the enabled state alone: hot and pushed colours never show on a disabled button.
TEST_F(Controls, ADisabledButtonShowsItsDisabledColoursWhateverThePointerDid)
{
    auto* ok = static_cast<CButtonUI*>(window->FindControl(u"OkBtn"));
    ok->SetAttribute(u"bkcolor", u"#FF0000FF");
    ok->SetAttribute(u"hotbkcolor", u"#FF00FF00");
    ok->SetAttribute(u"pushedbkcolor", u"#FFFF0000");
    ok->SetAttribute(u"disabledbkcolor", u"#FF808080");
    auto painted = [&] { return ok->Widget()->grab().toImage().pixelColor(1, 1).rgb() & 0xFFFFFF; };
    auto send = [&](int type) {
        TEventUI event = Event(ok, type, Centre(ok));
        ok->DoEvent(event);
    };
    // Wherever the pointer starts (over the button, on an offscreen screen), it leaves first.
    send(UIEVENT_MOUSELEAVE);
    EXPECT_EQ(painted(), 0x0000FFu);
    send(UIEVENT_MOUSEENTER);
    EXPECT_EQ(painted(), 0x00FF00u) << "hot";
    ok->SetEnabled(false);
    EXPECT_EQ(painted(), 0x808080u) << "disabled under the pointer";
    send(UIEVENT_MOUSELEAVE);
    send(UIEVENT_MOUSEENTER);
    send(UIEVENT_BUTTONDOWN);
    EXPECT_EQ(painted(), 0x808080u) << "entered and pressed while disabled";
    ok->SetEnabled(true);
    send(UIEVENT_BUTTONDOWN);
    ok->SetEnabled(false);
    EXPECT_EQ(painted(), 0x808080u) << "disabled while pressed";
    send(UIEVENT_BUTTONUP);
    EXPECT_TRUE(clicks.empty());
    ok->SetEnabled(true);
    EXPECT_EQ(painted(), 0x0000FFu);
}

TEST_F(Controls, ChildrenWithAFixedSizeKeepItAndSpareRoomStaysAtTheEnd)
{
    auto* bar = static_cast<CContainerUI*>(window->FindControl(u"bar")->GetInterface(u"Container"));
    auto* fixed = new CButtonUI;
    fixed->SetFixedWidth(40);
    auto* capped = new CButtonUI;
    capped->SetMaxWidth(30);
    bar->RemoveAll();
    bar->Add(fixed);
    bar->Add(capped);
    QApplication::processEvents();
    RECT a = fixed->GetPos();
    RECT b = capped->GetPos();
    EXPECT_EQ(a.right - a.left, 40);
    EXPECT_EQ(b.right - b.left, 30);
    EXPECT_EQ(b.left, a.right) << "no gap between children";

    bar->SetChildPadding(6);
    bar->SetInset(RECT { 5, 0, 0, 0 });
    fixed->SetPadding(RECT { 3, 0, 0, 0 });
    QApplication::processEvents();
    EXPECT_EQ(fixed->GetPos().left, 5 + 3);
    EXPECT_EQ(capped->GetPos().left, 5 + 3 + 40 + 6);
}

TEST_F(Controls, EstimatesAddChildrenInTheirDirection)
{
    CHorizontalLayoutUI row;
    auto* a = new CControlUI;
    a->SetFixedWidth(10);
    a->SetFixedHeight(25);
    auto* b = new CControlUI;
    b->SetFixedWidth(20);
    b->SetFixedHeight(5);
    row.Add(a);
    row.Add(b);
    row.SetChildPadding(2);
    row.SetInset(RECT { 1, 1, 1, 1 });
    SIZE size = row.EstimateSize(SIZE { 500, 500 });
    EXPECT_EQ(size.cx, 10 + 2 + 20 + 2);
    EXPECT_EQ(size.cy, 25 + 2);
    b->SetVisible(false);
    EXPECT_EQ(row.EstimateSize(SIZE { 500, 500 }).cx, 10 + 2);
    row.SetFixedHeight(40);
    EXPECT_EQ(row.EstimateSize(SIZE { 500, 500 }).cy, 40);
}

TEST_F(Controls, ChildrenKeepTheirOrderThroughInsertsMovesAndRemovals)
{
    auto* list = new CListUI;
    static_cast<CContainerUI*>(window->FindControl(u"root"))->Add(list);
    auto row = [&](const char16_t* name) {
        auto* element = new CListContainerElementUI;
        element->SetName(name);
        return element;
    };
    auto order = [&] {
        std::u16string names;
        for (int i = 0; i < list->GetCount(); ++i)
            names += list->GetItemAt(i)->GetName();
        return names;
    };
    CControlUI* a = row(u"a");
    CControlUI* c = row(u"c");
    list->Add(a);
    list->Add(c);
    CControlUI* b = row(u"b");
    list->AddAt(b, 1);
    list->AddAt(row(u"d"), 3);
    EXPECT_EQ(order(), u"abcd");
    EXPECT_EQ(list->GetItemIndex(c), 2);
    EXPECT_EQ(list->FindSubControl(u"d"), list->GetItemAt(3));

    EXPECT_TRUE(list->SetItemIndex(a, 2));
    EXPECT_EQ(order(), u"bcad");
    EXPECT_TRUE(list->SetItemIndex(b, 3));
    EXPECT_EQ(order(), u"cadb");
    EXPECT_TRUE(list->SetItemIndex(b, 0));
    EXPECT_EQ(order(), u"bcad");

    // The removed row's widget lingers until the event loop deletes it.
    list->Remove(c);
    EXPECT_EQ(order(), u"bad");
    EXPECT_EQ(list->FindSubControl(u"c"), nullptr);
    EXPECT_EQ(static_cast<CListContainerElementUI*>(a)->GetIndex(), 1);
    QApplication::processEvents();
}

TEST_F(Controls, ListSelectsOneRowAndReportsPressesAsItemClicks)
{
    auto* list = new CListUI;
    auto* first = new CListContainerElementUI;
    auto* second = new CListContainerElementUI;
    list->Add(first);
    list->Add(second);
    static_cast<CContainerUI*>(window->FindControl(u"root"))->Add(list);
    std::vector<CDuiString> kinds;
    window->onNotify = [&](TNotifyUI& msg) { kinds.push_back(msg.sType); };
    EXPECT_EQ(second->GetIndex(), 1);
    EXPECT_EQ(second->GetOwner(), list);

    TEventUI press = Event(second, UIEVENT_BUTTONDOWN, Centre(second));
    second->DoEvent(press);
    EXPECT_EQ(list->GetCurSel(), 1);
    EXPECT_TRUE(second->IsSelected());
    EXPECT_EQ(kinds.front(), u"itemclick");
    EXPECT_TRUE(list->SelectItem(0));
    EXPECT_FALSE(second->IsSelected());
    EXPECT_TRUE(first->IsSelected());

    EXPECT_TRUE(list->SetItemIndex(second, 0));
    EXPECT_EQ(second->GetIndex(), 0);
    EXPECT_EQ(first->GetIndex(), 1);
    EXPECT_EQ(list->GetCurSel(), 1) << "the selection follows its row";
    EXPECT_FALSE(list->SetItemIndex(second, 5));

    second->SetEnabled(false);
    EXPECT_FALSE(list->SelectItem(0));
    list->Remove(first);
    EXPECT_EQ(list->GetCurSel(), -1);
    EXPECT_EQ(second->GetIndex(), 0);
}

TEST_F(Controls, MouseChildDisabledMakesChildrenTransparentToTheMouse)
{
    auto* element = new CListContainerElementUI;
    auto* label = new CLabelUI;
    element->Add(label);
    element->SetMouseChildEnabled(false);
    static_cast<CContainerUI*>(window->FindControl(u"root"))->Add(element);
    auto* late = new CLabelUI;
    element->Add(late);
    EXPECT_TRUE(label->Widget()->testAttribute(Qt::WA_TransparentForMouseEvents));
    EXPECT_TRUE(late->Widget()->testAttribute(Qt::WA_TransparentForMouseEvents));
    element->SetMouseChildEnabled(true);
    EXPECT_FALSE(label->Widget()->testAttribute(Qt::WA_TransparentForMouseEvents));
}

TEST_F(Controls, HandlerThatRemovesItsOwnControlDoesNotCrash)
{
    auto* bar = static_cast<CContainerUI*>(window->FindControl(u"bar")->GetInterface(u"Container"));
    CControlUI* ok = window->FindControl(u"OkBtn");
    int calls = 0;
    ok->OnNotify([&](TNotifyUI&) {
        ++calls;
        bar->Remove(ok);
        return true;
    });
    ok->OnNotify([&](TNotifyUI&) {
        ++calls;
        return true;
    });
    EXPECT_TRUE(SimulateClick(ok));
    EXPECT_EQ(calls, 1) << "handlers stop once their control is gone";
    EXPECT_EQ(window->FindControl(u"OkBtn"), nullptr);
    QApplication::processEvents();
}

TEST_F(Controls, AWindowForgetsTheFocusAndGroupMembersOfControlsThatLeaveIt)
{
    auto* root = static_cast<CContainerUI*>(window->FindControl(u"root"));
    auto* row = new CHorizontalLayoutUI;
    auto* first = new COptionUI;
    auto* second = new COptionUI;
    first->SetGroup(u"h");
    second->SetGroup(u"h");
    row->Add(first);
    row->Add(second);
    root->Add(row);
    EXPECT_EQ(first->GetParent(), row);
    EXPECT_EQ(row->GetParent(), root);
    EXPECT_EQ(root->GetParent(), nullptr);
    first->Selected(true);
    first->SetFocus();
    ASSERT_EQ(window->GetPaintManager()->GetFocus(), first);

    row->Remove(first);
    EXPECT_EQ(window->GetPaintManager()->GetFocus(), nullptr);
    second->Selected(true);
    EXPECT_TRUE(second->IsSelected());
    EXPECT_EQ(window->GetPaintManager()->GetOptionGroup(u"h"), std::vector<COptionUI*> { second });
    root->Remove(row);
    EXPECT_TRUE(window->GetPaintManager()->GetOptionGroup(u"h").empty());
}

TEST(RenderEngine, TextSizesComeFromRealFontMetrics)
{
    SIZE one = CRenderEngine::GetTextSize(nullptr, u"中", -1);
    SIZE eight = CRenderEngine::GetTextSize(nullptr, u"中中中中中中中中", -1);
    EXPECT_GT(one.cx, 6);
    EXPECT_GT(one.cy, 6);
    EXPECT_EQ(eight.cx, 8 * one.cx) << "the CJK font is monospaced for ideographs";
    EXPECT_EQ(eight.cy, one.cy);
    EXPECT_EQ(CRenderEngine::GetTextSize(nullptr, u"", -1).cx, 0);

    CPaintManagerUI manager;
    manager.AddFont(3, TFontInfo { u"WenQuanYi Micro Hei", 24, false, false, false });
    EXPECT_GT(CRenderEngine::GetTextSize(&manager, u"中", 3).cx, one.cx);

    SIZE wrapped = CRenderEngine::GetWrappedTextSize(nullptr, u"中中中中中中中中", -1, one.cx * 3);
    EXPECT_LE(wrapped.cx, one.cx * 3);
    EXPECT_GE(wrapped.cy, 3 * one.cy) << "eight ideographs take three lines of three";
    RECT rc { 0, 0, one.cx * 3, 1000 };
    CRenderEngine::DrawTextW(
        nullptr, nullptr, rc, u"中中中中中中中中", 0xFF000000, -1, DT_WORDBREAK | DT_CALCRECT);
    EXPECT_EQ(rc.bottom - rc.top, wrapped.cy);
}

} // namespace

namespace {

TEST(ControlLifetime, ControlsBuiltForAWindowMayOutliveIt)
{
    std::unique_ptr<CControlUI> row;
    {
        CPaintManagerUI manager;
        CDialogBuilder builder;
        row.reset(builder.CreateFromText(
            "<HorizontalLayout><Option name=\"o\" group=\"g\" selected=\"true\" /></HorizontalLayout>",
            u"row.xml", nullptr, &manager));
        ASSERT_TRUE(row);
    }
    row.reset();
}

TEST(ControlLifetime, AReferenceToAGoneControlStaysDeadOnceANewControlTakesItsMemory)
{
    auto* gone = new CButtonUI;
    ControlRef ref(gone);
    ASSERT_EQ(ref.Get(), gone);
    const auto address = reinterpret_cast<std::uintptr_t>(gone);
    delete gone;
    // The allocator soon hands the memory out again (a harness saw it every time); keeping the
    // misses alive makes each try a fresh block.
    std::vector<std::unique_ptr<CButtonUI>> made;
    while (made.size() < 1000
        && (made.empty() || reinterpret_cast<std::uintptr_t>(made.back().get()) != address))
        made.push_back(std::make_unique<CButtonUI>());
    EXPECT_EQ(ref.Get(), nullptr);
    if (reinterpret_cast<std::uintptr_t>(made.back().get()) == address) {
        EXPECT_TRUE(ControlRef(made.back().get()).Alive());
    }
}

} // namespace

namespace {

TEST_F(Controls, EventHandlersSeeInputFirstAndMayStopIt)
{
    CControlUI* ok = window->FindControl(u"OkBtn");
    std::vector<int> seen;
    bool block = true;
    ok->OnEvent([&](TEventUI& event) {
        seen.push_back(event.Type);
        return !block;
    });
    EXPECT_TRUE(SimulateClick(ok));
    EXPECT_EQ(seen, (std::vector<int> { UIEVENT_BUTTONDOWN, UIEVENT_BUTTONUP }));
    EXPECT_TRUE(clicks.empty());
    block = false;
    SimulateClick(ok);
    EXPECT_EQ(clicks.size(), 1u);
}

TEST_F(Controls, RightClickSendsTheMenuNotificationOnlyWhenTheControlUsesOne)
{
    CControlUI* ok = window->FindControl(u"OkBtn");
    int menus = 0;
    window->onNotify = [&](TNotifyUI& msg) { menus += msg.type == kNotifyMenu; };
    TEventUI event = Event(ok, UIEVENT_CONTEXTMENU, Centre(ok));
    ok->Event(event);
    EXPECT_EQ(menus, 0);
    ok->SetAttribute(u"menu", u"true");
    ok->Event(event);
    EXPECT_EQ(menus, 1);
}

} // namespace

// Screen readers, and the Wayland tests that have no pointer, name buttons by what they say and
// press them; the press runs from the event loop, as a modal window it opens would stall the caller.
TEST_F(Controls, AssistiveTechnologyNamesControlsAndPressesEnabledButtonsLater)
{
    CControlUI* ok = window->FindControl(u"OkBtn");
    QAccessibleInterface* button = QAccessible::queryAccessibleInterface(ok->Widget());
    ASSERT_NE(button, nullptr);
    EXPECT_EQ(button->role(), QAccessible::Button);
    EXPECT_EQ(button->text(QAccessible::Name), QStringLiteral("OK"));
    ok->SetToolTip(u"确认");
    EXPECT_EQ(button->text(QAccessible::Name), QStringLiteral("确认"));
    EXPECT_EQ(button->text(QAccessible::Description), QStringLiteral("OK"));

    button->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
    EXPECT_TRUE(clicks.empty());
    QApplication::processEvents();
    EXPECT_EQ(clicks, std::vector<CDuiString> { u"OkBtn" });

    ok->SetEnabled(false);
    EXPECT_TRUE(button->state().disabled);
    EXPECT_TRUE(button->actionInterface()->actionNames().isEmpty());

    QAccessibleInterface* grouped
        = QAccessible::queryAccessibleInterface(window->FindControl(u"a")->Widget());
    EXPECT_EQ(grouped->role(), QAccessible::RadioButton);
    EXPECT_TRUE(grouped->state().checked);
    QAccessibleInterface* solo
        = QAccessible::queryAccessibleInterface(window->FindControl(u"solo")->Widget());
    EXPECT_EQ(solo->role(), QAccessible::CheckBox);
    EXPECT_FALSE(solo->state().checked);
    QAccessibleInterface* label
        = QAccessible::queryAccessibleInterface(window->FindControl(u"page0")->Widget());
    EXPECT_EQ(label->role(), QAccessible::StaticText);
    EXPECT_EQ(label->text(QAccessible::Name), QStringLiteral("zero"));
}
