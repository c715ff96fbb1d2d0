#include "ui/widgets/UITextDocument.h"

#include "foundation/CharHelpers.h"
#include "graphics/DrawingSurface.h"
#include "graphics/Font.h"
#include "graphics/Graphics.h"

#include "tests/graphics/GraphicsTestSupport.h"
#include "tests/support/ColourPrinting.h"
#include "tests/support/RowTable.h"
#include "tests/support/StringPrinting.h"
#include "tests/widgets/SignalRecorder.h"
#include "tests/widgets/StyledWidgetTest.h"

#include <algorithm>
#include <functional>
#include <random>
#include <string>
#include <vector>

namespace {

// The owner's part of undo: a snapshot after every change.
class SnapshotOwner : public SignalReceiver {
public:
    explicit SnapshotOwner(UITextDocument& document) : document(document)
    {
        document.connect(this, &SnapshotOwner::onChange);
    }
    void onChange()
    {
        ++changes;
        document.history()->push(document.text());
    }

    UITextDocument& document;
    int changes = 0;
};

// After each change, every line outside the ones the document names as
// changed holds the characters it held before (those after them one place
// further for each line gained), as an owner that repaints only the named
// lines relies on.
class LineChangeChecker : public SignalReceiver {
public:
    explicit LineChangeChecker(UITextDocument& document) : document(document), before(lineTexts())
    {
        document.connect(this, &LineChangeChecker::onChange);
    }
    std::vector<std::wstring> lineTexts() const
    {
        std::vector<std::wstring> texts;
        for (const UITextLine& line : document.layout().lines())
            texts.emplace_back(document.text().mid(line.start, line.length).view());
        return texts;
    }
    void onChange()
    {
        const std::vector<std::wstring> now = lineTexts();
        const UITextLineChange& c = document.lastLineChange();
        const int old = int(before.size());
        bool kept = c.first >= 0 && c.first + c.removed <= old && old - c.removed + c.inserted == int(now.size());
        for (int i = 0; kept && i < c.first; ++i)
            kept = now[std::size_t(i)] == before[std::size_t(i)];
        for (int i = c.first + c.inserted; kept && i < int(now.size()); ++i)
            kept = now[std::size_t(i)] == before[std::size_t(i - c.inserted + c.removed)];
        mismatches += kept ? 0 : 1;
        before = now;
    }

    UITextDocument& document;
    std::vector<std::wstring> before;
    int mismatches = 0;
};

std::vector<bool> formattedUnits(const UITextDocument& document)
{
    std::vector<bool> formatted;
    for (int i = 0; i < document.length(); ++i)
        formatted.push_back(document.formatTable()->formatAt(i) != nullptr);
    return formatted;
}

// Whether a cut at i would part the two halves of a surrogate pair.
bool cutsPair(const std::wstring& text, int i)
{
    return splitsSurrogatePair(text, std::size_t(i));
}

// Where the cursor lands when put at i: off the second half of a pair.
int characterStart(const std::wstring& text, int i)
{
    return cutsPair(text, i) ? i - 1 : i;
}

// An undo or redo replaces only what differs, at most a pair's other half
// more, and selects what came back: the text around it keeps its formats,
// what came back is plain, and neither edge parts a surrogate pair.
void expectOnlyTheSelectionReplaced(const UITextDocument& document, const std::wstring& before,
                                    const std::vector<bool>& formatsBefore)
{
    const std::wstring now(document.text().view());
    const int start = document.cursor()->anchor();
    const int end = document.cursor()->position();
    const int oldEnd = int(before.size()) - (int(now.size()) - end);
    ASSERT_TRUE(start <= end && start <= oldEnd);
    EXPECT_EQ(now.substr(0, std::size_t(start)), before.substr(0, std::size_t(start)));
    EXPECT_EQ(now.substr(std::size_t(end)), before.substr(std::size_t(oldEnd)));
    // The end marker both share stays.
    const int shorter = int(std::min(now.size(), before.size()));
    const int same = std::min(
        int(std::mismatch(now.begin(), now.end(), before.begin(), before.end()).first - now.begin()), shorter - 1);
    EXPECT_GE(start, same - 1);
    int sameTail = 0;
    while (sameTail < shorter - same
           && now[now.size() - 1 - std::size_t(sameTail)] == before[before.size() - 1 - std::size_t(sameTail)])
        ++sameTail;
    EXPECT_GE(int(now.size()) - end, sameTail - 1);
    EXPECT_FALSE(cutsPair(now, start) || cutsPair(now, end) || cutsPair(before, start) || cutsPair(before, oldEnd));
    const std::vector<bool> formats = formattedUnits(document);
    for (int i = 0; i < int(now.size()); ++i) {
        const bool kept = i < start ? formatsBefore[std::size_t(i)]
                                    : i >= end && formatsBefore[std::size_t(i - end + oldEnd)];
        EXPECT_EQ(formats[std::size_t(i)], kept) << "unit " << i;
    }
}

// What a drawing leaves on a white surface.
Bitmap drawnOnWhite(const std::function<void(Graphics&)>& draw)
{
    GdiDrawingSurface surface(80, 30);
    Graphics g(&surface);
    g.fillRectColour(surface.rect(), Colour(255, 255, 255));
    draw(g);
    g.end();
    return surface.toBitmap(false);
}

class TextDocumentTest : public StyledWidgetTest {
protected:
    void SetUp() override { document.setText(L"", UITextDocument::ClearHistory | UITextDocument::CursorToEnd); }

