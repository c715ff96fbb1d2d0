#pragma once

#include "foundation/String.h"

#include <cstdint>

class UIWidget;

// What the key translator reads of the platform besides the message itself:
// the keyboard state, the character message that follows a key-down, and
// the keyboard layout's character of a scan code. Tests inject their own.
class KeyboardSource {
public:
    KeyboardSource() = default;
    virtual ~KeyboardSource() = default;
    KeyboardSource(const KeyboardSource&) = delete;
    KeyboardSource& operator=(const KeyboardSource&) = delete;

    // GetKeyState: the high bit while the key is down, the low bit while a
    // lock key is on.
    virtual short keyState(int virtualKey) const;
    // Removes the waiting character message of this kind for the window (an
    // HWND); false when none waits.
    virtual bool takeCharMessage(void* window, unsigned int message, std::uintptr_t& wParam, std::intptr_t& lParam);
    // The unshifted character of the key at the scan code; 0 when none.
    virtual unsigned int charOfScanCode(unsigned int scanCode) const;
};

// Turns the key-down, key-up and character messages of a window into key
// press (122) and key release (123) events for the target widget. A key-down
// is paired with the character message that follows it, so one press
// carries both the key and the typed text; a table of held keys reports
// auto-repeat (never of an input packet, VK_PACKET, each a character of its
// own) as release and press with the first press's text, and keeps
// releases and modifier changes consistent. The two character messages of
// a surrogate pair give one text: the press of the second half carries
// both, the first half types nothing; a first half is dropped when the next
// message goes to another widget. UI thread only.
class KeyTranslator {
public:
    // Room in the table of held keys. A further key is still delivered but
    // not recorded: its repeats look like new presses, its release like one
    // that was never pressed here.
    static constexpr int maxHeldKeys = 64;

    // The process's translator, reading the real keyboard.
    static KeyTranslator& instance();

    // source: not owned; null reads the real keyboard.
    explicit KeyTranslator(KeyboardSource* source = nullptr);
    KeyTranslator(const KeyTranslator&) = delete;
    KeyTranslator& operator=(const KeyTranslator&) = delete;

    // One keyboard message for the target, which the window procedure has
    // chosen (the focus widget, else the window's owner). True when it is
    // consumed; otherwise it belongs to DefWindowProcW (the system's own Alt
    // combinations).
    bool translate(UIWidget* target, unsigned int message, std::uintptr_t wParam, std::intptr_t lParam);
    // Forgets every held key and a half character awaiting its partner, as
    // when the focus leaves the window.
    void releaseAllKeys()
    {
        m_heldCount = 0;
        m_pendingHighSurrogate = 0;
    }
    int heldKeyCount() const { return m_heldCount; }

    // The text a character message types, and its scan code. keyCode is
    // the key-down's virtual key, or 0 for a character-only message.
    struct CharText {
        String text;
        int scanCode = 0;
    };
    CharText charText(std::uintptr_t wParam, std::intptr_t lParam, std::uint32_t modifiers, int keyCode) const;

private:
    struct HeldKey {
        int key = 0;
        std::uint32_t tableModifiers = 0;
        String text;
    };
    // What every event of one message shares.
    struct KeyMessage {
        int key;
        std::uint32_t modifiers;
        std::uint32_t state;
    };

    std::uint32_t nativeState(std::intptr_t lParam) const;
    bool characterOnly(UIWidget* target, std::uintptr_t wParam, std::intptr_t lParam, const KeyMessage& keys);
    bool keyDown(UIWidget* target, unsigned int message, const KeyMessage& keys);
    bool keyUp(UIWidget* target, const KeyMessage& keys);
    CharText takeText(UIWidget* target, unsigned int keyDownMessage, const KeyMessage& keys);
    void followTarget(const UIWidget* target);
    String wholeCharacter(const String& text);
    int findHeld(int key) const;
    void removeHeld(int index);
    void sendKeyEvent(UIWidget* target, int type, const KeyMessage& keys, int key, const String& text,
                      bool autoRepeat, int scanCode);

    KeyboardSource* m_source;
    int m_heldCount = 0;
    HeldKey m_held[maxHeldKeys];
    // The first half of a surrogate pair while its second is awaited; 0 when
    // none is.
    wchar_t m_pendingHighSurrogate = 0;
    // The widget the last message went to (its counter); 0 for none.
    int m_targetId = 0;
};

// Keeps the input method editor in step with the widget typed into: the
// composition window sits at the widget's text cursor in the widget's font,
// and a composition is completed or cancelled when the focus or the mouse
// moves elsewhere. One process-wide state; UI thread only.
class InputMethodComposition {
public:
    // Starts composing into a widget that takes input-method text, inside
    // the window (an HWND). True when it started.
    static bool begin(UIWidget* widget, void* window);
    static bool isActive();
    static UIWidget* widget();
    // Completes (or cancels) the running composition; nothing when none runs.
    static void end(bool complete);
    // Moves the composition window to the widget's text cursor and gives it
    // the widget's font.
    static void update();
    // The window procedure's input-method messages of the owner's window.
    static void handleMessage(UIWidget* owner, unsigned int message, std::uintptr_t wParam, std::intptr_t lParam);
};
