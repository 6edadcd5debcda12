#include "platform/engine/qt/BrowserView.h"

#include "platform/engine/qt/ContextMenu.h"
#include "platform/engine/qt/QtBrowser.h"

#include <QDragEnterEvent>
#include <QMimeData>

namespace platform::engine::qt {

namespace {
    class DragData final : public CefDragData {
    public:
        explicit DragData(const QMimeData* mime)
        {
            if (mime && mime->hasUrls() && !mime->urls().isEmpty()) {
                link = true;
                url = mime->urls().first().toString().toStdString();
            }
        }
        bool IsLink() override { return link; }
        std::string GetLinkURL() override { return url; }

    private:
        bool link = false;
        std::string url;
        IMPLEMENT_REFCOUNTING(DragData);
    };

    cef_drag_operations_mask_t ToMask(Qt::DropActions actions)
    {
        int mask = DRAG_OPERATION_NONE;
        if (actions & Qt::CopyAction)
            mask |= DRAG_OPERATION_COPY;
        if (actions & Qt::LinkAction)
            mask |= DRAG_OPERATION_LINK;
        if (actions & Qt::MoveAction)
            mask |= DRAG_OPERATION_MOVE;
        return static_cast<cef_drag_operations_mask_t>(mask);
    }
}

BrowserView::BrowserView(QtBrowser* browser, QWidget* parent)
    : QWebEngineView(parent)
    , browser(browser)
{
}

BrowserView::~BrowserView()
{
    browser->OnViewDestroyed();
    // The page goes before the view, while the view can still let go of it.
    delete page();
}

void BrowserView::dragEnterEvent(QDragEnterEvent* event)
{
    auto handler = browser->GetClient()->GetDragHandler();
    if (handler
        && handler->OnDragEnter(browser, new DragData(event->mimeData()), ToMask(event->possibleActions()))) {
        event->ignore();
        return;
    }
    QWebEngineView::dragEnterEvent(event);
}

void BrowserView::contextMenuEvent(QContextMenuEvent* event) { ShowContextMenu(browser, this, event); }

} // namespace platform::engine::qt
