#include "foundation/NativeWindow.h"

#include <windows.h>

namespace {

const wchar_t ownerProperty[] = L"[PROPERTY_OWNER]";

LRESULT CALLBACK nativeWindowProcedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    auto* owner = hwnd ? static_cast<NativeWindow*>(GetPropW(hwnd, ownerProperty)) : nullptr;
    if (!owner)
        return DefWindowProcW(hwnd, message, wParam, lParam);
    NativeMessage record{hwnd, message, wParam, lParam, 0};
    if (owner->handleMessage(record))
        return record.result;
    return DefWindowProcW(hwnd, message, wParam, lParam);
}

// A second window of an already registered class still works, so a failed
// registration is not an error by itself; CreateWindowExW decides.
void registerWindowClass(const String& className, HINSTANCE module)
{
    WNDCLASSEXW windowClass = {};
    windowClass.cbSize = sizeof(windowClass);
    windowClass.lpfnWndProc = nativeWindowProcedure;
    windowClass.hInstance = module;
    windowClass.lpszClassName = className.c_str();
    RegisterClassExW(&windowClass);
}

} // namespace

NativeWindow::NativeWindow(const String& className, void* parent) : m_className(className)
{
    HINSTANCE module = GetModuleHandleW(nullptr);
    registerWindowClass(m_className, module);
    const DWORD style = parent ? WS_CHILD | WS_CLIPSIBLINGS | WS_CLIPCHILDREN : WS_POPUP | WS_CLIPSIBLINGS | WS_CLIPCHILDREN;
    HWND hwnd = CreateWindowExW(0, m_className.c_str(), nullptr, style, -10000, -10000, 0, 0, static_cast<HWND>(parent),
                                nullptr, module, nullptr);
    if (!hwnd)
        return;
    m_hwnd = hwnd;
    SetPropW(hwnd, ownerProperty, this);
}

NativeWindow::~NativeWindow()
{
    // The property goes first: while the window is destroyed, this object is
    // no longer whole and must not receive its messages.
    if (m_hwnd) {
        HWND hwnd = static_cast<HWND>(m_hwnd);
        RemovePropW(hwnd, ownerProperty);
        DestroyWindow(hwnd);
        m_hwnd = nullptr;
    }
    UnregisterClassW(m_className.c_str(), GetModuleHandleW(nullptr));
}

void NativeWindow::show(bool visible)
{
    ShowWindow(static_cast<HWND>(m_hwnd), visible ? SW_SHOWNORMAL : SW_HIDE);
}

void NativeWindow::setGeometry(int x, int y, int width, int height)
{
    SetWindowPos(static_cast<HWND>(m_hwnd), nullptr, x, y, width, height,
                 SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOOWNERZORDER);
}

void NativeWindow::update()
{
    InvalidateRect(static_cast<HWND>(m_hwnd), nullptr, TRUE);
}

void* NativeWindow::messageOnlyParent()
{
    return HWND_MESSAGE;
}
