#include "graphics/Screen.h"

#include "foundation/Event.h"

#include <windows.h>

namespace {

Rect toRect(const RECT& r)
{
    return Rect(r.left, r.top, r.right - r.left, r.bottom - r.top);
}

Rect rectOf(HMONITOR monitor, bool workArea)
{
    MONITORINFO info = {};
    info.cbSize = sizeof(info);
    if (!monitor || !GetMonitorInfoW(monitor, &info))
        return Rect::empty;
    return toRect(workArea ? info.rcWork : info.rcMonitor);
}

// The state carried through one monitor enumeration.
struct MonitorSearch {
    int current = 0;
    int wanted = -1;
    int found = -1;
    HMONITOR handle = nullptr;
};

BOOL CALLBACK findByIndex(HMONITOR monitor, HDC, LPRECT, LPARAM data)
{
    auto* search = reinterpret_cast<MonitorSearch*>(data);
    if (search->current != search->wanted) {
        ++search->current;
        return TRUE;
    }
    search->found = search->current;
    search->handle = monitor;
    return FALSE;
}

BOOL CALLBACK findPrimary(HMONITOR monitor, HDC, LPRECT, LPARAM data)
{
    auto* search = reinterpret_cast<MonitorSearch*>(data);
    MONITORINFO info = {};
    info.cbSize = sizeof(info);
    if (!GetMonitorInfoW(monitor, &info) || !(info.dwFlags & MONITORINFOF_PRIMARY)) {
        ++search->current;
        return TRUE;
    }
    search->found = search->current;
    search->handle = monitor;
    return FALSE;
}

MonitorSearch search(MONITORENUMPROC callback, int wanted)
{
    MonitorSearch state;
    state.wanted = wanted;
    EnumDisplayMonitors(nullptr, nullptr, callback, reinterpret_cast<LPARAM>(&state));
    return state;
}

struct RectCollection {
    bool workArea = false;
    Array<Rect>* out = nullptr;
};

BOOL CALLBACK collectRect(HMONITOR monitor, HDC, LPRECT, LPARAM data)
{
    auto* collection = reinterpret_cast<RectCollection*>(data);
    collection->out->append(rectOf(monitor, collection->workArea));
    return TRUE;
}

class PlatformMonitors : public MonitorSource {
public:
    Rect monitorRectAt(Point point, bool workArea) override
    {
        return rectOf(MonitorFromPoint(POINT{point.x, point.y}, MONITOR_DEFAULTTONULL), workArea);
    }

    bool monitorRects(bool workArea, Array<Rect>& out) override
    {
        RectCollection collection{workArea, &out};
        return EnumDisplayMonitors(nullptr, nullptr, collectRect, reinterpret_cast<LPARAM>(&collection)) != FALSE;
    }

    Rect primaryMonitorRect(bool workArea) override { return rectOf(search(findPrimary, -1).handle, workArea); }
};

PlatformMonitors platformMonitors;
MonitorSource* currentSource = &platformMonitors;

// Read on first use and kept: font sizes are computed from it all the time.
double cachedDpiX = 0;
double cachedDpiY = 0;

int screenCapability(int index)
{
    HDC screen = GetDC(nullptr);
    if (!screen)
        return 0;
    const int value = GetDeviceCaps(screen, index);
    ReleaseDC(nullptr, screen);
    return value;
}

double cachedCapability(double& cache, int index)
{
    if (cache == 0)
        cache = screenCapability(index);
    return cache;
}

struct DisplayModeSearch {
    bool found = false;
    int bestRate = 0;
};

DisplayModeSearch findDisplayModes(int width, int height)
{
    DisplayModeSearch result;
    if (width < 1 || height < 1)
        return result;
    DEVMODEW mode = {};
    mode.dmSize = sizeof(mode);
    for (DWORD number = 0; EnumDisplaySettingsW(nullptr, number, &mode); ++number) {
        if (static_cast<int>(mode.dmPelsWidth) != width || static_cast<int>(mode.dmPelsHeight) != height)
            continue;
        result.found = true;
        if (static_cast<int>(mode.dmDisplayFrequency) > result.bestRate)
            result.bestRate = static_cast<int>(mode.dmDisplayFrequency);
    }
    return result;
}

} // namespace

void Screen::setMonitorSource(MonitorSource* source)
{
    currentSource = source ? source : &platformMonitors;
}

int Screen::monitorCount()
{
    return GetSystemMetrics(SM_CMONITORS);
}

int Screen::primaryMonitorIndex()
{
    return search(findPrimary, -1).found;
}

void* Screen::monitorAt(int index)
{
    if (index < 0)
        return nullptr;
    return search(findByIndex, index).handle;
}

String Screen::monitorDeviceName(int index)
{
    HMONITOR monitor = static_cast<HMONITOR>(monitorAt(index));
    MONITORINFOEXW info = {};
    info.cbSize = sizeof(info);
    if (!monitor || !GetMonitorInfoW(monitor, &info))
        return {};
    info.szDevice[CCHDEVICENAME - 1] = L'\0';
    return String(info.szDevice);
}

