#pragma once

#include "platform/engine/CefTypes.h"

#include <string>

/// What a prompt says a site wants for the CEF_PERMISSION_TYPE_* bits it asks about.
struct PermissionKindText {
    /// The row speaks for a request that asks for all of these.
    unsigned types;
    const char16_t* wanted;
};

/// Looked up in order, so a row for several kinds comes before the rows of each of them.
inline constexpr PermissionKindText kPermissionKindTexts[] = {
    // A request the engine raises itself shares the entire screen, so the prompt says so.
    { platform::engine::CEF_PERMISSION_TYPE_DESKTOP_VIDEO_CAPTURE
            | platform::engine::CEF_PERMISSION_TYPE_DESKTOP_AUDIO_CAPTURE,
        u"共享你的整个屏幕和电脑声音" },
    { platform::engine::CEF_PERMISSION_TYPE_DESKTOP_VIDEO_CAPTURE, u"共享你的整个屏幕" },
    { platform::engine::CEF_PERMISSION_TYPE_CAMERA_STREAM | platform::engine::CEF_PERMISSION_TYPE_MIC_STREAM,
        u"使用你的摄像头和麦克风" },
    { platform::engine::CEF_PERMISSION_TYPE_CAMERA_STREAM, u"使用你的摄像头" },
    { platform::engine::CEF_PERMISSION_TYPE_MIC_STREAM, u"使用你的麦克风" },
    { platform::engine::CEF_PERMISSION_TYPE_NOTIFICATIONS, u"向你发送通知" },
    { platform::engine::CEF_PERMISSION_TYPE_CLIPBOARD, u"查看你复制到剪贴板的文字和图片" },
};

/// What the prompt for a request of types names: the first row it asks all of, or the device in
/// general for kinds without a row.
std::u16string WhatIsWanted(unsigned types);
