#include "ui/widgets/UISizeGrip.h"

#include "foundation/Dispatcher.h"
#include "foundation/EventLoop.h"
#include "graphics/DrawingSurface.h"
#include "graphics/Graphics.h"
#include "ui/UIStyleValues.h"

#include <algorithm>
#include <cstdlib>

namespace {

constexpr int smallestGrip = 10;
// Dispatcher flag: handle only the paint messages waiting.
constexpr std::uint32_t paintOnly = 2;

} // namespace

UISizeGrip::UISizeGrip(UIWidget* parent) : UIWidget(parent)
{
    setStyleName(L"UISizeGrip");
    setFlag(WidgetTakesDoubleClicks, true);
    setFlag(WidgetSeeThrough, true);
    setSizePolicy(SizeFixed, SizeFixed);
    setCursor(Cursor(CursorSizeFDiagonal));
    setLayoutAlignment(AlignRight | AlignBottom);
    if (UIWidget* top = topLevelWidget())
        top->resized.connect(this, &UISizeGrip::onWindowResized);
}

Size UISizeGrip::sizeHint() const
{
    return {std::max(m_size.width, smallestGrip), std::max(m_size.height, smallestGrip)};
}

void UISizeGrip::setStyleProperty(const String& name, const String& value)
{
    if (name == String(L"size"))
        m_size = parseSizeValue(value);
}

void UISizeGrip::setStyleImage(const String& skinName, UISkin* skin)
{
    if (skinName == String(L"UISizeGrip_Background"))
        m_background = *skin;
}

void UISizeGrip::onWindowResized()
{
    const UIWidget* top = topLevelWidget();
    if (!top || !top->isVisible())
        return;
    const bool inactive = top->isMaximized() || top->isMinimized();
    if (inactive == m_inactive)
        return;
    m_inactive = inactive;
    setCursor(Cursor(inactive ? CursorArrow : CursorSizeFDiagonal));
    repaint();
}

void UISizeGrip::paintEvent(UIPaintEvent*)
{
    if (m_inactive)
        return;
    Graphics g(backBuffer());
    m_background.drawNineSlice(g, rect(), 0, SkinAllRegions);
}

void UISizeGrip::mousePressEvent(UIMouseEvent* event)
{
    if (event->button() != LeftButton)
        return;
    m_pressOffset = {width() - event->x(), height() - event->y()};
    m_pressed = true;
}

void UISizeGrip::mouseReleaseEvent(UIMouseEvent*)
{
    m_pressed = false;
    m_pressOffset = {};
}

void UISizeGrip::mouseMoveEvent(UIMouseEvent* event)
{
    if (m_inactive || !m_pressed || !event->buttons().testFlag(LeftButton))
        return;
    const Point c = cursorPosition();
    if (std::abs(c.x - m_lastCursor.x) < m_threshold && std::abs(c.y - m_lastCursor.y) < m_threshold)
        return;
    m_lastCursor = c;
    UIWidget* top = topLevelWidget();
    if (!top)
        return;
    const Size wanted = draggedWindowSize(top, event->position());
    if (std::abs(top->width() - wanted.width) <= 1 && std::abs(top->height() - wanted.height) <= 1)
        return;
    // Let the window catch up with its last size before asking for the next.
    if (EventLoop* loop = dispatcher()->currentLoop())
        loop->processEvents(paintOnly);
    top->resize(wanted.width, wanted.height);
}

Size UISizeGrip::draggedWindowSize(const UIWidget* top, Point position) const
{
    // The window's resize takes the client size, so the corner is measured
    // from the client area rather than the frame.
    const Point p = mapToGlobal(position);
    const Rect client = top->geometry();
    const int w = p.x - client.x + m_pressOffset.x;
    const int h = p.y - client.y + m_pressOffset.y;
    return {w < 0 ? top->width() : w, h < 0 ? top->height() : h};
}
