#include "ui/widgets/UITable.h"

#include "graphics/DrawingSurface.h"
#include "graphics/Font.h"
#include "graphics/Graphics.h"
#include "graphics/Pen.h"
#include "ui/UIStyleValues.h"
#include "ui/widgets/SkinParts.h"
#include "ui/widgets/UIHeader.h"

#include <algorithm>

namespace {

void eraseValue(std::vector<UITableRow*>& rows, const UITableRow* row)
{
    rows.erase(std::remove(rows.begin(), rows.end(), row), rows.end());
}

} // namespace

// ---- Style ----

void UITable::setStyleProperty(const String& name, const String& value)
{
    if (name == L"font")
        m_style.font = parseFontValue(value);
    else if (name == L"foreground")
        m_style.foreground = parseColourValue(value);
    else if (name == L"background")
        m_style.background = parseBrushValue(value);
    else if (name == L"disabledForeground")
        m_style.disabledForeground = parseColourValue(value);
    else if (name == L"disabledBackground")
        m_style.disabledBackground = parseBrushValue(value);
    else if (name == L"disabledAlternateRowBackground")
        m_style.disabledAlternateRowBackground = parseBrushValue(value);
    else if (name == L"defaultRowBackground")
        m_style.defaultRowBackground = parseBrushValue(value);
    else if (name == L"defaultRowForeground")
        m_style.defaultRowForeground = parseColourValue(value);
    else if (name == L"selectedRowBackground")
        m_style.selectedRowBackground = parseBrushValue(value);
    else if (name == L"selectedRowForeground")
        m_style.selectedRowForeground = parseColourValue(value);
    else if (name == L"alternateRowBackground")
        m_style.alternateRowBackground = parseBrushValue(value);
    else if (name == L"alternateRowForeground")
        m_style.alternateRowForeground = parseColourValue(value);
    else if (name == L"isDrawRowGrid")
        m_style.drawRowGrid = parseSwitchValue(value);
    else if (name == L"isDrawColumnGrid")
        m_style.drawColumnGrid = parseSwitchValue(value);
    else if (name == L"blankForeground")
        m_style.blankForeground = parseColourValue(value);
    else if (name == L"shadowBlankForeground")
        m_style.shadowBlankForeground = parseColourValue(value);
    else if (name == L"blankFont")
        m_style.blankFont = parseFontValue(value);
    else if (name == L"rowHeight")
        m_style.rowHeight = parseIntValue(value);
}

void UITable::setStyleImage(const String& skinName, UISkin* skin)
{
    static const SkinPart<Style> parts[] = {
        {L"UITable_SelectionRect", &Style::selectionRect},
        {L"UITable_RowGrid", &Style::rowGrid},
        {L"UITable_ColumnGrid", &Style::columnGrid},
    };
    takeSkinPart<Style>(parts, m_style, skinName, *skin);
}

// ---- Where rows are ----

// The rows' sequence forgets the row as it unlinks it.
void UITable::forgetRow(UITableRow* row)
{
    eraseValue(m_onScreen, row);
}

Rect UITable::placedRect(int rank) const
{
    const Placement& p = m_placement;
    return Rect(0, p.top + rank * p.rowHeight, p.width, p.rowHeight);
}

Rect UITable::rowRect(UITableRow* row) const
{
    const int rank = m_placement.valid ? m_rows.placedRank(row) : -1;
    return rank >= 0 ? placedRect(rank) : *row->rect();
}

void UITable::considerHit(UITableRow* row, Point p, int& best) const
{
    if (!row || !row->isVisible() || !rowRect(row).contains(p))
        return;
    const int index = indexOfRow(row);
    if (index >= 0 && (best < 0 || index < best))
        best = index;
}

UITableRow* UITable::rowAt(Point p, int* index) const
{
    int best = -1;
    const Placement& placed = m_placement;
    if (placed.valid && placed.rowHeight > 0) {
        const long long rank = floorDiv(p.y - placed.top, placed.rowHeight);
        if (rank >= 0 && rank < (long long)m_rows.byRank().size())
            considerHit(m_rows.byRank()[std::size_t(rank)], p, best);
    }
    for (UITableRow* r : m_rows.strays())
        considerHit(r, p, best);
    if (index)
        *index = best;
    return row(best);
}

