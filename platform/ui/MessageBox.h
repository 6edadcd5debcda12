#pragma once

#include "platform/ui/WindowTypes.h"

#include <string>

namespace platform::ui {

constexpr UINT MB_OK = 0x0;
constexpr UINT MB_OKCANCEL = 0x1;
constexpr UINT MB_ICONINFORMATION = 0x40;
constexpr int IDOK = 1;
constexpr int IDCANCEL = 2;

/// The desktop's own message box (not skinned), modal over its owner when one is given.
/// Returns IDOK or IDCANCEL.
int MessageBoxW(HWND owner, const std::u16string& text, const std::u16string& caption, UINT type);

} // namespace platform::ui
