#include <gtest/gtest.h>

#include <QImage>
#include <string>
#include <vector>

#include "DesktopSession.h"
#include "support/WaitUntil.h"

namespace {

constexpr int kRooms = 29;

// The lobby's button (the page's whole top) opens the rooms, each in a tab of its own.
// Every page reports the keys it gets, so the test sees which tab is selected.
const std::string kLobby = R"html(<html><head><meta charset="utf-8"><title>Lobby</title></head><body>
<button style="position:fixed;left:0;top:0;width:100%;height:300px"
 onclick="for (let i = 1; i <= )html"
    + std::to_string(kRooms) + R"html(; ++i) window.open('/room?n=' + i)">全部围观</button>
<script>
function report(key) { fetch('/typed?page=' + document.title + '&key=' + key); }
report('');
document.addEventListener('keydown', (e) => report(encodeURIComponent(e.key)));
</script></body></html>)html";

// The tab bar as it is drawn: the tabs' colours at a line just inside their top edge,
// where neither the text nor the close button reaches.
constexpr int kRowLine = 16;
constexpr int kTextLine = 29;
constexpr QRgb kTab = 0x2A3040, kHotTab = 0x343B4C, kSelectedTab = 0xF4F6FA;
constexpr int kTabWidth = 174, kClosableRowWidth = 194;
// From the close button's left edge to the row's right end.
constexpr int kCloseEnd = 20;

struct Row {
    int left = 0, right = 0; // visible columns, right exclusive
    bool selected = false;
    int Width() const { return right - left; }
    bool Full() const { return Width() == kTabWidth || Width() == kClosableRowWidth; }
    // Rows of a scrolled bar can sit where others did: the selected one tells them apart.
    bool operator==(const Row& other) const
    {
        return left == other.left && right == other.right && selected == other.selected;
    }
};

std::vector<Row> RowsIn(const QImage& shot)
{
    std::vector<Row> rows;
    // Only the bar's part of the caption: between the navigation and the window buttons.
    for (int x = 190; x < std::min(shot.width(), 980); ++x) {
        QRgb colour = shot.pixel(x, kRowLine) & 0xFFFFFF;
        bool tab = colour == kTab || colour == kHotTab || colour == kSelectedTab;
        if (!tab)
            continue;
        if (rows.empty() || rows.back().right != x)
            rows.push_back({ x, x, false });
        rows.back().right = x + 1;
        rows.back().selected |= colour == kSelectedTab;
    }
    return rows;
}

class ManyTabsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (!desktop.Available())
            GTEST_SKIP() << "needs Xvfb, openbox, xdotool, x11-utils and imagemagick";
        program = std::make_unique<DesktopProgram>(desktop, DesktopProgram::Preparation(), kLobby);
        ASSERT_TRUE(program->WaitUntilReady());
        ASSERT_TRUE(WaitUntil([&] { return program->site.Listening("Lobby"); }, 60000));
    }

    static std::string Page(int tab) { return tab == 0 ? "Lobby" : "Room" + std::to_string(tab); }

    std::vector<Row> Rows() const { return RowsIn(desktop.Capture(program->mainWindow)); }

    // Waits until the bar's rows satisfy condition; returns them as they were then.
    std::vector<Row> RowsOnce(const std::function<bool(const std::vector<Row>&)>& condition) const
    {
        std::vector<Row> rows;
        WaitUntil(
            [&] {
                rows = Rows();
                return condition(rows);
            },
            30000);
        return rows;
    }

    static const Row* Selected(const std::vector<Row>& rows)
    {
        for (const Row& row : rows) {
            if (row.selected)
                return &row;
        }
        return nullptr;
    }

    // Types a key and waits until the page of tab gets it: that tab is the selected one.
    ::testing::AssertionResult KeyReaches(int tab)
    {
        std::vector<size_t> before;
        for (int each = 0; each <= kRooms; ++each)
            before.push_back(program->site.Typed(Page(each)).size());
        if (!WaitUntil(
                [&] { return DesktopSession::SameWindow(desktop.ActiveWindow(), program->mainWindow); },
                30000))
            return ::testing::AssertionFailure() << "the main window has no focus";
        // A room hidden behind the next one before it was drawn is drawn once selected; the engine
        // drops a key before that.
        if (!WaitUntil([&] { return program->site.Shown(Page(tab)); }, 30000))
            return ::testing::AssertionFailure() << Page(tab) << " was never drawn";
        desktop.Key("k");
        if (WaitUntil([&] { return program->site.Typed(Page(tab)).size() > before[tab]; }, 30000))
            return ::testing::AssertionSuccess();
        auto failure = ::testing::AssertionFailure() << Page(tab) << " did not get the key;";
        for (int each = 0; each <= kRooms; ++each) {
            if (program->site.Typed(Page(each)).size() > before[each])
                failure << " " << Page(each) << " did";
        }
        return failure;
    }

    // Clicks where the row's title shows: towards its left end, or for a row cut at the
    // bar's start, in the middle of what shows of the tab button (not its close button).
    void ClickText(const Row& row) const
    {
        int x = row.Full() ? row.left + 40 : (row.left + row.right - kCloseEnd) / 2;
        desktop.ClickAt(program->mainWindow, x, kTextLine);
    }

    static const Row* RightmostFull(const std::vector<Row>& rows)
    {
        for (auto row = rows.rbegin(); row != rows.rend(); ++row) {
            if (row->Full())
                return &*row;
        }
        return nullptr;
    }

    DesktopSession desktop;
    std::unique_ptr<DesktopProgram> program;
};

