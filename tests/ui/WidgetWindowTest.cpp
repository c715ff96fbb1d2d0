#include "WidgetTestKit.h"

#include "foundation/Application.h"
#include "graphics/Screen.h"
#include "ui/UIManager.h"
#include "ui/UITheme.h"
#include "ui/TrayIcon.h"

#include "tests/support/RowTable.h"
#include "tests/support/StringPrinting.h"

#include <windows.h>

using WindowWidgets = WidgetTest;

namespace {

// Focusable by Tab (tab order above 0) or not.
ProbeWidget* focusable(UIWidget* parent, int tabOrder)
{
    auto* w = new ProbeWidget(parent);
    w->resize(20, 20);
    w->setFocusPolicy(TabFocus | ClickFocus);
    w->setTabOrder(tabOrder);
    w->show();
    return w;
}

} // namespace

TEST_F(WindowWidgets, TabChainWrapsBothWays)
{
    ProbeWidget window(nullptr, frameWindowFlags, true);
    ProbeWidget* a = focusable(&window, 1);
    ProbeWidget* outside = focusable(&window, 0);
    ProbeWidget* b = focusable(&window, 2);
    showActive(window, 40, 40);
    ASSERT_TRUE(window.isActiveWindow());
    struct Row {
        ProbeWidget* from;
        bool shift;
        ProbeWidget* to;
    };
    const Row rows[] = {
        {b, false, a}, {a, true, b}, {a, false, b}, {outside, false, a}, {outside, true, a},
    };
    forEachRow(rows, [&](const Row& row) {
        row.from->clearFocus();
        row.from->setFocus();
        ASSERT_TRUE(row.from->hasFocus());
        row.from->handled.clear();
        send(*row.from, keyEvent(KeyPressEventType, 9, row.shift ? std::uint32_t(ShiftModifier) : 0u));
        EXPECT_TRUE(row.to->hasFocus());
        // The key press handlers never see Tab.
        EXPECT_TRUE(std::find(row.from->handled.begin(), row.from->handled.end(), KeyPressEventType)
                    == row.from->handled.end());
    });
}

TEST_F(WindowWidgets, HidingAParentTakesTheFocusFromItsChild)
{
    ProbeWidget window(nullptr, frameWindowFlags, true);
    auto* box = new ProbeWidget(&window);
    box->show();
    ProbeWidget* field = focusable(box, 1);
    showActive(window, 40, 40);
    field->setFocus();
    ASSERT_TRUE(field->hasFocus());
    field->handled.clear();
    box->handled.clear();
    box->hide();
    EXPECT_EQ(UIWidget::focusWidget(), nullptr);
    EXPECT_EQ(field->handled, (std::vector<int>{FocusOutEventType}));
    EXPECT_EQ(box->handled, (std::vector<int>{HideEventType}));
}

TEST_F(WindowWidgets, KeyPreviewTakesWhatTheWindowAccepts)
{
    ProbeWidget window(nullptr, quickWindow | WindowKeyPreview, true);
    ProbeWidget* field = focusable(&window, 1);
    showAt(window, 40, 40);
    for (bool windowAccepts : {true, false}) {
        SCOPED_TRACE(windowAccepts ? "window accepts" : "window passes");
        window.acceptKeys = windowAccepts;
        window.handled.clear();
        field->handled.clear();
        send(*field, keyEvent(KeyPressEventType, 'A'));
        send(*field, keyEvent(KeyReleaseEventType, 'A'));
        const std::vector<int> both{KeyPressEventType, KeyReleaseEventType};
        EXPECT_EQ(window.handled, both);
        EXPECT_EQ(field->handled, windowAccepts ? std::vector<int>{} : both);
    }
}

TEST_F(WindowWidgets, SeeThroughAndStackingDecideWhichChildIsHit)
{
    ProbeWidget window(nullptr, quickWindow, true);
    auto* first = new ProbeWidget(&window);
    auto* second = new ProbeWidget(&window);
    auto* transparent = new ProbeWidget(&window);
    for (auto* w : {first, second, transparent}) {
        w->resize(50, 50);
        w->show();
    }
    second->move(25, 25);
    transparent->setFlag(WidgetMouseTransparent, true);
    showAt(window, 40, 40);
    EXPECT_EQ(window.childAt({30, 30}), first);
    EXPECT_EQ(window.childAt({60, 60}), second);
    EXPECT_EQ(window.childAt({120, 120}), nullptr);
}

