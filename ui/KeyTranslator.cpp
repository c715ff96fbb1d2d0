#include "ui/KeyTranslator.h"

#include "foundation/CharHelpers.h"
#include "foundation/Dispatcher.h"
#include "foundation/Event.h"
#include "graphics/Font.h"
#include "graphics/FontSystem.h"
#include "ui/UIManager.h"
#include "ui/UIWidget.h"

#include <windows.h>

#include <imm.h>

#include <initializer_list>
#include <utility>

namespace {

constexpr int processKey = 229;
constexpr int noKey = 255;

bool isOneOf(int key, std::initializer_list<int> keys)
{
    for (int k : keys) {
        if (k == key)
            return true;
    }
    return false;
}

// With Alt these belong to the system (window menu, task switching, closing).
bool isSystemAltKey(int key)
{
    return isOneOf(key, {VK_TAB, VK_RETURN, VK_ESCAPE, VK_SPACE, VK_F4});
}

// Keys whose repeats are not reported.
bool isSilentlyRepeating(int key)
{
    return isOneOf(key, {VK_SHIFT, VK_CONTROL, VK_MENU, VK_CAPITAL, VK_LWIN, VK_RWIN, VK_NUMLOCK, VK_SCROLL});
}

// Keys whose release is reported even when their press went elsewhere, so
// that a widget never believes a modifier is still held.
bool isModifierKey(int key)
{
    return isOneOf(key, {VK_SHIFT, VK_LSHIFT, VK_RSHIFT, VK_CONTROL, VK_LCONTROL, VK_RCONTROL, VK_MENU, VK_LMENU,
                         VK_RMENU, VK_LWIN, VK_RWIN});
}

// A modifier key's own bit, which the table of held keys leaves out when it
// matches the key's repeats.
std::uint32_t ownModifierBit(int key)
{
    if (isOneOf(key, {VK_SHIFT, VK_LSHIFT, VK_RSHIFT}))
        return ShiftModifier;
    if (isOneOf(key, {VK_CONTROL, VK_LCONTROL, VK_RCONTROL}))
        return ControlModifier;
    if (isOneOf(key, {VK_MENU, VK_LMENU, VK_RMENU}))
        return AltModifier;
    return 0;
}

std::uint32_t modifiersOf(std::uint32_t state)
{
    std::uint32_t modifiers = 0;
    if (state & (NativeLeftShift | NativeRightShift))
        modifiers |= ShiftModifier;
    if (state & (NativeLeftControl | NativeRightControl))
        modifiers |= ControlModifier;
    if (state & (NativeLeftAlt | NativeRightAlt))
        modifiers |= AltModifier;
    return modifiers;
}

// The character message that follows each kind of key-down.
unsigned int charMessageAfter(unsigned int keyDownMessage)
{
    switch (keyDownMessage) {
    case WM_SYSKEYDOWN:
        return WM_SYSCHAR;
    case WM_IME_KEYDOWN:
        return WM_IME_CHAR;
    default:
        return WM_CHAR;
    }
}

HWND windowOf(const UIWidget* widget)
{
    const UIWidget* top = widget ? widget->topLevelWidget() : nullptr;
    return top ? static_cast<HWND>(top->nativeHandle()) : nullptr;
}

} // namespace

short KeyboardSource::keyState(int virtualKey) const
{
    return GetKeyState(virtualKey);
}

bool KeyboardSource::takeCharMessage(void* window, unsigned int message, std::uintptr_t& wParam, std::intptr_t& lParam)
{
    MSG msg;
    if (!PeekMessageW(&msg, static_cast<HWND>(window), message, message, PM_REMOVE))
        return false;
    wParam = msg.wParam;
    lParam = msg.lParam;
    return true;
}

unsigned int KeyboardSource::charOfScanCode(unsigned int scanCode) const
{
    return MapVirtualKeyW(MapVirtualKeyW(scanCode, MAPVK_VSC_TO_VK), MAPVK_VK_TO_CHAR);
}

KeyTranslator& KeyTranslator::instance()
{
    static KeyTranslator translator;
    return translator;
}

