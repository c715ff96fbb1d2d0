// The layout operations of UIWidget: the layout record's setters, the
// preferred size, the relayout rules and the placement of children into
// the cells that UIGridLayout computes.

#include "ui/UIWidget.h"

#include "ui/UIWidgetPrivate.h"

#include <algorithm>

namespace {

// Ids of the theme's layout metrics.
enum LayoutMetric {
    LayoutLeftMargin = 1,
    LayoutTopMargin = 2,
    LayoutRightMargin = 3,
    LayoutBottomMargin = 4,
    LayoutHorizontalSpacing = 5,
    LayoutVerticalSpacing = 6,
};

// The loaded theme's metric; no theme can be loaded into the UI manager
// yet, so every metric reads 0 until one can.
int layoutMetric(LayoutMetric)
{
    return 0;
}

} // namespace

// ---- The record ----

const UIGridLayout& UIWidget::gridLayout() const
{
    return m_private->layout;
}

UIGridLayout& UIWidget::gridLayout()
{
    return m_private->layout;
}

void UIWidget::setLayoutVertical(bool vertical)
{
    m_private->layout.vertical = vertical ? 1 : 0;
}

bool UIWidget::isLayoutVertical() const
{
    return m_private->layout.vertical != 0;
}

void UIWidget::setLayoutSpacing(int spacing)
{
    setLayoutSpacing(spacing, spacing);
}

void UIWidget::setLayoutSpacing(int horizontal, int vertical)
{
    m_private->layout.horizontalSpacing = horizontal;
    m_private->layout.verticalSpacing = vertical;
}

void UIWidget::setHorizontalSpacing(int spacing)
{
    m_private->layout.horizontalSpacing = spacing;
}

void UIWidget::setVerticalSpacing(int spacing)
{
    m_private->layout.verticalSpacing = spacing;
}

int UIWidget::horizontalSpacing() const
{
    return m_private->layout.horizontalSpacing;
}

int UIWidget::verticalSpacing() const
{
    return m_private->layout.verticalSpacing;
}

void UIWidget::applyLayoutSpacingMetrics()
{
    setLayoutSpacing(layoutMetric(LayoutHorizontalSpacing), layoutMetric(LayoutVerticalSpacing));
}

void UIWidget::setLayoutMargins(int left, int top, int right, int bottom)
{
    m_private->layout.margins = {left, top, right, bottom};
}

void UIWidget::setLayoutMargins(const LayoutMargins& margins)
{
    m_private->layout.margins = margins;
}

void UIWidget::setLayoutMargin(int margin)
{
    setLayoutMargins(margin, margin, margin, margin);
}

void UIWidget::setLayoutLeftMargin(int margin)
{
    m_private->layout.margins.left = margin;
}

void UIWidget::setLayoutTopMargin(int margin)
{
    m_private->layout.margins.top = margin;
}

void UIWidget::setLayoutRightMargin(int margin)
{
    m_private->layout.margins.right = margin;
}

void UIWidget::setLayoutBottomMargin(int margin)
{
    m_private->layout.margins.bottom = margin;
}

LayoutMargins UIWidget::layoutMargins() const
{
    return m_private->layout.margins;
}

void UIWidget::applyLayoutMarginMetrics()
{
    setLayoutMargins(layoutMetric(LayoutLeftMargin), layoutMetric(LayoutTopMargin), layoutMetric(LayoutRightMargin),
                     layoutMetric(LayoutBottomMargin));
}

void UIWidget::setLayoutColumns(int cellsPerRow)
{
    m_private->layout.cellsPerRow = cellsPerRow;
}

int UIWidget::layoutColumns() const
{
    return m_private->layout.cellsPerRow;
}

void UIWidget::setLayoutRows(int cellsPerColumn)
{
    m_private->layout.cellsPerColumn = cellsPerColumn;
}

int UIWidget::layoutRows() const
{
    return m_private->layout.cellsPerColumn;
}