    UITextCursor& cursor() { return *document.cursor(); }
    int widthOf(const String& text) const { return document.layout().textWidth(text, 0, text.length()); }
    std::vector<UITextLine> lines() const { return document.layout().lines(); }
    std::vector<UITextLine> freshLines(const String& text) const
    {
        UITextDocument fresh;
        fresh.setFont(document.font());
        fresh.setWordWrap(document.wordWrap());
        fresh.setViewport(document.viewport());
        fresh.setText(text);
        return fresh.layout().lines();
    }
    // A wrap width of exactly width pixels.
    void wrapAt(int width)
    {
        document.setWordWrap(true);
        document.setViewport(Rect(0, 0, width + document.wrapReserve(), 200));
    }
    // Pixel x of the character's left edge on its line.
    int leftOf(int index) const
    {
        const UITextLine& line = document.layout().line(document.lineOf(index));
        return document.lineRect(0).x + document.layout().textWidth(document.text(), line.start, index);
    }

    UITextDocument document;
    SnapshotOwner owner{document};
};

} // namespace

TEST_F(TextDocumentTest, EmptyDocumentHoldsOneLineFeedOnOneLine)
{
    EXPECT_EQ(document.text(), String(L"\n"));
    EXPECT_EQ(document.lineCount(), 1);
    EXPECT_TRUE(document.isEmpty());
    EXPECT_EQ(cursor().position(), 0);
    EXPECT_EQ(cursor().lineIndex(), 0);
}

TEST_F(TextDocumentTest, DetectModeStoresLineFeedsAndGivesCrLfBack)
{
    document.setLineEndMode(UITextDocument::LineEndDetect);
    document.setText(L"a\r\nb");
    EXPECT_EQ(document.text(), String(L"a\nb\n"));
    EXPECT_EQ(document.lineCount(), 2);
    EXPECT_EQ(document.effectiveLineEndMode(), UITextDocument::LineEndCrLf);
    EXPECT_EQ(document.externalText(L"a\nb"), String(L"a\r\nb"));
    document.setText(L"a\nb");
    EXPECT_EQ(document.effectiveLineEndMode(), UITextDocument::LineEndLf);
    EXPECT_EQ(document.externalText(L"a\nb"), String(L"a\nb"));
}

