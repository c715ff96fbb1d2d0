#pragma once

// Alignment flags for placing a rectangle inside another. Left beats right,
// top beats bottom, and the centre flags beat both.
enum Alignment : int {
    AlignLeft = 1,
    AlignRight = 2,
    AlignTop = 4,
    AlignBottom = 8,
    AlignVCenter = 16,
    AlignHCenter = 32,
    AlignCenter = AlignVCenter | AlignHCenter,
};

struct Point {
    int x = 0;
    int y = 0;

    bool operator==(const Point&) const = default;

    // The shared origin, never written.
    static const Point origin;
};

// x >= 0 gives trunc(x + 0.5), else trunc(x - 0.5): halves round away
// from zero.
int toNearestInt(float x);
int toNearestInt(double x);

struct Size {
    int width = 0;
    int height = 0;

    bool operator==(const Size&) const = default;
    bool isEmpty() const { return width < 1 || height < 1; }

    // The aspect ratio kept, the other side rounded with toNearestInt; the
    // empty Size unless this size and the new side are positive.
    Size scaledToWidth(int w) const;
    Size scaledToHeight(int h) const;
    // The largest size of this aspect ratio inside bounds; the empty Size
    // unless both sides here and in bounds are positive.
    Size scaledToFit(Size bounds) const;
};

// A rectangle whose right (x + width) and bottom (y + height) edges lie
// outside it; empty when width or height is below 1.
struct Rect {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;

    constexpr Rect() = default;
    constexpr Rect(int x, int y, int width, int height) : x(x), y(y), width(width), height(height) {}

    bool operator==(const Rect&) const = default;

    int left() const { return x; }
    int top() const { return y; }
    int right() const { return x + width; }
    int bottom() const { return y + height; }
    Point topLeft() const { return {x, y}; }
    Size size() const { return {width, height}; }
    Point center() const { return {x + width / 2, y + height / 2}; }
    bool isEmpty() const { return width < 1 || height < 1; }

    bool contains(Point p) const;
    bool contains(const Rect& r) const;
    // Overlap of two rectangles that both have a positive extent.
    bool intersects(const Rect& r) const;
    // The overlap; rectangles that only touch give a width or height of 0,
    // disjoint ones the shared empty Rect.
    Rect intersected(const Rect& other) const;
    // The smallest rectangle holding both; an empty one adds nothing.
    Rect united(const Rect& other) const;

    void setLeft(int left);
    void setTop(int top);
    Rect adjusted(int dl, int dt, int dr, int db) const;

    // A width x height rectangle placed in this one by the alignment flags.
    // Without overflow an extent larger than this box falls back to left/top.
    Rect alignedRect(int width, int height, int flags, bool allowOverflow = false) const;

    // The shared empty rectangle.
    static const Rect empty;
};
