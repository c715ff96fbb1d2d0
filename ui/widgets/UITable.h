#pragma once

// UITable: the items table. A vertical list of rows (UITableRow), each with
// one cell per column, under a UIHeader child whose sections are the
// columns. It keeps a current row, a selection (none, single or multiple)
// and an optional stable sort by one column, paints alternating rows, grid
// lines, the selection and a blank text when empty, and answers keys, mouse
// presses and a rubber band. It always lives inside a UITableView: it never
// moves itself but draws its rows shifted by the content offsets the view
// gives it, and reaches the view's vertical bar to bring a row into sight.
//
// Where the operations are defined:
//   UITable.cpp        rows, current row, columns, modes, selection, sorting
//   UITablePaint.cpp   style, painting, where rows are, hit tests, tool tip
//   UITableInput.cpp   keys, mouse, rubber band
//
// Row rectangles and on-screen flags are those of the last paint. The paint
// draws only the rows on screen: it writes their rectangles and flags and
// clears the flags of the rows it drew before; the rectangle of any other
// row that was visible then is worked out from its place at that paint when
// the table reads it (UITableRow::rect of such a row is not written).

#include "foundation/Signal.h"
#include "graphics/Bitmap.h"
#include "graphics/Brush.h"
#include "graphics/Colour.h"
#include "graphics/FontDesc.h"
#include "ui/UISkin.h"
#include "ui/UITableRow.h"
#include "ui/UIWidget.h"
#include "ui/widgets/UIItemSequence.h"
#include "ui/widgets/UIRubberBand.h"

#include <cstdint>
#include <utility>
#include <vector>

class Graphics;
class UIHeader;
class UIItemNavigation;
class UIScrollArea;

class UITable : public UIWidget, public UITableRowOwner {
public:
    enum SelectionMode : int { NoSelection = 0, SingleSelection = 1, MultiSelection = 2 };
    enum SortOrder : int { Unsorted = 0, Ascending = 1, Descending = 2 };
    // Bits of the selection flags: select (else deselect), then repaint.
    enum SelectionFlag : int { SelectFlag = 1, RepaintFlag = 2 };

    explicit UITable(UIWidget* parent);
    ~UITable() override;

    // With the new index (-1: none).
    Signal currentRowChanged;
    // With the number of visible columns.
    Signal columnsChanged;
    Signal rowCountChanged;
    Signal visibleRowCountChanged;
    Signal sortAboutToStart;
    Signal sortFinished;
    Signal selectionChanged;

    // ---- Rows ----
    // The table takes the row; a hidden row is counted. Index of the row.
    int addRow(UITableRow* row);
    // index in [0, rowCount]; a current row at or after it keeps being
    // current under its new index (currentRowChanged).
    int insertRow(int index, UITableRow* row);
    // Deletes the row; any current row becomes none.
    void removeRow(UITableRow* row);
    void removeRowAt(int index);
    // Hands the row back to the caller: no longer counted nor owned.
    UITableRow* takeRow(int index);
    void clear();
    // False unless both are rows and differ; the current row moves along.
    bool swapRows(int i, int j);
    void moveCurrentRowUp();
    void moveCurrentRowDown();
    bool canMoveCurrentRowUp() const { return m_currentIndex > 0; }
    bool canMoveCurrentRowDown() const { return m_currentIndex >= 0 && m_currentIndex < rowCount() - 1; }
    void setRowVisible(int index, bool visible);
    void showRow(int index) { setRowVisible(index, true); }
    void hideRow(int index) { setRowVisible(index, false); }
    void setAllRowsVisible(bool visible);

    int rowCount() const { return m_rows.count(); }
    int visibleRowCount() const { return m_rows.visibleCount(); }
    bool isEmpty() const { return m_rows.isEmpty(); }
    // Null for an index that is no row.
    UITableRow* row(int index) const;
    UIItemCell* cell(int row, int column) const;
    // -1 for null or a row of another table.
    int indexOfRow(const UITableRow* row) const;
    // The first visible row whose rectangle holds the point.
    UITableRow* rowAt(Point p, int* index = nullptr) const;
    // In that row, the first visible cell whose rectangle holds the point.
    UIItemCell* cellAt(Point p) const;
    UITableRow* rowById(std::int64_t id) const;
    // Data 0 finds nothing.
    UITableRow* rowByData(int data) const;
    int indexOfRowByData(int data) const;
    const std::vector<UITableRow*>& rows() const { return m_rows.items(); }
    int cellCount() const { return columnCount() * rowCount(); }
    int visibleCellCount() const { return columnCount() * visibleRowCount(); }
    // The height of the row's rectangle at the last paint.
    int rowHeightAt(int index) const;

