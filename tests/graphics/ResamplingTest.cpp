#include "graphics/Bitmap.h"
#include "graphics/ColourSpaces.h"
#include "graphics/Resampler.h"

#include "tests/graphics/GraphicsTestSupport.h"
#include "tests/support/GeometryPrinting.h"
#include "tests/support/RowTable.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <climits>
#include <cstring>
#include <random>
#include <vector>

namespace {

constexpr int filterModes[] = {1, 2, 3, 4};

bool isUniform(const Bitmap& bitmap, Colour colour)
{
    for (int y = 0; y < bitmap.height(); ++y) {
        for (int x = 0; x < bitmap.width(); ++x) {
            if (bitmap.pixel(x, y) != colour)
                return false;
        }
    }
    return true;
}

} // namespace

TEST(Resampling, NearestNeighbourPicks)
{
    const Bitmap source = numberedBitmap(4, 4);
    expectPixels(source.scaled(2, 2, 0), [&](int x, int y) { return source.pixel(2 * x, 2 * y); });
    expectPixels(source.scaled(8, 3, 0), [&](int x, int y) { return source.pixel(x / 2, y * 4 / 3); });
}

TEST(Resampling, BoxFilterAveragesBlocks)
{
    Bitmap line(100, 1, true);
    for (int x = 0; x < 100; ++x)
        line.setPixel(x, 0, Colour(255, std::uint8_t(x / 10 * 10), std::uint8_t(x % 5 * 50), std::uint8_t(x % 10 * 20)));
    Bitmap shrunk = line.scaled(10, 1, 1);
    for (int u = 0; u < 10; ++u)
        EXPECT_EQ(shrunk.pixel(u, 0), Colour(255, std::uint8_t(10 * u), 100, 90)) << "u " << u;
}

TEST(Resampling, UniformStaysUniformUnderEveryFilterAndBlur)
{
    const Colour colour(200, 10, 128, 255);
    const Size sizes[] = {{1, 1}, {3, 7}, {48, 48}, {100, 2}, {17, 300}};
    for (bool alpha : {true, false}) {
        const Colour expected = alpha ? colour : Colour(255, 10, 128, 255);
        const Bitmap source = filledBitmap(13, 9, colour, alpha);
        for (int mode = 0; mode <= 4; ++mode) {
            forEachRow(sizes, [&](const Size& size) {
                EXPECT_TRUE(isUniform(source.scaled(size.width, size.height, mode), expected)) << "mode " << mode;
            });
        }
        for (float radius : {0.0f, 1.0f, 4.0f, 30.0f}) {
            Bitmap blurred = filledBitmap(13, 9, colour, alpha);
            blurred.gaussianBlur(radius);
            EXPECT_TRUE(isUniform(blurred, expected)) << "radius " << radius;
        }
    }
}

TEST(Resampling, WeightTablesStayInsideTheSourceAndSumToOne)
{
    std::vector<int> sizes = {97, 255, 1000, 4000};
    for (int n = 1; n <= 64; ++n)
        sizes.push_back(n);
    for (int mode : filterModes) {
        auto filter = makeResampleFilter(mode);
        for (int source : sizes) {
            for (int destination : sizes) {
                WeightTable table(*filter, destination, source);
                for (int u = 0; u < destination; ++u) {
                    WeightTable::Entry e = table.entry(u);
                    ASSERT_LE(0, e.left);
                    ASSERT_LE(e.left, e.right);
                    ASSERT_LT(e.right, source);
                    ASSERT_LE(e.right - e.left + 1, table.windowSize());
                    float sum = 0;
                    for (int i = e.left; i <= e.right; ++i)
                        sum += e.weights[i - e.left];
                    ASSERT_NEAR(sum, 1.0f, 1e-6f * float(e.right - e.left + 2)) << "mode " << mode << ", " << source << " -> " << destination;
                    ASSERT_NE(e.weights[e.right - e.left], 0.0f);
                }
            }
        }
    }
}

