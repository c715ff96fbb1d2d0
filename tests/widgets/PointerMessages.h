#pragma once

// Real pointer and key input for widget tests: the pointer is put where the
// message says, since widgets read the cursor position as well as the
// message; modifiers are held in the thread's key state.

#include "tests/ui/WindowTesting.h"

#include <windows.h>

#include <vector>

// Holds keys down in the thread's key state while it lives, so the window
// procedure reads them with the pointer and key messages.
class HeldModifiers {
public:
    explicit HeldModifiers(KeyboardModifiers modifiers)
    {
        GetKeyboardState(m_saved);
        BYTE state[256] = {};
        // The key translator reads the left and right keys.
        if (modifiers.testFlag(ShiftModifier))
            state[VK_SHIFT] = state[VK_LSHIFT] = 0x80;
        if (modifiers.testFlag(ControlModifier))
            state[VK_CONTROL] = state[VK_LCONTROL] = 0x80;
        // The right Alt: with the left Ctrl it is what AltGr sends.
        if (modifiers.testFlag(AltModifier))
            state[VK_MENU] = state[VK_RMENU] = 0x80;
        SetKeyboardState(state);
    }
    ~HeldModifiers() { SetKeyboardState(m_saved); }
    HeldModifiers(const HeldModifiers&) = delete;
    HeldModifiers& operator=(const HeldModifiers&) = delete;

private:
    BYTE m_saved[256] = {};
};

// Moves the pointer to the window's client point, sends the mouse message
// there and pumps until the posted events are delivered.
inline void sendPointerMessage(const UIWidget& window, UINT message, WPARAM keys, Point client)
{
    POINT screen = {client.x, client.y};
    ClientToScreen(hwndOf(&window), &screen);
    SetCursorPos(screen.x, screen.y);
    SendMessageW(hwndOf(&window), message, keys, MAKELPARAM(client.x, client.y));
    pumpUntil([] { return !pumpPending(); }, 500);
}

// A real click at the centre of the target (a widget in the window): the
// pointer moves there, then the button goes down and up. The down message
// names the button: WM_LBUTTONDOWN or WM_RBUTTONDOWN.
inline void clickCentre(const UIWidget& window, const UIWidget& target, UINT down = WM_LBUTTONDOWN,
                        UINT up = WM_LBUTTONUP)
{
    const Point p = target.mapToWindow(target.rect().center());
    sendPointerMessage(window, WM_MOUSEMOVE, 0, p);
    sendPointerMessage(window, down, down == WM_LBUTTONDOWN ? MK_LBUTTON : MK_RBUTTON, p);
    sendPointerMessage(window, up, 0, p);
}

// Makes the window active and gives the target the focus, where real keys
// go.
inline bool focusForKeys(UIWidget& window, UIWidget& target)
{
    window.activateWindow();
    if (!pumpUntil([&] { return window.isActiveWindow(); }, 2000))
        return false;
    target.setFocus();
    return target.hasFocus();
}

// A real key stroke through the window procedure with the modifiers held:
// the key goes down (followed by the character it types, when one is
// given) and up, then the posted events are delivered.
inline void sendKeyStroke(const UIWidget& window, int virtualKey, KeyboardModifiers modifiers = NoModifier,
                          wchar_t typed = 0)
{
    const HeldModifiers held(modifiers);
    const HWND hwnd = hwndOf(&window);
    const LPARAM scan = LPARAM(MapVirtualKeyW(UINT(virtualKey), MAPVK_VK_TO_VSC)) << 16;
    if (typed)
        PostMessageW(hwnd, WM_CHAR, WPARAM(typed), scan | 1);
    SendMessageW(hwnd, WM_KEYDOWN, WPARAM(virtualKey), scan | 1);
    SendMessageW(hwnd, WM_KEYUP, WPARAM(virtualKey), scan | 1 | (LPARAM(3) << 30));
    pumpUntil([] { return !pumpPending(); }, 500);
}

// Characters typed as the system's input packets (as an input method or
// the emoji panel types them), through the input queue to the focused
// window: a key-down and a key-up per UTF-16 unit.
inline void typeInput(const String& text)
{
    std::vector<INPUT> inputs(std::size_t(text.length()) * 2);
    for (std::size_t i = 0; i < inputs.size(); ++i) {
        inputs[i].type = INPUT_KEYBOARD;
        inputs[i].ki = {0, WORD(text.at(int(i / 2))), DWORD(KEYEVENTF_UNICODE | (i % 2 ? KEYEVENTF_KEYUP : 0)), 0, 0};
    }
    SendInput(UINT(inputs.size()), inputs.data(), sizeof(INPUT));
    pumpUntil([] { return !pumpPending(); }, 500);
}
