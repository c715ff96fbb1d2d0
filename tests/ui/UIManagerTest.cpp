#include "foundation/Hooks.h"
#include "tests/support/RowTable.h"
#include "tests/ui/WindowTesting.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

namespace {

class ManagerTest : public WidgetTest {
protected:

    UIManager& manager = *UIManager::instance();
};

std::unique_ptr<UIWidget> styledWindow(const wchar_t* styleName, bool visible)
{
    auto window = std::make_unique<UIWidget>(nullptr, quickWindow);
    window->setFlag(WidgetWindow, true);
    window->setStyleName(styleName);
    window->resize(50, 50);
    window->setVisible(visible);
    return window;
}

TEST_F(ManagerTest, CountWindowsSkipsByFilterAndAddsModalDialogs)
{
    const int before = manager.countWindows(0);
    const int visibleBefore = manager.countWindows(CountVisibleOnly);
    std::vector<std::unique_ptr<UIWidget>> windows;
    for (const wchar_t* name : {L"UIMenu", L"UIToolTip", L"UIBalloonTip", L"UIWindow"}) {
        windows.push_back(styledWindow(name, true));
        windows.push_back(styledWindow(name, false));
    }
    manager.beginModal();
    struct Row {
        std::uint8_t filter;
        int added;
    };
    const Row rows[] = {
        {0, 8},
        {CountVisibleOnly, 4},
        {CountSkipMenus, 6},
        {CountSkipToolTips | CountSkipBalloonTips, 4},
        {CountVisibleOnly | CountSkipMenus | CountSkipToolTips | CountSkipBalloonTips, 1},
        {CountAddModalDialogs, 9},
    };
    forEachRow(rows, [&](const Row& row) {
        const int base = (row.filter & CountVisibleOnly) ? visibleBefore : before;
        EXPECT_EQ(manager.countWindows(row.filter), base + row.added);
    });
    manager.endModal();
}

TEST_F(ManagerTest, RegistryFollowsWidgetsAndForgetsTheMainWindow)
{
    auto window = styledWindow(L"UIWindow", false);
    UIWidget* raw = window.get();
    manager.setMainWindow(raw);
    EXPECT_EQ(Application::instance()->mainWindow(), raw->nativeHandle());
    EXPECT_EQ(manager.widgetForHandle(raw->nativeHandle()), raw);
    EXPECT_TRUE(manager.isRegistered(raw));
    window.reset();
    EXPECT_FALSE(manager.isRegistered(raw));
    EXPECT_EQ(manager.mainWindow(), nullptr);
}

TEST_F(ManagerTest, OverrideCursorsNestAndTheLowerLayersReachThem)
{
    uiHooks().setOverrideCursor(UiHooks::WaitCursor);
    manager.setOverrideCursor(CursorCross);
    EXPECT_EQ(manager.overrideCursor(), int(CursorCross));
    manager.restoreOverrideCursor();
    EXPECT_EQ(manager.overrideCursor(), int(CursorWait));
    uiHooks().restoreOverrideCursor();
    EXPECT_EQ(manager.overrideCursor(), 0);
    manager.restoreOverrideCursor();
    EXPECT_EQ(manager.overrideCursor(), 0) << "a restore without a set must do nothing";
}

} // namespace

namespace {

TEST_F(ManagerTest, ShellImagesReachTheLowerLayersOnlyWhenFound)
{
    Bitmap image(3, 3, true);
    const std::uint8_t* before = image.bits();
    EXPECT_FALSE(uiHooks().shellFileIcon(Application::instance()->executablePath(), 24, image));
    EXPECT_FALSE(uiHooks().shellThumbnail(L"Z:\\no\\such\\file.png", 128, image));
    EXPECT_EQ(image.bits(), before) << "a failed look-up replaced the caller's image";
    Bitmap icon;
    if (uiHooks().shellFileIcon(Application::instance()->executablePath(), 32, icon)) {
        EXPECT_EQ(icon.size(), (Size{32, 32}));
    }
}

} // namespace
