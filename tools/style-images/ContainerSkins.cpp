// The skins of the status bar, the separator line and the size grip.

#include "StyleCanvas.h"
#include "StyleImages.h"

namespace {

const Colour borderColour(200, 205, 211);
const Colour barFace(243, 245, 248);
const Colour highlight(255, 255, 255);
const Colour gripDots(160, 165, 171);

// Nine slices of one pixel at the edges: a border line along the top over
// a flat face, so the bar stretches to any width.
constexpr int barState = 8;

Bitmap statusBarBackground()
{
    Canvas c(barState, barState, 1);
    c.layer(barFace, [](Shapes& s) { s.rect(0, 0, barState, barState); });
    c.layer(borderColour, [](Shapes& s) { s.rect(0, 0, barState, 1); });
    return c.image();
}

// An etched line: dark over light, stretched along its length.
Bitmap lineBackground()
{
    Canvas c(4, 2, 1);
    c.layer(borderColour, [](Shapes& s) { s.rect(0, 0, 4, 1); });
    c.layer(highlight, [](Shapes& s) { s.rect(0, 1, 4, 1); });
    return c.image();
}

// Six dots in a triangle against the bottom-right corner.
constexpr int gripState = 12;

Bitmap sizeGripBackground()
{
    Canvas c(gripState, gripState, 1);
    c.layer(gripDots, [](Shapes& s) {
        for (int row = 0; row < 3; ++row) {
            for (int column = 2 - row; column < 3; ++column)
                s.rect(float(2 + column * 3), float(2 + row * 3), 2, 2);
        }
    });
    return c.image();
}

const StyleImageRegistration containerSkins{
    {L"skins", L"UIStatusBar_Background", statusBarBackground},
    {L"skins", L"UILine_Background", lineBackground},
    {L"skins", L"UISizeGrip_Background", sizeGripBackground},
};

} // namespace
