#include "foundation/Event.h"

#include <windows.h>

UIMouseEvent::UIMouseEvent(int type, Point position, int button, MouseButtons buttons, KeyboardModifiers modifiers)
    : UIEvent(type), m_buttons(buttons), m_button(button), m_position(position), m_modifiers(modifiers)
{
    // Press, release, click and double click are input; move, leave and
    // enter are not, so hover tracking goes on while input is blocked.
    setInput(type >= MousePressEventType && type <= MouseDoubleClickEventType);
}

UIParamEvent::UIParamEvent(int value) : UIEvent(HotKeyEventType), m_value(value)
{
    setInput(true);
}

UIKeyEvent::UIKeyEvent(int type, int key, KeyboardModifiers modifiers, const String& text, bool autoRepeat,
                       int nativeScanCode, int nativeVirtualKey, int nativeModifiers)
    : UIEvent(type), m_key(key), m_modifiers(modifiers), m_text(text), m_autoRepeat(autoRepeat),
      m_nativeScanCode(nativeScanCode), m_nativeVirtualKey(nativeVirtualKey), m_nativeModifiers(nativeModifiers)
{
    setInput(true);
}

bool isKeyDown(int virtualKey)
{
    return GetKeyState(virtualKey) < 0;
}

KeyboardModifiers currentKeyboardModifiers()
{
    std::uint32_t mask = 0;
    if (isKeyDown(VK_CONTROL))
        mask |= ControlModifier;
    if (isKeyDown(VK_SHIFT))
        mask |= ShiftModifier;
    if (isKeyDown(VK_MENU))
        mask |= AltModifier;
    return mask;
}

MouseButtons currentMouseButtons()
{
    struct ButtonKey {
        int virtualKey;
        MouseButton button;
    };
    static const ButtonKey keys[] = {
        {VK_LBUTTON, LeftButton},    {VK_RBUTTON, RightButton},   {VK_MBUTTON, MiddleButton},
        {VK_XBUTTON1, ExtraButton1}, {VK_XBUTTON2, ExtraButton2},
    };
    std::uint32_t mask = 0;
    for (const ButtonKey& key : keys) {
        if (isKeyDown(key.virtualKey))
            mask |= key.button;
    }
    return mask;
}

bool isMousePresent()
{
    return GetSystemMetrics(SM_MOUSEPRESENT) != 0;
}

std::uint32_t mouseWheelPresentMask()
{
    return GetSystemMetrics(SM_MOUSEWHEELPRESENT) != 0 ? 1 : 0;
}

bool alwaysTrue()
{
    return true;
}

bool isRightToLeftKeyboardLayout()
{
    // The low word of the layout handle is its language; the font signature
    // is sixteen UTF-16 units (four Unicode-subset words, then two code-page
    // words), read as characters of the locale item.
    LANGID language = LOWORD(reinterpret_cast<UINT_PTR>(GetKeyboardLayout(0)));
    LOCALESIGNATURE signature = {};
    int units = GetLocaleInfoW(MAKELCID(language, SORT_DEFAULT), LOCALE_FONTSIGNATURE,
                               reinterpret_cast<wchar_t*>(&signature), sizeof(signature) / sizeof(wchar_t));
    if (units == 0)
        return false;
    const DWORD rightToLeftReading = 1u << 27;
    return (signature.lsUsb[3] & rightToLeftReading) != 0;
}

bool isWorkstationLocked()
{
    HDESK desktop = OpenInputDesktop(0, FALSE, DESKTOP_READOBJECTS);
    if (!desktop)
        return true;
    CloseDesktop(desktop);
    return false;
}

Point cursorPosition()
{
    if (isWorkstationLocked())
        return {};
    POINT point = {};
    if (!GetCursorPos(&point))
        return {};
    return {point.x, point.y};
}

void setCursorPosition(Point position)
{
    SetCursorPos(position.x, position.y);
}

void showCursor(bool show)
{
    // ShowCursor moves a nesting count by one per call; the cursor shows
    // while the count is at least 0.
    if (show) {
        while (ShowCursor(TRUE) < 0) {
        }
        return;
    }
    while (ShowCursor(FALSE) >= 0) {
    }
}

void clipCursor(const Rect& rect)
{
    if (rect.isEmpty()) {
        ClipCursor(nullptr);
        return;
    }
    RECT clip = {rect.left(), rect.top(), rect.right(), rect.bottom()};
    ClipCursor(&clip);
}

Rect cursorClipRect()
{
    RECT clip = {};
    if (!GetClipCursor(&clip))
        return {};
    return {clip.left, clip.top, clip.right - clip.left, clip.bottom - clip.top};
}
