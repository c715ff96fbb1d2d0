#pragma once

// What the widget demos share: the widgets' hooks, the "white" style found
// beside the program, and a run that ends by deleting the demo's window.

#include "demos/DemoScript.h"
#include "foundation/Application.h"
#include "ui/UIManager.h"
#include "ui/UITheme.h"
#include "ui/UINativeWindow.h"
#include "ui/UIWindow.h"
#include "ui/widgets/UIBox.h"
#include "ui/widgets/UIWidgetHooks.h"

#include <cstdio>

// Shows the widget and hands it back, so a new child is made and shown in one line.
template <typename Widget>
Widget* shown(Widget* widget)
{
    widget->show();
    return widget;
}

// One of the loaded style's standard images (a UIStandardImage).
inline const Bitmap& standardImage(int id)
{
    return UIManager::instance()->theme()->image(id);
}

// A resizable window with the style's margins and spacing, at geometry
// (its frame's position and size).
inline UIWindow* newDemoWindow(const String& title, const Rect& geometry)
{
    auto* window = new UIWindow(nullptr, WindowSystemMenu | WindowResizable);
    window->setWindowTitle(title, true);
    window->applyLayoutMarginMetrics();
    window->applyLayoutSpacingMetrics();
    window->move(geometry.x, geometry.y);
    window->resize(geometry.width, geometry.height);
    return window;
}

// A shown row or column, spaced by the style, as wide as its parent allows
// and as tall as its contents.
inline UIBox* addBox(UIWidget* parent, bool vertical)
{
    auto* box = shown(new UIBox(parent));
    box->setLayoutVertical(vertical);
    box->applyLayoutSpacingMetrics();
    box->setSizePolicy(SizeExpanding, SizeFixed);
    return box;
}

// Builds a Demo (a class with a public window) once the style is loaded,
// points demo at it for step (run every half second with --script) and
// runs the application. 1 without the style: the widgets would not look
// as they are meant to.
template <typename Demo>
int runWidgetDemo(Demo*& demo, int argc, wchar_t** argv, TIMERPROC step)
{
    Application application(L"Kestrola Demo", L"1.0");
    installWidgetHooks();
    const bool styled = UIManager::instance()->loadStyle(L"white");
    wprintf(L"white.style %ls\n", styled ? L"loaded" : L"not found");
    if (!styled)
        return 1;
    Demo instance;
    demo = &instance;
    const int code = runDemo(application, argc, argv, step);
    delete instance.window;
    return code;
}
