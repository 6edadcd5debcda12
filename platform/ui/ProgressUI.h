#pragma once

#include "platform/ui/LabelUI.h"

namespace platform::ui {

/// A horizontal bar filled in proportion to value between min and max, with its text on top.
class CProgressUI : public CLabelUI {
public:
    CProgressUI();
    CDuiString GetClass() const override { return u"ProgressUI"; }
    void* GetInterface(const CDuiString& name) override;
    void SetAttribute(const CDuiString& name, const CDuiString& value) override;
    void PaintStatusImage(HDC hdc) override;

    int GetValue() const { return value_; }
    void SetMinValue(int value);
    void SetMaxValue(int value);
    /// Clamped to the range.
    void SetValue(int value);
    void SetForeColor(DWORD argb)
    {
        foreColor_ = argb;
        Invalidate();
    }

private:
    int min_ = 0, max_ = 100, value_ = 0;
    DWORD foreColor_ = 0xFF2D8CF0;
};

} // namespace platform::ui
