#include "ui/widgets/UIGroup.h"

#include "ui/UITheme.h"

#include "tests/support/GeometryPrinting.h"
#include "tests/support/RowTable.h"
#include "tests/widgets/SignalRecorder.h"
#include "tests/widgets/StyledWidgetTest.h"

#include <gtest/gtest.h>

namespace {

class GroupBoxTest : public StyledWidgetTest {
protected:
    void SetUp() override
    {
        host.setLayoutEnabled(false);
        group = new UIGroup(&host);
        group->setGeometry(20, 20, 240, 120);
        group->show();
        group->toggled.connect(&toggles, &SignalRecorder::onSignal);
    }

    void mouse(int type, Point p, int button = LeftButton)
    {
        UIMouseEvent e(type, p, button, MouseButtons(std::uint32_t(button)), NoModifier);
        group->event(&e);
    }

    static int metricTopMargin() { return UIManager::instance()->theme()->metric(MetricLayoutTopMargin); }

    RecordingWidget host{nullptr, Colour(255, 255, 255), quickWindow};
    UIGroup* group = nullptr;
    SignalRecorder toggles;
};

TEST_F(GroupBoxTest, ChildrenStartBelowTheTitleBand)
{
    EXPECT_EQ(group->bandHeight(), 0);
    EXPECT_EQ(group->titleRect(), Rect());
    EXPECT_EQ(group->layoutMargins().top, metricTopMargin()) << "no band: the metric margin alone";

    group->setTitle(L"Options");
    EXPECT_GT(group->bandHeight(), 0);
    EXPECT_EQ(group->layoutMargins().top, metricTopMargin() + group->bandHeight());
    const int titledTop = group->layoutMargins().top;

    group->setTitle(String());
    group->setCheckable(true);
    EXPECT_EQ(group->titleRect().height, group->bandHeight());
    // The font height counts without a title, so checkable groups line up
    // with titled ones.
    EXPECT_GE(group->layoutMargins().top, titledTop);
    group->setTitle(L"Options");
    const int bothTop = group->layoutMargins().top;
    group->setTitle(String());
    EXPECT_EQ(group->layoutMargins().top, bothTop);

    auto* child = addChild(group, Colour(0, 128, 0), Rect(0, 0, 50, 20));
    child->setLayoutEnabled(true);
    child->setMinimumSize(50, 20);
    group->setLayoutEnabled(true);
    group->resize(240, group->preferredSize().height);
    // Relays out the first ancestor with room: the group.
    child->updateLayout();
    EXPECT_EQ(child->y(), bothTop);
}

TEST_F(GroupBoxTest, ReleaseOnTheTitleAfterAPressOnItToggles)
{
    struct Row {
        bool checkable;
        bool enabled;
        Point press;
        Point release;
        int button;
        int toggles;
    };
    group->setTitle(L"Options");
    const Rect title = group->titleRect();
    const Point text{title.right() - 3, title.center().y};
    const Point indicator{3, 3};
    const Point outside{title.right() + 10, title.bottom() + 10};
    const Row rows[] = {
        {true, true, text, text, LeftButton, 1},
        {true, true, indicator, indicator, LeftButton, 1},
        {true, true, indicator, text, LeftButton, 1},
        {true, true, text, outside, LeftButton, 0},
        {true, true, outside, text, LeftButton, 0},
        {true, true, text, text, RightButton, 0},
        {false, true, text, text, LeftButton, 0},
        {true, false, text, text, LeftButton, 0},
    };
    forEachRow(rows, [&](const Row& row) {
        group->setEnabledRecursive(true);
        group->setCheckable(true);
        group->setChecked(false);
        group->setCheckable(row.checkable);
        group->setEnabledRecursive(row.enabled);
        toggles.count = 0;
        mouse(MousePressEventType, row.press, row.button);
        mouse(MouseReleaseEventType, row.release, row.button);
        EXPECT_EQ(toggles.count, row.toggles);
        EXPECT_EQ(group->isChecked(), row.toggles == 1);
    });
}

TEST_F(GroupBoxTest, CheckingNeedsCheckableAndAChange)
{
    group->setChecked(true);
    EXPECT_FALSE(group->isChecked());
    group->setCheckable(true);
    group->setChecked(true);
    group->setChecked(true);
    EXPECT_TRUE(group->isChecked());
    EXPECT_EQ(toggles.count, 1);
    group->setEnabledRecursive(false);
    EXPECT_EQ(group->indicatorState(), 7) << "disabled and checked";
    group->setChecked(false);
    EXPECT_EQ(group->indicatorState(), 3);
}

TEST_F(GroupBoxTest, SizeHintMakesRoomForTitleAndChildren)
{
    const Size empty = group->sizeHint();
    group->setTitle(L"A much longer title than the others");
    const Size titled = group->sizeHint();
    EXPECT_GT(titled.width, empty.width);
    EXPECT_GT(titled.height, empty.height);
    group->setCheckable(true);
    EXPECT_GT(group->sizeHint().width, titled.width);

    group->setLayoutEnabled(true);
    auto* child = addChild(group, Colour(0, 128, 0), Rect(0, 0, 600, 300));
    child->setMinimumSize(600, 300);
    EXPECT_GE(group->sizeHint().width, 600);
    EXPECT_GE(group->sizeHint().height, 300);
}

// The indicator compared the screen position of the pointer with the
// group's own title rectangle, so it lit up near the screen's corner.
TEST_F(GroupBoxTest, IndicatorLightsOnlyUnderThePointer)
{
    group->setTitle(L"Options");
    group->setCheckable(true);
    showAt(host, 300, 200, 300, 200);
    const Point local = group->titleRect().center();
    const Point global = group->mapToGlobal(local);
    ASSERT_TRUE(SetCursorPos(global.x, global.y));
    EXPECT_EQ(group->indicatorState(), 1);
    ASSERT_TRUE(SetCursorPos(local.x, local.y));
    EXPECT_EQ(group->indicatorState(), 0);
    group->setChecked(true);
    EXPECT_EQ(group->indicatorState(), 4);

    // And in the pixels: the indicator's corner differs between the states.
    group->repaint();
    const Point corner = group->mapTo(&host, Point{4, 4});
    const Colour away = host.windowSurface()->toBitmap(false).pixel(corner.x, corner.y);
    ASSERT_TRUE(SetCursorPos(global.x, global.y));
    group->repaint();
    EXPECT_NE(host.windowSurface()->toBitmap(false).pixel(corner.x, corner.y), away);

    // A real click on the title text through the window procedure.
    const Point text = group->mapTo(&host, Point{group->titleRect().right() - 3, local.y});
    const LPARAM at = MAKELPARAM(text.x, text.y);
    PostMessageW(hwndOf(&host), WM_LBUTTONDOWN, MK_LBUTTON, at);
    PostMessageW(hwndOf(&host), WM_LBUTTONUP, 0, at);
    EXPECT_TRUE(pumpUntil([&] { return !group->isChecked(); }, 2000));
    EXPECT_EQ(toggles.count, 2);
}

} // namespace
