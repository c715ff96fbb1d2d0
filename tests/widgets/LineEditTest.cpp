#include "ui/widgets/UILineEdit.h"

#include "foundation/Dispatcher.h"
#include "ui/UIPopupRegistry.h"
#include "ui/UIWindow.h"
#include "ui/widgets/UIBox.h"
#include "ui/widgets/UIList.h"
#include "ui/widgets/UIListView.h"
#include "ui/widgets/UIMenu.h"

#include "tests/support/RowTable.h"
#include "tests/support/StringPrinting.h"
#include "tests/widgets/PointerMessages.h"
#include "tests/widgets/SignalRecorder.h"
#include "tests/widgets/StyledWidgetTest.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <functional>
#include <random>
#include <vector>

namespace {

constexpr int keyBackspace = VK_BACK;
constexpr int keyEnter = VK_RETURN;
constexpr int keyEscape = VK_ESCAPE;
constexpr int keyEnd = VK_END;
constexpr int keyHome = VK_HOME;
constexpr int keyLeft = VK_LEFT;
constexpr int keyUp = VK_UP;
constexpr int keyRight = VK_RIGHT;
constexpr int keyDown = VK_DOWN;
constexpr std::uint32_t shift = ShiftModifier;
constexpr std::uint32_t control = ControlModifier;

int sounds()
{
    return UIManager::instance()->messageSoundCount();
}

void pressKey(UILineEdit& edit, int key, std::uint32_t modifiers = 0, const String& text = String())
{
    UIKeyEvent event(KeyPressEventType, key, KeyboardModifiers(modifiers), text);
    dispatcher()->sendEvent(&event, &edit);
}

void type(UILineEdit& edit, const String& text)
{
    for (int i = 0; i < text.length(); ++i)
        pressKey(edit, towupper(text.at(i)), 0, String(text.at(i), 1));
}

void doubleClick(UILineEdit& edit)
{
    UIMouseEvent event(MouseDoubleClickEventType, Point(8, 10), LeftButton, MouseButtons(LeftButton),
                       KeyboardModifiers());
    dispatcher()->sendEvent(&event, &edit);
}

class LineEditTest : public StyledWidgetTest {
protected:
    void SetUp() override
    {
        showAt(host, 60, 60, 320, 200);
        edit = new UILineEdit(&host);
        edit->setGeometry(10, 10, 200, 24);
        edit->show();
        pumpPending();
    }
    void TearDown() override
    {
        delete edit;
        StyledWidgetTest::TearDown();
    }

