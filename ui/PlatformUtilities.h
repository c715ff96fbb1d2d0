#pragma once

#include "foundation/Array.h"
#include "foundation/Geometry.h"
#include "foundation/String.h"
#include "graphics/Bitmap.h"
#include "graphics/Region.h"
#include "graphics/Screen.h"

// Window, module and file queries of the platform that the toolkit itself
// does not need but that tools built on it do. Window and module handles
// are HWNDs and HMODULEs; points and rectangles are in screen pixels
// unless said otherwise. Failure gives the plain result: null, the empty
// Point, Margins, Region, Bitmap or String, or an empty list. UI thread
// only.

// The window under a screen point.
void* windowAtPoint(Point screenPoint);
// The child of a window under a point in its client area: the window
// itself where no child is, null outside it.
void* childWindowAt(void* window, Point clientPoint);

Point clientToScreen(void* window, Point clientPoint);
Point screenToClient(void* window, Point screenPoint);
// A point in from's client area in to's client area.
Point mapWindowPoint(void* from, void* to, Point point);

// Looked up once, at start-up.
void* desktopWindow();
void* shellWindow();
// The top-level window holding a window, and the end of its owner chain.
void* topLevelWindow(void* window);
void* rootOwnerWindow(void* window);

enum WindowStyleBits : int {
    WindowStyleMinimizeBox = 1,
    WindowStyleMaximizeBox = 2,
    WindowStyleSystemMenu = 4,
};
// WindowStyleBits of a window; 0 for a pop-up.
int windowStyleSummary(void* window);
// The window's title, at most 2047 units.
String windowText(void* window);
// The distances from the window's outer edges in to its client area.
Margins windowFrameMargins(void* window);

// The visible, enabled top-level windows of a process, front to back.
Array<void*> processWindows(unsigned long processId);
// The siblings in front of (nearest first) or behind a window; with
// overlappingOnly just those whose rectangles meet the window's.
Array<void*> windowsAbove(void* window, bool overlappingOnly);
Array<void*> windowsBelow(void* window, bool overlappingOnly);
// The part of the window's rectangle that no visible window in front of it
// covers.
Region uncoveredRegion(void* window);

// The window's own icon, else its class's icon, else the shell's icon of
// its executable. A window that does not answer within a second for one
// size is asked for the next.
Bitmap windowIcon(void* window);

// The name of a module's index-th resource of a type ("#24" or a name);
// integer identifiers read "#" + number.
String moduleResourceName(void* module, const String& type, int index);

// Strings of a file's version resource, in its first language.
struct FileVersionStrings {
    String fileDescription;
    String fileVersion;
    String productName;
    String productVersion;
    String companyName;
};
FileVersionStrings fileVersionStrings(const String& path);
