#pragma once

#include "platform/engine/CefBrowser.h"
#include "platform/engine/CefProcessMessage.h"
#include "platform/engine/CefRefCounted.h"

#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace platform::engine {

/// The page functions through which a page queries the browser process.
struct CefMessageRouterConfig {
    std::string jsQueryFunction = "cefQuery";
    std::string jsCancelFunction = "cefQueryCancel";
};

/// Browser-process end of the page query channel. Queries go to the added handlers
/// in order; with none, every query fails.
class CefMessageRouterBrowserSide : public virtual CefBaseRefCounted {
public:
    class Callback : public virtual CefBaseRefCounted {
    public:
        virtual void Success(const std::string& response) = 0;
        virtual void Failure(int errorCode, const std::string& errorMessage) = 0;
    };

    class Handler {
    public:
        virtual ~Handler() = default;
        /// True when the handler takes the query (and answers through the callback).
        virtual bool OnQuery(CefRefPtr<CefBrowser> browser, CefRefPtr<CefFrame> frame, int64_t queryId,
            const std::string& request, bool persistent, CefRefPtr<Callback> callback)
            = 0;
        virtual void OnQueryCanceled(
            CefRefPtr<CefBrowser> browser, CefRefPtr<CefFrame> frame, int64_t queryId)
        {
            (void)browser, (void)frame, (void)queryId;
        }
    };

    static CefRefPtr<CefMessageRouterBrowserSide> Create(const CefMessageRouterConfig& config);

    bool AddHandler(Handler* handler, bool first);
    bool RemoveHandler(Handler* handler);
    size_t GetHandlerCount() const { return handlers.size(); }
    const CefMessageRouterConfig& GetConfig() const { return config; }

    /// Queries of the browser that a handler took are cancelled.
    void OnBeforeClose(CefRefPtr<CefBrowser> browser) { CancelPending(browser); }
    void OnRenderProcessTerminated(CefRefPtr<CefBrowser> browser) { CancelPending(browser); }
    void OnBeforeBrowse(CefRefPtr<CefBrowser> browser, CefRefPtr<CefFrame> frame)
    {
        (void)browser, (void)frame;
    }
    /// True when the message belongs to the router.
    bool OnProcessMessageReceived(
        CefRefPtr<CefBrowser> browser, CefProcessId sourceProcess, CefRefPtr<CefProcessMessage> message);

    /// The answer a query gets when no handler takes it.
    static constexpr int kCanceledErrorCode = -1;
    static constexpr char kCanceledErrorMessage[] = "The query has been canceled";

private:
    struct PendingQuery {
        int browserId = 0;
        int contextId = 0;
        int requestId = 0;
        Handler* handler = nullptr;
        CefRefPtr<CefBrowser> browser;
    };
    void CancelPending(CefRefPtr<CefBrowser> browser);

    CefMessageRouterConfig config;
    std::vector<Handler*> handlers;
    std::map<int64_t, PendingQuery> pending;
    int64_t lastQueryId = 0;
    IMPLEMENT_REFCOUNTING(CefMessageRouterBrowserSide);
};

} // namespace platform::engine
