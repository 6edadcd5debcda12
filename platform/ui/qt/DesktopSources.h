#pragma once

#include <QImage>
#include <QString>
#include <vector>

namespace platform::ui::qt {

// Something on the desktop a page may be shown: a screen, or a program's window on X11.
struct DesktopSource {
    QString id;
    QString name;
};

// What a source shows at one moment.
struct DesktopFrame {
    QImage image;
    // The source is no more (its window closed, its screen unplugged): no frame will follow.
    bool gone = false;
};

// The screens, then the windows in their stacking order, topmost first, at most limit in all.
// Windows are listed only on X11, from the window manager's client list, or without one, from
// the root's mapped children that have a name.
std::vector<DesktopSource> ListDesktopSources(size_t limit);

// True when Qt's X server is a Wayland desktop's XWayland (it offers the XWAYLAND extension),
// whatever it names its screens.
bool IsXWaylandServer();

// Captures one source for as long as it lives. A window is meanwhile kept whole off-screen by
// the X server, so that windows above it do not show through and it can be grabbed covered.
class DesktopCapture {
public:
    explicit DesktopCapture(const QString& id);
    ~DesktopCapture();
    DesktopCapture(const DesktopCapture&) = delete;
    DesktopCapture& operator=(const DesktopCapture&) = delete;

    // False when there was no such source to begin with.
    bool Valid() const { return screen >= 0 || window != 0; }
    // A null image with gone false when the source shows nothing just now (a minimised window).
    DesktopFrame Grab() const;

private:
    DesktopFrame GrabScreen() const;
    DesktopFrame GrabWindow() const;

    int screen = -1;
    unsigned window = 0;
    bool redirected = false;
};

} // namespace platform::ui::qt
