#include "ui/widgets/UITable.h"

#include "foundation/CharHelpers.h"
#include "graphics/Font.h"
#include "ui/widgets/UIHeader.h"
#include "ui/widgets/UIScrollArea.h"

#include <algorithm>
#include <cmath>

namespace {

// One sort at a time in the whole program: a handler of sortAboutToStart
// that sorts again does nothing.
bool sortRunning = false;

// A row as the sort sees it: hidden rows first whatever the order, then
// the column's key. Keys are gathered once so the sort reads no cells.
struct SortEntry {
    UITableRow* row;
    bool hidden;
    const wchar_t* text;
    int length;
    double value;
};

// A NaN lies below every number, so the order stays a strict weak order.
int compareValues(double a, double b)
{
    const bool aNan = std::isnan(a);
    const bool bNan = std::isnan(b);
    if (aNan || bNan)
        return aNan == bNan ? 0 : (aNan ? -1 : 1);
    return a < b ? -1 : (a > b ? 1 : 0);
}

SortEntry sortEntryOf(UITableRow* row, int column)
{
    SortEntry entry{row, !row->isVisible(), nullptr, 0, 0.0};
    if (column >= row->cellCount())
        return entry;
    const UIItemCell* cell = row->cell(column);
    const String& key = cell->sortText().isEmpty() ? cell->text() : cell->sortText();
    // A missing text (null) sorts first.
    entry.text = key.constData();
    entry.length = key.length();
    entry.value = cell->sortValue();
    return entry;
}

// Upper-cased once into one buffer, the keys compare as plain units with
// the same answers as comparing them ignoring case unit by unit.
std::vector<wchar_t> upperCaseKeys(std::vector<SortEntry>& entries)
{
    std::size_t total = 0;
    for (const SortEntry& e : entries)
        total += e.text ? std::size_t(e.length) + 1 : 0;
    std::vector<wchar_t> buffer(total);
    wchar_t* at = buffer.data();
    for (SortEntry& e : entries) {
        if (!e.text)
            continue;
        wchar_t* start = at;
        at = std::transform(e.text, e.text + e.length, at, toUpperChar);
        *at++ = 0;
        e.text = start;
    }
    return buffer;
}

struct RowComparison {
    bool byText;
    bool descending;

    int operator()(const SortEntry& a, const SortEntry& b) const
    {
        if (a.hidden || b.hidden)
            return a.hidden == b.hidden ? 0 : (a.hidden ? -1 : 1);
        const int result = byText ? wcsCompare(a.text, b.text) : compareValues(a.value, b.value);
        return descending ? -result : result;
    }
};

} // namespace

UITable::UITable(UIWidget* parent) : UIWidget(parent)
{
    setFlag(WidgetTakesDoubleClicks, true);
    setFlag(WidgetSeeThrough, false);
    setFocusPolicy(ClickFocus | WheelFocus);
    setSizePolicy(SizeResizable, SizeResizable);
    // The header spans the table's width, which a grid cell would not give it.
    setLayoutEnabled(false);
    setLayoutVertical(true);
    setStyleName(L"UITable");
    m_header = new UIHeader(this);
    m_header->setLayoutAlignment(AlignLeft | AlignTop);
    m_header->show();
    rowCountChanged.connect(this, &UITable::onRowCountChanged);
    m_header->sectionResized.connect(this, &UITable::onSectionResized);
    m_header->sectionClicked.connect(this, &UITable::onSectionClicked);
    m_header->visibleSectionCountChanged.connect(this, &UITable::onVisibleSectionCountChanged);
}

UITable::~UITable()
{
    m_rows.deleteAll();
}

void UITable::onRowCountChanged()
{
    visibleRowCountChanged.emit(visibleRowCount());
}

void UITable::onSectionResized()
{
    repaint();
}

void UITable::onVisibleSectionCountChanged(int count)
{
    relayout();
    columnsChanged.emit(count);
    repaint();
}

void UITable::relayout()
{
    placeHeader();
}

void UITable::placeHeader()
{
    m_header->setGeometry(0, 0, width(), m_header->preferredSize().height);
}

void UITable::resizeEvent(UIResizeEvent*)
{
    placeHeader();
}

// ---- Rows ----

