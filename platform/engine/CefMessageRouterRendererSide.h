#pragma once

#include "platform/engine/CefMessageRouter.h"
#include "platform/engine/CefV8.h"

#include <map>
#include <utility>

namespace platform::engine {

/// Page end of the query channel: gives every script context the two page functions,
/// carries queries to the browser process and hands the answers back to the page.
/// Render thread only.
class CefMessageRouterRendererSide : public virtual CefBaseRefCounted {
public:
    static CefRefPtr<CefMessageRouterRendererSide> Create(const CefMessageRouterConfig& config);

    void OnContextCreated(
        CefRefPtr<CefBrowser> browser, CefRefPtr<CefFrame> frame, CefRefPtr<CefV8Context> context);
    /// Pending queries of the context are cancelled without an answer.
    void OnContextReleased(
        CefRefPtr<CefBrowser> browser, CefRefPtr<CefFrame> frame, CefRefPtr<CefV8Context> context);
    /// True when the message is an answer of the browser-side router.
    bool OnProcessMessageReceived(
        CefRefPtr<CefBrowser> browser, CefProcessId sourceProcess, CefRefPtr<CefProcessMessage> message);

    const CefMessageRouterConfig& GetConfig() const { return config; }
    size_t GetPendingQueryCount() const { return pending.size(); }

    // The page's calls, as the page functions deliver them.
    bool Query(int contextId, int requestId, const std::string& request, bool persistent);
    bool Cancel(int contextId, int requestId);

private:
    struct PendingQuery {
        CefRefPtr<CefV8Context> context;
        bool persistent = false;
    };
    using Key = std::pair<int, int>;

    CefMessageRouterConfig config;
    std::map<int, CefRefPtr<CefV8Context>> contexts;
    std::map<Key, PendingQuery> pending;
    IMPLEMENT_REFCOUNTING(CefMessageRouterRendererSide);
};

} // namespace platform::engine
