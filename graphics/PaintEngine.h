#pragma once

#include "foundation/Geometry.h"
#include "foundation/String.h"

class Bitmap;
class DrawingSurface;
class PaintState;

// One line for PaintEngine::lines: drawn from p1 up to, not including, p2.
struct PointPair {
    Point p1;
    Point p2;

    bool operator==(const PointPair&) const = default;
};

// The back end behind the painter: a few primitive drawing operations and
// one operation that applies a change of the painter's state. It serves one
// painter at a time, between begin and end.
class PaintEngine {
public:
    explicit PaintEngine(const String& kind) : m_kind(kind) {}
    virtual ~PaintEngine() = default;
    PaintEngine(const PaintEngine&) = delete;
    PaintEngine& operator=(const PaintEngine&) = delete;

    // Refused while active, for a null surface or a surface already painted.
    virtual bool begin(PaintState* state, DrawingSurface* surface) = 0;
    virtual bool end() = 0;
    // Applies the one change the state's dirty flags name.
    virtual void updateState(PaintState* state) = 0;

    virtual void setViewport(const Rect& r) = 0;
    // (origin x, origin y, extent width, extent height).
    virtual Rect viewport() const = 0;
    virtual void setWindow(const Rect& r) = 0;
    virtual Rect window() const = 0;

    virtual void ellipse(const Rect& r) = 0;
    virtual void lines(const PointPair* pairs, int count) = 0;
    // fillMode 0 winding, 1 alternate. A fill brush with gradient stops fills
    // the rectangle spanned by the first three points instead.
    virtual void fillPolygon(const Point* points, int count, int fillMode) = 0;
    // Outlines only.
    virtual void rects(const Rect* rects, int count) = 0;
    virtual void invertRect(const Rect& r, bool invert) = 0;
    virtual void bitmap(const Bitmap& bitmap, const Rect& source, const Rect& target) = 0;
    virtual void bitmapPart(const Bitmap& bitmap, Point source, Point target, int width, int height) = 0;
    // Repeats the bitmap over r, anchored at the surface's origin.
    virtual void tile(const Bitmap& bitmap, const Rect& r) = 0;
    virtual void text(const wchar_t* text, int length, int x, int y) = 0;

    bool isActive() const { return m_surface != nullptr; }
    const String& kind() const { return m_kind; }

protected:
    PaintState* m_state = nullptr;
    DrawingSurface* m_surface = nullptr;

private:
    String m_kind;
};

// Creates the GDI engine, appends it to the engines and makes the first
// engine current.
void registerGdiPaintEngine();
PaintEngine* currentPaintEngine();
void setCurrentPaintEngine(PaintEngine* engine);
// The first engine whose kind equals kind exactly, or null.
PaintEngine* paintEngineByKind(const String& kind);
// Deletes every registered engine; the current engine becomes null when it
// was one of them, so no painter can begin on a deleted engine.
void destroyPaintEngines();
