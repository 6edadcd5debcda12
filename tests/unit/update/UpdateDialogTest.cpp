#include "update/UpdateDialog.h"
#include "update/InstallerFileName.h"
#include "update/UpdateCheck.h"
#include "update/signing/InstallerSigning.h"

#include "shell/ShellUtilities.h"

#include "config/AppConfig.h"
#include "fakes/os/FakeOsLayer.h"
#include "ids/CloseCodes.h"
#include "ids/WindowMessageIds.h"
#include "platform/os/TextCodec.h"
#include "platform/ui/ButtonUI.h"
#include "platform/ui/ModalAnswerer.h"
#include "platform/ui/PaintManagerUI.h"
#include "platform/ui/ProgressUI.h"
#include "platform/ui/WindowOps.h"
#include "platform/ui/qt/ControlWidget.h"
#include "support/LocalHttpServer.h"
#include "support/TestConfig.h"
#include "support/WaitUntil.h"

#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QTimer>
#include <atomic>
#include <filesystem>
#include <functional>
#include <gtest/gtest.h>
#include <mutex>
#include <thread>

using namespace platform::ui;

namespace {

constexpr int kInstallerSize = 1000;

// The update server and the installer downloads the dialog talks to.
class UpdateServer {
public:
    explicit UpdateServer(LocalHttpServer::Scheme scheme = LocalHttpServer::Scheme::Http)
        : server(scheme)
    {
        server.Handle("/check.json", [this](const httplib::Request&, httplib::Response& response) {
            std::lock_guard<std::mutex> lock(mutex);
            if (!replyKeyPem.empty())
                response.set_header(kReplySignatureHeader, SignBytes(replyKeyPem, reply).value());
            response.set_content(reply, "application/json");
        });
        // HEAD refused with an error page, as servers that allow GET alone do.
        server.HandleMatching(R"(/head-refused/(\d+)/setup\.sh)",
            [this](const httplib::Request& request, httplib::Response& response) {
                if (request.method == "GET")
                    ++downloads;
                response.status = request.method == "HEAD" ? std::stoi(request.matches[1].str()) : 200;
                response.set_content(std::string(kInstallerSize, '#'), "text/html");
            });
        // The installer in ten steps, so the progress callback sees it grow.
        server.HandleMatching(
            R"(/download/setup[^/]*)", [this](const httplib::Request& request, httplib::Response& response) {
                if (request.method == "GET")
                    ++downloads;
                const bool drop = request.method == "GET" && dropNext.exchange(false);
                response.set_content_provider(kInstallerSize, "application/octet-stream",
                    [drop](size_t offset, size_t, httplib::DataSink& sink) {
                        if (drop && offset >= kInstallerSize / 2)
                            return false;
                        // The headers go out alone first, so the transfer also reports 0%.
                        std::this_thread::sleep_for(std::chrono::milliseconds(offset == 0 ? 50 : 5));
                        std::string block(100, '#');
                        return sink.write(block.data(), block.size());
                    });
            });
        server.Handle(
            "/unsized/setup.sh", [this](const httplib::Request& request, httplib::Response& response) {
                if (request.method == "GET")
                    ++downloads;
                response.set_chunked_content_provider(
                    "application/octet-stream", [](size_t, httplib::DataSink& sink) {
                        sink.done();
                        return true;
                    });
            });
        // One block, then nothing until the test ends.
        server.Handle("/stalled/setup.sh", [this](const httplib::Request&, httplib::Response& response) {
            response.set_content_provider(
                1048576, "application/octet-stream", [this](size_t offset, size_t, httplib::DataSink& sink) {
                    for (int i = 0; offset > 0 && i < 1000 && !server.Stopping(); ++i)
                        std::this_thread::sleep_for(std::chrono::milliseconds(10));
                    std::string block(4096, 's');
                    return sink.write(block.data(), block.size());
                });
        });
        server.Handle(
            "/missing/setup.sh", [this](const httplib::Request& request, httplib::Response& response) {
                // The size is announced, then the download gets an error page.
                if (request.method == "HEAD") {
                    response.set_content(std::string(kInstallerSize, '#'), "application/octet-stream");
                    return;
                }
                ++downloads;
                response.status = 404;
                response.set_content("not found", "text/plain");
            });
        // Accepts the request and answers only when the test ends.
        server.Handle("/silent/setup.sh", [this](const httplib::Request&, httplib::Response& response) {
            for (int i = 0; i < 3000 && !server.Stopping(); ++i)
                std::this_thread::sleep_for(std::chrono::milliseconds(10));
            silentAnswered = true;
            response.set_content("late", "application/octet-stream");
        });
    }

