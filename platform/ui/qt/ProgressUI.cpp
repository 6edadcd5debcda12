#include "platform/ui/ProgressUI.h"

#include <algorithm>

#include "platform/ui/RenderEngine.h"
#include "platform/ui/qt/Attributes.h"

namespace platform::ui {

CProgressUI::CProgressUI() { textStyle_ = DT_SINGLELINE | DT_VCENTER | DT_CENTER; }

void* CProgressUI::GetInterface(const CDuiString& name)
{
    return name == u"Progress" ? this : CLabelUI::GetInterface(name);
}

void CProgressUI::SetAttribute(const CDuiString& name, const CDuiString& value)
{
    if (name == u"min")
        SetMinValue(qt::ParseInt(value));
    else if (name == u"max")
        SetMaxValue(qt::ParseInt(value));
    else if (name == u"value")
        SetValue(qt::ParseInt(value));
    else if (name == u"forecolor")
        SetForeColor(ParseColor(value));
    else
        CLabelUI::SetAttribute(name, value);
}

void CProgressUI::SetMinValue(int value)
{
    min_ = value;
    SetValue(value_);
}

void CProgressUI::SetMaxValue(int value)
{
    max_ = value;
    SetValue(value_);
}

void CProgressUI::SetValue(int value)
{
    value_ = max_ > min_ ? std::clamp(value, min_, max_) : min_;
    Invalidate();
}

void CProgressUI::PaintStatusImage(HDC hdc)
{
    if (max_ <= min_)
        return;
    RECT rc = GetPos();
    long long span = static_cast<long long>(rc.right - rc.left) * (value_ - min_) / (max_ - min_);
    rc.right = rc.left + static_cast<int>(span);
    if (rc.right > rc.left)
        CRenderEngine::DrawColor(hdc, rc, foreColor_);
}

} // namespace platform::ui
