// The column header's skins: its background, the sections in three states,
// the separator between sections and the two sort arrows.

#include "StyleCanvas.h"
#include "StyleImages.h"

namespace {

// A header state is headerWidth x headerHeight; the skins cut one pixel
// column at each side, the top pixel row and the two bottom ones.
constexpr int headerWidth = 8;
constexpr int headerHeight = 20;

struct SectionLook {
    Colour face;
    Colour underline;
};

// Normal, under the pointer or resizing, pressed.
const SectionLook sectionLooks[] = {
    {Colour(253, 253, 253), Colour(200, 205, 211)},
    {Colour(234, 243, 252), Colour(127, 178, 229)},
    {Colour(211, 230, 248), Colour(79, 145, 214)},
};

const Colour separatorGrey(214, 218, 223);
const Colour arrowGrey(105, 112, 121);

Bitmap sectionStrip(const SectionLook* looks, int count)
{
    Canvas c(headerWidth, headerHeight * count, 1);
    for (int i = 0; i < count; ++i) {
        const float top = float(i * headerHeight);
        c.layer(looks[i].face, [&](Shapes& s) { s.rect(0, top, headerWidth, headerHeight - 1); });
        c.layer(looks[i].underline, [&](Shapes& s) { s.rect(0, top + headerHeight - 1, headerWidth, 1); });
    }
    return c.image();
}

// Where no section is: the normal face, so the header reads as one bar.
Bitmap headerBackground()
{
    return sectionStrip(sectionLooks, 1);
}

Bitmap itemBackground()
{
    return sectionStrip(sectionLooks, int(std::size(sectionLooks)));
}

// Drawn two pixels below the section's top: a line that stops short of the
// underline.
Bitmap itemSeparator()
{
    Canvas c(1, headerHeight - 5, 1);
    c.layer(separatorGrey, [](Shapes& s) { s.rect(0, 0, 1, headerHeight - 5); });
    return c.image();
}

// The arrows sit in the 11 pixels left of a sorted section's title.
constexpr int arrowBoxWidth = 11;
constexpr int arrowBoxHeight = 6;

Bitmap sortArrow(bool pointsDown)
{
    Canvas c(arrowBoxWidth, arrowBoxHeight, 1);
    const float tip = pointsDown ? 5 : 1;
    const float base = pointsDown ? 1 : 5;
    c.layer(arrowGrey, [&](Shapes& s) { s.polygon({{2.5f, base}, {9.5f, base}, {6, tip}}); });
    return c.image();
}

Bitmap sortIndicatorDown()
{
    return sortArrow(true);
}

Bitmap sortIndicatorUp()
{
    return sortArrow(false);
}

const StyleImageRegistration headerSkins{
    {L"skins", L"UIHeader_Background", headerBackground},
    {L"skins", L"UIHeader_ItemBackground", itemBackground},
    {L"skins", L"UIHeader_ItemSeparator", itemSeparator},
    {L"skins", L"UIHeader_SortIndicatorDown", sortIndicatorDown},
    {L"skins", L"UIHeader_SortIndicatorUp", sortIndicatorUp},
    // The same arrows named by sort order, as the header paints them: an
    // ascending section shows the downward one.
    {L"skins", L"UIHeader_SortIndicatorAsc", sortIndicatorDown},
    {L"skins", L"UIHeader_SortIndicatorDesc", sortIndicatorUp},
};

} // namespace
