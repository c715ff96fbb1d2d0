// The list's skins: a soft inner line round the list, the frame over a
// selected icon, the rubber band and a soft shadow round a dragged item.

#include "StyleCanvas.h"
#include "StyleImages.h"

namespace {

const Colour innerLine(241, 243, 246);
const Colour selectionBorder(127, 178, 229);
const Colour bandBorder(79, 145, 214);
const Colour bandFace(211, 230, 248);
// The icons under the band stay visible through its face.
constexpr int bandFaceAlpha = 96;

// A one-pixel ring of the colour, inset from a side x side square.
void ring(Shapes& s, int side, int inset)
{
    const int span = side - 2 * inset;
    s.rect(inset, inset, span, 1);
    s.rect(inset, side - 1 - inset, span, 1);
    s.rect(inset, inset + 1, 1, span - 2);
    s.rect(side - 1 - inset, inset + 1, 1, span - 2);
}

// Nine slices of 2 pixels: a light line just inside the list's frame.
Bitmap background()
{
    constexpr int side = 6;
    Canvas c(side, side, 1);
    c.layer(innerLine, [](Shapes& s) { ring(s, side, 1); });
    return c.image();
}

// Over the selected item's fill: a blue edge, the middle left open.
Bitmap selection()
{
    constexpr int side = 6;
    Canvas c(side, side, 1);
    c.layer(selectionBorder, [](Shapes& s) { ring(s, side, 0); });
    return c.image();
}

// A one-pixel border round a see-through face.
Bitmap selectionRect()
{
    constexpr int side = 4;
    Canvas c(side, side, 1);
    c.layer(bandFace, [](Shapes& s) { s.rect(1, 1, side - 2, side - 2); });
    c.layer(bandBorder, [](Shapes& s) { ring(s, side, 0); });
    Bitmap image = c.image().copy();
    image.setAlpha(bandFaceAlpha, Rect(1, 1, side - 2, side - 2));
    return image;
}

// Three rings of black, fainter outwards, round a see-through middle.
Bitmap shadow()
{
    constexpr int side = 8;
    constexpr int ringAlphas[] = {10, 22, 40};
    Canvas c(side, side, 1);
    c.layer(Colour(0, 0, 0), [](Shapes& s) { s.rect(0, 0, side, side); });
    Bitmap image = c.image().copy();
    for (int inset = 0; inset < 3; ++inset)
        image.setAlpha(ringAlphas[inset], Rect(inset, inset, side - 2 * inset, side - 2 * inset));
    image.setAlpha(0, Rect(3, 3, side - 6, side - 6));
    return image;
}

const StyleImageRegistration listSkins{
    {L"skins", L"UIList_Background", background},
    {L"skins", L"UIList_Selection", selection},
    {L"skins", L"UIList_SelectionRect", selectionRect},
    {L"skins", L"UIList_Shadow", shadow},
};

} // namespace
