#include "browser/TabContextHandler.h"

#include "browser/NextTabId.h"

TabContextHandler::TabContextHandler()
    : tabId(NextTabId())
{
}

TabContextHandler::TabContextHandler(int tabId)
    : tabId(tabId)
{
}

TabContextHandler* TabContextOf(const platform::engine::CefRefPtr<platform::engine::CefBrowser>& browser)
{
    auto host = browser ? browser->GetHost() : nullptr;
    auto context = host ? host->GetRequestContext() : nullptr;
    auto handler = context ? context->GetHandler() : nullptr;
    return dynamic_cast<TabContextHandler*>(handler.get());
}
