#include "platform/engine/CefCookieManager.h"

#include "platform/engine/qt/EngineContext.h"

namespace platform::engine {

namespace {
    class GlobalCookieManager final : public CefCookieManager {
    public:
        void SetSupportedSchemes(
            const std::vector<std::string>& schemes, CefRefPtr<CefCompletionCallback> callback) override
        {
            qt::EngineContext::Instance().SetCookieSchemes(schemes);
            if (callback)
                callback->OnComplete();
        }
        std::vector<std::string> GetSupportedSchemes() const override
        {
            return qt::EngineContext::Instance().CookieSchemes();
        }
        IMPLEMENT_REFCOUNTING(GlobalCookieManager);
    };
}

CefRefPtr<CefCookieManager> CefCookieManager::GetGlobalManager(CefRefPtr<CefCompletionCallback> callback)
{
    static CefRefPtr<CefCookieManager> manager(new GlobalCookieManager);
    if (callback)
        callback->OnComplete();
    return manager;
}

} // namespace platform::engine
