#pragma once

// Keyboard navigation shared by the item views (the items table, the list
// view): what a key asks for, and which item it moves the current one to.
// A key steps over items that cannot be current (hidden, disabled,
// separators) in its own direction and stays put at the ends, so no item
// that cannot be current traps the keys.

#include "foundation/Event.h"

#include <functional>
#include <utility>

enum class NavigationKey {
    None,
    PageUp,
    PageDown,
    Home,
    End,
    Left,
    Right,
    Up,
    Down,
    SelectAll,
};

// Virtual-key codes; the keypad's digits act as the keys printed on them.
// Ctrl+A selects all.
NavigationKey navigationKeyOf(int virtualKey, KeyboardModifiers modifiers);

// The items of a view as the keys see them: how many, which one is current
// (-1: none) and which can become current.
class UIItemNavigation {
public:
    UIItemNavigation(int count, int current, std::function<bool(int)> canBeCurrent)
        : m_count(count), m_current(current), m_canBeCurrent(std::move(canBeCurrent))
    {
    }

    // The first or last item that can be current; -1 when none can.
    int first() const { return from(0, 1); }
    int last() const { return from(m_count - 1, -1); }
    // The nearest item that can be current beyond the current one in the
    // direction (1 or -1), from the first or last item when none is
    // current; -1 at that end.
    int next(int direction) const;
    // The item at index or the nearest one that can be current in the
    // direction, else against it; -1 when none can be current.
    int nearest(int index, int direction) const;
    // The first item from index on, in steps of one in the direction, that
    // can be current; -1 when the walk leaves the items.
    int from(int index, int direction) const;

private:
    int m_count;
    int m_current;
    std::function<bool(int)> m_canBeCurrent;
};
