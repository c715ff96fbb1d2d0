#include "ui/widgets/UIBalloonTip.h"

#include "graphics/Screen.h"
#include "ui/Clipboard.h"

#include "tests/support/Pump.h"
#include "tests/support/RowTable.h"
#include "tests/support/StringPrinting.h"
#include "tests/widgets/StyledWidgetTest.h"

#include <windows.h>

#include <algorithm>
#include <vector>

namespace {

const BalloonArrow arrow{14, 20, 12};
const Rect desktop(0, 0, 1000, 760);
const Size content(100, 60);

// The screen point the arrow's tip lies on.
Point tipOf(const BalloonPlacement& p)
{
    const Rect& a = p.layout.arrow;
    const Point o = p.position;
    switch (p.side) {
    case BalloonLeftOfAnchor:
        return {o.x + a.right(), o.y + a.y + a.height / 2};
    case BalloonRightOfAnchor:
        return {o.x + a.x, o.y + a.y + a.height / 2};
    case BalloonBelowAnchor:
        return {o.x + a.x + a.width / 2, o.y + a.y};
    default:
        return {o.x + a.x + a.width / 2, o.y + a.bottom()};
    }
}

UIBalloonTip* currentBalloon()
{
    for (UIWidget* w : UIManager::instance()->widgets()) {
        if (w->styleName() == L"UIBalloonTip" && UIBalloonTip::isCurrent(static_cast<UIBalloonTip*>(w)))
            return static_cast<UIBalloonTip*>(w);
    }
    return nullptr;
}

int balloonCount()
{
    int count = 0;
    for (const UIWidget* w : UIManager::instance()->widgets())
        count += w->styleName() == L"UIBalloonTip" ? 1 : 0;
    return count;
}

// GDI objects of the process plus its live regions. Wine's GetGuiResources
// answers 0, but its handle table takes a bare index (no generation in the
// high word) for any live entry; on Windows the probe finds nothing and the
// resource count does the work.
int gdiObjectsAndRegions()
{
    int count = static_cast<int>(GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS));
    for (std::uintptr_t index = 1; index < 0x10000; ++index)
        count += GetObjectType(reinterpret_cast<HGDIOBJ>(index)) == OBJ_REGION ? 1 : 0;
    return count;
}

class BalloonTipTest : public StyledWidgetTest {
protected:
    void SetUp() override { showAt(parent, 100, 100); }
    void TearDown() override
    {
        UIBalloonTip::hideCurrent();
        StyledWidgetTest::TearDown();
    }

    void show(const String& title, const String& text)
    {
        UIBalloonTip::showBalloon(&parent, Point(300, 300), title, text, 5, Bitmap(), BalloonAboveAnchor, 0, 0, 0,
                                  0);
        ASSERT_TRUE(pumpUntil([] { return currentBalloon() && currentBalloon()->isVisible(); }, 1000));
    }

    RecordingWidget parent{nullptr, Colour(240, 240, 240), quickWindow};
};

} // namespace

TEST(BalloonTipText, BreaksCollapseAndControlsBecomeSpaces)
{
    struct Row {
        const wchar_t* given;
        const wchar_t* stored;
    };
    const Row rows[] = {
        {L"a\r\n\r\nb", L"a\nb"}, {L"a\r\rb\n", L"a\nb\n"}, {L"a\tb\x01" L"c", L"a b c"},
        {L"\x7F\x1B", L"  "},     {L"Жук 中文 عربي", L"Жук 中文 عربي"},
        // Letters beyond the first plane used to become two spaces; a lone
        // half of a pair still does become one.
        {L"a\U0001F600b\U00020000", L"a\U0001F600b\U00020000"}, {L"\xD83D" L"x\xDE00", L" x "},
    };
    forEachRow(rows, [](const Row& row) { EXPECT_EQ(UIBalloonTip::normalisedText(row.given), String(row.stored)); });
}

