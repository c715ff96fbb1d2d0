#pragma once

// How the widget core reaches the widgets built on top of it: one
// implementation of its hooks, installed once at start-up.

#include "ui/UIToolkitHooks.h"

class UIWidgetHooks : public UIToolkitHooks {
public:
    // A UIButton marked as its dialog's default button.
    bool isDefaultButton(const UIWidget* widget) override;
};

// Installs a process-wide UIWidgetHooks with setToolkitHooks.
void installWidgetHooks();
