#pragma once

#include "foundation/Signal.h"
#include "ui/UIWidget.h"
#include "ui/widgets/Orientation.h"

#include <climits>

// The base of widgets that pick an integer in a range (the scroll bar, the
// slider): minimum <= value <= maximum holds after every operation, and
// every change of the range or the value is signalled once.
class UIRangeControl : public UIWidget {
public:
    explicit UIRangeControl(UIWidget* parent = nullptr);

    // Stores the smaller bound as the minimum, re-clamps the value and the
    // slider position, then emits rangeChanged; nothing when unchanged.
    virtual void setRange(int minimum, int maximum);
    // The value a point of the widget stands for.
    virtual int valueAt(Point p) const = 0;

    // No argument.
    Signal rangeChanged;
    // The new value (int).
    Signal valueChanged;

    void setOrientation(Orientation orientation);
    Orientation orientation() const { return m_orientation; }
    bool isVertical() const { return m_orientation == Orientation::Vertical; }

    void setSingleStep(int step);
    int singleStep() const { return m_singleStep; }
    // Repaints when it changes.
    void setPageStep(int step);
    int pageStep() const { return m_pageStep; }

    void setMinimum(int minimum) { setRange(minimum, m_maximum); }
    void setMaximum(int maximum) { setRange(m_minimum, maximum); }
    int minimum() const { return m_minimum; }
    int maximum() const { return m_maximum; }
    int rangeLength() const { return m_maximum - m_minimum; }
    int value() const { return m_value; }

    // Clamped into the range; repaints and emits valueChanged when it moves.
    void setValue(int value);
    void setToMinimum() { setValue(m_minimum); }
    void setToMaximum() { setValue(m_maximum); }
    void setToMiddle() { setValue(m_minimum + (m_maximum - m_minimum) / 2); }
    // value + singleStep x steps.
    void stepBy(int steps);
    void stepUp() { stepBy(1); }
    void stepDown() { stepBy(-1); }

    // A pending position kept inside the range, without a signal, until
    // applySliderPosition makes it the value.
    void setSliderPosition(int position);
    int sliderPosition() const { return m_sliderPosition; }
    void applySliderPosition();

protected:
    void wheelEvent(UIWheelEvent* event) override;

private:
    int clamped(int v) const;

    Orientation m_orientation = Orientation::Horizontal;
    int m_singleStep = 1;
    int m_pageStep = 1;
    int m_minimum = 0;
    int m_maximum = 0;
    int m_value = 0;
    int m_sliderPosition = INT_MIN;
};