void UITable::linkRow(int index, UITableRow* row)
{
    m_rows.link(index, row, static_cast<UITableRowOwner*>(this));
    // The next paint clears it, as it would walking every row.
    if (row->isOnScreen())
        m_onScreen.push_back(row);
}

int UITable::addRow(UITableRow* row)
{
    linkRow(rowCount(), row);
    relayout();
    rowCountChanged.emit(rowCount());
    if (!m_updatesSuspended)
        repaint();
    return rowCount() - 1;
}

int UITable::insertRow(int index, UITableRow* row)
{
    if (isEmpty())
        return addRow(row);
    index = std::clamp(index, 0, rowCount());
    linkRow(index, row);
    if (m_currentIndex >= 0 && index <= m_currentIndex) {
        // The same row stays current under its new index.
        ++m_currentIndex;
        currentRowChanged.emit(m_currentIndex);
    }
    relayout();
    rowCountChanged.emit(rowCount());
    if (!m_updatesSuspended)
        repaint();
    return index;
}

void UITable::removeRow(UITableRow* row)
{
    const int index = indexOfRow(row);
    if (index < 0)
        return;
    if (row->isSelected())
        selectRow(row, 0);
    forgetRow(row);
    m_rows.unlink(index);
    delete row;
    if (isEmpty())
        resetSortState();
    if (m_currentIndex != -1)
        setCurrentPair(-1, nullptr, false);
    relayout();
    rowCountChanged.emit(rowCount());
    repaint();
}

void UITable::removeRowAt(int index)
{
    removeRow(row(index));
}

UITableRow* UITable::takeRow(int index)
{
    UITableRow* taken = row(index);
    if (!taken)
        return nullptr;
    // It leaves with the rectangle the last paint gave it.
    *taken->rect() = rowRect(taken);
    forgetRow(taken);
    m_rows.unlink(index);
    if (index == m_currentIndex)
        setCurrentPair(-1, nullptr, false);
    else if (m_currentIndex > index)
        --m_currentIndex; // the same row, one place up
    return taken;
}

void UITable::clear()
{
    if (isEmpty())
        return;
    const bool hadSelection = m_rows.anySelected();
    m_rows.clear();
    m_placement = Placement();
    m_onScreen.clear();
    resetSortState();
    const Rect headerBefore(m_header->x(), m_header->y(), m_header->width(), m_header->height());
    relayout();
    if (m_currentIndex != -1)
        setCurrentPair(-1, nullptr, false);
    if (headerBefore == Rect(m_header->x(), m_header->y(), m_header->width(), m_header->height()))
        repaint();
    rowCountChanged.emit(0);
    if (hadSelection)
        selectionChanged.emit();
}

bool UITable::swapRows(int i, int j)
{
    if (i == j || !row(i) || !row(j))
        return false;
    // The current row moves with its place; setCurrentRow reports the new index.
    int current = m_currentIndex;
    if (current == i)
        current = j;
    else if (current == j)
        current = i;
    m_rows.swap(i, j);
    setCurrentRow(current, true);
    repaint();
    return true;
}

void UITable::moveCurrentRowUp()
{
    swapRows(m_currentIndex, m_currentIndex - 1);
}

void UITable::moveCurrentRowDown()
{
    swapRows(m_currentIndex, m_currentIndex + 1);
}

void UITable::setRowVisible(int index, bool visible)
{
    UITableRow* target = row(index);
    if (!target)
        return;
    target->setVisible(visible);
    if (index == m_currentIndex)
        setCurrentPair(-1, nullptr, false);
    repaint();
}

void UITable::setAllRowsVisible(bool visible)
{
    const int before = visibleRowCount();
    m_batchingVisibility = true;
    for (UITableRow* r : m_rows.items())
        r->setVisible(visible);
    m_batchingVisibility = false;
    if (visibleRowCount() != before)
        visibleRowCountChanged.emit(visibleRowCount());
    if (m_currentRow && !m_currentRow->isVisible())
        setCurrentPair(-1, nullptr, false);
    repaint();
}

void UITable::rowVisibilityChanged(UITableRow* row, bool hidden)
{
    m_rows.visibilityChanged(row, hidden);
    if (!m_batchingVisibility)
        visibleRowCountChanged.emit(visibleRowCount());
}