TEST_F(TextDocumentTest, MovesLandWhereTheTableSays)
{
    struct Row {
        const wchar_t* text;
        int from;
        int operation;
        int to; // -1: the move fails and the cursor stays
    };
    const Row rows[] = {
        {L"abc", 1, UITextCursor::MoveDocumentStart, 0},
        {L"ab\ncd", 0, UITextCursor::MoveDocumentEnd, 5},
        {L"ab\ncd", 4, UITextCursor::MoveLineStart, 3},
        {L"ab\ncd", 0, UITextCursor::MoveLineEnd, 2},
        {L"foo, bar", 7, UITextCursor::MoveWordStart, 5},
        {L"foo,, bar", 4, UITextCursor::MoveWordStart, 3},
        {L"ab\ncd", 4, UITextCursor::MoveWordStart, 3},
        {L"abcdefghijkl\nxyz", 10, UITextCursor::MoveDown, 16},
        {L"xyz\nabcdefghijkl", 14, UITextCursor::MoveUp, 3},
        // The column counts characters, a pair taking one place.
        {L"\xD83D\xDE00\xD83D\xDE00\xD83D\xDE00x\nabcdefghij", 7, UITextCursor::MoveDown, 12},
        {L"abcdefghij\n\xD83D\xDE00\xD83D\xDE00\xD83D\xDE00x", 18, UITextCursor::MoveUp, 4},
        {L"abcdefghij\n\xD83D\xDE00\xD83D\xDE00\xD83D\xDE00x", 3, UITextCursor::MoveDown, 17},
        {L"ab\ncd", 1, UITextCursor::MoveUp, -1},
        {L"ab\ncd", 4, UITextCursor::MoveDown, -1},
        {L"ab", 0, UITextCursor::MoveLeft, -1},
        {L"ab", 2, UITextCursor::MoveRight, -1},
        {L"ab", 1, UITextCursor::MoveRight, 2},
        {L"ab", 2, UITextCursor::MoveWordEnd, -1},
        {L"ab", 1, 13, -1},
        {L"ab", 1, 0, -1},
        // Previous and next word start: the run of one class, then white space.
        {L"foo bar", 7, UITextCursor::MovePreviousWordStart, 4},
        {L"foo bar", 4, UITextCursor::MovePreviousWordStart, 0},
        {L"foo, bar", 5, UITextCursor::MovePreviousWordStart, 3},
        {L"foo\n  bar", 6, UITextCursor::MovePreviousWordStart, 0},
        {L"foo", 0, UITextCursor::MovePreviousWordStart, -1},
        {L"foo bar", 0, UITextCursor::MoveNextWordStart, 4},
        {L"foo, bar", 0, UITextCursor::MoveNextWordStart, 3},
        {L"foo, bar", 3, UITextCursor::MoveNextWordStart, 5},
        {L"foo\n  bar", 1, UITextCursor::MoveNextWordStart, 6},
        {L"foo  ", 1, UITextCursor::MoveNextWordStart, 5},
        {L"foo", 3, UITextCursor::MoveNextWordStart, -1},
        {L"\x043f\x0440\x0438\x0432\x0435\x0442 \x043c\x0438\x0440", 0, UITextCursor::MoveNextWordStart, 7},
        {L"\x043f\x0440\x0438\x0432\x0435\x0442 \x043c\x0438\x0440", 9, UITextCursor::MovePreviousWordStart, 7},
    };
    forEachRow(rows, [&](const Row& row) {
        document.setText(row.text);
        cursor().setPosition(row.from);
        if (row.operation == UITextCursor::MoveWordEnd)
            cursor().move(UITextCursor::MoveWordStart);
        const int before = cursor().position();
        EXPECT_EQ(cursor().move(row.operation), row.to >= 0);
        EXPECT_EQ(cursor().position(), row.to >= 0 ? row.to : before);
    });
}

TEST_F(TextDocumentTest, SelectionsExtendFromTheAnchor)
{
    struct Row {
        const wchar_t* text;
        int at;
        int kind;
        const wchar_t* selected;
    };
    const Row rows[] = {
        {L"one two", 5, UITextCursor::SelectWord, L"two"},
        {L"one   two", 4, UITextCursor::SelectWord, L"   "},
        {L"a, b", 1, UITextCursor::SelectWord, L","},
        {L"\x043c\x0438\x0440 x", 1, UITextCursor::SelectWord, L"\x043c\x0438\x0440"},
        {L"ab\ncd ef\ngh", 4, UITextCursor::SelectLine, L"cd ef"},
        {L"ab\ncd", 1, UITextCursor::SelectAll, L"ab\ncd"},
    };
    forEachRow(rows, [&](const Row& row) {
        document.setText(row.text);
        cursor().setPosition(row.at);
        cursor().select(row.kind);
        EXPECT_EQ(cursor().selectedText(), String(row.selected));
    });
    document.setText(L"abc\ndef");
    cursor().setPosition(1);
    SignalRecorder selections;
    cursor().selectionChanged.connect(&selections, &SignalRecorder::onSignal);
    cursor().move(UITextCursor::MoveDown, true);
    cursor().move(UITextCursor::MoveRight, true);
    EXPECT_EQ(cursor().selectedText(), String(L"bc\nde"));
    EXPECT_EQ(selections.count, 2);
    cursor().clearSelection();
    EXPECT_EQ(cursor().anchor(), 6);
    EXPECT_EQ(selections.count, 3);
}

