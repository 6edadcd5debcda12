#include "browser/PageBridgeObserver.h"

using namespace platform::engine;

void PageBridgeObserver::OnWebKitInitialized(CefRefPtr<CefApp> app)
{
    (void)app;
    rendererRouter = CefMessageRouterRendererSide::Create(CefMessageRouterConfig());
}

void PageBridgeObserver::OnContextCreated(CefRefPtr<CefApp> app, CefRefPtr<CefBrowser> browser,
    CefRefPtr<CefFrame> frame, CefRefPtr<CefV8Context> context)
{
    (void)app;
    if (rendererRouter)
        rendererRouter->OnContextCreated(browser, frame, context);
}

void PageBridgeObserver::OnContextReleased(CefRefPtr<CefApp> app, CefRefPtr<CefBrowser> browser,
    CefRefPtr<CefFrame> frame, CefRefPtr<CefV8Context> context)
{
    (void)app;
    if (rendererRouter)
        rendererRouter->OnContextReleased(browser, frame, context);
}

void PageBridgeObserver::OnFocusedNodeChanged(CefRefPtr<CefApp> app, CefRefPtr<CefBrowser> browser,
    CefRefPtr<CefFrame> frame, CefRefPtr<CefDOMNode> node)
{
    (void)app, (void)frame;
    if (!browser)
        return;
    const bool editable = node && node->IsEditable();
    bool& last = lastNodeEditable[browser->GetRenderProcessId()];
    if (editable == last)
        return;
    last = editable;
    CefRefPtr<CefProcessMessage> message = CefProcessMessage::Create(kFocusedNodeChangedMessage);
    message->GetArgumentList()->SetBool(0, editable);
    browser->SendProcessMessage(PID_BROWSER, message);
}

bool PageBridgeObserver::OnProcessMessageReceived(CefRefPtr<CefApp> app, CefRefPtr<CefBrowser> browser,
    CefProcessId sourceProcess, CefRefPtr<CefProcessMessage> message)
{
    (void)app;
    return rendererRouter && rendererRouter->OnProcessMessageReceived(browser, sourceProcess, message);
}