    int currentRow() const { return m_currentIndex; }
    UITableRow* currentRowItem() const { return m_currentRow; }
    // 0 without a current row.
    int currentRowData() const;
    // A hidden row or -1 makes the current row none.
    void setCurrentRow(int index, bool scroll);
    void setCurrentRowAndSelect(int index);
    // Scrolls the view so that the row shows below the header; false when
    // nothing scrolled or the row was not placed by a paint.
    bool ensureRowVisible(int index);
    bool isRowOnScreen(int index) const;

    // ---- Columns (the header's sections) ----
    int columnCount() const;
    int columnAt(int x) const;
    String columnText(int i) const;
    void setColumnVisible(int i, bool visible);
    void showColumn(int i) { setColumnVisible(i, true); }
    void hideColumn(int i) { setColumnVisible(i, false); }
    bool isColumnVisible(int i) const;
    void setColumnWidth(int i, int width);
    int columnWidth(int i) const;
    UIHeader* header() const { return m_header; }
    // 0 while the header is hidden.
    int headerHeight() const;
    // The widest text or image of the column over the visible rows, with
    // the cells' margins; only rows wholly inside the table when asked.
    int columnContentWidth(int column, bool onlyWholeRows) const;
    // Every visible column but the last gets its content width.
    void resizeColumnsToContents(bool onlyWholeRows);

    // ---- Appearance and modes ----
    // At least 3; scaleFonts gives every font 0.7 of the height in pixels.
    void setRowHeight(int height, bool scaleFonts);
    int rowHeight() const { return m_style.rowHeight; }
    void setSortingEnabled(bool on) { m_sortingEnabled = on; }
    bool isSortingEnabled() const { return m_sortingEnabled; }
    SortOrder sortOrder() const { return m_sortOrder; }
    int sortColumn() const { return m_sortColumn; }
    void resetSortState();
    // The current row and the selection follow the pointer.
    void setHoverSelect(bool on) { m_hoverSelect = on; }
    bool hoverSelect() const { return m_hoverSelect; }
    void setSelectionVisible(bool on) { m_selectionVisible = on; }
    bool isSelectionVisible() const { return m_selectionVisible; }
    void setClearSelectionOnBlankClick(bool on) { m_clearSelectionOnBlankClick = on; }
    bool clearSelectionOnBlankClick() const { return m_clearSelectionOnBlankClick; }
    // While suspended, adding rows does not repaint and no row is painted.
    void setUpdatesSuspended(bool on);
    bool updatesSuspended() const { return m_updatesSuspended; }
    void setBlankText(const String& text);
    const String& blankText() const { return m_blankText; }
    void setBlankTextVisible(bool on);
    bool isBlankTextVisible() const { return m_blankTextVisible; }
    void setBlankImage(const Bitmap& image);
    const Bitmap& blankImage() const { return m_blankImage; }
    void setBlankImageVisible(bool on);
    bool isBlankImageVisible() const { return m_blankImageVisible; }

    // ---- Selection ----
    // Stores the mode only.
    void setSelectionMode(SelectionMode mode) { m_selectionMode = mode; }
    SelectionMode selectionMode() const { return m_selectionMode; }
    // SelectionFlag bits. Mode 1 selects the row alone; selectionChanged
    // once when anything changed, after the repaint.
    void selectRow(UITableRow* row, int flags);
    void selectRowAt(int index, int flags);
    void selectCurrentRow();
    void selectRowByData(int data);
    // Mode 2 only.
    void selectRows(const std::vector<UITableRow*>& rows, int flags);
    void selectAll();
    void clearSelection(bool repaint, bool emit);
    // The rubber band's rule: rows the rectangle touches are selected, the
    // others deselected unless Shift was held at the band's press.
    void selectRowsInRect(const Rect& r);
    bool hasSelection() const;
    int selectedCount() const;
    UITableRow* firstSelectedRow() const;
    std::vector<UITableRow*> selectedRows() const;
    bool isRowSelected(int index) const;

    // ---- Sorting ----
    // Stable; hidden rows first whatever the order. Ignored with fewer than
    // two rows, sorting off, an unsortable column, order 0 or a sort
    // already running.
    void sortByColumn(int column, SortOrder order);
    // Unsorted or descending sorts ascending, ascending sorts descending.
    void onSectionClicked(int column);

    bool isRubberBandActive() const { return m_band.active; }

    Size sizeHint() const override;
    // The room the rows and the visible columns need.
    Size minimumSizeHint() const override;
    void setContentOffset(int horizontal, int vertical) override;
    void setStyleProperty(const String& name, const String& value) override;
    void setStyleImage(const String& skinName, UISkin* skin) override;
    // The cell's own tip, else the text of a text cell that was shortened
    // or reaches outside the table.
    String toolTip(Point p) const override;

