#pragma once

#include "platform/ui/ControlUI.h"

namespace platform::ui {

/// Text in the control's font, colour and alignment. GUI thread only.
class CLabelUI : public CControlUI {
public:
    CLabelUI();
    CDuiString GetClass() const override { return u"LabelUI"; }
    void* GetInterface(const CDuiString& name) override;
    SIZE EstimateSize(SIZE available) override;
    void PaintText(HDC hdc) override;
};

/// A label meant for longer text; it wraps by default.
class CTextUI : public CLabelUI {
public:
    CTextUI();
    CDuiString GetClass() const override { return u"TextUI"; }
    void* GetInterface(const CDuiString& name) override;
};

} // namespace platform::ui
