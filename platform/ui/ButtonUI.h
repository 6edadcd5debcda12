#pragma once

#include "platform/ui/LabelUI.h"

namespace platform::ui {

/// A clickable label with normal, hot, pushed and disabled images and colours;
/// a release inside it, Space or Enter sends "click". GUI thread only.
class CButtonUI : public CLabelUI {
public:
    CButtonUI();
    CDuiString GetClass() const override { return u"ButtonUI"; }
    void* GetInterface(const CDuiString& name) override;
    void SetAttribute(const CDuiString& name, const CDuiString& value) override;
    void DoEvent(TEventUI& event) override;
    bool Activate() override;
    void PaintBkColor(HDC hdc) override;
    void PaintStatusImage(HDC hdc) override;
    void PaintText(HDC hdc) override;

    void SetNormalImage(const CDuiString& file)
    {
        normalImage_ = file;
        Invalidate();
    }
    void SetHotImage(const CDuiString& file)
    {
        hotImage_ = file;
        Invalidate();
    }
    void SetPushedImage(const CDuiString& file)
    {
        pushedImage_ = file;
        Invalidate();
    }
    void SetDisabledImage(const CDuiString& file)
    {
        disabledImage_ = file;
        Invalidate();
    }
    void SetHotBkColor(DWORD argb)
    {
        hotBkColor_ = argb;
        Invalidate();
    }
    void SetHotTextColor(DWORD argb)
    {
        hotTextColor_ = argb;
        Invalidate();
    }
    void SetDisabledBkColor(DWORD argb)
    {
        disabledBkColor_ = argb;
        Invalidate();
    }

protected:
    CDuiString normalImage_, hotImage_, pushedImage_, disabledImage_, foreImage_;
    DWORD hotBkColor_ = 0, pushedBkColor_ = 0, disabledBkColor_ = 0, hotTextColor_ = 0, pushedTextColor_ = 0;
};

} // namespace platform::ui
