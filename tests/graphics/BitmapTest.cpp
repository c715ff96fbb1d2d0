#include "graphics/Bitmap.h"

#include "tests/graphics/GraphicsTestSupport.h"
#include "tests/support/RowTable.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstring>
#include <vector>

namespace {

struct Bgra {
    std::uint8_t b, g, r, a;
    bool operator==(const Bgra&) const = default;
};

void PrintTo(const Bgra& p, std::ostream* os)
{
    *os << "{" << int(p.b) << ", " << int(p.g) << ", " << int(p.r) << ", " << int(p.a) << "}";
}

Bgra at(const Bitmap& bitmap, int x, int y)
{
    const std::uint8_t* p = bitmap.pixelAddress(x, y);
    return {p[0], p[1], p[2], p[3]};
}

} // namespace

TEST(Bitmap, Geometry)
{
    struct Row {
        int width, height;
        bool alpha;
        std::uint32_t stride, slack, columnBytes, byteCount;
    };
    const Row rows[] = {
        {5, 2, false, 16, 1, 6, 32},
        {5, 2, true, 20, 0, 8, 40},
        {4, 3, false, 12, 0, 9, 36},
        {1, 1, false, 4, 1, 3, 4},
    };
    forEachRow(rows, [](const Row& row) {
        Bitmap bitmap(row.width, row.height, row.alpha);
        EXPECT_EQ(bitmap.stride(), row.stride);
        EXPECT_EQ(bitmap.rowSlack(), row.slack);
        EXPECT_EQ(bitmap.columnBytes(), row.columnBytes);
        EXPECT_EQ(bitmap.byteCount(), row.byteCount);
    });
}

TEST(Bitmap, RefusedSizesGiveTheEmptyBitmap)
{
    struct Row {
        int width, height;
        bool alpha;
    };
    // The byte count used to be computed in 32 bits, so 65536 x 65536 wrapped to a tiny block.
    const Row rows[] = {
        {0, 5, true},          {5, 0, false},          {-1, 5, true},         {INT_MIN, -1, true},
        {65536, 65536, true},  {65536, 65536, false},  {0x20000000, 1, true}, {46341, 46341, true},
        {INT_MAX, 1, false},   {1, INT_MAX, true},
    };
    std::vector<std::uint8_t> bytes(64);
    forEachRow(rows, [&bytes](const Row& row) {
        EXPECT_TRUE(Bitmap(row.width, row.height, row.alpha).isNull());
        EXPECT_TRUE(Bitmap(bytes.data(), row.width, row.height, row.alpha).isNull());
        EXPECT_TRUE(Bitmap::fromPixels(bytes.data(), row.width, row.height, row.alpha, -1).isNull());
    });
    EXPECT_EQ(&Bitmap::null(), &Bitmap::null());
    EXPECT_TRUE(Bitmap::null().copy().isNull());
    EXPECT_EQ(Bitmap::null().averageColour(), Colour());
}

TEST(Bitmap, CopiesShareTheBlock)
{
    Bitmap first = numberedBitmap(3, 2);
    Bitmap second = first;
    EXPECT_EQ(second.bits(), first.bits());
    second.fill(Colour(0xFF112233u));
    EXPECT_EQ(first.pixel(2, 1), Colour(0xFF112233u));
    first.setAlpha(7);
    EXPECT_EQ(second.pixelAlpha(0, 0), 7);
    second.toGrey();
    EXPECT_EQ(first.pixel(0, 0).red(), first.pixel(0, 0).blue());

    Bitmap deep = first.copy();
    EXPECT_NE(deep.bits(), first.bits());
    deep.fill(Colour(0xFF000000u));
    EXPECT_EQ(first.pixel(0, 0).green(), second.pixel(0, 0).green());
    EXPECT_NE(first.pixel(0, 0), deep.pixel(0, 0));

    // The last holder keeps the block alive after the others are gone.
    Bitmap survivor = first;
    first = Bitmap();
    second.release();
    EXPECT_TRUE(second.isNull());
    EXPECT_EQ(survivor.pixelAlpha(1, 1), 7);
    survivor = survivor;
    EXPECT_EQ(survivor.pixelAlpha(1, 1), 7);
    Bitmap moved = std::move(survivor);
    EXPECT_TRUE(survivor.isNull());
    EXPECT_EQ(moved.pixelAlpha(1, 1), 7);
}

