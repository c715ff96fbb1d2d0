#pragma once

// What the demos share to drive themselves unattended under Xvfb, and a
// run that ends when the user has closed the last window.

#include "foundation/Application.h"
#include "foundation/Dispatcher.h"
#include "foundation/List.h"
#include "foundation/Signal.h"
#include "ui/UIEvents.h"
#include "ui/UIManager.h"
#include "ui/UIWidget.h"

#include <windows.h>

#include <cwchar>

// Posts a pointer message at p of the window's client area, with the
// buttons held (MK_ bits), as a user's mouse would.
inline void postPointer(UIWidget* window, UINT message, WPARAM buttons, Point p)
{
    PostMessageW(static_cast<HWND>(window->nativeHandle()), message, buttons, MAKELPARAM(p.x, p.y));
}

// Posts a left click at (x, y) of the window's client area, as a user would.
inline void clickAt(UIWidget* window, int x, int y)
{
    postPointer(window, WM_LBUTTONDOWN, MK_LBUTTON, Point(x, y));
    postPointer(window, WM_LBUTTONUP, 0, Point(x, y));
}

// A left-button drag from start: the press, moves by delta one step
// after another, then the button held where the last move ended until the
// release on releaseStep (steps counted from the press, which is step 0).
struct PointerDrag {
    Point start;
    Point delta;
    int moves;
    int releaseStep;
};

inline void dragStep(UIWidget* window, const PointerDrag& drag, int step)
{
    const int moved = step < drag.moves ? step : drag.moves;
    const Point p(drag.start.x + drag.delta.x * moved, drag.start.y + drag.delta.y * moved);
    if (step == 0) {
        postPointer(window, WM_MOUSEMOVE, 0, drag.start);
        postPointer(window, WM_LBUTTONDOWN, MK_LBUTTON, drag.start);
    } else if (step <= drag.moves) {
        postPointer(window, WM_MOUSEMOVE, MK_LBUTTON, p);
    } else if (step == drag.releaseStep) {
        postPointer(window, WM_LBUTTONUP, 0, p);
    }
}

// Quits the run with 0 once every window shown when it was made has been
// closed: the toolkit only destroys a closed window, and a demo with no
// window left would run on unseen. Windows opened later (dialogs, menus,
// tips) belong to one of these and do not count.
class QuitAfterLastWindow : public SignalReceiver {
public:
    QuitAfterLastWindow()
    {
        for (UIWidget* window : UIManager::instance()->windows()) {
            if (!window->isVisible())
                continue;
            m_windows.append(window);
            window->closed.connect(this, &QuitAfterLastWindow::windowClosed);
        }
    }

private:
    // Emitted while the closing window is still shown: it is the last when
    // no other one is.
    void windowClosed(UICloseEvent* event)
    {
        if (!event->isAccepted() || shownWindows() > 1)
            return;
        dispatcher()->quitAll(0);
    }

    int shownWindows() const
    {
        int shown = 0;
        for (const UIWidget* window : m_windows)
            shown += UIManager::instance()->isRegistered(window) && window->isVisible() ? 1 : 0;
        return shown;
    }

    List<UIWidget*> m_windows;
};

// Runs the application until its last window is closed; with --script,
// step runs every half second.
inline int runDemo(Application& application, int argc, wchar_t** argv, TIMERPROC step)
{
    QuitAfterLastWindow quitAfterLastWindow;
    if (argc > 1 && wcscmp(argv[1], L"--script") == 0)
        SetTimer(nullptr, 0, 500, step);
    return application.run();
}
