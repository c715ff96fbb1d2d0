#include "ui/widgets/UIRangeControl.h"

#include <algorithm>

UIRangeControl::UIRangeControl(UIWidget* parent) : UIWidget(parent)
{
    setSizePolicy(SizeResizable, SizeFixed);
}

void UIRangeControl::setRange(int a, int b)
{
    if (a == m_minimum && b == m_maximum)
        return;
    m_minimum = std::min(a, b);
    m_maximum = std::max(a, b);
    m_sliderPosition = clamped(m_sliderPosition);
    const int old = m_value;
    setValue(old);
    if (m_value == old)
        repaint();
    rangeChanged.emit();
}

void UIRangeControl::setOrientation(Orientation orientation)
{
    if (orientation == m_orientation)
        return;
    m_orientation = orientation;
    if (isVertical())
        setSizePolicy(SizeFixed, SizeResizable);
    else
        setSizePolicy(SizeResizable, SizeFixed);
}

void UIRangeControl::setSingleStep(int step)
{
    m_singleStep = step;
}

void UIRangeControl::setPageStep(int step)
{
    if (step == m_pageStep)
        return;
    m_pageStep = step;
    repaint();
}

void UIRangeControl::setValue(int v)
{
    v = clamped(v);
    if (v == m_value)
        return;
    m_value = v;
    repaint();
    valueChanged.emit(m_value);
}

void UIRangeControl::stepBy(int steps)
{
    // In 64 bits, so a large step saturates at the bound instead of wrapping.
    const long long target = static_cast<long long>(m_value) + static_cast<long long>(m_singleStep) * steps;
    setValue(static_cast<int>(std::clamp<long long>(target, m_minimum, m_maximum)));
}

void UIRangeControl::setSliderPosition(int position)
{
    m_sliderPosition = clamped(position);
}

void UIRangeControl::applySliderPosition()
{
    setValue(clamped(m_sliderPosition));
}

void UIRangeControl::wheelEvent(UIWheelEvent* event)
{
    const int direction = event->direction();
    if (direction == WheelLeft || direction == WheelDown)
        stepBy(1);
    else if (direction == WheelRight || direction == WheelUp)
        stepBy(-1);
}

int UIRangeControl::clamped(int v) const
{
    return std::clamp(v, m_minimum, m_maximum);
}
