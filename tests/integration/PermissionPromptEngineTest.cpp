#include "EngineMainFrameFixture.h"
#include "fakes/dbus/FakeNotificationService.h"

#include "browser/SitePermissions.h"
#include "platform/engine/qt/BrowserPage.h"
#include "platform/engine/qt/ClipboardGesture.h"
#include "platform/engine/qt/PermissionKinds.h"
#include "platform/engine/qt/QtBrowser.h"
#include "platform/ui/ContainerUI.h"
#include "platform/ui/OptionUI.h"
#include "platform/ui/qt/WidgetHandles.h"
#include "support/WaitUntil.h"

#include <QClipboard>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QMetaEnum>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <QWebEngineView>
#include <QWidget>
#include <QWindow>
#include <cstdlib>
#include <gtest/gtest.h>
#include <memory>

using namespace platform::ui;
using platform::engine::qt::EnginePermissionKind;

namespace {

// The page takes back its request of origin of kind, as the engine tells it: by the feature of
// that name, which Qt 6.8 keeps for this signal alone.
QT_WARNING_PUSH
QT_WARNING_DISABLE_DEPRECATED
void Withdraw(QWebEnginePage* page, const QUrl& origin, EnginePermissionKind kind)
{
#if QT_VERSION >= QT_VERSION_CHECK(6, 8, 0)
    const char* name = QMetaEnum::fromType<EnginePermissionKind>().valueToKey(static_cast<int>(kind));
    const auto feature = static_cast<QWebEnginePage::Feature>(
        QMetaEnum::fromType<QWebEnginePage::Feature>().keyToValue(name));
#else
    const QWebEnginePage::Feature feature = kind;
#endif
    emit page->featurePermissionRequestCanceled(origin, feature);
    QCoreApplication::sendPostedEvents();
}
QT_WARNING_POP

// A page that asks for what its caller names and puts the answer in its title.
const char* const kAskingPage = R"(<html><head><title>ask</title></head><body><script>
function ask(kind) {
  const media = { camera: { video: true }, microphone: { audio: true }, both: { video: true, audio: true },
    desktop: { video: { mandatory: { chromeMediaSource: 'desktop' } } } };
  if (kind === 'clipboard' || kind === 'unwrapped clipboard') {
    // Past the read window an allowed site opened, the engine's own read is refused again.
    const read = kind === 'clipboard' ? () => navigator.clipboard.readText()
      : () => new Promise(r => setTimeout(r, 1500)).then(() => Clipboard.prototype.readText.call(navigator.clipboard));
    read().then(text => document.title = kind + ':read ' + text, error => document.title = kind + ':' + error.name);
    return;
  }
  if (kind === 'window') {
    // What the shared window shows: its size and its mean colour.
    navigator.mediaDevices.getDisplayMedia({ video: true }).then(stream => {
      const track = stream.getVideoTracks()[0];
      track.addEventListener('ended', () => document.title = kind + ':ended');
      const video = document.createElement('video');
      video.muted = true;
      video.srcObject = stream;
      video.play();
      const look = () => {
        if (!video.videoWidth) { setTimeout(look, 50); return; }
        const canvas = document.createElement('canvas');
        canvas.width = video.videoWidth;
        canvas.height = video.videoHeight;
        const context = canvas.getContext('2d');
        context.drawImage(video, 0, 0);
        const pixels = context.getImageData(0, 0, canvas.width, canvas.height).data;
        const mean = [0, 1, 2].map(c => {
          let sum = 0;
          for (let i = c; i < pixels.length; i += 4) sum += pixels[i];
          return Math.round(sum / (pixels.length / 4));
        });
        const red = mean[0] > 200 && mean[1] < 60 && mean[2] < 60;
        document.title = kind + ':granted ' + canvas.width + 'x' + canvas.height + ' ' + (red ? 'red' : mean.join(','));
      };
      look();
    }, error => document.title = kind + ':' + error.name);
    return;
  }
  if (kind === 'twice') {
    // The second request, made while the first is being answered.
    const share = () => navigator.mediaDevices.getDisplayMedia({ video: true });
    Promise.allSettled([share(), share()]).then(results => document.title = kind + ':' + results.map(
      result => result.status === 'fulfilled' ? 'granted' : result.reason.name).join(' '));
    return;
  }
  if (kind === 'notifications') {
    Notification.requestPermission().then(answer => document.title = kind + ':' + answer);
    return;
  }
  // 'unwrapped screen' goes around the program's own getDisplayMedia, straight to the engine.
  const asked = kind === 'screen' ? navigator.mediaDevices.getDisplayMedia({ video: true })
    : kind === 'unwrapped screen' ? MediaDevices.prototype.getDisplayMedia.call(navigator.mediaDevices, { video: true })
    : navigator.mediaDevices.getUserMedia(media[kind]);
  asked.then(stream => {
    const live = stream.getVideoTracks().filter(track => track.readyState === 'live').length;
    stream.getTracks().forEach(track => track.stop());
    document.title = kind + ':granted' + (kind === 'desktop' || kind.endsWith('screen') ? ' video ' + live : '');
  }, error => document.title = kind + ':' + error.name);
}
</script></body></html>)";

