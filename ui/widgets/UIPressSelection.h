#pragma once

// pressSelection: how a press on an item changes the selection of an item
// view (the items table, the list view). Single selection selects the item
// alone. Multiple selection: Shift selects from the anchor (the item that
// was current before the press) to the item, Ctrl selects an unselected
// item, and a plain press selects the item alone, except that a press on a
// selected item keeps the selection when it is the only one or the press
// is a right one (kept for a context menu).
//
// The view provides selectionMode(), selectedCount(), selectIndexRange(lo,
// hi), selectPressed(item, flags) and clearForPress().

#include "foundation/Event.h"

#include <algorithm>

template <class View, class Item>
void pressSelection(View& view, Item* item, int index, int anchor, const UIMouseEvent* event)
{
    if (view.selectionMode() == View::SingleSelection) {
        view.selectPressed(item, View::SelectFlag | View::RepaintFlag);
        return;
    }
    if (view.selectionMode() != View::MultiSelection)
        return;
    const KeyboardModifiers modifiers = event->modifiers();
    if (modifiers.testFlag(ShiftModifier)) {
        const int lo = std::min(anchor, index);
        const int hi = std::max(anchor, index);
        if (hi - lo >= 1) {
            view.selectIndexRange(lo, hi);
            return;
        }
        view.clearForPress();
        view.selectPressed(item, View::SelectFlag | View::RepaintFlag);
        return;
    }
    if (modifiers.testFlag(ControlModifier)) {
        view.selectPressed(item, item->isSelected() ? View::RepaintFlag : View::SelectFlag | View::RepaintFlag);
        return;
    }
    if (item->isSelected() && (view.selectedCount() < 2 || event->button() == RightButton))
        return;
    view.clearForPress();
    view.selectPressed(item, View::SelectFlag | View::RepaintFlag);
}
