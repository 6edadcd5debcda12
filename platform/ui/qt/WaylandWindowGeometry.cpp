#include "platform/ui/qt/WaylandWindowGeometry.h"

#include <algorithm>

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

    // The filter class has no meta-object of its own, so Qt's typed child lookup would take any
    // child object for it; the language's own type check tells them apart.
    bool HasGeometryFilter(const QWindow* window)
    {
        const QObjectList& children = window->children();
        return std::any_of(children.begin(), children.end(),
            [](const QObject* child) { return dynamic_cast<const GeometryOnExpose*>(child) != nullptr; });
    }
}

void ResendGeometryOnExpose(QWindow* window)
{
    if (!window || !QGuiApplication::platformName().startsWith(QLatin1String("wayland"))
        || HasGeometryFilter(window))
        return;
    window->installEventFilter(new GeometryOnExpose(window));
}

} // namespace platform::ui::qt
