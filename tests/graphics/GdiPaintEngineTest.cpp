#include "graphics/DrawingSurface.h"
#include "graphics/GdiPaintEngine.h"
#include "graphics/Graphics.h"
#include "graphics/ImageCodec.h"

#include "tests/graphics/GraphicsTestSupport.h"
#include "tests/support/GeometryPrinting.h"
#include "tests/support/RowTable.h"

#include <gtest/gtest.h>

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

    void expectPixels(const std::function<Colour(int x, int y)>& expected, int tolerance = 0)
    {
        ::expectPixels(surface.toBitmap(false), expected, tolerance);
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

// Exact values: GDI draws these. Each pass is a painter of its own.
TEST_F(GdiPaintEngineTest, PassesPaintExactPixels)
{
    using Pass = std::function<void(Graphics&)>;
    struct Row {
        std::vector<Pass> passes;
        std::function<Colour(int, int)> expected;
    };
    const auto fill = [](Rect r, Colour c) { return [=](Graphics& g) { g.fillRectColour(r, c); }; };
    const auto line = [](Pen pen) {
        return [=](Graphics& g) {
            g.setPen(pen);
            g.drawLine(1, 5, 9, 5);
        };
    };
    forEachRow(std::vector<Row>{
                   {{fill(Rect(0, 0, 12, 12), Colour(0xFF123456u))}, inside(Rect(0, 0, 12, 12), Colour(0xFF123456u))},
                   {{fill(Rect(2, 3, 4, 5), Colour(0xFFFF0000u))}, inside(Rect(2, 3, 4, 5), Colour(0xFFFF0000u))},
                   {{fill(Rect(-3, 9, 40, 1), Colour(0xFF00FF80u))}, inside(Rect(0, 9, 12, 1), Colour(0xFF00FF80u))},
                   {{fill(Rect(11, 11, 1, 1), black)}, inside(Rect(11, 11, 1, 1), black)},
                   {{[](Graphics& g) {
                        g.setClipRect(Rect(0, 0, 6, 12));
                        g.fillRectColour(Rect(4, 0, 4, 2), black);
                        g.resetClip();
                        g.translate(5, 6);
                        g.fillRectColour(Rect(0, 0, 2, 3), black);
                    }},
                    [](int x, int y) {
                        const Point p{x, y};
                        return Rect(4, 0, 2, 2).contains(p) || Rect(5, 6, 2, 3).contains(p) ? black : white;
                    }},
                   // The context used to keep the last painter's transform and clip,
                   // so the next pass drew shifted and clipped.
                   {{[](Graphics& g) {
                         g.translate(5, 5);
                         g.setClipRect(Rect(0, 0, 1, 1));
                     },
                     fill(Rect(1, 1, 3, 3), black)},
                    inside(Rect(1, 1, 3, 3), black)},
                   {{[](Graphics& g) {
                        g.setPen(Pen(black));
                        g.drawRect(2, 2, 5, 4);
                        g.fillRectColour(Rect(8, 8, 2, 2), Colour(0xFF204060u));
                        g.invertRect(Rect(8, 8, 3, 3), true);
                        g.invertRect(Rect(0, 0, 12, 12), false);
                    }},
                    [](int x, int y) {
                        const Point p{x, y};
                        if (Rect(8, 8, 2, 2).contains(p))
                            return Colour(0xFFDFBF9Fu);
                        if (Rect(8, 8, 3, 3).contains(p))
                            return black;
                        // In the advanced graphics mode GDI draws the right and bottom
                        // edges too: the outline of (2, 2, 5, 4) spans 6 x 5 pixels.
                        return Rect(2, 2, 6, 5).contains(p) && !Rect(3, 3, 4, 3).contains(p) ? black : white;
                    }},
                   // An invisible pen hides gradients, lines and text, but not plain fills.
                   {{[](Graphics& g) {
                        g.setPen(Pen(Colour(0x00000000u)));
                        g.fillRect(Rect(2, 2, 4, 4), gradientBrush(Gradient::Vertical, {{black, 0.0f}, {black, 1.0f}}));
                        g.fillRectColour(Rect(2, 6, 4, 1), black);
                        g.drawLine(0, 0, 10, 0);
                        g.drawTextRaw(L"W", 1, 0, 0);
                    }},
                    inside(Rect(2, 6, 4, 1), black)},
                   // Lines leave out their end point; the alternate kind is one pixel
                   // wide whatever its width.
                   {{line(Pen(black, 1.9f, Pen::Solid))}, inside(Rect(1, 5, 8, 1), black)},
                   {{line(Pen(black, 1.0f, 7))}, inside(Rect(1, 5, 8, 1), black)},
                   {{line(Pen(black, 5.0f, Pen::AlternateDots))},
                    [](int x, int y) { return y == 5 && x >= 1 && x < 9 && x % 2 == 1 ? black : white; }},
               },
               [&](const Row& row) {
                   surface.fill(white);
                   for (const Pass& pass : row.passes)
                       paint(pass);
                   expectPixels(row.expected);
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
        Rect area;
        std::function<Point(int x, int y)> source; // the image pixel shown at (x, y) of the area
    };
    forEachRow(std::vector<Row>{{[&](Graphics& g) { g.drawBitmapAt(image, 3, 4); }, Rect(3, 4, 2, 2),
                                 [](int x, int y) { return Point{x - 3, y - 4}; }},
                                // Equal sizes draw the part unscaled.
                                {[&](Graphics& g) { g.drawBitmapScaled(image, Rect(1, 0, 1, 2), Rect(6, 6, 1, 2)); },
                                 Rect(6, 6, 1, 2), [](int, int y) { return Point{1, y - 6}; }},
                                {[&](Graphics& g) { g.drawBitmapScaledTo(image, 2, 2, 8, 8); }, Rect(2, 2, 8, 8),
                                 [](int x, int y) { return Point{(x - 2) / 4, (y - 2) / 4}; }},
                                // The texture is anchored at the surface's origin.
                                {[&](Graphics& g) { g.tileBitmap(image, Rect(1, 1, 7, 7)); }, Rect(1, 1, 7, 7),
                                 [](int x, int y) { return Point{x % 2, y % 2}; }}},
               [&](const Row& row) {
                   surface.fill(white);
                   paint(row.draw);
                   expectPixels(
                       [&](int x, int y) {
                           if (!row.area.contains(Point{x, y}))
                               return white;
                           const Point at = row.source(x, y);
                           return image.pixel(at.x, at.y);
                       },
                       gdiplusTolerance);
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

// Wine's GDI+ left the first target row or column unpainted when the
// source part started inside the image at some offsets and scale factors,
// as a skin's state and its nine-slice centre do.
TEST_F(GdiPaintEngineTest, ScaledPartOfAStripFillsItsWholeTarget)
{
    const Colour states[] = {Colour(0xFFFF0000u), Colour(0xFF00FF00u), Colour(0xFF0000FFu)};
    Bitmap strip(24, 48, true);
    for (int y = 0; y < 48; ++y) {
        for (int x = 0; x < 24; ++x)
            strip.setPixel(x, y, states[y / 16]);
    }
    GdiDrawingSurface large(80, 90);
    const Rect targets[] = {Rect(2, 2, 30, 20), Rect(2, 2, 30, 52), Rect(12, 30, 52, 24), Rect(12, 8, 58, 40)};
    for (int top : {0, 16, 24, 32}) {
        for (const Rect& target : targets) {
            SCOPED_TRACE(testing::Message() << "part from " << top << " stretched to " << testing::PrintToString(target));
            large.fill(white);
            Graphics painter(&large);
            painter.drawBitmapScaled(strip, Rect(4, top, 16, 16), target);
            painter.end();
            const Bitmap shown = large.toBitmap(false);
            const int middle = target.x + target.width / 2;
            EXPECT_EQ(shown.pixel(target.x, target.y), states[top / 16]);
            EXPECT_EQ(shown.pixel(middle, target.y), states[top / 16]);
            EXPECT_EQ(shown.pixel(middle, target.bottom() - 1), states[(top + 15) / 16]);
            EXPECT_EQ(shown.pixel(middle, target.bottom()), white);
        }
    }
}
