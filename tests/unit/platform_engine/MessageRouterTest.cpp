#include "fakes/engine/MessageOnlyBrowser.h"
#include "platform/engine/CefMessageRouter.h"
#include "platform/engine/CefMessageRouterRendererSide.h"

#include <deque>
#include <gtest/gtest.h>
#include <string>
#include <vector>

using namespace platform::engine;

namespace {

// A browser whose messages wait in one queue for both processes, delivered by Pump.
class LoopbackBrowser final : public MessageOnlyBrowser {
public:
    bool SendProcessMessage(CefProcessId target, CefRefPtr<CefProcessMessage> message) override
    {
        queue.push_back({ target, message });
        return true;
    }

    std::deque<std::pair<CefProcessId, CefRefPtr<CefProcessMessage>>> queue;
    IMPLEMENT_REFCOUNTING(LoopbackBrowser);
};

// A script context that records the answers the page gets.
class RecordingContext final : public CefV8Context {
public:
    RecordingContext(CefRefPtr<CefBrowser> browser, int id)
        : browser(browser)
        , id(id)
    {
    }
    CefRefPtr<CefBrowser> GetBrowser() override { return browser; }
    CefRefPtr<CefFrame> GetFrame() override { return nullptr; }
    int GetIdentifier() override { return id; }
    void SetFunctionHandler(const std::string& name, CefRefPtr<CefV8Handler> handler) override
    {
        if (name == "cefQuery")
            query = handler;
        else if (name == "cefQueryCancel")
            cancel = handler;
    }
    void AnswerQuery(int requestId, bool success, int errorCode, const std::string& response) override
    {
        answers.push_back(std::to_string(requestId) + (success ? " ok " : " fail ")
            + std::to_string(errorCode) + " " + response);
    }
    bool Call(int requestId, const std::string& request = "r", bool persistent = false)
    {
        auto arguments = CefListValue::Create();
        arguments->SetInt(0, requestId);
        arguments->SetString(1, request);
        arguments->SetBool(2, persistent);
        return query && query->Execute("cefQuery", arguments);
    }
    bool Cancel(int requestId)
    {
        auto arguments = CefListValue::Create();
        arguments->SetInt(0, requestId);
        return cancel && cancel->Execute("cefQueryCancel", arguments);
    }

    CefRefPtr<CefV8Handler> query;
    CefRefPtr<CefV8Handler> cancel;
    std::vector<std::string> answers;

private:
    CefRefPtr<CefBrowser> browser;
    int id;
    IMPLEMENT_REFCOUNTING(RecordingContext);
};

class TakingHandler final : public CefMessageRouterBrowserSide::Handler {
public:
    bool OnQuery(CefRefPtr<CefBrowser>, CefRefPtr<CefFrame>, int64_t queryId, const std::string& request,
        bool, CefRefPtr<CefMessageRouterBrowserSide::Callback> callback) override
    {
        if (request == "later") {
            taken.push_back(queryId);
            return true;
        }
        if (request != "echo")
            return false;
        callback->Success("echo!");
        return true;
    }
    void OnQueryCanceled(CefRefPtr<CefBrowser>, CefRefPtr<CefFrame>, int64_t queryId) override
    {
        canceled.push_back(queryId);
    }
    std::vector<int64_t> taken;
    std::vector<int64_t> canceled;
};

class MessageRouterTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        browserSide = CefMessageRouterBrowserSide::Create(CefMessageRouterConfig());
        rendererSide = CefMessageRouterRendererSide::Create(CefMessageRouterConfig());
        rendererSide->OnContextCreated(browser, nullptr, context);
    }
    void TearDown() override { rendererSide->OnContextReleased(browser, nullptr, context); }
    void Pump()
    {
        while (!browser->queue.empty()) {
            const CefProcessId target = browser->queue.front().first;
            CefRefPtr<CefProcessMessage> message = std::move(browser->queue.front().second);
            browser->queue.pop_front();
            if (target == PID_BROWSER)
                EXPECT_TRUE(browserSide->OnProcessMessageReceived(browser, PID_RENDERER, message));
            else
                EXPECT_TRUE(rendererSide->OnProcessMessageReceived(browser, PID_BROWSER, message));
        }
    }

    CefRefPtr<LoopbackBrowser> browser { new LoopbackBrowser };
    CefRefPtr<RecordingContext> context { new RecordingContext(browser, 11) };
    CefRefPtr<CefMessageRouterBrowserSide> browserSide;
    CefRefPtr<CefMessageRouterRendererSide> rendererSide;
};

} // namespace

TEST_F(MessageRouterTest, QueryWithoutHandlerFailsWithTheRoutersCancelReply)
{
    ASSERT_TRUE(context->Call(1));
    ASSERT_TRUE(context->Call(2));
    EXPECT_FALSE(context->Call(2)); // the same request twice
    Pump();
    EXPECT_EQ(context->answers,
        (std::vector<std::string> {
            "1 fail -1 The query has been canceled", "2 fail -1 The query has been canceled" }));
    EXPECT_EQ(rendererSide->GetPendingQueryCount(), 0u);
}

TEST_F(MessageRouterTest, CancelledQueryGetsNoAnswerAndReachesTheHandler)
{
    TakingHandler handler;
    browserSide->AddHandler(&handler, false);
    ASSERT_TRUE(context->Call(1));
    ASSERT_TRUE(context->Cancel(1));
    EXPECT_FALSE(context->Cancel(1));
    Pump();
    EXPECT_TRUE(context->answers.empty());

    ASSERT_TRUE(context->Call(2, "later"));
    Pump();
    ASSERT_EQ(handler.taken.size(), 1u);
    ASSERT_TRUE(context->Cancel(2));
    Pump();
    EXPECT_EQ(handler.canceled, handler.taken);
    EXPECT_TRUE(context->answers.empty());

    ASSERT_TRUE(context->Call(3, "echo"));
    Pump();
    EXPECT_EQ(context->answers, (std::vector<std::string> { "3 ok 0 echo!" }));
    browserSide->RemoveHandler(&handler);
}

TEST_F(MessageRouterTest, ReleasedContextDropsItsQueriesAndFunctions)
{
    TakingHandler handler;
    browserSide->AddHandler(&handler, false);
    ASSERT_TRUE(context->Call(4, "later"));
    Pump();
    rendererSide->OnContextReleased(browser, nullptr, context);
    Pump();
    EXPECT_EQ(handler.canceled, handler.taken);
    EXPECT_FALSE(context->query);
    EXPECT_EQ(rendererSide->GetPendingQueryCount(), 0u);
    // Messages for other routers are not taken.
    EXPECT_FALSE(
        browserSide->OnProcessMessageReceived(browser, PID_RENDERER, CefProcessMessage::Create("x")));
    EXPECT_FALSE(
        rendererSide->OnProcessMessageReceived(browser, PID_BROWSER, CefProcessMessage::Create("x")));
    browserSide->RemoveHandler(&handler);
}
