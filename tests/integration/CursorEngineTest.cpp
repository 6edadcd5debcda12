#include "EngineTestSupport.h"
#include "browser/BrowserClientHandler.h"
#include "browser/TabContextHandler.h"
#include "platform/engine/CefBrowser.h"
#include "platform/engine/CefCommandLine.h"
#include "platform/ui/qt/WidgetHandles.h"
#include "support/WaitUntil.h"

#include <QTest>
#include <QWebEnginePage>
#include <QWebEngineView>
#include <QWidget>
#include <QWindow>
#include <algorithm>
#include <gtest/gtest.h>
#include <memory>
#include <vector>

using namespace platform::engine;

namespace {

// Records the cursor of every change the window gets, before anything else may undo it.
class CursorChanges final : public QObject {
public:
    explicit CursorChanges(QWindow* window)
        : window(window)
    {
        window->installEventFilter(this);
    }
    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() == QEvent::CursorChange)
            shapes.push_back(window->cursor().shape());
        return false;
    }
    bool Saw(Qt::CursorShape shape) const
    {
        return std::find(shapes.begin(), shapes.end(), shape) != shapes.end();
    }

private:
    QWindow* window;
    std::vector<Qt::CursorShape> shapes;
};

struct CursorCase {
    bool switchGiven;
    const char* pageCursor;
    Qt::CursorShape pageShape;
    Qt::CursorShape expected;
};

} // namespace

// The page's cursor reaches the window unless the switch is given; with it the window keeps the arrow.
TEST(CursorEngineTest, ThePagesCursorShowsUnlessTheSwitchDisablesIt)
{
    StartEngineForTests();
    LocalHttpServer server;
    const CursorCase cases[] = {
        { false, "wait", Qt::WaitCursor, Qt::WaitCursor },
        { false, "pointer", Qt::PointingHandCursor, Qt::PointingHandCursor },
        { true, "wait", Qt::WaitCursor, Qt::ArrowCursor },
        { true, "text", Qt::IBeamCursor, Qt::ArrowCursor },
    };
    for (const CursorCase& row : cases) {
        const std::string label = std::string(row.switchGiven ? "switch, " : "no switch, ") + row.pageCursor;
        std::vector<std::string> arguments { "zandrel", "--url=about:blank" };
        if (row.switchGiven)
            arguments.push_back("--mouse-cursor-change-disabled");
        CefCommandLine::InitGlobalCommandLine(arguments);
        CefRefPtr<BrowserClientHandler> handler(new BrowserClientHandler);
        server.Page("/cursor.html",
            std::string("<title>cursor</title><body style='margin:0;height:100vh;cursor:") + row.pageCursor
                + "'>");
        auto host = std::make_unique<QWidget>();
        host->resize(400, 300);
        host->show();

        CefRefPtr<TabContextHandler> context(new TabContextHandler);
        CefWindowInfo info;
        info.SetAsChild(platform::ui::qt::HandleFromWidget(host.get()), RECT { 0, 0, 400, 300 });
        ASSERT_TRUE(CefBrowserHost::CreateBrowser(info, handler, server.Url("/cursor.html"),
            CefBrowserSettings(), CefRequestContext::CreateContext(context)))
            << label;
        CefRefPtr<CefBrowser> browser;
        ASSERT_TRUE(WaitUntil(
            [&] { return (browser = handler->FindBrowserByTabId(context->tabId)) != nullptr; }, 15000))
            << label;
        auto* view = qobject_cast<QWebEngineView*>(
            platform::ui::qt::WidgetFromHandle(browser->GetHost()->GetWindowHandle()));
        ASSERT_TRUE(WaitUntil([&] { return view->page()->title() == "cursor"; }, 20000)) << label;
        QWindow* window = host->windowHandle();
        CursorChanges changes(window);

        // The page takes its cursor once it has hit-tested a move; keep moving until it has.
        int step = 0;
        EXPECT_TRUE(WaitUntil(
            [&] {
                QTest::mouseMove(view->focusProxy(), QPoint(150 + (step++ % 2) * 20, 150));
                return changes.Saw(row.pageShape);
            },
            20000))
            << label;
        EXPECT_EQ(window->cursor().shape(), row.expected) << label;

        browser->GetHost()->CloseBrowser(true);
        host.reset();
        CefCommandLine::InitGlobalCommandLine({});
    }
}