KeyTranslator::KeyTranslator(KeyboardSource* source)
{
    static KeyboardSource platformKeyboard;
    m_source = source ? source : &platformKeyboard;
}

std::uint32_t KeyTranslator::nativeState(std::intptr_t lParam) const
{
    struct StateBit {
        int key;
        std::uint32_t bit;
        bool toggle;
    };
    static const StateBit bits[] = {
        {VK_LSHIFT, NativeLeftShift, false},      {VK_LCONTROL, NativeLeftControl, false},
        {VK_LMENU, NativeLeftAlt, false},         {VK_LWIN, NativeLeftWindows, false},
        {VK_RSHIFT, NativeRightShift, false},     {VK_RCONTROL, NativeRightControl, false},
        {VK_RMENU, NativeRightAlt, false},        {VK_RWIN, NativeRightWindows, false},
        {VK_CAPITAL, NativeCapsLockOn, true},     {VK_NUMLOCK, NativeNumLockOn, true},
        {VK_SCROLL, NativeScrollLockOn, true},
    };
    std::uint32_t state = 0;
    for (const StateBit& b : bits) {
        const short keyState = m_source->keyState(b.key);
        if (b.toggle ? (keyState & 1) : (keyState & 0x8000))
            state |= b.bit;
    }
    if (lParam & (1 << 24))
        state |= NativeExtendedKey;
    return state;
}

bool KeyTranslator::translate(UIWidget* target, unsigned int message, std::uintptr_t wParam, std::intptr_t lParam)
{
    const std::uint32_t state = nativeState(lParam);
    KeyMessage keys{int(wParam), modifiersOf(state), state};
    followTarget(target);
    if (message == WM_CHAR || message == WM_IME_CHAR)
        return characterOnly(target, wParam, lParam, keys);
    const bool down = message == WM_KEYDOWN || message == WM_SYSKEYDOWN || message == WM_IME_KEYDOWN;
    const bool up = message == WM_KEYUP || message == WM_SYSKEYUP;
    if (!down && !up)
        return false;
    if (keys.key == processKey || keys.key == noKey)
        return true;
    return down ? keyDown(target, message, keys) : keyUp(target, keys);
}

bool KeyTranslator::characterOnly(UIWidget* target, std::uintptr_t wParam, std::intptr_t lParam,
                                  const KeyMessage& keys)
{
    CharText typed = charText(wParam, lParam, keys.modifiers, 0);
    typed.text = wholeCharacter(typed.text);
    // The first half of a pair waits for the second.
    if (m_pendingHighSurrogate)
        return true;
    const KeyMessage textOnly{0, keys.modifiers, keys.state};
    sendKeyEvent(target, KeyPressEventType, textOnly, 0, typed.text, false, typed.scanCode);
    sendKeyEvent(target, KeyReleaseEventType, textOnly, 0, typed.text, false, typed.scanCode);
    return true;
}

bool KeyTranslator::keyDown(UIWidget* target, unsigned int message, const KeyMessage& keys)
{
    const std::uint32_t tableModifiers = keys.modifiers ^ ownModifierBit(keys.key);
    // Each input packet is a character of its own, and input tools may put
    // both halves of a pair down before either comes up: never a repeat.
    int held = keys.key == VK_PACKET ? -1 : findHeld(keys.key);
    // Held under other modifiers (Ctrl went down while A repeats): a new press.
    if (held >= 0 && m_held[held].tableModifiers != tableModifiers) {
        removeHeld(held);
        held = -1;
    }
    if ((keys.modifiers & AltModifier) && isSystemAltKey(keys.key))
        return false;
    const CharText typed = takeText(target, message, keys);
    if (held < 0) {
        if (m_heldCount < maxHeldKeys)
            m_held[m_heldCount++] = HeldKey{keys.key, tableModifiers, typed.text};
        sendKeyEvent(target, KeyPressEventType, keys, keys.key, typed.text, false, typed.scanCode);
        return true;
    }
    if (isSilentlyRepeating(keys.key))
        return true;
    const String text = m_held[held].text;
    sendKeyEvent(target, KeyReleaseEventType, keys, keys.key, text, true, typed.scanCode);
    sendKeyEvent(target, KeyPressEventType, keys, keys.key, text, true, typed.scanCode);
    return true;
}

