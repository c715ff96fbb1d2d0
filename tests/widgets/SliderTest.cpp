#include "graphics/DrawingSurface.h"
#include "ui/widgets/UISlider.h"

#include "tests/support/RowTable.h"
#include "tests/ui/WidgetTestKit.h"
#include "tests/widgets/StyledWidgetTest.h"

#include <memory>

namespace {

// A 200 x 30 slider with a 20-pixel handle over 0..50 in steps of 10.
class SliderTest : public StyledWidgetTest {
protected:
    void SetUp() override
    {
        window = std::make_unique<RecordingWidget>(nullptr, Colour(255, 255, 255), quickWindow);
        showAt(*window, 60, 60, 240, 60);
        slider = new UISlider(window.get());
        slider->setStyleProperty(L"handleHorizontalSize", L"20,20");
        slider->setGeometry(0, 0, 200, 30);
        slider->show();
        configure(0, 50, 10);
    }

    void configure(int minimum, int maximum, int step)
    {
        slider->setRange(minimum, maximum);
        slider->setSingleStep(step);
    }
    void press(int x, int button = LeftButton, std::uint32_t modifiers = 0)
    {
        send(*slider, UIMouseEvent(MousePressEventType, {x, 15}, button, button, modifiers));
    }
    void release(int x, int button = LeftButton) { send(*slider, mouseEvent(MouseReleaseEventType, {x, 15}, button)); }
    bool repeating() const { return slider->isTimerActive(sliderRepeatTimerId); }

    std::unique_ptr<RecordingWidget> window;
    UISlider* slider = nullptr;
};

TEST_F(SliderTest, ValueAtSnapsToTheNearerStep)
{
    struct Row {
        int minimum;
        int maximum;
        int x;
        int expected;
    };
    // At x = 64 the offset is 54 of 180: 15, as far from 10 as from 20.
    const Row rows[] = {{0, 50, 64, 20},  {0, 50, 63, 10},   {0, 50, -5, 0},     {0, 50, 500, 50},
                        {0, 50, 190, 50}, {0, 45, 190, 45},  {-50, 0, 64, -30},
                        // v = -36 used to snap up to -30 although -40 is nearer.
                        {-50, 0, 60, -40}};
    forEachRow(rows, [&](const Row& row) {
        configure(row.minimum, row.maximum, 10);
        EXPECT_EQ(slider->valueAt({row.x, 15}), row.expected);
    });
}

TEST_F(SliderTest, PressBesideTheHandleStepsOnlyBeyondItsReach)
{
    struct Row {
        int x;
        int value;
        bool repeats;
    };
    // Value 20 puts the handle at 72..92, centre 82; its reach is 180 / 5 / 2.
    const Row rows[] = {{64, 20, false}, {100, 20, false}, {63, 10, true}, {101, 30, true}, {85, 20, false}};
    forEachRow(rows, [&](const Row& row) {
        slider->setValue(20);
        press(row.x);
        EXPECT_EQ(slider->value(), row.value);
        EXPECT_EQ(repeating(), row.repeats);
        release(row.x);
        EXPECT_FALSE(repeating());
    });
}

TEST_F(SliderTest, DraggingTheHandleFollowsThePointerBySteps)
{
    slider->setValue(20);
    press(82);
    send(*slider, mouseEvent(MouseMoveEventType, {150, 15}));
    EXPECT_EQ(slider->value(), 40);
    release(150);
    send(*slider, mouseEvent(MouseMoveEventType, {10, 15}, NoButton));
    EXPECT_EQ(slider->value(), 40);
}

TEST_F(SliderTest, ShiftJumpsAndRightPressAppliesTheStoredPosition)
{
    press(150, LeftButton, ShiftModifier);
    EXPECT_EQ(slider->value(), 40);
    slider->setSliderPosition(10);
    press(150, RightButton);
    EXPECT_EQ(slider->value(), 10);
    EXPECT_FALSE(repeating());
}

TEST_F(SliderTest, EmptyRangeOrOverlongStepDividesByNothing)
{
    struct Row {
        int maximum;
        int step;
        int shiftValue;
    };
    // A fresh 0..0 slider, and a step longer than the range, used to divide
    // by zero in painting ticks, snapping and pressing beside the handle.
    const Row rows[] = {{0, 1, 0}, {5, 10, 5}, {50, 0, 50}};
    forEachRow(rows, [&](const Row& row) {
        UISlider fresh(window.get());
        fresh.setStyleProperty(L"handleHorizontalSize", L"20,20");
        fresh.setGeometry(0, 0, 200, 30);
        fresh.setTickMode(SliderTickMode::BothSides);
        fresh.setRange(0, row.maximum);
        fresh.setSingleStep(row.step);
        fresh.show();
        fresh.repaint();
        for (int x : {5, 150}) {
            send(fresh, mouseEvent(MousePressEventType, {x, 15}));
            EXPECT_EQ(fresh.value(), 0);
            EXPECT_FALSE(fresh.isTimerActive(sliderRepeatTimerId));
            send(fresh, mouseEvent(MouseReleaseEventType, {x, 15}));
        }
        send(fresh, UIMouseEvent(MousePressEventType, {190, 15}, LeftButton, LeftButton, ShiftModifier));
        EXPECT_EQ(fresh.value(), row.shiftValue);
    });
}

TEST_F(SliderTest, MarksCloserThanAPixelAreLeftOut)
{
    // Painting used to draw one mark per step: two billion for this range.
    configure(0, 2000000000, 1);
    slider->setTickMode(SliderTickMode::After);
    slider->repaint();
    configure(0, 50, 10);
    slider->repaint();
    const Bitmap marked = slider->backBuffer()->toBitmap(false);
    configure(0, 2000000000, 1);
    slider->repaint();
    const Bitmap unmarked = slider->backBuffer()->toBitmap(false);
    // The last mark lies under the right end's handle centre; the fourth
    // mark (x = 118) is clear of the handle at the left end.
    EXPECT_NE(marked.pixel(117, 27), unmarked.pixel(117, 27));
}

TEST_F(SliderTest, KeysStepAlongTheOrientation)
{
    struct Row {
        Orientation orientation;
        int key;
        int value;
    };
    const Row rows[] = {{Orientation::Horizontal, 39, 30}, {Orientation::Horizontal, 37, 10},
                        {Orientation::Horizontal, 107, 30}, {Orientation::Horizontal, 189, 10},
                        {Orientation::Horizontal, 38, 20},  {Orientation::Vertical, 38, 30},
                        {Orientation::Vertical, 98, 10},    {Orientation::Vertical, 39, 20}};
    forEachRow(rows, [&](const Row& row) {
        slider->setOrientation(row.orientation);
        slider->setValue(20);
        send(*slider, keyEvent(KeyPressEventType, row.key));
        EXPECT_EQ(slider->value(), row.value);
    });
}

} // namespace
