// Times the painter's most frequent calls through the GDI engine into a
// full-HD drawing surface: rectangle fills and text in boxes.

#include "bench/BenchTiming.h"
#include "graphics/DrawingSurface.h"
#include "graphics/Graphics.h"
#include "graphics/ImageCodec.h"

#include <cstdio>
#include <functional>

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

    destroyPaintEngines();
    shutdownImageCodecs();
    return 0;
}
