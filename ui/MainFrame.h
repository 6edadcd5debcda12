#pragma once

#include "browser/TabTitleSink.h"
#include "ids/WindowMessageIds.h"
#include "platform/ui/WindowImplBase.h"
#include "ui/DownloadIndicator.h"
#include "ui/MenuItemInfo.h"
#include "ui/MenuItemSource.h"
#include "ui/PageCommands.h"
#include "ui/PageFullScreen.h"
#include "ui/PagePictureInPicture.h"
#include "ui/TabStrip.h"
#include "ui/TrayIcon.h"

#include <map>
#include <memory>
#include <vector>

// The one top-level window: the site in a strip of tabs, back and forward, the
// menus' commands, the start-up update reaction and the close-or-hide decision.
// GUI thread only; TitleChanged may be called from any thread (it only posts).
class MainFrame : public platform::ui::WindowImplBase, public TabTitleSink, public MenuItemSource {
public:
    MainFrame();
    ~MainFrame() override;

    platform::ui::CDuiString GetSkinFolder() override { return u"skin/Zandrel/"; }
    platform::ui::CDuiString GetSkinFile() override { return u"main.xml"; }
    platform::ui::CDuiString GetZIPFileName() const override { return u"Zandrel.zip"; }
    platform::ui::CDuiString GetWindowClassName() const override { return u"Main_Class"; }
    platform::ui::CControlUI* CreateControl(const platform::ui::CDuiString& className) override;

    void InitWindow() override;
    void Notify(platform::ui::TNotifyUI& msg) override;
    platform::ui::LRESULT HandleMessage(
        platform::ui::UINT msg, platform::ui::WPARAM wParam, platform::ui::LPARAM lParam) override;
    platform::ui::LRESULT HandleCustomMessage(platform::ui::UINT msg, platform::ui::WPARAM wParam,
        platform::ui::LPARAM lParam, bool& bHandled) override;
    platform::ui::LRESULT OnClose(platform::ui::UINT msg, platform::ui::WPARAM wParam,
        platform::ui::LPARAM lParam, bool& bHandled) override;
    platform::ui::LRESULT ResponseDefaultKeyEvent(platform::ui::WPARAM key) override;
    void OnFinalMessage(platform::ui::HWND hwnd) override;

    void TitleChanged(int tabId, const std::u16string& title) override;

    int FillMenu(MenuUI* menu) override;
    bool HasSubMenu(MenuElementUI* element) override;
    void ApplyItemState(MenuElementUI* element, bool checked) override;
    platform::ui::HWND OwnerWindow() override { return GetHWND(); }
    // Opens the items under parentId as a pop-up menu at anchor (screen coordinates).
    void OpenMenu(int rootId, int parentId, platform::ui::POINT anchor);
    bool IsTrayIconAdded() const { return trayIconAdded; }
    platform::ui::UINT TrayMessage() const { return trayIcon.CallbackMessage(); }

    const TabStrip& Tabs() const { return tabs; }
    const DownloadIndicator& Downloads() const { return downloads; }
    const PagePictureInPicture& PictureInPicture() const { return pictureInPicture; }
    const std::map<int, std::unique_ptr<MenuItemInfo>>& MenuItems() const { return menuItems; }

    // While true, a close needs no confirmation: from construction until the window is
    // initialised, and again just before the frame closes itself for an update.
    bool quitWithoutConfirm = true;

private:
    void OnWindowInitialised();
    void OnClick(platform::ui::TNotifyUI& msg);
    void RunStartupUpdateReaction();
    void PostStartRecord();
    void ApplyAutoStart(bool removeWhenOff);
    void OnCloseButton();
    void GoBackOrForward(bool back);
    void OpenUpdateDialog();
    void OpenSettings();
    void AddMenuItem(int parentId, int id, const std::u16string& text, int checkKind);
    void OnTrayNotify(platform::ui::WPARAM iconId, platform::ui::LPARAM mouseMessage);
    std::vector<platform::ui::NOTIFYMENUENTRY> TrayMenuEntries() const;
    void BringWindowBack();

    // The frame's own messages, one handler each, taking wParam and lParam as
    // WindowMessageIds.h describes them.
    using MessageHandler = void (MainFrame::*)(platform::ui::WPARAM, platform::ui::LPARAM);
    // The handler of msg, nullptr for those the window layer handles.
    MessageHandler HandlerFor(platform::ui::UINT msg, platform::ui::WPARAM wParam) const;
    void OnOpenTab(platform::ui::WPARAM url, platform::ui::LPARAM);
    void OnTabTitle(platform::ui::WPARAM tabId, platform::ui::LPARAM title);
    void OnMenuClick(platform::ui::WPARAM item, platform::ui::LPARAM);
    void OnCloseTab(platform::ui::WPARAM tabId, platform::ui::LPARAM);
    void OnTabFullScreen(platform::ui::WPARAM tabId, platform::ui::LPARAM entered);
    void OnTabPictureInPicture(platform::ui::WPARAM tabId, platform::ui::LPARAM entered);
    void OnMiniPlayerReturn(platform::ui::WPARAM tabId, platform::ui::LPARAM);
    void OnDownloadUpdated(platform::ui::WPARAM progress, platform::ui::LPARAM);
    void OnPageCommand(platform::ui::WPARAM command, platform::ui::LPARAM);
    void OnFindResult(platform::ui::WPARAM tabId, platform::ui::LPARAM matches);
    void OnShowRunningInstance(platform::ui::WPARAM, platform::ui::LPARAM);
    void OnTabPermissionPrompt(platform::ui::WPARAM tabId, platform::ui::LPARAM prompt);
    void OnNotificationActivated(platform::ui::WPARAM tabId, platform::ui::LPARAM);
    void OnIgnoredMessage(platform::ui::WPARAM, platform::ui::LPARAM);

    TabStrip tabs;
    PageFullScreen pageFullScreen;
    PagePictureInPicture pictureInPicture;
    DownloadIndicator downloads;
    PageCommands pageCommands;
    std::map<int, std::unique_ptr<MenuItemInfo>> menuItems;
    // Consulted only by menus of root id 5; nothing fills it.
    std::map<int, std::unique_ptr<MenuItemInfo>> secondMenuItems;
    TrayIcon trayIcon;
    bool trayIconAdded = false;

    platform::ui::CControlUI* publishStatus = nullptr;
    platform::ui::CControlUI* loginUserName = nullptr;
    platform::ui::CControlUI* videoDeviceType = nullptr;
    platform::ui::CControlUI* audioDeviceType = nullptr;
    platform::ui::CControlUI* backButton = nullptr;
    platform::ui::CControlUI* forwardButton = nullptr;
};
