#include "tests/support/RowTable.h"
#include "tests/widgets/ListTesting.h"
#include "tests/widgets/PointerMessages.h"

#include <random>

namespace {

// A key pressed in a view mode with wrapping on or off, from a start item
// (-1: none), and the item it makes current.
struct KeyMove {
    UIList::ViewMode mode;
    bool wrap;
    int start;
    int key;
    int current;
};

constexpr auto icon = UIList::IconMode;
constexpr auto rowMode = UIList::ListMode;

class ListModelTest : public ListTest {
protected:
    void startMove(const KeyMove& move)
    {
        list->setViewMode(move.mode);
        list->setWrapAround(move.wrap);
        list->repaint();
        list->setCurrentItemAndSelect(move.start);
    }
    void key(int code, KeyboardModifiers modifiers = NoModifier)
    {
        UIKeyEvent e(KeyPressEventType, code, modifiers, String());
        list->event(&e);
    }
    void press(Point p, KeyboardModifiers modifiers = NoModifier, int button = LeftButton)
    {
        UIMouseEvent down(MousePressEventType, p, button, MouseButtons(std::uint32_t(button)), modifiers);
        list->event(&down);
        UIMouseEvent up(MouseReleaseEventType, p, button, MouseButtons(), modifiers);
        list->event(&up);
    }
    // The middle of item i's row while list mode is not scrolled.
    static Point rowPoint(int i) { return {150, i * 20 + 10}; }
    // Icon mode with 60 x 60 items in three columns.
    void useIcons(int count)
    {
        list->setViewMode(UIList::IconMode);
        list->setItemSize({60, 60});
        list->setMaximumColumns(3);
        addNumbered(count);
    }
};

} // namespace

TEST_F(ListModelTest, IconColumnsFollowWidthItemMarginsAndLimit)
{
    UIList plain(window.get());
    plain.setGeometry(0, 0, 300, 100);
    plain.setStyleProperty(L"iconModeItemSize", L"80,80");
    plain.setStyleProperty(L"iconModeItemMargin", L"10,10,10,10");
    for (int i = 0; i < 7; ++i)
        plain.addItem(L"x");
    plain.item(6)->setVisible(false);
    struct Row {
        UIList::ViewMode mode;
        int maximum;
        int columns;
        int rows;
        int visibleRows;
    };
    const Row rows[] = {{UIList::IconMode, 0, 3, 3, 2},
                        {UIList::IconMode, 2, 2, 4, 3},
                        {UIList::IconMode, 5, 3, 3, 2},
                        {UIList::ListMode, 2, 1, 7, 6}};
    forEachRow(rows, [&](const Row& row) {
        plain.setViewMode(row.mode);
        plain.setMaximumColumns(row.maximum);
        EXPECT_EQ(plain.columnCount(), row.columns);
        EXPECT_EQ(plain.rowCount(), row.rows);
        EXPECT_EQ(plain.visibleRowCount(), row.visibleRows);
    });
    plain.clear();
    EXPECT_EQ(plain.columnCount(), 1);
    EXPECT_EQ(plain.rowCount(), 1);
}

TEST_F(ListModelTest, ParityCountsHiddenItems)
{
    list->setStyleProperty(L"defaultItemBackground", L"255,0,0");
    list->setStyleProperty(L"alternateItemBackground", L"0,0,255");
    addNumbered(3);
    list->item(1)->setVisible(false);
    list->repaint();
    const Bitmap pixels = list->backBuffer()->toBitmap(false);
    // Items 0 and 2 lie in the first two rows, both even.
    EXPECT_EQ(pixels.pixel(150, 10), Colour(255, 0, 0));
    EXPECT_EQ(pixels.pixel(150, 30), Colour(255, 0, 0));
}

TEST_F(ListModelTest, IconsNeverGrowAndShrinkKeepingTheirShape)
{
    // An icon area of 64 x 48: 78 wide less 7 on each side, 60 high less
    // 4 at the top and 8 under it (padding 4 and spacing 4, no texts).
    list->setStyleProperty(L"iconModeItemPadding", L"4,4,4,4");
    list->setStyleProperty(L"spacingBetweenIconAndText", L"4");
    list->setStyleProperty(L"spacingBetweenTextAndDetailedText", L"0");
    list->setViewMode(UIList::IconMode);
    list->setItemSize({78, 60});
    struct Row {
        Size image;
        Size drawn;
    };
    const Row rows[] = {{{16, 16}, {16, 16}}, {{128, 64}, {64, 32}}, {{48, 96}, {24, 48}}};
    forEachRow(rows, [&](const Row& row) {
        list->clear();
        list->addItem(String(), String(), Bitmap(row.image.width, row.image.height, true));
        list->repaint();
        EXPECT_EQ(list->item(0)->iconRect()->size(), row.drawn);
    });
}

