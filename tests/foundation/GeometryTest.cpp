#include "foundation/Geometry.h"

#include "tests/support/GeometryPrinting.h"
#include "tests/support/RowTable.h"

#include <gtest/gtest.h>

#include <climits>

TEST(RectBasics, DefaultAndSharedEmpty)
{
    EXPECT_EQ(Rect(), Rect(0, 0, 0, 0));
    EXPECT_EQ(Rect::empty, Rect(0, 0, 0, 0));
    EXPECT_TRUE(Rect::empty.isEmpty());
    EXPECT_EQ(Point::origin, (Point{0, 0}));
}

TEST(RectBasics, EdgesCornerAndSize)
{
    Rect r(10, 20, 30, 40);
    EXPECT_EQ(r.left(), 10);
    EXPECT_EQ(r.top(), 20);
    EXPECT_EQ(r.right(), 40);
    EXPECT_EQ(r.bottom(), 60);
    EXPECT_EQ(r.topLeft(), (Point{10, 20}));
    EXPECT_EQ(r.size(), (Size{30, 40}));
}

TEST(RectBasics, IsEmpty)
{
    struct Row {
        Rect r;
        bool empty;
    };
    const Row rows[] = {
        {Rect(0, 0, 1, 1), false}, {Rect(0, 0, 0, 5), true},   {Rect(0, 0, 5, 0), true},
        {Rect(0, 0, -1, 5), true}, {Rect(5, 5, 5, -3), true},  {Rect(-9, -9, 2, 2), false},
    };
    for (const Row& row : rows)
        EXPECT_EQ(row.r.isEmpty(), row.empty) << ::testing::PrintToString(row.r);
}

TEST(RectBasics, CenterTruncatesTowardZero)
{
    EXPECT_EQ(Rect(0, 0, 5, 5).center(), (Point{2, 2}));
    EXPECT_EQ(Rect(10, 20, 4, 6).center(), (Point{12, 23}));
    EXPECT_EQ(Rect(-5, -5, 5, 5).center(), (Point{-3, -3}));
    EXPECT_EQ(Rect(0, 0, -5, -3).center(), (Point{-2, -1}));
}

TEST(RectBasics, SelfAssignment)
{
    Rect r(1, 2, 3, 4);
    const Rect& alias = r;
    r = alias;
    EXPECT_EQ(r, Rect(1, 2, 3, 4));
    Rect other;
    other = r;
    EXPECT_EQ(other, Rect(1, 2, 3, 4));
}

TEST(RectContains, Points)
{
    Rect r(10, 20, 30, 40);
    struct Row {
        Point p;
        bool inside;
    };
    const Row rows[] = {
        {{10, 20}, true},  {{39, 59}, true},  {{40, 20}, false}, {{10, 60}, false}, {{9, 20}, false},
        {{10, 19}, false}, {{25, 30}, true},  {{40, 60}, false}, {{39, 60}, false},
    };
    for (const Row& row : rows)
        EXPECT_EQ(r.contains(row.p), row.inside) << ::testing::PrintToString(row.p);
    EXPECT_FALSE(Rect(0, 0, 0, 0).contains(Point{0, 0}));
}

TEST(RectContains, Rects)
{
    Rect box(0, 0, 100, 50);
    struct Row {
        Rect inner;
        bool inside;
    };
    const Row rows[] = {
        {Rect(0, 0, 100, 50), true},   {Rect(10, 10, 90, 40), true},  {Rect(10, 10, 91, 40), false},
        {Rect(10, 10, 90, 41), false}, {Rect(-1, 0, 10, 10), false},  {Rect(0, -1, 10, 10), false},
        {Rect(99, 49, 1, 1), true},    {Rect(100, 50, 0, 0), true},   {Rect(20, 20, 10, 10), true},
    };
    for (const Row& row : rows)
        EXPECT_EQ(box.contains(row.inner), row.inside) << ::testing::PrintToString(row.inner);
    // The other way round only an equal rectangle fits.
    EXPECT_TRUE(Rect(0, 0, 100, 50).contains(box));
    EXPECT_FALSE(Rect(10, 10, 90, 40).contains(box));
}

