#include "ui/UIWin32Window.h"

#include "foundation/Crc32.h"
#include "tests/support/RowTable.h"
#include "tests/support/StringPrinting.h"
#include "tests/ui/WindowTesting.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

class Win32WindowTest : public WidgetTest {
protected:
    void SetUp() override
    {
        // A pointer another test left over this spot would add move events
        // to the ones recorded here.
        SetCursorPos(1200, 1000);
        window = std::make_unique<RecordingWidget>(nullptr, Colour(255, 255, 255), quickWindow);
        showAt(*window, 50, 50, 400, 300);
        child = addChild(window.get(), Colour(0, 0, 255), Rect(40, 30, 100, 80));
        pumpPending();
    }

    UIWin32Window* native() const { return static_cast<UIWin32Window*>(window->nativeWindow()); }

    // Sends the messages, then pumps until the posted events are delivered.
    void send(std::initializer_list<MSG> messages)
    {
        for (const MSG& m : messages)
            SendMessageW(hwndOf(window.get()), m.message, m.wParam, m.lParam);
        pumpUntil([] { return !pumpPending(); }, 500);
    }

    std::unique_ptr<RecordingWidget> window;
    RecordingWidget* child = nullptr;
};

MSG msg(UINT message, WPARAM wParam, int x, int y)
{
    MSG m = {};
    m.message = message;
    m.wParam = wParam;
    m.lParam = MAKELPARAM(x, y);
    return m;
}

TEST(DoubleClickDetectorTest, PairsOnlyQuickNearPressesOfOneButtonOnOneWidget)
{
    const int a = 0, b = 0;
    struct Row {
        const void* secondTarget;
        std::uint64_t delay;
        Point secondPoint;
        std::uint32_t secondButton;
        bool expected;
    };
    const Row rows[] = {
        {&a, 100, {11, 10}, LeftButton, true},   {&a, 500, {10, 10}, LeftButton, false},
        {&a, 100, {14, 10}, LeftButton, false},  {&a, 100, {10, 6}, LeftButton, false},
        {&a, 100, {10, 10}, RightButton, false}, {&b, 100, {10, 10}, LeftButton, false},
    };
    forEachRow(rows, [&](const Row& row) {
        DoubleClickDetector detector(500, 4, 4);
        detector.record(reinterpret_cast<const UIWidget*>(&a), 1000, {10, 10}, LeftButton);
        detector.record(static_cast<const UIWidget*>(row.secondTarget), 1000 + row.delay, row.secondPoint,
                        row.secondButton);
        EXPECT_EQ(detector.isDoubleClick(), row.expected);
    });
    DoubleClickDetector detector(500, 4, 4);
    detector.record(nullptr, 0, {}, LeftButton);
    detector.record(nullptr, 10, {}, LeftButton);
    detector.reset();
    detector.record(nullptr, 20, {}, LeftButton);
    EXPECT_FALSE(detector.isDoubleClick()) << "a third quick press starts a new pair";
}

TEST_F(Win32WindowTest, ClassNamesAreThePathCrcThenACounterAndOneClassPerWindow)
{
    const String path = Application::instance()->executablePath();
    const Crc32 crc(path.constData(), static_cast<std::uint32_t>(path.length() * sizeof(wchar_t)));
    const String prefix = String(L"UI___") + String::number(static_cast<unsigned int>(crc.value()));
    RecordingWidget second(nullptr, Colour(), quickWindow);
    const String first = native()->className();
    const String next = static_cast<UIWin32Window*>(second.nativeWindow())->className();
    ASSERT_TRUE(first.startsWith(prefix, true));
    const int counter = String::toInt(first.c_str() + prefix.length());
    EXPECT_EQ(next, prefix + String::number(counter + 1));
    wchar_t registered[256] = {};
    GetClassNameW(hwndOf(window.get()), registered, 256);
    EXPECT_EQ(String(registered), first);
}

TEST_F(Win32WindowTest, CreateAgainKeepsTheWindow)
{
    void* handle = window->nativeHandle();
    native()->create();
    EXPECT_EQ(window->nativeHandle(), handle);
}

TEST_F(Win32WindowTest, CaptionsBeyond2047CharactersReadAsEmpty)
{
    for (const int length : {2047, 2048}) {
        SCOPED_TRACE(length);
        native()->setTitle(String(L'x', length));
        EXPECT_EQ(native()->title().length(), length < 2048 ? length : 0);
    }
}

