#pragma once

#include "platform/engine/CefApp.h"

#include <string>
#include <vector>

// The engine application object of this process: registers the program's schemes and,
// in the browser process, tells the cookie store which schemes take part in cookies.
// Scheme registration runs before the GUI exists; the context notification on the GUI thread.
class EngineApp : public platform::engine::CefApp,
                  public platform::engine::CefBrowserProcessHandler,
                  public platform::engine::CefRenderProcessHandler {
public:
    void OnRegisterCustomSchemes(platform::engine::CefSchemeRegistrar* registrar) override;
    platform::engine::CefRefPtr<platform::engine::CefBrowserProcessHandler>
    GetBrowserProcessHandler() override;
    platform::engine::CefRefPtr<platform::engine::CefRenderProcessHandler> GetRenderProcessHandler() override;

    void OnContextInitialized() override;

    // The render-side half lives above this library; the program hands it over before
    // the engine starts. Without one, the render callbacks do nothing.
    void SetRenderProcessHandler(
        platform::engine::CefRefPtr<platform::engine::CefRenderProcessHandler> handler)
    {
        renderSide = handler;
    }

    const std::vector<std::string>& CookieSchemes() const { return cookieSchemes; }

private:
    std::vector<std::string> cookieSchemes;
    platform::engine::CefRefPtr<platform::engine::CefRenderProcessHandler> renderSide;

    IMPLEMENT_REFCOUNTING(EngineApp);
};