TEST(Resampling, ScaledKeepsDepthAndPremultipliedFlag)
{
    Bitmap source = randomBitmap(20, 10, 1);
    source.setPremultiplied(true);
    for (int mode = 0; mode <= 4; ++mode) {
        Bitmap result = source.scaled(7, 13, mode);
        EXPECT_TRUE(result.hasAlpha());
        EXPECT_TRUE(result.isPremultiplied()) << "mode " << mode;
    }
    Bitmap same = source.scaled(20, 10, 2);
    EXPECT_TRUE(sameBytes(same, source));
    EXPECT_NE(same.bits(), source.bits());
    EXPECT_EQ(randomBitmap(20, 10, 2, false).scaled(31, 3, 3).bitsPerPixel(), 24u);

    EXPECT_TRUE(source.scaled(0, 5, 1).isNull());
    EXPECT_TRUE(source.scaled(5, 5, 5).isNull());
    EXPECT_TRUE(source.scaled(5, 5, -1).isNull());
    EXPECT_TRUE(Bitmap().scaled(5, 5, 1).isNull());
}

TEST(Resampling, OvershootIsClamped)
{
    // A hard black-white edge rings under Catmull-Rom and Lanczos.
    Bitmap edge(8, 1, false);
    for (int x = 0; x < 8; ++x)
        edge.setPixel(x, 0, x < 4 ? Colour(255, 0, 0, 0) : Colour(255, 255, 255, 255));
    for (int mode : {3, 4}) {
        Bitmap up = edge.scaled(29, 1, mode);
        EXPECT_EQ(up.pixel(0, 0), Colour(255, 0, 0, 0));
        EXPECT_EQ(up.pixel(28, 0), Colour(255, 255, 255, 255));
    }
}

TEST(Resampling, ScaledToHeightAndToFit)
{
    Bitmap source = randomBitmap(40, 20, 3);
    EXPECT_EQ(source.scaledToHeight(10, 1).size(), (Size{20, 10}));
    EXPECT_EQ(source.scaledToFit(10, 10, 2).size(), (Size{10, 5}));
    EXPECT_EQ(source.scaledToFit(1000, 1, 2).size(), (Size{2, 1}));
    EXPECT_EQ(randomBitmap(1000, 1, 4).scaledToFit(10, 10, 0).size(), (Size{10, 1}));
    EXPECT_TRUE(sameBytes(source.scaledToFit(40, 20, 2), source));
}

TEST(Resampling, CopyRectAndAppendedBelow)
{
    Bitmap source = randomBitmap(6, 5, 5);
    source.setPremultiplied(true);
    Bitmap part = source.copyRect(Rect(2, 1, 3, 4));
    ASSERT_EQ(part.size(), (Size{3, 4}));
    EXPECT_TRUE(part.isPremultiplied());
    expectPixels(part, [&](int x, int y) { return source.pixel(x + 2, y + 1); });
    const Rect refused[] = {{-1, 0, 2, 2}, {0, 0, 7, 1}, {5, 4, 2, 1}, {0, 0, 0, 1}, {1, 1, INT_MAX, 1}};
    forEachRow(refused, [&](const Rect& r) { EXPECT_TRUE(source.copyRect(r).isNull()); });
    EXPECT_TRUE(randomBitmap(6, 5, 5, false).copyRect(Rect(0, 0, 1, 1)).isNull());

    Bitmap below = randomBitmap(6, 2, 6);
    Bitmap both = source.appendedBelow(below);
    ASSERT_EQ(both.size(), (Size{6, 7}));
    EXPECT_EQ(both.pixel(4, 4), source.pixel(4, 4));
    EXPECT_EQ(both.pixel(4, 6), below.pixel(4, 1));
    EXPECT_TRUE(source.appendedBelow(randomBitmap(5, 2, 7)).isNull());
    EXPECT_TRUE(source.appendedBelow(randomBitmap(6, 2, 7, false)).isNull());
}

