#pragma once

#include <cstdint>

// FlashProgressWindow: the small borderless window that shows how far a
// long load or save has come: a message line, a bar and its percent.
// The database drives it without an event loop running, so changes reach
// the screen at once: the message at every change, the bar and its percent
// at most every 40 ms and at 100. A close that reaches it (WM_CLOSE, the
// session's end) leaves it whole and is only noted (closeRequested), since
// what it shows goes on until its owner is done; the session is asked to
// wait for it.

#include "foundation/Hooks.h"
#include "foundation/String.h"

class UILabel;
class UIProgress;
class UIWidget;
class UIWindow;

class FlashProgressWindow : public ProgressWindow {
public:
    // Centred over the parent's window, or over the primary monitor's work
    // area without one. Hidden until show.
    explicit FlashProgressWindow(UIWidget* parent = nullptr);
    // Hides and deletes the window.
    ~FlashProgressWindow() override;

    void setMessage(const String& text) override;
    // Clamped to 0..100.
    void setPercent(int percent) override;
    // Shown on top, without taking the activation.
    void show() override;
    // Handles the closes waiting for the window first: nothing else runs
    // its messages while a wait or a load holds the thread.
    bool closeRequested() override;

    const String& message() const;
    int percent() const { return m_percent; }
    String percentText() const;
    UIWindow* window() const;

private:
    class ClosableWindow;

    void setBarPainting(bool on);

    ClosableWindow* m_window;
    UILabel* m_message;
    UIProgress* m_bar;
    UILabel* m_percentText;
    int m_percent = 0;
    // When the bar last painted (GetTickCount64).
    std::uint64_t m_paintedAt = 0;
};
