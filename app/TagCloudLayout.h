#pragma once

// TagCloudLayout: where the tag cloud puts its words. Boxes of measured
// sizes flow left to right in rows that wrap at the width less the padding;
// each row is centred across the width and its boxes are centred on the
// row; a cloud lower than the area is centred in it. The gaps grow with
// the boxes' heights, so large words stand further apart. All coordinates
// are content coordinates, before any scrolling.

#include "foundation/Geometry.h"

#include <utility>
#include <vector>

struct TagCloudSpacing {
    // Around the content, in pixels.
    int padding = 12;
    // Between two boxes of a row: this percentage of their mean height.
    int wordSpacing = 40;
    // Between two rows: this percentage of the upper row's height.
    int lineSpacing = 10;
};

class TagCloudLayout {
public:
    // Places the boxes in order in an area of the size; the previous
    // placement is dropped. A box wider than the room gets a row of its own
    // and overflows it.
    void flow(const std::vector<Size>& sizes, Size area, const TagCloudSpacing& spacing);
    void clear();

    int count() const { return static_cast<int>(m_rects.size()); }
    // Every box at the same place and of the same size as in the other.
    bool samePlaces(const TagCloudLayout& other) const { return m_rects == other.m_rects; }
    // i must be below count.
    const Rect& rectOf(int i) const { return m_rects[static_cast<std::size_t>(i)]; }
    // The bottom padding included, and the area's height when the cloud is
    // centred in it; 0 when nothing is placed.
    int contentHeight() const { return m_contentHeight; }

    // The box that holds the point, or -1.
    int indexAt(Point p) const;
    // The indexes [first, end) of the boxes on the rows that meet the band
    // of y from top to bottom (exclusive).
    std::pair<int, int> indexesBetween(int top, int bottom) const;

private:
    struct Row {
        int top;
        int height;
        int first;
        int end;
    };

    int placeRow(const std::vector<Size>& sizes, int first, int top, int room, const TagCloudSpacing& spacing);
    void centreVertically(int height);
    // The first row whose bottom lies below y (rows.size() when none).
    std::size_t firstRowEndingBelow(int y) const;

    std::vector<Rect> m_rects;
    std::vector<Row> m_rows;
    int m_contentHeight = 0;
};
