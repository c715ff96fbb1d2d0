#include "ui/widgets/UIMenu.h"

#include "graphics/Screen.h"
#include "ui/PlatformServices.h"
#include "ui/UIPopupRegistry.h"
#include "ui/widgets/UIWidgetHooks.h"

#include "tests/support/Pump.h"
#include "tests/support/RowTable.h"
#include "tests/support/StringPrinting.h"
#include "tests/widgets/OneMonitor.h"
#include "tests/widgets/PointerMessages.h"
#include "tests/widgets/StyledWidgetTest.h"

#include <windows.h>

#include <vector>

namespace {

// Entry texts given as one space-separated string.
StringList texts(const String& words)
{
    return StringList::split(words, L" ");
}

// Counts what a menu and its entries emit, in order.
class MenuProbe : public SignalReceiver {
public:
    void onAboutToShow(UIMenu*) { events.push_back(-100); }
    void onMenuTriggered(int index) { events.push_back(index); }
    void onActionTriggered() { events.push_back(-1); }
    void clearMenu(int) { menu->clear(); }
    void deleteMenu(int) { delete menu; }

    UIMenu* menu = nullptr;
    std::vector<int> events;
};

class MenuTest : public StyledWidgetTest {
protected:
    // The pointer is parked away from where the menus open: Wine highlights
    // the entry under it with a move of its own, as late as it likes.
    void SetUp() override
    {
        window.setGeometry(40, 40, 300, 200);
        ASSERT_TRUE(SetCursorPos(1200, 1000));
    }

    // Entries "a", "b", "c"; with a submenu of "x", "y" under "b". They
    // never take the activation: Wine hides an active window slowly.
    UIMenu* makeMenu(UIWidget* parent, bool withSubmenu)
    {
        auto* menu = new UIMenu(parent);
        menu->setWindowFlag(WindowNoActivate, true);
        menu->addActions(texts(L"a b c"));
        if (withSubmenu) {
            auto* sub = new UIMenu(menu);
            sub->setWindowFlag(WindowNoActivate, true);
            sub->addActions(texts(L"x y"));
            menu->setSubmenu(1, sub);
        }
        return menu;
    }

    // A root menu shown over the window with its submenu open.
    UIMenu* openWithSubmenu()
    {
        showAt(window, 40, 40);
        UIMenu* menu = makeMenu(&window, true);
        menu->popup(Point(80, 80));
        pumpPending();
        menu->activate(menu->action(1));
        pumpPending();
        return menu;
    }

    static void press(const UIWidget* target, Point at)
    {
        const LPARAM where = MAKELPARAM(at.x, at.y);
        SendMessageW(hwndOf(target), WM_LBUTTONDOWN, MK_LBUTTON, where);
        SendMessageW(hwndOf(target), WM_LBUTTONUP, 0, where);
        pumpPending();
    }