TEST(Resampling, DrawBitmapClipsAndComposites)
{
    struct Row {
        Point at;
        Rect covered;
    };
    const Row rows[] = {
        {{-2, -1}, {0, 0, 2, 3}}, {{3, 2}, {3, 2, 2, 2}}, {{-4, 0}, Rect::empty},
        {{5, 0}, Rect::empty},    {{1, -3}, {1, 0, 4, 1}},  {{INT_MAX, INT_MAX}, Rect::empty},
    };
    const Colour under(0xFF102030u);
    const Colour top(0xFFC0B0A0u);
    forEachRow(rows, [&](const Row& row) {
        Bitmap target = filledBitmap(5, 4, under);
        target.drawBitmap(filledBitmap(4, 4, top), row.at);
        expectPixels(target, [&](int x, int y) { return row.covered.contains(Point{x, y}) ? top : under; });
    });

    // Reads start inside the source: an offset source row shows up shifted.
    Bitmap target = filledBitmap(3, 3, Colour(0u));
    Bitmap source = randomBitmap(3, 3, 8);
    target.drawBitmap(source, {-1, -2});
    EXPECT_EQ(target.pixel(0, 0), source.pixel(1, 2));
    EXPECT_EQ(target.pixel(1, 0), source.pixel(2, 2));

    Bitmap opaque = filledBitmap(2, 2, Colour(0xFF804020u));
    opaque.drawBitmap(filledBitmap(2, 2, Colour(0x00FFFFFFu)), {0, 0});
    Colour kept = opaque.pixel(1, 1);
    EXPECT_EQ(kept.alpha(), 255);
    EXPECT_NEAR(kept.red(), 0x80, 1);
    EXPECT_NEAR(kept.green(), 0x40, 1);
    EXPECT_NEAR(kept.blue(), 0x20, 1);

    Bitmap half = filledBitmap(1, 1, Colour(255, 0, 0, 0));
    half.drawBitmap(filledBitmap(1, 1, Colour(128, 255, 255, 255)), {0, 0});
    EXPECT_EQ(half.pixel(0, 0), Colour(255, 128, 128, 128));

    Bitmap plain = filledBitmap(2, 2, under, false);
    plain.drawBitmap(filledBitmap(2, 2, top), {0, 0});
    EXPECT_EQ(plain.pixel(0, 0), under);
}

TEST(Resampling, BlurSpreadsAndConservesAPoint)
{
    Bitmap dot = filledBitmap(21, 21, Colour(0u));
    dot.setPixel(10, 10, Colour(0xFFFFFFFFu));
    Bitmap unchanged = dot.copy();
    unchanged.gaussianBlur(0);
    EXPECT_TRUE(sameBytes(unchanged, dot));
    dot.gaussianBlur(4);
    EXPECT_LT(dot.pixelAlpha(10, 10), 255);
    EXPECT_GT(dot.pixelAlpha(11, 10), 0);
    EXPECT_EQ(dot.pixelAlpha(11, 10), dot.pixelAlpha(9, 10));
    EXPECT_EQ(dot.pixelAlpha(10, 11), dot.pixelAlpha(10, 9));
    EXPECT_EQ(dot.pixelAlpha(0, 0), 0);
    // A radius far wider than the image, or not a number, must not allocate
    // a kernel of its own size or convert NaN.
    Bitmap small = randomBitmap(3, 2, 9);
    small.gaussianBlur(1e30f);
    small.gaussianBlur(std::nanf(""));
}

