#pragma once

#include <QObject>
#include <QRect>

class QWidget;

namespace platform::ui::qt {

/// The geometry a window resized from edges by delta takes while keeping width / height =
/// aspect: the edge or corner opposite the dragged one stays put (the top-left corner for the
/// right or bottom edge alone), the size stays within minimum
/// and bounds (the work area), and the larger of the two proportional changes wins at a corner.
QRect RatioResizedGeometry(const QRect& start, Qt::Edges edges, const QPoint& delta, double aspect,
    const QSize& minimum, const QRect& bounds);

/// A resize at a window's border done by the program rather than the window manager, which has
/// no way to keep a ratio. GUI thread only.
class RatioResize : public QObject {
public:
    RatioResize(QWidget* window, double aspect);

    double Aspect() const { return aspect_; }
    void Begin(Qt::Edges edges, QPoint globalPos);
    /// True while a resize runs (the pointer's move is then taken).
    bool MoveTo(QPoint globalPos);
    void End() { edges_ = {}; }

private:
    QWidget* window_;
    double aspect_;
    Qt::Edges edges_;
    QPoint pressAt_;
    QRect start_;
};

/// Lets a press and drag anywhere on what a window hosts (a page, not the controls, which have
/// their own clicks) move the window, as on its caption. GUI thread only.
class ContentDrag : public QObject {
public:
    explicit ContentDrag(QWidget* window);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QWidget* window_;
    bool armed_ = false;
    QPoint pressAt_;
};

} // namespace platform::ui::qt
