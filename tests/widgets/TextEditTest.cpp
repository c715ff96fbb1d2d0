#include "ui/widgets/UITextEdit.h"

#include "ui/Clipboard.h"
#include "ui/TimerService.h"
#include "ui/UIDragManager.h"
#include "ui/UIWin32Window.h"
#include "ui/widgets/UIMenu.h"

#include "tests/support/ColourPrinting.h"
#include "tests/support/RowTable.h"
#include "tests/support/StringPrinting.h"
#include "tests/widgets/PointerMessages.h"
#include "tests/widgets/SignalRecorder.h"
#include "tests/widgets/StyledWidgetTest.h"

#include <functional>
#include <vector>

namespace {

// Counts the refusals instead of beeping, and the paints with the area of
// the last one.
class QuietTextEdit : public UITextEdit {
public:
    using UITextEdit::UITextEdit;
    int sounds = 0;
    int paints = 0;
    Rect lastPaintArea;

protected:
    void refuse() override { ++sounds; }
    void paintEvent(UIPaintEvent* event) override
    {
        ++paints;
        lastPaintArea = event->rect();
        UITextEdit::paintEvent(event);
    }
};

// A 300 x 200 text edit view in a shown window, its editor focused.
class TextEditTest : public StyledWidgetTest {
protected:
    // The caret's blink time is held far beyond a test's length: a tick that
    // came while a busy machine handled the focusing click hid the caret the
    // test then looked for. Tests tick by hand.
    void SetUp() override
    {
        SetCaretBlinkTime(600000);
        window.setLayoutEnabled(false);
        view = new UITextEditView(&window);
        view->show();
        edit = new QuietTextEdit(view->viewport());
        edit->show();
        view->setContentWidget(edit);
        view->setGeometry(0, 0, 300, 200);
        showAt(window, 40, 40, 300, 200);
    }
    void TearDown() override { SetCaretBlinkTime(savedBlinkTime); }

    // Real keys go to the focus widget, which needs the active window.
    void activate()
    {
        window.activateWindow();
        ASSERT_TRUE(pumpUntil([&] { return window.isActiveWindow(); }, 2000));
        edit->setFocus();
        ASSERT_TRUE(edit->hasFocus());
    }
    // A key press straight to the editor.
    void key(int virtualKey, KeyboardModifiers modifiers = NoModifier)
    {
        UIKeyEvent e(KeyPressEventType, virtualKey, modifiers, String());
        edit->event(&e);
    }
    // A real key press and release through the window procedure.
    void realKey(int virtualKey, KeyboardModifiers modifiers = NoModifier)
    {
        const HeldModifiers held(modifiers);
        const LPARAM scan = LPARAM(MapVirtualKeyW(UINT(virtualKey), MAPVK_VK_TO_VSC)) << 16;
        SendMessageW(hwndOf(&window), WM_KEYDOWN, WPARAM(virtualKey), scan | 1);
        SendMessageW(hwndOf(&window), WM_KEYUP, WPARAM(virtualKey), scan | 1 | (LPARAM(3) << 30));
        pumpUntil([] { return !pumpPending(); }, 500);
    }
    // Real typed characters, one character message each.
    void realType(const String& text)
    {
        for (int i = 0; i < text.length(); ++i)
            SendMessageW(hwndOf(&window), WM_CHAR, WPARAM(text.at(i)), 1);
        pumpUntil([] { return !pumpPending(); }, 500);
    }
    // A real click at a point of the editor.
    void realClick(Point p)
    {
        const Point at = edit->mapToWindow(p);
        sendPointerMessage(window, WM_LBUTTONDOWN, MK_LBUTTON, at);
        sendPointerMessage(window, WM_LBUTTONUP, 0, at);
    }
    // Focused by a real click. An editor may take the address of the last
    // test's one, and a quick click on it would pair with that test's last
    // click as a double click.
    void focusByClick()
    {
        UIWin32Window::doubleClickDetector().reset();
        window.activateWindow();
        ASSERT_TRUE(pumpUntil([&] { return window.isActiveWindow(); }, 2000));
        realClick(edit->rect().center());
        ASSERT_TRUE(edit->hasFocus());
    }
    // The window's pixels as the screen shows them.
    Bitmap windowPixels() const { return window.windowSurface()->toBitmap(false); }
    int differingEditorPixels(const Bitmap& a, const Bitmap& b) const
    {
        const Point origin = edit->mapToWindow(Point());
        int count = 0;
        for (int y = origin.y; y < origin.y + edit->height(); ++y)
            for (int x = origin.x; x < origin.x + edit->width(); ++x)
                count += a.pixel(x, y) != b.pixel(x, y);
        return count;
    }
    // The caret is the inverse of what lies beside it on an empty line.
    void expectCaretAtLineStart()
    {
        const UITextDocument& d = *edit->document();
        const Rect line = d.lineRect(0);
        EXPECT_TRUE(edit->isCaretShown());
        EXPECT_EQ(d.cursorRect(), Rect(line.x, line.y, d.cursorWidth(), d.fontHeight()));
        const Bitmap pixels = windowPixels();
        const Point caret = edit->mapToWindow(Point(line.x, line.y + d.fontHeight() / 2));
        const Colour beside = pixels.pixel(caret.x + d.cursorWidth() + 2, caret.y);
        EXPECT_EQ(pixels.pixel(caret.x, caret.y), beside.inverted());
    }
    // Typed characters, one key event each.
    void type(const String& text)
    {
        for (int i = 0; i < text.length(); ++i) {
            UIKeyEvent e(KeyPressEventType, 0, NoModifier, String(text.at(i), 1));
            edit->event(&e);
        }
    }
    void wheel(int direction, KeyboardModifiers modifiers)
    {
        UIWheelEvent e(1, Point{20, 20}, direction == WheelDown ? -120 : 120, modifiers, direction);
        edit->event(&e);
    }
    // The pixel of the window under a point of the editor.
    Colour pixelAt(Point p)
    {
        edit->repaint();
        const Point at = edit->mapToWindow(p);
        return window.windowSurface()->toBitmap(false).pixel(at.x, at.y);
    }
    // Just inside the top-left corner of the character's cell on the first
    // line, where no glyph reaches.
    Point cellCorner(int index) const
    {
        const UITextDocument& d = *edit->document();
        return {d.lineRect(0).x + d.layout().textWidth(d.text(), 0, index) + 1, d.lineRect(0).y + 1};
    }
    float size() const { return edit->document()->fontSize(); }
    bool shown(const UIWidget* w) const { return w->testFlag(WidgetVisible); }

