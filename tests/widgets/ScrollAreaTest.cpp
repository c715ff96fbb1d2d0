#include "ui/widgets/UIScrollArea.h"

#include "tests/support/ColourPrinting.h"
#include "tests/support/GeometryPrinting.h"
#include "tests/support/StringPrinting.h"
#include "tests/support/RowTable.h"
#include "tests/widgets/StyledWidgetTest.h"

namespace {

// Content that needs a given room.
class NeedyContent : public UIWidget {
public:
    NeedyContent() { setStyleName(L"TestWidget"); }
    Size minimumSizeHint() const override { return needed; }

    Size needed;
};

// A scroll area in a hidden window, with bars of hint (16, 52) and (52, 16).
class ScrollAreaTest : public StyledWidgetTest {
protected:
    void SetUp() override
    {
        window.setLayoutEnabled(false);
        area = new UIScrollArea(&window);
        area->show();
        content = new NeedyContent;
        content->needed = {300, 300};
        area->setContentWidget(content);
        content->show();
        area->setGeometry(0, 0, 200, 200);
    }

    void layOut(Size areaSize, Size needed)
    {
        content->needed = needed;
        area->resize(areaSize.width + 1, areaSize.height);
        area->resize(areaSize);
    }
    void sendToContent(int type, Point p, int button, MouseButtons held)
    {
        UIMouseEvent e(type, p, button, held, NoModifier);
        content->event(&e);
    }
    void wheel(int direction)
    {
        UIWheelEvent e(1, Point{}, direction == WheelDown ? -120 : 120, NoModifier, direction);
        area->event(&e);
    }
    bool shown(const UIWidget* w) const { return w->testFlag(WidgetVisible); }

    RecordingWidget window{nullptr, Colour(255, 255, 255), quickWindow};
    UIScrollArea* area = nullptr;
    NeedyContent* content = nullptr;
};

using Policy = UIScrollArea::ScrollBarPolicy;
constexpr Policy never = UIScrollArea::ScrollBarNever;
constexpr Policy always = UIScrollArea::ScrollBarAlways;
constexpr Policy asNeeded = UIScrollArea::ScrollBarAsNeeded;

} // namespace

TEST_F(ScrollAreaTest, PoliciesDecideTheBarsTheirMaximaAndTheViewport)
{
    struct Row {
        Policy horizontal;
        Policy vertical;
        Size area;
        Size needed;
        int verticalMaximum;   // -1: bar hidden
        int horizontalMaximum; // -1: bar hidden
        Size viewport;
    };
    const Row rows[] = {
        // 300 in 200 needs 100 more, plus the horizontal bar's 16 while it shows.
        {asNeeded, asNeeded, {200, 200}, {100, 300}, 100, -1, {184, 200}},
        {asNeeded, asNeeded, {200, 200}, {300, 300}, 116, 116, {184, 184}},
        {asNeeded, asNeeded, {200, 200}, {300, 100}, -1, 100, {200, 184}},
        {asNeeded, asNeeded, {200, 200}, {150, 150}, -1, -1, {200, 200}},
        // Narrowed by the vertical bar, the content needs the horizontal one too.
        {asNeeded, asNeeded, {200, 200}, {190, 300}, 116, 6, {184, 184}},
        {always, asNeeded, {200, 200}, {100, 300}, 116, 0, {184, 184}},
        {never, always, {200, 200}, {100, 100}, 0, -1, {184, 200}},
        {always, never, {200, 200}, {100, 100}, -1, 0, {200, 184}},
        {never, never, {200, 200}, {300, 300}, -1, -1, {200, 200}},
        // Smaller than the bars' hints: no bar, whatever the need.
        {asNeeded, asNeeded, {60, 60}, {300, 300}, -1, -1, {60, 60}},
        // Too narrow for the horizontal bar, tall enough for the vertical one.
        {always, always, {40, 200}, {300, 300}, 100, -1, {24, 200}},
    };
    forEachRow(rows, [&](const Row& row) {
        area->setHorizontalScrollBarPolicy(row.horizontal);
        area->setVerticalScrollBarPolicy(row.vertical);
        layOut(row.area, row.needed);
        const UIScrollBar* v = area->verticalScrollBar();
        const UIScrollBar* h = area->horizontalScrollBar();
        EXPECT_EQ(shown(v) ? v->maximum() : -1, row.verticalMaximum);
        EXPECT_EQ(shown(h) ? h->maximum() : -1, row.horizontalMaximum);
        EXPECT_EQ(shown(area->corner()), shown(v) && shown(h));
        EXPECT_EQ(area->viewport()->size(), row.viewport);
        EXPECT_EQ(content->size(), row.viewport);
        EXPECT_EQ(v->pageStep(), std::min(row.needed.height, row.viewport.height));
    });
}

TEST_F(ScrollAreaTest, DisabledBarsGiveTheContentTheWholeArea)
{
    EXPECT_TRUE(shown(area->verticalScrollBar()));
    area->setScrollBarsEnabled(false);
    EXPECT_FALSE(shown(area->verticalScrollBar()));
    EXPECT_FALSE(shown(area->horizontalScrollBar()));
    EXPECT_FALSE(shown(area->corner()));
    EXPECT_EQ(content->size(), (Size{200, 200}));
    area->resize(150, 150);
    EXPECT_EQ(content->size(), (Size{150, 150}));
    area->setScrollBarsEnabled(true);
    EXPECT_TRUE(shown(area->corner()));
    EXPECT_EQ(content->size(), (Size{134, 134}));
}