TEST(BalloonTipPlacement, SideFollowsTheRoomAroundTheAnchor)
{
    struct Row {
        int side;
        Point anchor;
        int chosen;
    };
    const Row rows[] = {
        {BalloonAboveAnchor, {500, 400}, BalloonAboveAnchor},   {BalloonAboveAnchor, {500, 30}, BalloonBelowAnchor},
        {BalloonAboveAnchor, {5, 400}, BalloonRightOfAnchor},   {BalloonAboveAnchor, {990, 400}, BalloonLeftOfAnchor},
        {BalloonBelowAnchor, {500, 740}, BalloonAboveAnchor},   {BalloonLeftOfAnchor, {500, 10}, BalloonBelowAnchor},
        {BalloonRightOfAnchor, {950, 400}, BalloonLeftOfAnchor}, {BalloonLeftOfAnchor, {50, 400}, BalloonRightOfAnchor},
        {BalloonAboveAnchor, {5, 5}, BalloonRightOfAnchor},
    };
    forEachRow(rows, [](const Row& row) {
        const BalloonPlacement p = UIBalloonTip::place(content, row.side, row.anchor, desktop, arrow);
        EXPECT_EQ(p.side, row.chosen);
        EXPECT_EQ(tipOf(p), row.anchor);
    });
}

TEST(BalloonTipPlacement, ArrowMeetsTheAnchorAndKeepsClearOfTheCorners)
{
    for (int side = BalloonLeftOfAnchor; side <= BalloonBelowAnchor; ++side) {
        for (int x = 0; x <= desktop.right(); x += 7) {
            for (int y = 0; y <= desktop.bottom(); y += 11) {
                const BalloonPlacement p = UIBalloonTip::place(content, side, Point(x, y), desktop, arrow);
                const Rect& body = p.layout.body;
                const Rect& a = p.layout.arrow;
                const bool along = p.side == BalloonAboveAnchor || p.side == BalloonBelowAnchor;
                const int from = along ? a.x - body.x : a.y - body.y;
                const int to = along ? body.right() - a.right() : body.bottom() - a.bottom();
                ASSERT_GE(std::min(from, to), arrow.borderSpacing) << side << " " << x << "," << y;
                const Rect window(p.position.x, p.position.y, std::max(body.right(), a.right()),
                                  std::max(body.bottom(), a.bottom()));
                // Inside the desktop wherever the arrow's spacing allows it.
                if (desktop.adjusted(40, 40, -40, -40).contains(Point(x, y))) {
                    ASSERT_EQ(tipOf(p), Point(x, y)) << side;
                    ASSERT_TRUE(desktop.contains(window)) << side << " " << x << "," << y;
                }
            }
        }
    }
}

// When the balloon's window is told to hide: Wine then waits up to two
// seconds for an active window to leave the screen without a window manager.
DWORD hideRequestedAt = 0;

