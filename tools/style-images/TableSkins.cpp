// The table's skins: the rubber band and the lines between rows and
// between columns.

#include "StyleCanvas.h"
#include "StyleImages.h"

namespace {

const Colour gridGrey(229, 232, 236);
const Colour bandBorder(79, 145, 214);
const Colour bandFace(211, 230, 248);
// The rows under the band stay readable through its face.
constexpr int bandFaceAlpha = 96;

// A nine-slice square: a one-pixel border round a see-through face.
Bitmap selectionRect()
{
    constexpr int side = 4;
    Canvas c(side, side, 1);
    c.layer(bandFace, [](Shapes& s) { s.rect(1, 1, side - 2, side - 2); });
    c.layer(bandBorder, [](Shapes& s) {
        s.rect(0, 0, side, 1);
        s.rect(0, side - 1, side, 1);
        s.rect(0, 1, 1, side - 2);
        s.rect(side - 1, 1, 1, side - 2);
    });
    Bitmap image = c.image().copy();
    image.setAlpha(bandFaceAlpha, Rect(1, 1, side - 2, side - 2));
    return image;
}

// Stretched along the row's last pixel line.
Bitmap rowGrid()
{
    Canvas c(4, 1, 1);
    c.layer(gridGrey, [](Shapes& s) { s.rect(0, 0, 4, 1); });
    return c.image();
}

// Stretched down a column's last pixel column.
Bitmap columnGrid()
{
    Canvas c(1, 4, 1);
    c.layer(gridGrey, [](Shapes& s) { s.rect(0, 0, 1, 4); });
    return c.image();
}

const StyleImageRegistration tableSkins{
    {L"skins", L"UITable_SelectionRect", selectionRect},
    {L"skins", L"UITable_RowGrid", rowGrid},
    {L"skins", L"UITable_ColumnGrid", columnGrid},
};

} // namespace