TEST(Bitmap, PremultiplicationValues)
{
    struct Row {
        Bgra straight, premultiplied, backAgain;
    };
    const Row rows[] = {
        {{200, 100, 50, 128}, {100, 50, 25, 128}, {199, 99, 49, 128}},
        {{255, 255, 255, 1}, {1, 1, 1, 1}, {255, 255, 255, 1}},
        {{9, 8, 7, 0}, {0, 0, 0, 0}, {0, 0, 0, 0}},
        {{9, 8, 7, 255}, {9, 8, 7, 255}, {9, 8, 7, 255}},
        {{255, 0, 128, 254}, {253, 0, 127, 254}, {253, 0, 127, 254}},
    };
    forEachRow(rows, [](const Row& row) {
        Bitmap bitmap(&row.straight, 1, 1, true);
        bitmap.setPremultiplied(true);
        EXPECT_EQ(at(bitmap, 0, 0), row.premultiplied);
        bitmap.setPremultiplied(true); // a second call converts nothing
        EXPECT_EQ(at(bitmap, 0, 0), row.premultiplied);
        bitmap.setPremultiplied(false);
        EXPECT_EQ(at(bitmap, 0, 0), row.backAgain);
    });
}

TEST(Bitmap, PremultipliedFlagBelongsToOneObject)
{
    Bitmap first(1, 1, true);
    first.setPixel(0, 0, Colour(128, 200, 100, 50));
    Bitmap second = first;
    first.setPremultiplied(true);
    EXPECT_TRUE(first.isPremultiplied());
    EXPECT_FALSE(second.isPremultiplied());
    EXPECT_EQ(at(second, 0, 0), (Bgra{25, 50, 100, 128}));
    EXPECT_TRUE(first.copy().isPremultiplied());

    Bitmap opaque(2, 2, false);
    opaque.setPremultiplied(true);
    EXPECT_FALSE(opaque.isPremultiplied());
}

TEST(Bitmap, FillWithTransparentColourZeroesEverything)
{
    for (bool alpha : {false, true}) {
        Bitmap bitmap(5, 3, alpha);
        std::memset(bitmap.bits(), 0xAB, bitmap.byteCount());
        bitmap.fill(Colour(0x00FFFFFFu));
        const std::vector<std::uint8_t> zeros(bitmap.byteCount());
        EXPECT_EQ(std::memcmp(bitmap.bits(), zeros.data(), zeros.size()), 0);
        bitmap.fill(Colour(0x80102030u));
        EXPECT_EQ(bitmap.pixel(4, 2), Colour(alpha ? 0x80102030u : 0xFF102030u));
    }
}

TEST(Bitmap, SetAlphaClipsAndIgnoresOpaqueBitmaps)
{
    Bitmap bitmap = numberedBitmap(4, 3);
    bitmap.setAlpha(9, Rect(2, 1, 100, 100));
    bitmap.setAlpha(5, Rect(-10, -10, 11, 11));
    bitmap.setAlpha(6, Rect(INT_MAX - 1, 0, INT_MAX, 1));
    const std::uint8_t expected[3][4] = {{5, 255, 255, 255}, {255, 255, 9, 9}, {255, 255, 9, 9}};
    for (int y = 0; y < 3; ++y) {
        for (int x = 0; x < 4; ++x)
            EXPECT_EQ(bitmap.pixelAlpha(x, y), expected[y][x]) << x << "," << y;
    }

    Bitmap opaque(5, 1, false);
    std::memset(opaque.bits(), 0x11, opaque.byteCount());
    opaque.setAlpha(0);
    EXPECT_EQ(opaque.bits()[15], 0x11);
}

