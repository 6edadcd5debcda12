#include "browser/BrowserClientHandler.h"

#include "app/GlobalState.h"
#include "browser/ConsoleLog.h"
#include "browser/ContextMenu.h"
#include "browser/EscapeHtml.h"
#include "browser/PageCommand.h"
#include "browser/SafeDownloadName.h"
#include "browser/TabContextHandler.h"
#include "browser/TabTitleSink.h"
#include "browser/TestResources.h"
#include "config/AppConfig.h"
#include "config/SiteAddress.h"
#include "ids/WindowMessageIds.h"
#include "platform/engine/CefCommandLine.h"
#include "platform/engine/CefTask.h"
#include "platform/os/OsLayer.h"
#include "platform/os/TextCodec.h"
#include "platform/ui/ControlUI.h"
#include "platform/ui/WindowMessages.h"

#include <algorithm>
#include <atomic>
#include <cctype>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

using namespace platform::engine;

namespace {

constexpr int64_t kQuotaLimit = int64_t(20) * 1024 * 1024;

std::atomic<int> openBrowserCount { 0 };

// The program's debug output: standard error, only when asked for.
void DebugOutput(const char* text)
{
    if (std::getenv("ZANDREL_DEBUG"))
        std::fputs(text, stderr);
}

bool StartsWith(const std::string& text, const std::string& prefix)
{
    return text.compare(0, prefix.size(), prefix) == 0;
}

} // namespace

int OpenBrowserCount() { return openBrowserCount.load(); }

std::string LoadErrorPage(const std::string& failedUrl, const std::string& errorText, int errorCode)
{
    // The page is shown as the failed address: unescaped, a crafted address would run
    // script in that site's origin.
    return "<html><body bgcolor=\"white\"><h2>Failed to load URL " + EscapeHtml(failedUrl) + " with error "
        + EscapeHtml(errorText) + " (" + std::to_string(errorCode) + ").</h2></body></html>";
}

BrowserClientHandler::BrowserClientHandler()
    : sitePermissions(&PostPermissionPrompt)
{
    auto commandLine = CefCommandLine::GetGlobalCommandLine();
    if (commandLine->HasSwitch("url"))
        startupUrl = commandLine->GetSwitchValue("url");
    // A crashed page brings the viewer back to the live-show site, not elsewhere.
    if (startupUrl.empty())
        startupUrl = platform::os::Utf16ToUtf8(SiteUrl() + u"/?miniClient=1");
    mouseCursorChangeDisabled = commandLine->HasSwitch("mouse-cursor-change-disabled");
}

CefRefPtr<CefBrowser> BrowserClientHandler::GetMainBrowser()
{
    std::lock_guard<std::mutex> lock(browserLock);
    return mainBrowser;
}

int BrowserClientHandler::GetMainBrowserId()
{
    std::lock_guard<std::mutex> lock(browserLock);
    return mainBrowserId;
}

CefRefPtr<CefBrowser> BrowserClientHandler::FindBrowserByTabId(int tabId)
{
    std::vector<CefRefPtr<CefBrowser>> snapshot;
    {
        std::lock_guard<std::mutex> lock(browserLock);
        snapshot = browsers;
    }
    for (const auto& browser : snapshot) {
        if (!browser->GetHost())
            continue;
        TabContextHandler* context = TabContextOf(browser);
        if (context && context->tabId == tabId)
            return browser;
    }
    return nullptr;
}

void BrowserClientHandler::SetMainWindow(platform::ui::HWND hwnd)
{
    if (!CefCurrentlyOn(TID_UI)) {
        CefRefPtr<BrowserClientHandler> self(this);
        CefPostTask(TID_UI, [self, hwnd] { self->SetMainWindow(hwnd); });
        return;
    }
    mainWindow = hwnd;
}

void BrowserClientHandler::SetNavigationControls(const platform::ui::ControlRef& back,
    const platform::ui::ControlRef& forward, const platform::ui::ControlRef& extra1,
    const platform::ui::ControlRef& extra2)
{
    if (!CefCurrentlyOn(TID_UI)) {
        CefRefPtr<BrowserClientHandler> self(this);
        CefPostTask(TID_UI, [self, back, forward, extra1, extra2] {
            self->SetNavigationControls(back, forward, extra1, extra2);
        });
        return;
    }
    backButton = back;
    forwardButton = forward;
    extraControl1 = extra1;
    extraControl2 = extra2;
}

void BrowserClientHandler::SetTitleSink(TabTitleSink* sink) { titleSink = sink; }