Rect Screen::monitorRect(void* monitor, bool workArea)
{
    return rectOf(static_cast<HMONITOR>(monitor), workArea);
}

Rect Screen::primaryMonitorRect(bool workArea)
{
    return currentSource->primaryMonitorRect(workArea);
}

Rect Screen::monitorRectByIndex(int index, bool workArea)
{
    return monitorRect(monitorAt(index), workArea);
}

Rect Screen::monitorRectAt(int x, int y, bool workArea)
{
    return monitorRectAt(Point{x, y}, workArea);
}

Rect Screen::monitorRectAt(Point point, bool workArea)
{
    return currentSource->monitorRectAt(point, workArea);
}

Rect Screen::monitorRectFromWindow(void* window, bool workArea)
{
    if (!window)
        return Rect::empty;
    return rectOf(MonitorFromWindow(static_cast<HWND>(window), MONITOR_DEFAULTTONULL), workArea);
}

Rect Screen::monitorRectOfWindow(void* window, bool workArea)
{
    return monitorRectFromWindow(window, workArea);
}

bool Screen::monitorRects(bool workArea, Array<Rect>& out)
{
    return currentSource->monitorRects(workArea, out);
}

Array<Rect> Screen::monitorRects(bool workArea)
{
    Array<Rect> rects;
    monitorRects(workArea, rects);
    return rects;
}

Rect Screen::virtualDesktopRect()
{
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
    for (const Rect& r : monitorRects(false)) {
        left = r.left() < left ? r.left() : left;
        top = r.top() < top ? r.top() : top;
        right = r.right() > right ? r.right() : right;
        bottom = r.bottom() > bottom ? r.bottom() : bottom;
    }
    return Rect(left, top, right - left, bottom - top);
}

int Screen::maxRefreshRate(int width, int height)
{
    return findDisplayModes(width, height).bestRate;
}

int Screen::colourDepth()
{
    return screenCapability(BITSPIXEL);
}

double Screen::dpiX()
{
    return cachedCapability(cachedDpiX, LOGPIXELSX);
}

double Screen::dpiY()
{
    return cachedCapability(cachedDpiY, LOGPIXELSY);
}

bool Screen::isScreenSaverActive()
{
    BOOL active = FALSE;
    if (!SystemParametersInfoW(SPI_GETSCREENSAVEACTIVE, 0, &active, 0))
        return false;
    return active != FALSE;
}

bool Screen::isWorkstationLocked()
{
    return ::isWorkstationLocked();
}

Rect Screen::fitRect(Point anchor, const Rect& rect, const Margins& margins, int offset, bool flip)
{
    const Rect workArea = monitorRectAt(anchor, true);
    if (workArea.isEmpty())
        return rect;
    const Rect area = workArea.adjusted(margins.left, margins.top, -margins.right, -margins.bottom);
    // Margins wider than the monitor leave nothing to fit into.
    if (area.isEmpty())
        return rect;
    int x = rect.x;
    if (rect.x < area.x)
        x = area.x;
    else if (rect.right() > area.right())
        x = area.right() - rect.width;
    int y = rect.y;
    if (rect.bottom() > area.bottom())
        y = (flip ? rect.y - rect.height : area.bottom() - rect.height) + 1 - offset;
    else if (rect.y < area.y)
        y = (flip ? rect.y + rect.height : area.y) + offset;
    return Rect(x, y, rect.width, rect.height);
}

Rect Screen::alignRect(const Rect& rect, const Margins& margins, int flags)
{
    if (rect.isEmpty())
        return Rect::empty;
    const Rect workArea = monitorRectAt(rect.topLeft(), true);
    if (workArea.isEmpty())
        return rect;
    const Rect area = workArea.adjusted(margins.left, margins.top, -margins.right, -margins.bottom);
    if (area.isEmpty())
        return rect;
    return area.alignedRect(rect.width, rect.height, flags, true);
}

int monitorCount()
{
    return Screen::monitorCount();
}

int primaryMonitorIndex()
{
    return Screen::primaryMonitorIndex();
}

String monitorDeviceName(int index)
{
    return Screen::monitorDeviceName(index);
}

bool isScreenSaverRunning()
{
    return Screen::isScreenSaverActive();
}

int screenColorDepth()
{
    return Screen::colourDepth();
}

double screenDpiX()
{
    return Screen::dpiX();
}

double screenDpiY()
{
    return Screen::dpiY();
}

int isDisplayModeSupported(const Size& size)
{
    const DisplayModeSearch modes = findDisplayModes(size.width, size.height);
    if (!modes.found)
        return 0;
    // Some drivers (Wine's among them) report every mode at rate 0, "the
    // hardware's default"; such a mode exists all the same.
    return modes.bestRate > 0 ? modes.bestRate : 1;
}
