#pragma once

#include "platform/engine/CefHandlers.h"
#include "platform/engine/CefProcessMessage.h"

namespace platform::engine {

/// What a browser reports to; each getter names the handler for one kind of event
/// (none: the engine's defaults).
class CefClient : public virtual CefBaseRefCounted {
public:
    virtual CefRefPtr<CefContextMenuHandler> GetContextMenuHandler() { return nullptr; }
    virtual CefRefPtr<CefDialogHandler> GetDialogHandler() { return nullptr; }
    virtual CefRefPtr<CefDisplayHandler> GetDisplayHandler() { return nullptr; }
    virtual CefRefPtr<CefDownloadHandler> GetDownloadHandler() { return nullptr; }
    virtual CefRefPtr<CefDragHandler> GetDragHandler() { return nullptr; }
    virtual CefRefPtr<CefFindHandler> GetFindHandler() { return nullptr; }
    virtual CefRefPtr<CefGeolocationHandler> GetGeolocationHandler() { return nullptr; }
    virtual CefRefPtr<CefJSDialogHandler> GetJSDialogHandler() { return nullptr; }
    virtual CefRefPtr<CefKeyboardHandler> GetKeyboardHandler() { return nullptr; }
    virtual CefRefPtr<CefLifeSpanHandler> GetLifeSpanHandler() { return nullptr; }
    virtual CefRefPtr<CefLoadHandler> GetLoadHandler() { return nullptr; }
    virtual CefRefPtr<CefPermissionHandler> GetPermissionHandler() { return nullptr; }
    virtual CefRefPtr<CefRenderHandler> GetRenderHandler() { return nullptr; }
    virtual CefRefPtr<CefRequestHandler> GetRequestHandler() { return nullptr; }
    /// True when the message was handled.
    virtual bool OnProcessMessageReceived(
        CefRefPtr<CefBrowser> browser, CefProcessId sourceProcess, CefRefPtr<CefProcessMessage> message)
    {
        (void)browser, (void)sourceProcess, (void)message;
        return false;
    }
};

/// A client without handlers: what a closed browser reports to.
class CefNullClient final : public CefClient {
    IMPLEMENT_REFCOUNTING(CefNullClient);
};

} // namespace platform::engine
