#include "ui/widgets/UITable.h"

#include "ui/UIToolkitHooks.h"
#include "ui/widgets/UIItemNavigation.h"
#include "ui/widgets/UIPressSelection.h"
#include "ui/widgets/UIScrollArea.h"

// ---- Keys ----

UIItemNavigation UITable::navigation() const
{
    return UIItemNavigation(rowCount(), m_currentIndex, [this](int index) { return row(index)->isVisible(); });
}

// Clears the selection, makes the row current and selects it; nothing for
// -1 or the current row.
void UITable::moveCurrentAndSelect(int index)
{
    if (index < 0 || index == m_currentIndex)
        return;
    clearSelection(false, true);
    setCurrentRowAndSelect(index);
}

void UITable::keyPressEvent(UIKeyEvent* event)
{
    if (isEmpty())
        return;
    switch (navigationKeyOf(event->key(), event->modifiers())) {
    case NavigationKey::Up:
        stepRow(-1);
        break;
    case NavigationKey::Down:
        stepRow(1);
        break;
    case NavigationKey::Home:
        moveCurrentAndSelect(navigation().first());
        break;
    case NavigationKey::End:
        moveCurrentAndSelect(navigation().last());
        break;
    case NavigationKey::PageUp:
        pageBy(-1, headerHeight() + 1);
        break;
    case NavigationKey::PageDown:
        pageBy(1, height() - 1);
        break;
    case NavigationKey::SelectAll:
        selectAll();
        break;
    default:
        break;
    }
}

// The nearest visible row above or below; at that end the current row
// only comes back into sight when the view has left it.
void UITable::stepRow(int direction)
{
    const int target = navigation().next(direction);
    if (target >= 0)
        moveCurrentAndSelect(target);
    else if (m_currentRow && !m_currentRow->isOnScreen())
        ensureRowVisible(m_currentIndex);
}

// One page of the view's vertical bar, then the row at probeY becomes
// current and selected alone.
void UITable::pageBy(int direction, int probeY)
{
    UIScrollArea* area = scrollArea();
    if (!area)
        return;
    direction < 0 ? area->pageUp() : area->pageDown();
    int index = -1;
    if (rowAt(Point{0, probeY}, &index))
        moveCurrentAndSelect(index);
}

// ---- Mouse ----

void UITable::mousePressEvent(UIMouseEvent* event)
{
    toolkitHooks().hideToolTipFor(this);
    const int anchor = m_currentIndex;
    int index = -1;
    UITableRow* hit = rowAt(event->position(), &index);
    const bool shift = event->modifiers().testFlag(ShiftModifier);
    if (!shift && (hit || m_clearSelectionOnBlankClick))
        setCurrentRow(index, true);
    if (m_selectionMode == MultiSelection && event->buttons().testFlag(LeftButton) && !m_band.active)
        m_band.start(this, event);
    if (hit)
        pressSelection(*this, hit, index, anchor, event);
    else if (m_clearSelectionOnBlankClick && !shift)
        clearSelection(true, true);
}

void UITable::mouseMoveEvent(UIMouseEvent* event)
{
    if (m_band.active && event->buttons().testFlag(LeftButton)) {
        dragRubberBand(event);
        return;
    }
    if (m_hoverSelect)
        hoverSelectAt(event->position());
}

void UITable::dragRubberBand(const UIMouseEvent* event)
{
    const Point p = event->position();
    if (!m_band.follow(this, p))
        return;
    // A row past the edge scrolls into sight while the band is dragged there.
    int index = -1;
    if (rowAt(p, &index))
        ensureRowVisible(index);
    selectRowsInRect(m_band.rect);
}

void UITable::mouseReleaseEvent(UIMouseEvent*)
{
    m_band.end(this);
}

void UITable::focusOutEvent(UIFocusEvent*)
{
    m_band.end(this);
}

void UITable::hoverSelectAt(Point p)
{
    int index = -1;
    UITableRow* hovered = rowAt(p, &index);
    if (!hovered)
        return;
    setCurrentRow(index, true);
    if (hovered->isSelected())
        return;
    clearSelection(false, true);
    selectRow(hovered, SelectFlag | RepaintFlag);
}
