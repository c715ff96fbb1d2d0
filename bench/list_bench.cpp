// The list in icon mode (96 x 96 items with a 48 x 48 icon, a label and a
// detail line; 1% hidden) at 1,000 and 10,000 items in a shown 1000 x 700
// view: filling the shown list (each add repaints), a resize of the view
// (relayout to new columns, repaint), the first repaint after an item was
// hidden (the items re-ranked), a full repaint, a wheel step with its
// repaint, hit tests, bringing the last item into sight and the zoom
// (setItemSize, which relayouts and repaints).
// Painting, wheel steps and hit tests should not grow with the count.

#include "BenchTiming.h"
#include "BenchWindow.h"

#include "foundation/Application.h"
#include "ui/widgets/UIList.h"
#include "ui/widgets/UIListView.h"

#include <cstdio>
#include <map>

namespace {

using bench::Clock;
using bench::millisecondsSince;
using bench::timeEach;

const int sizes[] = {1000, 10000};

struct Figures {
    double fill = 0;
    double relayout = 0;
    double rerankRepaint = 0;
    double repaint = 0;
    double wheel = 0;
    double hitTest = 0;
    double ensureLast = 0;
    double zoom = 0;
};

UIListView* makeView(UIWidget* window)
{
    auto* view = new UIListView(window);
    view->setGeometry(0, 0, 1000, 700);
    view->show();
    UIList* list = view->list();
    list->setViewMode(UIList::IconMode);
    list->setItemSize({96, 96});
    list->setSelectionMode(UIList::MultiSelection);
    return view;
}

Figures measure(UIWidget* window, int size)
{
    Figures f;
    UIListView* view = makeView(window);
    UIList* list = view->list();
    Bitmap icon(48, 48, true);
    icon.fill(Colour(79, 145, 214));
    auto start = Clock::now();
    for (int i = 0; i < size; ++i) {
        UIListItem* item = list->addItem(String(L"file ") + String::number(i), L"12 KB", icon);
        if (i % 100 == 50)
            item->setVisible(false);
    }
    f.fill = millisecondsSince(start);

    f.relayout = timeEach(20, [&](int i) { view->resize(i % 2 ? 1000 : 900, 700); });
    view->setVerticalValue(view->verticalScrollBar()->maximum() / 2);
    f.rerankRepaint = timeEach(20, [&](int i) {
        list->item(i * 7)->setVisible(i % 2 == 1);
        list->repaint();
    });
    f.repaint = timeEach(50, [&](int) { list->repaint(); });
    f.wheel = timeEach(50, [&](int i) {
        const int direction = i % 2 ? WheelUp : WheelDown;
        UIWheelEvent e(1, Point{100, 100}, direction == WheelDown ? -120 : 120, NoModifier, direction);
        list->event(&e);
    });
    int found = 0;
    f.hitTest = 1000 * timeEach(10000, [&](int i) { found += list->itemAt(Point{i % 990, (i * 7) % 690}) != nullptr; });
    f.ensureLast = timeEach(20, [&](int) {
        view->scrollToTop();
        list->repaint();
        list->ensureItemVisible(list->count() - 1);
    });
    f.zoom = timeEach(20, [&](int i) { list->setItemSize(i % 2 ? Size{96, 96} : Size{128, 128}); });
    if (found == 0)
        printf("  (no item was hit)\n");
    delete view;
    return f;
}

void printFigure(const char* what, const std::map<int, Figures>& all, double Figures::*field)
{
    const double small = all.at(1000).*field;
    const double large = all.at(10000).*field;
    printf("%-34s %10.3f %10.3f ms   10k/1k %7.2f\n", what, small, large, large / (small > 0 ? small : 0.001));
}

} // namespace

int main()
{
    Application application(L"KestrolaListBench", L"1.0");
    UIWidget* window = bench::openStyledWindow(application);
    if (!window)
        return 1;

    std::map<int, Figures> all;
    for (int size : sizes)
        all[size] = measure(window, size);
    printf("%-34s %10s %10s\n", "list in icon mode (96 x 96)", "1,000", "10,000");
    printFigure("fill a shown list (each add paints)", all, &Figures::fill);
    printFigure("resize (relayout, new columns)", all, &Figures::relayout);
    printFigure("hide or show one item, repaint", all, &Figures::rerankRepaint);
    printFigure("full repaint", all, &Figures::repaint);
    printFigure("wheel step with repaint", all, &Figures::wheel);
    printFigure("1,000 hit tests (itemAt)", all, &Figures::hitTest);
    printFigure("ensureItemVisible(last)", all, &Figures::ensureLast);
    printFigure("zoom (setItemSize 96 <-> 128)", all, &Figures::zoom);
    delete window;
    return 0;
}
