#include "graphics/Screen.h"

#include "tests/support/GeometryPrinting.h"
#include "tests/support/RowTable.h"
#include "tests/support/StringPrinting.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <vector>

namespace {

struct FakeMonitor {
    Rect whole;
    Rect work;
    bool primary = false;

    Rect area(bool workArea) const { return workArea ? work : whole; }
};

// Monitors laid out by the test instead of the machine.
class FakeMonitors : public MonitorSource {
public:
    explicit FakeMonitors(std::vector<FakeMonitor> monitors) : m_monitors(std::move(monitors))
    {
        Screen::setMonitorSource(this);
    }
    ~FakeMonitors() override { Screen::setMonitorSource(nullptr); }

    Rect monitorRectAt(Point point, bool workArea) override
    {
        return find([&](const FakeMonitor& m) { return m.whole.contains(point); }, workArea);
    }
    Rect primaryMonitorRect(bool workArea) override
    {
        return find([](const FakeMonitor& m) { return m.primary; }, workArea);
    }
    bool monitorRects(bool workArea, Array<Rect>& out) override
    {
        for (const FakeMonitor& m : m_monitors)
            out.append(m.area(workArea));
        return true;
    }

private:
    template <typename Match>
    Rect find(Match match, bool workArea) const
    {
        for (const FakeMonitor& m : m_monitors) {
            if (match(m))
                return m.area(workArea);
        }
        return Rect::empty;
    }

    std::vector<FakeMonitor> m_monitors;
};

// One 1000 x 800 monitor with a 40-pixel task bar at the bottom.
FakeMonitors singleMonitor()
{
    return FakeMonitors({{Rect(0, 0, 1000, 800), Rect(0, 0, 1000, 760), true}});
}

// The single monitor, a second one beside it and a third past a gap.
FakeMonitors threeMonitors()
{
    return FakeMonitors({{Rect(0, 0, 1000, 800), Rect(0, 0, 1000, 760), true},
                         {Rect(1000, 0, 800, 600), Rect(1000, 0, 800, 560), false},
                         {Rect(2000, 0, 800, 600), Rect(2000, 0, 800, 600), false}});
}

} // namespace

TEST(ScreenFitRect, Table)
{
    auto monitors = threeMonitors();
    struct Row {
        const char* what;
        Point anchor;
        Rect rect;
        Margins margins;
        int offset;
        bool flip;
        Rect expected;
    };
    const Point a{500, 400};
    const Row rows[] = {
        {"inside stays", a, Rect(100, 100, 100, 50), {}, 0, false, Rect(100, 100, 100, 50)},
        // The edge case of the pop-up: bottom passes the area's bottom (760).
        {"bottom overflow flips above the anchor", a, Rect(100, 740, 100, 50), {}, 0, true, Rect(100, 691, 100, 50)},
        {"bottom overflow without flip", a, Rect(100, 740, 100, 50), {}, 0, false, Rect(100, 711, 100, 50)},
        {"flip with offset", a, Rect(100, 740, 100, 50), {}, 20, true, Rect(100, 671, 100, 50)},
        {"left of the area", a, Rect(-30, 100, 100, 50), {}, 0, false, Rect(0, 100, 100, 50)},
        {"right overflow", a, Rect(950, 100, 100, 50), {}, 0, false, Rect(900, 100, 100, 50)},
        {"left wins when wider than the area", a, Rect(-10, 100, 1200, 50), {}, 0, false, Rect(0, 100, 1200, 50)},
        {"top above the area", a, Rect(100, -20, 100, 50), {10, 10, 10, 10}, 5, false, Rect(100, 15, 100, 50)},
        {"top above the area with flip", a, Rect(100, -20, 100, 50), {}, 5, true, Rect(100, 35, 100, 50)},
        {"margins on every side", a, Rect(980, 740, 100, 50), {10, 10, 10, 10}, 0, false, Rect(890, 701, 100, 50)},
        {"right margin", a, Rect(850, 100, 100, 50), {0, 0, 60, 0}, 0, false, Rect(840, 100, 100, 50)},
        {"the monitor under the anchor", {1500, 300}, Rect(1700, 550, 200, 50), {}, 0, false, Rect(1600, 511, 200, 50)},
        {"the anchor's monitor, not the rect's", {10, 10}, Rect(900, 100, 200, 50), {}, 0, false, Rect(800, 100, 200, 50)},
        {"an anchor in the gap has no monitor", {1900, 10}, Rect(1900, -50, 100, 50), {}, 0, true, Rect(1900, -50, 100, 50)},
        {"margins eat the work area", {10, 10}, Rect(1900, -50, 100, 50), {500, 0, 500, 0}, 0, true, Rect(1900, -50, 100, 50)},
        // Negative margins must not make an area out of no monitor.
        {"negative margins in the gap", {1900, 10}, Rect(1900, -50, 100, 50), {-100, -100, -100, -100}, 0, true,
         Rect(1900, -50, 100, 50)},
    };
    forEachRow(rows, [](const Row& row) {
        EXPECT_EQ(Screen::fitRect(row.anchor, row.rect, row.margins, row.offset, row.flip), row.expected) << row.what;
    });
}

