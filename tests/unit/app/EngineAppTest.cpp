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

// The render callbacks reach the render half the program hands over.
TEST(EngineApp, RenderCallbacksReachTheHandedOverRenderSide)
{
    struct RecordingRenderSide final : platform::engine::CefRenderProcessHandler {
        void OnWebKitInitialized() override { ++calls; }
        int calls = 0;
        IMPLEMENT_REFCOUNTING(RecordingRenderSide);
    };
    CefRefPtr<EngineApp> app(new EngineApp);
    CefRefPtr<RecordingRenderSide> side(new RecordingRenderSide);
    app->SetRenderProcessHandler(side);
    ASSERT_NE(app->GetRenderProcessHandler(), nullptr);
    app->GetRenderProcessHandler()->OnWebKitInitialized();
    EXPECT_EQ(side->calls, 1);
}

} // namespace
