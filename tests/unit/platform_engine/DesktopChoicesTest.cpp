#include "platform/engine/qt/DesktopMediaRequests.h"

#include <gtest/gtest.h>

using platform::engine::qt::DesktopChoice;
using platform::engine::qt::DesktopChoices;

namespace {
std::string Lines(const std::vector<DesktopChoice>& choices)
{
    std::string lines;
    for (const DesktopChoice& choice : choices)
        lines
            += (choice.screen ? "screen " : "window ") + std::to_string(choice.row) + " " + choice.name + "|";
    return lines;
}
}

// Each line must name the row of the engine's list it selects, even where untitled windows
// are left out of the prompt, or the user would share another window than the one chosen.
TEST(DesktopChoices, EachLineSelectsTheRowItNames)
{
    const struct {
        QStringList screens;
        QStringList windows;
        size_t limit;
        std::string lines;
    } cases[] = {
        { { "Screen 0" }, { "直播伴侣", "Notes" }, 10,
            "screen 0 整个屏幕|window 0 直播伴侣|window 1 Notes|" },
        { { "", "" }, {}, 10, "screen 0 屏幕 1|screen 1 屏幕 2|" },
        { { "s" }, { "", "  ", "Chat" }, 10, "screen 0 整个屏幕|window 2 Chat|" },
        { { "a", "b" }, { "Chat", "Notes" }, 3, "screen 0 屏幕 1|screen 1 屏幕 2|window 0 Chat|" },
        { {}, { "Chat" }, 10, "window 0 Chat|" },
        { {}, {}, 10, "" },
    };
    for (const auto& c : cases)
        EXPECT_EQ(Lines(DesktopChoices(c.screens, c.windows, c.limit)), c.lines);
}
