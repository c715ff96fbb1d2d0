#include "tests/support/ChildProcess.h"
#include "tests/support/Pump.h"
#include "tests/support/RowTable.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <string>
#include <vector>

namespace {

// One bound for every wait: the demos run at once, so one that never ends
// costs it once rather than once per demo.
constexpr DWORD guardMs = 120000;

std::wstring demoPath(const wchar_t* name)
{
    wchar_t path[MAX_PATH];
    const DWORD length = GetModuleFileNameW(nullptr, path, MAX_PATH);
    const std::wstring self(path, length);
    return self.substr(0, self.rfind(L'\\')) + L"\\..\\demos\\" + name + L".exe";
}

// Shown windows with a title bar and no owner: those a user closes.
std::vector<HWND> windowsToClose(const ChildProcess& process)
{
    std::vector<HWND> windows = process.titledWindows();
    std::erase_if(windows, [](HWND window) { return !IsWindowVisible(window) || GetWindow(window, GW_OWNER); });
    return windows;
}

// As the close button does.
void closeWindow(HWND window)
{
    PostMessageW(window, WM_SYSCOMMAND, SC_CLOSE, 0);
}

struct DemoRow {
    const wchar_t* name;
    std::size_t windows;
    ChildProcess process{demoPath(name), L""}; // started as the row is made
};

} // namespace

// A demo's closed window used to leave the process running with no window,
// and the command that started it never returned.
TEST(Demos, EachEndsWhenItsLastWindowIsClosed)
{
    const DWORD start = GetTickCount();
    const auto msLeft = [start] { return guardMs - std::min<DWORD>(GetTickCount() - start, guardMs); };
    const DemoRow rows[] = {{L"dialogs", 1},       {L"editors", 1},    {L"exchange_demo", 1}, {L"list_demo", 1},
                            {L"scroll_demo", 1},   {L"style_demo", 1}, {L"table_demo", 1},    {L"ui_demo", 2},
                            {L"widgets1_demo", 1}, {L"widgets2_demo", 1}};
    forEachRow(rows, [&](const DemoRow& row) {
        const ChildProcess& demo = row.process;
        ASSERT_TRUE(demo.started()) << demo.error();
        std::vector<HWND> windows;
        ASSERT_TRUE(pumpUntil([&] { return (windows = windowsToClose(demo)).size() == row.windows; }, msLeft()))
            << windows.size() << " windows";
        for (std::size_t i = 0; i + 1 < windows.size(); ++i) {
            closeWindow(windows[i]);
            ASSERT_TRUE(pumpUntil([&] { return !IsWindowVisible(windows[i]); }, msLeft()));
            EXPECT_EQ(demo.exitCode(0), STILL_ACTIVE) << "ended while a window was left";
        }
        closeWindow(windows.back());
    });
    forEachRow(rows, [&](const DemoRow& row) { EXPECT_EQ(row.process.exitCode(msLeft()), 0u) << row.name; });
}
