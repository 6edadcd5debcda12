#include "browser/PageCommand.h"

#include <gtest/gtest.h>

using namespace platform::engine;

namespace {

constexpr unsigned kShift = EVENTFLAG_SHIFT_DOWN;
constexpr unsigned kControl = EVENTFLAG_CONTROL_DOWN;
constexpr unsigned kAlt = EVENTFLAG_ALT_DOWN;
constexpr unsigned kKeypad = EVENTFLAG_IS_KEY_PAD;

TEST(PageCommandOfKey, BrowserKeysAreCommandsAndOtherKeysStayWithThePage)
{
    struct Case {
        int key;
        unsigned modifiers;
        PageCommand command;
    } cases[] = {
        { 0x74, 0, PageCommand::Reload },
        { 'R', kControl, PageCommand::Reload },
        { 0x74, kControl, PageCommand::ReloadIgnoreCache },
        { 0x74, kShift, PageCommand::ReloadIgnoreCache },
        { 'R', kControl | kShift, PageCommand::ReloadIgnoreCache },
        { 0x25, kAlt, PageCommand::GoBack },
        { 0x27, kAlt, PageCommand::GoForward },
        { 0xBB, kControl, PageCommand::ZoomIn },
        { 0xBB, kControl | kShift, PageCommand::ZoomIn },
        { 0x6B, kControl | kKeypad, PageCommand::ZoomIn },
        { 0xBD, kControl, PageCommand::ZoomOut },
        { 0x6D, kControl | kKeypad, PageCommand::ZoomOut },
        { '0', kControl, PageCommand::ZoomReset },
        { 0x60, kControl | kKeypad, PageCommand::ZoomReset },
        // Keys that only look alike belong to the page.
        { 'R', 0, PageCommand::None },
        { 'F', kControl, PageCommand::Find },
        { 'F', 0, PageCommand::None },
        { 'F', kControl | kShift, PageCommand::None },
        { 0x25, 0, PageCommand::None },
        { 0x25, kControl | kAlt, PageCommand::None },
        { 0x27, kAlt | kShift, PageCommand::None },
        { 0xBB, 0, PageCommand::None },
        { 'R', kControl | kAlt, PageCommand::None },
        { '0', 0, PageCommand::None },
        { 32, kControl, PageCommand::None },
        { 0x73, 0, PageCommand::None },
    };
    for (const Case& c : cases) {
        for (auto type : { KEYEVENT_RAWKEYDOWN, KEYEVENT_CHAR, KEYEVENT_KEYUP }) {
            CefKeyEvent event;
            event.type = type;
            event.windows_key_code = c.key;
            event.modifiers = c.modifiers;
            event.focus_on_editable_field = type == KEYEVENT_CHAR;
            EXPECT_EQ(PageCommandOfKey(event), c.command) << std::hex << c.key << " " << c.modifiers;
        }
    }
}

} // namespace
