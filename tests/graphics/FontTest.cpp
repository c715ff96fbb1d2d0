#include "graphics/Font.h"

#include "foundation/CharHelpers.h"
#include "graphics/NativeFont.h"
#include "tests/support/GeometryPrinting.h"
#include "tests/support/RowTable.h"
#include "tests/support/StringPrinting.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>

namespace {

// Every surrogate in the text is half of a whole pair.
bool pairsAreWhole(const String& text)
{
    for (int i = 0; i < text.length(); ++i) {
        if (!isSurrogate(text.at(i)))
            continue;
        if (!isSurrogatePairAt(text.view(), std::size_t(i)))
            return false;
        ++i;
    }
    return true;
}

// Seeded texts of narrow and wide letters, spaces, accented letters and
// characters outside the basic plane.
String randomText(std::mt19937& random)
{
    static const wchar_t* const pieces[] = {L"i",      L"W",      L"a",           L" ",
                                            L"\u00e9", L"\u00c5", L"\xD83D\xDE00", L"\xD801\xDC37"};
    std::uniform_int_distribution<int> length(1, 24);
    std::uniform_int_distribution<int> piece(0, static_cast<int>(std::size(pieces)) - 1);
    String text;
    for (int n = length(random); n > 0; --n)
        text += pieces[piece(random)];
    return text;
}

class FontTest : public ::testing::Test {
protected:
    ~FontTest() override { Font::setEllipsis(L" ... "); }

    int width(const String& text) const { return font.textSize(text).width; }
    String elided(const String& text, int boxWidth, int mode) const
    {
        return font.elidedText(text, Rect(0, 0, boxWidth, 20), mode);
    }

    Font font{FontDesc(L"tahoma", 12, 0)};
};

} // namespace

TEST_F(FontTest, MetricsAndCharacters)
{
    EXPECT_GT(font.ascent(), 0);
    EXPECT_GE(font.maxCharWidth(), font.charWidth(L'W'));
    EXPECT_GT(font.charWidth(L'W'), font.charWidth(L'i'));
    EXPECT_EQ(font.charRect(L'm'), Rect(0, 0, width(L"m"), font.height()));
    EXPECT_GT(Font(FontDesc(L"tahoma", 24, 0)).height(), font.height());
}

TEST_F(FontTest, TheHandleIsMadeOnlyForANewDescription)
{
    const FontHandle first = font.nativeFont().handle();
    ASSERT_NE(first, nullptr);
    font.setDesc(FontDesc(L"tahoma", 12, 0));
    EXPECT_EQ(font.nativeFont().handle(), first);
    // A face differing only in case is another description.
    font.setDesc(FontDesc(L"Tahoma", 12, 0));
    EXPECT_NE(font.nativeFont().handle(), first);

    // A copy has a platform font of its own, which shares the cached handle.
    const Font copy(font);
    EXPECT_EQ(copy, font);
    EXPECT_NE(&copy.nativeFont(), &font.nativeFont());
    EXPECT_EQ(copy.nativeFont().handle(), font.nativeFont().handle());
    Font other(FontDesc(L"tahoma", 20, FontBold));
    EXPECT_NE(other, font);
    other = font;
    EXPECT_EQ(other, font);
    EXPECT_EQ(other.height(), font.height());
}

TEST_F(FontTest, TextSizes)
{
    const int h = font.height();
    struct Row {
        const wchar_t* text;
        std::initializer_list<const wchar_t*> lines;
        int lineCount;
    };
    const Row rows[] = {
        {L"ab\ncd", {L"ab", L"cd"}, 2}, {L"ab\n", {L"ab"}, 1},       {L"\n\n", {}, 2},
        {L"x", {L"x"}, 1},              {L"ab\nc", {L"ab", L"c"}, 2}, {L"\r\nWW\n\nx", {L"\r", L"WW", L"x"}, 4},
    };
    forEachRow(rows, [&](const Row& row) {
        int widest = 0;
        for (const wchar_t* line : row.lines)
            widest = std::max(widest, width(line));
        EXPECT_EQ(font.textRect(row.text, true), Rect(0, 0, widest, row.lineCount * h));
        // Single-line measures the line feeds as characters.
        const String text(row.text);
        EXPECT_EQ(font.textSize(text), (Size{font.textWidth(text.constData(), text.length()), h}));
    });
    EXPECT_EQ(font.textSize(nullptr, 5, true), Size{});
    EXPECT_EQ(font.textSize(L"abc", -1, false), Size{});
}

