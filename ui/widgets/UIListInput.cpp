#include "ui/widgets/UIList.h"

#include "ui/widgets/UIPressSelection.h"
#include "ui/widgets/UIScrollArea.h"
#include "ui/widgets/UIToolTip.h"

namespace {

// Virtual-key codes; the keypad's digits act as the keys printed on them.
enum ListKey : int {
    KeyPageUp = 33,
    KeyPageDown = 34,
    KeyEnd = 35,
    KeyHome = 36,
    KeyLeft = 37,
    KeyUp = 38,
    KeyRight = 39,
    KeyDown = 40,
    KeyA = 65,
    KeyPad1 = 97,
    KeyPad2 = 98,
    KeyPad3 = 99,
    KeyPad4 = 100,
    KeyPad6 = 102,
    KeyPad7 = 103,
    KeyPad8 = 104,
    KeyPad9 = 105,
};

} // namespace

// ---- Keys ----

void UIList::moveCurrentAndSelect(int index)
{
    clearSelection();
    setCurrentItemAndSelect(index);
}

void UIList::keyPressEvent(UIKeyEvent* event)
{
    if (isEmpty())
        return;
    const int last = count() - 1;
    const bool iconMode = m_viewMode == IconMode;
    switch (event->key()) {
    case KeyPageUp:
    case KeyPad9:
        pageBy(-1, 1);
        break;
    case KeyPageDown:
    case KeyPad3:
        pageBy(1, height() - 1);
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
    case KeyLeft:
    case KeyPad4:
        previousItem();
        break;
    case KeyRight:
    case KeyPad6:
        nextItem();
        break;
    case KeyUp:
    case KeyPad8:
        iconMode ? rowUp() : previousItem();
        break;
    case KeyDown:
    case KeyPad2:
        iconMode ? rowDown() : nextItem();
        break;
    case KeyA:
        if (event->modifiers().testFlag(ControlModifier))
            selectAll();
        break;
    default:
        break;
    }
}

void UIList::previousItem()
{
    if (m_currentIndex >= 1)
        moveCurrentAndSelect(m_currentIndex - 1);
    else if (m_wrapAround)
        moveCurrentAndSelect(count() - 1);
}

void UIList::nextItem()
{
    const int last = count() - 1;
    if (m_currentIndex < last)
        moveCurrentAndSelect(m_currentIndex + 1);
    else if (m_wrapAround)
        moveCurrentAndSelect(0);
}

void UIList::rowUp()
{
    if (m_currentIndex <= 0) {
        if (m_wrapAround)
            moveCurrentAndSelect(count() - 1);
        return;
    }
    const int target = m_currentIndex - columnCount();
    if (target >= 0)
        moveCurrentAndSelect(target);
}

void UIList::rowDown()
{
    const int last = count() - 1;
    if (m_currentIndex == last) {
        if (m_wrapAround)
            moveCurrentAndSelect(0);
        return;
    }
    const int target = m_currentIndex + columnCount();
    if (target <= last)
        moveCurrentAndSelect(target);
}

// One page of the view's vertical bar, then the item at (0, probeY)
// becomes current and selected alone.
void UIList::pageBy(int direction, int probeY)
{
    UIScrollArea* area = scrollArea();
    if (!area)
        return;
    direction < 0 ? area->pageUp() : area->pageDown();
    int index = -1;
    if (!itemAt(Point{0, probeY}, &index) || index == m_currentIndex)
        return;
    setCurrentItem(index, true);
    m_items.selectAll(false);
    selectCurrentItem();
}

// ---- Mouse ----

void UIList::mousePressEvent(UIMouseEvent* event)
{
    UIToolTip::hideFor(this);
    const int anchor = m_currentIndex;
    int index = -1;
    UIListItem* hit = itemAt(event->position(), &index);
    const bool shift = event->modifiers().testFlag(ShiftModifier);
    if (!shift && (hit || m_clearSelectionOnBlankClick))
        setCurrentItem(index, true);
    if (hit) {
        pressSelection(*this, hit, index, anchor, event);
        return;
    }
    if (m_clearSelectionOnBlankClick && !shift)
        clearSelection();
    if (m_selectionMode == MultiSelection && event->buttons().testFlag(LeftButton) && !m_band.active)
        m_band.start(this, event);
}

void UIList::mouseMoveEvent(UIMouseEvent* event)
{
    if (m_band.active) {
        if (event->buttons().testFlag(LeftButton))
            dragRubberBand(event);
        return;
    }
    if (m_hoverSelect)
        hoverSelectAt(event->position());
}

void UIList::dragRubberBand(const UIMouseEvent* event)
{
    const Point p = event->position();
    if (!m_band.follow(this, p))
        return;
    // An item past the edge scrolls into sight while the band is dragged there.
    int index = -1;
    if (itemAt(p, &index))
        ensureItemVisible(index);
    selectItemsInRect(m_band.rect);
}

void UIList::mouseReleaseEvent(UIMouseEvent*)
{
    m_band.end(this);
}

void UIList::focusOutEvent(UIFocusEvent*)
{
    m_band.end(this);
}

void UIList::hoverSelectAt(Point p)
{
    int index = -1;
    UIListItem* hovered = itemAt(p, &index);
    if (!hovered)
        return;
    setCurrentItem(index, true);
    if (hovered->isSelected())
        return;
    m_items.selectAll(false);
    selectItem(hovered, SelectFlag | RepaintFlag);
}

void UIList::leaveEvent(UIMouseEvent*)
{
    if (!m_hoverSelect)
        return;
    setCurrentItem(-1, false);
    clearSelection();
}
