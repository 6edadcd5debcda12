#pragma once

#include <httplib.h>

#include <QProcess>
#include <QStringList>
#include <QTemporaryDir>

#include <chrono>
#include <fstream>
#include <string>
#include <thread>

// An https server on 127.0.0.1 and a free port whose certificate a test CA issued. The keys and
// certificates are made afresh with the openssl command for each server, so none is kept anywhere;
// a second CA that issued nothing stands for any CA the server's certificate does not come from.
class LocalTlsServer {
public:
    static constexpr int kFileSize = 65536;

    LocalTlsServer()
    {
        made = MakeCertificates();
        if (!made)
            return;
        server = std::make_unique<httplib::SSLServer>(Path("server.pem").c_str(), Path("server.key").c_str());
        if (!server->is_valid())
            return;
        server->Get("/update.json", [](const httplib::Request&, httplib::Response& response) {
            response.set_content(R"({"result":"0","version":"1.0.0.3"})", "application/json");
        });
        server->Get("/setup.sh", [](const httplib::Request&, httplib::Response& response) {
            response.set_content(std::string(kFileSize, 't'), "application/octet-stream");
        });
        port = server->bind_to_any_port("127.0.0.1");
        thread = std::thread([this] { server->listen_after_bind(); });
        // A stop that comes before the listener runs is lost, and the join would never end.
        for (int i = 0; i < 5000 && !server->is_running(); ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }

    ~LocalTlsServer()
    {
        if (!thread.joinable())
            return;
        server->stop();
        thread.join();
    }

    bool Ready() const { return made && server && server->is_valid(); }
    std::string Url(const std::string& path) const
    {
        return "https://127.0.0.1:" + std::to_string(port) + path;
    }
    std::string Path(const std::string& name) const
    {
        return folder.filePath(QString::fromStdString(name)).toStdString();
    }
    std::string CaFile() const { return Path("ca.pem"); }
    std::string UnknownCaFile() const { return Path("other-ca.pem"); }

private:
    bool Openssl(const QStringList& arguments) const
    {
        QProcess openssl;
        openssl.setWorkingDirectory(folder.path());
        openssl.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        openssl.start("openssl", arguments);
        return openssl.waitForFinished(60000) && openssl.exitStatus() == QProcess::NormalExit
            && openssl.exitCode() == 0;
    }

    bool MakeCertificates() const
    {
        if (!folder.isValid())
            return false;
        std::ofstream(Path("openssl.cnf")) << "[req]\ndistinguished_name = dn\nprompt = no\n"
                                              "[dn]\nCN = Zandrel test\n"
                                              "[ca]\nbasicConstraints = critical, CA:TRUE\n"
                                              "keyUsage = critical, keyCertSign, cRLSign\n"
                                              "subjectKeyIdentifier = hash\n"
                                              "[server]\nbasicConstraints = CA:FALSE\n"
                                              "subjectAltName = IP:127.0.0.1\n"
                                              "extendedKeyUsage = serverAuth\n";
        const QStringList newKey { "-newkey", "ec", "-pkeyopt", "ec_paramgen_curve:prime256v1", "-nodes" };
        auto ca = [&](const QString& name) {
            return Openssl(QStringList { "req", "-x509", "-config", "openssl.cnf", "-extensions", "ca",
                               "-days", "2", "-keyout", name + ".key", "-out", name + ".pem" }
                + newKey);
        };
        return ca("ca") && ca("other-ca")
            && Openssl(QStringList { "req", "-new", "-config", "openssl.cnf", "-keyout", "server.key", "-out",
                           "server.csr" }
                + newKey)
            && Openssl({ "x509", "-req", "-in", "server.csr", "-CA", "ca.pem", "-CAkey", "ca.key",
                "-set_serial", "1", "-days", "2", "-extfile", "openssl.cnf", "-extensions", "server", "-out",
                "server.pem" });
    }

    QTemporaryDir folder;
    bool made = false;
    std::unique_ptr<httplib::SSLServer> server;
    std::thread thread;
    int port = 0;
};
