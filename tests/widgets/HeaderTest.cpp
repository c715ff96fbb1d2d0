#include "graphics/DrawingSurface.h"
#include "ui/widgets/UIHeader.h"

#include "tests/support/ColourPrinting.h"
#include "tests/support/RowTable.h"
#include "tests/ui/WidgetTestKit.h"
#include "tests/widgets/SignalRecorder.h"
#include "tests/widgets/StyledWidgetTest.h"

#include <memory>
#include <vector>

namespace {

// Records the int each emission of the signal carries.
void listen(SignalRecorder& recorder, Signal& signal)
{
    signal.connect(&recorder, &SignalRecorder::onValue);
}

// A 300 x 20 header with the sections Name (0..100), Size (100..180) and
// Date (180..240).
class HeaderTest : public StyledWidgetTest {
protected:
    void SetUp() override
    {
        window = std::make_unique<RecordingWidget>(nullptr, Colour(255, 255, 255), quickWindow);
        showAt(*window, 60, 60, 320, 60);
        header = new UIHeader(window.get());
        header->setGeometry(0, 0, 300, 20);
        header->show();
        header->addSection(L"Name", 100, true);
        header->addSection(L"Size", 80, true);
        header->addSection(L"Date", 60, true);
    }

    void move(int x, int buttons = NoButton) { send(*header, mouseEvent(MouseMoveEventType, {x, 10}, buttons)); }
    void press(int x) { send(*header, mouseEvent(MousePressEventType, {x, 10})); }
    void release(int x) { send(*header, mouseEvent(MouseReleaseEventType, {x, 10})); }
    int widthSum() const
    {
        int sum = 0;
        for (int i = 0; i < header->sectionCount(); ++i)
            sum += header->isSectionVisible(i) ? header->section(i)->width() : 0;
        return sum;
    }