    RecordingWidget window{nullptr, Colour(255, 255, 255), quickWindow};
    MenuProbe probe;
};

TEST_F(MenuTest, AnEmptyOrDisabledMenuNeitherShowsNorAnnouncesItself)
{
    struct Row {
        bool empty;
        bool disabled;
        bool shows;
    };
    const Row rows[] = {{true, false, false}, {false, true, false}, {false, false, true}};
    forEachRow(rows, [&](const Row& row) {
        UIMenu menu;
        menu.setWindowFlag(WindowNoActivate, true);
        if (!row.empty)
            menu.addAction(L"a");
        if (row.disabled)
            menu.disable();
        menu.aboutToShow.connect(&probe, &MenuProbe::onAboutToShow);
        probe.events.clear();
        menu.popup(Point(100, 100));
        EXPECT_EQ(menu.isVisible(), row.shows);
        EXPECT_EQ(probe.events, row.shows ? std::vector<int>{-100} : std::vector<int>{});
        EXPECT_EQ(UIPopupRegistry::contains(&menu), row.shows);
    });
    EXPECT_EQ(UIPopupRegistry::count(), 0);
}

TEST_F(MenuTest, ACheckedRadioEntryStaysCheckedWhenClickedAndBothSignalsFire)
{
    UIMenu menu;
    menu.addActions(texts(L"a b"));
    menu.setAllCheckable(true);
    menu.setAllCheckKind(ActionRadio);
    menu.checkAction(1);
    menu.triggered.connect(&probe, &MenuProbe::onMenuTriggered);
    menu.action(1)->triggered.connect(&probe, &MenuProbe::onActionTriggered);
    menu.activate(menu.action(1));
    EXPECT_TRUE(menu.isActionChecked(1));
    EXPECT_EQ(probe.events, (std::vector<int>{1, -1}));
    menu.uncheckAction(1);
    EXPECT_TRUE(menu.isActionChecked(1));
}

TEST_F(MenuTest, CheckingARadioEntryClearsOnlyItsUnbrokenRun)
{
    // Radio entries 0-1, a plain check entry 2, radio entries 3-4.
    UIMenu menu;
    menu.addActions(texts(L"r0 r1 c2 r3 r4"));
    menu.setAllCheckable(true);
    menu.setAllCheckKind(ActionRadio);
    menu.action(2)->setCheckKind(ActionCheckBox);
    for (int i : {0, 2, 3})
        menu.checkAction(i);
    menu.activate(menu.action(1));
    std::vector<bool> checked;
    for (int i = 0; i < 5; ++i)
        checked.push_back(menu.isActionChecked(i));
    EXPECT_EQ(checked, (std::vector<bool>{false, true, true, true, false}));
}

TEST_F(MenuTest, AnEntryWithAnEmptySubmenuIsDisabledAndCannotBeActivated)
{
    UIMenu menu;
    menu.addAction(L"more");
    auto* sub = new UIMenu(&menu);
    menu.setSubmenu(0, sub);
    menu.triggered.connect(&probe, &MenuProbe::onMenuTriggered);
    EXPECT_FALSE(menu.isActionEnabled(0));
    menu.activate(menu.action(0));
    EXPECT_TRUE(probe.events.empty());
    sub->addAction(L"x");
    EXPECT_TRUE(menu.isActionEnabled(0));
}

TEST_F(MenuTest, HiddenEntriesKeepTheirIndex)
{
    UIMenu menu;
    menu.addActions(texts(L"a b c"));
    const int fullHeight = menu.sizeHint().height;
    menu.hideAction(1);
    EXPECT_EQ(menu.actionText(2), String(L"c"));
    EXPECT_EQ(menu.indexOf(menu.action(2)), 2);
    EXPECT_LT(menu.sizeHint().height, fullHeight);
}

// Fault: the widest entry's shortcut was painted over its own text.
TEST_F(MenuTest, AShortcutLeavesRoomForTheArrowSpaceItIsPaintedClearOf)
{
    UIMenu plain;
    plain.addAction(L"Rename entry");
    UIMenu withKeys;
    withKeys.addAction(L"Rename entry", StateImages(), KeySequence(0x11, 'R'));
    UIMenu withArrow;
    withArrow.addAction(L"Rename entry");
    withArrow.setSubmenu(0, new UIMenu(&withArrow));
    const int arrowSpace = withArrow.sizeHint().width - plain.sizeHint().width;
    ASSERT_GT(arrowSpace, 0);
    EXPECT_GT(withKeys.sizeHint().width - plain.sizeHint().width, arrowSpace + 20);
}

TEST_F(MenuTest, SubmenusOpenLeftOrBottomAlignedAtTheWorkAreaEdges)
{
    const Rect area(0, 0, 1000, 760);
    const UIMargins padding{2, 3, 2, 4};
    struct Row {
        Point point;
        Rect entry;
        Point expected;
    };
    const Size size(200, 300);
    const Row rows[] = {
        {{500, 100}, {300, 100, 200, 20}, {500, 97}},
        {{900, 100}, {700, 100, 200, 20}, {500, 97}},
        {{500, 600}, {300, 600, 200, 20}, {500, 324}},
        {{900, 600}, {700, 600, 200, 20}, {500, 324}},
        {{800, 460}, {600, 460, 200, 20}, {800, 457}},
    };
    forEachRow(rows, [&](const Row& row) {
        EXPECT_EQ(UIMenu::submenuPosition(row.point, size, area, row.entry, padding), row.expected);
    });
}

TEST_F(MenuTest, RootMenusStayInTheWorkAreaAndFlipAboveThePointOrTheBar)
{
    OneMonitor monitor;
    const Size size(200, 300);
    const Rect bar(0, 700, 1000, 30);
    struct Row {
        Point point;
        UIMargins padding;
        int offset;
        Point expected;
    };
    const Row rows[] = {
        {{100, 100}, {}, 0, {100, 100}},
        {{100, 700}, {}, 0, {100, 401}},
        {{950, 100}, {}, 0, {800, 100}},
        {{950, 100}, {0, 0, 10, 0}, 0, {790, 100}},
        {{100, 729}, {}, UIMenu::barFlipOffset(bar, {100, 729}), {100, 400}},
    };
    forEachRow(rows, [&](const Row& row) {
        EXPECT_EQ(UIMenu::rootMenuRect(row.point, size, row.padding, row.offset).topLeft(), row.expected);
    });
}

TEST_F(MenuTest, OnlyTheRootOfTheOpenChainArmsTheSubmenuTimer)
{
    UIMenu* menu = openWithSubmenu();
    UIMenu* sub = menu->submenu(1);
    ASSERT_TRUE(sub->isVisible());
    struct Row {
        int rootCurrent;
        bool rootArmed;
    };
    // The root's entry already points at the submenu: the walk stops.
    const Row rows[] = {{1, false}, {0, true}};
    forEachRow(rows, [&](const Row& row) {
        menu->setCurrentIndex(row.rootCurrent);
        menu->killTimer(submenuTimerId);
        sub->setCurrentIndex(sub->currentIndex() == 0 ? 1 : 0);
        EXPECT_EQ(menu->isTimerActive(submenuTimerId), row.rootArmed);
        EXPECT_EQ(menu->currentIndex(), 1);
        EXPECT_FALSE(sub->isTimerActive(submenuTimerId));
    });
    delete menu;
}

// A pointer an earlier test left over another entry where the menu opens
// got Wine's move of its own, which on a busy machine came after the
// test's: the delay ran for that entry. The pointer really moves onto it.
TEST_F(MenuTest, HoveringARootEntryOpensItsSubmenuAfterTheDelay)
{
    showAt(window, 40, 40);
    UIMenu* menu = makeMenu(&window, true);
    menu->popup(Point(80, 80));
    pumpPending();
    const Rect entry = menu->action(1)->rect();
    ASSERT_FALSE(entry.isEmpty());
    sendPointerMessage(*menu, WM_MOUSEMOVE, 0, entry.center());
    EXPECT_EQ(menu->currentIndex(), 1);
    EXPECT_TRUE(pumpUntil([&] { return menu->submenu(1)->isVisible(); }, 30000));
    EXPECT_EQ(menu->openSubmenu(), menu->submenu(1));
    delete menu;
}

TEST_F(MenuTest, ArrowKeysSkipSeparatorsAndDisabledEntriesAndEnterActivates)
{
    UIMenu menu;
    menu.addAction(L"a");
    menu.addSeparator();
    menu.addAction(L"c")->setEnabled(false);
    menu.addAction(L"d");
    menu.triggered.connect(&probe, &MenuProbe::onMenuTriggered);
    const auto pressKey = [&](int key) {
        UIKeyEvent e(KeyPressEventType, key, KeyboardModifiers(), String());
        menu.event(&e);
        return menu.currentIndex();
    };
    struct Row {
        int key;
        int current;
    };
    const Row rows[] = {{40, 0}, {40, 3}, {40, 0}, {38, 3}, {38, 0}};
    forEachRow(rows, [&](const Row& row) { EXPECT_EQ(pressKey(row.key), row.current); });
    pressKey(13);
    EXPECT_EQ(probe.events, std::vector<int>{0});
}

// Arrow keys used to arm the pointer's submenu delay: Down onto an entry
// with a submenu opened it a moment later and moved the focus into it.
TEST_F(MenuTest, KeysMoveTheHighlightAndOpenAndCloseSubmenusOnlyWhenAsked)
{
    showAt(window, 40, 40);
    auto* menu = new UIMenu(&window);
    menu->addActions(texts(L"a b c"));
    auto* sub = new UIMenu(menu);
    sub->addActions(texts(L"x y"));
    menu->setSubmenu(1, sub);
    menu->popup(Point(80, 80));
    pumpPending();
    ASSERT_TRUE(menu->hasFocus());
    // Typed as the keyboard does: to the window that has the focus.
    const auto key = [](int virtualKey) {
        const LPARAM scan = LPARAM(MapVirtualKeyW(UINT(virtualKey), MAPVK_VK_TO_VSC)) << 16;
        SendMessageW(GetFocus(), WM_KEYDOWN, WPARAM(virtualKey), scan | 1);
        SendMessageW(GetFocus(), WM_KEYUP, WPARAM(virtualKey), scan | 1 | (LPARAM(3) << 30));
        pumpPending();
    };
    struct Row {
        int key;
        int rootCurrent;
        bool subVisible;
        int subCurrent;
        bool focusInSub;
    };
    const Row rows[] = {
        {VK_DOWN, 0, false, -1, false},  {VK_DOWN, 1, false, -1, false}, {VK_RIGHT, 1, true, 0, true},
        {VK_DOWN, 1, true, 1, true},     {VK_LEFT, 1, false, -1, false}, {VK_RETURN, 1, true, 0, true},
        {VK_ESCAPE, 1, false, -1, false}, {VK_UP, 0, false, -1, false},  {VK_RIGHT, 0, false, -1, false},
    };
    forEachRow(rows, [&](const Row& row) {
        key(row.key);
        // A moved highlight waits longer than the menu show delay: nothing
        // may open on its own.
        if (row.key == VK_DOWN || row.key == VK_UP)
            pumpUntil([] { return false; }, DWORD(menuShowDelay()) + 200);
        EXPECT_TRUE(menu->isVisible());
        EXPECT_EQ(menu->currentIndex(), row.rootCurrent);
        EXPECT_EQ(sub->isVisible(), row.subVisible);
        EXPECT_EQ(sub->currentIndex(), row.subCurrent);
        EXPECT_EQ(UIWidget::focusWidget(), row.focusInSub ? sub : menu);
    });
    key(VK_ESCAPE);
    EXPECT_FALSE(menu->isVisible());
    delete menu;
}

TEST_F(MenuTest, ATriggeredHandlerThatClearsOrDeletesTheMenuStopsTheEntrySignal)
{
    for (auto handler : {&MenuProbe::clearMenu, &MenuProbe::deleteMenu}) {
        probe.menu = new UIMenu;
        probe.menu->addAction(L"a");
        probe.menu->triggered.connect(&probe, handler);
        UIAction* action = probe.menu->action(0);
        action->triggered.connect(&probe, &MenuProbe::onActionTriggered);
        UIMenu* menu = probe.menu;
        menu->activate(action);
        if (handler == &MenuProbe::clearMenu) {
            EXPECT_TRUE(menu->isEmpty());
            delete menu;
        }
        EXPECT_TRUE(probe.events.empty());
    }
}

TEST_F(MenuTest, APressOutsideClosesMenuAndSubmenuAPressInTheSubmenuDoesNot)
{
    UIMenu* menu = openWithSubmenu();
    UIMenu* sub = menu->submenu(1);
    ASSERT_TRUE(menu->isVisible() && sub->isVisible());
    EXPECT_TRUE(window.testWindowFlag(WindowKeepActiveFrame));
    press(sub, Point(1, 1));
    EXPECT_TRUE(menu->isVisible());
    EXPECT_TRUE(sub->isVisible());
    press(&window, Point(250, 150));
    EXPECT_FALSE(menu->isVisible());
    EXPECT_FALSE(sub->isVisible());
    EXPECT_FALSE(window.testWindowFlag(WindowKeepActiveFrame));
    EXPECT_EQ(UIPopupRegistry::count(), 0);
    delete menu;
}

TEST_F(MenuTest, ClickingAPlainEntryHidesTheChainAndReportsTheIndex)
{
    UIMenu* menu = openWithSubmenu();
    UIMenu* sub = menu->submenu(1);
    sub->triggered.connect(&probe, &MenuProbe::onMenuTriggered);
    sub->repaint();
    const Point at = sub->action(1)->rect().center();
    UIMouseEvent release(MouseReleaseEventType, at, LeftButton, MouseButtons(), KeyboardModifiers());
    sub->event(&release);
    EXPECT_EQ(probe.events, std::vector<int>{1});
    EXPECT_FALSE(sub->isVisible());
    EXPECT_FALSE(menu->isVisible());
    delete menu;
}

TEST_F(MenuTest, AContextMenuEventOpensAMenuWithoutParentThroughTheWidgetHooks)
{
    installWidgetHooks();
    showAt(window, 40, 40);
    UIMenu* menu = makeMenu(nullptr, false);
    window.setContextMenu(menu);
    UIContextMenuEvent e(0, Point(10, 10), Point(60, 70));
    window.event(&e);
    EXPECT_TRUE(menu->isVisible());
    EXPECT_EQ(menu->frameGeometry().topLeft(), Point(60, 70));
    menu->hide();
    EXPECT_FALSE(window.testWindowFlag(WindowKeepActiveFrame));
    setToolkitHooks(nullptr);
}

} // namespace
