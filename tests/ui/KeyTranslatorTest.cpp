#include "ui/KeyTranslator.h"

#include "tests/support/RowTable.h"
#include "tests/support/StringPrinting.h"
#include "tests/ui/WindowTesting.h"

#include <gtest/gtest.h>

#include <imm.h>

#include <deque>
#include <map>
#include <set>
#include <vector>

namespace {

// A keyboard whose state, waiting character messages and layout the test
// sets. The generic modifier keys also report their left-hand key down.
class FakeKeyboard : public KeyboardSource {
public:
    short keyState(int key) const override
    {
        static const std::map<int, int> leftHand = {{VK_LSHIFT, VK_SHIFT}, {VK_LCONTROL, VK_CONTROL}, {VK_LMENU, VK_MENU}};
        const auto generic = leftHand.find(key);
        const int asked = generic == leftHand.end() ? key : generic->second;
        return down.count(asked) ? short(0x8000) : short(0);
    }

    bool takeCharMessage(void*, unsigned int message, std::uintptr_t& wParam, std::intptr_t& lParam) override
    {
        if (waiting.empty() || waiting.front().message != message)
            return false;
        wParam = waiting.front().wParam;
        lParam = waiting.front().lParam;
        waiting.pop_front();
        return true;
    }

    unsigned int charOfScanCode(unsigned int scanCode) const override
    {
        const auto found = layout.find(scanCode);
        return found == layout.end() ? 0 : found->second;
    }

    struct Message {
        unsigned int message;
        std::uintptr_t wParam;
        std::intptr_t lParam;
    };
    std::set<int> down;
    std::deque<Message> waiting;
    // A few keys of a US layout; the keypad's digits have no character there.
    std::map<unsigned int, unsigned int> layout = {{0x1E, 'A'}, {0x1C, VK_RETURN}, {0x2D, 'X'}};
};

struct KeyRecord {
    int type;
    int key;
    std::uint32_t modifiers;
    String text;
    bool autoRepeat;

    bool operator==(const KeyRecord&) const = default;
};

void PrintTo(const KeyRecord& r, std::ostream* os)
{
    *os << "{" << r.type << ", key " << r.key << ", mods " << r.modifiers << ", ";
    PrintTo(r.text, os);
    *os << (r.autoRepeat ? ", repeat" : "") << "}";
}

class KeyTarget : public UIWidget {
public:
    KeyTarget() { setStyleName(L"KeyTarget"); }

    std::vector<KeyRecord> keys;

protected:
    void keyPressEvent(UIKeyEvent* e) override { record(e); }
    void keyReleaseEvent(UIKeyEvent* e) override { record(e); }

private:
    void record(UIKeyEvent* e)
    {
        keys.push_back({e->type(), e->key(), e->modifiers().value, e->text(), e->isAutoRepeat()});
    }
};

enum class Step { Down, Up, SysDown, SysUp, Char };

// One keyboard message; ch is the character message a key-down brings
// along (0: none), scan its scan code.
struct KeyStep {
    Step step;
    int key;
    wchar_t ch = 0;
    int scan = 0;
    bool consumed = true;
};

constexpr int press = KeyPressEventType;
constexpr int release = KeyReleaseEventType;

// The fixture makes the application before the target widget, which
// registers with the dispatcher when it is made.
class KeyTranslatorTest : public WidgetTest {
protected:
    void run(KeyTranslator& translator, const KeyStep& s)
    {
        const std::intptr_t lParam = std::intptr_t(s.scan) << 16;
        const bool isDown = s.step == Step::Down || s.step == Step::SysDown;
        if (isDown)
            keyboard.down.insert(s.key);
        if (s.step == Step::Up || s.step == Step::SysUp)
            keyboard.down.erase(s.key);
        if (isDown && s.ch)
            keyboard.waiting.push_back({s.step == Step::SysDown ? unsigned(WM_SYSCHAR) : unsigned(WM_CHAR), s.ch, lParam});
        static const std::map<Step, unsigned int> messages = {{Step::Down, WM_KEYDOWN}, {Step::Up, WM_KEYUP},
            {Step::SysDown, WM_SYSKEYDOWN}, {Step::SysUp, WM_SYSKEYUP}, {Step::Char, WM_CHAR}};
        const std::uintptr_t wParam = s.step == Step::Char ? std::uintptr_t(s.ch) : std::uintptr_t(s.key);
        EXPECT_EQ(translator.translate(typedInto, messages.at(s.step), wParam, lParam), s.consumed) << "key " << s.key;
        keyboard.waiting.clear();
    }

