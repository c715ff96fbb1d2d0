// The grid engine's arithmetic on plain widgets, and the layout operations
// of UIWidget: preferred sizes, placement and relayout.

#include "ui/UIGridLayout.h"

#include "tests/support/RowTable.h"
#include "tests/ui/WidgetTestKit.h"

#include <memory>
#include <vector>

namespace {

// A plain widget whose content asks for a given size.
class HintWidget : public UIWidget {
public:
    explicit HintWidget(UIWidget* parent, Size hint = {}, SizePolicy policy = SizeFixed) : UIWidget(parent), hint(hint)
    {
        setStyleName(String(L"HintWidget"));
        setSizePolicy(policy, policy);
        setVisible(true);
    }
    Size sizeHint() const override { return hint; }
    Size hint;
};

struct EngineRow {
    std::vector<int> sizes; // the children's widths (heights when inRows)
    std::vector<SizePolicy> policies;
    std::vector<float> factors;
    int spacing;
    int room;
    std::vector<int> expected; // column widths (row heights when inRows)
    bool inRows = false;
    std::vector<int> spans = {};
    int perLine = 0;
};

class GridLayoutTest : public WidgetTest {
protected:
    // A container with one child per size; run through buildCells, then
    // distribute over room.
    std::vector<int> runEngine(const EngineRow& row)
    {
        HintWidget container(nullptr);
        std::vector<std::unique_ptr<HintWidget>> children;
        for (std::size_t i = 0; i < row.sizes.size(); ++i) {
            const int size = row.sizes[i];
            const SizePolicy policy = i < row.policies.size() ? row.policies[i] : SizeFixed;
            children.push_back(std::make_unique<HintWidget>(&container, row.inRows ? Size{10, size} : Size{size, 10},
                                                            policy));
            if (i < row.spans.size())
                children.back()->setColumnSpan(row.spans[i]);
        }
        container.setLayoutSpacing(row.spacing);
        container.setLayoutColumns(row.inRows ? 1 : row.perLine);
        for (std::size_t i = 0; i < row.factors.size(); ++i) {
            if (row.inRows)
                container.setRowStretch(static_cast<int>(i), row.factors[i]);
            else
                container.setColumnStretch(static_cast<int>(i), row.factors[i]);
        }
        UIGridLayout& layout = container.gridLayout();
        EXPECT_TRUE(layout.buildCells());
        layout.distribute(row.inRows ? 10 : row.room, row.inRows ? row.room : 10);
        std::vector<int> result = row.inRows ? layout.rowHeights() : layout.columnWidths();
        children.clear();
        return result;
    }
};

TEST_F(GridLayoutTest, EngineSharesRoomByPolicyFactorsAndSpans)
{
    constexpr SizePolicy F = SizeFixed;
    constexpr SizePolicy R = SizeResizable;
    constexpr SizePolicy E = SizeExpanding;
    const std::vector<EngineRow> rows = {
        // Evenly: the remainder to the last resizable column, else the last.
        {{50, 50, 50}, {F, F, F}, {}, 5, 200, {63, 63, 64}},
        {{50, 50, 50}, {R, F, F}, {}, 5, 200, {64, 63, 63}},
        // Factors 30 and 0, extra 101: 30 % and 70 %, rounded.
        {{10, 10}, {}, {30, 0}, 0, 121, {40, 81}},
        // Factors summing to 110 with none unset: the extra goes whole to
        // the largest factor.
        {{10, 10}, {}, {50, 60}, 0, 121, {10, 111}},
        {{10, 10, 10}, {}, {33.3f, 33.3f, 33.4f}, 0, 40, {13, 13, 14}},
        // Rounding overshoots by 1: columns narrow the largest factor,
        // rows keep the overshoot.
        {{10, 10, 10}, {}, {50, 0, 0}, 0, 32, {10, 11, 11}},
        {{10, 10, 10}, {}, {50, 0, 0}, 0, 32, {11, 11, 11}, true},
        {{10, 10}, {E, E}, {}, 0, 27, {13, 14}},
        {{10, 10, 10}, {F, E, R}, {50}, 0, 40, {10, 20, 10}},
        // No extra room: nothing changes.
        {{30, 20}, {}, {}, 0, 40, {30, 20}},
        // Twelve columns: the factor of column 11 is ignored, columns 1-11
        // share what column 0 leaves.
        {std::vector<int>(12, 10), {}, {50, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 50}, 0, 230,
         {65, 15, 15, 15, 15, 15, 15, 15, 15, 15, 15, 15}},
        // A spanning cell of 120 over 40 and 40 with spacing 5 widens the
        // span's first column when resizable, else its last.
        {{120, 40, 40}, {F, R, F}, {}, 5, 0, {75, 40}, false, {2}, 2},
        {{120, 40, 40}, {F, F, F}, {}, 5, 0, {40, 75}, false, {2}, 2},
        // A span of 0 counts as 1; a span past the row's end is clipped.
        {{10, 20, 30}, {}, {}, 0, 0, {30, 20}, false, {0, 1, 1}, 2},
        {{10, 20, 30}, {}, {}, 0, 0, {30, 20}, false, {1, 3, 1}, 2},
    };
    forEachRow(rows, [&](const EngineRow& row) { EXPECT_EQ(runEngine(row), row.expected); });
}

TEST_F(GridLayoutTest, StretchFactorsOutsideTheTenAreIgnored)
{
    HintWidget w(nullptr);
    for (int i : {-1, 10, 11}) {
        w.setColumnStretch(i, 40);
        w.setRowStretch(i, 40);
        EXPECT_EQ(w.columnStretch(i), 0.0f);
        EXPECT_EQ(w.rowStretch(i), 0.0f);
    }
    w.setColumnStretch(9, 40);
    EXPECT_EQ(w.columnStretch(9), 40.0f);
}

TEST_F(GridLayoutTest, CellsFlowIntoRowsOrColumns)
{
    for (const bool down : {false, true}) {
        HintWidget container(nullptr);
        HintWidget a(&container, {10, 10}), b(&container, {10, 10}), c(&container, {10, 10});
        container.setLayoutVertical(down);
        container.setLayoutColumns(2);
        container.setLayoutRows(2);
        UIGridLayout& layout = container.gridLayout();
        ASSERT_TRUE(layout.buildCells());
        EXPECT_EQ(layout.cell(2).row, down ? 0 : 1);
        EXPECT_EQ(layout.cell(2).column, down ? 1 : 0);
    }
}

struct PreferredRow {
    Size minimum;
    Size maximum;
    bool layoutOn;
    Size expected;
};

TEST_F(GridLayoutTest, PreferredSizeTakesHintLayoutAndBounds)
{
    // Hint (100, 20); the children need (80, 40) with margins and spacing.
    const std::vector<PreferredRow> rows = {
        {{}, {}, true, {100, 40}},
        {{}, {90, 0}, true, {90, 40}},
        {{120, 50}, {}, true, {120, 50}},
        {{120, 0}, {90, 0}, true, {90, 40}},
        {{}, {}, false, {100, 20}},
    };
    forEachRow(rows, [&](const PreferredRow& row) {
        HintWidget container(nullptr, {100, 20});
        HintWidget a(&container, {30, 30}), b(&container, {30, 20});
        container.setLayoutMargins(5, 3, 5, 7);
        container.setLayoutSpacing(10);
        container.setMinimumSize(row.minimum);
        container.setMaximumSize(row.maximum);
        container.setLayoutEnabled(row.layoutOn);
        EXPECT_EQ(container.preferredSize(), row.expected);
    });
}

TEST_F(GridLayoutTest, HiddenAndWindowChildrenTakeNoCell)
{
    HintWidget container(nullptr);
    container.setLayoutMargin(4);
    EXPECT_EQ(container.layoutSize(), Size()) << "an empty layout has no margins";
    HintWidget shown(&container, {30, 30}), hidden(&container, {50, 50});
    ProbeWidget window(&container, 0, true);
    hidden.setVisible(false);
    EXPECT_EQ(container.layoutSize(), Size(38, 38));
    EXPECT_EQ(container.gridLayout().cellCount(), 1);
}

TEST_F(GridLayoutTest, DisablingTheLayoutReachesTheSubtree)
{
    HintWidget container(nullptr);
    HintWidget inner(&container, {10, 10});
    HintWidget leaf(&inner, {30, 30});
    container.setLayoutEnabled(false);
    EXPECT_FALSE(leaf.isLayoutEnabled());
    EXPECT_EQ(inner.layoutSize(), Size());
}

TEST_F(GridLayoutTest, PlacesFixedAndResizableChildrenInTheirCells)
{
    HintWidget top(nullptr);
    top.resize(200, 100);
    HintWidget fixed(&top, {40, 20});
    HintWidget wide(&top, {40, 20}, SizeExpanding);
    top.setLayoutMargins(10, 10, 10, 10);
    top.setLayoutSpacing(6);
    fixed.updateLayout();
    // The fixed child keeps its size, left and vertically centred in a
    // cell of 40 x 80; the expanding one takes the rest.
    EXPECT_EQ(fixed.geometry(), Rect(10, 40, 40, 20));
    EXPECT_EQ(wide.geometry(), Rect(56, 10, 134, 80));
}

// Counts moves so that a test sees how often the layout placed it.
class CountingWidget : public HintWidget {
public:
    using HintWidget::HintWidget;
    int moves = 0;

protected:
    void moveEvent(UIMoveEvent*) override { ++moves; }
};

TEST_F(GridLayoutTest, ChangesWithUpdatesOffRelayoutOnce)
{
    HintWidget top(nullptr);
    top.resize(300, 100);
    HintWidget box(&top, {}, SizeExpanding);
    CountingWidget a(&box, {20, 20}), b(&box, {20, 20});
    box.updateLayout();
    a.moves = b.moves = 0;
    box.setUpdatesEnabled(false);
    box.setLayoutMargin(5);
    box.updateLayout();
    box.setLayoutSpacing(7);
    box.updateLayout();
    EXPECT_EQ(b.moves, 0);
    box.setUpdatesEnabled(true);
    EXPECT_EQ(a.moves, 1);
    EXPECT_EQ(b.moves, 1);
    // Columns share the extra room evenly: 5 + 141 + 7.
    EXPECT_EQ(b.geometry(), Rect(153, 40, 20, 20));
}

TEST_F(GridLayoutTest, AGrownWindowStillPlacesItsChildren)
{
    UIWidget window(nullptr, quickWindow);
    window.setFlag(WidgetWindow, true);
    window.setStyleName(String(L"UIWindow"));
    showAt(window, 20, 20, 50, 30);
    HintWidget a(&window, {80, 60}), b(&window, {40, 60}, SizeResizable);
    window.setLayoutSpacing(4);
    window.updateLayout();
    EXPECT_GE(window.width(), 124);
    EXPECT_GE(window.height(), 60);
    EXPECT_EQ(b.geometry().x, 84);
    EXPECT_EQ(b.geometry().height, window.height());
}

} // namespace
