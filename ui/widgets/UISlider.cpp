#include "ui/widgets/UISlider.h"

#include "graphics/DrawingSurface.h"
#include "graphics/Graphics.h"
#include "graphics/Pen.h"
#include "ui/widgets/SkinParts.h"
#include "ui/UIStyleValues.h"

#include <algorithm>

namespace {

// Virtual-key codes.
constexpr int keyLeft = 37;
constexpr int keyUp = 38;
constexpr int keyRight = 39;
constexpr int keyDown = 40;
constexpr int keyNumpad2 = 98;
constexpr int keyNumpad4 = 100;
constexpr int keyNumpad6 = 102;
constexpr int keyNumpad8 = 104;
constexpr int keyAdd = 107;
constexpr int keySubtract = 109;
constexpr int keyPlus = 187;
constexpr int keyMinus = 189;

// Skin states.
constexpr int stateNormal = 0;
constexpr int stateHot = 1;
constexpr int statePressed = 2;
constexpr int stateDisabled = 3;

// +1, -1 or 0 for a key on a slider of that orientation.
int keyStep(int key, bool vertical)
{
    if (key == keyAdd || key == keyPlus)
        return 1;
    if (key == keySubtract || key == keyMinus)
        return -1;
    if (vertical) {
        if (key == keyUp || key == keyNumpad8)
            return 1;
        return key == keyDown || key == keyNumpad2 ? -1 : 0;
    }
    if (key == keyRight || key == keyNumpad6)
        return 1;
    return key == keyLeft || key == keyNumpad4 ? -1 : 0;
}

} // namespace

UISlider::UISlider(UIWidget* parent) : UIRangeControl(parent)
{
    setFlag(WidgetHoverTracking, true);
    setFlag(WidgetSeeThrough, true);
    setFocusPolicy(ClickFocus);
    setStyleName(L"UISlider");
}

UISlider::~UISlider()
{
    killTimer(sliderRepeatTimerId);
}

// ---- Geometry ----

float UISlider::handleRatio() const
{
    const std::int64_t length = std::int64_t(maximum()) - minimum();
    if (length <= 0)
        return 0.0f;
    return std::clamp(float(std::int64_t(value()) - minimum()) / float(length), 0.0f, 1.0f);
}

std::int64_t UISlider::stepCount() const
{
    if (singleStep() < 1)
        return 0;
    return (std::int64_t(maximum()) - minimum()) / singleStep();
}

Rect UISlider::handleRect() const
{
    if (isVertical())
        return Rect();
    const Size handle = m_style.handleHorizontalSize;
    const int x = int(float(width() - handle.width) * handleRatio());
    return Rect(x, (height() - handle.height) / 2, handle.width, handle.height);
}

Size UISlider::sizeHint() const
{
    if (isVertical())
        return {m_style.handleVerticalSize.width, 100};
    return {100, m_style.handleHorizontalSize.height};
}

int UISlider::valueAt(Point p) const
{
    const std::int64_t length = std::int64_t(maximum()) - minimum();
    if (length <= 0)
        return minimum();
    const int half = toNearestInt(m_style.handleHorizontalSize.width * 0.5f);
    const std::int64_t span = std::max(width() - 2 * half, 0);
    const std::int64_t offset = span > 0 ? std::clamp(p.x, half, width() - half) - half : 0;
    // min + round(length x offset / span), halves away from zero, in whole
    // numbers so that no rounding of the ratio moves a tie.
    const std::int64_t v =
        span > 0 ? std::clamp<std::int64_t>(minimum() + (2 * length * offset + span) / (2 * span), minimum(), maximum())
                 : minimum();
    if (stepCount() == 0)
        return int(v);
    const std::int64_t step = singleStep();
    // The multiple at or below v: a remainder taken with v's sign would
    // round a negative v up, and skip the nearer multiple below it.
    const std::int64_t lower = std::clamp<std::int64_t>(v - ((v % step) + step) % step, minimum(), maximum());
    const std::int64_t upper = std::min<std::int64_t>(lower + step, maximum());
    // Pixel positions are (candidate - minimum) x span / length; compared
    // after multiplying by length, so the tie of the two distances is exact.
    const std::int64_t below = offset * length - (lower - minimum()) * span;
    const std::int64_t above = (upper - minimum()) * span - offset * length;
    return int(below < above ? lower : upper);
}

// ---- Style ----

void UISlider::setStyleProperty(const String& name, const String& value)
{
    if (name == L"thickColor")
        m_style.thickColor = parseColourValue(value);
    else if (name == L"thickLength")
        m_style.thickLength = parseIntValue(value);
    else if (name == L"trackThickness")
        m_style.trackThickness = parseIntValue(value);
    else if (name == L"handleHorizontalSize")
        m_style.handleHorizontalSize = parseSizeValue(value);
    else if (name == L"handleVerticalSize")
        m_style.handleVerticalSize = parseSizeValue(value);
}

