#pragma once

#include "browser/DownloadReporter.h"
#include "browser/SitePermissions.h"
#include "browser/SiteZoom.h"
#include "platform/engine/CefClient.h"
#include "platform/engine/CefMessageRouter.h"
#include "platform/ui/ControlRef.h"
#include "platform/ui/WindowTypes.h"

#include <list>
#include <memory>
#include <mutex>
#include <set>
#include <string>
#include <vector>

class TabTitleSink;

namespace platform::ui {
class CControlUI;
}

/// The one client of every embedded browser: browsers, popups as new tabs, titles, navigation
/// state, load errors, policies, test-mode developer tools, the space bar, the console log and
/// the browser's own keys, the test pages. Engine UI thread (test pages: its IO thread); windows are reached
/// only by posted messages; the getters are for the GUI thread.
class BrowserClientHandler : public platform::engine::CefClient,
                             public platform::engine::CefContextMenuHandler,
                             public platform::engine::CefDialogHandler,
                             public platform::engine::CefDisplayHandler,
                             public platform::engine::CefDownloadHandler,
                             public platform::engine::CefDragHandler,
                             public platform::engine::CefFindHandler,
                             public platform::engine::CefGeolocationHandler,
                             public platform::engine::CefJSDialogHandler,
                             public platform::engine::CefKeyboardHandler,
                             public platform::engine::CefLifeSpanHandler,
                             public platform::engine::CefLoadHandler,
                             public platform::engine::CefPermissionHandler,
                             public platform::engine::CefRenderHandler,
                             public platform::engine::CefRequestHandler {
public:
    using CefBrowser = platform::engine::CefBrowser;
    using CefFrame = platform::engine::CefFrame;
    template <class T> using CefRefPtr = platform::engine::CefRefPtr<T>;

    BrowserClientHandler();

    CefRefPtr<CefBrowser> GetMainBrowser();
    int GetMainBrowserId();
    CefRefPtr<CefBrowser> FindBrowserByTabId(int tabId);
    void SetMainWindow(platform::ui::HWND hwnd);
    // Called on the GUI thread, where the references are made.
    void SetNavigationControls(const platform::ui::ControlRef& back, const platform::ui::ControlRef& forward,
        const platform::ui::ControlRef& extra1, const platform::ui::ControlRef& extra2);
    void SetTitleSink(TabTitleSink* sink);

    // CefClient
    CefRefPtr<platform::engine::CefContextMenuHandler> GetContextMenuHandler() override { return this; }
    CefRefPtr<platform::engine::CefDialogHandler> GetDialogHandler() override { return this; }
    CefRefPtr<platform::engine::CefDisplayHandler> GetDisplayHandler() override { return this; }
    CefRefPtr<platform::engine::CefDownloadHandler> GetDownloadHandler() override { return this; }
    CefRefPtr<platform::engine::CefDragHandler> GetDragHandler() override { return this; }
    CefRefPtr<platform::engine::CefFindHandler> GetFindHandler() override { return this; }
    CefRefPtr<platform::engine::CefGeolocationHandler> GetGeolocationHandler() override { return this; }
    CefRefPtr<platform::engine::CefJSDialogHandler> GetJSDialogHandler() override { return this; }
    CefRefPtr<platform::engine::CefKeyboardHandler> GetKeyboardHandler() override { return this; }
    CefRefPtr<platform::engine::CefLifeSpanHandler> GetLifeSpanHandler() override { return this; }
    CefRefPtr<platform::engine::CefLoadHandler> GetLoadHandler() override { return this; }
    CefRefPtr<platform::engine::CefPermissionHandler> GetPermissionHandler() override { return this; }
    CefRefPtr<platform::engine::CefRenderHandler> GetRenderHandler() override { return this; }
    CefRefPtr<platform::engine::CefRequestHandler> GetRequestHandler() override { return this; }
    bool OnProcessMessageReceived(CefRefPtr<CefBrowser> browser, platform::engine::CefProcessId sourceProcess,
        CefRefPtr<platform::engine::CefProcessMessage> message) override;

    // CefContextMenuHandler
    void OnBeforeContextMenu(CefRefPtr<CefBrowser> browser, CefRefPtr<CefFrame> frame,
        CefRefPtr<platform::engine::CefContextMenuParams> params,
        CefRefPtr<platform::engine::CefMenuModel> model) override;
    bool OnContextMenuCommand(CefRefPtr<CefBrowser> browser, CefRefPtr<CefFrame> frame,
        CefRefPtr<platform::engine::CefContextMenuParams> params, int commandId, int eventFlags) override;

    // CefDisplayHandler
    void OnAddressChange(
        CefRefPtr<CefBrowser> browser, CefRefPtr<CefFrame> frame, const std::string& url) override;
    void OnTitleChange(CefRefPtr<CefBrowser> browser, const std::u16string& title) override;
    bool OnConsoleMessage(CefRefPtr<CefBrowser> browser, const std::u16string& message,
        const std::u16string& source, int line) override;
    void OnFullscreenModeChange(CefRefPtr<CefBrowser> browser, bool fullscreen) override;
    void OnNotificationActivated(CefRefPtr<CefBrowser> browser) override;
    void OnPictureInPictureModeChange(CefRefPtr<CefBrowser> browser, bool active) override;

    // CefPermissionHandler: requests are asked in their tab's prompt, or answered from what the
    // user said before for the same site and kind.
    bool OnShowPermissionPrompt(CefRefPtr<CefBrowser> browser, uint64_t promptId,
        const std::string& requestingOrigin, unsigned requestedPermissions,
        CefRefPtr<platform::engine::CefPermissionPromptCallback> callback) override;
    bool OnShowExternalSchemePrompt(CefRefPtr<CefBrowser> browser, uint64_t promptId,
        const std::string& requestingOrigin, const std::string& scheme,
        CefRefPtr<platform::engine::CefPermissionPromptCallback> callback) override;
    bool OnChooseScreenSource(CefRefPtr<CefBrowser> browser, uint64_t promptId,
        const std::string& requestingOrigin, const std::vector<std::string>& sourceNames,
        CefRefPtr<platform::engine::CefScreenSourceCallback> callback) override;
    void OnDismissPermissionPrompt(CefRefPtr<CefBrowser> browser, uint64_t promptId,
        platform::engine::cef_permission_request_result_t result) override;
    /// The user's answer in a tab's prompt, with the index chosen when it offered a choice; any
    /// thread.
    void AnswerPermissionPrompt(uint64_t promptId, bool allow, int choice = 0);

    // CefFindHandler
    void OnFindResult(CefRefPtr<CefBrowser> browser, int identifier, int count, int activeMatchOrdinal,
        bool finalUpdate) override;

    // CefKeyboardHandler
    bool OnPreKeyEvent(CefRefPtr<CefBrowser> browser, const platform::engine::CefKeyEvent& event,
        platform::engine::CefEventHandle nativeEvent, bool* isKeyboardShortcut) override;

    // CefDownloadHandler
    void OnBeforeDownload(CefRefPtr<CefBrowser> browser,
        CefRefPtr<platform::engine::CefDownloadItem> downloadItem, const std::u16string& suggestedName,
        CefRefPtr<platform::engine::CefBeforeDownloadCallback> callback) override;
    void OnDownloadUpdated(CefRefPtr<CefBrowser> browser,
        CefRefPtr<platform::engine::CefDownloadItem> downloadItem,
        CefRefPtr<platform::engine::CefDownloadItemCallback> callback) override;
    // Stops a running download the main window lists; false when it is not running.
    bool CancelDownload(unsigned int id) { return downloads.Cancel(id); }
    /// At start-up: removes the partial files of downloads a killed run left behind.
    void RemovePartialDownloads() { downloads.RemoveLeftovers(); }

    // CefDragHandler
    bool OnDragEnter(CefRefPtr<CefBrowser> browser, CefRefPtr<platform::engine::CefDragData> dragData,
        platform::engine::cef_drag_operations_mask_t mask) override;

    // CefGeolocationHandler
    bool OnRequestGeolocationPermission(CefRefPtr<CefBrowser> browser, const std::string& requestingUrl,
        int requestId, CefRefPtr<platform::engine::CefGeolocationCallback> callback) override;

    // CefLifeSpanHandler
    bool OnBeforePopup(CefRefPtr<CefBrowser> browser, CefRefPtr<CefFrame> frame, const std::string& targetUrl,
        const std::string& targetFrameName) override;
    void OnAfterCreated(CefRefPtr<CefBrowser> browser) override;
    void OnBeforeClose(CefRefPtr<CefBrowser> browser) override;

    // CefLoadHandler
    void OnLoadingStateChange(
        CefRefPtr<CefBrowser> browser, bool isLoading, bool canGoBack, bool canGoForward) override;
    void OnLoadError(CefRefPtr<CefBrowser> browser, CefRefPtr<CefFrame> frame,
        platform::engine::cef_errorcode_t errorCode, const std::string& errorText,
        const std::string& failedUrl) override;

    // CefRequestHandler
    CefRefPtr<platform::engine::CefResourceHandler> GetResourceHandler(CefRefPtr<CefBrowser> browser,
        CefRefPtr<CefFrame> frame, CefRefPtr<platform::engine::CefRequest> request) override;
    bool OnBeforeBrowse(CefRefPtr<CefBrowser> browser, CefRefPtr<CefFrame> frame, const std::string& url,
        bool isRedirect) override;
    bool OnQuotaRequest(CefRefPtr<CefBrowser> browser, const std::string& originUrl, int64_t newSize,
        CefRefPtr<platform::engine::CefQuotaCallback> callback) override;
    void OnProtocolExecution(
        CefRefPtr<CefBrowser> browser, const std::string& url, bool& allowOsExecution) override;
    void OnRenderProcessTerminated(
        CefRefPtr<CefBrowser> browser, platform::engine::TerminationStatus status) override;
    // The site's own pages start their media with sound, as its installed client should.
    bool CanAutoplayWithSound(CefRefPtr<CefBrowser> browser, const std::string& url) override;

    /// Zooms browser's page and every other tab of the same site, and keeps the level for the
    /// site's pages opened later; GUI thread.
    void SetSiteZoomLevel(CefRefPtr<CefBrowser> browser, double zoomLevel);

    // For the main frame's and the tests' view of the handler's state.
    const std::string& StartupUrl() const { return startupUrl; }
    bool MouseCursorChangeDisabled() const { return mouseCursorChangeDisabled; }
    bool FocusOnEditableField() const { return focusOnEditableField; }
    bool HasMessageRouter() const { return messageRouter != nullptr; }
    size_t SecondaryBrowserCount() const { return secondaryBrowsers.size(); }

    // The page's developer tools, inspecting the element at point unless it is (0, 0).
    void ShowDevTools(CefRefPtr<CefBrowser> browser, const platform::engine::CefPoint& point);
    void CloseDevTools(CefRefPtr<CefBrowser> browser);

private:
    // Hands a tab's prompt to the main window.
    static void PostPermissionPrompt(int tabId, const SitePermissions::Prompt& prompt);

    std::string startupUrl;
    bool mouseCursorChangeDisabled = false;
    std::mutex browserLock;
    CefRefPtr<CefBrowser> mainBrowser;
    int mainBrowserId = 0;
    TabTitleSink* titleSink = nullptr;
    DownloadReporter downloads;
    platform::ui::HWND mainWindow = nullptr;
    platform::ui::ControlRef backButton;
    platform::ui::ControlRef forwardButton;
    platform::ui::ControlRef extraControl2;
    platform::ui::ControlRef extraControl1;
    std::string consoleLogPath;
    bool focusOnEditableField = false;
    CefRefPtr<platform::engine::CefMessageRouterBrowserSide> messageRouter;
    std::vector<std::unique_ptr<platform::engine::CefMessageRouterBrowserSide::Handler>> queryHandlers;
    std::list<CefRefPtr<CefBrowser>> secondaryBrowsers;
    std::vector<CefRefPtr<CefBrowser>> browsers;
    // Browsers whose page is fullscreen; Escape takes them out of it.
    std::set<int> fullscreenBrowsers;
    SitePermissions sitePermissions;
    SiteZoom siteZoom;

    IMPLEMENT_REFCOUNTING(BrowserClientHandler);
};

/// Browsers created through the handler and not yet closed.
int OpenBrowserCount();

/// The error page shown for a failed load; address and error text are escaped for HTML.
std::string LoadErrorPage(const std::string& failedUrl, const std::string& errorText, int errorCode);