TEST_F(TextDocumentTest, HistoryKeepsFiveSnapshotsAndRestoresTheSelection)
{
    for (const wchar_t* c : {L"a", L"b", L"c", L"d", L"e"})
        cursor().insertText(c);
    EXPECT_EQ(document.history()->count(), 5);
    int steps = 0;
    while (document.undo())
        ++steps;
    EXPECT_EQ(steps, 4);
    EXPECT_EQ(document.text(), String(L"a\n"));
    EXPECT_TRUE(document.redo());
    EXPECT_EQ(document.text(), String(L"ab\n"));
    document.history()->push(document.text());
    EXPECT_TRUE(document.canRedo());

    document.setText(L"hello world", UITextDocument::ClearHistory | UITextDocument::Silent);
    cursor().setSelection(6, 5);
    owner.onChange();
    cursor().insertText(L"X");
    ASSERT_TRUE(document.undo());
    EXPECT_EQ(document.text(), String(L"hello \n"));
    ASSERT_TRUE(document.undo());
    EXPECT_EQ(document.text(), String(L"hello world\n"));
    EXPECT_EQ(cursor().anchor(), 6);
    EXPECT_EQ(cursor().position(), 11);
}

// A text with line feeds used to clear the document first, which recorded an
// empty snapshot that the first undo then showed.
TEST_F(TextDocumentTest, TwoLineInsertRecordsOneSnapshot)
{
    document.setText(L"start", UITextDocument::ClearHistory | UITextDocument::CursorToEnd);
    const int changes = owner.changes;
    cursor().insertText(L" one\r\ntwo");
    EXPECT_EQ(owner.changes, changes + 1);
    EXPECT_EQ(document.history()->count(), 2);
    EXPECT_EQ(cursor().position(), 13);
    ASSERT_TRUE(document.undo());
    EXPECT_EQ(document.text(), String(L"start\n"));
}

// setText without moving the cursor used to leave it past a shorter text.
TEST_F(TextDocumentTest, ShorterTextClampsCursorAndAnchor)
{
    document.setText(L"hello\nworld");
    cursor().setSelection(2, 8);
    document.setText(L"hi");
    EXPECT_EQ(cursor().position(), 2);
    EXPECT_EQ(cursor().anchor(), 2);
    EXPECT_EQ(cursor().lineIndex(), 0);
    EXPECT_TRUE(cursor().move(UITextCursor::MoveLineStart));
    EXPECT_TRUE(cursor().insertText(L"x"));
    EXPECT_EQ(document.text(), String(L"xhi\n"));
}

TEST_F(TextDocumentTest, WrapBreaksAfterTheLastFittingSpace)
{
    struct Row {
        const wchar_t* text;
        const wchar_t* fitting; // the wrap width is this text's width
        const wchar_t* firstLine;
    };
    const Row rows[] = {
        {L"one two three", L"one two ", L"one two "},
        {L"one two three", L"one two", L"one two "},
        {L"\x043e\x0434\x0438\x043d \x0434\x0432\x0430 \x0442\x0440\x0438", L"\x043e\x0434\x0438\x043d \x0434\x0432\x0430",
         L"\x043e\x0434\x0438\x043d \x0434\x0432\x0430 "},
        // Characters beyond the first plane are as visible as letters, so
        // the spaces between them are found.
        {L"\xD83D\xDE00\xD83D\xDE00 \xD83D\xDE00\xD83D\xDE00 \xD83D\xDE00\xD83D\xDE00",
         L"\xD83D\xDE00\xD83D\xDE00 \xD83D\xDE00\xD83D\xDE00",
         L"\xD83D\xDE00\xD83D\xDE00 \xD83D\xDE00\xD83D\xDE00 "},
        {L"ab \xD83D\xDE00\xD83D\xDE00 \xD83D\xDE00", L"ab \xD83D\xDE00\xD83D\xDE00", L"ab \xD83D\xDE00\xD83D\xDE00 "},
        // No space fits: the line breaks by characters.
        {L"abcdefg", L"abc", L"abc"},
    };
    forEachRow(rows, [&](const Row& row) {
        wrapAt(widthOf(row.fitting));
        document.setText(row.text);
        ASSERT_GE(document.lineCount(), 2);
        const UITextLine& first = document.layout().line(0);
        EXPECT_EQ(document.text().mid(first.start, first.length), String(row.firstLine));
    });
}

