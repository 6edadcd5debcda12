#include "support/LocalHttpServer.h"

#include <QProcess>
#include <QStringList>

#include <chrono>
#include <fstream>
#include <random>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {

bool SendAll(int connection, const std::string& data)
{
    size_t sent = 0;
    while (sent < data.size()) {
        ssize_t n = ::send(connection, data.data() + sent, data.size() - sent, MSG_NOSIGNAL);
        if (n <= 0)
            return false;
        sent += static_cast<size_t>(n);
    }
    return true;
}

std::string ReadRequestHead(int connection)
{
    std::string head;
    char buffer[1024];
    while (head.find("\r\n\r\n") == std::string::npos) {
        pollfd readable { connection, POLLIN, 0 };
        if (::poll(&readable, 1, 5000) <= 0)
            break;
        ssize_t n = ::recv(connection, buffer, sizeof buffer, 0);
        if (n <= 0)
            break;
        head.append(buffer, static_cast<size_t>(n));
    }
    return head;
}

std::string Reply200(const std::string& body)
{
    return "HTTP/1.1 200 OK\r\nContent-Type: application/json\r\nContent-Length: "
        + std::to_string(body.size()) + "\r\nConnection: close\r\n\r\n" + body;
}

std::string HugeJson()
{
    std::string body = R"({"result":"0","version":"1.0.0.0","new_version":"1.0.0.0","min_version":"1.0.0.0",)"
                       R"("version_name":"n","version_url":"","padding":[)";
    const std::string item = R"("0123456789abcdef0123456789abcdef0123456789abcdef0123456789abcdef",)";
    while (body.size() < size_t(50) * 1024 * 1024)
        body += item;
    body += "\"end\"]}";
    return body;
}

} // namespace

// A faulty reply has to be written below the HTTP library, which would always answer properly:
// each connection is taken over before the library reads from it.
class LocalHttpServer::FaultyServer : public httplib::Server {
public:
    FaultyServer(LocalHttpServer& owner, Fault fault)
        : owner(owner)
        , fault(fault)
    {
    }

private:
    bool process_and_close_socket(socket_t connection) override
    {
        const std::string head = ReadRequestHead(connection);
        {
            std::lock_guard<std::mutex> guard(owner.lock);
            const size_t methodEnd = head.find(' ');
            const size_t pathEnd = head.find_first_of(" ?", methodEnd + 1);
            owner.requests.push_back({ head.substr(0, methodEnd),
                methodEnd == std::string::npos ? std::string()
                                               : head.substr(methodEnd + 1, pathEnd - methodEnd - 1),
                {}, {} });
        }
        Serve(connection);
        ::shutdown(connection, SHUT_RDWR);
        ::close(connection);
        return true;
    }

    void Serve(int connection)
    {
        switch (fault) {
        case Fault::None:
        case Fault::CloseAtOnce:
            break;
        case Fault::Garbage: {
            std::mt19937 random(7);
            std::string body(4096, '\0');
            for (char& c : body)
                c = static_cast<char>(random());
            SendAll(connection, Reply200(body));
            break;
        }
        case Fault::HugeJson:
            SendAll(connection, Reply200(HugeJson()));
            break;
        case Fault::DeeplyNestedJson:
            SendAll(connection,
                Reply200(R"({"version":"1","x":)" + std::string(1000, '[') + std::string(1000, ']') + "}"));
            break;
        case Fault::EndlessSlowBody:
            if (SendAll(connection,
                    "HTTP/1.1 200 OK\r\nContent-Type: application/json\r\n\r\n{\"result\":\"0\","))
                while (!owner.stopping && SendAll(connection, " "))
                    std::this_thread::sleep_for(std::chrono::milliseconds(100));
            break;
        }
    }

    LocalHttpServer& owner;
    const Fault fault;
};

LocalHttpServer::LocalHttpServer(Scheme scheme)
    : scheme(scheme)
{
    if (scheme == Scheme::Https) {
        if (!MakeCertificates())
            return;
        server = std::make_unique<httplib::SSLServer>(
            FilePath("server.pem").c_str(), FilePath("server.key").c_str());
        if (!server->is_valid())
            return;
    } else {
        server = std::make_unique<httplib::Server>();
    }
    auto route
        = [this](const httplib::Request& request, httplib::Response& response) { Route(request, response); };
    server->Get(".*", route);
    server->Post(".*", route);
    Listen();
}

LocalHttpServer::LocalHttpServer(Fault fault)
    : scheme(Scheme::Http)
{
    server = std::make_unique<FaultyServer>(*this, fault);
    Listen();
}

void LocalHttpServer::Listen()
{
    // One request per connection, so that stopping never waits for idle keep-alives.
    server->set_keep_alive_max_count(1);
    const int bound = server->bind_to_any_port("127.0.0.1");
    if (bound <= 0)
        return;
    thread = std::thread([this] { server->listen_after_bind(); });
    // A stop that comes before the accept loop runs is lost, and the join would never end.
    while (!server->is_running())
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    port = bound;
}

LocalHttpServer::~LocalHttpServer()
{
    stopping = true;
    released = true;
    if (thread.joinable()) {
        server->stop();
        thread.join();
    }
}

