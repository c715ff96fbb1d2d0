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
    for (UITableRow* row : m_rows) {
        row->setOwner(nullptr);
        delete row;
    }
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
    if (!row->isVisible())
        ++m_hiddenRowCount;
    row->setOwner(this);
    m_rows.insert(m_rows.begin() + index, row);
    if (index == rowCount() - 1 && m_indexValid)
        m_indexOf[row] = index;
    else
        indexChanged();
    // Rows appended are ranked by extending; anything else reorders.
    if (index != rowCount() - 1)
        m_ranksDirty = true;
    adoptRow(row);
}

void UITable::unlinkRow(int index)
{
    UITableRow* row = m_rows[std::size_t(index)];
    m_rows.erase(m_rows.begin() + index);
    if (!row->isVisible())
        --m_hiddenRowCount;
    row->setOwner(nullptr);
    indexChanged();
    m_ranksDirty = true;
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
    unlinkRow(index);
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
    unlinkRow(index);
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
    const bool hadSelection = std::any_of(m_rows.begin(), m_rows.end(), [](auto* r) { return r->isSelected(); });
    for (UITableRow* row : m_rows) {
        row->setOwner(nullptr);
        delete row;
    }
    m_rows.clear();
    m_hiddenRowCount = 0;
    m_indexOf.clear();
    m_indexValid = true;
    m_ranksDirty = true;
    m_placement = Placement();
    m_replaced.clear();
    m_strays.clear();
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
    if (m_currentIndex == i)
        m_currentIndex = j;
    else if (m_currentIndex == j)
        m_currentIndex = i;
    std::swap(m_rows[std::size_t(i)], m_rows[std::size_t(j)]);
    if (m_indexValid) {
        m_indexOf[m_rows[std::size_t(i)]] = i;
        m_indexOf[m_rows[std::size_t(j)]] = j;
    }
    m_ranksDirty = true;
    setCurrentRow(m_currentIndex, true);
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
    for (UITableRow* r : m_rows)
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
    m_hiddenRowCount += hidden ? 1 : -1;
    m_ranksDirty = true;
    m_replaced.insert(row);
    if (!m_batchingVisibility)
        visibleRowCountChanged.emit(visibleRowCount());
}

void UITable::hiddenRowDeleted(UITableRow*)
{
    --m_hiddenRowCount;
}

// ---- Queries ----

UITableRow* UITable::row(int index) const
{
    return index >= 0 && index < rowCount() ? m_rows[std::size_t(index)] : nullptr;
}

UIItemCell* UITable::cell(int row, int column) const
{
    UITableRow* r = this->row(row);
    return r && column >= 0 && column < r->cellCount() ? r->cell(column) : nullptr;
}

void UITable::rebuildIndex() const
{
    m_indexOf.clear();
    m_indexOf.reserve(m_rows.size());
    for (int i = 0; i < rowCount(); ++i)
        m_indexOf[m_rows[std::size_t(i)]] = i;
    m_indexValid = true;
}

int UITable::indexOfRow(const UITableRow* row) const
{
    if (!row)
        return -1;
    if (!m_indexValid)
        rebuildIndex();
    const auto it = m_indexOf.find(row);
    return it == m_indexOf.end() ? -1 : it->second;
}

UITableRow* UITable::rowById(std::int64_t id) const
{
    const auto it = std::find_if(m_rows.begin(), m_rows.end(), [id](auto* r) { return r->id() == id; });
    return it == m_rows.end() ? nullptr : *it;
}

UITableRow* UITable::rowByData(int data) const
{
    return row(indexOfRowByData(data));
}

