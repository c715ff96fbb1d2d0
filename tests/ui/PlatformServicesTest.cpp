#include "ui/PlatformServices.h"

#include "tests/support/RowTable.h"
#include "tests/support/TempFolder.h"
#include "tests/ui/WindowTesting.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

class PlatformServicesTest : public ::testing::Test {
protected:
    void SetUp() override { ensureTestApplication(); }
};

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

} // namespace
