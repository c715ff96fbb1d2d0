#pragma once

// Pumps the thread's messages through an event loop until a condition
// holds, for tests that wait on posted events, threads or timers.

#include "foundation/EventLoop.h"

#include <windows.h>

#include <functional>

// True when the condition held before the time ran out.
inline bool pumpUntil(const std::function<bool()>& condition, DWORD timeoutMs = 5000)
{
    const DWORD start = GetTickCount();
    while (!condition()) {
        if (GetTickCount() - start > timeoutMs)
            return false;
        EventLoop loop;
        loop.processEvents();
        Sleep(1);
    }
    return true;
}
