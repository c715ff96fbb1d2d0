#include "ui/PlatformUtilities.h"

#include "ui/PlatformServices.h"

#include <windows.h>

#include <iterator>
#include <utility>
#include <vector>

namespace {

HWND hwnd(void* window)
{
    return static_cast<HWND>(window);
}

const HWND startupDesktopWindow = GetDesktopWindow();
const HWND startupShellWindow = GetShellWindow();

POINT toPOINT(Point point)
{
    return POINT{point.x, point.y};
}

Point toPoint(POINT point)
{
    return Point{int(point.x), int(point.y)};
}

Rect toRect(const RECT& r)
{
    return Rect(r.left, r.top, r.right - r.left, r.bottom - r.top);
}

Rect windowRect(HWND window)
{
    RECT r = {};
    if (!GetWindowRect(window, &r))
        return Rect();
    return toRect(r);
}

// Walks the siblings from the window in one direction of the Z order.
Array<void*> siblingsToward(HWND window, UINT direction, bool overlappingOnly)
{
    Array<void*> result;
    if (!IsWindow(window))
        return result;
    const Rect own = windowRect(window);
    for (HWND other = GetWindow(window, direction); other; other = GetWindow(other, direction)) {
        if (!overlappingOnly || own.intersects(windowRect(other)))
            result.append(other);
    }
    return result;
}

struct ProcessWindowSearch {
    DWORD processId;
    Array<void*>* windows;
};

BOOL CALLBACK collectProcessWindow(HWND window, LPARAM parameter)
{
    auto* search = reinterpret_cast<ProcessWindowSearch*>(parameter);
    DWORD processId = 0;
    GetWindowThreadProcessId(window, &processId);
    if (processId == search->processId && IsWindowVisible(window) && IsWindowEnabled(window))
        search->windows->append(window);
    return TRUE;
}

HICON askedIcon(HWND window, WPARAM kind)
{
    DWORD_PTR icon = 0;
    if (!SendMessageTimeoutW(window, WM_GETICON, kind, 0, SMTO_ABORTIFHUNG, 1000, &icon))
        return nullptr;
    return reinterpret_cast<HICON>(icon);
}

// The window's icon handle, owned by the window or its class.
HICON ownIcon(HWND window)
{
    for (WPARAM kind : {WPARAM(ICON_SMALL), WPARAM(ICON_BIG), WPARAM(ICON_SMALL2)}) {
        if (HICON icon = askedIcon(window, kind))
            return icon;
    }
    for (int index : {GCLP_HICONSM, GCLP_HICON}) {
        if (HICON icon = reinterpret_cast<HICON>(GetClassLongPtrW(window, index)))
            return icon;
    }
    return nullptr;
}

BOOL CALLBACK findResourceName(HMODULE, LPCWSTR, LPWSTR name, LONG_PTR parameter)
{
    auto* search = reinterpret_cast<std::pair<int, String>*>(parameter);
    if (search->first-- > 0)
        return TRUE;
    search->second = IS_INTRESOURCE(name) ? String(L"#") + String::number(unsigned(ULONG_PTR(name))) : String(name);
    return FALSE;
}

// The "\StringFileInfo\llllcccc\" prefix of the first language listed,
// US English in Unicode when the resource lists none.
String stringTablePrefix(const void* data)
{
    struct Translation {
        WORD language;
        WORD codePage;
    };
    Translation* translations = nullptr;
    UINT size = 0;
    Translation first = {0x0409, 1200};
    if (VerQueryValueW(data, L"\\VarFileInfo\\Translation", reinterpret_cast<void**>(&translations), &size) &&
        translations && size >= sizeof(Translation))
        first = translations[0];
    return String::format(L"\\StringFileInfo\\%04x%04x\\", unsigned(first.language), unsigned(first.codePage));
}

String versionString(const void* data, const String& prefix, const wchar_t* name)
{
    wchar_t* value = nullptr;
    UINT length = 0;
    if (!VerQueryValueW(data, (prefix + name).c_str(), reinterpret_cast<void**>(&value), &length) || !value)
        return String();
    // The length may count the terminating zero.
    while (length > 0 && value[length - 1] == 0)
        --length;
    return String(value, int(length));
}

} // namespace

void* windowAtPoint(Point screenPoint)
{
    return WindowFromPoint(toPOINT(screenPoint));
}

void* childWindowAt(void* window, Point clientPoint)
{
    if (!IsWindow(hwnd(window)))
        return nullptr;
    return ChildWindowFromPoint(hwnd(window), toPOINT(clientPoint));
}

Point clientToScreen(void* window, Point clientPoint)
{
    POINT point = toPOINT(clientPoint);
    if (!ClientToScreen(hwnd(window), &point))
        return Point();
    return toPoint(point);
}

