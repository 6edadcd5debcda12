#pragma once

#include "platform/ui/DialogBuilder.h"
#include "platform/ui/PaintManagerUI.h"
#include "platform/ui/WindowMessages.h"
#include "platform/ui/WindowStyles.h"

namespace platform::ui {

namespace qt {
    class WindowWidget;
}

/// A window built from a layout file: the subclass names its skin folder, layout
/// file and class name and reacts to notifications and window messages. Heap
/// windows free themselves in OnFinalMessage. GUI thread only.
class WindowImplBase : public INotifyUI, public IDialogBuilderCallback {
public:
    WindowImplBase();
    ~WindowImplBase() override;
    WindowImplBase(const WindowImplBase&) = delete;
    WindowImplBase& operator=(const WindowImplBase&) = delete;

    /// Folder of the layout below the program folder; used only while no resource path is set.
    virtual CDuiString GetSkinFolder() { return {}; }
    /// Layout file, relative to the resource path (or the skin folder), or absolute.
    virtual CDuiString GetSkinFile() = 0;
    /// Named for completeness; layouts are always read as plain files.
    virtual CDuiString GetZIPFileName() const { return {}; }
    virtual CDuiString GetWindowClassName() const = 0;
    virtual UINT GetClassStyle() const { return CS_DBLCLKS; }
    /// Makes controls for layout class names the library does not know; nullptr leaves it to the library.
    CControlUI* CreateControl(const CDuiString& className) override;

    /// Called once the control tree exists, inside Create.
    virtual void InitWindow() { }
    /// Every notification of the window's controls; "windowinit" (kind 1) arrives once,
    /// posted right after Create, before any input.
    void Notify(TNotifyUI& msg) override;
    /// All messages pass here: WM_CLOSE -> OnClose, WM_SYSCOMMAND -> OnSysCommand,
    /// WM_SIZE -> OnSize, WM_KEYDOWN -> ResponseDefaultKeyEvent, others -> HandleCustomMessage.
    /// A top-level window that loses activation gets WM_KILLFOCUS with the newly
    /// active window's handle (or nullptr) in wParam.
    virtual LRESULT HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam);
    virtual LRESULT HandleCustomMessage(UINT msg, WPARAM wParam, LPARAM lParam, bool& bHandled);
    /// Set bHandled to refuse the close.
    virtual LRESULT OnClose(UINT msg, WPARAM wParam, LPARAM lParam, bool& bHandled);
    /// SC_MINIMIZE, SC_MAXIMIZE, SC_RESTORE, SC_CLOSE act unless bHandled is set.
    virtual LRESULT OnSysCommand(UINT msg, WPARAM wParam, LPARAM lParam, bool& bHandled);
    /// lParam holds the new client width (low 16 bits) and height (high 16 bits).
    virtual LRESULT OnSize(UINT msg, WPARAM wParam, LPARAM lParam, bool& bHandled);
    /// Escape and Enter come here first; true consumes the key. Unconsumed Escape
    /// closes a top-level window with IDCANCEL (2).
    virtual LRESULT ResponseDefaultKeyEvent(WPARAM key);
    /// After the native window is gone.
    virtual void OnFinalMessage(HWND hwnd);

    /// Builds the window. WS_CHILD makes a child of parent; otherwise parent owns the
    /// new top-level window. CW_USEDEFAULT (or 0 for the size) takes the layout's size.
    /// nullptr when the layout cannot be built.
    HWND Create(HWND parent, const CDuiString& name, DWORD style, DWORD exStyle, int x = CW_USEDEFAULT,
        int y = CW_USEDEFAULT, int cx = CW_USEDEFAULT, int cy = CW_USEDEFAULT);
    HWND GetHWND() const { return hwnd_; }
    operator HWND() const { return hwnd_; }
    void ShowWindow(bool show = true, bool takeFocus = true);
    /// Shows the window modally over its owner; returns the code given to Close.
    UINT ShowModal();
    /// Asks the window to close with code (posted; OnClose may refuse).
    void Close(UINT code = 1);
    void CenterWindow();
    void BringToTop();
    LRESULT SendMessageW(UINT msg, WPARAM wParam = 0, LPARAM lParam = 0);
    bool PostMessageW(UINT msg, WPARAM wParam = 0, LPARAM lParam = 0);
    CControlUI* FindControl(const CDuiString& name) const { return m_PaintManager.FindControl(name); }
    /// "minbtn", "maxbtn" and "restorebtn" send this window the matching system command;
    /// false (nothing sent) for any other sender.
    bool SendWindowButtonCommand(const TNotifyUI& msg);
    CPaintManagerUI* GetPaintManager() { return &m_PaintManager; }
    DWORD GetStyle() const { return style_; }

    /// Platform code: the window's widget. Ends the window now (no OnClose).
    qt::WindowWidget* Widget() const { return widget_; }
    void DestroyNow();
    void DeliverWindowInit();

protected:
    CPaintManagerUI m_PaintManager;

private:
    friend class qt::WindowWidget;
    CDuiString LayoutPath();
    void Teardown(bool disposeWidget);
    HWND hwnd_ = nullptr;
    qt::WindowWidget* widget_ = nullptr;
    DWORD style_ = 0, exStyle_ = 0;
    bool initSent_ = false;
    bool destroying_ = false;
    struct ModalState;
    ModalState* modal_ = nullptr;
    UINT modalCode_ = 0;
};

/// The layout window behind a handle, or nullptr.
WindowImplBase* WindowFromHandle(HWND hwnd);

} // namespace platform::ui
