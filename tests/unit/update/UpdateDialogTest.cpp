#include "update/UpdateDialog.h"
#include "update/signing/InstallerSigning.h"

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
#include "support/WaitUntil.h"

#include <QElapsedTimer>
#include <QFile>
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
    UpdateServer()
    {
        server.Handle("/check.json", [this](const httplib::Request&, httplib::Response& response) {
            std::lock_guard<std::mutex> lock(mutex);
            response.set_content(reply, "application/json");
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
                if (request.method == "GET")
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
        QFile file(data.filePath("config.xml"));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(("<config><Channel/><Update url=\"" + updateUrl + "\" key=\"" + key
            + "\"/><Notify powerboot=\"0\" optionexit=\"0\"/><Account/></config>")
                       .c_str());
        file.close();
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

TEST(UpdateDialogRules, FileNameAndPercent)
{
    EXPECT_EQ(UpdateDialog::FileNameOfUrl(u"http://h/d/setup_1.0.0.2.exe"), u"setup_1.0.0.2.exe");
    EXPECT_EQ(UpdateDialog::FileNameOfUrl(u"http://h/d\\setup.exe"), u"setup.exe");
    EXPECT_EQ(UpdateDialog::FileNameOfUrl(u"http://h/get?f=setup.exe"), u"get?f=setup.exe");
    EXPECT_EQ(UpdateDialog::FileNameOfUrl(u"setup.exe"), u"setup.exe");
    EXPECT_EQ(UpdateDialog::FileNameOfUrl(u"http://h/d/"), u"");

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
        EXPECT_EQ(dialog->FindControl(u"caption")->GetText(), u"当前版本号：1.0.0.0  (201509241055)");
        EXPECT_EQ(Tip(dialog), u"有新版本[99.0.0.0]-[n]，快快更新啦！ ");
        EXPECT_TRUE(StartButton(dialog)->IsEnabled());
        EXPECT_EQ(Painted(StartButton(dialog)), kEnabledLook);
        EXPECT_EQ(StartButton(dialog)->GetUserData(),
            platform::os::Utf8ToUtf16(server.Url("/download/setup_1.0.0.2.sh")));
    });

    server.Offer("1.0.0.0", "1.0.0.0", "/download/setup_1.0.0.2.sh");
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
    server.Offer("99.0.0.0", "1.0.0.0", "/download/setup_1.0.0.2.sh");
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
    EXPECT_EQ(os.fake.launches[0].program, path);
    EXPECT_TRUE(os.fake.launches[0].arguments.empty());
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
    server.Offer("1.0.0.0", "99.0.0.0", "/download/setup.sh");
    server.dropNext = true;
    RunDialog([&](UpdateDialog* dialog) {
        ASSERT_TRUE(SimulateClick(StartButton(dialog)));
        ASSERT_TRUE(WaitUntil([&] { return StartButton(dialog)->IsEnabled(); }, 15000));
        EXPECT_EQ(Tip(dialog), u"暂无更新，下次再来吧！");
    });
    EXPECT_TRUE(os.fake.launches.empty());
}

TEST_F(UpdateDialogTest, ProgressRunsToHundredAndQueryStaysInTheFileName)
{
    server.Offer("99.0.0.0", "99.0.0.0", "/download/setup.sh?token=7");
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
    const std::string path = DownloadPath("setup.sh?token=7");
    EXPECT_EQ(std::filesystem::file_size(path), static_cast<uintmax_t>(kInstallerSize));
    ASSERT_EQ(os.fake.launches.size(), 1u);
    EXPECT_EQ(os.fake.launches[0].program, path);
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

// With a key in the installation's file only a file signed by it is shown, made executable and
// launched; anything else is a failed download whose file is gone. Without a key, as before.
TEST_F(UpdateDialogTest, InstallerRunsOnlyWithTheConfiguredKeysSignature)
{
    const std::optional<SigningKeyPair> pair = GenerateSigningKey();
    const std::optional<SigningKeyPair> other = GenerateSigningKey();
    ASSERT_TRUE(pair && other);
    const std::string installer(kInstallerSize, '#');
    const std::string valid = SignBytes(pair->privateKeyPem, installer).value();
    struct Case {
        const char* what;
        std::string key;
        std::string signature;
        bool launched;
    };
    const Case cases[] = {
        { "valid signature", pair->publicKey, valid, true },
        { "another file's signature", pair->publicKey,
            SignBytes(pair->privateKeyPem, installer + "#").value(), false },
        { "another key's signature", pair->publicKey, SignBytes(other->privateKeyPem, installer).value(),
            false },
        { "truncated signature", pair->publicKey, valid.substr(0, 80), false },
        { "signature not base64", pair->publicKey, std::string(88, '!'), false },
        { "no signature", pair->publicKey, "", false },
        { "a key that is no key", "bm90IGEga2V5", valid, false },
        { "no key, no signature", "", "", true },
        { "no key, a signature that is no signature", "", "bm90IGEgc2lnbmF0dXJl", true },
    };
    const std::string path = DownloadPath("setup.sh");
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        messages.clear();
        os.fake.launches.clear();
        os.fake.revealedPaths.clear();
        WriteConfig(server.Url("/check.json"), c.key);
        server.Offer("99.0.0.0", "99.0.0.0", "/download/setup.sh", c.signature);
        CDuiString tipAfterDownload;
        bool enabledAgain = false;
        const UINT code = RunDialog([&](UpdateDialog* dialog) {
            HWND hwnd = dialog->GetHWND();
            ASSERT_TRUE(SimulateClick(StartButton(dialog)));
            ASSERT_TRUE(
                WaitUntil([&] { return !IsWindow(hwnd) || StartButton(dialog)->IsEnabled(); }, 15000));
            if (IsWindow(hwnd)) {
                tipAfterDownload = Tip(dialog);
                enabledAgain = true;
            }
        });
        if (c.launched) {
            EXPECT_EQ(code, kCloseAccepted);
            EXPECT_EQ(messages, std::vector<CDuiString> { u"文件下载成功，点击确定将自动安装" });
            ASSERT_EQ(os.fake.launches.size(), 1u);
            EXPECT_EQ(os.fake.launches[0].program, path);
            EXPECT_EQ(std::filesystem::file_size(path), static_cast<uintmax_t>(kInstallerSize));
            continue;
        }
        EXPECT_EQ(code, 2u);
        EXPECT_TRUE(enabledAgain) << "a rejected installer may be downloaded again";
        EXPECT_EQ(tipAfterDownload, u"安装包校验失败，请稍后重试！");
        EXPECT_EQ(messages, std::vector<CDuiString> { u"安装包校验失败，请稍后重试！" });
        EXPECT_TRUE(os.fake.launches.empty());
        EXPECT_TRUE(os.fake.revealedPaths.empty());
        EXPECT_FALSE(std::filesystem::exists(path));
    }
}

} // namespace
