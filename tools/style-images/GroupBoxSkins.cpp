// The group's frame: thin and rounded, letting the background show through.
// Its title's check indicator is drawn with the check box's.

#include "StyleCanvas.h"
#include "StyleImages.h"

namespace {

constexpr int frameSide = 24;

Bitmap groupFrame()
{
    Canvas c(frameSide, frameSide, 1);
    c.layer(Colour(200, 205, 211), [](Shapes& s) {
        s.roundedRect(0, 0, frameSide, frameSide, 4);
        s.setErasing(true);
        s.roundedRect(1, 1, frameSide - 2, frameSide - 2, 3);
    });
    return c.image();
}

const StyleImageRegistration groupSkins{
    {L"skins", L"UIGroup_Background", groupFrame},
};

} // namespace
