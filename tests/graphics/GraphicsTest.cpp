#include "graphics/DrawingSurface.h"
#include "graphics/Graphics.h"
#include "graphics/StateImages.h"

#include "tests/support/GeometryPrinting.h"
#include "tests/support/RowTable.h"
#include "tests/support/StringPrinting.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

namespace {

// Records what reaches it: "state <dirty flags>" and one word per drawing
// operation with its main argument.
class RecordingEngine : public PaintEngine {
public:
    RecordingEngine() : PaintEngine(String(L"recording")) {}

    bool begin(PaintState*, DrawingSurface*) override { return !refuseBegin; }
    bool end() override { return true; }
    void updateState(PaintState* state) override { record("state " + std::to_string(state->dirtyFlags())); }
    void setViewport(const Rect&) override { record("setViewport"); }
    Rect viewport() const override { return Rect(1, 2, 3, 4); }
    void setWindow(const Rect&) override { record("setWindow"); }
    Rect window() const override { return Rect(); }
    void ellipse(const Rect& r) override { record("ellipse", r); }
    void lines(const PointPair* pairs, int count) override
    {
        record("lines " + std::to_string(count));
        lastPairs.assign(pairs, pairs + count);
    }
    void fillPolygon(const Point* points, int count, int) override
    {
        record("fillPolygon " + std::to_string(count));
        lastPoints.assign(points, points + count);
    }
    void rects(const Rect* r, int count) override { record("rects " + std::to_string(count), r[0]); }
    void invertRect(const Rect& r, bool) override { record("invertRect", r); }
    void bitmap(const Bitmap&, const Rect&, const Rect& target) override { record("bitmap", target); }
    void bitmapPart(const Bitmap&, Point, Point at, int w, int h) override { record("bitmapPart", Rect(at.x, at.y, w, h)); }
    void tile(const Bitmap&, const Rect& r) override { record("tile", r); }
    void text(const wchar_t* text, int length, int x, int y) override
    {
        record("text", Rect(x, y, 0, 0));
        lastText = String(text, length);
    }

    void record(const std::string& what, const Rect& r = Rect())
    {
        calls.push_back(what);
        lastRect = r;
    }

    bool refuseBegin = false;
    std::vector<std::string> calls;
    Rect lastRect;
    String lastText;
    std::vector<PointPair> lastPairs;
    std::vector<Point> lastPoints;
};

class GraphicsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_previous = currentPaintEngine();
        setCurrentPaintEngine(&engine);
    }
    void TearDown() override { setCurrentPaintEngine(m_previous); }

    RecordingEngine engine;
    GdiDrawingSurface surface{16, 16};

private:
    PaintEngine* m_previous = nullptr;
};

using Calls = std::vector<std::string>;

} // namespace

TEST_F(GraphicsTest, EqualStateReachesTheEngineOnceAfterEachBegin)
{
    struct Row {
        std::function<void(Graphics&)> set;
        Calls calls;
    };
    const Pen pen(Colour(0xFF112233u), 2.0f, Pen::Dash);
    const Brush brush(Colour(0xFF445566u));
    const FontDesc desc(FontFace::Tahoma, 9.0f, FontBold);
    forEachRow(std::vector<Row>{{[&](Graphics& g) { g.setPen(pen); }, {"state 4", "state 4"}},
                                {[&](Graphics& g) { g.setFillBrush(brush); }, {"state 2", "state 2"}},
                                {[&](Graphics& g) { g.setBrush(brush); }, {"state 1", "state 1"}},
                                // Begin itself hands the painter's font to the engine.
                                {[&](Graphics& g) { g.setFont(desc); }, {"state 8"}}},
               [&](const Row& row) {
                   // One painter, begun twice: the second begin forgets what the first pass set.
                   Graphics painter(&surface);
                   Calls seen;
                   for (int pass = 0; pass < 2; ++pass) {
                       if (pass == 1) {
                           painter.end();
                           painter.begin(&surface);
                       }
                       engine.calls.clear();
                       row.set(painter);
                       row.set(painter);
                       seen.insert(seen.end(), engine.calls.begin(), engine.calls.end());
                   }
                   EXPECT_EQ(seen, row.calls);
               });
}

