#pragma once

#include "browser/RenderObserver.h"
#include "platform/engine/CefMessageRouterRendererSide.h"

#include <map>

/// Gives every script context the page query functions and tells the browser side when
/// the focus moves between editable and other elements. Render thread only.
class PageBridgeObserver : public RenderObserver {
public:
    void OnWebKitInitialized(CefRefPtr<CefApp> app) override;
    void OnContextCreated(CefRefPtr<CefApp> app, CefRefPtr<CefBrowser> browser, CefRefPtr<CefFrame> frame,
        CefRefPtr<CefV8Context> context) override;
    void OnContextReleased(CefRefPtr<CefApp> app, CefRefPtr<CefBrowser> browser, CefRefPtr<CefFrame> frame,
        CefRefPtr<CefV8Context> context) override;
    void OnFocusedNodeChanged(CefRefPtr<CefApp> app, CefRefPtr<CefBrowser> browser, CefRefPtr<CefFrame> frame,
        CefRefPtr<platform::engine::CefDOMNode> node) override;
    bool OnProcessMessageReceived(CefRefPtr<CefApp> app, CefRefPtr<CefBrowser> browser,
        platform::engine::CefProcessId sourceProcess,
        CefRefPtr<platform::engine::CefProcessMessage> message) override;

    CefRefPtr<platform::engine::CefMessageRouterRendererSide> RendererRouter() const
    {
        return rendererRouter;
    }

    static constexpr char kFocusedNodeChangedMessage[] = "ClientRenderer.FocusedNodeChanged";

private:
    // Whether the last reported node was editable, per render process: pages that
    // share a process compare with each other's last report.
    std::map<int, bool> lastNodeEditable;
    CefRefPtr<platform::engine::CefMessageRouterRendererSide> rendererRouter;
    IMPLEMENT_REFCOUNTING(PageBridgeObserver);
};
