#pragma once

#include "platform/ui/ContainerUI.h"

namespace platform::ui {

/// Shows one child at a time; the selection follows additions and removals. GUI thread only.
class CTabLayoutUI : public CContainerUI {
public:
    CTabLayoutUI();
    CDuiString GetClass() const override { return u"TabLayoutUI"; }
    void* GetInterface(const CDuiString& name) override;
    void SetAttribute(const CDuiString& name, const CDuiString& value) override;

    bool AddAt(CControlUI* control, int index) override;
    bool Remove(CControlUI* control) override;
    void RemoveAll() override;
    /// Index of the shown child, -1 when empty.
    int GetCurSel() const { return curSel_; }
    /// Shows child index; forward tells the direction of the change (kept for callers,
    /// it does not change what is shown). False for an index out of range.
    bool SelectItem(int index, bool forward = true);

private:
    void ShowOnly(int index);
    int curSel_ = -1;
};

} // namespace platform::ui
