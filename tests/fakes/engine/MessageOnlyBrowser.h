#pragma once

#include "platform/engine/CefBrowser.h"

// A browser that only carries process messages (the subclass decides what happens to
// them); every other operation does nothing.
class MessageOnlyBrowser : public platform::engine::CefBrowser {
public:
    template <class T> using CefRefPtr = platform::engine::CefRefPtr<T>;

    explicit MessageOnlyBrowser(int identifier = 1)
        : identifier(identifier)
    {
    }
    CefRefPtr<platform::engine::CefBrowserHost> GetHost() override { return nullptr; }
    int GetIdentifier() override { return identifier; }
    bool IsSame(CefRefPtr<platform::engine::CefBrowser> that) override { return that.get() == this; }
    CefRefPtr<platform::engine::CefFrame> GetMainFrame() override { return nullptr; }
    bool CanGoBack() override { return false; }
    bool CanGoForward() override { return false; }
    void GoBack() override { }
    void GoForward() override { }
    void Reload() override { }
    void ReloadIgnoreCache() override { }
    void StopLoad() override { }
    bool IsLoading() override { return false; }

private:
    int identifier;
};
