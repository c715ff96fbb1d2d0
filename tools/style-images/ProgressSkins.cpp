// The progress bar's track, its chunk (tiled, so one flat colour repeats
// seamlessly) and the rounded outline drawn over the chunk. The shapes are
// square and flat, so a vertical bar takes the same images.

#include "StyleCanvas.h"
#include "StyleImages.h"

namespace {

constexpr int skinSide = 12;
const Colour trackBorder(200, 205, 211);
const Colour trackFace(238, 241, 245);
const Colour chunkFace(79, 145, 214);
const Colour chunkEdge(58, 122, 192);

Bitmap horizontalBackground()
{
    Canvas c(skinSide, skinSide, 1);
    c.layer(trackBorder, [](Shapes& s) { s.roundedRect(0, 0, skinSide, skinSide, 4); });
    c.layer(trackFace, [](Shapes& s) { s.roundedRect(1, 1, skinSide - 2, skinSide - 2, 3); });
    return c.image();
}

Bitmap horizontalChunk()
{
    Canvas c(4, 4, 1);
    c.layer(chunkFace, [](Shapes& s) { s.rect(0, 0, 4, 4); });
    return c.image();
}

Bitmap horizontalBorder()
{
    Canvas c(skinSide, skinSide, 1);
    c.layer(chunkEdge, [](Shapes& s) {
        s.roundedRect(0, 0, skinSide, skinSide, 2);
        s.setErasing(true);
        s.rect(1, 1, skinSide - 2, skinSide - 2);
    });
    return c.image();
}

const StyleImageRegistration progressSkins{
    {L"skins", L"UIProgress_HorizontalBackground", horizontalBackground},
    {L"skins", L"UIProgress_HorizontalChunk", horizontalChunk},
    {L"skins", L"UIProgress_HorizontalBorder", horizontalBorder},
    {L"skins", L"UIProgress_VerticalBackground", horizontalBackground},
    {L"skins", L"UIProgress_VerticalChunk", horizontalChunk},
    {L"skins", L"UIProgress_VerticalBorder", horizontalBorder},
};

} // namespace
