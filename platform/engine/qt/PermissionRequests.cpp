#include "platform/engine/qt/PermissionRequests.h"

#include "platform/engine/qt/PermissionKinds.h"

#include <QPointer>
#include <QWebEnginePage>
#include <QtGlobal>

#if QT_VERSION >= QT_VERSION_CHECK(6, 8, 0)
#include <QMetaEnum>
#include <QWebEnginePermission>
#endif

namespace platform::engine::qt {

#if QT_VERSION >= QT_VERSION_CHECK(6, 8, 0)

void ConnectPermissionRequests(
    QWebEnginePage* page, std::function<void(PermissionRequest)> onRequest, PermissionWithdrawn onWithdrawn)
{
    QObject::connect(page, &QWebEnginePage::permissionRequested, page,
        [onRequest = std::move(onRequest)](QWebEnginePermission permission) {
            PermissionRequest request;
            request.origin = permission.origin();
            request.types = PermissionTypes(permission.permissionType());
            request.geolocation
                = permission.permissionType() == QWebEnginePermission::PermissionType::Geolocation;
            request.answer = [permission](bool granted) {
                // A permission outlives its page as a value that no longer answers anything.
                if (!permission.isValid())
                    return;
                if (granted)
                    permission.grant();
                else
                    permission.deny();
            };
            onRequest(std::move(request));
        });
    // The engine still declares the old withdrawal signal, and only it; its feature is the
    // permission type of the same name.
    QT_WARNING_PUSH
    QT_WARNING_DISABLE_DEPRECATED
    QObject::connect(page, &QWebEnginePage::featurePermissionRequestCanceled, page,
        [onWithdrawn = std::move(onWithdrawn)](const QUrl& origin, QWebEnginePage::Feature feature) {
            const char* name = QMetaEnum::fromType<QWebEnginePage::Feature>().valueToKey(feature);
            bool known = false;
            const int kind = name
                ? QMetaEnum::fromType<QWebEnginePermission::PermissionType>().keyToValue(name, &known)
                : 0;
            if (known)
                onWithdrawn(origin, PermissionTypes(static_cast<QWebEnginePermission::PermissionType>(kind)));
        });
    QT_WARNING_POP
}

#else

void ConnectPermissionRequests(
    QWebEnginePage* page, std::function<void(PermissionRequest)> onRequest, PermissionWithdrawn onWithdrawn)
{
    QObject::connect(page, &QWebEnginePage::featurePermissionRequested, page,
        [page, onRequest = std::move(onRequest)](const QUrl& origin, QWebEnginePage::Feature feature) {
            PermissionRequest request;
            request.origin = origin;
            request.types = PermissionTypes(feature);
            request.geolocation = feature == QWebEnginePage::Geolocation;
            QPointer<QWebEnginePage> asking(page);
            request.answer = [asking, origin, feature](bool granted) {
                if (asking)
                    asking->setFeaturePermission(origin, feature,
                        granted ? QWebEnginePage::PermissionGrantedByUser
                                : QWebEnginePage::PermissionDeniedByUser);
            };
            onRequest(std::move(request));
        });
    QObject::connect(page, &QWebEnginePage::featurePermissionRequestCanceled, page,
        [onWithdrawn = std::move(onWithdrawn)](const QUrl& origin, QWebEnginePage::Feature feature) {
            onWithdrawn(origin, PermissionTypes(feature));
        });
}

#endif

} // namespace platform::engine::qt
