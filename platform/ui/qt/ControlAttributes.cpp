#include "platform/ui/ControlUI.h"

#include "platform/ui/PaintManagerUI.h"
#include "platform/ui/qt/Attributes.h"
#include "platform/ui/qt/LayoutDiagnostics.h"

namespace platform::ui {

void CControlUI::SetStyleName(const CDuiString& styleName, CPaintManagerUI* manager)
{
    styleName_ = styleName;
    if (!manager)
        manager = manager_;
    const CPaintManagerUI::AttributeList* style
        = manager ? manager->GetStyle(styleName) : CPaintManagerUI::GetSharedStyle(styleName);
    if (!style)
        style = CPaintManagerUI::GetSharedStyle(styleName);
    if (!style)
        return;
    for (const auto& [name, value] : *style)
        SetAttribute(name, value);
}

void CControlUI::SetAttribute(const CDuiString& name, const CDuiString& value)
{
    using namespace qt;
    if (name == u"name")
        SetName(value);
    else if (name == u"text")
        SetText(value);
    else if (name == u"tooltip")
        SetToolTip(value);
    else if (name == u"userdata")
        SetUserData(value);
    else if (name == u"width")
        SetFixedWidth(ParseInt(value));
    else if (name == u"height")
        SetFixedHeight(ParseInt(value));
    else if (name == u"minwidth")
        SetMinWidth(ParseInt(value));
    else if (name == u"minheight")
        SetMinHeight(ParseInt(value));
    else if (name == u"maxwidth")
        SetMaxWidth(ParseInt(value));
    else if (name == u"maxheight")
        SetMaxHeight(ParseInt(value));
    else if (name == u"padding")
        SetPadding(ParseRect(value));
    else if (name == u"bkcolor")
        SetBkColor(ParseColor(value));
    else if (name == u"bordercolor")
        SetBorderColor(ParseColor(value));
    else if (name == u"bordersize")
        SetBorderSize(ParseInt(value));
    else if (name == u"textcolor")
        SetTextColor(ParseColor(value));
    else if (name == u"disabledtextcolor")
        SetDisabledTextColor(ParseColor(value));
    else if (name == u"font")
        SetFont(ParseInt(value));
    else if (name == u"textpadding")
        SetTextPadding(ParseRect(value));
    else if (name == u"bkimage")
        SetBkImage(value);
    else if (name == u"visible")
        SetVisible(ParseBool(value));
    else if (name == u"enabled")
        SetEnabled(ParseBool(value));
    else if (name == u"mouse")
        SetMouseEnabled(ParseBool(value));
    else if (name == u"mousechild")
        SetMouseChildEnabled(ParseBool(value));
    else if (name == u"menu")
        SetContextMenuUsed(ParseBool(value));
    else if (name == u"style")
        SetStyleName(value);
    else if (name == u"align" || name == u"valign") {
        UINT style = textStyle_;
        if (value == u"left")
            style &= ~(DT_CENTER | DT_RIGHT);
        else if (value == u"center")
            style = (style & ~DT_RIGHT) | DT_CENTER;
        else if (value == u"right")
            style = (style & ~DT_CENTER) | DT_RIGHT;
        else if (value == u"top")
            style &= ~(DT_VCENTER | DT_BOTTOM);
        else if (value == u"vcenter")
            style = (style & ~DT_BOTTOM) | DT_VCENTER;
        else if (value == u"bottom")
            style = (style & ~DT_VCENTER) | DT_BOTTOM;
        SetTextStyle(style);
    } else if (name == u"wordbreak" || name == u"multiline") {
        SetTextStyle(ParseBool(value) ? (textStyle_ & ~DT_SINGLELINE) | DT_WORDBREAK
                                      : (textStyle_ & ~DT_WORDBREAK) | DT_SINGLELINE);
    } else if (name == u"endellipsis") {
        SetTextStyle(ParseBool(value) ? textStyle_ | DT_END_ELLIPSIS : textStyle_ & ~DT_END_ELLIPSIS);
    } else {
        ReportLayoutProblem(u"unknown attribute of " + GetClass(), name);
    }
}

} // namespace platform::ui