// A rectangle reaching past an edge sets the pixels inside both and no
// other: unclipped, one reaching left on a lower row writes into the end of
// the row above.
TEST(Bitmap, SetAlphaWritesNothingOutsideTheRectangle)
{
    struct Row {
        Rect r;
        Rect inside;
    };
    const Row rows[] = {
        {Rect(-2, 1, 3, 1), Rect(0, 1, 1, 1)},   {Rect(-5, 1, 6, 2), Rect(0, 1, 1, 2)},
        {Rect(1, -1, 2, 2), Rect(1, 0, 2, 1)},   {Rect(3, 2, 5, 5), Rect(3, 2, 1, 1)},
        {Rect(-1, -1, 6, 5), Rect(0, 0, 4, 3)},
    };
    forEachRow(rows, [](const Row& row) {
        Bitmap bitmap(4, 3, true);
        bitmap.fill(Colour(0xFF102030u));
        bitmap.setAlpha(7, row.r);
        for (int y = 0; y < 3; ++y) {
            for (int x = 0; x < 4; ++x)
                EXPECT_EQ(bitmap.pixelAlpha(x, y), row.inside.contains(Point(x, y)) ? 7 : 255) << x << "," << y;
        }
    });
}

TEST(Bitmap, FromPixels)
{
    // Two 24-bit rows of two pixels, each filled out to 8 bytes.
    const std::uint8_t rgb[] = {1, 2, 3, 4, 5, 6, 0, 0, 7, 8, 9, 10, 11, 12, 0, 0};
    Bitmap expanded = Bitmap::fromPixels(rgb, 2, 2, false, sizeof rgb);
    ASSERT_FALSE(expanded.isNull());
    EXPECT_TRUE(expanded.hasAlpha());
    EXPECT_EQ(at(expanded, 1, 0), (Bgra{4, 5, 6, 255}));
    EXPECT_EQ(at(expanded, 0, 1), (Bgra{7, 8, 9, 255}));
    EXPECT_TRUE(Bitmap::fromPixels(rgb, 2, 2, false, 12).isNull());
    EXPECT_FALSE(Bitmap::fromPixels(rgb, 2, 2, true, -1).isNull());
    EXPECT_FALSE(Bitmap::fromPixels(rgb, 2, 2, true, 16).isNull());
    EXPECT_TRUE(Bitmap::fromPixels(rgb, 2, 2, true, 15).isNull());
    EXPECT_TRUE(Bitmap::fromPixels(nullptr, 2, 2, true, -1).isNull());
}

TEST(Bitmap, Mirrored)
{
    const Bitmap source = numberedBitmap(3, 2);
    const Bitmap both = source.mirrored(true, true);
    EXPECT_NE(both.bits(), source.bits());
    expectPixels(both, [&](int x, int y) { return source.pixel(2 - x, 1 - y); });
    const Bitmap row = numberedBitmap(4, 1);
    EXPECT_TRUE(sameBytes(row.mirrored(false, true), row));
    EXPECT_TRUE(Bitmap(4, 4, false).mirrored(false, true).isNull());
}

