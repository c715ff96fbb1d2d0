#include "ui/widgets/UITabBar.h"

#include "tests/support/GeometryPrinting.h"
#include "tests/support/RowTable.h"
#include "tests/support/StringPrinting.h"
#include "tests/widgets/StyledWidgetTest.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace {

// Both signals of a bar in the order they came.
class TabSignals : public SignalReceiver {
public:
    void onCurrent(int index) { log.push_back("current " + std::to_string(index)); }
    void onClicked(int index) { log.push_back("clicked " + std::to_string(index)); }

    std::vector<std::string> log;
};

using Log = std::vector<std::string>;

class TabBarTest : public StyledWidgetTest {
protected:
    void SetUp() override
    {
        host.setLayoutEnabled(false);
        bar = new UITabBar(&host);
        bar->setGeometry(0, 0, 400, 30);
        bar->show();
        bar->currentChanged.connect(&signals, &TabSignals::onCurrent);
        bar->tabClicked.connect(&signals, &TabSignals::onClicked);
    }

    // Only the four tabs "A" to "D"; the log starts empty.
    void addFour(bool keepOneCurrent)
    {
        while (!bar->isEmpty())
            bar->removeTab(0);
        bar->setKeepOneCurrent(keepOneCurrent);
        for (const wchar_t* text : {L"A", L"B", L"C", L"D"})
            bar->addTab(text);
        signals.log.clear();
    }
    // The same with tab 0 current, tab 1 disabled and tab 2 not checkable.
    void addRestrictedFour(bool keepOneCurrent)
    {
        addFour(keepOneCurrent);
        bar->setCurrentIndex(0);
        bar->setTabEnabled(1, false);
        bar->setTabCheckable(2, false);
        signals.log.clear();
    }

    void mouse(int type, Point p)
    {
        UIMouseEvent e(type, p, type == MouseMoveEventType ? NoButton : LeftButton, LeftButton, NoModifier);
        bar->event(&e);
    }
    void clickTab(int index) { mouse(MouseClickEventType, bar->tabRect(index).center()); }

    RecordingWidget host{nullptr, Colour(255, 255, 255), quickWindow};
    UITabBar* bar = nullptr;
    TabSignals signals;
};

TEST_F(TabBarTest, FirstTabBecomesCurrentOnlyWhenKeepingOne)
{
    bar->addTab(L"A");
    bar->addTab(L"B");
    EXPECT_EQ(signals.log, (Log{"current 0"}));
    EXPECT_EQ(bar->currentIndex(), 0);

    UITabBar loose(&host);
    loose.setKeepOneCurrent(false);
    loose.addTab(L"A");
    EXPECT_EQ(loose.currentIndex(), -1);
}

TEST_F(TabBarTest, OnlyCheckableEnabledTabsBecomeCurrentByCallOrClick)
{
    struct Row {
        bool keepOne;
        bool click;
        int target;
        int expected;
        Log log;
    };
    const Row rows[] = {
        {true, false, 0, 0, {}},
        {true, false, 1, 0, {}},
        {true, false, 2, 0, {}},
        {true, false, 3, 3, {"current 3"}},
        {true, false, -1, -1, {"current -1"}},
        {true, false, 4, 0, {}},
        {true, false, -7, 0, {}},
        {false, false, 0, -1, {"current -1"}},
        {false, false, 3, 3, {"current 3"}},
        {false, false, 1, 0, {}},
        {true, true, 3, 3, {"current 3", "clicked 3"}},
        {true, true, 0, 0, {"clicked 0"}},
        {true, true, 1, 0, {}},
        {true, true, 2, 0, {"clicked 2"}},
        {false, true, 0, -1, {"current -1", "clicked 0"}},
        {false, true, 3, 3, {"current 3", "clicked 3"}},
        // Past the last tab.
        {true, true, -1, 0, {}},
    };
    forEachRow(rows, [&](const Row& row) {
        addRestrictedFour(row.keepOne);
        if (!row.click)
            bar->setCurrentIndex(row.target);
        else if (row.target >= 0)
            clickTab(row.target);
        else
            mouse(MouseClickEventType, Point{bar->tabRect(3).right() + 5, 5});
        EXPECT_EQ(bar->currentIndex(), row.expected);
        EXPECT_EQ(signals.log, row.log);
    });
}

