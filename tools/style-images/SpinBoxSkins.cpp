// The spin box's button column and its two arrows, in the push button's
// colours. Four states each: normal, under the pointer or pressed, pressed
// under the pointer, disabled.

#include "StyleCanvas.h"
#include "StyleImages.h"

namespace {

constexpr int stateCount = 4;

struct Look {
    Colour border;
    Colour face;
};

const Look buttonLooks[stateCount] = {
    {Colour(200, 205, 211), Colour(253, 253, 253)},
    {Colour(127, 178, 229), Colour(234, 243, 252)},
    {Colour(79, 145, 214), Colour(211, 230, 248)},
    {Colour(224, 226, 229), Colour(245, 245, 245)},
};

const Colour arrowColours[stateCount] = {Colour(33, 37, 41), Colour(33, 37, 41), Colour(33, 37, 41),
                                         Colour(160, 165, 171)};

// The column: 17 x 24 states cut 4,9,4 across and 4,16,4 down.
constexpr int buttonWidth = 17;
constexpr int buttonHeight = 24;
// Each arrow sits in the half of the column it belongs to: the up arrow
// is drawn at the top of the column, the down arrow at its bottom.
constexpr int arrowWidth = 9;
constexpr int arrowHeight = 10;

Bitmap button()
{
    Canvas c(buttonWidth, buttonHeight * stateCount, 1);
    for (int i = 0; i < stateCount; ++i) {
        const float top = float(i * buttonHeight);
        c.layer(buttonLooks[i].border, [&](Shapes& s) { s.roundedRect(0, top, buttonWidth, buttonHeight, 3); });
        c.layer(buttonLooks[i].face,
                [&](Shapes& s) { s.roundedRect(1, top + 1, buttonWidth - 2, buttonHeight - 2, 2); });
    }
    return c.image();
}

// A flat triangle whose tip points up (dy -1) or down (dy 1), its centre
// cy pixels from the top of each state.
Bitmap arrow(float dy, float cy)
{
    Canvas c(arrowWidth, arrowHeight * stateCount, 1);
    const float cx = arrowWidth / 2.0f;
    for (int i = 0; i < stateCount; ++i) {
        const float y = cy + float(i * arrowHeight);
        c.layer(arrowColours[i], [&](Shapes& s) {
            s.polygon({{cx, y + dy * 2.0f}, {cx + 3.5f, y - dy * 1.75f}, {cx - 3.5f, y - dy * 1.75f}});
        });
    }
    return c.image();
}

Bitmap arrowUp()
{
    return arrow(-1, 6.5f);
}

Bitmap arrowDown()
{
    return arrow(1, 3.5f);
}

const StyleImageRegistration spinBoxSkins{
    {L"skins", L"UISpinBox_Button", button},
    {L"skins", L"UISpinBox_ArrowUp", arrowUp},
    {L"skins", L"UISpinBox_ArrowDown", arrowDown},
};

} // namespace
