#include "EngineMainFrameFixture.h"

#include "ids/WindowMessageIds.h"
#include "platform/ui/WindowMessages.h"
#include "platform/ui/qt/WidgetHandles.h"
#include "support/WaitUntil.h"

#include <QCoreApplication>
#include <QTest>
#include <QWebEngineView>
#include <gtest/gtest.h>

using namespace platform::ui;

namespace {

// Two videos of moving pictures drawn by the page, and a frame of another origin with one of
// its own. Each answer of the standard API lands in the title, with the events seen so far.
const char* const kRoomScript = R"(
const events = [];
function stream(video) {
    const canvas = document.createElement('canvas');
    canvas.width = 160; canvas.height = 90;
    const g = canvas.getContext('2d');
    let frame = 0;
    setInterval(() => { g.fillStyle = 'hsl(' + (++frame * 9 % 360) + ',80%,50%)'; g.fillRect(0, 0, 160, 90); }, 40);
    video.srcObject = canvas.captureStream(25);
    video.muted = true;
    video.play();
    video.addEventListener('enterpictureinpicture', (e) => events.push('enter-' + video.id + (e.pictureInPictureWindow ? '' : '-nowindow')));
    video.addEventListener('leavepictureinpicture', () => events.push('leave-' + video.id));
}
function ask(video) {
    video.requestPictureInPicture().then(
        () => document.title = 'in ' + (document.pictureInPictureElement === video) + ' ' + events.join(','),
        (e) => document.title = 'refused ' + e.name);
}
function state() {
    const element = document.pictureInPictureElement;
    const v = document.getElementById('v');
    document.title = 'state ' + (element ? element.id : 'none') + ' ' + (v && !v.paused ? 'playing' : 'paused') + ' '
        + (v ? getComputedStyle(v).position : '-') + ' ' + events.join(',');
}
document.querySelectorAll('video').forEach(stream);
const ready = setInterval(() => {
    if ([...document.querySelectorAll('video')].every((v) => v.readyState > 0)) { clearInterval(ready); document.title = 'ready'; }
}, 20);
)";

class PictureInPictureEngineTest : public EngineMainFrameFixture {
protected:
    void SetUp() override
    {
        const std::string port = site.Url("").substr(site.Url("").rfind(':') + 1);
        otherOrigin = "http://localhost:" + port;
        site.Page("/",
            std::string("<html><head><title>lobby</title></head><body><h1 id='h'>lobby</h1>")
                + "<video id='v'></video><video id='w'></video><iframe id='f' src='" + otherOrigin
                + "/frame'></iframe><script>" + kRoomScript + "</script></body></html>");
        site.Page("/room",
            std::string("<html><head><title>room</title></head><body><video id='v'></video><script>")
                + kRoomScript + "</script></body></html>");
        site.Page("/frame",
            "<html><body><video id='v'></video><script>"
            "addEventListener('message', (e) => { const v = document.getElementById('v');"
            "  v.requestPictureInPicture().then(() => parent.postMessage('in', '*'),"
            "    (error) => parent.postMessage(error.name + ' ' + document.pictureInPictureEnabled, '*')); "
            "});"
            "</script></body></html>");
        OpenFrame();
        ASSERT_TRUE(WaitUntil([&] { return frame->Tabs().Count() > 0 && BrowserOf(0) != nullptr; }, 30000));
        ASSERT_TRUE(WaitUntil([&] { return Title(0) == u"ready"; }, 30000));
    }

