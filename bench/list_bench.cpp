// The list in icon mode (96 x 96 items with a 48 x 48 icon, a label and a
// detail line; 1% hidden) at 1,000 and 10,000 items in a shown 1000 x 700
// view: filling the shown list with updates suspended, a resize of the view
// (relayout to new columns, repaint), the first repaint after an item was
// hidden (the items re-ranked), a full repaint, a wheel step with its
// repaint, hit tests, bringing the last item into sight and the zoom
// (setItemSize, which relayouts and repaints). Then the window and the view
// resized together back and forth, in small and in large steps, as an edge
// drag and a maximise and restore do, and the view alone between 150 and
// 250 px: each with the back buffers made anew over its steps.
// Painting, wheel steps and hit tests should not grow with the count; a
// step back and forth should make no new buffer.

#include "BenchTiming.h"
#include "BenchWindow.h"

#include "foundation/Application.h"
#include "graphics/DrawingSurface.h"
#include "ui/widgets/UIList.h"
#include "ui/widgets/UIListView.h"

#include <cstdio>
#include <map>
#include <vector>

namespace {

using bench::Clock;
using bench::millisecondsSince;
using bench::timeEach;

const int sizes[] = {1000, 10000};
constexpr int resizeSteps = 40;

// A resize back and forth: the time of one step and how many buffers were
// made anew over all steps.
struct Steps {
    double ms = 0;
    int madeAnew = 0;
};

struct Figures {
    double fill = 0;
    double relayout = 0;
    double rerankRepaint = 0;
    double repaint = 0;
    double wheel = 0;
    double hitTest = 0;
    double ensureLast = 0;
    double zoom = 0;
    Steps smallSteps;
    Steps largeSteps;
    Steps viewSteps;
};

// The window's surface, then the back buffers of the window and of every
// widget in it. A buffer is only ever resized to a new size, so a changed
// size is a buffer made anew.
std::vector<Size> bufferSizes(const UIWidget* window)
{
    std::vector<Size> sizes = {window->windowSurface()->size(), window->backBuffer()->size()};
    for (const UIWidget* widget : window->descendants())
        sizes.push_back(widget->backBuffer()->size());
    return sizes;
}

int changedCount(const std::vector<Size>& before, const std::vector<Size>& after)
{
    int changed = 0;
    for (size_t i = 0; i < before.size(); ++i)
        changed += before[i] != after[i];
    return changed;
}

// Alternates between b and a, after one round from a to b and back that lets
// every buffer grow to what both sizes need.
template <typename Resize>
Steps alternate(const UIWidget* window, Size a, Size b, Resize resize)
{
    resize(a);
    resize(b);
    resize(a);
    Steps steps;
    steps.ms = timeEach(resizeSteps, [&](int i) {
        const std::vector<Size> before = bufferSizes(window);
        resize(i % 2 ? a : b);
        steps.madeAnew += changedCount(before, bufferSizes(window));
    });
    return steps;
}

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
    // As a program fills a shown list: updates suspended, so the adds
    // neither paint nor relayout the view one by one.
    auto start = Clock::now();
    list->setUpdatesSuspended(true);
    for (int i = 0; i < size; ++i) {
        UIListItem* item = list->addItem(String(L"file ") + String::number(i), L"12 KB", icon);
        if (i % 100 == 50)
            item->setVisible(false);
    }
    list->setUpdatesSuspended(false);
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
    const auto resizeBoth = [&](Size s) {
        window->resize(s.width, s.height);
        view->resize(s.width, s.height);
    };
    f.smallSteps = alternate(window, {1000, 750}, {960, 720}, resizeBoth);
    f.largeSteps = alternate(window, {1000, 750}, {820, 610}, resizeBoth);
    f.viewSteps = alternate(window, {150, 150}, {250, 250}, [&](Size s) { view->resize(s.width, s.height); });
    resizeBoth({1000, 700});
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

void printSteps(const char* what, const std::map<int, Figures>& all, Steps Figures::*field)
{
    const Steps& small = all.at(1000).*field;
    const Steps& large = all.at(10000).*field;
    printf("%-34s %10.3f %10.3f ms   new buffers in %d steps: %d and %d\n", what, small.ms, large.ms, resizeSteps,
           small.madeAnew, large.madeAnew);
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
    printFigure("fill a shown list, updates suspended", all, &Figures::fill);
    printFigure("resize (relayout, new columns)", all, &Figures::relayout);
    printFigure("hide or show one item, repaint", all, &Figures::rerankRepaint);
    printFigure("full repaint", all, &Figures::repaint);
    printFigure("wheel step with repaint", all, &Figures::wheel);
    printFigure("1,000 hit tests (itemAt)", all, &Figures::hitTest);
    printFigure("ensureItemVisible(last)", all, &Figures::ensureLast);
    printFigure("zoom (setItemSize 96 <-> 128)", all, &Figures::zoom);
    printSteps("window 1000x750 <-> 960x720", all, &Figures::smallSteps);
    printSteps("window 1000x750 <-> 820x610", all, &Figures::largeSteps);
    printSteps("view 150x150 <-> 250x250", all, &Figures::viewSteps);
    delete window;
    return 0;
}
