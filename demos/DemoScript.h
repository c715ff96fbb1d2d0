#pragma once

// What the demos share to drive themselves unattended under Xvfb.

#include "foundation/Application.h"
#include "ui/UIWidget.h"

#include <windows.h>

#include <cwchar>

// Posts a left click at (x, y) of the window's client area, as a user would.
inline void clickAt(UIWidget* window, int x, int y)
{
    const HWND hwnd = static_cast<HWND>(window->nativeHandle());
    PostMessageW(hwnd, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, y));
    PostMessageW(hwnd, WM_LBUTTONUP, 0, MAKELPARAM(x, y));
}

// Runs the application; with --script, step runs every half second.
inline int runDemo(Application& application, int argc, wchar_t** argv, TIMERPROC step)
{
    if (argc > 1 && wcscmp(argv[1], L"--script") == 0)
        SetTimer(nullptr, 0, 500, step);
    return application.run();
}