TEST_F(ManyTabsTest, EveryTabIsReachedAndSelectedByAClickOnItsText)
{
    desktop.ClickAt(program->mainWindow, 600, 150);
    auto roomsListening = [&] {
        int listening = 0;
        for (int tab = 1; tab <= kRooms; ++tab)
            listening += program->site.Listening(Page(tab)) ? 1 : 0;
        return listening;
    };
    ASSERT_TRUE(WaitUntil([&] { return roomsListening() == kRooms; }, 180000))
        << "not every room loaded: " << roomsListening() << " of " << kRooms;

    // The last tab opened is selected and scrolled fully into view, at the bar's right end.
    std::vector<Row> rows
        = RowsOnce([](const std::vector<Row>& r) { return Selected(r) && Selected(r)->Full(); });
    DesktopSession::Keep(desktop.Capture("root"), "tabs-at-the-end");
    ASSERT_TRUE(Selected(rows) && Selected(rows)->Full()) << "the selected tab is not fully in view";
    EXPECT_EQ(Selected(rows), &rows.back());
    const int viewRight = rows.back().right;
    EXPECT_FALSE(rows.front().Full()) << "30 tabs fit in the bar?";
    ASSERT_TRUE(KeyReaches(kRooms));

    // The wheel scrolls back to the first tab.
    desktop.WheelAt(program->mainWindow, rows.back().left + 40, kTextLine, -40);
    rows = RowsOnce([](const std::vector<Row>& r) { return !r.empty() && r.front().Width() == kTabWidth; });
    ASSERT_EQ(rows.front().Width(), kTabWidth) << "the wheel did not reach the first tab";
    const int viewLeft = rows.front().left;

    // Each tab in view, left to right, then one notch of the wheel brings the next one in.
    // Each click shows its tab selected; now and then the keyboard confirms which page that is.
    auto select = [&](const Row& row, int tab) {
        ClickText(row);
        const int left = row.left;
        const std::vector<Row> now
            = RowsOnce([&](const std::vector<Row>& r) { return Selected(r) && Selected(r)->left == left; });
        ASSERT_TRUE(Selected(now) && Selected(now)->left == left) << "a click on tab " << tab << "'s text";
        if (tab % 5 == 0 || tab == kRooms) {
            ASSERT_TRUE(KeyReaches(tab)) << "after a click on tab " << tab << "'s text";
        }
    };
    int tab = 0;
    for (const Row& row : rows) {
        if (!row.Full())
            break;
        ASSERT_NO_FATAL_FAILURE(select(row, tab++));
    }
    while (tab <= kRooms) {
        const std::vector<Row> before = Rows();
        desktop.WheelAt(program->mainWindow, (viewLeft + viewRight) / 2, kTextLine, 1);
        rows = RowsOnce([&](const std::vector<Row>& r) { return RightmostFull(r) && r != before; });
        ASSERT_NE(rows, before) << "the wheel did not bring tab " << tab << " in";
        if (tab == kRooms / 2)
            DesktopSession::Keep(desktop.Capture("root"), "tabs-in-the-middle");
        ASSERT_NO_FATAL_FAILURE(select(*RightmostFull(rows), tab++));
    }
    EXPECT_EQ(Rows().back().right, viewRight) << "the wheel scrolled past the last tab";

    // The first tab in view is cut at the bar's left end: a click on what shows of it selects
    // it and scrolls it fully into view.
    rows = Rows();
    ASSERT_FALSE(rows.front().Full());
    const int cutTab = kRooms + 1 - static_cast<int>(rows.size());
    ClickText(rows.front());
    ASSERT_TRUE(KeyReaches(cutTab)) << "a click on the cut tab " << cutTab << " did not select it";
    rows = RowsOnce(
        [&](const std::vector<Row>& r) { return !r.empty() && r.front().selected && r.front().Full(); });
    EXPECT_TRUE(rows.front().selected && rows.front().Full() && rows.front().left == viewLeft);

    // The back arrow, left of the first row in view, scrolls towards the first tab.
    desktop.ClickAt(program->mainWindow, viewLeft - 10, kTextLine);
    rows = RowsOnce([&](const std::vector<Row>& r) { return Selected(r) && Selected(r)->left > viewLeft; });
    ASSERT_TRUE(Selected(rows));
    EXPECT_EQ(Selected(rows)->left, viewLeft + kClosableRowWidth + 2)
        << "the back arrow did not scroll one tab";

    // Closing the last tabs, each by its close button: the neighbour is selected and in view,
    // and the bar never leaves empty room after its last tab while tabs are hidden.
    for (int last = kRooms; last > kRooms - 3; --last) {
        desktop.WheelAt(program->mainWindow, (viewLeft + viewRight) / 2, kTextLine, 40);
        rows = RowsOnce([&](const std::vector<Row>& r) {
            return !r.empty() && r.back().Full() && r.back().right == viewRight;
        });
        ClickText(rows.back());
        ASSERT_TRUE(KeyReaches(last));
        desktop.ClickAt(program->mainWindow, rows.back().right - 12, kTextLine);
        ASSERT_TRUE(KeyReaches(last - 1)) << "closing tab " << last << " did not select its neighbour";
        rows = RowsOnce([&](const std::vector<Row>& r) { return Selected(r) && Selected(r)->Full(); });
        EXPECT_TRUE(Selected(rows) && Selected(rows) == &rows.back());
        EXPECT_EQ(rows.back().right, viewRight) << "empty room after the last tab";
    }
}

} // namespace