void UIWidget::setColumnStretch(int column, float factor)
{
    if (column >= 0 && column < gridStretchCount)
        m_private->layout.columnStretch[column] = factor;
}

float UIWidget::columnStretch(int column) const
{
    return m_private->layout.columnStretchAt(column);
}

void UIWidget::setRowStretch(int row, float factor)
{
    if (row >= 0 && row < gridStretchCount)
        m_private->layout.rowStretch[row] = factor;
}

float UIWidget::rowStretch(int row) const
{
    return m_private->layout.rowStretchAt(row);
}

void UIWidget::setColumnSpan(int span)
{
    m_private->layout.columnSpan = std::max(1, span);
}

int UIWidget::columnSpan() const
{
    return m_private->layout.columnSpan;
}

void UIWidget::setRowSpan(int span)
{
    m_private->layout.rowSpan = std::max(1, span);
}

int UIWidget::rowSpan() const
{
    return m_private->layout.rowSpan;
}

void UIWidget::setLayoutAlignment(int flags)
{
    m_private->layout.alignment = flags;
}

int UIWidget::layoutAlignment() const
{
    return m_private->layout.alignment;
}

void UIWidget::setSizePolicy(SizePolicy horizontal, SizePolicy vertical)
{
    m_private->layout.horizontalPolicy = horizontal;
    m_private->layout.verticalPolicy = vertical;
}

SizePolicies UIWidget::sizePolicy() const
{
    return {m_private->layout.horizontalPolicy, m_private->layout.verticalPolicy};
}

void UIWidget::setLayoutEnabled(bool on)
{
    m_private->layout.enabled = on;
    for (UIWidget* child : m_children)
        child->setLayoutEnabled(on);
}

bool UIWidget::isLayoutEnabled() const
{
    return m_private->layout.enabled;
}

void UIWidget::setUpdatesEnabled(bool on)
{
    setFlagBit(WidgetUpdatesEnabled, on);
    if (!on)
        return;
    if (testFlag(WidgetRelayoutPending)) {
        setFlagBit(WidgetRelayoutPending, false);
        if (!updateLayout() && !testFlag(WidgetRepaintPending))
            repaint();
    }
    if (testFlag(WidgetRepaintPending)) {
        setFlagBit(WidgetRepaintPending, false);
        repaint();
    }
}

bool UIWidget::updatesEnabled() const
{
    return testFlag(WidgetUpdatesEnabled);
}

// ---- Sizes ----

Size UIWidget::layoutSize()
{
    UIGridLayout& layout = m_private->layout;
    if (!layout.enabled || !layout.buildCells())
        return {};
    return {layout.contentWidth(), layout.contentHeight()};
}

Size UIWidget::preferredSize()
{
    m_private->cachedSizeHint = sizeHint();
    m_private->cachedLayoutSize = layoutSize();
    Size s{std::max(m_private->cachedSizeHint.width, m_private->cachedLayoutSize.width),
           std::max(m_private->cachedSizeHint.height, m_private->cachedLayoutSize.height)};
    if (m_minimumWidth > 0)
        s.width = std::max(s.width, m_minimumWidth);
    if (m_minimumHeight > 0)
        s.height = std::max(s.height, m_minimumHeight);
    if (m_maximumWidth > 0)
        s.width = std::min(s.width, m_maximumWidth);
    if (m_maximumHeight > 0)
        s.height = std::min(s.height, m_maximumHeight);
    m_preferredSize = s;
    return s;
}

// ---- Relayout ----

