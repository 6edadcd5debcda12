#pragma once

#include "platform/engine/CefTypes.h"

#include <QWebEnginePage>
#include <QtGlobal>

#if QT_VERSION >= QT_VERSION_CHECK(6, 8, 0)
#include <QWebEnginePermission>
#endif

namespace platform::engine::qt {

// How the engine names a kind of request: Qt 6.4 by a page's feature, Qt 6.8 by a permission
// type. Both spell the kinds they share alike.
#if QT_VERSION >= QT_VERSION_CHECK(6, 8, 0)
using EnginePermissionKind = QWebEnginePermission::PermissionType;
#else
using EnginePermissionKind = QWebEnginePage::Feature;
#endif

struct PermissionKind {
    EnginePermissionKind engineKind;
    // The CEF_PERMISSION_TYPE_* bits the client is asked about.
    unsigned types;
};

// Every kind of request the client is asked about. A kind not listed is refused without asking;
// geolocation has a handler of its own.
inline constexpr PermissionKind kPermissionKinds[] = {
    { EnginePermissionKind::MediaAudioCapture, CEF_PERMISSION_TYPE_MIC_STREAM },
    { EnginePermissionKind::MediaVideoCapture, CEF_PERMISSION_TYPE_CAMERA_STREAM },
    { EnginePermissionKind::MediaAudioVideoCapture,
        CEF_PERMISSION_TYPE_CAMERA_STREAM | CEF_PERMISSION_TYPE_MIC_STREAM },
    { EnginePermissionKind::DesktopVideoCapture, CEF_PERMISSION_TYPE_DESKTOP_VIDEO_CAPTURE },
    { EnginePermissionKind::DesktopAudioVideoCapture,
        CEF_PERMISSION_TYPE_DESKTOP_VIDEO_CAPTURE | CEF_PERMISSION_TYPE_DESKTOP_AUDIO_CAPTURE },
    { EnginePermissionKind::Notifications, CEF_PERMISSION_TYPE_NOTIFICATIONS },
#if QT_VERSION >= QT_VERSION_CHECK(6, 8, 0)
    // Reading and writing the clipboard are one kind to this engine.
    { EnginePermissionKind::ClipboardReadWrite, CEF_PERMISSION_TYPE_CLIPBOARD },
#endif
};

// The bits of kind; CEF_PERMISSION_TYPE_NONE for a kind never asked.
unsigned PermissionTypes(EnginePermissionKind kind);

} // namespace platform::engine::qt
