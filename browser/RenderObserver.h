#pragma once

#include "platform/engine/CefApp.h"

#include <set>

/// A render-side observer: the engine application's render callbacks are forwarded to
/// every observer, each receiving the application first. Render thread only.
class RenderObserver : public virtual platform::engine::CefBaseRefCounted {
public:
    template <class T> using CefRefPtr = platform::engine::CefRefPtr<T>;
    using CefApp = platform::engine::CefApp;
    using CefBrowser = platform::engine::CefBrowser;
    using CefFrame = platform::engine::CefFrame;
    using CefV8Context = platform::engine::CefV8Context;

    virtual void OnRenderThreadCreated(
        CefRefPtr<CefApp> app, CefRefPtr<platform::engine::CefListValue> extraInfo)
    {
        (void)app, (void)extraInfo;
    }
    virtual void OnWebKitInitialized(CefRefPtr<CefApp> app) { (void)app; }
    virtual void OnBrowserCreated(CefRefPtr<CefApp> app, CefRefPtr<CefBrowser> browser)
    {
        (void)app, (void)browser;
    }
    virtual void OnBrowserDestroyed(CefRefPtr<CefApp> app, CefRefPtr<CefBrowser> browser)
    {
        (void)app, (void)browser;
    }
    virtual CefRefPtr<platform::engine::CefLoadHandler> GetLoadHandler(CefRefPtr<CefApp> app)
    {
        (void)app;
        return nullptr;
    }
    /// True cancels the navigation.
    virtual bool OnBeforeNavigation(CefRefPtr<CefApp> app, CefRefPtr<CefBrowser> browser,
        CefRefPtr<CefFrame> frame, CefRefPtr<platform::engine::CefRequest> request,
        platform::engine::cef_navigation_type_t navigationType, bool isRedirect)
    {
        (void)app, (void)browser, (void)frame, (void)request, (void)navigationType, (void)isRedirect;
        return false;
    }
    virtual void OnContextCreated(CefRefPtr<CefApp> app, CefRefPtr<CefBrowser> browser,
        CefRefPtr<CefFrame> frame, CefRefPtr<CefV8Context> context)
    {
        (void)app, (void)browser, (void)frame, (void)context;
    }
    virtual void OnContextReleased(CefRefPtr<CefApp> app, CefRefPtr<CefBrowser> browser,
        CefRefPtr<CefFrame> frame, CefRefPtr<CefV8Context> context)
    {
        (void)app, (void)browser, (void)frame, (void)context;
    }
    virtual void OnUncaughtException(CefRefPtr<CefApp> app, CefRefPtr<CefBrowser> browser,
        CefRefPtr<CefFrame> frame, CefRefPtr<CefV8Context> context,
        CefRefPtr<platform::engine::CefV8Exception> exception,
        CefRefPtr<platform::engine::CefV8StackTrace> stackTrace)
    {
        (void)app, (void)browser, (void)frame, (void)context, (void)exception, (void)stackTrace;
    }
    virtual void OnFocusedNodeChanged(CefRefPtr<CefApp> app, CefRefPtr<CefBrowser> browser,
        CefRefPtr<CefFrame> frame, CefRefPtr<platform::engine::CefDOMNode> node)
    {
        (void)app, (void)browser, (void)frame, (void)node;
    }
    /// True when the message was handled.
    virtual bool OnProcessMessageReceived(CefRefPtr<CefApp> app, CefRefPtr<CefBrowser> browser,
        platform::engine::CefProcessId sourceProcess, CefRefPtr<platform::engine::CefProcessMessage> message)
    {
        (void)app, (void)browser, (void)sourceProcess, (void)message;
        return false;
    }
};

/// Observers ordered by object identity.
struct RenderObserverOrder {
    bool operator()(const platform::engine::CefRefPtr<RenderObserver>& left,
        const platform::engine::CefRefPtr<RenderObserver>& right) const
    {
        return std::less<RenderObserver*>()(left.get(), right.get());
    }
};
using RenderObserverSet = std::set<platform::engine::CefRefPtr<RenderObserver>, RenderObserverOrder>;

/// Adds the program's render-side observers (one page bridge) to the set.
void CreateRenderObservers(RenderObserverSet& observers);
