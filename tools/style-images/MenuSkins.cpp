// The pop-up menu's skins: the submenu arrow, the check and radio marks,
// the separator, the icon column's edge and the highlight.

#include "StyleCanvas.h"
#include "StyleImages.h"

namespace {

constexpr int markSize = 16;

// Normal, current, unused, disabled.
const Colour markInks[] = {Colour(79, 145, 214), Colour(33, 37, 41), Colour(79, 145, 214), Colour(160, 165, 171)};
const Colour arrowInks[] = {Colour(96, 102, 110), Colour(33, 37, 41), Colour(96, 102, 110), Colour(160, 165, 171)};

// One mark per ink, one below the other.
Bitmap markStrip(const Colour (&inks)[4], const std::function<void(Shapes&, float top)>& draw)
{
    Canvas c(markSize, markSize * 4, 1);
    for (int i = 0; i < 4; ++i)
        c.layer(inks[i], [&](Shapes& s) { draw(s, float(i * markSize)); });
    return c.image();
}

Bitmap itemArrow()
{
    return markStrip(arrowInks, [](Shapes& s, float top) {
        s.polygon({{6, top + 4}, {11, top + 8}, {6, top + 12}});
    });
}

Bitmap checkIndicator()
{
    return markStrip(markInks, [](Shapes& s, float top) {
        s.line(3.5f, top + 8.5f, 6.5f, top + 11.5f, 2);
        s.line(6.5f, top + 11.5f, 12.5f, top + 4.5f, 2);
    });
}

Bitmap radioIndicator()
{
    return markStrip(markInks, [](Shapes& s, float top) { s.circle(8, top + 8, 3.5f); });
}

// Plain strips the menu stretches.
Bitmap separator()
{
    Canvas c(4, 1, 1);
    c.layer(Colour(224, 226, 229), [](Shapes& s) { s.rect(0, 0, 4, 1); });
    return c.image();
}

Bitmap verticalLine()
{
    Canvas c(1, 4, 1);
    c.layer(Colour(232, 234, 237), [](Shapes& s) { s.rect(0, 0, 1, 4); });
    return c.image();
}

// Nine-slice, cut at four pixels from each side.
Bitmap hoveredItemBackground()
{
    Canvas c(24, 24, 1);
    c.layer(Colour(127, 178, 229), [](Shapes& s) { s.roundedRect(0, 0, 24, 24, 3); });
    c.layer(Colour(234, 243, 252), [](Shapes& s) { s.roundedRect(1, 1, 22, 22, 2); });
    return c.image();
}

const StyleImageRegistration menuSkins{
    {L"skins", L"UIMenu_ItemArrow", itemArrow},
    {L"skins", L"UIMenu_ItemCheckIndicator", checkIndicator},
    {L"skins", L"UIMenu_ItemRadioIndicator", radioIndicator},
    {L"skins", L"UIMenu_ItemSeparator", separator},
    {L"skins", L"UIMenu_VerticalLine", verticalLine},
    {L"skins", L"UIMenu_HoveredItemBackground", hoveredItemBackground},
};

} // namespace