int UITable::indexOfRowByData(int data) const
{
    if (data == 0)
        return -1;
    const auto it = std::find_if(m_rows.begin(), m_rows.end(), [data](auto* r) { return r->data() == data; });
    return it == m_rows.end() ? -1 : int(it - m_rows.begin());
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
    for (UITableRow* r : m_rows) {
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
    for (UITableRow* r : m_rows) {
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

bool UITable::setSelected(UITableRow* row, bool on)
{
    if (row->isSelected() == on)
        return false;
    row->setSelected(on);
    return true;
}

bool UITable::selectOnly(UITableRow* row)
{
    bool changed = false;
    for (UITableRow* r : m_rows)
        changed |= setSelected(r, r == row);
    return changed;
}

void UITable::selectRow(UITableRow* row, int flags)
{
    if (!row || m_selectionMode == NoSelection)
        return;
    const bool select = (flags & SelectFlag) != 0;
    bool changed = false;
    if (m_selectionMode == SingleSelection && select)
        changed = selectOnly(row);
    else
        changed = setSelected(row, select);
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
    bool changed = false;
    for (UITableRow* r : rows)
        changed |= setSelected(r, (flags & SelectFlag) != 0);
    emitSelectionChange(changed, (flags & RepaintFlag) != 0);
}

void UITable::selectAll()
{
    if (m_selectionMode != MultiSelection || isEmpty())
        return;
    bool changed = false;
    for (UITableRow* r : m_rows)
        changed |= setSelected(r, true);
    emitSelectionChange(changed, true);
}

void UITable::clearSelection(bool repaint, bool emit)
{
    if (isEmpty() || m_selectionMode == NoSelection)
        return;
    bool changed = false;
    for (UITableRow* r : m_rows)
        changed |= setSelected(r, false);
    if (!changed)
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
    std::vector<UITableRow*> touched = rowsTouching(r);
    std::sort(touched.begin(), touched.end());
    const bool keepOthers = m_band.modifiers.testFlag(ShiftModifier);
    bool changed = false;
    for (UITableRow* row : m_rows) {
        if (std::binary_search(touched.begin(), touched.end(), row))
            changed |= setSelected(row, true);
        else if (!keepOthers)
            changed |= setSelected(row, false);
    }
    repaint();
    if (changed)
        selectionChanged.emit();
}

void UITable::selectIndexRange(int lo, int hi)
{
    bool changed = false;
    for (int i = 0; i < rowCount(); ++i)
        changed |= setSelected(m_rows[std::size_t(i)], i >= lo && i <= hi);
    emitSelectionChange(changed, true);
}

bool UITable::hasSelection() const
{
    if (isEmpty() || m_selectionMode == NoSelection)
        return false;
    return std::any_of(m_rows.begin(), m_rows.end(), [](auto* r) { return r->isSelected(); });
}

int UITable::selectedCount() const
{
    if (m_selectionMode == NoSelection)
        return 0;
    return int(std::count_if(m_rows.begin(), m_rows.end(), [](auto* r) { return r->isSelected(); }));
}

UITableRow* UITable::firstSelectedRow() const
{
    if (m_selectionMode == NoSelection)
        return nullptr;
    const auto it = std::find_if(m_rows.begin(), m_rows.end(), [](auto* r) { return r->isSelected(); });
    return it == m_rows.end() ? nullptr : *it;
}

std::vector<UITableRow*> UITable::selectedRows() const
{
    std::vector<UITableRow*> result;
    if (m_selectionMode == NoSelection)
        return result;
    std::copy_if(m_rows.begin(), m_rows.end(), std::back_inserter(result), [](auto* r) { return r->isSelected(); });
    return result;
}

bool UITable::isRowSelected(int index) const
{
    const UITableRow* r = row(index);
    return r && r->isSelected();
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
    entries.reserve(m_rows.size());
    for (UITableRow* r : m_rows)
        entries.push_back(sortEntryOf(r, column));
    const bool byText = section->isSortable() == UIHeaderSection::ByText;
    const std::vector<wchar_t> keys = byText ? upperCaseKeys(entries) : std::vector<wchar_t>();
    const RowComparison compare{byText, order == Descending};
    std::stable_sort(entries.begin(), entries.end(),
                     [&](const SortEntry& a, const SortEntry& b) { return compare(a, b) < 0; });
    for (std::size_t i = 0; i < entries.size(); ++i)
        m_rows[i] = entries[i].row;
    indexChanged();
    m_ranksDirty = true;
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
