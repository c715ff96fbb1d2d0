#include "graphics/DrawingSurface.h"
#include "graphics/GdiPaintEngine.h"
#include "graphics/Graphics.h"
#include "graphics/ImageCodec.h"

#include "tests/support/ColourPrinting.h"
#include "tests/support/GeometryPrinting.h"
#include "tests/support/RowTable.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>
#include <vector>

namespace {

constexpr Colour white = Colour(0xFFFFFFFFu);
constexpr Colour black = Colour(0xFF000000u);

Colour grey(int v)
{
    return Colour(std::uint8_t(v), std::uint8_t(v), std::uint8_t(v));
}

Brush gradientBrush(std::uint32_t kind, const std::vector<std::pair<Colour, float>>& stops)
{
    Gradient gradient(kind);
    for (const auto& [colour, position] : stops)
        gradient.addStop(colour, position);
    return Brush(gradient);
}

// Four pixels: red, green / blue, black, with the given alpha.
Bitmap quad(std::uint8_t alpha = 255)
{
    Bitmap image(2, 2, true);
    image.setPixel(0, 0, Colour(alpha, 255, 0, 0));
    image.setPixel(1, 0, Colour(alpha, 0, 255, 0));
    image.setPixel(0, 1, Colour(alpha, 0, 0, 255));
    image.setPixel(1, 1, Colour(alpha, 0, 0, 0));
    return image;
}

// A white surface painted through the real GDI engine; pixels are read
// back after the painter has ended.
class GdiPaintEngineTest : public ::testing::Test {
protected:
    static constexpr int side = 12;

    // Bitmaps and tiles are drawn through GDI+, which the codecs start.
    static void SetUpTestSuite() { initImageCodecs(); }

    void SetUp() override
    {
        m_previous = currentPaintEngine();
        setCurrentPaintEngine(&engine);
        surface.fill(white);
    }
    void TearDown() override { setCurrentPaintEngine(m_previous); }

    void paint(const std::function<void(Graphics&)>& draw)
    {
        Graphics painter(&surface);
        ASSERT_TRUE(painter.isActive());
        draw(painter);
    }

    // Every pixel's R, G and B against expected, within tolerance per channel.
    void expectPixels(const std::function<Colour(int x, int y)>& expected, int tolerance = 0)
    {
        const Bitmap pixels = surface.toBitmap(false);
        int mismatches = 0;
        for (int y = 0; y < side; ++y) {
            for (int x = 0; x < side; ++x) {
                const Colour got = pixels.pixel(x, y);
                const Colour want = expected(x, y);
                const bool near = std::abs(got.red() - want.red()) <= tolerance &&
                                  std::abs(got.green() - want.green()) <= tolerance &&
                                  std::abs(got.blue() - want.blue()) <= tolerance;
                if (!near && mismatches++ < 5)
                    ADD_FAILURE() << "pixel (" << x << ", " << y << "): " << ::testing::PrintToString(got)
                                  << " instead of " << ::testing::PrintToString(want);
            }
        }
    }

    static std::function<Colour(int, int)> inside(const Rect& r, Colour colour)
    {
        return [=](int x, int y) { return r.contains(Point{x, y}) ? colour : white; };
    }

    GdiPaintEngine engine;
    GdiDrawingSurface surface{side, side};

private:
    PaintEngine* m_previous = nullptr;
};

} // namespace

TEST_F(GdiPaintEngineTest, SolidFillsAreExact)
{
    struct Row {
        Rect rect;
        Colour colour;
    };
    forEachRow(std::vector<Row>{{Rect(0, 0, 12, 12), Colour(0xFF123456u)},
                                {Rect(2, 3, 4, 5), Colour(0xFFFF0000u)},
                                {Rect(-3, 9, 40, 1), Colour(0xFF00FF80u)},
                                {Rect(11, 11, 1, 1), black}},
               [&](const Row& row) {
                   surface.fill(white);
                   paint([&](Graphics& g) { g.fillRectColour(row.rect, row.colour); });
                   expectPixels(inside(row.rect, row.colour));
               });
}

