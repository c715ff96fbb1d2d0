// The menu bar's background: a light face over a thin line that parts the
// bar from the window below it.

#include "StyleCanvas.h"
#include "StyleImages.h"

namespace {

const Colour barFace(248, 249, 251);
const Colour bottomLine(224, 226, 229);

// Nine slices of one pixel at the edges, so the bar stretches to any width.
constexpr int barState = 8;

Bitmap menuBarBackground()
{
    Canvas c(barState, barState, 1);
    c.layer(barFace, [](Shapes& s) { s.rect(0, 0, barState, barState); });
    c.layer(bottomLine, [](Shapes& s) { s.rect(0, barState - 1, barState, 1); });
    return c.image();
}

const StyleImageRegistration menuBarSkins{
    {L"skins", L"UIMenuBar_Background", menuBarBackground},
};

} // namespace