UIItemCell* UITable::cellAt(Point p) const
{
    const UITableRow* r = rowAt(p);
    if (!r)
        return nullptr;
    for (const auto& c : r->cells()) {
        if (c->isVisible() && c->rect()->contains(p))
            return c.get();
    }
    return nullptr;
}

std::vector<UITableRow*> UITable::rowsTouching(const Rect& r) const
{
    std::vector<UITableRow*> result;
    const auto touches = [&](UITableRow* row) {
        return row && row->isVisible() && rowRect(row).intersects(r);
    };
    const Placement& placed = m_placement;
    if (placed.valid && placed.rowHeight > 0 && !r.isEmpty()) {
        const std::vector<UITableRow*>& byRank = m_rows.byRank();
        const long long count = (long long)byRank.size();
        const long long first = std::max(0LL, floorDiv(r.top() - placed.top, placed.rowHeight));
        const long long last = std::min(count - 1, floorDiv(r.bottom() - 1 - placed.top, placed.rowHeight));
        for (long long rank = first; rank <= last; ++rank) {
            if (touches(byRank[std::size_t(rank)]))
                result.push_back(byRank[std::size_t(rank)]);
        }
    }
    for (UITableRow* row : m_rows.strays()) {
        if (touches(row) && std::find(result.begin(), result.end(), row) == result.end())
            result.push_back(row);
    }
    return result;
}

std::pair<int, int> UITable::ranksOnScreen() const
{
    const int count = int(m_rows.byRank().size());
    const int rh = m_placement.rowHeight;
    // Without a positive height every row lies at one y: try them all.
    if (rh <= 0)
        return {0, count};
    const long long top = m_placement.top;
    const long long first = std::max(0LL, ceilDiv(-rh - top, rh));
    const long long last = std::min((long long)count, ceilDiv(height() - top, rh));
    return {int(first), int(std::max(first, last))};
}

// ---- Painting ----

void UITable::paintEvent(UIPaintEvent* event)
{
    Graphics g(backBuffer());
    g.resetClip();
    g.setFont(m_style.font);
    g.fillRect(rect(), isEnabled() ? m_style.background : m_style.disabledBackground);
    if (!m_updatesSuspended)
        paintRows(g, event);
    const bool blankDrawn = (m_updatesSuspended || isEmpty()) && paintBlank(g);
    if (m_updatesSuspended)
        return;
    if (m_style.drawColumnGrid && !blankDrawn)
        paintColumnGrid(g);
    if (m_band.active && !m_band.rect.isEmpty()) {
        g.resetClip();
        m_style.selectionRect.drawNineSlice(g, m_band.rect, 0, SkinAllRegions);
    }
}

// Only the rows on screen are drawn; every other row keeps its flag clear
// and has its rectangle worked out from this placement when it is read.
void UITable::paintRows(Graphics& g, UIPaintEvent* event)
{
    for (UITableRow* r : m_onScreen)
        r->setOnScreen(false);
    m_onScreen.clear();
    m_rows.rankForPaint();
    m_rows.dropStraysIf([](const UITableRow*) { return true; });
    m_placement.valid = true;
    m_placement.top = headerHeight() + contentOffsetY();
    m_placement.rowHeight = m_style.rowHeight;
    m_placement.width = width();
    const auto [first, last] = ranksOnScreen();
    const int rh = m_placement.rowHeight;
    for (int rank = first; rank < last; ++rank) {
        const int y = placedRect(rank).y;
        if (y >= -rh && y < height())
            paintRow(g, event, m_rows.byRank()[std::size_t(rank)], rank);
    }
}

void UITable::paintRow(Graphics& g, UIPaintEvent* event, UITableRow* row, int rank)
{
    // Parity counts visible rows from 1: the first is odd.
    const bool odd = rank % 2 == 0;
    const bool enabled = isEnabled();
    const Rect r = placedRect(rank);
    *row->rect() = r;
    row->setOnScreen(true);
    m_onScreen.push_back(row);
    fillRow(g, row, r, odd, enabled);
    const bool selected = row->isSelected() && m_selectionVisible;
    int x = contentOffsetX();
    for (int i = 0; i < row->cellCount(); ++i) {
        const UIHeaderSection* section = m_header->section(i);
        if (!section)
            break;
        UIItemCell* c = row->cell(i);
        // A hidden column's cell must not keep the place its neighbour takes now.
        if (!section->isVisible()) {
            *c->rect() = Rect();
            continue;
        }
        *c->rect() = Rect(x, r.y, section->width(), r.height);
        if (c->rect()->intersects(rect()))
            drawCell(g, event, c, selected, odd, enabled);
        x += section->width();
    }
    if (m_style.drawRowGrid)
        m_style.rowGrid.drawNineSlice(g, Rect(0, r.bottom() - 1, width(), 1), 0, SkinAllRegions);
}