    const UINT savedBlinkTime = GetCaretBlinkTime();
    RecordingWidget window{nullptr, Colour(255, 255, 255), quickWindow};
    UITextEditView* view = nullptr;
    QuietTextEdit* edit = nullptr;
};

String repeated(const String& text, int count)
{
    String result;
    for (int i = 0; i < count; ++i)
        result += text;
    return result;
}

} // namespace

TEST_F(TextEditTest, TextKeepsItsFinalLineFeedAndTheMaximumLengthCuts)
{
    edit->setText(L"abc");
    EXPECT_EQ(edit->text(), String(L"abc\n"));
    EXPECT_EQ(edit->sounds, 0);

    edit->setMaxLength(5);
    edit->setText(L"abcdefgh");
    EXPECT_EQ(edit->text(), String(L"abcde\n"));
    EXPECT_EQ(edit->sounds, 1) << "one sound for the cut";

    edit->insert(L"x");
    EXPECT_EQ(edit->text(), String(L"abcde\n")) << "a full editor takes nothing";
    EXPECT_EQ(edit->sounds, 2);

    edit->setText(L"abc");
    edit->insert(L"w\r\nyz");
    EXPECT_EQ(edit->text(), String(L"abcw\n\n")) << "cut to the room left, the CR dropped";
    EXPECT_EQ(edit->sounds, 3);

    edit->setMaxLength(-1);
    EXPECT_EQ(edit->maxLength(), 5) << "a negative length is ignored";
}

