#pragma once

#include "platform/engine/CefHandlers.h"
#include "platform/engine/CefProcessMessage.h"
#include "platform/engine/CefRefCounted.h"
#include "platform/engine/CefV8.h"

namespace platform::engine {

class CefSchemeRegistrar;

/// Called in the browser process once the engine's context exists (GUI thread).
class CefBrowserProcessHandler : public virtual CefBaseRefCounted {
public:
    virtual void OnContextInitialized() { }
};

/// Render-side callbacks. The engine's render processes run no code of the program, so
/// the engine calls these in the browser process (GUI thread) from what a script in
/// every frame reports.
class CefRenderProcessHandler : public virtual CefBaseRefCounted {
public:
    virtual void OnRenderThreadCreated(CefRefPtr<CefListValue> extraInfo) { (void)extraInfo; }
    virtual void OnWebKitInitialized() { }
    virtual void OnBrowserCreated(CefRefPtr<CefBrowser> browser) { (void)browser; }
    virtual void OnBrowserDestroyed(CefRefPtr<CefBrowser> browser) { (void)browser; }
    virtual CefRefPtr<CefLoadHandler> GetLoadHandler() { return nullptr; }
    /// True cancels the navigation.
    virtual bool OnBeforeNavigation(CefRefPtr<CefBrowser> browser, CefRefPtr<CefFrame> frame,
        CefRefPtr<CefRequest> request, cef_navigation_type_t navigationType, bool isRedirect)
    {
        (void)browser, (void)frame, (void)request, (void)navigationType, (void)isRedirect;
        return false;
    }
    virtual void OnContextCreated(
        CefRefPtr<CefBrowser> browser, CefRefPtr<CefFrame> frame, CefRefPtr<CefV8Context> context)
    {
        (void)browser, (void)frame, (void)context;
    }
    virtual void OnContextReleased(
        CefRefPtr<CefBrowser> browser, CefRefPtr<CefFrame> frame, CefRefPtr<CefV8Context> context)
    {
        (void)browser, (void)frame, (void)context;
    }
    virtual void OnUncaughtException(CefRefPtr<CefBrowser> browser, CefRefPtr<CefFrame> frame,
        CefRefPtr<CefV8Context> context, CefRefPtr<CefV8Exception> exception,
        CefRefPtr<CefV8StackTrace> stackTrace)
    {
        (void)browser, (void)frame, (void)context, (void)exception, (void)stackTrace;
    }
    /// node is none when the focus left every element.
    virtual void OnFocusedNodeChanged(
        CefRefPtr<CefBrowser> browser, CefRefPtr<CefFrame> frame, CefRefPtr<CefDOMNode> node)
    {
        (void)browser, (void)frame, (void)node;
    }
    /// True when the message was handled.
    virtual bool OnProcessMessageReceived(
        CefRefPtr<CefBrowser> browser, CefProcessId sourceProcess, CefRefPtr<CefProcessMessage> message)
    {
        (void)browser, (void)sourceProcess, (void)message;
        return false;
    }
};

/// The program's engine application object, one per process.
class CefApp : public virtual CefBaseRefCounted {
public:
    /// Called once per process, before the engine starts, to add the program's schemes.
    virtual void OnRegisterCustomSchemes(CefSchemeRegistrar* registrar) { (void)registrar; }
    virtual CefRefPtr<CefBrowserProcessHandler> GetBrowserProcessHandler() { return nullptr; }
    virtual CefRefPtr<CefRenderProcessHandler> GetRenderProcessHandler() { return nullptr; }
};

} // namespace platform::engine