    std::unique_ptr<RecordingWidget> window;
    UIHeader* header = nullptr;
};

TEST_F(HeaderTest, GripZonesAtTheEdgesBelongToNoSection)
{
    struct Row {
        int x;
        int expected;
    };
    // Section 0 has no zone at its left; every right edge has 5 + 1 pixels.
    const Row rows[] = {{0, 0},   {93, 0},   {94, -1},  {99, -1},  {104, -1}, {105, 1},
                        {173, 1}, {174, -1}, {185, 2},  {233, 2},  {234, -1}, {260, -1}};
    forEachRow(rows, [&](const Row& row) { EXPECT_EQ(header->sectionAtX(row.x), row.expected); });
}

TEST_F(HeaderTest, ClickNeedsPressAndReleaseOnOneSection)
{
    struct Row {
        int pressX;
        int releaseX;
        std::vector<int> clicks;
    };
    const Row rows[] = {{50, 50, {0}}, {50, 150, {}}, {120, 130, {1}}, {99, 99, {}}, {50, 400, {}}};
    forEachRow(rows, [&](const Row& row) {
        SignalRecorder clicks;
        listen(clicks, header->sectionClicked);
        press(row.pressX);
        release(row.releaseX);
        EXPECT_EQ(clicks.values, row.clicks);
    });
}

TEST_F(HeaderTest, DraggingTheGripResizesDownToTheMinimum)
{
    struct Row {
        int dragTo;
        int width;
        std::uint32_t cursor;
    };
    // Section 0 starts at 100 with minimum 40; the cursor reads the width
    // the section has before each move.
    const Row rows[] = {{150, 152, CursorSplitLeftRight}, {60, 62, CursorSplitLeftRight}, {10, 40, CursorSplitRight}};
    forEachRow(rows, [&](const Row& row) {
        header->section(0)->setWidth(100);
        move(99);
        EXPECT_EQ(header->cursor().shape(), std::uint32_t(CursorSplitLeftRight));
        press(99);
        move(row.dragTo, LeftButton);
        move(row.dragTo, LeftButton);
        EXPECT_EQ(header->section(0)->width(), row.width);
        EXPECT_EQ(header->cursor().shape(), row.cursor);
        release(row.dragTo);
    });
}

TEST_F(HeaderTest, StretchedLastSectionFillsTheWidthAndCannotBeResized)
{
    SignalRecorder resized;
    listen(resized, header->sectionResized);
    header->setStretchLastSection(true);
    EXPECT_EQ(header->section(2)->width(), 120);
    EXPECT_EQ(widthSum(), header->width());

    header->setSectionWidth(2, 50);
    EXPECT_EQ(header->section(2)->width(), 120);
    move(99);
    move(298);
    EXPECT_EQ(header->cursor().shape(), std::uint32_t(CursorArrow));
    EXPECT_EQ(header->sectionAtX(299), 2);

    header->setSectionWidth(0, 80);
    EXPECT_EQ(header->section(2)->width(), 140);
    EXPECT_EQ(widthSum(), header->width());
    EXPECT_EQ(resized.values, (std::vector<int>{2, 2, 0}));
}

TEST_F(HeaderTest, HiddenSectionGivesItsRoomToTheStretchedSection)
{
    header->setStretchLastSection(true);
    SignalRecorder visible;
    SignalRecorder resized;
    listen(visible, header->visibleSectionCountChanged);
    listen(resized, header->sectionResized);
    header->hideSection(1);
    header->hideSection(1);
    EXPECT_EQ(visible.values, std::vector<int>{2});
    EXPECT_EQ(header->section(2)->width(), 200);
    EXPECT_EQ(widthSum(), header->width());
    // The stretched section's resize used to be reported as visible count
    // less one, here the hidden section 1.
    EXPECT_EQ(resized.values, std::vector<int>{2});
}

TEST_F(HeaderTest, SizeHintAsksForTheVisibleMinimumsOrThirtyByTwenty)
{
    EXPECT_EQ(header->sizeHint().width, 120);
    for (int i = 0; i < 3; ++i)
        header->hideSection(i);
    UIHeader empty(window.get());
    for (const UIHeader* h : {header, &empty}) {
        SCOPED_TRACE(h->sectionCount());
        EXPECT_EQ(h->sizeHint(), (Size{30, 20}));
    }
}

TEST_F(HeaderTest, AscendingSortDrawsDownAndMovesTheTitleIn)
{
    const Colour red(255, 0, 0);
    const Colour blue(0, 0, 255);
    Bitmap redImage(6, 6, true);
    redImage.fill(red);
    Bitmap blueImage(6, 6, true);
    blueImage.fill(blue);
    UISkin down(redImage, true);
    UISkin up(blueImage, true);
    header->setStyleImage(L"UIHeader_SortIndicatorDown", &down);
    header->setStyleImage(L"UIHeader_SortIndicatorUp", &up);
    UIHeaderSection* name = header->section(0);
    name->setAlignment(itemAlignLeftCentred);
    name->setSortable(UIHeaderSection::ByText);
    struct Row {
        int order;
        Colour indicator;
        int titleLeft;
    };
    const Row rows[] = {{UIHeaderSection::Ascending, red, 11}, {UIHeaderSection::Descending, blue, 11}};
    forEachRow(rows, [&](const Row& row) {
        name->setSortOrder(row.order);
        header->repaint();
        EXPECT_EQ(header->backBuffer()->toBitmap(false).pixel(2, 10), row.indicator);
        EXPECT_EQ(name->textRect()->x, row.titleLeft);
    });
    name->setSortOrder(UIHeaderSection::Unsorted);
    header->repaint();
    EXPECT_NE(header->backBuffer()->toBitmap(false).pixel(2, 10), red);
    EXPECT_LT(name->textRect()->x, 11);
}

TEST_F(HeaderTest, ToolTipShowsATitleThatDidNotFit)
{
    header->setSectionText(1, L"A title far too long for eighty pixels");
    header->section(2)->setToolTip(L"When");
    header->repaint();
    struct Row {
        int x;
        const wchar_t* tip;
    };
    const Row rows[] = {{50, L""}, {140, L"A title far too long for eighty pixels"}, {200, L"When"}, {99, L""}};
    forEachRow(rows, [&](const Row& row) { EXPECT_EQ(header->toolTip({row.x, 10}), String(row.tip)); });
}

} // namespace