// The wrapper as first written: a walk back from the last visible character
// for every piece, re-measuring as it goes.
std::vector<UITextLine> walkedWrap(const UITextLayout& layout, const String& text, int wrapWidth)
{
    // A pair is visible at its first unit; its second unit is no character.
    auto visible = [&](int i) {
        const std::wstring_view units = text.view();
        if (isSurrogatePairAt(units, std::size_t(i)))
            return true;
        return !splitsSurrogatePair(units, std::size_t(i)) && text.at(i) != L' ' && isPrintableChar(text.at(i));
    };
    auto width = [&](int from, int to) { return layout.textWidth(text, from, to); };
    std::vector<UITextLine> out;
    for (int start = 0, end = 0; start < text.length(); start = end) {
        end = text.indexOf(L'\n', start) + 1;
        int known = -1;
        while (width(start, end) > wrapWidth) {
            int first = start;
            while (first < end && !visible(first))
                ++first;
            int last = end - 1;
            while (last > first && !visible(last))
                --last;
            int space = -1;
            int tail = 0;
            if (first < end && last > first) {
                const int lineWidth = known >= 0 ? known : width(start, last);
                for (int i = last, candidate = last; i > first && space < 0; --i) {
                    if (text.at(i) != L' ')
                        continue;
                    tail += width(i, candidate);
                    candidate = i;
                    space = lineWidth - tail <= wrapWidth ? i : -1;
                }
            }
            if (space > 0) {
                out.push_back({start, space + 1 - start});
                start = space + 1;
                known = tail;
                continue;
            }
            int candidate = end - 1;
            while (candidate > start && width(start, candidate) > wrapWidth)
                --candidate;
            if (candidate == start)
                break;
            out.push_back({start, candidate - start});
            start = candidate;
            known = -1;
        }
        out.push_back({start, end - start});
    }
    return out;
}

TEST_F(TextDocumentTest, WrapEqualsTheWalkingWrapper)
{
    const wchar_t* pieces[] = {L"a", L"bb", L"W", L" ", L"  ", L"\n", L"\x0436", L"\t", L",", L"mmmm", L"\xD83D\xDE00"};
    std::mt19937 random(5);
    for (int round = 0; round < 300; ++round) {
        String text;
        for (int i = int(random() % 60); i > 0; --i)
            text.append(pieces[random() % std::size(pieces)]);
        wrapAt(1 + int(random() % 120));
        document.setText(text);
        ASSERT_EQ(lines(), walkedWrap(document.layout(), document.text(), document.viewport().width - 30))
            << "round " << round;
    }
}

TEST_F(TextDocumentTest, CharacterWiderThanTheWrapWidthStaysUnbroken)
{
    wrapAt(widthOf(L"W") - 1);
    document.setText(L"WWW");
    EXPECT_EQ(document.lineCount(), 1);
}

// Wrapping used to recurse once per wrapped line.
TEST_F(TextDocumentTest, HundredThousandCharacterWordWrapsInANarrowView)
{
    document.setWordWrap(true);
    document.setViewport(Rect(0, 0, 50, 100));
    document.setText(String(L'x', 100000));
    EXPECT_GT(document.lineCount(), 1000);
    EXPECT_EQ(document.layout().lines().back().end(), document.length());
}

