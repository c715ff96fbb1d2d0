#include "ui/PlatformServices.h"

#include "foundation/ComRef.h"
#include "foundation/Event.h"
#include "foundation/System.h"

#include <windows.h>

#include <commctrl.h>
#include <commoncontrols.h>
#include <mmsystem.h>
#include <psapi.h>
#include <shellapi.h>
#include <shlobj.h>
#include <shobjidl.h>

namespace {

using GetImageListFunction = HRESULT(WINAPI*)(int, REFIID, void**);
using CreateItemFunction = HRESULT(WINAPI*)(PCWSTR, IBindCtx*, REFIID, void**);

// The process-wide record of the shell services, written once at start-up.
struct ShellServices {
    bool allowScreenSaver = true;
    bool allowMonitorPowerOff = true;
    bool windows6OrLater = isWindowsVistaOrLater();
    GetImageListFunction getImageList = nullptr;
    CreateItemFunction createItemFromParsingName = nullptr;

    ShellServices()
    {
        HMODULE shell = GetModuleHandleW(L"shell32");
        if (!shell)
            return;
        getImageList = reinterpret_cast<GetImageListFunction>(
            reinterpret_cast<void*>(GetProcAddress(shell, MAKEINTRESOURCEA(727))));
        createItemFromParsingName = reinterpret_cast<CreateItemFunction>(
            reinterpret_cast<void*>(GetProcAddress(shell, "SHCreateItemFromParsingName")));
    }
};

ShellServices shellServices;

// A shell PIDL freed with the task allocator.
class ItemIdList {
public:
    ItemIdList() = default;
    ~ItemIdList() { CoTaskMemFree(m_list); }
    ItemIdList(const ItemIdList&) = delete;
    ItemIdList& operator=(const ItemIdList&) = delete;

    PIDLIST_RELATIVE get() const { return m_list; }
    PIDLIST_RELATIVE* out() { return &m_list; }

private:
    PIDLIST_RELATIVE m_list = nullptr;
};

int systemIntValue(UINT query)
{
    UINT value = 0;
    if (!SystemParametersInfoW(query, 0, &value, 0))
        return 0;
    return int(value);
}

// The handle becomes a Bitmap with alpha and is deleted.
Bitmap takeBitmap(HBITMAP handle)
{
    Bitmap result = Bitmap::fromHBitmap(handle, true);
    DeleteObject(handle);
    return result;
}

Bitmap takeIcon(HICON icon)
{
    Bitmap result = Bitmap::fromIcon(icon);
    DestroyIcon(icon);
    return result;
}

// Wine's image factory answers every request with a 1x1 image, which would
// hide the real icon of the image list behind it.
Bitmap ofSize(const Bitmap& image, int size)
{
    if (image.width() != size || image.height() != size)
        return Bitmap();
    return image;
}

Bitmap factoryIcon(const String& path, int size)
{
    if (!shellServices.createItemFromParsingName)
        return Bitmap();
    ComRef<IShellItemImageFactory> factory;
    if (FAILED(shellServices.createItemFromParsingName(path.c_str(), nullptr, IID_IShellItemImageFactory,
                                                       factory.receive())))
        return Bitmap();
    HBITMAP handle = nullptr;
    if (FAILED(factory->GetImage(SIZE{size, size}, SIIGBF_ICONONLY, &handle)) || !handle)
        return Bitmap();
    return ofSize(takeBitmap(handle), size);
}

int imageListKind(int size)
{
    switch (size) {
    case 16:
        return SHIL_SMALL;
    case 32:
        return SHIL_LARGE;
    case 48:
        return SHIL_EXTRALARGE;
    default:
        return SHIL_JUMBO;
    }
}

Bitmap imageListIcon(int index, int size)
{
    if (!shellServices.getImageList)
        return Bitmap();
    ComRef<IImageList> list;
    if (FAILED(shellServices.getImageList(imageListKind(size), __uuidof(IImageList), list.receive())))
        return Bitmap();
    HICON icon = nullptr;
    if (FAILED(list->GetIcon(index, ILD_TRANSPARENT, &icon)) || !icon)
        return Bitmap();
    return takeIcon(icon);
}

// The icon at the system image-list index that SHGetFileInfoW gives for
// the name with the flags.
Bitmap shellIcon(const String& name, const String& itemPath, UINT flags, int size)
{
    if (!isSupportedIconSize(size))
        return Bitmap();
    SHFILEINFOW info = {};
    if (!SHGetFileInfoW(name.c_str(), FILE_ATTRIBUTE_NORMAL, &info, sizeof(info), SHGFI_SYSICONINDEX | flags))
        return Bitmap();
    Bitmap image = factoryIcon(itemPath, size);
    if (!image.isNull())
        return image;
    return imageListIcon(info.iIcon, size);
}

bool hasZeroAlpha(const Bitmap& image)
{
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if (image.pixelAlpha(x, y) == 0)
                return true;
        }
    }
    return false;
}

