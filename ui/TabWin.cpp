#include "ui/TabWin.h"

#include "browser/NextTabId.h"
#include "browser/SharedClientHandler.h"
#include "browser/TabContextHandler.h"
#include "ids/CloseCodes.h"
#include "ids/WindowStyleIds.h"
#include "platform/engine/CefBrowser.h"
#include "platform/engine/CefRequestContext.h"
#include "platform/ui/MessageBox.h"
#include "platform/ui/Notify.h"
#include "platform/ui/WindowOps.h"
#include "ui/FindBar.h"
#include "ui/MiniPlayerNotice.h"
#include "ui/PermissionPrompt.h"

using namespace platform::ui;
using platform::engine::CefRefPtr;

namespace {
constexpr int kMissingHeaderHeight = 24;
}

TabWin::TabWin(const std::string& url)
    : tabId(NextTabId())
    , url(url)
{
}

UINT TabWin::GetClassStyle() const { return CS_VREDRAW | CS_HREDRAW | CS_DBLCLKS | CS_SAVEBITS; }

int TabWin::HeaderHeight() const
{
    if (!header)
        return kMissingHeaderHeight;
    return header->IsVisible() ? header->GetFixedHeight() : 0;
}

void TabWin::Notify(TNotifyUI& msg)
{
    if (msg.type == kNotifyWindowInit) {
        header = FindControl(u"header");
        CreateBrowser();
    } else if (msg.type == kNotifyClick) {
        if (msg.SenderIs(u"closebtn"))
            Close(kCloseAccepted);
        else
            SendWindowButtonCommand(msg);
    }
}

void TabWin::CreateBrowser()
{
    const RECT rect = GetWindowRect(GetHWND());
    const int w = rect.right - rect.left;
    const int h = rect.bottom - rect.top;
    const int hh = HeaderHeight();

    platform::engine::CefWindowInfo windowInfo;
    windowInfo.SetAsChild(GetHWND(), RECT { 0, hh, w, h - hh });
    windowInfo.style = kBrowserWindowStyle;

    CefRefPtr<TabContextHandler> contextHandler(new TabContextHandler(tabId));
    auto requestContext = platform::engine::CefRequestContext::CreateContext(contextHandler);

    if (!platform::engine::CefBrowserHost::CreateBrowser(windowInfo, sharedClientHandler.get(), url,
            platform::engine::CefBrowserSettings(), requestContext))
        MessageBoxW(nullptr, u"初始化浏览器失败１", u"Error", MB_OK);
}

LRESULT TabWin::OnSize(UINT msg, WPARAM wParam, LPARAM lParam, bool& bHandled)
{
    FitBrowser();
    return WindowImplBase::OnSize(msg, wParam, lParam, bHandled);
}

void TabWin::SetFillsWindow(bool fills)
{
    fillsWindow = fills;
    FitBrowser();
}

void TabWin::ShowPermissionPrompt(uint64_t promptId, const std::u16string& text, bool question,
    const std::vector<std::u16string>& choices, const std::u16string& allowText,
    const std::u16string& denyText)
{
    permissionPrompt = PermissionPrompt::ShowInTab(
        GetHWND(), permissionPrompt, promptId, text, question, choices, allowText, denyText, PageTop());
}

int TabWin::PageTop() const
{
    if (fillsWindow)
        return 0;
    // The question sits on the page, below an open find bar rather than over it.
    return HeaderHeight() + (findBar ? findBar->Height() : 0);
}

void TabWin::SetPlayingElsewhere(bool elsewhere)
{
    playingElsewhere = elsewhere;
    if (elsewhere && !IsWindow(miniPlayerNotice)) {
        auto* notice = new MiniPlayerNotice(tabId);
        miniPlayerNotice = notice->Create(GetHWND(), u"mini_player_notice", kPagePromptStyle, 0);
        if (!miniPlayerNotice)
            delete notice;
    }
    platform::ui::ShowWindow(miniPlayerNotice, elsewhere ? SW_SHOW : SW_HIDE);
    FitBrowser();
    if (elsewhere)
        return;
    // The page came back as the newest child, above what sits over it.
    if (findBar)
        SetWindowPos(findBar->GetHWND(), 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    SetWindowPos(permissionPrompt, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
}

void TabWin::FitBrowser()
{
    PermissionPrompt::Place(GetHWND(), permissionPrompt, PageTop());
    if (playingElsewhere) {
        const RECT rect = GetWindowRect(GetHWND());
        SetWindowPos(miniPlayerNotice, 0, 0, rect.right - rect.left, rect.bottom - rect.top, SWP_NOZORDER);
        return;
    }
    CefRefPtr<BrowserClientHandler> handler = sharedClientHandler;
    auto mainBrowser = handler ? handler->GetMainBrowser() : nullptr;
    if (!mainBrowser || !mainBrowser->GetHost()->GetWindowHandle())
        return;
    auto browser = handler->FindBrowserByTabId(tabId);
    HWND browserWindow = browser ? browser->GetHost()->GetWindowHandle() : nullptr;
    if (!browserWindow)
        return;
    const RECT rect = GetWindowRect(GetHWND());
    const int w = rect.right - rect.left;
    const int h = rect.bottom - rect.top;
    if (fillsWindow) {
        SetWindowPos(browserWindow, 0, 0, w, h, SWP_NOZORDER);
        return;
    }
    const int hh = HeaderHeight();
    const int findBarHeight = findBar ? findBar->Height() : 0;
    if (findBarHeight > 0)
        SetWindowPos(findBar->GetHWND(), 2, hh, w - 4, findBarHeight, SWP_NOZORDER);
    SetWindowPos(browserWindow, 2, hh + findBarHeight, w - 4, h - 2 * hh - findBarHeight, SWP_NOZORDER);
}

void TabWin::OpenFindBar()
{
    if (!findBar) {
        auto* bar = new FindBar(
            tabId, [this] { FitBrowser(); }, [this] { findBar = nullptr; });
        if (!bar->Create(GetHWND(), u"findbar", kPageBarStyle, 0)) {
            delete bar;
            return;
        }
        findBar = bar;
    }
    findBar->Open();
}

void TabWin::ShowFindResult(int count, int activeMatch)
{
    if (findBar)
        findBar->ShowResult(count, activeMatch);
}

void TabWin::OnFinalMessage(HWND hwnd)
{
    WindowImplBase::OnFinalMessage(hwnd);
    delete this;
}
