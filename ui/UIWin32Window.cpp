#include "ui/UIWin32Window.h"

#include "foundation/Application.h"
#include "foundation/Crc32.h"
#include "foundation/DateTime.h"
#include "foundation/Dispatcher.h"
#include "foundation/Event.h"
#include "graphics/DrawingSurface.h"
#include "ui/KeyTranslator.h"
#include "ui/OleDragDrop.h"
#include "ui/PlatformServices.h"
#include "ui/UIEvents.h"
#include "ui/UIManager.h"
#include "ui/UIPopupRegistry.h"
#include "ui/UIToolkitHooks.h"
#include "ui/UIWidget.h"

#include <windows.h>

#include <algorithm>
#include <cmath>

namespace {

constexpr UINT toolkitMessage = 0xD000;
constexpr int maximumTitleLength = 2047;

const UINT taskbarButtonCreatedMessage = RegisterWindowMessageW(L"TaskbarButtonCreated");
std::uint32_t windowCounter = 0;

HWND hwnd(void* window)
{
    return static_cast<HWND>(window);
}

Point clientPoint(LPARAM lParam)
{
    return {static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
}

MouseButtons heldButtons(WPARAM wParam)
{
    std::uint32_t mask = 0;
    const WORD keys = LOWORD(wParam);
    if (keys & MK_LBUTTON)
        mask |= LeftButton;
    if (keys & MK_RBUTTON)
        mask |= RightButton;
    if (keys & MK_MBUTTON)
        mask |= MiddleButton;
    if (keys & MK_XBUTTON1)
        mask |= ExtraButton1;
    if (keys & MK_XBUTTON2)
        mask |= ExtraButton2;
    return mask;
}

std::uint32_t messageButton(UINT message, WPARAM wParam)
{
    switch (message) {
    case WM_LBUTTONDOWN:
    case WM_LBUTTONUP:
        return LeftButton;
    case WM_RBUTTONDOWN:
    case WM_RBUTTONUP:
        return RightButton;
    case WM_MBUTTONDOWN:
    case WM_MBUTTONUP:
        return MiddleButton;
    default:
        return HIWORD(wParam) == 1 ? ExtraButton1 : ExtraButton2;
    }
}

bool isButtonDown(UINT message)
{
    return message == WM_LBUTTONDOWN || message == WM_RBUTTONDOWN || message == WM_MBUTTONDOWN ||
           message == WM_XBUTTONDOWN;
}

bool isButtonUp(UINT message)
{
    return message == WM_LBUTTONUP || message == WM_RBUTTONUP || message == WM_MBUTTONUP || message == WM_XBUTTONUP;
}

bool endsComposition(UINT message)
{
    return isButtonDown(message) || message == WM_NCLBUTTONDOWN || message == WM_NCRBUTTONDOWN ||
           message == WM_NCMBUTTONDOWN;
}

bool isKeyMessage(UINT message)
{
    switch (message) {
    case WM_KEYDOWN:
    case WM_KEYUP:
    case WM_CHAR:
    case WM_SYSKEYDOWN:
    case WM_SYSKEYUP:
    case WM_IME_CHAR:
    case WM_IME_KEYDOWN:
        return true;
    default:
        return false;
    }
}

void postFromWindow(UIEvent* event, UIWidget* receiver)
{
    event->setFromNativeWindow(true);
    dispatcher()->postEvent(event, receiver);
}

bool sendFromWindow(UIEvent* event, UIWidget* receiver)
{
    event->setFromNativeWindow(true);
    return dispatcher()->sendEvent(event, receiver);
}

// The widget or one of its ancestors up to its window has the flag.
bool hasFlagUpToWindow(const UIWidget* widget, std::uint32_t flag)
{
    for (; widget; widget = widget->parent()) {
        if (widget->testFlag(flag))
            return true;
        if (widget->isWindow())
            return false;
    }
    return false;
}

const unsigned int positionOnly = SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOOWNERZORDER;

} // namespace

DoubleClickDetector::DoubleClickDetector()
    : DoubleClickDetector(GetDoubleClickTime(), GetSystemMetrics(SM_CXDOUBLECLK), GetSystemMetrics(SM_CYDOUBLECLK))
{
}

DoubleClickDetector::DoubleClickDetector(std::uint64_t timeLimit, int boxWidth, int boxHeight)
    : m_timeLimit(timeLimit), m_boxWidth(boxWidth), m_boxHeight(boxHeight)
{
}

void DoubleClickDetector::record(const UIWidget* target, std::uint64_t time, Point point, std::uint32_t button)
{
    m_previous = m_current;
    m_current = {target, time, point, button};
}

bool DoubleClickDetector::isDoubleClick() const
{
    if (m_previous.button == 0 || m_previous.button != m_current.button || m_previous.target != m_current.target)
        return false;
    return m_current.time - m_previous.time < m_timeLimit &&
           std::abs(m_current.point.x - m_previous.point.x) < m_boxWidth &&
           std::abs(m_current.point.y - m_previous.point.y) < m_boxHeight;
}

void DoubleClickDetector::reset()
{
    m_previous = {};
    m_current = {};
}

DoubleClickDetector& UIWin32Window::doubleClickDetector()
{
    static DoubleClickDetector detector;
    return detector;
}

const String& UIWin32Window::classNamePrefix()
{
    static const String prefix = [] {
        const String path = Application::instance() ? Application::instance()->executablePath() : String();
        const Crc32 crc(path.constData(), static_cast<std::uint32_t>(path.length() * sizeof(wchar_t)));
        return String(L"UI___") + String::number(static_cast<unsigned int>(crc.value()));
    }();
    return prefix;
}

UINativeWindow* createNativeWindow(UIWidget* owner)
{
    return new UIWin32Window(owner);
}

void destroyNativeWindow(UINativeWindow* window)
{
    delete window;
}

bool isNativeWindowHandle(void* handle)
{
    return handle != nullptr && IsWindow(static_cast<HWND>(handle));
}

UIWin32Window::UIWin32Window(UIWidget* owner)
    : UINativeWindow(owner), m_className(classNamePrefix() + String::number(static_cast<unsigned int>(++windowCounter)))
{
}

UIWin32Window::~UIWin32Window()
{
    destroy();
}

void UIWin32Window::create()
{
    if (m_window)
        return;
    const HINSTANCE module = GetModuleHandleW(nullptr);
    const UIWidget* ownerWidget = m_owner->nativeParentWidget();
    const HWND ownerWindow = ownerWidget ? hwnd(ownerWidget->nativeHandle()) : nullptr;

    WNDCLASSEXW windowClass = {};
    windowClass.cbSize = sizeof(windowClass);
    windowClass.style = CS_OWNDC | ((m_windowFlags & WindowDropShadow) ? CS_DROPSHADOW : 0);
    windowClass.lpfnWndProc = &UIWin32Window::windowProc;
    windowClass.cbWndExtra = 32;
    windowClass.hInstance = module;
    windowClass.hIcon = LoadIconW(module, MAKEINTRESOURCEW(32512));
    windowClass.hIconSm = windowClass.hIcon;
    windowClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(NULL_BRUSH));
    windowClass.lpszClassName = m_className.c_str();
    RegisterClassExW(&windowClass);