// Thumbnails whose alpha does not mix transparent and visible pixels carry
// no real alpha channel; they mark transparency with opaque magenta.
void rebuildThumbnailAlpha(Bitmap& image)
{
    if (!image.hasAlpha() || (image.hasNonZeroAlpha() && hasZeroAlpha(image)))
        return;
    image.setAlpha(255);
    image.setAlphaWhereColour(Colour(255, 0, 255), 0);
}

// The shell folder holding a path's item, and the item inside it.
struct ParentFolder {
    ItemIdList item;
    ComRef<IShellFolder> folder;
    PCUITEMID_CHILD child = nullptr;
};

// False when the desktop folder cannot parse the path or bind its parent.
bool bindToParent(const String& path, ParentFolder& parent)
{
    ComRef<IShellFolder> desktop;
    if (FAILED(SHGetDesktopFolder(desktop.receiveTyped())))
        return false;
    wchar_t* name = const_cast<wchar_t*>(path.c_str());
    if (FAILED(desktop->ParseDisplayName(nullptr, nullptr, name, nullptr, parent.item.out(), nullptr)))
        return false;
    return SUCCEEDED(SHBindToParent(reinterpret_cast<PCIDLIST_ABSOLUTE>(parent.item.get()), IID_IShellFolder,
                                    parent.folder.receive(), &parent.child));
}

// The item's object of the interface, asked of its folder.
template <typename Interface>
bool getItemObject(IShellFolder* folder, PCUITEMID_CHILD item, REFIID id, ComRef<Interface>& object)
{
    return SUCCEEDED(folder->GetUIObjectOf(nullptr, 1, &item, id, nullptr, object.receive()));
}

Bitmap extractedIcon(IShellFolder* folder, PCUITEMID_CHILD item, int size)
{
    ComRef<IExtractIconW> extractor;
    if (!getItemObject(folder, item, IID_IExtractIconW, extractor))
        return Bitmap();
    wchar_t location[MAX_PATH] = {};
    int index = 0;
    UINT flags = 0;
    if (FAILED(extractor->GetIconLocation(0, location, MAX_PATH, &index, &flags)))
        return Bitmap();
    HICON largeIcon = nullptr;
    HICON smallIcon = nullptr;
    const HRESULT extracted = extractor->Extract(location, UINT(index), &largeIcon, &smallIcon, MAKELONG(size, size));
    if (smallIcon)
        DestroyIcon(smallIcon);
    if (FAILED(extracted) || !largeIcon)
        return Bitmap();
    return takeIcon(largeIcon);
}

