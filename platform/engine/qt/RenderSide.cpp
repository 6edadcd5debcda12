#include "platform/engine/qt/RenderSide.h"

namespace platform::engine::qt {

namespace {
    CefRefPtr<CefRenderProcessHandler>& Handler()
    {
        static CefRefPtr<CefRenderProcessHandler> handler;
        return handler;
    }
}

void StartRenderSide(CefRefPtr<CefApp> application)
{
    if (Handler() || !application)
        return;
    Handler() = application->GetRenderProcessHandler();
    if (!Handler())
        return;
    Handler()->OnRenderThreadCreated(CefListValue::Create());
    Handler()->OnWebKitInitialized();
}

void StopRenderSide() { Handler().reset(); }

CefRefPtr<CefRenderProcessHandler> RenderHandler() { return Handler(); }

} // namespace platform::engine::qt
