#include "EngineMainFrameFixture.h"

#include "ids/WindowMessageIds.h"
#include "platform/ui/WindowMessages.h"
#include "platform/ui/qt/ControlWidget.h"
#include "platform/ui/qt/WidgetHandles.h"
#include "support/WaitUntil.h"
#include "ui/FindBar.h"

#include <QApplication>
#include <QKeyEvent>
#include <QWebEngineView>
#include <QWheelEvent>
#include <atomic>
#include <gtest/gtest.h>

namespace {

struct Key {
    Qt::Key key;
    Qt::KeyboardModifiers modifiers;
    const char* name;
};

// The browser's keys pressed on the selected tab's page of the whole main frame: the site
// counts its loads and the fetches of a resource it lets the cache keep.
class PageKeysEngineTest : public EngineMainFrameFixture {
protected:
    void SetUp() override
    {
        site.Handle("/", [this](const httplib::Request&, httplib::Response& response) {
            ++pageLoads;
            response.set_header("Cache-Control", "no-cache");
            response.set_content("<html><head><title>Lobby</title><script src='/kept.js'></script></head>"
                                 "<body>lobby<script>var keys = 0, alerts = 0;"
                                 "window.alert = function () { alerts++; };"
                                 "document.addEventListener('keydown', function () { keys++; });"
                                 "</script></body></html>",
                "text/html");
        });
        site.Handle("/kept.js", [this](const httplib::Request&, httplib::Response& response) {
            ++resourceFetches;
            response.set_header("Cache-Control", "max-age=3600");
            response.set_content("var kept = 1;", "application/javascript");
        });
        site.Page("/second", "<title>Second</title>second");
        OpenFrame();
        ASSERT_TRUE(WaitUntil([&] { return SelectedView() && Evaluate("typeof keys") == "number"; }, 30000));
    }

    QWebEngineView* SelectedView()
    {
        const int index = frame->Tabs().CurrentIndex();
        auto browser = index >= 0 && frame->Tabs().TabAt(index) ? BrowserOf(index) : nullptr;
        return browser ? qobject_cast<QWebEngineView*>(
                   platform::ui::qt::WidgetFromHandle(browser->GetHost()->GetWindowHandle()))
                       : nullptr;
    }
    QString Evaluate(const QString& script)
    {
        // A tab a page just opened is selected before its browser exists.
        QWebEngineView* view = SelectedView();
        if (!view)
            return {};
        auto result = std::make_shared<QString>();
        auto done = std::make_shared<bool>(false);
        view->page()->runJavaScript(script, [result, done](const QVariant& value) {
            *result = value.toString();
            *done = true;
        });
        WaitUntil([&] { return *done; }, 10000);
        return *result;
    }
    QWidget* KeyTarget()
    {
        QWebEngineView* view = SelectedView();
        return view->focusProxy() ? view->focusProxy() : view;
    }
    void Press(const Key& key)
    {
        QKeyEvent down(QEvent::KeyPress, key.key, key.modifiers);
        QKeyEvent up(QEvent::KeyRelease, key.key, key.modifiers);
        QCoreApplication::sendEvent(KeyTarget(), &down);
        QCoreApplication::sendEvent(KeyTarget(), &up);
    }
    bool ZoomIs(const QString& ratio)
    {
        return WaitUntil(
            [&] { return Evaluate("String(Math.round(devicePixelRatio * 100) / 100)") == ratio; }, 10000);
    }

