#include "ui/widgets/UIScrollBar.h"

#include "graphics/DrawingSurface.h"
#include "graphics/Graphics.h"
#include "ui/UIStyleValues.h"

#include <algorithm>
#include <iterator>

namespace {

// Skin part names, in the order of UIScrollBar::Part.
const wchar_t* const skinNames[] = {
    L"UIScrollBar_HorizontalBackground",
    L"UIScrollBar_LeftArrowBackground",
    L"UIScrollBar_RightArrowBackground",
    L"UIScrollBar_HorizontalThumbBackground",
    L"UIScrollBar_HorizontalThumbGripper",
    L"UIScrollBar_VerticalBackground",
    L"UIScrollBar_TopArrowBackground",
    L"UIScrollBar_BottomArrowBackground",
    L"UIScrollBar_VerticalThumbBackground",
    L"UIScrollBar_VerticalThumbGripper",
    L"UIScrollBar_ArrowLeft",
    L"UIScrollBar_ArrowRight",
    L"UIScrollBar_ArrowUp",
    L"UIScrollBar_ArrowDown",
};

enum SkinState : int { StateNormal = 0, StateHover = 1, StatePressed = 2, StateDisabled = 3 };

} // namespace

UIScrollBar::UIScrollBar(UIWidget* parent) : UIRangeControl(parent)
{
    static_assert(std::size(skinNames) == PartCount);
    setStyleName(L"UIScrollBar");
    setFlag(WidgetSeeThrough, false);
    setFlag(WidgetHoverTracking, true);
    setFocusPolicy(ClickFocus);
}

UIScrollBar::~UIScrollBar()
{
    killTimer(autoRepeatTimerId);
}

void UIScrollBar::setStyleProperty(const String& name, const String& value)
{
    if (name == L"background")
        m_style.background = parseBrushValue(value);
    else if (name == L"thickness")
        m_style.thickness = parseIntValue(value);
    else if (name == L"thumbMinimumLength")
        m_style.thumbMinimumLength = parseIntValue(value);
}

void UIScrollBar::setStyleImage(const String& skinName, UISkin* skin)
{
    for (int i = 0; i < PartCount; ++i) {
        if (skinName == skinNames[i]) {
            m_style.skins[i] = *skin;
            return;
        }
    }
}

Size UIScrollBar::sizeHint() const
{
    const int along = m_style.thumbMinimumLength + 2 * arrowLength();
    return isVertical() ? Size{m_style.thickness, along} : Size{along, m_style.thickness};
}

void UIScrollBar::setDocumentLength(int length)
{
    if (length < 1 || length == m_documentLength)
        return;
    m_documentLength = length;
    repaint();
}

void UIScrollBar::setArrowsVisible(bool visible)
{
    if (visible == m_arrowsVisible)
        return;
    m_arrowsVisible = visible;
    repaint();
}

int UIScrollBar::length() const
{
    return isVertical() ? height() : width();
}

int UIScrollBar::along(Point p) const
{
    return isVertical() ? p.y : p.x;
}

int UIScrollBar::arrowLength() const
{
    return m_arrowsVisible ? m_style.thickness : 0;
}

int UIScrollBar::thumbLength() const
{
    const int minimum = m_style.thumbMinimumLength;
    const int track = std::max(length() - 2 * arrowLength(), minimum);
    const double ratio = std::min(double(length()) / m_documentLength, 1.0);
    return std::max(toNearestInt(track * ratio), minimum);
}

int UIScrollBar::thumbPosition(int thumbLength) const
{
    const long long room = length() - 2 * arrowLength() - thumbLength;
    return static_cast<int>(room * value() / maximum()) + arrowLength();
}

Rect UIScrollBar::thumbRect() const
{
    const Size hint = sizeHint();
    if (maximum() <= 0 || width() < hint.width || height() < hint.height)
        return Rect();
    const int thumb = thumbLength();
    const int position = thumbPosition(thumb);
    return isVertical() ? Rect(0, position, width(), thumb) : Rect(position, 0, thumb, height());
}