Point screenToClient(void* window, Point screenPoint)
{
    POINT point = toPOINT(screenPoint);
    if (!ScreenToClient(hwnd(window), &point))
        return Point();
    return toPoint(point);
}

Point mapWindowPoint(void* from, void* to, Point point)
{
    POINT mapped = toPOINT(point);
    // A result of 0 is also the success of mapping between windows whose
    // client areas share an origin; only the error code tells them apart.
    SetLastError(ERROR_SUCCESS);
    if (MapWindowPoints(hwnd(from), hwnd(to), &mapped, 1) == 0 && GetLastError() != ERROR_SUCCESS)
        return Point();
    return toPoint(mapped);
}

void* desktopWindow()
{
    return startupDesktopWindow;
}

void* shellWindow()
{
    return startupShellWindow;
}

void* topLevelWindow(void* window)
{
    return GetAncestor(hwnd(window), GA_ROOT);
}

void* rootOwnerWindow(void* window)
{
    return GetAncestor(hwnd(window), GA_ROOTOWNER);
}

int windowStyleSummary(void* window)
{
    const LONG_PTR style = GetWindowLongPtrW(hwnd(window), GWL_STYLE);
    if (style & WS_POPUP)
        return 0;
    const std::pair<LONG_PTR, int> bits[] = {{WS_MINIMIZEBOX, WindowStyleMinimizeBox},
                                             {WS_MAXIMIZEBOX, WindowStyleMaximizeBox},
                                             {WS_SYSMENU, WindowStyleSystemMenu}};
    int summary = 0;
    for (const auto& [styleBit, summaryBit] : bits) {
        if (style & styleBit)
            summary |= summaryBit;
    }
    return summary;
}

String windowText(void* window)
{
    wchar_t text[2048];
    const int length = GetWindowTextW(hwnd(window), text, int(std::size(text)));
    return length > 0 ? String(text, length) : String();
}

Margins windowFrameMargins(void* window)
{
    RECT outer = {};
    RECT client = {};
    if (!GetWindowRect(hwnd(window), &outer) || !GetClientRect(hwnd(window), &client))
        return Margins();
    POINT origin = {0, 0};
    if (!ClientToScreen(hwnd(window), &origin))
        return Margins();
    return Margins{int(origin.x - outer.left), int(origin.y - outer.top), int(outer.right - origin.x - client.right),
                   int(outer.bottom - origin.y - client.bottom)};
}

Array<void*> processWindows(unsigned long processId)
{
    Array<void*> windows;
    ProcessWindowSearch search = {processId, &windows};
    EnumWindows(collectProcessWindow, reinterpret_cast<LPARAM>(&search));
    return windows;
}

Array<void*> windowsAbove(void* window, bool overlappingOnly)
{
    return siblingsToward(hwnd(window), GW_HWNDPREV, overlappingOnly);
}

Array<void*> windowsBelow(void* window, bool overlappingOnly)
{
    return siblingsToward(hwnd(window), GW_HWNDNEXT, overlappingOnly);
}

Region uncoveredRegion(void* window)
{
    if (!IsWindow(hwnd(window)))
        return Region();
    Region uncovered(windowRect(hwnd(window)));
    for (void* other : windowsAbove(window, true)) {
        if (IsWindowVisible(hwnd(other)))
            uncovered = uncovered.subtracted(Region(windowRect(hwnd(other))));
    }
    return uncovered;
}

Bitmap windowIcon(void* window)
{
    if (!IsWindow(hwnd(window)))
        return Bitmap();
    if (HICON icon = ownIcon(hwnd(window)))
        return Bitmap::fromIcon(icon);
    const String executable = windowProcessPath(window);
    return executable.isEmpty() ? Bitmap() : shellFileIcon(executable, 32);
}

String moduleResourceName(void* module, const String& type, int index)
{
    if (index < 0)
        return String();
    std::pair<int, String> search(index, String());
    EnumResourceNamesW(static_cast<HMODULE>(module), type.c_str(), findResourceName,
                       reinterpret_cast<LONG_PTR>(&search));
    return search.second;
}

FileVersionStrings fileVersionStrings(const String& path)
{
    DWORD handle = 0;
    const DWORD size = GetFileVersionInfoSizeW(path.c_str(), &handle);
    if (size == 0)
        return FileVersionStrings();
    std::vector<char> data(size);
    if (!GetFileVersionInfoW(path.c_str(), 0, size, data.data()))
        return FileVersionStrings();
    const String prefix = stringTablePrefix(data.data());
    return FileVersionStrings{versionString(data.data(), prefix, L"FileDescription"),
                              versionString(data.data(), prefix, L"FileVersion"),
                              versionString(data.data(), prefix, L"ProductName"),
                              versionString(data.data(), prefix, L"ProductVersion"),
                              versionString(data.data(), prefix, L"CompanyName")};
}
