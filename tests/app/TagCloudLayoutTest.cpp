#include "app/TagCloudLayout.h"

#include "tests/support/GeometryPrinting.h"
#include "tests/support/RowTable.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

// With the default spacing: padding 12, a gap of 40 percent of the two
// boxes' mean height, rows 10 percent of the upper row's height apart.
struct FlowRow {
    std::vector<Size> sizes;
    Size area;
    std::vector<Rect> rects;
    int contentHeight;
};

TEST(TagCloudLayout, RowsWrapAtTheRoomAndCentreAcrossAndDown)
{
    const FlowRow rows[] = {
        // 50 + gap 4 + 46 fills the room of 124 - 2 x 12 exactly: one row,
        // centred down the 100-pixel area ((100 - 34) / 2 = 33 lower).
        {{{50, 10}, {46, 10}}, {124, 100}, {{12, 45, 50, 10}, {66, 45, 46, 10}}, 100},
        // One pixel more wraps; each row is centred across on its own.
        {{{50, 10}, {47, 10}}, {124, 100}, {{37, 39, 50, 10}, {38, 50, 47, 10}}, 100},
        // A shorter box is centred on its row; a cloud taller than the area
        // stays at the top.
        {{{30, 20}, {30, 10}}, {200, 20}, {{67, 12, 30, 20}, {103, 17, 30, 10}}, 44},
        // A box wider than the room has a row of its own and overflows it.
        {{{300, 10}, {20, 10}}, {124, 40}, {{12, 12, 300, 10}, {52, 23, 20, 10}}, 45},
        {{}, {124, 100}, {}, 0},
    };
    forEachRow(rows, [](const FlowRow& row) {
        TagCloudLayout layout;
        layout.flow(row.sizes, row.area, TagCloudSpacing());
        std::vector<Rect> rects;
        for (int i = 0; i < layout.count(); ++i)
            rects.push_back(layout.rectOf(i));
        EXPECT_EQ(rects, row.rects);
        EXPECT_EQ(layout.contentHeight(), row.contentHeight);
    });
}

// Two rows: (29, 12, 30, 20) and (65, 17, 30, 10) on the first, one box
// of (42, 34, 40, 10) on the second.
TEST(TagCloudLayout, HitTestsFindOnlyTheBoxUnderThePoint)
{
    TagCloudLayout layout;
    layout.flow({{30, 20}, {30, 10}, {40, 10}}, {124, 20}, TagCloudSpacing());
    ASSERT_EQ(layout.rectOf(2), Rect(42, 34, 40, 10));
    struct Row {
        Point point;
        int index;
    };
    const Row rows[] = {
        {{29, 12}, 0},  {{58, 31}, 0},  {{59, 20}, -1}, {{28, 20}, -1}, {{65, 17}, 1},  {{65, 16}, -1},
        {{94, 26}, 1},  {{95, 26}, -1}, {{42, 32}, -1}, {{42, 34}, 2},  {{81, 43}, 2},  {{81, 44}, -1},
        {{0, 0}, -1},   {{-5, 40}, -1},
    };
    forEachRow(rows, [&](const Row& row) { EXPECT_EQ(layout.indexAt(row.point), row.index); });
    struct Band {
        int top, bottom;
        std::pair<int, int> indexes;
    };
    const Band bands[] = {{0, 12, {0, 0}}, {0, 13, {0, 2}}, {31, 35, {0, 3}}, {32, 34, {0, 0}}, {43, 100, {2, 3}},
                          {44, 100, {0, 0}}};
    forEachRow(bands, [&](const Band& band) { EXPECT_EQ(layout.indexesBetween(band.top, band.bottom), band.indexes); });
}

} // namespace
