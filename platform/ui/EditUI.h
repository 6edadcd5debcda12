#pragma once

#include "platform/ui/ControlUI.h"

#include <memory>

namespace platform::ui {

namespace qt {
    struct EditParts;
}

/// A one-line text field. Sends "textchanged" as the text changes and "return" on Enter
/// (wParam 1 with Shift held); other keys it does not use go on to its window.
/// Attributes: "tiptext" (shown while empty) and the control's own. GUI thread only.
class CEditUI : public CControlUI {
public:
    CEditUI();
    ~CEditUI() override;
    CDuiString GetClass() const override { return u"EditUI"; }
    void* GetInterface(const CDuiString& name) override;
    void SetAttribute(const CDuiString& name, const CDuiString& value) override;
    CDuiString GetText() const override;
    void SetText(const CDuiString& text) override;

    void SetTipText(const CDuiString& text);
    /// Takes the keyboard focus with the whole text selected.
    void FocusAndSelectAll();

private:
    std::unique_ptr<qt::EditParts> parts_;
};

} // namespace platform::ui
