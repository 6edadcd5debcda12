#include <gtest/gtest.h>

#include <QImage>
#include <QProcess>

#include "ProgramOnDesktopTest.h"
#include "support/WaitUntil.h"

namespace {

// Asks for the camera as it loads and reports the answer: a live track or the error's name. Its
// lower half links to the same page on localhost, a site that is asked anew.
const char kCameraPage[] = R"(<html><head><meta charset="utf-8"><title>Lobby</title></head><body>
<p>摄像头</p><a id="next" style="position: fixed; left: 0; right: 0; top: 50%; bottom: 0">下一个网站</a><script>
document.getElementById('next').href = 'http://localhost:' + location.port + '/';
const report = (query) => fetch('/report?host=' + location.hostname + '&' + query).catch(() => {});
navigator.mediaDevices.getUserMedia({ video: true }).then((stream) => {
    report('answer=' + stream.getVideoTracks()[0].readyState);
}, (error) => report('answer=' + error.name));
</script></body></html>)";

// The prompt's "允许" button, found by its colour in the window's pixels; empty when not shown.
QRect AllowButton(const QImage& window)
{
    const QRgb allowColour = qRgb(0x3D, 0x7E, 0xFF);
    QRect found;
    for (int y = 0; y < window.height(); ++y) {
        for (int x = 0; x < window.width(); ++x) {
            if ((window.pixel(x, y) & 0xFFFFFF) == (allowColour & 0xFFFFFF))
                found |= QRect(x, y, 1, 1);
        }
    }
    return found;
}

// Waits until the prompt shows in window; allow is where its "允许" (or "共享") button is.
bool WaitForAllowButton(const DesktopSession& desktop, const QString& window, QRect& allow)
{
    return WaitUntil(
        [&] {
            allow = AllowButton(desktop.Capture(window));
            return allow.width() > 20 && allow.height() > 10;
        },
        60000);
}

class PermissionPromptDesktopTest : public ProgramOnDesktopTest {
protected:
    DesktopProgram::Preparation Preparation() const override
    {
        return [](const QString&, QProcessEnvironment& environment) {
            environment.insert("QTWEBENGINE_CHROMIUM_FLAGS", "--use-fake-device-for-media-stream");
        };
    }
    std::string LobbyPage() const override { return kCameraPage; }
};

// The question is answered with the pointer where the window manager shows it; the page gets
// what was clicked. The first one is asked with the find bar open above the page, which must
// leave the question whole.
TEST_F(PermissionPromptDesktopTest, ThePageGetsWhatWasClickedInTheQuestion)
{
    struct Row {
        const char* host;
        // The page's link to the next site is followed first.
        bool followLink;
        // Opened once the question shows, which then moves down below it.
        bool findBar;
        // The button clicked, by its name.
        const char* button;
        const char* answer;
    } rows[] = {
        { "127.0.0.1", false, true, "允许", "answer=live" },
        { "localhost", true, false, "拒绝", "answer=NotAllowedError" },
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.host);
        ASSERT_TRUE(WaitUntil([&] { return Active(); }, 30000));
        if (row.followLink) {
            const QRect window = desktop.Geometry(program->mainWindow);
            desktop.ClickAt(program->mainWindow, window.width() / 2, window.height() * 3 / 4);
        }
        QRect allow;
        ASSERT_TRUE(WaitForAllowButton(desktop, program->mainWindow, allow)) << "no question on the screen";
        if (row.findBar) {
            const QRect belowCaption = allow;
            desktop.Key("ctrl+f");
            ASSERT_TRUE(WaitUntil(
                [&] {
                    allow = AllowButton(desktop.Capture(program->mainWindow));
                    return allow.size() == belowCaption.size() && allow.top() > belowCaption.top();
                },
                30000))
                << "the question did not make room for the find bar";
        }
        DesktopSession::Keep(desktop.Capture("root"), QString("permission-prompt-%1").arg(row.host));
        const size_t before = program->site.Reports().size();
        ASSERT_TRUE(program->ClickButton(program->mainWindow, row.button));
        ASSERT_TRUE(WaitUntil([&] { return program->site.Reports().size() > before; }, 30000));
        EXPECT_EQ(program->site.Reports().back(), std::string(row.answer) + "&host=" + row.host);
        EXPECT_TRUE(
            WaitUntil([&] { return AllowButton(desktop.Capture(program->mainWindow)).isEmpty(); }, 30000))
            << "the question stayed";
    }
}

// Asks to share as it loads and reports the size of what it got.
const char kSharingPage[]
    = R"(<html><head><meta charset="utf-8"><title>Lobby</title></head><body><p>共享</p><script>
const report = (query) => fetch('/report?' + query).catch(() => {});
navigator.mediaDevices.getDisplayMedia({ video: true }).then((stream) => {
    const video = document.createElement('video');
    video.muted = true;
    video.srcObject = stream;
    video.play();
    const look = () => video.videoWidth ? report('shared=' + video.videoWidth + 'x' + video.videoHeight)
                                        : setTimeout(look, 50);
    look();
}, (error) => report('shared=' + error.name));
</script></body></html>)";

// Another program's window is on the desktop before the program starts, below its window.
class ScreenChoiceDesktopTest : public ProgramOnDesktopTest {
protected:
    void SetUp() override
    {
        if (!desktop.Available())
            GTEST_SKIP() << "needs Xvfb, openbox, xdotool and x11-utils";
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert("DISPLAY", desktop.Display().Name());
        other.setProcessEnvironment(environment);
        other.start("xmessage", { "-geometry", "210x130+40+40", "共享我" });
        ASSERT_TRUE(other.waitForStarted(10000)) << "xmessage (x11-utils) is missing";
        // Openbox, just started, can leave the first map request unread until its next event,
        // which a root property change gives it. xmessage names no process (_NET_WM_PID), so it is
        // found by name.
        ASSERT_TRUE(WaitUntil(
            [&] {
                desktop.Run("xprop",
                    { "-root", "-f", "ZANDREL_TEST_NUDGE", "8s", "-set", "ZANDREL_TEST_NUDGE", "1" });
                return !desktop.Run("xdotool", { "search", "--onlyvisible", "--name", "^xmessage$" })
                            .isEmpty();
            },
            30000));
        ProgramOnDesktopTest::SetUp();
    }
    void TearDown() override
    {
        other.kill();
        other.waitForFinished(10000);
    }
    std::string LobbyPage() const override { return kSharingPage; }

    QProcess other;
};

// The window clicked in the list is the one the page gets. The page starts watching the track
// only once it has it, as one that passes it on does: a still window reaches it all the same.
TEST_F(ScreenChoiceDesktopTest, ThePageGetsTheWindowClickedInTheList)
{
    QRect share;
    ASSERT_TRUE(WaitForAllowButton(desktop, program->mainWindow, share)) << "no choice on the screen";
    DesktopSession::Keep(desktop.Capture("root"), "screen-choice");
    // The list ends a gap above the buttons; its last row is the lowest window, the other program's.
    const int lastRow = share.top() - 10 - 28 / 2;
    desktop.ClickAt(program->mainWindow, share.center().x() - 200, lastRow);
    desktop.ClickAt(program->mainWindow, share.center().x(), share.center().y());
    ASSERT_TRUE(WaitUntil([&] { return !program->site.Reports().empty(); }, 30000));
    EXPECT_EQ(program->site.Reports().back(), "shared=210x130");
}

} // namespace
