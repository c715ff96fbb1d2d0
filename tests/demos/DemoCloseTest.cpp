#include "tests/support/ChildProcess.h"
#include "tests/support/Pump.h"
#include "tests/support/RowTable.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

namespace {

// One bound for every wait of the table: the demos run at once and end in
// a few seconds here, a busy machine may take many times that, and a demo
// that never ends then costs this bound once rather than once per demo.
constexpr DWORD guardMs = 120000;

// What is left of the bound since the object was made.
class SharedBound {
public:
    DWORD msLeft() const
    {
        const DWORD spent = GetTickCount() - m_start;
        return spent < guardMs ? guardMs - spent : 0;
    }

private:
    const DWORD m_start = GetTickCount();
};

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

// A demo started as the row is made, and how many windows it opens.
struct DemoRow {
    DemoRow(const wchar_t* demoName, std::size_t windowCount)
        : name(demoName), windows(windowCount), process(demoPath(demoName), L"")
    {
    }
    const wchar_t* name;
    std::size_t windows;
    ChildProcess process;
};

// Closes every window the demo opens, the last one last, as a user would.
void closeEachWindow(const DemoRow& row, const SharedBound& bound)
{
    const ChildProcess& demo = row.process;
    ASSERT_TRUE(demo.started()) << demo.error();
    std::vector<HWND> windows;
    ASSERT_TRUE(pumpUntil([&] { return (windows = windowsToClose(demo)).size() == row.windows; }, bound.msLeft()))
        << windows.size() << " windows";
    for (std::size_t i = 0; i + 1 < windows.size(); ++i) {
        closeWindow(windows[i]);
        ASSERT_TRUE(pumpUntil([&] { return !IsWindowVisible(windows[i]); }, bound.msLeft()));
        EXPECT_EQ(demo.exitCode(0), STILL_ACTIVE) << "ended while a window was left";
    }
    closeWindow(windows.back());
}

} // namespace

// A demo's closed window used to leave the process running with no window,
// and the command that started it never returned.
TEST(Demos, EachEndsWhenItsLastWindowIsClosed)
{
    const SharedBound bound;
    const DemoRow rows[] = {{L"dialogs", 1},       {L"editors", 1},    {L"exchange_demo", 1}, {L"list_demo", 1},
                            {L"scroll_demo", 1},   {L"style_demo", 1}, {L"table_demo", 1},    {L"ui_demo", 2},
                            {L"widgets1_demo", 1}, {L"widgets2_demo", 1}};
    forEachRow(rows, [&](const DemoRow& row) { closeEachWindow(row, bound); });
    forEachRow(rows, [&](const DemoRow& row) { EXPECT_EQ(row.process.exitCode(bound.msLeft()), 0u) << row.name; });
}