bool BrowserClientHandler::OnProcessMessageReceived(
    CefRefPtr<CefBrowser> browser, CefProcessId sourceProcess, CefRefPtr<CefProcessMessage> message)
{
    if (messageRouter && messageRouter->OnProcessMessageReceived(browser, sourceProcess, message))
        return true;
    if (message && message->GetName() == "ClientRenderer.FocusedNodeChanged") {
        focusOnEditableField = message->GetArgumentList()->GetBool(0);
        return true;
    }
    return false;
}

void BrowserClientHandler::OnBeforeContextMenu(CefRefPtr<CefBrowser> browser, CefRefPtr<CefFrame> frame,
    CefRefPtr<CefContextMenuParams> params, CefRefPtr<CefMenuModel> model)
{
    (void)browser, (void)frame;
    // Read at every menu, so a change of the test mode shows at the next one.
    ContextMenu::AddDevToolsEntries(params->GetTypeFlags(), AppConfig::Instance().testMode, *model);
}

bool BrowserClientHandler::OnContextMenuCommand(CefRefPtr<CefBrowser> browser, CefRefPtr<CefFrame> frame,
    CefRefPtr<CefContextMenuParams> params, int commandId, int eventFlags)
{
    (void)frame, (void)eventFlags;
    switch (commandId) {
    case ContextMenu::kShowDevTools:
        ShowDevTools(browser, CefPoint());
        return true;
    case ContextMenu::kCloseDevTools:
        CloseDevTools(browser);
        return true;
    case ContextMenu::kInspectElement:
        ShowDevTools(browser, CefPoint { params->GetXCoord(), params->GetYCoord() });
        return true;
    default:
        return false;
    }
}

void BrowserClientHandler::ShowDevTools(CefRefPtr<CefBrowser> browser, const CefPoint& point)
{
    auto host = browser->GetHost();
    host->ShowDevTools(
        ContextMenu::DevToolsWindowInfo(host->GetWindowHandle()), this, CefBrowserSettings(), point);
}

void BrowserClientHandler::CloseDevTools(CefRefPtr<CefBrowser> browser)
{
    browser->GetHost()->CloseDevTools();
}

bool BrowserClientHandler::OnPreKeyEvent(CefRefPtr<CefBrowser> browser, const CefKeyEvent& event,
    CefEventHandle nativeEvent, bool* isKeyboardShortcut)
{
    (void)nativeEvent, (void)isKeyboardShortcut;
    constexpr int kSpaceBar = 32;
    constexpr int kEscape = 27;
    // As in a browser, Escape belongs to the fullscreen page's way out, not to the page.
    if (event.windows_key_code == kEscape && fullscreenBrowsers.count(browser->GetIdentifier())) {
        if (event.type == KEYEVENT_RAWKEYDOWN)
            browser->GetHost()->ExitFullscreen();
        return true;
    }
    // The browser's own keys act on the selected tab, never on the page; the developer
    // tools (outside any tab) keep theirs.
    const PageCommand command = PageCommandOfKey(event);
    if (command != PageCommand::None && TabContextOf(browser)) {
        if (event.type == KEYEVENT_RAWKEYDOWN)
            platform::ui::PostMessage(
                mainWindowHandle, WM_PAGE_COMMAND, static_cast<platform::ui::WPARAM>(command), 0);
        return true;
    }
    // The page's own report covers the fields the input method skips, password fields among them.
    if (event.focus_on_editable_field || focusOnEditableField || event.windows_key_code != kSpaceBar)
        return false;
    if (event.type == KEYEVENT_RAWKEYDOWN)
        browser->GetMainFrame()->ExecuteJavaScript("alert('You pressed the space bar!');", "", 0);
    return true;
}

bool BrowserClientHandler::OnConsoleMessage(
    CefRefPtr<CefBrowser> browser, const std::u16string& message, const std::u16string& source, int line)
{
    (void)browser;
    if (consoleLogPath.empty())
        consoleLogPath = ConsoleLog::DefaultPath();
    // Installed, the program's folder is not the user's to write: the log moves to the state folder.
    // Where neither can be written this message is lost; the next one tries again.
    const std::string record = ConsoleLog::Record(message, source, line);
    if (consoleLogPath == ConsoleLog::DefaultPath())
        ConsoleLog::AppendOrFallBack(consoleLogPath, record);
    else
        ConsoleLog::Append(consoleLogPath, record);
    return false;
}