    const bool frameless = m_windowFlags & WindowFrameless;
    DWORD style = WS_CLIPSIBLINGS | WS_CLIPCHILDREN | (frameless ? WS_POPUP : 0);
    DWORD exStyle = 0;
    if (m_owner->isWindow()) {
        style |= frameless ? 0 : WS_CAPTION;
        style |= (m_windowFlags & WindowResizable) ? WS_THICKFRAME : 0;
        style |= ownerWindow ? WS_POPUP : 0;
        style |= (m_windowFlags & WindowMinimizeButton) ? WS_MINIMIZEBOX : 0;
        style |= (m_windowFlags & WindowMaximizeButton) ? WS_MAXIMIZEBOX : 0;
        style |= (m_windowFlags & WindowSystemMenu) ? WS_SYSMENU : 0;
        exStyle = (m_windowFlags & WindowStaysOnTop) ? WS_EX_TOPMOST : 0;
    } else if (ownerWindow) {
        style |= WS_CHILD;
    }
    const HWND window = CreateWindowExW(exStyle, m_className.c_str(), nullptr, style, 0, 0, 0, 0, ownerWindow,
                                        nullptr, module, nullptr);
    if (!window)
        return;
    m_window = reinterpret_cast<WindowHandle>(window);
    if (!frameless)
        setIcons();
    SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    applyFlagsAfterCreation();
    setDropTarget(true);
}

// The styles given at creation cover every flag but these two, which
// would otherwise only take effect when they changed later.
void UIWin32Window::applyFlagsAfterCreation()
{
    if (m_windowFlags & WindowDesktopOwned)
        applyFlag(WindowDesktopOwned, true);
    if (m_windowFlags & WindowDisabled)
        setEnabled(false);
}

