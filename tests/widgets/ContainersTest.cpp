#include "ui/UIWin32Window.h"
#include "ui/widgets/UIBox.h"
#include "ui/widgets/UISizeGrip.h"
#include "ui/widgets/UISpacer.h"
#include "ui/widgets/UIStack.h"
#include "ui/widgets/UIStatusBar.h"

#include "tests/support/GeometryPrinting.h"
#include "tests/support/RowTable.h"
#include "tests/widgets/PointerMessages.h"
#include "tests/widgets/StyledWidgetTest.h"

#include <functional>
#include <memory>
#include <vector>

namespace {

class ContainersTest : public StyledWidgetTest {};

std::vector<bool> shownPages(const UIStack& stack)
{
    std::vector<bool> shown;
    for (int i = 0; i < stack.pageCount(); ++i)
        shown.push_back(stack.page(i)->testFlag(WidgetVisible));
    return shown;
}

TEST_F(ContainersTest, StackShowsTheCurrentPageAloneAndIgnoresIndexesPastThePages)
{
    UIStack stack(3);
    EXPECT_EQ(stack.currentIndex(), -1);
    EXPECT_EQ(shownPages(stack), std::vector<bool>(3, false));
    struct Row {
        int index;
        int current;
        std::vector<bool> shown;
    };
    const Row rows[] = {
        {1, 1, {false, true, false}},
        // Past the end used to read beyond the page list.
        {3, 1, {false, true, false}},
        {-2, 1, {false, true, false}},
        {-1, -1, {false, false, false}},
        {0, 0, {true, false, false}},
    };
    forEachRow(rows, [&](const Row& row) {
        stack.setCurrentIndex(row.index);
        EXPECT_EQ(stack.currentIndex(), row.current);
        EXPECT_EQ(shownPages(stack), row.shown);
    });
    EXPECT_EQ(stack.page(-4), stack.page(0));
    EXPECT_EQ(stack.page(3), nullptr);
}

TEST_F(ContainersTest, SizeHintsComeFromTheStyleWithTheirFloors)
{
    auto styledGrip = [](const wchar_t* size) {
        auto grip = std::make_unique<UISizeGrip>(nullptr);
        grip->setStyleProperty(L"size", size);
        return std::unique_ptr<UIWidget>(std::move(grip));
    };
    struct Row {
        std::function<std::unique_ptr<UIWidget>()> make;
        Size expected;
    };
    const Row rows[] = {
        {[&] { return styledGrip(L"4,4"); }, {10, 10}},
        {[&] { return styledGrip(L"12,20"); }, {12, 20}},
        {[] { return std::make_unique<UISpacer>(8); }, {8, 8}},
        {[] { return std::make_unique<UISpacer>(0, 16); }, {0, 16}},
        {[] { return std::make_unique<UILine>(); }, {2, 2}},
        {[] { return std::make_unique<UIStatusBar>(); }, {50, 22}},
    };
    forEachRow(rows, [](const Row& row) { EXPECT_EQ(row.make()->sizeHint(), row.expected); });
}

// A window with a size grip in its bottom-right corner, driven by real
// pointer messages.
class SizeGripTest : public ContainersTest {
protected:
    static constexpr int gripSize = 12;

    void SetUp() override { open(); }

    // A fresh window, so no earlier drag has moved the grip's last pointer.
    void open()
    {
        // A new grip may take the freed one's address, and a quick press on
        // it would pair with the last one as a double click.
        UIWin32Window::doubleClickDetector().reset();
        window = std::make_unique<RecordingWidget>(nullptr, Colour(255, 255, 255), quickWindow);
        grip = new UISizeGrip(window.get());
        showAt(*window, 100, 100, 200, 150);
        grip->setGeometry(200 - gripSize, 150 - gripSize, gripSize, gripSize);
        grip->show();
        pumpPending();
    }

    void TearDown() override
    {
        send(WM_LBUTTONUP, 0, pressPoint);
        ContainersTest::TearDown();
    }

    void send(UINT message, WPARAM keys, Point client) { sendPointerMessage(*window, message, keys, client); }

    void dragBy(int distance)
    {
        pressPoint = {grip->x() + gripSize / 2, grip->y() + gripSize / 2};
        send(WM_LBUTTONDOWN, MK_LBUTTON, pressPoint);
        send(WM_MOUSEMOVE, MK_LBUTTON, {pressPoint.x + distance, pressPoint.y + distance});
    }

    std::unique_ptr<RecordingWidget> window;
    UISizeGrip* grip = nullptr;
    Point pressPoint;
};

TEST_F(SizeGripTest, OnePixelDragKeepsTheSizeTwoPixelsResize)
{
    struct Row {
        int distance;
        Size expected;
    };
    const Row rows[] = {{1, {200, 150}}, {2, {202, 152}}, {-2, {198, 148}}};
    forEachRow(rows, [&](const Row& row) {
        open();
        dragBy(row.distance);
        EXPECT_EQ(window->size(), row.expected);
        send(WM_LBUTTONUP, 0, pressPoint);
    });
}

TEST_F(SizeGripTest, QuickSecondDragStillResizes)
{
    const PatientDoubleClicks patient;
    dragBy(2);
    send(WM_LBUTTONUP, 0, pressPoint);
    // The second press pairs with the first as a double click, which used to
    // start no drag.
    dragBy(4);
    EXPECT_EQ(window->size(), Size(204, 154));
}

TEST_F(SizeGripTest, MaximizedWindowTurnsTheGripOff)
{
    window->setWindowState(WindowMaximized);
    ASSERT_TRUE(pumpUntil([&] { return grip->isInactive(); }, 2000));
    EXPECT_EQ(grip->cursor(), Cursor(CursorArrow));
    const Size maximized = window->size();
    dragBy(5);
    EXPECT_EQ(window->size(), maximized);
}

} // namespace
