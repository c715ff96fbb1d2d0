#include "ui/widgets/UIItemNavigation.h"

namespace {

enum NavigationVirtualKey : int {
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

NavigationKey navigationKeyOf(int virtualKey, KeyboardModifiers modifiers)
{
    switch (virtualKey) {
    case KeyPageUp:
    case KeyPad9:
        return NavigationKey::PageUp;
    case KeyPageDown:
    case KeyPad3:
        return NavigationKey::PageDown;
    case KeyHome:
    case KeyPad7:
        return NavigationKey::Home;
    case KeyEnd:
    case KeyPad1:
        return NavigationKey::End;
    case KeyLeft:
    case KeyPad4:
        return NavigationKey::Left;
    case KeyRight:
    case KeyPad6:
        return NavigationKey::Right;
    case KeyUp:
    case KeyPad8:
        return NavigationKey::Up;
    case KeyDown:
    case KeyPad2:
        return NavigationKey::Down;
    case KeyA:
        return modifiers.testFlag(ControlModifier) ? NavigationKey::SelectAll : NavigationKey::None;
    default:
        return NavigationKey::None;
    }
}

int UIItemNavigation::next(int direction) const
{
    if (m_current < 0)
        return direction > 0 ? first() : -1;
    return from(m_current + direction, direction);
}

int UIItemNavigation::nearest(int index, int direction) const
{
    const int ahead = from(index, direction);
    return ahead >= 0 ? ahead : from(index - direction, -direction);
}

int UIItemNavigation::from(int index, int direction) const
{
    for (int i = index; i >= 0 && i < m_count; i += direction) {
        if (m_canBeCurrent(i))
            return i;
    }
    return -1;
}
