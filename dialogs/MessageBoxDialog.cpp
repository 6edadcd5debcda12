#include "dialogs/MessageBoxDialog.h"

#include "ids/CloseCodes.h"
#include "ids/WindowStyleIds.h"
#include <algorithm>
#include <memory>

#include "platform/ui/ContainerUI.h"
#include "platform/ui/RenderEngine.h"
#include "platform/ui/WindowOps.h"

using namespace platform::ui;

namespace {
constexpr int kHeightSlack = 15;

int Run(HWND owner, const std::u16string& caption, const std::u16string& text, bool showCancel)
{
    int result = kCloseDismissed;
    // Freed here once closed, not by the window itself.
    auto dialog = std::make_unique<MessageBoxDialog>(&result);
    dialog->Show(owner, text, caption, showCancel);
    return result;
}
}

MessageBoxDialog::MessageBoxDialog(int* result)
    : result(result)
{
    *result = kCloseDismissed;
}

int MessageBoxDialog::Confirm(
    HWND owner, const std::u16string& caption, const std::u16string& text, bool showCancel)
{
    return Run(owner, caption, text, showCancel);
}

int MessageBoxDialog::Inform(HWND owner, const std::u16string& caption, const std::u16string& text)
{
    return Run(owner, caption, text, false);
}

void MessageBoxDialog::Show(
    HWND owner, const std::u16string& text, const std::u16string& caption, bool showCancel)
{
    if (!Create(owner, u"", kDialogStyle, 0))
        return;
    if (!showCancel && cancelButton)
        cancelButton->SetVisible(false);
    if (CControlUI* captionLabel = FindControl(u"caption"))
        captionLabel->SetText(caption);
    // The desktop (task switcher, window list, screen reader) names the box by its caption too,
    // rather than by the program's name.
    SetWindowText(GetHWND(), caption);
    if (FindControl(u"text"))
        FitHeightToText(text);
    BringToTop();
    CenterWindow();
    ShowModal();
}

void MessageBoxDialog::FitHeightToText(const std::u16string& text)
{
    CControlUI* textControl = FindControl(u"text");
    SIZE client = m_PaintManager.GetClientSize();
    int insetTop = 0, childPadding = 0, insetX = 0;
    if (auto* layout = static_cast<CContainerUI*>(
            FindControl(u"TextLayout") ? FindControl(u"TextLayout")->GetInterface(u"Container") : nullptr)) {
        insetTop = layout->GetInset().top;
        insetX = layout->GetInset().left + layout->GetInset().right;
        childPadding = layout->GetChildPadding();
    }
    int available = client.cy - insetTop - childPadding - kHeightSlack;
    textControl->SetText(text);
    // The text wraps inside the dialog's width, so a long text has to grow the height:
    // measuring it as one line would cut it off instead.
    int textWidth = std::max(1, client.cx - insetX);
    int textHeight
        = CRenderEngine::GetWrappedTextSize(&m_PaintManager, text, textControl->GetFont(), textWidth).cy;
    RECT rc = GetClientRect(GetHWND());
    int width = rc.right - rc.left;
    int height = std::max<int>(rc.bottom - rc.top + textHeight - available, client.cy);
    // Never taller than the screen's work area with the window's frame: the text then
    // scrolls inside the box, and the buttons stay on the screen.
    const RECT work = GetWorkArea(GetHWND());
    const RECT outer = GetWindowRect(GetHWND());
    const int frame = std::max<int>(0, (outer.bottom - outer.top) - (rc.bottom - rc.top));
    height = std::min<int>(height, work.bottom - work.top - frame);
    SetWindowPos(GetHWND(), 0, 0, width, height, SWP_SHOWWINDOW);
}

void MessageBoxDialog::InitWindow()
{
    closeButton = FindControl(u"closebtn");
    cancelButton = FindControl(u"cancelbtn");
}

void MessageBoxDialog::Finish(int code)
{
    *result = code;
    Close(static_cast<UINT>(code));
}

void MessageBoxDialog::Notify(TNotifyUI& msg)
{
    if (msg.type != kNotifyClick)
        return;
    if (msg.SenderIs(u"okbtn"))
        Finish(kCloseAccepted);
    else if (msg.SenderIs(u"cancelbtn") || msg.SenderIs(u"closebtn"))
        Finish(kCloseDismissed);
    else
        SendWindowButtonCommand(msg);
}

LRESULT MessageBoxDialog::ResponseDefaultKeyEvent(WPARAM key)
{
    if (key == VK_RETURN) {
        Finish(kCloseAccepted);
        return 1;
    }
    return 0;
}

LRESULT MessageBoxDialog::OnClose(UINT, WPARAM wParam, LPARAM, bool& bHandled)
{
    // A close with the OK code can only mean OK (a scripted answer takes this path too).
    if (wParam == kCloseAccepted)
        *result = kCloseAccepted;
    bHandled = false;
    return 0;
}
