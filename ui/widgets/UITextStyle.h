#pragma once

// The text look that several widget styles share: a font, a text pen, and
// a shadow copy of the text drawn first in its own pen, moved by an offset.

#include "foundation/Geometry.h"
#include "foundation/String.h"
#include "graphics/FontDesc.h"
#include "graphics/Pen.h"

struct UITextStyle {
    FontDesc font;
    Pen foreground;
    Pen shadowForeground;
    Point shadowOffset;

    // Takes "font", "foreground", "shadowForeground" and "shadowOffset";
    // false for any other key.
    bool setProperty(const String& name, const String& value);
};