Bitmap extractedImage(IShellFolder* folder, PCUITEMID_CHILD item, int size)
{
    ComRef<IExtractImage> extractor;
    if (!getItemObject(folder, item, IID_IExtractImage, extractor))
        return Bitmap();
    wchar_t location[MAX_PATH] = {};
    DWORD priority = 0;
    DWORD flags = IEIFLAG_OFFLINE | IEIFLAG_SCREEN | IEIFLAG_ORIGSIZE | IEIFLAG_QUALITY;
    SIZE wanted = {size, size};
    if (FAILED(extractor->GetLocation(location, MAX_PATH, &priority, &wanted, 32, &flags)))
        return Bitmap();
    HBITMAP handle = nullptr;
    if (FAILED(extractor->Extract(&handle)) || !handle)
        return Bitmap();
    Bitmap image = takeBitmap(handle);
    rebuildThumbnailAlpha(image);
    return image;
}

bool isForeground(HWND window)
{
    return GetForegroundWindow() == window;
}

void raise(HWND window)
{
    BringWindowToTop(window);
    SetForegroundWindow(window);
}

// Raises the window while this thread shares the foreground thread's input
// state, which the platform demands of a thread that is not in front.
void raiseAttached(HWND window)
{
    const DWORD own = GetCurrentThreadId();
    const DWORD foreground = GetWindowThreadProcessId(GetForegroundWindow(), nullptr);
    if (foreground == 0 || foreground == own) {
        raise(window);
        return;
    }
    AttachThreadInput(own, foreground, TRUE);
    raise(window);
    AttachThreadInput(own, foreground, FALSE);
}

void raiseWithoutForegroundLock(HWND window)
{
    DWORD timeOut = 0;
    SystemParametersInfoW(SPI_GETFOREGROUNDLOCKTIMEOUT, 0, &timeOut, 0);
    SystemParametersInfoW(SPI_SETFOREGROUNDLOCKTIMEOUT, 0, nullptr, SPIF_SENDCHANGE);
    raise(window);
    SystemParametersInfoW(SPI_SETFOREGROUNDLOCKTIMEOUT, 0, reinterpret_cast<void*>(std::uintptr_t(timeOut)),
                          SPIF_SENDCHANGE);
}

} // namespace

bool snapToDefaultButton()
{
    return systemIntValue(SPI_GETSNAPTODEFBUTTON) == 1;
}

bool isClearTypeEnabled()
{
    return systemIntValue(SPI_GETFONTSMOOTHINGTYPE) == FE_FONTSMOOTHINGCLEARTYPE;
}

bool isDropShadowEnabled()
{
    return systemIntValue(SPI_GETDROPSHADOW) == 1;
}

bool isCursorShadowEnabled()
{
    return systemIntValue(SPI_GETCURSORSHADOW) == 1;
}

int wheelScrollLines()
{
    return systemIntValue(SPI_GETWHEELSCROLLLINES);
}

int menuShowDelay()
{
    return systemIntValue(SPI_GETMENUSHOWDELAY);
}

bool isCompositionEnabled()
{
    if (!shellServices.windows6OrLater)
        return false;
    HMODULE library = LoadLibraryW(L"dwmapi");
    if (!library)
        return false;
    using Function = HRESULT(WINAPI*)(BOOL*);
    auto function =
        reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(library, "DwmIsCompositionEnabled")));
    BOOL enabled = FALSE;
    const bool result = function && SUCCEEDED(function(&enabled)) && enabled;
    FreeLibrary(library);
    return result;
}

bool changeWindowMessageFilter(void* window, unsigned int message)
{
    if (!isWindows7OrLater() || !IsWindow(static_cast<HWND>(window)))
        return false;
    HMODULE library = LoadLibraryW(L"user32");
    if (!library)
        return false;
    using Function = BOOL(WINAPI*)(HWND, UINT, DWORD, PCHANGEFILTERSTRUCT);
    auto function =
        reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(library, "ChangeWindowMessageFilterEx")));
    CHANGEFILTERSTRUCT filter = {};
    filter.cbSize = sizeof(filter);
    const bool result = function && function(static_cast<HWND>(window), message, MSGFLT_ALLOW, &filter);
    FreeLibrary(library);
    return result;
}

