#pragma once

#include <httplib.h>

#include <atomic>
#include <chrono>
#include <string>
#include <thread>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

// A cpp-httplib server on 127.0.0.1 and a free port, for the client's tests.
class LocalHttpServer {
public:
    static constexpr int kFileSize = 1048576;

    LocalHttpServer()
    {
        server.Get("/update.json", [](const httplib::Request&, httplib::Response& response) {
            response.set_content(
                R"({"result":"0","version":"1.0.0.3","new_version":"1.0.0.2","version_name":"n"})",
                "application/json");
        });
        server.Get("/file", [](const httplib::Request&, httplib::Response& response) {
            response.set_content(std::string(kFileSize, 'z'), "application/octet-stream");
        });
        server.Get("/empty", [](const httplib::Request&, httplib::Response& response) {
            response.set_content("", "text/plain");
        });
        server.Get("/missing", [](const httplib::Request&, httplib::Response& response) {
            response.status = 404;
            response.set_content("<html>not here</html>", "text/html");
        });
        server.Get("/chunked", [](const httplib::Request&, httplib::Response& response) {
            response.set_chunked_content_provider("text/plain", [](size_t offset, httplib::DataSink& sink) {
                if (offset >= 20)
                    sink.done();
                else
                    sink.write("0123456789", 10);
                return true;
            });
        });
        server.Get("/drop", [](const httplib::Request&, httplib::Response& response) {
            response.set_content_provider(
                kFileSize, "application/octet-stream", [](size_t offset, size_t, httplib::DataSink& sink) {
                    if (offset >= 4096)
                        return false; // closes the connection mid-body
                    std::string block(4096, 'd');
                    sink.write(block.data(), block.size());
                    return true;
                });
        });
        server.Get("/stream", [this](const httplib::Request&, httplib::Response& response) {
            response.set_content_provider(kFileSize, "application/octet-stream",
                [this](size_t offset, size_t, httplib::DataSink& sink) {
                    // After the first block the body stalls until the test lets it go.
                    for (int i = 0; offset > 0 && i < 500 && !releaseSlow; ++i)
                        std::this_thread::sleep_for(std::chrono::milliseconds(20));
                    std::string block(4096, 's');
                    return sink.write(block.data(), block.size());
                });
        });
        server.Get("/slow", [this](const httplib::Request&, httplib::Response& response) {
            for (int i = 0; i < 500 && !releaseSlow; ++i)
                std::this_thread::sleep_for(std::chrono::milliseconds(20));
            response.set_content("late", "text/plain");
        });
        server.Post("/post", [](const httplib::Request& request, httplib::Response& response) {
            response.set_content("posted:" + request.body, "text/plain");
        });
        port = server.bind_to_any_port("127.0.0.1");
        thread = std::thread([this] { server.listen_after_bind(); });
        // stop() before the accept loop runs would be lost and the join would hang.
        while (!server.is_running())
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }

    ~LocalHttpServer()
    {
        releaseSlow = true;
        server.stop();
        thread.join();
    }

    std::string Url(const std::string& path) const
    {
        return "http://127.0.0.1:" + std::to_string(port) + path;
    }

    // A port that nothing listens on any more.
    static int ClosedPort()
    {
        int probe = socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in address {};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t length = sizeof(address);
        bind(probe, reinterpret_cast<sockaddr*>(&address), sizeof(address));
        getsockname(probe, reinterpret_cast<sockaddr*>(&address), &length);
        close(probe);
        return ntohs(address.sin_port);
    }

    httplib::Server server;
    std::atomic<bool> releaseSlow { false };
    int port = 0;

private:
    std::thread thread;
};