    std::string Url(const std::string& path) const { return server.Url(path); }
    std::string CaFile() const { return server.CaFile(); }
    // Requests for anything but the update reply.
    size_t DownloadRequests() const { return server.Requests().size() - server.RequestCount("/check.json"); }

    // Replies are signed with this key from now on; empty sends them unsigned.
    void SignRepliesWith(const std::string& privateKeyPem)
    {
        std::lock_guard<std::mutex> lock(mutex);
        replyKeyPem = privateKeyPem;
    }

    void Reply(const std::string& text)
    {
        std::lock_guard<std::mutex> lock(mutex);
        reply = text;
    }

    // A reply naming versions, the installer's address and, when given, its signature.
    void Offer(const std::string& version, const std::string& newVersion, const std::string& path,
        const std::string& signature = "")
    {
        Reply(R"({"result":"0","version":")" + version + R"(","min_version":"1.0.0.0","new_version":")"
            + newVersion + R"(","version_name":"n","version_url":")" + Url(path) + R"(")"
            + (signature.empty() ? "" : R"(,"signature":")" + signature + R"(")") + "}");
    }

    std::atomic<int> downloads { 0 };
    std::atomic<bool> dropNext { false };
    std::atomic<bool> silentAnswered { false };

private:
    LocalHttpServer server;
    std::mutex mutex;
    std::string reply;
    std::string replyKeyPem;
};

// Records every progress message the dialog handles, with the bar as it was afterwards.
struct ProgressSeen {
    int percent;
    int barValue;
    CDuiString barText;
};

class RecordingDialog : public UpdateDialog {
public:
    explicit RecordingDialog(std::vector<ProgressSeen>* seen)
        : seen(seen)
    {
    }

    LRESULT HandleCustomMessage(UINT msg, WPARAM wParam, LPARAM lParam, bool& bHandled) override
    {
        LRESULT result = UpdateDialog::HandleCustomMessage(msg, wParam, lParam, bHandled);
        if (msg == WM_UPDATE_PROGRESS) {
            auto* bar = static_cast<CProgressUI*>(FindControl(u"progress_status"));
            seen->push_back({ static_cast<int>(wParam), bar->GetValue(), bar->GetText() });
        }
        return result;
    }

private:
    std::vector<ProgressSeen>* seen;
};

