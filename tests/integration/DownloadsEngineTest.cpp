#include "EngineMainFrameFixture.h"

#include "browser/PartialDownloads.h"

#include "fakes/os/FakeOsLayer.h"
#include "platform/engine/SaveLocation.h"
#include "platform/os/TextCodec.h"
#include "platform/ui/ModalAnswerer.h"
#include "support/WaitUntil.h"
#include "ui/DownloadListWindow.h"

#include <QDir>
#include <atomic>
#include <condition_variable>
#include <fstream>
#include <gtest/gtest.h>
#include <memory>
#include <mutex>

using namespace platform::ui;

namespace {

constexpr size_t kFileBytes = size_t(256) * 1024;
constexpr size_t kFirstPart = size_t(64) * 1024;

// Holds the body after its first part until the test lets the rest go (or the connection drop).
struct BodyGate {
    std::mutex lock;
    std::condition_variable changed;
    bool released = false;
    // The client hung up: a write of the rest failed.
    std::atomic<bool> clientGone { false };

    void Release()
    {
        std::lock_guard<std::mutex> guard(lock);
        released = true;
        changed.notify_all();
    }
    void Wait()
    {
        std::unique_lock<std::mutex> guard(lock);
        changed.wait(guard, [this] { return released; });
    }
};

enum class AfterFirstPart { Rest, Drop, CancelInList };

struct DownloadCase {
    const char* name;
    AfterFirstPart then;
    const char16_t* endText;
};

// A download from the page of a tab, followed in the caption's list: its partial progress,
// how it ends, and the file manager shown the finished file.
class DownloadsEngineTest : public EngineMainFrameFixture,
                            public ::testing::WithParamInterface<DownloadCase> {
protected:
    void SetUp() override
    {
        site.Page("/", "<html><head><title>Lobby</title></head><body>lobby</body></html>");
        auto gate = this->gate;
        const AfterFirstPart then = GetParam().then;
        site.Handle("/file.bin", [gate, then](const httplib::Request&, httplib::Response& response) {
            response.set_header("Content-Disposition", "attachment; filename=\"file.bin\"");
            response.set_content_provider(kFileBytes, "application/octet-stream",
                [gate, then](size_t offset, size_t, httplib::DataSink& sink) {
                    const std::string part(offset == 0 ? kFirstPart : kFileBytes - kFirstPart, 'z');
                    if (offset > 0) {
                        gate->Wait();
                        if (then == AfterFirstPart::Drop)
                            return false;
                    }
                    // A client still reading takes the rest; one that hung up fails a write once
                    // the socket's buffers are full, well before this bound.
                    for (int round = 0; then == AfterFirstPart::CancelInList && offset > 0 && round < 256;
                         ++round) {
                        if (!sink.write(part.data(), part.size())) {
                            gate->clientGone = true;
                            return false;
                        }
                    }
                    sink.write(part.data(), part.size());
                    return true;
                });
        });
        ASSERT_TRUE(target.isValid());
        savedPath = target.filePath(QStringLiteral("file.bin")).toStdString();
        platform::engine::SetSaveLocationChooser([this](const std::string&) { return savedPath; });
        OpenFrame();
    }

    void TearDown() override
    {
        gate->Release();
        platform::engine::SetSaveLocationChooser({});
        EngineMainFrameFixture::TearDown();
    }

    CControlUI* RowControl(const char16_t* name)
    {
        DownloadListWindow* list = frame->Downloads().OpenList();
        const auto& entries = frame->Downloads().List().Entries();
        CControlUI* row = list && !entries.empty() ? list->RowOf(entries.front().id) : nullptr;
        return row ? row->FindControl(name) : nullptr;
    }

    std::u16string RowStatus()
    {
        CControlUI* status = RowControl(u"lbl_download_status");
        return status ? status->GetText() : std::u16string();
    }

    static std::vector<std::string> ListedPartials()
    {
        std::vector<std::string> listed;
        std::ifstream journal(PartialDownloads::DefaultJournal());
        for (std::string line; std::getline(journal, line);)
            listed.push_back(line);
        return listed;
    }

    std::shared_ptr<BodyGate> gate = std::make_shared<BodyGate>();
    QTemporaryDir target;
    std::string savedPath;
};

TEST_P(DownloadsEngineTest, ListShowsProgressThenTheEnd)
{
    CControlUI* button = frame->FindControl(u"btn_downloads");
    ASSERT_NE(button, nullptr);
    EXPECT_FALSE(button->IsVisible()) << "no download yet";
    ASSERT_TRUE(WaitUntil(
        [&] { return frame->Tabs().TabAt(0) && BrowserOf(0) && !BrowserOf(0)->IsLoading(); }, 20000));
    BrowserOf(0)->GetMainFrame()->LoadURL(site.Url("/file.bin"));

    ASSERT_TRUE(WaitUntil(
        [&] {
            const auto& entries = frame->Downloads().List().Entries();
            return !entries.empty() && entries.front().receivedBytes >= int64_t(kFirstPart);
        },
        20000));
    EXPECT_TRUE(button->IsVisible());
    EXPECT_EQ(button->GetText(), u"↓ 25%");
    // The engine writes beside the target until the end; the program lists that file for the next
    // start, in case this run is killed.
    const std::string partial = savedPath + ".download";
    EXPECT_TRUE(QFileInfo::exists(QString::fromStdString(partial)));
    EXPECT_EQ(ListedPartials(), std::vector<std::string> { partial });
    ASSERT_TRUE(SimulateClick(button));
    ASSERT_NE(frame->Downloads().OpenList(), nullptr);
    EXPECT_EQ(RowStatus(), u"64.0 KB / 256.0 KB (25%)");
    EXPECT_EQ(RowControl(u"lbl_download_name")->GetText(), u"file.bin");
    EXPECT_TRUE(RowControl(u"btn_cancel_download")->IsVisible());
    EXPECT_FALSE(RowControl(u"btn_open_folder")->IsVisible());

    const AfterFirstPart then = GetParam().then;
    if (then == AfterFirstPart::CancelInList)
        ASSERT_TRUE(SimulateClick(RowControl(u"btn_cancel_download")));
    else
        gate->Release();
    ASSERT_TRUE(WaitUntil([&] { return RowStatus() == GetParam().endText; }, 20000))
        << platform::os::Utf16ToUtf8(RowStatus());
    EXPECT_EQ(button->GetText(), u"↓");
    EXPECT_FALSE(RowControl(u"btn_cancel_download")->IsVisible());
    EXPECT_TRUE(ListedPartials().empty());
    // The engine removes a cancelled download's file on its own thread, after it reports the end.
    EXPECT_TRUE(WaitUntil([&] { return !QFileInfo::exists(QString::fromStdString(partial)); }, 20000));
    if (then == AfterFirstPart::CancelInList) {
        // Nothing of it stays behind, and the server is not kept sending.
        EXPECT_TRUE(WaitUntil(
            [&] { return QDir(target.path()).isEmpty(QDir::NoDotAndDotDot | QDir::AllEntries); }, 20000))
            << QDir(target.path()).entryList(QDir::NoDotAndDotDot | QDir::AllEntries).join(' ').toStdString();
        gate->Release();
        EXPECT_TRUE(WaitUntil([&] { return gate->clientGone.load(); }, 20000));
        EXPECT_EQ(button->GetText(), u"↓");
    }
    const bool complete = then == AfterFirstPart::Rest;
    EXPECT_EQ(RowControl(u"btn_open_folder")->IsVisible(), complete);
    if (!complete)
        return;
    EXPECT_EQ(QFileInfo(QString::fromStdString(savedPath)).size(), qint64(kFileBytes));
    FakeOsLayerScope os;
    ASSERT_TRUE(SimulateClick(RowControl(u"btn_open_folder")));
    EXPECT_EQ(os.fake.revealedPaths, std::vector<std::string> { savedPath });
}

INSTANTIATE_TEST_SUITE_P(Ends, DownloadsEngineTest,
    ::testing::Values(DownloadCase { "Complete", AfterFirstPart::Rest, u"完成" },
        DownloadCase { "Dropped", AfterFirstPart::Drop, u"失败" },
        DownloadCase { "Cancelled", AfterFirstPart::CancelInList, u"已取消" }),
    [](const ::testing::TestParamInfo<DownloadCase>& info) { return std::string(info.param.name); });

} // namespace
