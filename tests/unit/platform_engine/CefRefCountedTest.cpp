#include "platform/engine/CefRefCounted.h"
#include "platform/engine/CefMessageRouter.h"
#include "platform/engine/CefProcessMessage.h"

#include <gtest/gtest.h>
#include <thread>
#include <vector>

using namespace platform::engine;

namespace {

class Counted final : public virtual CefBaseRefCounted {
public:
    explicit Counted(int* deletions)
        : deletions(deletions)
    {
    }
    ~Counted() override { ++*deletions; }

private:
    int* deletions;
    IMPLEMENT_REFCOUNTING(Counted);
};

class NullHandler final : public CefMessageRouterBrowserSide::Handler {
public:
    bool OnQuery(CefRefPtr<CefBrowser>, CefRefPtr<CefFrame>, int64_t, const std::string&, bool,
        CefRefPtr<CefMessageRouterBrowserSide::Callback>) override
    {
        return false;
    }
};

} // namespace

TEST(CefRefCountedTest, ObjectLivesExactlyAsLongAsItsReferences)
{
    int deletions = 0;
    {
        CefRefPtr<Counted> first(new Counted(&deletions));
        EXPECT_TRUE(first->HasOneRef());
        CefRefPtr<Counted> second = first;
        EXPECT_FALSE(first->HasOneRef());
        // A move hands the reference over: once first lets go, moved holds the only one.
        CefRefPtr<Counted> moved = std::move(second);
        first.reset();
        EXPECT_EQ(deletions, 0);
        EXPECT_TRUE(moved->HasOneRef());
    }
    EXPECT_EQ(deletions, 1);
}

TEST(CefRefCountedTest, CountsSurviveConcurrentCopies)
{
    int deletions = 0;
    CefRefPtr<Counted> shared(new Counted(&deletions));
    std::vector<std::thread> threads;
    threads.reserve(4);
    for (int t = 0; t < 4; ++t) {
        threads.emplace_back([shared] {
            for (int i = 0; i < 10000; ++i) {
                CefRefPtr<Counted> copy = shared;
                (void)copy;
            }
        });
    }
    for (auto& thread : threads)
        thread.join();
    EXPECT_TRUE(shared->HasOneRef());
    shared.reset();
    EXPECT_EQ(deletions, 1);
}

TEST(CefProcessMessageTest, ArgumentsReadBackByTypeWithSafeDefaults)
{
    auto message = CefProcessMessage::Create("ClientRenderer.FocusedNodeChanged");
    auto arguments = message->GetArgumentList();
    arguments->SetBool(0, true);
    arguments->SetString(2, "text");
    EXPECT_EQ(message->GetName(), "ClientRenderer.FocusedNodeChanged");
    EXPECT_TRUE(arguments->GetBool(0));
    EXPECT_FALSE(arguments->GetBool(1));
    EXPECT_FALSE(arguments->GetBool(2));
    EXPECT_EQ(arguments->GetString(2), "text");
    EXPECT_EQ(arguments->GetInt(9), 0);
    arguments->SetInt(1, 5);
    EXPECT_TRUE(arguments->GetBool(1));
}

TEST(CefMessageRouterTest, HandlersAreAddedOnceAndOnlyQueryMessagesBelongToTheRouter)
{
    auto router = CefMessageRouterBrowserSide::Create(CefMessageRouterConfig());
    EXPECT_EQ(router->GetConfig().jsQueryFunction, "cefQuery");
    EXPECT_EQ(router->GetConfig().jsCancelFunction, "cefQueryCancel");
    NullHandler handler;
    EXPECT_TRUE(router->AddHandler(&handler, false));
    EXPECT_FALSE(router->AddHandler(&handler, true));
    EXPECT_FALSE(router->AddHandler(nullptr, false));
    EXPECT_EQ(router->GetHandlerCount(), 1u);
    EXPECT_TRUE(router->RemoveHandler(&handler));
    EXPECT_FALSE(router->RemoveHandler(&handler));
    EXPECT_TRUE(
        router->OnProcessMessageReceived(nullptr, PID_RENDERER, CefProcessMessage::Create("cefQueryMsg")));
    EXPECT_FALSE(router->OnProcessMessageReceived(
        nullptr, PID_RENDERER, CefProcessMessage::Create("ClientRenderer.FocusedNodeChanged")));
    EXPECT_FALSE(router->OnProcessMessageReceived(nullptr, PID_RENDERER, nullptr));
}
