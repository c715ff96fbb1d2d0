// The splitter separator's bars and its gripper.

#include "StyleCanvas.h"
#include "StyleImages.h"

namespace {

const Colour barFace(240, 242, 245);
const Colour barEdge(218, 222, 227);
const Colour gripperDots(150, 158, 168);

// A bar across its thickness: a face between two edge lines, stretched
// along the bar.
constexpr int barThickness = 7;
constexpr int barLength = 4;

Bitmap verticalBackground()
{
    Canvas c(barThickness, barLength, 1);
    c.layer(barFace, [](Shapes& s) { s.rect(0, 0, barThickness, barLength); });
    c.layer(barEdge, [](Shapes& s) {
        s.rect(0, 0, 1, barLength);
        s.rect(barThickness - 1, 0, 1, barLength);
    });
    return c.image();
}

Bitmap horizontalBackground()
{
    Canvas c(barLength, barThickness, 1);
    c.layer(barFace, [](Shapes& s) { s.rect(0, 0, barLength, barThickness); });
    c.layer(barEdge, [](Shapes& s) {
        s.rect(0, 0, barLength, 1);
        s.rect(0, barThickness - 1, barLength, 1);
    });
    return c.image();
}

// A square of three by three dots, so one image serves both bars; it
// fits between the edge lines of a bar of barThickness.
Bitmap gripper()
{
    Canvas c(5, 5, 1);
    c.layer(gripperDots, [](Shapes& s) {
        for (int row = 0; row < 3; ++row) {
            for (int column = 0; column < 3; ++column)
                s.rect(float(column * 2), float(row * 2), 1, 1);
        }
    });
    return c.image();
}

const StyleImageRegistration splitterSkins{
    {L"skins", L"UISplitterSeparator_HorizontalBackground", horizontalBackground},
    {L"skins", L"UISplitterSeparator_VerticalBackground", verticalBackground},
    {L"skins", L"UISplitterSeparator_Gripper", gripper},
};

} // namespace