TEST_F(TextDocumentTest, MaskMeasuresAndPaintsEveryCharacterAsTheMask)
{
    document.setText(L"ab cd");
    document.setMasked(true);
    const int mask = document.charWidth(document.maskCharacter());
    EXPECT_EQ(document.characterAt(1), document.maskCharacter());
    EXPECT_EQ(document.charWidth(L'W'), mask);
    EXPECT_EQ(document.widestLineWidth(), 6 * mask);
    EXPECT_EQ(document.wordAt(Point(mask / 2, 1), String()), String());
    // A pair is one mask mark, as wide as the mask: a pair measured at its
    // own width moves what follows it, and one drawn as two marks shows a
    // mark too many.
    const String pair(L"\xD83D\xDE00");
    ASSERT_NE(Font(document.font()).textWidth(pair.c_str(), 2), mask);
    document.setText(pair + L"a" + pair);
    document.setViewport(Rect(0, 0, 80, 30));
    EXPECT_EQ(document.widestLineWidth(), 4 * mask);
    UITextDocument marks;
    marks.setFont(document.font());
    marks.setViewport(document.viewport());
    marks.setText(String(document.maskCharacter(), 3));
    expectSamePixels(drawnOnWhite([&](Graphics& g) { marks.paint(g); }),
                     drawnOnWhite([&](Graphics& g) { document.paint(g); }));
    document.setText(L"ab cd");
    document.setMasked(false);
    EXPECT_EQ(document.wordAt(Point(1, 1), String()), String(L"ab"));
    // Wrapped lines follow the mask's widths both ways.
    document.setText(L"ii ii");
    wrapAt(widthOf(document.text()));
    document.setMasked(true);
    EXPECT_GT(document.lineCount(), 1);
    document.setMasked(false);
    EXPECT_EQ(document.lineCount(), 1);
}

TEST_F(TextDocumentTest, HitTestsPickCharacterHalvesAndLineEnds)
{
    document.setText(L"abc\ndefgh\nmw");
    document.setViewport(Rect(0, 0, 300, 3 * document.fontHeight()));
    const int h = document.fontHeight();
    const int b = document.charWidth(L'b');
    struct Row {
        Point point;
        int index; // -1: no hit
    };
    const Row rows[] = {
        {Point(leftOf(1) + 1, 1), 1},
        {Point(leftOf(1) + b - 1, 1), 2},
        {Point(250, 1), 3},
        {Point(250, h + 2), 9},
        {Point(1, -5), 0},
        {Point(leftOf(11) + 1, 10 * h), 11},
        {Point(250, 10 * h), 12},
    };
    const auto expectHits = [&](const auto& table) {
        forEachRow(table, [&](const Row& row) {
            int index = -1;
            EXPECT_EQ(document.hitTest(row.point, &index), row.index >= 0);
            EXPECT_EQ(index, row.index);
        });
    };
    expectHits(rows);
    // Above the text, dragging walks up one line from the cursor's.
    cursor().setPosition(11);
    int index = -1;
    ASSERT_TRUE(document.hitTest(Point(1, -5), &index));
    EXPECT_EQ(index, 4);
    // The right half of a line's last character keeps the click on that
    // line, wrapped or not; the index after it would lie on the next line.
    wrapAt(widthOf(L"ab cd"));
    document.setText(L"ab cd\nx");
    ASSERT_EQ(lines(), (std::vector<UITextLine>{{0, 3}, {3, 3}, {6, 2}}));
    const int space = document.charWidth(L' ');
    const int feed = document.charWidth(L'\n');
    ASSERT_GE(std::min(space, feed), 2);
    const Row wrapped[] = {
        {Point(leftOf(2) + space - 1, 1), 2},
        {Point(leftOf(5) + feed - 1, h + 1), 5},
        {Point(leftOf(4) + document.charWidth(L'd') - 1, h + 1), 5},
    };
    expectHits(wrapped);
}

TEST_F(TextDocumentTest, HighlightFormatsFollowEdits)
{
    document.setText(L"abXabXab");
    EXPECT_EQ(document.highlight(L"ab", true, Pen(Colour(0xFFFF0000u)), Brush(), FontBold), 3);
    EXPECT_TRUE(document.formatTable()->formatAt(1));
    EXPECT_FALSE(document.formatTable()->formatAt(2));
    cursor().setPosition(2);
    cursor().insertText(L"__");
    EXPECT_TRUE(document.formatTable()->formatAt(3));
    EXPECT_FALSE(document.formatTable()->formatAt(4));
    EXPECT_TRUE(document.formatTable()->formatAt(5));
    cursor().setSelection(0, 4);
    cursor().removeSelectedText();
    EXPECT_EQ(document.formatTable()->count(), 4);
    EXPECT_TRUE(document.formatTable()->formatAt(1));
}

