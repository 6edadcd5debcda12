#include "ui/PermissionPrompt.h"

#include "ids/WindowStyleIds.h"
#include <algorithm>

#include "browser/SharedClientHandler.h"
#include "platform/ui/ContainerUI.h"
#include "platform/ui/Notify.h"
#include "platform/ui/OptionUI.h"
#include "platform/ui/WindowOps.h"

using namespace platform::ui;

namespace {
constexpr int kMargin = 12;
constexpr int kWidth = 400;
constexpr int kHeight = 96;
constexpr int kChoiceHeight = 28;
constexpr int kChoicePadding = 2;
// Below the choices, before the buttons.
constexpr int kChoicesGap = 10;
const char16_t* const kChoiceGroup = u"permission_choices";
}

namespace {
RECT PromptRect(HWND tab, int top, int height)
{
    const RECT rect = GetClientRect(tab);
    const int width = std::min(kWidth, std::max(0, static_cast<int>(rect.right - rect.left) - 2 * kMargin));
    return RECT { kMargin, top + kMargin, kMargin + width, top + kMargin + height };
}
}

HWND PermissionPrompt::ShowInTab(HWND tab, HWND prompt, uint64_t promptId, const std::u16string& text,
    bool question, const std::vector<std::u16string>& choices, const std::u16string& allowText,
    const std::u16string& denyText, int top)
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
    window->ShowChoices(choices);
    if (CControlUI* allow = window->FindControl(u"btn_permission_allow")) {
        allow->SetVisible(question);
        allow->SetText(!allowText.empty() ? allowText : choices.empty() ? u"允许" : u"共享");
    }
    if (CControlUI* deny = window->FindControl(u"btn_permission_deny"))
        deny->SetText(!denyText.empty() ? denyText
                : !question             ? u"知道了"
                : choices.empty()       ? u"拒绝"
                                        : u"取消");
    // Above the page, which is placed without changing the order.
    const RECT place = PromptRect(tab, top, window->height);
    SetWindowPos(window->GetHWND(), place.left, place.top, place.right - place.left, place.bottom - place.top,
        SWP_SHOWWINDOW);
    return window->GetHWND();
}

void PermissionPrompt::Place(HWND tab, HWND prompt, int top)
{
    auto* window = dynamic_cast<PermissionPrompt*>(WindowFromHandle(prompt));
    if (!window)
        return;
    const RECT place = PromptRect(tab, top, window->height);
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

void PermissionPrompt::ShowChoices(const std::vector<std::u16string>& choices)
{
    height = kHeight;
    auto* list = dynamic_cast<CContainerUI*>(FindControl(u"lst_permission_choices"));
    if (!list)
        return;
    list->RemoveAll();
    list->SetVisible(!choices.empty());
    for (size_t i = 0; i < choices.size(); ++i) {
        auto* option = new COptionUI;
        option->SetName(u"opt_permission_choice");
        option->SetStyleName(u"permission_choice_style", GetPaintManager());
        option->SetGroup(kChoiceGroup);
        option->SetText(choices[i]);
        option->SetToolTip(choices[i]);
        option->SetFixedHeight(kChoiceHeight);
        list->Add(option);
        option->Selected(i == 0, false);
    }
    if (choices.empty())
        return;
    const int listHeight
        = static_cast<int>(choices.size()) * (kChoiceHeight + kChoicePadding) - kChoicePadding;
    list->SetFixedHeight(listHeight);
    height += listHeight + kChoicesGap;
}

int PermissionPrompt::Chosen() const
{
    auto* list = dynamic_cast<CContainerUI*>(FindControl(u"lst_permission_choices"));
    for (int i = 0; list && i < list->GetCount(); ++i) {
        auto* option = dynamic_cast<COptionUI*>(list->GetItemAt(i));
        if (option && option->IsSelected())
            return i;
    }
    return -1;
}

void PermissionPrompt::Answer(bool allow)
{
    // Hidden at once; the handler shows the tab's next request, if any, with a message of its own.
    const uint64_t answered = promptId;
    const int choice = Chosen();
    promptId = 0;
    platform::ui::ShowWindow(GetHWND(), SW_HIDE);
    if (answered && sharedClientHandler)
        sharedClientHandler->AnswerPermissionPrompt(answered, allow, choice);
}

void PermissionPrompt::OnFinalMessage(HWND hwnd)
{
    WindowImplBase::OnFinalMessage(hwnd);
    delete this;
}
