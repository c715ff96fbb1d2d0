#include "ui/PlatformServices.h"
#include "ui/PlatformUtilities.h"

#include "tests/support/GeometryPrinting.h"
#include "tests/support/RowTable.h"
#include "tests/support/StringPrinting.h"
#include "tests/support/TempFolder.h"
#include "tests/ui/WindowTesting.h"

#include <gtest/gtest.h>

#include <array>
#include <vector>

namespace {

using PlatformServicesTest = WidgetTest;

// Wine's image factory answers with a 1x1 image, which used to stand in for
// the icon.
TEST_F(PlatformServicesTest, ShellIconsHaveTheSizeAskedForOrNone)
{
    TempFolder folder;
    const String file = folder.writeFile(L"notes.txt", Bytes{'h', 'i'});
    struct Row {
        int size;
        bool supported;
    };
    const std::vector<Row> rows = {{16, true}, {32, true}, {48, true}, {24, false}, {0, false}, {-16, false}};
    forEachRow(rows, [&](const Row& row) {
        EXPECT_EQ(isSupportedIconSize(row.size), row.supported);
        for (const Bitmap& icon : {shellFileIcon(file, row.size), shellFileTypeIcon(L"txt", row.size)}) {
            if (!row.supported) {
                EXPECT_TRUE(icon.isNull());
                continue;
            }
            ASSERT_FALSE(icon.isNull());
            EXPECT_EQ(icon.size(), Size(row.size, row.size));
        }
    });
    EXPECT_TRUE(shellFileIcon(folder.file(L"missing.txt"), 16).isNull());
}

TEST_F(PlatformServicesTest, ScreenSaverAndMonitorPowerStartAllowed)
{
    EXPECT_TRUE(screenSaverAllowed());
    EXPECT_TRUE(monitorPowerOffAllowed());
    setScreenSaverAllowed(false);
    setMonitorPowerOffAllowed(false);
    EXPECT_FALSE(screenSaverAllowed());
    EXPECT_FALSE(monitorPowerOffAllowed());
    setScreenSaverAllowed(true);
    setMonitorPowerOffAllowed(true);
}

TEST_F(PlatformServicesTest, WindowOperationsRefuseWhatIsNoWindow)
{
    EXPECT_FALSE(bringWindowToForeground(nullptr));
    EXPECT_FALSE(changeWindowMessageFilter(nullptr, WM_USER));
    EXPECT_TRUE(windowProcessPath(nullptr).isEmpty());
    EXPECT_TRUE(shellThumbnail(L"Z:\\no\\such\\file.png", 64).isNull());
}

TEST_F(PlatformServicesTest, OwnWindowComesForwardAndNamesThisProgram)
{
    HWND window = CreateWindowExW(0, L"STATIC", L"probe", WS_POPUP | WS_VISIBLE, 10, 10, 50, 50, nullptr, nullptr,
                                  nullptr, nullptr);
    ASSERT_NE(window, nullptr);
    ShowWindow(window, SW_MINIMIZE);
    EXPECT_TRUE(bringWindowToForeground(window));
    EXPECT_FALSE(IsIconic(window));
    EXPECT_EQ(windowProcessPath(window).toLower(), Application::instance()->executablePath().toLower());
    DestroyWindow(window);
}

// A plain window destroyed with the test; top-level ones are shown on top
// without activation, so that Wine closes them at once.
struct PlainWindow {
    explicit PlainWindow(DWORD style, Rect r, HWND parent = nullptr, const wchar_t* text = L"")
        : handle(CreateWindowExW(parent ? 0 : WS_EX_NOACTIVATE, L"STATIC", text, style, r.x, r.y, r.width, r.height,
                                 parent, nullptr, nullptr, nullptr))
    {
        if (!(style & WS_CHILD) && (style & WS_POPUP))
            SetWindowPos(handle, HWND_TOP, 0, 0, 0, 0,
                         SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | SWP_SHOWWINDOW);
    }
    ~PlainWindow() { DestroyWindow(handle); }
    HWND handle;
};

std::array<int, 4> sides(Margins m)
{
    return {m.left, m.top, m.right, m.bottom};
}

TEST_F(PlatformServicesTest, PointsMapBetweenWindowsAndTheScreen)
{
    PlainWindow parent(WS_POPUP | SS_NOTIFY, Rect(100, 120, 200, 150));
    PlainWindow child(WS_CHILD | WS_VISIBLE | SS_NOTIFY, Rect(10, 20, 50, 40), parent.handle, L"child text");
    PlainWindow owned(WS_POPUP, Rect(0, 0, 10, 10), parent.handle);
    EXPECT_EQ(clientToScreen(parent.handle, {5, 5}), Point(105, 125));
    EXPECT_EQ(screenToClient(child.handle, {115, 145}), Point(5, 5));
    EXPECT_EQ(mapWindowPoint(child.handle, parent.handle, {1, 2}), Point(11, 22));
    // Mapping onto a window with the same origin returns 0 yet succeeds.
    EXPECT_EQ(mapWindowPoint(parent.handle, parent.handle, {7, 8}), Point(7, 8));
    EXPECT_EQ(mapWindowPoint(HWND(0x7654), parent.handle, {7, 8}), Point());
    EXPECT_EQ(childWindowAt(parent.handle, {15, 25}), child.handle);
    EXPECT_EQ(childWindowAt(parent.handle, {150, 100}), parent.handle);
    EXPECT_EQ(windowAtPoint(clientToScreen(child.handle, {2, 2})), child.handle);
    EXPECT_EQ(topLevelWindow(child.handle), parent.handle);
    EXPECT_EQ(topLevelWindow(owned.handle), owned.handle);
    EXPECT_EQ(rootOwnerWindow(owned.handle), parent.handle);
    EXPECT_EQ(desktopWindow(), GetDesktopWindow());
    EXPECT_EQ(windowText(child.handle), L"child text");
}

TEST_F(PlatformServicesTest, WindowTextStyleAndFrame)
{
    const String longTitle(std::wstring(3000, L'x').c_str());
    PlainWindow bordered(WS_POPUP | WS_BORDER, Rect(0, 0, 40, 40), nullptr, longTitle.c_str());
    PlainWindow framed(WS_OVERLAPPEDWINDOW, Rect(0, 0, 200, 200));
    PlainWindow captioned(WS_CAPTION | WS_SYSMENU, Rect(0, 0, 200, 200));
    EXPECT_EQ(windowText(bordered.handle).length(), 2047);
    EXPECT_EQ(windowStyleSummary(bordered.handle), 0);
    EXPECT_EQ(windowStyleSummary(framed.handle), 7);
    EXPECT_EQ(windowStyleSummary(captioned.handle), WindowStyleSystemMenu);
    const int border = GetSystemMetrics(SM_CXBORDER);
    EXPECT_EQ(sides(windowFrameMargins(bordered.handle)), (std::array<int, 4>{border, border, border, border}));
    const Margins frame = windowFrameMargins(framed.handle);
    EXPECT_GT(frame.top, frame.bottom);
    EXPECT_EQ(sides(windowFrameMargins(nullptr)), (std::array<int, 4>{}));
}

TEST_F(PlatformServicesTest, ZOrderNeighboursAndUncoveredRegion)
{
    PlainWindow a(WS_POPUP, Rect(300, 300, 100, 100));
    PlainWindow b(WS_POPUP, Rect(350, 350, 100, 100));
    PlainWindow c(WS_POPUP, Rect(600, 300, 50, 50));
    const Array<void*> above = windowsAbove(a.handle, false);
    EXPECT_GE(above.indexOf(b.handle), 0);
    EXPECT_LT(above.indexOf(b.handle), above.indexOf(c.handle));
    EXPECT_GE(windowsBelow(c.handle, false).indexOf(a.handle), 0);
    EXPECT_GE(windowsAbove(a.handle, true).indexOf(b.handle), 0);
    EXPECT_EQ(windowsAbove(a.handle, true).indexOf(c.handle), -1);
    const Region uncovered = uncoveredRegion(a.handle);
    EXPECT_TRUE(uncovered.contains(Point(310, 310)));
    EXPECT_FALSE(uncovered.contains(Point(360, 360)));
    EXPECT_TRUE(uncoveredRegion(nullptr).isEmpty());
    EnableWindow(c.handle, FALSE);
    const Array<void*> own = processWindows(GetCurrentProcessId());
    EXPECT_GE(own.indexOf(a.handle), 0);
    EXPECT_EQ(own.indexOf(c.handle), -1);
}

TEST_F(PlatformServicesTest, WindowAndPathIcons)
{
    PlainWindow plain(WS_POPUP, Rect(0, 0, 10, 10));
    EXPECT_FALSE(windowIcon(plain.handle).isNull()) << "the executable's icon";
    HICON application = LoadIconW(nullptr, IDI_APPLICATION);
    SendMessageW(plain.handle, WM_SETICON, ICON_BIG, LPARAM(application));
    EXPECT_EQ(windowIcon(plain.handle).size(), Bitmap::fromIcon(application).size());
    EXPECT_TRUE(windowIcon(nullptr).isNull());
    TempFolder folder;
    const String file = folder.writeFile(L"notes.txt", Bytes{'h', 'i'});
    EXPECT_FALSE(shellPathIcon(file, 32).isNull());
    EXPECT_TRUE(shellPathIcon(folder.file(L"missing.txt"), 32).isNull());
}

TEST_F(PlatformServicesTest, ResourceNamesAndVersionStrings)
{
    EXPECT_EQ(moduleResourceName(nullptr, L"#16", 0), L"#1");
    EXPECT_TRUE(moduleResourceName(nullptr, L"#16", 1).isEmpty());
    EXPECT_TRUE(moduleResourceName(nullptr, L"#16", -1).isEmpty());
    const FileVersionStrings own = fileVersionStrings(Application::instance()->executablePath());
    const std::vector<String> strings = {own.fileDescription, own.fileVersion, own.productName, own.productVersion,
                                         own.companyName};
    EXPECT_EQ(strings, (std::vector<String>{L"Kestrola UI tests", L"1.8.3.0", L"Kestrola", L"1.8.3",
                                            L"Kestrola Test Makers"}));
    TempFolder folder;
    EXPECT_TRUE(fileVersionStrings(folder.writeFile(L"plain.txt", Bytes{'x'})).fileVersion.isEmpty());
    EXPECT_TRUE(fileVersionStrings(folder.file(L"missing.exe")).productName.isEmpty());
}

} // namespace
