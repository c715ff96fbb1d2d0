#include "tests/support/ChildProcess.h"
#include "tests/support/Pump.h"
#include "tests/support/RowTable.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

namespace {

// Only keeps a demo that never gets there from hanging the run.
constexpr DWORD guardMs = 60000;

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
};

} // namespace

// A demo's closed window used to leave the process running with no window,
// and the command that started it never returned.
TEST(Demos, EachEndsWhenItsLastWindowIsClosed)
{
    const DemoRow rows[] = {{L"dialogs", 1},       {L"editors", 1},    {L"exchange_demo", 1}, {L"list_demo", 1},
                            {L"scroll_demo", 1},   {L"style_demo", 1}, {L"table_demo", 1},    {L"ui_demo", 2},
                            {L"widgets1_demo", 1}, {L"widgets2_demo", 1}};
    forEachRow(rows, [](const DemoRow& row) {
        ChildProcess demo(demoPath(row.name), L"");
        ASSERT_TRUE(demo.started()) << demo.error();
        std::vector<HWND> windows;
        ASSERT_TRUE(pumpUntil([&] { return (windows = windowsToClose(demo)).size() == row.windows; }, guardMs))
            << windows.size() << " windows";
        for (std::size_t i = 0; i + 1 < windows.size(); ++i) {
            closeWindow(windows[i]);
            ASSERT_TRUE(pumpUntil([&] { return !IsWindowVisible(windows[i]); }, guardMs));
            EXPECT_EQ(demo.exitCode(0), STILL_ACTIVE) << "ended while a window was left";
        }
        closeWindow(windows.back());
        EXPECT_EQ(demo.exitCode(guardMs), 0u);
    });
}
