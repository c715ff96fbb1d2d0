#pragma once

#include "ui/UINativeWindow.h"

#include <cstdint>

class DropTarget;
using IconHandle = struct HICON__*;
using WindowHandle = struct HWND__*;

// Decides whether a press completes a double click: the same button on the
// same widget, sooner than the double-click time and closer than the
// double-click box to the press before. Times are passed in, so tests need
// no clock.
class DoubleClickDetector {
public:
    DoubleClickDetector();
    DoubleClickDetector(std::uint64_t timeLimit, int boxWidth, int boxHeight);

    // The current press becomes the previous one.
    void record(const UIWidget* target, std::uint64_t time, Point point, std::uint32_t button);
    // Whether the last two recorded presses form a double click.
    bool isDoubleClick() const;
    // Both presses forgotten: a third quick press starts a new pair.
    void reset();

private:
    struct Press {
        const UIWidget* target = nullptr;
        std::uint64_t time = 0;
        Point point;
        std::uint32_t button = 0;
    };

    std::uint64_t m_timeLimit;
    int m_boxWidth;
    int m_boxHeight;
    Press m_previous;
    Press m_current;
};

// The Windows implementation of the native window: one window class per
// window, named "UI___" + the CRC-32 of the program's path + a counter, and
// the window procedure that turns platform messages into toolkit events for
// the owner, the widget under the mouse or the focus widget.
class UIWin32Window : public UINativeWindow {
public:
    explicit UIWin32Window(UIWidget* owner);
    ~UIWin32Window() override;

    void setWindowState(std::uint8_t state) override;
    std::uint8_t windowState() const override;
    void setWindowFlag(std::uint32_t flag, bool on) override;
    void setWindowFlags(std::uint32_t mask) override;
    std::uint32_t windowFlags() const override { return m_windowFlags; }
    void setModal(bool modal) override { m_modal = modal; }
    bool isModal() const override { return m_modal; }
    void setBlocked(bool block) override;
    void setOpacity(float opacity) override;
    float opacity() const override { return m_opacity; }
    void flash(int count) override;
    void show(bool visible, bool maximized, bool minimized) override;
    bool isVisible() const override;
    void setEnabled(bool enabled) override;
    bool isEnabled() const override;
    void* handle() const override { return m_window; }
    void move(int x, int y) override;
    void resize(int width, int height) override;
    Rect frameGeometry() const override;
    void frameMargins(int* left, int* top, int* right, int* bottom) const override;
    void setTitle(const String& title) override;
    String title() const override;
    void setTitleSuffix(const String& suffix) override { m_titleSuffix = suffix; }
    String titleSuffix() const override { return m_titleSuffix; }
    void setFocus(bool focus) override;
    bool hasFocus() const override;
    void setLayeredImage(const Bitmap& image) override;
    Bitmap backBuffer() const override { return m_backBuffer; }
    void update() override;
    void create() override;
    void forgetPointer() override;

    void destroy();
    const String& className() const { return m_className; }
    // Never for tool tips, balloon tips and menus.
    void setDropTarget(bool on);

    static std::intptr_t __stdcall windowProc(WindowHandle window, unsigned int message, std::uintptr_t wParam,
                                              std::intptr_t lParam);
    // "UI___" + the decimal CRC-32 of the program path's UTF-16 bytes.
    static const String& classNamePrefix();
    // The double-click detector shared by every window.
    static DoubleClickDetector& doubleClickDetector();

private:
    std::intptr_t handleMessage(unsigned int message, std::uintptr_t wParam, std::intptr_t lParam);
    bool handleMouseMessage(unsigned int message, std::uintptr_t wParam, std::intptr_t lParam);
    void buttonPress(unsigned int message, std::uintptr_t wParam, std::intptr_t lParam);
    void buttonRelease(unsigned int message, std::uintptr_t wParam, std::intptr_t lParam);
    bool mouseMove(std::uintptr_t wParam, std::intptr_t lParam);
    void trackMouseLeave();
    void wheel(bool horizontal, std::uintptr_t wParam, std::intptr_t lParam);
    UIWidget* mouseTarget(Point clientPoint, Point* targetPoint) const;
    bool acceptsMouse(const UIWidget* target) const;
    void updateCursor(Point point, UIWidget* target);
    void restoreFocus();
    void loseFocus();
    bool windowPosChanged(std::intptr_t lParam);
    void minimumTrackSize(std::intptr_t lParam);
    bool systemCommand(std::uintptr_t wParam);
    void sendClose(bool byCloseCommand);
    bool keyMessage(unsigned int message, std::uintptr_t wParam, std::intptr_t lParam);
    void privateMessage(std::intptr_t lParam);
    void releaseCapture();
    void applyFlag(std::uint32_t flag, bool on);
    void setStyleBits(int index, std::uintptr_t bits, bool on);
    void applyFrameChange(unsigned int extraFlags);
    void setIcons();
    void applyFlagsAfterCreation();

    WindowHandle m_window = nullptr;
    String m_className;
    IconHandle m_smallIcon = nullptr;
    IconHandle m_bigIcon = nullptr;
    // Set while the window takes drops.
    DropTarget* m_dropTarget = nullptr;
    UIWidget* m_focusWidget = nullptr;
    int m_focusWidgetId = 0;
    Point m_lastMousePoint{-1, -1};
    bool m_trackingMouseLeave = false;
    bool m_releasingCapture = false;
    Bitmap m_backBuffer;
    Size m_minimumSizeFor;
    Size m_minimumTrackSize;
    bool m_rememberedEnabled = true;
    int m_blockCount = 0;
    bool m_modal = false;
    String m_titleSuffix;
};
