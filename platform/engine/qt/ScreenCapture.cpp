#include "platform/engine/ScreenCapture.h"

#include <QGuiApplication>

namespace platform::engine {

bool CanCaptureScreen()
{
    // The engine captures through X11 alone (it is built without PipeWire and the desktop
    // portal), and a Wayland desktop keeps its windows out of X11's reach: asked there, it
    // either fails to start the capture or shares an empty screen.
    return !QGuiApplication::platformName().startsWith(QLatin1String("wayland"));
}

} // namespace platform::engine
