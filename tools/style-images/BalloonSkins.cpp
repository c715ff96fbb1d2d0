// The balloon tip's skins: its face, the rounded border, the four arrows
// and the close button.

#include "StyleCanvas.h"
#include "StyleImages.h"

#include <utility>
#include <vector>

namespace {

const Colour face(253, 253, 253);
const Colour border(200, 205, 211);

// The arrow is as wide as the style's arrowThickness and reaches the
// style's arrowLength beyond the body, plus two rows inside it that cover
// the body's border where the two join.
constexpr float across = 20;
constexpr float inside = 2;
constexpr float along = 14 + inside;

// Maps the arrow's own coordinates (u across, v from the join towards the
// tip) onto one of the four skins.
using ArrowMap = std::pair<float, float> (*)(float u, float v);

std::vector<std::pair<float, float>> mapped(ArrowMap map, std::initializer_list<std::pair<float, float>> points)
{
    std::vector<std::pair<float, float>> result;
    for (const auto& [u, v] : points)
        result.push_back(map(u, v));
    return result;
}

void band(Shapes& s, ArrowMap map, float u, float v, float w, float h)
{
    s.polygon(mapped(map, {{u, v}, {u + w, v}, {u + w, v + h}, {u, v + h}}));
}

Bitmap arrow(ArrowMap map, int width, int height)
{
    Canvas c(width, height, 1);
    c.layer(border, [map](Shapes& s) {
        s.polygon(mapped(map, {{0, inside}, {across, inside}, {across / 2, along}}));
        // The body's border turns into the arrow's edges.
        band(s, map, 0, inside - 1, 1, 1);
        band(s, map, across - 1, inside - 1, 1, 1);
    });
    c.layer(face, [map](Shapes& s) {
        s.polygon(mapped(map, {{1.4f, inside}, {across - 1.4f, inside}, {across / 2, along - 1.7f}}));
        band(s, map, 0, 0, across, inside - 1);
        band(s, map, 1, inside - 1, across - 2, 1);
    });
    return c.image();
}

Bitmap arrowBottom()
{
    return arrow([](float u, float v) { return std::pair{u, v}; }, int(across), int(along));
}

Bitmap arrowTop()
{
    return arrow([](float u, float v) { return std::pair{u, along - v}; }, int(across), int(along));
}

Bitmap arrowRight()
{
    return arrow([](float u, float v) { return std::pair{v, u}; }, int(along), int(across));
}

Bitmap arrowLeft()
{
    return arrow([](float u, float v) { return std::pair{along - v, u}; }, int(along), int(across));
}

// Nine-slice, cut at four pixels: the plain face.
Bitmap background()
{
    Canvas c(12, 12, 1);
    c.layer(face, [](Shapes& s) { s.rect(0, 0, 12, 12); });
    return c.image();
}

// Nine-slice, cut at eight pixels: a one-pixel line round the corners of
// the window's shape (corner diameter 12), the centre left open.
Bitmap backgroundBorder()
{
    Canvas c(20, 20, 1);
    c.layer(border, [](Shapes& s) {
        s.roundedRect(0, 0, 20, 20, 6);
        s.setErasing(true);
        s.roundedRect(1, 1, 18, 18, 5);
    });
    return c.image();
}

void cross(Shapes& s, float top)
{
    s.line(5, top + 5, 11, top + 11, 1.5f);
    s.line(11, top + 5, 5, top + 11, 1.5f);
}

// Normal, then hot.
Bitmap closeButton()
{
    Canvas c(16, 32, 1);
    c.layer(Colour(96, 102, 110), [](Shapes& s) { cross(s, 0); });
    c.layer(Colour(127, 178, 229), [](Shapes& s) { s.roundedRect(0, 16, 16, 16, 3); });
    c.layer(Colour(234, 243, 252), [](Shapes& s) { s.roundedRect(1, 17, 14, 14, 2); });
    c.layer(Colour(33, 37, 41), [](Shapes& s) { cross(s, 16); });
    return c.image();
}

const StyleImageRegistration balloonSkins{
    {L"skins", L"UIBalloonTip_Background", background},
    {L"skins", L"UIBalloonTip_BackgroundBorder", backgroundBorder},
    {L"skins", L"UIBalloonTip_ArrowLeft", arrowLeft},
    {L"skins", L"UIBalloonTip_ArrowTop", arrowTop},
    {L"skins", L"UIBalloonTip_ArrowRight", arrowRight},
    {L"skins", L"UIBalloonTip_ArrowBottom", arrowBottom},
    {L"skins", L"UIBalloonTip_CloseButton", closeButton},
};

} // namespace
