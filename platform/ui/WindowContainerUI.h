#pragma once

#include "platform/ui/ControlUI.h"

namespace platform::ui {

class WindowImplBase;

/// Hosts another layout window (created as a child window) as its content:
/// hiding the container hides the window, destroying the container destroys it.
class CWindowContainerUI : public CControlUI {
public:
    CWindowContainerUI();
    ~CWindowContainerUI() override;
    CDuiString GetClass() const override { return u"WindowContainerUI"; }
    void* GetInterface(const CDuiString& name) override;

    /// Takes the window into this container; a previous window is destroyed first.
    void SetWindow(CPaintManagerUI* ownerManager, CPaintManagerUI* windowManager, WindowImplBase* window);
    void SetWindow(WindowImplBase* window) { SetWindow(nullptr, nullptr, window); }

private:
    HWND hosted_ = nullptr;
};

} // namespace platform::ui
