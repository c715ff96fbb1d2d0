#pragma once

// A figure taken in a process of its own, where no memory an earlier figure
// freed can be taken again unseen.

#include <windows.h>

#include <cstdio>
#include <string>

// Runs this program again with the arguments, its output going where ours
// goes, and waits for it to end.
inline void runSelf(const std::wstring& arguments)
{
    wchar_t self[MAX_PATH];
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    std::wstring command = L"\"" + std::wstring(self) + L"\" " + arguments;
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    std::fflush(stdout);
    if (!CreateProcessW(nullptr, command.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup, &process))
        return;
    WaitForSingleObject(process.hProcess, INFINITE);
    CloseHandle(process.hProcess);
    CloseHandle(process.hThread);
}
