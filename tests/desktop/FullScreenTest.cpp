#include <gtest/gtest.h>

#include <QScreen>
#include <cstdlib>

#include "DesktopSession.h"
#include "support/WaitUntil.h"

namespace {

// A player that fills the page: its left half asks for fullscreen, its right half leaves
// it through the page's exitFullscreen(), the key "n" opens a second tab. Every change
// and every resize is reported with the page's size and whether it is fullscreen.
const char kPlayerPage[] = R"(<html><head><meta charset="utf-8"><title>Lobby</title><style>
body { margin: 0 }
#player { position: fixed; inset: 0; background: #246; display: flex }
#player button { flex: 1; font-size: 40px }
</style></head><body>
<div id="player"><button id="enter">全屏</button><button id="leave">退出</button></div>
<script>
let sent = 0;
function report(event) {
    const fs = document.fullscreenElement ? 1 : 0;
    fetch('/report?event=' + event + '&fs=' + fs + '&w=' + innerWidth + '&h=' + innerHeight + '&n=' + ++sent)
        .catch(() => {});
}
const player = document.getElementById('player');
document.getElementById('enter').onclick = () =>
    player.requestFullscreen().then(() => report('granted'), () => report('refused'));
document.getElementById('leave').onclick = () => {
    if (document.fullscreenElement)
        document.exitFullscreen();
};
document.addEventListener('fullscreenchange', () => report(document.fullscreenElement ? 'in' : 'out'));
addEventListener('resize', () => report('resize'));
// A document in a tab that is not shown gets its fullscreenchange only once it is shown again,
// since the event waits for a rendering update; its timers still run.
setInterval(() => { if (document.hidden) report('hidden'); }, 300);
report('loaded');
document.addEventListener('keydown', (e) => {
    if (e.key === 'n')
        window.open('/?second=1');
});
</script></body></html>)";

class FullScreenTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (!desktop.Available())
            GTEST_SKIP() << "needs Xvfb, openbox, xdotool and x11-utils";
        program = std::make_unique<DesktopProgram>(desktop, DesktopProgram::Preparation(), kPlayerPage);
        ASSERT_TRUE(program->WaitUntilReady());
        ASSERT_TRUE(WaitUntil([&] { return Active(); }, 30000)) << "the main window has no focus";
        ASSERT_TRUE(WaitUntil([&] { return ReportCount("loaded") > 0; }, 60000)) << "the player never loaded";
    }

    // Keys go to the focused window: wait until that is the main window again.
    void KeyToProgram(const QString& key)
    {
        ASSERT_TRUE(WaitUntil([&] { return Active(); }, 30000)) << "the main window has no focus";
        desktop.Key(key);
    }

    QString State() const { return desktop.Property(program->mainWindow, "_NET_WM_STATE"); }
    bool FullScreen() const { return State().contains("_NET_WM_STATE_FULLSCREEN"); }
    bool Maximised() const { return State().contains("_NET_WM_STATE_MAXIMIZED_VERT"); }
    QRect Frame() const { return desktop.Geometry(program->mainWindow); }
    bool Active() const { return DesktopSession::SameWindow(desktop.ActiveWindow(), program->mainWindow); }

    // The page numbers its reports, because they may arrive out of order.
    std::string LatestReport() const
    {
        std::string latest;
        long highest = -1;
        for (const std::string& report : program->site.Reports()) {
            const auto at = report.find("&n=");
            const long n = at == std::string::npos ? -1 : std::atol(report.c_str() + at + 3);
            if (n > highest) {
                highest = n;
                latest = report;
            }
        }
        return latest;
    }
    // The page's latest report says it is fullscreen at the screen's size.
    bool PageFillsScreen() const
    {
        const std::string latest = LatestReport();
        return latest.find("&fs=1&h=800&") != std::string::npos
            && latest.find("&w=1280") != std::string::npos;
    }
    size_t ReportCount(const std::string& event) const
    {
        size_t count = 0;
        for (const std::string& report : program->site.Reports())
            count += report.find("event=" + event + "&") == 0;
        return count;
    }
    std::string AllReports() const
    {
        std::string all;
        for (const std::string& report : program->site.Reports())
            all += report + "; ";
        return all;
    }

    // Clicks the player's button for entering and waits until the window fills the screen
    // and the page has reported the screen's size.
    void EnterFullScreen()
    {
        const size_t before = ReportCount("in");
        QRect frame = Frame();
        desktop.ClickAt(program->mainWindow, frame.width() / 4, frame.height() / 2);
        ASSERT_TRUE(WaitUntil([&] { return ReportCount("in") > before; }, 30000))
            << "the page never went fullscreen: " << AllReports();
        ASSERT_TRUE(WaitUntil([&] { return FullScreen() && Frame() == QRect(0, 0, 1280, 800); }, 30000))
            << "state " << State().toStdString();
        ASSERT_TRUE(WaitUntil([&] { return PageFillsScreen(); }, 30000))
            << "the page does not fill the screen: " << AllReports();
        EXPECT_EQ(ReportCount("refused"), 0u);
        DesktopSession::Keep(desktop.Capture("root"), "fullscreen-page");
    }

    // Waits until the page and the window have both left fullscreen for the given state.
    void ExpectLeft(size_t outBefore, const QRect& frame, bool maximised)
    {
        EXPECT_TRUE(WaitUntil([&] { return ReportCount("out") > outBefore; }, 30000))
            << "the page still thinks it is fullscreen: " << AllReports();
        ExpectWindowLeft(frame, maximised);
    }
    void ExpectWindowLeft(const QRect& frame, bool maximised)
    {
        EXPECT_TRUE(
            WaitUntil([&] { return !FullScreen() && Maximised() == maximised && Frame() == frame; }, 30000))
            << "state " << State().toStdString() << ", frame " << Frame().x() << "," << Frame().y() << " "
            << Frame().width() << "x" << Frame().height();
        // The content follows the frame: the caption's last button ends at the window's right edge.
        const QRect close = program->Button(program->mainWindow, "关闭");
        EXPECT_EQ(close.right(), frame.width() - 1)
            << "the program's content does not fill the window (its close button ends at " << close.right()
            << ")";
    }

    DesktopSession desktop;
    std::unique_ptr<DesktopProgram> program;
};

