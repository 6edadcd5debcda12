#pragma once

#include "platform/engine/CefRefCounted.h"
#include "platform/engine/CefTypes.h"

#include <string>

namespace platform::engine {

class CefBrowser;
class CefClient;
class CefProcessMessage;
class CefRequestContext;

/// A frame of a browser; the system only uses the main frame.
class CefFrame : public virtual CefBaseRefCounted {
public:
    virtual bool IsMain() = 0;
    /// The address the frame shows (UTF-8), empty once the browser is closed.
    virtual std::string GetURL() = 0;
    virtual void LoadURL(const std::string& url) = 0;
    /// Shows html as if it had been loaded from url.
    virtual void LoadString(const std::string& html, const std::string& url) = 0;
    virtual void ExecuteJavaScript(const std::string& code, const std::string& scriptUrl, int startLine) = 0;
    virtual CefRefPtr<CefBrowser> GetBrowser() = 0;
};

/// The window side of a browser. Operations on a closed browser do nothing.
class CefBrowserHost : public virtual CefBaseRefCounted {
public:
    /// Asks for a new browser; it exists once the client's OnAfterCreated is called.
    /// False when the request is refused (no such parent window, no client).
    static bool CreateBrowser(const CefWindowInfo& windowInfo, CefRefPtr<CefClient> client,
        const std::string& url, const CefBrowserSettings& settings,
        CefRefPtr<CefRequestContext> requestContext);

    virtual CefRefPtr<CefBrowser> GetBrowser() = 0;
    virtual CefRefPtr<CefClient> GetClient() = 0;
    virtual CefRefPtr<CefRequestContext> GetRequestContext() = 0;
    /// The browser's own window, a child of the window given at creation; null once closed.
    virtual platform::ui::HWND GetWindowHandle() = 0;
    virtual void CloseBrowser(bool forceClose) = 0;
    virtual void SetFocus(bool focus) = 0;
    /// Every browser of the system renders into its window.
    virtual bool IsWindowRenderingDisabled() = 0;
    virtual void SetMouseCursorChangeDisabled(bool disabled) = 0;
    virtual bool IsMouseCursorChangeDisabled() = 0;
    /// Opens the developer tools of this browser in a window of their own.
    virtual void ShowDevTools(CefRefPtr<CefClient> client) = 0;
    /// The same, with the window's description; a point other than (0, 0) also
    /// inspects the element there.
    virtual void ShowDevTools(const CefWindowInfo& windowInfo, CefRefPtr<CefClient> client,
        const CefBrowserSettings& settings, const CefPoint& inspectElementAt);
    virtual void CloseDevTools() = 0;
    /// Makes the page leave fullscreen, which it then reports through OnFullscreenModeChange;
    /// nothing when it is not fullscreen.
    virtual void ExitFullscreen() = 0;
    /// Takes the page's video out of picture-in-picture (the page hears of it as from the
    /// standard API) and reports it through OnPictureInPictureModeChange; nothing when none is.
    virtual void ExitPictureInPicture() = 0;
    /// The page's zoom: 0 is the page's own size, each unit one step of 20 % (factor 1.2^level).
    virtual double GetZoomLevel() = 0;
    /// Zooms the page, kept within the engine's range; zoom belongs to this browser alone.
    virtual void SetZoomLevel(double zoomLevel) = 0;
    /// Searches the page for searchText and highlights the matches; the result goes to the
    /// client's find handler. A repeated search with findNext moves to the next (or, not
    /// forward, the previous) match.
    virtual void Find(const std::u16string& searchText, bool forward, bool matchCase, bool findNext) = 0;
    /// Ends the search; clearSelection also removes the highlight of the current match.
    virtual void StopFinding(bool clearSelection) = 0;
};

class CefBrowser : public virtual CefBaseRefCounted {
public:
    virtual CefRefPtr<CefBrowserHost> GetHost() = 0;
    virtual int GetIdentifier() = 0;
    virtual bool IsSame(CefRefPtr<CefBrowser> that) = 0;
    virtual CefRefPtr<CefFrame> GetMainFrame() = 0;
    virtual bool CanGoBack() = 0;
    virtual bool CanGoForward() = 0;
    virtual void GoBack() = 0;
    virtual void GoForward() = 0;
    virtual void Reload() = 0;
    /// Reloads the page and everything in it from the network, not from the cache.
    virtual void ReloadIgnoreCache() = 0;
    virtual void StopLoad() = 0;
    virtual bool IsLoading() = 0;
    virtual bool SendProcessMessage(CefProcessId target, CefRefPtr<CefProcessMessage> message) = 0;
    /// The process that renders the page; pages may share one. 0 when unknown.
    virtual int GetRenderProcessId() { return 0; }
};

} // namespace platform::engine
