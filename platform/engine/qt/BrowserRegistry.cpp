#include "platform/engine/qt/BrowserRegistry.h"

#include "platform/engine/qt/BrowserPage.h"
#include "platform/engine/qt/QtBrowser.h"

namespace platform::engine::qt {

BrowserRegistry& BrowserRegistry::Instance()
{
    static BrowserRegistry registry;
    return registry;
}

void BrowserRegistry::Add(int identifier, CefRefPtr<QtBrowser> browser) { browsers[identifier] = browser; }

void BrowserRegistry::Remove(int identifier) { browsers.erase(identifier); }

CefRefPtr<QtBrowser> BrowserRegistry::Find(int identifier) const
{
    auto it = browsers.find(identifier);
    return it == browsers.end() ? nullptr : it->second;
}

CefRefPtr<QtBrowser> BrowserRegistry::FindShowingOrigin(const QUrl& origin) const
{
    for (const auto& entry : browsers) {
        BrowserPage* page = entry.second->Page();
        if (page && PermissionPrompts::OriginText(page->url()) == PermissionPrompts::OriginText(origin))
            return entry.second;
    }
    return nullptr;
}

void BrowserRegistry::CloseAll()
{
    // Each destroyed window removes its own entry, so work on a copy.
    auto remaining = browsers;
    for (auto& entry : remaining)
        entry.second->DestroyWindow();
    browsers.clear();
}

} // namespace platform::engine::qt
