#include "platform/engine/qt/ContextMenu.h"

#include "platform/engine/CefContextMenu.h"
#include "platform/engine/qt/QtBrowser.h"

#include <QContextMenuEvent>
#include <QMenu>
#include <QWebEngineContextMenuRequest>
#include <QWebEngineView>

namespace platform::engine::qt {

int ContextMenuTypeFlags(bool pageHasAddress, bool onLink, bool onMedia, bool hasSelection, bool editable)
{
    int flags = CM_TYPEFLAG_NONE;
    if (pageHasAddress)
        flags |= CM_TYPEFLAG_PAGE;
    if (onLink)
        flags |= CM_TYPEFLAG_LINK;
    if (onMedia)
        flags |= CM_TYPEFLAG_MEDIA;
    if (hasSelection)
        flags |= CM_TYPEFLAG_SELECTION;
    if (editable)
        flags |= CM_TYPEFLAG_EDITABLE;
    return flags;
}

void ShowContextMenu(QtBrowser* browser, QWebEngineView* view, QContextMenuEvent* event)
{
    QMenu* menu = view->createStandardContextMenu();
    if (!menu)
        return;
    menu->setAttribute(Qt::WA_DeleteOnClose);
    const QWebEngineContextMenuRequest* request = view->lastContextMenuRequest();
    auto handler = browser->GetClient()->GetContextMenuHandler();
    if (handler && request) {
        const int flags = ContextMenuTypeFlags(!view->page()->url().isEmpty(), !request->linkUrl().isEmpty(),
            request->mediaType() != QWebEngineContextMenuRequest::MediaTypeNone,
            !request->selectedText().isEmpty(), request->isContentEditable());
        CefRefPtr<CefContextMenuParams> params(
            new CefContextMenuParams(flags, request->position().x(), request->position().y()));
        CefRefPtr<CefMenuModel> model(new CefMenuModel);
        // The engine's own entries are numbered by position; they stay its own actions.
        const QList<QAction*> own = menu->actions();
        for (int i = 0; i < own.size(); ++i) {
            if (own[i]->isSeparator())
                model->AddSeparator();
            else
                model->AddItem(i, own[i]->text().toStdU16String());
        }
        handler->OnBeforeContextMenu(browser, browser, params, model);
        CefRefPtr<QtBrowser> target(browser);
        for (size_t i = own.size(); i < model->GetCount(); ++i) {
            const CefMenuModel::Item& item = model->Items()[i];
            if (item.type == MENUITEMTYPE_SEPARATOR) {
                menu->addSeparator();
                continue;
            }
            QAction* action = menu->addAction(QString::fromStdU16String(item.label));
            const int commandId = item.commandId;
            QObject::connect(action, &QAction::triggered, view, [target, params, commandId] {
                if (auto menuHandler = target->GetClient()->GetContextMenuHandler())
                    menuHandler->OnContextMenuCommand(target, target, params, commandId, 0);
            });
        }
    }
    menu->popup(event->globalPos());
}

} // namespace platform::engine::qt
