#include "update/HttpClient.h"
#include "ClientTestServers.h"
#include "config/AppConfig.h"
#include "update/UpdateCheck.h"

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
    EXPECT_EQ(HttpClient::GetRemoteFileSize(server.Url("/missing"), 10), 21)
        << "an error page is a body like any other";
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
        old << std::string(2 * ClientTestServer::kFileSize, 'o');
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
    std::ofstream(configFile)
        << "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n<config><Channel/><Update url=\""
        << server.Url("/update.json") << "\"/><Notify/><Account/></config>\n";
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