    // Paints one cell of a row on screen; subclasses may draw their own.
    virtual void drawCell(Graphics& g, UIPaintEvent* event, UIItemCell* cell, bool selected, bool odd,
                          bool enabled);

    // UITableRowOwner.
    void rowVisibilityChanged(UITableRow* row, bool hidden) override;
    void hiddenRowDeleted(UITableRow* row) override;

protected:
    void paintEvent(UIPaintEvent* event) override;
    void resizeEvent(UIResizeEvent* event) override;
    void keyPressEvent(UIKeyEvent* event) override;
    void mousePressEvent(UIMouseEvent* event) override;
    void mouseMoveEvent(UIMouseEvent* event) override;
    void mouseReleaseEvent(UIMouseEvent* event) override;
    void focusOutEvent(UIFocusEvent* event) override;

private:
    template <class View, class Item>
    friend void pressSelection(View& view, Item* item, int index, int anchor, const UIMouseEvent* event);

    struct Style {
        FontDesc font;
        Colour foreground;
        Brush background;
        Colour disabledForeground;
        Brush disabledBackground;
        Brush disabledAlternateRowBackground;
        Brush defaultRowBackground;
        Colour defaultRowForeground;
        Brush selectedRowBackground;
        Colour selectedRowForeground;
        Brush alternateRowBackground;
        Colour alternateRowForeground;
        bool drawRowGrid = false;
        bool drawColumnGrid = false;
        Colour blankForeground;
        Colour shadowBlankForeground;
        FontDesc blankFont;
        int rowHeight = 0;
        UISkin selectionRect;
        UISkin rowGrid;
        UISkin columnGrid;
    };

    // Where the last paint that walked the rows placed the visible rows:
    // their order then, the top of the first one, the row height and the
    // width; the rows' sequence keeps their order then.
    struct Placement {
        bool valid = false;
        int top = 0;
        int rowHeight = 0;
        int width = 0;
    };

    // UITable.cpp
    void onRowCountChanged();
    void onSectionResized();
    void onVisibleSectionCountChanged(int count);
    void relayout();
    void placeHeader();
    void linkRow(int index, UITableRow* row);
    void setCurrentPair(int index, UITableRow* row, bool scroll);
    void emitSelectionChange(bool changed, bool repaintFirst);
    void selectIndexRange(int lo, int hi);
    // What a press selects: pressSelection's side of the table.
    void selectPressed(UITableRow* row, int flags) { selectRow(row, flags); }
    void clearForPress() { clearSelection(false, false); }
    UIScrollArea* scrollArea() const;
    void scaleFonts(int height);

    // UITablePaint.cpp
    void forgetRow(UITableRow* row);
    Rect rowRect(UITableRow* row) const;
    Rect placedRect(int rank) const;
    void paintRows(Graphics& g, UIPaintEvent* event);
    void paintRow(Graphics& g, UIPaintEvent* event, UITableRow* row, int rank);
    void fillRow(Graphics& g, const UITableRow* row, const Rect& r, bool odd, bool enabled);
    bool paintBlank(Graphics& g);
    void paintColumnGrid(Graphics& g);
    std::vector<UITableRow*> rowsTouching(const Rect& r) const;
    // The ranks [first, last) to try for the screen.
    std::pair<int, int> ranksOnScreen() const;
    void considerHit(UITableRow* row, Point p, int& best) const;

    // UITableInput.cpp
    UIItemNavigation navigation() const;
    void moveCurrentAndSelect(int index);
    void stepRow(int direction);
    void pageBy(int direction, int probeY);
    void dragRubberBand(const UIMouseEvent* event);
    void hoverSelectAt(Point p);

    Style m_style;
    UIHeader* m_header = nullptr;
    UIItemSequence<UITableRow> m_rows;
    int m_currentIndex = -1;
    UITableRow* m_currentRow = nullptr;
    bool m_sortingEnabled = false;
    SortOrder m_sortOrder = Unsorted;
    int m_sortColumn = -1;
    bool m_hoverSelect = false;
    SelectionMode m_selectionMode = SingleSelection;
    String m_blankText;
    Bitmap m_blankImage;
    bool m_blankTextVisible = false;
    bool m_blankImageVisible = false;
    bool m_updatesSuspended = false;
    bool m_selectionVisible = true;
    bool m_clearSelectionOnBlankClick = true;
    UIRubberBand m_band;
    // setAllRowsVisible reports the visible count once, not per row.
    bool m_batchingVisibility = false;

    Placement m_placement;
    // The rows the last paint flagged as on screen.
    std::vector<UITableRow*> m_onScreen;
};
