// Draws the standard images and the skins of the "white" style with the
// program's own painter and writes them as PNG files:
//   make-style-images <style folder>
// writes <style folder>\images\*.png and <style folder>\skins\*.png.
//
// Every shape is painted white on black at four times the final size; the
// box-filtered result becomes the alpha of one flat colour, which gives
// smooth edges although the painter itself does not smooth them.

#include "foundation/FileSystem.h"
#include "foundation/String.h"
#include "graphics/Bitmap.h"
#include "graphics/Brush.h"
#include "graphics/DrawingSurface.h"
#include "graphics/Graphics.h"
#include "graphics/ImageCodec.h"
#include "graphics/PaintEngine.h"
#include "graphics/Pen.h"

#include <cmath>
#include <cstdio>
#include <functional>
#include <numbers>
#include <vector>

namespace {

constexpr int oversample = 4;
// Box filter: the mean of the covered pixels.
constexpr int boxResample = 1;

// White (or, erasing, black) shapes on an oversampled surface; coordinates
// are multiplied by unit, so icons are drawn in a 0..1 box and skins in
// their own pixels.
class Shapes {
public:
    Shapes(Graphics& g, float unit) : m_g(g), m_unit(unit) { setErasing(false); }

    void setErasing(bool erasing)
    {
        m_ink = erasing ? Colour(0, 0, 0) : Colour(255, 255, 255);
        m_g.setFillBrush(Brush(m_ink));
    }

    void rect(float x, float y, float w, float h) { m_g.fillRect(scaled(x, y, w, h), Brush(m_ink)); }

    void circle(float cx, float cy, float r) { m_g.drawEllipse(scaled(cx - r, cy - r, 2 * r, 2 * r)); }

    void roundedRect(float x, float y, float w, float h, float r)
    {
        rect(x + r, y, w - 2 * r, h);
        rect(x, y + r, w, h - 2 * r);
        for (float cx : {x + r, x + w - r}) {
            for (float cy : {y + r, y + h - r})
                circle(cx, cy, r);
        }
    }

    void polygon(const std::vector<std::pair<float, float>>& points)
    {
        std::vector<Point> scaledPoints;
        for (const auto& [x, y] : points)
            scaledPoints.push_back({pixel(x), pixel(y)});
        m_g.fillPolygon(scaledPoints.data(), int(scaledPoints.size()), Graphics::Winding);
    }

    // A stroke of the given width with square ends.
    void line(float x1, float y1, float x2, float y2, float width)
    {
        const float length = std::hypot(x2 - x1, y2 - y1);
        const float nx = -(y2 - y1) / length * width / 2;
        const float ny = (x2 - x1) / length * width / 2;
        polygon({{x1 + nx, y1 + ny}, {x2 + nx, y2 + ny}, {x2 - nx, y2 - ny}, {x1 - nx, y1 - ny}});
    }

    // The band between two radii from one angle to another, in degrees
    // counted anticlockwise from the right on the screen.
    void arc(float cx, float cy, float outer, float inner, float from, float to)
    {
        constexpr int steps = 24;
        std::vector<std::pair<float, float>> points;
        for (int i = 0; i <= steps; ++i)
            points.push_back(onCircle(cx, cy, outer, from + (to - from) * float(i) / steps));
        for (int i = steps; i >= 0; --i)
            points.push_back(onCircle(cx, cy, inner, from + (to - from) * float(i) / steps));
        polygon(points);
    }

private:
    static std::pair<float, float> onCircle(float cx, float cy, float r, float degrees)
    {
        const float radians = degrees * std::numbers::pi_v<float> / 180;
        return {cx + r * std::cos(radians), cy - r * std::sin(radians)};
    }

    int pixel(float v) const { return toNearestInt(v * m_unit); }

    Rect scaled(float x, float y, float w, float h) const
    {
        const int left = pixel(x);
        const int top = pixel(y);
        return Rect(left, top, pixel(x + w) - left, pixel(y + h) - top);
    }

