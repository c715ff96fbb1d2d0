#include "ui/widgets/UIRangeControl.h"

#include "tests/support/RowTable.h"
#include "tests/widgets/SignalRecorder.h"
#include "tests/widgets/StyledWidgetTest.h"

#include <climits>
#include <vector>

namespace {

// The base alone: a value per pixel along the axis.
class PlainRange : public UIRangeControl {
public:
    PlainRange() { setStyleName(L"PlainRange"); }
    int valueAt(Point p) const override { return isVertical() ? p.y : p.x; }
};

class RangeControlTest : public StyledWidgetTest {
protected:
    void SetUp() override
    {
        range.rangeChanged.connect(&ranges, &SignalRecorder::onSignal);
        range.valueChanged.connect(&values, &SignalRecorder::onValue);
    }

    PlainRange range;
    SignalRecorder ranges;
    SignalRecorder values;
};

} // namespace

TEST_F(RangeControlTest, SwappedBoundsAreStoredInOrderWithOneSignal)
{
    range.setRange(10, 0);
    EXPECT_EQ(range.minimum(), 0);
    EXPECT_EQ(range.maximum(), 10);
    EXPECT_EQ(ranges.count, 1);
    range.setRange(0, 10);
    EXPECT_EQ(ranges.count, 1);
}

TEST_F(RangeControlTest, ValueIsClampedAndSignalledOnlyWhenItMoves)
{
    range.setRange(0, 10);
    range.setValue(15);
    range.setValue(15);
    range.setValue(10);
    EXPECT_EQ(range.value(), 10);
    EXPECT_EQ(values.values, std::vector<int>{10});
}

TEST_F(RangeControlTest, NarrowingTheRangeMovesTheValueAndTheSliderPosition)
{
    range.setRange(0, 100);
    range.setValue(80);
    range.setSliderPosition(90);
    range.setRange(0, 50);
    EXPECT_EQ(range.value(), 50);
    EXPECT_EQ(range.sliderPosition(), 50);
    EXPECT_EQ(values.values, (std::vector<int>{80, 50}));
}

TEST_F(RangeControlTest, StepsSaturateAtTheBounds)
{
    struct Row {
        int step;
        int steps;
        int expected;
    };
    const Row rows[] = {{1, 1, 6}, {1, -1, 4}, {3, 2, 10}, {INT_MAX, 3, 10}, {INT_MAX, -3, -10}};
    forEachRow(rows, [&](const Row& row) {
        range.setRange(-10, 10);
        range.setValue(5);
        range.setSingleStep(row.step);
        range.stepBy(row.steps);
        EXPECT_EQ(range.value(), row.expected);
    });
}

TEST_F(RangeControlTest, WheelTowardTheUserOrLeftStepsUp)
{
    range.setRange(0, 10);
    range.setValue(5);
    const int directions[] = {WheelLeft, WheelDown, WheelRight, WheelUp};
    std::vector<int> seen;
    for (int direction : directions) {
        UIWheelEvent wheel(1, Point(), direction == WheelDown ? -120 : 120, 0, direction);
        range.event(&wheel);
        seen.push_back(range.value());
    }
    EXPECT_EQ(seen, (std::vector<int>{6, 7, 6, 5}));
}

TEST_F(RangeControlTest, OrientationSetsTheSizePolicy)
{
    range.setOrientation(Orientation::Vertical);
    EXPECT_EQ(range.sizePolicy(), (SizePolicies{SizeFixed, SizeResizable}));
    range.setOrientation(Orientation::Horizontal);
    EXPECT_EQ(range.sizePolicy(), (SizePolicies{SizeResizable, SizeFixed}));
}
