#include "graphics/Screen.h"
#include "ui/TimerService.h"
#include "ui/widgets/UIToolTip.h"
#include "ui/widgets/UIWidgetHooks.h"

#include "tests/support/RowTable.h"
#include "tests/widgets/StyledWidgetTest.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

// The tip's clock, pointer and buttons, set by each test.
class FakeToolTipSource : public UIToolTipSource {
public:
    std::int64_t now = 1000000;
    Point cursor;
    bool held = false;

    std::int64_t milliseconds() const override { return now; }
    Point cursorPosition() const override { return cursor; }
    bool isMouseButtonHeld() const override { return held; }
};

// One monitor whose work area leaves a task bar at the bottom.
class OneMonitor : public MonitorSource {
public:
    OneMonitor() { Screen::setMonitorSource(this); }
    ~OneMonitor() override { Screen::setMonitorSource(nullptr); }

    static constexpr Rect whole{0, 0, 1000, 740};
    static constexpr Rect work{0, 0, 1000, 700};

    Rect monitorRectAt(Point point, bool workArea) override
    {
        return whole.contains(point) ? (workArea ? work : whole) : Rect();
    }
    bool monitorRects(bool workArea, Array<Rect>& out) override
    {
        out.append(workArea ? work : whole);
        return true;
    }
    Rect primaryMonitorRect(bool workArea) override { return workArea ? work : whole; }
};

} // namespace

// An active window with two owner widgets side by side, made once: an
// activated window is slow to leave the screen under Wine.
class ToolTipTest : public StyledWidgetTest {
protected:
    static void SetUpTestSuite()
    {
        StyledWidgetTest::SetUpTestSuite();
        installWidgetHooks();
        window = new RecordingWidget(nullptr, Colour(255, 255, 255), WindowFrameless);
        left = addChild(window, Colour(220, 230, 240), Rect(10, 10, 120, 40));
        right = addChild(window, Colour(240, 230, 220), Rect(150, 10, 120, 40));
        showActive(*window, 200, 200);
    }
    static void TearDownTestSuite()
    {
        delete window;
        setToolkitHooks(nullptr);
    }

    void SetUp() override
    {
        if (!window->isActiveWindow())
            showActive(*window, 200, 200);
        source.cursor = centreOf(left);
        UIToolTip::setSource(&source);
    }
    void TearDown() override
    {
        UIToolTip::hideCurrent();
        UIToolTip::setSource(nullptr);
        StyledWidgetTest::TearDown();
    }

    static Point centreOf(const UIWidget* w) { return w->globalRect().center(); }

    // A request as the widget layer makes it, at the pointer.
    void request(UIWidget* owner, const String& text, int showDelay = 0, int key = 0, int maxLength = -1)
    {
        UIToolTip::showText(owner, text, source.cursor, owner->globalRect(), showDelay, 0, key, maxLength);
    }

    // A pending tip of the owner hidden now: the last hiding.
    void hideRequestOf(UIWidget* owner, int key)
    {
        request(owner, L"before", 0, key);
        ASSERT_TRUE(UIToolTip::isShowing());
        UIToolTip::hideCurrent();
    }

    // Shown at once for the owner; false when it did not show.
    bool showNow(UIWidget* owner, const String& text)
    {
        request(owner, text, 1);
        return pumpUntil([] { return UIToolTip::current() && UIToolTip::current()->isVisible(); }, 2000);
    }

    static inline RecordingWidget* window = nullptr;
    static inline RecordingWidget* left = nullptr;
    static inline RecordingWidget* right = nullptr;
    FakeToolTipSource source;
};

TEST_F(ToolTipTest, RequestsThatAreIgnored)
{
    struct Row {
        const char* name;
        bool held;
        bool emptyTool;
        bool pending;
    };
    const Row rows[] = {
        {"button held", true, false, false},
        {"tool without area", false, true, false},
        {"a tip pending", false, false, true},
    };
    forEachRow(rows, [&](const Row& row) {
        SCOPED_TRACE(row.name);
        UIToolTip::hideCurrent();
        if (row.pending)
            request(left, L"first");
        UIToolTip* before = UIToolTip::current();
        source.held = row.held;
        const Rect tool = row.emptyTool ? Rect(right->globalRect().x, 0, 0, 10) : right->globalRect();
        UIToolTip::showText(right, L"second", source.cursor, tool);
        source.held = false;
        EXPECT_EQ(UIToolTip::current(), before);
        EXPECT_EQ(UIToolTip::currentText(), String(row.pending ? L"first" : L""));
    });
}

TEST_F(ToolTipTest, ShowDelayAfterAHiding)
{
    struct Row {
        const char* name;
        int hiddenAgo;
        bool sameOwner;
        int lastKey;
        int key;
        int givenDelay;
        int expected;
    };
    const Row rows[] = {
        {"same owner at once", 0, true, 0, 0, 0, 100},
        {"same owner within a second", 1000, true, 0, 0, 0, 100},
        {"same owner later", 1001, true, 0, 0, 0, 800},
        {"same key, other owner", 500, false, 7, 7, 0, 100},
        {"other key, other owner", 500, false, 7, 8, 0, 800},
        {"no key, other owner", 500, false, 0, 0, 0, 800},
        {"given delay", 0, true, 0, 0, 300, 300},
    };
    forEachRow(rows, [&](const Row& row) {
        SCOPED_TRACE(row.name);
        hideRequestOf(left, row.lastKey);
        source.now += row.hiddenAgo;
        request(row.sameOwner ? left : right, L"next", row.givenDelay, row.key);
        ASSERT_NE(UIToolTip::current(), nullptr);
        EXPECT_EQ(UIToolTip::current()->showDelay(), row.expected);
        UIToolTip::hideCurrent();
        source.now += 5000;
    });
}