// Ctrl+Left and Ctrl+Right go by word starts, also across lines.
TEST_F(TextEditTest, KeysMoveTheCursorAndShiftExtendsOnlyWhereItShould)
{
    // Positions: "one" 0-2, spaces 3-4, "two" 5-7, "," 8, space 9, "three"
    // 10-14, LF 15; "ab" 16-17, LF 18.
    edit->setText(L"one  two, three\nab");
    struct Row {
        int start;
        int key;
        KeyboardModifiers modifiers;
        int position;
        int anchor;
    };
    const KeyboardModifiers ctrl = ControlModifier;
    const KeyboardModifiers shift = ShiftModifier;
    const KeyboardModifiers both = ControlModifier | ShiftModifier;
    const Row rows[] = {
        {0, VK_RIGHT, ctrl, 5, 5},   {5, VK_RIGHT, ctrl, 8, 8},   {8, VK_RIGHT, ctrl, 10, 10},
        {10, VK_RIGHT, ctrl, 16, 16}, {15, VK_LEFT, ctrl, 10, 10}, {10, VK_LEFT, ctrl, 8, 8},
        {8, VK_LEFT, ctrl, 5, 5},    {5, VK_LEFT, ctrl, 0, 0},    {0, VK_RIGHT, both, 5, 0},
        {10, VK_LEFT, both, 8, 10},  {7, VK_HOME, shift, 0, 0},   {7, VK_END, shift, 15, 15},
        {3, VK_RIGHT, shift, 4, 3},  {3, VK_LEFT, NoModifier, 2, 2}, {3, VK_DOWN, NoModifier, 18, 18},
        {17, VK_UP, shift, 1, 17},   {17, VK_PRIOR, shift, 0, 0}, {3, VK_NEXT, NoModifier, 18, 18},
        {0, VK_LEFT, NoModifier, 0, 0},
    };
    forEachRow(rows, [&](const Row& row) {
        edit->setCursorPosition(row.start);
        key(row.key, row.modifiers);
        EXPECT_EQ(edit->cursorPosition(), row.position);
        EXPECT_EQ(edit->anchor(), row.anchor);
    });
    EXPECT_EQ(edit->text(), String(L"one  two, three\nab\n"));
}

// A character beyond the first plane typed as two undo steps, and the
// arrows, Shift+arrows, Up and Backspace took one of its halves; Up and Down
// counted the column in units.
TEST_F(TextEditTest, RealKeysTakeACharacterBeyondTheFirstPlaneWhole)
{
    const String pair(L"\xD83D\xDE00");
    activate();
    typeInput(L"x" + pair);
    ASSERT_TRUE(pumpUntil([&] { return edit->text() == L"x" + pair + L"\n"; }, 2000));
    realKey(VK_RETURN);
    typeInput(pair + pair);
    ASSERT_TRUE(pumpUntil([&] { return edit->text() == L"x" + pair + L"\n" + pair + pair + L"\n"; }, 2000));
    realKey(VK_UP);
    EXPECT_EQ(edit->cursorPosition(), 3);
    realKey(VK_LEFT, ShiftModifier);
    EXPECT_EQ(edit->selectedText(), pair);
    // Down keeps the column in characters: after one pair, not inside it.
    realKey(VK_DOWN);
    EXPECT_EQ(edit->cursorPosition(), 6);
    realKey(VK_RIGHT);
    EXPECT_EQ(edit->cursorPosition(), 8);
    realKey(VK_BACK);
    EXPECT_EQ(edit->text(), L"x" + pair + L"\n" + pair + L"\n");
    realKey('Z', ControlModifier);
    realKey('Z', ControlModifier);
    EXPECT_EQ(edit->text(), L"x" + pair + L"\n" + pair + L"\n");
}

TEST_F(TextEditTest, EditingKeysChangeTheTextOrSoundWhenRefused)
{
    struct Row {
        bool readOnly;
        int selectionStart;
        int selectionLength;
        int key;
        KeyboardModifiers modifiers;
        const wchar_t* text;
        int sounds;
    };
    const KeyboardModifiers ctrl = ControlModifier;
    const Row rows[] = {
        {false, 11, 0, VK_BACK, NoModifier, L"Hello Worl\n", 0},
        {false, 0, 0, VK_BACK, NoModifier, L"Hello World\n", 1},
        {false, 0, 0, VK_DELETE, NoModifier, L"ello World\n", 0},
        {false, 11, 0, VK_DELETE, NoModifier, L"Hello World\n", 1},
        {false, 0, 6, VK_DELETE, ShiftModifier, L"World\n", 0},
        {false, 6, 5, 'U', ctrl, L"Hello world\n", 0},
        {false, 0, 5, 'U', ControlModifier | ShiftModifier, L"HELLO World\n", 0},
        {false, 0, 0, 'U', ctrl, L"Hello World\n", 1},
        {false, 0, 6, VK_RETURN, NoModifier, L"\nWorld\n", 0},
        {false, 0, 0, 'Z', ctrl, L"Hello World\n", 0},
        {true, 11, 0, VK_BACK, NoModifier, L"Hello World\n", 1},
        {true, 0, 0, VK_DELETE, NoModifier, L"Hello World\n", 1},
        {true, 0, 5, 'X', ctrl, L"Hello World\n", 1},
        {true, 0, 5, 'V', ctrl, L"Hello World\n", 1},
        {true, 0, 0, 'Z', ctrl, L"Hello World\n", 1},
        {true, 0, 5, VK_RETURN, NoModifier, L"Hello World\n", 0},
    };
    forEachRow(rows, [&](const Row& row) {
        edit->setReadOnly(false);
        edit->setText(L"Hello World");
        edit->setReadOnly(row.readOnly);
        edit->setSelection(row.selectionStart, row.selectionLength);
        edit->sounds = 0;
        key(row.key, row.modifiers);
        EXPECT_EQ(edit->text(), String(row.text));
        EXPECT_EQ(edit->sounds, row.sounds);
    });
}

