#include "browser/PageCommand.h"

using namespace platform::engine;

namespace {
constexpr int kLeft = 0x25;
constexpr int kRight = 0x27;
constexpr int kDigitZero = 0x30;
constexpr int kLetterF = 0x46;
constexpr int kLetterR = 0x52;
constexpr int kKeypadZero = 0x60;
constexpr int kKeypadPlus = 0x6B;
constexpr int kKeypadMinus = 0x6D;
constexpr int kF5 = 0x74;
constexpr int kPlusKey = 0xBB;
constexpr int kMinusKey = 0xBD;
}

PageCommand PageCommandOfKey(const CefKeyEvent& event)
{
    const bool shift = event.modifiers & EVENTFLAG_SHIFT_DOWN;
    const bool control = event.modifiers & EVENTFLAG_CONTROL_DOWN;
    const bool alt = event.modifiers & EVENTFLAG_ALT_DOWN;
    const int key = event.windows_key_code;
    if (alt) {
        if (control || shift)
            return PageCommand::None;
        if (key == kLeft)
            return PageCommand::GoBack;
        if (key == kRight)
            return PageCommand::GoForward;
        return PageCommand::None;
    }
    if (key == kF5)
        return control || shift ? PageCommand::ReloadIgnoreCache : PageCommand::Reload;
    if (!control)
        return PageCommand::None;
    switch (key) {
    case kLetterR:
        return shift ? PageCommand::ReloadIgnoreCache : PageCommand::Reload;
    case kLetterF:
        return shift ? PageCommand::None : PageCommand::Find;
    // Plus usually needs Shift on its key; both it and "=" zoom in.
    case kPlusKey:
    case kKeypadPlus:
        return PageCommand::ZoomIn;
    case kMinusKey:
    case kKeypadMinus:
        return PageCommand::ZoomOut;
    case kDigitZero:
    case kKeypadZero:
        return shift ? PageCommand::None : PageCommand::ZoomReset;
    default:
        return PageCommand::None;
    }
}
