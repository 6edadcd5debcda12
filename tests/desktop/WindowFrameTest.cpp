#include <gtest/gtest.h>

#include "ProgramOnDesktopTest.h"
#include "support/WaitUntil.h"

namespace {

class WindowFrameTest : public ProgramOnDesktopTest {
protected:
    QRect Frame() const { return desktop.Geometry(program->mainWindow); }
};

TEST_F(WindowFrameTest, ResizesFromEveryEdgeAndCornerAboveThePage)
{
    // Each grip is dragged 30 px inwards; the page reaches every edge except the caption's.
    struct Grip {
        const char* name;
        double x, y; // fraction of the window's size; 0 or 1 means 2 px inside that edge
        int dx, dy;
    };
    const Grip grips[] = {
        { "right", 1, 0.5, -30, 0 },
        { "bottom", 0.5, 1, 0, -30 },
        { "left", 0, 0.5, 30, 0 },
        { "top", 0.3, 0, 0, 30 },
        { "bottom right", 1, 1, -30, -30 },
        { "bottom left", 0, 1, 30, -30 },
        { "top right", 1, 0, -30, 30 },
        { "top left", 0, 0, 30, 30 },
    };
    for (const Grip& grip : grips) {
        SCOPED_TRACE(grip.name);
        QRect before = Frame();
        auto at = [](double fraction, int size) {
            return fraction == 0 ? 2 : fraction == 1 ? size - 3 : static_cast<int>(fraction * size);
        };
        // The window manager measures from where the pointer is once it has grabbed it, and on a
        // busy machine that can be after the first step of the drag: a third of it is enough to
        // show the grip works, never more than the drag, and the other side never moves.
        auto shrankBy = [](int drag, int before, int after) {
            return drag == 0 ? after == before : before - after >= 10 && before - after <= 30;
        };
        auto resized = [&] {
            QRect after = Frame();
            return shrankBy(grip.dx, before.width(), after.width())
                && shrankBy(grip.dy, before.height(), after.height());
        };
        desktop.DragBy(program->mainWindow, at(grip.x, before.width()), at(grip.y, before.height()), grip.dx,
            grip.dy, resized, [&] { return Frame().size() != before.size(); });
        EXPECT_TRUE(WaitUntil(resized, 30000)) << "before " << before.width() << "x" << before.height()
                                               << ", after " << Frame().width() << "x" << Frame().height();
    }
}

TEST_F(WindowFrameTest, CaptionDoubleClickTogglesMaximiseAndADragMoves)
{
    QRect frame = Frame();
    // An empty part of the caption: the tab strip's end, left of the menu button.
    const QRect menu = program->Button(program->mainWindow, "菜单");
    ASSERT_FALSE(menu.isEmpty());
    const int x = menu.left() - 100, y = menu.center().y();
    desktop.Run("xdotool",
        { "mousemove", "--window", program->mainWindow, QString::number(x), QString::number(y), "click",
            "--repeat", "2", "--delay", "80", "1" });
    ASSERT_TRUE(WaitUntil([&] { return Maximised(); }, 30000)) << "a double click maximises";
    desktop.Run("xdotool",
        { "mousemove", "--window", program->mainWindow, QString::number(x), QString::number(y), "click",
            "--repeat", "2", "--delay", "80", "1" });
    ASSERT_TRUE(WaitUntil([&] { return !Maximised(); }, 30000)) << "a second one restores";
    EXPECT_TRUE(WaitUntil([&] { return Frame().size() == frame.size(); }, 30000)) << "at the earlier size";

    QRect before = Frame();
    desktop.DragBy(program->mainWindow, x, y, -40, 20);
    // The move starts once the pointer has passed the drag distance, so the window follows the rest.
    EXPECT_TRUE(
        WaitUntil([&] { return Frame().x() <= before.x() - 20 && Frame().y() >= before.y() + 10; }, 30000))
        << "moved to " << Frame().x() << "," << Frame().y() << " from " << before.x() << "," << before.y();
    EXPECT_EQ(Frame().size(), before.size());
}

TEST_F(WindowFrameTest, MinimisedFromMaximisedComesBackMaximised)
{
    ASSERT_TRUE(program->ClickButton(program->mainWindow, "最大化"));
    ASSERT_TRUE(WaitUntil([&] { return Maximised(); }, 30000));
    ASSERT_TRUE(program->ClickButton(program->mainWindow, "最小化"));
    ASSERT_TRUE(WaitUntil(
        [&] { return desktop.Property(program->mainWindow, "WM_STATE").contains("Iconic"); }, 30000));
    desktop.Run("xdotool", { "windowactivate", program->mainWindow });
    EXPECT_TRUE(WaitUntil(
        [&] { return desktop.Property(program->mainWindow, "WM_STATE").contains("Normal") && Maximised(); },
        30000))
        << desktop.Property(program->mainWindow, "_NET_WM_STATE").toStdString();
}

} // namespace
