#pragma once

#include "platform/engine/CefBrowser.h"
#include "platform/engine/CefClient.h"
#include "platform/engine/CefRequestContext.h"
#include "platform/engine/EngineBackend.h"

#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <utility>
#include <vector>

// A browser of the fake engine: records what the system asks of it.
class FakeBrowser final : public platform::engine::CefBrowser,
                          public platform::engine::CefBrowserHost,
                          public platform::engine::CefFrame {
public:
    template <class T> using CefRefPtr = platform::engine::CefRefPtr<T>;

    FakeBrowser(int identifier, CefRefPtr<platform::engine::CefClient> client,
        CefRefPtr<platform::engine::CefRequestContext> context, std::string url);

    // CefBrowser
    CefRefPtr<platform::engine::CefBrowserHost> GetHost() override { return this; }
    int GetIdentifier() override { return identifier; }
    bool IsSame(CefRefPtr<platform::engine::CefBrowser> that) override;
    CefRefPtr<platform::engine::CefFrame> GetMainFrame() override { return this; }
    bool CanGoBack() override { return false; }
    bool CanGoForward() override { return false; }
    void GoBack() override { Record("back"); }
    void GoForward() override { Record("forward"); }
    void Reload() override { Record("reload"); }
    void ReloadIgnoreCache() override { Record("reload-ignore-cache"); }
    void StopLoad() override { Record("stop"); }
    bool IsLoading() override { return false; }
    bool SendProcessMessage(
        platform::engine::CefProcessId, CefRefPtr<platform::engine::CefProcessMessage>) override
    {
        return false;
    }

    // CefBrowserHost
    CefRefPtr<platform::engine::CefBrowser> GetBrowser() override { return this; }
    CefRefPtr<platform::engine::CefClient> GetClient() override;
    CefRefPtr<platform::engine::CefRequestContext> GetRequestContext() override { return context; }
    platform::ui::HWND GetWindowHandle() override;
    void CloseBrowser(bool) override { Record("close"); }
    void SetFocus(bool focus) override { Record(focus ? "focus" : "blur"); }
    bool IsWindowRenderingDisabled() override { return false; }
    void SetMouseCursorChangeDisabled(bool disabled) override;
    bool IsMouseCursorChangeDisabled() override;
    void ShowDevTools(CefRefPtr<platform::engine::CefClient>) override { Record("devtools"); }
    void ShowDevTools(const platform::engine::CefWindowInfo&, CefRefPtr<platform::engine::CefClient>,
        const platform::engine::CefBrowserSettings&, const platform::engine::CefPoint& at) override
    {
        Record("devtools:" + std::to_string(at.x) + "," + std::to_string(at.y));
    }
    void CloseDevTools() override { Record("close-devtools"); }
    void ExitFullscreen() override { Record("exit-fullscreen"); }
    void ExitPictureInPicture() override { Record("exit-picture-in-picture"); }
    double GetZoomLevel() override { return zoomLevel; }
    void SetZoomLevel(double level) override { zoomLevel = level; }
    void Find(const std::u16string&, bool forward, bool, bool) override
    {
        Record(forward ? "find" : "find-backward");
    }
    void StopFinding(bool) override { Record("stop-finding"); }

    // CefFrame
    bool IsMain() override { return true; }
    std::string GetURL() override;
    void LoadURL(const std::string& url) override;
    void LoadString(const std::string& html, const std::string& url) override;
    void ExecuteJavaScript(const std::string& code, const std::string&, int) override
    {
        Record("js:" + code);
    }

    // For tests: the page address (as a navigation would set it) and what was asked of the browser.
    void SetURL(const std::string& url);
    std::vector<std::string> Calls();
    std::vector<std::pair<std::string, std::string>> LoadedStrings();
    void SetWindowGone() { windowGone = true; }
    // A closed browser lets go of its client, as the engine does.
    void ReleaseClient();
    bool IsClosed();
    // A real window to stand for the browser's (for tests that watch it move).
    void SetWindowHandle(platform::ui::HWND handle);

private:
    void Record(const std::string& call);

    const int identifier;
    CefRefPtr<platform::engine::CefClient> client;
    CefRefPtr<platform::engine::CefRequestContext> context;
    std::mutex lock;
    std::string url;
    std::vector<std::string> calls;
    std::vector<std::pair<std::string, std::string>> strings;
    bool mouseCursorChangeDisabled = false;
    bool windowGone = false;
    double zoomLevel = 0;
    char windowAnchor = 0;
    platform::ui::HWND windowHandle = nullptr;
    IMPLEMENT_REFCOUNTING(FakeBrowser);
};

// An engine for unit tests. It runs its own UI thread, on which every callback fires,
// and takes the place of the real engine while it exists.
class FakeEngine final : public platform::engine::EngineBackend {
public:
    template <class T> using CefRefPtr = platform::engine::CefRefPtr<T>;

    FakeEngine();
    ~FakeEngine() override;

    // Runs f on the engine's UI thread and waits for it (and for what it posted before).
    void Run(const std::function<void()>& f);
    // Waits until every task posted so far has run.
    void Flush()
    {
        Run([] {});
    }

    // Creates a browser as the engine does after a CreateBrowser request; engine thread.
    CefRefPtr<FakeBrowser> OpenBrowser(CefRefPtr<platform::engine::CefClient> client,
        CefRefPtr<platform::engine::CefRequestContext> context, const std::string& url = "about:blank");
    // Tells the client the browser closes; engine thread.
    void CloseBrowser(CefRefPtr<FakeBrowser> browser);

    // EngineBackend
    bool CreateBrowser(const platform::engine::CefWindowInfo& windowInfo,
        CefRefPtr<platform::engine::CefClient> client, const std::string& url,
        const platform::engine::CefBrowserSettings& settings,
        CefRefPtr<platform::engine::CefRequestContext> requestContext) override;
    bool PostTask(platform::engine::CefThreadId threadId, CefRefPtr<platform::engine::CefTask> task) override;
    bool CurrentlyOn(platform::engine::CefThreadId threadId) override;

    // Browser requests are refused while set.
    bool refuseCreation = false;
    std::vector<CefRefPtr<FakeBrowser>> Created();
    std::vector<platform::engine::CefWindowInfo> CreationRequests();

private:
    void Loop();

    std::mutex lock;
    std::condition_variable wake;
    std::deque<CefRefPtr<platform::engine::CefTask>> tasks;
    bool stopping = false;
    int lastIdentifier = 0;
    std::vector<CefRefPtr<FakeBrowser>> created;
    std::vector<platform::engine::CefWindowInfo> requests;
    std::thread thread;
};