class UpdateDialogTest : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(data.isValid());
        os.fake.userDataFolder = data.path().toStdString();
        CPaintManagerUI::SetResourcePath(u"" ZANDREL_SOURCE_DIR "/skin/Zandrel/");
        WriteConfig(server.Url("/check.json"));
    }

    void TearDown() override { SetModalAnswerer(nullptr); }

    void WriteConfig(const std::string& updateUrl, const std::string& key = "")
    {
        ASSERT_TRUE(TestConfig()
                        .Set("Update", "url", updateUrl)
                        .Set("Update", "key", key)
                        .Write(data.filePath("config.xml").toStdString()));
        AppConfig::ResetInstanceForTests(data.filePath("config.xml").toStdU16String());
    }

    // Opens the dialog modally and runs script once it is up; message boxes are answered
    // with OK and recorded. Returns the dialog's close code.
    UINT RunDialog(std::function<void(UpdateDialog*)> script)
    {
        HWND hwnd = nullptr;
        SetModalAnswerer([&](const ModalInfo& info) -> std::optional<int> {
            if (info.className != u"UpdateCheckDialog_Class") {
                if (auto* dialog = dynamic_cast<UpdateDialog*>(WindowFromHandle(hwnd));
                    dialog && whileMessageShows)
                    whileMessageShows(dialog);
                messages.push_back(info.text);
                return 1;
            }
            QTimer::singleShot(0, [&] {
                if (auto* dialog = dynamic_cast<UpdateDialog*>(WindowFromHandle(hwnd)))
                    script(dialog);
                // Whatever the script left open is closed, so a failed step cannot hang the test.
                if (WindowImplBase* window = WindowFromHandle(hwnd))
                    window->Close(2);
            });
            return std::nullopt;
        });
        auto* dialog = new RecordingDialog(&progress);
        hwnd = dialog->Create(nullptr, u"版本更新", UI_WNDSTYLE_DIALOG, 0);
        if (!hwnd)
            return 0;
        dialog->CenterWindow();
        const UINT code = dialog->ShowModal();
        SetModalAnswerer(nullptr);
        return code;
    }

    // Names a fresh key in the installation's file and signs the server's replies with it; returns
    // the signature over the installer the server serves.
    std::string UseKey()
    {
        const std::optional<SigningKeyPair> pair = GenerateSigningKey();
        EXPECT_TRUE(pair);
        WriteConfig(server.Url("/check.json"), pair->publicKey);
        server.SignRepliesWith(pair->privateKeyPem);
        return SignBytes(pair->privateKeyPem, std::string(kInstallerSize, '#')).value();
    }

    static CDuiString Tip(UpdateDialog* dialog) { return dialog->FindControl(u"lbl_update_tip")->GetText(); }
    static CControlUI* StartButton(UpdateDialog* dialog) { return dialog->FindControl(u"btn_start_update"); }
    // The background the button is drawn with: the skin's blue, or its grey when disabled.
    static QRgb Painted(CControlUI* button)
    {
        return button->Widget()->grab().toImage().pixelColor(1, 1).rgb() & 0xFFFFFF;
    }
    static constexpr QRgb kEnabledLook = 0x3D7EFF;
    static constexpr QRgb kDisabledLook = 0xA3ADBF;

    std::string DownloadPath(const std::string& fileName) const
    {
        return data.path().toStdString() + "/mervok/Korvath/update/" + fileName;
    }

    QTemporaryDir data;
    FakeOsLayerScope os;
    UpdateServer server;
    std::vector<CDuiString> messages;
    std::vector<ProgressSeen> progress;
    std::function<void(UpdateDialog*)> whileMessageShows;
};

// The name comes from the server's reply and ends up in a path that root opens: only what the
// desktop the update path was made for accepts as a file name is kept.
TEST(UpdateDialogRules, InstallerNamesArePlainFileNames)
{
    const std::pair<std::string, std::optional<std::string>> rows[] = {
        { "http://h/d/setup_1.0.0.2.exe", "setup_1.0.0.2.exe" },
        { "http://h/d\\setup.exe", "setup.exe" },
        { "setup.exe", "setup.exe" },
        { "http://h/d/%E5%AE%89%E8%A3%85%20v2.deb", "安装 v2.deb" },
        { "http://h/d/100%.sh", "100%.sh" },
        { "http://h/d/" + std::string(128, 'a'), std::string(128, 'a') },
        { "http://h/d/", std::nullopt },
        { "http://h/get?f=setup.exe", std::nullopt },
        { "http://h/d/x\"--evil-arg=from-update-server", std::nullopt },
        { "http://h/d/x%22--evil", std::nullopt },
        { "http://h/d/..%2F..%2Fbin%2Fsh", std::nullopt },
        { "http://h/d/a%5Cb", std::nullopt },
        { "http://h/d/..", std::nullopt },
        { "http://h/d/%2E%2E", std::nullopt },
        { "http://h/d/.profile", std::nullopt },
        { "http://h/d/-rf", std::nullopt },
        { "http://h/d/a%0Ab", std::nullopt },
        { "http://h/d/a%7Fb", std::nullopt },
        { "http://h/d/a%C2%85b", std::nullopt },
        { "http://h/d/a%FFb", std::nullopt },
        { "http://h/d/a%C0%AFb", std::nullopt },
        { "http://h/d/a%ED%A0%80b", std::nullopt },
        { "http://h/d/a:b", std::nullopt },
        { "http://h/d/a<b>", std::nullopt },
        { "http://h/d/a|b", std::nullopt },
        { "http://h/d/a*b", std::nullopt },
        { "http://h/d/" + std::string(129, 'a'), std::nullopt },
        { "http://h/d/" + std::string(300, 'a'), std::nullopt },
    };
    for (const auto& [address, name] : rows)
        EXPECT_EQ(InstallerFileName(address), name) << address;
}

