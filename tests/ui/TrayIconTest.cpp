#include "ui/TrayIcon.h"

#include "ui/UIToolkitHooks.h"

#include "WindowTesting.h"
#include "tests/support/RowTable.h"
#include "tests/support/StringPrinting.h"

#include <shellapi.h>

#include <vector>

namespace {

// What the icon asked the shell for, one entry per Shell_NotifyIconW call.
struct ShellCall {
    unsigned long message;
    NOTIFYICONDATAW data;
};

std::vector<ShellCall> shellCalls;

int recordShellCall(unsigned long message, void* data)
{
    shellCalls.push_back({message, *static_cast<NOTIFYICONDATAW*>(data)});
    return TRUE;
}

struct MouseRecord {
    int type;
    int button;
    bool operator==(const MouseRecord&) const = default;
};

class MouseRecorder : public SignalReceiver {
public:
    explicit MouseRecorder(TrayIcon& icon)
    {
        for (Signal* s : {&icon.pressed, &icon.released, &icon.moved, &icon.clicked})
            s->connect(this, &MouseRecorder::onMouse);
    }
    void onMouse(UIMouseEvent* e) { events.push_back({e->type(), e->button()}); }

    std::vector<MouseRecord> events;
};

class MenuHooks : public UIToolkitHooks {
public:
    void popupMenu(UIWidget* menu, Point) override { popups.push_back(menu); }
    std::vector<UIWidget*> popups;
};

class TrayIconTest : public WidgetTest {
protected:
    void SetUp() override
    {
        shellCalls.clear();
        setNotifyIconFunction(recordShellCall);
    }
    void TearDown() override
    {
        setNotifyIconFunction(nullptr);
        WidgetTest::TearDown();
    }

    // Xvfb has no notification area: the test plays the shell's part.
    static void sendMouse(TrayIcon& icon, UINT mouseMessage, WPARAM id = 1)
    {
        SendMessageW(static_cast<HWND>(icon.windowHandle()), icon.callbackMessage(), id, mouseMessage);
    }
    static void restartTaskbar(TrayIcon& icon)
    {
        SendMessageW(static_cast<HWND>(icon.windowHandle()), RegisterWindowMessageW(L"TaskbarCreated"), 0, 0);
    }
    static std::vector<UINT> flagsOf(unsigned long message)
    {
        std::vector<UINT> flags;
        for (const ShellCall& call : shellCalls) {
            if (call.message == message)
                flags.push_back(call.data.uFlags);
        }
        return flags;
    }
};

} // namespace

TEST_F(TrayIconTest, AddsHiddenAndRemovesOnDestruction)
{
    {
        TrayIcon icon;
        ASSERT_EQ(shellCalls.size(), 1u);
        const NOTIFYICONDATAW& added = shellCalls[0].data;
        EXPECT_EQ(shellCalls[0].message, static_cast<unsigned long>(NIM_ADD));
        EXPECT_EQ(added.cbSize, static_cast<DWORD>(NOTIFYICONDATAW_V2_SIZE));
        EXPECT_EQ(added.hWnd, icon.windowHandle());
        EXPECT_EQ(added.uCallbackMessage, icon.callbackMessage());
        EXPECT_EQ(added.dwState & NIS_HIDDEN, static_cast<DWORD>(NIS_HIDDEN));
        EXPECT_FALSE(icon.isVisible());
        EXPECT_EQ(icon.iconRect(), Rect());
    }
    EXPECT_EQ(shellCalls.back().message, static_cast<unsigned long>(NIM_DELETE));
}

TEST_F(TrayIconTest, MouseMessagesBecomeEventsInOrder)
{
    struct Row {
        std::vector<UINT> messages;
        WPARAM id;
        std::vector<MouseRecord> expected;
    };
    const Row rows[] = {
        {{WM_LBUTTONDOWN, WM_LBUTTONUP},
         1,
         {{MousePressEventType, LeftButton}, {MouseReleaseEventType, LeftButton}, {MouseClickEventType, LeftButton}}},
        {{WM_RBUTTONDOWN, WM_RBUTTONUP},
         1,
         {{MousePressEventType, RightButton}, {MouseReleaseEventType, RightButton}, {MouseClickEventType, RightButton}}},
        {{WM_MOUSEMOVE}, 1, {{MouseMoveEventType, LeftButton}}},
        {{WM_LBUTTONDBLCLK, WM_MBUTTONUP}, 1, {}},
        {{WM_LBUTTONUP}, 2, {}},
    };
    forEachRow(rows, [](const Row& row) {
        TrayIcon icon;
        MouseRecorder recorder(icon);
        for (UINT message : row.messages)
            sendMouse(icon, message, row.id);
        EXPECT_EQ(recorder.events, row.expected);
    });
}