    std::u16string Title(int tab)
    {
        return TabRowItem(tab, 0) ? TabRowItem(tab, 0)->GetToolTip() : std::u16string();
    }
    std::string TitleText(int tab) { return QString::fromStdU16String(Title(tab)).toStdString(); }
    QWebEngineView* View(int tab)
    {
        return qobject_cast<QWebEngineView*>(
            qt::WidgetFromHandle(BrowserOf(tab)->GetHost()->GetWindowHandle()));
    }
    // Runs script in the tab's page after clearing the title; the page's answer is the new title.
    std::string Ask(int tab, const std::string& script, bool activated = false)
    {
        BrowserOf(tab)->GetMainFrame()->ExecuteJavaScript(
            "addEventListener('mousedown', () => document.title = 'pressed', { once: true });"
            "document.title = 'asking';",
            "", 0);
        EXPECT_TRUE(WaitUntil([&] { return Title(tab) == u"asking"; }, 30000));
        // A press in the page is the user's activation the standard asks for; input reaches the page
        // apart from scripts, so the script waits until the page has had it.
        if (activated) {
            QTest::mouseClick(View(tab)->focusProxy(), Qt::LeftButton, {}, QPoint(5, 5));
            EXPECT_TRUE(WaitUntil([&] { return Title(tab) == u"pressed"; }, 30000));
        }
        BrowserOf(tab)->GetMainFrame()->ExecuteJavaScript(script, "", 0);
        WaitUntil([&] { return Title(tab) != u"asking" && Title(tab) != u"pressed"; }, 30000);
        return TitleText(tab);
    }
    // A fresh lobby, once its videos play.
    void Reload()
    {
        Ask(0, "document.title = 'leaving';");
        BrowserOf(0)->GetMainFrame()->LoadURL(site.Url("/"));
        ASSERT_TRUE(WaitUntil([&] { return Title(0) == u"ready"; }, 30000));
    }
    bool InMiniPlayer(int tab)
    {
        const PagePictureInPicture& player = frame->PictureInPicture();
        return player.Active() && player.TabId() == frame->Tabs().TabAt(tab)->GetTabId()
            && View(tab)->window() == qt::WidgetFromHandle(player.PlayerWindow())
            && IsWindowVisible(player.PlayerWindow()) && frame->Tabs().TabAt(tab)->PlayingElsewhere();
    }
    bool BackInTab(int tab)
    {
        return !frame->PictureInPicture().Active() && View(tab)->window() == qt::WidgetFromHandle(hwnd)
            && !frame->Tabs().TabAt(tab)->PlayingElsewhere()
            && !IsWindowVisible(frame->PictureInPicture().PlayerWindow());
    }

    std::string otherOrigin;
};

TEST_F(PictureInPictureEngineTest, TheVideoPlaysInTheMiniPlayerUntilThePageTheProgramOrANavigationEndsIt)
{
    const struct {
        const char* way;
        std::function<void()> leave;
        // What the page says afterwards, once it is back in its tab.
        const char* after;
    } rows[] = {
        { "the page's exitPictureInPicture()",
            [&] {
                BrowserOf(0)->GetMainFrame()->ExecuteJavaScript("document.exitPictureInPicture();", "", 0);
            },
            "state none playing static enter-v,leave-v" },
        { "返回", [&] { SendMessage(hwnd, WM_MINI_PLAYER_RETURN, frame->Tabs().TabAt(0)->GetTabId(), 0); },
            "state none playing static enter-v,leave-v" },
        { "the video removed",
            [&] {
                BrowserOf(0)->GetMainFrame()->ExecuteJavaScript(
                    "document.getElementById('v').remove();", "", 0);
            },
            "state none paused - enter-v,leave-v" },
        { "a navigation", [&] { Reload(); }, "ready" },
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.way);
        Reload();
        EXPECT_EQ(Ask(0, "ask(document.getElementById('v'));", true), "in true enter-v");
        ASSERT_TRUE(WaitUntil([&] { return InMiniPlayer(0); }, 30000));
        // Only the video shows, over the whole page.
        EXPECT_EQ(Ask(0, "state();"), "state v playing fixed enter-v");
        EXPECT_EQ(
            Ask(0, "document.title = getComputedStyle(document.getElementById('h')).visibility;"), "hidden");

        row.leave();
        EXPECT_TRUE(WaitUntil([&] { return BackInTab(0); }, 30000));
        if (std::string(row.after) != "ready") {
            EXPECT_TRUE(WaitUntil([&] { return Ask(0, "state();") == row.after; }, 30000)) << TitleText(0);
        }
    }
}

TEST_F(PictureInPictureEngineTest, ASecondRequestMovesThePlayerAndClosingItsTabEndsIt)
{
    EXPECT_EQ(Ask(0, "ask(document.getElementById('v'));", true), "in true enter-v");
    ASSERT_TRUE(WaitUntil([&] { return InMiniPlayer(0); }, 30000));
    // Another video of the page needs no activation while one plays in the player.
    EXPECT_EQ(Ask(0, "ask(document.getElementById('w'));"), "in true enter-v,leave-v,enter-w");
    EXPECT_TRUE(InMiniPlayer(0));

    BrowserOf(0)->GetMainFrame()->ExecuteJavaScript("window.open('/room');", "", 0);
    ASSERT_TRUE(
        WaitUntil([&] { return frame->Tabs().Count() == 2 && BrowserOf(1) && Title(1) == u"ready"; }, 30000));
    EXPECT_EQ(Ask(1, "ask(document.getElementById('v'));", true), "in true enter-v");
    ASSERT_TRUE(WaitUntil([&] { return InMiniPlayer(1); }, 30000));
    EXPECT_EQ(View(0)->window(), qt::WidgetFromHandle(hwnd));
    EXPECT_FALSE(frame->Tabs().TabAt(0)->PlayingElsewhere());
    EXPECT_TRUE(WaitUntil(
        [&] { return Ask(0, "state();") == "state none playing static enter-v,leave-v,enter-w,leave-w"; },
        30000))
        << TitleText(0);

    auto room = BrowserOf(1);
    SendMessage(hwnd, WM_CLOSE_TAB, static_cast<WPARAM>(frame->Tabs().TabAt(1)->GetTabId()), 0);
    EXPECT_EQ(frame->Tabs().Count(), 1);
    EXPECT_FALSE(frame->PictureInPicture().Active());
    EXPECT_FALSE(IsWindowVisible(frame->PictureInPicture().PlayerWindow()));
    // The room's page goes as it would have with its tab.
    EXPECT_TRUE(WaitUntil(
        [&] {
            QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
            return room->GetHost()->GetWindowHandle() == nullptr;
        },
        30000));
}

