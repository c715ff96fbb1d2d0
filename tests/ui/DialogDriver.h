#pragma once

// Drives the system's own dialogs (file dialogs, message boxes) that a
// test opens on its thread and that run their own message loop.

#include <windows.h>

#include <functional>
#include <string>

// Runs an action on this thread's system dialog once it shows, from a
// timer that ticks inside the dialog's own message loop.
class DialogDriver {
public:
    explicit DialogDriver(std::function<void(HWND)> action)
    {
        s_action = std::move(action);
        m_timer = SetTimer(nullptr, 0, 50, tick);
    }
    ~DialogDriver() { KillTimer(nullptr, m_timer); }

private:
    static void CALLBACK tick(HWND, UINT, UINT_PTR, DWORD)
    {
        HWND dialog = nullptr;
        EnumThreadWindows(
            GetCurrentThreadId(),
            [](HWND window, LPARAM found) {
                wchar_t name[16] = {};
                GetClassNameW(window, name, 16);
                if (std::wstring(name) != L"#32770" || !IsWindowVisible(window))
                    return TRUE;
                *reinterpret_cast<HWND*>(found) = window;
                return FALSE;
            },
            reinterpret_cast<LPARAM>(&dialog));
        if (!dialog || !s_action)
            return;
        auto action = std::move(s_action);
        s_action = nullptr;
        action(dialog);
    }

    static inline std::function<void(HWND)> s_action;
    UINT_PTR m_timer;
};
