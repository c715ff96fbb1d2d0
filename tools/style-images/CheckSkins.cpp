// The check box's indicator: an empty box in four states, then the same
// four states checked, a filled box with a white tick.

#include "StyleCanvas.h"
#include "StyleImages.h"

#include <array>

namespace {

constexpr int indicatorState = 16;

struct IndicatorLook {
    Colour border;
    Colour face;
};

// Normal, under the pointer or pressed, pressed under the pointer, disabled.
const std::array<IndicatorLook, 4> uncheckedLooks = {{
    {Colour(150, 158, 168), Colour(253, 253, 253)},
    {Colour(127, 178, 229), Colour(234, 243, 252)},
    {Colour(79, 145, 214), Colour(211, 230, 248)},
    {Colour(214, 217, 221), Colour(245, 245, 245)},
}};

const std::array<IndicatorLook, 4> checkedLooks = {{
    {Colour(79, 145, 214), Colour(79, 145, 214)},
    {Colour(100, 162, 226), Colour(100, 162, 226)},
    {Colour(60, 124, 194), Colour(60, 124, 194)},
    {Colour(200, 212, 226), Colour(200, 212, 226)},
}};

void drawBox(Canvas& c, float top, const IndicatorLook& look)
{
    const float size = float(indicatorState);
    c.layer(look.border, [&](Shapes& s) { s.roundedRect(0.5f, top + 0.5f, size - 1, size - 1, 2.5f); });
    c.layer(look.face, [&](Shapes& s) { s.roundedRect(1.5f, top + 1.5f, size - 3, size - 3, 1.5f); });
}

void drawTick(Canvas& c, float top)
{
    c.layer(Colour(255, 255, 255), [&](Shapes& s) {
        s.line(4, top + 8, 7, top + 11, 2);
        s.line(6.3f, top + 11.3f, 12, top + 5, 2);
    });
}

Bitmap checkIndicator()
{
    const int count = int(uncheckedLooks.size() + checkedLooks.size());
    Canvas c(indicatorState, indicatorState * count, 1);
    for (std::size_t i = 0; i < uncheckedLooks.size(); ++i)
        drawBox(c, float(i * indicatorState), uncheckedLooks[i]);
    for (std::size_t i = 0; i < checkedLooks.size(); ++i) {
        const float top = float((uncheckedLooks.size() + i) * indicatorState);
        drawBox(c, top, checkedLooks[i]);
        drawTick(c, top);
    }
    return c.image();
}

// The check in a group's title is the same box.
const StyleImageRegistration checkSkins{
    {L"skins", L"UICheck_Indicator", checkIndicator},
    {L"skins", L"UIGroup_Indicator", checkIndicator},
};

} // namespace
