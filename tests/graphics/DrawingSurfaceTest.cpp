#include "graphics/DrawingSurface.h"

#include "tests/support/ColourPrinting.h"
#include "tests/support/GeometryPrinting.h"
#include "tests/support/RowTable.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

Colour pixelAt(const GdiDrawingSurface& surface, int x, int y)
{
    return surface.toBitmap(true).pixel(x, y);
}

} // namespace

TEST(DrawingSurface, LayoutIsTopDownRowsOfWidthTimesFour)
{
    GdiDrawingSurface surface(300, 200);
    ASSERT_TRUE(surface.hasPixels());
    EXPECT_EQ(surface.rect(), Rect(0, 0, 300, 200));
    EXPECT_GT(surface.dpiX(), 0);
    surface.fill(Colour(0x80102030u));
    const std::uint8_t* p = surface.pixels() + (7 * 300 + 5) * 4;
    EXPECT_EQ((std::vector<int>{p[0], p[1], p[2], p[3]}), (std::vector<int>{0x30, 0x20, 0x10, 0x80}));
}

TEST(DrawingSurface, ResizeToSameOrEmptySizeKeepsThePixels)
{
    GdiDrawingSurface surface(8, 6);
    surface.fill(Colour(0x11223344u));
    const std::uint8_t* before = surface.pixels();
    forEachRow(std::vector<Size>{{8, 6}, {0, 6}, {8, 0}, {-1, -1}}, [&](Size s) {
        surface.resize(s.width, s.height);
        EXPECT_EQ(surface.pixels(), before);
        EXPECT_EQ(surface.size(), (Size{8, 6}));
        EXPECT_EQ(pixelAt(surface, 7, 5), Colour(0x11223344u));
    });
}

TEST(DrawingSurface, ResizeFillsOnlyWithAnOpaqueFillColour)
{
    GdiDrawingSurface surface(4, 4);
    surface.setFillColour(Colour(0xFF336699u));
    surface.resize(5, 3);
    EXPECT_EQ(pixelAt(surface, 4, 2).rgb(), 0x336699u);
    surface.setFillColour(Colour(0x80336699u));
    surface.resize(6, 2);
    EXPECT_EQ(surface.toBitmap(true).averageColour(), Colour(0u));
}

TEST(DrawingSurface, FailedAllocationLeavesASafeEmptySurface)
{
    GdiDrawingSurface surface(4, 4);
    // 2.4 GB of pixels cannot become a Bitmap, so the buffer is refused.
    surface.resize(30000, 20000);
    EXPECT_FALSE(surface.hasPixels());
    EXPECT_EQ(surface.size(), (Size{0, 0}));
    surface.fill(Colour(0xFF000000u));
    surface.fill(Colour(0x10000000u));
    const std::uint32_t word = 1;
    surface.copyPixelsFrom(&word, 4);
    EXPECT_TRUE(surface.toBitmap(false).isNull());
    surface.resize(2, 2);
    EXPECT_TRUE(surface.hasPixels());
}

TEST(DrawingSurface, CopyPixelsFromClampsToTheSurfaceBytes)
{
    GdiDrawingSurface surface(2, 2);
    std::vector<std::uint32_t> source(100, 0xFFABCDEFu);
    surface.copyPixelsFrom(source.data(), std::int64_t(source.size()) * 4);
    EXPECT_EQ(pixelAt(surface, 1, 1), Colour(0xFFABCDEFu));
    surface.copyPixelsFrom(nullptr, 16);
    EXPECT_EQ(pixelAt(surface, 0, 0), Colour(0xFFABCDEFu));
}

TEST(DrawingSurface, BitmapRoundTripAndAlphaChoice)
{
    Bitmap source(3, 2, true);
    source.fill(Colour(0x40FF8000u));
    GdiDrawingSurface surface(source);
    EXPECT_EQ(surface.toBitmap(true).pixel(2, 1), Colour(0x40FF8000u));
    EXPECT_EQ(surface.toBitmap(false).pixel(2, 1), Colour(0xFFFF8000u));
    Bitmap opaque(3, 2, false);
    opaque.fill(Colour(0xFF0000FFu));
    EXPECT_EQ(GdiDrawingSurface(opaque).toBitmap(true).pixel(2, 1), Colour(0xFF0000FFu));
}