void UIWin32Window::setIcons()
{
    m_smallIcon = UIManager::instance()->smallIcon().toIcon();
    m_bigIcon = UIManager::instance()->bigIcon().toIcon();
    SendMessageW(hwnd(m_window), WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(m_smallIcon));
    SendMessageW(hwnd(m_window), WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(m_bigIcon));
}

void UIWin32Window::destroy()
{
    m_focusWidget = nullptr;
    if (!m_window || hwnd(m_window) == GetDesktopWindow())
        return;
    setDropTarget(false);
    SetWindowLongPtrW(hwnd(m_window), GWLP_USERDATA, 0);
    // The window uses its icons until it is gone.
    DestroyWindow(hwnd(m_window));
    m_window = nullptr;
    forgetPointer();
    if (m_smallIcon)
        DestroyIcon(m_smallIcon);
    if (m_bigIcon)
        DestroyIcon(m_bigIcon);
    m_smallIcon = m_bigIcon = nullptr;
    UnregisterClassW(m_className.c_str(), GetModuleHandleW(nullptr));
}

void UIWin32Window::setDropTarget(bool on)
{
    const String& style = m_owner->styleName();
    if (style == L"UIToolTip" || style == L"UIBalloonTip" || style == L"UIMenu")
        return;
    if (m_window)
        registerDropTarget(m_owner, m_window, m_dropTarget, on);
}

// ---- Operations of the native window ----

void UIWin32Window::setWindowState(std::uint8_t state)
{
    if (!m_window || !m_owner->isVisible())
        return;
    const HWND window = hwnd(m_window);
    if (state & WindowMinimized) {
        if (!IsIconic(window))
            ShowWindow(window, SW_SHOWMINIMIZED);
    } else if (state & WindowMaximized) {
        if (!IsZoomed(window))
            ShowWindow(window, SW_SHOWMAXIMIZED);
    } else if (!(state & WindowKeepHidden) && !(IsWindowVisible(window) && !IsIconic(window) && !IsZoomed(window))) {
        ShowWindow(window, (m_windowFlags & WindowNoActivate) ? SW_SHOWNOACTIVATE : SW_SHOWNORMAL);
    }
    if (state & WindowActive)
        bringWindowToForeground(m_window);
}

std::uint8_t UIWin32Window::windowState() const
{
    if (!m_window)
        return 0;
    const HWND window = hwnd(m_window);
    const bool active = GetForegroundWindow() == window && GetActiveWindow() == window;
    const std::uint8_t state = active ? std::uint8_t(WindowActive) : 0;
    if (IsIconic(window))
        return state | WindowMinimized;
    return state | (IsZoomed(window) ? std::uint8_t(WindowMaximized) : 0);
}

void UIWin32Window::setWindowFlags(std::uint32_t mask)
{
    if (m_window) {
        for (std::uint32_t bit = WindowDropShadow; bit <= WindowDisabled; bit <<= 1)
            setWindowFlag(bit, mask & bit);
    }
    // A blocked window keeps its disabled flag, as setWindowFlag does.
    const std::uint32_t kept = (m_window && m_blockCount > 0) ? std::uint32_t(WindowDisabled) : 0;
    m_windowFlags = (mask & ~kept) | (m_windowFlags & kept);
}

void UIWin32Window::setWindowFlag(std::uint32_t flag, bool on)
{
    const bool current = m_windowFlags & flag;
    if (!m_window) {
        m_windowFlags = on ? (m_windowFlags | flag) : (m_windowFlags & ~flag);
        return;
    }
    if (current == on)
        return;
    if (flag == WindowDisabled && m_blockCount > 0)
        return;
    m_windowFlags = on ? (m_windowFlags | flag) : (m_windowFlags & ~flag);
    applyFlag(flag, on);
}

