#include "platform/ui/qt/WindowWidget.h"

#include <QApplication>
#include <QCloseEvent>
#include <QPointer>
#include <QTimer>
#include <QVBoxLayout>
#include <QWindow>
#include <QWindowStateChangeEvent>

#include "platform/ui/WindowImplBase.h"
#include "platform/ui/qt/ControlWidget.h"
#include "platform/ui/qt/RatioResize.h"
#include "platform/ui/qt/ResizeBorder.h"
#include "platform/ui/qt/WaylandWindowGeometry.h"
#include "platform/ui/qt/WidgetHandles.h"
#include "platform/ui/qt/WindowManagerState.h"

namespace platform::ui::qt {

namespace {
    constexpr int kWithdrawalPollMs = 10;
    // A manager that never answers must not keep the window off the screen for good.
    constexpr qint64 kWithdrawalLimitMs = 3000;
    constexpr int kPageReadyPollMs = 100;
    constexpr int kPageReadyTries = 50;
    constexpr Qt::WindowStates kSizeStates = Qt::WindowMaximized | Qt::WindowFullScreen;

    QWidget* WidgetOfWindow(QWindow* window)
    {
        for (QWidget* widget : QApplication::topLevelWidgets()) {
            if (window && widget->windowHandle() == window)
                return widget;
        }
        return nullptr;
    }

    // A page takes the keyboard focus; layout windows and controls (which take it by Tab only)
    // pass it on.
    bool TakesFocus(QWidget* widget, QWidget* window)
    {
        return widget->isEnabled() && widget->isVisibleTo(window) && (widget->focusPolicy() & Qt::ClickFocus)
            && !dynamic_cast<WindowWidget*>(widget);
    }

