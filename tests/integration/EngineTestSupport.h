#pragma once

#include <functional>
#include <httplib.h>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

// Starts the engine once per test program (after the application object exists).
void StartEngineForTests();

// A web server on 127.0.0.1 for the duration of a test. Routes are looked up per
// request under a lock, so a test may add them while the server already listens.
class LocalPageServer {
public:
    using Handler = std::function<void(const httplib::Request&, httplib::Response&)>;

    LocalPageServer()
    {
        // One request per connection, so that stopping never waits for idle keep-alives.
        server.set_keep_alive_max_count(1);
        auto route = [this](const httplib::Request& request, httplib::Response& response) {
            Handler handler;
            {
                std::lock_guard<std::mutex> guard(lock);
                auto found = routes.find(request.path);
                if (found != routes.end())
                    handler = found->second;
            }
            if (handler)
                handler(request, response);
            else
                response.status = 404;
        };
        server.Get(".*", route);
        server.Post(".*", route);
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
    void Handle(const std::string& path, Handler handler)
    {
        std::lock_guard<std::mutex> guard(lock);
        routes[path] = std::move(handler);
    }
    void Page(const std::string& path, const std::string& html)
    {
        Handle(path, [html](const httplib::Request&, httplib::Response& response) {
            response.set_content(html, "text/html");
        });
    }
    std::string Url(const std::string& path) const
    {
        return "http://127.0.0.1:" + std::to_string(port) + path;
    }
    int Port() const { return port; }

private:
    httplib::Server server;
    std::mutex lock;
    std::map<std::string, Handler> routes;
    int port = 0;
    std::thread thread;
};