void UIWin32Window::applyFlag(std::uint32_t flag, bool on)
{
    const HWND window = hwnd(m_window);
    switch (flag) {
    case WindowDropShadow: {
        const ULONG_PTR style = GetClassLongPtrW(window, GCL_STYLE);
        SetClassLongPtrW(window, GCL_STYLE, on ? (style | CS_DROPSHADOW) : (style & ~ULONG_PTR(CS_DROPSHADOW)));
        return;
    }
    case WindowDesktopOwned:
        SetWindowLongPtrW(window, GWLP_HWNDPARENT, on ? reinterpret_cast<LONG_PTR>(GetDesktopWindow()) : 0);
        return;
    case WindowStaysOnTop:
        SetWindowPos(window, on ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0, 0, 0,
                     SWP_NOMOVE | SWP_NOSIZE | (IsWindowVisible(window) ? 0 : SWP_NOACTIVATE));
        return;
    case WindowResizable:
        setStyleBits(GWL_STYLE, WS_THICKFRAME, on);
        break;
    case WindowMinimizeButton:
        setStyleBits(GWL_STYLE, WS_MINIMIZEBOX, on);
        break;
    case WindowMaximizeButton:
        setStyleBits(GWL_STYLE, WS_MAXIMIZEBOX, on);
        break;
    case WindowSystemMenu:
        setStyleBits(GWL_STYLE, WS_SYSMENU, on);
        break;
    case WindowFrameless:
        setStyleBits(GWL_STYLE, on ? WS_DLGFRAME : WS_POPUP | WS_CAPTION | WS_SYSMENU, false);
        setStyleBits(GWL_STYLE, on ? WS_POPUP : WS_CAPTION | WS_SYSMENU, true);
        break;
    case WindowDisabled:
        setEnabled(!on);
        if (!on && GetActiveWindow() == window)
            setFocus(true);
        return;
    default:
        return;
    }
    // A changed frame only shows after the platform recomputes it.
    applyFrameChange(SWP_NOSENDCHANGING);
}

void UIWin32Window::setStyleBits(int index, std::uintptr_t bits, bool on)
{
    const LONG_PTR style = GetWindowLongPtrW(hwnd(m_window), index);
    SetWindowLongPtrW(hwnd(m_window), index, on ? (style | bits) : (style & ~LONG_PTR(bits)));
}

void UIWin32Window::applyFrameChange(unsigned int extraFlags)
{
    SetWindowPos(hwnd(m_window), nullptr, 0, 0, 0, 0,
                 SWP_FRAMECHANGED | SWP_NOSIZE | SWP_NOMOVE | positionOnly | extraFlags);
}

void UIWin32Window::setBlocked(bool block)
{
    if (m_windowFlags & WindowDisabled)
        return;
    if (block) {
        if (++m_blockCount == 1) {
            m_rememberedEnabled = isEnabled();
            if (m_rememberedEnabled)
                setEnabled(false);
        }
        return;
    }
    if (--m_blockCount < 1) {
        m_blockCount = 0;
        setEnabled(m_rememberedEnabled);
    }
}

void UIWin32Window::setOpacity(float opacity)
{
    const float value = !(opacity >= 0.0f) ? 0.0f : opacity > 1.0f ? 1.0f : opacity;
    if (value == m_opacity)
        return;
    m_opacity = value;
    if (!m_window)
        return;
    const HWND window = hwnd(m_window);
    if (value == 1.0f) {
        setStyleBits(GWL_EXSTYLE, WS_EX_LAYERED, false);
    } else {
        setStyleBits(GWL_EXSTYLE, WS_EX_LAYERED, true);
        const auto alpha = static_cast<BYTE>(static_cast<int>(value * 100.0f) * 255 / 100);
        SetLayeredWindowAttributes(window, 0, alpha, LWA_ALPHA);
    }
    applyFrameChange(0);
}

void UIWin32Window::flash(int count)
{
    for (int i = 0; i < count && m_window; ++i) {
        FlashWindow(hwnd(m_window), TRUE);
        FlashWindow(hwnd(m_window), FALSE);
    }
}

void UIWin32Window::show(bool visible, bool maximized, bool minimized)
{
    if (!m_window)
        return;
    const HWND window = hwnd(m_window);
    if (!visible) {
        ShowWindow(window, SW_HIDE);
        return;
    }
    int command = maximized ? SW_SHOWMAXIMIZED : minimized ? SW_SHOWMINIMIZED : SW_SHOWNORMAL;
    if (m_windowFlags & WindowNoActivate)
        command = SW_SHOWNOACTIVATE;
    ShowWindow(window, command);
    if (command == SW_SHOWNORMAL) {
        SetForegroundWindow(window);
        SetFocus(window);
    }
}

bool UIWin32Window::isVisible() const
{
    return m_window && IsWindowVisible(hwnd(m_window));
}

void UIWin32Window::setEnabled(bool enabled)
{
    if (m_window && enabled != isEnabled())
        EnableWindow(hwnd(m_window), enabled);
}

bool UIWin32Window::isEnabled() const
{
    return m_window && IsWindowEnabled(hwnd(m_window));
}

void UIWin32Window::move(int x, int y)
{
    if (m_window)
        SetWindowPos(hwnd(m_window), nullptr, x, y, 0, 0, SWP_NOSIZE | positionOnly);
}