TEST_F(Win32WindowTest, PaintReachesTheScreen)
{
    window->repaint();
    const HDC dc = GetDC(hwndOf(window.get()));
    const COLORREF inside = GetPixel(dc, 90, 70);
    const COLORREF outside = GetPixel(dc, 300, 200);
    ReleaseDC(hwndOf(window.get()), dc);
    EXPECT_EQ(inside, RGB(0, 0, 255));
    EXPECT_EQ(outside, RGB(255, 255, 255));
}

TEST_F(Win32WindowTest, MouseMessagesBecomeEventsOfTheWidgetUnderThePointer)
{
    struct Row {
        std::vector<MSG> messages;
        std::vector<RecordedEvent> expected;
        bool enabled = true;
    };
    const Row rows[] = {
        {{msg(WM_LBUTTONDOWN, MK_LBUTTON, 50, 40), msg(WM_LBUTTONUP, 0, 50, 40)},
         {{MousePressEventType, {10, 10}, LeftButton},
          {MouseReleaseEventType, {10, 10}, LeftButton},
          {MouseClickEventType, {10, 10}, LeftButton}}},
        {{msg(WM_LBUTTONDOWN, MK_LBUTTON, 50, 40), msg(WM_LBUTTONUP, 0, 250, 40)},
         {{MousePressEventType, {10, 10}, LeftButton}, {MouseReleaseEventType, {210, 10}, LeftButton}}},
        {{msg(WM_MOUSEMOVE, 0, 60, 50), msg(WM_MOUSEMOVE, 0, 60, 50)}, {{MouseMoveEventType, {20, 20}, 0}}},
        {{msg(WM_XBUTTONDOWN, MAKEWPARAM(MK_XBUTTON1, 1), 41, 31), msg(WM_XBUTTONUP, MAKEWPARAM(0, 1), 41, 31)},
         {{MousePressEventType, {1, 1}, ExtraButton1},
          {MouseReleaseEventType, {1, 1}, ExtraButton1},
          {MouseClickEventType, {1, 1}, ExtraButton1}}},
        // A disabled widget gets no mouse events.
        {{msg(WM_LBUTTONDOWN, MK_LBUTTON, 50, 40), msg(WM_LBUTTONUP, 0, 50, 40), msg(WM_MOUSEMOVE, 0, 51, 41)},
         {},
         false},
    };
    forEachRow(rows, [&](const Row& row) {
        row.enabled ? child->enable() : child->disable();
        child->events.clear();
        for (const MSG& m : row.messages)
            send({m});
        EXPECT_EQ(child->events, row.expected);
    });
}

TEST_F(Win32WindowTest, SecondQuickPressIsADoubleClickOnlyForWidgetsThatTakeThem)
{
    const PatientDoubleClicks patient;
    for (const bool takes : {false, true}) {
        SCOPED_TRACE(takes);
        child->setFlag(WidgetTakesDoubleClicks, takes);
        child->events.clear();
        for (int click = 0; click < 2; ++click)
            send({msg(WM_LBUTTONDOWN, MK_LBUTTON, 50, 40), msg(WM_LBUTTONUP, 0, 50, 40)});
        // A double click leaves the widget unpressed, so its release makes no click.
        const std::vector<int> expected =
            takes ? std::vector<int>{MousePressEventType, MouseReleaseEventType, MouseClickEventType,
                                     MouseDoubleClickEventType, MouseReleaseEventType}
                  : std::vector<int>{MousePressEventType, MouseReleaseEventType, MouseClickEventType,
                                     MousePressEventType, MouseReleaseEventType, MouseClickEventType};
        EXPECT_EQ(child->types(), expected);
    }
}

TEST_F(Win32WindowTest, WheelPrivateMessageAndSystemCommandsReachTheWidgets)
{
    POINT screen = {50, 40};
    ClientToScreen(hwndOf(window.get()), &screen);
    send({msg(WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(-120)), screen.x, screen.y),
          msg(WM_MOUSEHWHEEL, MAKEWPARAM(0, 120), screen.x, screen.y)});
    const std::vector<RecordedEvent> wheel = {{WheelEventType, {10, 10}, 3}, {WheelEventType, {10, 10}, 2}};
    EXPECT_EQ(child->events, wheel);

    SendMessageW(hwndOf(window.get()), 0xD000, 0, 7);
    send({msg(WM_SYSCOMMAND, SC_MINIMIZE, 0, 0), msg(WM_SYSCOMMAND, SC_RESTORE, 0, 0)});
    const std::vector<RecordedEvent> expected = {
        {MessageEventType, {}, 7}, {WindowStateChangeEventType, {}, 0}, {WindowStateChangeEventType, {}, 0}};
    EXPECT_EQ(window->events, expected);
}

