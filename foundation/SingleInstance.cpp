#include "foundation/SingleInstance.h"

#include <windows.h>

#include <utility>

namespace {

InstanceWindow*& globalInstanceWindow()
{
    static InstanceWindow* window = nullptr;
    return window;
}

struct InstanceSearch {
    const String* className;
    HWND ownWindow;
    HWND found;
};

BOOL CALLBACK findInstanceWindow(HWND hwnd, LPARAM parameter)
{
    auto* search = reinterpret_cast<InstanceSearch*>(parameter);
    if (hwnd == search->ownWindow || IsWindowVisible(hwnd))
        return TRUE;
    wchar_t name[2048];
    const int length = GetClassNameW(hwnd, name, 2048);
    if (length <= 0 || String(name, length) != *search->className)
        return TRUE;
    search->found = hwnd;
    return FALSE;
}

} // namespace

NamedMutex::~NamedMutex()
{
    close();
}

NamedMutex::State NamedMutex::open(const String& name)
{
    close();
    if (name.isEmpty())
        return m_state;
    m_name = name;
    // Creating first makes the test atomic: of two copies started at the
    // same moment exactly one creates the mutex.
    bool alreadyExisted = false;
    m_handle = createNamedMutex(name, alreadyExisted);
    if (m_handle) {
        m_state = alreadyExisted ? AlreadyExisted : Created;
        return m_state;
    }
    // Creation is refused when another user's copy made the mutex with
    // narrower rights; opening then proves that it exists.
    m_handle = openNamedMutex(name);
    if (m_handle)
        m_state = AlreadyExisted;
    return m_state;
}

void NamedMutex::close()
{
    if (m_handle)
        closeHandle(m_handle);
    m_handle = nullptr;
    m_state = None;
}

void* createNamedMutex(const String& name, bool& alreadyExisted)
{
    HANDLE handle = CreateMutexW(nullptr, FALSE, name.c_str());
    alreadyExisted = handle && GetLastError() == ERROR_ALREADY_EXISTS;
    return handle;
}

void* openNamedMutex(const String& name)
{
    return OpenMutexW(MUTEX_ALL_ACCESS, FALSE, name.c_str());
}

void closeHandle(void* handle)
{
    CloseHandle(handle);
}

bool InstanceWindow::handleMessage(NativeMessage& message)
{
    if (message.message == WM_CLOSE) {
        m_closeRequested = true;
        return true;
    }
    if (message.message != activateMessage)
        return false;
    if (m_mainWindow)
        PostMessageW(static_cast<HWND>(m_mainWindow), activateMessage, message.wParam, message.lParam);
    return true;
}

bool InstanceWindow::takeCloseRequest()
{
    const auto window = static_cast<HWND>(handle());
    MSG close;
    while (window && PeekMessageW(&close, window, WM_CLOSE, WM_CLOSE, PM_REMOVE))
        DispatchMessageW(&close);
    return std::exchange(m_closeRequested, false);
}

String instanceName(const String& productName)
{
    String name(L"[");
    name.append(productName.toUpper());
    name.append(L']');
    return name;
}

InstanceWindow* createInstanceWindow(const String& productName)
{
    destroyInstanceWindow();
    globalInstanceWindow() = new InstanceWindow(instanceName(productName));
    return globalInstanceWindow();
}

void destroyInstanceWindow()
{
    delete globalInstanceWindow();
    globalInstanceWindow() = nullptr;
}

InstanceWindow* instanceWindow()
{
    return globalInstanceWindow();
}

bool activateOtherInstance(int timeoutMilliseconds)
{
    InstanceWindow* own = instanceWindow();
    if (!own)
        return false;
    InstanceSearch search{&own->className(), static_cast<HWND>(own->handle()), nullptr};
    EnumWindows(findInstanceWindow, reinterpret_cast<LPARAM>(&search));
    if (!search.found)
        return false;
    DWORD_PTR result = 0;
    const UINT timeout = timeoutMilliseconds > 0 ? static_cast<UINT>(timeoutMilliseconds) : 0;
    return SendMessageTimeoutW(search.found, InstanceWindow::activateMessage, 0, 0, SMTO_ABORTIFHUNG, timeout,
                               &result)
        != 0;
}
