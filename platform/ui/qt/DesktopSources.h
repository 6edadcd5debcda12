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
// A null image with gone false when the source shows nothing just now (a minimised window).
DesktopFrame GrabDesktopSource(const QString& id);

} // namespace platform::ui::qt
