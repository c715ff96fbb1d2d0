#pragma once

// A program the test starts as a process of its own. One that still runs
// when the object goes is ended by force, so that a failing test neither
// leaves it behind nor lets it write anything more.

#include <windows.h>

#include <string>
#include <vector>

class ChildProcess {
public:
    ChildProcess(const std::wstring& program, const std::wstring& arguments)
    {
        std::wstring commandLine = L"\"" + program + L"\" " + arguments;
        STARTUPINFOW startup = {};
        startup.cb = sizeof(startup);
        m_started = CreateProcessW(program.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                                   &startup, &m_info) != FALSE;
        m_error = m_started ? 0 : GetLastError();
    }
    ~ChildProcess()
    {
        if (!m_started)
            return;
        TerminateProcess(m_info.hProcess, 0);
        WaitForSingleObject(m_info.hProcess, INFINITE);
        CloseHandle(m_info.hThread);
        CloseHandle(m_info.hProcess);
    }
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    bool started() const { return m_started; }
    // Why it did not start.
    DWORD error() const { return m_error; }
    DWORD id() const { return m_info.dwProcessId; }

    // Its top-level windows with a title bar, shown or not.
    std::vector<HWND> titledWindows() const
    {
        std::pair<DWORD, std::vector<HWND>> search{m_info.dwProcessId, {}};
        EnumWindows(collectTitled, reinterpret_cast<LPARAM>(&search));
        return search.second;
    }

    // The exit code, or STILL_ACTIVE when the process outlives the wait.
    DWORD exitCode(DWORD waitMs) const
    {
        WaitForSingleObject(m_info.hProcess, waitMs);
        DWORD code = STILL_ACTIVE;
        GetExitCodeProcess(m_info.hProcess, &code);
        return code;
    }

private:
    static BOOL CALLBACK collectTitled(HWND window, LPARAM parameter)
    {
        auto* search = reinterpret_cast<std::pair<DWORD, std::vector<HWND>>*>(parameter);
        DWORD processId = 0;
        GetWindowThreadProcessId(window, &processId);
        if (processId == search->first && (GetWindowLongW(window, GWL_STYLE) & WS_CAPTION) == WS_CAPTION)
            search->second.push_back(window);
        return TRUE;
    }

    PROCESS_INFORMATION m_info = {};
    bool m_started = false;
    DWORD m_error = 0;
};
