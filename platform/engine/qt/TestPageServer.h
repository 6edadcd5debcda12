#pragma once

#include "platform/engine/CefBrowser.h"
#include "platform/engine/CefClient.h"

#include <deque>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

namespace httplib {
class Server;
struct Request;
struct Response;
}

class QUrl;
class QWebEnginePage;

namespace platform::engine::qt {

// Answers requests for the built-in test host through the client's GetResourceHandler.
// The engine cannot hand an http request (with its body) to a handler of the program,
// so the host resolves to this loopback server; it serves only requests that carry
// the per-process secret the engine adds for that host. Its own threads stand for the
// engine's IO thread; registration is for the GUI thread.
class TestPageServer {
public:
    static TestPageServer& Instance();
    ~TestPageServer();

    // Binds 127.0.0.1 on a free port and starts serving; true when running.
    bool Start();
    void Stop();
    int Port() const { return port; }

    // Requests of the browser's page are answered with the browser's client.
    void Attach(CefRefPtr<CefBrowser> browser);
    // The secret is added to the page's requests from its first navigation to the test
    // host on: every intercepted request waits for the GUI thread, so pages that never
    // go there are not intercepted at all.
    void BeforeNavigation(QWebEnginePage* page, int browserId, const QUrl& url);
    void Detach(int browserId);
    // Names the client has no content for go to the network; where that fails, the
    // engine sees an HTTP failure for the address, and this gives the network error
    // that stands behind it (once), ERR_NONE for any other address.
    cef_errorcode_t TakeNetworkFailure(int browserId, const std::string& url);

    // The engine switches with the rule for the test host merged into any given value.
    static std::string WithTestHostRules(const std::string& chromiumFlags, int port);
    static std::string MergeSwitch(
        const std::string& flags, const std::string& name, const std::string& addition, char separator);
    // The value of one switch in the engine switches, unquoted; empty when it is absent.
    static std::string SwitchValue(const std::string& flags, const std::string& name);

    static constexpr char kSecretHeader[] = "X-Zandrel-Test-Secret";
    static constexpr char kBrowserHeader[] = "X-Zandrel-Test-Browser";

private:
    void Answer(const httplib::Request& request, httplib::Response& response);

    std::unique_ptr<httplib::Server> server;
    std::thread thread;
    int port = 0;
    std::string secret;
    std::mutex lock;
    struct Attached {
        CefRefPtr<CefBrowser> browser;
        // Copied at attachment: the browser swaps its client on the GUI thread when it closes.
        CefRefPtr<CefClient> client;
    };
    std::map<int, Attached> browsers;
    struct NetworkFailure {
        std::string url;
        cef_errorcode_t error = ERR_NONE;
    };
    // The latest failed fall-throughs of each browser, oldest first: a page's own requests
    // (its icon among them) fail beside its navigation and must not hide that one's error.
    std::map<int, std::deque<NetworkFailure>> networkFailures;
};

} // namespace platform::engine::qt
