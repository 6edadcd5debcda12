#pragma once

#include "platform/ui/ControlUI.h"

#include <memory>

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

namespace qt {
    struct TextScrollParts;
}

/// A label meant for longer text; it wraps by default, and a text taller than the
/// control scrolls inside it (a scroll bar at its right edge, and the mouse wheel).
class CTextUI : public CLabelUI {
public:
    CTextUI();
    ~CTextUI() override;
    CDuiString GetClass() const override { return u"TextUI"; }
    void* GetInterface(const CDuiString& name) override;
    void SetText(const CDuiString& text) override;
    void PaintText(HDC hdc) override;

    /// Pixels the text is scrolled up, 0 to GetScrollRange() (0 when it fits).
    int GetScrollPos() const;
    int GetScrollRange() const;
    void SetScrollPos(int pos);

private:
    void UpdateScrollRange();
    std::unique_ptr<qt::TextScrollParts> parts_;
};

} // namespace platform::ui
