#include "ui/SettingWindow.h"

#include "config/AppConfig.h"
#include "dialogs/MessageBoxDialog.h"
#include "ids/CloseCodes.h"
#include "platform/os/TextCodec.h"
#include "update/UpdateCheck.h"

using namespace platform::ui;

namespace {

COptionUI* FindOption(WindowImplBase& window, const char16_t* name)
{
    CControlUI* control = window.FindControl(name);
    return control ? static_cast<COptionUI*>(control->GetInterface(u"Option")) : nullptr;
}

bool WasSelected(const TNotifyUI& msg)
{
    auto* option = msg.pSender ? static_cast<COptionUI*>(msg.pSender->GetInterface(u"Option")) : nullptr;
    return option && option->IsSelected();
}

} // namespace

void SettingWindow::Notify(TNotifyUI& msg)
{
    if (msg.type == kNotifyWindowInit)
        Initialise();
    else if (msg.type == kNotifyClick)
        OnClick(msg);
}

void SettingWindow::Initialise()
{
    powerBootCheck = FindOption(*this, u"ispowerbootcheck");
    minOption = FindOption(*this, u"min");
    exitOption = FindOption(*this, u"exit");
    updateButton = FindControl(u"updatebtn");
    saveButton = FindControl(u"savesettingbtn");

    // Unsaved choices made in an earlier visit are dropped here.
    AppConfig& config = AppConfig::Instance();
    config.Load();
    if (powerBootCheck && config.powerboot)
        powerBootCheck->Selected(true);
    COptionUI* chosen = config.optionexit ? minOption : exitOption;
    if (chosen)
        chosen->Selected(true);
}

// Options report a click before they change their own selection, so WasSelected is
// the state before the click; the clicked option then toggles itself.
void SettingWindow::OnClick(TNotifyUI& msg)
{
    AppConfig& config = AppConfig::Instance();
    if (msg.SenderIs(u"closebtn")) {
        Close(kCloseAccepted);
    } else if (SendWindowButtonCommand(msg)) {
        return;
    } else if (msg.SenderIs(u"ispowerbootcheck")) {
        config.powerboot = !WasSelected(msg);
    } else if (msg.SenderIs(u"min")) {
        const bool wasSelected = WasSelected(msg);
        config.optionexit = !wasSelected;
        if (exitOption)
            exitOption->Selected(wasSelected);
    } else if (msg.SenderIs(u"exit")) {
        const bool wasSelected = WasSelected(msg);
        config.optionexit = wasSelected;
        if (minOption)
            minOption->Selected(wasSelected);
    } else if (msg.SenderIs(u"savesettingbtn")) {
        SaveAndClose();
    } else if (msg.SenderIs(u"updatebtn")) {
        CheckForUpdate();
    }
}

// A failed save keeps the window open and says so; closing would pretend it worked.
void SettingWindow::SaveAndClose()
{
    AppConfig& config = AppConfig::Instance();
    if (config.Save()) {
        Close(kCloseAccepted);
        return;
    }
    MessageBoxDialog::Inform(GetHWND(), u"提示", u"设置保存失败：" + SaveFailureReason(config));
}

std::u16string SettingWindow::SaveFailureReason(AppConfig& config)
{
    for (const char16_t* section : { u"Channel", u"Update", u"Notify", u"Account" }) {
        config.document.Rewind();
        if (!config.document.FindChild(section))
            return u"config.xml 中缺少 " + std::u16string(section) + u" 配置项";
    }
    config.document.Rewind();
    const std::u16string& result = config.document.GetResult();
    return result.empty() ? u"无法写入 config.xml" : result;
}

// Blocks the window for the transfer; only the up-to-date case is reported.
void SettingWindow::CheckForUpdate()
{
    UpdateInfo info;
    const int fetched = FetchUpdateInfo(info, platform::os::Utf16ToUtf8(AppConfig::Instance().updateUrl));
    const UpdateDecision decision = ManualCheckDecision(fetched, info, CurrentVersion());
    if (decision.outcome == UpdateOutcome::UpToDate)
        MessageBoxDialog::Inform(GetHWND(), u"提示", decision.text);
}

LRESULT SettingWindow::ResponseDefaultKeyEvent(WPARAM key)
{
    // Neither key may close the window or trigger a button.
    return key == VK_RETURN || key == VK_ESCAPE ? 1 : 0;
}

void SettingWindow::OnFinalMessage(HWND hwnd)
{
    WindowImplBase::OnFinalMessage(hwnd);
    delete this;
}
