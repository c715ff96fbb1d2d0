#include "tests/support/RowTable.h"
#include "tests/widgets/PointerMessages.h"
#include "tests/widgets/TableTesting.h"

#include <cmath>
#include <limits>
#include <random>

namespace {

// Sorts again from sortAboutToStart; the second sort must do nothing.
class Resorter : public SignalReceiver {
public:
    explicit Resorter(UITable* table) : table(table) {}
    void onStart() { table->sortByColumn(0, UITable::Descending); }
    UITable* table;
};

// The comparison the table sorts by: hidden rows first, then the key,
// reversed for descending order; a NaN lies below every number.
int referenceCompare(const UITableRow* a, const UITableRow* b, int column, bool descending)
{
    if (!a->isVisible() || !b->isVisible())
        return a->isVisible() == b->isVisible() ? 0 : (a->isVisible() ? 1 : -1);
    int result = 0;
    if (column == 0) {
        result = compareStringsIgnoreCase(a->cell(0)->text().constData(), b->cell(0)->text().constData());
    } else {
        const double x = a->cell(1)->sortValue();
        const double y = b->cell(1)->sortValue();
        if (std::isnan(x) || std::isnan(y))
            result = std::isnan(x) == std::isnan(y) ? 0 : (std::isnan(x) ? -1 : 1);
        else
            result = x < y ? -1 : (x > y ? 1 : 0);
    }
    return descending ? -result : result;
}

// n passes from the tail toward the head, exchanging neighbours.
std::vector<UITableRow*> bubbleSorted(std::vector<UITableRow*> rows, int column, bool descending)
{
    const int n = int(rows.size());
    for (int p = 0; p < n; ++p) {
        for (int i = n - 2; i >= p; --i) {
            if (referenceCompare(rows[std::size_t(i)], rows[std::size_t(i + 1)], column, descending) > 0)
                std::swap(rows[std::size_t(i)], rows[std::size_t(i + 1)]);
        }
    }
    return rows;
}

const double notANumber = std::numeric_limits<double>::quiet_NaN();

} // namespace

// ---- Sorting ----

TEST_F(TableTest, SortPutsHiddenRowsFirstIgnoresCaseAndKeepsTheCurrentRow)
{
    struct Row {
        UITable::SortOrder order;
        std::vector<String> expected;
        int currentAfter;
    };
    const Row rows[] = {
        {UITable::Ascending, {L"hidden", L"A", L"b", L"c"}, 2},
        {UITable::Descending, {L"hidden", L"c", L"b", L"A"}, 2},
    };
    forEachRow(rows, [&](const Row& row) {
        table->clear();
        add(L"b");
        add(L"A");
        add(L"hidden", 0, true);
        add(L"c");
        table->setCurrentRow(0, false);
        current.values.clear();
        table->sortByColumn(0, row.order);
        EXPECT_EQ(texts(), row.expected);
        EXPECT_EQ(table->currentRow(), row.currentAfter);
        EXPECT_EQ(table->currentRowItem()->cell(0)->text(), L"b");
        EXPECT_EQ(current.values, std::vector<int>{row.currentAfter});
    });
}

TEST_F(TableTest, NanSortsBelowEveryNumber)
{
    struct Row {
        UITable::SortOrder order;
        std::vector<String> expected;
    };
    const Row rows[] = {
        {UITable::Ascending, {L"nan1", L"nan2", L"minusInf", L"one", L"three"}},
        {UITable::Descending, {L"three", L"one", L"minusInf", L"nan1", L"nan2"}},
    };
    forEachRow(rows, [&](const Row& row) {
        table->clear();
        add(L"three", 3);
        add(L"nan1", notANumber);
        add(L"minusInf", -std::numeric_limits<double>::infinity());
        add(L"one", 1);
        add(L"nan2", notANumber);
        table->sortByColumn(1, row.order);
        EXPECT_EQ(texts(), row.expected);
    });
}

