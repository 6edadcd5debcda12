#include "platform/ui/Application.h"

#include <QApplication>

namespace platform::ui {

namespace {
    int applicationArgc = 0;
    char** applicationArgv = nullptr;
    char emptyArgument[] = "";
    char* fallbackArgv[] = { emptyArgument, nullptr };
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
    // Lives until the process ends, as the message loop and every window need it.
    new QApplication(applicationArgc, applicationArgv);
}

HINSTANCE GetModuleHandle()
{
    // The executable is the only module the program has; any fixed non-null token names it.
    static char moduleToken;
    return reinterpret_cast<HINSTANCE>(&moduleToken);
}

} // namespace platform::ui
