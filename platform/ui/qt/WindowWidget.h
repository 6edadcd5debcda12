#pragma once

#include <QElapsedTimer>
#include <QWidget>
#include <optional>
#include <vector>

#include "platform/ui/WindowTypes.h"

class QTimer;
class QWindowStateChangeEvent;

namespace platform::ui {
class WindowImplBase;
}

namespace platform::ui::qt {

class RatioResize;
class ResizeBorder;

// The native window of a layout window: holds the root control, drags by the
// caption band, resizes at the border and routes close, size and key events. GUI thread only.
class WindowWidget : public QWidget {
public:
    WindowWidget(WindowImplBase* owner, QWidget* parent, Qt::WindowFlags flags);
    ~WindowWidget() override;

    WindowImplBase* Owner() const { return owner_; }
    void Forget() { owner_ = nullptr; }
    void SetRootWidget(QWidget* root);
    /// Handles a press at pos (window coordinates): true when it started a resize or, in the
    /// caption, armed a move that starts once the pointer passes the drag distance.
    bool StartSystemDrag(QPoint pos);
    bool ToggleMaximizeAt(QPoint pos);
    /// Maps the window once control returns to the event loop, unless it is shown or
    /// hidden before then; IsWindowVisible already counts it as visible.
    void ShowSoon();
    bool ShowPending() const { return showPending_; }
    /// A top-level window shown again soon after it was hidden is mapped only once the window
    /// manager has let go of it (pending until then).
    void setVisible(bool visible) override;
    /// Gives the keyboard focus to the visible page the window holds (through a hosted window),
    /// unless one already has it; false when the window holds none.
    bool FocusContent();
    /// The resize cursor for a point near the border, the arrow elsewhere.
    Qt::CursorShape CursorAt(QPoint pos) const;
    /// Resizing at the border keeps width / height = aspect (0: any size).
    void SetAspectRatio(double aspect);
    /// The border's pointer moves while it resizes keeping the ratio: true when taken.
    bool RatioResizeTo(QPoint globalPos);
    void EndRatioResize();
    /// A drag on the hosted content (a page) moves the window.
    void SetMovableByContent();

protected:
    bool event(QEvent* e) override;
    void closeEvent(QCloseEvent* e) override;
    void showEvent(QShowEvent* e) override;
    void focusInEvent(QFocusEvent* e) override;
    void resizeEvent(QResizeEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;
    void mousePressEvent(QMouseEvent* e) override;
    void mouseDoubleClickEvent(QMouseEvent* e) override;
    void mouseMoveEvent(QMouseEvent* e) override;

private:
    Qt::Edges EdgesAt(QPoint pos) const;
    void UpdateBorders();
    void ShowOnceWithdrawn();
    void FocusContentWhenReady(int tries);
    void FollowStateChange(QWindowStateChangeEvent* e);
    WindowImplBase* owner_;
    bool showPending_ = false;
    bool withdrawing_ = false;
    QTimer* withdrawalPoll_ = nullptr;
    QElapsedTimer withdrawalClock_;
    std::optional<QPoint> movePressAt_;
    Qt::WindowStates requestedSizeState_;
    // The size state the latest request replaced while the compositor may not have answered the
    // one before it yet.
    std::optional<Qt::WindowStates> overtakenSizeState_;
    std::vector<ResizeBorder*> borders_;
    RatioResize* ratioResize_ = nullptr;
    bool movableByContent_ = false;
};

// Brings a minimised or hidden window back to the state it had (maximised stays
// maximised); a shown, maximised window returns to its normal geometry.
void RestoreWindow(QWidget* window);

} // namespace platform::ui::qt
