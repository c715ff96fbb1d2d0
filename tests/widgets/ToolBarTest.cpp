#include "ui/widgets/UIToolBar.h"

#include "ui/widgets/UIMenu.h"
#include "ui/widgets/UIPicture.h"
#include "ui/widgets/UISpacer.h"
#include "ui/widgets/UIToolButton.h"

#include "tests/support/GeometryPrinting.h"
#include "tests/support/RowTable.h"
#include "tests/widgets/PointerMessages.h"
#include "tests/widgets/SignalRecorder.h"
#include "tests/widgets/StyledWidgetTest.h"

#include <memory>
#include <typeinfo>
#include <vector>

namespace {

constexpr int iconSide = 24;

// A square of the colour inside a transparent 3-pixel margin.
StateImages squareIcon(Colour colour)
{
    Bitmap image(iconSide, iconSide, true);
    image.fill(colour);
    image.setAlpha(0, Rect());
    image.setAlpha(255, Rect(3, 3, iconSide - 6, iconSide - 6));
    return StateImages(image);
}

// Checks its button's bar index exclusively on every click, as an owner
// of a row of mutually exclusive buttons does.
class ExclusiveChecker : public SignalReceiver {
public:
    ExclusiveChecker(UIToolBar& bar, int index) : m_bar(bar), m_index(index)
    {
        bar.button(index)->clicked.connect(this, &ExclusiveChecker::onClicked);
    }

private:
    void onClicked() { m_bar.setChecked(m_index, true); }

    UIToolBar& m_bar;
    int m_index;
};

class ToolBarTest : public StyledWidgetTest {
protected:
    void SetUp() override
    {
        window = std::make_unique<RecordingWidget>(nullptr, Colour(255, 255, 255), quickWindow);
        showAt(*window, 40, 40, 480, 160);
        bar = new UIToolBar(window.get());
        bar->setGeometry(10, 10, 460, 60);
        bar->show();
    }

    UIToolButton* addButton(Colour colour, const String& text = L"Scan")
    {
        return bar->addButton(squareIcon(colour), text, text);
    }

    // The bar places its children as the layout says.
    void layOut()
    {
        bar->child(0)->updateLayout();
        pumpPending();
    }

    void click(const UIWidget& target) { clickCentre(*window, target); }

    std::vector<int> checkedIndexes() const
    {
        std::vector<int> result;
        for (int i = 0; i < bar->count(); ++i) {
            if (bar->button(i)->isChecked())
                result.push_back(i);
        }
        return result;
    }

