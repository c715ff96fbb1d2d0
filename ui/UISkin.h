#pragma once

#include "foundation/Geometry.h"
#include "graphics/Bitmap.h"

#include <cstdint>
#include <vector>

class Graphics;

// The nine regions of one state of a nine-slice skin. A mask is any sum of
// them; another value names no region.
enum SkinRegion : int {
    SkinTopLeft = 1,
    SkinTop = 2,
    SkinTopRight = 4,
    SkinRight = 8,
    SkinBottomRight = 16,
    SkinBottom = 32,
    SkinBottomLeft = 64,
    SkinLeft = 128,
    SkinCentre = 256,
    SkinAllRegions = 511,
};

// Column widths (left, center, right), row heights (top, middle, bottom)
// and the size of one state. A skin is nine-slice when left is at least 1.
struct UISkinGeometry {
    std::int32_t left = 0;
    std::int32_t center = 0;
    std::int32_t right = 0;
    std::int32_t top = 0;
    std::int32_t middle = 0;
    std::int32_t bottom = 0;
    std::int32_t width = 0;
    std::int32_t height = 0;

    bool operator==(const UISkinGeometry&) const = default;
};

// The source rectangles of one state's regions, in the order top-left, top,
// top-right, right, bottom-right, bottom, bottom-left, left, centre.
struct UISkinRegions {
    Rect rects[9];
};

// One image holding every visual state of a widget part, the states one
// below the other (or side by side), drawn plainly, stretched, or by nine
// slices whose corners keep their size. Copies share the pixels.
//
// A state index outside 0 .. stateCount - 1, or one whose rectangle does
// not lie inside the image, has size 0 and draws nothing; so does every
// state of a skin with a count below 1.
class UISkin : public Bitmap {
public:
    // No image, vertical, no states, geometry 0.
    UISkin() = default;
    // bitmap as a strip of one plain state the size of the whole image.
    UISkin(const Bitmap& bitmap, bool vertical);

    void setImage(const Bitmap& bitmap, bool vertical);
    // Nine-slice skins (left and count at least 1) also get their region
    // table, one entry per state.
    void setGeometry(const UISkinGeometry& geometry, int stateCount);
    void setNineSlice(int c0, int c1, int c2, int r0, int r1, int r2, int stateCount);

    bool isVertical() const { return m_vertical; }
    int stateCount() const { return m_stateCount; }
    const UISkinGeometry& geometry() const { return m_geometry; }

    // State i's rectangle in the image by the geometry's state size.
    Rect stateRect(int i) const;
    // One state's size taken from the image.
    Size stateSize() const;
    int stateWidth() const { return stateSize().width; }
    int stateHeight() const { return stateSize().height; }
    // A region's source rectangle computed from the geometry.
    Rect regionRect(int i, int flag) const;
    // The same rectangle from the stored table; the shared empty rectangle
    // for a flag that names no region or a state without an entry.
    const Rect& region(int i, int flag) const;

    // State i into target: a plain skin stretched, a nine-slice skin with
    // its corners unscaled and the regions of mask only (the missing
    // borders' room taken by the edges and the centre). A target without
    // room for one pixel of the middle column and row draws nothing.
    void drawNineSlice(Graphics& g, const Rect& target, int i, int mask) const;
    // drawNineSlice into a state-sized rectangle at p.
    void drawAt(Graphics& g, Point p, int i, int mask) const;
    // State i unscaled, placed in target by Alignment flags and allowed to
    // overflow it; the rectangle drawn goes to drawn (empty when nothing).
    void drawAligned(Graphics& g, const Rect& target, int flags, int i, Rect* drawn = nullptr) const;
    // One stored region stretched into target.
    void drawRegion(Graphics& g, const Rect& target, int i, int flag) const;

private:
    bool hasState(int i) const;
    bool isNineSlice() const { return m_geometry.left >= 1; }
    void drawEdgesAndCentre(Graphics& g, const Rect& target, int i, int mask) const;

    bool m_vertical = true;
    int m_stateCount = 0;
    UISkinGeometry m_geometry;
    std::vector<UISkinRegions> m_regions;
};
