// The multi-line editor in a shown 800 x 600 view at 10 K and 1 M
// characters, with and without word wrap: loading, one character typed in
// the middle (insert, undo snapshot, relayout of the view, scrolling to the
// cursor and a repaint), a line break typed there, a move to the end that
// scrolls, and a zoom step. A key should cost about the same at both
// sizes: besides painting, only the document's insert and undo snapshot
// (shown alone) grow with the text. With the keys it prints how often the
// editor painted and how many of its rows, beside one full repaint: a key
// paints once, the lines it changed and the caret's, and a full paint only
// when it scrolls.

#include "BenchText.h"
#include "BenchTiming.h"
#include "BenchWindow.h"

#include "ui/widgets/UITextEdit.h"

#include <cstdio>

namespace {

using bench::linesOf;
using bench::timeOf;

constexpr int keys = 200;

// Counts its paints and the rows they covered.
class CountingTextEdit : public UITextEdit {
public:
    using UITextEdit::UITextEdit;
    int paints = 0;
    long long rows = 0;

protected:
    void paintEvent(UIPaintEvent* event) override
    {
        ++paints;
        rows += event->rect().height;
        UITextEdit::paintEvent(event);
    }
};

void press(UITextEdit* edit, int key, const String& text = String())
{
    UIKeyEvent e(KeyPressEventType, key, NoModifier, text);
    edit->event(&e);
}

// The document alone: the insert and the snapshot the editor pushes.
double documentTypingMs(const String& text)
{
    UITextDocument document;
    document.setText(text, UITextDocument::ClearHistory);
    document.cursor()->setPosition(document.length() / 2);
    return timeOf([&] {
        for (int i = 0; i < keys; ++i) {
            document.cursor()->insertText(L"x");
            document.history()->push(document.text());
        }
    });
}

// Milliseconds per typed key.
double measure(UIWidget* window, const char* name, const String& text, bool wrap)
{
    auto* view = new UITextEditView(window);
    auto* edit = new CountingTextEdit(view->viewport());
    edit->show();
    view->setContentWidget(edit);
    view->setGeometry(0, 0, 800, 600);
    view->show();
    edit->setWordWrap(wrap);
    const double load = timeOf([&] { edit->setText(text); });
    edit->setCursorPosition(edit->document()->length() / 2);
    edit->paints = 0;
    edit->rows = 0;
    const double typed = timeOf([&] {
        for (int i = 0; i < keys; ++i)
            press(edit, 'X', L"x");
    });
    const double paints = double(edit->paints) / keys;
    const double rows = double(edit->rows) / keys;
    const double full = timeOf([&] { edit->repaint(); });
    const double enter = timeOf([&] { press(edit, 13); });
    const double toEnd = timeOf([&] { press(edit, 34); });
    const double zoom = timeOf([&] { edit->zoomIn(); });
    const double alone = documentTypingMs(text);
    printf("%-6s %-7s load %8.2f ms  key %6.3f ms (document alone %6.3f ms)  Enter %7.2f ms  to end %6.2f ms  "
           "zoom %8.2f ms\n",
           name, wrap ? "wrap" : "no wrap", load, typed / keys, alone / keys, enter, toEnd, zoom);
    printf("%-14s %d keys: %.2f paints and %.0f of %d rows painted per key; one full repaint %.2f ms\n", "", keys,
           paints, rows, edit->height(), full);
    delete view;
    return typed / keys;
}

} // namespace

int main()
{
    Application application(L"KestrolaTextEditBench", L"1.0");
    UIWidget* window = bench::openStyledWindow(application, 800, 600);
    if (!window)
        return 1;
    for (const bool wrap : {false, true}) {
        const double small = measure(window, "10 K", linesOf(10000), wrap);
        const double large = measure(window, "1 M", linesOf(1000000), wrap);
        printf("%-14s key at 1 M / key at 10 K: ratio %5.2f\n", wrap ? "wrap" : "no wrap", large / small);
    }
    delete window;
    return 0;
}
