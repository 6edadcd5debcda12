#pragma once

#include "browser/RenderObserver.h"

/// The render-side half of the engine application: creates the observers when the
/// engine reports the render thread and forwards every render callback to them in
/// set order. Render thread only.
class EngineAppRenderSide : public platform::engine::CefRenderProcessHandler {
public:
    template <class T> using CefRefPtr = platform::engine::CefRefPtr<T>;
    using CefBrowser = platform::engine::CefBrowser;
    using CefFrame = platform::engine::CefFrame;
    using CefV8Context = platform::engine::CefV8Context;

    // app: the application object that owns this half (not held, it holds this).
    explicit EngineAppRenderSide(platform::engine::CefApp* app);

    void OnRenderThreadCreated(CefRefPtr<platform::engine::CefListValue> extraInfo) override;
    void OnWebKitInitialized() override;
    void OnBrowserCreated(CefRefPtr<CefBrowser> browser) override;
    void OnBrowserDestroyed(CefRefPtr<CefBrowser> browser) override;
    CefRefPtr<platform::engine::CefLoadHandler> GetLoadHandler() override;
    bool OnBeforeNavigation(CefRefPtr<CefBrowser> browser, CefRefPtr<CefFrame> frame,
        CefRefPtr<platform::engine::CefRequest> request,
        platform::engine::cef_navigation_type_t navigationType, bool isRedirect) override;
    void OnContextCreated(
        CefRefPtr<CefBrowser> browser, CefRefPtr<CefFrame> frame, CefRefPtr<CefV8Context> context) override;
    void OnContextReleased(
        CefRefPtr<CefBrowser> browser, CefRefPtr<CefFrame> frame, CefRefPtr<CefV8Context> context) override;
    void OnUncaughtException(CefRefPtr<CefBrowser> browser, CefRefPtr<CefFrame> frame,
        CefRefPtr<CefV8Context> context, CefRefPtr<platform::engine::CefV8Exception> exception,
        CefRefPtr<platform::engine::CefV8StackTrace> stackTrace) override;
    void OnFocusedNodeChanged(CefRefPtr<CefBrowser> browser, CefRefPtr<CefFrame> frame,
        CefRefPtr<platform::engine::CefDOMNode> node) override;
    bool OnProcessMessageReceived(CefRefPtr<CefBrowser> browser, platform::engine::CefProcessId sourceProcess,
        CefRefPtr<platform::engine::CefProcessMessage> message) override;

    const RenderObserverSet& Observers() const { return renderObservers; }

private:
    CefRefPtr<platform::engine::CefApp> App() const { return app; }

    platform::engine::CefApp* app;
    RenderObserverSet renderObservers;
    IMPLEMENT_REFCOUNTING(EngineAppRenderSide);
};
