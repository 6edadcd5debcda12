#pragma once

#include "platform/engine/CefBrowser.h"
#include "platform/engine/CefProcessMessage.h"
#include "platform/engine/CefRefCounted.h"

#include <cstdint>
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

    void OnBeforeClose(CefRefPtr<CefBrowser> browser) { (void)browser; }
    void OnRenderProcessTerminated(CefRefPtr<CefBrowser> browser) { (void)browser; }
    void OnBeforeBrowse(CefRefPtr<CefBrowser> browser, CefRefPtr<CefFrame> frame)
    {
        (void)browser, (void)frame;
    }
    /// True when the message belongs to the router.
    bool OnProcessMessageReceived(
        CefRefPtr<CefBrowser> browser, CefProcessId sourceProcess, CefRefPtr<CefProcessMessage> message);

private:
    CefMessageRouterConfig config;
    std::vector<Handler*> handlers;
    IMPLEMENT_REFCOUNTING(CefMessageRouterBrowserSide);
};

} // namespace platform::engine