// The close command's close (Alt+F4, the close button) is marked as the
// user's; a WM_CLOSE may come from outside.
TEST_F(Win32WindowTest, CloseDestroysTheWindowUnlessAHandlerVetoes)
{
    window->vetoClose = true;
    send({msg(WM_CLOSE, 0, 0, 0)});
    EXPECT_TRUE(IsWindow(hwndOf(window.get())));
    window->vetoClose = false;
    const HWND handle = hwndOf(window.get());
    send({msg(WM_SYSCOMMAND, SC_CLOSE, 0, 0)});
    const std::vector<RecordedEvent> closes = {{CloseEventType, {}, 0}, {CloseEventType, {}, 1}};
    EXPECT_EQ(window->events, closes);
    EXPECT_FALSE(window->testFlag(WidgetCreated));
    EXPECT_FALSE(IsWindowVisible(handle));
}

TEST_F(Win32WindowTest, MinimumTrackSizeOnlyForResizableWindows)
{
    MINMAXINFO info = {};
    info.ptMinTrackSize = {-5, -5};
    SendMessageW(hwndOf(window.get()), WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&info));
    EXPECT_EQ(info.ptMinTrackSize.x, -5);
    window->setWindowFlag(WindowResizable, true);
    window->setMinimumSize(300, 200);
    SendMessageW(hwndOf(window.get()), WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&info));
    int left = 0, top = 0, right = 0, bottom = 0;
    native()->frameMargins(&left, &top, &right, &bottom);
    EXPECT_GE(info.ptMinTrackSize.x, 300 + left + right);
    EXPECT_GE(info.ptMinTrackSize.y, 200 + top + bottom);
}

TEST_F(Win32WindowTest, OpacityIsClampedAndMadeLayered)
{
    struct Row {
        float asked;
        float stored;
        bool layered;
        BYTE alpha;
    };
    const Row rows[] = {{0.5f, 0.5f, true, 127}, {1.5f, 1.0f, false, 0}, {-1.0f, 0.0f, true, 0}};
    forEachRow(rows, [&](const Row& row) {
        native()->setOpacity(row.asked);
        EXPECT_EQ(native()->opacity(), row.stored);
        const LONG_PTR exStyle = GetWindowLongPtrW(hwndOf(window.get()), GWL_EXSTYLE);
        EXPECT_EQ((exStyle & WS_EX_LAYERED) != 0, row.layered);
        BYTE alpha = 0;
        DWORD flags = 0;
        if (row.layered && GetLayeredWindowAttributes(hwndOf(window.get()), nullptr, &alpha, &flags)) {
            EXPECT_EQ(alpha, row.alpha);
        }
    });
}

TEST_F(Win32WindowTest, FramelessFlagRemovesAndRestoresTheCaption)
{
    const auto style = [&] { return GetWindowLongPtrW(hwndOf(window.get()), GWL_STYLE); };
    const auto topMargin = [&] {
        int top = 0;
        native()->frameMargins(nullptr, &top, nullptr, nullptr);
        return top;
    };
    EXPECT_EQ(style() & (WS_CAPTION | WS_POPUP), LONG_PTR(WS_POPUP));
    EXPECT_EQ(SendMessageW(hwndOf(window.get()), WM_GETICON, ICON_SMALL, 0), 0) << "a frameless window got icons";
    const int framelessTop = topMargin();
    native()->setWindowFlag(WindowFrameless, false);
    EXPECT_EQ(style() & (WS_CAPTION | WS_SYSMENU | WS_POPUP), LONG_PTR(WS_CAPTION | WS_SYSMENU));
    EXPECT_GT(topMargin(), framelessTop) << "the new frame was not applied";
    native()->setWindowFlag(WindowFrameless, true);
    EXPECT_EQ(style() & (WS_DLGFRAME | WS_POPUP), LONG_PTR(WS_POPUP));
}

