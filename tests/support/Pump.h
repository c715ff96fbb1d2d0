#pragma once

// Pumps the thread's messages through an event loop until a condition
// holds, for tests that wait on posted events, threads or timers.

#include "foundation/EventLoop.h"

#include <windows.h>

#include <functional>

// Handles the messages waiting now, without blocking; true when there
// were any.
inline bool pumpPending()
{
    EventLoop loop;
    return loop.processEvents();
}

// True when the condition held before the time ran out.
inline bool pumpUntil(const std::function<bool()>& condition, DWORD timeoutMs = 5000)
{
    const DWORD start = GetTickCount();
    while (!condition()) {
        if (GetTickCount() - start > timeoutMs)
            return false;
        pumpPending();
        Sleep(1);
    }
    return true;
}
