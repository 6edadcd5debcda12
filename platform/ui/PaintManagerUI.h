#pragma once

#include "platform/ui/ControlUI.h"

#include <functional>
#include <map>
#include <vector>

namespace platform::ui {

class COptionUI;

struct TFontInfo {
    CDuiString family;
    int size = 12; // pixels
    bool bold = false;
    bool underline = false;
    bool italic = false;
};

/// One window's control tree, fonts, named styles and notifications, plus the
/// process-wide program paths and message loop (statics). GUI thread only.
class CPaintManagerUI {
public:
    CPaintManagerUI();
    ~CPaintManagerUI();
    CPaintManagerUI(const CPaintManagerUI&) = delete;
    CPaintManagerUI& operator=(const CPaintManagerUI&) = delete;

    static void SetInstance(HINSTANCE instance);
    static HINSTANCE GetInstance();
    /// The program's folder, ending in "/".
    static CDuiString GetInstancePath();
    /// Folder of the layout files; backslashes are taken as "/" and a final "/" is added.
    static void SetResourcePath(const CDuiString& path);
    static CDuiString GetResourcePath();
    /// Runs the event loop until PostQuitMessage; returns at once when the quit came earlier.
    static int MessageLoop();
    /// Called on every turn of the loop (nullptr removes it).
    static void setMessageLoopExFun(std::function<void()> function);

    void Init(HWND hwnd);
    HWND GetPaintWindow() const { return hwnd_; }
    /// Takes ownership of root (a previous root is destroyed); a window shows the new root.
    bool AttachDialog(CControlUI* root);
    CControlUI* GetRoot() const { return root_; }
    CControlUI* FindControl(const CDuiString& name) const;
    /// Destroys the control tree.
    void ReleaseRoot();

    void AddNotifier(INotifyUI* notifier);
    void RemoveNotifier(INotifyUI* notifier);
    /// Delivers msg to the sender's handlers, then to the notifiers.
    void SendNotify(TNotifyUI& msg);
    void SendNotify(CControlUI* sender, const CDuiString& sType, WPARAM wParam = 0, LPARAM lParam = 0);

    SIZE GetClientSize() const;
    SIZE GetInitSize() const { return initSize_; }
    void SetInitSize(int cx, int cy) { initSize_ = { cx, cy }; }
    SIZE GetMinInfo() const { return minInfo_; }
    void SetMinInfo(int cx, int cy) { minInfo_ = { cx, cy }; }
    void SetMaxInfo(int cx, int cy) { maxInfo_ = { cx, cy }; }
    /// Caption band: mouse presses there (outside buttons) drag the window.
    RECT GetCaptionRect() const { return caption_; }
    void SetCaptionRect(RECT rc) { caption_ = rc; }
    /// Border widths that resize the window; all 0 = not resizable by the border.
    RECT GetSizeBox() const { return sizeBox_; }
    void SetSizeBox(RECT rc) { sizeBox_ = rc; }

    void SetDefaultFont(const TFontInfo& font) { defaultFont_ = font; }
    void AddFont(int id, const TFontInfo& font) { fonts_[id] = font; }
    /// Font id, or the default font when the id is unknown or -1.
    const TFontInfo& GetFontInfo(int id) const;
    DWORD GetDefaultFontColor() const { return defaultTextColor_; }
    void SetDefaultFontColor(DWORD argb) { defaultTextColor_ = argb; }
    DWORD GetDefaultDisabledColor() const { return defaultDisabledColor_; }
    void SetDefaultDisabledColor(DWORD argb) { defaultDisabledColor_ = argb; }
    /// Colour behind the controls, seen where they draw nothing (0 = the desktop's default).
    DWORD GetWindowBkColor() const { return windowBkColor_; }
    void SetWindowBkColor(DWORD argb) { windowBkColor_ = argb; }

    using AttributeList = std::vector<std::pair<CDuiString, CDuiString>>;
    /// Named attribute sets; also remembered process-wide for controls not yet in a window.
    void AddStyle(const CDuiString& name, const AttributeList& attributes);
    const AttributeList* GetStyle(const CDuiString& name) const;
    static const AttributeList* GetSharedStyle(const CDuiString& name);

    void AddOptionGroup(const CDuiString& group, COptionUI* option);
    void RemoveOptionGroup(const CDuiString& group, COptionUI* option);
    /// The group's options that still exist and still belong to this window.
    std::vector<COptionUI*> GetOptionGroup(const CDuiString& group) const;

    /// The control that had the keyboard last, while it exists.
    CControlUI* GetFocus() const { return focus_.Get(); }
    void SetFocus(CControlUI* control) { focus_ = ControlRef(control); }

private:
    HWND hwnd_ = nullptr;
    CControlUI* root_ = nullptr;
    ControlRef focus_;
    std::vector<INotifyUI*> notifiers_;
    SIZE initSize_, minInfo_, maxInfo_;
    RECT caption_, sizeBox_;
    TFontInfo defaultFont_;
    std::map<int, TFontInfo> fonts_;
    DWORD defaultTextColor_ = 0xFF1F2329;
    DWORD defaultDisabledColor_ = 0xFFA0A4AB;
    DWORD windowBkColor_ = 0;
    std::map<CDuiString, AttributeList> styles_;
    // Pruned as it is read: options leave without telling the window.
    mutable std::map<CDuiString, std::vector<ControlRef>> optionGroups_;
};

} // namespace platform::ui
