#include "platform/ui/ScrollStripUI.h"

#include <algorithm>
#include <functional>
#include <vector>

#include <QAbstractButton>
#include <QBoxLayout>
#include <QPainter>
#include <QPointer>
#include <QWheelEvent>

#include "platform/ui/qt/ControlWidget.h"

namespace platform::ui {

namespace qt {

    // Clips the moving panel; reports its own resizes and the wheel turned over any child.
    class StripViewport : public QWidget {
    public:
        using QWidget::QWidget;
        std::function<void()> onResize;
        std::function<void(int)> onWheel;

    protected:
        void resizeEvent(QResizeEvent*) override
        {
            if (onResize)
                onResize();
        }
        void wheelEvent(QWheelEvent* e) override
        {
            QPoint delta = e->angleDelta();
            int turn = delta.y() != 0 ? delta.y() : delta.x();
            if (!onWheel || turn == 0) {
                e->ignore();
                return;
            }
            onWheel(turn);
            e->accept();
        }
    };

    // Carries the children; reports when their number or sizes change.
    class StripPanel : public QWidget {
    public:
        using QWidget::QWidget;
        std::function<void()> onLayoutChange;

    protected:
        bool event(QEvent* e) override
        {
            bool handled = QWidget::event(e);
            if (e->type() == QEvent::LayoutRequest && onLayoutChange)
                onLayoutChange();
            return handled;
        }
    };

    // A chevron button at one end of the strip; held down it keeps scrolling.
    class StripArrow : public QAbstractButton {
    public:
        StripArrow(bool towardsStart, QWidget* parent)
            : QAbstractButton(parent)
            , towardsStart(towardsStart)
        {
            setAutoRepeat(true);
            setFixedWidth(20);
            setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Expanding);
            setFocusPolicy(Qt::NoFocus);
            setCursor(Qt::PointingHandCursor);
            setAttribute(Qt::WA_Hover, true);
        }
        QColor ink { 0xC7, 0xCD, 0xD9 };

