#include "ui/widgets/UIMenuBar.h"

#include "graphics/Font.h"
#include "ui/widgets/UIMenu.h"

#include "tests/support/Pump.h"
#include "tests/support/RowTable.h"
#include "tests/widgets/OneMonitor.h"
#include "tests/widgets/PointerMessages.h"
#include "tests/widgets/StyledWidgetTest.h"

#include <windows.h>

#include <functional>

namespace {

// A window with a bar of "File" and "Edit", each with a menu, and "Help"
// without one.
class MenuBarTest : public StyledWidgetTest {
protected:
    static constexpr int emptySpace = -1;

    MenuBarTest()
    {
        bar = new UIMenuBar(&window);
        bar->setGeometry(0, 0, 300, 24);
        bar->show();
        bar->addItem(L"File")->setMenu(makeMenu(L"New Open"));
        bar->addItem(L"Edit")->setMenu(makeMenu(L"Cut Copy Paste"));
        bar->addItem(L"Help");
    }

    // Menus never take the activation here: Wine hides an active window
    // slowly.
    UIMenu* makeMenu(const String& words)
    {
        auto* menu = new UIMenu(bar);
        menu->setWindowFlag(WindowNoActivate, true);
        menu->addActions(StringList::split(words, L" "));
        return menu;
    }

    void showBar(int y = 40)
    {
        showAt(window, 40, y);
        bar->repaint();
    }

    // The middle of an entry, or a point of the bar right of the entries.
    Point pointAt(int entry) const
    {
        return entry == emptySpace ? Point(290, 12) : bar->item(entry)->rect().center();
    }

    void press(int entry)
    {
        sendPointerMessage(window, WM_LBUTTONDOWN, MK_LBUTTON, pointAt(entry));
        sendPointerMessage(window, WM_LBUTTONUP, 0, pointAt(entry));
    }

    void moveTo(int entry) { sendPointerMessage(window, WM_MOUSEMOVE, 0, pointAt(entry)); }

    int openIndex() const { return indexOf(bar->openItem()); }

    // The entry whose menu shows; -2 when more than one does.
    int shownMenu() const
    {
        int shown = -1;
        for (int i = 0; i < bar->count(); ++i) {
            const UIMenu* menu = bar->item(i)->menu();
            if (menu && menu->isVisible())
                shown = shown == -1 ? i : -2;
        }
        return shown;
    }

    int indexOf(const UIMenuBarItem* item) const
    {
        for (int i = 0; i < bar->count(); ++i) {
            if (bar->item(i) == item)
                return i;
        }
        return -1;
    }

    bool settlesAt(int open)
    {
        return pumpUntil([&] { return openIndex() == open && shownMenu() == open; }, 1000);
    }

    RecordingWidget window{nullptr, Colour(255, 255, 255), quickWindow};
    UIMenuBar* bar;
};

TEST_F(MenuBarTest, PressesAndPointerMovesOpenSwitchAndCloseTheMenus)
{
    showBar();
    enum Kind { Press, Move };
    struct Row {
        Kind kind;
        int entry;
        int open;
    };
    const Row rows[] = {
        {Move, 0, -1},          // hovering alone opens nothing
        {Press, 0, 0},          // a press opens
        {Move, 1, 1},           // hovering another entry switches
        {Move, 2, 1},           // an entry without a menu keeps the open one
        {Move, emptySpace, 1},  // and so does empty bar space
        {Move, 0, 0},           // back again
        {Press, 0, -1},         // a press on the open entry closes it, not to reopen
        {Press, 2, -1},         // an entry without a menu never opens
        {Press, 1, 1},          //
        {Press, 2, -1},         // but pressing it closes the open one
        {Press, 0, 0},          //
        {Press, emptySpace, -1} // as does a press on empty bar space
    };
    forEachRow(rows, [&](const Row& row) {
        if (row.kind == Press)
            press(row.entry);
        else
            moveTo(row.entry);
        EXPECT_TRUE(settlesAt(row.open));
        EXPECT_EQ(openIndex(), row.open);
        EXPECT_EQ(shownMenu(), row.open);
    });
}

TEST_F(MenuBarTest, AMenuThatClosesItselfClearsTheOpenEntryAtTheNextTick)
{
    showBar();
    const auto escape = [](UIMenu* menu) {
        UIKeyEvent key(KeyPressEventType, VK_ESCAPE, KeyboardModifiers(), String());
        menu->event(&key);
    };
    const auto choose = [](UIMenu* menu) { menu->activate(menu->action(1)); };
    const auto loseFocus = [](UIMenu* menu) { menu->hide(); };
    const std::function<void(UIMenu*)> closers[] = {escape, choose, loseFocus};
    forEachRow(closers, [&](const std::function<void(UIMenu*)>& close) {
        press(1);
        ASSERT_TRUE(settlesAt(1));
        close(bar->item(1)->menu());
        EXPECT_EQ(bar->openItem(), bar->item(1));
        EXPECT_TRUE(pumpUntil([&] { return bar->openItem() == nullptr; }, 1000));
        EXPECT_FALSE(bar->isTimerActive(menuBarTimerId));
    });
}

TEST_F(MenuBarTest, AMenuOpensBelowItsEntryOrAboveTheBarWhenThereIsNoRoomBelow)
{
    // The bar lies at 300..324 on the screen; the work area ends below it.
    showBar(300);
    struct Row {
        int workAreaBottom;
        bool below;
    };
    const Row rows[] = {{760, true}, {340, false}};
    forEachRow(rows, [&](const Row& row) {
        OneMonitor monitor(row.workAreaBottom);
        press(1);
        ASSERT_TRUE(settlesAt(1));
        const Rect menu = bar->item(1)->menu()->frameGeometry();
        const Rect entry = bar->item(1)->rect();
        const Point corner = bar->mapToGlobal(row.below ? Point(entry.x, entry.bottom()) : entry.topLeft());
        EXPECT_EQ(menu.x, corner.x);
        EXPECT_EQ(row.below ? menu.top() : menu.bottom(), corner.y);
        press(emptySpace);
        ASSERT_TRUE(settlesAt(-1));
    });
}

TEST_F(MenuBarTest, EntriesLieSideBySideAHiddenOneTakesNoRoomADisabledOneNeverOpens)
{
    showBar();
    const Rect file = bar->item(0)->rect();
    const Rect edit = bar->item(1)->rect();
    EXPECT_EQ(file.x, 0);
    EXPECT_EQ(edit.x, file.right());
    EXPECT_EQ(edit.height, bar->height());
    EXPECT_GT(edit.width, Font(FontDesc()).textSize(L"Edit").width);

    bar->item(0)->setVisible(false);
    EXPECT_TRUE(bar->item(0)->rect().isEmpty());
    EXPECT_EQ(bar->item(1)->rect().x, 0);

    bar->item(1)->setEnabled(false);
    press(1);
    EXPECT_TRUE(settlesAt(-1));
    moveTo(1);
    EXPECT_EQ(bar->hoveredItem(), nullptr);
}

} // namespace
