#include "platform/ui/qt/WindowWidget.h"

#include <QApplication>
#include <QCloseEvent>
#include <QPointer>
#include <QTimer>
#include <QVBoxLayout>
#include <QWindow>

#include "platform/ui/WindowImplBase.h"
#include "platform/ui/qt/ControlWidget.h"
#include "platform/ui/qt/WidgetHandles.h"

namespace platform::ui::qt {

namespace {
    QWidget* WidgetOfWindow(QWindow* window)
    {
        for (QWidget* widget : QApplication::topLevelWidgets()) {
            if (window && widget->windowHandle() == window)
                return widget;
        }
        return nullptr;
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
            EventScope scope;
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
    QWidget::setVisible(visible);
}

bool WindowWidget::event(QEvent* e)
{
    EventScope scope;
    if (e->type() == QEvent::WindowStateChange && owner_) {
        // Only one of the two window buttons makes sense at a time.
        CControlUI* maxButton = owner_->FindControl(u"maxbtn");
        CControlUI* restoreButton = owner_->FindControl(u"restorebtn");
        if (maxButton && restoreButton) {
            maxButton->SetVisible(!isMaximized());
            restoreButton->SetVisible(isMaximized());
        }
    }
    return QWidget::event(e);
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
    if (!owner_ || !isWindow() || isMaximized() || !(owner_->GetStyle() & WS_THICKFRAME))
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
        windowHandle()->startSystemResize(edges);
        return true;
    }
    RECT caption = owner_->GetPaintManager()->GetCaptionRect();
    if (pos.y() >= caption.top && pos.y() < caption.bottom && pos.x() >= caption.left
        && pos.x() < width() - caption.right) {
        windowHandle()->startSystemMove();
        return true;
    }
    return false;
}

bool WindowWidget::ToggleMaximizeAt(QPoint pos)
{
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

void WindowWidget::mouseDoubleClickEvent(QMouseEvent* e) { ToggleMaximizeAt(e->position().toPoint()); }

void WindowWidget::mouseMoveEvent(QMouseEvent* e)
{
    Qt::Edges edges = EdgesAt(mapFromGlobal(e->globalPosition().toPoint()));
    Qt::CursorShape shape = Qt::ArrowCursor;
    if ((edges & Qt::LeftEdge && edges & Qt::TopEdge) || (edges & Qt::RightEdge && edges & Qt::BottomEdge))
        shape = Qt::SizeFDiagCursor;
    else if ((edges & Qt::RightEdge && edges & Qt::TopEdge)
        || (edges & Qt::LeftEdge && edges & Qt::BottomEdge))
        shape = Qt::SizeBDiagCursor;
    else if (edges & (Qt::LeftEdge | Qt::RightEdge))
        shape = Qt::SizeHorCursor;
    else if (edges & (Qt::TopEdge | Qt::BottomEdge))
        shape = Qt::SizeVerCursor;
    if (edges)
        setCursor(shape);
    else
        unsetCursor();
}

} // namespace platform::ui::qt