CefRefPtr<CefResourceHandler> BrowserClientHandler::GetResourceHandler(
    CefRefPtr<CefBrowser> browser, CefRefPtr<CefFrame> frame, CefRefPtr<CefRequest> request)
{
    (void)browser, (void)frame;
    return TestResources::GetResourceHandler(request);
}

void BrowserClientHandler::OnTitleChange(CefRefPtr<CefBrowser> browser, const std::u16string& title)
{
    if (!titleSink)
        return;
    // A browser outside any tab (the developer tools) has no tab to name.
    if (TabContextHandler* context = TabContextOf(browser))
        titleSink->TitleChanged(context->tabId, title);
}

void BrowserClientHandler::OnFindResult(
    CefRefPtr<CefBrowser> browser, int identifier, int count, int activeMatchOrdinal, bool finalUpdate)
{
    (void)identifier, (void)finalUpdate;
    // The find bar is the tab's; a browser outside any tab has none.
    TabContextHandler* context = TabContextOf(browser);
    if (!context)
        return;
    const auto matches = static_cast<std::uint64_t>(std::max(count, 0));
    const auto active = static_cast<std::uint64_t>(std::max(activeMatchOrdinal, 0));
    platform::ui::PostMessage(mainWindowHandle, WM_FIND_RESULT,
        static_cast<platform::ui::WPARAM>(context->tabId),
        static_cast<platform::ui::LPARAM>(matches << 32 | active));
}

void BrowserClientHandler::OnFullscreenModeChange(CefRefPtr<CefBrowser> browser, bool fullscreen)
{
    if (fullscreen)
        fullscreenBrowsers.insert(browser->GetIdentifier());
    else
        fullscreenBrowsers.erase(browser->GetIdentifier());
    // The window that fills the screen for the page is the main window's; a browser outside
    // any tab (the developer tools) has none to fill.
    if (TabContextHandler* context = TabContextOf(browser))
        platform::ui::PostMessage(mainWindowHandle, WM_TAB_FULLSCREEN,
            static_cast<platform::ui::WPARAM>(context->tabId), fullscreen ? 1 : 0);
}

void BrowserClientHandler::OnBeforeDownload(CefRefPtr<CefBrowser> browser,
    CefRefPtr<CefDownloadItem> downloadItem, const std::u16string& suggestedName,
    CefRefPtr<CefBeforeDownloadCallback> callback)
{
    (void)browser, (void)downloadItem;
    std::string path;
    const std::string folder = platform::os::Os().DocumentsFolder();
    if (!folder.empty())
        path = folder + "/" + SafeDownloadName(suggestedName);
    callback->Continue(path, true);
}

void BrowserClientHandler::OnDownloadUpdated(CefRefPtr<CefBrowser> browser,
    CefRefPtr<CefDownloadItem> downloadItem, CefRefPtr<platform::engine::CefDownloadItemCallback> callback)
{
    (void)browser;
    downloads.Report(mainWindowHandle, *downloadItem, callback);
}

bool BrowserClientHandler::OnDragEnter(
    CefRefPtr<CefBrowser> browser, CefRefPtr<CefDragData> dragData, cef_drag_operations_mask_t mask)
{
    (void)browser, (void)dragData;
    return (mask & DRAG_OPERATION_LINK) != 0;
}

bool BrowserClientHandler::OnRequestGeolocationPermission(CefRefPtr<CefBrowser> browser,
    const std::string& requestingUrl, int requestId, CefRefPtr<CefGeolocationCallback> callback)
{
    (void)browser, (void)requestingUrl, (void)requestId;
    callback->Continue(true);
    return true;
}

bool BrowserClientHandler::OnBeforePopup(CefRefPtr<CefBrowser> browser, CefRefPtr<CefFrame> frame,
    const std::string& targetUrl, const std::string& targetFrameName)
{
    (void)frame, (void)targetFrameName;
    if (browser && !browser->GetHost()->IsWindowRenderingDisabled()) {
        auto payload = std::make_unique<platform::ui::OwnedPayload<std::string>>(targetUrl);
        const auto address = reinterpret_cast<platform::ui::WPARAM>(
            static_cast<platform::ui::MessagePayload*>(payload.get()));
        platform::ui::PostMessage(mainWindowHandle, WM_OPEN_TAB, address, 0, std::move(payload));
    }
    return true;
}

