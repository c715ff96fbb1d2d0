#pragma once

// What the demos share to drive themselves unattended under Xvfb.

#include "foundation/Application.h"
#include "ui/UIWidget.h"

#include <windows.h>

#include <cwchar>

// Posts a pointer message at p of the window's client area, with the
// buttons held (MK_ bits), as a user's mouse would.
inline void postPointer(UIWidget* window, UINT message, WPARAM buttons, Point p)
{
    PostMessageW(static_cast<HWND>(window->nativeHandle()), message, buttons, MAKELPARAM(p.x, p.y));
}

// Posts a left click at (x, y) of the window's client area, as a user would.
inline void clickAt(UIWidget* window, int x, int y)
{
    postPointer(window, WM_LBUTTONDOWN, MK_LBUTTON, Point(x, y));
    postPointer(window, WM_LBUTTONUP, 0, Point(x, y));
}

// Runs the application; with --script, step runs every half second.
inline int runDemo(Application& application, int argc, wchar_t** argv, TIMERPROC step)
{
    if (argc > 1 && wcscmp(argv[1], L"--script") == 0)
        SetTimer(nullptr, 0, 500, step);
    return application.run();
}
