#include "ui/widgets/UIPicture.h"
#include "ui/widgets/UIProgress.h"

#include "tests/support/ColourPrinting.h"
#include "tests/support/RowTable.h"
#include "tests/widgets/StyledWidgetTest.h"

#include <gtest/gtest.h>

#include <array>
#include <limits>
#include <memory>
#include <vector>

namespace {

const Colour white(255, 255, 255);
const Colour red(255, 0, 0);
const Colour grey(128, 128, 128);

class PictureProgressTest : public StyledWidgetTest {
protected:
    void SetUp() override
    {
        window = std::make_unique<RecordingWidget>(nullptr, white, quickWindow);
        showAt(*window, 60, 60, 240, 160);
    }

    // A child placed by hand in the shown window, repainted now.
    template <typename Widget>
    Widget* place(Rect geometry)
    {
        auto* widget = new Widget(window.get());
        widget->setGeometry(geometry);
        widget->show();
        return widget;
    }

    Colour windowPixel(int x, int y) const { return window->windowSurface()->toBitmap(false).pixel(x, y); }

    std::unique_ptr<RecordingWidget> window;
};

Bitmap filled(int width, int height, Colour colour)
{
    Bitmap image(width, height, true);
    image.fill(colour);
    return image;
}

TEST_F(PictureProgressTest, ProgressChunkFollowsTheValueWithinThePadding)
{
    UIProgress progress(window.get());
    progress.setStyleProperty(L"padding", L"2,2,2,2");
    progress.setRange(0, 200);
    progress.setValue(50);
    EXPECT_EQ(progress.chunkRect(Size{400, 20}), Rect(2, 2, 96, 16));
    progress.setValue(1);
    EXPECT_TRUE(progress.chunkRect(Size{400, 20}).isEmpty()) << "a chunk under 4 pixels is not drawn";
    UIProgress fresh(window.get());
    EXPECT_TRUE(fresh.chunkRect(Size{400, 20}).isEmpty()) << "an empty range shows no chunk";
}

// The distance from minimum to maximum used to be worked out in int, which
// overflowed for a range as wide as int's.
TEST_F(PictureProgressTest, ProgressChunkOfARangeWiderThanInt)
{
    constexpr int lowest = std::numeric_limits<int>::min();
    constexpr int highest = std::numeric_limits<int>::max();
    UIProgress progress(window.get());
    progress.setStyleProperty(L"padding", L"0,0,0,0");
    progress.setRange(lowest, highest);
    struct Row {
        int value;
        int width;
    };
    const Row rows[] = {{highest, 400}, {0, 200}, {lowest, 0}};
    forEachRow(rows, [&](const Row& row) {
        progress.setValue(row.value);
        EXPECT_EQ(progress.chunkRect(Size{400, 20}).width, row.width) << row.value;
    });
}

TEST_F(PictureProgressTest, ProgressRangeValueAndText)
{
    UIProgress progress(window.get());
    progress.setRange(0, 100);
    progress.setValue(150);
    EXPECT_EQ(progress.value(), 100);
    progress.setRange(10, 0);
    EXPECT_EQ(progress.minimum(), 0);
    EXPECT_EQ(progress.maximum(), 10);
    EXPECT_EQ(progress.value(), 100) << "a new range leaves the value alone";
    progress.setRange(0, 100);
    progress.setValue(42);
    EXPECT_EQ(progress.text(), String(L"42%"));
    progress.setFormat(L"^ of ^");
    EXPECT_EQ(progress.text(), String(L"42 of 42"));
}

// The rows of a column that differ from the empty bar's: the first, one
// past the last, and how many ({-1, -1, 0} for none).
std::array<int, 3> coveredRows(const std::vector<Colour>& column, const std::vector<Colour>& empty)
{
    std::array<int, 3> covered = {-1, -1, 0};
    for (int y = 0; y < int(column.size()); ++y) {
        if (column[y] != empty[y])
            covered = {covered[0] < 0 ? y : covered[0], y + 1, covered[2] + 1};
    }
    return covered;
}

// A vertical bar used to paint nothing at all.
TEST_F(PictureProgressTest, VerticalChunkGrowsFromTheBottom)
{
    const Rect bar(20, 20, 18, 104);
    auto* progress = place<UIProgress>(bar);
    progress->setOrientation(1);
    progress->setRange(0, 100);
    progress->repaint();
    auto middleColumn = [&] {
        std::vector<Colour> column;
        const Bitmap shot = window->windowSurface()->toBitmap(false);
        for (int y = 0; y < bar.height; ++y)
            column.push_back(shot.pixel(bar.x + bar.width / 2, bar.y + y));
        return column;
    };
    const std::vector<Colour> empty = middleColumn();
    // The style pads the chunk by 2 pixels on every side.
    const int bottom = bar.height - 2;
    struct Row {
        int value;
        std::array<int, 3> chunk;
    };
    const Row rows[] = {
        {0, {-1, -1, 0}},
        {25, {bar.height * 3 / 4 + 2, bottom, bar.height / 4 - 4}},
        {50, {bar.height / 2 + 2, bottom, bar.height / 2 - 4}},
        {100, {2, bottom, bar.height - 4}},
    };
    forEachRow(rows, [&](const Row& row) {
        progress->setValue(row.value);
        EXPECT_EQ(coveredRows(middleColumn(), empty), row.chunk);
    });
}

TEST_F(PictureProgressTest, FittedLayersShrinkButNeverGrow)
{
    auto* picture = place<UIPicture>(Rect(10, 10, 32, 48));
    picture->setImage(filled(64, 64, red), UIPicture::Fitted, AlignLeft | AlignTop);
    EXPECT_EQ(picture->layerRect(0), Rect(0, 0, 32, 32));
    picture->setGeometry(Rect(10, 10, 100, 100));
    picture->repaint();
    EXPECT_EQ(picture->layerRect(0), Rect(0, 0, 64, 64));
    EXPECT_EQ(windowPixel(10 + 63, 10 + 63), red);
    EXPECT_NE(windowPixel(10 + 64, 10 + 64), red);
}

TEST_F(PictureProgressTest, SetImageReplacesLayersAndAutoSizeNeverShrinks)
{
    UIPicture picture(window.get());
    picture.addLayer(filled(20, 40, red), UIPicture::Unscaled, AlignCenter);
    picture.addLayer(filled(30, 10, grey), UIPicture::Unscaled, AlignCenter);
    EXPECT_EQ(picture.sizeHint(), (Size{30, 40}));
    picture.setImage(filled(5, 5, red), UIPicture::Unscaled, AlignCenter);
    EXPECT_EQ(picture.layerCount(), 1);
    picture.clearLayers();
    EXPECT_TRUE(picture.isEmpty());
    EXPECT_EQ(picture.sizeHint(), (Size{30, 40}));
    picture.setAutoSize(false);
    EXPECT_EQ(picture.sizeHint(), (Size{32, 32}));
}

TEST_F(PictureProgressTest, DisabledPictureDrawsNoLayer)
{
    auto* picture = place<UIPicture>(Rect(10, 10, 40, 40));
    picture->setImage(filled(40, 40, red), UIPicture::Stretched, 0);
    EXPECT_EQ(windowPixel(30, 30), red);
    picture->disable();
    picture->repaint();
    EXPECT_NE(windowPixel(30, 30), red);
}

} // namespace