int UIScrollBar::valueAt(Point p) const
{
    const float a = float(arrowLength());
    const float t = float(thumbLength());
    const float room = float(length()) - 2.0f * a - t;
    // A full-length thumb leaves no room to divide by.
    if (room <= 0.0f || maximum() <= 0)
        return minimum();
    const float percent = (float(along(p)) - a - t * 0.5f) * 100.0f / room;
    const float result = float(maximum()) * percent / 100.0f;
    // Compared in double, so that no float beyond the int range is converted.
    if (double(result) >= double(maximum()))
        return maximum();
    if (double(result) <= double(minimum()))
        return minimum();
    return std::clamp(toNearestInt(result), minimum(), maximum());
}

Rect UIScrollBar::firstArrowRect() const
{
    const int a = arrowLength();
    return Rect(0, 0, a, a);
}

Rect UIScrollBar::secondArrowRect() const
{
    const int a = arrowLength();
    return isVertical() ? Rect(0, height() - a, a, a) : Rect(width() - a, 0, a, a);
}

// ---- Auto-repeat ----

void UIScrollBar::startAutoRepeat()
{
    m_autoRepeating = true;
    startTimer(autoRepeatTimerId, autoRepeatInterval);
}

void UIScrollBar::stopAutoRepeat()
{
    killTimer(autoRepeatTimerId);
    m_autoRepeating = false;
    m_dragOffset = 0;
}

Point UIScrollBar::pointerPosition() const
{
    return cursorPosition();
}

void UIScrollBar::customEvent(UICustomEvent* event)
{
    if (event->code() != autoRepeatTimerId)
        return;
    event->accept();
    repeatStep();
}

void UIScrollBar::repeatStep()
{
    const Point pointer = pointerPosition();
    if (m_repeatArrowRect.contains(pointer)) {
        setValue(m_repeatDecrement ? value() - m_arrowStep : value() + m_arrowStep);
        return;
    }
    // Off the arrow the pointer's side picks the direction, and every pixel
    // of distance adds to the speed.
    const int p = along(pointer);
    const int c = along(m_repeatArrowRect.center());
    const int e = (isVertical() ? m_repeatArrowRect.height : m_repeatArrowRect.width) / 2;
    int step;
    if (p <= c)
        step = std::min(toNearestInt(float(p - (c - e)) * m_acceleration), -1) - m_arrowStep;
    else
        step = std::max(toNearestInt(float(p - (c + e)) * m_acceleration), 1) + m_arrowStep;
    setValue(static_cast<int>(std::clamp<long long>(static_cast<long long>(value()) + step, minimum(), maximum())));
}

// ---- Mouse ----

void UIScrollBar::mousePressEvent(UIMouseEvent* event)
{
    if (event->button() != LeftButton)
        return;
    m_dragOffset = 0;
    const Rect thumb = thumbRect();
    if (thumb.contains(event->position())) {
        m_dragOffset = along(event->position()) - thumbLength() / 2 - along(thumb.topLeft());
        m_draggingThumb = true;
        repaint();
        return;
    }
    if (firstArrowRect().contains(event->position())) {
        pressArrow(firstArrowRect(), true);
        return;
    }
    if (secondArrowRect().contains(event->position())) {
        pressArrow(secondArrowRect(), false);
        return;
    }
    pressTrack(event);
}

void UIScrollBar::pressArrow(const Rect& arrow, bool decrement)
{
    m_repeatDecrement = decrement;
    const Point global = mapToGlobal(arrow.topLeft());
    m_repeatArrowRect = Rect(global.x, global.y, arrow.width, arrow.height);
    startAutoRepeat();
}

void UIScrollBar::pressTrack(const UIMouseEvent* event)
{
    if (event->modifiers().testFlag(ShiftModifier)) {
        setValue(valueAt(event->position()));
        return;
    }
    // One page per click: the track does not repeat.
    const Rect thumb = thumbRect();
    const int p = along(event->position());
    const int start = along(thumb.topLeft());
    if (p < start)
        setValue(value() - pageStep());
    else if (p > start + (isVertical() ? thumb.height : thumb.width))
        setValue(value() + pageStep());
}

