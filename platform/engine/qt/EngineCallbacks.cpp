#include "platform/engine/qt/EngineCallbacks.h"

#include "platform/engine/qt/QtBrowser.h"

#include <QWebEngineQuotaRequest>

namespace platform::engine::qt {

void ConnectQuotaRequests(QtBrowser* browser, QWebEnginePage* page)
{
    QObject::connect(page, &QWebEnginePage::quotaRequested, page, [browser](QWebEngineQuotaRequest request) {
        CefRefPtr<DecisionCallback> callback(new DecisionCallback);
        auto handler = browser->GetClient()->GetRequestHandler();
        if (handler)
            handler->OnQuotaRequest(
                browser, request.origin().toString().toStdString(), request.requestedSize(), callback);
        if (callback->Decision() == 1)
            request.accept();
        else
            request.reject();
    });
}

} // namespace platform::engine::qt
