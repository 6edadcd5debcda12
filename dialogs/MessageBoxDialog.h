#pragma once

#include "platform/ui/WindowImplBase.h"

#include <string>

/// The skinned message box: a caption, one text, OK and optionally Cancel, modal over
/// its owner. Result kCloseAccepted for OK ("okbtn" or Enter), kCloseDismissed for any other way
/// of closing. GUI thread only.
class MessageBoxDialog : public platform::ui::WindowImplBase {
public:
    /// Writes kCloseDismissed to *result now; the dialog overwrites it with the outcome.
    explicit MessageBoxDialog(int* result);

    /// OK and, when showCancel is set, Cancel.
    static int Confirm(
        platform::ui::HWND owner, const std::u16string& caption, const std::u16string& text, bool showCancel);
    /// OK only.
    static int Inform(platform::ui::HWND owner, const std::u16string& caption, const std::u16string& text);

    /// Creates the window, fits its height to the text and runs it modally.
    void Show(
        platform::ui::HWND owner, const std::u16string& text, const std::u16string& caption, bool showCancel);

    platform::ui::CDuiString GetSkinFolder() override { return u"skin\\Zandrel\\"; }
    platform::ui::CDuiString GetSkinFile() override { return u"messagebox_dialog.xml"; }
    platform::ui::CDuiString GetWindowClassName() const override { return u"MessageBoxDialog_Class"; }
    void InitWindow() override;
    void Notify(platform::ui::TNotifyUI& msg) override;
    platform::ui::LRESULT ResponseDefaultKeyEvent(platform::ui::WPARAM key) override;
    platform::ui::LRESULT OnClose(platform::ui::UINT msg, platform::ui::WPARAM wParam,
        platform::ui::LPARAM lParam, bool& bHandled) override;

private:
    void FitHeightToText(const std::u16string& text);
    void Finish(int code);

    platform::ui::CControlUI* closeButton = nullptr;
    platform::ui::CControlUI* cancelButton = nullptr;
    int* result;
};