void UIScrollBar::mouseMoveEvent(UIMouseEvent* event)
{
    if (!isPressed() || m_autoRepeating || !m_draggingThumb)
        return;
    const Point p = event->position();
    const Point shifted = isVertical() ? Point{p.x, p.y - m_dragOffset} : Point{p.x - m_dragOffset, p.y};
    setValue(valueAt(shifted));
}

void UIScrollBar::mouseReleaseEvent(UIMouseEvent*)
{
    m_draggingThumb = false;
    stopAutoRepeat();
    repaint();
}

void UIScrollBar::enterEvent(UIMouseEvent*)
{
    repaint();
}

void UIScrollBar::leaveEvent(UIMouseEvent*)
{
    repaint();
}

// ---- Painting ----

void UIScrollBar::paintEvent(UIPaintEvent*)
{
    const Size hint = sizeHint();
    if (width() < hint.width || height() < hint.height)
        return;
    Graphics g(backBuffer());
    g.setClipRect(rect());
    g.fillRect(rect(), m_style.background);
    const int state = (!isEnabled() || maximum() <= 0) ? StateDisabled : StateNormal;
    const UISkin& track = m_style.skins[isVertical() ? VerticalBackground : HorizontalBackground];
    if (!m_arrowsVisible)
        track.drawNineSlice(g, rect(), state, SkinCentre);
    else if (isVertical())
        paintVerticalArrows(g, state);
    else
        paintHorizontalArrows(g, state);
    paintThumb(g);
}

void UIScrollBar::paintHorizontalArrows(Graphics& g, int state) const
{
    const int a = m_style.thickness;
    const int h = height();
    m_style.skins[HorizontalBackground].drawNineSlice(g, rect().adjusted(a - 1, 0, -(a - 1), 0), state, SkinAllRegions);
    const Rect left(0, 0, h, h);
    const Rect right(width() - h, 0, h, h);
    m_style.skins[LeftArrowBackground].drawNineSlice(g, left, state, SkinAllRegions);
    m_style.skins[ArrowLeft].drawAligned(g, left.adjusted(0, 1, 0, 1), AlignCenter, state);
    m_style.skins[RightArrowBackground].drawNineSlice(g, right, state, SkinAllRegions);
    m_style.skins[ArrowRight].drawAligned(g, right.adjusted(0, 1, 0, 1), AlignCenter, state);
}

void UIScrollBar::paintVerticalArrows(Graphics& g, int state) const
{
    const int a = m_style.thickness;
    const int w = width();
    m_style.skins[VerticalBackground].drawNineSlice(g, rect().adjusted(0, a - 1, 0, -(a - 1)), state, SkinAllRegions);
    const Rect top(0, 0, w, w);
    const Rect bottom(0, height() - w, w, w);
    m_style.skins[TopArrowBackground].drawNineSlice(g, top, state, SkinAllRegions);
    m_style.skins[ArrowUp].drawAligned(g, top.adjusted(1, 0, 1, 0), AlignCenter, state);
    m_style.skins[BottomArrowBackground].drawNineSlice(g, bottom, state, SkinAllRegions);
    m_style.skins[ArrowDown].drawAligned(g, bottom.adjusted(1, 0, 1, 0), AlignCenter, state);
}

int UIScrollBar::thumbState() const
{
    if (!isEnabled())
        return StateDisabled;
    if (isPressed() && !m_autoRepeating)
        return StatePressed;
    return isUnderMouse() ? StateHover : StateNormal;
}

void UIScrollBar::paintThumb(Graphics& g) const
{
    const Rect thumb = thumbRect();
    if (thumb.isEmpty())
        return;
    const int state = thumbState();
    const bool vertical = isVertical();
    m_style.skins[vertical ? VerticalThumbBackground : HorizontalThumbBackground].drawNineSlice(g, thumb, state,
                                                                                                 SkinAllRegions);
    m_style.skins[vertical ? VerticalThumbGripper : HorizontalThumbGripper].drawAligned(g, thumb, AlignCenter, state);
}
