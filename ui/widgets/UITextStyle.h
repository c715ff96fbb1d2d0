#pragma once

// The text look that several widget styles share: a font, a text pen, and
// a shadow copy of the text drawn first in its own pen, moved by an offset.

#include "foundation/Geometry.h"
#include "foundation/String.h"
#include "graphics/FontDesc.h"
#include "graphics/Pen.h"

class Font;
class StringList;

struct UITextStyle {
    FontDesc font;
    Pen foreground;
    Pen shadowForeground;
    Point shadowOffset;

    // Takes "font", "foreground", "shadowForeground" and "shadowOffset";
    // false for any other key.
    bool setProperty(const String& name, const String& value);
    // The same keys behind a prefix, capitalised: "titleFont" and
    // "titleShadowOffset" for the prefix "title".
    bool setPrefixedProperty(const String& prefix, const String& name, const String& value);
};

// The text split at every line feed, empty parts kept: one line per part.
StringList textLines(const String& text);
// The widest line's width, and the font's height once per line.
Size textLinesSize(const Font& font, const StringList& lines);
