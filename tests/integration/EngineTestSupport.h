#pragma once

#include <httplib.h>
#include <memory>
#include <string>
#include <thread>

// Starts the engine once per test program (after the application object exists).
void StartEngineForTests();

// A web server on 127.0.0.1 for the duration of a test.
class LocalPageServer {
public:
    LocalPageServer()
    {
        // One request per connection, so that stopping never waits for idle keep-alives.
        server.set_keep_alive_max_count(1);
        port = server.bind_to_any_port("127.0.0.1");
        thread = std::thread([this] { server.listen_after_bind(); });
        while (!server.is_running())
            std::this_thread::yield();
    }
    ~LocalPageServer()
    {
        server.stop();
        thread.join();
    }
    void Page(const std::string& path, const std::string& html)
    {
        server.Get(path, [html](const httplib::Request&, httplib::Response& response) {
            response.set_content(html, "text/html");
        });
    }
    std::string Url(const std::string& path) const
    {
        return "http://127.0.0.1:" + std::to_string(port) + path;
    }
    httplib::Server server;

private:
    int port = 0;
    std::thread thread;
};