LRESULT CALLBACK noteHide(int code, WPARAM wParam, LPARAM lParam)
{
    const auto* message = reinterpret_cast<const CWPSTRUCT*>(lParam);
    if (message->message == WM_SHOWWINDOW && !message->wParam && !hideRequestedAt)
        hideRequestedAt = GetTickCount();
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

TEST_F(BalloonTipTest, AnyClickHidesIt)
{
    show(String(), String(L"text"));
    SetCursorPos(1200, 1000);
    HHOOK hook = SetWindowsHookExW(WH_CALLWNDPROC, noteHide, nullptr, GetCurrentThreadId());
    hideRequestedAt = 0;
    INPUT input = {};
    input.type = INPUT_MOUSE;
    input.mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
    SendInput(1, &input, sizeof(input));
    const DWORD clickedAt = GetTickCount();
    EXPECT_TRUE(pumpUntil([] { return !UIBalloonTip::isShowing(); }, 1000));
    input.mi.dwFlags = MOUSEEVENTF_LEFTUP;
    SendInput(1, &input, sizeof(input));
    UnhookWindowsHookEx(hook);
    // The watch looks every 10 ms; the tick count moves in steps of about 16.
    EXPECT_NE(hideRequestedAt, 0u);
    EXPECT_LE(hideRequestedAt - clickedAt, 32u);
}

TEST_F(BalloonTipTest, ASecondBalloonReplacesTheFirst)
{
    show(String(), String(L"first"));
    show(String(), String(L"second"));
    EXPECT_EQ(balloonCount(), 1);
    EXPECT_EQ(UIBalloonTip::currentText(), String(L"second"));
    EXPECT_EQ(UIBalloonTip::currentParent(), &parent);
}

TEST_F(BalloonTipTest, HideForAnotherWidgetLeavesIt)
{
    show(String(), String(L"text"));
    RecordingWidget other(nullptr, Colour(1, 2, 3), quickWindow);
    UIBalloonTip::hideFor(&other);
    EXPECT_TRUE(UIBalloonTip::isShowing());
    UIBalloonTip::hideFor(&parent);
    EXPECT_FALSE(UIBalloonTip::isShowing());
    EXPECT_EQ(balloonCount(), 0);
}

TEST_F(BalloonTipTest, HidingTheParentHidesIt)
{
    show(String(), String(L"text"));
    parent.hide();
    EXPECT_TRUE(pumpUntil([] { return !UIBalloonTip::isShowing(); }, 500));
}

TEST_F(BalloonTipTest, CtrlCCopiesTitleAndTextJoinedByCrLf)
{
    struct Row {
        const wchar_t* title;
        const wchar_t* text;
        const wchar_t* copied;
    };
    const Row rows[] = {{L"Title", L"one\r\ntwo", L"Title\r\none\ntwo"}, {L"", L"text", L"text"}, {L"T", L"", L"T"}};
    Clipboard& clipboard = UIManager::instance()->clipboard();
    show(String(), String(L"x"));
    UIBalloonTip* balloon = currentBalloon();
    forEachRow(rows, [&](const Row& row) {
        balloon->setTitle(row.title);
        balloon->setText(row.text);
        UIKeyEvent copy(KeyPressEventType, 'C', ControlModifier, String());
        balloon->event(&copy);
        EXPECT_EQ(clipboard.text(), String(row.copied));
    });
}

// The shaped window's region used to be deleted after the system took it
// over, while the source regions leaked.
TEST_F(BalloonTipTest, ThousandShowsLeaveNoGdiObjects)
{
    show(String(L"Title"), String(L"text"));
    UIBalloonTip* balloon = currentBalloon();
    HRGN probe = CreateRectRgn(0, 0, 1, 1);
    const int baseline = gdiObjectsAndRegions();
    for (int i = 0; i < 1000; ++i) {
        balloon->showAt(Point(200 + i % 300, 300));
        balloon->hide();
    }
    EXPECT_EQ(gdiObjectsAndRegions(), baseline);
    EXPECT_EQ(GetWindowRgn(hwndOf(balloon), probe), COMPLEXREGION);
    DeleteObject(probe);
}

// updateText with resize kept the size of the last layout pass, the old
// window shape and the old position, so the arrow left its anchor.
TEST_F(BalloonTipTest, UpdatedTextResizesAndKeepsTheArrowOnTheAnchor)
{
    show(String(), L"Short");
    UIBalloonTip* balloon = currentBalloon();
    const Size before = balloon->frameSize();
    UIBalloonTip::updateText(L"A much longer text than before\nover\nfour\nlines", true);
    const Size after = balloon->frameSize();
    EXPECT_EQ(after, balloon->sizeHint());
    EXPECT_GT(after.width, before.width);
    EXPECT_GT(after.height, before.height);
    ASSERT_EQ(balloon->side(), BalloonAboveAnchor);
    // Above the anchor the arrow's tip is the window's bottom middle.
    const Rect frame = balloon->frameGeometry();
    EXPECT_EQ(frame.y + frame.height, 300);
    EXPECT_NEAR(frame.x + frame.width / 2, 300, 1);
    HRGN shape = CreateRectRgn(0, 0, 0, 0);
    ASSERT_NE(GetWindowRgn(hwndOf(balloon), shape), ERROR);
    RECT box;
    GetRgnBox(shape, &box);
    DeleteObject(shape);
    EXPECT_NEAR(box.right - box.left, after.width, 1);
    EXPECT_NEAR(box.bottom - box.top, after.height, 1);
    EXPECT_TRUE(balloon->isVisible());
    EXPECT_FALSE(balloon->isTimerActive(balloonShowTimerId));
}

TEST_F(BalloonTipTest, OpensBelowAnAnchorNearTheTopRightCorner)
{
    const Rect area = Screen::monitorRectAt(Point(0, 0), true);
    UIBalloonTip::showBalloon(&parent, Point(area.right() - 30, area.top() + 20), String(L"Copied to the library"),
                              String(L"42 files were tagged.\nClick to dismiss."), 5, Bitmap(), BalloonAboveAnchor, 0, 0,
                              0, 0);
    ASSERT_TRUE(pumpUntil([] { return currentBalloon() && currentBalloon()->isVisible(); }, 1000));
    const UIBalloonTip* balloon = currentBalloon();
    EXPECT_EQ(balloon->side(), BalloonBelowAnchor);
    EXPECT_TRUE(area.contains(balloon->globalRect()));
}