TEST_F(ListModelTest, KeysMoveAndWrapInBothModes)
{
    // Eight items; in icon mode three columns: rows 0-2, 3-5, 6-7.
    const KeyMove rows[] = {
        {icon, false, 1, 40, 4},  {icon, false, 2, 40, 5},  {icon, false, 6, 40, 6},  {icon, false, 7, 40, 7},
        {icon, true, 7, 40, 0},   {icon, false, 4, 38, 1},  {icon, false, 2, 38, 2},  {icon, false, 0, 38, 0},
        {icon, true, 0, 38, 7},   {icon, true, -1, 38, 7},  {icon, false, 3, 37, 2},  {icon, true, 0, 37, 7},
        {icon, false, 0, 37, 0},  {icon, true, 7, 39, 0},   {icon, false, 7, 39, 7},  {icon, false, -1, 39, 0},
        {icon, false, 5, 36, 0},  {icon, false, 2, 35, 7},  {icon, false, 1, 98, 4},  {icon, false, 4, 104, 1},
        {rowMode, false, 2, 40, 3}, {rowMode, false, 7, 40, 7}, {rowMode, true, 7, 40, 0}, {rowMode, false, 5, 38, 4},
        {rowMode, true, 0, 38, 7},  {rowMode, false, 0, 38, 0}, {rowMode, true, 0, 37, 7}, {rowMode, false, 3, 102, 4},
    };
    useIcons(8);
    forEachRow(rows, [&](const KeyMove& row) {
        startMove(row);
        key(row.key);
        EXPECT_EQ(list->currentIndex(), row.current);
        if (row.current != row.start) {
            EXPECT_EQ(selectedIndexes(), std::vector<int>{row.current});
        }
    });
}

// A hidden, disabled or separator item used to leave no current item, and
// the next key started again at the first: the keys step over such items
// in their own direction and stay put at the ends.
TEST_F(ListModelTest, RealKeysStepOverItemsThatCannotBeCurrent)
{
    struct Spoil {
        const char* kind;
        void (*spoil)(UIListItem*);
    };
    const Spoil spoils[] = {{"separator", [](UIListItem* i) { i->setSeparator(true); }},
                            {"disabled", [](UIListItem* i) { i->setEnabled(false); }},
                            {"hidden", [](UIListItem* i) { i->setVisible(false); }}};
    // Eight items of which 0, 2, 4 and 7 cannot be current; in icon mode
    // three columns: 0-2, 3-5, 6-7.
    const KeyMove moves[] = {
        {rowMode, false, 1, VK_DOWN, 3},  {rowMode, false, 3, VK_UP, 1},   {rowMode, false, 1, VK_UP, 1},
        {rowMode, false, 6, VK_DOWN, 6},  {rowMode, false, 6, VK_HOME, 1}, {rowMode, false, 1, VK_END, 6},
        {rowMode, false, -1, VK_DOWN, 1}, {rowMode, true, 6, VK_DOWN, 1},  {rowMode, true, 1, VK_UP, 6},
        {rowMode, false, 5, VK_RIGHT, 6}, {rowMode, false, 5, VK_LEFT, 3}, {icon, false, 1, VK_DOWN, 5},
        {icon, false, 5, VK_UP, 1},       {icon, false, 6, VK_UP, 3},      {icon, false, 6, VK_DOWN, 6},
        {icon, true, 6, VK_DOWN, 1},      {icon, false, 3, VK_LEFT, 1},
    };
    list->setViewMode(UIList::IconMode);
    list->setItemSize({60, 60});
    list->setMaximumColumns(3);
    ASSERT_TRUE(focusForKeys(*window, *list));
    for (const Spoil& spoil : spoils) {
        SCOPED_TRACE(spoil.kind);
        list->clear();
        addNumbered(8);
        for (int i : {0, 2, 4, 7})
            spoil.spoil(list->item(i));
        forEachRow(moves, [&](const KeyMove& move) {
            startMove(move);
            current.values.clear();
            sendKeyStroke(*window, move.key);
            EXPECT_EQ(list->currentIndex(), move.current);
            EXPECT_EQ(current.values.size(), move.current == move.start ? 0u : 1u);
        });
    }
}

