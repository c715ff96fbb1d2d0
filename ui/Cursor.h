#pragma once

#include "foundation/ByteArray.h"
#include "foundation/Geometry.h"
#include "foundation/List.h"
#include "foundation/String.h"
#include "graphics/Bitmap.h"

#include <cstdint>

class DataPack;

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

    // The platform cursor of a shape (an HCURSOR) from the process's set,
    // built from the data pack "data" on the first call (CursorSet::handle).
    static void* handle(std::uint32_t shape);
    // Shows this shape's platform cursor. Shape 0 (no override) is never
    // applied: it would hide the pointer.
    void apply() const;
    // The shape of the cursor shown now; the arrow when it is none of ours.
    static Cursor current();
    static bool isSystemShape(std::uint32_t shape);
    // The cursor shown now as an image, with a soft shadow under system
    // cursors while the system draws cursor shadows.
    Bitmap imageWithShadow() const;
    static Size size();

private:
    std::uint32_t m_shape;
};

// The platform cursors behind the shapes, in the order they were added: the
// system's first, then one per image that "cursors/cursors.xml" of a data
// pack describes. Lookups take the first entry of a shape, so an image never
// replaces a system cursor. An image is decoded when its shape is first
// looked up, so the first pointer move pays for one cursor, not all.
class CursorSet {
public:
    CursorSet() = default;
    // Destroys the cursors made from images; system cursors stay.
    ~CursorSet();
    CursorSet(const CursorSet&) = delete;
    CursorSet& operator=(const CursorSet&) = delete;

    // Adds the system cursors, then an entry per image of the pack (none
    // without a pack or a readable description), keeping a copy of the
    // image's bytes until its first lookup. An image that is missing or
    // does not decode gives its shape the arrow, except the empty cursor.
    void build(const DataPack* pack);
    bool isEmpty() const { return m_entries.isEmpty(); }
    int count() const { return m_entries.count(); }

    // The shape's cursor (an HCURSOR), its image decoded now if this is its
    // first lookup. A toolkit shape without an entry gets the arrow, so a
    // missing description never hides the pointer; the empty cursor and
    // unknown shapes get null.
    void* handle(std::uint32_t shape);
    // The shape of the first entry with this handle; 0 when none.
    std::uint32_t shapeOf(const void* handle) const;
    // The shape's entry is a system cursor.
    bool isSystem(std::uint32_t shape) const;

    // The shape a name of the description stands for; the arrow for an
    // unknown name.
    static std::uint32_t shapeByName(const String& name);

private:
    struct Entry {
        std::uint32_t shape;
        void* handle;
        bool system;
        // Made from an image, so destroyed with the set.
        bool owned;
        // An image entry not looked up yet: its PNG bytes (empty when the
        // pack has none) and hot spot.
        bool pending = false;
        ByteArray image;
        Point hotSpot;
    };

    const Entry* find(std::uint32_t shape) const;
    void addSystemCursors();
    void addImageCursors(const DataPack& pack);
    void addImageCursor(const DataPack& pack, const String& name, Point hotSpot);
    static void decode(Entry& entry);

    List<Entry> m_entries;
};

// Shows a cursor as widgets ask for one: the UI manager's override cursor
// wins while one is set.
void applyCursor(const Cursor& cursor);