TEST_F(ToolTipTest, CleanedText)
{
    struct Row {
        const wchar_t* text;
        int maxLength;
        const wchar_t* expected;
    };
    const Row rows[] = {
        {L"a\r\nb\n\nc", -1, L"a\nb\nc"},
        {L"\r\r\n\nx\n", -1, L"\nx\n"},
        {L"abcdefgh", 5, L"abcde ... "},
        {L"abcde", 5, L"abcde"},
        {L"a\tb\x01" L"c", -1, L"a b c"},
        // Translated tips used to become spaces when the printable test
        // knew only Latin letters.
        {L"Скрыть окно", -1, L"Скрыть окно"},
        {L"ウィンドウを隠す", -1, L"ウィンドウを隠す"},
        {L"\U00020000!", -1, L"\U00020000!"},
        {L"a\xD800" L"b", -1, L"a b"},
    };
    forEachRow(rows, [](const Row& row) { EXPECT_EQ(UIToolTip::cleanedText(row.text, row.maxLength), String(row.expected)); });
}

TEST_F(ToolTipTest, PlacementKeepsTheTipInTheWorkArea)
{
    OneMonitor monitor;
    const Margins padding{4, 4, 4, 4};
    const Size size{80, 30};
    struct Row {
        const char* name;
        Point cursor;
        Point expected;
    };
    const Row rows[] = {
        {"below the pointer", {100, 100}, {100, 120}},
        {"near the bottom, above the pointer", {100, 680}, {100, 651}},
        {"near the right edge", {990, 100}, {916, 120}},
        {"bottom right corner", {995, 695}, {916, 666}},
    };
    forEachRow(rows, [&](const Row& row) {
        SCOPED_TRACE(row.name);
        const Rect r = UIToolTip::placement(row.cursor, size, padding, 20);
        EXPECT_EQ(r, Rect(row.expected.x, row.expected.y, size.width, size.height));
    });
}

TEST_F(ToolTipTest, ShowsBelowThePointerAndAHeldButtonHidesItAtTheNextTick)
{
    ASSERT_TRUE(showNow(left, L"Hide the window"));
    UIToolTip* tip = UIToolTip::current();
    EXPECT_EQ(tip->geometry().topLeft().x, source.cursor.x);
    EXPECT_GT(tip->geometry().topLeft().y, source.cursor.y);
    EXPECT_TRUE(tip->isTimerActive(ToolTipTrackTimerId));
    source.held = true;
    EXPECT_TRUE(pumpUntil([&] { return !tip->isVisible(); }, 1000));
    source.held = false;
    EXPECT_FALSE(UIToolTip::isShowing());
    EXPECT_EQ(UIToolTip::current(), tip);
}

TEST_F(ToolTipTest, FollowsThePointerAndHidesWhenItLeavesTheTool)
{
    ASSERT_TRUE(showNow(left, L"Follow"));
    UIToolTip* tip = UIToolTip::current();
    const Point start = tip->geometry().topLeft();
    source.cursor.x += 20;
    EXPECT_TRUE(pumpUntil([&] { return tip->geometry().topLeft().x == start.x + 20; }, 1000));
    source.cursor = centreOf(right);
    EXPECT_TRUE(pumpUntil([&] { return !tip->isVisible(); }, 1000));
}

// A multi-line text used to count as another text at every pointer move, so
// the tip was deleted and asked for again while the pointer moved.
TEST_F(ToolTipTest, AMoveOverTheOwnerKeepsATipOfSeveralLines)
{
    left->setToolTip(L"first line\r\nsecond line");
    const Point p = left->mapFromGlobal(source.cursor);
    left->showToolTipAt(p);
    UIToolTip* tip = UIToolTip::current();
    ASSERT_NE(tip, nullptr);
    left->showToolTipAt({p.x + 1, p.y});
    EXPECT_EQ(UIToolTip::current(), tip);
    EXPECT_TRUE(UIToolTip::isShowing());
    left->setToolTip(String());
}

TEST_F(ToolTipTest, DisablingTheOwnerDeletesItsTipOnly)
{
    request(left, L"left's");
    right->disable();
    EXPECT_EQ(UIToolTip::currentOwner(), left);
    right->enable();
    left->disable();
    EXPECT_EQ(UIToolTip::current(), nullptr);
    left->enable();
}

TEST_F(ToolTipTest, PointerMovesAskForTheTipAndMovingOnDeletesIt)
{
    left->setToolTip(L"left's tip");
    const auto moveTo = [](const UIWidget* w) {
        const Point p = w->mapToWindow(w->rect().center());
        SendMessageW(hwndOf(window), WM_MOUSEMOVE, 0, MAKELPARAM(p.x, p.y));
        pumpPending();
    };
    moveTo(left);
    EXPECT_EQ(UIToolTip::currentOwner(), left);
    EXPECT_EQ(UIToolTip::currentText(), String(L"left's tip"));
    moveTo(right);
    EXPECT_EQ(UIToolTip::current(), nullptr);
    left->setToolTip(String());
}
