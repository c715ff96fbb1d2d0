#pragma once

// TrayIcon: one icon in the taskbar's notification area, with a tip, a
// pop-up menu on a right click and balloon notifications. The mouse on the
// icon comes back as toolkit mouse events through the four signals. The
// icon talks to the shell through a hidden window of its own, which also
// puts the icon back when the taskbar restarts. UI thread only.

#include "foundation/Geometry.h"
#include "foundation/Signal.h"
#include "foundation/String.h"
#include "graphics/Bitmap.h"

class TrayIconWindow;
class UIWidget;

// Balloon icon kinds; any other value shows the balloon without an icon.
enum TrayBalloonKind : int { TrayBalloonInformation = 1, TrayBalloonWarning = 2, TrayBalloonError = 3 };

class TrayIcon {
public:
    // Adds the icon, hidden and without an image.
    TrayIcon();
    // Removes the icon; the current menu is left to its owner.
    ~TrayIcon();

    TrayIcon(const TrayIcon&) = delete;
    TrayIcon& operator=(const TrayIcon&) = delete;

    // Each carries a UIMouseEvent* at the cursor's screen position, alive
    // for the emission only.
    Signal pressed;
    Signal released;
    Signal moved;
    Signal clicked;

    void show() { setVisible(true); }
    void setVisible(bool visible);
    bool isVisible() const;

    void setIcon(const Bitmap& image);
    const Bitmap& icon() const;

    // Shown cut to 127 units.
    void setToolTip(const String& text);
    const String& toolTip() const;

    // The pop-up menu (a UIMenu without a parent widget) opened by a right
    // click, or null. An earlier menu is deleted.
    void setMenu(UIWidget* menu);
    UIWidget* menu() const { return m_menu; }

    // Title cut to 63 units, text to 255.
    void showBalloon(const String& title, const String& text, int kind);

    // The icon on the screen; all zero while hidden or when the shell
    // cannot tell.
    Rect iconRect() const;
    // The window (an HWND) that was active when the mouse last moved over
    // the icon; null before that.
    void* lastActiveWindow() const;

    // The hidden window (an HWND) and the message it gets for the mouse on
    // the icon.
    void* windowHandle() const;
    unsigned int callbackMessage() const;

    // The widget is the menu of some live tray icon: modal loops leave it usable.
    static bool isTrayMenu(const UIWidget* widget);
    // The taskbar's window exists and is visible.
    static bool isTaskbarVisible();

private:
    friend class TrayIconWindow;

    void emitMouse(Signal& signal, int type, int button);
    void popupMenu();

    TrayIconWindow* m_window;
    UIWidget* m_menu = nullptr;
};

// The shell's Shell_NotifyIconW as the tray icon calls it: a NIM_* message
// and a NOTIFYICONDATAW. Tests put a recorder in; null puts the system's
// function back.
using NotifyIconFunction = int (*)(unsigned long message, void* data);
void setNotifyIconFunction(NotifyIconFunction function);
