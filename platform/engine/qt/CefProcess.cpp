#include "platform/engine/CefProcess.h"

#include "platform/engine/CefCommandLine.h"
#include "platform/engine/CefCookieManager.h"
#include "platform/engine/CefResource.h"
#include "platform/engine/CefSchemeRegistrar.h"
#include "platform/engine/qt/BrowserRegistry.h"
#include "platform/engine/qt/EngineContext.h"
#include "platform/engine/qt/EngineLocale.h"
#include "platform/engine/qt/PageBridge.h"
#include "platform/engine/qt/PictureInPictureScript.h"
#include "platform/engine/qt/RenderSide.h"
#include "platform/engine/qt/ScreenRendering.h"
#include "platform/engine/qt/TestHostNetwork.h"
#include "platform/engine/qt/TestPageServer.h"
#include "platform/os/OsLayer.h"
#include "platform/ui/Application.h"

#include <QCoreApplication>
#include <QLoggingCategory>
#include <cstdlib>
#include <cstring>
#include <string>
#include <unistd.h>

// The engine's sub-process entry, exported by the engine library.
namespace QtWebEngineCore {
int processMain(int argc, const char** argv);
}

namespace platform::engine {

namespace {
    bool IsSubProcess(const CefMainArgs& args)
    {
        for (int i = 1; i < args.argc && args.argv && args.argv[i]; ++i) {
            if (std::strncmp(args.argv[i], "--type=", 7) == 0)
                return true;
        }
        return false;
    }

    void AppendChromiumFlag(const std::string& flag)
    {
        const char* current = std::getenv("QTWEBENGINE_CHROMIUM_FLAGS");
        qt::UseEngineResolverRules(
            qt::TestPageServer::SwitchValue(current ? current : "", "host-resolver-rules"));
        std::string flags = current ? current : "";
        if (flags.find(flag) != std::string::npos)
            return;
        if (!flags.empty())
            flags += ' ';
        flags += flag;
        setenv("QTWEBENGINE_CHROMIUM_FLAGS", flags.c_str(), 1);
    }

    // Pages come from a public site, so Chromium's sandbox stays on. It cannot run as
    // root, the only case in which it is switched off (unless the caller decided already).
    void ChooseSandbox()
    {
        if (geteuid() == 0)
            setenv("QTWEBENGINE_DISABLE_SANDBOX", "1", 0);
    }

    // The engine reads its switches when its first profile is made, so this runs before.
    void StartTestPageServer()
    {
        auto& server = qt::TestPageServer::Instance();
        if (server.Port() > 0 || !server.Start())
            return;
        const char* current = std::getenv("QTWEBENGINE_CHROMIUM_FLAGS");
        qt::UseEngineResolverRules(
            qt::TestPageServer::SwitchValue(current ? current : "", "host-resolver-rules"));
        const std::string flags
            = qt::TestPageServer::WithTestHostRules(current ? current : "", server.Port());
        setenv("QTWEBENGINE_CHROMIUM_FLAGS", flags.c_str(), 1);
        // Proxies taken from the environment ignore the bypass switch.
        for (const char* name : { "no_proxy", "NO_PROXY" }) {
            const char* value = std::getenv(name);
            std::string list = value ? value : "";
            setenv(name,
                (list.empty() ? std::string(kBuiltInTestHost) : list + "," + kBuiltInTestHost).c_str(), 1);
        }
    }

    // Must happen before the application object and before any engine object exists.
    void PrepareProcess(CefRefPtr<CefApp> application)
    {
        // Nothing of the engine may land on disk, shader caches included.
        setenv("QT_DISABLE_SHADER_DISK_CACHE", "1", 1);
        setenv("MESA_SHADER_CACHE_DISABLE", "true", 1);
        ChooseSandbox();
        QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
        qt::ChooseScreenRenderingBeforeApplication();
        if (application) {
            CefSchemeRegistrar registrar;
            application->OnRegisterCustomSchemes(&registrar);
        }
    }
}

int CefExecuteProcess(const CefMainArgs& args, CefRefPtr<CefApp> application, void* windowsSandboxInfo)
{
    (void)windowsSandboxInfo;
    if (IsSubProcess(args)) {
        // The engine looks up its resources through the application object.
        int argc = args.argc;
        QCoreApplication application(argc, args.argv);
        return QtWebEngineCore::processMain(args.argc, const_cast<const char**>(args.argv));
    }

    qt::EngineContext::Instance().SetArguments(args.argc, args.argv);
    CefCommandLine::InitGlobalCommandLine(qt::EngineContext::Instance().Arguments());
    platform::ui::SetApplicationArguments(args.argc, args.argv);
    // The engine starts this same program for its sub-processes, as it does on every platform.
    const std::string self = platform::os::Os().ExecutablePath();
    if (!self.empty())
        setenv("QTWEBENGINEPROCESS_PATH", self.c_str(), 1);
    PrepareProcess(application);
    return -1;
}

void PrepareEngineForTests(CefRefPtr<CefApp> application) { PrepareProcess(application); }

bool CefInitialize(const CefMainArgs& args, const CefSettings& settings, CefRefPtr<CefApp> application,
    void* windowsSandboxInfo)
{
    (void)windowsSandboxInfo;
    auto& context = qt::EngineContext::Instance();
    if (context.Arguments().empty()) {
        context.SetArguments(args.argc, args.argv);
        CefCommandLine::InitGlobalCommandLine(context.Arguments());
    }
    if (settings.log_severity == LOGSEVERITY_DISABLE) {
        AppendChromiumFlag("--disable-logging");
        QLoggingCategory::setFilterRules(QStringLiteral("qt.webenginecontext*=false\njs*=false"));
    }
    // no_sandbox is a Windows setting; here the sandbox follows the user (see ChooseSandbox).
    ChooseSandbox();
    StartTestPageServer();
    platform::ui::EnsureApplication();
    if (!QCoreApplication::instance())
        return false;
    qt::UseLocale(settings.locale);
    qt::ChooseScreenRendering();
    context.SetStoragePath(settings.cache_path);
    qt::PageBridge::InstallScript(context.Profile());
    qt::InstallPictureInPictureScripts(context.Profile());
    qt::StartRenderSide(application);
    if (application) {
        if (auto handler = application->GetBrowserProcessHandler())
            handler->OnContextInitialized();
    }
    return true;
}

void CefShutdown()
{
    qt::BrowserRegistry::Instance().CloseAll();
    qt::TestPageServer::Instance().Stop();
    qt::StopRenderSide();
    qt::EngineContext::Instance().ReleaseProfile();
}

void CefDoMessageLoopWork() { }

} // namespace platform::engine
