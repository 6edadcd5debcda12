#include "ui/MainFrame.h"

#include "browser/SharedClientHandler.h"
#include "config/AppConfig.h"
#include "config/AutoStartRegistrar.h"
#include "config/SiteAddress.h"
#include "dialogs/MessageBoxDialog.h"
#include "ids/CloseCodes.h"
#include "ids/WindowMessageIds.h"
#include "ids/WindowStyleIds.h"
#include "platform/engine/CefBrowser.h"
#include "platform/os/TextCodec.h"
#include "platform/ui/WindowOps.h"
#include "shell/ShellUtilities.h"
#include "ui/MenuButton.h"
#include "ui/MenuElementUI.h"
#include "ui/MenuIdCounter.h"
#include "ui/MenuIds.h"
#include "ui/MenuUI.h"
#include "ui/MenuWindow.h"
#include "ui/SettingWindow.h"
#include "ui/TabWin.h"
#include "update/HttpClient.h"
#include "update/UpdateCheck.h"
#include "update/UpdateDialog.h"
#include "update/VersionClipboard.h"

#include <chrono>
#include <cstdint>
#include <thread>
#include <utility>

using namespace platform::ui;
using platform::os::Utf16ToUtf8;

namespace {
constexpr WPARAM kIgnoredTimerId = 1;
constexpr int kMainIconId = 129;
constexpr int kSmallIconId = 130;
constexpr UINT kTrayIconId = 1;
}

MainFrame::MainFrame()
    : tabs(*this)
    , pageFullScreen(*this, tabs)
    , pictureInPicture(tabs)
    , pageCommands(tabs)
{
}

MainFrame::~MainFrame()
{
    menuItems.clear();
    secondMenuItems.clear();
    PostQuitMessage(0);
    if (trayIconAdded)
        trayIcon.Remove();
}

CControlUI* MainFrame::CreateControl(const CDuiString& className)
{
    if (className == u"MenuButton")
        return new MenuButton;
    return nullptr;
}

void MainFrame::AddMenuItem(int parentId, int id, const std::u16string& text, int checkKind)
{
    auto item = std::make_unique<MenuItemInfo>();
    item->id = id;
    item->parentId = parentId;
    item->text = text;
    item->checkKind = checkKind;
    menuItems[id] = std::move(item);
}

void MainFrame::InitWindow()
{
    AddMenuItem(kAboutMenuGroup, NextMenuId(), u"关于", 0);
    AddMenuItem(kMainMenuGroup, kUpdateMenuItem, u"软件升级", 0);
    AddMenuItem(kMainMenuGroup, kExitMenuItem, u"退出客户端", 0);
    AddMenuItem(kTrayMenuGroup, kShowWindowTrayItem, u"打开主界面", 1);
    AddMenuItem(kTrayMenuGroup, kExitTrayItem, u"退出客户端", 1);
}

void MainFrame::Notify(TNotifyUI& msg)
{
    if (msg.type == kNotifyWindowInit)
        OnWindowInitialised();
    else if (msg.type == kNotifyClick)
        OnClick(msg);
}

void MainFrame::OnWindowInitialised()
{
    quitWithoutConfirm = false;
    publishStatus = FindControl(u"lb_publish_status");
    loginUserName = FindControl(u"lbl_login_user_name");
    videoDeviceType = FindControl(u"video_device_type");
    audioDeviceType = FindControl(u"audio_device_type");
    tabs.Attach(static_cast<CTabLayoutUI*>(FindControl(u"tab_main")),
        static_cast<CContainerUI*>(FindControl(u"tab_button_container")));
    backButton = FindControl(u"btn_backward");
    forwardButton = FindControl(u"btn_forward");
    downloads.Attach(GetHWND(), FindControl(u"btn_downloads"));

    trayIconAdded = trayIcon.Add(GetHWND(), kTrayIconId, u"Tessik微端", kSmallIconId, TrayMenuEntries());

    SetWindowIcon(GetHWND(), LoadProgramIcon(kMainIconId), LoadProgramIcon(kSmallIconId));

    if (sharedClientHandler) {
        sharedClientHandler->SetMainWindow(GetHWND());
        sharedClientHandler->SetTitleSink(this);
        sharedClientHandler->SetNavigationControls(backButton, forwardButton, nullptr, nullptr);
        sharedClientHandler->RemovePartialDownloads();
        RunStartupUpdateReaction();
    }
    PostStartRecord();
    AppConfig::Instance().Load();
    ApplyAutoStart(false);
    tabs.OpenTab(Utf16ToUtf8(SiteUrl() + u"/?miniClient=1"), u"加载中...", false);
}