TEST_F(FullScreenTest, PageButtonEntersEscapeAndExitFullscreenLeaveForTheEarlierGeometry)
{
    const QRect frame = Frame();
    ASSERT_FALSE(Maximised());

    EnterFullScreen();
    size_t out = ReportCount("out");
    KeyToProgram("Escape");
    ExpectLeft(out, frame, false);
    EXPECT_TRUE(WaitUntil([&] { return Active(); }, 30000)) << "the window lost the focus";

    EnterFullScreen();
    out = ReportCount("out");
    // The right half of the player is the page's own way out.
    desktop.ClickAt(program->mainWindow, 1280 * 3 / 4, 400);
    ExpectLeft(out, frame, false);
}

TEST_F(FullScreenTest, AMaximisedWindowComesBackMaximisedWhenANewTabTakesOver)
{
    const QRect normal = Frame();
    ASSERT_TRUE(program->ClickButton(program->mainWindow, "最大化"));
    ASSERT_TRUE(WaitUntil([&] { return Maximised(); }, 30000)) << "the maximise button did not maximise";
    const QRect maximised = Frame();
    ASSERT_NE(maximised, normal);

    EnterFullScreen();
    const size_t out = ReportCount("out");
    // A new tab is selected over the fullscreen one, which has to give the screen back.
    KeyToProgram("n");
    ExpectWindowLeft(maximised, true);
    // The page left behind no longer believes it is fullscreen, though its change event waits.
    EXPECT_TRUE(WaitUntil([&] { return ReportCount("hidden&fs=0") > 0 || ReportCount("out") > out; }, 30000))
        << "the page still thinks it is fullscreen: " << AllReports();
    EXPECT_EQ(ReportCount("hidden&fs=1"), 0u) << AllReports();
    // Back on its tab, the viewer finds it out of fullscreen, and the page is told.
    ASSERT_TRUE(program->ClickTab("Lobby"));
    EXPECT_TRUE(WaitUntil([&] { return ReportCount("out") > out; }, 30000))
        << "the page never heard it left fullscreen: " << AllReports();
    EXPECT_FALSE(FullScreen());
}

} // namespace
