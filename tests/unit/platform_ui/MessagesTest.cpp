#include "TestWindow.h"
#include "support/WaitUntil.h"

#include "platform/ui/ButtonUI.h"
#include "platform/ui/WindowMessages.h"
#include "platform/ui/WindowOps.h"

#include <atomic>
#include <gtest/gtest.h>
#include <thread>

using namespace platform::ui;

namespace {

constexpr UINT kPing = WM_USER + 7;

std::atomic<int> payloadsFreed { 0 };

struct CountedText {
    std::string text;
    explicit CountedText(std::string t)
        : text(std::move(t))
    {
    }
    CountedText(CountedText&& other) noexcept
        : text(std::move(other.text))
    {
        other.moved = true;
    }
    ~CountedText()
    {
        if (!moved)
            ++payloadsFreed;
    }
    bool moved = false;
};

class Messages : public testing::Test {
protected:
    void SetUp() override
    {
        payloadsFreed = 0;
        window = new TestWindow(kSimpleLayout);
        ASSERT_TRUE(window->Create(nullptr, u"t", UI_WNDSTYLE_FRAME, 0));
        hwnd = window->GetHWND();
    }
    void TearDown() override
    {
        if (IsWindow(hwnd))
            DestroyWindow(hwnd);
        delete window;
    }
    TestWindow* window = nullptr;
    HWND hwnd = nullptr;
};

TEST_F(Messages, PostedFromWorkerThreadsArriveOnTheGuiThreadInOrder)
{
    std::thread::id guiThread = std::this_thread::get_id();
    std::vector<std::thread::id> seenOn;
    window->onCustom = [&](UINT, WPARAM, LPARAM) { seenOn.push_back(std::this_thread::get_id()); };
    std::thread worker([this] {
        for (int i = 0; i < 50; ++i)
            EXPECT_TRUE(PostMessage(hwnd, kPing, static_cast<WPARAM>(i), -i));
    });
    worker.join();
    ASSERT_TRUE(WaitUntil([&] { return window->customMessages.size() == 50; }));
    for (int i = 0; i < 50; ++i) {
        EXPECT_EQ(window->customMessages[static_cast<size_t>(i)].wParam, static_cast<WPARAM>(i));
        EXPECT_EQ(window->customMessages[static_cast<size_t>(i)].lParam, -i);
    }
    for (auto id : seenOn)
        EXPECT_EQ(id, guiThread);
}

TEST_F(Messages, PayloadIsReadableOnDeliveryAndFreedAfterwards)
{
    std::string seen;
    window->onCustom = [&](UINT, WPARAM wParam, LPARAM) { seen = PayloadValue<CountedText>(wParam).text; };
    std::thread worker([this] {
        auto payload = std::make_unique<OwnedPayload<CountedText>>(CountedText("https://example.test/"));
        WPARAM address = reinterpret_cast<WPARAM>(static_cast<MessagePayload*>(payload.get()));
        PostMessage(hwnd, kPing, address, 0, std::move(payload));
    });
    worker.join();
    ASSERT_TRUE(WaitUntil([&] { return payloadsFreed == 1; }));
    EXPECT_EQ(seen, "https://example.test/");
}

TEST_F(Messages, MessageForAWindowThatIsGoneIsDroppedAndItsPayloadFreed)
{
    DestroyWindow(hwnd);
    EXPECT_FALSE(IsWindow(hwnd));
    const auto before = window->customMessages.size();
    auto payload = std::make_unique<OwnedPayload<CountedText>>(CountedText("lost"));
    WPARAM address = reinterpret_cast<WPARAM>(static_cast<MessagePayload*>(payload.get()));
    EXPECT_TRUE(PostMessage(hwnd, kPing, address, 0, std::move(payload)));
    ASSERT_TRUE(WaitUntil([&] { return payloadsFreed == 1; }));
    EXPECT_EQ(window->customMessages.size(), before);
    EXPECT_EQ(SendMessage(hwnd, kPing, 0, 0), 0);
    EXPECT_FALSE(
        PostMessage(nullptr, kPing, 0, 0, std::make_unique<OwnedPayload<CountedText>>(CountedText("x"))));
    EXPECT_EQ(payloadsFreed, 2);
}

TEST_F(Messages, SendMessageDeliversAtOnce)
{
    EXPECT_EQ(SendMessage(hwnd, kPing, 3, 4), 1);
    ASSERT_EQ(window->customMessages.size(), 1u);
    EXPECT_EQ(window->customMessages[0].wParam, 3u);
}

TEST_F(Messages, PostSetEnabledAppliesLaterAndIgnoresControlsThatAreGone)
{
    CControlUI* button = window->FindControl(u"OkBtn");
    ASSERT_TRUE(button);
    std::thread([ref = ControlRef(button)] { PostSetEnabled(ref, false); }).join();
    ASSERT_TRUE(WaitUntil([&] { return !button->IsEnabled(); }));

    auto* loose = new CButtonUI;
    std::thread([ref = ControlRef(loose)] { PostSetEnabled(ref, false); }).join();
    delete loose;
    // Nothing may touch the deleted control; a marker message shows the queue has drained.
    PostMessage(hwnd, kPing, 99, 0);
    EXPECT_TRUE(WaitUntil([&] { return !window->customMessages.empty(); }));
}

TEST(MessageLoop, QuitPostedBeforeTheLoopEndsItAtOnceWithTheCode)
{
    PostQuitMessage(7);
    QCoreApplication::processEvents();
    EXPECT_EQ(CPaintManagerUI::MessageLoop(), 7);
}

TEST(MessageLoop, LoopHookRunsWhileTheLoopTurns)
{
    int turns = 0;
    CPaintManagerUI::setMessageLoopExFun([&turns] { ++turns; });
    PostQuitMessage(0);
    CPaintManagerUI::MessageLoop();
    CPaintManagerUI::setMessageLoopExFun(nullptr);
    EXPECT_GT(turns, 0);
}

} // namespace