void UIWin32Window::resize(int width, int height)
{
    if (m_window)
        SetWindowPos(hwnd(m_window), nullptr, 0, 0, width, height, SWP_NOMOVE | positionOnly);
}

Rect UIWin32Window::frameGeometry() const
{
    RECT r = {};
    if (!m_window || !GetWindowRect(hwnd(m_window), &r))
        return Rect();
    return Rect(r.left, r.top, r.right - r.left, r.bottom - r.top);
}

void UIWin32Window::frameMargins(int* left, int* top, int* right, int* bottom) const
{
    RECT r = {};
    if (m_window) {
        const auto style = static_cast<DWORD>(GetWindowLongPtrW(hwnd(m_window), GWL_STYLE));
        const auto exStyle = static_cast<DWORD>(GetWindowLongPtrW(hwnd(m_window), GWL_EXSTYLE));
        AdjustWindowRectEx(&r, style, FALSE, exStyle);
    }
    if (left)
        *left = -r.left;
    if (top)
        *top = -r.top;
    if (right)
        *right = r.right;
    if (bottom)
        *bottom = r.bottom;
}

void UIWin32Window::setTitle(const String& title)
{
    if (m_window)
        SetWindowTextW(hwnd(m_window), (title + m_titleSuffix).c_str());
}

String UIWin32Window::title() const
{
    if (!m_window)
        return String();
    const int length = GetWindowTextLengthW(hwnd(m_window));
    if (length < 1 || length > maximumTitleLength)
        return String();
    wchar_t text[maximumTitleLength + 1];
    if (GetWindowTextW(hwnd(m_window), text, maximumTitleLength + 1) != length)
        return String();
    return String(text, length);
}

void UIWin32Window::setFocus(bool focus)
{
    if (!focus)
        SetFocus(nullptr);
    else if (m_window && !hasFocus())
        SetFocus(hwnd(m_window));
}

bool UIWin32Window::hasFocus() const
{
    return m_window && GetFocus() == hwnd(m_window);
}

