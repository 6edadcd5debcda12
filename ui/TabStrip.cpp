#include "ui/TabStrip.h"

#include "ids/WindowMessageIds.h"
#include "ids/WindowStyleIds.h"
#include "platform/os/TextCodec.h"
#include "platform/ui/HorizontalLayoutUI.h"
#include "platform/ui/RenderEngine.h"
#include "platform/ui/WindowContainerUI.h"
#include "ui/TabWin.h"

using namespace platform::ui;

namespace {
constexpr int kTabWidth = 174;
constexpr int kTabHeight = 30;
constexpr int kCloseButtonSize = 12;
constexpr size_t kShownTitleLength = 8;
}

TabStrip::TabStrip(WindowImplBase& frame)
    : frame(frame)
{
}

void TabStrip::Attach(CTabLayoutUI* tabPages, CContainerUI* tabButtonRows)
{
    pages = tabPages;
    buttonRows = tabButtonRows;
    scrollingRows
        = buttonRows ? static_cast<CScrollStripUI*>(buttonRows->GetInterface(u"ScrollStrip")) : nullptr;
}

void TabStrip::RevealTab(int index)
{
    if (scrollingRows)
        scrollingRows->EnsureVisible(scrollingRows->GetItemAt(index));
}

int TabStrip::Count() const { return pages ? pages->GetCount() : 0; }

int TabStrip::CurrentIndex() const { return pages ? pages->GetCurSel() : -1; }

TabWin* TabStrip::TabAt(int index) const
{
    CControlUI* page = pages ? pages->GetItemAt(index) : nullptr;
    return page ? reinterpret_cast<TabWin*>(page->GetTag()) : nullptr;
}

int TabStrip::IndexOfTabId(int tabId) const
{
    for (int i = 0; i < Count(); ++i) {
        TabWin* tab = TabAt(i);
        if (tab && tab->GetTabId() == tabId)
            return i;
    }
    return -1;
}

CControlUI* TabStrip::WindowContainerOf(CControlUI* page)
{
    auto* container = static_cast<CContainerUI*>(page->GetInterface(u"Container"));
    return container ? container->FindSubControl(u"window_container") : nullptr;
}

void TabStrip::ShowRowSelected(CControlUI* row, bool selected)
{
    // The row behind the close button takes the tab's colour, so both read as one tab.
    row->SetStyleName(selected ? u"tab_basic_win_button_selected_style" : u"tab_basic_win_button_style",
        frame.GetPaintManager());
}

void TabStrip::OpenTab(const std::string& url, const std::u16string& title, bool closable)
{
    if (!pages || !buttonRows)
        return;
    std::u16string pageName = platform::os::Utf8ToUtf16(url);
    auto* tabWin = new TabWin(url);

    auto* row = new CHorizontalLayoutUI;
    row->SetName(u"tab_basic_win_button");
    ShowRowSelected(row, true);
    row->SetMaxHeight(kTabHeight);
    auto* tabButton = new COptionUI;
    tabButton->SetName(u"tab_button");
    tabButton->SetText(title);
    tabButton->SetToolTip(title);
    tabButton->SetStyleName(u"tab_win_button_bk_style", frame.GetPaintManager());
    tabButton->SetGroup(u"group_tab_button");
    tabButton->SetFixedWidth(kTabWidth);
    tabButton->SetFixedHeight(kTabHeight);
    auto* closeButton = new CButtonUI;
    closeButton->SetName(u"close_tab_btn");
    closeButton->SetStyleName(u"tab_win_button_style", frame.GetPaintManager());
    closeButton->SetToolTip(u"关闭 ");
    closeButton->SetFixedWidth(kCloseButtonSize);
    closeButton->SetFixedHeight(kCloseButtonSize);
    // The close button sits beside the tab button, never over it: a click on the
    // tab's text must not close the tab. The row's width is fixed, so the bar cannot
    // share its room out evenly and squeeze a row below its two buttons.
    RECT closePadding = closeButton->GetPadding();
    row->SetFixedWidth(
        kTabWidth + (closable ? kCloseButtonSize + closePadding.left + closePadding.right : 0));
    row->Add(tabButton);
    row->Add(closeButton);
    buttonRows->Add(row);
    tabButton->Selected(true);
    closeButton->SetVisible(closable);
    tabWin->SetTabOption(tabButton);
    tabButton->OnNotify([this, tabButton, row](TNotifyUI& msg) {
        if (msg.type == kNotifyClick)
            OnTabButtonClicked(tabButton);
        else if (msg.type == kNotifySelectChanged)
            ShowRowSelected(row, tabButton->IsSelected());
        return true;
    });
    closeButton->OnNotify([this, tabId = tabWin->GetTabId()](TNotifyUI& msg) {
        if (msg.type == kNotifyClick)
            frame.PostMessageW(WM_CLOSE_TAB, static_cast<WPARAM>(tabId), 0);
        return true;
    });

    tabWin->Create(frame.GetHWND(), pageName, kTabWindowStyle, 0);
    auto* page = new CHorizontalLayoutUI;
    page->SetName(pageName);
    auto* container = new CWindowContainerUI;
    container->SetName(u"window_container");
    page->Add(container);
    container->SetWindow(frame.GetPaintManager(), tabWin->GetPaintManager(), tabWin);
    page->SetTag(reinterpret_cast<std::uintptr_t>(tabWin));
    pages->Add(page);
    pages->SelectItem(pages->GetCount() - 1, true);
    container->SetVisible(true);

    tabButton->SetTag(reinterpret_cast<std::uintptr_t>(page));
    SelectTab(pages->GetCount() - 1);
    tabButton->Selected(true);
}

