#pragma once

#include <atomic>
#include <string>
#include <thread>
#include <vector>

// A server on 127.0.0.1 that answers every request badly in one chosen way; it reads the
// request head first, so the client always gets past sending.
class MisbehavingServer {
public:
    enum class Fault {
        Garbage, // a 200 reply whose body is random bytes
        HugeJson, // a well-formed JSON reply of 50 MB
        DeeplyNestedJson, // a reply with a thousand nested arrays
        EndlessSlowBody, // headers, then one byte every 100 ms until the server goes
        CloseAtOnce, // the connection closed without a reply
    };

    explicit MisbehavingServer(Fault fault);
    ~MisbehavingServer();
    std::string Url(const std::string& path) const;
    int Requests() const { return requests; }

private:
    void Serve(int connection);

    Fault fault;
    int listener = -1;
    int port = 0;
    std::atomic<bool> stopping { false };
    std::atomic<int> requests { 0 };
    std::thread acceptor;
    std::vector<std::thread> connections;
};