TEST_F(TabBarTest, RemovingTabsKeepsTheCurrentTabOrPicksAnother)
{
    struct Row {
        bool keepOne;
        bool firstDisabled;
        int current;
        int removed;
        int expected;
        const wchar_t* currentText;
        Log log;
    };
    const Row rows[] = {
        // A tab before the current one used to leave the index on the next tab.
        {true, false, 2, 0, 1, L"C", {}},
        {true, false, 2, 3, 2, L"C", {}},
        {true, false, 2, 2, 0, L"A", {"current 0"}},
        {true, false, 0, 0, 0, L"B", {}},
        {false, false, 2, 2, -1, L"", {"current -1"}},
        {false, false, 2, 1, 1, L"C", {}},
        // With no tab to take over, the index used to name another tab.
        {true, true, 2, 2, -1, L"", {"current -1"}},
        {true, false, 2, 9, 2, L"C", {}},
    };
    forEachRow(rows, [&](const Row& row) {
        addFour(row.keepOne);
        bar->setCurrentIndex(row.current);
        bar->setTabEnabled(0, !row.firstDisabled);
        mouse(MouseMoveEventType, bar->tabRect(3).center());
        signals.log.clear();
        bar->removeTab(row.removed);
        EXPECT_EQ(bar->currentIndex(), row.expected);
        EXPECT_EQ(bar->tabText(bar->currentIndex()), String(row.currentText));
        EXPECT_EQ(signals.log, row.log);
        EXPECT_EQ(bar->hoverIndex(), row.removed < 4 ? -1 : 3);
    });
}

TEST_F(TabBarTest, TabsLieSideBySideInACentredStrip)
{
    struct Row {
        std::vector<const wchar_t*> texts;
        std::vector<bool> hidden;
    };
    const Row rows[] = {
        {{L"One"}, {false}},
        {{L"One", L"Two", L"Three"}, {false, false, false}},
        {{L"One", L"Two", L"Three"}, {true, false, false}},
        {{L"Wide tab text", L"i", L"", L"Last"}, {false, false, true, false}},
    };
    forEachRow(rows, [&](const Row& row) {
        while (!bar->isEmpty())
            bar->removeTab(0);
        for (std::size_t i = 0; i < row.texts.size(); ++i) {
            bar->addTab(row.texts[i]);
            bar->setTabVisible(int(i), !row.hidden[i]);
        }
        const Size hint = bar->sizeHint();
        const Rect strip = bar->rect().alignedRect(hint.width, hint.height, AlignHCenter | AlignTop);
        std::vector<Rect> shown;
        for (int i = 0; i < bar->count(); ++i) {
            const Rect r = bar->tabRect(i);
            EXPECT_EQ(r.isEmpty(), row.hidden[std::size_t(i)]);
            if (r.isEmpty())
                continue;
            EXPECT_EQ(r.y, strip.y);
            EXPECT_EQ(r.height, strip.height);
            EXPECT_EQ(bar->tabIndexAt(r.center()), i);
            shown.push_back(r);
        }
        ASSERT_FALSE(shown.empty());
        EXPECT_EQ(shown.front().x, strip.x);
        EXPECT_EQ(shown.back().right(), strip.right());
        for (std::size_t i = 1; i < shown.size(); ++i) {
            EXPECT_EQ(shown[i].x - shown[i - 1].right(), shown[1].x - shown[0].right()) << "one gap throughout";
            EXPECT_EQ(bar->tabIndexAt(Point{shown[i].x - 1, strip.y + 1}) == -1, shown[i].x > shown[i - 1].right());
        }
        EXPECT_EQ(bar->visibleCount(), int(shown.size()));
    });
}