void TabStrip::SelectTab(int index)
{
    if (!pages)
        return;
    int current = pages->GetCurSel();
    for (int i = 0; i < pages->GetCount(); ++i) {
        if (CControlUI* container = WindowContainerOf(pages->GetItemAt(i)))
            container->SetVisible(false);
    }
    pages->SelectItem(index, current < index);
    pages->Invalidate();
    CControlUI* page = pages->GetItemAt(index);
    if (!page)
        return;
    if (CControlUI* container = WindowContainerOf(page))
        container->SetVisible(true);
    TabWin* tabWin = reinterpret_cast<TabWin*>(page->GetTag());
    if (tabWin && tabWin->GetTabOption())
        tabWin->GetTabOption()->Selected(true);
    RevealTab(index);
}

void TabStrip::OnTabButtonClicked(COptionUI* button)
{
    auto* page = reinterpret_cast<CControlUI*>(button->GetTag());
    int index = 0;
    for (int i = 0; i < pages->GetCount(); ++i) {
        CControlUI* each = pages->GetItemAt(i);
        if (each == page) {
            index = i;
            continue;
        }
        if (CControlUI* container = WindowContainerOf(each))
            container->SetVisible(false);
    }
    pages->SelectItem(index, true);
    if (page)
        if (CControlUI* container = WindowContainerOf(page))
            container->SetVisible(true);
    RevealTab(index);
}

void TabStrip::CloseTab(int tabId)
{
    const int index = IndexOfTabId(tabId);
    if (index < 0)
        return;
    // Pages and rows go in pairs, so the row at the page's index is the tab's.
    pages->Remove(pages->GetItemAt(index));
    buttonRows->Remove(buttonRows->GetItemAt(index));
    int next = 0;
    if (pages->GetItemAt(index))
        next = index;
    else if (index > 0)
        next = index - 1;
    SelectTab(next);
}

void TabStrip::SetTitle(int tabId, const std::u16string& title)
{
    if (!pages)
        return;
    int charWidth = CRenderEngine::GetTextSize(frame.GetPaintManager(), u"中", -1).cx;
    for (int i = 0; i < pages->GetCount(); ++i) {
        TabWin* tabWin = TabAt(i);
        if (!tabWin || tabWin->GetTabId() != tabId || !tabWin->GetTabOption())
            continue;
        COptionUI* button = tabWin->GetTabOption();
        button->SetToolTip(title);
        int buttonWidth = button->GetWidth() > 0 ? button->GetWidth() : button->GetFixedWidth();
        button->SetText(FittedTitle(title, buttonWidth, charWidth));
        return;
    }
}

std::u16string TabStrip::FittedTitle(const std::u16string& title, int buttonWidth, int charWidth)
{
    if (buttonWidth > 0 && charWidth > 0 && static_cast<size_t>(buttonWidth / charWidth) < title.size())
        return title.substr(0, kShownTitleLength) + u"...";
    return title;
}
