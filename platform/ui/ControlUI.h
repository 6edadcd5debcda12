#pragma once

#include "platform/ui/ControlRef.h"
#include "platform/ui/Notify.h"
#include "platform/ui/UIString.h"
#include "platform/ui/WindowTypes.h"

#include <functional>
#include <vector>

namespace platform::ui {

namespace qt {
    class ControlWidget;
}

class CPaintManagerUI;
class CContainerUI;

constexpr UINT DT_CENTER = 0x0001;
constexpr UINT DT_RIGHT = 0x0002;
constexpr UINT DT_VCENTER = 0x0004;
constexpr UINT DT_BOTTOM = 0x0008;
constexpr UINT DT_WORDBREAK = 0x0010;
constexpr UINT DT_SINGLELINE = 0x0020;
constexpr UINT DT_CALCRECT = 0x0400;
constexpr UINT DT_END_ELLIPSIS = 0x8000;

/// Base of every control: geometry wishes, text, colours, images and state,
/// drawn by a widget that owns the control. GUI thread only.
class CControlUI {
public:
    CControlUI();
    virtual ~CControlUI();
    CControlUI(const CControlUI&) = delete;
    CControlUI& operator=(const CControlUI&) = delete;

    virtual CDuiString GetClass() const;
    /// The object behind an interface name ("Control", "Button", ...) or nullptr.
    virtual void* GetInterface(const CDuiString& name);

    const CDuiString& GetName() const { return name_; }
    void SetName(const CDuiString& name) { name_ = name; }
    virtual CDuiString GetText() const { return text_; }
    virtual void SetText(const CDuiString& text);
    CDuiString GetToolTip() const { return toolTip_; }
    void SetToolTip(const CDuiString& text);
    const CDuiString& GetUserData() const { return userData_; }
    void SetUserData(const CDuiString& data) { userData_ = data; }
    std::uintptr_t GetTag() const { return tag_; }
    void SetTag(std::uintptr_t tag) { tag_ = tag; }

    virtual bool IsVisible() const { return visible_ && internVisible_; }
    virtual void SetVisible(bool visible = true);
    /// Visibility owned by the parent (tab pages, nested menu items); independent of SetVisible.
    virtual void SetInternVisible(bool visible = true);
    virtual bool IsEnabled() const { return enabled_; }
    virtual void SetEnabled(bool enabled = true);
    bool IsMouseEnabled() const { return mouseEnabled_; }
    void SetMouseEnabled(bool enabled = true);
    bool IsMouseChildEnabled() const { return mouseChildEnabled_; }
    virtual void SetMouseChildEnabled(bool enabled = true);
    /// Whether a right click sends the "menu" notification.
    void SetContextMenuUsed(bool used) { contextMenuUsed_ = used; }
    void SetFocus();

    int GetFixedWidth() const { return fixedWidth_; }
    int GetFixedHeight() const { return fixedHeight_; }
    void SetFixedWidth(int cx);
    void SetFixedHeight(int cy);
    void SetMinWidth(int cx);
    void SetMinHeight(int cy);
    void SetMaxWidth(int cx);
    void SetMaxHeight(int cy);
    RECT GetPadding() const { return padding_; }
    void SetPadding(RECT rc);
    /// Current rectangle in the window's client coordinates (all 0 when not laid out).
    RECT GetPos() const;
    int GetWidth() const;
    int GetHeight() const;
    /// Size wanted for the available space: the fixed size (0 where unset).
    virtual SIZE EstimateSize(SIZE available);

    DWORD GetBkColor() const { return bkColor_; }
    void SetBkColor(DWORD argb);
    void SetBorderColor(DWORD argb);
    void SetBorderSize(int size);
    DWORD GetTextColor() const { return textColor_; }
    void SetTextColor(DWORD argb);
    void SetDisabledTextColor(DWORD argb);
    int GetFont() const { return font_; }
    void SetFont(int index);
    UINT GetTextStyle() const { return textStyle_; }
    void SetTextStyle(UINT style);
    RECT GetTextPadding() const { return textPadding_; }
    void SetTextPadding(RECT rc);
    void SetBkImage(const CDuiString& file);