void MainFrame::RunStartupUpdateReaction()
{
    UpdateInfo info;
    int result = FetchUpdateInfo(info, Utf16ToUtf8(AppConfig::Instance().updateUrl));
    UpdateDecision decision = StartupUpdateDecision(result, info, CurrentVersion());
    if (decision.outcome == UpdateOutcome::UpdateRequired) {
        MessageBoxDialog::Inform(GetHWND(), u"提示", decision.text);
        OpenUrl(platform::os::Utf8ToUtf16(decision.url));
        quitWithoutConfirm = true;
        Close(kCloseDismissed);
    } else if (decision.outcome == UpdateOutcome::UpdateAvailable) {
        MessageBoxDialog::Inform(GetHWND(), u"提示", decision.text);
    }
}

void MainFrame::PostStartRecord()
{
    std::string reply;
    HttpClient().Post(Utf16ToUtf8(SiteUrl() + u"/brivo/miniclient/startRecord.action"), "", &reply);
}

void MainFrame::ApplyAutoStart(bool removeWhenOff)
{
    AutoStartRegistrar registrar;
    if (AppConfig::Instance().powerboot)
        registrar.SetAutoStart();
    else if (removeWhenOff)
        registrar.RemoveAutoStart();
}

void MainFrame::OnClick(TNotifyUI& msg)
{
    if (msg.SenderIs(u"closebtn"))
        OnCloseButton();
    else if (SendWindowButtonCommand(msg))
        return;
    else if (msg.SenderIs(u"btn_backward"))
        GoBackOrForward(true);
    else if (msg.SenderIs(u"btn_forward"))
        GoBackOrForward(false);
    else if (msg.SenderIs(u"dropmenu_btn_setting"))
        OpenSettings();
    else if (msg.SenderIs(u"btn_downloads"))
        downloads.ShowList();
    else if (auto* button
        = static_cast<MenuButton*>(msg.pSender ? msg.pSender->GetInterface(u"MenuButton") : nullptr)) {
        // The menu group the button names drops down from its bottom-left corner.
        RECT pos = button->GetPos();
        OpenMenu(button->GetMenuId(), button->GetMenuId(),
            ClientToScreen(GetHWND(), POINT { pos.left, pos.bottom }));
    }
}

void MainFrame::OnCloseButton()
{
    ApplyAutoStart(true);
    if (!AppConfig::Instance().optionexit) {
        Close(kCloseAccepted);
        return;
    }
    // Without a notification-area icon a hidden window could never be brought back
    // (a second start only reports the running one), so it is minimised instead.
    platform::ui::ShowWindow(GetHWND(), trayIconAdded ? SW_HIDE : SW_MINIMIZE);
}

void MainFrame::GoBackOrForward(bool back)
{
    int index = tabs.CurrentIndex();
    if (index < 0 || !sharedClientHandler)
        return;
    TabWin* tabWin = tabs.TabAt(index);
    if (!tabWin)
        return;
    auto browser = sharedClientHandler->FindBrowserByTabId(tabWin->GetTabId());
    if (!browser)
        return;
    if (back)
        browser->GoBack();
    else
        browser->GoForward();
}

