#pragma once

#include "foundation/Geometry.h"
#include "foundation/String.h"
#include "graphics/Bitmap.h"

#include <cstdint>

class UIWidget;

// Window flags: given when a widget is made a window and changed later.
enum WindowFlag : std::uint32_t {
    WindowDropShadow = 1,
    WindowDesktopOwned = 2,
    WindowKeepActiveFrame = 4,
    WindowNoActivate = 8,
    WindowStaysOnTop = 16,
    WindowResizable = 32,
    WindowMinimizeButton = 64,
    WindowMaximizeButton = 128,
    WindowSystemMenu = 256,
    WindowFrameless = 512,
    // No platform effect: the window widget sees key presses before its children.
    WindowKeyPreview = 1024,
    WindowDisabled = 2048,
};

// Window state bits.
enum WindowState : std::uint32_t {
    WindowMinimized = 1,
    WindowMaximized = 2,
    // Only asked for, never reported: do not show the window.
    WindowKeepHidden = 4,
    WindowActive = 8,
};

// The platform window behind a window widget. The widget layer never calls
// the windowing system itself: it goes through these operations, and hears
// from the platform only through the events the window procedure sends.
class UINativeWindow {
public:
    explicit UINativeWindow(UIWidget* owner) : m_owner(owner) {}
    virtual ~UINativeWindow() = default;
    UINativeWindow(const UINativeWindow&) = delete;
    UINativeWindow& operator=(const UINativeWindow&) = delete;

    virtual void setWindowState(std::uint8_t state) = 0;
    virtual std::uint8_t windowState() const = 0;
    virtual void setWindowFlag(std::uint32_t flag, bool on) = 0;
    virtual void setWindowFlags(std::uint32_t mask) = 0;
    virtual std::uint32_t windowFlags() const = 0;
    virtual void setModal(bool modal) = 0;
    virtual bool isModal() const = 0;
    // Nested: modal loops block every other window, and the first block disables it.
    virtual void setBlocked(bool block) = 0;
    virtual void setOpacity(float opacity) = 0;
    virtual float opacity() const = 0;
    virtual void flash(int count) = 0;
    virtual void show(bool visible, bool maximized, bool minimized) = 0;
    virtual bool isVisible() const = 0;
    virtual void setEnabled(bool enabled) = 0;
    virtual bool isEnabled() const = 0;
    // The HWND; null before create and after destruction.
    virtual void* handle() const = 0;
    // Outer position, screen coordinates.
    virtual void move(int x, int y) = 0;
    // Outer size, frame included.
    virtual void resize(int width, int height) = 0;
    virtual Rect frameGeometry() const = 0;
    // Any pointer may be null.
    virtual void frameMargins(int* left, int* top, int* right, int* bottom) const = 0;
    virtual void setTitle(const String& title) = 0;
    virtual String title() const = 0;
    virtual void setTitleSuffix(const String& suffix) = 0;
    virtual String titleSuffix() const = 0;
    virtual void setFocus(bool focus) = 0;
    virtual bool hasFocus() const = 0;
    virtual void setLayeredImage(const Bitmap& image) = 0;
    virtual Bitmap backBuffer() const = 0;
    virtual void update() = 0;
    // Registers the window class and makes the window.
    virtual void create() = 0;
    // As when the pointer left the window: its next move counts even at the
    // point of the last one, and asks anew to hear when it leaves.
    virtual void forgetPointer() = 0;

    UIWidget* owner() const { return m_owner; }

protected:
    UIWidget* m_owner;
    std::uint32_t m_windowFlags = 0;
    float m_opacity = 1.0f;
};

// A new Win32 window for the owner widget (not yet created).
UINativeWindow* createNativeWindow(UIWidget* owner);
// Deletes the window object; nothing for null.
void destroyNativeWindow(UINativeWindow* window);
bool isNativeWindowHandle(void* handle);