    RecordingWidget host{nullptr, Colour(255, 255, 255), quickWindow};
    UILineEdit* edit = nullptr;
};

// ---- Completer ----

struct CompletionRow {
    String prefix;
    bool caseSensitive;
    int maximum;
    std::vector<std::wstring> expected;
};

TEST(CompleterTest, MatchesAreLongerCandidatesInListOrder)
{
    UICompleter completer;
    completer.setCandidates(StringList::split(L"alpha,alps,beta,Alpine", L","));
    forEachRow(
        std::vector<CompletionRow>{
            {L"al", true, 7, {L"alpha", L"alps"}},
            {L"alps", true, 7, {}},
            {L"", true, 7, {}},
            {L"AL", true, 7, {}},
            {L"AL", false, 7, {L"alpha", L"alps", L"Alpine"}},
            {L"al", false, 2, {L"alpha", L"alps"}},
            {L"al", true, 0, {L"alpha"}},
            {L"z", true, 7, {}},
        },
        [&](const CompletionRow& row) {
            completer.setCaseSensitive(row.caseSensitive);
            completer.setMaximumMatches(row.maximum);
            EXPECT_EQ(vectorOf(completer.complete(row.prefix)), row.expected);
        });
    completer.setEnabled(false);
    EXPECT_TRUE(completer.complete(L"al").isEmpty());
}

// ---- Maximum length ----

struct LengthRow {
    int maximum;
    String start;
    std::function<void(UILineEdit&)> action;
    String expected;
    int sounds;
};

TEST_F(LineEditTest, MaximumLengthCutsAndSounds)
{
    const String long300(L'x', 300);
    forEachRow(
        std::vector<LengthRow>{
            {255, L"", [&](UILineEdit& e) { e.setText(long300); }, String(L'x', 255), 1},
            {5, L"abcde", [](UILineEdit& e) { e.insert(L"f"); }, L"abcde", 1},
            {5, L"abcde", [](UILineEdit& e) { type(e, L"f"); }, L"abcde", 1},
            {5, L"ab",
             [](UILineEdit&) { UIManager::instance()->clipboard().setText(L"123456"); },
             L"ab", 0},
            {5, L"ab", [](UILineEdit& e) { e.paste(); }, L"ab123", 1},
            {0, L"ab", [](UILineEdit& e) { e.insert(L"cdefgh"); }, L"abcdefgh", 0},
            // A pair at the cut stays whole or goes whole: never one unit
            // over the limit, never half a character.
            {4, L"", [](UILineEdit& e) { e.setText(L"abc\xD83D\xDE00"); }, L"abc", 1},
            {3, L"ab", [](UILineEdit& e) { pressKey(e, 0, 0, L"\xD83D\xDE00"); }, L"ab", 1},
            {4, L"ab", [](UILineEdit& e) { pressKey(e, 0, 0, L"\xD83D\xDE00"); }, L"ab\xD83D\xDE00", 0},
            {4, L"ab",
             [](UILineEdit& e) {
                 UIManager::instance()->clipboard().setText(L"1\xD83D\xDE00");
                 e.paste();
             },
             L"ab1", 1},
            {3, L"abc", [](UILineEdit& e) {
                 e.selectAll();
                 e.insert(L"xyz");
             },
             L"xyz", 0},
        },
        [&](const LengthRow& row) {
            edit->setMaxLength(0);
            edit->setText(row.start);
            edit->setMaxLength(row.maximum);
            const int before = sounds();
            row.action(*edit);
            EXPECT_EQ(edit->text(), row.expected);
            EXPECT_EQ(sounds() - before, row.sounds);
        });
}

// ---- Keys ----

struct KeyRow {
    int start;
    int key;
    std::uint32_t modifiers;
    int position;
    int anchor;
};

TEST_F(LineEditTest, KeysMoveAndSelect)
{
    // "one  two, three": word starts at 0, 5, 8 (the comma) and 10.
    forEachRow(
        std::vector<KeyRow>{
            {15, keyHome, shift, 0, 0},
            {0, keyEnd, shift, 15, 15},
            {3, keyLeft, 0, 2, 2},
            {3, keyRight, shift, 4, 3},
            {0, keyRight, control, 5, 5},
            {5, keyRight, control, 8, 8},
            {8, keyRight, control, 10, 10},
            {10, keyRight, control, 15, 15},
            {15, keyLeft, control, 10, 10},
            {10, keyLeft, control, 8, 8},
            {8, keyLeft, control, 5, 5},
            {5, keyLeft, control, 0, 0},
            {0, keyRight, control | shift, 5, 0},
            {15, keyLeft, control | shift, 10, 15},
            {2, 'A', control, 15, 0},
        },
        [&](const KeyRow& row) {
            edit->setText(L"one  two, three");
            edit->setCursorPosition(row.start);
            pressKey(*edit, row.key, row.modifiers);
            EXPECT_EQ(edit->cursorPosition(), row.position);
            EXPECT_EQ(edit->anchor(), row.anchor);
        });
}

TEST_F(LineEditTest, EditingKeysAndUndo)
{
    edit->setText(L"Hello");
    pressKey(*edit, keyBackspace);
    EXPECT_EQ(edit->text(), String(L"Hell"));
    edit->setSelection(0, 4);
    pressKey(*edit, 'U', control | shift);
    EXPECT_EQ(edit->text(), String(L"HELL"));
    EXPECT_EQ(edit->selectedText(), String(L"HELL"));
    // Typing over a selection deletes it first: two steps back.
    pressKey(*edit, 'Z', control);
    pressKey(*edit, 'Z', control);
    EXPECT_EQ(edit->text(), String(L"Hell"));
    pressKey(*edit, 'Y', control);
    pressKey(*edit, 'Y', control);
    EXPECT_EQ(edit->text(), String(L"HELL"));
}

TEST_F(LineEditTest, ReadOnlyRefusesEveryEditWithASound)
{
    edit->setText(L"fixed");
    edit->setReadOnly(true);
    const int before = sounds();
    type(*edit, L"x");
    pressKey(*edit, keyBackspace);
    pressKey(*edit, 'V', control);
    edit->selectAll();
    pressKey(*edit, 'X', control);
    EXPECT_EQ(edit->text(), String(L"fixed"));
    EXPECT_EQ(sounds() - before, 4);
}

TEST_F(LineEditTest, DoubleClicksSelectWordThenEverything)
{
    edit->setText(L"one two");
    edit->setCursorPosition(1);
    doubleClick(*edit);
    EXPECT_EQ(edit->selectedText(), String(L"one"));
    doubleClick(*edit);
    EXPECT_EQ(edit->selectedText(), String(L"one two"));
}

// ---- Clipboard (Wine's clipboard, through the hidden window) ----

TEST_F(LineEditTest, PasteDropsLineBreaks)
{
    UIManager::instance()->clipboard().setText(L"a\r\nb");
    edit->clear();
    pressKey(*edit, 'V', control);
    EXPECT_EQ(edit->text(), String(L"ab"));
    edit->selectAll();
    pressKey(*edit, 'C', control);
    EXPECT_EQ(UIManager::instance()->clipboard().text(), String(L"ab"));
}

TEST_F(LineEditTest, MaskedTextNeverLeavesTheField)
{
    Clipboard& clipboard = UIManager::instance()->clipboard();
    clipboard.setText(L"before");
    // Six characters, a pair among them showing as one mark.
    const String secret(L"sec\xD83D\xDE00" L"et");
    edit->setText(secret);
    edit->setMasked(true);
    EXPECT_EQ(edit->displayText(), String(edit->maskCharacter(), 6));
    edit->setCursorPosition(2);
    doubleClick(*edit);
    EXPECT_EQ(edit->selectedText(), secret);
    const int before = sounds();
    pressKey(*edit, 'C', control);
    pressKey(*edit, 'X', control);
    pressKey(*edit, VK_INSERT, control);
    edit->copy();
    EXPECT_EQ(sounds() - before, 4);
    EXPECT_EQ(clipboard.text(), String(L"before"));
    EXPECT_EQ(edit->text(), secret);
    edit->menu()->aboutToShow.emit(edit->menu());
    std::vector<int> shown;
    for (int i = 0; i < edit->menu()->count(); ++i) {
        if (edit->menu()->isActionVisible(i))
            shown.push_back(i);
    }
    EXPECT_EQ(shown, (std::vector<int>{UILineEdit::MenuPaste, UILineEdit::MenuDelete}));
}

// ---- AltGr ----

// AltGr arrives as Ctrl + Alt: its characters used to run the Ctrl
// shortcuts after being typed (Z undid them, A selected all, X, C and V
// cut, copied and pasted).
TEST_F(LineEditTest, AltGrTypesItsCharacterAndRunsNoShortcut)
{
    struct Row {
        int key;
        wchar_t typed;
    };
    const Row rows[] = {{'Z', L'\x017C'}, {'A', L'\x0105'}, {'X', L'#'}, {'C', L'&'}, {'V', L'@'}};
    Clipboard& clipboard = UIManager::instance()->clipboard();
    ASSERT_TRUE(focusForKeys(host, *edit));
    forEachRow(rows, [&](const Row& row) {
        clipboard.setText(L"clip");
        edit->setText(L"abc def");
        edit->setSelection(4, 3);
        const int before = sounds();
        sendKeyStroke(host, row.key, KeyboardModifiers(control | AltModifier), row.typed);
        EXPECT_EQ(edit->text(), String(L"abc ") + String(row.typed, 1));
        EXPECT_FALSE(edit->hasSelectedText());
        EXPECT_EQ(edit->cursorPosition(), 5);
        EXPECT_EQ(sounds(), before);
        EXPECT_EQ(clipboard.text(), String(L"clip"));
    });
}

// A character beyond the first plane (two UTF-16 units) was split: typed,
// it took two undo steps; the arrows stepped into it; Backspace and Delete
// left half of it, which every save then wrote as U+FFFD.
TEST_F(LineEditTest, RealKeysTakeACharacterBeyondTheFirstPlaneWhole)
{
    const String typed(L"a\xD83D\xDE00");
    ASSERT_TRUE(focusForKeys(host, *edit));
    typeInput(typed);
    ASSERT_TRUE(pumpUntil([&] { return edit->text() == typed; }, 2000)) << wide(edit->text());
    sendKeyStroke(host, 'Z', KeyboardModifiers(control));
    EXPECT_EQ(edit->text(), String(L"a"));
    sendKeyStroke(host, 'Y', KeyboardModifiers(control));
    sendKeyStroke(host, keyEnd);
    sendKeyStroke(host, keyLeft, KeyboardModifiers(shift));
    EXPECT_EQ(edit->selectedText(), typed.mid(1));
    sendKeyStroke(host, keyHome);
    sendKeyStroke(host, keyRight);
    sendKeyStroke(host, VK_DELETE);
    EXPECT_EQ(edit->text(), String(L"a"));
    sendKeyStroke(host, 'Z', KeyboardModifiers(control));
    sendKeyStroke(host, keyEnd);
    sendKeyStroke(host, keyBackspace);
    EXPECT_EQ(edit->text(), String(L"a"));
}

// ---- Layout ----
// ---- Layout ----

// The line edit claimed the whole spare width of its row (it was
// expanding); it is resizable, so a resizable neighbour shares that width.
TEST_F(LineEditTest, ARowSharesItsSpareWidthWithTheLineEdit)
{
    host.setLayoutEnabled(false);
    auto* row = new UIBox(&host);
    row->setLayoutVertical(false);
    row->setLayoutMargins(0, 0, 0, 0);
    row->setLayoutSpacing(0, 0);
    auto* field = new UILineEdit(row);
    field->setMinimumWidth(100);
    auto* neighbour = new RecordingWidget(row, Colour(0, 0, 255));
    neighbour->setSizePolicy(SizeResizable, SizeFixed);
    neighbour->setMinimumSize(100, 24);
    field->show();
    neighbour->show();
    row->setGeometry(0, 40, 300, 24);
    row->show();
    field->updateLayout();
    EXPECT_EQ(field->width(), 150);
    EXPECT_EQ(neighbour->width(), 150);
    delete row;
}

// ---- Validator ----

class DigitsValidator : public UIValidator {
public:
    State validate(String& text, int&) const override
    {
        String digits;
        for (int i = 0; i < text.length(); ++i) {
            if (text.at(i) >= L'0' && text.at(i) <= L'9')
                digits.append(text.at(i));
        }
        const bool clean = digits == text;
        text = digits;
        return clean ? Acceptable : Invalid;
    }
};

TEST_F(LineEditTest, ValidatorSetsAnInvalidTextBackWhenEditingFinishes)
{
    edit->setText(L"12a");
    int before = sounds();
    edit->setValidator(new DigitsValidator);
    EXPECT_EQ(edit->text(), String(L"12"));
    EXPECT_EQ(sounds() - before, 1);
    type(*edit, L"x3");
    EXPECT_EQ(edit->text(), String(L"12x3"));
    before = sounds();
    pressKey(*edit, keyEnter);
    EXPECT_EQ(edit->text(), String(L"123"));
    EXPECT_EQ(sounds() - before, 1);
    pressKey(*edit, keyEnter);
    EXPECT_EQ(sounds() - before, 1);
}

// ---- Scrolling ----

TEST_F(LineEditTest, CursorPastTheRightEdgeLandsFiftyPixelsInside)
{
    edit->setText(String(L'm', 60));
    pressKey(*edit, keyHome);
    const UITextDocument* document = edit->document();
    const int available = edit->width() - document->margins().left - document->margins().right;
    auto cursorX = [&] {
        return document->layout().textWidth(document->text(), 0, edit->cursorPosition()) + edit->contentOffsetX();
    };
    while (edit->contentOffsetX() == 0 && edit->cursorPosition() < 60)
        pressKey(*edit, keyRight);
    ASSERT_LT(edit->contentOffsetX(), 0);
    EXPECT_EQ(cursorX(), available - 50);
}

// A random walk of moves and edits against the two bounds of the offset.
TEST_F(LineEditTest, OffsetStaysBetweenTextEndAndZero)
{
    std::mt19937 random(20);
    const int keys[] = {keyLeft, keyRight, keyHome, keyEnd, keyBackspace, 'w', 'i'};
    const UITextDocument* document = edit->document();
    const int available = edit->width() - document->margins().left - document->margins().right;
    for (int step = 0; step < 400; ++step) {
        const int key = keys[random() % std::size(keys)];
        if (key >= 'a')
            type(*edit, String(wchar_t(key), 1));
        else
            pressKey(*edit, key);
        const int textWidth = document->layout().textWidth(document->text(), 0, document->length() - 1);
        const int offset = edit->contentOffsetX();
        ASSERT_LE(offset, 0) << "step " << step;
        ASSERT_GE(offset, std::min(available - textWidth, 0)) << "step " << step;
    }
}

// ---- Painting ----

// Dark pixels in the columns [from, to) of the text band.
int inkedPixels(UILineEdit& edit, int from, int to)
{
    edit.repaint();
    const GdiDrawingSurface* buffer = edit.backBuffer();
    const Point origin = edit.origin();
    int count = 0;
    for (int y = 6; y < 18; ++y) {
        for (int x = from; x < to; ++x) {
            const std::uint8_t* pixel =
                buffer->pixels() + (std::size_t(origin.y + y) * buffer->width() + origin.x + x) * 4;
            count += pixel[0] < 200 ? 1 : 0;
        }
    }
    return count;
}

TEST_F(LineEditTest, PlaceholderShowsOnlyWhileEmptyAndInactive)
{
    edit->clear();
    EXPECT_EQ(inkedPixels(*edit, 6, 150), 0);
    edit->setPlaceholderText(L"Search");
    EXPECT_GT(inkedPixels(*edit, 6, 150), 0);
    edit->setReadOnly(true);
    EXPECT_GT(inkedPixels(*edit, 6, 150), 0);
    edit->setText(L"x");
    EXPECT_EQ(inkedPixels(*edit, 30, 150), 0);
}

// A field sized before it was shown used to paint only its first characters.
TEST_F(LineEditTest, FieldSizedBeforeShowingPaintsItsWholeText)
{
    edit->setMasked(true);
    edit->setText(String(L'm', 16));
    EXPECT_GT(inkedPixels(*edit, 100, 180), 0);
}

TEST_F(LineEditTest, FocusShowsTheCaretAndLeavingFinishesEditing)
{
    host.activateWindow();
    edit->setFocus();
    ASSERT_TRUE(edit->hasFocus());
    edit->repaint();
    EXPECT_TRUE(edit->isCaretShown());
    SignalRecorder finished;
    edit->editingFinished.connect(&finished, &SignalRecorder::onSignal);
    edit->clearFocus();
    EXPECT_FALSE(edit->isCaretShown());
    EXPECT_EQ(finished.count, 1);
}

// ---- Completion ----

class CompletionTest : public LineEditTest {
protected:
    void SetUp() override
    {
        LineEditTest::SetUp();
        edit->completer().setCandidates(StringList::split(L"alpha,alps,beta", L","));
    }

