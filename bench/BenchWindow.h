#pragma once

// The shown window the widget benchmarks draw in, styled "white".

#include "foundation/Application.h"
#include "ui/UIManager.h"
#include "ui/UINativeWindow.h"
#include "ui/UIWidget.h"

#include <cstdio>

namespace bench {

// A shown frameless window of the size at (0, 0), once the style beside the
// build is loaded; null, with a message, when it is missing.
inline UIWidget* openBenchWindow(const Application& application, int width, int height)
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
