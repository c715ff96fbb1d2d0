#include "ui/UISkin.h"

#include "graphics/DrawingSurface.h"
#include "graphics/Graphics.h"
#include "tests/support/GeometryPrinting.h"
#include "tests/support/RowTable.h"
#include "tests/ui/WindowTesting.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

namespace {

// Pictures name each pixel by a letter: a to i are the regions of state 0
// (top-left, top, top-right, right, bottom-right, bottom, bottom-left,
// left, centre), A to I those of state 1, '.' the untouched background.
using Picture = std::vector<std::string>;

const std::string letters = ".abcdefghiABCDEFGHI";

Colour colourOf(char letter)
{
    const int n = int(letters.find(letter));
    return Colour(255, 20 + 12 * n, 240 - 12 * n, n % 2 ? 60 : 180);
}

Bitmap bitmapOf(const Picture& picture)
{
    Bitmap bitmap(int(picture[0].size()), int(picture.size()), true);
    for (int y = 0; y < bitmap.height(); ++y) {
        for (int x = 0; x < bitmap.width(); ++x)
            bitmap.setPixel(x, y, colourOf(picture[std::size_t(y)][std::size_t(x)]));
    }
    return bitmap;
}

Picture pictureOf(const Bitmap& bitmap)
{
    Picture picture;
    for (int y = 0; y < bitmap.height(); ++y) {
        std::string line;
        for (int x = 0; x < bitmap.width(); ++x) {
            char letter = '?';
            for (char candidate : letters) {
                if (colourOf(candidate) == bitmap.pixel(x, y))
                    letter = candidate;
            }
            line += letter;
        }
        picture.push_back(line);
    }
    return picture;
}

// Columns 3, 2, 3 and rows 3, 2, 3: two 8 x 8 states.
const Picture nineSliceStrip = {
    "aaabbccc", "aaabbccc", "aaabbccc", "hhhiiddd", "hhhiiddd", "gggffeee", "gggffeee", "gggffeee",
    "AAABBCCC", "AAABBCCC", "AAABBCCC", "HHHIIDDD", "HHHIIDDD", "GGGFFEEE", "GGGFFEEE", "GGGFFEEE",
};

UISkin nineSliceSkin(int count = 2)
{
    UISkin skin(bitmapOf(nineSliceStrip), true);
    skin.setNineSlice(3, 2, 3, 3, 2, 3, count);
    return skin;
}

// Draws into a surface one pixel larger than the target on every side,
// with the target at (1, 1), and names the pixels.
Picture drawn(Size target, const std::function<void(Graphics&, const Rect&)>& draw)
{
    ensureTestApplication();
    GdiDrawingSurface surface(target.width + 2, target.height + 2);
    surface.fill(colourOf('.'));
    Graphics g(&surface);
    draw(g, Rect(1, 1, target.width, target.height));
    g.end();
    return pictureOf(surface.toBitmap(false));
}

// The picture of a target filled with one letter.
Picture filled(Size target, char letter)
{
    Picture picture(std::size_t(target.height + 2), std::string(std::size_t(target.width + 2), '.'));
    for (int y = 1; y <= target.height; ++y)
        picture[std::size_t(y)].replace(1, std::size_t(target.width), std::size_t(target.width), letter);
    return picture;
}

struct NineSliceRow {
    Size target;
    int state;
    int mask;
    Picture expected;
};

TEST(UISkin, NineSliceDrawingByTargetAndMask)
{
    const NineSliceRow rows[] = {
        // The exact state size draws the state unscaled whatever the mask.
        {{8, 8}, 1, SkinCentre,
         {"..........", ".AAABBCCC.", ".AAABBCCC.", ".AAABBCCC.", ".HHHIIDDD.", ".HHHIIDDD.", ".GGGFFEEE.",
          ".GGGFFEEE.", ".GGGFFEEE.", ".........."}},
        // Width 7 leaves a middle column of one pixel.
        {{7, 10}, 0, SkinAllRegions,
         {".........", ".aaabccc.", ".aaabccc.", ".aaabccc.", ".hhhiddd.", ".hhhiddd.", ".hhhiddd.", ".hhhiddd.",
          ".gggfeee.", ".gggfeee.", ".gggfeee.", "........."}},
        // Width 6 leaves none: nothing at all.
        {{6, 9}, 0, SkinAllRegions, filled({6, 9}, '.')},
        // The centre alone covers the whole target.
        {{7, 7}, 0, SkinCentre, filled({7, 7}, 'i')},
        // The top edge spans the whole width; the centre runs to the bottom.
        {{9, 7}, 0, SkinTop | SkinCentre,
         {"...........", ".bbbbbbbbb.", ".bbbbbbbbb.", ".bbbbbbbbb.", ".iiiiiiiii.", ".iiiiiiiii.", ".iiiiiiiii.",
          ".iiiiiiiii.", "..........."}},
        // The sides run only between the top and bottom rows.
        {{9, 9}, 1, SkinRight | SkinLeft,
         {"...........", "...........", "...........", "...........", ".HHH...DDD.", ".HHH...DDD.", ".HHH...DDD.",
          "...........", "...........", "...........", "..........."}},
        {{10, 8}, 0, SkinTopLeft | SkinBottomRight | SkinBottom,
         {"............", ".aaa........", ".aaa........", ".aaa........", "............", "............",
          "....ffffeee.", "....ffffeee.", "....ffffeee.", "............"}},
        // A state beyond the strip draws nothing.
        {{8, 8}, 2, SkinAllRegions, filled({8, 8}, '.')},
    };
    const UISkin skin = nineSliceSkin();
    forEachRow(rows, [&](const NineSliceRow& row) {
        EXPECT_EQ(drawn(row.target, [&](Graphics& g, const Rect& r) { skin.drawNineSlice(g, r, row.state, row.mask); }),
                  row.expected);
    });
}

TEST(UISkin, PlainSkinStretchesTheWholeState)
{
    UISkin skin(bitmapOf({"ab", "gi", "AB", "GI"}), true);
    skin.setGeometry({0, 0, 0, 0, 0, 0, 2, 2}, 2);
    EXPECT_EQ(skin.stateSize(), (Size{2, 2}));
    EXPECT_EQ(drawn({4, 4}, [&](Graphics& g, const Rect& r) { skin.drawNineSlice(g, r, 1, SkinTop); }),
              (Picture{"......", ".AABB.", ".AABB.", ".GGII.", ".GGII.", "......"}));
}

TEST(UISkin, AlignedDrawingMayOverflowAndReportsItsRectangle)
{
    const UISkin skin = nineSliceSkin();
    Rect placed;
    const Picture picture = drawn({6, 6}, [&](Graphics& g, const Rect& r) {
        skin.drawAligned(g, r, AlignRight | AlignBottom, 0, &placed);
    });
    EXPECT_EQ(placed, Rect(-1, -1, 8, 8));
    EXPECT_EQ(picture, (Picture{"aabbccc.", "aabbccc.", "hhiiddd.", "hhiiddd.", "ggffeee.", "ggffeee.",
                                "ggffeee.", "........"}));
    drawn({6, 6}, [&](Graphics& g, const Rect& r) { skin.drawAligned(g, r, AlignLeft, 5, &placed); });
    EXPECT_TRUE(placed.isEmpty());
}

TEST(UISkin, DrawAtAndDrawRegion)
{
    const UISkin skin = nineSliceSkin();
    EXPECT_EQ(drawn({8, 8}, [&](Graphics& g, const Rect& r) { skin.drawAt(g, r.topLeft(), 0, SkinAllRegions); })[1],
              ".aaabbccc.");
    EXPECT_EQ(drawn({3, 2}, [&](Graphics& g, const Rect& r) { skin.drawRegion(g, r, 1, SkinRight); }),
              (Picture{".....", ".DDD.", ".DDD.", "....."}));
}

struct RegionRow {
    int count;
    int state;
    int flag;
    Rect expected;
};

TEST(UISkin, RegionsOfValidStatesOnly)
{
    const RegionRow rows[] = {
        {2, 1, SkinBottomRight, Rect(5, 13, 3, 3)},
        {2, 0, SkinCentre, Rect(3, 3, 2, 2)},
        {2, 0, 3, Rect()},
        {2, 0, 512, Rect()},
        {2, 2, SkinTop, Rect()},
        {2, -1, SkinTop, Rect()},
        // A count larger than the image holds keeps only the states inside it.
        {5, 2, SkinTop, Rect()},
        {0, 0, SkinTop, Rect()},
    };
    forEachRow(rows, [](const RegionRow& row) {
        const UISkin skin = nineSliceSkin(row.count);
        EXPECT_EQ(skin.region(row.state, row.flag), row.expected);
        EXPECT_EQ(skin.regionRect(row.state, row.flag), row.expected);
    });
}

TEST(UISkin, EachRegionIsItsOwnPartOfEachState)
{
    // Every pixel of the strip differs, so a region cut one pixel off, or
    // with a neighbour's width, shows in what it draws: columns 3, 2, 3 and
    // rows 3, 2, 3, two 8 x 8 states.
    Bitmap strip(8, 16, true);
    for (int y = 0; y < 16; ++y) {
        for (int x = 0; x < 8; ++x)
            strip.setPixel(x, y, Colour(30 * x, 15 * y, 200 - 10 * x - 5 * y));
    }
    struct Row {
        int flag;
        Rect source;
    };
    // In state 0; state 1 lies 8 pixels lower.
    const Row rows[] = {
        {SkinTopLeft, Rect(0, 0, 3, 3)},    {SkinTop, Rect(3, 0, 2, 3)},    {SkinTopRight, Rect(5, 0, 3, 3)},
        {SkinRight, Rect(5, 3, 3, 2)},      {SkinBottomRight, Rect(5, 5, 3, 3)}, {SkinBottom, Rect(3, 5, 2, 3)},
        {SkinBottomLeft, Rect(0, 5, 3, 3)}, {SkinLeft, Rect(0, 3, 3, 2)},   {SkinCentre, Rect(3, 3, 2, 2)},
    };
    UISkin skin(strip, true);
    skin.setNineSlice(3, 2, 3, 3, 2, 3, 2);
    ensureTestApplication();
    forEachRow(rows, [&](const Row& row) {
        for (int state : {0, 1}) {
            const Rect source = row.source.adjusted(0, 8 * state, 0, 8 * state);
            EXPECT_EQ(skin.region(state, row.flag), source) << "state " << state;
            EXPECT_EQ(skin.regionRect(state, row.flag), source) << "state " << state;
            GdiDrawingSurface surface(source.width, source.height);
            Graphics g(&surface);
            skin.drawRegion(g, Rect(0, 0, source.width, source.height), state, row.flag);
            g.end();
            const Bitmap drawn = surface.toBitmap(false);
            for (int y = 0; y < source.height; ++y) {
                for (int x = 0; x < source.width; ++x)
                    ASSERT_EQ(drawn.pixel(x, y), strip.pixel(source.x + x, source.y + y)) << x << "," << y;
            }
        }
    });
}

TEST(UISkin, CountBelowOneHasNoSizeAndDrawsNothing)
{
    for (int count : {0, -3}) {
        const UISkin skin = nineSliceSkin(count);
        EXPECT_EQ(skin.stateSize(), Size());
        EXPECT_TRUE(skin.stateRect(0).isEmpty());
        EXPECT_EQ(drawn({8, 8}, [&](Graphics& g, const Rect& r) { skin.drawNineSlice(g, r, 0, SkinAllRegions); }),
                  filled({8, 8}, '.'));
    }
    const UISkin empty;
    EXPECT_EQ(empty.stateCount(), 0);
    EXPECT_EQ(empty.stateWidth(), 0);
}

} // namespace