TEST_F(TextEditTest, CaseChangeKeepsTheSelectionAndTypingReplacesIt)
{
    edit->setText(L"Hello World");
    edit->setSelection(6, 5);
    key('U', ControlModifier | ShiftModifier);
    EXPECT_EQ(edit->selectedText(), String(L"WORLD"));
    type(L"x");
    EXPECT_EQ(edit->text(), String(L"Hello x\n"));
    edit->setReadOnly(true);
    type(L"y");
    EXPECT_EQ(edit->text(), String(L"Hello x\n"));
    EXPECT_EQ(edit->sounds, 1);
}

TEST_F(TextEditTest, EnterInAReadOnlyEditorInsertsNothingAndStillFinishes)
{
    SignalRecorder finished;
    edit->editingFinished.connect(&finished, &SignalRecorder::onSignal);
    edit->setText(L"ab");
    edit->setReadOnly(true);
    key(VK_RETURN);
    EXPECT_EQ(edit->text(), String(L"ab\n"));
    EXPECT_EQ(finished.count, 1);
    edit->setReadOnly(false);
    key(VK_RETURN);
    EXPECT_EQ(edit->text(), String(L"ab\n\n"));
    EXPECT_EQ(finished.count, 2);
}

TEST_F(TextEditTest, UndoStepsBackThroughTypedTextAndRedoForward)
{
    type(L"abcdef");
    std::vector<String> seen;
    for (int i = 0; i < 5; ++i) {
        key('Z', ControlModifier);
        seen.push_back(edit->text());
    }
    // At most five snapshots: four steps back, then nothing.
    EXPECT_EQ(seen, (std::vector<String>{L"abcde\n", L"abcd\n", L"abc\n", L"ab\n", L"ab\n"}));
    key('Y', ControlModifier);
    EXPECT_EQ(edit->text(), String(L"abc\n"));
    EXPECT_EQ(edit->sounds, 0);
}

// Undo set the whole text back under the highlights, which had moved with
// the edit, and put the caret where the snapshot had it: at the end for the
// first one.
TEST_F(TextEditTest, UndoKeepsHighlightsOnTheirTextAndTheCaretAtTheEdit)
{
    struct Row {
        const char* edit;
        int at;
        std::function<void()> apply;
        std::vector<int> highlighted;
        int caret;
    };
    const Row rows[] = {
        {"typed before the word", 2, [&] { type(L"x"); }, {4, 5, 6, 7}, 2},
        {"deleted before the word", 2, [&] { key(VK_BACK); }, {4, 5, 6, 7}, 2},
        // Text an undo brings back comes back plain: snapshots hold no formats.
        {"the word's end deleted", 8, [&] { key(VK_BACK); }, {4, 5, 6}, 8},
    };
    edit->setText(L"one beta two");
    forEachRow(rows, [&](const Row& row) {
        edit->highlight(L"beta", true, Pen(Colour(0, 0, 0)), Brush(Colour(255, 240, 0)), 0);
        edit->setCursorPosition(row.at);
        row.apply();
        key('Z', ControlModifier);
        EXPECT_EQ(edit->text(), String(L"one beta two\n"));
        std::vector<int> highlighted;
        for (int i = 0; i < edit->document()->length(); ++i) {
            if (edit->document()->formatTable()->formatAt(i))
                highlighted.push_back(i);
        }
        EXPECT_EQ(highlighted, row.highlighted);
        EXPECT_EQ(edit->cursorPosition(), row.caret);
    });
}

