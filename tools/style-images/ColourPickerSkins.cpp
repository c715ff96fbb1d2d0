// The colour picker's frame: a small flat button around the swatch, in the
// push button's colours.

#include "StyleCanvas.h"
#include "StyleImages.h"

#include <iterator>

namespace {

// Cut at four pixels from each side.
constexpr int pickerState = 24;

struct PickerLook {
    Colour border;
    Colour face;
};

// Normal, under the pointer or pressed, pressed under the pointer, disabled.
const PickerLook pickerLooks[] = {
    {Colour(200, 205, 211), Colour(253, 253, 253)},
    {Colour(127, 178, 229), Colour(234, 243, 252)},
    {Colour(79, 145, 214), Colour(211, 230, 248)},
    {Colour(224, 226, 229), Colour(245, 245, 245)},
};

Bitmap colorPickerBackground()
{
    const int count = int(std::size(pickerLooks));
    const float size = float(pickerState);
    Canvas c(pickerState, pickerState * count, 1);
    for (int i = 0; i < count; ++i) {
        const float top = float(i * pickerState);
        c.layer(pickerLooks[i].border, [&](Shapes& s) { s.roundedRect(0, top, size, size, 3); });
        c.layer(pickerLooks[i].face, [&](Shapes& s) { s.roundedRect(1, top + 1, size - 2, size - 2, 2); });
    }
    return c.image();
}

const StyleImageRegistration colourPickerSkins{
    {L"skins", L"UIColorPicker_Background", colorPickerBackground},
};

} // namespace
