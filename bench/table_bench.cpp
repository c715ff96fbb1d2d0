// The items table at 1,000, 10,000 and 100,000 rows (text, number, image;
// 1% hidden) in a shown 1000 x 700 view: filling with updates suspended,
// sorting by text and by number both ways, a full repaint, a wheel step
// with its repaint, a hit test, bringing the last row into sight, select
// all and clear. Sorting should grow as n log n, painting and hit tests not
// at all. Last, the table's sort against a plain bubble sort of 5,000 rows
// with the same comparison: the orders must be identical.

#include "BenchTiming.h"
#include "BenchWindow.h"

#include "foundation/Application.h"
#include "ui/UIManager.h"
#include "ui/UINativeWindow.h"
#include "ui/widgets/UIHeader.h"
#include "ui/widgets/UITable.h"
#include "ui/widgets/UITableView.h"

#include <windows.h>

#include <cmath>
#include <cstdio>
#include <map>
#include <random>
#include <string>
#include <vector>

namespace {

using bench::Clock;
using bench::millisecondsSince;

const int sizes[] = {1000, 10000, 100000};

struct Figures {
    double fill = 0;
    double sortTextUp = 0;
    double sortTextDown = 0;
    double sortNumberUp = 0;
    double sortNumberDown = 0;
    double repaint = 0;
    double wheel = 0;
    double hitTest = 0;
    double ensureLast = 0;
    double selectAll = 0;
    double clearSelection = 0;
};

// Few distinct words, so many keys are equal and stability matters.
UITableRow* makeRow(std::mt19937& random, const Bitmap& icon)
{
    auto* row = new UITableRow;
    row->addTextCell(String(L"item ") + String::number(int(random() % 5000)));
    UIItemCell* number = row->addTextCell(String());
    const double value = double(random() % 100000) / 10.0;
    number->setText(String::number(value, 1));
    number->setSortValue(value);
    row->addImageCell(icon);
    if (random() % 100 == 0)
        row->hide();
    return row;
}

UITableView* makeView(UIWidget* window)
{
    auto* view = new UITableView(window);
    view->setGeometry(0, 0, 1000, 700);
    view->show();
    UITable* table = view->table();
    table->header()->addSection(L"Name", 400, true)->setSortable(UIHeaderSection::ByText);
    table->header()->addSection(L"Size", 200, true)->setSortable(UIHeaderSection::ByNumber);
    table->header()->addSection(L"Icon", 60, true)->setSortable(UIHeaderSection::ByNumber);
    table->setSortingEnabled(true);
    table->setSelectionMode(UITable::MultiSelection);
    return view;
}

template <typename Work>
double timeEach(int times, Work work)
{
    const auto start = Clock::now();
    for (int i = 0; i < times; ++i)
        work(i);
    return millisecondsSince(start) / times;
}

Figures measure(UIWidget* window, int size)
{
    Figures f;
    UITableView* view = makeView(window);
    UITable* table = view->table();
    std::mt19937 random(size);
    Bitmap icon(16, 16, true);
    icon.fill(Colour(79, 145, 214));
    auto start = Clock::now();
    table->setUpdatesSuspended(true);
    for (int i = 0; i < size; ++i)
        table->addRow(makeRow(random, icon));
    table->setUpdatesSuspended(false);
    f.fill = millisecondsSince(start);

    const auto sortOnce = [&](int column, UITable::SortOrder order) {
        return timeEach(1, [&](int) { table->sortByColumn(column, order); });
    };
    f.sortTextUp = sortOnce(0, UITable::Ascending);
    f.sortTextDown = sortOnce(0, UITable::Descending);
    f.sortNumberUp = sortOnce(1, UITable::Ascending);
    f.sortNumberDown = sortOnce(1, UITable::Descending);

    view->setVerticalValue(view->verticalScrollBar()->maximum() / 2);
    f.repaint = timeEach(50, [&](int) { table->repaint(); });
    f.wheel = timeEach(50, [&](int i) {
        const int direction = i % 2 ? WheelUp : WheelDown;
        UIWheelEvent e(1, Point{100, 100}, direction == WheelDown ? -120 : 120, NoModifier, direction);
        table->event(&e);
    });
    // The first hit test after the sort rebuilds the row index once.
    int found = table->rowAt(Point{50, 30}) != nullptr;
    f.hitTest = 1000 * timeEach(10000, [&](int i) { found += table->rowAt(Point{50, 30 + i % 600}) != nullptr; });
    f.ensureLast = timeEach(20, [&](int) {
        view->scrollToTop();
        table->ensureRowVisible(table->rowCount() - 1);
    });
    f.selectAll = timeEach(10, [&](int) {
        table->clearSelection(false, false);
        table->selectAll();
    });
    f.clearSelection = timeEach(10, [&](int) {
        table->selectAll();
        table->clearSelection(true, true);
    });
    if (found == 0)
        printf("  (no row was hit)\n");
    delete view;
    return f;
}

void printFigure(const char* what, const std::map<int, Figures>& all, double Figures::*field)
{
    const double small = all.at(1000).*field;
    const double middle = all.at(10000).*field;
    const double large = all.at(100000).*field;
    printf("%-30s %10.3f %10.3f %10.3f ms   100k/1k %7.1f   100k/10k %6.1f\n", what, small, middle, large,
           large / (small > 0 ? small : 0.001), large / (middle > 0 ? middle : 0.001));
}

// ---- The plain bubble sort the table's sort replaces ----

int compareRows(const UITableRow* a, const UITableRow* b, int column, bool byText, bool descending)
{
    if (!a->isVisible() || !b->isVisible())
        return a->isVisible() == b->isVisible() ? 0 : (!a->isVisible() ? -1 : 1);
    int result = 0;
    if (byText) {
        result = compareStringsIgnoreCase(a->cell(column)->text().constData(), b->cell(column)->text().constData());
    } else {
        const double x = a->cell(column)->sortValue();
        const double y = b->cell(column)->sortValue();
        result = x < y ? -1 : (x > y ? 1 : 0);
    }
    return descending ? -result : result;
}

// n passes, each from the last pair toward the head over n - 1 - p pairs.
void bubbleSort(std::vector<UITableRow*>& rows, int column, bool byText, bool descending)
{
    const int n = int(rows.size());
    for (int p = 0; p < n; ++p) {
        for (int i = n - 2; i >= p; --i) {
            if (compareRows(rows[std::size_t(i)], rows[std::size_t(i + 1)], column, byText, descending) > 0)
                std::swap(rows[std::size_t(i)], rows[std::size_t(i + 1)]);
        }
    }
}

void compareWithBubbleSort(UIWidget* window)
{
    constexpr int size = 5000;
    UITableView* view = makeView(window);
    UITable* table = view->table();
    std::mt19937 random(7);
    Bitmap icon(16, 16, true);
    table->setUpdatesSuspended(true);
    for (int i = 0; i < size; ++i)
        table->addRow(makeRow(random, icon));
    table->setUpdatesSuspended(false);
    struct Case {
        const char* what;
        int column;
        UITable::SortOrder order;
    };
    const Case cases[] = {{"by text, ascending", 0, UITable::Ascending},
                          {"by text, descending", 0, UITable::Descending},
                          {"by number, ascending", 1, UITable::Ascending},
                          {"by number, descending", 1, UITable::Descending}};
    for (const Case& c : cases) {
        std::vector<UITableRow*> expected = table->rows();
        auto start = Clock::now();
        bubbleSort(expected, c.column, c.column == 0, c.order == UITable::Descending);
        const double slow = millisecondsSince(start);
        start = Clock::now();
        table->sortByColumn(c.column, c.order);
        const double fast = millisecondsSince(start);
        bench::printComparison((std::string("sort 5,000 rows ") + c.what).c_str(), size, 1, fast, slow,
                               table->rows() == expected);
    }
    delete view;
}

} // namespace

int main()
{
    Application application(L"KestrolaTableBench", L"1.0");
    UIWidget* window = bench::openBenchWindow(application, 1000, 700);
    if (!window)
        return 1;

    std::map<int, Figures> all;
    for (int size : sizes)
        all[size] = measure(window, size);
    printf("%-30s %10s %10s %10s\n", "table of rows", "1,000", "10,000", "100,000");
    printFigure("fill (updates suspended)", all, &Figures::fill);
    printFigure("sort by text, ascending", all, &Figures::sortTextUp);
    printFigure("sort by text, descending", all, &Figures::sortTextDown);
    printFigure("sort by number, ascending", all, &Figures::sortNumberUp);
    printFigure("sort by number, descending", all, &Figures::sortNumberDown);
    printFigure("full repaint", all, &Figures::repaint);
    printFigure("wheel step with repaint", all, &Figures::wheel);
    printFigure("1,000 hit tests (rowAt)", all, &Figures::hitTest);
    printFigure("ensureRowVisible(last)", all, &Figures::ensureLast);
    printFigure("select all (mode 2)", all, &Figures::selectAll);
    printFigure("clear selection (mode 2)", all, &Figures::clearSelection);
    compareWithBubbleSort(window);
    delete window;
    return 0;
}