    FakeKeyboard keyboard;
    KeyTarget target;
    UIWidget* typedInto = &target;
};

TEST_F(KeyTranslatorTest, MessagesBecomePressAndReleaseEvents)
{
    struct Row {
        std::vector<KeyStep> steps;
        std::vector<KeyRecord> events;
    };
    const std::vector<Row> rows = {
        // A small a, pressed and released.
        {{{Step::Down, 'A', L'a', 0x1E}, {Step::Up, 'A'}},
         {{press, 'A', 0, L"a", false}, {release, 'A', 0, L"a", false}}},
        // Held: each repeat is a release and a press with the first text.
        {{{Step::Down, 'A', L'a', 0x1E}, {Step::Down, 'A', L'a', 0x1E}, {Step::Down, 'A', L'a', 0x1E}},
         {{press, 'A', 0, L"a", false}, {release, 'A', 0, L"a", true}, {press, 'A', 0, L"a", true},
          {release, 'A', 0, L"a", true}, {press, 'A', 0, L"a", true}}},
        // Shift's repeats are silent; its release no longer carries Shift.
        {{{Step::Down, VK_SHIFT}, {Step::Down, VK_SHIFT}, {Step::Down, 'A', L'A', 0x1E}, {Step::Up, 'A'},
          {Step::Up, VK_SHIFT}},
         {{press, VK_SHIFT, 1, L"", false}, {press, 'A', 1, L"A", false}, {release, 'A', 1, L"A", false},
          {release, VK_SHIFT, 0, L"", false}}},
        // Ctrl+A types no text.
        {{{Step::Down, VK_CONTROL}, {Step::Down, 'A', 1, 0x1E}},
         {{press, VK_CONTROL, 2, L"", false}, {press, 'A', 2, L"", false}}},
        // Enter types no text; a keypad digit types its digit.
        {{{Step::Down, VK_RETURN, 13, 0x1C}, {Step::Down, VK_NUMPAD1, L'1', 0x4F}},
         {{press, VK_RETURN, 0, L"", false}, {press, VK_NUMPAD1, 0, L"1", false}}},
        // Alt+F4 is the system's.
        {{{Step::SysDown, VK_MENU}, {Step::SysDown, VK_F4, 0, 0x3E, false}}, {{press, VK_MENU, 4, L"", false}}},
        // Released here after a press elsewhere: only modifiers report it.
        {{{Step::Up, 'A'}, {Step::Up, VK_CONTROL}}, {{release, VK_CONTROL, 0, L"", false}}},
        // A character without a key-down.
        {{{Step::Char, 0, L'x', 0x2D}}, {{press, 0, 0, L"x", false}, {release, 0, 0, L"x", false}}},
        // The halves of a character beyond the first plane type it once,
        // as character messages or as input packets with a key-down each;
        // a half without its partner types nothing.
        {{{Step::Char, 0, 0xD83D}, {Step::Char, 0, 0xDE00}},
         {{press, 0, 0, L"\xD83D\xDE00", false}, {release, 0, 0, L"\xD83D\xDE00", false}}},
        {{{Step::Down, VK_PACKET, 0xD83D}, {Step::Up, VK_PACKET}, {Step::Down, VK_PACKET, 0xDE00}},
         {{press, VK_PACKET, 0, L"", false}, {release, VK_PACKET, 0, L"", false},
          {press, VK_PACKET, 0, L"\xD83D\xDE00", false}}},
        // Both halves down before either is up: the second is no repeat.
        {{{Step::Down, VK_PACKET, 0xD83D}, {Step::Down, VK_PACKET, 0xDE00}, {Step::Up, VK_PACKET},
          {Step::Up, VK_PACKET}},
         {{press, VK_PACKET, 0, L"", false}, {press, VK_PACKET, 0, L"\xD83D\xDE00", false},
          {release, VK_PACKET, 0, L"", false}, {release, VK_PACKET, 0, L"\xD83D\xDE00", false}}},
        {{{Step::Char, 0, 0xD83D}, {Step::Char, 0, L'x'}, {Step::Char, 0, 0xDE00}},
         {{press, 0, 0, L"x", false}, {release, 0, 0, L"x", false}, {press, 0, 0, L"", false},
          {release, 0, 0, L"", false}}},
        // The input method's own keys give nothing.
        {{{Step::Down, VK_PROCESSKEY}, {Step::Down, 255}}, {}},
        // Ctrl going down while A repeats makes the next A a new press.
        {{{Step::Down, 'A', L'a', 0x1E}, {Step::Down, VK_CONTROL}, {Step::Down, 'A', 1, 0x1E}},
         {{press, 'A', 0, L"a", false}, {press, VK_CONTROL, 2, L"", false}, {press, 'A', 2, L"", false}}},
    };
    forEachRow(rows, [&](const Row& row) {
        KeyTranslator translator(&keyboard);
        keyboard.down.clear();
        target.keys.clear();
        for (const KeyStep& s : row.steps)
            run(translator, s);
        EXPECT_EQ(target.keys, row.events);
    });
}

TEST_F(KeyTranslatorTest, KeysHeldFlagFollowsTheTable)
{
    KeyTranslator translator(&keyboard);
    run(translator, {Step::Down, 'A', L'a', 0x1E});
    EXPECT_TRUE(target.testFlag(WidgetKeyHeld));
    run(translator, {Step::Up, 'A'});
    EXPECT_FALSE(target.testFlag(WidgetKeyHeld));
}

TEST_F(KeyTranslatorTest, DisabledTargetGetsNothingButTheTableChanges)
{
    KeyTranslator translator(&keyboard);
    target.disable();
    run(translator, {Step::Down, 'A', L'a', 0x1E});
    EXPECT_TRUE(target.keys.empty());
    EXPECT_EQ(translator.heldKeyCount(), 1);
    translator.releaseAllKeys();
    EXPECT_EQ(translator.heldKeyCount(), 0);
}

// A first half used to join a second half typed into another widget.
TEST_F(KeyTranslatorTest, HalfCharacterIsDroppedWhenTheFocusMoves)
{
    KeyTranslator translator(&keyboard);
    KeyTarget other;
    run(translator, {Step::Char, 0, 0xD83D});
    typedInto = &other;
    run(translator, {Step::Char, 0, 0xDE00});
    run(translator, {Step::Char, 0, 0xD83D});
    translator.releaseAllKeys();
    run(translator, {Step::Char, 0, 0xDE00});
    const std::vector<KeyRecord> halves = {{press, 0, 0, L"", false}, {release, 0, 0, L"", false},
                                           {press, 0, 0, L"", false}, {release, 0, 0, L"", false}};
    EXPECT_EQ(other.keys, halves);
    EXPECT_TRUE(target.keys.empty());
}

// A 65th held key used to write past the end of the table.
TEST_F(KeyTranslatorTest, KeyBeyondTheTableIsDeliveredButNotRecorded)
{
    KeyTranslator translator(&keyboard);
    for (int key = 1; key <= KeyTranslator::maxHeldKeys; ++key)
        run(translator, {Step::Down, 0x100 + key});
    EXPECT_EQ(translator.heldKeyCount(), KeyTranslator::maxHeldKeys);
    target.keys.clear();
    run(translator, {Step::Down, 'A', L'a', 0x1E});
    run(translator, {Step::Down, 'A', L'a', 0x1E});
    const std::vector<KeyRecord> expected = {{press, 'A', 0, L"a", false}, {press, 'A', 0, L"a", false}};
    EXPECT_EQ(target.keys, expected);
    EXPECT_EQ(translator.heldKeyCount(), KeyTranslator::maxHeldKeys);
}

class InputMethodTest : public WidgetTest {
protected:
    void SetUp() override
    {
        window = std::make_unique<RecordingWidget>(nullptr, Colour(255, 255, 255), quickWindow);
        window->resize(200, 100);
        window->show();
        editor = addChild(window.get(), Colour(0, 0, 255), Rect(10, 10, 80, 20));
        editor->setFlag(WidgetTakesInputMethod, true);
        plain = addChild(window.get(), Colour(0, 255, 0), Rect(10, 40, 80, 20));
    }