bool showHiddenFiles()
{
    DWORD value = 0;
    DWORD size = sizeof(value);
    const LSTATUS status =
        RegGetValueW(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Advanced\\Folder\\Hidden\\SHOWALL",
                     L"CheckedValue", RRF_RT_REG_DWORD, nullptr, &value, &size);
    return status == ERROR_SUCCESS && value == 1;
}

bool screenSaverAllowed()
{
    return shellServices.allowScreenSaver;
}

void setScreenSaverAllowed(bool allowed)
{
    shellServices.allowScreenSaver = allowed;
}

bool monitorPowerOffAllowed()
{
    return shellServices.allowMonitorPowerOff;
}

void setMonitorPowerOffAllowed(bool allowed)
{
    shellServices.allowMonitorPowerOff = allowed;
}

bool isSupportedIconSize(int size)
{
    return size == 16 || size == 32 || size == 48 || (size == 256 && shellServices.windows6OrLater);
}

Bitmap shellFileIcon(const String& path, int size)
{
    return shellIcon(path, path, 0, size);
}

Bitmap shellFileTypeIcon(const String& extension, int size)
{
    const String name = String(L"*.") + extension;
    return shellIcon(name, name, SHGFI_USEFILEATTRIBUTES, size);
}

Bitmap shellThumbnail(const String& path, int size)
{
    ParentFolder parent;
    if (!bindToParent(path, parent))
        return Bitmap();
    return extractedImage(parent.folder.get(), parent.child, size);
}

Bitmap shellPathIcon(const String& path, int size)
{
    ParentFolder parent;
    if (!bindToParent(path, parent))
        return Bitmap();
    return extractedIcon(parent.folder.get(), parent.child, size);
}

void playSoundFile(const String& path)
{
    PlaySoundW(nullptr, nullptr, 0);
    PlaySoundW(path.c_str(), nullptr, SND_FILENAME | SND_ASYNC);
}

void playMessageSound(int kind)
{
    PlaySoundW(nullptr, nullptr, 0);
    switch (kind) {
    case 2:
    case 4:
        MessageBeep(MB_ICONASTERISK);
        return;
    case 3:
        MessageBeep(MB_ICONEXCLAMATION);
        return;
    case 5:
        MessageBeep(MB_ICONHAND);
        return;
    case 6:
        PlaySoundW(L"SystemNotification", nullptr, SND_ALIAS | SND_ASYNC);
        return;
    default:
        MessageBeep(0xFFFFFFFF);
    }
}

bool bringWindowToForeground(void* handle)
{
    HWND window = static_cast<HWND>(handle);
    if (!IsWindow(window))
        return false;
    if (IsIconic(window))
        ShowWindow(window, SW_RESTORE);
    if (!isForeground(window))
        raiseAttached(window);
    if (!isForeground(window))
        raiseWithoutForegroundLock(window);
    return isForeground(window);
}

void* currentCursorHandle()
{
    if (isWorkstationLocked())
        return nullptr;
    POINT position;
    if (!GetCursorPos(&position))
        return nullptr;
    HWND window = WindowFromPoint(position);
    if (!window)
        return nullptr;
    const DWORD own = GetCurrentThreadId();
    const DWORD other = GetWindowThreadProcessId(window, nullptr);
    if (other == own)
        return GetCursor();
    // Another thread's cursor is only visible through its input state.
    AttachThreadInput(own, other, TRUE);
    HCURSOR cursor = GetCursor();
    AttachThreadInput(own, other, FALSE);
    return cursor;
}

String windowProcessPath(void* window)
{
    DWORD processId = 0;
    GetWindowThreadProcessId(static_cast<HWND>(window), &processId);
    if (processId == 0)
        return String();
    HANDLE process = OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, processId);
    if (!process)
        return String();
    wchar_t path[MAX_PATH];
    const DWORD length = GetModuleFileNameExW(process, nullptr, path, MAX_PATH);
    CloseHandle(process);
    return length ? String(path, int(length)) : String();
}
