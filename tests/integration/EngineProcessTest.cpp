#include "EngineTestSupport.h"
#include "browser/EngineAppRenderSide.h"
#include "platform/engine/CefCookieManager.h"
#include "platform/engine/CefProcess.h"
#include "platform/engine/CefSchemeRegistrar.h"
#include "platform/engine/qt/EngineContext.h"
#include "support/WaitUntil.h"

#include <QCoreApplication>
#include <QWebEnginePage>
#include <QWebEngineUrlScheme>
#include <atomic>
#include <cstdlib>
#include <gtest/gtest.h>
#include <string>
#include <vector>

using namespace platform::engine;

namespace {

// What the program's application object does at start-up, reduced to what the tests check.
class TestEngineApp final : public CefApp, public CefBrowserProcessHandler {
public:
    void OnRegisterCustomSchemes(CefSchemeRegistrar* registrar) override
    {
        clientRegistered = registrar->AddCustomScheme("client", true, false, false);
        duplicateRefused = !registrar->AddCustomScheme("client", true, false, false);
    }
    CefRefPtr<CefBrowserProcessHandler> GetBrowserProcessHandler() override { return this; }
    void OnContextInitialized() override { ++contextInitialized; }
    CefRefPtr<CefRenderProcessHandler> GetRenderProcessHandler() override { return renderSide; }

    bool clientRegistered = false;
    bool duplicateRefused = false;
    int contextInitialized = 0;
    CefRefPtr<CefRenderProcessHandler> renderSide { new EngineAppRenderSide(this) };
    IMPLEMENT_REFCOUNTING(TestEngineApp);
};

CefRefPtr<TestEngineApp>& TestApp()
{
    static CefRefPtr<TestEngineApp> app(new TestEngineApp);
    return app;
}

} // namespace

void StartEngineOnce()
{
    static bool started = false;
    if (started)
        return;
    started = true;
    CefSettings settings;
    settings.size = sizeof(settings);
    settings.no_sandbox = 1;
    settings.multi_threaded_message_loop = 1;
    settings.log_severity = LOGSEVERITY_DISABLE;
    CefInitialize(CefMainArgs { 0, nullptr }, settings, TestApp(), nullptr);
}

// The engine starts this test program again for its sub-processes, as it starts the
// real program: the run goes straight into the engine and ends with its exit code.
extern "C" int ZandrelTestSubProcess(int argc, char** argv)
{
    const int exitCode = CefExecuteProcess(CefMainArgs { argc, argv }, TestApp(), nullptr);
    if (exitCode < 0) {
        // A name that never resolves, for the load-error tests; a camera and a microphone
        // that need no hardware, for the permission tests.
        const char* given = std::getenv("QTWEBENGINE_CHROMIUM_FLAGS");
        std::string flags = given ? given : "";
        flags
            += " --host-resolver-rules=\"MAP nx.zandrel.test ~NOTFOUND\" --use-fake-device-for-media-stream";
        setenv("QTWEBENGINE_CHROMIUM_FLAGS", flags.c_str(), 1);
    }
    return exitCode;
}

void StartEngineForTests() { StartEngineOnce(); }

TEST(EngineProcessTest, BrowserProcessIsPreparedBeforeTheApplicationExists)
{
    EXPECT_TRUE(TestApp()->clientRegistered);
    EXPECT_TRUE(TestApp()->duplicateRefused);
    EXPECT_FALSE(QWebEngineUrlScheme::schemeByName("client").name().isEmpty());
    EXPECT_EQ(QWebEngineUrlScheme::schemeByName("client").syntax(), QWebEngineUrlScheme::Syntax::Host);
    EXPECT_STREQ(std::getenv("QT_DISABLE_SHADER_DISK_CACHE"), "1");
    EXPECT_STREQ(std::getenv("MESA_SHADER_CACHE_DISABLE"), "true");
    const char* helper = std::getenv("QTWEBENGINEPROCESS_PATH");
    ASSERT_NE(helper, nullptr);
    EXPECT_EQ(std::string(helper), QCoreApplication::applicationFilePath().toStdString());
    CefSchemeRegistrar lateRegistrar;
    EXPECT_FALSE(lateRegistrar.AddCustomScheme("late", true, false, false));
}

// The context is reported once; the cookie schemes set then decide which pages keep cookies.
TEST(EngineProcessTest, InitialisationReportsTheContextOnceAndCookiesFollowTheGivenSchemes)
{
    StartEngineOnce();
    EXPECT_EQ(TestApp()->contextInitialized, 1);
    LocalHttpServer server;
    server.Handle("/cookie.html", [](const httplib::Request& request, httplib::Response& response) {
        response.set_header("Set-Cookie", "kept=" + request.get_param_value("n"));
        response.set_content("<script>document.title = 'cookies:' + document.cookie;</script>", "text/html");
    });
    auto cookiesAfterLoading = [&](const std::string& n) {
        QWebEnginePage page(qt::EngineContext::Instance().Profile());
        page.load(QUrl(QString::fromStdString(server.Url("/cookie.html?n=" + n))));
        WaitUntil([&] { return page.title().startsWith("cookies:"); }, 30000);
        return page.title().toStdString();
    };
    CefRefPtr<CefCookieManager> cookies = CefCookieManager::GetGlobalManager();
    const std::vector<std::string> saved = cookies->GetSupportedSchemes();
    cookies->SetSupportedSchemes({ "https" }, nullptr);
    EXPECT_EQ(cookiesAfterLoading("1"), "cookies:") << "an http page keeps none";
    cookies->SetSupportedSchemes({ "http", "https" }, nullptr);
    EXPECT_EQ(cookiesAfterLoading("2"), "cookies:kept=2");
    cookies->SetSupportedSchemes(saved, nullptr);
}

// A page only renders when the engine's sub-processes, started from this very
// program, come up and talk back.
TEST(EngineProcessTest, SubProcessesStartFromTheSameProgram)
{
    StartEngineOnce();
    QWebEnginePage page;
    std::atomic<bool> loaded { false };
    QObject::connect(&page, &QWebEnginePage::loadFinished, [&](bool ok) { loaded = ok; });
    page.setHtml(QStringLiteral("<html><body><script>document.title = 6 * 7;</script></body></html>"));
    ASSERT_TRUE(WaitUntil([&] { return loaded.load(); }, 30000));
    EXPECT_TRUE(WaitUntil([&] { return page.title() == QStringLiteral("42"); }, 10000));
}
