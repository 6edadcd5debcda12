#include "platform/ui/Application.h"

#include <QApplication>
#include <QtGlobal>

namespace platform::ui {

namespace {
    int applicationArgc = 0;
    char** applicationArgv = nullptr;
    char emptyArgument[] = "";
    char* fallbackArgv[] = { emptyArgument, nullptr };

    // Qt takes X11 unless the session type says Wayland, so a compositor without XWayland would
    // leave it no display at all. Wayland comes first where offered, X11 when that connection fails.
    void PreferWaylandWhereOffered()
    {
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") && !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY"))
            qputenv("QT_QPA_PLATFORM", "wayland;xcb");
    }
}

void SetApplicationArguments(int argc, char** argv)
{
    applicationArgc = argc;
    applicationArgv = argv;
}

void EnsureApplication()
{
    if (QCoreApplication::instance())
        return;
    if (!applicationArgv) {
        applicationArgc = 1;
        applicationArgv = fallbackArgv;
    }
    PreferWaylandWhereOffered();
    // Lives until the process ends, as the message loop and every window need it.
    new QApplication(applicationArgc, applicationArgv); // NOLINT(clang-analyzer-cplusplus.NewDeleteLeaks)
    // The Wayland app id: compositors and docks match it to the installed org.example.zandrel.desktop.
    QGuiApplication::setDesktopFileName(QStringLiteral("org.example.zandrel"));
}

HINSTANCE GetModuleHandle()
{
    // The executable is the only module the program has; any fixed non-null token names it.
    static char moduleToken;
    return reinterpret_cast<HINSTANCE>(&moduleToken);
}

} // namespace platform::ui