    std::unique_ptr<RecordingWidget> window;
    RecordingWidget* editor = nullptr;
    RecordingWidget* plain = nullptr;
};

TEST_F(InputMethodTest, ComposesOnlyIntoWidgetsThatTakeInputMethodText)
{
    EXPECT_FALSE(InputMethodComposition::begin(plain, window->nativeHandle()));
    EXPECT_FALSE(InputMethodComposition::begin(editor, nullptr));
    ASSERT_TRUE(InputMethodComposition::begin(editor, window->nativeHandle()));
    EXPECT_TRUE(editor->testFlag(WidgetComposing));
    InputMethodComposition::update();
    InputMethodComposition::end(false);
    EXPECT_FALSE(InputMethodComposition::isActive());
    EXPECT_FALSE(editor->testFlag(WidgetComposing));
}

// A composing widget destroyed before the composition ended used to be
// written to after its death.
TEST_F(InputMethodTest, CompositionOutlivingItsWidgetEndsCleanly)
{
    ASSERT_TRUE(InputMethodComposition::begin(editor, window->nativeHandle()));
    delete editor;
    InputMethodComposition::update();
    InputMethodComposition::end(true);
    EXPECT_FALSE(InputMethodComposition::isActive());
}

// Widgets without input-method support type without an input method.
TEST_F(InputMethodTest, FocusAttachesTheInputContextOnlyForInputMethodWidgets)
{
    HWND handle = hwndOf(window.get());
    const auto hasContext = [&] {
        HIMC context = ImmGetContext(handle);
        ImmReleaseContext(handle, context);
        return context != nullptr;
    };
    setInputMethodEnabled(plain, true);
    EXPECT_FALSE(hasContext());
    setInputMethodEnabled(editor, true);
    EXPECT_TRUE(hasContext());
    setInputMethodEnabled(editor, false);
    EXPECT_FALSE(hasContext());
    setInputMethodEnabled(editor, true);
    EXPECT_TRUE(hasContext());
}

} // namespace