void MainFrame::OnPageCommand(WPARAM commandParam, LPARAM)
{
    const auto command = static_cast<PageCommand>(commandParam);
    if (command == PageCommand::GoBack || command == PageCommand::GoForward)
        GoBackOrForward(command == PageCommand::GoBack);
    else
        pageCommands.Run(command);
}

LRESULT MainFrame::HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (msg == WM_SWALLOWED_MESSAGE)
        return 0;
    return WindowImplBase::HandleMessage(msg, wParam, lParam);
}

LRESULT MainFrame::HandleCustomMessage(UINT msg, WPARAM wParam, LPARAM lParam, bool& bHandled)
{
    MessageHandler handler = HandlerFor(msg, wParam);
    if (!handler)
        return WindowImplBase::HandleCustomMessage(msg, wParam, lParam, bHandled);
    (this->*handler)(wParam, lParam);
    bHandled = true;
    return 0;
}

MainFrame::MessageHandler MainFrame::HandlerFor(UINT msg, WPARAM wParam) const
{
    // The tray's message number is chosen when the program runs.
    if (msg == trayIcon.CallbackMessage())
        return &MainFrame::OnTrayNotify;
    if (msg == WM_TIMER)
        return wParam == kIgnoredTimerId ? &MainFrame::OnIgnoredMessage : nullptr;
    static const std::pair<UINT, MessageHandler> kHandlers[] = {
        { WM_OPEN_TAB, &MainFrame::OnOpenTab },
        { WM_TAB_TITLE, &MainFrame::OnTabTitle },
        { WM_MENU_CLICK, &MainFrame::OnMenuClick },
        { WM_CLOSE_TAB, &MainFrame::OnCloseTab },
        { WM_TAB_FULLSCREEN, &MainFrame::OnTabFullScreen },
        { WM_TAB_PICTURE_IN_PICTURE, &MainFrame::OnTabPictureInPicture },
        { WM_MINI_PLAYER_RETURN, &MainFrame::OnMiniPlayerReturn },
        { WM_DOWNLOAD_UPDATED, &MainFrame::OnDownloadUpdated },
        { WM_PAGE_COMMAND, &MainFrame::OnPageCommand },
        { WM_FIND_RESULT, &MainFrame::OnFindResult },
        { WM_SHOW_RUNNING_INSTANCE, &MainFrame::OnShowRunningInstance },
        { WM_TAB_PERMISSION_PROMPT, &MainFrame::OnTabPermissionPrompt },
        { WM_NOTIFICATION_ACTIVATED, &MainFrame::OnNotificationActivated },
        { WM_IGNORED_USER_MESSAGE, &MainFrame::OnIgnoredMessage },
        { WM_IGNORED_TOOL_MESSAGE, &MainFrame::OnIgnoredMessage },
    };
    for (const auto& [number, handler] : kHandlers) {
        if (number == msg)
            return handler;
    }
    return nullptr;
}

void MainFrame::OnOpenTab(WPARAM url, LPARAM)
{
    tabs.OpenTab(PayloadValue<std::string>(url), u"加载中...", true);
    pageFullScreen.OnTabsChanged();
}

void MainFrame::OnTabTitle(WPARAM tabId, LPARAM title)
{
    tabs.SetTitle(static_cast<int>(tabId), PayloadValue<std::u16string>(static_cast<std::uintptr_t>(title)));
}

void MainFrame::OnCloseTab(WPARAM tabId, LPARAM)
{
    tabs.CloseTab(static_cast<int>(tabId));
    pageFullScreen.OnTabsChanged();
    pictureInPicture.OnTabsChanged();
}

void MainFrame::OnTabFullScreen(WPARAM tabId, LPARAM entered)
{
    pageFullScreen.OnPageReport(static_cast<int>(tabId), entered != 0);
}

void MainFrame::OnTabPictureInPicture(WPARAM tabId, LPARAM entered)
{
    pictureInPicture.OnPageReport(static_cast<int>(tabId), entered != 0);
}

