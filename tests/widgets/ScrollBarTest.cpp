#include "ui/widgets/UIRangeControl.h"
#include "ui/widgets/UIScrollBar.h"

#include "graphics/DrawingSurface.h"

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

namespace {

// A bar whose auto-repeat reads a pointer the test places.
class PointerScrollBar : public UIScrollBar {
public:
    using UIScrollBar::UIScrollBar;
    Point pointer;

protected:
    Point pointerPosition() const override { return pointer; }
};

// A 100-pixel vertical bar (thickness 16 and thumb minimum 20 from the
// style) in a hidden window; ticks are sent by hand.
class ScrollBarTest : public StyledWidgetTest {
protected:
    void SetUp() override
    {
        window.setLayoutEnabled(false);
        bar = new PointerScrollBar(&window);
        bar->setOrientation(Orientation::Vertical);
        bar->setGeometry(0, 0, 16, 100);
        bar->show();
        bar->setDocumentLength(400);
        bar->setRange(0, 1000);
        bar->setPageStep(100);
    }
    void TearDown() override
    {
        if (bar->isPressed())
            send(MouseReleaseEventType, Point{});
        StyledWidgetTest::TearDown();
    }

    void send(int type, Point p, KeyboardModifiers modifiers = NoModifier)
    {
        UIMouseEvent e(type, p, type == MouseMoveEventType ? NoButton : LeftButton, LeftButton, modifiers);
        bar->event(&e);
    }
    void tick() { bar->timerEvent(UIScrollBar::autoRepeatTimerId); }

    RecordingWidget window{nullptr, Colour(255, 255, 255), quickWindow};
    PointerScrollBar* bar = nullptr;
};

} // namespace

TEST_F(ScrollBarTest, StyleGivesThicknessAndThumbMinimum)
{
    EXPECT_EQ(bar->thickness(), 16);
    EXPECT_EQ(bar->thumbMinimumLength(), 20);
    EXPECT_EQ(bar->sizeHint(), (Size{16, 52}));
}

TEST_F(ScrollBarTest, ThumbIsTheVisibleShareOfTheTrackInBothOrientations)
{
    struct Row {
        int document;
        int expected;
    };
    // Track 68: a quarter (17) is below the minimum; the whole document fills it.
    const Row rows[] = {{400, 20}, {100, 68}, {200, 34}, {50, 68}};
    forEachRow(rows, [&](const Row& row) {
        bar->setDocumentLength(row.document);
        bar->setOrientation(Orientation::Vertical);
        bar->setGeometry(0, 0, 16, 100);
        EXPECT_EQ(bar->thumbLength(), row.expected);
        bar->setOrientation(Orientation::Horizontal);
        bar->setGeometry(0, 0, 100, 16);
        EXPECT_EQ(bar->thumbLength(), row.expected);
    });
}

// Whatever the thumb's length, at the minimum it starts where the first
// arrow ends and at the maximum it ends where the second arrow starts.
TEST_F(ScrollBarTest, ThumbAtEitherEndTouchesItsArrowWithoutOverlap)
{
    struct Row {
        Orientation orientation;
        int document;
        int maximum;
    };
    const Row rows[] = {
        {Orientation::Vertical, 400, 1000},   {Orientation::Vertical, 150, 7},   {Orientation::Vertical, 101, 1},
        {Orientation::Horizontal, 400, 1000}, {Orientation::Horizontal, 150, 7}, {Orientation::Horizontal, 3000, 99},
    };
    forEachRow(rows, [&](const Row& row) {
        const bool vertical = row.orientation == Orientation::Vertical;
        bar->setOrientation(row.orientation);
        bar->setGeometry(0, 0, vertical ? 16 : 100, vertical ? 100 : 16);
        bar->setDocumentLength(row.document);
        bar->setRange(0, row.maximum);
        // Each arrow is as long as the bar is thick.
        const int firstArrowEnd = bar->thickness();
        const int secondArrowStart = 100 - bar->thickness();
        const auto start = [&](const Rect& r) { return vertical ? r.y : r.x; };
        const auto end = [&](const Rect& r) { return vertical ? r.y + r.height : r.x + r.width; };
        bar->setValue(0);
        EXPECT_EQ(start(bar->thumbRect()), firstArrowEnd);
        bar->setValue(row.maximum);
        EXPECT_EQ(end(bar->thumbRect()), secondArrowStart);
    });
}

TEST_F(ScrollBarTest, ValueAtMapsTheThumbCentreInSinglePrecision)
{
    struct Row {
        int maximum;
        int y;
        int expected;
    };
    // Thumb 20 between the arrows leaves 48 pixels of travel from y = 26.
    const Row rows[] = {
        {1000, 26, 0},  {1000, 50, 500},  {1000, 51, 521},  {1000, 74, 1000},
        {1000, 0, 0},   {1000, 99, 1000}, {16777217, 26, 0},
        // 2^24 + 1 has no float: the far end reads 2^24.
        {16777217, 74, 16777216},
    };
    forEachRow(rows, [&](const Row& row) {
        bar->setRange(0, row.maximum);
        EXPECT_EQ(bar->valueAt({8, row.y}), row.expected);
    });
}

