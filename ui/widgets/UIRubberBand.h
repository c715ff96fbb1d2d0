#pragma once

// The rubber band of the item views (table and list). A press on empty
// space starts it; it follows the pointer once that is 5 pixels from the
// press, its anchor moving with the content scrolled since the press, and
// is never thinner than 5 pixels. Keys are blocked while it is out.

#include "foundation/Event.h"
#include "foundation/Geometry.h"

class UIWidget;

struct UIRubberBand {
    bool active = false;
    int offsetX = 0;
    int offsetY = 0;
    Point pressPoint;
    Rect rect;
    KeyboardModifiers modifiers;

    // Remembers the press, the content offsets and the modifiers.
    void start(UIWidget* widget, const UIMouseEvent* event);
    // False while the pointer is still near the press; else the new rect.
    bool follow(const UIWidget* widget, Point p);
    // Repaints the widget when a band was out, to take it away.
    void end(UIWidget* widget);
};