void MainFrame::OnDownloadUpdated(WPARAM progress, LPARAM)
{
    downloads.OnProgress(PayloadValue<DownloadProgress>(progress));
}

void MainFrame::OnFindResult(WPARAM tabId, LPARAM matches)
{
    pageCommands.ShowFindResult(static_cast<int>(tabId),
        static_cast<int>(static_cast<std::uint64_t>(matches) >> 32), static_cast<int>(matches & 0xFFFFFFFF));
}

void MainFrame::OnShowRunningInstance(WPARAM, LPARAM) { BringWindowBack(); }

void MainFrame::OnTabPermissionPrompt(WPARAM tabId, LPARAM prompt)
{
    TabWin* tab = tabs.TabAt(tabs.IndexOfTabId(static_cast<int>(tabId)));
    if (!tab)
        return;
    const auto& shown = PayloadValue<TabPermissionPrompt>(static_cast<std::uintptr_t>(prompt));
    tab->ShowPermissionPrompt(
        shown.promptId, shown.text, shown.question, shown.choices, shown.allowText, shown.denyText);
}

void MainFrame::OnNotificationActivated(WPARAM tabId, LPARAM)
{
    BringWindowBack();
    if (const int index = tabs.IndexOfTabId(static_cast<int>(tabId)); index >= 0) {
        tabs.SelectTab(index);
        pageFullScreen.OnTabsChanged();
    }
}

void MainFrame::OnIgnoredMessage(WPARAM, LPARAM) { }

// The item is the frame's own record: the records live as long as the frame, and a
// message posted to a window that is gone is dropped.
void MainFrame::OnMenuClick(WPARAM itemParam, LPARAM)
{
    const auto* item = reinterpret_cast<const MenuItemInfo*>(itemParam);
    if (!item)
        return;
    if (item->parentId == kAboutMenuGroup) {
        MessageBoxDialog::Inform(GetHWND(), u"新版本", u"Tessik直播助手帮助");
    } else if (item->parentId == kMainMenuGroup && item->id == kUpdateMenuItem) {
        OpenUpdateDialog();
    } else if ((item->parentId == kMainMenuGroup && item->id == kExitMenuItem)
        || (item->parentId == kTrayMenuGroup && item->id == kExitTrayItem)) {
        Close(kCloseAccepted);
    } else if (item->parentId == kTrayMenuGroup && item->id == kShowWindowTrayItem) {
        BringWindowBack();
    } else if (item->parentId == kTrayMenuGroup && item->id == kCopyVersionTrayItem) {
        CopyVersionInfoToClipboard();
    }
}

// Both dialogs free themselves once closed.
void MainFrame::OpenUpdateDialog()
{
    auto* dialog = new UpdateDialog;
    if (!dialog->Create(GetHWND(), u"版本更新", kDialogStyle, 0)) {
        delete dialog;
        return;
    }
    dialog->CenterWindow();
    // Code 1: the installer has been launched and the program makes way for it.
    if (dialog->ShowModal() == kCloseAccepted) {
        quitWithoutConfirm = true;
        Close(kCloseAccepted);
    }
}

void MainFrame::OpenSettings()
{
    auto* window = new SettingWindow;
    if (!window->Create(GetHWND(), u"设置", kSettingsWindowStyle, 0)) {
        delete window;
        return;
    }
    window->CenterWindow();
    window->ShowModal();
}

LRESULT MainFrame::OnClose(UINT, WPARAM, LPARAM, bool& bHandled)
{
    if (quitWithoutConfirm) {
        // Gives a launched installer or the shell a moment before the window goes.
        std::this_thread::sleep_for(std::chrono::milliseconds(200));
        return 0;
    }
    if (MessageBoxDialog::Confirm(GetHWND(), u"提示", u"你确定要关闭Tessik微端吗", true) != kCloseAccepted)
        bHandled = true;
    return 0;
}

