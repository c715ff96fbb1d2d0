#pragma once

// Every widget's layout record: how it arranges its visible children in a
// grid (flow, spacing, margins, cells per row or column, stretch factors)
// and how it sits in its parent's grid (spans, alignment, size policies).
// The engine sizes the columns and rows from the children's preferred sizes
// and shares out the room that is left: to expanding children first, else by
// stretch factors in percent, else evenly.

#include <cstdint>
#include <vector>

class UIWidget;

// Size policies of a widget in its parent's layout.
enum SizePolicy : int {
    SizeFixed = 1,
    SizeResizable = 2,
    SizeExpanding = 3,
};

struct SizePolicies {
    SizePolicy horizontal = SizeFixed;
    SizePolicy vertical = SizeFixed;
    bool operator==(const SizePolicies&) const = default;
};

struct LayoutMargins {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
    bool operator==(const LayoutMargins&) const = default;
};

// One taking-part child. The flags come from the child's policy along the
// flow and serve both axes.
struct UIGridCell {
    std::int32_t width = 0;
    std::int32_t height = 0;
    std::int32_t row = 0;
    std::int32_t column = 0;
    std::int32_t columnSpan = 1;
    std::int32_t rowSpan = 1;
    bool expanding = false;
    bool resizable = false;
};

// Stretch factors exist for the first rows and columns only; later ones
// count as 0.
constexpr int gridStretchCount = 10;

class UIGridLayout {
public:
    explicit UIGridLayout(UIWidget* owner) : owner(owner) {}

    // Visible children that are not windows take a cell.
    static bool takesPart(const UIWidget* child);

    // Rebuilds the cell table from the owner's visible, non-window
    // children; false when disabled, childless or none takes part.
    bool buildCells();
    // Fits spanning cells to the columns and rows they cover.
    void distributeSpans(int hs, int vs);
    // Sizes the columns and rows to the room inside the margins.
    void distribute(int width, int height);

    int columnCount() const;
    int rowCount() const;
    int columnWidth(int c) const;
    int rowHeight(int r) const;
    const UIGridCell& cell(int i) const { return m_cells[static_cast<std::size_t>(i)]; }
    int cellCount() const { return static_cast<int>(m_cells.size()); }
    bool hasCells() const { return !m_cells.empty(); }
    // Columns and rows side by side with spacing and margins; (0, 0)
    // without cells.
    int contentWidth() const;
    int contentHeight() const;
    // Every column's width and every row's height in one scan.
    std::vector<int> columnWidths() const;
    std::vector<int> rowHeights() const;

    float columnStretchAt(int c) const;
    float rowStretchAt(int r) const;

    UIWidget* owner;
    std::int32_t vertical = 0;
    std::int32_t horizontalSpacing = 0;
    std::int32_t verticalSpacing = 0;
    std::int32_t cellsPerRow = 0;
    std::int32_t cellsPerColumn = 0;
    float rowStretch[gridStretchCount] = {};
    float columnStretch[gridStretchCount] = {};
    std::int32_t rowSpan = 1;
    std::int32_t columnSpan = 1;
    bool enabled = true;
    LayoutMargins margins;
    std::int32_t alignment = 17;
    SizePolicy horizontalPolicy = SizeFixed;
    SizePolicy verticalPolicy = SizeFixed;

private:
    std::vector<UIGridCell> m_cells;
};