void UITable::hiddenRowDeleted(UITableRow*)
{
    m_rows.hiddenItemDeleted();
}

// ---- Queries ----

UITableRow* UITable::row(int index) const
{
    return m_rows.at(index);
}

UIItemCell* UITable::cell(int row, int column) const
{
    UITableRow* r = this->row(row);
    return r && column >= 0 && column < r->cellCount() ? r->cell(column) : nullptr;
}

int UITable::indexOfRow(const UITableRow* row) const
{
    return m_rows.indexOf(row);
}

UITableRow* UITable::rowById(std::int64_t id) const
{
    const std::vector<UITableRow*>& all = m_rows.items();
    const auto it = std::find_if(all.begin(), all.end(), [id](auto* r) { return r->id() == id; });
    return it == all.end() ? nullptr : *it;
}

UITableRow* UITable::rowByData(int data) const
{
    return row(indexOfRowByData(data));
}

int UITable::indexOfRowByData(int data) const
{
    return m_rows.indexOfData(data);
}

int UITable::rowHeightAt(int index) const
{
    UITableRow* r = row(index);
    return r ? rowRect(r).height : 0;
}

int UITable::currentRowData() const
{
    return m_currentRow ? m_currentRow->data() : 0;
}

// ---- Current row ----

void UITable::setCurrentRow(int index, bool scroll)
{
    UITableRow* candidate = row(index);
    if (index == m_currentIndex && candidate == m_currentRow) {
        if (scroll)
            ensureRowVisible(index);
        return;
    }
    const bool usable = index != -1 && candidate && candidate->isVisible();
    const int newIndex = usable ? index : -1;
    UITableRow* newRow = usable ? candidate : nullptr;
    if (newIndex == m_currentIndex && newRow == m_currentRow)
        return;
    setCurrentPair(newIndex, newRow, scroll);
}

void UITable::setCurrentPair(int index, UITableRow* row, bool scroll)
{
    m_currentIndex = index;
    m_currentRow = row;
    if (scroll)
        ensureRowVisible(index);
    currentRowChanged.emit(index);
}

void UITable::setCurrentRowAndSelect(int index)
{
    setCurrentRow(index, true);
    selectCurrentRow();
}

UIScrollArea* UITable::scrollArea() const
{
    return holdingScrollArea(this);
}

bool UITable::ensureRowVisible(int index)
{
    UITableRow* target = row(index);
    UIScrollArea* area = scrollArea();
    if (!target || !area)
        return false;
    const Rect r = rowRect(target);
    if (r.isEmpty())
        return false;
    UIScrollBar* bar = area->verticalScrollBar();
    const int top = headerHeight();
    if (r.y < top) {
        bar->setValue(bar->value() + r.y - top);
        return true;
    }
    if (r.bottom() > height()) {
        bar->setValue(bar->value() + r.bottom() - height());
        return true;
    }
    return false;
}

bool UITable::isRowOnScreen(int index) const
{
    const UITableRow* r = row(index);
    return r && r->isVisible() && r->isOnScreen();
}

// ---- Columns ----

int UITable::columnCount() const
{
    return m_header->sectionCount();
}

int UITable::columnAt(int x) const
{
    return m_header->sectionAtX(x);
}

String UITable::columnText(int i) const
{
    const UIHeaderSection* section = m_header->section(i);
    return section ? section->text() : String();
}

void UITable::setColumnVisible(int i, bool visible)
{
    m_header->setSectionVisible(i, visible);
}

bool UITable::isColumnVisible(int i) const
{
    return m_header->isSectionVisible(i);
}

void UITable::setColumnWidth(int i, int width)
{
    m_header->setSectionWidth(i, width);
}

int UITable::columnWidth(int i) const
{
    const UIHeaderSection* section = m_header->section(i);
    return section ? section->width() : 0;
}

int UITable::headerHeight() const
{
    return m_header->testFlag(WidgetVisible) ? m_header->height() : 0;
}

