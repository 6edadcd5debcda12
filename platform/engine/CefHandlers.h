#pragma once

#include "platform/engine/CefBrowser.h"
#include "platform/engine/CefCallbacks.h"
#include "platform/engine/CefContextMenu.h"
#include "platform/engine/CefKeyEvent.h"
#include "platform/engine/CefResource.h"
#include "platform/engine/CefTypes.h"

#include <cstdint>
#include <string>
#include <vector>

namespace platform::engine {

// The handler interfaces a client offers. Every callback runs on the engine's UI
// thread; the defaults are the engine's own behaviour.

class CefContextMenuHandler : public virtual CefBaseRefCounted {
public:
    /// May add entries after the engine's own.
    virtual void OnBeforeContextMenu(CefRefPtr<CefBrowser> browser, CefRefPtr<CefFrame> frame,
        CefRefPtr<CefContextMenuParams> params, CefRefPtr<CefMenuModel> model)
    {
        (void)browser, (void)frame, (void)params, (void)model;
    }
    /// True when the handler carried out the command (the engine then does nothing).
    virtual bool OnContextMenuCommand(CefRefPtr<CefBrowser> browser, CefRefPtr<CefFrame> frame,
        CefRefPtr<CefContextMenuParams> params, int commandId, int eventFlags)
    {
        (void)browser, (void)frame, (void)params, (void)commandId, (void)eventFlags;
        return false;
    }
};

class CefDialogHandler : public virtual CefBaseRefCounted { };

class CefDisplayHandler : public virtual CefBaseRefCounted {
public:
    virtual void OnAddressChange(
        CefRefPtr<CefBrowser> browser, CefRefPtr<CefFrame> frame, const std::string& url)
    {
        (void)browser, (void)frame, (void)url;
    }
    virtual void OnTitleChange(CefRefPtr<CefBrowser> browser, const std::u16string& title)
    {
        (void)browser, (void)title;
    }
    /// True when the handler took the message (the engine then does not log it).
    virtual bool OnConsoleMessage(
        CefRefPtr<CefBrowser> browser, const std::u16string& message, const std::u16string& source, int line)
    {
        (void)browser, (void)message, (void)source, (void)line;
        return false;
    }
    /// The page entered (true) or left (false) fullscreen; the engine has already granted
    /// it, and the client fits the browser's window to the screen or back.
    virtual void OnFullscreenModeChange(CefRefPtr<CefBrowser> browser, bool fullscreen)
    {
        (void)browser, (void)fullscreen;
    }
    /// The page's top document put one of its videos into picture-in-picture (true) or took it
    /// out (false, also when the video, the document or the browser went); the client shows the
    /// browser's window in a small player of its own meanwhile. While it stays in, another video
    /// of the page may take its place without a report.
    virtual void OnPictureInPictureModeChange(CefRefPtr<CefBrowser> browser, bool active)
    {
        (void)browser, (void)active;
    }
    /// The user clicked a desktop notification of a page of browser's origin; the client
    /// brings browser into view.
    virtual void OnNotificationActivated(CefRefPtr<CefBrowser> browser) { (void)browser; }
};

class CefDownloadHandler : public virtual CefBaseRefCounted {
public:
    /// A download is cancelled unless the callback is continued.
    virtual void OnBeforeDownload(CefRefPtr<CefBrowser> browser, CefRefPtr<CefDownloadItem> downloadItem,
        const std::u16string& suggestedName, CefRefPtr<CefBeforeDownloadCallback> callback)
        = 0;
    /// An accepted download progressed or ended (engine UI thread). The browser may have
    /// closed its window meanwhile; the download goes on without it.
    virtual void OnDownloadUpdated(CefRefPtr<CefBrowser> browser, CefRefPtr<CefDownloadItem> downloadItem,
        CefRefPtr<CefDownloadItemCallback> callback)
    {
        (void)browser, (void)downloadItem, (void)callback;
    }
};

class CefDragHandler : public virtual CefBaseRefCounted {
public:
    /// True refuses the drag.
    virtual bool OnDragEnter(
        CefRefPtr<CefBrowser> browser, CefRefPtr<CefDragData> dragData, cef_drag_operations_mask_t mask)
    {
        (void)browser, (void)dragData, (void)mask;
        return false;
    }
};

class CefGeolocationHandler : public virtual CefBaseRefCounted {
public:
    /// True when the handler answers through the callback; otherwise the request is denied.
    virtual bool OnRequestGeolocationPermission(CefRefPtr<CefBrowser> browser,
        const std::string& requestingUrl, int requestId, CefRefPtr<CefGeolocationCallback> callback)
    {
        (void)browser, (void)requestingUrl, (void)requestId, (void)callback;
        return false;
    }
};

class CefJSDialogHandler : public virtual CefBaseRefCounted { };

class CefFindHandler : public virtual CefBaseRefCounted {
public:
    /// A search's matches: count in all, activeMatchOrdinal the highlighted one (from 1; 0 with
    /// none). finalUpdate is false while the count may still grow.
    virtual void OnFindResult(
        CefRefPtr<CefBrowser> browser, int identifier, int count, int activeMatchOrdinal, bool finalUpdate)
    {
        (void)browser, (void)identifier, (void)count, (void)activeMatchOrdinal, (void)finalUpdate;
    }
};

class CefKeyboardHandler : public virtual CefBaseRefCounted {
public:
    /// True consumes the event: the page never sees it.
    virtual bool OnPreKeyEvent(CefRefPtr<CefBrowser> browser, const CefKeyEvent& event,
        CefEventHandle nativeEvent, bool* isKeyboardShortcut)
    {
        (void)browser, (void)event, (void)nativeEvent, (void)isKeyboardShortcut;
        return false;
    }
};

class CefLifeSpanHandler : public virtual CefBaseRefCounted {
public:
    /// True refuses the popup window (the engine never opens one on its own here).
    virtual bool OnBeforePopup(CefRefPtr<CefBrowser> browser, CefRefPtr<CefFrame> frame,
        const std::string& targetUrl, const std::string& targetFrameName)
    {
        (void)browser, (void)frame, (void)targetUrl, (void)targetFrameName;
        return true;
    }
    virtual void OnAfterCreated(CefRefPtr<CefBrowser> browser) { (void)browser; }
    virtual bool DoClose(CefRefPtr<CefBrowser> browser)
    {
        (void)browser;
        return false;
    }
    virtual void OnBeforeClose(CefRefPtr<CefBrowser> browser) { (void)browser; }
};

class CefLoadHandler : public virtual CefBaseRefCounted {
public:
    virtual void OnLoadingStateChange(
        CefRefPtr<CefBrowser> browser, bool isLoading, bool canGoBack, bool canGoForward)
    {
        (void)browser, (void)isLoading, (void)canGoBack, (void)canGoForward;
    }
    virtual void OnLoadStart(CefRefPtr<CefBrowser> browser, CefRefPtr<CefFrame> frame)
    {
        (void)browser, (void)frame;
    }
    virtual void OnLoadEnd(CefRefPtr<CefBrowser> browser, CefRefPtr<CefFrame> frame, int httpStatusCode)
    {
        (void)browser, (void)frame, (void)httpStatusCode;
    }
    /// A navigation failed for a network reason (HTTP error statuses are not failures).
    virtual void OnLoadError(CefRefPtr<CefBrowser> browser, CefRefPtr<CefFrame> frame,
        cef_errorcode_t errorCode, const std::string& errorText, const std::string& failedUrl)
    {
        (void)browser, (void)frame, (void)errorCode, (void)errorText, (void)failedUrl;
    }
};

class CefPermissionHandler : public virtual CefBaseRefCounted {
public:
    /// A page of requestingOrigin (scheme://host[:port]) asks for requestedPermissions
    /// (cef_permission_request_types_t bits). True when the handler answers through the
    /// callback, now or later; otherwise the request is refused.
    virtual bool OnShowPermissionPrompt(CefRefPtr<CefBrowser> browser, uint64_t promptId,
        const std::string& requestingOrigin, unsigned requestedPermissions,
        CefRefPtr<CefPermissionPromptCallback> callback)
    {
        (void)browser, (void)promptId, (void)requestingOrigin, (void)requestedPermissions, (void)callback;
        return false;
    }
    /// A page of requestingOrigin asks to share a screen or a window; sourceNames are what the
    /// desktop offers, the screens first. True when the handler answers through the callback,
    /// now or later; otherwise the request is refused.
    virtual bool OnChooseScreenSource(CefRefPtr<CefBrowser> browser, uint64_t promptId,
        const std::string& requestingOrigin, const std::vector<std::string>& sourceNames,
        CefRefPtr<CefScreenSourceCallback> callback)
    {
        (void)browser, (void)promptId, (void)requestingOrigin, (void)sourceNames, (void)callback;
        return false;
    }
    /// The top document of requestingOrigin, just after the user pressed in it, asks to hand an
    /// address of scheme (without ":") to the desktop's application for it. True when the
    /// handler answers through the callback, now or later; otherwise it is refused.
    virtual bool OnShowExternalSchemePrompt(CefRefPtr<CefBrowser> browser, uint64_t promptId,
        const std::string& requestingOrigin, const std::string& scheme,
        CefRefPtr<CefPermissionPromptCallback> callback)
    {
        (void)browser, (void)promptId, (void)requestingOrigin, (void)scheme, (void)callback;
        return false;
    }
    /// A prompt the handler took was settled without it (navigation, the browser closing);
    /// its callback does nothing from now on.
    virtual void OnDismissPermissionPrompt(
        CefRefPtr<CefBrowser> browser, uint64_t promptId, cef_permission_request_result_t result)
    {
        (void)browser, (void)promptId, (void)result;
    }
};

class CefRenderHandler : public virtual CefBaseRefCounted { };

class CefRequestHandler : public virtual CefBaseRefCounted {
public:
    /// True cancels the navigation.
    virtual bool OnBeforeBrowse(
        CefRefPtr<CefBrowser> browser, CefRefPtr<CefFrame> frame, const std::string& url, bool isRedirect)
    {
        (void)browser, (void)frame, (void)url, (void)isRedirect;
        return false;
    }
    /// Content for a request instead of the network; none lets the engine load it.
    /// Engine IO thread. Only requests for kBuiltInTestHost are offered on this platform.
    virtual CefRefPtr<CefResourceHandler> GetResourceHandler(
        CefRefPtr<CefBrowser> browser, CefRefPtr<CefFrame> frame, CefRefPtr<CefRequest> request)
    {
        (void)browser, (void)frame, (void)request;
        return nullptr;
    }
    /// True when the handler answers through the callback; otherwise the request is cancelled.
    virtual bool GetAuthCredentials(CefRefPtr<CefBrowser> browser, bool isProxy, const std::string& host,
        int port, const std::string& realm, CefRefPtr<CefAuthCallback> callback)
    {
        (void)browser, (void)isProxy, (void)host, (void)port, (void)realm, (void)callback;
        return false;
    }
    /// True when the handler answers through the callback; otherwise the request is refused.
    virtual bool OnQuotaRequest(CefRefPtr<CefBrowser> browser, const std::string& originUrl, int64_t newSize,
        CefRefPtr<CefQuotaCallback> callback)
    {
        (void)browser, (void)originUrl, (void)newSize, (void)callback;
        return false;
    }
    /// An address whose scheme the engine cannot load; setting allowOsExecution hands it
    /// to the desktop, otherwise the load fails with ERR_UNKNOWN_URL_SCHEME.
    virtual void OnProtocolExecution(
        CefRefPtr<CefBrowser> browser, const std::string& url, bool& allowOsExecution)
    {
        (void)browser, (void)url, (void)allowOsExecution;
    }
    /// True when the handler answers through the callback; otherwise the request is cancelled.
    virtual bool OnCertificateError(CefRefPtr<CefBrowser> browser, cef_errorcode_t certError,
        const std::string& requestUrl, CefRefPtr<CefAllowCertificateErrorCallback> callback)
    {
        (void)browser, (void)certError, (void)requestUrl, (void)callback;
        return false;
    }
    virtual void OnRenderProcessTerminated(CefRefPtr<CefBrowser> browser, TerminationStatus status)
    {
        (void)browser, (void)status;
    }
    /// True lets the page about to be shown at url start media with sound without a gesture in it;
    /// asked before each navigation of the main frame.
    virtual bool CanAutoplayWithSound(CefRefPtr<CefBrowser> browser, const std::string& url)
    {
        (void)browser, (void)url;
        return false;
    }
};

} // namespace platform::engine
