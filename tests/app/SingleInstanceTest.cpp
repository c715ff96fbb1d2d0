#include "foundation/Application.h"

#include "tests/support/ChildProcess.h"
#include "tests/support/Pump.h"
#include "tests/support/ShellFolders.h"
#include "tests/ui/WindowTesting.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <string>

namespace {

// The built program, started as a process of its own.
ChildProcess startProgram(const wchar_t* arguments)
{
    return ChildProcess(wide(Application::instance()->applicationDirectory()) + L"\\..\\Kestrola.exe", arguments);
}

// The program's main window (titled with the product name), or null.
HWND mainWindowOf(const ChildProcess& process)
{
    for (HWND window : process.titledWindows()) {
        wchar_t title[64] = {};
        GetWindowTextW(window, title, 64);
        if (std::wstring(title) == L"Kestrola")
            return window;
    }
    return nullptr;
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
    const ChildProcess first = startProgram(L"-autorun");
    ASSERT_TRUE(first.started()) << first.error();
    HWND window = nullptr;
    ASSERT_TRUE(pumpUntil([&] { return (window = mainWindowOf(first)) != nullptr; }, guardMs));
    EXPECT_FALSE(IsWindowVisible(window));

    const ChildProcess second = startProgram(L"");
    ASSERT_TRUE(second.started()) << second.error();
    EXPECT_EQ(second.exitCode(guardMs), static_cast<DWORD>(-1));
    EXPECT_TRUE(pumpUntil([&] { return IsWindowVisible(window) != FALSE; }, guardMs));
    EXPECT_EQ(first.exitCode(0), STILL_ACTIVE);
}
