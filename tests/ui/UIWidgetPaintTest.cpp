#include "graphics/DrawingSurface.h"
#include "tests/support/ColourPrinting.h"
#include "tests/support/RowTable.h"
#include "tests/ui/WindowTesting.h"
#include "ui/UIWidgetAttachment.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>

namespace {

const Colour white(255, 255, 255);
const Colour red(255, 0, 0);
const Colour green(0, 255, 0);
const Colour blue(0, 0, 255);

class WidgetPaintTest : public WidgetTest {
protected:
    void SetUp() override
    {
        window = std::make_unique<RecordingWidget>(nullptr, white, quickWindow);
        showAt(*window, 80, 80);
    }

    Colour surfacePixel(int x, int y) const
    {
        return window->windowSurface()->toBitmap(false).pixel(x, y);
    }

    std::unique_ptr<RecordingWidget> window;
};

// Fills its rectangle with a translucent-free colour, as the window base's
// overlay does.
class FillAttachment : public UIWidgetAttachment {
public:
    explicit FillAttachment(Colour colour) : UIWidgetAttachment(0), m_colour(colour) {}

    void paint(DrawingSurface* surface, const Rect& r) override
    {
        Graphics g(surface);
        g.fillRectColour(r, m_colour);
    }

private:
    Colour m_colour;
};

// A buffer that only grew kept the first size of a widget laid out again
// much smaller: a message label wrapped after it was measured kept a
// buffer as wide as its unwrapped text. One made anew once 200 larger than
// its widget was made anew at every step of a window resized back and
// forth, and resizing cost two fifths more.
TEST_F(WidgetPaintTest, BackBufferKeepsItsSlackAndFollowsALargeShrink)
{
    RecordingWidget* child = addChild(window.get(), red, Rect(0, 0, 50, 40));
    EXPECT_EQ(child->backBuffer()->size(), (Size{150, 140}));
    struct Row {
        Size resizedTo;
        Size buffer;
    };
    const Row rows[] = {
        {{120, 100}, {150, 140}}, // within the slack
        {{50, 160}, {150, 260}},  // each way on its own
        {{50, 400}, {150, 500}},
        {{50, 20}, {150, 120}}, // far too tall: made at the new size
        {{1000, 750}, {1100, 850}},
        {{820, 610}, {1100, 850}}, // restored and maximised again: kept
        {{1000, 750}, {1100, 850}},
        {{50, 20}, {150, 120}},
    };
    forEachRow(rows, [&](const Row& row) {
        child->resize(row.resizedTo.width, row.resizedTo.height);
        EXPECT_EQ(child->backBuffer()->size(), row.buffer);
    });
}

TEST_F(WidgetPaintTest, ChildrenStackInListOrderAndAreCutToTheirParent)
{
    RecordingWidget* parent = addChild(window.get(), green, Rect(10, 10, 100, 80));
    addChild(parent, red, Rect(0, 0, 60, 60));
    addChild(parent, blue, Rect(40, 40, 200, 200));
    window->repaint();
    struct Row {
        Point p;
        Colour expected;
    };
    const Row rows[] = {{{15, 15}, red}, {{55, 55}, blue}, {{105, 15}, green}, {{150, 150}, white}};
    forEachRow(rows, [&](const Row& row) { EXPECT_EQ(surfacePixel(row.p.x, row.p.y), row.expected); });
}

TEST_F(WidgetPaintTest, SeeThroughChildShowsItsParentWhereItDrawsNothing)
{
    RecordingWidget* parent = addChild(window.get(), green, Rect(10, 10, 100, 80));
    RecordingWidget* child = addChild(parent, Colour(), Rect(20, 20, 30, 30));
    window->repaint();
    EXPECT_EQ(surfacePixel(40, 40), green);
    child->colour = red;
    child->repaint();
    EXPECT_EQ(surfacePixel(40, 40), red);
}

// A child repainted while its own updates were off, as a message box's are
// while it is built, was marked on its window: turning its updates on again
// left its old pixels on the screen until the window was next shown. A
// widget starts out marked, so only its second such repaint was lost.
TEST_F(WidgetPaintTest, RepaintInAHiddenWindowOrWithUpdatesOffOnlyMarksItUntilShown)
{
    RecordingWidget* child = addChild(window.get(), red, Rect(0, 0, 50, 50));
    window->repaint();
    const auto screenPixel = [&] {
        const HDC dc = GetDC(hwndOf(window.get()));
        const COLORREF pixel = GetPixel(dc, 10, 10);
        ReleaseDC(hwndOf(window.get()), dc);
        return Colour(GetRValue(pixel), GetGValue(pixel), GetBValue(pixel));
    };
    struct Row {
        std::function<void(bool)> setShown;
        const UIWidget* marked;
    };
    const Row rows[] = {{[&](bool on) { on ? window->show() : window->hide(); }, window.get()},
                        {[&](bool on) { child->setUpdatesEnabled(on); }, child}};
    forEachRow(rows, [&](const Row& row) {
        for (const Colour colour : {blue, green}) {
            const Colour before = surfacePixel(10, 10);
            row.setShown(false);
            child->colour = colour;
            child->repaint();
            EXPECT_EQ(surfacePixel(10, 10), before);
            EXPECT_TRUE(row.marked->testFlag(WidgetRepaintPending));
            row.setShown(true);
            EXPECT_EQ(surfacePixel(10, 10), colour);
            EXPECT_EQ(screenPixel(), colour);
            EXPECT_FALSE(row.marked->testFlag(WidgetRepaintPending));
        }
    });
}

TEST_F(WidgetPaintTest, AttachmentsPaintOntoTheWindowSurfaceBeforeTheFlush)
{
    RecordingWidget* child = addChild(window.get(), red, Rect(0, 0, 50, 50));
    window->addAttachment(new FillAttachment(blue));
    window->repaint();
    EXPECT_EQ(surfacePixel(10, 10), blue) << "the overlay never reached the screen";
    window->setAttachmentEnabled(0, false);
    EXPECT_EQ(surfacePixel(10, 10), red);
    window->setAttachmentEnabled(0, true);
    child->repaint();
    EXPECT_EQ(surfacePixel(10, 10), blue) << "a child's repaint wiped the overlay";
    EXPECT_TRUE(window->hasAttachment(0));
    window->deleteAttachments();
    EXPECT_FALSE(window->hasAttachment(0));
}

} // namespace