TEST_F(TableTest, SortFromSortAboutToStartDoesNothing)
{
    add(L"b");
    add(L"c");
    add(L"a");
    Resorter resorter(table);
    table->sortAboutToStart.connect(&resorter, &Resorter::onStart);
    SignalRecorder finished;
    table->sortFinished.connect(&finished, &SignalRecorder::onSignal);
    table->sortByColumn(0, UITable::Ascending);
    EXPECT_EQ(texts(), (std::vector<String>{L"a", L"b", L"c"}));
    EXPECT_EQ(finished.count, 1);
}

TEST_F(TableTest, RefusedSortsChangeNothing)
{
    add(L"b");
    SignalRecorder started;
    table->sortAboutToStart.connect(&started, &SignalRecorder::onSignal);
    table->sortByColumn(0, UITable::Ascending);
    add(L"a");
    table->sortByColumn(0, UITable::Unsorted);
    table->header()->section(1)->setSortable(UIHeaderSection::NotSortable);
    table->sortByColumn(1, UITable::Ascending);
    table->setSortingEnabled(false);
    table->sortByColumn(0, UITable::Ascending);
    EXPECT_EQ(started.count, 0);
    EXPECT_EQ(texts(), (std::vector<String>{L"b", L"a"}));
}

TEST_F(TableTest, HeaderClicksCycleAscendingDescendingAscending)
{
    add(L"b");
    add(L"a");
    add(L"c");
    struct Row {
        int column;
        UITable::SortOrder expected;
    };
    // After an ascending sort a click on another column sorts it descending.
    const Row rows[] = {{0, UITable::Ascending}, {0, UITable::Descending}, {0, UITable::Ascending},
                        {1, UITable::Descending}};
    forEachRow(rows, [&](const Row& row) {
        const Point title{table->header()->section(row.column)->rect()->center().x, 10};
        sendPointerMessage(*window, WM_LBUTTONDOWN, MK_LBUTTON, title);
        sendPointerMessage(*window, WM_LBUTTONUP, 0, title);
        EXPECT_EQ(table->sortOrder(), row.expected);
        EXPECT_EQ(table->sortColumn(), row.column);
        EXPECT_EQ(table->header()->section(row.column)->sortOrder(), row.expected);
    });
}

TEST_F(TableTest, SortOfManyEqualKeysAndHiddenRowsEqualsTheBubbleSort)
{
    std::mt19937 random(18);
    const wchar_t* words[] = {L"apple", L"Apple", L"pear", L"PEAR", L"fig", L"", L"\u00e9clair", L"\u00c9CLAIR"};
    const double values[] = {1, 2, 2.5, -4, notANumber, 0};
    table->setUpdatesSuspended(true);
    for (int i = 0; i < 1000; ++i)
        add(words[random() % 8], values[random() % 6], random() % 10 == 0);
    table->setUpdatesSuspended(false);
    for (int column : {0, 1}) {
        for (UITable::SortOrder order : {UITable::Ascending, UITable::Descending}) {
            SCOPED_TRACE(testing::Message() << "column " << column << " order " << order);
            const std::vector<UITableRow*> expected = bubbleSorted(table->rows(), column, order == UITable::Descending);
            table->sortByColumn(column, order);
            EXPECT_EQ(table->rows(), expected);
        }
    }
}

// ---- Model ----

TEST_F(TableTest, SingleModeSelectRowEmitsOncePerChange)
{
    addNumbered(3);
    table->selectRow(table->row(1), UITable::SelectFlag);
    table->selectRow(table->row(2), UITable::SelectFlag);
    EXPECT_EQ(selectedIndexes(), std::vector<int>{2});
    EXPECT_EQ(selection.count, 2);
    table->selectRow(table->row(2), UITable::SelectFlag);
    table->selectAll();
    EXPECT_EQ(selection.count, 2);
    table->setSelectionMode(UITable::NoSelection);
    table->clearSelection(true, true);
    EXPECT_EQ(selection.count, 2);
    EXPECT_FALSE(table->hasSelection());
}

