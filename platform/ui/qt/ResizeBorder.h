#pragma once

#include <QWidget>

namespace platform::ui::qt {

class WindowWidget;

// One transparent strip along an edge of a resizable window, stacked above every
// control (the hosted page included) so the border stays reachable. GUI thread only.
class ResizeBorder : public QWidget {
public:
    ResizeBorder(WindowWidget* window, Qt::Edge edge);
    // Lays the strip along its edge for the given border thickness.
    void Place(int thickness);

protected:
    void mousePressEvent(QMouseEvent* e) override;
    void mouseMoveEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;

private:
    WindowWidget* window_;
    Qt::Edge edge_;
};

} // namespace platform::ui::qt