TEST(RectEdges, SetLeftAndTopKeepTheFarEdge)
{
    struct Row {
        int edge;
        int position;
        int extent;
    };
    // Starting from {10, 10, 20, 20}: the far edge stays at 30, the extent
    // is clamped at 0 when the near edge passes it.
    const Row rows[] = {{15, 15, 15}, {5, 5, 25}, {30, 30, 0}, {40, 40, 0}, {-10, -10, 40}};
    for (const Row& row : rows) {
        Rect left(10, 10, 20, 20);
        left.setLeft(row.edge);
        EXPECT_EQ(left, Rect(row.position, 10, row.extent, 20)) << "setLeft " << row.edge;
        Rect top(10, 10, 20, 20);
        top.setTop(row.edge);
        EXPECT_EQ(top, Rect(10, row.position, 20, row.extent)) << "setTop " << row.edge;
    }
}

TEST(RectEdges, Adjusted)
{
    Rect r(10, 10, 20, 20);
    EXPECT_EQ(r.adjusted(1, 2, 3, 4), Rect(11, 12, 22, 22));
    EXPECT_EQ(r.adjusted(-1, -1, 1, 1), Rect(9, 9, 22, 22));
    EXPECT_EQ(r.adjusted(0, 0, 0, 0), r);
    EXPECT_EQ(r, Rect(10, 10, 20, 20));
}

TEST(RectIntersects, OverlapNeedsArea)
{
    struct Row {
        Rect a;
        Rect b;
        bool overlap;
    };
    const Row rows[] = {
        {Rect(0, 0, 10, 10), Rect(5, 5, 10, 10), true},  {Rect(0, 0, 10, 10), Rect(10, 0, 5, 5), false},
        {Rect(0, 0, 10, 10), Rect(0, 10, 5, 5), false},  {Rect(0, 0, 10, 10), Rect(9, 9, 5, 5), true},
        {Rect(0, 0, 10, 10), Rect(2, 2, 2, 2), true},    {Rect(0, 0, 10, 10), Rect(5, 5, 0, 3), false},
        {Rect(0, 0, 10, 10), Rect(-5, -5, 5, 20), false}, {Rect(0, 0, 10, 10), Rect(-5, -5, 6, 6), true},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(row.a.intersects(row.b), row.overlap)
            << ::testing::PrintToString(row.a) << " / " << ::testing::PrintToString(row.b);
        EXPECT_EQ(row.b.intersects(row.a), row.overlap)
            << ::testing::PrintToString(row.b) << " / " << ::testing::PrintToString(row.a);
    }
}

TEST(RectAlign, PlacementTable)
{
    struct Row {
        Rect box;
        int width;
        int height;
        int flags;
        bool allowOverflow;
        Rect expected;
    };
    const Rect box(10, 20, 100, 50);
    const Rect narrow(0, 0, 40, 100);
    const Row rows[] = {
        {box, 30, 10, 0, false, Rect(10, 20, 30, 10)},
        {box, 30, 10, 1, false, Rect(10, 20, 30, 10)},
        {box, 30, 10, 2, false, Rect(80, 20, 30, 10)},
        {box, 30, 10, 1 | 2, false, Rect(10, 20, 30, 10)}, // left beats right
        {box, 30, 10, 4, false, Rect(10, 20, 30, 10)},
        {box, 30, 10, 8, false, Rect(10, 60, 30, 10)},
        {box, 30, 10, 4 | 8, false, Rect(10, 20, 30, 10)}, // top beats bottom
        {box, 30, 10, 2 | 8, false, Rect(80, 60, 30, 10)},
        {box, 30, 10, 16, false, Rect(10, 40, 30, 10)},
        {box, 30, 10, 32, false, Rect(45, 20, 30, 10)},
        {box, 30, 10, 48, false, Rect(45, 40, 30, 10)},
        {box, 30, 10, 1 | 32, false, Rect(45, 20, 30, 10)}, // centre beats left
        {box, 30, 10, 2 | 32, false, Rect(45, 20, 30, 10)}, // and right
        {box, 30, 10, 4 | 16, false, Rect(10, 40, 30, 10)},
        {box, 30, 10, 8 | 16, false, Rect(10, 40, 30, 10)},
        {box, 31, 11, 48, false, Rect(44, 39, 31, 11)},
        // Overflow: a width beyond the box falls back to left, unless allowed.
        {narrow, 50, 20, 2 | 16, false, Rect(0, 40, 50, 20)},
        {narrow, 50, 20, 2 | 16, true, Rect(-10, 40, 50, 20)},
        {narrow, 51, 20, 32, false, Rect(0, 0, 51, 20)},
        {narrow, 51, 20, 32, true, Rect(-5, 0, 51, 20)}, // -11 / 2 truncates to -5
        {narrow, 10, 120, 8, false, Rect(0, 0, 10, 120)},
        {narrow, 10, 120, 8, true, Rect(0, -20, 10, 120)},
        {narrow, 10, 120, 16, false, Rect(0, 0, 10, 120)},
        {narrow, 10, 120, 16, true, Rect(0, -10, 10, 120)},
        {narrow, 10, 120, 32 | 16, false, Rect(15, 0, 10, 120)}, // only the vertical flags fall back
        {narrow, 60, 120, 2 | 8, false, Rect(0, 0, 60, 120)},
        {narrow, 60, 120, 0, false, Rect(0, 0, 60, 120)}, // flags 0: no overflow handling
        {narrow, 40, 100, 2 | 8, false, Rect(0, 0, 40, 100)}, // an exact fit is no overflow
    };
    for (const Row& row : rows) {
        EXPECT_EQ(row.box.alignedRect(row.width, row.height, row.flags, row.allowOverflow), row.expected)
            << "box " << ::testing::PrintToString(row.box) << " size " << row.width << "x" << row.height
            << " flags " << row.flags << (row.allowOverflow ? " overflow" : "");
    }
}

