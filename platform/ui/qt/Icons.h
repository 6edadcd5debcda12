#pragma once

#include <QIcon>
#include <QPixmap>

#include "platform/ui/WindowOps.h"

namespace platform::ui::qt {

/// The icon behind a handle from LoadProgramIcon (a null icon for nullptr). GUI thread only.
QIcon IconFromHandle(HICON icon);

/// The program's own icon drawn at size x size pixels; the installed icon theme files are drawn by it too.
QPixmap DrawProgramIcon(int size);

} // namespace platform::ui::qt
