#include "ui/widgets/UIRubberBand.h"

#include "ui/UIWidget.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace {

// A band starts only once the pointer is this far from the press.
constexpr double bandThreshold = 5.0;
// A band is never thinner than this.
constexpr int bandMinimumExtent = 5;

} // namespace

void UIRubberBand::start(UIWidget* widget, const UIMouseEvent* event)
{
    active = true;
    offsetX = widget->contentOffsetX();
    offsetY = widget->contentOffsetY();
    pressPoint = event->position();
    rect = Rect();
    modifiers = event->modifiers();
    widget->setFlag(WidgetKeysBlocked, true);
}

bool UIRubberBand::follow(const UIWidget* widget, Point p)
{
    const Point s = pressPoint;
    if (std::hypot(double(p.x - s.x), double(p.y - s.y)) < bandThreshold)
        return false;
    // The press point moves with the content scrolled since the press.
    const Point anchor{s.x + widget->contentOffsetX() - offsetX, s.y + widget->contentOffsetY() - offsetY};
    rect = Rect(std::min(anchor.x, p.x), std::min(anchor.y, p.y), std::max(std::abs(p.x - anchor.x), bandMinimumExtent),
                std::max(std::abs(p.y - anchor.y), bandMinimumExtent));
    return true;
}

void UIRubberBand::end(UIWidget* widget)
{
    if (!active)
        return;
    active = false;
    widget->setFlag(WidgetKeysBlocked, false);
    widget->repaint();
}
