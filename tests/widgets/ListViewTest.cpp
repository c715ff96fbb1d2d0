#include "tests/support/RowTable.h"
#include "tests/widgets/ListTesting.h"
#include "tests/widgets/PointerMessages.h"

namespace {

class ListViewTest : public ListTest {
protected:
    void wheelDown()
    {
        UIWheelEvent e(1, Point{50, 50}, -120, NoModifier, WheelDown);
        list->event(&e);
    }
};

} // namespace

TEST_F(ListViewTest, ViewFollowsTheVisibleItemsAndStepsOneItem)
{
    addNumbered(30);
    EXPECT_EQ(view->verticalSingleStep(), list->itemSize().height);
    EXPECT_EQ(view->verticalScrollBar()->maximum(), 30 * 20 - 200);
    for (int i = 0; i < 5; ++i)
        list->item(i)->setVisible(false);
    EXPECT_EQ(list->minimumSizeHint(), (Size{70, 25 * 20}));
    EXPECT_EQ(view->verticalScrollBar()->maximum(), 25 * 20 - 200);
    list->setViewMode(UIList::IconMode);
    list->setItemSize({60, 60});
    // 25 icons in four columns of 60 + 4 pixels beside the vertical bar.
    EXPECT_EQ(list->columnCount(), 4);
    EXPECT_EQ(view->verticalScrollBar()->maximum(), 7 * 68 - 200);
}

// Icon mode counted its columns in steps of the item width and half the
// side margins but asked for the item width and both margins per column:
// a view whose items fit scrolled sideways (by 12 pixels here).
TEST_F(ListViewTest, IconsThatFitTheWidthNeedNoHorizontalBar)
{
    window->resize(520, 340);
    view->setGeometry(0, 0, 300, 300);
    const int frame = view->width() - view->viewport()->width();
    list->setViewMode(UIList::IconMode);
    list->setItemSize({96, 96});
    addNumbered(4);
    view->setGeometry(0, 0, 404 + frame, 300);
    ASSERT_EQ(list->width(), 404);
    list->repaint();
    EXPECT_EQ(list->columnCount(), 4);
    const Rect last = list->itemRect(3);
    EXPECT_LE(last.x + last.width, 404);
    EXPECT_EQ(view->horizontalScrollBar()->maximum(), 0);
    EXPECT_FALSE(view->horizontalScrollBar()->isVisible());
}

// Filling 10,000 icons took 80 s when every add relayouted the view.
TEST_F(ListViewTest, SuspendedFillRelayoutsOnceWhenItResumes)
{
    list->setUpdatesSuspended(true);
    addNumbered(30);
    EXPECT_EQ(view->verticalScrollBar()->maximum(), 0) << "no relayout while suspended";
    list->setUpdatesSuspended(false);
    EXPECT_EQ(view->verticalScrollBar()->maximum(), 30 * 20 - 200);
}

TEST_F(ListViewTest, WheelScrollsOneStepExceptDuringABand)
{
    addNumbered(30);
    wheelDown();
    EXPECT_EQ(value(), 20);
    list->setViewMode(UIList::IconMode);
    list->setItemSize({60, 60});
    list->setMaximumColumns(3);
    list->setSelectionMode(UIList::MultiSelection);
    view->setVerticalValue(0);
    // Right of the third column lies empty space.
    UIMouseEvent press(MousePressEventType, Point{250, 100}, LeftButton, MouseButtons(LeftButton), NoModifier);
    list->event(&press);
    ASSERT_TRUE(list->isRubberBandActive());
    wheelDown();
    EXPECT_EQ(value(), 0);
}

// Hidden items take no room, so the row height times the index is not
// where an item lies: both modes scroll by the painted rectangle (fix).
TEST_F(ListViewTest, EnsureItemVisibleUsesThePaintedPlaceWithHiddenItemsAbove)
{
    addNumbered(30);
    for (int i = 0; i < 10; ++i)
        list->item(i)->setVisible(false);
    list->repaint();
    struct Row {
        UIList::ViewMode mode;
        int start;
        int index;
        bool scrolled;
    };
    const Row rows[] = {{UIList::ListMode, 200, 10, true},
                        {UIList::ListMode, 0, 29, true},
                        {UIList::ListMode, 0, 15, false},
                        {UIList::IconMode, 400, 10, true},
                        {UIList::IconMode, 0, 29, true}};
    forEachRow(rows, [&](const Row& row) {
        list->setViewMode(row.mode);
        list->setItemSize(row.mode == UIList::IconMode ? Size{60, 60} : Size{0, 20});
        view->setVerticalValue(row.start);
        list->repaint();
        EXPECT_EQ(list->ensureItemVisible(row.index), row.scrolled);
        list->repaint();
        const Rect r = list->itemRect(row.index);
        EXPECT_GE(r.top(), 0);
        EXPECT_LE(r.bottom(), list->height());
        EXPECT_TRUE(list->isItemOnScreen(row.index));
    });
}

// Real pointer input: in mode 2 a press on an item starts no band; a press
// on empty space starts one that selects the icons it touches.
TEST_F(ListViewTest, BandStartsOnlyFromEmptySpaceAndSelectsWhatItTouches)
{
    list->setViewMode(UIList::IconMode);
    list->setItemSize({60, 60});
    list->setMaximumColumns(3);
    list->setSelectionMode(UIList::MultiSelection);
    addNumbered(5);
    // Icons at x 4, 68, 132 in rows at y 4 and 72.
    sendPointerMessage(*window, WM_LBUTTONDOWN, MK_LBUTTON, Point{90, 30});
    EXPECT_FALSE(list->isRubberBandActive());
    sendPointerMessage(*window, WM_MOUSEMOVE, MK_LBUTTON, Point{250, 150});
    sendPointerMessage(*window, WM_LBUTTONUP, 0, Point{250, 150});
    EXPECT_EQ(selectedIndexes(), std::vector<int>{1});

    sendPointerMessage(*window, WM_LBUTTONDOWN, MK_LBUTTON, Point{250, 100});
    EXPECT_TRUE(list->isRubberBandActive());
    EXPECT_EQ(selectedIndexes(), std::vector<int>{});
    sendPointerMessage(*window, WM_MOUSEMOVE, MK_LBUTTON, Point{100, 50});
    EXPECT_EQ(selectedIndexes(), (std::vector<int>{1, 2, 4}));
    sendPointerMessage(*window, WM_LBUTTONUP, 0, Point{100, 50});
    EXPECT_FALSE(list->isRubberBandActive());
    EXPECT_EQ(selectedIndexes(), (std::vector<int>{1, 2, 4}));
}

TEST_F(ListViewTest, HoverFollowsThePointerAndLeavingClearsIt)
{
    addNumbered(5);
    list->setHoverSelect(true);
    sendPointerMessage(*window, WM_MOUSEMOVE, 0, Point{110, 15});
    EXPECT_EQ(list->currentIndex(), 0);
    sendPointerMessage(*window, WM_MOUSEMOVE, 0, Point{110, 55});
    EXPECT_EQ(list->currentIndex(), 2);
    EXPECT_EQ(selectedIndexes(), std::vector<int>{2});
    UIMouseEvent leave(MouseLeaveEventType, Point{-5, -5}, 0, MouseButtons(), NoModifier);
    list->event(&leave);
    EXPECT_EQ(list->currentIndex(), -1);
    EXPECT_FALSE(list->hasSelection());
}
