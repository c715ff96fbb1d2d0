// Paints shapes, gradients, pens, images at several scales, clipped and
// transformed drawing and elided text into a drawing surface and saves it
// as a PNG (the first argument, else "painter_demo.png").

#include "graphics/DrawingSurface.h"
#include "graphics/Graphics.h"
#include "graphics/ImageCodec.h"
#include "graphics/StateImages.h"

#include <cmath>
#include <cstdio>

namespace {

constexpr Colour ink = Colour(0xFF202020u);

void caption(Graphics& g, const wchar_t* text, int x, int y)
{
    g.setPenColour(ink);
    g.drawText(String(text), Rect(x, y, 300, 18), AlignLeft | AlignTop, ElideNone, 0);
}

// A 16 x 16 image: a checker board under a soft-edged translucent disc.
Bitmap sampleImage()
{
    Bitmap image(16, 16, true);
    for (int y = 0; y < 16; ++y) {
        for (int x = 0; x < 16; ++x) {
            const bool dark = ((x / 4) + (y / 4)) % 2 == 0;
            const double d = std::hypot(x - 7.5, y - 7.5);
            const int alpha = d < 5 ? 255 : d < 8 ? int(255 * (8 - d) / 3) : 160;
            const Colour base = d < 6 ? Colour(230, 120, 20) : dark ? Colour(30, 60, 160) : Colour(240, 240, 240);
            image.setPixel(x, y, Colour(std::uint8_t(alpha), base.red(), base.green(), base.blue()));
        }
    }
    return image;
}

Brush gradient(std::uint32_t kind, std::initializer_list<Colour> colours)
{
    Gradient g(kind);
    Array<Colour> stops;
    for (Colour c : colours)
        stops.append(c);
    g.setStops(stops);
    return Brush(g);
}

void paintShapes(Graphics& g)
{
    caption(g, L"Fills, outlines, ellipses", 10, 8);
    g.fillRectColour(Rect(10, 30, 60, 40), Colour(0xFFD03030u));
    g.fillRectColour(Rect(80, 30, 60, 40), Colour(0xFF30A040u));
    g.fillRectColour(Rect(150, 30, 60, 40), Colour(0xFF3050D0u));
    g.setPen(Pen(ink, 1.0f, Pen::Solid));
    g.drawRect(10, 80, 60, 40);
    g.setFillBrush(Brush(Colour(0xFFF0C040u)));
    g.drawEllipse(Rect(80, 80, 60, 40));
    g.setPen(Pen(Colour(0xFF8020A0u), 3.0f, Pen::Solid));
    g.drawEllipse(Point{180, 100}, 28, 18);
    const Point star[5] = {{250, 30}, {270, 120}, {220, 60}, {285, 60}, {230, 120}};
    g.setFillBrush(Brush(Colour(0xFF40A0A0u)));
    g.fillPolygon(star, 5, Graphics::Alternate);
}

void paintPens(Graphics& g)
{
    caption(g, L"Pens: solid 1/3/5, dash, alternate, dash-dot(-dot)", 320, 8);
    const Pen pens[] = {
        Pen(ink, 1.0f, Pen::Solid),       Pen(ink, 3.0f, Pen::Solid),
        Pen(ink, 5.0f, Pen::Solid),       Pen(Colour(0xFFC03030u), 1.0f, Pen::Dash),
        Pen(Colour(0xFF3030C0u), 4.0f, Pen::AlternateDots), Pen(Colour(0xFF308030u), 1.0f, Pen::DashDot),
        Pen(Colour(0xFF806020u), 1.0f, Pen::DashDotDot),
    };
    int y = 34;
    for (const Pen& pen : pens) {
        g.setPen(pen);
        g.drawLine(320, y, 620, y);
        y += 14;
    }
}

void paintGradients(Graphics& g)
{
    caption(g, L"Gradients: vertical, horizontal, hues", 10, 140);
    g.setPen(Pen(ink));
    g.fillRect(Rect(10, 160, 90, 80), gradient(Gradient::Vertical, {Colour(0, 0, 0), Colour(255, 255, 255)}));
    g.fillRect(Rect(110, 160, 90, 80), gradient(0, {Colour(200, 30, 30), Colour(250, 220, 40), Colour(30, 140, 60)}));
    Array<Colour> hues = basicHueColours();
    Gradient wheel(0);
    wheel.setStops(hues);
    g.fillRect(Rect(210, 160, 90, 80), Brush(wheel));
}

void paintImages(Graphics& g)
{
    caption(g, L"Image 1x, 2x, 3x and 5x smooth; tiled; states", 320, 140);
    const Bitmap image = sampleImage();
    g.fillRect(Rect(320, 160, 300, 90), gradient(0, {Colour(255, 255, 255), Colour(120, 120, 120)}));
    g.drawBitmapAt(image, 330, 170);
    g.drawBitmapScaledTo(image, 356, 170, 32, 32);
    g.setRenderHint(Graphics::SmoothScaling, true);
    g.drawBitmapScaledTo(image, 398, 170, 48, 48);
    g.drawBitmapScaledTo(image, 456, 170, 80, 80);
    g.setRenderHint(Graphics::SmoothScaling, false);
    g.tileBitmap(image, Rect(546, 170, 70, 40));
    StateImages states(image);
    for (int state = 0; state < StateImages::StateCount; ++state)
        states.draw(g, Rect(546 + state * 18, 218, 16, 28), AlignCenter, state);
}

void paintClipAndTransform(Graphics& g)
{
    caption(g, L"Clipped; translated and rotated", 10, 260);
    g.setClipRect(Rect(20, 290, 120, 70));
    g.setFillBrush(Brush(Colour(0xFF50B0E0u)));
    g.setPen(Pen(ink, 2.0f, Pen::Solid));
    g.drawEllipse(Rect(40, 280, 140, 100));
    g.fillRect(Rect(60, 280, 120, 40), gradient(Gradient::Vertical, {Colour(240, 80, 80), Colour(80, 40, 160)}));
    g.resetClip();
    g.setPen(Pen(Colour(0xFFA0A0A0u)));
    g.drawRect(20, 290, 120, 70);
    for (int step = 0; step < 6; ++step) {
        g.resetTransform();
        g.translate(230, 340);
        g.rotate(float(step * 15));
        g.fillRectColour(Rect(0, -8, 70, 16), Colour(std::uint8_t(60 + step * 35), 90, std::uint8_t(220 - step * 30)));
    }
    g.setPenColour(ink);
    g.drawTextRaw(L"turned text", 11, 74, -8);
    g.resetTransform();
}

void paintText(Graphics& g)
{
    caption(g, L"Elided text in 150-pixel boxes", 320, 260);
    const String text(L"The quick brown fox jumps over the lazy dog");
    const struct {
        const wchar_t* label;
        int mode;
        int flags;
    } rows[] = {{L"none", ElideNone, AlignLeft | AlignVCenter},
                {L"right", ElideRight, AlignLeft | AlignVCenter},
                {L"ellipsis", ElideRightWithEllipsis, AlignLeft | AlignVCenter},
                {L"middle", ElideMiddle, AlignLeft | AlignVCenter},
                {L"centred", ElideRightWithEllipsis, AlignCenter}};
    int y = 284;
    for (const auto& row : rows) {
        const Rect box(400, y, 150, 20);
        g.setPen(Pen(Colour(0xFFB0B0B0u)));
        g.drawRect(box);
        g.setPenColour(ink);
        g.drawText(String(row.label), Rect(320, y, 75, 20), AlignRight | AlignVCenter, ElideNone, 0);
        g.drawText(text, box, row.flags, row.mode, 0);
        y += 26;
    }
    g.setFont(FontDesc(FontFace::TimesNewRoman, 16.0f, FontBold | FontItalic));
    g.setPenColour(Colour(0xFF903020u));
    g.drawText(String(L"A larger bold italic face"), Rect(10, 420, 400, 40), AlignLeft | AlignVCenter,
               ElideRightWithEllipsis, 0);
}

} // namespace

int wmain(int argc, wchar_t** argv)
{
    initImageCodecs();
    registerGdiPaintEngine();
    const String path(argc > 1 ? argv[1] : L"painter_demo.png");
    GdiDrawingSurface surface(640, 480);
    surface.fill(Colour(0xFFF4F4F0u));
    {
        Graphics g(&surface);
        if (!g.isActive()) {
            std::fprintf(stderr, "the painter could not begin\n");
            return 1;
        }
        paintShapes(g);
        paintPens(g);
        paintGradients(g);
        paintImages(g);
        paintClipAndTransform(g);
        paintText(g);
    }
    const bool saved = surface.toBitmap(false).save(path, true);
    destroyPaintEngines();
    shutdownImageCodecs();
    std::printf(saved ? "saved %ls\n" : "could not save %ls\n", path.constData());
    return saved ? 0 : 1;
}
