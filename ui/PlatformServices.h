#pragma once

#include "foundation/String.h"
#include "foundation/StringList.h"
#include "graphics/Bitmap.h"

// Thin, stateless calls into the platform through which the toolkit and the
// application read system settings, get shell icons and thumbnails, play
// notification sounds, bring windows forward and reach functions that only
// newer versions of Windows have. Every operation reports failure by its
// plain result: false, 0, an empty Bitmap or String, or a null handle; a
// function the running Windows lacks gives the "off" result. Window handles
// are HWNDs. UI thread only.

// System settings, each read fresh.
bool snapToDefaultButton();
bool isClearTypeEnabled();
bool isDropShadowEnabled();
bool isCursorShadowEnabled();
int wheelScrollLines();
// Milliseconds before a sub-menu opens.
int menuShowDelay();

// Tool-tip timing, in milliseconds.
constexpr int toolTipShowDelay = 800;
constexpr int toolTipHideDelay = 4500;
// A tip asked for again within this time shows at once.
constexpr int toolTipQuickReshowTime = 1000;

// Whether the desktop composes windows (Windows 6 and later).
bool isCompositionEnabled();
// Lets the message reach the window past the message filter of newer
// Windows (6.1 and later), so that the taskbar's restart message reaches
// the hidden window of the notification icon.
bool changeWindowMessageFilter(void* window, unsigned int message);
// Explorer's switch for showing hidden files.
bool showHiddenFiles();

// Whether a screen saver and monitor power-off may interrupt the program;
// both start allowed. The window procedure consumes the system commands
// that start them while they are not.
bool screenSaverAllowed();
void setScreenSaverAllowed(bool allowed);
bool monitorPowerOffAllowed();
void setMonitorPowerOffAllowed(bool allowed);

// 16, 32 and 48 pixels, and 256 from Windows 6 on.
bool isSupportedIconSize(int size);
// The shell's icon for a path, size x size pixels with alpha; empty for an
// unsupported size or a path the shell does not know.
Bitmap shellFileIcon(const String& path, int size);
// The same by file type alone ("txt"), without touching the disk.
Bitmap shellFileTypeIcon(const String& extension, int size);
// The icon the shell shows for the path's item, at about size x size
// pixels; empty when the shell cannot give one.
Bitmap shellPathIcon(const String& path, int size);
// The shell's thumbnail of a file, at most size x size; empty when the
// shell has none.
Bitmap shellThumbnail(const String& path, int size);

// Explorer's own context menu for the existing paths at a screen point,
// owned by the window; nothing when none can be bound (ShellContextMenu.h).
void showShellContextMenu(const StringList& paths, int x, int y, void* owner);

// Stops any sound, then plays the file without waiting for it.
void playSoundFile(const String& path);
// Stops any sound, then the system sound of a message kind: 2 and 4
// information, 3 warning, 5 error, 6 notification, others the default beep.
void playMessageSound(int kind);

// Restores an iconic window and makes it the foreground window, bending the
// foreground lock when asked to. True when it is in front afterwards.
bool bringWindowToForeground(void* window);
// The cursor shown at the mouse position (an HCURSOR), also when it belongs
// to another program's window; null while the workstation is locked or
// when it cannot be read.
void* currentCursorHandle();
// The executable of the process that owns the window; empty when unknown.
String windowProcessPath(void* window);
