#pragma once

#include "platform/engine/CefRefCounted.h"

namespace platform::engine {

class CefSchemeRegistrar;

/// Called in the browser process once the engine's context exists (GUI thread).
class CefBrowserProcessHandler : public virtual CefBaseRefCounted {
public:
    virtual void OnContextInitialized() { }
};

/// Render-process callbacks. The engine's render processes run no code of the
/// program, so nothing calls them on this platform.
class CefRenderProcessHandler : public virtual CefBaseRefCounted { };

/// The program's engine application object, one per process.
class CefApp : public virtual CefBaseRefCounted {
public:
    /// Called once per process, before the engine starts, to add the program's schemes.
    virtual void OnRegisterCustomSchemes(CefSchemeRegistrar* registrar) { (void)registrar; }
    virtual CefRefPtr<CefBrowserProcessHandler> GetBrowserProcessHandler() { return nullptr; }
    virtual CefRefPtr<CefRenderProcessHandler> GetRenderProcessHandler() { return nullptr; }
};

} // namespace platform::engine
