#include "app/EngineApp.h"
#include "app/GlobalState.h"
#include "app/SingleInstance.h"
#include "base/BuildIdentity.h"
#include "browser/EngineAppRenderSide.h"
#include "browser/SharedClientHandler.h"
#include "config/KeptProfile.h"
#include "ids/WindowMessageIds.h"
#include "platform/engine/CefProcess.h"
#include "platform/os/CrashGuard.h"
#include "platform/os/TextCodec.h"
#include "platform/ui/Application.h"
#include "platform/ui/MessageBox.h"
#include "platform/ui/PaintManagerUI.h"
#include "platform/ui/WindowMessages.h"
#include "platform/ui/WindowOps.h"
#include "ui/MainFrame.h"
#include "update/HttpClient.h"

#include "ids/WindowStyleIds.h"
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <future>
#include <memory>

using namespace platform::engine;
using namespace platform::ui;

// Armed before main runs. The engine's sub-processes (this same program in another role)
// install their own fatal-signal handlers over it while they start, and nothing of ours
// runs in them afterwards: only the browser process leaves a report when it crashes.
static platform::os::CMiniDumper crashDumper(true);

namespace {

void PumpEngineWork()
{
    if (!multiThreadedMessageLoop)
        CefDoMessageLoopWork();
}

CefSettings EngineSettings()
{
    CefSettings settings;
    settings.size = sizeof(CefSettings);
    settings.no_sandbox = 1;
    settings.multi_threaded_message_loop = multiThreadedMessageLoop;
    settings.windowless_rendering_enabled = 1;
    settings.log_severity = LOGSEVERITY_DISABLE;
    settings.pack_loading_disabled = 0;
    // A kept profile's session cookies still end with the session.
    if (InstallationKeepsProfile())
        settings.cache_path = KeptProfileFolder();
    return settings;
}

// Freed by the dispatcher once the main window has handled the message it came with, or at once
// when the window is gone: a later start waits for that, so its box comes after the window.
class LaterStartHandled final : public MessagePayload {
public:
    ~LaterStartHandled() override { handled.set_value(); }
    std::promise<void> handled;
};
constexpr auto kLaterStartHandledLimit = std::chrono::seconds(3);

// A box on an offscreen platform is seen by nobody and would keep the process waiting.
bool HasDisplay()
{
    const char* platform = std::getenv("QT_QPA_PLATFORM");
    if (platform
        && (std::strncmp(platform, "offscreen", 9) == 0 || std::strncmp(platform, "minimal", 7) == 0))
        return false;
    return std::getenv("DISPLAY") || std::getenv("WAYLAND_DISPLAY");
}

// Without its main window the process would hold the instance marker with nothing to show.
void ReportMissingMainWindow()
{
    const std::u16string skinFolder = CPaintManagerUI::GetResourcePath();
    std::fprintf(stderr, "Tessik微端: the main window cannot be built from the skin in %s\n",
        platform::os::Utf16ToUtf8(skinFolder).c_str());
    ReleaseSingleInstance();
    if (HasDisplay())
        MessageBoxW(nullptr, u"主窗口无法创建，请检查程序目录下的 skin 文件夹：" + skinFolder,
            u"Tessik客户端", MB_OK);
}

// False when the main window could not be created.
bool RunMainFrame()
{
    CPaintManagerUI::SetInstance(appInstance);
    CPaintManagerUI::SetResourcePath(CPaintManagerUI::GetInstancePath() + u"skin/Zandrel/");

    auto* frame = new MainFrame;
    if (!frame->Create(nullptr, u"Tessik微端", kMainFrameStyle, 0, CW_USEDEFAULT, CW_USEDEFAULT,
            CW_USEDEFAULT, CW_USEDEFAULT)) {
        ReportMissingMainWindow();
        return false;
    }
    frame->ShowWindow(false, true);
    mainWindowHandle = frame->GetHWND();
    frame->ShowWindow(true, true);
    frame->CenterWindow();
    SetForegroundWindow(mainWindowHandle);
    // A later start asks for the window from the listener's thread, which reaches it only
    // by a posted message; the later start shows its box once the window has come forward,
    // or the window would cover the box.
    ListenForLaterStarts([] {
        auto payload = std::make_unique<LaterStartHandled>();
        std::future<void> handled = payload->handled.get_future();
        PostMessage(mainWindowHandle, WM_SHOW_RUNNING_INSTANCE, 0, 0, std::move(payload));
        handled.wait_for(kLaterStartHandledLimit);
    });
    // The frame frees itself once its window is gone and then ends the loop.
    CPaintManagerUI::MessageLoop();
    StopListeningForLaterStarts();
    return true;
}

} // namespace

int main(int argc, char** argv)
{
    platform::os::CMiniDumper::SetProgramVersion(platform::os::Utf16ToUtf8(EffectiveVersionText()).c_str());
    SetApplicationArguments(argc, argv);
    appInstance = GetModuleHandle();

    CefMainArgs mainArgs { argc, argv };
    CefRefPtr<EngineApp> engineApp(new EngineApp);
    engineApp->SetRenderProcessHandler(new EngineAppRenderSide(engineApp.get()));
    int exitCode = CefExecuteProcess(mainArgs, engineApp, nullptr);
    if (exitCode >= 0)
        return exitCode;
    if (exitCode != -1)
        return 0;

    if (!CheckSingleInstance()) {
        // The running window comes forward first, so the box that follows sits on top of it.
        SignalRunningInstance();
        MessageBoxW(nullptr, u"Tessik客户端已经启动!", u"Tessik客户端", MB_OK);
        return 0;
    }

    if (!multiThreadedMessageLoop)
        CPaintManagerUI::setMessageLoopExFun(PumpEngineWork);
    CefInitialize(mainArgs, EngineSettings(), engineApp, nullptr);
    HttpClient::GlobalInitialize();
    sharedClientHandler = new BrowserClientHandler;

    // Component-object initialisation has no counterpart on Linux; the UI starts directly.
    const bool ran = RunMainFrame();

    CefShutdown();
    return ran ? 0 : 1;
}
