#include "platform/engine/CefRequestContext.h"

namespace platform::engine {

CefRefPtr<CefRequestContext> CefRequestContext::GetGlobalContext()
{
    static CefRefPtr<CefRequestContext> context = [] {
        CefRefPtr<CefRequestContext> created(new CefRequestContext);
        created->global = true;
        return created;
    }();
    return context;
}

CefRefPtr<CefRequestContext> CefRequestContext::CreateContext(CefRefPtr<CefRequestContextHandler> handler)
{
    CefRefPtr<CefRequestContext> context(new CefRequestContext);
    context->handler = handler;
    return context;
}

} // namespace platform::engine
