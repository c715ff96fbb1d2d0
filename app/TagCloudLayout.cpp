#include "app/TagCloudLayout.h"

#include <algorithm>

namespace {

int gapBetween(Size a, Size b, const TagCloudSpacing& spacing)
{
    return (a.height + b.height) * spacing.wordSpacing / 200;
}

} // namespace

void TagCloudLayout::clear()
{
    m_rects.clear();
    m_rows.clear();
    m_contentHeight = 0;
}

void TagCloudLayout::flow(const std::vector<Size>& sizes, Size area, const TagCloudSpacing& spacing)
{
    clear();
    m_rects.resize(sizes.size());
    const int room = std::max(1, area.width - 2 * spacing.padding);
    const int count = static_cast<int>(sizes.size());
    int top = spacing.padding;
    for (int first = 0; first < count;) {
        first = placeRow(sizes, first, top, room, spacing);
        const Row& row = m_rows.back();
        top = row.top + row.height + row.height * spacing.lineSpacing / 100;
    }
    if (m_rows.empty())
        return;
    m_contentHeight = m_rows.back().top + m_rows.back().height + spacing.padding;
    centreVertically(area.height);
}

void TagCloudLayout::centreVertically(int height)
{
    const int shift = (height - m_contentHeight) / 2;
    if (shift <= 0)
        return;
    for (Row& row : m_rows)
        row.top += shift;
    for (Rect& r : m_rects)
        r.y += shift;
    m_contentHeight = height;
}

// Takes boxes from first on while they fit the room (at least one), places
// them centred, and answers the index after the row's last box.
int TagCloudLayout::placeRow(const std::vector<Size>& sizes, int first, int top, int room,
                             const TagCloudSpacing& spacing)
{
    const auto at = [&sizes](int i) { return sizes[static_cast<std::size_t>(i)]; };
    const int count = static_cast<int>(sizes.size());
    int end = first + 1;
    int rowWidth = at(first).width;
    int height = at(first).height;
    for (; end < count; ++end) {
        const int grown = rowWidth + gapBetween(at(end - 1), at(end), spacing) + at(end).width;
        if (grown > room)
            break;
        rowWidth = grown;
        height = std::max(height, at(end).height);
    }
    int x = spacing.padding + std::max(0, (room - rowWidth) / 2);
    for (int i = first; i < end; ++i) {
        if (i > first)
            x += gapBetween(at(i - 1), at(i), spacing);
        m_rects[static_cast<std::size_t>(i)] = Rect(x, top + (height - at(i).height) / 2, at(i).width, at(i).height);
        x += at(i).width;
    }
    m_rows.push_back({top, height, first, end});
    return end;
}

std::size_t TagCloudLayout::firstRowEndingBelow(int y) const
{
    const auto row = std::partition_point(m_rows.begin(), m_rows.end(),
                                          [y](const Row& r) { return r.top + r.height <= y; });
    return static_cast<std::size_t>(row - m_rows.begin());
}

int TagCloudLayout::indexAt(Point p) const
{
    const std::size_t found = firstRowEndingBelow(p.y);
    if (found == m_rows.size() || m_rows[found].top > p.y)
        return -1;
    const Row& row = m_rows[found];
    for (int i = row.first; i < row.end; ++i) {
        if (rectOf(i).contains(p))
            return i;
    }
    return -1;
}

std::pair<int, int> TagCloudLayout::indexesBetween(int top, int bottom) const
{
    const std::size_t first = firstRowEndingBelow(top);
    const auto pastLast =
        std::partition_point(m_rows.begin(), m_rows.end(), [bottom](const Row& r) { return r.top < bottom; });
    const auto last = static_cast<std::size_t>(pastLast - m_rows.begin());
    if (first >= last)
        return {0, 0};
    return {m_rows[first].first, m_rows[last - 1].end};
}
