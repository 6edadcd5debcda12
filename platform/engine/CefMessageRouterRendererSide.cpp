#include "platform/engine/CefMessageRouterRendererSide.h"

namespace platform::engine {

namespace {
    constexpr char kMessageSuffix[] = "Msg";

    // The page functions of one context; they hold the router, the context holds them.
    class PageFunctions final : public CefV8Handler {
    public:
        PageFunctions(CefRefPtr<CefMessageRouterRendererSide> router, int contextId)
            : router(router)
            , contextId(contextId)
        {
        }
        bool Execute(const std::string& name, CefRefPtr<CefListValue> arguments) override
        {
            if (!arguments)
                return false;
            const CefMessageRouterConfig& config = router->GetConfig();
            if (name == config.jsQueryFunction)
                return router->Query(
                    contextId, arguments->GetInt(0), arguments->GetString(1), arguments->GetBool(2));
            if (name == config.jsCancelFunction)
                return router->Cancel(contextId, arguments->GetInt(0));
            return false;
        }

    private:
        CefRefPtr<CefMessageRouterRendererSide> router;
        int contextId;
        IMPLEMENT_REFCOUNTING(PageFunctions);
    };
}

CefRefPtr<CefMessageRouterRendererSide> CefMessageRouterRendererSide::Create(
    const CefMessageRouterConfig& config)
{
    CefRefPtr<CefMessageRouterRendererSide> router(new CefMessageRouterRendererSide);
    router->config = config;
    return router;
}

void CefMessageRouterRendererSide::OnContextCreated(
    CefRefPtr<CefBrowser> browser, CefRefPtr<CefFrame> frame, CefRefPtr<CefV8Context> context)
{
    (void)browser, (void)frame;
    if (!context)
        return;
    CefRefPtr<CefV8Handler> functions(new PageFunctions(this, context->GetIdentifier()));
    context->SetFunctionHandler(config.jsQueryFunction, functions);
    context->SetFunctionHandler(config.jsCancelFunction, functions);
    contexts[context->GetIdentifier()] = context;
}

void CefMessageRouterRendererSide::OnContextReleased(
    CefRefPtr<CefBrowser> browser, CefRefPtr<CefFrame> frame, CefRefPtr<CefV8Context> context)
{
    (void)browser, (void)frame;
    if (!context)
        return;
    const int contextId = context->GetIdentifier();
    for (auto it = pending.begin(); it != pending.end();) {
        if (it->first.first == contextId) {
            Cancel(contextId, (it++)->first.second);
            continue;
        }
        ++it;
    }
    // Breaks the context -> functions -> router cycle.
    context->SetFunctionHandler(config.jsQueryFunction, nullptr);
    context->SetFunctionHandler(config.jsCancelFunction, nullptr);
    contexts.erase(contextId);
}

bool CefMessageRouterRendererSide::Query(
    int contextId, int requestId, const std::string& request, bool persistent)
{
    auto context = contexts.find(contextId);
    if (context == contexts.end() || pending.count({ contextId, requestId }))
        return false;
    CefRefPtr<CefBrowser> browser = context->second->GetBrowser();
    if (!browser)
        return false;
    CefRefPtr<CefProcessMessage> message = CefProcessMessage::Create(config.jsQueryFunction + kMessageSuffix);
    auto arguments = message->GetArgumentList();
    arguments->SetInt(0, contextId);
    arguments->SetInt(1, requestId);
    arguments->SetString(2, request);
    arguments->SetBool(3, persistent);
    pending[{ contextId, requestId }] = PendingQuery { context->second, persistent };
    if (!browser->SendProcessMessage(PID_BROWSER, message)) {
        pending.erase({ contextId, requestId });
        return false;
    }
    return true;
}

bool CefMessageRouterRendererSide::Cancel(int contextId, int requestId)
{
    auto it = pending.find({ contextId, requestId });
    if (it == pending.end())
        return false;
    CefRefPtr<CefBrowser> browser = it->second.context->GetBrowser();
    pending.erase(it);
    if (browser) {
        CefRefPtr<CefProcessMessage> message
            = CefProcessMessage::Create(config.jsCancelFunction + kMessageSuffix);
        message->GetArgumentList()->SetInt(0, contextId);
        message->GetArgumentList()->SetInt(1, requestId);
        browser->SendProcessMessage(PID_BROWSER, message);
    }
    return true;
}

bool CefMessageRouterRendererSide::OnProcessMessageReceived(
    CefRefPtr<CefBrowser> browser, CefProcessId sourceProcess, CefRefPtr<CefProcessMessage> message)
{
    (void)browser;
    if (sourceProcess != PID_BROWSER || !message
        || message->GetName() != config.jsQueryFunction + kMessageSuffix)
        return false;
    auto arguments = message->GetArgumentList();
    const Key key { arguments->GetInt(0), arguments->GetInt(1) };
    auto it = pending.find(key);
    // A cancelled query's late answer reaches nobody.
    if (it == pending.end())
        return true;
    const bool success = arguments->GetBool(2);
    CefRefPtr<CefV8Context> context = it->second.context;
    if (!success || !it->second.persistent)
        pending.erase(it);
    context->AnswerQuery(key.second, success, arguments->GetInt(3), arguments->GetString(4));
    return true;
}

} // namespace platform::engine