TEST_F(WindowWidgets, ModalLoopBlocksOtherWindowsAndRestoresThem)
{
    ProbeWidget enabledWindow(nullptr, quickWindow, true);
    ProbeWidget disabledWindow(nullptr, quickWindow, true);
    showAt(enabledWindow, 40, 40);
    showAt(disabledWindow, 60, 60);
    disabledWindow.disable();
    // A notification-area menu stays usable while the dialog runs.
    ProbeWidget trayMenu(nullptr, quickWindow, true);
    trayMenu.storeStyleName(String(L"UIMenu"));
    showAt(trayMenu, 80, 80);
    TrayIcon tray;
    tray.setMenu(&trayMenu);
    auto* dialog = new ProbeWidget(nullptr, quickWindow, true);
    dialog->setModal(true);
    auto* inner = new ProbeWidget(dialog, quickWindow, true);
    bool enabledDuringLoop = true;
    bool innerEnabledDuringLoop = false;
    bool trayMenuEnabledDuringLoop = false;
    class ShowProbe : public SignalReceiver {
    public:
        std::function<void()> action;
        void onShown(UIEvent*) { action(); }
    } probe;
    probe.action = [&] {
        enabledDuringLoop = IsWindowEnabled(hwndOf(&enabledWindow)) != 0;
        trayMenuEnabledDuringLoop = IsWindowEnabled(hwndOf(&trayMenu)) != 0;
        innerEnabledDuringLoop = IsWindowEnabled(hwndOf(inner)) != 0;
        dialog->close();
    };
    dialog->shown.connect(&probe, &ShowProbe::onShown);
    dialog->show();
    // Back from the loop: the close destroyed the dialog.
    EXPECT_FALSE(dialog->testFlag(WidgetCreated));
    EXPECT_FALSE(enabledDuringLoop);
    EXPECT_TRUE(innerEnabledDuringLoop);
    EXPECT_TRUE(trayMenuEnabledDuringLoop);
    EXPECT_TRUE(IsWindowEnabled(hwndOf(&enabledWindow)));
    EXPECT_FALSE(IsWindowEnabled(hwndOf(&disabledWindow)));
    delete dialog;
}

namespace {

bool modalGuardFired = false;

void CALLBACK endLoopsAnyway(HWND, UINT, UINT_PTR id, DWORD)
{
    KillTimer(nullptr, id);
    modalGuardFired = true;
    dispatcher()->quitAll(0);
}

} // namespace

// A show handler that destroyed its modal window used to leave the loop
// running with nobody to quit it, and every other window disabled.
TEST_F(WindowWidgets, ModalWindowDestroyedWhileShownEndsItsLoop)
{
    ProbeWidget other(nullptr, quickWindow, true);
    showAt(other, 40, 40);
    auto* dialog = new ProbeWidget(nullptr, quickWindow, true);
    dialog->setModal(true);
    class ShowProbe : public SignalReceiver {
    public:
        UIWidget* window = nullptr;
        void onShown(UIEvent*) { window->destroy(); }
    } probe;
    probe.window = dialog;
    dialog->shown.connect(&probe, &ShowProbe::onShown);
    modalGuardFired = false;
    // A loop left running fails the test rather than hanging it.
    const UINT_PTR guard = SetTimer(nullptr, 0, 3000, endLoopsAnyway);
    dialog->show();
    KillTimer(nullptr, guard);
    EXPECT_FALSE(modalGuardFired) << "the modal loop ran after its window was destroyed";
    EXPECT_FALSE(dialog->testFlag(WidgetCreated));
    EXPECT_FALSE(dialog->isInModalLoop());
    EXPECT_TRUE(IsWindowEnabled(hwndOf(&other)));
    delete dialog;
}

TEST_F(WindowWidgets, TitlesJoinTheSeparatorAndProductName)
{
    ProbeWidget window(nullptr, frameWindowFlags, true);
    UIManager::instance()->setTitleSeparator(String(L" | "));
    const String product = Application::instance()->productName();
    struct Row {
        const wchar_t* text;
        bool withAppName;
        String expected;
    };
    const Row rows[] = {
        {L"", true, product},
        {L"Tags", true, String(L"Tags | ") + product},
        {L"Tags", false, String(L"Tags")},
    };
    forEachRow(rows, [&](const Row& row) {
        window.setWindowTitle(String(row.text), row.withAppName);
        EXPECT_EQ(window.windowTitle(), row.expected);
    });
    StringList parts;
    parts.append(String(L"a"));
    parts.append(String(L"b"));
    window.setWindowTitle(parts, false);
    EXPECT_EQ(window.windowTitle(), String(L"a | b"));
    UIManager::instance()->setTitleSeparator(String(L" \x2013 "));
}

// The suffix used to be appended once more each time it was set.
TEST_F(WindowWidgets, TitleSuffixReplacesTheOldOne)
{
    ProbeWidget window(nullptr, frameWindowFlags, true);
    window.setWindowTitle(String(L"Tags"), false);
    window.setTitleSuffix(String(L" (1)"));
    window.setTitleSuffix(String(L" (2)"));
    EXPECT_EQ(window.windowTitle(), String(L"Tags (2)"));
}