// Wine's real clipboard: line breaks leave as CR LF and come back as LF.
TEST_F(TextEditTest, CopiedLinesCarryCrLfAndPasteBackAsLf)
{
    activate();
    edit->setText(L"one\ntwo");
    realKey('A', ControlModifier);
    realKey('C', ControlModifier);
    EXPECT_EQ(UIManager::instance()->clipboard().text(), String(L"one\r\ntwo"));

    edit->setText(L"");
    realKey('V', ControlModifier);
    EXPECT_EQ(edit->text(), String(L"one\ntwo\n"));

    edit->setSelection(0, 3);
    realKey(VK_DELETE, ShiftModifier);
    EXPECT_EQ(UIManager::instance()->clipboard().text(), String(L"one"));
    EXPECT_EQ(edit->text(), String(L"\ntwo\n"));
    realKey(VK_INSERT, ShiftModifier);
    EXPECT_EQ(edit->text(), String(L"one\ntwo\n"));

    edit->clearSelection();
    realKey('C', ControlModifier);
    EXPECT_EQ(edit->sounds, 1) << "nothing selected to copy";
}

TEST_F(TextEditTest, ZoomStepsStayWithinTheBounds)
{
    SignalRecorder zooms;
    edit->zoomChanged.connect(&zooms, &SignalRecorder::onSignal);
    const float normal = size();
    for (const bool in : {true, false}) {
        SCOPED_TRACE(in ? "in" : "out");
        float last = size();
        for (int i = 0; i < 60; ++i) {
            in ? edit->zoomIn() : edit->zoomOut();
            EXPECT_TRUE(in ? size() >= last : size() <= last);
            EXPECT_GE(size(), edit->zoomMinimum());
            EXPECT_LE(size(), edit->zoomMaximum());
            last = size();
        }
        EXPECT_EQ(size(), in ? edit->zoomMaximum() : edit->zoomMinimum());
    }
    const int changes = zooms.count;
    edit->zoomOut();
    EXPECT_EQ(zooms.count, changes) << "nothing below the minimum";
    key('0', ControlModifier);
    EXPECT_EQ(size(), normal);
    key(VK_OEM_PLUS, ControlModifier);
    EXPECT_GT(size(), normal);
    key(VK_SUBTRACT, ControlModifier);
    key(VK_OEM_MINUS, ControlModifier);
    EXPECT_LT(size(), normal);
    edit->setZoomEnabled(false);
    key('0', ControlModifier);
    EXPECT_LT(size(), normal) << "zoom off: no reset either";
}

TEST_F(TextEditTest, TheStyleSetsTheBoundsAndTheStepIsClamped)
{
    edit->setStyleProperty(L"zoomMaximum", L"20");
    for (int i = 0; i < 20; ++i)
        edit->zoomIn();
    EXPECT_EQ(size(), 20.0f);
    edit->setZoomStep(0);
    EXPECT_EQ(edit->zoomStep(), 1);
    edit->setZoomStep(500);
    EXPECT_EQ(edit->zoomStep(), 100);
}

TEST_F(TextEditTest, CtrlWheelZoomsAndTheViewScrollsOnTheSameTurn)
{
    edit->setText(repeated(L"line\n", 100));
    struct Row {
        bool zoomEnabled;
        KeyboardModifiers modifiers;
        int direction;
        int sizeChange; // -1 smaller, 0 same, 1 larger
    };
    const Row rows[] = {
        {true, ControlModifier, WheelUp, -1},
        {true, ControlModifier, WheelDown, 1},
        {false, ControlModifier, WheelUp, 0},
        {false, ControlModifier, WheelDown, 0},
        {true, NoModifier, WheelDown, 0},
    };
    forEachRow(rows, [&](const Row& row) {
        edit->resetZoom();
        edit->setZoomEnabled(row.zoomEnabled);
        view->setVerticalValue(200);
        const float before = size();
        const int value = view->verticalScrollBar()->value();
        wheel(row.direction, row.modifiers);
        EXPECT_EQ(size() > before ? 1 : size() < before ? -1 : 0, row.sizeChange);
        EXPECT_NE(view->verticalScrollBar()->value(), value);
        edit->setZoomEnabled(true);
    });
}

