#include "ui/FindBar.h"

#include "browser/SharedClientHandler.h"
#include "platform/engine/CefBrowser.h"
#include "platform/ui/EditUI.h"
#include "platform/ui/WindowOps.h"

#include <string>

using namespace platform::ui;

namespace {
constexpr int kDefaultHeight = 36;
}

FindBar::FindBar(int tabId, std::function<void()> changed, std::function<void()> gone)
    : tabId(tabId)
    , changed(std::move(changed))
    , gone(std::move(gone))
{
}

std::u16string FindBar::CountText(const std::u16string& searched, int matches, int activeMatch)
{
    if (searched.empty())
        return std::u16string();
    if (matches <= 0)
        return u"无结果";
    auto number = [](int value) {
        const std::string digits = std::to_string(value);
        return std::u16string(digits.begin(), digits.end());
    };
    if (activeMatch <= 0)
        return u"共 " + number(matches) + u" 个";
    return u"第 " + number(activeMatch) + u" 个，共 " + number(matches) + u" 个";
}

int FindBar::Height() const
{
    const RECT rect = GetWindowRect(GetHWND());
    const int height = rect.bottom - rect.top;
    return open ? (height > 0 ? height : kDefaultHeight) : 0;
}

void FindBar::InitWindow()
{
    // Here rather than on windowinit, which comes later: the first Ctrl+F opens the bar
    // straight after creating it and needs the field to give the keyboard to.
    field = static_cast<CEditUI*>(FindControl(u"find_text"));
    count = FindControl(u"find_count");
}

void FindBar::Notify(TNotifyUI& msg)
{
    if (msg.sType == u"textchanged") {
        Search(true, false);
    } else if (msg.sType == u"return") {
        Search(msg.wParam == 0, true);
    } else if (msg.type == kNotifyClick) {
        if (msg.SenderIs(u"find_next"))
            Search(true, true);
        else if (msg.SenderIs(u"find_previous"))
            Search(false, true);
        else if (msg.SenderIs(u"find_close"))
            Close();
    }
}

LRESULT FindBar::ResponseDefaultKeyEvent(WPARAM key)
{
    if (key != VK_ESCAPE)
        return 0;
    Close();
    return 1;
}

void FindBar::Open()
{
    const bool wasOpen = open;
    open = true;
    ShowWindow(true, true);
    if (!wasOpen && changed)
        changed();
    if (!field)
        return;
    field->FocusAndSelectAll();
    if (!field->GetText().empty())
        Search(true, false);
}

void FindBar::Close()
{
    if (!open)
        return;
    open = false;
    ShowWindow(false, false);
    auto browser = sharedClientHandler ? sharedClientHandler->FindBrowserByTabId(tabId) : nullptr;
    if (browser) {
        browser->GetHost()->StopFinding(true);
        browser->GetHost()->SetFocus(true);
    }
    if (count)
        count->SetText(u"");
    if (changed)
        changed();
}

void FindBar::ShowResult(int matches, int activeMatch)
{
    if (open && count && field)
        count->SetText(CountText(field->GetText(), matches, activeMatch));
}

void FindBar::Search(bool forward, bool next)
{
    auto browser = sharedClientHandler ? sharedClientHandler->FindBrowserByTabId(tabId) : nullptr;
    if (!browser || !field)
        return;
    const std::u16string text = field->GetText();
    if (text.empty()) {
        browser->GetHost()->StopFinding(true);
        count->SetText(u"");
        return;
    }
    browser->GetHost()->Find(text, forward, false, next);
}

void FindBar::OnFinalMessage(HWND hwnd)
{
    WindowImplBase::OnFinalMessage(hwnd);
    if (gone)
        gone();
    delete this;
}
