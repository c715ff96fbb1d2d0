#include "ui/widgets/UIList.h"

#include "ui/widgets/UIItemNavigation.h"
#include "ui/widgets/UIPressSelection.h"
#include "ui/widgets/UIScrollArea.h"
#include "ui/widgets/UIToolTip.h"

// ---- Keys ----

UIItemNavigation UIList::navigation() const
{
    return UIItemNavigation(count(), m_currentIndex, [this](int index) { return isUsable(item(index)); });
}

// Clears the selection, makes the item current and selects it; nothing
// for -1 or the current item.
void UIList::moveCurrentAndSelect(int index)
{
    if (index < 0 || index == m_currentIndex)
        return;
    clearSelection();
    setCurrentItemAndSelect(index);
}

void UIList::keyPressEvent(UIKeyEvent* event)
{
    if (isEmpty())
        return;
    const bool iconMode = m_viewMode == IconMode;
    switch (navigationKeyOf(event->key(), event->modifiers())) {
    case NavigationKey::PageUp:
        pageBy(-1, 1);
        break;
    case NavigationKey::PageDown:
        pageBy(1, height() - 1);
        break;
    case NavigationKey::Home:
        moveCurrentAndSelect(navigation().first());
        break;
    case NavigationKey::End:
        moveCurrentAndSelect(navigation().last());
        break;
    case NavigationKey::Left:
        stepItem(-1);
        break;
    case NavigationKey::Right:
        stepItem(1);
        break;
    case NavigationKey::Up:
        iconMode ? stepRow(-1) : stepItem(-1);
        break;
    case NavigationKey::Down:
        iconMode ? stepRow(1) : stepItem(1);
        break;
    case NavigationKey::SelectAll:
        selectAll();
        break;
    case NavigationKey::None:
        break;
    }
}

// The previous or next item that can be current; past the end, the far
// end's when wrapping round.
void UIList::stepItem(int direction)
{
    const UIItemNavigation items = navigation();
    int target = items.next(direction);
    if (target < 0 && m_wrapAround)
        target = direction > 0 ? items.first() : items.last();
    moveCurrentAndSelect(target);
}

// Icon mode: the item one row up or down, or the nearest beyond it that
// can be current. Wrapping round happens only from the end itself.
void UIList::stepRow(int direction)
{
    const UIItemNavigation items = navigation();
    if (items.next(direction) < 0) {
        stepItem(direction);
        return;
    }
    const int target = m_currentIndex + direction * columnCount();
    moveCurrentAndSelect(items.from(target, direction));
}

// One page of the view's vertical bar, then the item at (0, probeY), or
// the nearest that can be current, becomes current and selected alone.
void UIList::pageBy(int direction, int probeY)
{
    UIScrollArea* area = scrollArea();
    if (!area)
        return;
    direction < 0 ? area->pageUp() : area->pageDown();
    int index = -1;
    if (itemAt(Point{0, probeY}, &index))
        moveCurrentAndSelect(navigation().nearest(index, direction));
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