// Elision used to cut between the halves of a surrogate pair; the texts
// here hold pairs, and every result must keep them whole.
TEST_F(FontTest, ElisionPropertiesOverEveryWidth)
{
    std::mt19937 random(20240611);
    const String& dots = Font::ellipsis();
    const int dotsWidth = width(dots);
    for (int sample = 0; sample < 12; ++sample) {
        const String text = randomText(random);
        const int full = width(text);
        for (int mode = 1; mode <= 3; ++mode) {
            int previousWidth = 0;
            for (int w = 1; w <= full + 4; ++w) {
                SCOPED_TRACE(wide(text) + L" mode " + std::to_wstring(mode) + L" width " + std::to_wstring(w));
                const String result = elided(text, w, mode);
                EXPECT_TRUE(pairsAreWhole(result));
                EXPECT_LE(width(result), w);
                EXPECT_GE(width(result), previousWidth);
                previousWidth = width(result);
                if (full <= w || (mode != 1 && dotsWidth > w)) {
                    EXPECT_EQ(result, full <= w ? text : String());
                    continue;
                }
                const int at = mode == 1 ? result.length() : result.indexOf(dots);
                ASSERT_GE(at, 0);
                const String head = result.mid(0, at);
                const String tail = result.mid(at + dots.length());
                EXPECT_EQ(text.mid(0, at), head);
                EXPECT_EQ(text.mid(text.length() - tail.length()), tail);
                EXPECT_LE(head.length() + tail.length(), text.length());
                if (mode == 3) {
                    EXPECT_LE(width(head), (w - dotsWidth) / 2);
                    EXPECT_LE(width(tail), (w - dotsWidth) / 2);
                    continue;
                }
                EXPECT_TRUE(tail.isEmpty());
                // The longest prefix: one more character would not fit.
                const int next = at + (isSurrogate(text.at(at)) ? 2 : 1);
                EXPECT_GT(width(text.mid(0, next) + (mode == 2 ? dots : String())), w);
            }
        }
    }
}

TEST_F(FontTest, ElisionEdgeCases)
{
    const String text(L"a rather long caption for a narrow box");
    const int full = width(text);
    const int dotsWidth = width(Font::ellipsis());
    EXPECT_EQ(elided(text, 10, ElideNone), text);
    EXPECT_EQ(elided(text, dotsWidth, ElideRightWithEllipsis), L" ... ");
    EXPECT_EQ(elided(text, dotsWidth, ElideMiddle), L" ... ");
    EXPECT_EQ(elided(text, full - 1, 7), String());
    EXPECT_EQ(elided(text, full, 7), text);
    EXPECT_EQ(elided(String(), 100, ElideRight), String());
    EXPECT_EQ(elided(text, 0, ElideNone), String());

    Font::setEllipsis(L"\u2026");
    EXPECT_TRUE(elided(text, full / 2, ElideRightWithEllipsis).endsWith(L"\u2026"));
}

TEST_F(FontTest, PlacingText)
{
    const String text(L"Placed");
    const Rect box(10, 20, 300, 80);
    const Rect placed = font.placeText(text, box, AlignRight | AlignBottom, false);
    EXPECT_EQ(placed.size(), font.textSize(text));
    EXPECT_EQ(placed.topLeft(), (Point{box.right() - placed.width, box.bottom() - placed.height}));
    EXPECT_EQ(font.placeText(L"a\nb", box, AlignLeft | AlignTop, false), Rect(10, 20, width(L"a\nb"), font.height()));
    EXPECT_EQ(font.placeText(String(), box, AlignCenter, false), Rect(0, 0, 0, 0));
    EXPECT_EQ(font.placeText(text, Rect(10, 20, 80, 0), AlignCenter, true), Rect(0, 0, 0, 0));
}