TEST_F(TableTest, RowHeightHasAMinimumAndScalesFontsToSevenTenths)
{
    struct Row {
        int height;
        bool scaleFonts;
        int storedHeight;
        int fontPixels; // 0: unchanged
    };
    const Row rows[] = {{2, false, 3, 0}, {20, true, 20, 13}, {21, true, 21, 14}, {30, true, 30, 20}};
    forEachRow(rows, [&](const Row& row) {
        table->clear();
        UIItemCell* cell = add(L"a")->cell(0);
        FontDesc expected = cell->font();
        if (row.fontPixels)
            expected.setPixelSize(row.fontPixels);
        table->setRowHeight(row.height, row.scaleFonts);
        EXPECT_EQ(table->rowHeight(), row.storedHeight);
        EXPECT_EQ(cell->font().size(), expected.size());
    });
}

TEST_F(TableTest, RemovingAnyRowClearsTheCurrentRow)
{
    addNumbered(4);
    table->setCurrentRow(0, false);
    table->removeRowAt(2);
    EXPECT_EQ(table->currentRow(), -1);
    EXPECT_EQ(table->currentRowItem(), nullptr);
    EXPECT_EQ(current.values, (std::vector<int>{0, -1}));
}

// insertRow before the current row and takeRow of a hidden or earlier row
// used to leave the current index naming another row, and a taken hidden
// row stayed counted and owned.
TEST_F(TableTest, InsertAndTakeKeepIndexPointerOwnerAndCounts)
{
    struct Row {
        bool take;
        int index;
        int currentAfter; // the current row, the original row 3, or -1
        std::vector<int> emitted;
        int hiddenAfter;
    };
    const Row rows[] = {
        {false, 1, 4, {4}, 1}, {false, 3, 4, {4}, 1}, {false, 4, 3, {}, 1}, {true, 1, 2, {}, 0},
        {true, 0, 2, {}, 1},   {true, 4, 3, {}, 1},   {true, 3, -1, {-1}, 1},
    };
    forEachRow(rows, [&](const Row& row) {
        table->clear();
        addNumbered(5);
        table->row(1)->hide();
        table->setCurrentRow(3, false);
        UITableRow* currentRow = table->row(3);
        current.values.clear();
        UITableRow* taken = nullptr;
        if (row.take)
            taken = table->takeRow(row.index);
        else
            table->insertRow(row.index, new UITableRow);
        EXPECT_EQ(table->currentRow(), row.currentAfter);
        EXPECT_EQ(table->currentRowItem(), row.currentAfter < 0 ? nullptr : currentRow);
        EXPECT_EQ(current.values, row.emitted);
        EXPECT_EQ(table->rowCount() - table->visibleRowCount(), row.hiddenAfter);
        if (!taken)
            return;
        EXPECT_EQ(taken->owner(), nullptr);
        EXPECT_EQ(table->indexOfRow(taken), -1);
        // A row that left must not reach the table any more.
        taken->setVisible(!taken->isVisible());
        delete taken;
        EXPECT_EQ(table->rowCount() - table->visibleRowCount(), row.hiddenAfter);
    });
}

TEST_F(TableTest, SwapRowsRejectsBadIndicesAndCarriesTheCurrentRow)
{
    addNumbered(3);
    table->setCurrentRow(0, false);
    struct Row {
        int i;
        int j;
        bool swapped;
        int currentAfter;
    };
    const Row rows[] = {{-1, 1, false, 0}, {0, 0, false, 0}, {1, 3, false, 0}, {0, 2, true, 2}, {1, 2, true, 1}};
    forEachRow(rows, [&](const Row& row) {
        EXPECT_EQ(table->swapRows(row.i, row.j), row.swapped);
        EXPECT_EQ(table->currentRow(), row.currentAfter);
        EXPECT_EQ(table->currentRowItem()->cell(0)->text(), L"row 0");
    });
}