TEST_F(TrayIconTest, RightReleaseShowsTheMenuOnlyWhileItsWindowIsEnabled)
{
    MenuHooks hooks;
    setToolkitHooks(&hooks);
    RecordingWidget menu(nullptr, Colour(255, 255, 255), quickWindow);
    showAt(menu, 20, 20);
    {
        TrayIcon icon;
        icon.setMenu(&menu);
        MouseRecorder recorder(icon);
        sendMouse(icon, WM_RBUTTONUP);
        EXPECT_EQ(hooks.popups, std::vector<UIWidget*>{&menu});
        // A modal dialog disables the other windows the way it does here.
        menu.nativeWindow()->setBlocked(true);
        sendMouse(icon, WM_RBUTTONUP);
        menu.nativeWindow()->setBlocked(false);
        EXPECT_EQ(hooks.popups.size(), 1u);
        EXPECT_EQ(recorder.events.size(), 4u);
        EXPECT_TRUE(TrayIcon::isTrayMenu(&menu));
    }
    setToolkitHooks(nullptr);
    EXPECT_FALSE(TrayIcon::isTrayMenu(&menu));
    menu.hide();
}

TEST_F(TrayIconTest, ANewMenuDeletesTheEarlierOne)
{
    TrayIcon icon;
    auto* first = new RecordingWidget(nullptr, Colour(255, 255, 255), quickWindow);
    icon.setMenu(first);
    const int id = first->id();
    icon.setMenu(nullptr);
    EXPECT_FALSE(UIManager::instance()->isRegistered(first) && first->id() == id);
}

TEST_F(TrayIconTest, TaskbarRestartAddsIconAndTipAgain)
{
    for (bool visible : {true, false}) {
        SCOPED_TRACE(visible);
        TrayIcon icon;
        Bitmap image(16, 16, true);
        image.fill(Colour(255, 10, 20, 30));
        icon.setIcon(image);
        icon.setToolTip(String(L"Kestrola"));
        icon.show();
        icon.setVisible(visible);
        shellCalls.clear();
        restartTaskbar(icon);
        std::vector<UINT> modified{NIF_ICON, NIF_TIP};
        if (visible)
            modified.push_back(NIF_STATE);
        EXPECT_EQ(flagsOf(NIM_ADD), std::vector<UINT>{NIF_MESSAGE | NIF_STATE});
        EXPECT_EQ(flagsOf(NIM_MODIFY), modified);
        ASSERT_FALSE(shellCalls.empty());
        const NOTIFYICONDATAW& last = shellCalls.back().data;
        EXPECT_NE(last.hIcon, nullptr);
        EXPECT_EQ(String(last.szTip), String(L"Kestrola"));
        EXPECT_EQ(last.dwState & NIS_HIDDEN, visible ? 0u : static_cast<DWORD>(NIS_HIDDEN));
        EXPECT_EQ(icon.isVisible(), visible);
    }
}

TEST_F(TrayIconTest, ShowingChangesTheShellOnlyOnChange)
{
    TrayIcon icon;
    shellCalls.clear();
    icon.show();
    icon.show();
    icon.setVisible(false);
    EXPECT_EQ(flagsOf(NIM_MODIFY), (std::vector<UINT>{NIF_STATE, NIF_STATE}));
}

// The tip used to fill all 128 units and reach the shell unterminated.
TEST_F(TrayIconTest, TextsAreCutAndAlwaysTerminated)
{
    TrayIcon icon;
    icon.setToolTip(String(L't', 200));
    EXPECT_EQ(String(shellCalls.back().data.szTip), String(L't', 127));
    icon.showBalloon(String(L'T', 64), String(L'x', 256), 7);
    const NOTIFYICONDATAW& balloon = shellCalls.back().data;
    EXPECT_EQ(String(balloon.szInfoTitle), String(L'T', 63));
    EXPECT_EQ(String(balloon.szInfo), String(L'x', 255));
    EXPECT_EQ(balloon.dwInfoFlags, static_cast<DWORD>(NIIF_NONE));
    EXPECT_EQ(balloon.uFlags, static_cast<UINT>(NIF_INFO));
    icon.showBalloon(String(L"a"), String(L"b"), TrayBalloonWarning);
    EXPECT_EQ(String(shellCalls.back().data.szInfoTitle), String(L"a"));
    EXPECT_EQ(shellCalls.back().data.dwInfoFlags, static_cast<DWORD>(NIIF_WARNING));
}