// Pages asking for the camera, the microphone and notifications: asked in their tab's prompt,
// answered once per site and kind.
class PermissionPromptEngineTest : public EngineMainFrameFixture {
protected:
    void SetUp() override
    {
        site.Page("/", "<html><head><title>Lobby</title></head><body>lobby</body></html>");
        site.Page("/ask", kAskingPage);
        OpenFrame();
        ASSERT_TRUE(WaitUntil([&] { return frame->Tabs().Count() > 0 && BrowserOf(0) != nullptr; }, 30000));
    }

    // Shows the asking page of host in the home tab.
    bool OpenAskingPage(const std::string& host)
    {
        const std::string url = "http://" + host + ":" + std::to_string(site.Port()) + "/ask";
        BrowserOf(0)->GetMainFrame()->LoadURL(url);
        return WaitUntil([&] { return Title() == u"ask"; }, 30000);
    }

    std::u16string Title() { return TabRowItem(0, 0) ? TabRowItem(0, 0)->GetToolTip() : std::u16string(); }

    WindowImplBase* VisiblePrompt()
    {
        HWND prompt = frame->Tabs().TabAt(0)->PermissionPromptWindow();
        return IsWindowVisible(prompt) ? WindowFromHandle(prompt) : nullptr;
    }

    std::u16string PromptText()
    {
        WindowImplBase* prompt = VisiblePrompt();
        return prompt ? prompt->FindControl(u"lbl_permission_text")->GetText() : std::u16string();
    }

    std::vector<COptionUI*> PromptChoices()
    {
        std::vector<COptionUI*> choices;
        auto* list = VisiblePrompt()
            ? dynamic_cast<CContainerUI*>(VisiblePrompt()->FindControl(u"lst_permission_choices"))
            : nullptr;
        for (int i = 0; list && list->IsVisible() && i < list->GetCount(); ++i)
            choices.push_back(dynamic_cast<COptionUI*>(list->GetItemAt(i)));
        return choices;
    }

    struct Step {
        const char* host;
        const char* kind;
        // Empty: answered without asking.
        std::u16string prompt;
        const char16_t* button;
        std::u16string title;
    };