int UITable::columnContentWidth(int column, bool onlyWholeRows) const
{
    const Font font(m_style.font);
    int widest = 0;
    bool measured = false;
    for (UITableRow* r : m_rows.items()) {
        if (!r->isVisible())
            continue;
        if (onlyWholeRows && !rect().contains(rowRect(r))) {
            if (measured)
                break;
            continue;
        }
        measured = true;
        if (column < 0 || column >= r->cellCount())
            continue;
        const UIItemCell* c = r->cell(column);
        const int margins = c->margins().left + c->margins().right;
        if (c->kind() == UIItemCell::TextCell)
            widest = std::max(widest, font.textSize(c->text()).width + margins);
        else if (c->kind() == UIItemCell::ImageCell)
            widest = std::max(widest, c->image().width() + margins);
    }
    return widest;
}

void UITable::resizeColumnsToContents(bool onlyWholeRows)
{
    setUpdatesEnabled(false);
    m_header->setUpdatesEnabled(false);
    for (int i = 0; i < columnCount() - 1; ++i) {
        if (isColumnVisible(i))
            m_header->setSectionWidth(i, columnContentWidth(i, onlyWholeRows));
    }
    m_header->setUpdatesEnabled(true);
    setUpdatesEnabled(true);
    m_header->repaint();
    repaint();
}

// ---- Appearance and modes ----

void UITable::setRowHeight(int height, bool scaleFonts)
{
    m_style.rowHeight = std::max(height, 3);
    if (scaleFonts)
        this->scaleFonts(m_style.rowHeight);
    if (UIScrollArea* area = scrollArea())
        area->relayout();
    repaint();
}

void UITable::scaleFonts(int height)
{
    // 0.7 as a float, multiplied in double: 20 gives 13, 21 gives 14.
    const int pixels = int(double(height) * double(0.7f));
    m_style.font.setPixelSize(pixels);
    for (UITableRow* r : m_rows.items()) {
        for (const auto& c : r->cells()) {
            FontDesc font = c->font();
            font.setPixelSize(pixels);
            c->setFont(font);
        }
    }
}

void UITable::resetSortState()
{
    m_sortOrder = Unsorted;
    m_header->clearSortIndicators();
}

void UITable::setUpdatesSuspended(bool on)
{
    if (on == m_updatesSuspended)
        return;
    m_updatesSuspended = on;
    // The view left its relayouts for the end of the mass update.
    UIScrollArea* area = scrollArea();
    if (!on && area)
        area->relayout();
    repaint();
}

void UITable::setBlankText(const String& text)
{
    if (text == m_blankText)
        return;
    m_blankText = text;
    if (isEmpty())
        repaint();
}

void UITable::setBlankTextVisible(bool on)
{
    if (on == m_blankTextVisible)
        return;
    m_blankTextVisible = on;
    if (isEmpty())
        repaint();
}

void UITable::setBlankImage(const Bitmap& image)
{
    m_blankImage = image;
    if (isEmpty())
        repaint();
}

void UITable::setBlankImageVisible(bool on)
{
    if (on == m_blankImageVisible)
        return;
    m_blankImageVisible = on;
    if (isEmpty())
        repaint();
}

// ---- Selection ----

void UITable::emitSelectionChange(bool changed, bool repaintFirst)
{
    if (!changed)
        return;
    if (repaintFirst)
        repaint();
    selectionChanged.emit();
}

void UITable::selectRow(UITableRow* row, int flags)
{
    if (!row || m_selectionMode == NoSelection)
        return;
    const bool select = (flags & SelectFlag) != 0;
    bool changed = false;
    if (m_selectionMode == SingleSelection && select)
        changed = m_rows.selectOnly(row);
    else
        changed = m_rows.setSelected(row, select);
    emitSelectionChange(changed, (flags & RepaintFlag) != 0);
}

void UITable::selectRowAt(int index, int flags)
{
    selectRow(row(index), flags);
}

void UITable::selectCurrentRow()
{
    if (m_currentIndex != -1)
        selectRow(m_currentRow, SelectFlag | RepaintFlag);
}

void UITable::selectRowByData(int data)
{
    if (UITableRow* r = rowByData(data))
        selectRow(r, SelectFlag | RepaintFlag);
}

void UITable::selectRows(const std::vector<UITableRow*>& rows, int flags)
{
    if (m_selectionMode != MultiSelection)
        return;
    emitSelectionChange(m_rows.selectEach(rows, (flags & SelectFlag) != 0), (flags & RepaintFlag) != 0);
}