// The thumb filling the track left 0 to divide by, and NaN met an int conversion.
TEST_F(ScrollBarTest, ValueAtIsTheMinimumWhenTheThumbCannotMove)
{
    bar->setDocumentLength(100);
    EXPECT_EQ(bar->valueAt({8, 60}), 0);
    bar->setDocumentLength(400);
    bar->setRange(0, 0);
    EXPECT_EQ(bar->valueAt({8, 60}), 0);
}

TEST_F(ScrollBarTest, TrackClickPagesOnceAndShiftClickJumps)
{
    send(MousePressEventType, {8, 80});
    EXPECT_EQ(bar->value(), 100);
    EXPECT_FALSE(bar->isTimerActive(UIScrollBar::autoRepeatTimerId));
    send(MouseReleaseEventType, {8, 80});

    send(MousePressEventType, {8, 50}, ShiftModifier);
    EXPECT_EQ(bar->value(), 500);
    send(MouseReleaseEventType, {8, 50});
    send(MousePressEventType, {8, 20});
    EXPECT_EQ(bar->value(), 400);
}

// value + page step wrapped past INT_MAX and jumped the thumb to the start.
TEST_F(ScrollBarTest, PagingNearTheIntLimitStopsAtTheMaximum)
{
    bar->setRange(0, INT_MAX);
    bar->setPageStep(INT_MAX);
    bar->setValue(INT_MAX - 10);
    send(MousePressEventType, {8, 20});
    send(MouseReleaseEventType, {8, 20});
    EXPECT_EQ(bar->value(), 0);
    bar->setValue(10);
    send(MousePressEventType, {8, 95 - 16});
    EXPECT_EQ(bar->value(), INT_MAX);
}

TEST_F(ScrollBarTest, DraggingTheThumbKeepsTheGrabPoint)
{
    const Rect thumb = bar->thumbRect();
    send(MousePressEventType, {8, thumb.y + 3});
    EXPECT_TRUE(bar->isDraggingThumb());
    send(MouseMoveEventType, {8, thumb.y + 3 + 24});
    EXPECT_EQ(bar->value(), 500);
    send(MouseMoveEventType, {8, 99});
    EXPECT_EQ(bar->value(), 1000);
    send(MouseReleaseEventType, {8, 99});
    EXPECT_FALSE(bar->isDraggingThumb());
}

TEST_F(ScrollBarTest, ArrowRepeatSpeedsUpOnceThePointerLeavesTheArrow)
{
    bar->setValue(500);
    send(MousePressEventType, {8, 8});
    EXPECT_TRUE(bar->isTimerActive(UIScrollBar::autoRepeatTimerId));
    EXPECT_EQ(bar->value(), 500);
    const Point centre = bar->mapToGlobal({8, 8});
    struct Row {
        int offset;
        int step;
    };
    // Along the axis from the arrow's centre; the arrow reaches 8 either way.
    const Row rows[] = {{0, -3}, {7, -3}, {9, 4}, {40, 8}, {100, 17}, {-9, -4}, {-40, -8}};
    forEachRow(rows, [&](const Row& row) {
        bar->pointer = {centre.x, centre.y + row.offset};
        const int before = bar->value();
        tick();
        EXPECT_EQ(bar->value() - before, row.step);
    });
    send(MouseReleaseEventType, {8, 8});
    EXPECT_FALSE(bar->isTimerActive(UIScrollBar::autoRepeatTimerId));
    EXPECT_FALSE(bar->isAutoRepeating());
}

TEST_F(ScrollBarTest, SecondArrowStepsUpWhileHeld)
{
    send(MousePressEventType, {8, 95});
    bar->pointer = bar->mapToGlobal({8, 92});
    tick();
    tick();
    EXPECT_EQ(bar->value(), 6);
}

TEST_F(ScrollBarTest, ThumbIsDrawnOnlyWithSomethingToScroll)
{
    RecordingWidget shownWindow(nullptr, Colour(255, 255, 255), quickWindow);
    shownWindow.setLayoutEnabled(false);
    auto* shownBar = new UIScrollBar(&shownWindow);
    shownBar->setOrientation(Orientation::Vertical);
    shownBar->setGeometry(10, 10, 16, 100);
    shownBar->setDocumentLength(400);
    shownBar->show();
    showAt(shownWindow, 40, 40, 60, 140);
    const Colour track(240, 241, 243);
    struct Row {
        int maximum;
        bool thumbDrawn;
    };
    const Row rows[] = {{1000, true}, {0, false}, {1, true}};
    forEachRow(rows, [&](const Row& row) {
        shownBar->setRange(0, row.maximum);
        shownBar->repaint();
        // Where the thumb starts at value 0, a few pixels in.
        const Colour pixel = shownWindow.windowSurface()->toBitmap(false).pixel(10 + 8, 10 + 16 + 4);
        EXPECT_EQ(pixel != track, row.thumbDrawn);
    });
}
