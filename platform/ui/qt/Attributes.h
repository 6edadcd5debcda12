#pragma once

#include "platform/ui/UIString.h"
#include "platform/ui/WindowTypes.h"

namespace platform::ui::qt {

// Value parsing of layout attributes. Malformed numbers read as 0.
int ParseInt(const CDuiString& text);
bool ParseBool(const CDuiString& text);
/// "l,t,r,b" (missing parts are 0).
RECT ParseRect(const CDuiString& text);
/// "cx,cy".
SIZE ParseSize(const CDuiString& text);

} // namespace platform::ui::qt