// The single step used to fall back to one line after the first relayout.
TEST_F(TextEditTest, WheelStepIsThreeLinesAlsoAfterZoomAndEditing)
{
    EXPECT_EQ(view->verticalSingleStep(), edit->document()->fontHeight() * 3);
    edit->zoomIn();
    edit->setText(L"more");
    EXPECT_EQ(view->verticalSingleStep(), edit->document()->fontHeight() * 3);
}

TEST_F(TextEditTest, WordWrapDecidesTheViewsBars)
{
    const String longLine = repeated(L"word ", 60);
    struct Row {
        bool wrap;
        int lines;
        bool horizontal;
        bool vertical;
    };
    const Row rows[] = {
        {false, 1, true, false},
        {true, 1, false, false},
        {false, 40, true, true},
        {true, 40, false, true},
    };
    forEachRow(rows, [&](const Row& row) {
        edit->setWordWrap(row.wrap);
        edit->setText(repeated(longLine + L"\n", row.lines));
        EXPECT_EQ(shown(view->horizontalScrollBar()), row.horizontal);
        EXPECT_EQ(shown(view->verticalScrollBar()), row.vertical);
        EXPECT_EQ(edit->document()->lineCount() > row.lines, row.wrap);
        EXPECT_EQ(edit->minimumSizeHint(), edit->document()->contentSize());
    });
}

TEST_F(TextEditTest, TheCursorStaysInSight)
{
    edit->setText(repeated(L"line\n", 100));
    key(VK_NEXT);
    const UITextDocument& d = *edit->document();
    const Rect line = d.lineRect(edit->document()->cursor()->lineIndex());
    EXPECT_GT(view->verticalScrollBar()->value(), 0);
    EXPECT_GE(line.y, 0);
    EXPECT_LE(line.bottom(), edit->height());
    key(VK_PRIOR);
    EXPECT_EQ(view->verticalScrollBar()->value(), 0);

    // Past the right edge the cursor lands 50 pixels inside it.
    edit->setText(repeated(L"x", 300));
    edit->setCursorPosition(0);
    EXPECT_EQ(edit->contentOffsetX(), 0);
    edit->setCursorPosition(150);
    const UIMargins m = d.margins();
    const int available = edit->width() - m.left - m.right;
    EXPECT_EQ(edit->contentOffsetX() + d.layout().textWidth(d.text(), 0, 150), available - 50);
    EXPECT_EQ(view->horizontalScrollBar()->value(), -edit->contentOffsetX());
}

TEST_F(TextEditTest, HighlightPaintsEveryOccurrenceUntilCleared)
{
    edit->setText(L"alpha beta Alpha");
    const Colour yellow(255, 240, 0);
    struct Row {
        const wchar_t* needle;
        bool caseSensitive;
        int count;
    };
    const Row rows[] = {{L"alpha", true, 1}, {L"alpha", false, 2}, {L"gamma", false, 0}};
    forEachRow(rows, [&](const Row& row) {
        edit->clearHighlights();
        EXPECT_EQ(edit->highlight(row.needle, row.caseSensitive, Pen(Colour(0, 0, 0)), Brush(yellow), 0), row.count);
    });
    edit->clearSelection();
    edit->highlight(L"alpha", false, Pen(Colour(0, 0, 0)), Brush(yellow), 0);
    EXPECT_EQ(pixelAt(cellCorner(11)), yellow);
    EXPECT_NE(pixelAt(cellCorner(7)), yellow);
    edit->clearHighlights();
    EXPECT_NE(pixelAt(cellCorner(11)), yellow);
}

TEST_F(TextEditTest, CaretShowsWhileActiveAndBlinks)
{
    edit->setText(L"abc");
    edit->repaint();
    EXPECT_FALSE(edit->isCaretShown()) << "no caret without the focus";
    activate();
    edit->repaint();
    EXPECT_TRUE(edit->isCaretShown());
    UICustomEvent tick(TextCursorBlinkTimerId);
    edit->event(&tick);
    EXPECT_FALSE(edit->isCaretShown());
    edit->event(&tick);
    EXPECT_TRUE(edit->isCaretShown());
    EXPECT_TRUE(TimerService::isActive(edit, TextCursorBlinkTimerId));
    edit->setReadOnly(true);
    EXPECT_FALSE(edit->isCaretShown());
}