    // Each step asks from the host's page, answers the prompt if one is expected, and checks
    // what the page was told.
    void AskInTurn(const std::vector<Step>& steps)
    {
        std::string host;
        for (const Step& step : steps) {
            SCOPED_TRACE(std::string(step.host) + " " + step.kind);
            if (host != step.host) {
                host = step.host;
                ASSERT_TRUE(OpenAskingPage(host));
                // Qt 6.8's engine lets only a focused document read the clipboard, as after the
                // user's click in it.
                if (QWidget* view
                    = platform::ui::qt::WidgetFromHandle(BrowserOf(0)->GetHost()->GetWindowHandle()))
                    view->setFocus();
            }
            // The focus reaches the page's process a moment after the view gets it.
            if (std::string(step.kind).find("clipboard") != std::string::npos) {
                ASSERT_TRUE(WaitUntil(
                    [&] {
                        BrowserOf(0)->GetMainFrame()->ExecuteJavaScript(
                            "document.title = document.hasFocus() ? 'focused' : 'unfocused';", "", 0);
                        return WaitUntil([&] { return Title() == u"focused"; }, 500);
                    },
                    30000));
            }
            BrowserOf(0)->GetMainFrame()->ExecuteJavaScript(std::string("ask('") + step.kind + "');", "", 0);
            if (!step.prompt.empty()) {
                ASSERT_TRUE(WaitUntil([&] { return VisiblePrompt() != nullptr; }, 30000))
                    << QString::fromStdU16String(Title()).toStdString();
                EXPECT_EQ(PromptText(), step.prompt);
                ASSERT_TRUE(VisiblePrompt()->FindControl(step.button)->Activate());
            }
            ASSERT_TRUE(WaitUntil([&] { return Title() == step.title; }, 30000))
                << QString::fromStdU16String(Title()).toStdString();
            EXPECT_EQ(VisiblePrompt(), nullptr);
            // Told apart from a freshly loaded page.
            BrowserOf(0)->GetMainFrame()->ExecuteJavaScript("document.title = 'asked';", "", 0);
            ASSERT_TRUE(WaitUntil([&] { return Title() == u"asked"; }, 30000));
        }
    }
};

TEST_F(PermissionPromptEngineTest, ThePageGetsTheAnswerGivenInItsTabAndEachSiteIsAskedOncePerKind)
{
    const std::u16string port = QString::number(site.Port()).toStdU16String();
    const std::u16string local = u"127.0.0.1:" + port;
    AskInTurn({
        { "127.0.0.1", "camera", local + u" 想要使用你的摄像头", u"btn_permission_allow", u"camera:granted" },
        { "127.0.0.1", "microphone", local + u" 想要使用你的麦克风", u"btn_permission_deny",
            u"microphone:NotAllowedError" },
        { "127.0.0.1", "notifications", local + u" 想要向你发送通知", u"btn_permission_allow",
            u"notifications:granted" },
        { "127.0.0.1", "camera", u"", nullptr, u"camera:granted" },
        // The microphone refused before refuses the pair without asking.
        { "127.0.0.1", "both", u"", nullptr, u"both:NotAllowedError" },
        { "localhost", "camera", u"localhost:" + port + u" 想要使用你的摄像头", u"btn_permission_deny",
            u"camera:NotAllowedError" },
        { "localhost", "both", u"", nullptr, u"both:NotAllowedError" },
        { "localhost", "microphone", u"localhost:" + port + u" 想要使用你的麦克风", u"btn_permission_allow",
            u"microphone:granted" },
    });
}

// Qt 6.4's engine never asks about reading the clipboard, so the program does, before the read;
// Qt 6.8's asks itself, for every way a page reads, and the site's answer stands for each.
TEST_F(PermissionPromptEngineTest, ReadingTheClipboardIsAskedFirst)
{
    QGuiApplication::clipboard()->setText(QStringLiteral("copied"));
    const std::u16string port = QString::number(site.Port()).toStdU16String();
#if QT_VERSION >= QT_VERSION_CHECK(6, 8, 0)
    const std::u16string unwrapped = u"unwrapped clipboard:read copied";
#else
    const std::u16string unwrapped = u"unwrapped clipboard:NotAllowedError";
#endif
    AskInTurn({
        { "127.0.0.1", "clipboard", u"127.0.0.1:" + port + u" 想要查看你复制到剪贴板的文字和图片",
            u"btn_permission_allow", u"clipboard:read copied" },
        { "127.0.0.1", "clipboard", u"", nullptr, u"clipboard:read copied" },
        { "127.0.0.1", "unwrapped clipboard", u"", nullptr, unwrapped },
        { "localhost", "clipboard", u"localhost:" + port + u" 想要查看你复制到剪贴板的文字和图片",
            u"btn_permission_deny", u"clipboard:NotAllowedError" },
        { "localhost", "clipboard", u"", nullptr, u"clipboard:NotAllowedError" },
    });
}

