#include "platform/ui/LabelUI.h"

#include "platform/ui/RenderEngine.h"

namespace platform::ui {

CLabelUI::CLabelUI() { }

void* CLabelUI::GetInterface(const CDuiString& name)
{
    return name == u"Label" ? this : CControlUI::GetInterface(name);
}

SIZE CLabelUI::EstimateSize(SIZE available)
{
    SIZE size = CControlUI::EstimateSize(available);
    if (size.cx > 0 && size.cy > 0)
        return size;
    SIZE text = CRenderEngine::GetTextSize(manager_, text_, font_);
    if (size.cx == 0 && !text_.empty())
        size.cx = text.cx + textPadding_.left + textPadding_.right;
    if (size.cy == 0)
        size.cy = text.cy + textPadding_.top + textPadding_.bottom;
    return size;
}

void CLabelUI::PaintText(HDC hdc) { PaintTextDefault(hdc, 0); }

} // namespace platform::ui