void UIWin32Window::setLayeredImage(const Bitmap& image)
{
    if (!m_window)
        return;
    if (image.isNull()) {
        m_backBuffer = Bitmap();
        if (m_opacity == 1.0f)
            setStyleBits(GWL_EXSTYLE, WS_EX_LAYERED, false);
        return;
    }
    setStyleBits(GWL_EXSTYLE, WS_EX_LAYERED, true);
    const Rect frame = frameGeometry();
    m_backBuffer = image.size() == frame.size() ? image.copy() : image.scaled(frame.width, frame.height, 2);
    // Our own pixels: the caller's image stays straight.
    m_backBuffer.setPremultiplied(true);

    GdiDrawingSurface surface(m_backBuffer);
    POINT position = {frame.x, frame.y};
    SIZE size = {frame.width, frame.height};
    POINT source = {0, 0};
    BLENDFUNCTION blend = {AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
    const HDC screen = GetDC(nullptr);
    UpdateLayeredWindow(hwnd(m_window), screen, &position, &size, surface.dc(), &source, 0, &blend, ULW_ALPHA);
    ReleaseDC(nullptr, screen);
}

void UIWin32Window::update()
{
    if (m_window)
        InvalidateRect(hwnd(m_window), nullptr, FALSE);
}

// ---- Window procedure ----

std::intptr_t __stdcall UIWin32Window::windowProc(WindowHandle window, unsigned int message, std::uintptr_t wParam,
                                                  std::intptr_t lParam)
{
    auto* self = reinterpret_cast<UIWin32Window*>(GetWindowLongPtrW(hwnd(window), GWLP_USERDATA));
    if (!self)
        return DefWindowProcW(hwnd(window), message, wParam, lParam);
    return self->handleMessage(message, wParam, lParam);
}

std::intptr_t UIWin32Window::handleMessage(unsigned int message, std::uintptr_t wParam, std::intptr_t lParam)
{
    const HWND window = hwnd(m_window);
    if (endsComposition(message))
        InputMethodComposition::end(true);
    if (message == taskbarButtonCreatedMessage) {
        m_owner->setFlag(WidgetTaskbarButton, true);
        return 0;
    }
    if (isKeyMessage(message))
        return keyMessage(message, wParam, lParam) ? 0 : DefWindowProcW(window, message, wParam, lParam);
    if (handleMouseMessage(message, wParam, lParam))
        return 0;
    switch (message) {
    case WM_SETFOCUS:
        restoreFocus();
        return 0;
    case WM_KILLFOCUS:
        loseFocus();
        return 0;
    case WM_PAINT: {
        PAINTSTRUCT paint = {};
        BeginPaint(window, &paint);
        const Rect r(paint.rcPaint.left, paint.rcPaint.top, paint.rcPaint.right - paint.rcPaint.left,
                     paint.rcPaint.bottom - paint.rcPaint.top);
        if (r.width >= 1 && r.height >= 1)
            m_owner->flushRect(r);
        EndPaint(window, &paint);
        return 0;
    }
    case WM_CLOSE:
        sendClose(false);
        return 0;
    case WM_QUERYENDSESSION: {
        bool mayEnd = true;
        m_owner->shutdownRequested.emit(&mayEnd);
        return mayEnd ? TRUE : FALSE;
    }
    case WM_ERASEBKGND:
        return 1;
    case WM_SETCURSOR:
        return LOWORD(lParam) == HTCLIENT ? 1 : DefWindowProcW(window, message, wParam, lParam);
    case WM_GETMINMAXINFO:
        minimumTrackSize(lParam);
        return 0;
    case WM_WINDOWPOSCHANGED:
        return windowPosChanged(lParam) ? 0 : DefWindowProcW(window, message, wParam, lParam);
    case WM_DISPLAYCHANGE:
    case WM_PALETTECHANGED:
        InvalidateRect(window, nullptr, FALSE);
        break;
    case WM_NCHITTEST:
        if (m_owner->testFlag(WidgetMouseTransparent))
            return HTTRANSPARENT;
        break;
    case WM_NCACTIVATE:
        if (wParam == 0 && (m_windowFlags & WindowKeepActiveFrame))
            return 1;
        break;
    case WM_SYSCHAR:
        return 0;
    case WM_IME_STARTCOMPOSITION:
    case WM_IME_ENDCOMPOSITION:
    case WM_IME_COMPOSITION:
    case WM_IME_NOTIFY:
        InputMethodComposition::handleMessage(m_owner, message, wParam, lParam);
        break;
    case WM_SYSCOMMAND:
        if (systemCommand(wParam))
            return 0;
        break;
    case WM_CAPTURECHANGED:
        if (!m_releasingCapture && UIWidget::mouseGrabber()) {
            UIWidget::mouseGrabber()->setFlag(WidgetPressed, false);
            UIWidget::mouseGrabber()->releaseMouse();
        }
        return 0;
    case WM_HOTKEY:
        postFromWindow(new UIParamEvent(static_cast<int>(wParam)), m_owner);
        break;
    case toolkitMessage:
        privateMessage(lParam);
        return 0;
    default:
        break;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

bool UIWin32Window::handleMouseMessage(unsigned int message, std::uintptr_t wParam, std::intptr_t lParam)
{
    if (isButtonDown(message)) {
        buttonPress(message, wParam, lParam);
        return true;
    }
    if (isButtonUp(message)) {
        buttonRelease(message, wParam, lParam);
        return true;
    }
    switch (message) {
    case WM_MOUSEMOVE:
        return mouseMove(wParam, lParam);
    case WM_MOUSELEAVE:
        forgetPointer();
        return true;
    case WM_LBUTTONDBLCLK:
    case WM_RBUTTONDBLCLK:
        return true;
    case WM_MOUSEWHEEL:
    case WM_MOUSEHWHEEL:
        wheel(message == WM_MOUSEHWHEEL, wParam, lParam);
        return true;
    default:
        return false;
    }
}

UIWidget* UIWin32Window::mouseTarget(Point point, Point* targetPoint) const
{
    UIWidget* target = UIWidget::mouseGrabber();
    if (!target)
        target = m_owner->childAt(point);
    if (!target)
        target = m_owner;
    *targetPoint = target == m_owner ? point : target->mapFrom(m_owner, point);
    return target;
}

bool UIWin32Window::acceptsMouse(const UIWidget* target) const
{
    return target->isEnabled() && !hasFlagUpToWindow(target, WidgetMouseBlocked);
}

void UIWin32Window::buttonPress(unsigned int message, std::uintptr_t wParam, std::intptr_t lParam)
{
    const HWND window = hwnd(m_window);
    const MouseButtons held = heldButtons(wParam);
    if (held.value != 0 && GetCapture() != window) {
        SetCapture(window);
        if (GetFocus() != window)
            SetFocus(window);
    }
    Point point;
    UIWidget* target = mouseTarget(clientPoint(lParam), &point);
    // A press elsewhere closes open pop-ups before it is delivered, so a
    // widget that opens one on press never sees its own pop-up still open.
    UIPopupRegistry::hideAllOutside(target);
    if (!acceptsMouse(target))
        return;
    const std::uint32_t button = messageButton(message, wParam);
    int type = MousePressEventType;
    if (target->testFlag(WidgetTakesDoubleClicks) && (button == LeftButton || button == RightButton)) {
        DoubleClickDetector& detector = doubleClickDetector();
        detector.record(target, static_cast<std::uint64_t>(preciseMilliseconds()), point, button);
        if (detector.isDoubleClick()) {
            detector.reset();
            type = MouseDoubleClickEventType;
        }
    }
    postFromWindow(new UIMouseEvent(type, point, static_cast<int>(button), held, currentKeyboardModifiers()),
                   target);
}

void UIWin32Window::buttonRelease(unsigned int message, std::uintptr_t wParam, std::intptr_t lParam)
{
    const MouseButtons held = heldButtons(wParam);
    if (held.value == 0 && GetCapture() == hwnd(m_window))
        releaseCapture();
    Point point;
    UIWidget* target = mouseTarget(clientPoint(lParam), &point);
    target->releaseMouse();
    if (!acceptsMouse(target))
        return;
    const std::uint32_t button = messageButton(message, wParam);
    const KeyboardModifiers modifiers = currentKeyboardModifiers();
    postFromWindow(new UIMouseEvent(MouseReleaseEventType, point, static_cast<int>(button), held, modifiers), target);
    if (button == RightButton && target->rect().contains(point))
        postFromWindow(new UIContextMenuEvent(0, point, cursorPosition()), target);
}

bool UIWin32Window::mouseMove(std::uintptr_t wParam, std::intptr_t lParam)
{
    const Point client = clientPoint(lParam);
    if (client == m_lastMousePoint) {
        updateCursor(client, nullptr);
        return false;
    }
    m_lastMousePoint = client;
    trackMouseLeave();
    Point point;
    UIWidget* target = mouseTarget(client, &point);
    toolkitHooks().hideToolTipUnlessFor(target);
    updateCursor(point, target);
    if (!acceptsMouse(target))
        return true;
    if (target->testFlag(WidgetHoverTracking))
        target->startTimer(hoverTimerId, hoverTimerInterval);
    postFromWindow(new UIMouseEvent(MouseMoveEventType, point, NoButton, heldButtons(wParam),
                                    currentKeyboardModifiers()),
                   target);
    return true;
}

// Windows says once when the pointer leaves the window, and only when asked
// again after a move.
void UIWin32Window::trackMouseLeave()
{
    if (m_trackingMouseLeave)
        return;
    TRACKMOUSEEVENT track = {sizeof(track), TME_LEAVE, hwnd(m_window), 0};
    m_trackingMouseLeave = TrackMouseEvent(&track) != FALSE;
}

// The last point is forgotten, so a pointer that comes back at the pixel it
// left from moves anew: the widget under it starts its hover again.
void UIWin32Window::forgetPointer()
{
    m_trackingMouseLeave = false;
    m_lastMousePoint = Point{-1, -1};
}

void UIWin32Window::updateCursor(Point point, UIWidget* target)
{
    const int override = UIManager::instance()->overrideCursor();
    if (override != 0) {
        applyCursor(Cursor(override));
        return;
    }
    if (!target)
        target = mouseTarget(point, &point);
    applyCursor(target->isEnabled() ? target->cursorAt(point) : Cursor(CursorArrow));
}

void UIWin32Window::wheel(bool horizontal, std::uintptr_t wParam, std::intptr_t lParam)
{
    const Point point = m_owner->mapFromGlobal(clientPoint(lParam));
    UIWidget* target = m_owner->childAt(point);
    if (!target)
        target = m_owner;
    if (!target->isEnabled())
        return;
    const Point targetPoint = target == m_owner ? point : target->mapFrom(m_owner, point);
    const int delta = static_cast<short>(HIWORD(wParam));
    const int direction = (delta < 1 ? 1 : 2) + (horizontal ? 0 : 2);
    postFromWindow(new UIWheelEvent(1, targetPoint, delta, currentKeyboardModifiers(), direction), target);
}

void UIWin32Window::releaseCapture()
{
    m_releasingCapture = true;
    ReleaseCapture();
    m_releasingCapture = false;
}

void UIWin32Window::restoreFocus()
{
    if (UIWidget* focus = UIWidget::focusWidget())
        focus->clearFocus();
    if (m_focusWidget && UIManager::instance()->isRegistered(m_focusWidget) && m_focusWidget->id() == m_focusWidgetId)
        m_focusWidget->setFocus();
    else
        m_focusWidget = nullptr;
}

void UIWin32Window::loseFocus()
{
    InputMethodComposition::end(true);
    KeyTranslator::instance().releaseAllKeys();
    if (UIWidget* grabber = UIWidget::mouseGrabber()) {
        grabber->setFlag(WidgetPressed, false);
        grabber->releaseMouse();
        if (GetCapture() == hwnd(m_window))
            releaseCapture();
    }
    UIWidget* focus = UIWidget::focusWidget();
    m_focusWidget = focus && !focus->isWindow() ? focus : nullptr;
    m_focusWidgetId = m_focusWidget ? m_focusWidget->id() : 0;
    if (focus) {
        focus->setFlag(WidgetKeyHeld, false);
        focus->clearFocus();
    }
}

bool UIWin32Window::windowPosChanged(std::intptr_t lParam)
{
    const auto* position = reinterpret_cast<const WINDOWPOS*>(lParam);
    const UINT flags = position->flags;
    if ((flags & SWP_NOMOVE) && (flags & SWP_NOSIZE) && !(flags & SWP_FRAMECHANGED))
        return true;
    if (!(flags & SWP_NOMOVE)) {
        const Point moved{position->x, position->y};
        if (moved != m_owner->pos()) {
            UIMoveEvent move(moved, m_owner->pos());
            sendFromWindow(&move, m_owner);
        }
    }
    if (flags & SWP_NOSIZE)
        return true;
    RECT client = {};
    GetClientRect(hwnd(m_window), &client);
    const Size size{client.right, client.bottom};
    if (size == m_owner->size() || size.width < 1 || size.height < 1)
        return false;
    UIResizeEvent resize(size, m_owner->size());
    sendFromWindow(&resize, m_owner);
    return true;
}

void UIWin32Window::minimumTrackSize(std::intptr_t lParam)
{
    if (!(m_windowFlags & WindowResizable))
        return;
    if (m_owner->size() != m_minimumSizeFor) {
        const Size preferred = m_owner->preferredSize();
        Size minimum{std::max(preferred.width, m_owner->minimumWidth()),
                     std::max(preferred.height, m_owner->minimumHeight())};
        int left = 0, top = 0, right = 0, bottom = 0;
        frameMargins(&left, &top, &right, &bottom);
        minimum.width += left + right;
        minimum.height += top + bottom;
        m_minimumSizeFor = m_owner->size();
        m_minimumTrackSize = minimum;
    }
    auto* info = reinterpret_cast<MINMAXINFO*>(lParam);
    info->ptMinTrackSize = {m_minimumTrackSize.width, m_minimumTrackSize.height};
}

bool UIWin32Window::systemCommand(std::uintptr_t wParam)
{
    const std::uintptr_t command = wParam & 0xFFF0;
    if (command == SC_SCREENSAVE)
        return !screenSaverAllowed();
    if (command == SC_MONITORPOWER)
        return !monitorPowerOffAllowed();
    if (command == SC_MINIMIZE || command == SC_MAXIMIZE || command == SC_RESTORE)
        postFromWindow(new UIChangeEvent(WindowStateChangeEventType), m_owner);
    // The user's close: sent as the system's WM_CLOSE would be, but marked,
    // as a WM_CLOSE may come from outside the program.
    if (command == SC_CLOSE) {
        sendClose(true);
        return true;
    }
    return false;
}

void UIWin32Window::sendClose(bool byCloseCommand)
{
    UICloseEvent close(byCloseCommand);
    close.setAccepted(true);
    sendFromWindow(&close, m_owner);
}

bool UIWin32Window::keyMessage(unsigned int message, std::uintptr_t wParam, std::intptr_t lParam)
{
    const HWND window = hwnd(m_window);
    MSG next = {};
    if (PeekMessageW(&next, window, 0, 0, PM_NOREMOVE) && next.message == WM_DEADCHAR)
        return true;
    UIWidget* target = UIWidget::focusWidget();
    if (!target)
        target = m_owner;
    if (!target->isEnabled() || hasFlagUpToWindow(target, WidgetKeysBlocked))
        return false;
    return KeyTranslator::instance().translate(target, message, wParam, lParam);
}

void UIWin32Window::privateMessage(std::intptr_t lParam)
{
    if (lParam == 0) {
        m_owner->activateWindow();
        return;
    }
    UIMessageEvent event(static_cast<int>(lParam));
    sendFromWindow(&event, m_owner);
}
