#pragma once

// Real pointer input for widget tests: the pointer is put where the message
// says, since widgets read the cursor position as well as the message.

#include "tests/ui/WindowTesting.h"

#include <windows.h>

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
