#include "platform/engine/qt/PermissionRequests.h"

#include "platform/engine/CefTypes.h"
#include "platform/engine/ScreenCapture.h"

#include <QPointer>
#include <QWebEnginePage>
#include <QtGlobal>

#if QT_VERSION >= QT_VERSION_CHECK(6, 8, 0)
#include <QAbstractListModel>
#include <QWebEngineDesktopMediaRequest>
#include <QWebEnginePermission>
#endif

namespace platform::engine::qt {

namespace {
    // Qt 6.4's features and Qt 6.8's permission types share their names.
    template <typename Kind> unsigned PermissionTypes(Kind kind)
    {
        switch (kind) {
        case Kind::MediaAudioCapture:
            return CEF_PERMISSION_TYPE_MIC_STREAM;
        case Kind::MediaVideoCapture:
            return CEF_PERMISSION_TYPE_CAMERA_STREAM;
        case Kind::MediaAudioVideoCapture:
            return CEF_PERMISSION_TYPE_CAMERA_STREAM | CEF_PERMISSION_TYPE_MIC_STREAM;
        case Kind::DesktopVideoCapture:
            return CEF_PERMISSION_TYPE_DESKTOP_VIDEO_CAPTURE;
        case Kind::DesktopAudioVideoCapture:
            return CEF_PERMISSION_TYPE_DESKTOP_VIDEO_CAPTURE | CEF_PERMISSION_TYPE_DESKTOP_AUDIO_CAPTURE;
        case Kind::Notifications:
            return CEF_PERMISSION_TYPE_NOTIFICATIONS;
        default:
            return CEF_PERMISSION_TYPE_NONE;
        }
    }
}

#if QT_VERSION >= QT_VERSION_CHECK(6, 8, 0)

void ConnectPermissionRequests(QWebEnginePage* page, std::function<void(PermissionRequest)> onRequest)
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
}

void ConnectDesktopMediaRequests(
    QWebEnginePage* page, std::function<void(std::function<void()> refuse)> onUncapturable)
{
    QObject::connect(page, &QWebEnginePage::desktopMediaRequested, page,
        [onUncapturable = std::move(onUncapturable)](const QWebEngineDesktopMediaRequest& request) {
            if (CanCaptureScreen()) {
                request.selectScreen(request.screensModel()->index(0, 0));
                return;
            }
            QWebEngineDesktopMediaRequest kept = request;
            onUncapturable([kept] { kept.cancel(); });
        });
}

#else

void ConnectDesktopMediaRequests(QWebEnginePage*, std::function<void(std::function<void()>)>) { }

void ConnectPermissionRequests(QWebEnginePage* page, std::function<void(PermissionRequest)> onRequest)
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
}

#endif

} // namespace platform::engine::qt