// Setting every row without the counting setter used to leave the hidden
// count wrong, and a hidden current row stayed current.
TEST_F(TableTest, AllRowsVisibleCountsOnceAndDropsAHiddenCurrentRow)
{
    addNumbered(4);
    table->setCurrentRow(2, false);
    SignalRecorder visible;
    table->visibleRowCountChanged.connect(&visible, &SignalRecorder::onValue);
    table->setAllRowsVisible(false);
    EXPECT_EQ(visible.values, std::vector<int>{0});
    EXPECT_EQ(table->currentRow(), -1);
    EXPECT_EQ(current.values, (std::vector<int>{2, -1}));
    table->setAllRowsVisible(true);
    EXPECT_EQ(visible.values, (std::vector<int>{0, 4}));
    EXPECT_EQ(table->visibleRowCount(), 4);
}

TEST_F(TableTest, ClearEmitsSelectionOnlyWhenSomethingWasSelected)
{
    addNumbered(3);
    table->clear();
    EXPECT_EQ(selection.count, 0);
    addNumbered(3);
    table->sortByColumn(0, UITable::Ascending);
    table->selectRowAt(1, UITable::SelectFlag);
    table->clear();
    EXPECT_EQ(selection.count, 2);
    EXPECT_EQ(table->sortOrder(), UITable::Unsorted);
    EXPECT_EQ(table->header()->section(0)->sortOrder(), UIHeaderSection::Unsorted);
}

// ---- Painting ----

TEST_F(TableTest, ParityCountsVisibleRowsFromOne)
{
    for (const wchar_t* text : {L"1", L"2", L"3", L"4"})
        add(text);
    table->row(1)->hide();
    table->drawn.clear();
    table->repaint();
    std::vector<std::pair<String, bool>> names;
    for (const ModelTable::DrawnCell& d : table->drawn) {
        if (d.text != L"0.0")
            names.push_back({d.text, d.odd});
    }
    const std::vector<std::pair<String, bool>> expected = {{L"1", true}, {L"3", false}, {L"4", true}};
    EXPECT_EQ(names, expected);
    // Row 2's place is taken by row 3, painted in the other colour.
    const Bitmap pixels = table->backBuffer()->toBitmap(false);
    EXPECT_EQ(pixels.pixel(250, rowPoint(0).y), pixels.pixel(250, rowPoint(2).y));
    EXPECT_NE(pixels.pixel(250, rowPoint(0).y), pixels.pixel(250, rowPoint(1).y));
}

TEST_F(TableTest, TranslucentRowBackgroundIsUsedTranslucentCellBackgroundIsNot)
{
    for (int i = 0; i < 5; ++i)
        add(String());
    const Colour red(128, 255, 0, 0);
    const Colour blue(0, 0, 255);
    table->row(0)->setBackground(Brush(red));
    table->row(2)->cell(0)->setBackground(Brush(Colour(128, 0, 255, 0)));
    table->row(4)->cell(0)->setBackground(Brush(blue));
    table->repaint();
    const Bitmap pixels = table->backBuffer()->toBitmap(false);
    EXPECT_NE(pixels.pixel(250, rowPoint(0).y), pixels.pixel(250, rowPoint(2).y));
    EXPECT_EQ(pixels.pixel(60, rowPoint(2).y), pixels.pixel(250, rowPoint(2).y));
    EXPECT_EQ(pixels.pixel(60, rowPoint(4).y), blue);
}

TEST_F(TableTest, ToolTipShowsTheTextOfAShortenedCell)
{
    add(L"short");
    add(L"a text far too long to fit in one hundred and twenty pixels");
    table->row(0)->cell(1)->setToolTip(L"own tip");
    table->repaint();
    struct Row {
        Point p;
        String tip;
    };
    const Row rows[] = {{rowPoint(0), L""},
                        {rowPoint(1), L"a text far too long to fit in one hundred and twenty pixels"},
                        {rowPoint(0, 150), L"own tip"},
                        {rowPoint(5), L""}};
    forEachRow(rows, [&](const Row& row) { EXPECT_EQ(table->toolTip(row.p), row.tip); });
}

