// The grid arithmetic. Column widths and row heights are derived from the
// cell table; every pass gathers them into one array per axis in a single
// scan and writes the columns and rows it set back to their single-span
// cells, so a pass stays linear in the number of cells.

#include "ui/UIGridLayout.h"

#include "ui/UIWidget.h"

#include <algorithm>

namespace {

using CellField = std::int32_t UIGridCell::*;

// One axis of the grid: the columns (or rows) with their derived values.
struct GridAxis {
    CellField index;
    CellField span;
    CellField size;
    const float* stretch;
    std::vector<int> sizes;
    std::vector<char> taken;
    std::vector<char> expanding;
    std::vector<char> resizable;
    std::vector<char> touched;

    int count() const { return static_cast<int>(sizes.size()); }
    int at(int i) const { return i < count() ? sizes[static_cast<std::size_t>(i)] : 0; }
    bool isResizable(int i) const { return i < count() && resizable[static_cast<std::size_t>(i)]; }
    float factor(int i) const { return i < gridStretchCount ? stretch[i] : 0.0f; }

    // Sets every single-span cell of column i; a column without one keeps 0.
    void set(int i, int value)
    {
        if (i >= count() || !taken[static_cast<std::size_t>(i)])
            return;
        sizes[static_cast<std::size_t>(i)] = value;
        touched[static_cast<std::size_t>(i)] = 1;
    }

