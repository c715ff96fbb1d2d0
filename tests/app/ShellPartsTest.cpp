#include "app/ImageByName.h"
#include "app/MainStatusBar.h"
#include "app/windows/FlashProgressWindow.h"
#include "foundation/Application.h"
#include "foundation/DataPack.h"
#include "graphics/DrawingSurface.h"
#include "ui/UIWindow.h"
#include "ui/widgets/UIProgress.h"

#include "tests/support/ColourPrinting.h"
#include "tests/support/RowTable.h"
#include "tests/support/TempFolder.h"
#include "tests/widgets/StyledWidgetTest.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

namespace {

const Colour marker(255, 0, 255);

// The pack "data" the build writes, in place of any other of that name.
bool reloadDataPack()
{
    Application* application = Application::instance();
    application->unloadPack(L"data");
    return application->loadPack(application->applicationDirectory() + L"\\..\\data.pak");
}

class ShellPartsTest : public StyledWidgetTest {
protected:
    static void SetUpTestSuite()
    {
        StyledWidgetTest::SetUpTestSuite();
        ASSERT_TRUE(reloadDataPack());
    }

    void TearDown() override
    {
        EXPECT_TRUE(reloadDataPack());
        StyledWidgetTest::TearDown();
    }
};

TEST_F(ShellPartsTest, ImageByNameReadsThePackAndFailsCleanly)
{
    EXPECT_EQ(imageByName(L"diod_on").size(), Size(16, 16));
    EXPECT_EQ(imageByName(L"icon_not_found_48x48").size(), Size(48, 48));
    EXPECT_TRUE(imageByName(L"no_such_image").isNull());

    TempFolder folder;
    DataPack broken;
    ASSERT_TRUE(broken.addFile(folder.writeFile(L"junk", Bytes{1, 2, 3, 4}), L"images", L"broken.png"));
    ASSERT_TRUE(broken.saveFile(folder.file(L"data.pak")));
    Application::instance()->unloadPack(L"data");
    EXPECT_TRUE(imageByName(L"diod_on").isNull()) << "no pack";
    ASSERT_TRUE(Application::instance()->loadPack(folder.file(L"data.pak")));
    EXPECT_TRUE(imageByName(L"broken").isNull()) << "bytes that do not decode";
}

TEST_F(ShellPartsTest, StatusTextsAndLights)
{
    struct Row {
        int state;
        int percent;
        bool busyIcon;
        const wchar_t* text;
        const wchar_t* icon;
    };
    const Row rows[] = {
        {0, -1, false, L"Ready", L"diod_off"},
        {3, -1, false, L"Preparing data", L"diod_on"},
        {4, -1, false, L"Scan...", L"diod_on"},
        {7, -1, false, L"Ready", L"diod_off"},
        {4, 42, false, L"Scan... 42%", L"diod_on"},
        {0, 42, true, L"Ready 42%", L"diod_on"},
        {0, 250, false, L"Ready 100%", L"diod_off"},
    };
    MainStatusBar bar;
    forEachRow(rows, [&](const Row& row) {
        bar.setStatus(row.state);
        if (row.percent >= 0)
            bar.setStatusProgress(row.percent, row.busyIcon);
        EXPECT_EQ(bar.statusText(), String(row.text));
        EXPECT_EQ(bar.statusIconName(), String(row.icon));
        EXPECT_EQ(bar.state(), row.state == 7 ? 0 : row.state);
    });
}

// The percent of the last progress must not stay behind once the work is
// over: a scan that ends at 100 and reports "Ready" shows just that.
TEST_F(ShellPartsTest, ReadyAfterAFullProgressShowsNoPercent)
{
    MainStatusBar bar;
    bar.setStatus(4);
    bar.setStatusProgress(100, true);
    ASSERT_EQ(bar.statusText(), String(L"Scan... 100%"));
    bar.setStatus(0);
    EXPECT_EQ(bar.statusText(), String(L"Ready"));
    EXPECT_EQ(bar.statusIconName(), String(L"diod_off"));
}

// Marks the label's pixels on the window surface: a paint of the label
// wipes the mark out.
TEST_F(ShellPartsTest, UnchangedProgressPaintsNothing)
{
    UIWindow window(nullptr, quickWindow);
    auto* bar = new MainStatusBar(&window);
    bar->show();
    showAt(window, 40, 40, 300, 30);
    bar->setStatus(4);
    bar->setStatusProgress(42, true);
    const UIWidget* label = bar->child(1);
    const Point inLabel = label->mapToWindow(Point(label->width() / 2, label->height() / 2));
    const auto markedPixel = [&] { return window.windowSurface()->toBitmap(false).pixel(inLabel.x, inLabel.y); };
    window.windowSurface()->fill(marker);

    bar->setStatusProgress(42, false);
    EXPECT_EQ(markedPixel(), marker) << "state 4 keeps the light on, so nothing changed";
    bar->setStatusProgress(43, false);
    EXPECT_NE(markedPixel(), marker);
}

TEST_F(ShellPartsTest, FlashWindowPercentIsClampedAndShown)
{
    struct Row {
        int percent;
        int shown;
        const wchar_t* text;
    };
    const Row rows[] = {{42, 42, L"42%"}, {-5, 0, L"0%"}, {250, 100, L"100%"}, {100, 100, L"100%"}};
    FlashProgressWindow flash;
    forEachRow(rows, [&](const Row& row) {
        flash.setPercent(row.percent);
        EXPECT_EQ(flash.percent(), row.shown);
        EXPECT_EQ(flash.percentText(), String(row.text));
    });
    flash.setMessage(L"Loading items...");
    EXPECT_EQ(flash.message(), String(L"Loading items..."));
}

// The percent counted while the bar under it stayed empty: the bar's
// repaint, dropped while its painting was off, was not made up for when
// painting came back on.
TEST_F(ShellPartsTest, FlashWindowBarFillsOnTheScreenAsItsPercentSays)
{
    FlashProgressWindow flash;
    flash.show();
    const UIProgress* bar = nullptr;
    for (UIWidget* widget : flash.window()->descendants())
        bar = bar ? bar : dynamic_cast<const UIProgress*>(widget);
    ASSERT_NE(bar, nullptr);
    const HWND handle = hwndOf(flash.window());
    // At one, three and nine tenths of the bar's length.
    const auto screenPixels = [&] {
        std::vector<COLORREF> pixels;
        const HDC dc = GetDC(handle);
        for (const int tenths : {1, 3, 9}) {
            const Point at = bar->mapToWindow(Point(bar->width() * tenths / 10, bar->height() / 2));
            pixels.push_back(GetPixel(dc, at.x, at.y));
        }
        ReleaseDC(handle, dc);
        return pixels;
    };
    const std::vector<COLORREF> empty = screenPixels();
    ASSERT_EQ(empty, std::vector<COLORREF>(3, empty[0]));
    flash.setPercent(60);
    const COLORREF filled = screenPixels()[0];
    EXPECT_NE(filled, empty[0]);
    EXPECT_EQ(screenPixels(), (std::vector<COLORREF>{filled, filled, empty[0]}));
    // 100 always paints, however soon after the last paint it comes.
    flash.setPercent(100);
    EXPECT_EQ(screenPixels(), std::vector<COLORREF>(3, filled));
}

TEST_F(ShellPartsTest, FlashWindowShowsCentredOnTopAndGoesWithItsObject)
{
    auto flash = std::make_unique<FlashProgressWindow>();
    EXPECT_FALSE(flash->window()->isVisible());
    flash->show();
    const HWND handle = hwndOf(flash->window());
    EXPECT_TRUE(IsWindowVisible(handle));
    RECT workArea, frame;
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &workArea, 0);
    GetWindowRect(handle, &frame);
    EXPECT_NEAR(frame.left + frame.right, workArea.left + workArea.right, 1);
    EXPECT_NEAR(frame.top + frame.bottom, workArea.top + workArea.bottom, 1);
    EXPECT_TRUE(GetWindowLongW(handle, GWL_EXSTYLE) & WS_EX_TOPMOST);
    EXPECT_NE(GetForegroundWindow(), handle);
    flash.reset();
    EXPECT_FALSE(IsWindow(handle));
}

TEST_F(ShellPartsTest, FlashWindowCentresOverItsParentAndOutlivesIt)
{
    auto parent = std::make_unique<UIWindow>(nullptr, quickWindow);
    showAt(*parent, 100, 80, 600, 400);
    FlashProgressWindow flash(parent.get());
    flash.show();
    const Rect outer = parent->frameGeometry();
    const Rect inner = flash.window()->frameGeometry();
    EXPECT_NEAR(inner.x * 2 + inner.width, outer.x * 2 + outer.width, 1);
    EXPECT_NEAR(inner.y * 2 + inner.height, outer.y * 2 + outer.height, 1);
    parent.reset();
    // A parent window destroyed first takes the window with it; the
    // progress window's own end must not delete it a second time.
}

} // namespace
