#include "platform/engine/qt/EngineCallbacks.h"

#include "platform/engine/qt/QtBrowser.h"

#include <QWebEnginePage>
#include <QtGlobal>

#if QT_VERSION < QT_VERSION_CHECK(6, 8, 0)
#include <QWebEngineQuotaRequest>
#endif

namespace platform::engine::qt {

#if QT_VERSION >= QT_VERSION_CHECK(6, 8, 0)

void ConnectQuotaRequests(QtBrowser*, QWebEnginePage*) { }

#else

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

#endif

} // namespace platform::engine::qt