// Page keys land on the item at the view's edge: one that cannot be
// current used to leave none.
TEST_F(ListModelTest, PageKeysStepOverItemsThatCannotBeCurrent)
{
    addNumbered(40);
    for (int i = 1; i < 39; ++i)
        list->item(i)->setEnabled(false);
    ASSERT_TRUE(focusForKeys(*window, *list));
    list->setCurrentItemAndSelect(0);
    sendKeyStroke(*window, VK_NEXT);
    EXPECT_EQ(list->currentIndex(), 39);
    EXPECT_EQ(selectedIndexes(), std::vector<int>{39});
    view->setVerticalValue(view->verticalScrollBar()->maximum());
    sendKeyStroke(*window, VK_PRIOR);
    EXPECT_EQ(list->currentIndex(), 0);
    EXPECT_EQ(selectedIndexes(), std::vector<int>{0});

    // Nothing at or beyond the page's edge can be current: the key lands on
    // the nearest item before the edge, both ways.
    for (const bool down : {true, false}) {
        SCOPED_TRACE(down ? "Page Down" : "Page Up");
        for (int i = 0; i < 40; ++i)
            list->item(i)->setEnabled(down ? i < 5 : i > 34);
        view->setVerticalValue(down ? 0 : view->verticalScrollBar()->maximum());
        list->setCurrentItemAndSelect(down ? 0 : 39);
        sendKeyStroke(*window, down ? VK_NEXT : VK_PRIOR);
        EXPECT_EQ(list->currentIndex(), down ? 4 : 35);
    }
}

TEST_F(ListModelTest, PressesSelectByModeAndModifiers)
{
    struct Row {
        UIList::SelectionMode mode;
        std::vector<int> before;
        int current;
        int pressed;
        KeyboardModifiers modifiers;
        int button;
        std::vector<int> after;
    };
    constexpr auto single = UIList::SingleSelection;
    constexpr auto multi = UIList::MultiSelection;
    const Row rows[] = {
        {single, {1}, 1, 3, NoModifier, LeftButton, {3}},
        {UIList::NoSelection, {}, 1, 3, NoModifier, LeftButton, {}},
        {multi, {0}, 1, 4, ShiftModifier, LeftButton, {1, 2, 3, 4}},
        {multi, {0}, 4, 2, ShiftModifier, LeftButton, {2, 3, 4}},
        {multi, {0, 2}, 2, 2, ShiftModifier, LeftButton, {2}},
        {multi, {0, 2}, 2, 3, ControlModifier, LeftButton, {0, 2, 3}},
        {multi, {0, 2}, 2, 2, ControlModifier, LeftButton, {0}},
        {multi, {0, 2}, 2, 2, NoModifier, RightButton, {0, 2}},
        {multi, {0, 2}, 2, 2, NoModifier, LeftButton, {2}},
        {multi, {2}, 2, 2, NoModifier, LeftButton, {2}},
        {multi, {0, 2}, 2, 4, NoModifier, LeftButton, {4}},
    };
    addNumbered(6);
    forEachRow(rows, [&](const Row& row) {
        list->setSelectionMode(UIList::MultiSelection);
        list->clearSelection();
        for (int i : row.before)
            list->selectItemAt(i, UIList::SelectFlag);
        list->setCurrentItem(row.current, false);
        list->setSelectionMode(row.mode);
        press(rowPoint(row.pressed), row.modifiers, row.button);
        EXPECT_EQ(selectedIndexes(), row.after);
        EXPECT_FALSE(list->isRubberBandActive());
    });
}

TEST_F(ListModelTest, TakingRederivesTheCurrentIndexAndFreesTheItem)
{
    struct Row {
        int count;
        int current;
        int taken;
        int after;
        std::vector<int> emitted;
    };
    const Row rows[] = {{5, 3, 1, 2, {2}},   // the same item, one place up
                        {5, 3, 3, -1, {-1}}, // items follow: none (fix)
                        {5, 4, 4, 3, {3}},   // the last: the new last
                        {5, 1, 3, 1, {}},    // after it: unchanged
                        {1, 0, 0, -1, {-1}}};
    forEachRow(rows, [&](const Row& row) {
        list->clear();
        addNumbered(row.count);
        list->setCurrentItem(row.current, false);
        UIListItem* expected = row.after < 0 ? nullptr : list->item(row.current != row.taken ? row.current : row.after);
        current.values.clear();
        std::unique_ptr<UIListItem> taken(list->takeItem(row.taken));
        EXPECT_EQ(list->currentIndex(), row.after);
        EXPECT_EQ(current.values, row.emitted);
        EXPECT_EQ(list->currentItem(), expected);
        // Its owner was cleared: hiding it no longer reaches the list (fix).
        EXPECT_EQ(taken->owner(), nullptr);
        const int visible = list->visibleItemCount();
        taken->setVisible(false);
        EXPECT_EQ(list->visibleItemCount(), visible);
    });
}

