// The slider's skins: the track, the handles for each place of the tick
// marks (plain, pointing to one side, pointing both ways; upright for the
// horizontal slider, lying for the vertical one) and the tick mark.

#include "StyleCanvas.h"
#include "StyleImages.h"

#include <utility>
#include <vector>

namespace {

// An upright handle; the lying ones swap the two.
constexpr float handleWidth = 12;
constexpr float handleHeight = 20;
// How far a pointed handle's tip stands out of its body.
constexpr float tipLength = 4;

constexpr int trackLength = 8;
constexpr int trackThickness = 4;
constexpr int tickLength = 4;

struct Look {
    Colour border;
    Colour face;
};

// Normal, under the pointer or pressed, pressed under the pointer,
// disabled: the push button's colours.
const Look looks[] = {
    {Colour(200, 205, 211), Colour(253, 253, 253)},
    {Colour(127, 178, 229), Colour(234, 243, 252)},
    {Colour(79, 145, 214), Colour(211, 230, 248)},
    {Colour(224, 226, 229), Colour(245, 245, 245)},
};

const Colour tickGrey(160, 165, 171);

// The groove the handle rides on, in the same four states; a pressed one
// stays lighter than the handle's border, so the handle stands out.
const Colour trackColours[] = {Colour(200, 205, 211), Colour(170, 198, 230), Colour(127, 178, 229),
                               Colour(228, 230, 233)};

// The groove in its four states stacked: each state width x height.
Bitmap groove(int width, int height)
{
    const int count = int(std::size(trackColours));
    Canvas c(width, height * count, 1);
    for (int i = 0; i < count; ++i) {
        const float top = float(i * height);
        c.layer(trackColours[i], [&](Shapes& s) { s.roundedRect(0, top, width, height, 2); });
    }
    return c.image();
}

Bitmap horizontalBackground()
{
    return groove(trackLength, trackThickness);
}

// The same groove standing upright.
Bitmap verticalBackground()
{
    return groove(trackThickness, trackLength);
}

using Outline = std::vector<std::pair<float, float>>;

// An upright handle inset by d, its top and bottom pointed or flat. The
// factors move the slanted edges inward by about d.
Outline uprightHandle(float d, bool pointUp, bool pointDown, float top)
{
    const float middle = handleWidth / 2;
    Outline points;
    if (pointUp) {
        points = {{d, top + tipLength + 0.3f * d}, {middle, top + 1.2f * d}, {handleWidth - d, top + tipLength + 0.3f * d}};
    } else {
        points = {{d, top + d}, {handleWidth - d, top + d}};
    }
    const float bottom = top + handleHeight;
    if (pointDown) {
        points.insert(points.end(), {{handleWidth - d, bottom - tipLength - 0.3f * d},
                                     {middle, bottom - 1.2f * d},
                                     {d, bottom - tipLength - 0.3f * d}});
    } else {
        points.insert(points.end(), {{handleWidth - d, bottom - d}, {d, bottom - d}});
    }
    return points;
}

// An upright outline drawn at the top turned on its side, top pixels down.
Outline lying(const Outline& upright, float top)
{
    Outline points;
    for (const auto& [x, y] : upright)
        points.push_back({y, x + top});
    return points;
}

// Four states of a pointed handle, upright or lying.
Bitmap pointedHandle(bool pointBefore, bool pointAfter, bool upright)
{
    const int stateWidth = int(upright ? handleWidth : handleHeight);
    const int stateHeight = int(upright ? handleHeight : handleWidth);
    Canvas c(stateWidth, stateHeight * int(std::size(looks)), 1);
    for (int i = 0; i < int(std::size(looks)); ++i) {
        const float top = float(i * stateHeight);
        for (const auto& [inset, colour] : {std::pair{0.0f, looks[i].border}, std::pair{1.0f, looks[i].face}}) {
            Outline points = uprightHandle(inset, pointBefore, pointAfter, upright ? top : 0);
            if (!upright)
                points = lying(points, top);
            c.layer(colour, [&](Shapes& s) { s.polygon(points); });
        }
    }
    return c.image();
}

// Without tick marks: a rounded bar.
Bitmap handle()
{
    const int h = int(handleHeight);
    Canvas c(int(handleWidth), h * int(std::size(looks)), 1);
    for (int i = 0; i < int(std::size(looks)); ++i) {
        const float top = float(i * h);
        c.layer(looks[i].border, [&](Shapes& s) { s.roundedRect(0, top, handleWidth, handleHeight, 3); });
        c.layer(looks[i].face, [&](Shapes& s) { s.roundedRect(1, top + 1, handleWidth - 2, handleHeight - 2, 2); });
    }
    return c.image();
}

Bitmap handleTop()
{
    return pointedHandle(true, false, true);
}

Bitmap handleBottom()
{
    return pointedHandle(false, true, true);
}

Bitmap handleTopAndBottom()
{
    return pointedHandle(true, true, true);
}

Bitmap handleLeft()
{
    return pointedHandle(true, false, false);
}

Bitmap handleRight()
{
    return pointedHandle(false, true, false);
}

Bitmap handleLeftAndRight()
{
    return pointedHandle(true, true, false);
}

// One tick mark below a horizontal slider.
Bitmap verticalThick()
{
    Canvas c(1, tickLength, 1);
    c.layer(tickGrey, [](Shapes& s) { s.rect(0, 0, 1, tickLength); });
    return c.image();
}

// One tick mark beside a vertical slider.
Bitmap horizontalThick()
{
    Canvas c(tickLength, 1, 1);
    c.layer(tickGrey, [](Shapes& s) { s.rect(0, 0, tickLength, 1); });
    return c.image();
}

const StyleImageRegistration sliderSkins{
    {L"skins", L"UISlider_HorizontalBackground", horizontalBackground},
    {L"skins", L"UISlider_VerticalBackground", verticalBackground},
    {L"skins", L"UISlider_Handle", handle},
    {L"skins", L"UISlider_HandleTop", handleTop},
    {L"skins", L"UISlider_HandleBottom", handleBottom},
    {L"skins", L"UISlider_HandleTopAndBottom", handleTopAndBottom},
    {L"skins", L"UISlider_HandleLeft", handleLeft},
    {L"skins", L"UISlider_HandleRight", handleRight},
    {L"skins", L"UISlider_HandleLeftAndRight", handleLeftAndRight},
    {L"skins", L"UISlider_VerticalThick", verticalThick},
    {L"skins", L"UISlider_HorizontalThick", horizontalThick},
};

} // namespace
