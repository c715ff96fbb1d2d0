#pragma once

// The font, pens and shadow offset that a widget's style gives its texts,
// and how such a text is drawn: first in a shadow pen moved by the offset,
// then in the text pen, never shortened.

#include "foundation/Geometry.h"
#include "foundation/String.h"
#include "graphics/FontDesc.h"
#include "graphics/Pen.h"

class Graphics;

struct ShadowedTextStyle {
    FontDesc font;
    Pen foreground;
    Pen shadowForeground;
    Pen disabledForeground;
    Pen disabledShadowForeground;
    Point shadowOffset;

    // Reads "font", "foreground", "shadowForeground", "disabledForeground",
    // "disabledShadowForeground" and "shadowOffset"; false for other keys.
    bool setStyleProperty(const String& name, const String& value);
    void draw(Graphics& g, const String& text, const Rect& box, int alignment, const Pen& shadow,
              const Pen& pen) const;
};