// Both ways a page asks for the screen; granted, the page gets a live track of it. Needs an X
// display: the headless platform has no screen to capture.
TEST_F(PermissionPromptEngineTest, ScreenSharingIsAskedAndGivesALiveTrackOfTheScreen)
{
    if (QGuiApplication::platformName() != QStringLiteral("xcb"))
        GTEST_SKIP() << "needs an X display";
    const std::u16string port = QString::number(site.Port()).toStdU16String();
    const std::u16string local = u"127.0.0.1:" + port;
    const std::u16string choose = u" 想要共享你屏幕上的内容，请选择要共享的屏幕或窗口";
#if QT_VERSION >= QT_VERSION_CHECK(6, 8, 0)
    // The engine asks for a choice however the page asks, and captures what was chosen; the
    // choice asks every time, and a closed choice is the refusal a browser gives.
    const std::u16string choice = u"localhost:" + port + choose;
    AskInTurn({
        { "localhost", "desktop", choice, u"btn_permission_allow", u"desktop:granted video 1" },
        { "localhost", "screen", choice, u"btn_permission_allow", u"screen:granted video 1" },
        { "localhost", "unwrapped screen", choice, u"btn_permission_allow",
            u"unwrapped screen:granted video 1" },
        { "127.0.0.1", "screen", local + choose, u"btn_permission_deny", u"screen:NotAllowedError" },
        { "127.0.0.1", "desktop", local + choose, u"btn_permission_deny", u"desktop:NotAllowedError" },
        { "127.0.0.1", "screen", local + choose, u"btn_permission_allow", u"screen:granted video 1" },
    });
#else
    const std::u16string whole = u"localhost:" + port + u" 想要共享你的整个屏幕";
    // The screen, chosen first, is the engine's own capture. Nothing allowed is kept: each
    // request asks again, whichever way the page makes it.
    AskInTurn({
        { "localhost", "desktop", whole, u"btn_permission_allow", u"desktop:granted video 1" },
        { "localhost", "desktop", whole, u"btn_permission_allow", u"desktop:granted video 1" },
        { "localhost", "screen", u"localhost:" + port + choose, u"btn_permission_allow",
            u"screen:granted video 1" },
        { "localhost", "unwrapped screen", whole, u"btn_permission_allow",
            u"unwrapped screen:granted video 1" },
        { "localhost", "screen", u"localhost:" + port + choose, u"btn_permission_allow",
            u"screen:granted video 1" },
        { "localhost", "twice", u"localhost:" + port + choose, u"btn_permission_allow",
            u"twice:granted NotAllowedError" },
        // Cancelling the choice is not remembered; refusing the engine's question is.
        { "127.0.0.1", "screen", local + choose, u"btn_permission_deny", u"screen:NotAllowedError" },
        { "127.0.0.1", "desktop", local + u" 想要共享你的整个屏幕", u"btn_permission_deny",
            u"desktop:NotAllowedError" },
        { "127.0.0.1", "screen", u"", nullptr, u"screen:NotAllowedError" },
    });
#endif
}

