#pragma once

#include "platform/engine/CefApp.h"

namespace platform::engine::qt {

// The application's render-side handler. Qt WebEngine runs no program code in its
// render processes, so the engine calls it in this process. GUI thread only.
void StartRenderSide(CefRefPtr<CefApp> application);
void StopRenderSide();
// None when the application has no render side.
CefRefPtr<CefRenderProcessHandler> RenderHandler();

} // namespace platform::engine::qt
