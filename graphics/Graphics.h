#pragma once

#include "foundation/Geometry.h"
#include "foundation/String.h"
#include "graphics/AffineTransform.h"
#include "graphics/Bitmap.h"
#include "graphics/Brush.h"
#include "graphics/Font.h"
#include "graphics/FontDesc.h"
#include "graphics/PaintEngine.h"
#include "graphics/Pen.h"
#include "graphics/Region.h"

#include <cstdint>

class DrawingSurface;
class Graphics;

// The part of the painter that the engine reads. Each accessor gives the
// painter's current value, or a shared default when no painter is set.
class PaintState {
public:
    // The change being applied during one PaintEngine::updateState call.
    enum Dirty : std::uint32_t {
        DirtyBrush = 1,
        DirtyFillBrush = 2,
        DirtyPen = 4,
        DirtyFont = 8,
        DirtyClip = 16,
        DirtyTransform = 32,
    };

    std::uint32_t dirtyFlags() const { return m_dirty; }
    Graphics* painter() const { return m_painter; }
    const FontDesc& fontDesc() const;
    const Region& clipRegion() const;
    const Brush& fillBrush() const;
    const Brush& brush() const;
    const Pen& pen() const;
    const AffineTransform& transform() const;

protected:
    std::uint32_t m_dirty = 0;
    Graphics* m_painter = nullptr;
};

// The painter every paint handler uses, for one paint pass on one surface.
// It keeps the drawing state, tells the current PaintEngine about each
// change, and turns its convenience operations into the engine's
// primitives. Until begin succeeds (and after end) every setter and drawing
// operation does nothing.
class Graphics : public PaintState {
public:
    enum RenderHint : std::uint32_t {
        // Bitmaps are composited over the destination instead of copied.
        AlphaBlending = 1,
        // Bitmaps are interpolated instead of taking the nearest pixel.
        SmoothScaling = 2,
    };
    enum FillMode : int { Winding = 0, Alternate = 1 };

    // Begins on surface when it is not null.
    explicit Graphics(DrawingSurface* surface = nullptr);
    ~Graphics();
    Graphics(const Graphics&) = delete;
    Graphics& operator=(const Graphics&) = delete;

    // Takes the current engine and hands it the painter's font; fails for a
    // null surface, a surface another painter paints on, or when the engine
    // refuses.
    bool begin(DrawingSurface* surface);
    bool end();
    bool isActive() const { return m_active; }
    DrawingSurface* surface() const { return m_surface; }
    PaintEngine* engine() const { return m_engine; }

    // A value equal to the current one reaches the engine only the first
    // time after begin.
    void setFont(const FontDesc& desc);
    void setPen(const Pen& pen);
    void setPenColour(Colour colour);
    void setPenStyle(std::uint32_t kind);
    void setFillBrush(const Brush& brush);
    void setBrush(const Brush& brush);
    // Clip and transform changes always reach the engine. An empty region
    // means no clipping.
    void setClipRegion(const Region& region);
    void setClipRect(const Rect& r);
    void resetClip();
    void setTransform(const AffineTransform& transform);
    // Each new step acts on a point before the steps already held.
    void translate(int dx, int dy);
    void scale(int sx, int sy);
    void rotate(float degrees);
    void resetTransform();
    void setRenderHint(std::uint32_t bits, bool on);
    bool hasRenderHint(std::uint32_t bit) const { return (m_hints & bit) > 0; }

    // The painter's font, for measuring.
    const Font& font() const { return m_font; }
    const FontDesc& fontDesc() const { return m_fontDesc; }
    const Pen& pen() const { return m_pen; }
    const Brush& fillBrush() const { return m_fillBrush; }
    const Brush& brush() const { return m_brush; }
    const AffineTransform& transform() const { return m_transform; }
    const Region& clipRegion() const { return m_clip; }

    void drawEllipse(const Rect& r);
    void drawEllipse(int x, int y, int width, int height);
    void drawEllipse(Point centre, int rx, int ry);
    void drawLines(const PointPair* pairs, int count);
    // The end point is not drawn.
    void drawLine(int x1, int y1, int x2, int y2);
    void drawLine(Point p1, Point p2);
    void drawLine(const PointPair& pair);
    void fillPolygon(const Point* points, int count, int fillMode);
    // Outlines in the pen.
    void drawRects(const Rect* rects, int count);
    void drawRect(const Rect& r);
    void drawRect(int x, int y, int width, int height);
    void invertRect(const Rect& r, bool invert);

    void drawBitmapScaled(const Bitmap& bitmap, const Rect& source, const Rect& target);
    void drawBitmapAt(const Bitmap& bitmap, int x, int y);
    void drawBitmapScaledTo(const Bitmap& bitmap, int x, int y, int width, int height);
    void drawBitmapInRect(const Bitmap& bitmap, const Rect& target);
    void drawBitmapPart(const Bitmap& bitmap, Point source, Point target, int width, int height);
    // Unscaled, placed in box by Alignment flags; it may overflow the box.
    void drawBitmapAligned(const Bitmap& bitmap, const Rect& box, int flags);
    void tileBitmap(const Bitmap& bitmap, const Rect& r);

    // Fills with the brush, which becomes the fill brush; a rectangle
    // narrower or lower than 1 draws nothing and leaves the fill brush.
    void fillRect(const Rect& r, const Brush& brush);
    void fillRectXywh(int x, int y, int width, int height, const Brush& brush);
    void fillRectColour(const Rect& r, Colour colour);

    // One line of text in the pen's colour, its top-left corner at (x, y).
    void drawTextRaw(const wchar_t* text, int length, int x, int y);
    // One line of text in a box: shortened by an ElideMode and placed by
    // Alignment flags (bit 0 of flags lets it overflow the box). With
    // alignment 0 and mode 0 the whole text goes to the box's corner.
    // Returns true when the text drawn differs from text (shortened or
    // dropped) and for a box without area; false for an empty text. The
    // placed rectangle is written to placed when the text was aligned.
    bool drawText(const String& text, const Rect& box, int alignment, int elideMode, int flags,
                  Rect* placed = nullptr);

    void setViewport(int x, int y, int width, int height);
    void setViewport(const Rect& r);
    // The empty rectangle while inactive.
    Rect viewport() const;
    void setWindow(int x, int y, int width, int height);
    void setWindow(const Rect& r);
    Rect window() const;

private:
    enum SetBit : std::uint32_t { SetFont = 1, SetPen = 2, SetFillBrush = 4, SetBrush = 8 };

    template <typename Value>
    void setCompared(Value& current, const Value& value, SetBit setBit, Dirty dirty);
    void notify(Dirty dirty);

    PaintEngine* m_engine = nullptr;
    Region m_clip;
    DrawingSurface* m_surface = nullptr;
    bool m_active = false;
    std::uint32_t m_hints = AlphaBlending;
    AffineTransform m_transform;
    FontDesc m_fontDesc;
    Font m_font;
    Pen m_pen;
    Brush m_fillBrush;
    Brush m_brush;
    std::uint32_t m_setBits = 0;
};
