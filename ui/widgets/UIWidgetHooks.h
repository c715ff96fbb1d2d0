#pragma once

// The widget set's side of the core's seams: the core reaches the tip, the
// menu and the push button through these overrides.

#include "ui/UIToolkitHooks.h"

class UIWidgetHooks : public UIToolkitHooks {
public:
    void popupMenu(UIWidget* menu, Point globalPos) override;
    // A UIButton marked as its dialog's default button.
    bool isDefaultButton(const UIWidget* widget) override;
};

// Installs the widget set's hooks for the rest of the run.
void installWidgetHooks();
