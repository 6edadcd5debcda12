#pragma once

#include "platform/ui/OptionUI.h"
#include "platform/ui/WindowImplBase.h"

#include <string>

class AppConfig;

// The modal settings window: start with the desktop session, what the main window's
// close button does, save, and a manual update check. It edits the shared configuration
// directly. GUI thread only; frees itself once its native window is gone.
class SettingWindow : public platform::ui::WindowImplBase {
public:
    platform::ui::CDuiString GetSkinFolder() override { return u"skin/Zandrel/"; }
    platform::ui::CDuiString GetSkinFile() override { return u"setting/setting.xml"; }
    platform::ui::CDuiString GetWindowClassName() const override { return u"SettingWindow"; }

    void Notify(platform::ui::TNotifyUI& msg) override;
    platform::ui::LRESULT ResponseDefaultKeyEvent(platform::ui::WPARAM key) override;
    void OnFinalMessage(platform::ui::HWND hwnd) override;

    // Why config's last save failed, for the user.
    static std::u16string SaveFailureReason(AppConfig& config);

private:
    void Initialise();
    void OnClick(platform::ui::TNotifyUI& msg);
    void SaveAndClose();
    void CheckForUpdate();

    platform::ui::COptionUI* powerBootCheck = nullptr;
    platform::ui::COptionUI* minOption = nullptr;
    platform::ui::COptionUI* exitOption = nullptr;
    platform::ui::CControlUI* updateButton = nullptr;
    platform::ui::CControlUI* saveButton = nullptr;
};