// Begin used to leave the context's own font in place while text was
// measured in the painter's, until a font was set.
TEST_F(GraphicsTest, InitialValuesStillReachTheEngineOnceAfterBegin)
{
    Graphics painter(&surface);
    painter.setFont(painter.fontDesc());
    EXPECT_EQ(engine.calls, (Calls{"state 8"}));
    engine.calls.clear();
    const Pen initial = painter.pen();
    painter.setPen(initial);
    painter.setPenColour(initial.colour());
    painter.setPenStyle(Pen::DashDot);
    EXPECT_EQ(engine.calls, (Calls{"state 4", "state 4"}));
    EXPECT_EQ(painter.pen().kind(), std::uint32_t(Pen::DashDot));
    EXPECT_EQ(static_cast<PaintState&>(painter).pen(), painter.pen());
}

TEST_F(GraphicsTest, ClipAndTransformAlwaysReachTheEngine)
{
    Graphics painter(&surface);
    engine.calls.clear();
    painter.setClipRect(Rect(1, 1, 4, 4));
    painter.setClipRect(Rect(1, 1, 4, 4));
    painter.resetClip();
    painter.translate(10, 0);
    painter.scale(2, 2);
    // Later steps act on the point first.
    float x = 0, y = 0;
    painter.transform().map(1.0f, 0.0f, x, y);
    EXPECT_EQ(x, 12.0f);
    EXPECT_EQ(y, 0.0f);
    painter.resetTransform();
    EXPECT_EQ(engine.calls, (Calls{"state 16", "state 16", "state 16", "state 32", "state 32", "state 32"}));
    EXPECT_TRUE(painter.clipRegion().isEmpty());
}

TEST_F(GraphicsTest, EmptyFillRectChangesNothing)
{
    Graphics painter(&surface);
    engine.calls.clear();
    const Brush before = painter.fillBrush();
    painter.fillRect(Rect(3, 3, 0, 5), Brush(Colour(0xFFFF0000u)));
    painter.fillRectXywh(3, 3, 5, -1, Brush(Colour(0xFFFF0000u)));
    EXPECT_TRUE(engine.calls.empty());
    EXPECT_EQ(painter.fillBrush(), before);
    painter.fillRectColour(Rect(1, 2, 3, 4), Colour(0xFFFF0000u));
    EXPECT_EQ(engine.calls, (Calls{"state 2", "fillPolygon 4"}));
    EXPECT_EQ(engine.lastPoints, (std::vector<Point>{{1, 2}, {4, 2}, {4, 6}, {1, 6}}));
}

TEST_F(GraphicsTest, DrawTextReturnRules)
{
    Graphics painter(&surface);
    const String longText(L"a rather long text that cannot fit");
    struct Row {
        String text;
        Rect box;
        int alignment;
        int mode;
        bool result;
        bool drawn;
    };
    forEachRow(std::vector<Row>{{String(), Rect(0, 0, 50, 20), AlignLeft, ElideRightWithEllipsis, false, false},
                                {longText, Rect(0, 0, 50, 0), AlignLeft, ElideRightWithEllipsis, true, false},
                                {longText, Rect(0, 0, 0, 20), 0, ElideNone, true, false},
                                {longText, Rect(2, 3, 20, 20), 0, ElideNone, false, true},
                                {String(L"ok"), Rect(0, 0, 200, 20), AlignCenter, ElideRightWithEllipsis, false, true}},
               [&](const Row& row) {
                   engine.calls.clear();
                   EXPECT_EQ(painter.drawText(row.text, row.box, row.alignment, row.mode, 0), row.result);
                   EXPECT_EQ(!engine.calls.empty(), row.drawn);
               });
    EXPECT_EQ(engine.lastText, String(L"ok"));
}

TEST_F(GraphicsTest, ElidedTextIsPlacedAndReported)
{
    Graphics painter(&surface);
    const String text(L"a rather long text that cannot fit in a narrow box");
    const Rect box(5, 5, 120, 30);
    Rect placed;
    EXPECT_TRUE(painter.drawText(text, box, AlignLeft | AlignVCenter, ElideRightWithEllipsis, 0, &placed));
    EXPECT_TRUE(engine.lastText.endsWith(Font::ellipsis()));
    EXPECT_TRUE(text.startsWith(engine.lastText.mid(0, engine.lastText.length() - Font::ellipsis().length())));
    EXPECT_EQ(placed, painter.font().placeText(engine.lastText, box, AlignLeft | AlignVCenter, false));
    EXPECT_EQ(engine.lastRect.topLeft(), placed.topLeft());
}

