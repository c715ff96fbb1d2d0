#pragma once

#include "graphics/PaintEngine.h"

#include <memory>

class Brush;

// The engine of kind "GDI": draws into a DrawingSurface's device context
// with GDI, and bitmaps and tiles through GDI+ (which the image codecs'
// start-up must have started). It owns the pen and brush it selects and
// takes its fonts from the shared font cache; at end it restores the
// context's own objects and takes away the painter's transform and clip.
class GdiPaintEngine : public PaintEngine {
public:
    GdiPaintEngine();
    ~GdiPaintEngine() override;

    bool begin(PaintState* state, DrawingSurface* surface) override;
    bool end() override;
    void updateState(PaintState* state) override;

    // The viewport and window extents count only in the mapping modes that
    // scale; the engine keeps MM_TEXT.
    void setViewport(const Rect& r) override;
    Rect viewport() const override;
    void setWindow(const Rect& r) override;
    Rect window() const override;

    // Outlined in the pen and filled with the fill brush's plain colour;
    // an invisible pen or fill brush leaves out that part.
    void ellipse(const Rect& r) override;
    void lines(const PointPair* pairs, int count) override;
    void fillPolygon(const Point* points, int count, int fillMode) override;
    void rects(const Rect* rects, int count) override;
    void invertRect(const Rect& r, bool invert) override;
    // Equal sizes draw unscaled through bitmapPart.
    void bitmap(const Bitmap& bitmap, const Rect& source, const Rect& target) override;
    void bitmapPart(const Bitmap& bitmap, Point source, Point target, int width, int height) override;
    void tile(const Bitmap& bitmap, const Rect& r) override;
    void text(const wchar_t* text, int length, int x, int y) override;

private:
    void drawBitmapGdiplus(const Bitmap& bitmap, const Rect& source, const Rect& target, bool smooth, bool blend);
    void fillGradient(const Point* points, const Brush& brush);
    bool penVisible() const;
    bool hint(unsigned bit) const;

    struct Private;
    std::unique_ptr<Private> d;
};