TEST(UpdateDialogRules, Percent)
{
    EXPECT_EQ(UpdateDialog::ProgressPercent(0, 0), -1);
    EXPECT_EQ(UpdateDialog::ProgressPercent(-1, 10), -1);
    EXPECT_EQ(UpdateDialog::ProgressPercent(1000, 0), 0);
    EXPECT_EQ(UpdateDialog::ProgressPercent(3, 2), 66);
    EXPECT_EQ(UpdateDialog::ProgressPercent(1000, 999), 99);
    EXPECT_EQ(UpdateDialog::ProgressPercent(1000, 1000), 100);
    // Large files must not overflow an integer product.
    EXPECT_EQ(UpdateDialog::ProgressPercent(4e9, 2e9), 50);
}

TEST_F(UpdateDialogTest, CheckOutcomesSetTipAndButton)
{
    server.Offer("1.0.0.3", "99.0.0.0", "/download/setup_1.0.0.2.sh");
    RunDialog([&](UpdateDialog* dialog) {
        EXPECT_EQ(dialog->FindControl(u"caption")->GetText(),
            u"当前版本号：" ZANDREL_PROJECT_VERSION "  (201509241055)");
        EXPECT_EQ(Tip(dialog), u"有新版本[99.0.0.0]-[n]，快快更新啦！ ");
        EXPECT_TRUE(StartButton(dialog)->IsEnabled());
        EXPECT_EQ(Painted(StartButton(dialog)), kEnabledLook);
        EXPECT_EQ(StartButton(dialog)->GetUserData(),
            platform::os::Utf8ToUtf16(server.Url("/download/setup_1.0.0.2.sh")));
    });

    server.Offer(ZANDREL_PROJECT_VERSION, ZANDREL_PROJECT_VERSION, "/download/setup_1.0.0.2.sh");
    RunDialog([&](UpdateDialog* dialog) {
        EXPECT_EQ(Tip(dialog), u"您使用的是最新版本！");
        EXPECT_FALSE(StartButton(dialog)->IsEnabled());
        EXPECT_EQ(Painted(StartButton(dialog)), kDisabledLook);
    });
    EXPECT_TRUE(messages.empty());

    server.Reply("<html>busy</html>");
    RunDialog([&](UpdateDialog* dialog) {
        EXPECT_EQ(Tip(dialog), u"正在检查新版本...");
        EXPECT_FALSE(StartButton(dialog)->IsEnabled());
        EXPECT_EQ(Painted(StartButton(dialog)), kDisabledLook);
    });
    EXPECT_EQ(messages, std::vector<CDuiString> { u"访问升级服务器失败！" });
}

TEST_F(UpdateDialogTest, UnreachableServerLeavesTheLayoutAndCloseGivesTwo)
{
    WriteConfig("http://127.0.0.1:1/check.json");
    UINT code = RunDialog([&](UpdateDialog* dialog) {
        EXPECT_EQ(Tip(dialog), u"正在检查新版本...");
        EXPECT_FALSE(StartButton(dialog)->IsEnabled());
        EXPECT_TRUE(SimulateClick(dialog->FindControl(u"closebtn")));
    });
    EXPECT_EQ(code, 2u);
    EXPECT_TRUE(messages.empty());
}

TEST_F(UpdateDialogTest, UnannouncedSizeStartsNoDownload)
{
    server.Offer("1.0.0.3", "99.0.0.0", "/unsized/setup.sh");
    RunDialog([&](UpdateDialog* dialog) {
        ASSERT_TRUE(SimulateClick(StartButton(dialog)));
        EXPECT_TRUE(WaitUntil([&] { return StartButton(dialog)->IsEnabled(); }, 15000));
    });
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0],
        u"文件[" + platform::os::Utf8ToUtf16(server.Url("/unsized/setup.sh")) + u"]下载大小不正常！");
    EXPECT_EQ(server.downloads, 0);
    EXPECT_TRUE(os.fake.launches.empty());
}