    // A window that loses the focus learns which window took it (nullptr: none of ours),
    // so pop-ups can close when the user turns elsewhere.
    void TrackFocusChanges()
    {
        static bool tracking = false;
        if (tracking || !qApp)
            return;
        tracking = true;
        static QPointer<QWindow> previous;
        QObject::connect(qApp, &QGuiApplication::focusWindowChanged, [](QWindow* now) {
            QWidget* before = WidgetOfWindow(previous.data());
            previous = now;
            auto* window = dynamic_cast<WindowWidget*>(before);
            if (!window || !window->Owner())
                return;
            QWidget* after = WidgetOfWindow(now);
            window->Owner()->HandleMessage(
                WM_KILLFOCUS, reinterpret_cast<WPARAM>(after ? HandleFromWidget(after) : nullptr), 0);
        });
    }
}

WindowWidget::WindowWidget(WindowImplBase* owner, QWidget* parent, Qt::WindowFlags flags)
    : QWidget(parent, flags)
    , owner_(owner)
{
    TrackFocusChanges();
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    setMouseTracking(true);
    setFocusPolicy(Qt::StrongFocus);
}

WindowWidget::~WindowWidget()
{
    // Deleted by its parent without DestroyNow: the window still gets its final message.
    if (owner_) {
        WindowImplBase* owner = owner_;
        owner_ = nullptr;
        owner->Teardown(false);
    }
}

void WindowWidget::SetRootWidget(QWidget* root)
{
    root->setParent(this);
    layout()->addWidget(root);
    root->show();
    UpdateBorders();
}

void WindowWidget::UpdateBorders()
{
    if (!owner_ || !isWindow() || !(owner_->GetStyle() & WS_THICKFRAME))
        return;
    if (borders_.empty()) {
        for (Qt::Edge edge : { Qt::TopEdge, Qt::BottomEdge, Qt::LeftEdge, Qt::RightEdge })
            borders_.push_back(new ResizeBorder(this, edge));
    }
    RECT box = owner_->GetPaintManager()->GetSizeBox();
    const int thickness[] = { box.top, box.bottom, box.left, box.right };
    bool resizable = !isMaximized() && !isFullScreen();
    for (std::size_t i = 0; i < borders_.size(); ++i) {
        borders_[i]->Place(thickness[i]);
        borders_[i]->setVisible(resizable && thickness[i] > 0);
    }
}

void RestoreWindow(QWidget* window)
{
    if (window->isMinimized())
        window->setWindowState(window->windowState() & ~Qt::WindowMinimized);
    else if (window->isVisible())
        window->setWindowState(window->windowState() & ~(Qt::WindowMaximized | Qt::WindowFullScreen));
    window->show();
}

void WindowWidget::ShowSoon()
{
    showPending_ = true;
    QTimer::singleShot(0, this, [this] {
        if (showPending_)
            show();
    });
}

void WindowWidget::setVisible(bool visible)
{
    showPending_ = false;
    if (!isWindow()) {
        QWidget::setVisible(visible);
        return;
    }
    // A map that reaches the window manager while it is still withdrawing the window (openbox:
    // the map request of a client it still manages) is dropped, and the window stays unmapped
    // for good. ICCCM 4.1.4: a withdrawn window is mapped again only once WM_STATE says so.
    if (visible && !isVisible() && withdrawing_) {
        withdrawing_ = WindowManagerHolds(this);
        if (withdrawing_) {
            ShowOnceWithdrawn();
            return;
        }
    }
    const bool wasShown = isVisible();
    QWidget::setVisible(visible);
    if (!visible && wasShown)
        withdrawing_ = true;
}

void WindowWidget::ShowOnceWithdrawn()
{
    showPending_ = true;
    withdrawalClock_.start();
    if (!withdrawalPoll_) {
        withdrawalPoll_ = new QTimer(this);
        withdrawalPoll_->setInterval(kWithdrawalPollMs);
        connect(withdrawalPoll_, &QTimer::timeout, this, [this] {
            if (showPending_ && WindowManagerHolds(this) && withdrawalClock_.elapsed() < kWithdrawalLimitMs)
                return;
            withdrawalPoll_->stop();
            withdrawing_ = false;
            if (showPending_)
                show();
        });
    }
    withdrawalPoll_->start();
}

bool WindowWidget::FocusContent()
{
    QWidget* current = window()->focusWidget();
    if (current && isAncestorOf(current) && TakesFocus(current, this))
        return true;
    for (QWidget* child : findChildren<QWidget*>()) {
        if (TakesFocus(child, this)) {
            child->setFocus(Qt::OtherFocusReason);
            return true;
        }
    }
    return false;
}

void WindowWidget::FocusContentWhenReady(int tries)
{
    // A page still being built (its view shows before the part that takes the keyboard) gets
    // the focus once it can, if the window is still active and nothing else took it.
    QTimer::singleShot(kPageReadyPollMs, this, [this, tries] {
        QWidget* current = QApplication::focusWidget();
        if (!isActiveWindow() || (current && current != this && TakesFocus(current, this)))
            return;
        if (!FocusContent() && tries > 1)
            FocusContentWhenReady(tries - 1);
    });
}

void WindowWidget::showEvent(QShowEvent* e)
{
    QWidget::showEvent(e);
    if (isWindow())
        ResendGeometryOnExpose(windowHandle());
    // A hosted window coming into view (the selected tab) brings its page the keyboard focus.
    if (auto* top = dynamic_cast<WindowWidget*>(window()); top && top != this)
        top->FocusContent();
}

void WindowWidget::focusInEvent(QFocusEvent* e)
{
    QWidget::focusInEvent(e);
    // A click on the window's own surface (caption, tab bar) lands here; the keyboard stays with
    // the page.
    if (auto* top = dynamic_cast<WindowWidget*>(window()))
        top->FocusContent();
}

bool WindowWidget::event(QEvent* e)
{
    if (e->type() == QEvent::WindowActivate && isWindow() && !FocusContent())
        FocusContentWhenReady(kPageReadyTries);
    if (e->type() == QEvent::WindowStateChange && owner_) {
        // Only one of the two window buttons makes sense at a time.
        CControlUI* maxButton = owner_->FindControl(u"maxbtn");
        CControlUI* restoreButton = owner_->FindControl(u"restorebtn");
        if (maxButton && restoreButton) {
            maxButton->SetVisible(!isMaximized());
            restoreButton->SetVisible(isMaximized());
        }
        UpdateBorders();
    }
    if (e->type() == QEvent::WindowStateChange && isWindow())
        FollowStateChange(static_cast<QWindowStateChangeEvent*>(e));
    // The compositor's answer to the latest request: a late one can no longer come.
    if (e->type() == QEvent::Resize && e->spontaneous()
        && (windowState() & kSizeStates) == requestedSizeState_)
        overtakenSizeState_.reset();
    return QWidget::event(e);
}

void WindowWidget::FollowStateChange(QWindowStateChangeEvent* e)
{
    const Qt::WindowStates now = windowState() & kSizeStates;
    if (!e->spontaneous()) {
        overtakenSizeState_ = e->oldState() & kSizeStates;
        requestedSizeState_ = now;
        return;
    }
    // Qt's Wayland client compares a request with the state it last applied, not with the one it
    // last asked for: a restore asked for before the maximise was configured is never sent, and
    // the late configure leaves the window maximised. Asking again once sends it.
    const bool lateAnswer = overtakenSizeState_ && now == *overtakenSizeState_ && now != requestedSizeState_;
    overtakenSizeState_.reset();
    if (lateAnswer && QGuiApplication::platformName().startsWith(QLatin1String("wayland")))
        setWindowState((windowState() & ~kSizeStates) | requestedSizeState_);
}

void WindowWidget::closeEvent(QCloseEvent* e)
{
    // The desktop's close request takes the window's own close path, which may refuse.
    e->ignore();
    if (owner_)
        PostMessage(owner_->GetHWND(), WM_CLOSE, 0, 0);
}

void WindowWidget::resizeEvent(QResizeEvent* e)
{
    QWidget::resizeEvent(e);
    UpdateBorders();
    if (owner_) {
        LPARAM size = (static_cast<LPARAM>(height() & 0xFFFF) << 16) | (width() & 0xFFFF);
        owner_->HandleMessage(WM_SIZE, 0, size);
    }
}

void WindowWidget::keyPressEvent(QKeyEvent* e)
{
    WPARAM vk = VirtualKeyFromQt(e->key());
    if (!vk || !owner_ || !DispatchKey(owner_, vk, nullptr))
        e->ignore();
}

Qt::Edges WindowWidget::EdgesAt(QPoint pos) const
{
    Qt::Edges edges;
    if (!owner_ || !isWindow() || isMaximized() || isFullScreen() || !(owner_->GetStyle() & WS_THICKFRAME))
        return edges;
    RECT box = owner_->GetPaintManager()->GetSizeBox();
    if (pos.x() < box.left)
        edges |= Qt::LeftEdge;
    if (pos.x() >= width() - box.right)
        edges |= Qt::RightEdge;
    if (pos.y() < box.top)
        edges |= Qt::TopEdge;
    if (pos.y() >= height() - box.bottom)
        edges |= Qt::BottomEdge;
    return edges;
}

bool WindowWidget::StartSystemDrag(QPoint pos)
{
    if (!owner_ || !isWindow() || !windowHandle())
        return false;
    if (Qt::Edges edges = EdgesAt(pos)) {
        overtakenSizeState_.reset();
        // A Wayland window cannot place itself, so a ratio kept from the left or top edge would
        // grow the wrong way: the compositor resizes it freely there.
        if (ratioResize_ && !QGuiApplication::platformName().startsWith(QLatin1String("wayland")))
            ratioResize_->Begin(edges, mapToGlobal(pos));
        else
            windowHandle()->startSystemResize(edges);
        return true;
    }
    RECT caption = owner_->GetPaintManager()->GetCaptionRect();
    if (pos.y() >= caption.top && pos.y() < caption.bottom && pos.x() >= caption.left
        && pos.x() < width() - caption.right) {
        // A move started at the press would swallow the second click of a double click.
        movePressAt_ = mapToGlobal(pos);
        return true;
    }
    return false;
}

bool WindowWidget::ToggleMaximizeAt(QPoint pos)
{
    movePressAt_.reset();
    if (!owner_ || !isWindow() || !(owner_->GetStyle() & WS_MAXIMIZEBOX))
        return false;
    RECT caption = owner_->GetPaintManager()->GetCaptionRect();
    if (pos.y() < caption.top || pos.y() >= caption.bottom)
        return false;
    owner_->SendMessageW(WM_SYSCOMMAND, isMaximized() ? SC_RESTORE : SC_MAXIMIZE, 0);
    return true;
}

void WindowWidget::mousePressEvent(QMouseEvent* e)
{
    if (e->button() == Qt::LeftButton)
        StartSystemDrag(e->position().toPoint());
}

void WindowWidget::mouseDoubleClickEvent(QMouseEvent* e)
{
    movePressAt_.reset();
    ToggleMaximizeAt(e->position().toPoint());
}

void WindowWidget::mouseMoveEvent(QMouseEvent* e)
{
    // Moves over controls reach here too: they pass them on to their parents.
    if (movePressAt_ && !(e->buttons() & Qt::LeftButton))
        movePressAt_.reset();
    if (movePressAt_ && windowHandle()
        && (e->globalPosition().toPoint() - *movePressAt_).manhattanLength()
            >= QApplication::startDragDistance()) {
        movePressAt_.reset();
        overtakenSizeState_.reset();
        windowHandle()->startSystemMove();
        return;
    }
    QPoint pos = mapFromGlobal(e->globalPosition().toPoint());
    if (EdgesAt(pos))
        setCursor(CursorAt(pos));
    else
        unsetCursor();
}

void WindowWidget::SetAspectRatio(double aspect)
{
    delete ratioResize_;
    ratioResize_ = aspect > 0 ? new RatioResize(this, aspect) : nullptr;
}

bool WindowWidget::RatioResizeTo(QPoint globalPos) { return ratioResize_ && ratioResize_->MoveTo(globalPos); }

void WindowWidget::EndRatioResize()
{
    if (ratioResize_)
        ratioResize_->End();
}

void WindowWidget::SetMovableByContent()
{
    if (!movableByContent_)
        new ContentDrag(this);
    movableByContent_ = true;
}

Qt::CursorShape WindowWidget::CursorAt(QPoint pos) const
{
    Qt::Edges edges = EdgesAt(pos);
    if ((edges & Qt::LeftEdge && edges & Qt::TopEdge) || (edges & Qt::RightEdge && edges & Qt::BottomEdge))
        return Qt::SizeFDiagCursor;
    if ((edges & Qt::RightEdge && edges & Qt::TopEdge) || (edges & Qt::LeftEdge && edges & Qt::BottomEdge))
        return Qt::SizeBDiagCursor;
    if (edges & (Qt::LeftEdge | Qt::RightEdge))
        return Qt::SizeHorCursor;
    if (edges & (Qt::TopEdge | Qt::BottomEdge))
        return Qt::SizeVerCursor;
    return Qt::ArrowCursor;
}

} // namespace platform::ui::qt
