// The push button's background skins: the plain one and the green, blue and
// yellow schemes.

#include "StyleCanvas.h"
#include "StyleImages.h"

#include <array>

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
using ButtonLooks = std::array<ButtonLook, 5>;

const ButtonLooks plainLooks = {{
    {Colour(200, 205, 211), Colour(253, 253, 253)},
    {Colour(127, 178, 229), Colour(234, 243, 252)},
    {Colour(79, 145, 214), Colour(211, 230, 248)},
    {Colour(224, 226, 229), Colour(245, 245, 245)},
    {Colour(79, 145, 214), Colour(220, 235, 250)},
}};

// The coloured schemes carry white (green, blue) or dark (yellow) text, so
// their faces are dark enough, resp. light enough, for it; disabled faces
// fade towards the plain disabled grey, where the disabled text is grey. A
// checked button draws its text in the shadow colour (dark green, dark
// blue, cream), so the checked face turns light, resp. dark, for that.
const ButtonLooks greenLooks = {{
    {Colour(74, 138, 58), Colour(94, 168, 76)},
    {Colour(74, 138, 58), Colour(108, 184, 90)},
    {Colour(58, 116, 45), Colour(80, 150, 63)},
    {Colour(200, 218, 194), Colour(226, 238, 222)},
    {Colour(74, 138, 58), Colour(214, 236, 206)},
}};

const ButtonLooks blueLooks = {{
    {Colour(50, 98, 178), Colour(70, 130, 214)},
    {Colour(50, 98, 178), Colour(88, 148, 228)},
    {Colour(38, 80, 156), Colour(56, 110, 190)},
    {Colour(196, 210, 234), Colour(222, 231, 245)},
    {Colour(50, 98, 178), Colour(212, 226, 248)},
}};

const ButtonLooks yellowLooks = {{
    {Colour(222, 180, 70), Colour(255, 221, 120)},
    {Colour(230, 188, 78), Colour(255, 231, 152)},
    {Colour(198, 156, 48), Colour(244, 204, 94)},
    {Colour(234, 226, 200), Colour(248, 243, 226)},
    {Colour(150, 108, 22), Colour(182, 134, 38)},
}};

Bitmap buttonBackground(const ButtonLooks& looks)
{
    const int count = int(looks.size());
    Canvas c(buttonState, buttonState * count, 1);
    for (int i = 0; i < count; ++i) {
        const float top = float(i * buttonState);
        const float size = float(buttonState);
        c.layer(looks[i].border, [&](Shapes& s) { s.roundedRect(0, top, size, size, 3); });
        c.layer(looks[i].face, [&](Shapes& s) { s.roundedRect(1, top + 1, size - 2, size - 2, 2); });
    }
    return c.image();
}

const StyleImageRegistration buttonSkins{
    {L"skins", L"UIButton_Background", [] { return buttonBackground(plainLooks); }},
    {L"skins", L"UIButton_GreenBackground", [] { return buttonBackground(greenLooks); }},
    {L"skins", L"UIButton_BlueBackground", [] { return buttonBackground(blueLooks); }},
    {L"skins", L"UIButton_YellowBackground", [] { return buttonBackground(yellowLooks); }},
};

} // namespace
