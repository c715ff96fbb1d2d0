// The program's own images in the data pack "data": the icon of an item
// whose file is gone, and the status light of the main window.

#include "StyleCanvas.h"
#include "StyleImages.h"

#include <algorithm>

namespace {

const Colour paper(252, 252, 253);
const Colour pageEdge(139, 146, 156);
const Colour foldShade(214, 218, 224);
const Colour questionInk(96, 104, 116);
constexpr float glowStrength = 0.7f;

struct LightColours {
    Colour rim;
    Colour body;
    Colour shine;
};

constexpr LightColours lit{Colour(30, 142, 52), Colour(58, 196, 82), Colour(196, 247, 200)};
constexpr LightColours unlit{Colour(128, 133, 140), Colour(178, 182, 188), Colour(218, 221, 225)};

// A page with its top right corner folded over; inset shrinks it evenly.
std::vector<std::pair<float, float>> page(float inset)
{
    const float left = 0.16f + inset;
    const float right = 0.84f - inset;
    const float top = 0.05f + inset;
    const float bottom = 0.95f - inset;
    const float fold = 0.26f;
    return {{left, top}, {right - fold, top}, {right, top + fold}, {right, bottom}, {left, bottom}};
}

// Edges of at least one pixel, a little thicker on larger icons.
template <int size>
void missingFile(Canvas& c)
{
    const float edge = std::max(1.0f, size / 24.0f) / size;
    c.layer(paper, [](Shapes& s) { s.polygon(page(0)); });
    c.layer(pageEdge, [edge](Shapes& s) {
        s.polygon(page(0));
        s.setErasing(true);
        s.polygon(page(edge));
    });
    c.layer(foldShade, [edge](Shapes& s) { s.polygon({{0.58f, 0.05f + edge}, {0.58f, 0.31f}, {0.84f - edge, 0.31f}}); });
    c.layer(pageEdge, [edge](Shapes& s) {
        s.rect(0.58f - edge, 0.05f, edge, 0.26f);
        s.rect(0.58f - edge, 0.31f - edge, 0.26f, edge);
    });
    c.layer(questionInk, [](Shapes& s) {
        s.arc(0.5f, 0.5f, 0.16f, 0.08f, 160, -75);
        s.rect(0.46f, 0.6f, 0.08f, 0.1f);
        s.circle(0.5f, 0.8f, 0.055f);
    });
}

void light(Canvas& c, const LightColours& colours)
{
    c.layer(colours.rim, [](Shapes& s) { s.circle(0.5f, 0.5f, 0.3f); });
    c.layer(colours.body, [](Shapes& s) { s.circle(0.5f, 0.5f, 0.24f); });
    c.layer(colours.shine, [](Shapes& s) { s.circle(0.43f, 0.42f, 0.09f); });
}

// A blurred disc of the lit colour, fainter than the light itself.
Bitmap glow(int size)
{
    Canvas disc(size, size, float(size));
    disc.layer(lit.body, [](Shapes& s) { s.circle(0.5f, 0.5f, 0.34f); });
    Bitmap blurred = disc.image().copy();
    blurred.gaussianBlur(size / 8.0f);
    Bitmap image(size, size, true);
    image.fill(lit.body);
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x)
            image.setPixelAlpha(x, y, std::uint8_t(blurred.pixelAlpha(x, y) * glowStrength));
    }
    return image;
}

template <int size>
Bitmap lightOn()
{
    Canvas c(size, size, float(size));
    light(c, lit);
    Bitmap image = glow(size);
    image.drawBitmap(c.image(), Point::origin);
    return image;
}

template <int size>
Bitmap lightOff()
{
    Canvas c(size, size, float(size));
    light(c, unlit);
    return c.image();
}

template <int size>
Bitmap missingFileIcon()
{
    Canvas c(size, size, float(size));
    missingFile<size>(c);
    return c.image();
}

const StyleImageRegistration programImages{
    {L"images", L"icon_not_found_16x16", missingFileIcon<16>, ImagePack::Data},
    {L"images", L"icon_not_found_48x48", missingFileIcon<48>, ImagePack::Data},
    {L"images", L"diod_on", lightOn<16>, ImagePack::Data},
    {L"images", L"diod_off", lightOff<16>, ImagePack::Data},
};

} // namespace