std::string LocalHttpServer::Url(const std::string& path) const
{
    return std::string(scheme == Scheme::Https ? "https" : "http") + "://127.0.0.1:" + std::to_string(port)
        + path;
}

void LocalHttpServer::Handle(const std::string& path, Handler handler)
{
    std::lock_guard<std::mutex> guard(lock);
    for (auto& [known, existing] : exactRoutes)
        if (known == path) {
            existing = std::move(handler);
            return;
        }
    exactRoutes.emplace_back(path, std::move(handler));
}

void LocalHttpServer::HandleMatching(const std::string& pattern, Handler handler)
{
    std::lock_guard<std::mutex> guard(lock);
    matchingRoutes.emplace_back(std::regex(pattern), std::move(handler));
}

void LocalHttpServer::Page(const std::string& path, const std::string& html)
{
    Reply(path, html, "text/html");
}

void LocalHttpServer::Reply(const std::string& path, const std::string& body, const std::string& contentType)
{
    Handle(path, [body, contentType](const httplib::Request&, httplib::Response& response) {
        response.set_content(body, contentType.c_str());
    });
}

void LocalHttpServer::Route(const httplib::Request& request, httplib::Response& response)
{
    Handler handler;
    {
        std::lock_guard<std::mutex> guard(lock);
        requests.push_back({ request.method, request.path, request.params, request.body });
        for (const auto& [path, candidate] : exactRoutes)
            if (path == request.path) {
                handler = candidate;
                break;
            }
        if (!handler)
            for (const auto& [pattern, candidate] : matchingRoutes)
                if (std::regex_match(request.path, pattern)) {
                    handler = candidate;
                    break;
                }
    }
    if (handler)
        handler(request, response);
    else
        response.status = 404;
}

std::vector<LocalHttpServer::Request> LocalHttpServer::Requests() const
{
    std::lock_guard<std::mutex> guard(lock);
    return requests;
}

int LocalHttpServer::RequestCount(const std::string& path) const
{
    std::lock_guard<std::mutex> guard(lock);
    int count = 0;
    for (const Request& request : requests)
        count += request.path == path ? 1 : 0;
    return count;
}

bool LocalHttpServer::WaitForRelease(int limitMs) const
{
    for (int waited = 0; waited < limitMs && !released; waited += 10)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    return released;
}

std::string LocalHttpServer::CaFile() const { return FilePath("ca.pem"); }

std::string LocalHttpServer::UnknownCaFile() const { return FilePath("other-ca.pem"); }

std::string LocalHttpServer::FilePath(const std::string& name) const
{
    return folder.filePath(QString::fromStdString(name)).toStdString();
}

int LocalHttpServer::ClosedPort()
{
    int probe = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address {};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof(address);
    const bool bound = ::bind(probe, reinterpret_cast<sockaddr*>(&address), sizeof(address)) == 0
        && ::getsockname(probe, reinterpret_cast<sockaddr*>(&address), &length) == 0;
    ::close(probe);
    return bound ? ntohs(address.sin_port) : 0;
}

// The keys and certificates are made with the openssl command for each server, so none is kept
// anywhere; the second CA stands for any CA the server's certificate does not come from.
bool LocalHttpServer::MakeCertificates() const
{
    if (!folder.isValid())
        return false;
    auto openssl = [this](const QStringList& arguments) {
        QProcess tool;
        tool.setWorkingDirectory(folder.path());
        tool.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        tool.start("openssl", arguments);
        return tool.waitForFinished(60000) && tool.exitStatus() == QProcess::NormalExit
            && tool.exitCode() == 0;
    };
    std::ofstream(FilePath("openssl.cnf")) << "[req]\ndistinguished_name = dn\nprompt = no\n"
                                              "[dn]\nCN = Zandrel test\n"
                                              "[ca]\nbasicConstraints = critical, CA:TRUE\n"
                                              "keyUsage = critical, keyCertSign, cRLSign\n"
                                              "subjectKeyIdentifier = hash\n"
                                              "[server]\nbasicConstraints = CA:FALSE\n"
                                              "subjectAltName = IP:127.0.0.1\n"
                                              "extendedKeyUsage = serverAuth\n";
    const QStringList newKey { "-newkey", "ec", "-pkeyopt", "ec_paramgen_curve:prime256v1", "-nodes" };
    auto ca = [&](const QString& name) {
        return openssl(QStringList { "req", "-x509", "-config", "openssl.cnf", "-extensions", "ca", "-days",
                           "2", "-keyout", name + ".key", "-out", name + ".pem" }
            + newKey);
    };
    return ca("ca") && ca("other-ca")
        && openssl(QStringList { "req", "-new", "-config", "openssl.cnf", "-keyout", "server.key", "-out",
                       "server.csr" }
            + newKey)
        && openssl({ "x509", "-req", "-in", "server.csr", "-CA", "ca.pem", "-CAkey", "ca.key", "-set_serial",
            "1", "-days", "2", "-extfile", "openssl.cnf", "-extensions", "server", "-out", "server.pem" });
}
