// The tab bar's skins: the tabs join into one segmented strip whose outer
// ends are rounded, with a thin line between neighbours; the current tab
// is tinted blue.

#include "StyleCanvas.h"
#include "StyleImages.h"

#include <iterator>

namespace {

constexpr int tabState = 24;
constexpr int separatorWidth = 1;
constexpr int separatorHeight = 12;

struct TabLook {
    Colour border;
    Colour face;
};

// Normal, under the pointer, pressed, disabled, current.
const TabLook tabLooks[] = {
    {Colour(200, 205, 211), Colour(246, 247, 249)}, {Colour(127, 178, 229), Colour(234, 243, 252)},
    {Colour(79, 145, 214), Colour(211, 230, 248)},  {Colour(224, 226, 229), Colour(245, 245, 245)},
    {Colour(79, 145, 214), Colour(220, 235, 250)},
};

// Normal, disabled.
const Colour separatorColours[] = {Colour(200, 205, 211), Colour(224, 226, 229)};

Bitmap tabBackground()
{
    const int count = int(std::size(tabLooks));
    Canvas c(tabState, tabState * count, 1);
    for (int i = 0; i < count; ++i) {
        const float top = float(i * tabState);
        const float size = float(tabState);
        c.layer(tabLooks[i].border, [&](Shapes& s) { s.roundedRect(0, top, size, size, 4); });
        c.layer(tabLooks[i].face, [&](Shapes& s) { s.roundedRect(1, top + 1, size - 2, size - 2, 3); });
    }
    return c.image();
}

Bitmap tabSeparator()
{
    const int count = int(std::size(separatorColours));
    Canvas c(separatorWidth, separatorHeight * count, 1);
    for (int i = 0; i < count; ++i) {
        const float top = float(i * separatorHeight);
        c.layer(separatorColours[i], [&](Shapes& s) { s.rect(0, top, separatorWidth, separatorHeight); });
    }
    return c.image();
}

const StyleImageRegistration tabBarSkins{
    {L"skins", L"UITabBar_ItemBackground", tabBackground},
    {L"skins", L"UITabBar_Separator", tabSeparator},
};

} // namespace
