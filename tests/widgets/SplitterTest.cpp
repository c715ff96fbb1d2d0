#include "ui/widgets/UISplitter.h"

#include "ui/UIWindow.h"

#include "tests/support/RowTable.h"
#include "tests/widgets/PointerMessages.h"
#include "tests/widgets/StyledWidgetTest.h"

#include <memory>

namespace {

class SplitterTest : public StyledWidgetTest {
protected:
    // A horizontal splitter filling a shown 300x100 window.
    void open(int panels)
    {
        window = std::make_unique<UIWindow>(nullptr, quickWindow);
        splitter = new UISplitter(panels, SplitterHorizontal, window.get());
        splitter->show();
        showAt(*window, 100, 100, 300, 100);
    }

    float panelFactor(int panel) const { return splitter->stretchAt(2 * panel); }

    void send(UINT message, WPARAM keys, Point client) { sendPointerMessage(*window, message, keys, client); }

    std::unique_ptr<UIWindow> window;
    UISplitter* splitter = nullptr;
};

TEST_F(SplitterTest, PanelsStartWithEqualSharesAndAtMostFive)
{
    struct Row {
        int asked;
        int panels;
        float factor;
    };
    // Six panels used to write stretch factors past the layout's ten.
    const Row rows[] = {{1, 1, 100.0f}, {3, 3, 33.333332f}, {6, 5, 20.0f}, {0, 1, 100.0f}};
    forEachRow(rows, [](const Row& row) {
        UISplitter splitter(row.asked, SplitterVertical);
        ASSERT_EQ(splitter.panelCount(), row.panels);
        EXPECT_EQ(splitter.separatorCount(), row.panels - 1);
        for (int k = 0; k < row.panels; ++k) {
            EXPECT_EQ(splitter.stretchAt(2 * k), row.factor);
            if (k + 1 < row.panels) {
                EXPECT_EQ(splitter.stretchAt(2 * k + 1), 0.0f);
            }
        }
    });
}

TEST(SplitterFactorTest, FactorsWithinAFloatStepOfTheEndsSnap)
{
    struct Row {
        double factor;
        float expected;
    };
    const Row rows[] = {{99.999995, 100.0f},  {0.000004, 0.0f},      {-0.000004, 0.0f},
                        {100.000005, 100.0f}, {99.99999237060547, 99.99999f}, {0.00001f, 0.00001f},
                        {50.0, 50.0f}};
    forEachRow(rows, [](const Row& row) { EXPECT_EQ(UISplitter::snappedFactor(row.factor), row.expected); });
}

TEST_F(SplitterTest, MovingASeparatorToAnEndGivesExactFactorsOnce)
{
    struct Row {
        int position;
        float first;
        float second;
    };
    // The third panel holds 0.000005, so the other two share 99.999995.
    const Row rows[] = {{1000, 100.0f, 0.0f}, {-1000, 0.0f, 100.0f}};
    forEachRow(rows, [&](const Row& row) {
        open(3);
        splitter->setColumnStretch(4, 0.000005f);
        EXPECT_TRUE(splitter->moveSeparator(0, row.position));
        EXPECT_EQ(panelFactor(0), row.first);
        EXPECT_EQ(panelFactor(1), row.second);
        EXPECT_FALSE(splitter->moveSeparator(0, row.position));
    });
}

TEST_F(SplitterTest, DraggingMovesTheSeparatorOnlyFromTwoPixels)
{
    open(2);
    const int start = splitter->separatorPosition(0);
    const Point press{start + splitter->separatorThickness(0) / 2, 50};
    send(WM_LBUTTONDOWN, MK_LBUTTON, press);
    // The first move used to be measured from the splitter's edge, so one
    // pixel moved the separator.
    send(WM_MOUSEMOVE, MK_LBUTTON, {press.x + 1, press.y});
    EXPECT_EQ(panelFactor(0), 50.0f);
    EXPECT_EQ(splitter->separatorPosition(0), start);
    send(WM_MOUSEMOVE, MK_LBUTTON, {press.x + 20, press.y});
    send(WM_LBUTTONUP, 0, {press.x + 20, press.y});
    EXPECT_GT(panelFactor(0), 50.0f);
    EXPECT_EQ(splitter->separatorPosition(0), start + 20);
}

TEST_F(SplitterTest, RefusedDragShowsWhichWayTheSeparatorCanGo)
{
    open(3);
    UISplitterSeparator* separator = splitter->separator(0);
    const Point press{splitter->separatorPosition(0) + separator->thickness() / 2, 50};
    send(WM_LBUTTONDOWN, MK_LBUTTON, press);
    struct Row {
        int x;
        Cursor cursor;
    };
    // The second panel shrinks to nothing; past it the pointer runs ahead.
    const Row rows[] = {{250, CursorSplitLeftRight}, {280, CursorSplitLeft}, {60, CursorSplitLeftRight}};
    forEachRow(rows, [&](const Row& row) {
        send(WM_MOUSEMOVE, MK_LBUTTON, {row.x, press.y});
        EXPECT_EQ(separator->cursor(), row.cursor);
    });
    send(WM_LBUTTONUP, 0, {60, press.y});
}

} // namespace
