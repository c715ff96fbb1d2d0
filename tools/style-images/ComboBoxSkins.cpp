// The combo box: a face like the push button's, and a small downward
// chevron at its right. States: normal, under the pointer, pressed or open,
// disabled.

#include "StyleCanvas.h"
#include "StyleImages.h"

#include <array>

namespace {

constexpr int boxState = 24;
constexpr int arrowWidth = 12;
constexpr int arrowHeight = 16;

struct BoxLook {
    Colour border;
    Colour face;
};

const std::array<BoxLook, 4> boxLooks = {{
    {Colour(200, 205, 211), Colour(253, 253, 253)},
    {Colour(127, 178, 229), Colour(234, 243, 252)},
    {Colour(79, 145, 214), Colour(211, 230, 248)},
    {Colour(224, 226, 229), Colour(245, 245, 245)},
}};

const std::array<Colour, 4> arrowInks = {
    Colour(90, 96, 104),
    Colour(33, 37, 41),
    Colour(33, 37, 41),
    Colour(160, 165, 171),
};

Bitmap comboBoxBackground()
{
    Canvas c(boxState, boxState * int(boxLooks.size()), 1);
    for (int i = 0; i < int(boxLooks.size()); ++i) {
        const float top = float(i * boxState);
        const float size = float(boxState);
        c.layer(boxLooks[i].border, [&](Shapes& s) { s.roundedRect(0, top, size, size, 3); });
        c.layer(boxLooks[i].face, [&](Shapes& s) { s.roundedRect(1, top + 1, size - 2, size - 2, 2); });
    }
    return c.image();
}

// Two strokes meeting at the bottom, centred in each state.
Bitmap comboBoxArrow()
{
    Canvas c(arrowWidth, arrowHeight * int(arrowInks.size()), 1);
    for (int i = 0; i < int(arrowInks.size()); ++i) {
        const float top = float(i * arrowHeight);
        c.layer(arrowInks[i], [&](Shapes& s) {
            s.line(2.5f, top + 6.5f, 6, top + 10, 1.5f);
            s.line(6, top + 10, 9.5f, top + 6.5f, 1.5f);
        });
    }
    return c.image();
}

const StyleImageRegistration comboBoxSkins{
    {L"skins", L"UIComboBox_Background", comboBoxBackground},
    {L"skins", L"UIComboBox_Arrow", comboBoxArrow},
};

} // namespace