TEST(ScreenAlignRect, Table)
{
    auto monitors = singleMonitor();
    struct Row {
        const char* what;
        Rect rect;
        Margins margins;
        int flags;
        Rect expected;
    };
    const Row rows[] = {
        {"centred", Rect(10, 10, 200, 100), {}, AlignCenter, Rect(400, 330, 200, 100)},
        {"bottom right within margins", Rect(10, 10, 200, 100), {5, 5, 5, 5}, AlignRight | AlignBottom,
         Rect(795, 655, 200, 100)},
        {"top left within margins", Rect(300, 300, 200, 100), {5, 7, 5, 5}, AlignLeft | AlignTop,
         Rect(5, 7, 200, 100)},
        {"no flags: the area's origin", Rect(300, 300, 200, 100), {20, 30, 0, 0}, 0, Rect(20, 30, 200, 100)},
        {"overflow allowed when centring", Rect(0, 0, 1200, 100), {}, AlignCenter, Rect(-100, 330, 1200, 100)},
        {"no width", Rect(10, 10, 0, 100), {}, AlignCenter, Rect::empty},
        {"negative height", Rect(10, 10, 100, -1), {}, AlignCenter, Rect::empty},
        {"top-left corner on no monitor", Rect(5000, 5000, 100, 100), {}, AlignCenter, Rect(5000, 5000, 100, 100)},
        {"margins eat the area", Rect(10, 10, 100, 100), {600, 0, 600, 0}, AlignCenter, Rect(10, 10, 100, 100)},
    };
    forEachRow(rows, [](const Row& row) {
        EXPECT_EQ(Screen::alignRect(row.rect, row.margins, row.flags), row.expected) << row.what;
    });
}

TEST(ScreenVirtualDesktop, HoldsTheOriginAndEveryMonitor)
{
    struct Row {
        std::vector<FakeMonitor> monitors;
        Rect expected;
    };
    const Row rows[] = {
        {{{Rect(0, 0, 1000, 800), Rect(0, 0, 1000, 760), true},
          {Rect(-1280, -200, 1280, 1024), Rect(-1280, -200, 1280, 1000), false}},
         Rect(-1280, -200, 2280, 1024)},
        // The origin counts even when no monitor covers it.
        {{{Rect(100, 50, 800, 600), Rect(100, 50, 800, 600), true}}, Rect(0, 0, 900, 650)},
        {{}, Rect(0, 0, 0, 0)},
    };
    forEachRow(rows, [](const Row& row) {
        FakeMonitors monitors(row.monitors);
        EXPECT_EQ(Screen::virtualDesktopRect(), row.expected);
    });
}

TEST(ScreenMonitorRects, NewArrayInMonitorOrder)
{
    auto monitors = threeMonitors();
    const Array<Rect> whole = Screen::monitorRects(false);
    ASSERT_EQ(whole.count(), 3);
    EXPECT_EQ(whole[0], Rect(0, 0, 1000, 800));
    EXPECT_EQ(whole[2], Rect(2000, 0, 800, 600));
    EXPECT_EQ(Screen::monitorRects(true)[1], Rect(1000, 0, 800, 560));

    // The appending form keeps what the array held.
    Array<Rect> appended;
    appended.append(Rect(1, 2, 3, 4));
    EXPECT_TRUE(Screen::monitorRects(true, appended));
    ASSERT_EQ(appended.count(), 4);
    EXPECT_EQ(appended[0], Rect(1, 2, 3, 4));
    EXPECT_EQ(appended[2], Rect(1000, 0, 800, 560));
}

