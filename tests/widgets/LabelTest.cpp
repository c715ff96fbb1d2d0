#include "foundation/CharHelpers.h"
#include "graphics/DrawingSurface.h"
#include "graphics/Font.h"
#include "ui/UIWindow.h"
#include "ui/widgets/UILabel.h"

#include "tests/support/RowTable.h"
#include "tests/support/StringPrinting.h"
#include "tests/widgets/StyledWidgetTest.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace {

// Counts its paints and resizes.
class CountingLabel : public UILabel {
public:
    using UILabel::UILabel;

    int paints = 0;
    int resizes = 0;

protected:
    void paintEvent(UIPaintEvent* e) override
    {
        ++paints;
        UILabel::paintEvent(e);
    }
    void resizeEvent(UIResizeEvent*) override { ++resizes; }
};

} // namespace

// A shown window that lays the label out.
class LabelTest : public StyledWidgetTest {
protected:
    void SetUp() override
    {
        label = new CountingLabel(&window);
        label->show();
        showAt(window, 100, 100);
    }

    UIWindow window{nullptr, quickWindow};
    CountingLabel* label = nullptr;
};

TEST_F(LabelTest, ElidedTextIsTheTipUntilWidened)
{
    const String text = L"A text far too long for the narrow label it is shown in";
    label->setMaximumWidth(60);
    label->setText(text);
    EXPECT_TRUE(label->isElided());
    EXPECT_EQ(label->toolTip({1, 1}), text);
    label->setMaximumWidth(0);
    window.updateLayout();
    EXPECT_FALSE(label->isElided());
    EXPECT_EQ(label->toolTip({1, 1}), String());
    label->setToolTip(L"own tip");
    EXPECT_EQ(label->toolTip({1, 1}), String(L"own tip"));
}

TEST_F(LabelTest, TwoLineBreaksMakeThreeLines)
{
    label->setMultiLine(true);
    label->setText(L"ab\n\nb");
    const Font font(label->font());
    EXPECT_EQ(label->sizeHint(), Size(font.textWidth(L"ab", 2) + 4, 3 * font.height() + 4));
}

TEST_F(LabelTest, TheSameTextTwiceNeitherRelayoutsNorRepaints)
{
    label->setText(L"A longer text the label grows for");
    EXPECT_GT(label->paints, 0);
    EXPECT_GT(label->resizes, 0);
    label->paints = 0;
    label->resizes = 0;
    label->setText(L"A longer text the label grows for");
    EXPECT_EQ(label->paints, 0);
    EXPECT_EQ(label->resizes, 0);
}

TEST_F(LabelTest, AWrapWidthBreaksAtSpacesThenSeparatorsThenCharacters)
{
    struct Row {
        String text;
        String fitting; // the lines may be as wide as this text
        String lines;   // joined by "|"
    };
    // Symbols hung past the line as spaces do, so that a paragraph ending
    // in a run of them did not wrap: they wrap as letters.
    const auto symbols = [](wchar_t c) {
        const String three(c, 3);
        return Row{three + L' ' + three + three, three, three + L" |" + three + L'|' + three};
    };
    const Row rows[] = {
        symbols(L'\x2605'),
        symbols(L'\x2713'),
        symbols(L'\x2192'),
        symbols(L'\x20AC'),
        symbols(L'\x2500'),
        symbols(L'\xFDFD'),
        symbols(L'\xFFFD'),
        {L"Saved as C:\\Users\\me\\Pictures", L"Saved as C:\\Use", L"Saved as |C:\\Users\\me\\|Pictures"},
        {L"home/someone/music/list", L"home/someone/mu", L"home/someone/|music/list"},
        {L"aaaaaaa", L"aaa", L"aaa|aaa|a"},
        {L"aa\xD83D\xDE00\xD83D\xDE00", L"aa\xD83D\xDE00", L"aa\xD83D\xDE00|\xD83D\xDE00"},
        // A character wider than the wrap width used to end the wrapping
        // of its paragraph; it takes a line of its own, a pair kept whole.
        {L"iWii", L"ii", L"i|W|ii"},
        {L"i\xD83D\xDE00\xD83D\xDE00i", L"i", L"i|\xD83D\xDE00|\xD83D\xDE00|i"},
        // Spaces that overflow used to make lines of spaces: they hang.
        {L"ab cd          ", L"ab cd", L"ab cd          "},
        {L"ab                    cd", L"ab   ", L"ab                    |cd"},
    };
    label->setMultiLine(true);
    const Font font(label->font());
    // The label is as wide as its wrap width, or as its widest character.
    const auto widest = [&](const String& text) {
        int width = label->wrapWidth();
        for (int i = 0, units = 1; i < text.length(); i += units) {
            units = unitsOfCharacterAt(text.view(), std::size_t(i));
            width = std::max(width, font.textWidth(text.charPointer(i), units) + 4);
        }
        return width;
    };
    forEachRow(rows, [&](const Row& row) {
        label->setWrapWidth(font.textWidth(row.fitting.constData(), row.fitting.length()) + 4);
        label->setText(row.text);
        EXPECT_EQ(label->lines().join(L"|"), row.lines);
        EXPECT_LE(label->sizeHint().width, widest(row.text));
    });
}

namespace {

// The first row of pixels within size in which the two differ, -1 when
// none does.
int firstDifferentRow(const Bitmap& shown, const Bitmap& expected, Size size)
{
    for (int y = 0; y < size.height; ++y) {
        for (int x = 0; x < size.width; ++x) {
            if (shown.pixel(x, y) != expected.pixel(x, y))
                return y;
        }
    }
    return -1;
}

} // namespace

// A label lower than its lines drew its last shown line joined with the
// next one, shortened with the ellipsis only when the pair did not fit: a
// cut before a short or an empty line showed no cut at all.
TEST_F(LabelTest, ALabelLowerThanItsLinesEndsTheLastOneShownInTheEllipsis)
{
    struct Row {
        const wchar_t* text;
        int linesHigh;
        const wchar_t* shown; // its lines, the last one before the ellipsis
    };
    const Row rows[] = {
        {L"first\nsecond\nthird\nfourth", 2, L"first\nsecond"},
        {L"Item 65\nItem 66", 1, L"Item 65"},
        {L"Paragraph 33\n\nParagraph 34", 2, L"Paragraph 33\n"},
        {L"Item 65\nItem 66\nA line far longer than the label is wide, which the pair was shortened to", 2,
         L"Item 65\nItem 66"},
    };
    label->setMultiLine(true);
    const Font font(label->font());
    const auto drawn = [&](const String& text) {
        label->setText(text);
        label->repaint();
        return label->backBuffer()->toBitmap(false);
    };
    forEachRow(rows, [&](const Row& row) {
        // Wide enough for each shown line with its ellipsis, not for the long line.
        const Size size(font.textWidth(L"Paragraph 33 and more", 21), row.linesHigh * font.height() + 4);
        label->setMinimumSize(size);
        label->setMaximumSize(size);
        const Bitmap expected = drawn(row.shown + Font::ellipsis());
        const Bitmap blank = drawn(String());
        const Bitmap shown = drawn(row.text);
        ASSERT_EQ(label->size(), size);
        EXPECT_EQ(firstDifferentRow(shown, expected, size), -1);
        EXPECT_NE(firstDifferentRow(shown, blank, size), -1) << "nothing drawn";
    });
}
