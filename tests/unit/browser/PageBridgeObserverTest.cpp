#include "browser/PageBridgeObserver.h"
#include "browser/EngineAppRenderSide.h"
#include "fakes/engine/MessageOnlyBrowser.h"

#include <gtest/gtest.h>
#include <vector>

using namespace platform::engine;

namespace {

// A browser that only records the messages sent to the browser process.
class MessageRecorder final : public MessageOnlyBrowser {
public:
    explicit MessageRecorder(int process)
        : MessageOnlyBrowser(process)
        , process(process)
    {
    }
    bool SendProcessMessage(CefProcessId target, CefRefPtr<CefProcessMessage> message) override
    {
        if (target == PID_BROWSER && message->GetName() == "ClientRenderer.FocusedNodeChanged"
            && message->GetArgumentList()->GetSize() == 1)
            sent.push_back(message->GetArgumentList()->GetBool(0));
        return true;
    }
    int GetRenderProcessId() override { return process; }

    std::vector<bool> sent;

private:
    int process;
    IMPLEMENT_REFCOUNTING(MessageRecorder);
};

class Node final : public CefDOMNode {
public:
    explicit Node(bool editable)
        : editable(editable)
    {
    }
    bool IsEditable() override { return editable; }

private:
    bool editable;
    IMPLEMENT_REFCOUNTING(Node);
};

} // namespace

TEST(PageBridgeObserver, ReportsOnlyChangesBetweenEditableAndOther)
{
    CefRefPtr<PageBridgeObserver> observer(new PageBridgeObserver);
    CefRefPtr<MessageRecorder> page(new MessageRecorder(100));
    auto focus = [&](CefRefPtr<MessageRecorder> browser, CefRefPtr<CefDOMNode> node) {
        observer->OnFocusedNodeChanged(nullptr, browser, nullptr, node);
    };
    focus(page, new Node(false)); // a button first: nothing
    EXPECT_TRUE(page->sent.empty());
    focus(page, new Node(true));
    focus(page, new Node(true));
    focus(page, new Node(false));
    focus(page, new Node(true));
    focus(page, nullptr); // focus left every element
    EXPECT_EQ(page->sent, (std::vector<bool> { true, false, true, false }));

    // Pages of one render process compare with each other's last report; another process starts afresh.
    CefRefPtr<MessageRecorder> sameProcess(new MessageRecorder(100));
    CefRefPtr<MessageRecorder> otherProcess(new MessageRecorder(200));
    focus(page, new Node(true));
    focus(sameProcess, new Node(true));
    focus(otherProcess, new Node(false));
    focus(otherProcess, new Node(true));
    EXPECT_TRUE(sameProcess->sent.empty());
    EXPECT_EQ(otherProcess->sent, (std::vector<bool> { true }));
}

TEST(EngineAppRenderSide, CreatesThePageBridgeAndForwardsInSetOrder)
{
    EngineAppRenderSide renderSide(nullptr);
    EXPECT_TRUE(renderSide.Observers().empty());
    renderSide.OnRenderThreadCreated(CefListValue::Create());
    ASSERT_EQ(renderSide.Observers().size(), 1u);
    auto* bridge = dynamic_cast<PageBridgeObserver*>(renderSide.Observers().begin()->get());
    ASSERT_NE(bridge, nullptr);
    EXPECT_FALSE(bridge->RendererRouter());
    renderSide.OnWebKitInitialized();
    ASSERT_TRUE(bridge->RendererRouter());
    EXPECT_EQ(bridge->RendererRouter()->GetConfig().jsQueryFunction, "cefQuery");
    EXPECT_EQ(bridge->RendererRouter()->GetConfig().jsCancelFunction, "cefQueryCancel");

    CefRefPtr<MessageRecorder> page(new MessageRecorder(7));
    renderSide.OnFocusedNodeChanged(page, nullptr, new Node(true));
    EXPECT_EQ(page->sent, (std::vector<bool> { true }));
    EXPECT_FALSE(renderSide.OnProcessMessageReceived(page, PID_BROWSER, CefProcessMessage::Create("Other")));
    EXPECT_FALSE(renderSide.GetLoadHandler());
    EXPECT_FALSE(renderSide.OnBeforeNavigation(page, nullptr, nullptr, NAVIGATION_OTHER, false));
}
