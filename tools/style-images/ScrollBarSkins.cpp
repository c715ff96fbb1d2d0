// The scroll bar's skins: a flat track, arrow buttons that only show a
// face while under the pointer or pressed, a rounded thumb with a small
// gripper, and the four arrow glyphs. Every skin has four states: normal,
// under the pointer, pressed, disabled.

#include "StyleCanvas.h"
#include "StyleImages.h"

#include <optional>

namespace {

constexpr int stateCount = 4;

struct Look {
    Colour border;
    Colour face;
};

// The push button's colours, so the bar's parts match it.
const std::optional<Look> buttonLooks[stateCount] = {
    Look{Colour(200, 205, 211), Colour(253, 253, 253)},
    Look{Colour(127, 178, 229), Colour(234, 243, 252)},
    Look{Colour(79, 145, 214), Colour(211, 230, 248)},
    Look{Colour(224, 226, 229), Colour(245, 245, 245)},
};

// Arrow buttons stay flat on the track until the pointer reaches them.
const std::optional<Look> arrowButtonLooks[stateCount] = {
    std::nullopt,
    buttonLooks[1],
    buttonLooks[2],
    std::nullopt,
};

// One face in every state: a disabled bar tells itself by its thumb and
// glyphs, and the track stays flush with the bar's background at the ends.
const Colour trackFace(240, 241, 243);
const Colour glyphColours[stateCount] = {Colour(96, 103, 112), Colour(33, 37, 41), Colour(33, 37, 41),
                                         Colour(190, 195, 200)};
const Colour gripperColours[stateCount] = {Colour(160, 165, 171), Colour(79, 145, 214), Colour(79, 145, 214),
                                           Colour(210, 213, 217)};

// The track: 8 x 8 states cut 3,2,3 both ways.
constexpr int trackState = 8;
// The arrow buttons: thickness-sized squares cut 4,8,4 both ways.
constexpr int arrowState = 16;
// The thumb: thumbLong along the axis (cut 6,8,6), thumbShort across it (cut 5,6,5).
constexpr int thumbLong = 20;
constexpr int thumbShort = 16;
constexpr int glyphState = 9;

Bitmap track()
{
    Canvas c(trackState, trackState * stateCount, 1);
    for (int i = 0; i < stateCount; ++i) {
        const float top = float(i * trackState);
        c.layer(trackFace, [&](Shapes& s) { s.rect(0, top, trackState, trackState); });
    }
    return c.image();
}

Bitmap arrowButton()
{
    Canvas c(arrowState, arrowState * stateCount, 1);
    for (int i = 0; i < stateCount; ++i) {
        if (!arrowButtonLooks[i])
            continue;
        const float top = float(i * arrowState);
        const float size = float(arrowState);
        c.layer(arrowButtonLooks[i]->border, [&](Shapes& s) { s.roundedRect(1, top + 1, size - 2, size - 2, 3); });
        c.layer(arrowButtonLooks[i]->face, [&](Shapes& s) { s.roundedRect(2, top + 2, size - 4, size - 4, 2); });
    }
    return c.image();
}

// A pill inset two pixels from the bar's long edges.
Bitmap thumb(bool vertical)
{
    const int w = vertical ? thumbShort : thumbLong;
    const int h = vertical ? thumbLong : thumbShort;
    Canvas c(w, h * stateCount, 1);
    for (int i = 0; i < stateCount; ++i) {
        const float top = float(i * h);
        const float x = vertical ? 3.0f : 1.0f;
        const float y = top + (vertical ? 1.0f : 3.0f);
        const float pw = float(w) - 2 * x;
        const float ph = vertical ? float(h) - 2 : float(h) - 6;
        c.layer(buttonLooks[i]->border, [&](Shapes& s) { s.roundedRect(x, y, pw, ph, 4); });
        c.layer(buttonLooks[i]->face, [&](Shapes& s) { s.roundedRect(x + 1, y + 1, pw - 2, ph - 2, 3); });
    }
    return c.image();
}

Bitmap horizontalThumb()
{
    return thumb(false);
}

Bitmap verticalThumb()
{
    return thumb(true);
}

// Three short ridges across the axis.
Bitmap gripper(bool vertical)
{
    const int w = vertical ? 6 : 5;
    const int h = vertical ? 5 : 6;
    Canvas c(w, h * stateCount, 1);
    for (int i = 0; i < stateCount; ++i) {
        const float top = float(i * h);
        c.layer(gripperColours[i], [&](Shapes& s) {
            for (int k = 0; k < 3; ++k) {
                if (vertical)
                    s.rect(0, top + 2.0f * k, 6, 1);
                else
                    s.rect(2.0f * k, top, 1, 6);
            }
        });
    }
    return c.image();
}

Bitmap horizontalGripper()
{
    return gripper(false);
}

Bitmap verticalGripper()
{
    return gripper(true);
}

// A triangle pointing along (dx, dy) in a 9 x 9 state.
Bitmap glyph(float dx, float dy)
{
    Canvas c(glyphState, glyphState * stateCount, 1);
    const float centre = glyphState / 2.0f;
    for (int i = 0; i < stateCount; ++i) {
        const float cy = centre + float(i * glyphState);
        const auto at = [&](float along, float across) {
            return std::pair<float, float>{centre + dx * along - dy * across, cy + dy * along + dx * across};
        };
        c.layer(glyphColours[i], [&](Shapes& s) { s.polygon({at(2.0f, 0), at(-1.75f, 3.5f), at(-1.75f, -3.5f)}); });
    }
    return c.image();
}

Bitmap arrowLeft()
{
    return glyph(-1, 0);
}

Bitmap arrowRight()
{
    return glyph(1, 0);
}

Bitmap arrowUp()
{
    return glyph(0, -1);
}

Bitmap arrowDown()
{
    return glyph(0, 1);
}

const StyleImageRegistration scrollBarSkins{
    {L"skins", L"UIScrollBar_HorizontalBackground", track},
    {L"skins", L"UIScrollBar_VerticalBackground", track},
    {L"skins", L"UIScrollBar_LeftArrowBackground", arrowButton},
    {L"skins", L"UIScrollBar_RightArrowBackground", arrowButton},
    {L"skins", L"UIScrollBar_TopArrowBackground", arrowButton},
    {L"skins", L"UIScrollBar_BottomArrowBackground", arrowButton},
    {L"skins", L"UIScrollBar_HorizontalThumbBackground", horizontalThumb},
    {L"skins", L"UIScrollBar_VerticalThumbBackground", verticalThumb},
    {L"skins", L"UIScrollBar_HorizontalThumbGripper", horizontalGripper},
    {L"skins", L"UIScrollBar_VerticalThumbGripper", verticalGripper},
    {L"skins", L"UIScrollBar_ArrowLeft", arrowLeft},
    {L"skins", L"UIScrollBar_ArrowRight", arrowRight},
    {L"skins", L"UIScrollBar_ArrowUp", arrowUp},
    {L"skins", L"UIScrollBar_ArrowDown", arrowDown},
};

} // namespace
