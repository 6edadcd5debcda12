#include "EngineMainFrameFixture.h"

#include "platform/ui/qt/WidgetHandles.h"
#include "support/WaitUntil.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QTest>
#include <QWebEngineView>
#include <gtest/gtest.h>

namespace {

// Writes on a click, on request, and keeps writing until refused; each answer, and each key it
// hears, lands in the title.
const char* const kClipboardPage = R"(<html><head><title>clip</title></head>
<body style="margin:0;height:100vh"><script>
function write(text) {
  navigator.clipboard.writeText(text).then(() => document.title = 'wrote ' + text,
                                           error => document.title = 'write:' + error.name);
}
function writeUntilRefused() {
  navigator.clipboard.writeText('still').then(() => setTimeout(writeUntilRefused, 200),
                                              () => document.title = 'refused');
}
document.addEventListener('mousedown', () => write('clicked'));
document.addEventListener('keydown', () => document.title = 'heard a key');
</script></body></html>)";

// A page and an ad frame of another origin below its text, each copying its own text on request.
const char* const kFramedPage = R"(<html><head><title>framed</title></head>
<body style="margin:0"><p id="mine" style="height:150px">top text</p><script>
function select(node) {
  const range = document.createRange();
  range.selectNodeContents(node);
  getSelection().removeAllRanges();
  getSelection().addRange(range);
}
function topCopy() { select(document.getElementById('mine')); document.title = 'top copy:' + document.execCommand('copy'); }
function topWrite() {
  navigator.clipboard.writeText('top wrote').then(() => document.title = 'top write:ok', e => document.title = 'top write:' + e.name);
}
function frameSend(what) { document.querySelector('iframe').contentWindow.postMessage(what, '*'); }
addEventListener('message', e => { if (String(e.data).startsWith('frame ')) document.title = e.data; });
const frame = document.createElement('iframe');
frame.src = location.protocol + '//' + (location.hostname === 'localhost' ? '127.0.0.1' : 'localhost') + ':'
  + location.port + '/ad';
frame.onload = () => document.title = 'framed ready';
document.body.appendChild(frame);
</script></body></html>)";

const char* const kAdFrame = R"(<html><body><p id="ad">ad text</p><script>
addEventListener('message', e => {
  if (e.data === 'write') {
    navigator.clipboard.writeText('ad wrote').then(() => parent.postMessage('frame write:ok', '*'),
                                                  error => parent.postMessage('frame write:' + error.name, '*'));
    return;
  }
  if (e.data !== 'copy') return;
  const range = document.createRange();
  range.selectNodeContents(document.getElementById('ad'));
  getSelection().removeAllRanges();
  getSelection().addRange(range);
  let copied = false;
  try { copied = document.execCommand('copy'); } catch (error) {}
  parent.postMessage('frame copy:' + copied, '*');
});
</script></body></html>)";

class ClipboardGestureEngineTest : public EngineMainFrameFixture {
protected:
    void SetUp() override
    {
        site.Page("/", kClipboardPage);
        site.Page("/framed", kFramedPage);
        site.Page("/ad", kAdFrame);
        OpenFrame();
        ASSERT_TRUE(WaitUntil([&] { return frame->Tabs().Count() > 0 && BrowserOf(0) != nullptr; }, 30000));
        ASSERT_TRUE(WaitUntil([&] { return Title() == u"clip"; }, 30000));
        view = qobject_cast<QWebEngineView*>(
            platform::ui::qt::WidgetFromHandle(BrowserOf(0)->GetHost()->GetWindowHandle()));
        ASSERT_NE(view, nullptr);
        QGuiApplication::clipboard()->setText(QStringLiteral("before"));
    }

    std::u16string Title() { return TabRowItem(0, 0) ? TabRowItem(0, 0)->GetToolTip() : std::u16string(); }

    // Runs script and waits for the page's answer.
    bool Answers(const std::string& script, const std::u16string& title)
    {
        BrowserOf(0)->GetMainFrame()->ExecuteJavaScript("document.title = 'asking';" + script, "", 0);
        return WaitUntil([&] { return Title() == title; }, 30000);
    }

    QString Clipboard() { return QGuiApplication::clipboard()->text(); }

    QWebEngineView* view = nullptr;
};

TEST_F(ClipboardGestureEngineTest, APageWritesOnlyShortlyAfterAPressInIt)
{
    EXPECT_TRUE(Answers("write('unasked');", u"write:NotAllowedError"));
    EXPECT_EQ(Clipboard(), QStringLiteral("before"));

    // A press does not carry over to the next document.
    QTest::keyClick(view->focusProxy(), Qt::Key_A);
    BrowserOf(0)->GetMainFrame()->LoadURL(site.Url("/"));
    ASSERT_TRUE(WaitUntil([&] { return Title() == u"clip"; }, 30000));
    EXPECT_TRUE(Answers("write('carried');", u"write:NotAllowedError"));
    // The engine drops input to a new document until it has shown a frame: press until it hears one.
    ASSERT_TRUE(WaitUntil(
        [&] {
            QTest::keyClick(view->focusProxy(), Qt::Key_A);
            return WaitUntil([&] { return Title() == u"heard a key"; }, 500);
        },
        30000));
    EXPECT_TRUE(Answers("write('after a key');", u"wrote after a key"));
    EXPECT_EQ(Clipboard(), QStringLiteral("after a key"));

    EXPECT_TRUE(Answers("writeUntilRefused();", u"refused"));
    QGuiApplication::clipboard()->setText(QStringLiteral("before"));
    EXPECT_TRUE(Answers("write('too late');", u"write:NotAllowedError"));
    EXPECT_EQ(Clipboard(), QStringLiteral("before"));

    BrowserOf(0)->GetMainFrame()->ExecuteJavaScript("document.title = 'asking';", "", 0);
    ASSERT_TRUE(WaitUntil([&] { return Title() == u"asking"; }, 30000));
    QTest::mouseClick(view->focusProxy(), Qt::LeftButton, {}, QPoint(100, 100));
    EXPECT_TRUE(WaitUntil([&] { return Title() == u"wrote clicked"; }, 30000))
        << QString::fromStdU16String(Title()).toStdString();
    EXPECT_EQ(Clipboard(), QStringLiteral("clicked"));
}

// A click in the page lets the page copy, not a frame of another origin in it that got no press.
TEST_F(ClipboardGestureEngineTest, OnlyTheFramePressedInCopies)
{
    BrowserOf(0)->GetMainFrame()->LoadURL(site.Url("/framed"));
    ASSERT_TRUE(WaitUntil([&] { return Title() == u"framed ready"; }, 30000));
    QTest::mouseClick(view->focusProxy(), Qt::LeftButton, {}, QPoint(40, 20));
    EXPECT_TRUE(Answers("frameSend('copy');", u"frame copy:false"));
    EXPECT_TRUE(Answers("frameSend('write');", u"frame write:NotAllowedError"));
    EXPECT_EQ(Clipboard(), QStringLiteral("before"));
    EXPECT_TRUE(Answers("topCopy();", u"top copy:true"));
    EXPECT_EQ(Clipboard(), QStringLiteral("top text"));

    // A press in the frame lets the frame write, and not the page around it.
    QTest::mouseClick(view->focusProxy(), Qt::LeftButton, {}, QPoint(40, 220));
    EXPECT_TRUE(Answers("topWrite();", u"top write:NotAllowedError"));
    EXPECT_TRUE(Answers("frameSend('write');", u"frame write:ok"));
    EXPECT_EQ(Clipboard(), QStringLiteral("ad wrote"));
}

} // namespace
