#include "tests/support/RowTable.h"
#include "tests/widgets/PointerMessages.h"
#include "tests/widgets/TableTesting.h"

namespace {

class TableViewTest : public TableTest {
protected:
    void press(Point p, UINT message = WM_LBUTTONDOWN, KeyboardModifiers modifiers = NoModifier)
    {
        const HeldModifiers held(modifiers);
        const WPARAM button = message == WM_RBUTTONDOWN ? MK_RBUTTON : MK_LBUTTON;
        sendPointerMessage(*window, message, button, p);
        sendPointerMessage(*window, message == WM_RBUTTONDOWN ? WM_RBUTTONUP : WM_LBUTTONUP, 0, p);
    }
    void key(int code, KeyboardModifiers modifiers = NoModifier)
    {
        UIKeyEvent e(KeyPressEventType, code, modifiers, String());
        table->event(&e);
    }
    void wheelDown()
    {
        UIWheelEvent e(1, Point{50, 50}, -120, NoModifier, WheelDown);
        table->event(&e);
    }
    int value() const { return view->verticalScrollBar()->value(); }
};

} // namespace

TEST_F(TableViewTest, PageStepLeavesOutTheHeaderAndTheHintMakesRoomForIt)
{
    addNumbered(50);
    EXPECT_EQ(view->verticalScrollBar()->pageStep(), view->viewport()->height() - table->headerHeight());
    EXPECT_EQ(view->sizeHint().height, UIScrollArea(nullptr).sizeHint().height + table->header()->height());
    EXPECT_EQ(view->verticalSingleStep(), table->rowHeight());
}

TEST_F(TableViewTest, ContentNeedsTheVisibleRowsAndTheHeader)
{
    addNumbered(20);
    table->hideRow(3);
    // 19 rows of 20 under a 20-pixel header in a 200-pixel view.
    EXPECT_EQ(table->minimumSizeHint(), (Size{200, 19 * 20 + 20}));
    EXPECT_EQ(view->verticalScrollBar()->maximum(), 19 * 20 + 20 - 200);
}

TEST_F(TableViewTest, KeysMoveTheCurrentRowAndSelectIt)
{
    addNumbered(30);
    struct Row {
        int startCurrent; // -1: none
        int startValue;
        int key;
        int current;
        std::vector<int> selected;
        int value; // -1: unchanged
    };
    // Nine rows show under the header; the page is 180 pixels.
    const Row rows[] = {
        {0, 0, VK_UP, 0, {}, -1},            // row 0 on screen: nothing
        {-1, 0, VK_UP, -1, {}, -1},          // no current row: nothing
        {-1, 0, VK_DOWN, 0, {0}, -1},        // no current row: row 0
        {4, 0, VK_DOWN, 5, {5}, -1},         // the row below, alone
        {4, 0, VK_HOME, 0, {0}, -1},         //
        {4, 0, VK_END, 29, {29}, 620 - 200}, // scrolled to the end
        {0, 200, VK_UP, 0, {}, 0},           // row 0 far above: scrolled back only
        {0, 0, VK_NEXT, 17, {17}, 180},      // the row at the bottom after a page
        {0, 0, 'A', 0, {}, -1},              // Ctrl+A does nothing in mode 1
    };
    forEachRow(rows, [&](const Row& row) {
        table->clearSelection(false, false);
        view->setVerticalValue(0);
        table->setCurrentRow(row.startCurrent, false);
        view->setVerticalValue(row.startValue);
        key(row.key, row.key == 'A' ? ControlModifier : NoModifier);
        EXPECT_EQ(table->currentRow(), row.current);
        EXPECT_EQ(selectedIndexes(), row.selected);
        EXPECT_EQ(value(), row.value < 0 ? row.startValue : row.value);
    });
}

TEST_F(TableViewTest, MultipleSelectionByClickShiftControlAndRightButton)
{
    addNumbered(8);
    table->setSelectionMode(UITable::MultiSelection);
    struct Row {
        int row;
        UINT message;
        KeyboardModifiers modifiers;
        std::vector<int> selected;
    };
    const Row rows[] = {
        {2, WM_LBUTTONDOWN, NoModifier, {2}},
        {5, WM_LBUTTONDOWN, ShiftModifier, {2, 3, 4, 5}},
        {3, WM_LBUTTONDOWN, ControlModifier, {2, 4, 5}},
        {7, WM_LBUTTONDOWN, ControlModifier, {2, 4, 5, 7}},
        // A right press on one of several selected rows keeps them.
        {4, WM_RBUTTONDOWN, NoModifier, {2, 4, 5, 7}},
        // The right press made row 4 current: Shift on it selects it alone.
        {4, WM_LBUTTONDOWN, ShiftModifier, {4}},
        {5, WM_LBUTTONDOWN, ControlModifier, {4, 5}},
        {5, WM_LBUTTONDOWN, NoModifier, {5}},
    };
    int x = 40;
    forEachRow(rows, [&](const Row& row) {
        // A press where the last one was would be a double click.
        x = x == 40 ? 160 : 40;
        press(rowPoint(row.row, x), row.message, row.modifiers);
        EXPECT_EQ(selectedIndexes(), row.selected);
    });
}

TEST_F(TableViewTest, BlankClickClearsUnlessSwitchedOff)
{
    addNumbered(3);
    press(rowPoint(1));
    table->setClearSelectionOnBlankClick(false);
    press(rowPoint(6, 160));
    EXPECT_EQ(table->currentRow(), 1);
    EXPECT_EQ(selectedIndexes(), std::vector<int>{1});
    table->setClearSelectionOnBlankClick(true);
    press(rowPoint(6, 260));
    EXPECT_EQ(table->currentRow(), -1);
    EXPECT_EQ(selectedIndexes(), std::vector<int>{});
}

