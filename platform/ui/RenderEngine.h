#pragma once

#include "platform/ui/ControlUI.h"

namespace platform::ui {

/// Text measuring and drawing with the fonts of a window's layout. GUI thread only.
class CRenderEngine {
public:
    /// Single-line extent of text in font index font (-1 = the window's default font).
    static SIZE GetTextSize(CPaintManagerUI* manager, const CDuiString& text, int font);
    static SIZE GetTextSize(HDC hdc, CPaintManagerUI* manager, const CDuiString& text, int font, UINT style);
    /// Extent of text wrapped at width (line breaks at spaces, or anywhere for CJK text).
    static SIZE GetWrappedTextSize(CPaintManagerUI* manager, const CDuiString& text, int font, int width);
    /// Draws text in rc; with DT_CALCRECT it only measures and shrinks rc to the text.
    static void DrawTextW(HDC hdc, CPaintManagerUI* manager, RECT& rc, const CDuiString& text, DWORD color,
        int font, UINT style);
    /// As DrawTextW, with simple markup tags (<b>, <i>, <u>, <c #color>) dropped.
    static void DrawHtmlText(HDC hdc, CPaintManagerUI* manager, RECT& rc, const CDuiString& text, DWORD color,
        int font, UINT style);
    static void DrawColor(HDC hdc, const RECT& rc, DWORD color);
    static void DrawRect(HDC hdc, const RECT& rc, int size, DWORD color);
    /// Draws an image file (relative to the resource path) scaled into rc; false when it cannot load.
    static bool DrawImage(HDC hdc, CPaintManagerUI* manager, const RECT& rc, const CDuiString& file);
};

} // namespace platform::ui