TEST(Bitmap, LookupTables)
{
    Bitmap bitmap = numberedBitmap(16, 16, 0x80000000u);
    const Bitmap before = bitmap.copy();
    const auto unchanged = [&] { return sameBytes(bitmap, before); };
    for (float gamma : {0.0f, -1.0f, 1.0f})
        bitmap.applyGamma(gamma);
    EXPECT_TRUE(unchanged());
    bitmap.adjustBrightnessContrast(0, 0);
    EXPECT_TRUE(unchanged());

    bitmap.applyGamma(1e-6f); // huge exponent: everything below 255 goes dark, no overflow
    EXPECT_EQ(at(bitmap, 5, 1), (Bgra{0, 0, 0, 0x80}));
    bitmap = before.copy();
    bitmap.adjustBrightnessContrast(0, -100);
    EXPECT_EQ(at(bitmap, 5, 15), (Bgra{128, 128, 128, 0x80}));
    bitmap.adjustBrightnessContrast(INT_MAX, 0);
    EXPECT_EQ(at(bitmap, 0, 0), (Bgra{255, 255, 255, 0x80}));
    bitmap.applyGamma(2.0f);
    EXPECT_EQ(bitmap.pixel(3, 3), Colour(0x80FFFFFFu));
}

TEST(Bitmap, PixelQueries)
{
    Bitmap bitmap(2, 2, true);
    bitmap.fill(Colour(0xFF204060u));
    EXPECT_TRUE(bitmap.isAlphaBinary());
    EXPECT_FALSE(bitmap.hasPartialAlpha());
    EXPECT_TRUE(bitmap.hasNonZeroAlpha());
    EXPECT_TRUE(bitmap.containsPixelValue(0xFF204060u));
    bitmap.setPixel(Point{1, 1}, Colour(0x00204060u));
    bitmap.setAlphaWhereColour(Colour(0xFF204060u), 0x40);
    EXPECT_EQ(bitmap.pixelAlpha(1, 1), 0x40);
    EXPECT_TRUE(bitmap.hasPartialAlpha());
    EXPECT_FALSE(bitmap.isAlphaBinary());
    EXPECT_EQ(bitmap.averageColour(), Colour(0x40204060u));
    Bitmap grey = bitmap.alphaAsGrey();
    EXPECT_EQ(grey.pixel(0, 0), Colour(0xFF404040u));

    bitmap.fill(Colour(0x00000001u));
    bitmap.setPixel(0, 0, Colour(0x01000000u));
    EXPECT_TRUE(bitmap.hasNonZeroAlpha());
    bitmap.setPixel(0, 0, Colour(0x00FFFFFFu));
    EXPECT_FALSE(bitmap.hasNonZeroAlpha());
    EXPECT_TRUE(Bitmap(1, 1, false).hasNonZeroAlpha());

    Bitmap red(2, 2, false);
    red.fill(Colour(0xFF7F0000u));
    bitmap.setAlphaFromRed(red);
    EXPECT_EQ(bitmap.pixelAlpha(1, 0), 0x7F);
    bitmap.setAlphaFromRed(Bitmap(3, 2, true));
    EXPECT_EQ(bitmap.pixelAlpha(1, 0), 0x7F);
}

TEST(Bitmap, OpaqueBitmapsWorkOnEveryByte)
{
    Bitmap bitmap(3, 2, false);
    bitmap.fill(Colour(0xFF0A0B0Cu));
    EXPECT_EQ(bitmap.pixel(2, 1), Colour(0xFF0A0B0Cu));
    EXPECT_EQ(bitmap.pixelAlpha(2, 1), 255);
    EXPECT_EQ(bitmap.averageColour(), Colour(0xFF0A0B0Cu));
    bitmap.invert();
    EXPECT_EQ(bitmap.pixel(0, 0), Colour(0xFFF5F4F3u));
    EXPECT_EQ(bitmap.scanLine(0)[9], 255); // the row slack is inverted too
    std::vector<std::uint8_t> row(bitmap.stride());
    bitmap.copyRowOut(0, row.data());
    row[0] = 1;
    bitmap.copyRowIn(1, row.data());
    EXPECT_EQ(bitmap.pixel(0, 1), Colour(0xFFF5F401u));
    EXPECT_FALSE(bitmap.containsPixelValue(0xFFF5F4F3u));
    EXPECT_TRUE(bitmap.alphaAsGrey().isNull());
}
