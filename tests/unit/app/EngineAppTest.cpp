#include "app/EngineApp.h"

#include "platform/engine/CefCookieManager.h"
#include "platform/engine/CefSchemeRegistrar.h"

#include <gtest/gtest.h>

namespace {

using platform::engine::CefCookieManager;
using platform::engine::CefRefPtr;

TEST(EngineApp, GivesTheCookieStoreExactlyHttpAndHttps)
{
    CefRefPtr<EngineApp> app(new EngineApp);
    platform::engine::CefSchemeRegistrar registrar;
    app->OnRegisterCustomSchemes(&registrar);
    app->GetBrowserProcessHandler()->OnContextInitialized();

    std::vector<std::string> expected { "http", "https" };
    EXPECT_EQ(app->CookieSchemes(), expected);
    EXPECT_EQ(CefCookieManager::GetGlobalManager()->GetSupportedSchemes(), expected);
}

TEST(EngineApp, ServesBothProcessRoles)
{
    CefRefPtr<EngineApp> app(new EngineApp);
    EXPECT_NE(app->GetBrowserProcessHandler(), nullptr);
    EXPECT_NE(app->GetRenderProcessHandler(), nullptr);
}

} // namespace