// A window chosen in the prompt reaches the page as a track of just that window, even where
// another window covers it, and the track ends when the window closes.
TEST_F(PermissionPromptEngineTest, ScreenSharingOffersTheWindowsAndSharesTheOneChosen)
{
    if (QGuiApplication::platformName() != QStringLiteral("xcb"))
        GTEST_SKIP() << "needs an X display";
#if QT_VERSION >= QT_VERSION_CHECK(6, 8, 0)
    // Qt 6.8's engine lists the windows a window manager manages, as on any desktop.
    QProcess windowManager;
    windowManager.start(QStringLiteral("openbox"), {});
    ASSERT_TRUE(windowManager.waitForStarted());
#endif
    auto shared = std::make_unique<QWidget>();
    shared->setWindowTitle(QStringLiteral("直播伴侣"));
    shared->setFixedSize(240, 160);
    shared->setStyleSheet(QStringLiteral("background: #ff0000;"));
    shared->move(100, 100);
    shared->show();
    ASSERT_TRUE(WaitUntil([&] { return shared->windowHandle()->isExposed(); }, 30000));
    QWidget cover;
    cover.setWindowTitle(QStringLiteral("cover"));
    cover.setStyleSheet(QStringLiteral("background: #0000ff;"));
    cover.setGeometry(shared->geometry());
    cover.show();
    ASSERT_TRUE(WaitUntil([&] { return cover.windowHandle()->isExposed(); }, 30000));
#if QT_VERSION >= QT_VERSION_CHECK(6, 8, 0)
    ASSERT_TRUE(WaitUntil([&] { return cover.windowHandle()->frameMargins().top() > 0; }, 30000));
#endif

    ASSERT_TRUE(OpenAskingPage("localhost"));
    BrowserOf(0)->GetMainFrame()->ExecuteJavaScript("ask('window');", "", 0);
    ASSERT_TRUE(WaitUntil([&] { return VisiblePrompt() != nullptr; }, 30000));
    std::vector<std::u16string> names;
    COptionUI* window = nullptr;
    for (COptionUI* choice : PromptChoices()) {
        names.push_back(choice->GetText());
        if (choice->GetText() == u"直播伴侣")
            window = choice;
    }
    ASSERT_FALSE(names.empty());
    EXPECT_EQ(names.front(), u"整个屏幕");
    EXPECT_TRUE(PromptChoices().front()->IsSelected());
    EXPECT_EQ(VisiblePrompt()->FindControl(u"btn_permission_allow")->GetText(), u"共享");
    ASSERT_NE(window, nullptr);
    ASSERT_TRUE(window->Activate());
    ASSERT_TRUE(VisiblePrompt()->FindControl(u"btn_permission_allow")->Activate());
    EXPECT_TRUE(WaitUntil([&] { return Title() == u"window:granted 240x160 red"; }, 30000))
        << QString::fromStdU16String(Title()).toStdString();

    shared.reset();
    EXPECT_TRUE(WaitUntil([&] { return Title() == u"window:ended"; }, 30000))
        << QString::fromStdU16String(Title()).toStdString();

    // Sharing a window gave the site no screen: going around the program's choice is asked.
    const std::u16string port = QString::number(site.Port()).toStdU16String();
#if QT_VERSION >= QT_VERSION_CHECK(6, 8, 0)
    const std::u16string asked = u"localhost:" + port + u" 想要共享你屏幕上的内容，请选择要共享的屏幕或窗口";
#else
    const std::u16string asked = u"localhost:" + port + u" 想要共享你的整个屏幕";
#endif
    AskInTurn({ { "localhost", "unwrapped screen", asked, u"btn_permission_deny",
        u"unwrapped screen:NotAllowedError" } });
}

// The engine cannot capture a Wayland desktop, neither as a Wayland client nor through the
// desktop's X server: the page is refused at once, each time, and the tab says why instead of
// asking for what cannot be given; its next question asks again.
TEST_F(PermissionPromptEngineTest, ScreenSharingOnWaylandIsRefusedAndTheTabSaysWhy)
{
    if (!qEnvironmentVariableIsSet("ZANDREL_TEST_WAYLAND_DESKTOP"))
        GTEST_SKIP() << "needs a Wayland desktop (on-wayland-desktop.sh)";
    const std::u16string host = u"localhost:" + QString::number(site.Port()).toStdU16String();
    const std::u16string notice = host + u" 想要共享你的屏幕，但在 Wayland 桌面上无法共享屏幕";
    AskInTurn({
        { "localhost", "screen", notice, u"btn_permission_deny", u"screen:NotAllowedError" },
        { "localhost", "desktop", notice, u"btn_permission_deny", u"desktop:NotAllowedError" },
    });
    BrowserOf(0)->GetMainFrame()->ExecuteJavaScript("ask('screen');", "", 0);
    ASSERT_TRUE(WaitUntil([&] { return VisiblePrompt() != nullptr; }, 30000));
    EXPECT_FALSE(VisiblePrompt()->FindControl(u"btn_permission_allow")->IsVisible());
    EXPECT_EQ(VisiblePrompt()->FindControl(u"btn_permission_deny")->GetText(), u"知道了");
    ASSERT_TRUE(VisiblePrompt()->FindControl(u"btn_permission_deny")->Activate());
    AskInTurn({ { "localhost", "camera", host + u" 想要使用你的摄像头", u"btn_permission_allow",
        u"camera:granted" } });
    EXPECT_TRUE(VisiblePrompt() == nullptr);
}