// A dropped connection leads to Retry; the next press downloads afresh, and the
// finished installer is shown, made executable and launched elevated.
TEST_F(UpdateDialogTest, RetryAfterDroppedConnectionThenInstall)
{
    const std::string signature = UseKey();
    server.Offer("99.0.0.0", "1.0.0.0", "/download/setup_1.0.0.2.sh", signature);
    server.dropNext = true;
    const std::string path = DownloadPath("setup_1.0.0.2.sh");
    std::vector<QRgb> looksWhenDone;
    whileMessageShows = [&](UpdateDialog* dialog) { looksWhenDone.push_back(Painted(StartButton(dialog))); };
    UINT code = RunDialog([&](UpdateDialog* dialog) {
        ASSERT_TRUE(SimulateClick(StartButton(dialog)));
        EXPECT_FALSE(StartButton(dialog)->IsEnabled());
        EXPECT_EQ(Painted(StartButton(dialog)), kDisabledLook) << "downloading";
        EXPECT_TRUE(WaitUntil([&] { return Tip(dialog) == u"更新文件下载中，请稍候......"; }, 15000));
        ASSERT_TRUE(WaitUntil([&] { return StartButton(dialog)->IsEnabled(); }, 15000));
        EXPECT_EQ(Tip(dialog), u"有新版本，快快更新啦！");
        EXPECT_TRUE(std::filesystem::exists(path)) << "the partial file stays";
        EXPECT_LT(std::filesystem::file_size(path), static_cast<uintmax_t>(kInstallerSize));

        HWND hwnd = dialog->GetHWND();
        ASSERT_TRUE(SimulateClick(StartButton(dialog)));
        ASSERT_TRUE(WaitUntil([&] { return !IsWindow(hwnd); }, 15000));
    });
    EXPECT_EQ(code, kCloseAccepted);
    EXPECT_EQ(server.downloads, 2);
    EXPECT_EQ(messages, std::vector<CDuiString> { u"文件下载成功，点击确定将自动安装" });
    EXPECT_EQ(looksWhenDone, std::vector<QRgb> { kDisabledLook });
    EXPECT_EQ(std::filesystem::file_size(path), static_cast<uintmax_t>(kInstallerSize));
    EXPECT_NE(std::filesystem::status(path).permissions() & std::filesystem::perms::owner_exec,
        std::filesystem::perms::none);
    EXPECT_EQ(os.fake.revealedPaths, std::vector<std::string> { path });
    ASSERT_EQ(os.fake.launches.size(), 1u);
    EXPECT_EQ(os.fake.launches[0].program, platform::os::Utf16ToUtf8(InstallHelperPath()));
    EXPECT_EQ(os.fake.launches[0].arguments, (std::vector<std::string> { path, signature }));
    EXPECT_TRUE(os.fake.launches[0].elevated);
}

TEST_F(UpdateDialogTest, ErrorPageIsAFailedDownloadAndNothingIsLaunched)
{
    server.Offer("99.0.0.0", "99.0.0.0", "/missing/setup.sh");
    RunDialog([&](UpdateDialog* dialog) {
        ASSERT_TRUE(SimulateClick(StartButton(dialog)));
        ASSERT_TRUE(
            WaitUntil([&] { return server.downloads == 1 && StartButton(dialog)->IsEnabled(); }, 15000));
        EXPECT_EQ(Tip(dialog), u"有新版本，快快更新啦！");
    });
    EXPECT_TRUE(messages.empty());
    EXPECT_TRUE(os.fake.launches.empty());
}

// The size request waits on the worker: the window keeps answering and closes at once.
TEST_F(UpdateDialogTest, SilentServerLeavesTheWindowAnswering)
{
    server.Offer("99.0.0.0", "99.0.0.0", "/silent/setup.sh");
    UINT code = RunDialog([&](UpdateDialog* dialog) {
        ASSERT_TRUE(SimulateClick(StartButton(dialog)));
        EXPECT_FALSE(server.silentAnswered) << "the click waited for the server";
        EXPECT_FALSE(StartButton(dialog)->IsEnabled());
        HWND hwnd = dialog->GetHWND();
        ASSERT_TRUE(SimulateClick(dialog->FindControl(u"closebtn")));
        ASSERT_TRUE(WaitUntil([&] { return !IsWindow(hwnd); }, 10000));
        EXPECT_FALSE(server.silentAnswered);
    });
    EXPECT_EQ(code, 2u);
    EXPECT_TRUE(messages.empty());
    EXPECT_EQ(server.downloads, 0);
}

