#include "ui/widgets/UITable.h"

#include "ui/UIToolkitHooks.h"
#include "ui/widgets/UIPressSelection.h"
#include "ui/widgets/UIScrollArea.h"

namespace {

// Virtual-key codes; the keypad's digits act as the keys printed on them.
enum TableKey : int {
    KeyPageUp = 33,
    KeyPageDown = 34,
    KeyEnd = 35,
    KeyHome = 36,
    KeyUp = 38,
    KeyDown = 40,
    KeyA = 65,
    KeyPad1 = 97,
    KeyPad2 = 98,
    KeyPad3 = 99,
    KeyPad7 = 103,
    KeyPad8 = 104,
    KeyPad9 = 105,
};

} // namespace

// ---- Keys ----

void UITable::moveCurrentAndSelect(int index)
{
    clearSelection(false, true);
    setCurrentRowAndSelect(index);
}

void UITable::keyPressEvent(UIKeyEvent* event)
{
    if (isEmpty())
        return;
    const int last = rowCount() - 1;
    switch (event->key()) {
    case KeyUp:
    case KeyPad8:
        keyUp();
        break;
    case KeyDown:
    case KeyPad2:
        keyDown();
        break;
    case KeyHome:
    case KeyPad7:
        if (m_currentIndex != 0)
            moveCurrentAndSelect(0);
        break;
    case KeyEnd:
    case KeyPad1:
        if (m_currentIndex != last)
            moveCurrentAndSelect(last);
        break;
    case KeyPageUp:
    case KeyPad9:
        pageBy(-1, headerHeight() + 1);
        break;
    case KeyPageDown:
    case KeyPad3:
        pageBy(1, height() - 1);
        break;
    case KeyA:
        if (event->modifiers().testFlag(ControlModifier))
            selectAll();
        break;
    default:
        break;
    }
}

void UITable::keyUp()
{
    if (m_currentIndex > 0)
        moveCurrentAndSelect(m_currentIndex - 1);
    else if (m_currentIndex == 0 && !m_rows.items().front()->isOnScreen())
        ensureRowVisible(0);
}

void UITable::keyDown()
{
    const int last = rowCount() - 1;
    if (m_currentIndex < last)
        moveCurrentAndSelect(m_currentIndex + 1);
    else if (!m_rows.items().back()->isOnScreen())
        ensureRowVisible(last);
}

// One page of the view's vertical bar, then the row at probeY becomes
// current and selected alone.
void UITable::pageBy(int direction, int probeY)
{
    UIScrollArea* area = scrollArea();
    if (!area)
        return;
    UIScrollBar* bar = area->verticalScrollBar();
    bar->setValue(bar->value() + direction * bar->pageStep());
    int index = -1;
    if (!rowAt(Point{0, probeY}, &index) || index == m_currentIndex)
        return;
    setCurrentRow(index, true);
    clearSelection(false, true);
    selectCurrentRow();
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
