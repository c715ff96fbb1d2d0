// A horizontal splitter: on the left a scroll area over a large numbered
// grid (buttons switch the bar policies; the right button drags the
// content), on the right a column header (resizable sections, a stretched
// last one, sort indicators) over sliders in each tick mode. With --script
// the program drags the separator to the left, holds it while a screenshot
// can be taken, lets go and quits.

#include "demos/WidgetDemo.h"
#include "foundation/Dispatcher.h"
#include "graphics/DrawingSurface.h"
#include "graphics/Graphics.h"
#include "ui/UIHeaderSection.h"
#include "ui/UINativeWindow.h"
#include "ui/UIWindow.h"
#include "ui/widgets/UIBox.h"
#include "ui/widgets/UIButton.h"
#include "ui/widgets/UIHeader.h"
#include "ui/widgets/UIScrollArea.h"
#include "ui/widgets/UISlider.h"
#include "ui/widgets/UISpacer.h"
#include "ui/widgets/UISplitter.h"

#include <windows.h>

#include <utility>

namespace {

constexpr int cellWidth = 110;
constexpr int cellHeight = 34;
constexpr int gridColumns = 24;
constexpr int gridRows = 60;

// Paints only the cells the scroll area shows, numbered "row:column".
class NumberedGrid : public UIWidget {
public:
    explicit NumberedGrid(UIWidget* parent) : UIWidget(parent) { setStyleName(L"DemoGrid"); }

    Size minimumSizeHint() const override { return Size{gridColumns * cellWidth, gridRows * cellHeight}; }

protected:
    void paintEvent(UIPaintEvent*) override
    {
        Graphics g(backBuffer());
        g.fillRectColour(rect(), Colour(255, 255, 255));
        const int left = -contentOffsetX();
        const int top = -contentOffsetY();
        for (int row = top / cellHeight; row <= (top + height()) / cellHeight && row < gridRows; ++row) {
            for (int column = left / cellWidth; column <= (left + width()) / cellWidth && column < gridColumns;
                 ++column)
                paintCell(g, row, column, Rect(column * cellWidth - left, row * cellHeight - top, cellWidth, cellHeight));
        }
    }

private:
    static void paintCell(Graphics& g, int row, int column, const Rect& r)
    {
        if ((row + column) % 2 == 1)
            g.fillRectColour(r, Colour(246, 248, 251));
        g.setPenColour(Colour(226, 230, 235));
        g.drawRect(r.x, r.y, r.width, r.height);
        g.setPenColour(Colour(74, 79, 87));
        g.drawText(String::number(row) + L":" + String::number(column), r, AlignCenter, 0, 0);
    }
};

class Demo : public SignalReceiver {
public:
    Demo()
    {
        window = new UIWindow(nullptr, WindowSystemMenu | WindowResizable);
        window->setWindowTitle(String(L"Scroll demo"), true);
        window->applyLayoutMarginMetrics();
        window->move(20, 20);
        window->resize(980, 560);
        splitter = new UISplitter(2, SplitterHorizontal, window);
        splitter->setSizePolicy(SizeExpanding, SizeExpanding);
        buildScrollSide(splitter->panel(0));
        buildHeaderSide(splitter->panel(1));
        splitter->show();
        window->show();
        area->setVerticalValue(5 * cellHeight);
    }

    UIWindow* window = nullptr;
    UISplitter* splitter = nullptr;

private:
    void buildScrollSide(UIWidget* panel)
    {
        panel->setLayoutVertical(true);
        panel->applyLayoutSpacingMetrics();
        auto* buttons = new UIBox(panel);
        buttons->setLayoutVertical(false);
        buttons->applyLayoutSpacingMetrics();
        const std::pair<const wchar_t*, void (Demo::*)()> choices[] = {
            {L"Bars as needed", &Demo::barsAsNeeded}, {L"Always", &Demo::barsAlways}, {L"Never", &Demo::barsNever}};
        for (const auto& [name, choose] : choices) {
            auto* button = new UIButton(buttons, String(name));
            button->clicked.connect(this, choose);
            button->show();
        }
        (new UIExpander(buttons))->show();
        buttons->show();
        area = new UIScrollArea(panel);
        area->setSizePolicy(SizeExpanding, SizeExpanding);
        auto* grid = new NumberedGrid(area);
        area->setContentWidget(grid);
        grid->show();
        area->show();
    }

    void buildHeaderSide(UIWidget* panel)
    {
        panel->setLayoutVertical(true);
        panel->applyLayoutSpacingMetrics();
        auto* header = new UIHeader(panel);
        header->setSizePolicy(SizeExpanding, SizeFixed);
        // A section shows its indicator only when it can be sorted.
        UIHeaderSection* name = header->addSection(L"Name", 140, true);
        name->setSortable(UIHeaderSection::ByText);
        name->setSortOrder(UIHeaderSection::Ascending);
        UIHeaderSection* size = header->addSection(L"Size", 70, true);
        size->setSortable(UIHeaderSection::ByNumber);
        size->setSortOrder(UIHeaderSection::Descending);
        header->addSection(L"Modified", 110, true);
        header->addSection(L"Tags", 80, true);
        header->setSortIndicatorsEnabled(true);
        header->setStretchLastSection(true);
        header->show();
        const SliderTickMode modes[] = {SliderTickMode::None, SliderTickMode::BothSides, SliderTickMode::Before,
                                        SliderTickMode::After};
        for (int i = 0; i < 4; ++i) {
            auto* slider = new UISlider(panel);
            slider->setSizePolicy(SizeExpanding, SizeFixed);
            slider->setRange(0, 100);
            slider->setSingleStep(10);
            slider->setValue(20 + 20 * i);
            slider->setTickMode(modes[i]);
            slider->show();
        }
        // The sliders keep their height; the room left stays below them.
        (new UIExpander(panel))->show();
    }

    void barsAsNeeded() { setPolicy(UIScrollArea::ScrollBarAsNeeded); }
    void barsAlways() { setPolicy(UIScrollArea::ScrollBarAlways); }
    void barsNever() { setPolicy(UIScrollArea::ScrollBarNever); }

    void setPolicy(UIScrollArea::ScrollBarPolicy policy)
    {
        area->setHorizontalScrollBarPolicy(policy);
        area->setVerticalScrollBarPolicy(policy);
        area->relayout();
    }

    UIScrollArea* area = nullptr;
};

Demo* demo = nullptr;
int step = 0;
Point grip;

// Presses on the separator, drags it left in four moves and holds it
// there for a while before letting go.
void CALLBACK scriptStep(HWND, UINT, UINT_PTR, DWORD)
{
    UIWidget* separator = demo->splitter->separator(0);
    const int current = step++;
    if (current == 2)
        grip = separator->mapToWindow(Point(separator->width() / 2, separator->height() / 2));
    if (current >= 2)
        dragStep(demo->window, {grip, Point(-20, 0), 4, 6}, current - 2);
    if (current == 9)
        dispatcher()->quitAll(0);
}

} // namespace

int wmain(int argc, wchar_t** argv)
{
    return runWidgetDemo(demo, argc, argv, scriptStep);
}
