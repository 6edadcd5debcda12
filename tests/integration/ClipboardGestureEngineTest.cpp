#include "EngineMainFrameFixture.h"

#include "platform/ui/qt/WidgetHandles.h"
#include "support/WaitUntil.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QTest>
#include <QWebEngineView>
#include <gtest/gtest.h>

namespace {

// Writes on a click, on request, and keeps writing until refused; each answer lands in the title.
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
</script></body></html>)";

class ClipboardGestureEngineTest : public EngineMainFrameFixture {
protected:
    void SetUp() override
    {
        site.Page("/", kClipboardPage);
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

    QTest::keyClick(view->focusProxy(), Qt::Key_A);
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

} // namespace
