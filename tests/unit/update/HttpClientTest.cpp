#include "update/HttpClient.h"
#include "ClientTestServers.h"
#include "config/AppConfig.h"
#include "support/TestConfig.h"
#include "update/UpdateCheck.h"
#include "update/signing/InstallerSigning.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>

namespace {

namespace fs = std::filesystem;

class HttpClientTest : public testing::Test {
protected:
    void SetUp() override
    {
        folder = fs::temp_directory_path()
            / ("zandrel-http-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) + "-"
                + ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::create_directories(folder);
    }
    void TearDown() override { fs::remove_all(folder); }

    DownloadTask Task(const std::string& path, const std::string& fileName)
    {
        DownloadTask task;
        task.url = server.Url(path);
        task.localPath = (folder / fileName).string();
        return task;
    }

    ClientTestServer server;
    fs::path folder;
};

TEST_F(HttpClientTest, GetAppendsTheBodyWhateverTheStatus)
{
    HttpClient client;
    std::string response = "kept:";
    EXPECT_EQ(client.Get(server.Url("/missing"), &response, 10), 0);
    EXPECT_EQ(response, "kept:<html>not here</html>");

    std::string chunked;
    EXPECT_EQ(client.Get(server.Url("/chunked"), &chunked, 10), 0);
    EXPECT_EQ(chunked, "01234567890123456789");
}

TEST_F(HttpClientTest, GetFailuresLeaveTheResponseAlone)
{
    HttpClient client;
    std::string response = "untouched";
    EXPECT_NE(
        client.Get("http://127.0.0.1:" + std::to_string(LocalHttpServer::ClosedPort()) + "/", &response, 5),
        0);
    EXPECT_EQ(response, "untouched");

    EXPECT_EQ(client.Get(server.Url("/slow"), &response, 1), 28) << "operation timed out";
    EXPECT_EQ(response, "untouched");
}

TEST_F(HttpClientTest, DebugTracePrintsHeadersAndData)
{
    HttpClient client;
    client.debug = 1;
    std::string response;
    testing::internal::CaptureStdout();
    EXPECT_EQ(client.Get(server.Url("/update.json"), &response, 10), 0);
    std::fflush(stdout);
    const std::string trace = testing::internal::GetCapturedStdout();
    EXPECT_NE(trace.find("[HEADER_OUT]GET /update.json HTTP/1.1"), std::string::npos);
    EXPECT_NE(trace.find("[HEADER_IN]HTTP/1.1 200"), std::string::npos);
    EXPECT_NE(trace.find("[DATA_IN]{\"result\":\"0\""), std::string::npos);
}

TEST_F(HttpClientTest, PostSendsTheFields)
{
    HttpClient client;
    std::string response;
    EXPECT_EQ(client.Post(server.Url("/post"), "a=1&b=2", &response), 0);
    EXPECT_EQ(response, "posted:a=1&b=2");
}

TEST_F(HttpClientTest, WriteCallbackRefusesNullPointers)
{
    char data[4] = "abc";
    std::string response;
    EXPECT_EQ(HttpClient::WriteToString(data, 1, 3, &response), 3u);
    EXPECT_EQ(response, "abc");
    EXPECT_EQ(HttpClient::WriteToString(nullptr, 1, 3, &response), static_cast<size_t>(-1));
    EXPECT_EQ(HttpClient::WriteToString(data, 1, 3, nullptr), static_cast<size_t>(-1));
    EXPECT_EQ(HttpClient::WriteToTaskFile(data, 1, 3, nullptr), 0u);
}

TEST_F(HttpClientTest, RemoteFileSize)
{
    EXPECT_EQ(HttpClient::GetRemoteFileSize(server.Url("/file"), 10), ClientTestServer::kFileSize);
    EXPECT_EQ(HttpClient::GetRemoteFileSize(server.Url("/chunked"), 10), -1);
    // An error page's length is no size: the download would stop there. Servers that allow GET
    // alone answer HEAD with 405 or 501.
    for (int status : { 404, 405, 501 }) {
        const std::string path = "/head-refused-" + std::to_string(status);
        server.Handle(path, [status](const httplib::Request& request, httplib::Response& response) {
            response.status = request.method == "HEAD" ? status : 200;
            response.set_content(std::string(64, 'e'), "text/html");
        });
        EXPECT_EQ(HttpClient::GetRemoteFileSize(server.Url(path), 10), -1) << status;
    }
    EXPECT_EQ(HttpClient::GetRemoteFileSize(
                  "http://127.0.0.1:" + std::to_string(LocalHttpServer::ClosedPort()), 10),
        -1);
    EXPECT_EQ(HttpClient::GetRemoteFileSize(server.Url("/slow"), 10, [] { return true; }), -1)
        << "a cancelled request gives up without its answer";
    EXPECT_EQ(HttpClient::GetRemoteFileSize(server.Url("/huge"), 10), -1) << "beyond what the size holds";
}

TEST_F(HttpClientTest, DownloadWritesTheFileAndOverwritesOnTheSecondRun)
{
    HttpClient client;
    DownloadTask task = Task("/file", "setup.bin");
    {
        std::ofstream old(task.localPath);
        old << std::string(size_t(2) * ClientTestServer::kFileSize, 'o');
    }
    for (int run = 0; run < 2; ++run) {
        task.file = nullptr;
        task.bytesWritten = 0;
        EXPECT_EQ(client.Download(task, 10), 0);
        EXPECT_EQ(task.file, nullptr) << "closed after the transfer";
        EXPECT_EQ(task.bytesWritten, ClientTestServer::kFileSize);
        EXPECT_EQ(fs::file_size(task.localPath), static_cast<uintmax_t>(ClientTestServer::kFileSize));
    }
}

TEST_F(HttpClientTest, EmptyBodyCreatesNoFile)
{
    HttpClient client;
    DownloadTask task = Task("/empty", "nothing.bin");
    EXPECT_EQ(client.Download(task, 10), 0);
    EXPECT_FALSE(fs::exists(task.localPath));
}

TEST_F(HttpClientTest, DroppedConnectionKeepsThePartialFile)
{
    HttpClient client;
    DownloadTask task = Task("/drop", "partial.bin");
    EXPECT_NE(client.Download(task, 10), 0);
    ASSERT_TRUE(fs::exists(task.localPath));
    EXPECT_EQ(fs::file_size(task.localPath), static_cast<uintmax_t>(task.bytesWritten));
    EXPECT_GT(task.bytesWritten, 0);
    EXPECT_LT(task.bytesWritten, ClientTestServer::kFileSize);
}

TEST_F(HttpClientTest, ABodyLongerThanTheAnnouncedSizeFailsAndIsCutThere)
{
    HttpClient client;
    DownloadTask task = Task("/chunked", "longer.bin");
    task.expectedSize = 15;
    EXPECT_EQ(client.Download(task, 10), 23);
    EXPECT_LE(fs::file_size(task.localPath), 15u);
}

TEST_F(HttpClientTest, ErrorStatusIsAFailedDownload)
{
    HttpClient client;
    DownloadTask task = Task("/missing", "setup.bin");
    EXPECT_EQ(client.Download(task, 10), 22);
}

TEST_F(HttpClientTest, UncreatableFileFailsWithAWriteError)
{
    HttpClient client;
    DownloadTask task = Task("/file", "no-such-folder/setup.bin");
    EXPECT_EQ(client.Download(task, 10), 23);
}

struct ProgressLog {
    int calls = 0;
    double lastTotal = 0;
    bool abort = false;
};

int RecordProgress(void* context, double total, double now, double, double)
{
    auto* log = static_cast<ProgressLog*>(context);
    ++log->calls;
    log->lastTotal = total;
    return log->abort && now > 0 ? 1 : 0;
}

TEST_F(HttpClientTest, ProgressCallbackSeesTheTransferAndCanAbortIt)
{
    HttpClient client;
    ProgressLog log;
    DownloadTask task = Task("/file", "progress.bin");
    task.progressContext = &log;
    task.progressCallback = RecordProgress;
    EXPECT_EQ(client.Download(task, 10), 0);
    EXPECT_GT(log.calls, 0);
    EXPECT_EQ(log.lastTotal, ClientTestServer::kFileSize);

    ProgressLog aborting;
    aborting.abort = true;
    DownloadTask stopped = Task("/stream", "stopped.bin");
    stopped.progressContext = &aborting;
    stopped.progressCallback = RecordProgress;
    EXPECT_EQ(client.Download(stopped, 10), 42) << "aborted by callback";
    EXPECT_LT(stopped.bytesWritten, ClientTestServer::kFileSize);
}

TEST(UrlEncode, EncodesHighBytesAndSpacesOnly)
{
    EXPECT_EQ(HttpClient::UrlEncode("a b"), "a%20b");
    EXPECT_EQ(HttpClient::UrlEncode("x?y=1&z:/%"), "x?y=1&z:/%");
    EXPECT_EQ(HttpClient::UrlEncode("安装.exe"), "%E5%AE%89%E8%A3%85.exe");
    EXPECT_EQ(HttpClient::UrlEncode(std::string("\xe6\xff", 2)), "%E6%FF");
    EXPECT_EQ(HttpClient::UrlEncode(""), "");
}

TEST_F(HttpClientTest, FetchUpdateInfoParsesOnlySuccessfulTransfers)
{
    UpdateInfo info;
    EXPECT_EQ(FetchUpdateInfo(info, server.Url("/update.json")), 0);
    EXPECT_EQ(info.version, "1.0.0.3");
    EXPECT_EQ(info.newVersion, "1.0.0.2");

    // The configured address is the one asked.
    const fs::path configFile = folder / "config.xml";
    ASSERT_TRUE(TestConfig().Set("Update", "url", server.Url("/update.json")).Write(configFile.string()));
    AppConfig::ResetInstanceForTests(configFile.u16string());
    UpdateInfo configured;
    EXPECT_EQ(FetchUpdateInfo(configured), 0);
    EXPECT_EQ(configured.version, "1.0.0.3");

    UpdateInfo failed;
    EXPECT_NE(
        FetchUpdateInfo(failed, "http://127.0.0.1:" + std::to_string(LocalHttpServer::ClosedPort()) + "/"),
        0);
    EXPECT_FALSE(failed.IsValid());
    EXPECT_EQ(failed.result, "-1");
}

// With a key the reply counts only with that key's signature over its exact body in the header;
// without one the header is not looked at. The check points ask with the installation's key.
TEST_F(HttpClientTest, SignedRepliesWhenAKeyIsConfigured)
{
    const std::optional<SigningKeyPair> pair = GenerateSigningKey();
    const std::optional<SigningKeyPair> other = GenerateSigningKey();
    ASSERT_TRUE(pair && other);
    const std::string body = R"({"result":"0","version":"1.0.0.3","version_url":"http://h/setup.sh"})";
    const std::string signature = SignBytes(pair->privateKeyPem, body).value();
    struct Case {
        const char* what;
        std::string sent;
        std::vector<std::string> headers;
        int expected;
    };
    const Case cases[] = {
        { "signed", body, { signature }, 0 },
        { "header named in other case", body, { signature }, 0 },
        { "unsigned", body, {}, kReplyNotSigned },
        { "tampered body", body + " ", { signature }, kReplyNotSigned },
        { "another key's signature", body, { SignBytes(other->privateKeyPem, body).value() },
            kReplyNotSigned },
        { "the signature twice", body, { signature, signature }, kReplyNotSigned },
        { "not base64", body, { std::string(88, '!') }, kReplyNotSigned },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const std::string headerName = std::string(c.what) == "header named in other case"
            ? "x-update-SIGNATURE"
            : kReplySignatureHeader;
        server.Handle("/signed.json", [&](const httplib::Request&, httplib::Response& response) {
            for (const std::string& value : c.headers)
                response.headers.emplace(headerName, value);
            response.set_content(c.sent, "application/json");
        });
        UpdateInfo info;
        EXPECT_EQ(FetchUpdateInfo(info, server.Url("/signed.json"), pair->publicKey), c.expected);
        EXPECT_EQ(info.IsValid(), c.expected == 0) << "a refused reply leaves the record as constructed";
        UpdateInfo keyless;
        EXPECT_EQ(FetchUpdateInfo(keyless, server.Url("/signed.json"), ""), 0);
    }

    server.Reply("/signed.json", body, "application/json");
    const fs::path configFile = folder / "config.xml";
    ASSERT_TRUE(TestConfig()
                    .Set("Update", "url", server.Url("/signed.json"))
                    .Set("Update", "key", pair->publicKey)
                    .Write(configFile.string()));
    AppConfig::ResetInstanceForTests(configFile.u16string());
    UpdateInfo configured;
    EXPECT_EQ(FetchUpdateInfo(configured), kReplyNotSigned) << "the installation's key applies";
}

// https verifies the server against the system's store, or the CA bundle given in its place:
// a certificate from a CA that neither knows is a failed transfer, not a reply.
TEST_F(HttpClientTest, HttpsTrustsOnlyTheGivenCertificateAuthorities)
{
    ClientTlsServer tls;
    ASSERT_TRUE(tls.Ready());
    HttpClient trusting;
    trusting.certificateAuthorityFile = tls.CaFile();
    std::string reply;
    EXPECT_EQ(trusting.Get(tls.Url("/update.json"), &reply, 10), 0);
    EXPECT_EQ(reply, R"({"result":"0","version":"1.0.0.3"})");
    DownloadTask task = Task("/", "setup.sh");
    task.url = tls.Url("/setup.sh");
    EXPECT_EQ(trusting.Download(task, 10), 0);
    EXPECT_EQ(fs::file_size(task.localPath), static_cast<uintmax_t>(ClientTlsServer::kFileSize));

    HttpClient systemStore;
    HttpClient otherCa;
    otherCa.certificateAuthorityFile = tls.UnknownCaFile();
    for (HttpClient* client : { &systemStore, &otherCa }) {
        std::string refused = "untouched";
        EXPECT_EQ(client->Get(tls.Url("/update.json"), &refused, 10), 60) << "peer certificate not verified";
        EXPECT_EQ(refused, "untouched");
        DownloadTask refusedTask = Task("/", "refused.sh");
        refusedTask.url = tls.Url("/setup.sh");
        EXPECT_EQ(client->Download(refusedTask, 10), 60);
        EXPECT_FALSE(fs::exists(refusedTask.localPath));
    }
}

// The installer's address is the server's to name: it reaches the web and nothing else.
TEST_F(HttpClientTest, DownloadsComeOverHttpOnly)
{
    const fs::path local = folder / "local.txt";
    std::ofstream(local) << "secret";
    HttpClient client;
    DownloadTask task = Task("/", "copy.txt");
    task.url = "file://" + local.string();
    EXPECT_EQ(client.Download(task, 10), 1) << "unsupported protocol";
    EXPECT_FALSE(fs::exists(task.localPath));
    EXPECT_EQ(HttpClient::GetRemoteFileSize("file://" + local.string(), 10), -1);
}

} // namespace
