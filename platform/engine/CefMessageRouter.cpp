#include "platform/engine/CefMessageRouter.h"

#include <algorithm>

namespace platform::engine {

namespace {
    // Names of the messages the page side of the router sends.
    constexpr char kQueryMessageSuffix[] = "Msg";
}

CefRefPtr<CefMessageRouterBrowserSide> CefMessageRouterBrowserSide::Create(
    const CefMessageRouterConfig& config)
{
    CefRefPtr<CefMessageRouterBrowserSide> router(new CefMessageRouterBrowserSide);
    router->config = config;
    return router;
}

bool CefMessageRouterBrowserSide::AddHandler(Handler* handler, bool first)
{
    if (!handler || std::find(handlers.begin(), handlers.end(), handler) != handlers.end())
        return false;
    handlers.insert(first ? handlers.begin() : handlers.end(), handler);
    return true;
}

bool CefMessageRouterBrowserSide::RemoveHandler(Handler* handler)
{
    auto it = std::find(handlers.begin(), handlers.end(), handler);
    if (it == handlers.end())
        return false;
    handlers.erase(it);
    return true;
}

bool CefMessageRouterBrowserSide::OnProcessMessageReceived(
    CefRefPtr<CefBrowser> browser, CefProcessId sourceProcess, CefRefPtr<CefProcessMessage> message)
{
    (void)browser, (void)sourceProcess;
    if (!message)
        return false;
    const std::string name = message->GetName();
    return name == config.jsQueryFunction + kQueryMessageSuffix
        || name == config.jsCancelFunction + kQueryMessageSuffix;
}

} // namespace platform::engine