bool KeyTranslator::keyUp(UIWidget* target, const KeyMessage& keys)
{
    const int held = findHeld(keys.key);
    String text;
    if (held >= 0) {
        text = m_held[held].text;
        removeHeld(held);
    }
    if (held < 0 && !isModifierKey(keys.key))
        return true;
    sendKeyEvent(target, KeyReleaseEventType, keys, keys.key, text, false, 0);
    return true;
}

KeyTranslator::CharText KeyTranslator::takeText(UIWidget* target, unsigned int keyDownMessage,
                                                const KeyMessage& keys)
{
    std::uintptr_t wParam = 0;
    std::intptr_t lParam = 0;
    if (!m_source->takeCharMessage(windowOf(target), charMessageAfter(keyDownMessage), wParam, lParam)) {
        m_pendingHighSurrogate = 0;
        return CharText();
    }
    CharText typed = charText(wParam, lParam, keys.modifiers, keys.key);
    typed.text = wholeCharacter(typed.text);
    return typed;
}

// A half typed into one widget never joins one typed into another. The
// widget's counter, not its address, which a later widget may reuse.
void KeyTranslator::followTarget(const UIWidget* target)
{
    const int id = target ? target->id() : 0;
    if (id != m_targetId)
        m_pendingHighSurrogate = 0;
    m_targetId = id;
}

// A character beyond the first plane comes as two character messages, one
// per half, each with a key-down of its own when sent as input (VK_PACKET):
// the first half is kept until the second arrives, so that the character is
// typed, and undone, as one. A half without its partner types nothing.
String KeyTranslator::wholeCharacter(const String& text)
{
    const wchar_t high = std::exchange(m_pendingHighSurrogate, 0);
    if (text.length() != 1 || !isSurrogate(text.at(0)))
        return text;
    const wchar_t c = text.at(0);
    if (isHighSurrogate(c)) {
        m_pendingHighSurrogate = c;
        return String();
    }
    if (!high)
        return String();
    const wchar_t pair[] = {high, c};
    return String(pair, 2);
}

KeyTranslator::CharText KeyTranslator::charText(std::uintptr_t wParam, std::intptr_t lParam,
                                                std::uint32_t modifiers, int keyCode) const
{
    const wchar_t character = wchar_t(wParam & 0xFFFF);
    CharText result;
    result.scanCode = int((lParam >> 16) & 0xFF);
    int key = keyCode ? keyCode : int(character);
    if (key < '0' || key > '9') {
        if (const unsigned int mapped = m_source->charOfScanCode(unsigned(result.scanCode)))
            key = int(mapped);
    }
    // Control characters typed with Ctrl or Alt are shortcuts, not text.
    if (character < 32 && (modifiers & (ControlModifier | AltModifier)))
        return result;
    if (character == 0 || isOneOf(key, {VK_BACK, VK_TAB, 10, VK_RETURN, VK_ESCAPE}))
        return result;
    result.text = String(character, 1);
    return result;
}

int KeyTranslator::findHeld(int key) const
{
    for (int i = 0; i < m_heldCount; ++i) {
        if (m_held[i].key == key)
            return i;
    }
    return -1;
}

void KeyTranslator::removeHeld(int index)
{
    for (int i = index + 1; i < m_heldCount; ++i)
        m_held[i - 1] = m_held[i];
    --m_heldCount;
}

void KeyTranslator::sendKeyEvent(UIWidget* target, int type, const KeyMessage& keys, int key, const String& text,
                                 bool autoRepeat, int scanCode)
{
    if (!target)
        return;
    target->setFlag(WidgetKeyHeld, m_heldCount > 0);
    if (!target->isEnabled() || !dispatcher())
        return;
    UIKeyEvent event(type, key, keys.modifiers, text, autoRepeat, scanCode, keys.key, int(keys.state));
    event.setFromNativeWindow(true);
    dispatcher()->sendEvent(&event, target);
}

