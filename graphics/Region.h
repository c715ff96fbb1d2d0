#pragma once

#include "foundation/Geometry.h"

class Bitmap;

// The platform's region handle (HRGN) without the platform header.
using RegionHandle = struct HRGN__*;

// A shared handle to a GDI region: the painter's clip and the clip areas of
// widgets. Copies share one handle through a reference count, deleted when
// the last copy goes; combining two Regions always makes a new handle and
// never alters either operand. Used on the UI thread only.
//
// An operand without a handle counts as the empty region in a combination:
// the empty set minus, or intersected with, anything is empty; a region
// minus, united or xored with the empty one is a copy of it.
class Region {
public:
    // Empty: no handle.
    Region() = default;
    // Stays empty when the platform refuses to make the region.
    explicit Region(const Rect& r);
    Region(int x, int y, int width, int height);
    Region(const Region& other);
    Region(Region&& other) noexcept;
    ~Region();

    Region& operator=(const Region& other);
    Region& operator=(Region&& other) noexcept;

    // Null for an empty Region.
    RegionHandle handle() const { return m_handle; }

    Region subtracted(const Region& other) const;
    Region united(const Region& other) const;
    Region intersected(const Region& other) const;
    Region xored(const Region& other) const;

    bool contains(Point p) const;
    // Whether any part of r lies in the region.
    bool contains(const Rect& r) const;

    // Moves the shared handle: every copy moves with it.
    void translate(int dx, int dy);

    // The shared empty Rect without a handle.
    Rect boundingRect() const;
    bool isEmpty() const;

    // Two empty Regions are equal; an empty and a non-empty one are not.
    bool operator==(const Region& other) const;
    bool operator!=(const Region& other) const { return !(*this == other); }

    // The union of one-pixel-high rectangles covering, row by row, each run
    // of pixels that differ from opaque black. Empty for a Bitmap that is not
    // 32 bpp or has no such pixel.
    static Region fromBitmap(const Bitmap& bitmap);

private:
    // Takes ownership of a handle just made (count 1); null stays empty.
    explicit Region(RegionHandle handle);
    Region combined(const Region& other, int mode) const;
    // A new handle with the same area; empty without a handle.
    Region copied() const;
    void attach(const Region& other);
    void release();

    RegionHandle m_handle = nullptr;
    int* m_refCount = nullptr;
};

// A new raw handle combining a and b with the CombineRgn mode (RGN_OR,
// RGN_AND, ...), owned by the caller; null when the platform refuses.
RegionHandle combineRegionHandles(RegionHandle a, RegionHandle b, int mode);
