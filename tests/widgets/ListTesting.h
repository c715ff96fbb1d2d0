#pragma once

// The list tests' fixture: a 300 x 200 list view in a shown window, its
// list keeping a model of the rectangles and on-screen flags a paint
// walking every item would give.

#include "ui/widgets/UIList.h"
#include "ui/widgets/UIListView.h"

#include "tests/support/GeometryPrinting.h"
#include "tests/support/StringPrinting.h"
#include "tests/widgets/SignalRecorder.h"
#include "tests/widgets/StyledWidgetTest.h"

#include <memory>
#include <unordered_map>

class ModelList : public UIList {
public:
    using UIList::UIList;

    // What hiding does to an item's rectangle.
    void itemHidden(const UIListItem* item) { walkedRect[item] = Rect(); }

    // The first visible item whose walked rectangle holds the point.
    int walkedIndexAt(Point p) const
    {
        for (int i = 0; i < count(); ++i) {
            const auto it = walkedRect.find(item(i));
            if (item(i)->isVisible() && it != walkedRect.end() && it->second.contains(p))
                return i;
        }
        return -1;
    }

    std::unordered_map<const UIListItem*, Rect> walkedRect;
    std::unordered_map<const UIListItem*, bool> walkedOnScreen;

protected:
    // The plain walk over every item, beside the list's own paint.
    void paintEvent(UIPaintEvent* e) override
    {
        UIList::paintEvent(e);
        viewMode() == IconMode ? walkIcons() : walkRows();
    }

private:
    void walkRows()
    {
        const int h = itemSize().height;
        int y = contentOffsetY();
        for (UIListItem* i : items()) {
            walkedOnScreen[i] = false;
            if (!i->isVisible())
                continue;
            walkedRect[i] = Rect(contentOffsetX(), y, width(), h);
            walkedOnScreen[i] = y > -h && y < height();
            y += h;
        }
    }

    void walkIcons()
    {
        const Size size = itemSize();
        const int columns = columnCount();
        int x = contentOffsetX();
        int y = contentOffsetY();
        int inRow = 0;
        for (UIListItem* i : items()) {
            walkedOnScreen[i] = false;
            if (!i->isVisible())
                continue;
            const Rect r(x + margin, y + margin, size.width, size.height);
            walkedRect[i] = r;
            walkedOnScreen[i] = r.intersects(rect());
            x = r.right();
            if (++inRow == columns) {
                inRow = 0;
                x = contentOffsetX();
                y += size.height + 2 * margin;
            }
        }
    }

public:
    // The style's icon-mode margin on every side.
    int margin = 4;
};

class ListTest : public StyledWidgetTest {
protected:
    void SetUp() override
    {
        window = std::make_unique<RecordingWidget>(nullptr, Colour(255, 255, 255), quickWindow);
        showAt(*window, 40, 40, 320, 220);
        view = new UIListView(window.get());
        view->setGeometry(0, 0, 300, 200);
        view->show();
        list = new ModelList(view->viewport());
        view->setContentWidget(list);
        list->show();
        list->currentItemChanged.connect(&current, &SignalRecorder::onValue);
    }

    void addNumbered(int count)
    {
        for (int i = 0; i < count; ++i)
            list->addItem(String(L"item ") + String::number(i));
    }
    std::vector<int> selectedIndexes() const
    {
        std::vector<int> result;
        for (int i = 0; i < list->count(); ++i) {
            if (list->isItemSelected(i))
                result.push_back(i);
        }
        return result;
    }
    int value() const { return view->verticalScrollBar()->value(); }

    std::unique_ptr<RecordingWidget> window;
    UIListView* view = nullptr;
    ModelList* list = nullptr;
    SignalRecorder current;
};