TEST_F(TableViewTest, RubberBandSelectsTheRowsItTouchesAndScrollsPastTheBottom)
{
    addNumbered(40);
    table->setSelectionMode(UITable::MultiSelection);
    const Point start = rowPoint(6, 250);
    sendPointerMessage(*window, WM_LBUTTONDOWN, MK_LBUTTON, start);
    EXPECT_TRUE(table->isRubberBandActive());
    // The press selects its row; the band needs 5 pixels before it selects.
    sendPointerMessage(*window, WM_MOUSEMOVE, MK_LBUTTON, Point{start.x, start.y - 3});
    EXPECT_EQ(selectedIndexes(), std::vector<int>{6});
    // A wheel turn does not scroll while the band is out.
    wheelDown();
    EXPECT_EQ(value(), 0);
    sendPointerMessage(*window, WM_MOUSEMOVE, MK_LBUTTON, rowPoint(3, 240));
    EXPECT_EQ(selectedIndexes(), (std::vector<int>{3, 4, 5, 6}));
    // Past the bottom edge the view scrolls and the band grows with it.
    const Point below{240, view->height() + 10};
    for (int i = 0; i < 3; ++i)
        sendPointerMessage(*window, WM_MOUSEMOVE, MK_LBUTTON, below);
    EXPECT_GT(value(), 0);
    const std::vector<int> selected = selectedIndexes();
    EXPECT_GE(selected.front(), 5);
    EXPECT_GE(selected.back(), 9);
    EXPECT_GE(selected.size(), 4u);
    sendPointerMessage(*window, WM_LBUTTONUP, 0, below);
    EXPECT_FALSE(table->isRubberBandActive());
    const int before = value();
    wheelDown();
    EXPECT_EQ(value(), before + table->rowHeight());
}

TEST_F(TableViewTest, EmptyTableShowsTheBlankTextBelowTheHeader)
{
    table->setBlankText(L"No items");
    table->setBlankTextVisible(true);
    const Bitmap blank = table->backBuffer()->toBitmap(false);
    addNumbered(1);
    const Bitmap filled = table->backBuffer()->toBitmap(false);
    // The text is centred in the room below the header.
    const Point centre{table->width() / 2, (table->height() + table->headerHeight()) / 2};
    int differing = 0;
    for (int y = centre.y - 8; y < centre.y + 8; ++y) {
        for (int x = centre.x - 30; x < centre.x + 30; ++x)
            differing += blank.pixel(x, y) != filled.pixel(x, y);
    }
    EXPECT_GT(differing, 20);
}

TEST_F(TableViewTest, ShiftAtTheBandsPressKeepsTheRowsOutsideIt)
{
    addNumbered(12);
    table->setSelectionMode(UITable::MultiSelection);
    press(rowPoint(0));
    {
        const HeldModifiers held(ShiftModifier);
        sendPointerMessage(*window, WM_LBUTTONDOWN, MK_LBUTTON | MK_SHIFT, rowPoint(2, 200));
    }
    EXPECT_EQ(selectedIndexes(), (std::vector<int>{0, 1, 2}));
    sendPointerMessage(*window, WM_MOUSEMOVE, MK_LBUTTON, rowPoint(5, 200));
    sendPointerMessage(*window, WM_LBUTTONUP, 0, rowPoint(5, 200));
    EXPECT_EQ(selectedIndexes(), (std::vector<int>{0, 1, 2, 3, 4, 5}));
}

TEST_F(TableViewTest, WheelDoesNotScrollWhileAKeyIsHeld)
{
    addNumbered(40);
    table->setFlag(WidgetKeyHeld, true);
    wheelDown();
    EXPECT_EQ(value(), 0);
    table->setFlag(WidgetKeyHeld, false);
    wheelDown();
    EXPECT_EQ(value(), table->rowHeight());
}

// A key onto a hidden row used to leave no current row, and the next Down
// started again at row 0: the keys step over hidden rows in their own
// direction and stay put at the ends.
TEST_F(TableViewTest, RealKeysStepOverHiddenRows)
{
    addNumbered(30);
    for (int i : {0, 2, 3, 29})
        table->hideRow(i);
    for (int i = 5; i < 28; ++i)
        table->hideRow(i);
    struct Row {
        int start;
        int key;
        int current;
    };
    // Visible rows: 1, 4 and 28; all fit on the screen.
    const Row rows[] = {
        {1, VK_DOWN, 4}, {4, VK_DOWN, 28}, {28, VK_DOWN, 28}, {4, VK_UP, 1},   {1, VK_UP, 1},
        {28, VK_HOME, 1}, {1, VK_END, 28}, {-1, VK_DOWN, 1}, {-1, VK_UP, -1}, {1, VK_NUMPAD2, 4},
    };
    ASSERT_TRUE(focusForKeys(*window, *table));
    forEachRow(rows, [&](const Row& row) {
        table->setCurrentRowAndSelect(row.start);
        current.values.clear();
        sendKeyStroke(*window, row.key);
        EXPECT_EQ(table->currentRow(), row.current);
        EXPECT_EQ(current.values.size(), row.current == row.start ? 0u : 1u);
        if (row.current >= 0) {
            EXPECT_EQ(selectedIndexes(), std::vector<int>{row.current});
        }
    });
}