    int total() const
    {
        int sum = 0;
        for (int v : sizes)
            sum += v;
        return sum;
    }
};

GridAxis gatherAxis(const std::vector<UIGridCell>& cells, CellField index, CellField span, CellField size,
                    const float* stretch)
{
    GridAxis axis{index, span, size, stretch, {}, {}, {}, {}, {}};
    int count = 1;
    for (const UIGridCell& cell : cells)
        count = std::max(count, cell.*index + 1);
    const auto n = static_cast<std::size_t>(count);
    axis.sizes.assign(n, 0);
    axis.taken.assign(n, 0);
    axis.expanding.assign(n, 0);
    axis.resizable.assign(n, 0);
    axis.touched.assign(n, 0);
    for (const UIGridCell& cell : cells) {
        if (cell.*span != 1)
            continue;
        const auto i = static_cast<std::size_t>(cell.*index);
        axis.sizes[i] = std::max(axis.sizes[i], cell.*size);
        axis.taken[i] = 1;
        axis.expanding[i] |= cell.expanding ? 1 : 0;
        axis.resizable[i] |= cell.resizable ? 1 : 0;
    }
    return axis;
}

void storeAxis(const GridAxis& axis, std::vector<UIGridCell>& cells)
{
    for (UIGridCell& cell : cells) {
        const auto i = static_cast<std::size_t>(cell.*axis.index);
        if (cell.*axis.span == 1 && axis.touched[i])
            cell.*axis.size = axis.sizes[i];
    }
}

void fitSpans(GridAxis& axis, std::vector<UIGridCell>& cells, int spacing)
{
    for (UIGridCell& cell : cells) {
        const int first = cell.*axis.index;
        const int span = cell.*axis.span;
        if (span < 2)
            continue;
        int covered = (span - 1) * spacing;
        for (int i = first; i < first + span; ++i)
            covered += axis.at(i);
        if (cell.*axis.size <= covered) {
            cell.*axis.size = covered;
            continue;
        }
        // The extra room goes to the last resizable column before the
        // span's last one, else to the last one.
        int target = first + span - 1;
        for (int i = first + span - 2; i >= first; --i) {
            if (axis.isResizable(i)) {
                target = i;
                break;
            }
        }
        axis.set(target, axis.at(target) + cell.*axis.size - covered);
    }
}

void shareToExpanding(GridAxis& axis, int extra)
{
    int expandingCount = 0;
    int last = 0;
    for (int i = 0; i < axis.count(); ++i) {
        if (axis.expanding[static_cast<std::size_t>(i)]) {
            ++expandingCount;
            last = i;
        }
    }
    for (int i = 0; i < axis.count(); ++i) {
        if (!axis.expanding[static_cast<std::size_t>(i)])
            continue;
        const int add = extra / expandingCount + (i == last ? extra % expandingCount : 0);
        axis.set(i, axis.at(i) + add);
    }
}

int roundHalfAway(float v)
{
    return v >= 0 ? static_cast<int>(v + 0.5) : static_cast<int>(v - 0.5);
}

// Percentages per column: the factors as they are when they sum to exactly
// 100, else the unset ones share what the set ones leave, else none.
std::vector<float> stretchPercentages(const GridAxis& axis)
{
    float sum = 0.0f;
    int zeros = 0;
    for (int i = 0; i < axis.count(); ++i) {
        sum += axis.factor(i);
        zeros += axis.factor(i) == 0.0f ? 1 : 0;
    }
    std::vector<float> percentages(static_cast<std::size_t>(axis.count()), 0.0f);
    for (int i = 0; i < axis.count(); ++i) {
        float& p = percentages[static_cast<std::size_t>(i)];
        if (sum == 100.0f)
            p = axis.factor(i);
        else if (zeros > 0)
            p = axis.factor(i) != 0.0f ? axis.factor(i) : (100.0f - sum) / static_cast<float>(zeros);
    }
    return percentages;
}

int largestFactor(const GridAxis& axis)
{
    int best = 0;
    for (int i = 1; i < axis.count(); ++i) {
        if (axis.factor(i) > axis.factor(best))
            best = i;
    }
    return best;
}

void shareByStretch(GridAxis& axis, int room, int extra, bool dropNegativeLeftover)
{
    const std::vector<float> percentages = stretchPercentages(axis);
    const double scale = extra / 100.0;
    int total = 0;
    for (int i = 0; i < axis.count(); ++i) {
        const float v = static_cast<float>(percentages[static_cast<std::size_t>(i)] * scale);
        const int widened = axis.at(i) + roundHalfAway(v);
        axis.set(i, widened);
        total += widened;
    }
    const int leftover = room - total;
    if (leftover == 0 || (dropNegativeLeftover && leftover < 0))
        return;
    const int target = largestFactor(axis);
    axis.set(target, axis.at(target) + leftover);
}

void shareEvenly(GridAxis& axis, int extra)
{
    const int n = axis.count();
    for (int i = 0; i < n; ++i)
        axis.set(i, axis.at(i) + extra / n);
    if (extra % n == 0)
        return;
    int target = n - 1;
    while (target > 0 && !axis.isResizable(target))
        --target;
    if (!axis.isResizable(target))
        target = n - 1;
    axis.set(target, axis.at(target) + extra % n);
}

bool hasFactor(const GridAxis& axis)
{
    for (int i = 0; i < axis.count(); ++i) {
        if (axis.factor(i) != 0.0f)
            return true;
    }
    return false;
}

void distributeAxis(GridAxis& axis, int room, int spacing, bool dropNegativeLeftover)
{
    if (spacing > 0)
        room -= (axis.count() - 1) * spacing;
    const int extra = room - axis.total();
    if (extra < 1) {
        // Every single-span cell still takes its column's size.
        for (int i = 0; i < axis.count(); ++i)
            axis.set(i, axis.at(i));
        return;
    }
    if (std::find(axis.expanding.begin(), axis.expanding.end(), 1) != axis.expanding.end())
        shareToExpanding(axis, extra);
    else if (hasFactor(axis))
        shareByStretch(axis, room, extra, dropNegativeLeftover);
    else
        shareEvenly(axis, extra);
}

int takingPartCount(const UIWidget* owner)
{
    int n = 0;
    for (const UIWidget* child : owner->children())
        n += UIGridLayout::takesPart(child) ? 1 : 0;
    return n;
}

} // namespace

bool UIGridLayout::takesPart(const UIWidget* child)
{
    return !child->isWindow() && child->testFlag(WidgetVisible);
}

