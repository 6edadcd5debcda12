#include "app/BuildIdentity.h"
#include "app/EngineApp.h"
#include "app/GlobalState.h"
#include "app/SingleInstance.h"
#include "browser/EngineAppRenderSide.h"
#include "browser/SharedClientHandler.h"
#include "platform/engine/CefProcess.h"
#include "platform/os/CrashGuard.h"
#include "platform/os/TextCodec.h"
#include "platform/ui/Application.h"
#include "platform/ui/MessageBox.h"
#include "platform/ui/PaintManagerUI.h"
#include "platform/ui/WindowOps.h"
#include "ui/MainFrame.h"
#include "update/HttpClient.h"

using namespace platform::engine;
using namespace platform::ui;

// Armed before main runs, so every process of the program, engine sub-processes
// included, leaves a report when it crashes.
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
    return settings;
}

int RunMainFrame()
{
    CPaintManagerUI::SetInstance(appInstance);
    CPaintManagerUI::SetResourcePath(CPaintManagerUI::GetInstancePath() + u"skin/Zandrel/");

    auto* frame = new MainFrame;
    frame->Create(nullptr, u"Tessik微端", WS_VISIBLE | WS_OVERLAPPEDWINDOW, 0, CW_USEDEFAULT, CW_USEDEFAULT,
        CW_USEDEFAULT, CW_USEDEFAULT);
    frame->ShowWindow(false, true);
    mainWindowHandle = frame->GetHWND();
    frame->ShowWindow(true, true);
    frame->CenterWindow();
    SetForegroundWindow(mainWindowHandle);
    // The frame frees itself once its window is gone and then ends the loop.
    return CPaintManagerUI::MessageLoop();
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
        MessageBoxW(nullptr, u"Tessik客户端已经启动!", u"Tessik客户端", MB_OK);
        return 0;
    }

    if (!multiThreadedMessageLoop)
        CPaintManagerUI::setMessageLoopExFun(PumpEngineWork);
    CefInitialize(mainArgs, EngineSettings(), engineApp, nullptr);
    HttpClient::GlobalInitialize();
    sharedClientHandler = new BrowserClientHandler;

    // Component-object initialisation has no counterpart on Linux; the UI starts directly.
    RunMainFrame();

    CefShutdown();
    return 0;
}