TEST_F(UpdateDialogTest, FailedDownloadWithoutNewerVersionSaysNoUpdate)
{
    // Offered through new_version only, so a failure finds nothing newer in version.
    server.Offer(ZANDREL_PROJECT_VERSION, "99.0.0.0", "/download/setup.sh");
    server.dropNext = true;
    RunDialog([&](UpdateDialog* dialog) {
        ASSERT_TRUE(SimulateClick(StartButton(dialog)));
        ASSERT_TRUE(WaitUntil([&] { return StartButton(dialog)->IsEnabled(); }, 15000));
        EXPECT_EQ(Tip(dialog), u"暂无更新，下次再来吧！");
    });
    EXPECT_TRUE(os.fake.launches.empty());
}

TEST_F(UpdateDialogTest, ProgressRunsToHundredAndTheNameIsDecoded)
{
    server.Offer("99.0.0.0", "99.0.0.0", "/download/setup%20v2.sh", UseKey());
    UINT code = RunDialog([&](UpdateDialog* dialog) {
        HWND hwnd = dialog->GetHWND();
        ASSERT_TRUE(SimulateClick(StartButton(dialog)));
        ASSERT_TRUE(WaitUntil([&] { return !IsWindow(hwnd); }, 15000));
    });
    EXPECT_EQ(code, kCloseAccepted);
    ASSERT_FALSE(progress.empty());
    EXPECT_EQ(progress.front().percent, 0);
    EXPECT_EQ(progress.back().percent, 100);
    for (size_t i = 0; i < progress.size(); ++i) {
        EXPECT_EQ(progress[i].barValue, progress[i].percent);
        EXPECT_EQ(progress[i].barText, platform::os::Utf8ToUtf16(std::to_string(progress[i].percent)) + u"%");
        if (i > 0) {
            EXPECT_GT(progress[i].percent, progress[i - 1].percent) << "only changes are posted";
        }
    }
    const std::string path = DownloadPath("setup v2.sh");
    EXPECT_EQ(std::filesystem::file_size(path), static_cast<uintmax_t>(kInstallerSize));
    ASSERT_EQ(os.fake.launches.size(), 1u);
    EXPECT_EQ(os.fake.launches[0].arguments.at(0), path);
}

TEST_F(UpdateDialogTest, ClosingDuringSlowDownloadStopsPromptlyAndKeepsPartialFile)
{
    server.Offer("99.0.0.0", "99.0.0.0", "/stalled/setup.sh");
    const std::string path = DownloadPath("setup.sh");
    qint64 closingMs = -1;
    UINT code = RunDialog([&](UpdateDialog* dialog) {
        ASSERT_TRUE(SimulateClick(StartButton(dialog)));
        ASSERT_TRUE(WaitUntil([&] { return std::filesystem::exists(path); }, 10000));
        HWND hwnd = dialog->GetHWND();
        QElapsedTimer timer;
        timer.start();
        ASSERT_TRUE(SimulateClick(dialog->FindControl(u"closebtn")));
        ASSERT_TRUE(WaitUntil([&] { return !IsWindow(hwnd); }, 10000));
        closingMs = timer.elapsed();
    });
    EXPECT_EQ(code, 2u);
    EXPECT_GE(closingMs, 0);
    EXPECT_LT(closingMs, 3000);
    EXPECT_GT(std::filesystem::file_size(path), 0u);
    EXPECT_TRUE(os.fake.launches.empty());
}

