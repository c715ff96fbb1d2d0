// The tool bar's strip and its buttons: flat buttons that show a face only
// under the pointer or pressed, and the drop-down arrow of a button with a
// menu.

#include "StyleCanvas.h"
#include "StyleImages.h"

#include <array>

namespace {

constexpr int buttonState = 24;
constexpr int arrowWidth = 9;
constexpr int arrowHeight = 16;

struct ToolButtonLook {
    Colour border;
    Colour face;
};

// Normal and disabled buttons let the bar show through.
const std::array<ToolButtonLook, 4> buttonLooks = {{
    {Colour(0, 0, 0, 0), Colour(0, 0, 0, 0)},
    {Colour(127, 178, 229), Colour(234, 243, 252)},
    {Colour(79, 145, 214), Colour(211, 230, 248)},
    {Colour(0, 0, 0, 0), Colour(0, 0, 0, 0)},
}};

// Normal, hot, pressed, disabled.
const std::array<Colour, 4> arrowInks = {
    Colour(90, 96, 104),
    Colour(33, 37, 41),
    Colour(33, 37, 41),
    Colour(160, 165, 171),
};

Bitmap toolButtonBackground()
{
    Canvas c(buttonState, buttonState * int(buttonLooks.size()), 1);
    for (int i = 0; i < int(buttonLooks.size()); ++i) {
        if (!buttonLooks[i].face.isVisible())
            continue;
        const float top = float(i * buttonState);
        const float size = float(buttonState);
        c.layer(buttonLooks[i].border, [&](Shapes& s) { s.roundedRect(0, top, size, size, 3); });
        c.layer(buttonLooks[i].face, [&](Shapes& s) { s.roundedRect(1, top + 1, size - 2, size - 2, 2); });
    }
    return c.image();
}

// A small downward triangle, centred in each state.
Bitmap toolButtonArrow()
{
    Canvas c(arrowWidth, arrowHeight * int(arrowInks.size()), 1);
    for (int i = 0; i < int(arrowInks.size()); ++i) {
        const float top = float(i * arrowHeight);
        c.layer(arrowInks[i], [&](Shapes& s) { s.polygon({{1, top + 6}, {8, top + 6}, {4.5f, top + 10}}); });
    }
    return c.image();
}

// A light face over a one-pixel line at the bottom, which parts the bar
// from the content below it.
Bitmap toolBarBackground()
{
    Canvas c(4, 4, 1);
    c.layer(Colour(248, 249, 250), [](Shapes& s) { s.rect(0, 0, 4, 3); });
    c.layer(Colour(224, 226, 229), [](Shapes& s) { s.rect(0, 3, 4, 1); });
    return c.image();
}

const StyleImageRegistration toolBarSkins{
    {L"skins", L"UIToolButton_Background", toolButtonBackground},
    {L"skins", L"UIToolButton_Arrow", toolButtonArrow},
    // The bar's own menu opener looks like a button's drop-down arrow.
    {L"skins", L"UIToolBar_MenuIndicator", toolButtonArrow},
    {L"skins", L"UIToolBar_Background", toolBarBackground},
};

} // namespace