// A page in the top frame and an ad frame of another origin below its text; both navigate to
// what they are sent.
const char* const kSchemePage = R"(<html><head><title>scheme</title></head>
<body style="margin:0"><p style="height:150px">top</p><script>
function go(address) { location.href = address; }
function frameGo(address) { document.querySelector('iframe').contentWindow.postMessage(address, '*'); }
const frame = document.createElement('iframe');
frame.src = 'http://localhost:' + location.port + '/scheme-frame';
frame.onload = () => document.title = 'scheme ready';
document.body.appendChild(frame);
</script></body></html>)";

// An address of an external scheme reaches the desktop (here a stand-in xdg-open that notes
// it) only from the top document after a press, and only once the user agreed, which is kept.
TEST_F(PermissionPromptEngineTest, HandOffsToTheDesktopAreAskedFromTheTopAfterAPressOnly)
{
    QTemporaryDir bin;
    const QString opened = QDir(bin.path()).filePath(QStringLiteral("opened"));
    QFile opener(QDir(bin.path()).filePath(QStringLiteral("xdg-open")));
    ASSERT_TRUE(opener.open(QIODevice::WriteOnly));
    opener.write(("#!/bin/sh\necho \"$1\" >> '" + opened.toStdString() + "'\n").c_str());
    opener.close();
    opener.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    const char* given = std::getenv("PATH");
    const std::string path = given ? given : "";
    setenv("PATH", (bin.path().toStdString() + ":" + path).c_str(), 1);
    const auto lines = [&] {
        QFile file(opened);
        return file.open(QIODevice::ReadOnly)
            ? QString::fromUtf8(file.readAll()).split('\n', Qt::SkipEmptyParts)
            : QStringList();
    };

    site.Page("/scheme", kSchemePage);
    site.Page("/scheme-frame", "<script>addEventListener('message', e => location.href = e.data);</script>");
    BrowserOf(0)->GetMainFrame()->LoadURL("http://127.0.0.1:" + std::to_string(site.Port()) + "/scheme");
    ASSERT_TRUE(WaitUntil([&] { return Title() == u"scheme ready"; }, 30000));
    auto* view = qobject_cast<QWebEngineView*>(
        platform::ui::qt::WidgetFromHandle(BrowserOf(0)->GetHost()->GetWindowHandle()));
    ASSERT_NE(view, nullptr);
    const auto run
        = [&](const std::string& script) { BrowserOf(0)->GetMainFrame()->ExecuteJavaScript(script, "", 0); };

    QTest::mouseClick(view->focusProxy(), Qt::LeftButton, {}, QPoint(40, 20));
    run("go('spotify:track:top');");
    ASSERT_TRUE(WaitUntil([&] { return VisiblePrompt() != nullptr; }, 30000));
    EXPECT_EQ(PromptText(),
        u"127.0.0.1:" + QString::number(site.Port()).toStdU16String() + u" 想要打开外部应用程序（spotify:）");
    EXPECT_EQ(VisiblePrompt()->FindControl(u"btn_permission_allow")->GetText(), u"打开");
    EXPECT_EQ(VisiblePrompt()->FindControl(u"btn_permission_deny")->GetText(), u"取消");
    ASSERT_TRUE(VisiblePrompt()->FindControl(u"btn_permission_allow")->Activate());
    EXPECT_TRUE(WaitUntil([&] { return lines().size() == 1; }, 30000));

    // The answer is kept for the site; a frame is refused all the same.
    QTest::mouseClick(view->focusProxy(), Qt::LeftButton, {}, QPoint(40, 20));
    run("frameGo('spotify:track:frame'); go('spotify:track:again');");
    EXPECT_TRUE(WaitUntil([&] { return lines().size() == 2; }, 30000));
    EXPECT_EQ(VisiblePrompt(), nullptr);

    // Long after the last press: refused; the unknown scheme after it shows its load error once
    // the navigations before it were decided.
    QTest::qWait(platform::engine::qt::ClipboardGesture::kWindowMs);
    run("go('spotify:track:unasked'); setTimeout(() => go('foo:marker'), 300);");
    EXPECT_TRUE(WaitUntil([&] { return BrowserOf(0)->GetMainFrame()->GetURL() == "foo:marker"; }, 30000));
    EXPECT_EQ(lines(),
        (QStringList { QStringLiteral("spotify:track:top"), QStringLiteral("spotify:track:again") }));
    EXPECT_EQ(VisiblePrompt(), nullptr);
    setenv("PATH", path.c_str(), 1);
}