LRESULT MainFrame::ResponseDefaultKeyEvent(WPARAM key)
{
    // Escape never closes the main window; it only takes a fullscreen page back.
    if (key == VK_ESCAPE) {
        pageFullScreen.LeaveOnEscape();
        return 1;
    }
    return WindowImplBase::ResponseDefaultKeyEvent(key);
}

void MainFrame::OnFinalMessage(HWND) { delete this; }

void MainFrame::TitleChanged(int tabId, const std::u16string& title)
{
    auto payload = std::make_unique<OwnedPayload<std::u16string>>(title);
    auto address = reinterpret_cast<LPARAM>(static_cast<MessagePayload*>(payload.get()));
    platform::ui::PostMessage(
        GetHWND(), WM_TAB_TITLE, static_cast<WPARAM>(tabId), address, std::move(payload));
}

int MainFrame::FillMenu(MenuUI* menu)
{
    if (!menu)
        return 0;
    return menu->FillFrom(menu->GetRootId() == kSecondTableMenuRoot ? secondMenuItems : menuItems, this);
}

bool MainFrame::HasSubMenu(MenuElementUI* element) { return element && element->HasSubMenu(); }

void MainFrame::ApplyItemState(MenuElementUI* element, bool checked)
{
    if (element)
        element->ApplyItemState(checked);
}

void MainFrame::OpenMenu(int rootId, int parentId, POINT anchor)
{
    MenuWindow::Open(GetHWND(), rootId, parentId, this, anchor);
}

void MainFrame::OnTrayNotify(WPARAM iconId, LPARAM mouseMessage)
{
    if (iconId != kTrayIconId)
        return;
    switch (static_cast<UINT>(mouseMessage & 0xFFFF)) {
    case WM_RBUTTONUP:
        OpenMenu(kTrayMenuGroup, kTrayMenuGroup, GetCursorPos());
        break;
    case WM_LBUTTONDBLCLK:
    case WM_LBUTTONUP:
        BringWindowBack();
        break;
    default:
        break;
    }
}

// The tray menu's items for desktops that draw the menu themselves; choosing one posts what
// the pop-up menu posts for it.
std::vector<NOTIFYMENUENTRY> MainFrame::TrayMenuEntries() const
{
    std::vector<NOTIFYMENUENTRY> entries;
    for (const auto& [id, item] : menuItems) {
        if (item->parentId == kTrayMenuGroup)
            entries.push_back(
                { item->text, WM_MENU_CLICK, reinterpret_cast<WPARAM>(item.get()), static_cast<LPARAM>(id) });
    }
    return entries;
}

// The tray, another start or a notification asks for the window: it comes back as the user left
// it (maximised stays maximised), in front of the others. A window on screen is only raised: it
// may be that the toolkit has not yet heard from the window manager that it was minimised a
// moment ago, and restoring it then would take its maximised state away.
void MainFrame::BringWindowBack()
{
    if (!platform::ui::IsWindowVisible(GetHWND()) || IsIconic(GetHWND()))
        SendMessageW(WM_SYSCOMMAND, SC_RESTORE, 0);
    SetForegroundWindow(GetHWND());
}

void MainFrame::OnMiniPlayerReturn(WPARAM tabIdParam, LPARAM)
{
    const int tabId = static_cast<int>(tabIdParam);
    if (!pictureInPicture.Return(tabId))
        return;
    BringWindowBack();
    if (const int index = tabs.IndexOfTabId(tabId); index >= 0 && index != tabs.CurrentIndex()) {
        tabs.SelectTab(index);
        pageFullScreen.OnTabsChanged();
    }
    // The viewer is back at the page: its keys go to it again.
    if (auto browser = sharedClientHandler ? sharedClientHandler->FindBrowserByTabId(tabId) : nullptr)
        browser->GetHost()->SetFocus(true);
}