    std::unique_ptr<RecordingWidget> window;
    UIToolBar* bar = nullptr;
};

TEST_F(ToolBarTest, SizeHintFollowsModeCaptionAndMenu)
{
    UIToolButton probe(bar, squareIcon(Colour(200, 0, 0)));
    const int fontHeight = probe.font().height();
    const int longWidth = probe.font().textSize(L"A much longer caption").width;
    ASSERT_GT(longWidth, iconSide);
    struct Row {
        int mode;
        const wchar_t* caption;
        bool menu;
        Size content;
    };
    const Row rows[] = {
        // Mode 0 ignores the caption.
        {ToolButtonIconOnly, L"A much longer caption", false, {iconSide, iconSide}},
        {ToolButtonIconAndCaption, L"", false, {iconSide, iconSide + fontHeight + 4}},
        {ToolButtonIconAndCaption, L"A much longer caption", false, {longWidth, iconSide + fontHeight + 4}},
        // Modes 1 and 2 draw the caption but do not make room for it.
        {1, L"A much longer caption", false, {iconSide, iconSide}},
        {ToolButtonIconOnly, L"", true, {iconSide + 12, iconSide}},
        {ToolButtonIconAndCaption, L"A much longer caption", true, {longWidth + 12, iconSide + fontHeight + 4}},
    };
    UIMenu menu(window.get());
    forEachRow(rows, [&](const Row& row) {
        UIToolButton button(bar, squareIcon(Colour(200, 0, 0)), row.caption);
        button.setDisplayMode(row.mode);
        button.setPadding({1, 2, 3, 4});
        if (row.menu)
            button.setMenu(&menu);
        EXPECT_EQ(button.sizeHint(), Size(row.content.width + 4, row.content.height + 6));
        button.setMenu(nullptr);
    });
}

TEST_F(ToolBarTest, ACheckedCheckableButtonDrawsItsPressedLook)
{
    struct Row {
        bool checkable;
        bool enabled;
        int background;
        int icon;
    };
    const Row rows[] = {
        {true, true, SkinPressedHot, StateImages::Pressed},
        {true, false, SkinDisabled, StateImages::Disabled},
        // Not checkable: setChecked is ignored.
        {false, true, SkinNormal, StateImages::Normal},
    };
    forEachRow(rows, [&](const Row& row) {
        UIToolButton* button = addButton(Colour(0, 120, 0));
        button->setCheckable(row.checkable);
        button->setChecked(true);
        bar->setButtonEnabled(bar->indexOf(button), row.enabled);
        EXPECT_EQ(button->backgroundState(), row.background);
        EXPECT_EQ(button->iconState(), row.icon);
    });
    layOut();
    UIToolButton* checked = bar->button(0);
    bar->repaint();
    const Point edge = checked->mapToWindow(Point(2, checked->height() / 2));
    const HDC dc = GetDC(hwndOf(window.get()));
    const COLORREF face = GetPixel(dc, edge.x, edge.y);
    ReleaseDC(hwndOf(window.get()), dc);
    EXPECT_EQ(face, RGB(211, 230, 248)) << "the pressed face of the style's skin";
}

TEST_F(ToolBarTest, ExclusiveCheckingUnchecksTheOthersEvenForANonCheckableTarget)
{
    for (Colour c : {Colour(200, 0, 0), Colour(0, 160, 0), Colour(0, 0, 200), Colour(120, 120, 0)})
        addButton(c);
    for (int i = 0; i < 3; ++i)
        bar->button(i)->setCheckable(true);
    layOut();
    const ExclusiveChecker first(*bar, 0);
    const ExclusiveChecker second(*bar, 1);
    const ExclusiveChecker plain(*bar, 3);

    click(*bar->button(0));
    EXPECT_EQ(checkedIndexes(), std::vector<int>{0});
    click(*bar->button(1));
    EXPECT_EQ(checkedIndexes(), std::vector<int>{1});
    // A click on a button nobody listens to does not toggle it.
    click(*bar->button(2));
    EXPECT_EQ(checkedIndexes(), std::vector<int>{1});

    bar->setChecked(2, false);
    EXPECT_EQ(checkedIndexes(), (std::vector<int>{1, 2}));
    click(*bar->button(3));
    EXPECT_EQ(checkedIndexes(), std::vector<int>{}) << "the non-checkable target checks nothing itself";
}

TEST_F(ToolBarTest, SettingTheCurrentDisplayModeAgainLeavesTheButtonsAlone)
{
    UIToolButton* button = addButton(Colour(200, 0, 0));
    button->setDisplayMode(ToolButtonIconAndCaption);

    bar->setDisplayMode(ToolButtonIconOnly);
    EXPECT_EQ(button->displayMode(), ToolButtonIconAndCaption);

    bar->setDisplayMode(2);
    EXPECT_EQ(button->displayMode(), 2);
    EXPECT_EQ(addButton(Colour(0, 0, 200))->displayMode(), 2) << "a new button takes the bar's mode";
}

TEST_F(ToolBarTest, InsertedButtonsTakeTheBarsSettingsAndTheirPlaceOnScreen)
{
    struct Row {
        int index;
        std::vector<int> order;
    };
    // Buttons 0 and 1 exist; the inserted one is 2.
    const Row rows[] = {
        {2, {0, 1, 2}},
        {7, {0, 1, 2}},
        {-1, {0, 1, 2}},
        {0, {2, 0, 1}},
        {1, {0, 2, 1}},
    };
    bar->setButtonPadding({3, 3, 3, 3});
    bar->setDisplayMode(ToolButtonIconAndCaption);
    forEachRow(rows, [&](const Row& row) {
        std::vector<UIToolButton*> made = {addButton(Colour(200, 0, 0)), addButton(Colour(0, 160, 0))};
        bar->addSeparator();
        made.push_back(new UIToolButton(bar, squareIcon(Colour(0, 0, 200)), L"New"));
        made.back()->show();
        bar->insertButton(row.index, made.back());
        layOut();
        EXPECT_EQ(made.back()->padding(), (UIMargins{3, 3, 3, 3}));
        EXPECT_EQ(made.back()->displayMode(), ToolButtonIconAndCaption);
        EXPECT_EQ(made.back()->toolTipOption(), bar->id());
        int lastX = -1;
        for (int i = 0; i < bar->count(); ++i) {
            EXPECT_EQ(bar->button(i), made[std::size_t(row.order[std::size_t(i)])]) << "index " << i;
            EXPECT_GT(bar->button(i)->x(), lastX) << "the screen follows the bar's order";
            lastX = bar->button(i)->x();
            EXPECT_EQ(bar->indexAt(bar->button(i)->geometry().center()), i);
        }
        while (bar->count() > 0)
            bar->removeButton(bar->button(0));
        while (bar->hasChildren())
            delete bar->child(0);
    });
}

// A button of the bar inserted again moved in the bar's list but stayed
// where it was on screen.
TEST_F(ToolBarTest, ReinsertedButtonsMoveOnScreenToo)
{
    struct Row {
        int moved;
        int index;
        std::vector<int> order;
    };
    const Row rows[] = {{0, 3, {1, 2, 0}}, {0, 2, {1, 2, 0}}, {0, 1, {1, 0, 2}}, {2, 0, {2, 0, 1}}, {1, 2, {0, 2, 1}}};
    forEachRow(rows, [&](const Row& row) {
        const std::vector<UIToolButton*> made = {addButton(Colour(200, 0, 0)), addButton(Colour(0, 160, 0)),
                                                 addButton(Colour(0, 0, 200))};
        bar->insertButton(row.index, made[std::size_t(row.moved)]);
        layOut();
        int lastX = -1;
        for (int i = 0; i < bar->count(); ++i) {
            EXPECT_EQ(bar->button(i), made[std::size_t(row.order[std::size_t(i)])]) << "index " << i;
            EXPECT_GT(bar->button(i)->x(), lastX) << "the screen follows the bar's order";
            lastX = bar->button(i)->x();
        }
        while (bar->count() > 0)
            bar->removeButton(bar->button(0));
    });
}

TEST_F(ToolBarTest, SeparatorIntervalAndExpanderAreChildrenInOrder)
{
    bar->setIntervalThickness(9);
    UIToolButton* first = addButton(Colour(200, 0, 0));
    UIPicture* separator = bar->addSeparator();
    UIToolButton* second = addButton(Colour(0, 160, 0));
    UISpacer* interval = bar->addInterval();
    UIExpander* expander = bar->addExpander();
    UIToolButton* last = addButton(Colour(0, 0, 200));
    layOut();

    const std::vector<UIWidget*> expected = {first, separator, second, interval, expander, last};
    std::vector<UIWidget*> children;
    for (UIWidget* child : bar->children())
        children.push_back(child);
    EXPECT_EQ(children, expected);
    EXPECT_EQ(bar->count(), 3);
    EXPECT_EQ(bar->indexOf(last), 2);
    EXPECT_EQ(interval->sizeHint(), Size(9, 9));
    EXPECT_EQ(separator->layerCount(), 1);
    // The expander pushes the last button to the far end.
    EXPECT_EQ(last->x() + last->width(), bar->width() - bar->padding().right);
    EXPECT_EQ(bar->buttonAt(expander->geometry().center()), nullptr);
    EXPECT_EQ(bar->indexAt(Point(-5, -5)), -1);
    EXPECT_EQ(bar->button(3), nullptr);
}

TEST_F(ToolBarTest, ThePressThatClosesAButtonsMenuDoesNotReopenIt)
{
    UIToolButton* button = addButton(Colour(0, 0, 200));
    auto* menu = new UIMenu(button);
    menu->addAction(L"First");
    menu->addAction(L"Second");
    button->setMenu(menu);
    layOut();

    click(*button);
    ASSERT_TRUE(menu->isVisible());
    EXPECT_TRUE(button->isChecked()) << "a button is checked while its menu is open";
    EXPECT_EQ(button->backgroundState(), SkinPressedHot);
    EXPECT_EQ(menu->pos(), button->mapToGlobal(Point(0, button->height())));

    click(*button);
    EXPECT_FALSE(menu->isVisible());
    EXPECT_FALSE(button->isChecked());

    // Once the guard has run out, a press opens it again.
    ASSERT_TRUE(pumpUntil([&] { return button->isMenuReady(); }, 500));
    click(*button);
    EXPECT_TRUE(menu->isVisible());
    menu->hide();
}

} // namespace
