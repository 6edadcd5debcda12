#pragma once

#include "platform/engine/CefCookieManager.h"
#include "platform/engine/CefRefCounted.h"

namespace platform::engine {

/// Per-context decisions; the object itself also tells browsers of a context apart.
class CefRequestContextHandler : public virtual CefBaseRefCounted {
public:
    /// The cookie store of the context's browsers; none means the global one.
    virtual CefRefPtr<CefCookieManager> GetCookieManager() { return nullptr; }
};

/// The context in which a browser loads. Every context shares the one in-memory
/// profile of the process; a context only carries its handler.
class CefRequestContext : public virtual CefBaseRefCounted {
public:
    static CefRefPtr<CefRequestContext> GetGlobalContext();
    static CefRefPtr<CefRequestContext> CreateContext(CefRefPtr<CefRequestContextHandler> handler);

    CefRefPtr<CefRequestContextHandler> GetHandler() const { return handler; }
    bool IsGlobal() const { return global; }

private:
    CefRefPtr<CefRequestContextHandler> handler;
    bool global = false;
    IMPLEMENT_REFCOUNTING(CefRequestContext);
};

} // namespace platform::engine