TEST_F(ScrollAreaTest, BarValuesBecomeNegatedContentOffsets)
{
    area->setVerticalValue(30);
    area->setHorizontalValue(1000);
    EXPECT_EQ(content->contentOffsetX(), -116);
    EXPECT_EQ(content->contentOffsetY(), -30);
    area->pageDown();
    EXPECT_EQ(area->verticalScrollBar()->value(), 116);
    layOut({200, 200}, {300, 250});
    EXPECT_EQ(content->contentOffsetY(), -66);
}

TEST_F(ScrollAreaTest, RightButtonDragMovesTheValuesByTheDistanceMoved)
{
    area->setDragScrollEnabled(true);
    area->setVerticalValue(50);
    area->setHorizontalValue(50);
    sendToContent(MousePressEventType, {100, 100}, RightButton, RightButton);
    EXPECT_EQ(content->cursor(), Cursor(CursorHandOpen));
    struct Row {
        Point to;
        int horizontal;
        int vertical;
    };
    const Row rows[] = {{{90, 80}, 60, 70}, {{95, 85}, 55, 65}, {{95, 85}, 55, 65}, {{200, 200}, 0, 0}};
    forEachRow(rows, [&](const Row& row) {
        sendToContent(MouseMoveEventType, row.to, NoButton, RightButton);
        EXPECT_EQ(area->horizontalScrollBar()->value(), row.horizontal);
        EXPECT_EQ(area->verticalScrollBar()->value(), row.vertical);
    });
    sendToContent(MouseReleaseEventType, {200, 200}, RightButton, NoButton);
    EXPECT_EQ(content->cursor(), Cursor(CursorArrow));
}

TEST_F(ScrollAreaTest, LeftButtonOrDisabledDragDoesNotScroll)
{
    sendToContent(MousePressEventType, {100, 100}, RightButton, RightButton);
    sendToContent(MouseMoveEventType, {50, 50}, NoButton, RightButton);
    sendToContent(MouseReleaseEventType, {50, 50}, RightButton, NoButton);
    area->setDragScrollEnabled(true);
    sendToContent(MousePressEventType, {100, 100}, LeftButton, LeftButton);
    sendToContent(MouseMoveEventType, {50, 50}, NoButton, LeftButton);
    sendToContent(MouseReleaseEventType, {50, 50}, LeftButton, NoButton);
    EXPECT_EQ(area->horizontalScrollBar()->value(), 0);
    EXPECT_EQ(area->verticalScrollBar()->value(), 0);
}

TEST_F(ScrollAreaTest, WheelScrollsTheShownBarUnlessTheContentHoldsAKey)
{
    struct Row {
        Size needed;
        bool keyHeld;
        int direction;
        int vertical;
        int horizontal;
    };
    const Row rows[] = {
        {{300, 300}, false, WheelDown, 1, 0},  {{300, 300}, false, WheelUp, 0, 0},
        {{300, 300}, false, WheelLeft, 0, 0},  {{300, 300}, true, WheelDown, 0, 0},
        {{300, 100}, false, WheelDown, 0, 20}, {{300, 100}, false, WheelLeft, 0, 20},
        {{300, 100}, false, WheelRight, 0, 0}, {{300, 100}, true, WheelLeft, 0, 0},
    };
    forEachRow(rows, [&](const Row& row) {
        layOut({200, 200}, row.needed);
        area->scrollToTop();
        area->scrollToLeft();
        content->setFlag(WidgetKeyHeld, row.keyHeld);
        wheel(row.direction);
        EXPECT_EQ(area->verticalScrollBar()->value(), row.vertical);
        EXPECT_EQ(area->horizontalScrollBar()->value(), row.horizontal);
    });
}

TEST_F(ScrollAreaTest, SizeHintFollowsThePolicies)
{
    struct Row {
        Policy horizontal;
        Policy vertical;
        Size hint;
    };
    const Row rows[] = {{asNeeded, always, {68, 68}}, {always, never, {52, 16}}, {never, asNeeded, {16, 52}},
                        {never, never, {16, 16}}};
    forEachRow(rows, [&](const Row& row) {
        area->setHorizontalScrollBarPolicy(row.horizontal);
        area->setVerticalScrollBarPolicy(row.vertical);
        EXPECT_EQ(area->sizeHint(), row.hint);
    });
}

TEST_F(ScrollAreaTest, ANewContentReplacesAndDeletesTheOld)
{
    auto* next = new NeedyContent;
    next->needed = {100, 100};
    area->setContentWidget(next);
    EXPECT_EQ(area->contentWidget(), next);
    EXPECT_EQ(area->viewport()->children().count(), 1);
    EXPECT_FALSE(shown(area->verticalScrollBar()));
    content = next;
}

TEST_F(ScrollAreaTest, ViewportAndCornerTakeTheirOwnStyles)
{
    EXPECT_EQ(area->viewport()->styleName(), String(L"UIScrollAreaViewport"));
    EXPECT_EQ(area->corner()->styleName(), String(L"UIScrollAreaCorner"));
    EXPECT_EQ(area->viewport()->background().colour(), Colour(255, 255, 255));
    EXPECT_EQ(area->corner()->background().colour(), Colour(240, 241, 243));
    area->setCornerBackground(Brush(Colour(1, 2, 3)));
    EXPECT_EQ(area->corner()->background().colour(), Colour(1, 2, 3));
}
