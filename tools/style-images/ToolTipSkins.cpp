// The tool tip's background skin.

#include "StyleCanvas.h"
#include "StyleImages.h"

namespace {

// One state: a square-cornered one-pixel border around a light face, cut by
// the skin at three pixels from each side. Square corners, because the tip
// is a plain rectangular window: rounded ones would show its fill outside.
constexpr int toolTipState = 8;

Bitmap toolTipBackground()
{
    const float size = float(toolTipState);
    Canvas c(toolTipState, toolTipState, 1);
    c.layer(Colour(170, 176, 184), [&](Shapes& s) { s.rect(0, 0, size, size); });
    c.layer(Colour(250, 251, 252), [&](Shapes& s) { s.rect(1, 1, size - 2, size - 2); });
    return c.image();
}

const StyleImageRegistration toolTipSkins{
    {L"skins", L"UIToolTip_Background", toolTipBackground},
};

} // namespace