// With a key in the installation's file only a signed reply offers anything, and only a file signed
// by it is shown, made executable and handed to the install helper; anything else is a failed
// check or download whose file is gone. Without a key, plain http vouches for nothing: the file
// is kept and shown, and nothing runs.
TEST_F(UpdateDialogTest, InstallerRunsOnlyWithTheConfiguredKeysSignature)
{
    const std::optional<SigningKeyPair> pair = GenerateSigningKey();
    const std::optional<SigningKeyPair> other = GenerateSigningKey();
    ASSERT_TRUE(pair && other);
    const std::string installer(kInstallerSize, '#');
    const std::string valid = SignBytes(pair->privateKeyPem, installer).value();
    enum class Outcome { Launched, ShownOnly, Rejected, NotOffered };
    struct Case {
        const char* what;
        std::string key;
        std::string replyKeyPem;
        std::string signature;
        Outcome outcome;
    };
    const Case cases[] = {
        { "valid signature", pair->publicKey, pair->privateKeyPem, valid, Outcome::Launched },
        { "another file's signature", pair->publicKey, pair->privateKeyPem,
            SignBytes(pair->privateKeyPem, installer + "#").value(), Outcome::Rejected },
        { "another key's signature", pair->publicKey, pair->privateKeyPem,
            SignBytes(other->privateKeyPem, installer).value(), Outcome::Rejected },
        { "truncated signature", pair->publicKey, pair->privateKeyPem, valid.substr(0, 80),
            Outcome::Rejected },
        { "signature not base64", pair->publicKey, pair->privateKeyPem, std::string(88, '!'),
            Outcome::Rejected },
        { "no signature", pair->publicKey, pair->privateKeyPem, "", Outcome::Rejected },
        { "reply unsigned", pair->publicKey, "", valid, Outcome::NotOffered },
        { "reply signed by another key", pair->publicKey, other->privateKeyPem, valid, Outcome::NotOffered },
        { "a key that is no key", "bm90IGEga2V5", pair->privateKeyPem, valid, Outcome::NotOffered },
        { "no key over http", "", "", "", Outcome::ShownOnly },
        { "no key, a signature that is no signature", "", "", "bm90IGEgc2lnbmF0dXJl", Outcome::ShownOnly },
    };
    const std::string path = DownloadPath("setup.sh");
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        messages.clear();
        os.fake.launches.clear();
        os.fake.revealedPaths.clear();
        std::filesystem::remove(path);
        WriteConfig(server.Url("/check.json"), c.key);
        server.SignRepliesWith(c.replyKeyPem);
        server.Offer("99.0.0.0", "99.0.0.0", "/download/setup.sh", c.signature);
        CDuiString tipAfterDownload;
        bool enabledAgain = false;
        bool offered = false;
        const int downloadsBefore = server.downloads;
        const UINT code = RunDialog([&](UpdateDialog* dialog) {
            HWND hwnd = dialog->GetHWND();
            offered = StartButton(dialog)->IsEnabled();
            if (!offered)
                return;
            ASSERT_TRUE(SimulateClick(StartButton(dialog)));
            ASSERT_TRUE(WaitUntil(
                [&] { return !IsWindow(hwnd) || StartButton(dialog)->IsEnabled() || !messages.empty(); },
                15000));
            if (IsWindow(hwnd)) {
                tipAfterDownload = Tip(dialog);
                enabledAgain = StartButton(dialog)->IsEnabled();
            }
        });
        EXPECT_EQ(offered, c.outcome != Outcome::NotOffered);
        switch (c.outcome) {
        case Outcome::Launched:
            EXPECT_EQ(code, kCloseAccepted);
            EXPECT_EQ(messages, std::vector<CDuiString> { u"文件下载成功，点击确定将自动安装" });
            ASSERT_EQ(os.fake.launches.size(), 1u);
            EXPECT_EQ(os.fake.launches[0].arguments, (std::vector<std::string> { path, c.signature }));
            EXPECT_EQ(std::filesystem::file_size(path), static_cast<uintmax_t>(kInstallerSize));
            break;
        case Outcome::ShownOnly:
            EXPECT_EQ(code, 2u) << "the program goes on; the user installs";
            EXPECT_EQ(messages, std::vector<CDuiString> { u"安装包来源未经验证，请确认后手动安装！" });
            EXPECT_EQ(tipAfterDownload, u"新版本下载成功！");
            EXPECT_FALSE(enabledAgain);
            EXPECT_TRUE(os.fake.launches.empty());
            EXPECT_EQ(os.fake.revealedPaths, std::vector<std::string> { path });
            EXPECT_EQ(std::filesystem::file_size(path), static_cast<uintmax_t>(kInstallerSize));
            break;
        case Outcome::Rejected:
            EXPECT_EQ(code, 2u);
            EXPECT_TRUE(enabledAgain) << "a rejected installer may be downloaded again";
            EXPECT_EQ(tipAfterDownload, u"安装包校验失败，请稍后重试！");
            EXPECT_EQ(messages, std::vector<CDuiString> { u"安装包校验失败，请稍后重试！" });
            EXPECT_TRUE(os.fake.launches.empty());
            EXPECT_TRUE(os.fake.revealedPaths.empty());
            EXPECT_FALSE(std::filesystem::exists(path));
            break;
        case Outcome::NotOffered:
            EXPECT_TRUE(messages.empty()) << "a failed check says nothing";
            EXPECT_EQ(server.downloads, downloadsBefore);
            break;
        }
    }
}