void UITable::selectAll()
{
    if (m_selectionMode != MultiSelection || isEmpty())
        return;
    emitSelectionChange(m_rows.selectAll(true), true);
}

void UITable::clearSelection(bool repaint, bool emit)
{
    if (isEmpty() || m_selectionMode == NoSelection)
        return;
    if (!m_rows.selectAll(false))
        return;
    if (repaint)
        this->repaint();
    if (emit)
        selectionChanged.emit();
}

void UITable::selectRowsInRect(const Rect& r)
{
    if (m_selectionMode != MultiSelection || isEmpty())
        return;
    const bool changed = m_rows.selectTouched(rowsTouching(r), m_band.modifiers.testFlag(ShiftModifier));
    repaint();
    if (changed)
        selectionChanged.emit();
}

void UITable::selectIndexRange(int lo, int hi)
{
    emitSelectionChange(m_rows.selectIndexRange(lo, hi), true);
}

bool UITable::hasSelection() const
{
    if (isEmpty() || m_selectionMode == NoSelection)
        return false;
    return m_rows.anySelected();
}

int UITable::selectedCount() const
{
    if (m_selectionMode == NoSelection)
        return 0;
    return m_rows.selectedCount();
}

UITableRow* UITable::firstSelectedRow() const
{
    if (m_selectionMode == NoSelection)
        return nullptr;
    return m_rows.firstSelected();
}

std::vector<UITableRow*> UITable::selectedRows() const
{
    if (m_selectionMode == NoSelection)
        return {};
    return m_rows.selected();
}

bool UITable::isRowSelected(int index) const
{
    return m_rows.isSelected(index);
}

// ---- Sorting ----

void UITable::sortByColumn(int column, SortOrder order)
{
    const UIHeaderSection* section = m_header->section(column);
    if (rowCount() < 2 || !m_sortingEnabled || order == Unsorted || sortRunning || !section ||
        section->isSortable() == UIHeaderSection::NotSortable)
        return;
    sortRunning = true;
    m_sortOrder = order;
    m_sortColumn = column;
    for (int i = 0; i < columnCount(); ++i)
        m_header->section(i)->setSortOrder(i == column ? order : Unsorted);
    UITableRow* remembered = m_currentRow;
    sortAboutToStart.emit();
    std::vector<SortEntry> entries;
    entries.reserve(std::size_t(rowCount()));
    for (UITableRow* r : m_rows.items())
        entries.push_back(sortEntryOf(r, column));
    const bool byText = section->isSortable() == UIHeaderSection::ByText;
    const std::vector<wchar_t> keys = byText ? upperCaseKeys(entries) : std::vector<wchar_t>();
    const RowComparison compare{byText, order == Descending};
    std::stable_sort(entries.begin(), entries.end(),
                     [&](const SortEntry& a, const SortEntry& b) { return compare(a, b) < 0; });
    std::vector<UITableRow*> sorted;
    sorted.reserve(entries.size());
    for (const SortEntry& e : entries)
        sorted.push_back(e.row);
    m_rows.reorder(sorted);
    if (remembered)
        setCurrentRow(indexOfRow(remembered), false);
    repaint();
    sortFinished.emit();
    sortRunning = false;
}

void UITable::onSectionClicked(int column)
{
    sortByColumn(column, m_sortOrder == Ascending ? Descending : Ascending);
}

// ---- Geometry ----

Size UITable::sizeHint() const
{
    return {70, 70};
}

Size UITable::minimumSizeHint() const
{
    if (isEmpty())
        return {70, 70};
    const UIHeaderSection* last = m_header->lastVisibleSection();
    int width = 0;
    for (int i = 0; i < columnCount(); ++i) {
        const UIHeaderSection* section = m_header->section(i);
        if (!section->isVisible())
            continue;
        const bool stretched = section == last && m_header->stretchLastSection();
        width += stretched ? section->minimumWidth() : section->width();
    }
    return {width, visibleRowCount() * m_style.rowHeight + headerHeight()};
}

void UITable::setContentOffset(int horizontal, int vertical)
{
    m_header->setContentOffset(horizontal, 0);
    m_header->repaint();
    UIWidget::setContentOffset(horizontal, vertical);
}
