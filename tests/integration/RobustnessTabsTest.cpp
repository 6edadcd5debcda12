#include "EngineMainFrameFixture.h"

#include "platform/ui/ButtonUI.h"
#include "platform/ui/qt/WidgetHandles.h"
#include "support/WaitUntil.h"

#include <QWebEngineView>
#include <csignal>
#include <gtest/gtest.h>
#include <signal.h>

using namespace platform::ui;

namespace {

constexpr int kPopups = 30;
constexpr int kWaitMs = 60000;

std::u16string PopupTitle(int n) { return u"Popup " + QString::number(n).toStdU16String(); }

// The whole main frame on the real engine, against a site whose pages misbehave.
class RobustnessTabsTest : public EngineMainFrameFixture {
protected:
    void SetUp() override
    {
        site.Page("/", "<html><head><title>Lobby</title></head><body>lobby</body></html>");
        site.Page("/start", "<html><head><title>Start</title></head><body>start</body></html>");
        site.Handle("/p", [](const httplib::Request& request, httplib::Response& response) {
            response.set_content("<html><head><title>Popup " + request.get_param_value("n")
                    + "</title></head><body>popup</body></html>",
                "text/html");
        });
        OpenFrame({ "--url=" + site.Url("/start") });
    }
};

// A page opening thirty windows in a loop gets thirty tabs in order, each titled after its
// page; killing one tab's renderer sends that tab back to the start page and leaves the
// others working; every popup tab can be closed again.
TEST_F(RobustnessTabsTest, ThirtyPopupsARendererKillAndClosingThemAll)
{
    ASSERT_TRUE(
        WaitUntil([&] { return TabRowItem(0, 0) && TabRowItem(0, 0)->GetText() == u"Lobby"; }, kWaitMs));
    auto home = BrowserOf(0);
    ASSERT_TRUE(home);

    home->GetMainFrame()->ExecuteJavaScript(
        "for (let i = 0; i < " + std::to_string(kPopups) + "; ++i) window.open('/p?n=' + i);", "", 0);

    ASSERT_TRUE(WaitUntil([&] { return frame->Tabs().Count() == kPopups + 1; }, kWaitMs))
        << frame->Tabs().Count();
    ASSERT_TRUE(WaitUntil(
        [&] {
            for (int n = 0; n < kPopups; ++n)
                if (TabRowItem(n + 1, 0)->GetToolTip() != PopupTitle(n))
                    return false;
            return true;
        },
        kWaitMs));
    for (int tab = 1; tab <= kPopups; ++tab) {
        EXPECT_EQ(TabRowItem(tab, 0)->GetText(), PopupTitle(tab - 1));
        EXPECT_TRUE(TabRowItem(tab, 1)->IsVisible()) << tab;
    }
    EXPECT_FALSE(TabRowItem(0, 1)->IsVisible());

    auto victim = BrowserOf(3);
    ASSERT_TRUE(victim);
    auto* view = qobject_cast<QWebEngineView*>(qt::WidgetFromHandle(victim->GetHost()->GetWindowHandle()));
    ASSERT_NE(view, nullptr);
    const qint64 renderer = view->page()->renderProcessPid();
    ASSERT_GT(renderer, 0);
    ::kill(static_cast<pid_t>(renderer), SIGKILL);
    EXPECT_TRUE(WaitUntil([&] { return TabRowItem(3, 0)->GetToolTip() == u"Start"; }, kWaitMs));
    EXPECT_EQ(victim->GetMainFrame()->GetURL(), site.Url("/start"));

    BrowserOf(7)->GetMainFrame()->ExecuteJavaScript("document.title = 'alive';", "", 0);
    EXPECT_TRUE(WaitUntil([&] { return TabRowItem(7, 0)->GetToolTip() == u"alive"; }, kWaitMs));
    EXPECT_EQ(TabRowItem(8, 0)->GetToolTip(), PopupTitle(7));

    // Close from the end and from the middle alike, as a user would.
    for (int left = kPopups; left > 0; --left) {
        int tab = left % 2 ? left : 1;
        ASSERT_TRUE(static_cast<CButtonUI*>(TabRowItem(tab, 1))->Activate());
        ASSERT_TRUE(WaitUntil([&] { return frame->Tabs().Count() == left; }, kWaitMs)) << left;
    }
    EXPECT_EQ(TabRowItem(0, 0)->GetToolTip(), u"Lobby");
    EXPECT_EQ(frame->Tabs().CurrentIndex(), 0);
    EXPECT_TRUE(IsWindow(hwnd));
}

} // namespace
