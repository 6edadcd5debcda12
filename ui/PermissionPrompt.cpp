#include "ui/PermissionPrompt.h"

#include "ids/WindowStyleIds.h"
#include <algorithm>

#include "browser/SharedClientHandler.h"
#include "platform/ui/Notify.h"
#include "platform/ui/WindowOps.h"

using namespace platform::ui;

namespace {
constexpr int kMargin = 12;
constexpr int kWidth = 400;
constexpr int kHeight = 96;
}

namespace {
RECT PromptRect(HWND tab, int top)
{
    const RECT rect = GetClientRect(tab);
    const int width = std::min(kWidth, std::max(0, static_cast<int>(rect.right - rect.left) - 2 * kMargin));
    return RECT { kMargin, top + kMargin, kMargin + width, top + kMargin + kHeight };
}
}

HWND PermissionPrompt::ShowInTab(
    HWND tab, HWND prompt, uint64_t promptId, const std::u16string& text, bool question, int top)
{
    auto* window = dynamic_cast<PermissionPrompt*>(WindowFromHandle(prompt));
    if (!window && promptId == 0)
        return nullptr;
    if (!window) {
        window = new PermissionPrompt;
        if (!window->Create(tab, u"", kPagePromptStyle, 0, kMargin, kMargin, kWidth, kHeight)) {
            delete window;
            return nullptr;
        }
    }
    window->promptId = promptId;
    if (promptId == 0) {
        platform::ui::ShowWindow(window->GetHWND(), SW_HIDE);
        return window->GetHWND();
    }
    if (CControlUI* label = window->FindControl(u"lbl_permission_text"))
        label->SetText(text);
    if (CControlUI* allow = window->FindControl(u"btn_permission_allow"))
        allow->SetVisible(question);
    if (CControlUI* deny = window->FindControl(u"btn_permission_deny"))
        deny->SetText(question ? u"拒绝" : u"知道了");
    // Above the page, which is placed without changing the order.
    const RECT place = PromptRect(tab, top);
    SetWindowPos(window->GetHWND(), place.left, place.top, place.right - place.left, place.bottom - place.top,
        SWP_SHOWWINDOW);
    return window->GetHWND();
}

void PermissionPrompt::Place(HWND tab, HWND prompt, int top)
{
    if (!IsWindow(prompt))
        return;
    const RECT place = PromptRect(tab, top);
    SetWindowPos(
        prompt, place.left, place.top, place.right - place.left, place.bottom - place.top, SWP_NOZORDER);
}

void PermissionPrompt::Notify(TNotifyUI& msg)
{
    if (msg.type != kNotifyClick)
        return;
    if (msg.SenderIs(u"btn_permission_allow"))
        Answer(true);
    else if (msg.SenderIs(u"btn_permission_deny"))
        Answer(false);
}

void PermissionPrompt::Answer(bool allow)
{
    // Hidden at once; the handler shows the tab's next request, if any, with a message of its own.
    const uint64_t answered = promptId;
    promptId = 0;
    platform::ui::ShowWindow(GetHWND(), SW_HIDE);
    if (answered && sharedClientHandler)
        sharedClientHandler->AnswerPermissionPrompt(answered, allow);
}

void PermissionPrompt::OnFinalMessage(HWND hwnd)
{
    WindowImplBase::OnFinalMessage(hwnd);
    delete this;
}