TEST_F(TextEditTest, ContextMenuOffersWhatCanBeDone)
{
    const float normal = size();
    auto* menu = static_cast<UIMenu*>(edit->contextMenu());
    UIMenu* sizes = menu->submenu(UITextEdit::MenuTextSize);
    UIManager::instance()->clipboard().setText(L"clip");
    struct Row {
        bool readOnly;
        int selectionLength;
        std::vector<int> enabled;
    };
    using E = UITextEdit;
    const Row rows[] = {
        {false, 0, {E::MenuPaste, E::MenuSelectAll}},
        {false, 2, {E::MenuCut, E::MenuCopy, E::MenuPaste, E::MenuDelete, E::MenuSelectAll}},
        {true, 2, {E::MenuCopy, E::MenuSelectAll}},
    };
    const int entries[] = {E::MenuUndo,  E::MenuRedo,   E::MenuCut,      E::MenuCopy,
                           E::MenuPaste, E::MenuDelete, E::MenuSelectAll};
    forEachRow(rows, [&](const Row& row) {
        edit->setReadOnly(false);
        edit->setText(L"text");
        edit->setReadOnly(row.readOnly);
        edit->setSelection(0, row.selectionLength);
        menu->aboutToShow.emit(menu);
        std::vector<int> enabled;
        for (const int entry : entries) {
            if (menu->isActionEnabled(entry))
                enabled.push_back(entry);
        }
        EXPECT_EQ(enabled, row.enabled);
    });
    edit->zoomOut();
    menu->aboutToShow.emit(menu);
    EXPECT_TRUE(sizes->isActionEnabled(UITextEdit::TextSizeIncrease));
    EXPECT_TRUE(sizes->isActionEnabled(UITextEdit::TextSizeDecrease));
    sizes->activate(sizes->action(UITextEdit::TextSizeNormal));
    EXPECT_EQ(size(), normal);
}

TEST_F(TextEditTest, DroppedTextLandsWhereThePointerIs)
{
    edit->setText(L"abcd");
    UIDragManager& drag = UIDragManager::instance();
    drag.reset();
    drag.mimeData().setText(L"XY");
    // In the left half of the c.
    const Point c = cellCorner(2);
    drag.setPos(Point(c.x, c.y + 2));
    for (const bool readOnly : {true, false}) {
        SCOPED_TRACE(readOnly ? "read-only" : "editable");
        edit->setReadOnly(readOnly);
        UIDragEvent enter(DragEnterEventType, DropCopy);
        UIDragEvent move(DragMoveEventType, DropCopy);
        EXPECT_EQ(edit->event(&enter), !readOnly);
        EXPECT_EQ(edit->event(&move), !readOnly);
    }
    EXPECT_EQ(edit->cursorPosition(), 2);
    UIDragEvent drop(DropEventType);
    edit->event(&drop);
    EXPECT_EQ(edit->text(), String(L"abXYcd\n"));
    drag.reset();
}
// Real pointer messages: a press and a drag select, a double click takes
// the word, also when it follows another double click at once.
TEST_F(TextEditTest, PointerSelectsByDragAndWordsByDoubleClick)
{
    edit->setText(L"alpha beta gamma");
    const Point start = edit->mapToWindow(cellCorner(6));
    const Point end = edit->mapToWindow(cellCorner(10));
    sendPointerMessage(window, WM_LBUTTONDOWN, MK_LBUTTON, Point(start.x, start.y + 4));
    sendPointerMessage(window, WM_MOUSEMOVE, MK_LBUTTON, Point(end.x, end.y + 4));
    sendPointerMessage(window, WM_LBUTTONUP, 0, Point(end.x, end.y + 4));
    EXPECT_EQ(edit->selectedText(), String(L"beta"));

    const Point word = edit->mapToWindow(cellCorner(12));
    const PatientDoubleClicks patient;
    for (int i = 0; i < 4; ++i) {
        sendPointerMessage(window, WM_LBUTTONDOWN, MK_LBUTTON, Point(word.x, word.y + 4));
        sendPointerMessage(window, WM_LBUTTONUP, 0, Point(word.x, word.y + 4));
    }
    EXPECT_EQ(edit->selectedText(), String(L"gamma"));
}

// Painting returned early for an empty document, before it placed the
// cursor: an empty focused editor had no caret.
TEST_F(TextEditTest, AnEmptyFocusedEditorShowsItsCaret)
{
    focusByClick();
    expectCaretAtLineStart();
}