TEST_F(PictureInPictureEngineTest, APageGetsNoMoreThanTheStandardAllows)
{
    // Without the user's activation, even through the program's own events.
    EXPECT_EQ(Ask(0, "ask(document.getElementById('v'));"), "refused NotAllowedError");
    // Nothing to leave yet.
    EXPECT_EQ(Ask(0,
                  "document.exitPictureInPicture().then(() => document.title = 'left', (e) => document.title "
                  "= e.name);"),
        "InvalidStateError");
    Ask(0,
        "const v = document.getElementById('v');"
        "v.dispatchEvent(new Event('zandrel-pip-request', { bubbles: true }));"
        "v.dispatchEvent(new Event('zandrel-pip-entered', { bubbles: true }));"
        "postMessage({ zandrelPage: 1, op: 'pictureInPicture', args: [true] }, '*');"
        "postMessage({ zandrelBridge: 1, secret: 'guessed', key: 'guessed', op: 'pictureInPicture', args: "
        "[true] }, '*');"
        "document.title = 'forged';");
    // A frame of another origin has no picture-in-picture at all.
    EXPECT_EQ(Ask(0,
                  "addEventListener('message', (e) => document.title = 'frame ' + e.data);"
                  "document.getElementById('f').contentWindow.postMessage('ask', '*');",
                  true),
        "frame NotSupportedError false");
    QTest::qWait(300);
    EXPECT_FALSE(frame->PictureInPicture().Active());
    EXPECT_EQ(View(0)->window(), qt::WidgetFromHandle(hwnd));
}

// Sound a page starts by itself: a second of a tone, made by the page.
const char* const kSoundPage = R"(<html><head><title>sound</title></head><body><script>
const rate = 8000, samples = rate, data = new DataView(new ArrayBuffer(44 + samples * 2));
const text = (at, s) => [...s].forEach((c, i) => data.setUint8(at + i, c.charCodeAt(0)));
text(0, 'RIFF'); data.setUint32(4, 36 + samples * 2, true); text(8, 'WAVEfmt ');
data.setUint32(16, 16, true); data.setUint16(20, 1, true); data.setUint16(22, 1, true);
data.setUint32(24, rate, true); data.setUint32(28, rate * 2, true); data.setUint16(32, 2, true);
data.setUint16(34, 16, true); text(36, 'data'); data.setUint32(40, samples * 2, true);
for (let i = 0; i < samples; ++i) data.setInt16(44 + i * 2, Math.sin(i / 4) * 8000, true);
const audio = new Audio(URL.createObjectURL(new Blob([data.buffer], { type: 'audio/wav' })));
audio.play().then(() => document.title = 'played ' + audio.muted, (e) => document.title = 'refused ' + e.name);
</script></body></html>)";

TEST_F(PictureInPictureEngineTest, TheSitesOwnPagesStartWithSoundOtherOriginsWaitForTheUser)
{
    site.Page("/sound", kSoundPage);
    BrowserOf(0)->GetMainFrame()->LoadURL(site.Url("/sound"));
    EXPECT_TRUE(WaitUntil([&] { return Title(0) == u"played false"; }, 30000)) << TitleText(0);
    BrowserOf(0)->GetMainFrame()->LoadURL(otherOrigin + "/sound");
    EXPECT_TRUE(WaitUntil([&] { return Title(0) == u"refused NotAllowedError"; }, 30000)) << TitleText(0);
    BrowserOf(0)->GetMainFrame()->LoadURL(site.Url("/sound"));
    EXPECT_TRUE(WaitUntil([&] { return Title(0) == u"played false"; }, 30000)) << TitleText(0);
}

} // namespace
