#include "graphics/Graphics.h"

#include "graphics/DrawingSurface.h"

namespace {

constexpr Colour initialBlue = Colour(0xFF0000FFu);

const Brush& defaultBrush()
{
    static const Brush brush;
    return brush;
}

const Pen& defaultPen()
{
    static const Pen pen;
    return pen;
}

const Region& noClip()
{
    static const Region region;
    return region;
}

const AffineTransform& identity()
{
    static const AffineTransform transform;
    return transform;
}

} // namespace

const FontDesc& PaintState::fontDesc() const
{
    return m_painter ? m_painter->fontDesc() : defaultFontDesc();
}

const Region& PaintState::clipRegion() const
{
    return m_painter ? m_painter->clipRegion() : noClip();
}

const Brush& PaintState::fillBrush() const
{
    return m_painter ? m_painter->fillBrush() : defaultBrush();
}

const Brush& PaintState::brush() const
{
    return m_painter ? m_painter->brush() : defaultBrush();
}

const Pen& PaintState::pen() const
{
    return m_painter ? m_painter->pen() : defaultPen();
}

const AffineTransform& PaintState::transform() const
{
    return m_painter ? m_painter->transform() : identity();
}

Graphics::Graphics(DrawingSurface* surface)
    : m_surface(surface), m_font(m_fontDesc), m_pen(initialBlue, 1.0f, Pen::Solid), m_fillBrush(initialBlue)
{
    if (surface)
        begin(surface);
}

Graphics::~Graphics()
{
    end();
}

bool Graphics::begin(DrawingSurface* surface)
{
    if (!surface || surface->isActive() || m_active)
        return false;
    m_setBits = 0;
    m_surface = surface;
    // The engine reads the render hints through the painter from the start.
    m_painter = this;
    m_engine = currentPaintEngine();
    if (!m_engine || !m_engine->begin(this, surface)) {
        m_engine = nullptr;
        return false;
    }
    m_active = true;
    surface->setActive(true);
    // The engine's context starts with a font of its own; text is measured
    // with the painter's font, so it must be drawn in that font too.
    m_setBits |= SetFont;
    notify(DirtyFont);
    return true;
}

bool Graphics::end()
{
    if (!m_active)
        return false;
    m_engine->end();
    m_surface->setActive(false);
    m_active = false;
    m_surface = nullptr;
    return true;
}

void Graphics::notify(Dirty dirty)
{
    m_dirty = dirty;
    m_painter = this;
    m_engine->updateState(this);
    m_dirty = 0;
}

template <typename Value>
void Graphics::setCompared(Value& current, const Value& value, SetBit setBit, Dirty dirty)
{
    if (!m_active)
        return;
    if (current == value && (m_setBits & setBit))
        return;
    current = value;
    m_setBits |= setBit;
    notify(dirty);
}

void Graphics::setFont(const FontDesc& desc)
{
    if (!m_active)
        return;
    setCompared(m_fontDesc, desc, SetFont, DirtyFont);
    m_font.setDesc(m_fontDesc, m_surface);
}

void Graphics::setPen(const Pen& pen)
{
    setCompared(m_pen, pen, SetPen, DirtyPen);
}

void Graphics::setPenColour(Colour colour)
{
    Pen pen = m_pen;
    pen.setColour(colour);
    setPen(pen);
}

void Graphics::setPenStyle(std::uint32_t kind)
{
    Pen pen = m_pen;
    pen.setKind(kind);
    setPen(pen);
}

void Graphics::setFillBrush(const Brush& brush)
{
    setCompared(m_fillBrush, brush, SetFillBrush, DirtyFillBrush);
}

void Graphics::setBrush(const Brush& brush)
{
    setCompared(m_brush, brush, SetBrush, DirtyBrush);
}

void Graphics::setClipRegion(const Region& region)
{
    if (!m_active)
        return;
    m_clip = region;
    notify(DirtyClip);
}

void Graphics::setClipRect(const Rect& r)
{
    setClipRegion(Region(r));
}

void Graphics::resetClip()
{
    setClipRegion(noClip());
}

void Graphics::setTransform(const AffineTransform& transform)
{
    if (!m_active)
        return;
    m_transform = transform;
    notify(DirtyTransform);
}

void Graphics::translate(int dx, int dy)
{
    AffineTransform t = m_transform;
    t.translate(float(dx), float(dy));
    setTransform(t);
}

void Graphics::scale(int sx, int sy)
{
    AffineTransform t = m_transform;
    t.scale(float(sx), float(sy));
    setTransform(t);
}

void Graphics::rotate(float degrees)
{
    AffineTransform t = m_transform;
    t.rotate(degrees, AffineTransform::Axis::Plane);
    setTransform(t);
}

void Graphics::resetTransform()
{
    setTransform(identity());
}

void Graphics::setRenderHint(std::uint32_t bits, bool on)
{
    m_hints = on ? (m_hints | bits) : (m_hints & ~bits);
}

void Graphics::drawEllipse(const Rect& r)
{
    if (m_active)
        m_engine->ellipse(r);
}