bool UIGridLayout::buildCells()
{
    const int n = enabled ? takingPartCount(owner) : 0;
    if (n == 0) {
        // Stale cells of children that left must not be placed.
        m_cells.clear();
        return false;
    }
    m_cells.assign(static_cast<std::size_t>(n), UIGridCell{});
    const bool down = vertical != 0;
    const int perLine = down ? cellsPerColumn : cellsPerRow;
    const int per = perLine > 0 ? perLine : n;
    int along = 0;
    int line = 0;
    std::size_t k = 0;
    for (UIWidget* child : owner->children()) {
        if (!takesPart(child))
            continue;
        UIGridCell& cell = m_cells[k++];
        const UIGridLayout& own = child->gridLayout();
        const int policy = down ? own.verticalPolicy : own.horizontalPolicy;
        // A span below 1 would never advance the flow.
        const int columns = std::max(1, own.columnSpan);
        const int rows = std::max(1, own.rowSpan);
        const int spanAlong = down ? rows : columns;
        cell.expanding = policy == SizeExpanding;
        cell.resizable = policy != SizeFixed;
        cell.column = down ? line : along;
        cell.row = down ? along : line;
        cell.columnSpan = columns;
        cell.rowSpan = rows;
        (down ? cell.rowSpan : cell.columnSpan) = along + spanAlong > per ? per - along : spanAlong;
        const Size preferred = child->preferredSize();
        cell.width = preferred.width;
        cell.height = preferred.height;
        along += spanAlong;
        if (along >= per) {
            ++line;
            along = 0;
        }
    }
    distributeSpans(horizontalSpacing, verticalSpacing);
    return true;
}

void UIGridLayout::distributeSpans(int hs, int vs)
{
    GridAxis cols = gatherAxis(m_cells, &UIGridCell::column, &UIGridCell::columnSpan, &UIGridCell::width, columnStretch);
    fitSpans(cols, m_cells, hs);
    storeAxis(cols, m_cells);
    GridAxis rows = gatherAxis(m_cells, &UIGridCell::row, &UIGridCell::rowSpan, &UIGridCell::height, rowStretch);
    fitSpans(rows, m_cells, vs);
    storeAxis(rows, m_cells);
}

void UIGridLayout::distribute(int width, int height)
{
    GridAxis cols = gatherAxis(m_cells, &UIGridCell::column, &UIGridCell::columnSpan, &UIGridCell::width, columnStretch);
    distributeAxis(cols, width, horizontalSpacing, false);
    storeAxis(cols, m_cells);
    // Rows drop a negative leftover: a rounding overshoot stays.
    GridAxis rows = gatherAxis(m_cells, &UIGridCell::row, &UIGridCell::rowSpan, &UIGridCell::height, rowStretch);
    distributeAxis(rows, height, verticalSpacing, true);
    storeAxis(rows, m_cells);
    distributeSpans(horizontalSpacing, verticalSpacing);
}

std::vector<int> UIGridLayout::columnWidths() const
{
    return gatherAxis(m_cells, &UIGridCell::column, &UIGridCell::columnSpan, &UIGridCell::width, columnStretch).sizes;
}

std::vector<int> UIGridLayout::rowHeights() const
{
    return gatherAxis(m_cells, &UIGridCell::row, &UIGridCell::rowSpan, &UIGridCell::height, rowStretch).sizes;
}

int UIGridLayout::columnCount() const
{
    return static_cast<int>(columnWidths().size());
}

int UIGridLayout::rowCount() const
{
    return static_cast<int>(rowHeights().size());
}

int UIGridLayout::columnWidth(int c) const
{
    const std::vector<int> widths = columnWidths();
    return c >= 0 && c < static_cast<int>(widths.size()) ? widths[static_cast<std::size_t>(c)] : 0;
}

int UIGridLayout::rowHeight(int r) const
{
    const std::vector<int> heights = rowHeights();
    return r >= 0 && r < static_cast<int>(heights.size()) ? heights[static_cast<std::size_t>(r)] : 0;
}

int UIGridLayout::contentWidth() const
{
    if (m_cells.empty())
        return 0;
    const std::vector<int> widths = columnWidths();
    int sum = margins.left + margins.right + (static_cast<int>(widths.size()) - 1) * horizontalSpacing;
    for (int w : widths)
        sum += w;
    return sum;
}

int UIGridLayout::contentHeight() const
{
    if (m_cells.empty())
        return 0;
    const std::vector<int> heights = rowHeights();
    int sum = margins.top + margins.bottom + (static_cast<int>(heights.size()) - 1) * verticalSpacing;
    for (int h : heights)
        sum += h;
    return sum;
}

float UIGridLayout::columnStretchAt(int c) const
{
    return c >= 0 && c < gridStretchCount ? columnStretch[c] : 0.0f;
}

float UIGridLayout::rowStretchAt(int r) const
{
    return r >= 0 && r < gridStretchCount ? rowStretch[r] : 0.0f;
}
