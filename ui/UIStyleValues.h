#pragma once

#include "foundation/Geometry.h"
#include "foundation/String.h"
#include "graphics/Brush.h"
#include "graphics/Colour.h"
#include "graphics/FontDesc.h"
#include "graphics/Pen.h"

// Readers of style property texts (the "data" of a models.xml property).
// They never fail: a text they cannot use gives the fallback of its kind,
// so a widget always has a value to assign. Numbers inside every form read
// like String::toInt: leading blanks, a sign, digits, saturating.

enum class UIStyleValueKind : int { Integer, Switch, Float, Font, Colour, Pen, Brush, Margins, Point, Size };

// Left, top, right, bottom.
struct UIMargins {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;

    bool operator==(const UIMargins&) const = default;
};

// The colour every unusable colour text reads as: white with alpha 0.
constexpr Colour unsetStyleColour = Colour(0x00FFFFFFu);

int parseIntValue(const String& text);
// Not zero is true.
bool parseSwitchValue(const String& text);
float parseFloatValue(const String& text);
// "face,size,styles": an empty face or "default" keeps the default face;
// the size is written for a 12-point default and moves with the real one;
// "bold" and "underline" anywhere in the styles add their flags. Anything
// but three parts gives the application's default font.
FontDesc parseFontValue(const String& text);
// "r,g,b" (opaque), "a,r,g,b" (each clamped to 0-255), a decimal 0xAARRGGBB
// word, or anything else: unsetStyleColour.
Colour parseColourValue(const String& text);
Pen parsePenValue(const String& text);
// One colour: a solid brush; two or more joined by "|" (empty parts
// dropped): a top-to-bottom gradient with evenly spaced stops.
Brush parseBrushValue(const String& text);
// Four numbers, else the first number on all sides.
UIMargins parseMarginsValue(const String& text);
// Two numbers, else (0, 0).
Point parsePointValue(const String& text);
// Two numbers, else a square of the first number.
Size parseSizeValue(const String& text);
