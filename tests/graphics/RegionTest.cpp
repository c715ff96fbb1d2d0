#include "graphics/Region.h"

#include "graphics/Bitmap.h"
#include "tests/support/GeometryPrinting.h"
#include "tests/support/RowTable.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <set>

namespace {

DWORD gdiObjectCount()
{
    return GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS);
}

bool isLiveRegion(RegionHandle handle)
{
    return GetObjectType(handle) == OBJ_REGION;
}

} // namespace

TEST(Region, Combinations)
{
    const Region square(0, 0, 10, 10);
    const Region empty;
    struct Row {
        Region result;
        Rect bounds;
    };
    const Row rows[] = {
        {empty, Rect::empty},
        {Region(Rect(0, 0, 0, 5)), Rect::empty},
        {Region(Rect(5, 6, 7, 8)), Rect(5, 6, 7, 8)},
        {square.subtracted(square), Rect::empty},
        {square.subtracted(Region(0, 0, 5, 5)), Rect(0, 0, 10, 10)},
        {square.subtracted(Region(0, 0, 10, 5)), Rect(0, 5, 10, 5)},
        {square.subtracted(Region(20, 20, 5, 5)), Rect(0, 0, 10, 10)},
        {empty.subtracted(square), Rect::empty},
        {square.subtracted(empty), Rect(0, 0, 10, 10)},
        {empty.subtracted(empty), Rect::empty},
        {square.united(Region(20, 0, 5, 5)), Rect(0, 0, 25, 10)},
        {empty.united(square), Rect(0, 0, 10, 10)},
        {square.intersected(Region(5, 5, 10, 10)), Rect(5, 5, 5, 5)},
        {square.intersected(empty), Rect::empty},
        {square.xored(square), Rect::empty},
        {square.xored(empty), Rect(0, 0, 10, 10)},
    };
    forEachRow(rows, [](const Row& row) {
        EXPECT_EQ(row.result.boundingRect(), row.bounds);
        EXPECT_EQ(row.result.isEmpty(), row.bounds.isEmpty());
    });
    EXPECT_EQ(Region(Rect(0, 0, 0, 5)), Region(Rect(0, 0, 0, 5)));
    EXPECT_EQ(empty, Region());
    EXPECT_NE(empty, square);
    EXPECT_NE(square, empty);
    EXPECT_EQ(square, Region(Rect(0, 0, 10, 10)));
    // A combination never alters or shares its operands.
    const Region copy = square.subtracted(empty);
    EXPECT_NE(copy.handle(), square.handle());
    EXPECT_EQ(copy, square);
    EXPECT_EQ(square.boundingRect(), Rect(0, 0, 10, 10));
}

TEST(Region, ContainsAndTranslate)
{
    Region region = Region(0, 0, 10, 10).subtracted(Region(0, 0, 5, 5));
    EXPECT_FALSE(region.contains(Point{2, 2}));
    EXPECT_TRUE(region.contains(Point{7, 2}));
    EXPECT_FALSE(region.contains(Point{10, 2}));
    EXPECT_TRUE(region.contains(Rect(3, 3, 4, 1)));
    EXPECT_FALSE(region.contains(Rect(1, 1, 3, 3)));
    EXPECT_FALSE(Region().contains(Point{0, 0}));

    Region sharer = region;
    region.translate(100, 50);
    EXPECT_EQ(sharer.boundingRect(), Rect(100, 50, 10, 10));
}

TEST(Region, FromBitmapCoversEveryRunThatIsNotOpaqueBlack)
{
    Bitmap bitmap(6, 3, true);
    bitmap.fill(Colour(0xFF000000u));
    bitmap.setPixel(1, 0, Colour(0xFFFFFFFFu));
    bitmap.setPixel(2, 0, Colour(0x00000000u));
    bitmap.setPixel(5, 2, Colour(0xFF000001u));
    Region region = Region::fromBitmap(bitmap);
    EXPECT_EQ(region, Region(1, 0, 2, 1).united(Region(5, 2, 1, 1)));
    EXPECT_TRUE(region.contains(Point{2, 0}));
    EXPECT_FALSE(region.contains(Point{3, 0}));

    bitmap.fill(Colour(0xFF000000u));
    EXPECT_TRUE(Region::fromBitmap(bitmap).isEmpty());
    EXPECT_TRUE(Region::fromBitmap(Bitmap(4, 4, false)).isEmpty());
}

TEST(Region, LastCopyDeletesTheHandle)
{
    RegionHandle handle = nullptr;
    {
        Region first(0, 0, 4, 4);
        handle = first.handle();
        {
            Region second = first;
            Region third;
            third = second;
            third = third;
            EXPECT_EQ(third.handle(), handle);
        }
        EXPECT_TRUE(isLiveRegion(handle));
        Region moved = std::move(first);
        EXPECT_TRUE(isLiveRegion(handle));
        EXPECT_EQ(moved.boundingRect(), Rect(0, 0, 4, 4));
    }
    EXPECT_FALSE(isLiveRegion(handle));
}

// Wine's GetGuiResources answers 0, so every handle the cycles made is also
// checked to be gone; on Windows the count alone would catch a leak.
TEST(Region, GdiObjectCountReturnsToBaseline)
{
    Bitmap mask(3, 2, true);
    mask.fill(Colour(0xFFFFFFFFu));
    const DWORD baseline = gdiObjectCount();
    std::set<RegionHandle> made;
    for (int i = 0; i < 10000; ++i) {
        Region a(i % 50, 0, 20, 20);
        Region b = a;
        Region c = a.subtracted(Region(0, 0, 5, 5));
        b = c.united(a).xored(b).subtracted(Region());
        Region d;
        d = Region::fromBitmap(mask).intersected(c);
        made.insert({a.handle(), b.handle(), c.handle(), d.handle()});
    }
    EXPECT_EQ(gdiObjectCount(), baseline);
    for (RegionHandle handle : made)
        EXPECT_FALSE(isLiveRegion(handle));
}
