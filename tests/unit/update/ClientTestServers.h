#pragma once

#include "support/LocalHttpServer.h"

#include <string>

// The replies the HTTP client's tests ask for, on the tests' web server.
class ClientTestServer : public LocalHttpServer {
public:
    static constexpr int kFileSize = 1048576;

    ClientTestServer()
    {
        Reply("/update.json",
            R"({"result":"0","version":"1.0.0.3","new_version":"1.0.0.2","version_name":"n"})",
            "application/json");
        Reply("/file", std::string(kFileSize, 'z'), "application/octet-stream");
        Reply("/empty", "", "text/plain");
        Handle("/missing", [](const httplib::Request&, httplib::Response& response) {
            response.status = 404;
            response.set_content("<html>not here</html>", "text/html");
        });
        Handle("/chunked", [](const httplib::Request&, httplib::Response& response) {
            response.set_chunked_content_provider("text/plain", [](size_t offset, httplib::DataSink& sink) {
                if (offset >= 20)
                    sink.done();
                else
                    sink.write("0123456789", 10);
                return true;
            });
        });
        Handle("/drop", [](const httplib::Request&, httplib::Response& response) {
            response.set_content_provider(
                kFileSize, "application/octet-stream", [](size_t offset, size_t, httplib::DataSink& sink) {
                    if (offset >= 4096)
                        return false; // closes the connection mid-body
                    std::string block(4096, 'd');
                    sink.write(block.data(), block.size());
                    return true;
                });
        });
        Handle("/stream", [this](const httplib::Request&, httplib::Response& response) {
            response.set_content_provider(kFileSize, "application/octet-stream",
                [this](size_t offset, size_t, httplib::DataSink& sink) {
                    // After the first block the body stalls until the server goes.
                    if (offset > 0)
                        WaitForRelease();
                    std::string block(4096, 's');
                    return sink.write(block.data(), block.size());
                });
        });
        // Announces more than an int holds; cut down, it would read as 100 bytes.
        Handle("/huge", [](const httplib::Request&, httplib::Response& response) {
            response.set_content_provider(4294967396ULL, "application/octet-stream",
                [](size_t, size_t, httplib::DataSink&) { return false; });
        });
        Handle("/slow", [this](const httplib::Request&, httplib::Response& response) {
            WaitForRelease();
            response.set_content("late", "text/plain");
        });
        Handle("/post", [](const httplib::Request& request, httplib::Response& response) {
            response.set_content("posted:" + request.body, "text/plain");
        });
    }
};

// The update check and an installer over TLS, with a certificate a test CA issued.
class ClientTlsServer : public LocalHttpServer {
public:
    static constexpr int kFileSize = 65536;

    ClientTlsServer()
        : LocalHttpServer(Scheme::Https)
    {
        Reply("/update.json", R"({"result":"0","version":"1.0.0.3"})", "application/json");
        Reply("/setup.sh", std::string(kFileSize, 't'), "application/octet-stream");
    }
};