    Graphics& m_g;
    float m_unit;
    Colour m_ink;
};

// An image built from flat layers, each a colour shown through shapes.
class Canvas {
public:
    Canvas(int width, int height, float unit) : m_image(width, height, true), m_unit(unit)
    {
        m_image.fill(Colour(0, 0, 0, 0));
    }

    void layer(Colour colour, const std::function<void(Shapes&)>& draw)
    {
        GdiDrawingSurface surface(m_image.width() * oversample, m_image.height() * oversample);
        surface.fill(Colour(0, 0, 0));
        Graphics g(&surface);
        g.setPen(Pen());
        Shapes shapes(g, m_unit * oversample);
        draw(shapes);
        g.end();
        const Bitmap coverage = surface.toBitmap(false).scaled(m_image.width(), m_image.height(), boxResample);
        Bitmap paint(m_image.width(), m_image.height(), true);
        paint.fill(colour);
        paint.setAlphaFromRed(coverage);
        m_image.drawBitmap(paint, Point::origin);
    }

    const Bitmap& image() const { return m_image; }

private:
    Bitmap m_image;
    float m_unit;
};

const Colour white(255, 255, 255);
const Colour glyphGrey(74, 79, 87);
const Colour informationBlue(45, 127, 211);
const Colour questionTeal(38, 145, 130);
const Colour warningAmber(242, 169, 0);
const Colour warningInk(58, 58, 58);
const Colour criticalRed(214, 69, 65);
const Colour helpSlate(107, 116, 128);
const Colour folderBack(233, 174, 60);
const Colour folderFront(247, 201, 92);
const Colour focusBlue(74, 144, 226);

void badge(Canvas& c, Colour colour)
{
    c.layer(colour, [](Shapes& s) { s.circle(0.5f, 0.5f, 0.47f); });
}

void questionMark(Shapes& s)
{
    s.arc(0.5f, 0.38f, 0.2f, 0.1f, 165, -80);
    s.rect(0.45f, 0.5f, 0.1f, 0.13f);
    s.circle(0.5f, 0.76f, 0.07f);
}

void information(Canvas& c)
{
    badge(c, informationBlue);
    c.layer(white, [](Shapes& s) {
        s.circle(0.5f, 0.28f, 0.075f);
        s.rect(0.44f, 0.41f, 0.12f, 0.35f);
    });
}

void question(Canvas& c)
{
    badge(c, questionTeal);
    c.layer(white, questionMark);
}

void warning(Canvas& c)
{
    c.layer(warningAmber, [](Shapes& s) { s.polygon({{0.5f, 0.05f}, {0.97f, 0.9f}, {0.03f, 0.9f}}); });
    c.layer(warningInk, [](Shapes& s) {
        s.polygon({{0.45f, 0.33f}, {0.55f, 0.33f}, {0.53f, 0.63f}, {0.47f, 0.63f}});
        s.circle(0.5f, 0.76f, 0.06f);
    });
}

void critical(Canvas& c)
{
    badge(c, criticalRed);
    c.layer(white, [](Shapes& s) {
        s.line(0.32f, 0.32f, 0.68f, 0.68f, 0.12f);
        s.line(0.68f, 0.32f, 0.32f, 0.68f, 0.12f);
    });
}

void directory(Canvas& c)
{
    c.layer(folderBack, [](Shapes& s) {
        s.roundedRect(0.06f, 0.14f, 0.4f, 0.2f, 0.05f);
        s.roundedRect(0.06f, 0.22f, 0.88f, 0.66f, 0.05f);
    });
    c.layer(folderFront, [](Shapes& s) { s.roundedRect(0.06f, 0.34f, 0.88f, 0.54f, 0.05f); });
}

void closeButton(Canvas& c)
{
    c.layer(glyphGrey, [](Shapes& s) {
        s.line(0.28f, 0.28f, 0.72f, 0.72f, 0.1f);
        s.line(0.72f, 0.28f, 0.28f, 0.72f, 0.1f);
    });
}

void maximizeButton(Canvas& c)
{
    c.layer(glyphGrey, [](Shapes& s) {
        s.rect(0.25f, 0.25f, 0.5f, 0.5f);
        s.setErasing(true);
        s.rect(0.32f, 0.38f, 0.36f, 0.3f);
    });
}

void minimizeButton(Canvas& c)
{
    c.layer(glyphGrey, [](Shapes& s) { s.rect(0.25f, 0.62f, 0.5f, 0.1f); });
}

void helpButton(Canvas& c)
{
    badge(c, helpSlate);
    c.layer(white, questionMark);
}

void focus(Canvas& c)
{
    c.layer(focusBlue, [](Shapes& s) {
        s.roundedRect(0, 0, 1, 1, 0.25f);
        s.setErasing(true);
        s.roundedRect(0.125f, 0.125f, 0.75f, 0.75f, 0.15f);
    });
}

struct StandardImage {
    const wchar_t* name;
    int size;
    void (*paint)(Canvas&);
};

const StandardImage standardImages[] = {
    {L"DialogHelpButton", 16, helpButton},     {L"DirectoryBig", 32, directory},
    {L"DirectorySmall", 16, directory},        {L"InformationBig", 48, information},
    {L"QuestionBig", 48, question},            {L"WarningBig", 48, warning},
    {L"CriticalBig", 48, critical},            {L"InformationMedium", 32, information},
    {L"QuestionMedium", 32, question},         {L"WarningMedium", 32, warning},
    {L"CriticalMedium", 32, critical},         {L"InformationSmall", 16, information},
    {L"QuestionSmall", 16, question},          {L"WarningSmall", 16, warning},
    {L"CriticalSmall", 16, critical},          {L"WindowCloseButton", 16, closeButton},
    {L"WindowMaximizeButton", 16, maximizeButton}, {L"WindowMinimizeButton", 16, minimizeButton},
    {L"Focus", 16, focus},
};

// One state of a button background: a one-pixel border and a face, both
// with rounded corners, in a square of buttonState pixels that the skin
// cuts at buttonCorner from each side.
constexpr int buttonState = 24;

struct ButtonLook {
    Colour border;
    Colour face;
};

// Normal, under the pointer or pressed, pressed under the pointer,
// disabled, checked.
const ButtonLook buttonLooks[] = {
    {Colour(200, 205, 211), Colour(253, 253, 253)}, {Colour(127, 178, 229), Colour(234, 243, 252)},
    {Colour(79, 145, 214), Colour(211, 230, 248)},  {Colour(224, 226, 229), Colour(245, 245, 245)},
    {Colour(79, 145, 214), Colour(220, 235, 250)},
};

Bitmap buttonBackground()
{
    const int count = int(std::size(buttonLooks));
    Canvas c(buttonState, buttonState * count, 1);
    for (int i = 0; i < count; ++i) {
        const float top = float(i * buttonState);
        const float size = float(buttonState);
        c.layer(buttonLooks[i].border, [&](Shapes& s) { s.roundedRect(0, top, size, size, 3); });
        c.layer(buttonLooks[i].face, [&](Shapes& s) { s.roundedRect(1, top + 1, size - 2, size - 2, 2); });
    }
    return c.image();
}

bool write(const Bitmap& image, const String& path)
{
    if (image.save(path, true))
        return true;
    std::fwprintf(stderr, L"cannot write %ls\n", path.c_str());
    return false;
}

bool writeAll(const String& folder)
{
    const String images = folder + String(L"\\images\\");
    const String skins = folder + String(L"\\skins\\");
    if (!createPath(images) || !createPath(skins))
        return false;
    bool ok = true;
    for (const StandardImage& entry : standardImages) {
        Canvas c(entry.size, entry.size, float(entry.size));
        entry.paint(c);
        ok = write(c.image(), images + String(entry.name) + String(L".png")) && ok;
    }
    return write(buttonBackground(), skins + String(L"UIButton_Background.png")) && ok;
}

} // namespace

int wmain(int argc, wchar_t** argv)
{
    if (argc != 2) {
        std::fwprintf(stderr, L"usage: make-style-images <style folder>\n");
        return 2;
    }
    registerGdiPaintEngine();
    initImageCodecs();
    const bool ok = writeAll(String(argv[1]));
    shutdownImageCodecs();
    destroyPaintEngines();
    return ok ? 0 : 1;
}