TEST_F(ListModelTest, InsertingBeforeTheCurrentItemKeepsIt)
{
    struct Row {
        int current;
        int at;
        int after;
        std::vector<int> emitted;
    };
    const Row rows[] = {{2, 1, 3, {3}}, {2, 2, 3, {3}}, {2, 3, 2, {}}, {-1, 0, -1, {}}};
    forEachRow(rows, [&](const Row& row) {
        list->clear();
        addNumbered(5);
        list->setCurrentItem(row.current, false);
        UIListItem* was = list->currentItem();
        current.values.clear();
        list->insertItem(row.at, L"new");
        EXPECT_EQ(list->currentIndex(), row.after);
        EXPECT_EQ(list->currentItem(), was);
        EXPECT_EQ(current.values, row.emitted);
    });
}

TEST_F(ListModelTest, TipsShowOwnTextOrACutLabelInListModeOnly)
{
    addNumbered(2);
    list->addItem(L"a label far too long to fit in the three hundred pixels of this narrow list view");
    list->item(1)->setToolTip(L"own tip");
    list->repaint();
    struct Row {
        UIList::ViewMode mode;
        Point p;
        String tip;
    };
    const Row rows[] = {{UIList::ListMode, rowPoint(0), L""},
                        {UIList::ListMode, rowPoint(1), L"own tip"},
                        {UIList::ListMode, rowPoint(2), list->item(2)->label()},
                        {UIList::ListMode, rowPoint(6), L""},
                        {UIList::IconMode, {50, 50}, L""}};
    forEachRow(rows, [&](const Row& row) {
        list->setViewMode(row.mode);
        list->repaint();
        EXPECT_EQ(list->toolTip(row.p), row.tip);
    });
}

// The paint draws only the items on screen and works out the other items'
// places when asked: every rectangle, flag and hit test must equal what a
// paint walking every item gives, whatever happened since that paint.
TEST_F(ListModelTest, PaintingOnlyTheScreenMatchesAWalkOverEveryItem)
{
    std::mt19937 random(115);
    for (int i = 0; i < 300; ++i) {
        UIListItem* item = list->addItem(String(L"i") + String::number(i));
        if (random() % 8 == 0) {
            list->itemHidden(item);
            item->setVisible(false);
        }
    }
    const auto randomIndex = [&] { return int(random() % unsigned(list->count())); };
    for (int step = 0; step < 400; ++step) {
        SCOPED_TRACE(testing::Message() << "step " << step);
        switch (random() % 9) {
        case 0:
        case 1:
            view->setVerticalValue(int(random() % 6000));
            break;
        case 2: {
            // No repaint: the rectangles stay those of the last paint.
            UIListItem* item = list->item(randomIndex());
            if (item->isVisible())
                list->itemHidden(item);
            item->setVisible(!item->isVisible());
            break;
        }
        case 3: {
            UIListItem* taken = list->takeItem(randomIndex());
            list->insertItem(randomIndex(), taken);
            break;
        }
        case 4:
            list->removeItemAt(randomIndex());
            list->addItem(L"new");
            break;
        case 5:
            list->setViewMode(list->viewMode() == UIList::IconMode ? UIList::ListMode : UIList::IconMode);
            break;
        case 6:
            list->setItemSize({40 + int(random() % 60), 20 + int(random() % 60)});
            break;
        case 7:
            view->setHorizontalValue(int(random() % 100));
            break;
        default:
            list->repaint();
            break;
        }
        for (int i = 0; i < list->count(); ++i) {
            const UIListItem* item = list->item(i);
            EXPECT_EQ(list->isItemOnScreen(i), item->isVisible() && list->walkedOnScreen[item]) << "item " << i;
            EXPECT_EQ(list->itemRect(i), list->walkedRect[item]) << "item " << i;
        }
        for (int y = -50; y < list->height() + 50; y += 9) {
            for (int x = -10; x < list->width() + 10; x += 23) {
                const Point p{x, y};
                EXPECT_EQ(list->indexAt(p), list->walkedIndexAt(p)) << "at " << x << ", " << y;
            }
        }
    }
}

TEST_F(ListModelTest, AnEmptyListShowsItsBlankTextUntilAnItemComes)
{
    list->setStyleProperty(L"blankForeground", L"255,0,0");
    list->setBlankText(L"Nothing here");
    const auto redPixels = [&] {
        const Bitmap pixels = list->backBuffer()->toBitmap(false);
        int red = 0;
        for (int y = 0; y < list->height(); ++y) {
            for (int x = 0; x < list->width(); ++x)
                red += pixels.pixel(x, y) == Colour(255, 0, 0);
        }
        return red;
    };
    EXPECT_GT(redPixels(), 0);
    list->addItem(L"one");
    EXPECT_EQ(redPixels(), 0);
    list->setBlankTextVisible(false);
    list->clear();
    EXPECT_EQ(redPixels(), 0);
}
