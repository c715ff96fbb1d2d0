#pragma once

#include "foundation/Array.h"
#include "foundation/Geometry.h"
#include "foundation/String.h"

// Monitors and the display: monitor rectangles in virtual-screen pixels
// (whole monitor, or with workArea true the part without task bars and
// docked tool bars), the primary monitor, resolution, colour depth and
// display modes, and the placement of pop-ups and windows on the monitors.
// Monitor handles and window handles are passed as opaque pointers
// (HMONITOR, HWND). The monitor order is the platform's enumeration order;
// the queries enumerate afresh on every call.

// Distances in from the four sides of a rectangle.
struct Margins {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
};

// Where the monitor rectangles come from: the platform unless a test
// installs a source of its own with Screen::setMonitorSource. The
// placement functions, monitorRectAt, monitorRects and primaryMonitorRect
// go through it.
class MonitorSource {
public:
    virtual ~MonitorSource() = default;
    // The empty Rect when the point is on no monitor.
    virtual Rect monitorRectAt(Point point, bool workArea) = 0;
    // Appends one rectangle per monitor, in monitor order.
    virtual bool monitorRects(bool workArea, Array<Rect>& out) = 0;
    // The empty Rect when there is no primary monitor.
    virtual Rect primaryMonitorRect(bool workArea) = 0;
};

namespace Screen {

// Null puts the platform's source back.
void setMonitorSource(MonitorSource* source);

int monitorCount();
// -1 when no monitor is marked primary.
int primaryMonitorIndex();
// Null when there are not that many monitors.
void* monitorAt(int index);
// Empty when there is no such monitor or it has no name.
String monitorDeviceName(int index);
// The empty Rect when the monitor cannot be read.
Rect monitorRect(void* monitor, bool workArea);
Rect primaryMonitorRect(bool workArea);
Rect monitorRectByIndex(int index, bool workArea);
Rect monitorRectAt(int x, int y, bool workArea);
Rect monitorRectAt(Point point, bool workArea);
// The empty Rect when the window is on no monitor.
Rect monitorRectFromWindow(void* window, bool workArea);
Rect monitorRectOfWindow(void* window, bool workArea);
// Appends every monitor's rectangle; the enumeration's success.
bool monitorRects(bool workArea, Array<Rect>& out);
Array<Rect> monitorRects(bool workArea);
// The smallest rectangle holding the origin and every whole monitor.
Rect virtualDesktopRect();

// The highest refresh rate (Hz) of the display modes of exactly that size;
// 0 when there is none or the size is not positive.
int maxRefreshRate(int width, int height);
// Bits per pixel of the screen.
int colourDepth();
// Pixels per logical inch, read once and kept for the rest of the run.
double dpiX();
double dpiY();
bool isScreenSaverActive();
// The input desktop cannot be opened: locked, or a secure desktop shown.
bool isWorkstationLocked();

// Keeps a pop-up inside the work area of the monitor under the anchor, less
// the margins. When its bottom overflows it moves up to end at the area's
// bottom, or with flip to end at its own top (above the anchor line); when
// its top lies above the area it moves down to the area's top, or with
// flip below its own bottom; offset shifts both away from the anchor. The
// rectangle comes back unchanged when there is no area to fit into.
Rect fitRect(Point anchor, const Rect& rect, const Margins& margins, int offset, bool flip);
// Places rect's size by the Alignment flags in the work area (less the
// margins) of the monitor under rect's top-left corner, overflow allowed.
// The empty Rect for a rect without extent; rect unchanged when there is
// no area.
Rect alignRect(const Rect& rect, const Margins& margins, int flags);

} // namespace Screen

// The system facade's names for the display queries.
int monitorCount();
int primaryMonitorIndex();
String monitorDeviceName(int index);
bool isScreenSaverRunning();
int screenColorDepth();
double screenDpiX();
double screenDpiY();
// Non-zero when a display mode of that size exists: its highest refresh
// rate, or 1 when its modes report only the default rate (0).
int isDisplayModeSupported(const Size& size);