TEST_F(TabBarTest, DisplayModeDecidesWhetherIconAndTextTakeRoom)
{
    Bitmap image(16, 40, true);
    image.fill(Colour(255, 0, 0));
    bar->addTab(L"Text", StateImages(image));
    bar->addTab(L"Text");
    bar->addTab(L"", StateImages(image));
    const auto width = [&](int index) { return bar->tabRect(index).width; };

    bar->setDisplayMode(UITabBar::TextOnly);
    EXPECT_EQ(width(0), width(1));
    const int padding = width(2);
    const int textHeight = bar->sizeHint().height;

    bar->setDisplayMode(UITabBar::IconOnly);
    EXPECT_EQ(width(0), padding + 16);
    EXPECT_EQ(width(1), padding);
    const int iconHeight = bar->sizeHint().height;
    EXPECT_GT(iconHeight, textHeight) << "the 40-pixel icon sets the height";

    bar->setDisplayMode(UITabBar::IconAndText);
    EXPECT_GT(width(0), width(1) + 16);
    EXPECT_EQ(width(2), padding + 16);
    EXPECT_EQ(bar->sizeHint().height, iconHeight);
}

TEST_F(TabBarTest, OuterTabsRoundTheirEndsCountingHiddenTabs)
{
    bar->addTab(L"Lone");
    EXPECT_EQ(bar->tabBackgroundMask(0), SkinAllRegions);
    bar->addTab(L"B");
    bar->addTab(L"C");
    bar->setTabVisible(0, false);
    // The second tab is first on screen yet keeps the middle mask.
    EXPECT_EQ(bar->tabBackgroundMask(1), 290);
    EXPECT_EQ(bar->tabBackgroundMask(0), 483);
    EXPECT_EQ(bar->tabBackgroundMask(2), 318);
}

TEST_F(TabBarTest, BackgroundStateFollowsPointerPressCurrentAndEnabling)
{
    addFour(true);
    bar->setTabEnabled(2, false);
    mouse(MouseMoveEventType, bar->tabRect(1).center());
    EXPECT_EQ(bar->hoverIndex(), 1);
    EXPECT_EQ(bar->tabBackgroundState(0), 4);
    EXPECT_EQ(bar->tabBackgroundState(1), 1);
    EXPECT_EQ(bar->tabBackgroundState(2), 3);
    EXPECT_EQ(bar->tabBackgroundState(3), 0);
    mouse(MousePressEventType, bar->tabRect(1).center());
    EXPECT_EQ(bar->tabBackgroundState(1), 2);
    mouse(MouseReleaseEventType, bar->tabRect(1).center());
    mouse(MouseLeaveEventType, Point{-5, -5});
    EXPECT_EQ(bar->hoverIndex(), -1);
    bar->disable();
    EXPECT_EQ(bar->tabBackgroundState(0), 3);
}

TEST_F(TabBarTest, ToolTipComesFromTheEnabledTabUnderThePoint)
{
    addFour(true);
    bar->setTabToolTip(0, L"first");
    bar->setTabToolTip(1, L"second");
    bar->setTabEnabled(1, false);
    EXPECT_EQ(bar->toolTip(bar->tabRect(0).center()), String(L"first"));
    EXPECT_EQ(bar->toolTip(bar->tabRect(1).center()), String());
    EXPECT_EQ(bar->toolTip(Point{-1, -1}), String());
    EXPECT_EQ(bar->tabToolTip(9), String()) << "an index past the end used to walk off the list";
}

// A real click through the window procedure, then the pixels: the current
// tab is tinted.
TEST_F(TabBarTest, RealClickSwitchesTheTintedTab)
{
    host.resize(400, 60);
    addFour(true);
    showAt(host, 60, 60, 400, 60);
    const Point target = bar->tabRect(2).center();
    const LPARAM at = MAKELPARAM(target.x, target.y);
    PostMessageW(hwndOf(&host), WM_MOUSEMOVE, 0, at);
    PostMessageW(hwndOf(&host), WM_LBUTTONDOWN, MK_LBUTTON, at);
    PostMessageW(hwndOf(&host), WM_LBUTTONUP, 0, at);
    EXPECT_TRUE(pumpUntil([&] { return bar->currentIndex() == 2; }, 2000));
    EXPECT_EQ(signals.log, (Log{"current 2", "clicked 2"}));
    bar->repaint();
    const Bitmap shot = host.windowSurface()->toBitmap(false);
    // Left of the text, halfway down: the face of each tab.
    const Rect plain = bar->tabRect(0);
    const Rect tinted = bar->tabRect(2);
    EXPECT_NE(shot.pixel(plain.x + 4, plain.center().y), shot.pixel(tinted.x + 4, tinted.center().y));
}

} // namespace
