#pragma once

#include "platform/ui/WindowTypes.h"

#include <string>

namespace platform::engine {

/// A rectangle in the parent window's coordinates (right and bottom exclusive).
using RECT = platform::ui::RECT;

enum CefThreadId {
    TID_UI,
    TID_FILE,
    TID_IO,
};

enum CefProcessId {
    PID_BROWSER,
    PID_RENDERER,
};

enum TerminationStatus {
    TS_ABNORMAL_TERMINATION,
    TS_PROCESS_WAS_KILLED,
    TS_PROCESS_CRASHED,
};

/// Chromium's network error codes, as load errors report them.
enum cef_errorcode_t {
    ERR_NONE = 0,
    ERR_FAILED = -2,
    ERR_ABORTED = -3,
    ERR_CONNECTION_REFUSED = -102,
    ERR_CONNECTION_FAILED = -104,
    ERR_NAME_NOT_RESOLVED = -105,
    ERR_CERT_AUTHORITY_INVALID = -202,
    ERR_UNKNOWN_URL_SCHEME = -302,
};

/// Operations a drag offers (a bit mask).
enum cef_drag_operations_mask_t {
    DRAG_OPERATION_NONE = 0,
    DRAG_OPERATION_COPY = 1,
    DRAG_OPERATION_LINK = 2,
    DRAG_OPERATION_GENERIC = 4,
    DRAG_OPERATION_PRIVATE = 8,
    DRAG_OPERATION_MOVE = 16,
    DRAG_OPERATION_DELETE = 32,
};

/// What a page asks to use; a request may combine several.
enum cef_permission_request_types_t : unsigned {
    CEF_PERMISSION_TYPE_NONE = 0,
    CEF_PERMISSION_TYPE_CAMERA_STREAM = 1 << 0,
    CEF_PERMISSION_TYPE_MIC_STREAM = 1 << 1,
    CEF_PERMISSION_TYPE_DESKTOP_VIDEO_CAPTURE = 1 << 2,
    CEF_PERMISSION_TYPE_DESKTOP_AUDIO_CAPTURE = 1 << 3,
    CEF_PERMISSION_TYPE_NOTIFICATIONS = 1 << 4,
    CEF_PERMISSION_TYPE_CLIPBOARD = 1 << 5,
};

/// How a permission prompt ended.
enum cef_permission_request_result_t {
    CEF_PERMISSION_RESULT_ACCEPT,
    CEF_PERMISSION_RESULT_DENY,
    /// Settled without an answer (the page navigated away or closed): refused.
    CEF_PERMISSION_RESULT_DISMISS,
};

/// A point in a window's coordinates.
struct CefPoint {
    int x = 0;
    int y = 0;
};

/// Where and how a browser window is created.
class CefWindowInfo {
public:
    /// The browser's window becomes a child of parent at rect (parent coordinates).
    void SetAsChild(platform::ui::HWND parent, RECT rect)
    {
        parentWindow = parent;
        x = rect.left;
        y = rect.top;
        width = rect.right - rect.left;
        height = rect.bottom - rect.top;
    }

    unsigned int exStyle = 0;
    unsigned int style = 0;
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
    platform::ui::HWND parentWindow = nullptr;
    std::u16string windowName;
};

/// Per-browser settings; the engine's defaults are used throughout.
struct CefBrowserSettings {
    size_t size = sizeof(CefBrowserSettings);
};

} // namespace platform::engine
