#pragma once

#include "platform/engine/CefRefCounted.h"

#include <map>

class QUrl;

namespace platform::engine::qt {

class QtBrowser;

// The browsers whose windows exist, by identifier; keeps each one alive while its
// window lives. GUI thread only.
class BrowserRegistry {
public:
    static BrowserRegistry& Instance();

    int NextIdentifier() { return ++lastIdentifier; }
    void Add(int identifier, CefRefPtr<QtBrowser> browser);
    void Remove(int identifier);
    CefRefPtr<QtBrowser> Find(int identifier) const;
    // The oldest browser whose page shows a document of origin, if any.
    CefRefPtr<QtBrowser> FindShowingOrigin(const QUrl& origin) const;
    // Destroys every browser window that is left (pages must go before the profile).
    void CloseAll();

private:
    std::map<int, CefRefPtr<QtBrowser>> browsers;
    int lastIdentifier = 0;
};

} // namespace platform::engine::qt
