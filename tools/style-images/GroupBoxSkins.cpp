// The group's skins: a thin rounded frame that lets the background show
// through, and the check indicator of a checkable title: a white box that
// turns blue with a white tick when checked.

#include "StyleCanvas.h"
#include "StyleImages.h"

#include <iterator>

namespace {

constexpr int frameSide = 24;
constexpr int indicatorSide = 14;

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

struct IndicatorLook {
    Colour border;
    Colour face;
};

// Unchecked, then checked; each normal, under the pointer, pressed,
// disabled.
const IndicatorLook indicatorLooks[] = {
    {Colour(160, 168, 178), Colour(255, 255, 255)}, {Colour(79, 145, 214), Colour(234, 243, 252)},
    {Colour(79, 145, 214), Colour(211, 230, 248)},  {Colour(224, 226, 229), Colour(245, 245, 245)},
    {Colour(79, 145, 214), Colour(79, 145, 214)},   {Colour(60, 128, 200), Colour(60, 128, 200)},
    {Colour(45, 110, 180), Colour(45, 110, 180)},   {Colour(200, 205, 211), Colour(200, 205, 211)},
};
constexpr int firstChecked = 4;

Bitmap groupIndicator()
{
    const int count = int(std::size(indicatorLooks));
    const float side = float(indicatorSide);
    Canvas c(indicatorSide, indicatorSide * count, 1);
    for (int i = 0; i < count; ++i) {
        const float top = float(i * indicatorSide);
        c.layer(indicatorLooks[i].border, [&](Shapes& s) { s.roundedRect(0, top, side, side, 3); });
        c.layer(indicatorLooks[i].face, [&](Shapes& s) { s.roundedRect(1, top + 1, side - 2, side - 2, 2); });
        if (i < firstChecked)
            continue;
        c.layer(Colour(255, 255, 255), [&](Shapes& s) {
            s.line(3.5f, top + 7.0f, 6.0f, top + 9.5f, 1.8f);
            s.line(6.0f, top + 9.5f, 10.5f, top + 4.5f, 1.8f);
        });
    }
    return c.image();
}

const StyleImageRegistration groupSkins{
    {L"skins", L"UIGroup_Background", groupFrame},
    {L"skins", L"UIGroup_Indicator", groupIndicator},
};

} // namespace
