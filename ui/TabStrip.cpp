#include "ui/TabStrip.h"

#include "ids/WindowMessageIds.h"
#include "ids/WindowStyleIds.h"
#include "platform/os/TextCodec.h"
#include "platform/ui/HorizontalLayoutUI.h"
#include "platform/ui/RenderEngine.h"
#include "platform/ui/WindowContainerUI.h"
#include "ui/TabWin.h"

#include <algorithm>

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
        scrollingRows->EnsureVisible(tabs[index].row);
}

int TabStrip::CurrentIndex() const { return pages ? pages->GetCurSel() : -1; }

TabWin* TabStrip::TabAt(int index) const
{
    return index >= 0 && index < Count() ? tabs[index].window : nullptr;
}

int TabStrip::IndexOfTabId(int tabId) const
{
    auto tab = std::find_if(tabs.begin(), tabs.end(), [tabId](const Tab& each) { return each.id == tabId; });
    return tab == tabs.end() ? -1 : static_cast<int>(tab - tabs.begin());
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
    Tab tab;
    tab.window = new TabWin(url);
    tab.id = tab.window->GetTabId();
    AddButtonRow(tab, title, closable);
    AddPage(tab, url);
    tabs.push_back(tab);
    SelectTab(Count() - 1);
    tab.button->Selected(true);
}

void TabStrip::AddButtonRow(Tab& tab, const std::u16string& title, bool closable)
{
    auto* row = new CHorizontalLayoutUI;
    row->SetName(u"tab_basic_win_button");
    ShowRowSelected(row, true);
    row->SetMaxHeight(kTabHeight);
    COptionUI* tabButton = MakeTabButton(title);
    CButtonUI* closeButton = MakeCloseButton(tab.id);
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
    tabButton->OnNotify([this, tabId = tab.id, tabButton, row](TNotifyUI& msg) {
        if (msg.type == kNotifyClick)
            OnTabButtonClicked(tabId);
        else if (msg.type == kNotifySelectChanged)
            ShowRowSelected(row, tabButton->IsSelected());
        return true;
    });
    tab.row = row;
    tab.button = tabButton;
}

COptionUI* TabStrip::MakeTabButton(const std::u16string& title)
{
    auto* button = new COptionUI;
    button->SetName(u"tab_button");
    button->SetText(title);
    button->SetToolTip(title);
    button->SetStyleName(u"tab_win_button_bk_style", frame.GetPaintManager());
    button->SetGroup(u"group_tab_button");
    button->SetFixedWidth(kTabWidth);
    button->SetFixedHeight(kTabHeight);
    return button;
}

CButtonUI* TabStrip::MakeCloseButton(int tabId)
{
    auto* button = new CButtonUI;
    button->SetName(u"close_tab_btn");
    button->SetStyleName(u"tab_win_button_style", frame.GetPaintManager());
    button->SetToolTip(u"关闭 ");
    button->SetFixedWidth(kCloseButtonSize);
    button->SetFixedHeight(kCloseButtonSize);
    button->OnNotify([this, tabId](TNotifyUI& msg) {
        if (msg.type == kNotifyClick)
            frame.PostMessageW(WM_CLOSE_TAB, static_cast<WPARAM>(tabId), 0);
        return true;
    });
    return button;
}

void TabStrip::AddPage(Tab& tab, const std::string& url)
{
    std::u16string pageName = platform::os::Utf8ToUtf16(url);
    tab.window->Create(frame.GetHWND(), pageName, kTabWindowStyle, 0);
    auto* page = new CHorizontalLayoutUI;
    page->SetName(pageName);
    auto* container = new CWindowContainerUI;
    container->SetName(u"window_container");
    page->Add(container);
    container->SetWindow(frame.GetPaintManager(), tab.window->GetPaintManager(), tab.window);
    pages->Add(page);
    pages->SelectItem(pages->GetCount() - 1, true);
    container->SetVisible(true);
    tab.page = page;
    tab.container = container;
}

void TabStrip::SelectTab(int index)
{
    if (!pages)
        return;
    int current = pages->GetCurSel();
    HideWindowsExcept(-1);
    pages->SelectItem(index, current < index);
    pages->Invalidate();
    if (index < 0 || index >= Count())
        return;
    tabs[index].container->SetVisible(true);
    tabs[index].button->Selected(true);
    RevealTab(index);
}

void TabStrip::OnTabButtonClicked(int tabId)
{
    const int index = IndexOfTabId(tabId);
    if (index < 0)
        return;
    HideWindowsExcept(index);
    pages->SelectItem(index, true);
    tabs[index].container->SetVisible(true);
    RevealTab(index);
}

void TabStrip::HideWindowsExcept(int index)
{
    for (int i = 0; i < Count(); ++i) {
        if (i != index)
            tabs[i].container->SetVisible(false);
    }
}

void TabStrip::CloseTab(int tabId)
{
    const int index = IndexOfTabId(tabId);
    if (index < 0)
        return;
    // The record goes first: nothing that runs while the tab's window is torn down finds it.
    const Tab tab = tabs[index];
    tabs.erase(tabs.begin() + index);
    pages->Remove(tab.page);
    buttonRows->Remove(tab.row);
    SelectTab(index < Count() ? index : std::max(index - 1, 0));
}

void TabStrip::SetTitle(int tabId, const std::u16string& title)
{
    const int index = IndexOfTabId(tabId);
    if (index < 0)
        return;
    COptionUI* button = tabs[index].button;
    int charWidth = CRenderEngine::GetTextSize(frame.GetPaintManager(), u"中", -1).cx;
    button->SetToolTip(title);
    int buttonWidth = button->GetWidth() > 0 ? button->GetWidth() : button->GetFixedWidth();
    button->SetText(FittedTitle(title, buttonWidth, charWidth));
}

std::u16string TabStrip::FittedTitle(const std::u16string& title, int buttonWidth, int charWidth)
{
    if (buttonWidth > 0 && charWidth > 0 && static_cast<size_t>(buttonWidth / charWidth) < title.size())
        return title.substr(0, kShownTitleLength) + u"...";
    return title;
}
