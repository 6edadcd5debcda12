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
    for (auto query = pending.begin(); query != pending.end();) {
        if (query->second.handler != handler) {
            ++query;
            continue;
        }
        handler->OnQueryCanceled(query->second.browser, query->second.browser->GetMainFrame(), query->first);
        query = pending.erase(query);
    }
    return true;
}

namespace {
    // Answers one query of a page by a message back to the page's render side.
    class QueryCallback final : public CefMessageRouterBrowserSide::Callback {
    public:
        QueryCallback(CefRefPtr<CefBrowser> browser, std::string name, int contextId, int requestId)
            : browser(browser)
            , name(std::move(name))
            , contextId(contextId)
            , requestId(requestId)
        {
        }
        void Success(const std::string& response) override { Send(true, 0, response); }
        void Failure(int errorCode, const std::string& errorMessage) override
        {
            Send(false, errorCode, errorMessage);
        }

    private:
        void Send(bool success, int errorCode, const std::string& text)
        {
            CefRefPtr<CefProcessMessage> reply = CefProcessMessage::Create(name);
            auto arguments = reply->GetArgumentList();
            arguments->SetInt(0, contextId);
            arguments->SetInt(1, requestId);
            arguments->SetBool(2, success);
            arguments->SetInt(3, errorCode);
            arguments->SetString(4, text);
            browser->SendProcessMessage(PID_RENDERER, reply);
        }

        CefRefPtr<CefBrowser> browser;
        std::string name;
        int contextId;
        int requestId;
        IMPLEMENT_REFCOUNTING(QueryCallback);
    };
}

bool CefMessageRouterBrowserSide::OnProcessMessageReceived(
    CefRefPtr<CefBrowser> browser, CefProcessId sourceProcess, CefRefPtr<CefProcessMessage> message)
{
    (void)sourceProcess;
    if (!message)
        return false;
    const std::string name = message->GetName();
    const bool ours = name == config.jsQueryFunction + kQueryMessageSuffix
        || name == config.jsCancelFunction + kQueryMessageSuffix;
    // A message of the router with no browser to answer has nowhere to go.
    if (!ours || !browser)
        return ours;
    auto arguments = message->GetArgumentList();
    const int contextId = arguments->GetInt(0);
    const int requestId = arguments->GetInt(1);
    if (name == config.jsQueryFunction + kQueryMessageSuffix) {
        CefRefPtr<Callback> callback(new QueryCallback(browser, name, contextId, requestId));
        const int64_t queryId = ++lastQueryId;
        for (Handler* handler : handlers) {
            if (handler->OnQuery(browser, browser->GetMainFrame(), queryId, arguments->GetString(2),
                    arguments->GetBool(3), callback)) {
                pending[queryId]
                    = PendingQuery { browser->GetIdentifier(), contextId, requestId, handler, browser };
                return true;
            }
        }
        callback->Failure(kCanceledErrorCode, kCanceledErrorMessage);
        return true;
    }
    if (name == config.jsCancelFunction + kQueryMessageSuffix) {
        for (auto it = pending.begin(); it != pending.end(); ++it) {
            const PendingQuery& query = it->second;
            if (query.browserId == browser->GetIdentifier() && query.contextId == contextId
                && query.requestId == requestId) {
                query.handler->OnQueryCanceled(browser, browser->GetMainFrame(), it->first);
                pending.erase(it);
                break;
            }
        }
        return true;
    }
    return false;
}

void CefMessageRouterBrowserSide::CancelPending(CefRefPtr<CefBrowser> browser)
{
    if (!browser)
        return;
    for (auto it = pending.begin(); it != pending.end();) {
        if (it->second.browserId != browser->GetIdentifier()) {
            ++it;
            continue;
        }
        it->second.handler->OnQueryCanceled(browser, browser->GetMainFrame(), it->first);
        it = pending.erase(it);
    }
}

} // namespace platform::engine
