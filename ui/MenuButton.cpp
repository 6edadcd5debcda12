#include "ui/MenuButton.h"

#include <cstdlib>
#include <string>

using namespace platform::ui;

void* MenuButton::GetInterface(const CDuiString& name)
{
    return name == u"MenuButton" ? this : CButtonUI::GetInterface(name);
}

void MenuButton::SetAttribute(const CDuiString& name, const CDuiString& value)
{
    if (name == u"menu_id") {
        std::string text(value.begin(), value.end());
        menuId = static_cast<int>(std::strtol(text.c_str(), nullptr, 10));
    } else {
        CButtonUI::SetAttribute(name, value);
    }
}

void MenuButton::DoEvent(TEventUI& event)
{
    bool hot = event.Type == UIEVENT_MOUSEENTER && IsEnabled();
    ControlRef self(this);
    CButtonUI::DoEvent(event);
    if (hot && self.Alive())
        SendNotify(u"menu_button_hot");
}