// Painting skipped a hidden column's cells but left their old rectangles:
// the hit test and the tool tip over the next column answered for it.
TEST_F(TableTest, AHiddenColumnAnswersForNoPoint)
{
    add(L"a name far too long to fit in one hundred and twenty pixels", 7);
    table->repaint();
    table->header()->hideSection(0);
    table->repaint();
    // The Size column now starts at 0 and is 80 pixels wide.
    const UIItemCell* size = table->row(0)->cell(1);
    EXPECT_EQ(table->cellAt(rowPoint(0, 60)), size);
    EXPECT_EQ(table->toolTip(rowPoint(0, 60)), String());
    EXPECT_EQ(table->cellAt(rowPoint(0, 100)), nullptr);
    EXPECT_EQ(table->toolTip(rowPoint(0, 100)), String());
    table->header()->showSection(0);
    table->repaint();
    EXPECT_EQ(table->cellAt(rowPoint(0, 100)), table->row(0)->cell(0));
}

// swapRows stored the current row's new index itself, so the move was
// never reported.
TEST_F(TableTest, MovingTheCurrentRowReportsItsNewIndex)
{
    addNumbered(4);
    table->setCurrentRow(1, false);
    current.values.clear();
    table->moveCurrentRowDown();
    table->moveCurrentRowDown();
    table->moveCurrentRowUp();
    table->swapRows(0, 3);
    EXPECT_EQ(current.values, (std::vector<int>{2, 3, 2}));
    EXPECT_EQ(table->currentRowItem()->cell(0)->text(), String(L"row 1"));
}

// The paint draws only the rows on screen and works out the other rows'
// places when asked: every hit test, flag and height must equal what a
// paint walking every row gives, whatever happened since that paint.
TEST_F(TableTest, PaintingOnlyTheScreenMatchesAWalkOverEveryRow)
{
    std::mt19937 random(500);
    table->setUpdatesSuspended(true);
    for (int i = 0; i < 500; ++i)
        add(String(L"r") + String::number(int(random() % 50)), double(random() % 7), random() % 8 == 0);
    table->setUpdatesSuspended(false);
    const auto randomIndex = [&] { return int(random() % unsigned(table->rowCount())); };
    for (int step = 0; step < 400; ++step) {
        SCOPED_TRACE(testing::Message() << "step " << step);
        switch (random() % 9) {
        case 0:
        case 1:
            view->setVerticalValue(int(random() % 12000));
            break;
        case 2: {
            // No repaint: the rectangles stay those of the last paint.
            UITableRow* r = table->row(randomIndex());
            if (r->isVisible())
                table->rowHidden(r);
            r->setVisible(!r->isVisible());
            break;
        }
        case 3: {
            const int i = randomIndex();
            if (table->row(i)->isVisible())
                table->rowHidden(table->row(i));
            table->setRowVisible(i, !table->row(i)->isVisible());
            break;
        }
        case 4:
            table->sortByColumn(int(random() % 2), random() % 2 ? UITable::Ascending : UITable::Descending);
            break;
        case 5: {
            UITableRow* taken = table->takeRow(randomIndex());
            table->insertRow(randomIndex(), taken);
            break;
        }
        case 6:
            table->removeRowAt(randomIndex());
            add(L"new", 3, random() % 2 == 0);
            break;
        case 7:
            table->swapRows(randomIndex(), randomIndex());
            break;
        default:
            table->repaint();
            break;
        }
        for (int i = 0; i < table->rowCount(); ++i) {
            const UITableRow* r = table->row(i);
            EXPECT_EQ(r->isOnScreen(), table->walkedOnScreen[r]) << "row " << i;
            EXPECT_EQ(table->rowHeightAt(i), r->isVisible() ? table->walkedRect[r].height : 0) << "row " << i;
        }
        for (int y = -70; y < table->height() + 70; y += 7) {
            int index = -2;
            table->rowAt(Point{10, y}, &index);
            EXPECT_EQ(index, table->walkedRowAt(Point{10, y})) << "y " << y;
        }
    }
}
