#include "ui/TabWin.h"
#include "browser/SharedClientHandler.h"
#include "fakes/engine/FakeEngine.h"
#include "platform/engine/CefCommandLine.h"
#include "platform/ui/ModalAnswerer.h"
#include "platform/ui/PaintManagerUI.h"
#include "platform/ui/WindowOps.h"
#include "platform/ui/qt/WidgetHandles.h"
#include "support/WaitUntil.h"
#include "ui/FindBar.h"

#include <QApplication>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QMessageBox>
#include <QTimer>
#include <QWidget>
#include <gtest/gtest.h>
#include <memory>

using namespace platform::ui;
using platform::engine::CefRefPtr;

namespace {

constexpr char kNoHeader[] = "<Window size=\"400,300\"><VerticalLayout><Control/></VerticalLayout></Window>";
constexpr char kVisibleHeader[] = "<Window size=\"400,300\"><VerticalLayout>"
                                  "<HorizontalLayout name=\"header\" height=\"30\">"
                                  "<Button name=\"CloseBtn\" width=\"20\" height=\"20\"/></HorizontalLayout>"
                                  "<Control/></VerticalLayout></Window>";
constexpr char kHiddenHeader[] = "<Window size=\"400,300\"><VerticalLayout>"
                                 "<HorizontalLayout name=\"header\" height=\"30\" visible=\"false\"/>"
                                 "<Control/></VerticalLayout></Window>";

// A tab page built from a layout given by the test; reports its own deletion.
class TestTabWin final : public TabWin {
public:
    TestTabWin(const std::string& layout, bool* deleted)
        : TabWin("http://site.test/room")
        , deleted(deleted)
    {
        static int files = 0;
        path = QDir::temp().filePath(
            QStringLiteral("zandrel-tabwin-%1-%2.xml").arg(QCoreApplication::applicationPid()).arg(++files));
        QFile file(path);
        if (file.open(QIODevice::WriteOnly | QIODevice::Truncate))
            file.write(("<?xml version=\"1.0\" encoding=\"utf-8\"?>" + layout).c_str());
    }
    ~TestTabWin() override
    {
        QFile::remove(path);
        if (deleted)
            *deleted = true;
    }
    CDuiString GetSkinFile() override { return path.toStdU16String(); }

private:
    QString path;
    bool* deleted;
};

class TabWinTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        platform::engine::CefCommandLine::InitGlobalCommandLine({ "zandrel" });
        sharedClientHandler = new BrowserClientHandler;
        host = std::make_unique<QWidget>();
        host->resize(800, 600);
        host->show();
    }
    void TearDown() override
    {
        // Layout windows end before the plain widget that hosts them.
        for (HWND tab : tabs) {
            if (IsWindow(tab))
                DestroyWindow(tab);
        }
        host.reset();
        for (auto& browser : engine.Created()) {
            if (!browser->IsClosed())
                engine.Run([&] { engine.CloseBrowser(browser); });
        }
        sharedClientHandler.reset();
    }

    // Creates the tab page as the main frame does and lets it initialise.
    TestTabWin* OpenTab(const std::string& layout, bool* deleted = nullptr)
    {
        const size_t requested = engine.CreationRequests().size();
        auto* tab = new TestTabWin(layout, deleted);
        tabs.push_back(tab->Create(
            qt::HandleFromWidget(host.get()), u"http://site.test/room", 0x56000000, 0, 0, 0, 400, 300));
        WaitUntil([&] { return engine.CreationRequests().size() > requested; });
        return tab;
    }

    FakeEngine engine;
    std::unique_ptr<QWidget> host;
    std::vector<HWND> tabs;
};

} // namespace

TEST_F(TabWinTest, BrowserAreaFollowsTheHeaderRule)
{
    struct Case {
        const char* layout;
        int headerHeight;
    };
    for (const Case& c : { Case { kNoHeader, 24 }, Case { kVisibleHeader, 30 }, Case { kHiddenHeader, 0 } }) {
        const size_t before = engine.CreationRequests().size();
        TestTabWin* tab = OpenTab(c.layout);
        ASSERT_EQ(engine.CreationRequests().size(), before + 1) << c.layout;
        const auto request = engine.CreationRequests().back();
        EXPECT_EQ(tab->HeaderHeight(), c.headerHeight);
        EXPECT_EQ(request.parentWindow, tab->GetHWND());
        EXPECT_EQ(request.style, 0x56010000u);
        EXPECT_EQ(request.x, 0);
        EXPECT_EQ(request.y, c.headerHeight);
        EXPECT_EQ(request.width, 400);
        EXPECT_EQ(request.height, 300 - 2 * c.headerHeight);
        DestroyWindow(tab->GetHWND());
    }
}

