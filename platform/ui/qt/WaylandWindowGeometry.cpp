#include "platform/ui/qt/WaylandWindowGeometry.h"

#include <QEvent>
#include <QGuiApplication>
#include <QWindow>

namespace platform::ui::qt {

namespace {
    class GeometryOnExpose : public QObject {
    public:
        explicit GeometryOnExpose(QWindow* window)
            : QObject(window)
            , window_(window)
        {
        }

    protected:
        bool eventFilter(QObject* watched, QEvent* e) override
        {
            // Runs before the window's own handling, so the geometry precedes the repaint's commit.
            // setFramePosition reaches the platform window even when nothing changed, unlike
            // setGeometry; Wayland ignores a top-level's position.
            if (watched == window_ && e->type() == QEvent::Expose && window_->isExposed())
                window_->setFramePosition(window_->framePosition());
            return false;
        }

    private:
        QWindow* window_;
    };
}

void ResendGeometryOnExpose(QWindow* window)
{
    if (!window || !QGuiApplication::platformName().startsWith(QLatin1String("wayland"))
        || window->findChild<GeometryOnExpose*>(QString(), Qt::FindDirectChildrenOnly))
        return;
    window->installEventFilter(new GeometryOnExpose(window));
}

} // namespace platform::ui::qt