    std::atomic<int> pageLoads { 0 };
    std::atomic<int> resourceFetches { 0 };
};

TEST_F(PageKeysEngineTest, ReloadKeysLoadThePageAgainAndOnlyTheBypassingOnesSkipTheCache)
{
    struct Case {
        Key key;
        int refetched;
    } cases[] = {
        { { Qt::Key_F5, Qt::NoModifier, "F5" }, 0 },
        { { Qt::Key_R, Qt::ControlModifier, "Ctrl+R" }, 0 },
        { { Qt::Key_R, Qt::ControlModifier | Qt::ShiftModifier, "Ctrl+Shift+R" }, 1 },
        { { Qt::Key_F5, Qt::ControlModifier, "Ctrl+F5" }, 1 },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.key.name);
        const int loads = pageLoads, fetches = resourceFetches;
        Evaluate("window.reloadMark = 1");
        Press(c.key);
        ASSERT_TRUE(WaitUntil([&] { return pageLoads == loads + 1; }, 20000));
        ASSERT_TRUE(WaitUntil(
            [&] {
                return Evaluate("typeof keys") == "number" && Evaluate("typeof reloadMark") == "undefined";
            },
            20000));
        // The page's script may run before its resource reaches the server.
        EXPECT_TRUE(WaitUntil([&] { return resourceFetches - fetches >= c.refetched; }, 10000));
        EXPECT_EQ(resourceFetches - fetches, c.refetched);
        // A script run just after a reload may lose its answer; asking again is fine.
        EXPECT_TRUE(WaitUntil([&] { return Evaluate("String(keys + alerts)") == "0"; }, 10000));
    }
}

TEST_F(PageKeysEngineTest, ZoomKeysAndTheControlWheelStepThroughTheLadderForTheWholeSiteAndResetIt)
{
    const Key in { Qt::Key_Equal, Qt::ControlModifier, "Ctrl+=" };
    const Key plus { Qt::Key_Plus, Qt::ControlModifier | Qt::ShiftModifier, "Ctrl++" };
    const Key keypadPlus { Qt::Key_Plus, Qt::ControlModifier | Qt::KeypadModifier, "Ctrl+keypad +" };
    const Key out { Qt::Key_Minus, Qt::ControlModifier, "Ctrl+-" };
    const Key reset { Qt::Key_0, Qt::ControlModifier, "Ctrl+0" };
    struct Step {
        Key key;
        const char* ratio;
    } steps[] = { { in, "1.1" }, { plus, "1.25" }, { out, "1.1" }, { out, "1" }, { out, "0.9" },
        { keypadPlus, "1" }, { keypadPlus, "1.1" }, { reset, "1" } };
    for (const Step& step : steps) {
        SCOPED_TRACE(step.key.name);
        Press(step.key);
        EXPECT_TRUE(ZoomIs(step.ratio));
    }
    auto wheel = [&](int turn) {
        QWidget* target = KeyTarget();
        const QPointF at(100, 100);
        QWheelEvent event(at, target->mapToGlobal(at), QPoint(), QPoint(0, turn), Qt::NoButton,
            Qt::ControlModifier, Qt::NoScrollPhase, false);
        QCoreApplication::sendEvent(target, &event);
    };
    wheel(120);
    EXPECT_TRUE(ZoomIs("1.1"));
    // A touchpad's small turns make a step once they add up to a notch.
    wheel(-60);
    wheel(-60);
    EXPECT_TRUE(ZoomIs("1"));
    EXPECT_EQ(Evaluate("String(keys + alerts)"), "0");

    // Zoom belongs to the site: a tab the lobby opens on it starts there, and zooming it zooms both.
    Press(in);
    ASSERT_TRUE(ZoomIs("1.1"));
    SelectedView()->page()->runJavaScript("window.open('/')");
    ASSERT_TRUE(
        WaitUntil([&] { return frame->Tabs().Count() == 2 && frame->Tabs().CurrentIndex() == 1; }, 30000));
    ASSERT_TRUE(WaitUntil([&] { return Evaluate("typeof keys") == "number"; }, 30000));
    EXPECT_TRUE(ZoomIs("1.1"));
    Press(out);
    Press(out);
    EXPECT_TRUE(ZoomIs("0.9"));
    platform::ui::SendMessage(
        hwnd, WM_CLOSE_TAB, static_cast<platform::ui::WPARAM>(frame->Tabs().TabAt(1)->GetTabId()), 0);
    ASSERT_TRUE(WaitUntil([&] { return frame->Tabs().Count() == 1 && SelectedView(); }, 30000));
    EXPECT_TRUE(ZoomIs("0.9"));
}