void UITable::fillRow(Graphics& g, const UITableRow* row, const Rect& r, bool odd, bool enabled)
{
    if (!enabled) {
        if (odd)
            g.fillRect(r, m_style.disabledAlternateRowBackground);
        return;
    }
    if (row->isSelected() && m_selectionVisible)
        g.fillRect(r, m_style.selectedRowBackground);
    else if (row->background().isVisible())
        g.fillRect(r, row->background());
    else
        g.fillRect(r, odd ? m_style.alternateRowBackground : m_style.defaultRowBackground);
}

void UITable::drawCell(Graphics& g, UIPaintEvent* event, UIItemCell* cell, bool selected, bool odd, bool enabled)
{
    const Rect box = *cell->rect();
    // A translucent cell background lets the row colour show.
    if (enabled && !selected && !cell->background().isTranslucent())
        g.fillRect(box, cell->background());
    const ItemMargins& m = cell->margins();
    const Rect content = box.adjusted(m.left, m.top, -m.right, -m.bottom);
    *cell->textRect() = Rect();
    cell->setTextElided(false);
    if (cell->kind() == UIItemCell::ImageCell && !cell->image().isNull()) {
        const Rect clip = box.intersected(event->rect());
        if (!clip.isEmpty())
            g.setClipRect(clip);
        g.drawBitmapAligned(cell->image(), content, cell->alignment());
        g.setClipRect(event->rect());
        return;
    }
    if (cell->kind() != UIItemCell::TextCell || cell->text().isEmpty())
        return;
    g.setFont(cell->font());
    Colour pen = odd ? m_style.alternateRowForeground : m_style.defaultRowForeground;
    if (!enabled)
        pen = m_style.disabledForeground;
    else if (selected)
        pen = m_style.selectedRowForeground;
    else if (!cell->textPen().isTranslucent())
        pen = cell->textPen().colour();
    g.setPen(Pen(pen));
    Rect placed;
    cell->setTextElided(g.drawText(cell->text(), content, cell->alignment(), cell->elideMode(), 1, &placed));
    *cell->textRect() = placed;
}

bool UITable::paintBlank(Graphics& g)
{
    const int top = headerHeight();
    const Rect below = rect().adjusted(0, top, 0, 0);
    bool drawn = false;
    if (m_blankImageVisible && !m_blankImage.isNull()) {
        g.drawBitmapAligned(m_blankImage, below, AlignCenter);
        drawn = true;
    }
    if (m_blankTextVisible && !m_blankText.isEmpty()) {
        g.setFont(m_style.blankFont);
        g.setPen(Pen(m_style.shadowBlankForeground));
        g.drawText(m_blankText, rect().adjusted(0, top + 2, 0, 0), AlignCenter, ElideNone, 1);
        g.setPen(Pen(m_style.blankForeground));
        g.drawText(m_blankText, below, AlignCenter, ElideNone, 1);
        drawn = true;
    }
    return drawn;
}

void UITable::paintColumnGrid(Graphics& g)
{
    int x = contentOffsetX();
    for (int i = 0; i < columnCount() - 1; ++i) {
        const UIHeaderSection* section = m_header->section(i);
        if (!section->isVisible())
            continue;
        x += section->width();
        m_style.columnGrid.drawNineSlice(g, Rect(x - 1, 0, 1, height()), 0, SkinAllRegions);
    }
}

// ---- Tool tip ----

String UITable::toolTip(Point p) const
{
    UIItemCell* c = cellAt(p);
    if (!c)
        return String();
    if (!c->toolTip().isEmpty())
        return c->toolTip();
    if (c->kind() != UIItemCell::TextCell)
        return String();
    if (!c->isTextElided() && rect().contains(*c->textRect()))
        return String();
    return c->text();
}