TEST_F(GdiPaintEngineTest, GradientLinesTakeTheirShareOfTheShape)
{
    struct Row {
        Brush brush;
        std::vector<int> lines;
    };
    forEachRow(std::vector<Row>{{gradientBrush(Gradient::Vertical, {{black, 0.0f}, {white, 1.0f}}), {0, 85, 170}},
                                {gradientBrush(0, {{black, 0.0f}, {white, 1.0f}}), {0, 85, 170}},
                                // 2.5 rows go to the first pair as 3.
                                {gradientBrush(Gradient::Vertical, {{black, 0.0f}, {white, 0.5f}, {black, 1.0f}}),
                                 {0, 85, 170, 255, 127}},
                                // The rounded shares come to 6 of 5 rows: the sixth is cut off.
                                {gradientBrush(Gradient::Vertical,
                                               {{black, 0.0f}, {white, 0.5f}, {black, 1.0f}, {white, 1.0f}}),
                                 {0, 85, 170, 255, 170}},
                                {gradientBrush(Gradient::Vertical, {{grey(40), 0.0f}}), {40, 40}}},
               [&](const Row& row) {
                   surface.fill(white);
                   const bool vertical = row.brush.gradient().kind() == Gradient::Vertical;
                   const int n = int(row.lines.size());
                   const Rect area = vertical ? Rect(1, 2, 6, n) : Rect(1, 2, n, 6);
                   paint([&](Graphics& g) { g.fillRect(area, row.brush); });
                   expectPixels([&](int x, int y) {
                       if (!area.contains(Point{x, y}))
                           return white;
                       return grey(row.lines[std::size_t(vertical ? y - area.y : x - area.x)]);
                   });
               });
}

TEST_F(GdiPaintEngineTest, InvisiblePenHidesGradientsButNotPlainFills)
{
    const Rect area(2, 2, 4, 4);
    paint([&](Graphics& g) {
        g.setPen(Pen(Colour(0x00000000u)));
        g.fillRect(area, gradientBrush(Gradient::Vertical, {{black, 0.0f}, {black, 1.0f}}));
    });
    expectPixels(inside(Rect(), black));
    paint([&](Graphics& g) {
        g.setPen(Pen(Colour(0x00000000u)));
        g.fillRectColour(area, black);
        g.drawLine(0, 0, 10, 0);
        g.drawTextRaw(L"W", 1, 0, 0);
    });
    expectPixels(inside(area, black));
}

TEST_F(GdiPaintEngineTest, PensDrawWithoutTheirEndPoint)
{
    struct Row {
        Pen pen;
        std::function<bool(int x)> set;
    };
    forEachRow(std::vector<Row>{{Pen(black, 1.9f, Pen::Solid), [](int) { return true; }},
                                {Pen(black, 1.0f, 7), [](int) { return true; }},
                                // The alternate kind is drawn one pixel wide whatever its width.
                                {Pen(black, 5.0f, Pen::AlternateDots), [](int x) { return x % 2 == 1; }}},
               [&](const Row& row) {
                   surface.fill(white);
                   paint([&](Graphics& g) {
                       g.setPen(row.pen);
                       g.drawLine(1, 5, 9, 5);
                   });
                   expectPixels([&](int x, int y) { return y == 5 && x >= 1 && x < 9 && row.set(x) ? black : white; });
               });
}

TEST_F(GdiPaintEngineTest, RectOutlinesAndInversion)
{
    paint([&](Graphics& g) {
        g.setPen(Pen(black));
        g.drawRect(2, 2, 5, 4);
        g.fillRectColour(Rect(8, 8, 2, 2), Colour(0xFF204060u));
        g.invertRect(Rect(8, 8, 3, 3), true);
        g.invertRect(Rect(0, 0, 12, 12), false);
    });
    expectPixels([](int x, int y) {
        const Point p{x, y};
        if (Rect(8, 8, 2, 2).contains(p))
            return Colour(0xFFDFBF9Fu);
        if (Rect(8, 8, 3, 3).contains(p))
            return black;
        // In the advanced graphics mode GDI draws the right and bottom
        // edges too: the outline of (2, 2, 5, 4) spans 6 x 5 pixels.
        const bool edge = Rect(2, 2, 6, 5).contains(p) && !Rect(3, 3, 4, 3).contains(p);
        return edge ? black : white;
    });
}

TEST_F(GdiPaintEngineTest, ClipAndTransformShapeTheFill)
{
    paint([&](Graphics& g) {
        g.setClipRect(Rect(0, 0, 6, 12));
        g.fillRectColour(Rect(4, 0, 4, 2), black);
        g.resetClip();
        g.translate(5, 6);
        g.fillRectColour(Rect(0, 0, 2, 3), black);
    });
    expectPixels([](int x, int y) {
        const Point p{x, y};
        return Rect(4, 0, 2, 2).contains(p) || Rect(5, 6, 2, 3).contains(p) ? black : white;
    });
}

TEST_F(GdiPaintEngineTest, ANewPainterStartsWithoutTheLastOnesTransformAndClip)
{
    // The context used to keep them, so the next pass drew shifted and clipped.
    paint([&](Graphics& g) {
        g.translate(5, 5);
        g.setClipRect(Rect(0, 0, 1, 1));
    });
    paint([&](Graphics& g) { g.fillRectColour(Rect(1, 1, 3, 3), black); });
    expectPixels(inside(Rect(1, 1, 3, 3), black));
}

