// Painting and mouse dispatch in a window of 10, 100 and 1,000 nested plain
// widgets: a full repaint, the repaint of one small widget, and 1,000 mouse
// moves through the window procedure. One small widget's repaint should
// cost the same at every count; the full repaint should grow at most
// linearly.

#include "BenchTiming.h"

#include "foundation/Application.h"
#include "foundation/Dispatcher.h"
#include "graphics/DrawingSurface.h"
#include "graphics/Graphics.h"
#include "ui/UIManager.h"
#include "ui/UINativeWindow.h"
#include "ui/UIWidget.h"

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

class PlainWidget : public UIWidget {
public:
    PlainWidget(UIWidget* parent, Colour colour) : UIWidget(parent), m_colour(colour)
    {
        setStyleName(L"PlainWidget");
        setFlag(WidgetSeeThrough, false);
    }

    int moves = 0;

protected:
    void paintEvent(UIPaintEvent*) override
    {
        Graphics g(backBuffer());
        g.fillRectColour(rect(), m_colour);
        g.setPen(Pen(Colour(40, 40, 40)));
        g.drawRect(0, 0, width() - 1, height() - 1);
    }
    void mouseMoveEvent(UIMouseEvent*) override { ++moves; }

private:
    Colour m_colour;
};

struct Tree {
    UIWidget* window = nullptr;
    std::vector<PlainWidget*> leaves;
};

// Groups of one container and nine leaves, the containers in a square grid.
Tree buildTree(int count)
{
    Tree tree;
    tree.window = new UIWidget(nullptr, WindowSystemMenu);
    tree.window->setFlag(WidgetWindow, true);
    tree.window->setStyleName(L"BenchWindow");
    tree.window->move(0, 0);
    tree.window->resize(820, 640);
    const int groups = count / 10;
    int columns = 1;
    while (columns * columns < groups)
        ++columns;
    const int cellWidth = 800 / columns;
    const int cellHeight = 600 / columns;
    for (int g = 0; g < groups; ++g) {
        auto* group = new PlainWidget(tree.window, Colour(200, 220, 240));
        group->move((g % columns) * cellWidth, (g / columns) * cellHeight);
        group->resize(cellWidth - 2, cellHeight - 2);
        for (int i = 0; i < 9; ++i) {
            auto* leaf = new PlainWidget(group, Colour(static_cast<std::uint8_t>(20 * i), 120, 90));
            leaf->move((i % 3) * (cellWidth / 3), (i / 3) * (cellHeight / 3));
            leaf->resize(cellWidth / 3 - 1, cellHeight / 3 - 1);
            leaf->show();
            tree.leaves.push_back(leaf);
        }
        group->show();
    }
    tree.window->show();
    return tree;
}

void pumpAll()
{
    EventLoop loop;
    while (loop.processEvents()) {
    }
}

// Milliseconds per call, from the quickest of five batches, so a stall of
// the X server does not count as painting.
template <typename Operation>
double bestOf(Operation operation, int calls)
{
    double best = 0;
    for (int batch = 0; batch < 5; ++batch) {
        const auto start = bench::Clock::now();
        for (int i = 0; i < calls; ++i)
            operation();
        const double perCall = bench::millisecondsSince(start) / calls;
        best = batch == 0 ? perCall : std::min(best, perCall);
    }
    return best;
}

struct Figures {
    double fullRepaint;
    double smallRepaint;
    double mouseMoves;
};

Figures measure(int count)
{
    Tree tree = buildTree(count);
    pumpAll();
    const double full = bestOf([&] { tree.window->repaint(); }, 20);
    PlainWidget* leaf = tree.leaves[tree.leaves.size() / 2];
    const double small = bestOf([&] { leaf->repaint(); }, 1000);

    const HWND window = static_cast<HWND>(tree.window->nativeHandle());
    const auto start = bench::Clock::now();
    for (int i = 0; i < 1000; ++i)
        SendMessageW(window, WM_MOUSEMOVE, 0, MAKELPARAM((i * 7) % 800, (i * 13) % 600));
    pumpAll();
    const double moves = bench::millisecondsSince(start);
    delete tree.window;
    pumpAll();
    return {full, small, moves};
}

} // namespace

int main()
{
    Application application(L"KestrolaUiBench", L"1.0");
    UIManager::instance();
    const int counts[] = {10, 100, 1000};
    Figures figures[3];
    for (int i = 0; i < 3; ++i) {
        figures[i] = measure(counts[i]);
        printf("%5d widgets: full repaint %8.3f ms, one small widget %8.4f ms, 1,000 mouse moves %8.2f ms\n",
               counts[i], figures[i].fullRepaint, figures[i].smallRepaint, figures[i].mouseMoves);
    }
    printf("ratio 1,000 / 10: full repaint %.1f (widgets x100), one small widget %.2f (target <= 2), "
           "mouse moves %.2f\n",
           figures[2].fullRepaint / figures[0].fullRepaint, figures[2].smallRepaint / figures[0].smallRepaint,
           figures[2].mouseMoves / figures[0].mouseMoves);
    return 0;
}
