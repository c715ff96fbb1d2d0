// The push button's background skin.

#include "StyleCanvas.h"
#include "StyleImages.h"

namespace {

// One state of a button background: a one-pixel border and a face, both
// with rounded corners, in a square of buttonState pixels that the skin
// cuts at buttonCorner from each side.
constexpr int buttonState = 24;

struct ButtonLook {
    Colour border;
    Colour face;
};

// Normal, under the pointer or pressed, pressed under the pointer,
// disabled, checked.
const ButtonLook buttonLooks[] = {
    {Colour(200, 205, 211), Colour(253, 253, 253)}, {Colour(127, 178, 229), Colour(234, 243, 252)},
    {Colour(79, 145, 214), Colour(211, 230, 248)},  {Colour(224, 226, 229), Colour(245, 245, 245)},
    {Colour(79, 145, 214), Colour(220, 235, 250)},
};

Bitmap buttonBackground()
{
    const int count = int(std::size(buttonLooks));
    Canvas c(buttonState, buttonState * count, 1);
    for (int i = 0; i < count; ++i) {
        const float top = float(i * buttonState);
        const float size = float(buttonState);
        c.layer(buttonLooks[i].border, [&](Shapes& s) { s.roundedRect(0, top, size, size, 3); });
        c.layer(buttonLooks[i].face, [&](Shapes& s) { s.roundedRect(1, top + 1, size - 2, size - 2, 2); });
    }
    return c.image();
}

const StyleImageRegistration buttonSkins{
    {L"skins", L"UIButton_Background", buttonBackground},
};

} // namespace
