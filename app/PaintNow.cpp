#include "app/PaintNow.h"

#include "ui/UIWidget.h"

#include <windows.h>

// Widgets paint straight to their window, but Wine passes a window's
// pixels on to the display only when the thread finds its message queue
// empty. A look for a message nothing sends finds it empty and takes
// nothing away.
void showPaintedNow(const UIWidget* widget)
{
    constexpr UINT unusedMessage = WM_APP + 0x3FFF;
    const auto window = static_cast<HWND>(widget->windowHandle());
    if (!window)
        return;
    MSG none;
    PeekMessageW(&none, window, unusedMessage, unusedMessage, PM_NOREMOVE | PM_NOYIELD);
}