bool UIWidget::updateLayout()
{
    if (!testFlag(WidgetCreated))
        return false;
    if (!testFlag(WidgetUpdatesEnabled)) {
        setFlagBit(WidgetRelayoutPending, true);
        return false;
    }
    if (isWindow())
        return relayoutWindow();
    // The first ancestor that still has room for what it prefers is relaid
    // out; when none has, the window grows.
    UIWidget* stop = parent();
    while (stop && !stop->isWindow()) {
        const Size preferred = stop->preferredSize();
        if (stop->width() >= preferred.width && stop->height() >= preferred.height)
            break;
        stop = stop->parent();
    }
    if (!stop)
        return false;
    if (stop->isWindow()) {
        stop->m_private->layoutWindowSize = Size();
        return stop->updateLayout();
    }
    if (!stop->m_private->layout.buildCells())
        return false;
    const bool changed = stop->placeChildren(stop->rect(), stop);
    if (changed)
        stop->repaint();
    return changed;
}

bool UIWidget::relayoutWindow()
{
    const Size preferred = preferredSize();
    const Size target{std::max(m_width, preferred.width), std::max(m_height, preferred.height)};
    if (m_width < target.width || m_height < target.height) {
        const bool updates = testFlag(WidgetUpdatesEnabled);
        setFlagBit(WidgetUpdatesEnabled, false);
        int left, top, right, bottom;
        frameMarginsOf(&left, &top, &right, &bottom);
        resize(target.width + left + right, target.height + top + bottom);
        setFlagBit(WidgetUpdatesEnabled, updates);
        // The grown window still places its children.
        m_private->layoutWindowSize = size();
        m_private->layoutPreferredSize = preferred;
    } else {
        if (size() == m_private->layoutWindowSize && preferred == m_private->layoutPreferredSize)
            return false;
        m_private->layoutWindowSize = size();
        m_private->layoutPreferredSize = preferred;
    }
    const bool changed = placeChildren(rect(), this);
    if (changed)
        repaint();
    return changed;
}

bool UIWidget::placeInCell(const Rect& cell)
{
    const UIGridLayout& layout = m_private->layout;
    const int w = layout.horizontalPolicy == SizeFixed ? m_preferredSize.width : cell.width;
    const int h = layout.verticalPolicy == SizeFixed ? m_preferredSize.height : cell.height;
    const Rect placed = cell.alignedRect(w, h, layout.alignment);
    if (placed == Rect(m_x, m_y, m_width, m_height))
        return false;
    const bool updates = testFlag(WidgetUpdatesEnabled);
    setFlagBit(WidgetUpdatesEnabled, false);
    setGeometry(placed);
    setFlagBit(WidgetUpdatesEnabled, updates);
    return true;
}

bool UIWidget::placeChildren(const Rect& cell, const UIWidget* root)
{
    bool changed = this != root && placeInCell(cell);
    UIGridLayout& layout = m_private->layout;
    if (!layout.hasCells())
        return changed;
    const LayoutMargins& m = layout.margins;
    layout.distribute(cell.width - m.left - m.right, cell.height - m.top - m.bottom);
    const std::vector<int> columns = layout.columnWidths();
    const std::vector<int> rows = layout.rowHeights();
    const bool down = layout.vertical != 0;
    int x = m.left;
    int y = m.top;
    int k = 0;
    for (UIWidget* child : m_children) {
        if (!UIGridLayout::takesPart(child) || k >= layout.cellCount())
            continue;
        const UIGridCell& c = layout.cell(k);
        if (k > 0 && !down && c.row != layout.cell(k - 1).row) {
            x = m.left;
            y += rows[static_cast<std::size_t>(layout.cell(k - 1).row)] + layout.verticalSpacing;
        }
        if (k > 0 && down && c.column != layout.cell(k - 1).column) {
            y = m.top;
            x += columns[static_cast<std::size_t>(layout.cell(k - 1).column)] + layout.horizontalSpacing;
        }
        if (down) {
            changed = child->placeChildren({x, y, columns[static_cast<std::size_t>(c.column)], c.height}, root) || changed;
            y += c.height + layout.verticalSpacing;
        } else {
            changed = child->placeChildren({x, y, c.width, rows[static_cast<std::size_t>(c.row)]}, root) || changed;
            x += c.width + layout.horizontalSpacing;
        }
        ++k;
    }
    return changed;
}