// A question left open goes with the document that asked it, refused; the next document of
// the same site is asked again.
TEST_F(PermissionPromptEngineTest, NavigatingAwayDropsTheOpenQuestion)
{
    ASSERT_TRUE(OpenAskingPage("127.0.0.1"));
    BrowserOf(0)->GetMainFrame()->ExecuteJavaScript("ask('camera');", "", 0);
    ASSERT_TRUE(WaitUntil([&] { return VisiblePrompt() != nullptr; }, 30000));

    BrowserOf(0)->GetMainFrame()->LoadURL(site.Url("/"));
    ASSERT_TRUE(WaitUntil([&] { return Title() == u"Lobby"; }, 30000));
    EXPECT_TRUE(WaitUntil([&] { return VisiblePrompt() == nullptr; }, 30000));

    ASSERT_TRUE(OpenAskingPage("127.0.0.1"));
    BrowserOf(0)->GetMainFrame()->ExecuteJavaScript("ask('camera');", "", 0);
    EXPECT_TRUE(WaitUntil([&] { return VisiblePrompt() != nullptr; }, 30000));
}

// Every kind the engine asks about is put to the user in its own words, and goes from the
// tab's prompt, or from behind it, when the page withdraws it; the page hears no answer.
TEST_F(PermissionPromptEngineTest, EachKindIsAskedInItsOwnWordsAndGoesWhenThePageWithdrawsIt)
{
    using platform::engine::qt::PermissionRequest;
    ASSERT_TRUE(OpenAskingPage("127.0.0.1"));
    auto* browser = dynamic_cast<platform::engine::qt::QtBrowser*>(BrowserOf(0).get());
    ASSERT_NE(browser, nullptr);
    const QUrl origin(QStringLiteral("http://127.0.0.1:%1").arg(site.Port()));
    const QUrl otherOrigin(QStringLiteral("http://localhost:%1").arg(site.Port()));
    int answered = 0;
    const auto ask = [&](unsigned types) {
        browser->Prompts().Ask(PermissionRequest { origin, types, false, [&](bool) { ++answered; } });
    };
    for (const platform::engine::qt::PermissionKind& kind : platform::engine::qt::kPermissionKinds) {
        SCOPED_TRACE("kinds " + std::to_string(kind.types));
        ask(kind.types);
        ASSERT_TRUE(WaitUntil([&] { return VisiblePrompt() != nullptr; }, 30000));
        const std::u16string text = PromptText();
        EXPECT_EQ(text, SitePermissions::PromptText(origin.toString().toStdString(), kind.types));
        EXPECT_EQ(text.find(u"使用你的设备"), std::u16string::npos);
        Withdraw(browser->Page(), otherOrigin, kind.engineKind);
        EXPECT_EQ(PromptText(), text);
        Withdraw(browser->Page(), origin, kind.engineKind);
        EXPECT_TRUE(WaitUntil([&] { return VisiblePrompt() == nullptr; }, 30000));
    }

    ask(platform::engine::CEF_PERMISSION_TYPE_CAMERA_STREAM);
    ask(platform::engine::CEF_PERMISSION_TYPE_MIC_STREAM);
    ASSERT_TRUE(WaitUntil([&] { return VisiblePrompt() != nullptr; }, 30000));
    const std::u16string camera = PromptText();
    Withdraw(browser->Page(), origin, EnginePermissionKind::MediaAudioCapture);
    EXPECT_EQ(PromptText(), camera);
    // Were the microphone still queued, its question would follow.
    Withdraw(browser->Page(), origin, EnginePermissionKind::MediaVideoCapture);
    EXPECT_TRUE(WaitUntil([&] { return VisiblePrompt() == nullptr; }, 30000));
    EXPECT_EQ(answered, 0);
}