TEST_F(PageKeysEngineTest, AltArrowsGoBackAndForwardAsTheButtonsDo)
{
    // Entries a script adds without a gesture are skipped by back; the address bar's way is not.
    BrowserOf(0)->GetMainFrame()->LoadURL(site.Url("/second"));
    ASSERT_TRUE(WaitUntil([&] { return Evaluate("document.title") == "Second"; }, 20000));
    Press({ Qt::Key_Left, Qt::AltModifier, "Alt+Left" });
    EXPECT_TRUE(WaitUntil([&] { return Evaluate("document.title") == "Lobby"; }, 20000));
    ASSERT_TRUE(WaitUntil([&] { return Evaluate("typeof keys") == "number"; }, 20000));
    Press({ Qt::Key_Right, Qt::AltModifier, "Alt+Right" });
    EXPECT_TRUE(WaitUntil([&] { return Evaluate("document.title") == "Second"; }, 20000));
}

TEST_F(PageKeysEngineTest, ControlFOpensAFindBarThatCountsAndStepsThroughMatchesAndEscapeClosesIt)
{
    site.Page("/words",
        "<html><head><meta charset='utf-8'><title>Words</title></head><body>"
        "apple one, apple two, apple three<script>var keys = 0;"
        "document.addEventListener('keydown', function () { keys++; });</script></body></html>");
    BrowserOf(0)->GetMainFrame()->LoadURL(site.Url("/words"));
    ASSERT_TRUE(WaitUntil(
        [&] {
            return Evaluate("document.title + document.readyState") == "Wordscomplete"
                && !BrowserOf(0)->IsLoading();
        },
        20000));
    Press({ Qt::Key_F, Qt::ControlModifier, "Ctrl+F" });
    TabWin* tab = frame->Tabs().TabAt(0);
    ASSERT_TRUE(WaitUntil([&] { return tab->GetFindBar() && tab->GetFindBar()->IsOpen(); }, 10000));
    FindBar* bar = tab->GetFindBar();
    platform::ui::CControlUI* field = bar->FindControl(u"find_text");
    platform::ui::CControlUI* count = bar->FindControl(u"find_count");
    ASSERT_TRUE(field && count);
    QWidget* typing = field->Widget()->focusProxy();
    ASSERT_NE(typing, nullptr);
    // The keyboard goes to the field straight away, also for the bar's first opening.
    ASSERT_TRUE(WaitUntil([&] { return QApplication::focusWidget() == typing; }, 10000));
    auto key = [&](Qt::Key code, Qt::KeyboardModifiers modifiers, const QString& text = QString()) {
        QKeyEvent down(QEvent::KeyPress, code, modifiers, text);
        QKeyEvent up(QEvent::KeyRelease, code, modifiers, text);
        QCoreApplication::sendEvent(typing, &down);
        QCoreApplication::sendEvent(typing, &up);
    };
    for (QChar letter : QStringLiteral("apple"))
        key(Qt::Key(letter.toUpper().unicode()), Qt::NoModifier, letter);
    auto countShows = [&](const std::u16string& text) {
        const bool shown = WaitUntil([&] { return count->GetText() == text; }, 10000);
        EXPECT_TRUE(shown) << QString::fromStdU16String(count->GetText()).toStdString() << " for "
                           << QString::fromStdU16String(field->GetText()).toStdString();
        return shown;
    };
    countShows(u"第 1 个，共 3 个");
    key(Qt::Key_Return, Qt::NoModifier);
    countShows(u"第 2 个，共 3 个");
    key(Qt::Key_Return, Qt::ShiftModifier);
    countShows(u"第 1 个，共 3 个");
    key(Qt::Key_Z, Qt::NoModifier, "z");
    countShows(u"无结果");

    key(Qt::Key_Escape, Qt::NoModifier);
    EXPECT_FALSE(bar->IsOpen());
    EXPECT_EQ(count->GetText(), u"");
    EXPECT_EQ(Evaluate("String(keys)"), "0");
    // Opened again, the tab's bar keeps its text for another search.
    Press({ Qt::Key_F, Qt::ControlModifier, "Ctrl+F" });
    EXPECT_TRUE(WaitUntil([&] { return bar->IsOpen() && QApplication::focusWidget() == typing; }, 10000));
    EXPECT_EQ(field->GetText(), u"applez");
}

} // namespace