TEST_F(TextDocumentTest, PaintFillsSelectedCellsAndPlacesTheCursor)
{
    document.setText(L"ab\ncd");
    document.setMargins(4, 2, 0, 0);
    document.setViewport(Rect(0, 0, 100, 40));
    document.setStateFlags(UITextDocument::StateEnabled | UITextDocument::StateActive);
    cursor().setSelection(3, 1);
    GdiDrawingSurface surface(100, 40);
    Graphics g(&surface);
    g.fillRectColour(surface.rect(), Colour(255, 255, 255));
    document.paint(g);
    g.end();
    const int h = document.fontHeight();
    EXPECT_EQ(document.cursorRect(), Rect(4 + document.charWidth(L'c'), 2 + h, document.cursorWidth(), h));
    EXPECT_EQ(document.firstVisibleLine(), 0);
    const Bitmap pixels = surface.toBitmap(false);
    EXPECT_EQ(pixels.pixel(5, 2 + h + 1), Colour(0, 0, 0));
    EXPECT_EQ(pixels.pixel(3, 2 + h + 1), Colour(255, 255, 255));
}

// A character narrower than the viewport's left inset, first on its line,
// used to be left out of the paint: "that" showed as " hat".
TEST_F(TextDocumentTest, EveryLineShowsItsFirstCharacterWhereverTheViewportBegins)
{
    const int narrow = document.charWidth(L't');
    document.setWordWrap(true);
    document.setViewport(Rect(narrow + 1, 4, widthOf(L"and every file ") + document.wrapReserve(), 60));
    document.setText(L"and every file that carries it");
    ASSERT_GE(document.lineCount(), 2);
    for (int i = 1; i < document.lineCount(); ++i)
        EXPECT_EQ(document.layout().line(i).start, document.layout().line(i - 1).end());
    const UITextLine& second = document.layout().line(1);
    EXPECT_EQ(document.text().mid(second.start, 4), String(L"that"));
    GdiDrawingSurface surface(200, 60);
    Graphics g(&surface);
    g.fillRectColour(surface.rect(), Colour(255, 255, 255));
    document.paint(g);
    g.end();
    const Bitmap pixels = surface.toBitmap(false);
    const int h = document.fontHeight();
    int inked = 0;
    for (int y = h; y < 2 * h; ++y)
        for (int x = 0; x < narrow; ++x)
            inked += pixels.pixel(x, y) != Colour(255, 255, 255);
    EXPECT_GT(inked, 0);
}

// A character beyond the first plane was measured, hit and drawn as its two
// halves: two boxes, and a click could land between them.
TEST_F(TextDocumentTest, ASurrogatePairIsMeasuredHitAndDrawnAsOneCharacter)
{
    const wchar_t pair[] = L"\xD83D\xDE00";
    document.setText(pair);
    document.setViewport(Rect(0, 0, 100, 40));
    const int width = Font(document.font()).textWidth(pair, 2);
    EXPECT_EQ(document.layout().characterWidth(document.text(), 0), width);
    EXPECT_EQ(document.layout().characterWidth(document.text(), 1), 0);
    for (int x = 0; x <= width; ++x) {
        int index = -1;
        ASSERT_TRUE(document.hitTest(Point(x, 1), &index));
        EXPECT_NE(index, 1) << "x " << x;
    }
    const Bitmap painted = drawnOnWhite([&](Graphics& g) { document.paint(g); });
    const Bitmap glyph = drawnOnWhite([&](Graphics& g) {
        g.setFont(document.font());
        g.setPen(Pen(Colour(0xFF000000u)));
        g.drawTextRaw(pair, 2, 0, 0);
    });
    EXPECT_FALSE(sameBytes(glyph, drawnOnWhite([](Graphics&) {})));
    expectSamePixels(glyph, painted);
}

