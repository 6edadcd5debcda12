#pragma once

#include <httplib.h>

#include <atomic>
#include <functional>
#include <memory>
#include <mutex>
#include <regex>
#include <string>
#include <thread>
#include <vector>

#include <QTemporaryDir>

// The one web server of the tests: 127.0.0.1 on a free port for the life of the object, plain or
// TLS (with a test CA made afresh for each server). Routes are looked up per request under a
// lock, so a test may add them while the server already listens; every request is recorded.
// Handlers run on the server's threads.
class LocalHttpServer {
public:
    using Handler = std::function<void(const httplib::Request&, httplib::Response&)>;

    enum class Scheme { Http, Https };
    // Ways to answer every request badly; the request head is always read first, so the client
    // gets past sending.
    enum class Fault {
        None,
        Garbage, // a 200 reply whose body is random bytes
        HugeJson, // a well-formed JSON reply of 50 MB
        DeeplyNestedJson, // a reply with a thousand nested arrays
        EndlessSlowBody, // headers, then one byte every 100 ms until the server goes
        CloseAtOnce, // the connection closed without a reply
    };
    struct Request {
        std::string method;
        std::string path;
        httplib::Params params;
        std::string body;
    };

    explicit LocalHttpServer(Scheme scheme = Scheme::Http);
    // A plain server that answers every request with the fault; routes are not used.
    explicit LocalHttpServer(Fault fault);
    ~LocalHttpServer();
    LocalHttpServer(const LocalHttpServer&) = delete;
    LocalHttpServer& operator=(const LocalHttpServer&) = delete;

    // False when the server could not start (for TLS: the certificates could not be made).
    bool Ready() const { return port > 0; }
    int Port() const { return port; }
    std::string Url(const std::string& path) const;

    // GET (and HEAD) and POST requests for exactly this path.
    void Handle(const std::string& path, Handler handler);
    // Requests whose whole path matches the regular expression, after the exact paths.
    void HandleMatching(const std::string& pattern, Handler handler);
    void Page(const std::string& path, const std::string& html);
    void Reply(const std::string& path, const std::string& body, const std::string& contentType);

    // Every request so far, in order of arrival.
    std::vector<Request> Requests() const;
    int RequestCount(const std::string& path) const;

    // For handlers that hold their reply: waits until Release() or the server goes, at most
    // limitMs; true when released.
    bool WaitForRelease(int limitMs = 10000) const;
    void Release() { released = true; }
    bool Stopping() const { return stopping; }

    // TLS: the CA that issued the server's certificate, and one that issued nothing.
    std::string CaFile() const;
    std::string UnknownCaFile() const;

    // A port that nothing listens on any more.
    static int ClosedPort();

private:
    class FaultyServer;
    void Listen();
    void Route(const httplib::Request& request, httplib::Response& response);
    bool MakeCertificates() const;
    std::string FilePath(const std::string& name) const;

    QTemporaryDir folder;
    std::unique_ptr<httplib::Server> server;
    std::thread thread;
    int port = 0;
    Scheme scheme;
    std::atomic<bool> released { false };
    std::atomic<bool> stopping { false };
    mutable std::mutex lock;
    std::vector<std::pair<std::string, Handler>> exactRoutes;
    std::vector<std::pair<std::regex, Handler>> matchingRoutes;
    std::vector<Request> requests;
};
