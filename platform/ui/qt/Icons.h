#pragma once

#include <QIcon>

#include "platform/ui/WindowOps.h"

namespace platform::ui::qt {

/// The icon behind a handle from LoadProgramIcon (a null icon for nullptr). GUI thread only.
QIcon IconFromHandle(HICON icon);

} // namespace platform::ui::qt
