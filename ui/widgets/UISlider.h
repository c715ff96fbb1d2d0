#pragma once

// UISlider: picks an integer of its range by dragging a handle along a
// track, by pressing beside the handle (one single step, repeated while the
// button is held), by the arrow and plus/minus keys, by a Shift+press that
// jumps to the pointer, or by a right press that applies the stored slider
// position. Pointer positions snap to the nearest multiple of the single
// step; tick marks can show the steps. The horizontal slider is the one
// drawn and operated by the pointer; a vertical one takes keys only.

#include "graphics/Colour.h"
#include "ui/UISkin.h"
#include "ui/widgets/UIRangeControl.h"

#include <cstdint>

class Graphics;

// Where a slider shows its tick marks.
enum class SliderTickMode : int {
    None = 0,
    BothSides = 1,
    // Above a horizontal slider, left of a vertical one.
    Before = 2,
    // Below a horizontal slider, right of a vertical one.
    After = 3,
};

// The repetition of presses beside the handle.
constexpr int sliderRepeatTimerId = 200000;
constexpr int sliderRepeatInterval = 300;

class UISlider : public UIRangeControl {
public:
    explicit UISlider(UIWidget* parent);
    ~UISlider() override;

    // Read at the next paint.
    void setTickMode(SliderTickMode mode) { m_tickMode = mode; }
    SliderTickMode tickMode() const { return m_tickMode; }

    // The value under the point, snapped to the nearer single-step
    // multiple (a tie goes to the upper one); the minimum for an empty
    // range, unsnapped when the step is below 1 or longer than the range.
    int valueAt(Point p) const override;
    // Where the handle is for the current value and size.
    Rect handleRect() const;

    Size sizeHint() const override;
    void setStyleProperty(const String& name, const String& value) override;
    void setStyleImage(const String& skinName, UISkin* skin) override;

protected:
    void paintEvent(UIPaintEvent* event) override;
    void keyPressEvent(UIKeyEvent* event) override;
    void mousePressEvent(UIMouseEvent* event) override;
    void mouseReleaseEvent(UIMouseEvent* event) override;
    void mouseMoveEvent(UIMouseEvent* event) override;
    void enterEvent(UIMouseEvent* event) override;
    void leaveEvent(UIMouseEvent* event) override;
    void customEvent(UICustomEvent* event) override;

private:
    struct Style {
        Colour thickColor;
        int thickLength = 0;
        int trackThickness = 0;
        Size handleHorizontalSize;
        Size handleVerticalSize;
        UISkin handleLeft;
        UISkin handleLeftAndRight;
        UISkin handleRight;
        UISkin handleTop;
        UISkin handleTopAndBottom;
        UISkin handleBottom;
        UISkin handle;
        UISkin horizontalBackground;
        UISkin verticalBackground;
        UISkin verticalThick;
        UISkin horizontalThick;
    };

    // (value - minimum) / range length in 0..1; 0 for an empty range.
    float handleRatio() const;
    // The number of single steps the range holds; 0 when the step is below
    // 1 or longer than the range, which leaves no ticks and no stepping
    // beside the handle.
    std::int64_t stepCount() const;
    int paintState() const;
    void paintTicks(Graphics& g);
    const UISkin& handleSkin() const;
    // The step a press at x beside the handle makes: -1, +1, or 0 within
    // the handle's reach or at the end of the range.
    int stepTowards(int x) const;

    Style m_style;
    SliderTickMode m_tickMode = SliderTickMode::None;
    bool m_dragging = false;
};