namespace {

// The widget being composed into and its window.
struct Composition {
    UIWidget* widget = nullptr;
    HWND window = nullptr;
    // The context taken from windows while widgets without input-method
    // support have the focus.
    HIMC savedContext = nullptr;
};

Composition& composition()
{
    static Composition state;
    return state;
}

// The widget may have gone since the composition started.
bool isLive(const UIWidget* widget)
{
    return widget && UIManager::instance()->isRegistered(widget);
}

void setCompositionFont(HIMC context, const UIWidget* widget)
{
    const FontDesc desc = widget->inputMethodFont().desc();
    const std::uint32_t style = desc.style();
    HFONT font = CreateFontW(desc.pixelSize(), 0, 0, 0, (style & 1) ? FW_BOLD : 0, (style & 2) != 0,
                             (style & 4) != 0, (style & 8) != 0, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                             CLIP_DEFAULT_PRECIS, isSmoothTextEnabled() ? CLEARTYPE_NATURAL_QUALITY : 0,
                             DEFAULT_PITCH, desc.face().c_str());
    if (!font)
        return;
    LOGFONTW logFont = {};
    if (GetObjectW(font, sizeof(logFont), &logFont) == sizeof(logFont))
        ImmSetCompositionFontW(context, &logFont);
    DeleteObject(font);
}

// The widget's text cursor in the window's client coordinates, which are
// those of the window widget that owns the window.
void setCompositionPosition(HIMC context, HWND window, const UIWidget* widget)
{
    const Point global = widget->mapToGlobal(widget->inputMethodRect().topLeft());
    POINT point = {global.x, global.y};
    ScreenToClient(window, &point);
    COMPOSITIONFORM form = {};
    form.dwStyle = CFS_FORCE_POSITION;
    form.ptCurrentPos = point;
    ImmSetCompositionWindow(context, &form);
}

} // namespace

bool InputMethodComposition::begin(UIWidget* widget, void* window)
{
    if (!widget || !widget->testFlag(WidgetTakesInputMethod) || !IsWindow(static_cast<HWND>(window)))
        return false;
    composition().widget = widget;
    composition().window = static_cast<HWND>(window);
    widget->setFlag(WidgetComposing, true);
    return true;
}

bool InputMethodComposition::isActive()
{
    return composition().widget != nullptr;
}

UIWidget* InputMethodComposition::widget()
{
    return composition().widget;
}

void InputMethodComposition::end(bool complete)
{
    Composition& state = composition();
    if (!state.widget)
        return;
    UIWidget* widget = state.widget;
    HWND window = state.window;
    state.widget = nullptr;
    state.window = nullptr;
    if (HIMC context = ImmGetContext(window)) {
        ImmNotifyIME(context, NI_COMPOSITIONSTR, complete ? CPS_COMPLETE : CPS_CANCEL, 0);
        ImmReleaseContext(window, context);
    }
    if (isLive(widget))
        widget->setFlag(WidgetComposing, false);
}

void InputMethodComposition::update()
{
    const Composition& state = composition();
    if (!isLive(state.widget))
        return;
    HIMC context = ImmGetContext(state.window);
    if (!context)
        return;
    setCompositionFont(context, state.widget);
    setCompositionPosition(context, state.window, state.widget);
    ImmReleaseContext(state.window, context);
}

void InputMethodComposition::handleMessage(UIWidget* owner, unsigned int message, std::uintptr_t, std::intptr_t)
{
    if (message == WM_IME_STARTCOMPOSITION) {
        if (begin(UIWidget::focusWidget(), owner ? owner->nativeHandle() : nullptr))
            update();
        return;
    }
    if (message == WM_IME_ENDCOMPOSITION && isActive())
        end(true);
}

void setInputMethodEnabled(UIWidget* widget, bool enable)
{
    HWND window = windowOf(widget);
    if (!window)
        return;
    Composition& state = composition();
    if (enable && widget->testFlag(WidgetTakesInputMethod) && widget->isEnabled()) {
        if (state.savedContext)
            ImmAssociateContext(window, state.savedContext);
        return;
    }
    HIMC previous = ImmAssociateContext(window, nullptr);
    if (!state.savedContext)
        state.savedContext = previous;
}
