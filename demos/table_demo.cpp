// The items table: 100,000 rows in three sortable columns (text, number,
// image), some hidden, under a tab bar that switches it against another
// page. Buttons switch the selection mode, clear the table (its blank text
// shows) and fill it again; shortened cells show their whole text as a
// tip. With --script the program sorts by size, draws a rubber band over
// the rows, holds it out for a screenshot, lets go and quits.

#include "demos/WidgetDemo.h"
#include "foundation/Dispatcher.h"
#include "ui/UIHeaderSection.h"
#include "ui/UITableRow.h"
#include "ui/UIWindow.h"
#include "ui/widgets/UIBox.h"
#include "ui/widgets/UIButton.h"
#include "ui/widgets/UIHeader.h"
#include "ui/widgets/UILabel.h"
#include "ui/widgets/UISpacer.h"
#include "ui/widgets/UIStack.h"
#include "ui/widgets/UITabBar.h"
#include "ui/widgets/UITable.h"
#include "ui/widgets/UITableView.h"

#include <windows.h>

#include <random>
#include <utility>

namespace {

constexpr int rowCount = 100000;

const wchar_t* const places[] = {L"Lake shore", L"Old town market", L"Harbour at dusk", L"Mountain hut",
                                 L"Grandmother's garden in the early summer light"};

Bitmap swatch(Colour colour)
{
    Bitmap image(16, 16, true);
    image.fill(colour);
    return image;
}

class Demo : public SignalReceiver {
public:
    Demo()
    {
        window = newDemoWindow(L"Table", Rect(20, 20, 900, 600));
        tabs = new UITabBar(window);
        tabs->addTab(L"Files");
        tabs->addTab(L"About");
        tabs->currentChanged.connect(this, &Demo::showPage);
        tabs->show();
        stack = new UIStack(2, window);
        stack->setSizePolicy(SizeExpanding, SizeExpanding);
        buildTablePage(stack->page(0));
        auto* about = new UILabel(stack->page(1));
        about->setText(L"The other page: the tab bar switches the stack.");
        about->show();
        stack->show();
        // The first tab became current as it was added.
        stack->setCurrentIndex(tabs->currentIndex());
        window->show();
        fill();
    }

    UIWindow* window = nullptr;
    UITableView* view = nullptr;

private:
    void buildTablePage(UIWidget* page)
    {
        page->setLayoutVertical(true);
        page->applyLayoutSpacingMetrics();
        auto* buttons = new UIBox(page);
        buttons->setLayoutVertical(false);
        buttons->applyLayoutSpacingMetrics();
        buttons->setSizePolicy(SizeExpanding, SizeFixed);
        const std::pair<const wchar_t*, void (Demo::*)()> actions[] = {
            {L"Single selection", &Demo::singleSelection}, {L"Multiple selection", &Demo::multiSelection},
            {L"Clear", &Demo::clear}, {L"Fill", &Demo::fill}};
        for (const auto& [text, action] : actions) {
            auto* button = new UIButton(buttons, text);
            button->clicked.connect(this, action);
            button->show();
        }
        (new UIExpander(buttons))->show();
        buttons->show();
        view = new UITableView(page);
        view->setSizePolicy(SizeExpanding, SizeExpanding);
        UITable* table = view->table();
        table->header()->addSection(L"Name", 300, true)->setSortable(UIHeaderSection::ByText);
        table->header()->addSection(L"Size", 120, true)->setSortable(UIHeaderSection::ByNumber);
        table->header()->addSection(L"Colour", 80, true)->setSortable(UIHeaderSection::ByNumber);
        table->setSortingEnabled(true);
        table->setSelectionMode(UITable::MultiSelection);
        table->setBlankText(L"No items carry these tags.");
        table->setBlankTextVisible(true);
        view->show();
    }

    void fill()
    {
        UITable* table = view->table();
        const Bitmap colours[] = {swatch(Colour(79, 145, 214)), swatch(Colour(233, 174, 60)),
                                  swatch(Colour(92, 163, 96))};
        std::mt19937 random(7);
        table->setUpdatesSuspended(true);
        table->clear();
        for (int i = 0; i < rowCount; ++i) {
            auto* row = new UITableRow;
            row->addTextCell(String(places[i % 5]) + L" " + String::number(i) + L".jpg");
            const double size = double(random() % 900000) / 100.0;
            UIItemCell* sizeCell = row->addTextCell(String::number(size, 2) + L" KB");
            sizeCell->setSortValue(size);
            UIItemCell* colour = row->addImageCell(colours[i % 3]);
            colour->setSortValue(i % 3);
            // Every hundredth file is filtered out.
            if (i % 100 == 99)
                row->hide();
            table->addRow(row);
        }
        table->setUpdatesSuspended(false);
    }

    void clear() { view->table()->clear(); }
    void singleSelection() { view->table()->setSelectionMode(UITable::SingleSelection); }
    void multiSelection() { view->table()->setSelectionMode(UITable::MultiSelection); }
    void showPage(int index) { stack->setCurrentIndex(index); }

    UITabBar* tabs = nullptr;
    UIStack* stack = nullptr;
};

Demo* demo = nullptr;
int step = 0;
Point bandStart;

// Sorts by size, then drags a band from the blank right of the last column
// and holds it out for a few seconds, for a screenshot.
void CALLBACK scriptStep(HWND, UINT, UINT_PTR, DWORD)
{
    UITable* table = demo->view->table();
    const int current = step++;
    if (current == 4)
        bandStart = table->mapToWindow(Point(table->width() - 40, table->headerHeight() + 30));
    if (current >= 4)
        dragStep(demo->window, {bandStart, Point(-150, 60), 3, 12}, current - 4);
    switch (current) {
    case 2:
        table->sortByColumn(1, UITable::Descending);
        break;
    case 17:
        dispatcher()->quitAll(0);
        break;
    default:
        break;
    }
}

} // namespace

int wmain(int argc, wchar_t** argv)
{
    return runWidgetDemo(demo, argc, argv, scriptStep);
}