TEST_F(Win32WindowTest, BlockingNestsAndKeepsTheDisabledFlag)
{
    native()->setBlocked(true);
    native()->setBlocked(true);
    EXPECT_FALSE(IsWindowEnabled(hwndOf(window.get())));
    native()->setWindowFlag(WindowDisabled, true);
    EXPECT_FALSE(native()->windowFlags() & WindowDisabled) << "the flag word changed while blocked";
    native()->setWindowFlags(native()->windowFlags() | WindowDisabled);
    EXPECT_FALSE(native()->windowFlags() & WindowDisabled) << "the whole mask changed it while blocked";
    native()->setBlocked(false);
    EXPECT_FALSE(IsWindowEnabled(hwndOf(window.get())));
    native()->setBlocked(false);
    EXPECT_TRUE(IsWindowEnabled(hwndOf(window.get())));
}

TEST_F(Win32WindowTest, KeepHiddenStateLeavesAHiddenWindowHidden)
{
    window->hide();
    native()->setWindowState(WindowKeepHidden);
    EXPECT_FALSE(IsWindowVisible(hwndOf(window.get())));
}

TEST_F(Win32WindowTest, FocusComesBackToTheRememberedWidgetOnlyWhileItLives)
{
    SetForegroundWindow(hwndOf(window.get()));
    child->setFocusPolicy(ClickFocus);
    child->setFocus();
    ASSERT_EQ(UIWidget::focusWidget(), child);
    send({msg(WM_KILLFOCUS, 0, 0, 0)});
    EXPECT_EQ(UIWidget::focusWidget(), nullptr);
    send({msg(WM_SETFOCUS, 0, 0, 0)});
    EXPECT_EQ(UIWidget::focusWidget(), child);
    send({msg(WM_KILLFOCUS, 0, 0, 0)});
    delete child;
    send({msg(WM_SETFOCUS, 0, 0, 0)});
    EXPECT_EQ(UIWidget::focusWidget(), nullptr);
}

TEST_F(Win32WindowTest, CaretInvertsTheScreenAndTheWindowSurfaceRestoresIt)
{
    window->repaint();
    const auto screenPixel = [&] {
        const HDC dc = GetDC(hwndOf(window.get()));
        const COLORREF pixel = GetPixel(dc, 45, 35);
        ReleaseDC(hwndOf(window.get()), dc);
        return pixel;
    };
    child->drawCaret(Rect(44, 34, 2, 10), true);
    EXPECT_EQ(screenPixel(), RGB(255, 255, 0));
    child->drawCaret(Rect(44, 34, 2, 10), false);
    EXPECT_EQ(screenPixel(), RGB(0, 0, 255));
}

TEST_F(Win32WindowTest, LayeredImageIsScaledToTheWindowAndLeavesTheCallersPixels)
{
    const Size frame = window->frameGeometry().size();
    Bitmap image(frame.width, frame.height, true);
    image.fill(Colour(0x80FF0000));
    native()->setLayeredImage(image);
    EXPECT_EQ(native()->backBuffer().size(), frame);
    native()->setLayeredImage(Bitmap(10, 10, true));
    EXPECT_EQ(native()->backBuffer().size(), frame);
    EXPECT_EQ(image.pixel(5, 5), Colour(0x80FF0000)) << "premultiplying changed the caller's image";
    EXPECT_TRUE(GetWindowLongPtrW(hwndOf(window.get()), GWL_EXSTYLE) & WS_EX_LAYERED);
    native()->setLayeredImage(Bitmap());
    EXPECT_TRUE(native()->backBuffer().isNull());
    EXPECT_FALSE(GetWindowLongPtrW(hwndOf(window.get()), GWL_EXSTYLE) & WS_EX_LAYERED);
}

TEST_F(Win32WindowTest, ClosingAModalWindowEndsItsLoopAndUnblocksTheOthers)
{
    RecordingWidget dialog(window.get(), Colour(), quickWindow);
    dialog.setModal(true);
    PostMessageW(hwndOf(&dialog), WM_CLOSE, 0, 0);
    dialog.show();
    EXPECT_EQ(dialog.types(), std::vector<int>{CloseEventType});
    EXPECT_FALSE(dialog.testFlag(WidgetCreated));
    EXPECT_TRUE(IsWindowEnabled(hwndOf(window.get())));
}

} // namespace
