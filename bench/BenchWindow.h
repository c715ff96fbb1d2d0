#pragma once

// The window the widget benchmarks measure in: the "white" style loaded
// from beside the build and a shown frameless window (1000 x 700 unless
// asked otherwise).

#include "foundation/Application.h"
#include "ui/UIManager.h"
#include "ui/UINativeWindow.h"
#include "ui/UIWidget.h"

#include <cstdio>

namespace bench {

// Null, with a message, when the style is missing.
inline UIWidget* openStyledWindow(const Application& application, int width = 1000, int height = 700)
{
    if (!UIManager::instance()->loadStyle(application.applicationDirectory() + L"\\..\\white.style")) {
        printf("The style white.style was not found beside the build.\n");
        return nullptr;
    }
    auto* window = new UIWidget(nullptr, WindowFrameless | WindowNoActivate);
    window->setFlag(WidgetWindow, true);
    window->setStyleName(L"BenchWindow");
    window->setLayoutEnabled(false);
    window->move(0, 0);
    window->resize(width, height);
    window->show();
    return window;
}

} // namespace bench