// A page's notification on the desktop: the program's name and icon, the page's text taken as
// plain text; a click brings its tab back, the desktop's close and the page's close reach the
// other side.
// The notification service of a private session bus, for the program while the test runs.
class PageNotificationEngineTest : public PermissionPromptEngineTest {
protected:
    void SetUp() override
    {
        if (!service.Available())
            GTEST_SKIP() << "needs dbus-daemon";
        if (const char* address = std::getenv("DBUS_SESSION_BUS_ADDRESS"))
            previousBus = address;
        setenv("DBUS_SESSION_BUS_ADDRESS", service.BusAddress().toUtf8().constData(), 1);
        PermissionPromptEngineTest::SetUp();
    }
    void TearDown() override
    {
        if (!service.Available())
            return;
        PermissionPromptEngineTest::TearDown();
        if (previousBus.empty())
            unsetenv("DBUS_SESSION_BUS_ADDRESS");
        else
            setenv("DBUS_SESSION_BUS_ADDRESS", previousBus.c_str(), 1);
    }

    FakeNotificationService service;
    std::string previousBus;
};

TEST_F(PageNotificationEngineTest, ReachesTheDesktopAndAClickSelectsItsTab)
{
    auto run
        = [&](const std::string& script) { BrowserOf(0)->GetMainFrame()->ExecuteJavaScript(script, "", 0); };

    ASSERT_TRUE(OpenAskingPage("127.0.0.1"));
    run("ask('notifications');");
    ASSERT_TRUE(WaitUntil([&] { return VisiblePrompt() != nullptr; }, 30000));
    VisiblePrompt()->FindControl(u"btn_permission_allow")->Activate();
    ASSERT_TRUE(WaitUntil([&] { return Title() == u"notifications:granted"; }, 30000));

    run("window.shown = new Notification('直播开始', { body: '主播 <b>上线</b> & 开播' });"
        "shown.onclick = () => document.title = 'clicked'; shown.onclose = () => document.title = 'closed';");
    ASSERT_TRUE(WaitUntil([&] { return service.Notifications().size() == 1; }, 30000));
    const auto first = service.Notifications()[0];
    EXPECT_EQ(first.appName, QStringLiteral("Tessik微端"));
    EXPECT_EQ(first.icon, QStringLiteral("zandrel"));
    EXPECT_EQ(first.summary, QStringLiteral("直播开始"));
    EXPECT_EQ(first.body, QStringLiteral("主播 &lt;b&gt;上线&lt;/b&gt; &amp; 开播"));
    EXPECT_TRUE(first.actions.contains(QStringLiteral("default")));

    run("window.open('http://localhost:" + std::to_string(site.Port()) + "/');");
    ASSERT_TRUE(
        WaitUntil([&] { return frame->Tabs().Count() == 2 && frame->Tabs().CurrentIndex() == 1; }, 30000));
    service.Click(first.id);
    EXPECT_TRUE(WaitUntil([&] { return frame->Tabs().CurrentIndex() == 0; }, 30000));
    EXPECT_TRUE(WaitUntil([&] { return Title() == u"clicked"; }, 30000));

    run("shown.close();");
    EXPECT_TRUE(WaitUntil([&] { return service.ClosedByClient().size() == 1; }, 30000));
    EXPECT_EQ(service.ClosedByClient()[0], first.id);

    run("window.second = new Notification('第二条'); second.onclose = () => document.title = 'second "
        "closed';");
    ASSERT_TRUE(WaitUntil([&] { return service.Notifications().size() == 2; }, 30000));
    service.Dismiss(service.Notifications()[1].id);
    EXPECT_TRUE(WaitUntil([&] { return Title() == u"second closed"; }, 30000));
}

} // namespace
