#pragma once

#include "graphics/Bitmap.h"
#include "foundation/Geometry.h"

#include <cstdint>

// Cursor shapes. System shapes come from the system's cursors; the others
// are images described by "cursors/cursors.xml" in the data pack "data".
enum CursorShape : std::uint32_t {
    CursorArrow = 1,
    CursorCross = 2,
    CursorWait = 3,
    CursorIBeam = 4,
    CursorHand = 5,
    CursorHandOpen = 6,
    CursorHandClose = 7,
    CursorHandFinger = 8,
    CursorSizeVertical = 9,
    CursorSizeHorizontal = 10,
    CursorSizeBDiagonal = 11,
    CursorSizeFDiagonal = 12,
    CursorSizeAll = 13,
    CursorLens = 14,
    CursorLensPlus = 15,
    CursorLensMinus = 16,
    CursorSplitTopBottom = 17,
    CursorSplitLeftRight = 18,
    CursorSplitLeft = 19,
    CursorSplitRight = 20,
    CursorSplitTop = 21,
    CursorSplitBottom = 22,
    CursorPipette = 23,
    CursorTarget = 24,
    CursorEmpty = 25,
};

// A cursor shape by value; the default is the arrow. The platform cursors
// behind the shapes are built on the first lookup and kept until exit.
class Cursor {
public:
    Cursor(std::uint32_t shape = CursorArrow) : m_shape(shape) {}

    std::uint32_t shape() const { return m_shape; }
    bool operator==(const Cursor&) const = default;

    // The platform cursor of a shape (an HCURSOR), null when there is none.
    static void* handle(std::uint32_t shape);
    // Shows this shape's platform cursor.
    void apply() const;
    // The shape of the cursor shown now; the arrow when it is none of ours.
    static Cursor current();
    static bool isSystemShape(std::uint32_t shape);
    Bitmap imageWithShadow() const;
    static Size size();

private:
    std::uint32_t m_shape;
};

// Shows a cursor as widgets ask for one: the UI manager's override cursor
// wins while one is set.
void applyCursor(const Cursor& cursor);