// Random edits, with and without wrap, against a plain string and a
// history that keeps the last five distinct texts; after every step the
// lines equal those a fresh document lays out for the same text. An undo
// used to cut a surrogate pair at an edge of what it replaced, and to put
// back a final line feed past the end marker, selecting nothing; Backspace,
// Delete, the arrows and Shift+arrows used to take one half of a pair.
TEST_F(TextDocumentTest, RandomEditsMatchThePlainModel)
{
    LineChangeChecker checker(document);
    // Pairs that share a half, so a difference can begin or end inside one.
    const wchar_t pieces[][8] = {L"a",           L" ",      L"\n",         L"word ",       L"x\ny",
                                 L"\r\n",        L"\x0436", L"\xD83D\xDE00", L"\xD83D\xDE01", L"\xD83C\xDE00"};
    for (const bool wrap : {false, true}) {
        SCOPED_TRACE(wrap ? "wrapped" : "unwrapped");
        wrapAt(wrap ? widthOf(L"abcdef") : 0);
        document.setWordWrap(wrap);
        document.setText(L"", UITextDocument::ClearHistory | UITextDocument::CursorToEnd);
        std::mt19937 random(wrap ? 7 : 11);
        std::wstring model;
        std::vector<std::wstring> history{L""};
        int current = 0;
        auto record = [&] {
            if (history[std::size_t(current)] == model)
                return;
            history.resize(std::size_t(current) + 1);
            history.push_back(model);
            if (history.size() > 5)
                history.erase(history.begin());
            current = int(history.size()) - 1;
        };
        for (int step = 0; step < 600; ++step) {
            const int length = int(model.size());
            // Put between the halves of a pair, the cursor goes to its start.
            const int rawA = int(random() % unsigned(length + 1));
            const int rawB = int(random() % unsigned(length + 1));
            const int a = characterStart(model, rawA);
            const int b = characterStart(model, rawB);
            switch (random() % 8) {
            case 0:
            case 1: {
                const wchar_t* raw = pieces[random() % std::size(pieces)];
                std::wstring piece = raw;
                std::erase(piece, L'\r');
                cursor().setSelection(rawA, rawB - rawA);
                if (a != b) {
                    model.erase(std::size_t(std::min(a, b)), std::size_t(std::abs(b - a)));
                    record();
                }
                model.insert(std::size_t(std::min(a, b)), piece);
                cursor().insertText(raw);
                break;
            }
            case 2: {
                const int units = unitsOfCharacterBefore(model, std::size_t(a));
                cursor().setPosition(rawA);
                if (cursor().deletePrevious())
                    model.erase(std::size_t(a - units), std::size_t(units));
                break;
            }
            case 3:
                cursor().setPosition(rawA);
                if (cursor().deleteNext())
                    model.erase(std::size_t(a), std::size_t(unitsOfCharacterAt(model, std::size_t(a))));
                break;
            case 7: {
                // Shift+Left or Shift+Right selects one character.
                const bool left = random() % 2;
                cursor().setPosition(rawA);
                if (!cursor().move(left ? UITextCursor::MoveLeft : UITextCursor::MoveRight, true))
                    break;
                const int units = left ? unitsOfCharacterBefore(model, std::size_t(a))
                                       : unitsOfCharacterAt(model, std::size_t(a));
                ASSERT_EQ(cursor().position(), left ? a - units : a + units) << "step " << step;
                ASSERT_TRUE(cursor().removeSelectedText());
                model.erase(std::size_t(left ? a - units : a), std::size_t(units));
                break;
            }
            case 4:
                cursor().setSelection(rawA, rawB - rawA);
                if (cursor().removeSelectedText())
                    model.erase(std::size_t(std::min(a, b)), std::size_t(std::abs(b - a)));
                break;
            case 5:
                document.highlight(random() % 2 ? L"a" : L"\xD83D\xDE00", true, Pen(Colour(0xFFFF0000u)), Brush(),
                                   FontBold);
                break;
            default: {
                const std::wstring before(document.text().view());
                const std::vector<bool> formatsBefore = formattedUnits(document);
                const int was = current;
                if (random() % 2) {
                    ASSERT_EQ(document.undo(), current > 0);
                    current = std::max(current - 1, 0);
                } else {
                    ASSERT_EQ(document.redo(), current + 1 < int(history.size()));
                    current = std::min(current + 1, int(history.size()) - 1);
                }
                model = history[std::size_t(current)];
                if (current != was) {
                    SCOPED_TRACE("step " + std::to_string(step));
                    expectOnlyTheSelectionReplaced(document, before, formatsBefore);
                }
                break;
            }
            }
            record();
            // A wrapped or an unwrapped pair never shows a line ending inside it.
            for (const UITextLine& line : lines())
                ASSERT_FALSE(cutsPair(model, line.start)) << "step " << step;
            ASSERT_EQ(std::wstring(document.text().view()), model + L"\n") << "step " << step;
            ASSERT_EQ(lines(), freshLines(document.text())) << "step " << step;
        }
    }
    EXPECT_EQ(checker.mismatches, 0) << "a change moved or altered lines it did not name";
}