TEST_F(WindowWidgets, HotKeyIdsAreUniquePerWindow)
{
    ProbeWidget window(nullptr, frameWindowFlags, true);
    UIWidget plain;
    const HotKey hotKey(7, 0x7B, 2 | 4);
    EXPECT_FALSE(plain.registerHotKey(hotKey));
    EXPECT_FALSE(window.registerHotKey(HotKey(7, 'A', 0)));
    ASSERT_TRUE(window.registerHotKey(hotKey));
    EXPECT_FALSE(window.registerHotKey(HotKey(7, 0x7A, 2 | 4)));
    window.unregisterHotKey(7);
    EXPECT_TRUE(window.hotKeys().isEmpty());
}

namespace {

// Two side-by-side monitors with a task bar on each, whatever the machine has.
class TwoMonitors : public MonitorSource {
public:
    Rect monitorRectAt(Point p, bool workArea) override
    {
        for (const Rect& r : rects(workArea)) {
            if (r.contains(p))
                return r;
        }
        return Rect::empty;
    }
    bool monitorRects(bool workArea, Array<Rect>& out) override
    {
        for (const Rect& r : rects(workArea))
            out.append(r);
        return true;
    }
    Rect primaryMonitorRect(bool workArea) override { return rects(workArea)[0]; }

private:
    static std::vector<Rect> rects(bool workArea)
    {
        const int bar = workArea ? 40 : 0;
        return {{0, 0, 1000, 800 - bar}, {1000, 0, 800, 600 - bar}};
    }
};

} // namespace

TEST_F(WindowWidgets, ShowWindowCentresOverAVisibleParentElseOnThePrimaryMonitor)
{
    TwoMonitors monitors;
    Screen::setMonitorSource(&monitors);
    ProbeWidget owner(nullptr, quickWindow, true);
    owner.move(1100, 100);
    owner.resize(400, 300);
    struct Row {
        bool ownerVisible;
        int placeOnScreen;
        bool overOwner;
    };
    const Row rows[] = {{true, 0, true}, {false, 0, false}, {true, 1, false}};
    forEachRow(rows, [&](const Row& row) {
        owner.setVisible(row.ownerVisible);
        pumpPending();
        ProbeWidget dialog(&owner, quickWindow, true);
        dialog.resize(200, 100);
        dialog.setPlaceOnScreen(row.placeOnScreen);
        dialog.setWindowAlignment(AlignCenter);
        dialog.showWindow();
        pumpPending();
        const Rect frame = dialog.frameGeometry();
        const Rect area = row.overOwner ? owner.frameGeometry() : Rect(0, 0, 1000, 760);
        EXPECT_EQ(frame.center(), area.alignedRect(frame.width, frame.height, AlignCenter).center());
    });
    Screen::setMonitorSource(nullptr);
}

namespace {

// A style whose only metric is the desktop padding.
class PaddedTheme : public UITheme {
public:
    explicit PaddedTheme(int padding) : m_padding(padding) {}
    int metric(int id) const override { return id == MetricWindowDesktopPadding ? m_padding : 0; }

private:
    int m_padding;
};

} // namespace

// Placement over an owner near a work-area edge used to fit the dialog
// against the bare edge, ignoring the style's desktop padding.
TEST_F(WindowWidgets, ShowWindowKeepsTheDesktopPaddingFromTheWorkAreaEdges)
{
    TwoMonitors monitors;
    Screen::setMonitorSource(&monitors);
    constexpr int padding = 8;
    UIManager::instance()->setTheme(new PaddedTheme(padding));
    ProbeWidget owner(nullptr, quickWindow, true);
    struct Row {
        int ownerX;
        int expectedX;
    };
    // The first monitor's work area spans x 0 to 1000; the dialog is 200 wide.
    const Row rows[] = {{850, 1000 - padding - 200}, {0, padding}};
    forEachRow(rows, [&](const Row& row) {
        showAt(owner, row.ownerX, 100, 100, 300);
        ProbeWidget dialog(&owner, quickWindow, true);
        dialog.resize(200, 100);
        dialog.setWindowAlignment(AlignCenter);
        dialog.showWindow();
        pumpPending();
        EXPECT_EQ(dialog.frameGeometry().x, row.expectedX);
    });
    UIManager::instance()->setTheme(new UITheme());
    Screen::setMonitorSource(nullptr);
}

TEST_F(WindowWidgets, ShowWindowLeavesAMovedWindowWhereItIs)
{
    ProbeWidget window(nullptr, quickWindow, true);
    window.setWindowAlignment(AlignCenter);
    window.move(70, 80);
    pumpPending();
    window.showWindow();
    pumpPending();
    EXPECT_EQ(window.pos(), (Point{70, 80}));
}

TEST_F(WindowWidgets, WindowStateBitsExcludeEachOther)
{
    ProbeWidget window(nullptr, frameWindowFlags, true);
    showActive(window, 40, 40);
    window.setWindowState(WindowMinimized | WindowMaximized);
    pumpPending();
    EXPECT_TRUE(window.isMinimized());
    EXPECT_FALSE(window.isMaximized());
    window.activateWindow();
    pumpPending();
    EXPECT_FALSE(window.isMinimized());
}