TEST(Resampling, QuarterTurnsAreExact)
{
    const Bitmap source = randomBitmap(5, 3, 10);
    struct Row {
        float degrees;
        std::function<Colour(int x, int y)> from;
    };
    const auto quarter = [&](int x, int y) { return source.pixel(y, 2 - x); };
    const auto half = [&](int x, int y) { return source.pixel(4 - x, 2 - y); };
    const auto threeQuarters = [&](int x, int y) { return source.pixel(4 - y, x); };
    const Row rows[] = {{90, quarter},        {-270, quarter}, {180, half},
                        {270, threeQuarters}, {-90, threeQuarters}, {720, [&](int x, int y) { return source.pixel(x, y); }}};
    forEachRow(rows, [&](const Row& row) {
        const Bitmap turned = source.rotated(row.degrees, Colour());
        EXPECT_EQ(turned.width(), int(row.degrees) % 180 == 0 ? 5 : 3);
        expectPixels(turned, row.from);
    });
    expectPixels(source.rotated90(), quarter);

    Bitmap tilted = filledBitmap(10, 10, Colour(0xFF336699u)).rotated(45, Colour(0u));
    EXPECT_EQ(tilted.size(), (Size{15, 15}));
    EXPECT_EQ(tilted.pixel(7, 7), Colour(0xFF336699u));
    EXPECT_EQ(tilted.pixel(0, 0), Colour(0u));
    Bitmap plain = randomBitmap(4, 4, 11, false);
    EXPECT_EQ(plain.rotated(30, Colour()).size(), (Size{4, 4}));
}

TEST(Resampling, Magnified)
{
    const Bitmap source = randomBitmap(4, 4, 12);
    const Colour background(0xFF00FF00u);
    Bitmap view = source.magnified({1, 1}, 3, {6, 6}, background);
    ASSERT_EQ(view.size(), (Size{6, 6}));
    EXPECT_EQ(view.pixel(3, 3), source.pixel(1, 1));
    EXPECT_EQ(view.pixel(5, 5), source.pixel(1, 1));
    EXPECT_EQ(view.pixel(2, 2), source.pixel(0, 0));
    EXPECT_EQ(view.pixel(0, 0), source.pixel(0, 0));
    EXPECT_EQ(source.magnified({0, 3}, 3, {6, 6}, background).pixel(2, 3), background);
    EXPECT_EQ(source.magnified({3, 3}, 3, {6, 6}, background).pixel(3, 3), source.pixel(3, 3));
    EXPECT_EQ(source.magnified({3, 3}, 3, {6, 6}, background).pixel(3, 5), source.pixel(3, 3));
    EXPECT_EQ(source.magnified({3, 3}, 2, {6, 6}, background).pixel(5, 5), background);
    EXPECT_EQ(source.magnified({1, 1}, 3, {6, 6}, background, {3, 0}).pixel(3, 3), source.pixel(2, 1));
    EXPECT_TRUE(source.magnified({1, 1}, 0, {6, 6}, background).isNull());
}

TEST(ColourSpaces, RoundTrips)
{
    std::mt19937 random(13);
    for (int i = 0; i < 2000; ++i) {
        const Rgb rgb{std::uint8_t(random()), std::uint8_t(random()), std::uint8_t(random())};
        EXPECT_EQ(hslToRgb(rgbToHsl(rgb)), rgb);
        EXPECT_EQ(hsvToRgb(rgbToHsv(rgb)), rgb);
        EXPECT_EQ(cmykToRgb(rgbToCmyk(rgb)), rgb);
        Rgb back = yCbCrToRgb(rgbToYCbCr(rgb));
        EXPECT_NEAR(back.r, rgb.r, 2);
        EXPECT_NEAR(back.g, rgb.g, 2);
        EXPECT_NEAR(back.b, rgb.b, 2);
    }
    EXPECT_FLOAT_EQ(rgbToHsv({0, 255, 0}).h, 120.0f);
    EXPECT_FLOAT_EQ(rgbToHsl({0, 0, 255}).h, 2.0f / 3);
    // Out of range used to be converted to a byte without a clamp.
    EXPECT_EQ(yCbCrToRgb({300, 128, 128}), (Rgb{255, 255, 255}));
    EXPECT_EQ(yCbCrToRgb({0, 128, 128}), (Rgb{0, 0, 0}));
}