// Clearing a scrolled text kept the cursor rectangle of the text before
// (the caret stood at the old end) and the first visible line (hit tests
// took line 0 for a line above the view: clicks and drops there were
// ignored).
TEST_F(TextEditTest, DeletingEverythingPutsTheCaretAtTheStartAndLineZeroTakesClicks)
{
    edit->setText(repeated(L"line\n", 100));
    focusByClick();
    realKey(VK_NEXT);
    ASSERT_GT(view->verticalScrollBar()->value(), 0);
    realType(L"hello");
    const Rect before = edit->document()->cursorRect();
    ASSERT_GT(before.x, edit->document()->lineRect(0).x);
    realKey('A', ControlModifier);
    realKey(VK_DELETE);
    ASSERT_TRUE(edit->isEmpty());
    EXPECT_EQ(view->verticalScrollBar()->value(), 0);
    expectCaretAtLineStart();
    const Point old = edit->mapToWindow(Point(before.x, before.y + before.height / 2));
    const Colour background = windowPixels().pixel(old.x + before.width + 2, old.y);
    EXPECT_EQ(windowPixels().pixel(old.x, old.y), background) << "no caret left at the old end";
    const Rect line = edit->document()->lineRect(0);
    const Point onLine(line.x + 20, line.y + line.height / 2);
    realClick(onLine);
    EXPECT_EQ(edit->document()->firstVisibleLine(), 0);
    int index = -1;
    EXPECT_TRUE(edit->document()->hitTest(onLine, &index));
    EXPECT_EQ(index, 0);
    expectCaretAtLineStart();
}

// A key used to repaint the editor twice, all of it; now it paints once,
// only the lines it changed and the caret's (scrolling paints everything),
// and the window then shows what a full repaint draws. Every line is told
// apart by its number, so lines that move up when two are joined show if
// left unpainted.
TEST_F(TextEditTest, OneRepaintPerKeyDrawsWhatAFullRepaintDraws)
{
    String numbered;
    for (int i = 0; i < 30; ++i)
        numbered += String::number(i) + L" alpha beta\n";
    edit->setText(numbered);
    focusByClick();
    edit->setCursorPosition(20);
    struct Row {
        const char* name;
        std::function<void()> input;
        bool whole;
    };
    const Row rows[] = {
        {"typed character", [&] { realType(L"x"); }, false},
        {"Enter", [&] { realKey(VK_RETURN); }, false},
        {"Backspace joining lines", [&] { realKey(VK_BACK); }, false},
        {"Shift+Right", [&] { realKey(VK_RIGHT, ShiftModifier); }, false},
        {"Shift+Down", [&] { realKey(VK_DOWN, ShiftModifier); }, false},
        {"Delete of the selection", [&] { realKey(VK_DELETE); }, false},
        {"Down", [&] { realKey(VK_DOWN); }, false},
        {"End", [&] { realKey(VK_END); }, false},
        {"Delete joining lines", [&] { realKey(VK_DELETE); }, false},
        {"Ctrl+Z", [&] { realKey('Z', ControlModifier); }, false},
        {"Page Down, scrolling", [&] { realKey(VK_NEXT); }, true},
        {"typed at the end", [&] { realType(L"y"); }, false},
        {"click", [&] { realClick(Point(edit->width() / 3, edit->height() / 3)); }, false},
        {"Backspace", [&] { realKey(VK_BACK); }, false},
        {"Down", [&] { realKey(VK_DOWN); }, false},
        {"Down", [&] { realKey(VK_DOWN); }, false},
        {"Home", [&] { realKey(VK_HOME); }, false},
        {"Right", [&] { realKey(VK_RIGHT); }, false},
        {"Shift+Up", [&] { realKey(VK_UP, ShiftModifier); }, false},
        // The selection's last line, one below the change, kept its highlight.
        {"Ctrl+Z bringing a character back above the selection", [&] { realKey('Z', ControlModifier); }, false},
    };
    forEachRow(rows, [&](const Row& row) {
        SCOPED_TRACE(row.name);
        edit->paints = 0;
        row.input();
        EXPECT_EQ(edit->paints, 1);
        EXPECT_EQ(edit->lastPaintArea.height == edit->height(), row.whole);
        const Bitmap partial = windowPixels();
        edit->repaint();
        EXPECT_EQ(differingEditorPixels(partial, windowPixels()), 0);
    });
}
