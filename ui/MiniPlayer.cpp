#include "ui/MiniPlayer.h"

#include "ids/WindowStyleIds.h"
#include "platform/ui/Notify.h"
#include "platform/ui/WindowOps.h"

using namespace platform::ui;

namespace {
constexpr int kAspectWidth = 16;
constexpr int kAspectHeight = 9;
}

MiniPlayer::MiniPlayer(
    std::function<void()> returnAsked, std::function<void()> closeAsked, std::function<void()> gone)
    : returnAsked(std::move(returnAsked))
    , closeAsked(std::move(closeAsked))
    , gone(std::move(gone))
{
}

bool MiniPlayer::CreateHidden()
{
    if (!Create(nullptr, u"小窗播放", kMiniPlayerStyle, kMiniPlayerExStyle))
        return false;
    SetWindowAspectRatio(GetHWND(), kAspectWidth, kAspectHeight);
    SetWindowMovableByContent(GetHWND());
    return true;
}

void MiniPlayer::Notify(TNotifyUI& msg)
{
    if (msg.type != kNotifyClick)
        return;
    if (msg.SenderIs(u"btn_mini_player_return") && returnAsked)
        returnAsked();
    else if (msg.SenderIs(u"closebtn") && closeAsked)
        closeAsked();
}

LRESULT MiniPlayer::OnClose(UINT msg, WPARAM wParam, LPARAM lParam, bool& bHandled)
{
    (void)msg, (void)wParam, (void)lParam;
    // The window stays for the next video: closing it only ends the playing here.
    bHandled = true;
    if (closeAsked)
        closeAsked();
    return 0;
}

LRESULT MiniPlayer::ResponseDefaultKeyEvent(WPARAM key)
{
    (void)key;
    // Escape belongs to the page (and would close the window with a code nobody reads).
    return true;
}

LRESULT MiniPlayer::OnSize(UINT msg, WPARAM wParam, LPARAM lParam, bool& bHandled)
{
    FitPage();
    return WindowImplBase::OnSize(msg, wParam, lParam, bHandled);
}

void MiniPlayer::Host(HWND hostedPage)
{
    page = hostedPage;
    FitPage();
}

void MiniPlayer::FitPage()
{
    if (!page || !IsWindow(page))
        return;
    const RECT client = GetClientRect(GetHWND());
    CControlUI* bar = FindControl(u"mini_player_bar");
    const int top = bar ? bar->GetFixedHeight() : 0;
    // The border stays free for resizing.
    const RECT box = GetPaintManager()->GetSizeBox();
    SetWindowPos(page, box.left, top, client.right - box.left - box.right, client.bottom - top - box.bottom,
        SWP_NOZORDER);
}

void MiniPlayer::OnFinalMessage(HWND hwnd)
{
    WindowImplBase::OnFinalMessage(hwnd);
    if (gone)
        gone();
    delete this;
}