void UISlider::setStyleImage(const String& skinName, UISkin* skin)
{
    static const SkinPart<Style> parts[] = {
        {L"UISlider_HandleLeft", &Style::handleLeft},
        {L"UISlider_HandleLeftAndRight", &Style::handleLeftAndRight},
        {L"UISlider_HandleRight", &Style::handleRight},
        {L"UISlider_HandleTop", &Style::handleTop},
        {L"UISlider_HandleTopAndBottom", &Style::handleTopAndBottom},
        {L"UISlider_HandleBottom", &Style::handleBottom},
        {L"UISlider_Handle", &Style::handle},
        {L"UISlider_HorizontalBackground", &Style::horizontalBackground},
        {L"UISlider_VerticalBackground", &Style::verticalBackground},
        {L"UISlider_VerticalThick", &Style::verticalThick},
        {L"UISlider_HorizontalThick", &Style::horizontalThick},
    };
    takeSkinPart<Style>(parts, m_style, skinName, *skin);
}

// ---- Painting ----

int UISlider::paintState() const
{
    if (!isEnabled())
        return stateDisabled;
    if (isPressed() && isUnderMouse())
        return statePressed;
    return isPressed() || isUnderMouse() ? stateHot : stateNormal;
}

const UISkin& UISlider::handleSkin() const
{
    const bool vertical = isVertical();
    switch (m_tickMode) {
    case SliderTickMode::BothSides:
        return vertical ? m_style.handleLeftAndRight : m_style.handleTopAndBottom;
    case SliderTickMode::Before:
        return vertical ? m_style.handleLeft : m_style.handleTop;
    case SliderTickMode::After:
        return vertical ? m_style.handleRight : m_style.handleBottom;
    default:
        return m_style.handle;
    }
}

void UISlider::paintEvent(UIPaintEvent*)
{
    Graphics g(backBuffer());
    const int state = paintState();
    if (!isVertical()) {
        const Rect track = rect().alignedRect(width(), m_style.trackThickness, AlignCenter);
        m_style.horizontalBackground.drawNineSlice(g, track, state, SkinAllRegions);
    }
    paintTicks(g);
    handleSkin().drawNineSlice(g, handleRect(), state, SkinAllRegions);
}

void UISlider::paintTicks(Graphics& g)
{
    const bool below = m_tickMode == SliderTickMode::BothSides || m_tickMode == SliderTickMode::After;
    const std::int64_t n = stepCount();
    const int handleWidth = m_style.handleHorizontalSize.width;
    // Marks closer than a pixel would only repaint the same columns, as
    // often as the range holds steps.
    if (isVertical() || !below || n == 0 || n > width() - handleWidth)
        return;
    g.setPen(Pen(m_style.thickColor));
    const int y = height() - m_style.thickLength - 1;
    for (std::int64_t i = 0; i <= n; ++i) {
        const float x = float(handleWidth) / 2 + float(i) * float(width() - handleWidth) / float(n);
        m_style.verticalThick.drawAt(g, Point{toNearestInt(x) - 1, y}, stateNormal, SkinAllRegions);
    }
}

// ---- Input ----

int UISlider::stepTowards(int x) const
{
    const std::int64_t n = stepCount();
    if (n == 0)
        return 0;
    const int half = int((width() - m_style.handleHorizontalSize.width) / n / 2);
    const int centre = handleRect().center().x;
    if (x < centre - half)
        return value() > minimum() ? -1 : 0;
    if (x > centre + half)
        return value() < maximum() ? 1 : 0;
    return 0;
}

void UISlider::keyPressEvent(UIKeyEvent* event)
{
    const int step = keyStep(event->key(), isVertical());
    if (step == 0)
        return;
    stepBy(step);
    event->accept();
}

void UISlider::mousePressEvent(UIMouseEvent* event)
{
    if (event->button() == RightButton) {
        applySliderPosition();
        return;
    }
    if (event->button() != LeftButton)
        return;
    if (event->modifiers().testFlag(ShiftModifier)) {
        setValue(valueAt(event->position()));
        return;
    }
    if (isVertical())
        return;
    if (handleRect().contains(event->position())) {
        m_dragging = true;
        return;
    }
    const int step = stepTowards(event->x());
    if (step == 0)
        return;
    stepBy(step);
    startTimer(sliderRepeatTimerId, sliderRepeatInterval);
}

void UISlider::customEvent(UICustomEvent* event)
{
    if (event->code() != sliderRepeatTimerId)
        return;
    if (!isPressed()) {
        killTimer(sliderRepeatTimerId);
        return;
    }
    if (!isUnderMouse() || isVertical())
        return;
    const int step = stepTowards(mapFromGlobal(cursorPosition()).x);
    if (step != 0)
        stepBy(step);
}

void UISlider::mouseMoveEvent(UIMouseEvent* event)
{
    if (isPressed() && m_dragging)
        setValue(valueAt(event->position()));
}

void UISlider::mouseReleaseEvent(UIMouseEvent*)
{
    killTimer(sliderRepeatTimerId);
    m_dragging = false;
    repaint();
}

void UISlider::enterEvent(UIMouseEvent*)
{
    repaint();
}

void UISlider::leaveEvent(UIMouseEvent*)
{
    repaint();
}
