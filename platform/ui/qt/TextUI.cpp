#include "platform/ui/LabelUI.h"

#include <QCoreApplication>
#include <QEvent>
#include <QPainter>
#include <QPointer>
#include <QScrollBar>
#include <functional>

#include "platform/ui/RenderEngine.h"
#include "platform/ui/qt/ControlWidget.h"

namespace platform::ui {

namespace qt {

    // Watches the text's widget: a resize measures the text again, the wheel scrolls it.
    class TextScrollWatcher : public QObject {
    public:
        TextScrollWatcher(QWidget* widget, QScrollBar* bar, std::function<void()> onResize)
            : QObject(widget)
            , bar(bar)
            , onResize(std::move(onResize))
        {
            widget->installEventFilter(this);
        }

    protected:
        bool eventFilter(QObject*, QEvent* e) override
        {
            if (e->type() == QEvent::Resize) {
                onResize();
            } else if (e->type() == QEvent::Wheel && bar && bar->isVisible()) {
                QCoreApplication::sendEvent(bar, e);
                return true;
            }
            return false;
        }

    private:
        QPointer<QScrollBar> bar;
        std::function<void()> onResize;
    };

    struct TextScrollParts {
        QPointer<QScrollBar> bar;
        QPointer<TextScrollWatcher> watcher;
        // The height of the whole text beside the bar, while the bar shows.
        int textHeight = 0;
    };

} // namespace qt

CTextUI::CTextUI()
    : parts_(std::make_unique<qt::TextScrollParts>())
{
    textStyle_ = DT_WORDBREAK;
    parts_->bar = new QScrollBar(Qt::Vertical, widget_);
    parts_->bar->setCursor(Qt::ArrowCursor);
    parts_->bar->hide();
    QObject::connect(parts_->bar, &QScrollBar::valueChanged, widget_, [this] { Invalidate(); });
    parts_->watcher = new qt::TextScrollWatcher(widget_, parts_->bar, [this] { UpdateScrollRange(); });
}

// The widget may outlive the control: its watcher must not call back into it.
CTextUI::~CTextUI() { delete parts_->watcher.data(); }

void* CTextUI::GetInterface(const CDuiString& name)
{
    return name == u"Text" ? this : CLabelUI::GetInterface(name);
}

void CTextUI::SetText(const CDuiString& text)
{
    CLabelUI::SetText(text);
    UpdateScrollRange();
}

int CTextUI::GetScrollPos() const
{
    return parts_->bar && parts_->bar->isVisible() ? parts_->bar->value() : 0;
}

int CTextUI::GetScrollRange() const
{
    return parts_->bar && parts_->bar->isVisible() ? parts_->bar->maximum() : 0;
}

void CTextUI::SetScrollPos(int pos)
{
    if (parts_->bar)
        parts_->bar->setValue(pos);
}

void CTextUI::UpdateScrollRange()
{
    QScrollBar* bar = parts_->bar;
    if (!widget_ || !bar)
        return;
    const QSize box = widget_->size();
    const int paddingX = textPadding_.left + textPadding_.right;
    const int paddingY = textPadding_.top + textPadding_.bottom;
    const bool wraps = textStyle_ & DT_WORDBREAK;
    auto heightAt = [&](int width) {
        return CRenderEngine::GetWrappedTextSize(manager_, text_, font_, width - paddingX).cy + paddingY;
    };
    if (!wraps || text_.empty() || box.height() <= 0 || heightAt(box.width()) <= box.height()) {
        bar->hide();
        bar->setValue(0);
        Invalidate();
        return;
    }
    const int barWidth = bar->sizeHint().width();
    parts_->textHeight = heightAt(box.width() - barWidth);
    bar->setGeometry(box.width() - barWidth, 0, barWidth, box.height());
    bar->setRange(0, parts_->textHeight - box.height());
    bar->setPageStep(box.height());
    bar->setSingleStep(std::max(1, CRenderEngine::GetTextSize(manager_, u"X", font_).cy));
    bar->show();
    Invalidate();
}

void CTextUI::PaintText(HDC hdc)
{
    QScrollBar* bar = parts_->bar;
    if (!bar || !bar->isVisible()) {
        CLabelUI::PaintText(hdc);
        return;
    }
    const RECT pos = GetPos();
    RECT rc { pos.left + textPadding_.left, pos.top + textPadding_.top - bar->value(),
        pos.right - bar->width() - textPadding_.right, 0 };
    rc.bottom = rc.top + parts_->textHeight - textPadding_.top - textPadding_.bottom;
    auto* painter = reinterpret_cast<QPainter*>(hdc);
    painter->save();
    painter->setClipRect(
        QRect(pos.left, pos.top, pos.right - pos.left, pos.bottom - pos.top), Qt::IntersectClip);
    PaintTextDefault(hdc, 0, rc);
    painter->restore();
}

} // namespace platform::ui