// Without a key, an installer offered in a reply over verified https and itself fetched over https
// goes to the install helper; https for the reply alone is not enough.
TEST_F(UpdateDialogTest, WithoutAKeyOnlyHttpsAllTheWayIsLaunched)
{
    UpdateServer tls(LocalHttpServer::Scheme::Https);
    HttpClient::SetDefaultCertificateAuthorityFile(tls.CaFile());
    WriteConfig(tls.Url("/check.json"));
    const std::string path = DownloadPath("setup.sh");
    for (const bool installerOverHttps : { true, false }) {
        SCOPED_TRACE(installerOverHttps ? "installer over https" : "installer over http");
        messages.clear();
        os.fake.launches.clear();
        tls.Reply(R"({"version":"99.0.0.0","new_version":"99.0.0.0","version_url":")"
            + (installerOverHttps ? tls : server).Url("/download/setup.sh") + R"("})");
        const UINT code = RunDialog([&](UpdateDialog* dialog) {
            HWND hwnd = dialog->GetHWND();
            ASSERT_TRUE(SimulateClick(StartButton(dialog)));
            ASSERT_TRUE(WaitUntil([&] { return !IsWindow(hwnd) || !messages.empty(); }, 15000));
        });
        if (installerOverHttps) {
            EXPECT_EQ(code, kCloseAccepted);
            ASSERT_EQ(os.fake.launches.size(), 1u);
            EXPECT_EQ(os.fake.launches[0].arguments, std::vector<std::string> { path });
        } else {
            EXPECT_EQ(messages, std::vector<CDuiString> { u"安装包来源未经验证，请确认后手动安装！" });
            EXPECT_TRUE(os.fake.launches.empty());
        }
    }
    HttpClient::SetDefaultCertificateAuthorityFile("");
}

// Names from the reply that could not be a file's are a failed download before anything is asked
// of the server or written.
TEST_F(UpdateDialogTest, HostileInstallerNamesAreFailedDownloads)
{
    for (const std::string& path : { std::string(R"(/download/setupx\"--evil-arg=from-update-server)"),
             std::string("/download/..%2F..%2Fsetup.sh"), std::string("/download/.."),
             std::string("/download/-setup.sh"), std::string("/download/setup%0A.sh"),
             std::string("/download/setup\\u0007.sh"), std::string("/download/setup.sh?token=7"),
             "/download/" + std::string(300, 's') }) {
        SCOPED_TRACE(path);
        server.Offer("99.0.0.0", "99.0.0.0", path, UseKey());
        RunDialog([&](UpdateDialog* dialog) {
            ASSERT_TRUE(SimulateClick(StartButton(dialog)));
            EXPECT_TRUE(StartButton(dialog)->IsEnabled());
            EXPECT_EQ(Tip(dialog), u"有新版本，快快更新啦！");
        });
    }
    EXPECT_EQ(server.DownloadRequests(), 0u);
    EXPECT_TRUE(messages.empty());
    EXPECT_FALSE(std::filesystem::exists(data.path().toStdString() + "/mervok")) << "nothing is written";
    EXPECT_TRUE(os.fake.launches.empty());
}

// A HEAD answered with an error page gives no size: the size message, and no download.
TEST_F(UpdateDialogTest, RefusedSizeRequestStartsNoDownload)
{
    for (const char* status : { "404", "405", "501" }) {
        SCOPED_TRACE(status);
        messages.clear();
        const std::string path = std::string("/head-refused/") + status + "/setup.sh";
        server.Offer("99.0.0.0", "99.0.0.0", path);
        RunDialog([&](UpdateDialog* dialog) {
            ASSERT_TRUE(SimulateClick(StartButton(dialog)));
            ASSERT_TRUE(WaitUntil([&] { return !messages.empty(); }, 15000));
        });
        EXPECT_EQ(messages,
            std::vector<CDuiString> {
                u"文件[" + platform::os::Utf8ToUtf16(server.Url(path)) + u"]下载大小不正常！" });
    }
    EXPECT_EQ(server.downloads, 0);
    EXPECT_TRUE(os.fake.launches.empty());
}

} // namespace
