#include "browser/EngineAppRenderSide.h"

#include "browser/PageBridgeObserver.h"

using namespace platform::engine;

void CreateRenderObservers(RenderObserverSet& observers) { observers.insert(new PageBridgeObserver); }

EngineAppRenderSide::EngineAppRenderSide(CefApp* app)
    : app(app)
{
}

void EngineAppRenderSide::OnRenderThreadCreated(CefRefPtr<CefListValue> extraInfo)
{
    CreateRenderObservers(renderObservers);
    for (const auto& observer : renderObservers)
        observer->OnRenderThreadCreated(App(), extraInfo);
}

void EngineAppRenderSide::OnWebKitInitialized()
{
    for (const auto& observer : renderObservers)
        observer->OnWebKitInitialized(App());
}

void EngineAppRenderSide::OnBrowserCreated(CefRefPtr<CefBrowser> browser)
{
    for (const auto& observer : renderObservers)
        observer->OnBrowserCreated(App(), browser);
}

void EngineAppRenderSide::OnBrowserDestroyed(CefRefPtr<CefBrowser> browser)
{
    for (const auto& observer : renderObservers)
        observer->OnBrowserDestroyed(App(), browser);
}

CefRefPtr<CefLoadHandler> EngineAppRenderSide::GetLoadHandler()
{
    for (const auto& observer : renderObservers) {
        if (auto handler = observer->GetLoadHandler(App()))
            return handler;
    }
    return nullptr;
}

bool EngineAppRenderSide::OnBeforeNavigation(CefRefPtr<CefBrowser> browser, CefRefPtr<CefFrame> frame,
    CefRefPtr<CefRequest> request, cef_navigation_type_t navigationType, bool isRedirect)
{
    for (const auto& observer : renderObservers) {
        if (observer->OnBeforeNavigation(App(), browser, frame, request, navigationType, isRedirect))
            return true;
    }
    return false;
}

void EngineAppRenderSide::OnContextCreated(
    CefRefPtr<CefBrowser> browser, CefRefPtr<CefFrame> frame, CefRefPtr<CefV8Context> context)
{
    for (const auto& observer : renderObservers)
        observer->OnContextCreated(App(), browser, frame, context);
}

void EngineAppRenderSide::OnContextReleased(
    CefRefPtr<CefBrowser> browser, CefRefPtr<CefFrame> frame, CefRefPtr<CefV8Context> context)
{
    for (const auto& observer : renderObservers)
        observer->OnContextReleased(App(), browser, frame, context);
}

void EngineAppRenderSide::OnUncaughtException(CefRefPtr<CefBrowser> browser, CefRefPtr<CefFrame> frame,
    CefRefPtr<CefV8Context> context, CefRefPtr<CefV8Exception> exception,
    CefRefPtr<CefV8StackTrace> stackTrace)
{
    for (const auto& observer : renderObservers)
        observer->OnUncaughtException(App(), browser, frame, context, exception, stackTrace);
}

void EngineAppRenderSide::OnFocusedNodeChanged(
    CefRefPtr<CefBrowser> browser, CefRefPtr<CefFrame> frame, CefRefPtr<CefDOMNode> node)
{
    for (const auto& observer : renderObservers)
        observer->OnFocusedNodeChanged(App(), browser, frame, node);
}

bool EngineAppRenderSide::OnProcessMessageReceived(
    CefRefPtr<CefBrowser> browser, CefProcessId sourceProcess, CefRefPtr<CefProcessMessage> message)
{
    for (const auto& observer : renderObservers) {
        if (observer->OnProcessMessageReceived(App(), browser, sourceProcess, message))
            return true;
    }
    return false;
}
