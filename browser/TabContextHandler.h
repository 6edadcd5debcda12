#pragma once

#include "platform/engine/CefBrowser.h"
#include "platform/engine/CefRequestContext.h"

/// The request-context handler of one tab's browser; it carries the tab's identifier
/// so that the client handler can tell which tab a browser belongs to.
class TabContextHandler : public platform::engine::CefRequestContextHandler {
public:
    /// Takes a fresh identifier from NextTabId.
    TabContextHandler();
    /// For the tab that already took its identifier.
    explicit TabContextHandler(int tabId);

    /// Every tab uses the engine's global cookie store.
    platform::engine::CefRefPtr<platform::engine::CefCookieManager> GetCookieManager() override
    {
        return nullptr;
    }

    int tabId;

private:
    IMPLEMENT_REFCOUNTING(TabContextHandler);
};

/// The tab context of browser; nullptr for a browser outside any tab (the developer tools).
TabContextHandler* TabContextOf(const platform::engine::CefRefPtr<platform::engine::CefBrowser>& browser);
