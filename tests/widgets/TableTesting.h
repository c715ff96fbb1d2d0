#pragma once

// The table tests' fixture: a 300 x 200 table view in a shown window, its
// table recording how drawCell was asked to draw and keeping a model of
// the rectangles and on-screen flags a paint walking every row would give.

#include "graphics/DrawingSurface.h"
#include "ui/widgets/UIHeader.h"
#include "ui/widgets/UITable.h"
#include "ui/widgets/UITableView.h"

#include "tests/support/StringPrinting.h"
#include "tests/widgets/SignalRecorder.h"
#include "tests/widgets/StyledWidgetTest.h"

#include <memory>
#include <unordered_map>
#include <vector>

class ModelTable : public UITable {
public:
    using UITable::UITable;

    struct DrawnCell {
        String text;
        bool selected;
        bool odd;
    };

    void drawCell(Graphics& g, UIPaintEvent* e, UIItemCell* cell, bool selected, bool odd, bool enabled) override
    {
        drawn.push_back({cell->text(), selected, odd});
        UITable::drawCell(g, e, cell, selected, odd, enabled);
    }

    // What hiding does to a row's rectangle.
    void rowHidden(const UITableRow* row) { walkedRect[row] = Rect(); }

    // The first visible row whose walked rectangle holds the point.
    int walkedRowAt(Point p) const
    {
        for (int i = 0; i < rowCount(); ++i) {
            const UITableRow* r = row(i);
            const auto it = walkedRect.find(r);
            if (r->isVisible() && it != walkedRect.end() && it->second.contains(p))
                return i;
        }
        return -1;
    }

    std::vector<DrawnCell> drawn;
    std::unordered_map<const UITableRow*, Rect> walkedRect;
    std::unordered_map<const UITableRow*, bool> walkedOnScreen;

protected:
    // The plain walk over every row, beside the table's own paint.
    void paintEvent(UIPaintEvent* e) override
    {
        UITable::paintEvent(e);
        if (updatesSuspended())
            return;
        const int rh = rowHeight();
        int y = headerHeight() + contentOffsetY();
        for (UITableRow* r : rows()) {
            walkedOnScreen[r] = false;
            if (!r->isVisible())
                continue;
            walkedRect[r] = Rect(0, y, width(), rh);
            walkedOnScreen[r] = y >= -rh && y < height();
            y += rh;
        }
    }
};

// Columns Name (text, 0..120) and Size (number, 120..200); rows of 20
// pixels under a 20-pixel header.
class TableTest : public StyledWidgetTest {
protected:
    void SetUp() override
    {
        window = std::make_unique<RecordingWidget>(nullptr, Colour(255, 255, 255), quickWindow);
        showAt(*window, 40, 40, 320, 220);
        view = new UITableView(window.get());
        view->setGeometry(0, 0, 300, 200);
        view->show();
        table = new ModelTable(view->viewport());
        view->setContentWidget(table);
        table->show();
        table->header()->addSection(L"Name", 120, true)->setSortable(UIHeaderSection::ByText);
        table->header()->addSection(L"Size", 80, true)->setSortable(UIHeaderSection::ByNumber);
        table->setSortingEnabled(true);
        table->currentRowChanged.connect(&current, &SignalRecorder::onValue);
        table->selectionChanged.connect(&selection, &SignalRecorder::onSignal);
    }

    UITableRow* add(const String& text, double value = 0, bool hidden = false)
    {
        auto* row = new UITableRow;
        row->addTextCell(text);
        row->addTextCell(String::number(value, 1))->setSortValue(value);
        if (hidden)
            row->hide();
        table->addRow(row);
        return row;
    }
    void addNumbered(int count)
    {
        for (int i = 0; i < count; ++i)
            add(String(L"row ") + String::number(i), i);
    }
    std::vector<String> texts() const
    {
        std::vector<String> result;
        for (const UITableRow* r : table->rows())
            result.push_back(r->cell(0)->text());
        return result;
    }
    std::vector<int> selectedIndexes() const
    {
        std::vector<int> result;
        for (int i = 0; i < table->rowCount(); ++i) {
            if (table->isRowSelected(i))
                result.push_back(i);
        }
        return result;
    }
    // The middle of row i's place while the view is not scrolled.
    Point rowPoint(int i, int x = 60) const { return {x, table->headerHeight() + i * table->rowHeight() + 10}; }

    std::unique_ptr<RecordingWidget> window;
    UITableView* view = nullptr;
    ModelTable* table = nullptr;
    SignalRecorder current;
    SignalRecorder selection;
};