    std::vector<String> listed() const
    {
        std::vector<String> labels;
        if (!edit->isCompletionVisible())
            return labels;
        const UIList* list = edit->completionView()->list();
        for (int i = 0; i < list->count(); ++i)
            labels.push_back(list->item(i)->label());
        return labels;
    }
};

TEST_F(CompletionTest, TypingListsMatchesAndHidesWithoutAny)
{
    type(*edit, L"al");
    EXPECT_EQ(listed(), (std::vector<String>{L"alpha", L"alps"}));
    EXPECT_TRUE(UIPopupRegistry::contains(edit->completionPopup()));
    type(*edit, L"ps");
    EXPECT_FALSE(edit->isCompletionVisible());
    EXPECT_FALSE(UIPopupRegistry::contains(edit->completionPopup()));
    pressKey(*edit, keyBackspace);
    EXPECT_EQ(listed(), (std::vector<String>{L"alpha", L"alps"}));
}

TEST_F(CompletionTest, UpAndDownWrapAndEnterAccepts)
{
    type(*edit, L"al");
    std::vector<int> rows;
    for (int key : {keyDown, keyDown, keyDown, keyUp, keyUp}) {
        pressKey(*edit, key);
        rows.push_back(edit->completionRow());
    }
    EXPECT_EQ(rows, (std::vector<int>{0, 1, 0, 1, 0}));
    SignalRecorder finished;
    edit->editingFinished.connect(&finished, &SignalRecorder::onSignal);
    pressKey(*edit, keyDown);
    pressKey(*edit, keyEnter);
    EXPECT_EQ(edit->text(), String(L"alps"));
    EXPECT_FALSE(edit->isCompletionVisible());
    EXPECT_EQ(finished.count, 1);
}

TEST_F(CompletionTest, EscapeDismissesAndKeepsTheText)
{
    type(*edit, L"al");
    pressKey(*edit, keyDown);
    pressKey(*edit, keyEscape);
    EXPECT_FALSE(edit->isCompletionVisible());
    EXPECT_EQ(edit->text(), String(L"al"));
    EXPECT_EQ(edit->completionRow(), -1);
}

TEST_F(CompletionTest, PressElsewhereOrMovingTheWindowClosesIt)
{
    type(*edit, L"al");
    ASSERT_TRUE(edit->isCompletionVisible());
    sendPointerMessage(host, WM_LBUTTONDOWN, MK_LBUTTON, Point(280, 150));
    sendPointerMessage(host, WM_LBUTTONUP, 0, Point(280, 150));
    EXPECT_FALSE(edit->isCompletionVisible());
    EXPECT_EQ(edit->text(), String(L"al"));
    type(*edit, L"p");
    ASSERT_TRUE(edit->isCompletionVisible());
    host.move(host.x() + 10, host.y());
    pumpPending();
    EXPECT_FALSE(edit->isCompletionVisible());
}

// A field made without a parent used to dereference a null window while it
// built its pop-up.
TEST_F(CompletionTest, FieldWithoutAParentFollowsTheWindowItJoins)
{
    RecordingWidget other{nullptr, Colour(255, 255, 255), quickWindow};
    showAt(other, 420, 60, 320, 200);
    auto* loose = new UILineEdit();
    loose->completer().setCandidates(edit->completer().candidates());
    type(*loose, L"al");
    EXPECT_FALSE(loose->isCompletionVisible());
    for (RecordingWidget* window : {&host, &other}) {
        loose->setParent(window);
        loose->setGeometry(10, 40, 200, 24);
        loose->show();
        pressKey(*loose, keyBackspace);
        type(*loose, L"l");
        ASSERT_TRUE(loose->isCompletionVisible());
        window->move(window->x() + 10, window->y());
        pumpPending();
        EXPECT_FALSE(loose->isCompletionVisible());
    }
    delete loose;
}

} // namespace