void BrowserClientHandler::OnAfterCreated(CefRefPtr<CefBrowser> browser)
{
    if (!messageRouter) {
        messageRouter = CefMessageRouterBrowserSide::Create(CefMessageRouterConfig());
        for (const auto& handler : queryHandlers)
            messageRouter->AddHandler(handler.get(), false);
    }
    if (mouseCursorChangeDisabled)
        browser->GetHost()->SetMouseCursorChangeDisabled(true);
    DebugOutput(browser->GetHost()->IsWindowRenderingDisabled() ? "Disable  " : "Enable  ");

    std::lock_guard<std::mutex> lock(browserLock);
    browsers.push_back(browser);
    if (!mainBrowser) {
        mainBrowser = browser;
        mainBrowserId = browser->GetIdentifier();
    } else {
        secondaryBrowsers.push_back(browser);
        CefPostTask(TID_UI, [browser] { browser->GetHost()->SetFocus(true); });
    }
    ++openBrowserCount;
}

void BrowserClientHandler::OnBeforeClose(CefRefPtr<CefBrowser> browser)
{
    siteZoom.Forget(browser->GetIdentifier());
    if (messageRouter)
        messageRouter->OnBeforeClose(browser);
    if (GetMainBrowserId() == browser->GetIdentifier()) {
        std::lock_guard<std::mutex> lock(browserLock);
        mainBrowser.reset();
    } else {
        auto it = std::find_if(secondaryBrowsers.begin(), secondaryBrowsers.end(),
            [&](const CefRefPtr<CefBrowser>& entry) { return entry->IsSame(browser); });
        if (it != secondaryBrowsers.end())
            secondaryBrowsers.erase(it);
    }
    if (--openBrowserCount == 0) {
        for (const auto& handler : queryHandlers)
            messageRouter->RemoveHandler(handler.get());
        queryHandlers.clear();
        messageRouter.reset();
    }
}

void BrowserClientHandler::OnLoadingStateChange(
    CefRefPtr<CefBrowser> browser, bool isLoading, bool canGoBack, bool canGoForward)
{
    (void)browser;
    // A document being replaced takes its focused field with it, and no focus change is
    // reported for it; the new document reports its own.
    if (isLoading)
        focusOnEditableField = false;
    // The controls belong to the GUI thread: their new state travels there as a message.
    if (extraControl1)
        platform::ui::PostSetEnabled(extraControl1, !isLoading);
    if (extraControl2)
        platform::ui::PostSetEnabled(extraControl2, !isLoading);
    if (backButton)
        platform::ui::PostSetEnabled(backButton, canGoBack);
    if (forwardButton)
        platform::ui::PostSetEnabled(forwardButton, canGoForward);
}

void BrowserClientHandler::OnLoadError(CefRefPtr<CefBrowser> browser, CefRefPtr<CefFrame> frame,
    cef_errorcode_t errorCode, const std::string& errorText, const std::string& failedUrl)
{
    (void)browser;
    if (errorCode == ERR_ABORTED)
        return;
    if (errorCode == ERR_UNKNOWN_URL_SCHEME && StartsWith(frame->GetURL(), "spotify:"))
        return;
    frame->LoadString(LoadErrorPage(failedUrl, errorText, errorCode), failedUrl);
}

bool BrowserClientHandler::OnBeforeBrowse(
    CefRefPtr<CefBrowser> browser, CefRefPtr<CefFrame> frame, const std::string& url, bool isRedirect)
{
    (void)url, (void)isRedirect;
    if (messageRouter)
        messageRouter->OnBeforeBrowse(browser, frame);
    return false;
}

bool BrowserClientHandler::OnQuotaRequest(CefRefPtr<CefBrowser> browser, const std::string& originUrl,
    int64_t newSize, CefRefPtr<CefQuotaCallback> callback)
{
    (void)browser, (void)originUrl;
    callback->Continue(newSize <= kQuotaLimit);
    return true;
}

void BrowserClientHandler::OnProtocolExecution(
    CefRefPtr<CefBrowser> browser, const std::string& url, bool& allowOsExecution)
{
    (void)browser;
    if (StartsWith(url, "spotify:"))
        allowOsExecution = true;
}

void BrowserClientHandler::OnRenderProcessTerminated(CefRefPtr<CefBrowser> browser, TerminationStatus status)
{
    (void)status;
    if (messageRouter)
        messageRouter->OnRenderProcessTerminated(browser);
    auto frame = browser->GetMainFrame();
    std::string address = frame->GetURL();
    std::transform(address.begin(), address.end(), address.begin(),
        [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    if (startupUrl != "chrome://crash" && !address.empty() && !StartsWith(address, startupUrl))
        frame->LoadURL(startupUrl);
}
