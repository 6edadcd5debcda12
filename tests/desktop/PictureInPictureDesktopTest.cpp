#include <gtest/gtest.h>

#include "DesktopSession.h"
#include "support/WaitUntil.h"

namespace {

// A room whose video is a moving picture drawn by the page; the key "p" asks for
// picture-in-picture, and the page reports what the standard API tells it.
const char kRoomPage[] = R"(<html><head><meta charset="utf-8"><title>Room</title><style>
body { margin: 0; background: #fff } video { width: 640px; height: 360px; background: #000 }
</style></head><body><h1>Lobby text the mini player must not show</h1><video id="v" muted autoplay></video>
<canvas id="c" width="320" height="180" style="display:none"></canvas>
<script>
let sent = 0;
const report = (event) => fetch('/report?event=' + event + '&n=' + ++sent).catch(() => {});
const canvas = document.getElementById('c'), g = canvas.getContext('2d'), video = document.getElementById('v');
let frame = 0;
setInterval(() => {
    ++frame;
    g.fillStyle = 'hsl(' + (frame * 7 % 360) + ', 80%, 50%)';
    g.fillRect(0, 0, 320, 180);
    g.fillStyle = '#fff';
    g.fillRect(frame * 9 % 320, 60, 40, 60);
}, 40);
video.srcObject = canvas.captureStream(25);
video.addEventListener('enterpictureinpicture', () => report('in'));
video.addEventListener('leavepictureinpicture', () => report('out'));
document.addEventListener('keydown', (e) => {
    if (e.key === 'p')
        video.requestPictureInPicture().then(() => report('granted'), (error) => report('refused-' + error.name));
});
video.play().then(() => report('loaded'));
</script></body></html>)";

class PictureInPictureDesktopTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (!desktop.Available())
            GTEST_SKIP() << "needs Xvfb, openbox, xdotool and x11-utils";
        program = std::make_unique<DesktopProgram>(desktop, DesktopProgram::Preparation(), kRoomPage);
        ASSERT_TRUE(program->WaitUntilReady());
        ASSERT_TRUE(WaitUntil([&] { return Reported("loaded"); }, 60000)) << "the room never played";
    }

    bool Reported(const std::string& event) const
    {
        for (const std::string& report : program->site.Reports())
            if (report.find("event=" + event + "&") == 0)
                return true;
        return false;
    }
    std::string AllReports() const
    {
        std::string all;
        for (const std::string& report : program->site.Reports())
            all += report + "; ";
        return all;
    }
    // The program's viewable window other than the main one.
    QString MiniPlayer() const
    {
        for (const QString& window : desktop.ViewableWindows(program->run->Pid()))
            if (!DesktopSession::SameWindow(window, program->mainWindow))
                return window;
        return QString();
    }
    bool MainWindowShown() const
    {
        for (const QString& window : desktop.ViewableWindows(program->run->Pid()))
            if (DesktopSession::SameWindow(window, program->mainWindow))
                return !desktop.Property(window, "_NET_WM_STATE").contains("_NET_WM_STATE_HIDDEN");
        return false;
    }

    DesktopSession desktop;
    std::unique_ptr<DesktopProgram> program;
};

TEST_F(PictureInPictureDesktopTest, AKeyInTheRoomPlaysItAboveOtherWindowsWhileTheMainWindowIsMinimised)
{
    ASSERT_TRUE(WaitUntil(
        [&] { return DesktopSession::SameWindow(desktop.ActiveWindow(), program->mainWindow); }, 30000));
    desktop.Key("p");
    ASSERT_TRUE(WaitUntil([&] { return Reported("granted") && Reported("in"); }, 30000)) << AllReports();
    QString player;
    ASSERT_TRUE(WaitUntil([&] { return !(player = MiniPlayer()).isEmpty(); }, 30000)) << "no mini player";
    QRect frame = desktop.Geometry(player);
    EXPECT_LE(frame.width(), 640);
    EXPECT_GT(frame.width(), frame.height());
    EXPECT_TRUE(desktop.Property(player, "_NET_WM_STATE").contains("_NET_WM_STATE_ABOVE"))
        << desktop.Property(player, "_NET_WM_STATE").toStdString();

    // Dragged by the video it moves; resized at its edge it keeps 16:9. The window manager moves
    // it from where it takes the pointer over, so the first steps of a quick drag on a busy
    // machine may not be followed: a clear move up and to the left is what counts.
    desktop.DragBy(player, frame.width() / 2, frame.height() / 2, -120, -90);
    EXPECT_TRUE(WaitUntil(
        [&] {
            const QPoint at = desktop.Geometry(player).topLeft();
            return at.x() < frame.x() - 25 && at.y() < frame.y() - 18;
        },
        10000))
        << "from " << frame.x() << "," << frame.y() << " to " << desktop.Geometry(player).x() << ","
        << desktop.Geometry(player).y();
    const QRect moved = desktop.Geometry(player);
    // The resize starts from where the program believes the player is: wait until it has seen the move.
    ASSERT_FALSE(program->Button(player, "回到主界面").isEmpty()) << "the program did not see the move";
    desktop.DragBy(player, moved.width() - 2, moved.height() / 2, 160, 0,
        [&] { return desktop.Geometry(player).width() > moved.width() + 60; });
    const QRect resized = desktop.Geometry(player);
    EXPECT_GT(resized.width(), moved.width() + 60);
    EXPECT_NEAR(resized.width() * 9.0 / 16.0, resized.height(), 2.0)
        << resized.width() << "x" << resized.height();

    desktop.Run("xdotool", { "windowminimize", program->mainWindow });
    ASSERT_TRUE(WaitUntil([&] { return !MainWindowShown(); }, 30000)) << "the main window stays";
    QImage first;
    ASSERT_TRUE(WaitUntil([&] { return !(first = desktop.Capture(player)).isNull(); }, 10000));
    QImage second;
    const bool moving = WaitUntil([&] { return (second = desktop.Capture(player)) != first; }, 10000);
    DesktopSession::Keep(first, "mini-player-1");
    DesktopSession::Keep(second, "mini-player-2");
    EXPECT_FALSE(MiniPlayer().isEmpty()) << "the mini player went with the main window";
    EXPECT_TRUE(moving) << "the video does not move in the mini player";

    // 返回, in the player's bar.
    ASSERT_TRUE(program->ClickButton(player, "回到主界面"));
    EXPECT_TRUE(WaitUntil([&] { return Reported("out"); }, 30000)) << AllReports();
    EXPECT_TRUE(WaitUntil([&] { return MainWindowShown(); }, 30000)) << "the main window did not come back";
    EXPECT_TRUE(WaitUntil([&] { return MiniPlayer().isEmpty(); }, 30000)) << "the mini player stays";
}

} // namespace
