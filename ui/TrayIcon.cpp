#include "ui/TrayIcon.h"

#include "foundation/Event.h"
#include "foundation/List.h"
#include "foundation/NativeWindow.h"
#include "ui/PlatformServices.h"
#include "ui/UIToolkitHooks.h"
#include "ui/UIWidget.h"

#include <windows.h>

#include <shellapi.h>

#include <algorithm>

namespace {

const wchar_t* const windowName = L"C97B81D7-852C-45cc-9F97-597D225C9B3E";
const wchar_t* const callbackMessageName = L"D2F33579-5A5F-43ff-8E19-74B1974E8488";
constexpr UINT iconId = 1;

int systemNotifyIcon(unsigned long message, void* data)
{
    return Shell_NotifyIconW(message, static_cast<NOTIFYICONDATAW*>(data));
}

NotifyIconFunction notifyIcon = systemNotifyIcon;

List<TrayIcon*>& liveIcons()
{
    static List<TrayIcon*> icons;
    return icons;
}

// Clears the field and copies the text into it, always leaving a
// terminator (the field's last unit).
template <std::size_t N>
void copyCut(wchar_t (&field)[N], const String& text)
{
    std::fill(field, field + N, L'\0');
    const std::size_t count = std::min<std::size_t>(static_cast<std::size_t>(text.length()), N - 1);
    std::copy(text.c_str(), text.c_str() + count, field);
}

DWORD balloonFlags(int kind)
{
    switch (kind) {
    case TrayBalloonInformation:
        return NIIF_INFO;
    case TrayBalloonWarning:
        return NIIF_WARNING;
    case TrayBalloonError:
        return NIIF_ERROR;
    default:
        return NIIF_NONE;
    }
}

bool isMenuWindowEnabled(const UIWidget* menu)
{
    HWND handle = static_cast<HWND>(menu->nativeHandle());
    return handle ? IsWindowEnabled(handle) != 0 : menu->isEnabled();
}

} // namespace

// The hidden window that owns the shell's icon record and receives the
// icon's callback and the taskbar's restart message.
class TrayIconWindow : public NativeWindow {
public:
    explicit TrayIconWindow(TrayIcon* owner);
    ~TrayIconWindow() override;

    bool handleMessage(NativeMessage& message) override;

    void add();
    void setVisible(bool visible);
    void setIcon(const Bitmap& image);
    void setToolTip(const String& text);
    void showBalloon(const String& title, const String& text, int kind);
    Rect iconRect() const;

    TrayIcon* owner;
    UINT taskbarCreatedMessage;
    UINT callbackMessage;
    HWND lastActiveWindow = nullptr;
    NOTIFYICONDATAW data{};
    bool visible = false;
    String toolTip;
    Bitmap image;

private:
    void modify(UINT flags);
    void destroyIcon();
    void onCallback(const NativeMessage& message);
    void onTaskbarCreated();
};

TrayIconWindow::TrayIconWindow(TrayIcon* owner)
    : NativeWindow(String(windowName)), owner(owner), taskbarCreatedMessage(RegisterWindowMessageW(L"TaskbarCreated")),
      callbackMessage(RegisterWindowMessageW(callbackMessageName))
{
    SetWindowTextW(static_cast<HWND>(handle()), windowName);
    changeWindowMessageFilter(handle(), taskbarCreatedMessage);
    add();
}

TrayIconWindow::~TrayIconWindow()
{
    destroyIcon();
    data.uFlags = 0;
    notifyIcon(NIM_DELETE, &data);
}

void TrayIconWindow::add()
{
    data = NOTIFYICONDATAW{};
    data.cbSize = NOTIFYICONDATAW_V2_SIZE;
    data.hWnd = static_cast<HWND>(handle());
    data.uID = iconId;
    data.uCallbackMessage = callbackMessage;
    data.uFlags = NIF_MESSAGE | NIF_STATE;
    data.dwState = NIS_HIDDEN;
    data.dwStateMask = NIS_HIDDEN;
    notifyIcon(NIM_ADD, &data);
}

void TrayIconWindow::modify(UINT flags)
{
    data.uFlags = flags;
    notifyIcon(NIM_MODIFY, &data);
}

void TrayIconWindow::destroyIcon()
{
    if (data.hIcon)
        DestroyIcon(data.hIcon);
    data.hIcon = nullptr;
}

void TrayIconWindow::setVisible(bool on)
{
    if (on == visible)
        return;
    data.dwStateMask = NIS_HIDDEN;
    data.dwState = on ? 0 : NIS_HIDDEN;
    modify(NIF_STATE);
    visible = on;
}

void TrayIconWindow::setIcon(const Bitmap& newImage)
{
    image = newImage;
    destroyIcon();
    data.hIcon = image.toIcon();
    modify(NIF_ICON);
}

void TrayIconWindow::setToolTip(const String& text)
{
    toolTip = text;
    copyCut(data.szTip, text);
    modify(NIF_TIP);
}

void TrayIconWindow::showBalloon(const String& title, const String& text, int kind)
{
    data.dwInfoFlags = balloonFlags(kind);
    copyCut(data.szInfoTitle, title);
    copyCut(data.szInfo, text);
    modify(NIF_INFO);
}

