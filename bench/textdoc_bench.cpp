// The text document engine at 10 K and 1 M characters: loading with and without
// word wrap (60-character lines, and one paragraph of 1 M), cursor moves,
// hit tests, one character typed in the middle with its undo snapshot, the
// undo itself, and a one-screen paint. Line lookup is compared with the
// walk over the line list it replaces.

#include "BenchText.h"
#include "BenchTiming.h"

#include "foundation/Application.h"
#include "graphics/DrawingSurface.h"
#include "graphics/Graphics.h"
#include "ui/UIManager.h"
#include "ui/widgets/UITextDocument.h"

#include <cstdio>

namespace {

using bench::linesOf;
using bench::timeOf;

constexpr int viewWidth = 800;
constexpr int viewHeight = 600;

String paragraphOf(int characters)
{
    String text = linesOf(characters);
    return text.replaceChar(L'\n', L' ');
}

class Owner : public SignalReceiver {
public:
    explicit Owner(UITextDocument& document) : document(document) { document.connect(this, &Owner::onChange); }
    void onChange()
    {
        document.history()->push(document.text());
    }
    UITextDocument& document;
};

double paintMs(UITextDocument& document)
{
    GdiDrawingSurface surface(viewWidth, viewHeight);
    document.setVerticalOffset(-(document.contentHeight() / 2));
    constexpr int passes = 20;
    const double ms = timeOf([&] {
        for (int i = 0; i < passes; ++i) {
            Graphics g(&surface);
            document.paint(g);
        }
    });
    return ms / passes;
}

void measure(const char* name, const String& text, bool wrap)
{
    UITextDocument document;
    Owner owner(document);
    document.setViewport(Rect(0, 0, viewWidth, viewHeight));
    document.setWordWrap(wrap);
    const double load = timeOf([&] { document.setText(text, UITextDocument::ClearHistory); });
    const double relayout = timeOf([&] { document.relayout(); });
    UITextCursor& cursor = *document.cursor();
    cursor.setPosition(document.length() / 2);
    const double typed = timeOf([&] { cursor.insertText(L"x"); });
    const double undo = timeOf([&] { document.undo(); });
    constexpr int moves = 10000;
    cursor.setPosition(0);
    const double down = timeOf([&] {
        for (int i = 0; i < moves; ++i)
            cursor.move(UITextCursor::MoveDown, true);
    });
    cursor.setPosition(0);
    const double words = timeOf([&] {
        for (int i = 0; i < moves; ++i)
            cursor.move(UITextCursor::MoveNextWordStart);
    });
    constexpr int hits = 10000;
    int index = 0;
    const double hit = timeOf([&] {
        for (int i = 0; i < hits; ++i)
            document.hitTest(Point(i % viewWidth, viewHeight * 4), &index);
    });
    printf("%-26s %-7s lines %7d  load %8.2f ms  relayout %8.2f ms  typed char %6.3f ms  undo %7.2f ms\n", name,
           wrap ? "wrap" : "no wrap", document.lineCount(), load, relayout, typed, undo);
    printf("%-26s %-7s %d moves down %6.3f ms, %d next-word moves %6.3f ms, %d hit tests (last line) %6.3f ms, "
           "paint %6.3f ms\n",
           name, wrap ? "wrap" : "no wrap", moves, down, moves, words, hits, hit, paintMs(document));
}

// The line holding each index: the binary search against a walk from the
// first line, as a linked line list would answer it.
void compareLineLookup(const String& text)
{
    UITextDocument document;
    document.setText(text);
    const UITextLayout& layout = document.layout();
    constexpr int lookups = 2000;
    std::vector<int> fast(lookups);
    std::vector<int> slow(lookups);
    const int step = document.length() / lookups;
    const double fastMs = timeOf([&] {
        for (int i = 0; i < lookups; ++i)
            fast[std::size_t(i)] = document.lineOf(i * step);
    });
    const double slowMs = timeOf([&] {
        for (int i = 0; i < lookups; ++i) {
            int line = 0;
            while (layout.line(line).end() <= i * step)
                ++line;
            slow[std::size_t(i)] = line;
        }
    });
    bench::printComparison("line of a character", layout.count(), lookups, fastMs, slowMs, fast == slow);
}

} // namespace

int main()
{
    Application application(L"KestrolaTextDocumentBench", L"1.0");
    UIManager::instance();
    const String small = linesOf(10 * 1024);
    const String large = linesOf(1024 * 1024);
    for (const bool wrap : {false, true}) {
        measure("10 K chars, 60-char lines", small, wrap);
        measure("1 M chars, 60-char lines", large, wrap);
    }
    measure("1 M chars, one paragraph", paragraphOf(1024 * 1024), true);
    compareLineLookup(large);
    return 0;
}
