// Times the painter's most frequent calls through the GDI engine into a
// full-HD drawing surface: rectangle fills, text in boxes, and the paint of
// a tag cloud's words in many font sizes.

#include "bench/BenchTiming.h"
#include "graphics/DrawingSurface.h"
#include "graphics/Graphics.h"
#include "graphics/ImageCodec.h"

#include <cstdio>
#include <functional>
#include <vector>

namespace {

constexpr int calls = 1000;

// Runs draw(i) for every call in one paint pass and prints the time.
void timePass(GdiDrawingSurface& surface, const char* what, const std::function<void(Graphics&, int)>& draw)
{
    Graphics painter(&surface);
    painter.setPen(Pen(Colour(0xFF202020u)));
    const auto start = bench::Clock::now();
    for (int i = 0; i < calls; ++i)
        draw(painter, i);
    painter.end();
    const double ms = bench::millisecondsSince(start);
    std::printf("%-48s %5d calls: %8.2f ms, %7.2f us per call\n", what, calls, ms, ms * 1000.0 / calls);
}

Rect spreadRect(int i, int width, int height)
{
    return Rect((i * 97) % (1920 - width), (i * 53) % (1080 - height), width, height);
}

// What a tag cloud's paint asks of the painter: short words in many font
// sizes, grouped by size and within a size by colour. Each paint sets
// every size again, as a new painter must.
void timeCloudPaints(GdiDrawingSurface& surface)
{
    constexpr int paints = 20;
    constexpr int sizes = 26;
    constexpr int words = 170;
    std::vector<String> texts;
    for (int i = 0; i < words; ++i)
        texts.push_back(String::format(L"Holiday %d", i * 7));
    const Pen pens[] = {Pen(Colour(0xFF202020u)), Pen(Colour(0xFFB0B0B0u))};
    const auto start = bench::Clock::now();
    for (int paint = 0; paint < paints; ++paint) {
        Graphics painter(&surface);
        for (int size = 0; size < sizes; ++size) {
            painter.setFont(FontDesc(L"segoe ui", float(8 + size), 0));
            for (int word = size; word < words; word += sizes) {
                const Rect r = spreadRect(word, 200, 40);
                painter.setPen(pens[word < words / 2 ? 0 : 1]);
                painter.drawTextRaw(texts[std::size_t(word)].constData(), texts[std::size_t(word)].length(), r.x, r.y);
            }
        }
    }
    const double ms = bench::millisecondsSince(start) / paints;
    std::printf("%-48s %5d words: %8.2f ms per paint, %5.2f us per word (%d font sizes, %d paints)\n",
                "a cloud's words in many font sizes", words, ms, ms * 1000.0 / words, sizes, paints);
}

} // namespace

int main()
{
    initImageCodecs();
    registerGdiPaintEngine();
    GdiDrawingSurface surface(1920, 1080);
    surface.fill(Colour(0xFFFFFFFFu));
    const String text(L"A tag name long enough to need shortening in its box");

    timePass(surface, "fillRect 120x40, one colour", [](Graphics& g, int i) {
        g.fillRectColour(spreadRect(i, 120, 40), Colour(0xFF3060C0u));
    });
    timePass(surface, "fillRect 120x40, a new colour each call", [](Graphics& g, int i) {
        g.fillRectColour(spreadRect(i, 120, 40), Colour(0xFF000000u | std::uint32_t(i * 2654435761u >> 8)));
    });
    timePass(surface, "drawText at a corner (no alignment, no elision)", [&](Graphics& g, int i) {
        g.drawText(text, spreadRect(i, 160, 20), 0, ElideNone, 0);
    });
    timePass(surface, "drawText elided and centred in 160x20", [&](Graphics& g, int i) {
        g.drawText(text, spreadRect(i, 160, 20), AlignCenter, ElideRightWithEllipsis, 0);
    });
    timeCloudPaints(surface);

    destroyPaintEngines();
    shutdownImageCodecs();
    return 0;
}