Rect TrayIconWindow::iconRect() const
{
    if (!visible)
        return {};
    // Looked up at each call: older shells lack it.
    using GetRect = HRESULT(WINAPI*)(const NOTIFYICONIDENTIFIER*, RECT*);
    auto getRect = reinterpret_cast<GetRect>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"shell32"), "Shell_NotifyIconGetRect")));
    if (!getRect)
        return {};
    NOTIFYICONIDENTIFIER identifier{};
    identifier.cbSize = sizeof(identifier);
    identifier.hWnd = data.hWnd;
    identifier.uID = iconId;
    RECT r{};
    if (FAILED(getRect(&identifier, &r)))
        return {};
    return Rect(r.left, r.top, r.right - r.left, r.bottom - r.top);
}

bool TrayIconWindow::handleMessage(NativeMessage& message)
{
    if (message.message == callbackMessage) {
        onCallback(message);
        return true;
    }
    if (message.message == taskbarCreatedMessage) {
        onTaskbarCreated();
        return true;
    }
    return false;
}

void TrayIconWindow::onCallback(const NativeMessage& message)
{
    if (message.wParam != iconId)
        return;
    switch (static_cast<UINT>(message.lParam)) {
    case WM_MOUSEMOVE:
        lastActiveWindow = GetActiveWindow();
        owner->emitMouse(owner->moved, MouseMoveEventType, LeftButton);
        return;
    case WM_LBUTTONDOWN:
        owner->emitMouse(owner->pressed, MousePressEventType, LeftButton);
        return;
    case WM_LBUTTONUP:
        owner->emitMouse(owner->released, MouseReleaseEventType, LeftButton);
        owner->emitMouse(owner->clicked, MouseClickEventType, LeftButton);
        return;
    case WM_RBUTTONDOWN:
        owner->emitMouse(owner->pressed, MousePressEventType, RightButton);
        return;
    case WM_RBUTTONUP:
        owner->emitMouse(owner->released, MouseReleaseEventType, RightButton);
        owner->popupMenu();
        owner->emitMouse(owner->clicked, MouseClickEventType, RightButton);
        return;
    default:
        return;
    }
}

void TrayIconWindow::onTaskbarCreated()
{
    const bool wasVisible = visible;
    visible = false;
    destroyIcon();
    add();
    if (!image.isNull())
        setIcon(image);
    if (!toolTip.isEmpty())
        setToolTip(toolTip);
    if (wasVisible)
        setVisible(true);
}

// ---- TrayIcon ----

TrayIcon::TrayIcon() : m_window(new TrayIconWindow(this))
{
    liveIcons().append(this);
}

TrayIcon::~TrayIcon()
{
    liveIcons().removeValue(this);
    delete m_window;
}

void TrayIcon::setVisible(bool visible)
{
    m_window->setVisible(visible);
}

bool TrayIcon::isVisible() const
{
    return m_window->visible;
}

void TrayIcon::setIcon(const Bitmap& image)
{
    m_window->setIcon(image);
}

const Bitmap& TrayIcon::icon() const
{
    return m_window->image;
}

void TrayIcon::setToolTip(const String& text)
{
    m_window->setToolTip(text);
}

const String& TrayIcon::toolTip() const
{
    return m_window->toolTip;
}

void TrayIcon::setMenu(UIWidget* menu)
{
    if (menu == m_menu)
        return;
    delete m_menu;
    m_menu = menu;
}

void TrayIcon::showBalloon(const String& title, const String& text, int kind)
{
    m_window->showBalloon(title, text, kind);
}

Rect TrayIcon::iconRect() const
{
    return m_window->iconRect();
}

void* TrayIcon::lastActiveWindow() const
{
    return m_window->lastActiveWindow;
}

void* TrayIcon::windowHandle() const
{
    return m_window->handle();
}

unsigned int TrayIcon::callbackMessage() const
{
    return m_window->callbackMessage;
}

bool TrayIcon::isTrayMenu(const UIWidget* widget)
{
    if (!widget)
        return false;
    for (const TrayIcon* icon : liveIcons()) {
        if (icon->m_menu == widget)
            return true;
    }
    return false;
}

bool TrayIcon::isTaskbarVisible()
{
    HWND taskbar = FindWindowW(L"Shell_TrayWnd", nullptr);
    return taskbar && IsWindowVisible(taskbar);
}

void TrayIcon::emitMouse(Signal& signal, int type, int button)
{
    UIMouseEvent event(type, cursorPosition(), button, currentMouseButtons(), currentKeyboardModifiers());
    signal.emit(&event);
}

void TrayIcon::popupMenu()
{
    if (!m_menu || !isMenuWindowEnabled(m_menu))
        return;
    // The shell closes a menu only when the notification window was in front.
    HWND window = static_cast<HWND>(m_window->handle());
    if (GetForegroundWindow() != window)
        SetForegroundWindow(window);
    toolkitHooks().popupMenu(m_menu, cursorPosition());
    if (HWND menuWindow = static_cast<HWND>(m_menu->nativeHandle()))
        SetWindowPos(menuWindow, HWND_TOPMOST, 0, 0, 0, 0,
                     SWP_NOSIZE | SWP_NOMOVE | SWP_NOACTIVATE | SWP_NOOWNERZORDER);
}

void setNotifyIconFunction(NotifyIconFunction function)
{
    notifyIcon = function ? function : systemNotifyIcon;
}
