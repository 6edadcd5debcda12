#include "ui/MiniPlayerNotice.h"

#include "ids/WindowMessageIds.h"
#include "platform/ui/Notify.h"
#include "platform/ui/WindowOps.h"

using namespace platform::ui;

MiniPlayerNotice::MiniPlayerNotice(int tabId)
    : tabId(tabId)
{
}

void MiniPlayerNotice::Notify(TNotifyUI& msg)
{
    // Posted: the answer takes this notice away while its button is still handling the click.
    if (msg.type == kNotifyClick && msg.SenderIs(u"btn_mini_player_return"))
        PostMessage(GetAncestorRoot(GetHWND()), WM_MINI_PLAYER_RETURN, static_cast<WPARAM>(tabId), 0);
}

void MiniPlayerNotice::OnFinalMessage(HWND hwnd)
{
    WindowImplBase::OnFinalMessage(hwnd);
    delete this;
}