TEST_F(GraphicsTest, ASecondPainterOnAnActiveSurfaceFails)
{
    Graphics first(&surface);
    Graphics second(&surface);
    EXPECT_TRUE(first.isActive());
    EXPECT_FALSE(second.isActive());
    EXPECT_TRUE(surface.isActive());
    EXPECT_TRUE(first.end());
    EXPECT_FALSE(surface.isActive());
    EXPECT_FALSE(first.end());
    EXPECT_TRUE(second.begin(&surface));
}

TEST_F(GraphicsTest, APainterWhoseBeginFailedDoesNothing)
{
    engine.refuseBegin = true;
    Graphics painter(&surface);
    EXPECT_FALSE(painter.isActive());
    EXPECT_EQ(painter.engine(), nullptr);
    painter.setPen(Pen(Colour(0xFF000000u)));
    painter.setClipRect(Rect(0, 0, 2, 2));
    painter.fillRectColour(Rect(0, 0, 4, 4), Colour(0xFF000000u));
    painter.drawLine(0, 0, 5, 5);
    painter.drawRect(0, 0, 5, 5);
    painter.drawEllipse(Point{4, 4}, 2, 2);
    painter.drawBitmapAt(Bitmap(2, 2, true), 0, 0);
    painter.setViewport(0, 0, 5, 5);
    EXPECT_EQ(painter.viewport(), Rect());
    EXPECT_TRUE(engine.calls.empty());
    EXPECT_FALSE(surface.isActive());
}

TEST_F(GraphicsTest, ConvenienceOperationsBecomeEnginePrimitives)
{
    Graphics painter(&surface);
    const Bitmap image(4, 3, true);
    struct Row {
        std::function<void()> draw;
        Calls calls;
        Rect rect;
    };
    forEachRow(std::vector<Row>{
                   {[&] { painter.drawEllipse(Point{10, 10}, 3, 2); }, {"ellipse"}, Rect(7, 8, 6, 4)},
                   {[&] { painter.drawRect(1, 2, 3, 4); }, {"rects 1"}, Rect(1, 2, 3, 4)},
                   {[&] { painter.invertRect(Rect(1, 1, 2, 2), true); }, {"invertRect"}, Rect(1, 1, 2, 2)},
                   {[&] { painter.drawBitmapAt(image, 5, 6); }, {"bitmap"}, Rect(5, 6, 4, 3)},
                   {[&] { painter.drawBitmapScaledTo(image, 0, 0, 8, 6); }, {"bitmap"}, Rect(0, 0, 8, 6)},
                   {[&] { painter.drawBitmapAligned(image, Rect(0, 0, 10, 10), AlignRight | AlignBottom); },
                    {"bitmapPart"},
                    Rect(6, 7, 4, 3)},
                   {[&] { StateImages(image).draw(painter, Rect(0, 0, 10, 10), AlignCenter, StateImages::Hot); },
                    {"bitmapPart"},
                    Rect(3, 3, 4, 3)},
                   {[&] { StateImages(image).draw(painter, Rect(0, 0, 10, 10), AlignCenter, 7); },
                    {"bitmapPart"},
                    Rect(5, 5, 0, 0)},
                   {[&] { painter.tileBitmap(image, Rect(0, 0, 9, 9)); }, {"tile"}, Rect(0, 0, 9, 9)},
                   {[&] { painter.drawLine(Point{1, 2}, Point{3, 4}); }, {"lines 1"}, Rect()},
                   {[&] { painter.setWindow(0, 0, 5, 5); }, {"setWindow"}, Rect()},
               },
               [&](const Row& row) {
                   engine.calls.clear();
                   row.draw();
                   EXPECT_EQ(engine.calls, row.calls);
                   EXPECT_EQ(engine.lastRect, row.rect);
               });
    EXPECT_EQ(engine.lastPairs, (std::vector<PointPair>{{{1, 2}, {3, 4}}}));
    EXPECT_EQ(painter.viewport(), Rect(1, 2, 3, 4));
}

TEST(PaintEngineRegistry, DestroyingTheEnginesClearsTheCurrentOne)
{
    PaintEngine* previous = currentPaintEngine();
    registerGdiPaintEngine();
    ASSERT_NE(paintEngineByKind(String(L"GDI")), nullptr);
    EXPECT_EQ(paintEngineByKind(String(L"gdi")), nullptr);
    destroyPaintEngines();
    // The current engine used to be left pointing at the deleted engine.
    EXPECT_EQ(currentPaintEngine(), nullptr);
    EXPECT_EQ(paintEngineByKind(String(L"GDI")), nullptr);
    setCurrentPaintEngine(previous);
}
