#include "foundation/Application.h"

#include "tests/support/Pump.h"
#include "tests/support/ShellFolders.h"
#include "tests/ui/WindowTesting.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <string>

namespace {

// The built program, started as a process of its own; ended by force if
// it still runs when the object goes, so that it writes nothing.
class ProgramProcess {
public:
    explicit ProgramProcess(const wchar_t* arguments)
    {
        const std::wstring program = wide(Application::instance()->applicationDirectory()) + L"\\..\\Kestrola.exe";
        std::wstring commandLine = L"\"" + program + L"\" " + arguments;
        STARTUPINFOW startup = {};
        startup.cb = sizeof(startup);
        m_started = CreateProcessW(program.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                                   &startup, &m_info);
        m_error = m_started ? 0 : GetLastError();
    }
    ~ProgramProcess()
    {
        if (!m_started)
            return;
        TerminateProcess(m_info.hProcess, 0);
        WaitForSingleObject(m_info.hProcess, INFINITE);
        CloseHandle(m_info.hThread);
        CloseHandle(m_info.hProcess);
    }
    ProgramProcess(const ProgramProcess&) = delete;
    ProgramProcess& operator=(const ProgramProcess&) = delete;

    bool started() const { return m_started; }
    // Why it did not start.
    DWORD error() const { return m_error; }
    DWORD id() const { return m_info.dwProcessId; }

    // The exit code, or STILL_ACTIVE when the process outlives the wait.
    DWORD exitCode(DWORD waitMilliseconds) const
    {
        WaitForSingleObject(m_info.hProcess, waitMilliseconds);
        DWORD code = STILL_ACTIVE;
        GetExitCodeProcess(m_info.hProcess, &code);
        return code;
    }

private:
    PROCESS_INFORMATION m_info = {};
    bool m_started = false;
    DWORD m_error = 0;
};

struct WindowSearch {
    DWORD processId;
    HWND found;
};

BOOL CALLBACK findMainWindow(HWND window, LPARAM parameter)
{
    auto* search = reinterpret_cast<WindowSearch*>(parameter);
    DWORD processId = 0;
    GetWindowThreadProcessId(window, &processId);
    wchar_t title[64] = {};
    GetWindowTextW(window, title, 64);
    if (processId != search->processId || std::wstring(title) != L"Kestrola" ||
        !(GetWindowLongW(window, GWL_STYLE) & WS_CAPTION))
        return TRUE;
    search->found = window;
    return FALSE;
}

// The program's main window (titled with the product name), or null.
HWND mainWindowOf(const ProgramProcess& process)
{
    WindowSearch search{process.id(), nullptr};
    EnumWindows(findMainWindow, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

} // namespace

// Two real processes: the second start ends at once with -1 and the first,
// started hidden in the notification area, shows its main window.
TEST(SingleInstance, SecondStartEndsWithMinusOneAndBringsTheFirstForward)
{
    ensureTestApplication();
    const OwnUserFolders userFolders;
    // Only keeps a program that never gets there from hanging the run.
    constexpr DWORD guardMs = 120000;
    ProgramProcess first(L"-autorun");
    ASSERT_TRUE(first.started()) << first.error();
    HWND window = nullptr;
    ASSERT_TRUE(pumpUntil([&] { return (window = mainWindowOf(first)) != nullptr; }, guardMs));
    EXPECT_FALSE(IsWindowVisible(window));

    ProgramProcess second(L"");
    ASSERT_TRUE(second.started()) << second.error();
    EXPECT_EQ(second.exitCode(guardMs), static_cast<DWORD>(-1));
    EXPECT_TRUE(pumpUntil([&] { return IsWindowVisible(window) != FALSE; }, guardMs));
    EXPECT_EQ(first.exitCode(0), STILL_ACTIVE);
}