// The platform's own monitors: the machine decides how many and how large,
// so these check only how the answers relate to each other. The free
// functions only forward to Screen and are left alone.
TEST(ScreenPlatform, MonitorQueriesAgree)
{
    const int count = Screen::monitorCount();
    ASSERT_GE(count, 1);
    Array<Rect> rects;
    EXPECT_TRUE(Screen::monitorRects(false, rects));
    EXPECT_EQ(rects.count(), count);

    const int primary = Screen::primaryMonitorIndex();
    ASSERT_GE(primary, 0);
    ASSERT_LT(primary, count);
    EXPECT_EQ(Screen::primaryMonitorRect(false), rects[primary]);
    // The primary monitor's top-left corner is the virtual screen's origin.
    EXPECT_EQ(Screen::primaryMonitorRect(false).topLeft(), (Point{0, 0}));
    EXPECT_FALSE(Screen::monitorDeviceName(primary).isEmpty());

    for (int i = 0; i < count; ++i) {
        const Rect whole = Screen::monitorRectByIndex(i, false);
        const Rect work = Screen::monitorRectByIndex(i, true);
        EXPECT_FALSE(whole.isEmpty()) << i;
        EXPECT_TRUE(whole.contains(work)) << i;
        EXPECT_EQ(Screen::monitorRect(Screen::monitorAt(i), false), whole) << i;
        EXPECT_EQ(Screen::monitorRectAt(whole.center(), false), whole) << i;
        EXPECT_EQ(Screen::monitorRectAt(whole.center().x, whole.center().y, true), work) << i;
        EXPECT_TRUE(Screen::virtualDesktopRect().contains(whole)) << i;
    }
    EXPECT_GT(Screen::dpiX(), 0.0);
    EXPECT_GT(Screen::dpiY(), 0.0);
    EXPECT_GT(Screen::colourDepth(), 0);
}

TEST(ScreenPlatform, NoSuchMonitor)
{
    const int count = Screen::monitorCount();
    EXPECT_EQ(Screen::monitorAt(count), nullptr);
    EXPECT_EQ(Screen::monitorAt(-1), nullptr);
    EXPECT_EQ(Screen::monitorRectByIndex(count, false), Rect::empty);
    EXPECT_TRUE(Screen::monitorDeviceName(count).isEmpty());
    EXPECT_EQ(Screen::monitorRect(nullptr, true), Rect::empty);
    const Rect desktop = Screen::virtualDesktopRect();
    EXPECT_EQ(Screen::monitorRectAt(desktop.right() + 10000, desktop.bottom() + 10000, false), Rect::empty);
    EXPECT_EQ(Screen::monitorRectFromWindow(nullptr, false), Rect::empty);
}

TEST(ScreenPlatform, MonitorOfAWindow)
{
    const Rect primary = Screen::primaryMonitorRect(false);
    HWND window = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, primary.x + 10, primary.y + 10, 50, 50, nullptr,
                                  nullptr, nullptr, nullptr);
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(Screen::monitorRectFromWindow(window, false), primary);
    EXPECT_EQ(Screen::monitorRectOfWindow(window, true), Screen::primaryMonitorRect(true));
    DestroyWindow(window);
}

TEST(ScreenPlatform, DisplayModes)
{
    // No display offers a mode one pixel wide, nor one without a size.
    for (const Size size : {Size{0, 768}, Size{1024, 0}, Size{-5, -5}, Size{1, 1}})
        EXPECT_EQ(Screen::maxRefreshRate(size.width, size.height), 0) << size.width << " x " << size.height;
    EXPECT_EQ(isDisplayModeSupported(Size{1024, -1}), 0);

    DEVMODEW current = {};
    current.dmSize = sizeof(current);
    ASSERT_TRUE(EnumDisplaySettingsW(nullptr, ENUM_CURRENT_SETTINGS, &current));
    const Size size{static_cast<int>(current.dmPelsWidth), static_cast<int>(current.dmPelsHeight)};
    EXPECT_GE(Screen::maxRefreshRate(size.width, size.height), static_cast<int>(current.dmDisplayFrequency));
    EXPECT_NE(isDisplayModeSupported(size), 0);
}