    /// Applies a named attribute set of the window's layout (or of any loaded layout).
    void SetStyleName(const CDuiString& styleName, CPaintManagerUI* manager = nullptr);
    const CDuiString& GetStyleName() const { return styleName_; }
    /// Applies one layout attribute. Names the control does not know are reported once.
    virtual void SetAttribute(const CDuiString& name, const CDuiString& value);

    CControlUI* GetParent() const;
    CPaintManagerUI* GetManager() const { return manager_; }
    virtual void SetManager(CPaintManagerUI* manager, CControlUI* parent);
    /// First control of the subtree (this one included) named name, or nullptr.
    virtual CControlUI* FindControl(const CDuiString& name);

    /// Delivers an input event: the OnEvent handlers first (false from one stops it), then DoEvent.
    void Event(TEventUI& event);
    virtual void DoEvent(TEventUI& event);
    /// Acts as if clicked; false when disabled or invisible.
    virtual bool Activate();
    virtual void DoPaint(HDC hdc, const RECT& rcPaint);
    virtual void PaintBkColor(HDC hdc);
    virtual void PaintBkImage(HDC hdc);
    virtual void PaintStatusImage(HDC hdc);
    virtual void PaintText(HDC hdc);
    virtual void PaintBorder(HDC hdc);
    void Invalidate();

    /// Handlers called with each notification this control sends, before the window's
    /// Notify. Returning false stops the window from seeing it.
    void OnNotify(std::function<bool(TNotifyUI&)> handler);
    void OnEvent(std::function<bool(TEventUI&)> handler);
    /// Sends a notification from this control through its window.
    void SendNotify(const CDuiString& sType, WPARAM wParam = 0, LPARAM lParam = 0);

    /// The drawing widget; platform code only.
    qt::ControlWidget* Widget() const { return widget_; }

protected:
    enum State : unsigned { kHot = 1, kPushed = 2, kFocused = 4, kSelected = 8, kDisabled = 16 };
    unsigned state_ = 0;
    /// Draws the text in the text rectangle with color (0 = the state's colour).
    void PaintTextDefault(HDC hdc, DWORD color);
    /// The same text drawn into rc, the box inside the text padding.
    void PaintTextDefault(HDC hdc, DWORD color, RECT rc);
    void ApplyGeometry();
    void ApplyVisibility();
    bool RunNotifyHandlers(TNotifyUI& msg);
    friend class CPaintManagerUI;
    friend class CContainerUI;
    friend class qt::ControlWidget;
    qt::ControlWidget* widget_ = nullptr;
    CPaintManagerUI* manager_ = nullptr;
    CDuiString name_, text_, toolTip_, userData_, styleName_, bkImage_;
    std::uintptr_t tag_ = 0;
    bool visible_ = true, internVisible_ = true, enabled_ = true;
    bool mouseEnabled_ = true, mouseChildEnabled_ = true, contextMenuUsed_ = false;
    int fixedWidth_ = 0, fixedHeight_ = 0, minWidth_ = 0, minHeight_ = 0;
    int maxWidth_ = 9999, maxHeight_ = 9999;
    RECT padding_, textPadding_;
    DWORD bkColor_ = 0, borderColor_ = 0, textColor_ = 0, disabledTextColor_ = 0;
    int borderSize_ = 0, font_ = -1;
    UINT textStyle_ = DT_VCENTER | DT_SINGLELINE;
    std::vector<std::function<bool(TNotifyUI&)>> notifyHandlers_;
    std::vector<std::function<bool(TEventUI&)>> eventHandlers_;
};

/// Enables or disables control on the GUI thread; callable from any thread with a
/// reference made on the GUI thread. Does nothing when the control is gone by then.
void PostSetEnabled(const ControlRef& control, bool enabled);

/// Parses "#AARRGGBB", "#RRGGBB", "0xAARRGGBB" or a decimal number; 0 when malformed.
DWORD ParseColor(const CDuiString& text, bool* ok = nullptr);

} // namespace platform::ui