TEST_F(TabWinTest, TabsGetDistinctIdsAndTheirBrowsersAreFoundByThem)
{
    TestTabWin* first = OpenTab(kHiddenHeader);
    TestTabWin* second = OpenTab(kHiddenHeader);
    EXPECT_NE(first->GetTabId(), second->GetTabId());
    EXPECT_EQ(first->GetUrl(), "http://site.test/room");
    ASSERT_TRUE(
        WaitUntil([&] { return sharedClientHandler->FindBrowserByTabId(second->GetTabId()) != nullptr; }));
    EXPECT_EQ(sharedClientHandler->FindBrowserByTabId(second->GetTabId())->GetMainFrame()->GetURL(),
        "http://site.test/room");
}

TEST_F(TabWinTest, RefusedBrowserIsReportedAndTheTabStays)
{
    engine.refuseCreation = true;
    // The desktop message box runs its own loop: answer it from a timer inside that loop.
    QString caption, text;
    QTimer answerer;
    QObject::connect(&answerer, &QTimer::timeout, [&] {
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
            caption = box->windowTitle();
            text = box->text();
            box->accept();
        }
    });
    answerer.start(10);
    TestTabWin* tab = OpenTab(kHiddenHeader);
    EXPECT_EQ(caption, QStringLiteral("Error"));
    EXPECT_EQ(text, QStringLiteral("初始化浏览器失败１"));
    EXPECT_TRUE(IsWindow(tab->GetHWND()));
    EXPECT_GE(tab->GetTabId(), 0);
}

TEST_F(TabWinTest, ResizeFitsTheBrowserWhileItHasAWindow)
{
    TestTabWin* tab = OpenTab(kVisibleHeader);
    ASSERT_TRUE(WaitUntil([&] { return !engine.Created().empty(); }));
    CefRefPtr<FakeBrowser> browser = engine.Created().back();
    QWidget* tabWidget = qt::WidgetFromHandle(tab->GetHWND());
    ASSERT_NE(tabWidget, nullptr);
    auto* browserWindow = new QWidget(tabWidget);
    browserWindow->setGeometry(0, 30, 400, 240);
    browser->SetWindowHandle(qt::HandleFromWidget(browserWindow));

    SetWindowPos(tab->GetHWND(), 0, 0, 600, 500, SWP_NOZORDER);
    EXPECT_TRUE(WaitUntil([&] { return browserWindow->geometry() == QRect(2, 30, 596, 440); }));

    // Once the browser's window is gone, resizing leaves everything where it is.
    browser->SetWindowGone();
    SetWindowPos(tab->GetHWND(), 0, 0, 500, 400, SWP_NOZORDER);
    WaitUntil([] { return false; }, 100);
    EXPECT_EQ(browserWindow->geometry(), QRect(2, 30, 596, 440));
}

TEST_F(TabWinTest, ClosingAndDestroyingFreeTheWindow)
{
    bool deleted = false;
    TestTabWin* tab = OpenTab(kVisibleHeader, &deleted);
    ASSERT_TRUE(SimulateClick(tab->FindControl(u"CloseBtn")));
    EXPECT_TRUE(WaitUntil([&] { return deleted; }));

    deleted = false;
    tab = OpenTab(kHiddenHeader, &deleted);
    DestroyWindow(tab->GetHWND());
    EXPECT_TRUE(WaitUntil([&] { return deleted; }));
}

TEST_F(TabWinTest, APermissionQuestionStaysOnThePageBelowAnOpenFindBar)
{
    CPaintManagerUI::SetResourcePath(u"" ZANDREL_SOURCE_DIR "/skin/Zandrel/");
    TestTabWin* tab = OpenTab(kVisibleHeader);
    ASSERT_TRUE(WaitUntil([&] { return !engine.Created().empty(); }));
    auto* browserWindow = new QWidget(qt::WidgetFromHandle(tab->GetHWND()));
    engine.Created().back()->SetWindowHandle(qt::HandleFromWidget(browserWindow));
    auto geometryOf = [](HWND window) {
        QWidget* widget = qt::WidgetFromHandle(window);
        return widget && widget->isVisible() ? widget->geometry() : QRect();
    };
    tab->ShowPermissionPrompt(1, u"127.0.0.1 想要使用你的摄像头");
    const QRect alone = geometryOf(tab->PermissionPromptWindow());
    EXPECT_EQ(alone.top(), 30 + 12);

    tab->OpenFindBar();
    ASSERT_NE(tab->GetFindBar(), nullptr);
    const QRect bar = geometryOf(tab->GetFindBar()->GetHWND());
    ASSERT_TRUE(bar.isValid());
    const QRect belowBar = geometryOf(tab->PermissionPromptWindow());
    EXPECT_FALSE(belowBar.intersects(bar)) << "prompt " << belowBar.top() << ", bar ends " << bar.bottom();
    EXPECT_EQ(belowBar.top(), bar.bottom() + 1 + 12);
    EXPECT_EQ(belowBar.size(), alone.size());

    // A question asked while the bar is open is placed below it too; closing the bar gives the room back.
    tab->ShowPermissionPrompt(2, u"127.0.0.1 想要向你发送通知");
    EXPECT_EQ(geometryOf(tab->PermissionPromptWindow()), belowBar);
    tab->GetFindBar()->Close();
    EXPECT_EQ(geometryOf(tab->PermissionPromptWindow()), alone);
}
