#include "ui/widgets/UIItemNavigation.h"

#include <windows.h>

namespace {

// Each key with the keypad digit printed with it.
struct KeyAction {
    int key;
    int keypadKey;
    NavigationKey action;
};

constexpr KeyAction keyActions[] = {
    {VK_PRIOR, VK_NUMPAD9, NavigationKey::PageUp}, {VK_NEXT, VK_NUMPAD3, NavigationKey::PageDown},
    {VK_HOME, VK_NUMPAD7, NavigationKey::Home},    {VK_END, VK_NUMPAD1, NavigationKey::End},
    {VK_LEFT, VK_NUMPAD4, NavigationKey::Left},    {VK_RIGHT, VK_NUMPAD6, NavigationKey::Right},
    {VK_UP, VK_NUMPAD8, NavigationKey::Up},        {VK_DOWN, VK_NUMPAD2, NavigationKey::Down},
};

} // namespace

NavigationKey navigationKeyOf(int virtualKey, KeyboardModifiers modifiers)
{
    if (virtualKey == 'A')
        return modifiers.testFlag(ControlModifier) ? NavigationKey::SelectAll : NavigationKey::None;
    for (const KeyAction& k : keyActions) {
        if (virtualKey == k.key || virtualKey == k.keypadKey)
            return k.action;
    }
    return NavigationKey::None;
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