void Graphics::drawEllipse(int x, int y, int width, int height)
{
    drawEllipse(Rect(x, y, width, height));
}

void Graphics::drawEllipse(Point centre, int rx, int ry)
{
    drawEllipse(Rect(centre.x - rx, centre.y - ry, 2 * rx, 2 * ry));
}

void Graphics::drawLines(const PointPair* pairs, int count)
{
    if (m_active)
        m_engine->lines(pairs, count);
}

void Graphics::drawLine(int x1, int y1, int x2, int y2)
{
    drawLine(PointPair{{x1, y1}, {x2, y2}});
}

void Graphics::drawLine(Point p1, Point p2)
{
    drawLine(PointPair{p1, p2});
}

void Graphics::drawLine(const PointPair& pair)
{
    drawLines(&pair, 1);
}

void Graphics::fillPolygon(const Point* points, int count, int fillMode)
{
    if (m_active)
        m_engine->fillPolygon(points, count, fillMode);
}

void Graphics::drawRects(const Rect* rects, int count)
{
    if (m_active)
        m_engine->rects(rects, count);
}

void Graphics::drawRect(const Rect& r)
{
    drawRects(&r, 1);
}

void Graphics::drawRect(int x, int y, int width, int height)
{
    drawRect(Rect(x, y, width, height));
}

void Graphics::invertRect(const Rect& r, bool invert)
{
    if (m_active)
        m_engine->invertRect(r, invert);
}

void Graphics::drawBitmapScaled(const Bitmap& bitmap, const Rect& source, const Rect& target)
{
    if (m_active)
        m_engine->bitmap(bitmap, source, target);
}

void Graphics::drawBitmapAt(const Bitmap& bitmap, int x, int y)
{
    drawBitmapScaled(bitmap, bitmap.rect(), Rect(x, y, bitmap.width(), bitmap.height()));
}

void Graphics::drawBitmapScaledTo(const Bitmap& bitmap, int x, int y, int width, int height)
{
    drawBitmapScaled(bitmap, bitmap.rect(), Rect(x, y, width, height));
}

void Graphics::drawBitmapInRect(const Bitmap& bitmap, const Rect& target)
{
    drawBitmapScaled(bitmap, bitmap.rect(), target);
}

void Graphics::drawBitmapPart(const Bitmap& bitmap, Point source, Point target, int width, int height)
{
    if (m_active)
        m_engine->bitmapPart(bitmap, source, target, width, height);
}

void Graphics::drawBitmapAligned(const Bitmap& bitmap, const Rect& box, int flags)
{
    const Rect placed = box.alignedRect(bitmap.width(), bitmap.height(), flags, true);
    drawBitmapPart(bitmap, Point::origin, placed.topLeft(), bitmap.width(), bitmap.height());
}

void Graphics::tileBitmap(const Bitmap& bitmap, const Rect& r)
{
    if (m_active)
        m_engine->tile(bitmap, r);
}

void Graphics::fillRect(const Rect& r, const Brush& brush)
{
    if (!m_active || r.isEmpty())
        return;
    setFillBrush(brush);
    const Point corners[4] = {{r.x, r.y}, {r.right(), r.y}, {r.right(), r.bottom()}, {r.x, r.bottom()}};
    m_engine->fillPolygon(corners, 4, Winding);
}

void Graphics::fillRectXywh(int x, int y, int width, int height, const Brush& brush)
{
    fillRect(Rect(x, y, width, height), brush);
}

void Graphics::fillRectColour(const Rect& r, Colour colour)
{
    fillRect(r, Brush(colour, 0));
}

void Graphics::drawTextRaw(const wchar_t* text, int length, int x, int y)
{
    if (m_active)
        m_engine->text(text, length, x, y);
}

bool Graphics::drawText(const String& text, const Rect& box, int alignment, int elideMode, int flags, Rect* placed)
{
    if (text.isEmpty())
        return false;
    if (box.width <= 0 || box.height <= 0)
        return true;
    if (alignment == 0 && elideMode == ElideNone) {
        drawTextRaw(text.constData(), text.length(), box.x, box.y);
        return false;
    }
    const String elided = m_font.elidedText(text, box, elideMode);
    if (!elided.isEmpty()) {
        const Rect where = m_font.placeText(elided, box, alignment, (flags & 1) != 0);
        drawTextRaw(elided.constData(), elided.length(), where.x, where.y);
        if (placed)
            *placed = where;
    }
    return elided != text;
}

void Graphics::setViewport(int x, int y, int width, int height)
{
    setViewport(Rect(x, y, width, height));
}

void Graphics::setViewport(const Rect& r)
{
    if (m_active)
        m_engine->setViewport(r);
}

Rect Graphics::viewport() const
{
    return m_active ? m_engine->viewport() : Rect();
}

void Graphics::setWindow(int x, int y, int width, int height)
{
    setWindow(Rect(x, y, width, height));
}

void Graphics::setWindow(const Rect& r)
{
    if (m_active)
        m_engine->setWindow(r);
}

Rect Graphics::window() const
{
    return m_active ? m_engine->window() : Rect();
}
