#pragma once

#include "platform/ui/UIString.h"

namespace platform::ui::qt {

// Where the layout builder is reading, so attribute errors can name file and line.
// GUI thread only.
void SetLayoutLocation(const CDuiString& file, long long line);
void ClearLayoutLocation();
/// Reports on standard error, once per file, line and name.
void ReportLayoutProblem(const CDuiString& what, const CDuiString& name);

} // namespace platform::ui::qt