    protected:
        void paintEvent(QPaintEvent*) override
        {
            QPainter painter(this);
            painter.setRenderHint(QPainter::Antialiasing, true);
            if (isEnabled() && (underMouse() || isDown())) {
                QColor back = ink;
                back.setAlpha(isDown() ? 70 : 40);
                painter.fillRect(rect(), back);
            }
            QColor pen = ink;
            if (!isEnabled())
                pen.setAlpha(80);
            painter.setPen(QPen(pen, 2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
            QPointF c = QRectF(rect()).center();
            qreal side = towardsStart ? 2.5 : -2.5;
            const QPointF chevron[3] = { c + QPointF(side, -5), c + QPointF(-side, 0), c + QPointF(side, 5) };
            painter.drawPolyline(chevron, 3);
        }

    private:
        bool towardsStart;
    };

    struct ScrollStripParts {
        QPointer<StripArrow> back, forward;
        QPointer<StripViewport> viewport;
        QPointer<StripPanel> panel;
        // The child kept in view until the user scrolls.
        QPointer<QWidget> target;
        int offset = 0;
        int wheelTurn = 0;
        bool relaying = false;
    };

} // namespace qt

namespace {
    constexpr int kWheelNotch = 120;
    constexpr int kFallbackStep = 60;
}

CScrollStripUI::CScrollStripUI()
    : parts_(std::make_unique<qt::ScrollStripParts>())
{
    auto* outer = static_cast<QBoxLayout*>(widget_->layout());
    parts_->back = new qt::StripArrow(true, widget_);
    parts_->viewport = new qt::StripViewport(widget_);
    parts_->forward = new qt::StripArrow(false, widget_);
    outer->insertWidget(0, parts_->back);
    outer->insertWidget(1, parts_->viewport, 1);
    outer->insertWidget(2, parts_->forward);
    parts_->back->hide();
    parts_->forward->hide();
    parts_->panel = new qt::StripPanel(parts_->viewport);
    auto* row = new QHBoxLayout(parts_->panel);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(0);

    parts_->viewport->onResize = [this] { Relayout(); };
    parts_->viewport->onWheel = [this](int turn) {
        parts_->wheelTurn += turn;
        int notches = parts_->wheelTurn / kWheelNotch;
        parts_->wheelTurn %= kWheelNotch;
        if (notches)
            ScrollBy(-notches);
    };
    parts_->panel->onLayoutChange = [this] { Relayout(); };
    QObject::connect(parts_->back, &QAbstractButton::clicked, [this] { ScrollBy(-1); });
    QObject::connect(parts_->forward, &QAbstractButton::clicked, [this] { ScrollBy(1); });
}

CScrollStripUI::~CScrollStripUI()
{
    RemoveAll();
    // The widgets may outlive this control for a moment (deferred deletion).
    if (parts_->viewport) {
        parts_->viewport->onResize = nullptr;
        parts_->viewport->onWheel = nullptr;
    }
    if (parts_->panel)
        parts_->panel->onLayoutChange = nullptr;
    for (QAbstractButton* arrow : { parts_->back.data(), parts_->forward.data() }) {
        if (arrow)
            QObject::disconnect(arrow, nullptr, nullptr, nullptr);
    }
}

void* CScrollStripUI::GetInterface(const CDuiString& name)
{
    return name == u"ScrollStrip" ? this : CHorizontalLayoutUI::GetInterface(name);
}

QWidget* CScrollStripUI::ItemHost() const { return parts_ ? parts_->panel.data() : nullptr; }

void CScrollStripUI::EnsureVisible(CControlUI* item)
{
    if (!item || GetItemIndex(item) < 0)
        return;
    parts_->target = item->Widget();
    Relayout();
}

void CScrollStripUI::ScrollBy(int steps)
{
    parts_->target = nullptr;
    // Each step brings the next child's left edge to the strip's start, so the first child
    // in view is a whole one (children may differ in width).
    std::vector<int> edges;
    for (int i = 0; i < GetCount(); ++i) {
        QWidget* child = GetItemAt(i)->Widget();
        if (child && !child->isHidden())
            edges.push_back(child->geometry().left());
    }
    if (edges.empty() || parts_->panel->width() <= 0) {
        parts_->offset += steps * kFallbackStep;
        Relayout();
        return;
    }
    for (; steps > 0; --steps) {
        auto next = std::upper_bound(edges.begin(), edges.end(), parts_->offset);
        parts_->offset = std::min(next == edges.end() ? edges.back() : *next, GetScrollRange());
    }
    for (; steps < 0; ++steps) {
        auto previous = std::lower_bound(edges.begin(), edges.end(), parts_->offset);
        parts_->offset = previous == edges.begin() ? 0 : *std::prev(previous);
    }
    Relayout();
}

int CScrollStripUI::GetScrollPos() const { return parts_->offset; }

int CScrollStripUI::GetScrollRange() const
{
    if (!parts_->panel || !parts_->viewport)
        return 0;
    return std::max(0, parts_->panel->width() - parts_->viewport->width());
}

bool CScrollStripUI::IsOverflowing() const { return parts_->back && !parts_->back->isHidden(); }

void CScrollStripUI::Relayout()
{
    qt::ScrollStripParts& p = *parts_;
    if (p.relaying || !widget_ || !p.viewport || !p.panel || !p.back || !p.forward)
        return;
    p.relaying = true;
    QLayout* outer = widget_->layout();
    QRect room = widget_->contentsRect().marginsRemoved(outer->contentsMargins());
    int contentWidth = p.panel->layout()->sizeHint().width();
    bool overflow = contentWidth > room.width();
    if (p.back->isHidden() == overflow) {
        p.back->setVisible(overflow);
        p.forward->setVisible(overflow);
        outer->activate();
    }
    if (textColor_) {
        p.back->ink = qt::ToQColor(textColor_);
        p.forward->ink = p.back->ink;
    }

    int viewWidth = p.viewport->width();
    p.panel->resize(contentWidth, p.viewport->height());
    // Place the children now: the reveal below needs their positions.
    p.panel->layout()->setGeometry(QRect(0, 0, contentWidth, p.viewport->height()));
    if (p.target && p.target->parentWidget() == p.panel && !p.target->isHidden()) {
        QRect item = p.target->geometry();
        if (item.right() + 1 > p.offset + viewWidth)
            p.offset = item.right() + 1 - viewWidth;
        if (item.left() < p.offset)
            p.offset = item.left();
    }
    int range = std::max(0, contentWidth - viewWidth);
    p.offset = std::clamp(p.offset, 0, range);
    p.panel->move(-p.offset, 0);
    p.back->setEnabled(p.offset > 0);
    p.forward->setEnabled(p.offset < range);
    p.relaying = false;
}

} // namespace platform::ui
