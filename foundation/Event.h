#pragma once

#include "foundation/Geometry.h"
#include "foundation/PlainObject.h"
#include "foundation/String.h"

#include <cstdint>

// Event type codes (100 to 128). The foundation makes the custom, mouse,
// hot-key and key records; the UI toolkit makes the others on the same base.
enum UIEventType : int {
    CustomEventType = 100,
    PaintEventType = 101,
    ResizeEventType = 102,
    ShowEventType = 103,
    HideEventType = 104,
    MoveEventType = 105,
    MousePressEventType = 106,
    MouseReleaseEventType = 107,
    MouseClickEventType = 108,
    MouseDoubleClickEventType = 109,
    MouseMoveEventType = 110,
    MouseLeaveEventType = 111,
    MouseEnterEventType = 112,
    CloseEventType = 113,
    ContextMenuEventType = 114,
    FocusInEventType = 115,
    FocusOutEventType = 116,
    HotKeyEventType = 117,
    DragEnterEventType = 118,
    DragMoveEventType = 119,
    DragLeaveEventType = 120,
    DropEventType = 121,
    KeyPressEventType = 122,
    KeyReleaseEventType = 123,
    UnusedEventType = 124,
    WheelEventType = 125,
    EnabledChangeEventType = 126,
    WindowStateChangeEventType = 127,
    MessageEventType = 128,
};

enum KeyboardModifier : std::uint32_t {
    NoModifier = 0,
    ShiftModifier = 1,
    ControlModifier = 2,
    AltModifier = 4,
};

enum MouseButton : std::uint32_t {
    NoButton = 0,
    LeftButton = 1,
    RightButton = 2,
    MiddleButton = 4,
    ExtraButton1 = 8,
    ExtraButton2 = 16,
};

// Mask of KeyboardModifier bits.
struct KeyboardModifiers {
    std::uint32_t value = 0;

    constexpr KeyboardModifiers(std::uint32_t mask = 0) : value(mask) {}
    constexpr bool testFlag(KeyboardModifier modifier) const { return (value & modifier) != 0; }
    constexpr bool operator==(const KeyboardModifiers&) const = default;
};

// Mask of MouseButton bits.
struct MouseButtons {
    std::uint32_t value = 0;

    constexpr MouseButtons(std::uint32_t mask = 0) : value(mask) {}
    constexpr bool testFlag(MouseButton button) const { return (value & button) != 0; }
    constexpr bool operator==(const MouseButtons&) const = default;
};

// Base of every user-interface event. Receivers change only the accepted
// flag; records are deleted through this base.
class UIEvent : public PlainObject {
public:
    explicit UIEvent(int type) : m_type(type) {}

    int type() const { return m_type; }
    void setAccepted(bool accepted) { m_accepted = accepted; }
    void accept() { m_accepted = true; }
    void ignore() { m_accepted = false; }
    bool isAccepted() const { return m_accepted; }
    // Set only by the native window layer for events made from a platform message.
    void setFromNativeWindow(bool fromNativeWindow) { m_fromNativeWindow = fromNativeWindow; }
    bool isFromNativeWindow() const { return m_fromNativeWindow; }
    // Input events are dropped while input is blocked.
    bool isInput() const { return m_isInput; }

protected:
    void setInput(bool input) { m_isInput = input; }

private:
    int m_type;
    bool m_accepted = false;
    bool m_fromNativeWindow = false;
    bool m_isInput = false;
};

// A timer tick or a custom code; always type 100.
class UICustomEvent : public UIEvent {
public:
    explicit UICustomEvent(int code) : UIEvent(CustomEventType), m_code(code) {}

    int code() const { return m_code; }

private:
    int m_code;
};

// Press, release, click and double click (input events), move, leave and enter.
class UIMouseEvent : public UIEvent {
public:
    UIMouseEvent(int type, Point position, int button, MouseButtons buttons, KeyboardModifiers modifiers);

    // The button that caused the event, one bit of the mask.
    int button() const { return m_button; }
    // The buttons held at the time.
    MouseButtons buttons() const { return m_buttons; }
    Point position() const { return m_position; }
    int x() const { return m_position.x; }
    int y() const { return m_position.y; }
    KeyboardModifiers modifiers() const { return m_modifiers; }

private:
    MouseButtons m_buttons;
    int m_button;
    Point m_position;
    KeyboardModifiers m_modifiers;
};

// A hot key; the value is its id. Always type 117, an input event.
class UIParamEvent : public UIEvent {
public:
    explicit UIParamEvent(int value);

    int value() const { return m_value; }

private:
    int m_value;
};

// Native key-state word of a key event.
enum NativeKeyState : std::uint32_t {
    NativeLeftShift = 1,
    NativeLeftControl = 2,
    NativeLeftAlt = 4,
    NativeLeftWindows = 8,
    NativeRightShift = 16,
    NativeRightControl = 32,
    NativeRightAlt = 64,
    NativeRightWindows = 128,
    NativeCapsLockOn = 256,
    NativeNumLockOn = 512,
    NativeScrollLockOn = 1024,
    NativeExtendedKey = 0x1000000,
};

// Key press (122) or release (123), an input event. key is the virtual key
// code, 0 for an event that only carries text.
class UIKeyEvent : public UIEvent {
public:
    UIKeyEvent(int type, int key, KeyboardModifiers modifiers, const String& text, bool autoRepeat = false,
               int nativeScanCode = 0, int nativeVirtualKey = 0, int nativeModifiers = 0);

    int key() const { return m_key; }
    KeyboardModifiers modifiers() const { return m_modifiers; }
    const String& text() const { return m_text; }
    bool isAutoRepeat() const { return m_autoRepeat; }
    int nativeScanCode() const { return m_nativeScanCode; }
    int nativeVirtualKey() const { return m_nativeVirtualKey; }
    // NativeKeyState bits.
    int nativeModifiers() const { return m_nativeModifiers; }

private:
    int m_key;
    KeyboardModifiers m_modifiers;
    String m_text;
    bool m_autoRepeat;
    int m_nativeScanCode;
    int m_nativeVirtualKey;
    int m_nativeModifiers;
};

// Live keyboard and mouse state, read from the platform at each call.
bool isKeyDown(int virtualKey);
KeyboardModifiers currentKeyboardModifiers();
MouseButtons currentMouseButtons();
bool isMousePresent();
// 1 when a mouse wheel is present, else 0.
std::uint32_t mouseWheelPresentMask();
bool alwaysTrue();
bool isRightToLeftKeyboardLayout();
// (0, 0) while the workstation is locked.
Point cursorPosition();
bool isWorkstationLocked();
void setCursorPosition(Point position);
// Reaches the wanted state in one call whatever the show count was.
void showCursor(bool show);
// A rectangle narrower or lower than 1 releases the confinement.
void clipCursor(const Rect& rect);
Rect cursorClipRect();