TEST(RectIntersected, OverlapTouchAndDisjoint)
{
    struct Row {
        Rect a, b, expected;
    };
    const Row rows[] = {
        {{0, 0, 10, 10}, {10, 0, 5, 5}, {10, 0, 0, 5}},
        {{0, 0, 10, 10}, {11, 0, 5, 5}, Rect::empty},
        {{0, 0, 10, 10}, {-5, 3, 8, 100}, {0, 3, 3, 7}},
        {{0, 0, 10, 10}, {INT_MAX - 1, 0, INT_MAX, 5}, Rect::empty},
    };
    forEachRow(rows, [](const Row& row) {
        EXPECT_EQ(row.a.intersected(row.b), row.expected);
        EXPECT_EQ(row.b.intersected(row.a), row.expected);
    });
    EXPECT_EQ(toNearestInt(2.5f), 3);
    EXPECT_EQ(toNearestInt(-2.5f), -3);
    EXPECT_EQ(toNearestInt(-2.4), -2);
}

TEST(RectUnited, BothBoxesAndEmptyOnesAddNothing)
{
    struct Row {
        Rect a, b, expected;
    };
    const Row rows[] = {
        {{0, 0, 10, 10}, {20, 5, 5, 10}, {0, 0, 25, 15}},
        {{-5, 3, 8, 2}, {0, 0, 10, 10}, {-5, 0, 15, 10}},
        {{0, 0, 10, 10}, {50, 50, 0, 9}, {0, 0, 10, 10}},
        {{0, 0, 10, 10}, {INT_MAX - 1, 0, INT_MAX, 5}, {0, 0, INT_MAX, 10}},
        {Rect::empty, Rect::empty, Rect::empty},
    };
    forEachRow(rows, [](const Row& row) {
        EXPECT_EQ(row.a.united(row.b), row.expected);
        EXPECT_EQ(row.b.united(row.a), row.expected);
    });
}

TEST(SizeScaling, ScaledToFit)
{
    struct Row {
        Size size, bounds, fit;
    };
    const Row rows[] = {
        {{400, 200}, {100, 100}, {100, 50}},
        {{200, 400}, {100, 100}, {50, 100}},
        {{3, 2}, {100, 100}, {100, 67}},
        {{0, 2}, {100, 100}, {}},
        {{3, 2}, {0, 100}, {}},
    };
    forEachRow(rows, [](const Row& row) { EXPECT_EQ(row.size.scaledToFit(row.bounds), row.fit); });
    EXPECT_EQ((Size{3, 2}).scaledToWidth(7), (Size{7, 5}));
    EXPECT_EQ((Size{3, 2}).scaledToHeight(-1), Size());
}
