#include "app/EngineApp.h"

#include "platform/engine/CefCookieManager.h"
#include "platform/engine/CefSchemeRegistrar.h"

using platform::engine::CefRefPtr;

void EngineApp::OnRegisterCustomSchemes(platform::engine::CefSchemeRegistrar* registrar)
{
    cookieSchemes.push_back("http");
    cookieSchemes.push_back("https");
    // Standard (has a host part), not local, not display-isolated; nothing is served under it.
    registrar->AddCustomScheme("client", true, false, false);
}

CefRefPtr<platform::engine::CefBrowserProcessHandler> EngineApp::GetBrowserProcessHandler() { return this; }

CefRefPtr<platform::engine::CefRenderProcessHandler> EngineApp::GetRenderProcessHandler()
{
    if (renderSide)
        return renderSide;
    return this;
}

void EngineApp::OnContextInitialized()
{
    platform::engine::CefCookieManager::GetGlobalManager()->SetSupportedSchemes(cookieSchemes, nullptr);
}
