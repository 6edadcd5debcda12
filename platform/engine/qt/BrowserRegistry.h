#pragma once

#include <functional>
#include <map>

namespace platform::engine::qt {

class QtBrowser;

// The live browsers of the process by identifier. GUI thread only.
class BrowserRegistry {
public:
    static BrowserRegistry& Instance();

    int NextIdentifier() { return ++lastIdentifier; }
    void Add(int identifier, QtBrowser* browser) { browsers[identifier] = browser; }
    void Remove(int identifier) { browsers.erase(identifier); }
    QtBrowser* Find(int identifier) const;
    // Destroys every browser window that is left (pages must go before the profile).
    void CloseAll();

private:
    std::map<int, QtBrowser*> browsers;
    int lastIdentifier = 0;
};

} // namespace platform::engine::qt