TEST_F(GdiPaintEngineTest, TextIsDrawnInThePenColourInsideItsPlace)
{
    Rect placed;
    paint([&](Graphics& g) {
        g.setPen(Pen(black));
        g.drawText(String(L"W"), Rect(0, 0, side, side), AlignCenter, ElideNone, 0, &placed);
    });
    const Bitmap pixels = surface.toBitmap(false);
    int dark = 0;
    for (int y = 0; y < side; ++y)
        for (int x = 0; x < side; ++x)
            dark += pixels.pixel(x, y).red() < 128 ? 1 : 0;
    EXPECT_GT(dark, 0);
    EXPECT_FALSE(placed.isEmpty());
}

// GDI+ draws these, so Wine's compositing may differ by a step or two.
constexpr int gdiplusTolerance = 3;

TEST_F(GdiPaintEngineTest, BitmapsUnscaledScaledAndTiled)
{
    const Bitmap image = quad();
    struct Row {
        std::function<void(Graphics&)> draw;
        std::function<Colour(int, int)> expected;
    };
    const auto at = [&](int x, int y) { return Colour(image.pixel(x, y).argb() | 0xFF000000u); };
    forEachRow(std::vector<Row>{{[&](Graphics& g) { g.drawBitmapAt(image, 3, 4); },
                                 [&](int x, int y) {
                                     return Rect(3, 4, 2, 2).contains(Point{x, y}) ? at(x - 3, y - 4) : white;
                                 }},
                                // Equal sizes draw the part unscaled.
                                {[&](Graphics& g) { g.drawBitmapScaled(image, Rect(1, 0, 1, 2), Rect(6, 6, 1, 2)); },
                                 [&](int x, int y) {
                                     return Rect(6, 6, 1, 2).contains(Point{x, y}) ? at(1, y - 6) : white;
                                 }},
                                {[&](Graphics& g) { g.drawBitmapScaledTo(image, 2, 2, 8, 8); },
                                 [&](int x, int y) {
                                     return Rect(2, 2, 8, 8).contains(Point{x, y}) ? at((x - 2) / 4, (y - 2) / 4)
                                                                                   : white;
                                 }},
                                // The texture is anchored at the surface's origin.
                                {[&](Graphics& g) { g.tileBitmap(image, Rect(1, 1, 7, 7)); },
                                 [&](int x, int y) {
                                     return Rect(1, 1, 7, 7).contains(Point{x, y}) ? at(x % 2, y % 2) : white;
                                 }}},
               [&](const Row& row) {
                   surface.fill(white);
                   paint(row.draw);
                   expectPixels(row.expected, gdiplusTolerance);
               });
}

TEST_F(GdiPaintEngineTest, BlendingHintChoosesCompositeOrCopy)
{
    const Bitmap translucent = quad(128);
    paint([&](Graphics& g) { g.drawBitmapAt(translucent, 0, 0); });
    const Colour blended = surface.toBitmap(false).pixel(0, 0);
    EXPECT_NEAR(blended.red(), 255, gdiplusTolerance);
    EXPECT_NEAR(blended.green(), 127, gdiplusTolerance);
    surface.fill(white);
    paint([&](Graphics& g) {
        g.setRenderHint(Graphics::AlphaBlending, false);
        g.drawBitmapAt(translucent, 0, 0);
    });
    EXPECT_NEAR(surface.toBitmap(false).pixel(0, 0).green(), 0, gdiplusTolerance);
}

TEST_F(GdiPaintEngineTest, InvisiblePenOrFillBrushLeavesOutThatPartOfAnEllipse)
{
    // An invisible fill brush used to fill with its colour, alpha dropped.
    const Rect box(1, 1, 10, 10);
    paint([&](Graphics& g) {
        g.setPen(Pen(black));
        g.setFillBrush(Brush(Colour(0x00000000u)));
        g.drawEllipse(box);
    });
    const Bitmap outline = surface.toBitmap(false);
    EXPECT_EQ(outline.pixel(6, 6), white);
    EXPECT_EQ(outline.pixel(6, 1), black);
    surface.fill(white);
    paint([&](Graphics& g) {
        g.setPen(Pen(Colour(0x00FF0000u)));
        g.setFillBrush(Brush(black));
        g.drawEllipse(box);
    });
    const Bitmap filled = surface.toBitmap(false);
    EXPECT_EQ(filled.pixel(6, 6), black);
    EXPECT_NE(filled.pixel(6, 1).red(), 255);
    EXPECT_EQ(filled.pixel(6, 1).green(), filled.pixel(6, 1).red());
}
