#pragma once

#include "platform/ui/ButtonUI.h"

namespace platform::ui {

/// A button with a selected state. Options of the same group in one window keep
/// at most one selected; a click sends "click" first and then changes the selection,
/// which sends "selectchanged". GUI thread only.
class COptionUI : public CButtonUI {
public:
    COptionUI();
    ~COptionUI() override;
    CDuiString GetClass() const override { return u"OptionUI"; }
    void* GetInterface(const CDuiString& name) override;
    void SetAttribute(const CDuiString& name, const CDuiString& value) override;
    void SetManager(CPaintManagerUI* manager, CControlUI* parent) override;
    bool Activate() override;
    void PaintBkColor(HDC hdc) override;
    void PaintStatusImage(HDC hdc) override;
    void PaintText(HDC hdc) override;

    const CDuiString& GetGroup() const { return group_; }
    void SetGroup(const CDuiString& group);
    bool IsSelected() const { return selected_; }
    /// Selects or deselects; selecting deselects the others of the group.
    void Selected(bool selected, bool sendNotify = true);
    void SetSelectedImage(const CDuiString& file)
    {
        selectedImage_ = file;
        Invalidate();
    }

private:
    CDuiString group_, selectedImage_, selectedHotImage_;
    DWORD selectedBkColor_ = 0, selectedTextColor_ = 0;
    bool selected_ = false;
};

} // namespace platform::ui
