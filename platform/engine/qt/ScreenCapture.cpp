#include "platform/engine/ScreenCapture.h"

#include "platform/ui/qt/DesktopSources.h"

#include <QGuiApplication>
#include <QScreen>

namespace platform::engine {

bool CanCaptureScreen()
{
    // The engine captures through X11 alone (it is built without PipeWire and the desktop
    // portal), and a Wayland desktop keeps its windows out of X11's reach: asked there, it
    // fails to start the capture, or on the desktop's X server (whose screens it names
    // XWAYLAND0 and on) shares a black screen as if all were well.
    if (QGuiApplication::platformName().startsWith(QLatin1String("wayland")))
        return false;
    // Newer XWayland servers name their screens after the compositor's outputs, but offer
    // their own extension.
    if (ui::qt::IsXWaylandServer())
        return false;
    const auto screens = QGuiApplication::screens();
    return std::none_of(screens.begin(), screens.end(),
        [](const QScreen* screen) { return screen->name().startsWith(QLatin1String("XWAYLAND")); });
}

} // namespace platform::engine
