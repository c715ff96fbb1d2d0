#include "StyleCanvas.h"

#include "graphics/Brush.h"
#include "graphics/DrawingSurface.h"
#include "graphics/PaintEngine.h"
#include "graphics/Pen.h"

#include <cmath>
#include <numbers>

namespace {

constexpr int oversample = 4;
// Box filter: the mean of the covered pixels.
constexpr int boxResample = 1;

std::pair<float, float> onCircle(float cx, float cy, float r, float degrees)
{
    const float radians = degrees * std::numbers::pi_v<float> / 180;
    return {cx + r * std::cos(radians), cy - r * std::sin(radians)};
}

} // namespace

Shapes::Shapes(Graphics& g, float unit) : m_g(g), m_unit(unit)
{
    setErasing(false);
}

void Shapes::setErasing(bool erasing)
{
    m_ink = erasing ? Colour(0, 0, 0) : Colour(255, 255, 255);
    m_g.setFillBrush(Brush(m_ink));
}

void Shapes::rect(float x, float y, float w, float h)
{
    m_g.fillRect(scaled(x, y, w, h), Brush(m_ink));
}

void Shapes::circle(float cx, float cy, float r)
{
    m_g.drawEllipse(scaled(cx - r, cy - r, 2 * r, 2 * r));
}

void Shapes::roundedRect(float x, float y, float w, float h, float r)
{
    rect(x + r, y, w - 2 * r, h);
    rect(x, y + r, w, h - 2 * r);
    for (float cx : {x + r, x + w - r}) {
        for (float cy : {y + r, y + h - r})
            circle(cx, cy, r);
    }
}

void Shapes::polygon(const std::vector<std::pair<float, float>>& points)
{
    std::vector<Point> scaledPoints;
    for (const auto& [x, y] : points)
        scaledPoints.push_back({pixel(x), pixel(y)});
    m_g.fillPolygon(scaledPoints.data(), int(scaledPoints.size()), Graphics::Winding);
}

void Shapes::line(float x1, float y1, float x2, float y2, float width)
{
    const float length = std::hypot(x2 - x1, y2 - y1);
    const float nx = -(y2 - y1) / length * width / 2;
    const float ny = (x2 - x1) / length * width / 2;
    polygon({{x1 + nx, y1 + ny}, {x2 + nx, y2 + ny}, {x2 - nx, y2 - ny}, {x1 - nx, y1 - ny}});
}

void Shapes::arc(float cx, float cy, float outer, float inner, float from, float to)
{
    constexpr int steps = 24;
    std::vector<std::pair<float, float>> points;
    for (int i = 0; i <= steps; ++i)
        points.push_back(onCircle(cx, cy, outer, from + (to - from) * float(i) / steps));
    for (int i = steps; i >= 0; --i)
        points.push_back(onCircle(cx, cy, inner, from + (to - from) * float(i) / steps));
    polygon(points);
}

int Shapes::pixel(float v) const
{
    return toNearestInt(v * m_unit);
}

Rect Shapes::scaled(float x, float y, float w, float h) const
{
    const int left = pixel(x);
    const int top = pixel(y);
    return Rect(left, top, pixel(x + w) - left, pixel(y + h) - top);
}

Canvas::Canvas(int width, int height, float unit) : m_image(width, height, true), m_unit(unit)
{
    m_image.fill(Colour(0, 0, 0, 0));
}

void Canvas::layer(Colour colour, const std::function<void(Shapes&)>& draw)
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
