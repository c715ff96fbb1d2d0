// One layout pass of a 10 x 10 and a 100 x 10 grid of plain widgets: the
// grid's preferred size, its cells and the placement of every child. The
// pass should grow linearly with the number of cells.

#include "BenchTiming.h"

#include "foundation/Application.h"
#include "ui/UIManager.h"
#include "ui/UIWidget.h"

#include <cstdio>
#include <memory>
#include <vector>

namespace {

class PlainWidget : public UIWidget {
public:
    explicit PlainWidget(UIWidget* parent) : UIWidget(parent) { setStyleName(L"PlainWidget"); }
    Size sizeHint() const override { return {20, 10}; }
};

constexpr int passes = 50;

// Milliseconds per pass; each pass moves every child (the margin changes).
double timeLayout(int rows, int columns)
{
    PlainWidget grid(nullptr);
    grid.resize(columns * 40, rows * 20);
    grid.setLayoutColumns(columns);
    grid.setUpdatesEnabled(false);
    std::vector<std::unique_ptr<PlainWidget>> cells;
    for (int i = 0; i < rows * columns; ++i) {
        cells.push_back(std::make_unique<PlainWidget>(&grid));
        cells.back()->setSizePolicy(SizeResizable, SizeResizable);
        cells.back()->setVisible(true);
    }
    grid.setUpdatesEnabled(true);
    const bench::Clock::time_point start = bench::Clock::now();
    for (int pass = 0; pass < passes; ++pass) {
        grid.setLayoutMargin(pass % 2);
        cells.front()->updateLayout();
    }
    const double ms = bench::millisecondsSince(start) / passes;
    cells.clear();
    return ms;
}

} // namespace

int main()
{
    Application application(L"KestrolaLayoutBench", L"1.0");
    UIManager::instance();
    const double small = timeLayout(10, 10);
    const double large = timeLayout(100, 10);
    printf("layout pass  10 x 10: %8.3f ms\n", small);
    printf("layout pass 100 x 10: %8.3f ms\n", large);
    printf("ratio (target at most 12): %.1f\n", large / (small > 0 ? small : 0.001));
    return 0;
}
