#include "platform/engine/CefBrowser.h"

#include "platform/engine/CefClient.h"

namespace platform::engine {

void CefBrowserHost::ShowDevTools(const CefWindowInfo& windowInfo, CefRefPtr<CefClient> client,
    const CefBrowserSettings& settings, const CefPoint& inspectElementAt)
{
    (void)windowInfo, (void)settings, (void)inspectElementAt;
    ShowDevTools(client);
}

} // namespace platform::engine
