#pragma once

// The widget set's side of the core's seams: the core reaches the tool tip,
// the pop-up menu and the push button, which it cannot include, through
// these overrides.

#include "ui/UIToolkitHooks.h"

class UIWidgetHooks : public UIToolkitHooks {
public:
    // Tool tip.
    void hideToolTipFor(UIWidget* widget) override;
    bool isToolTipShowing(const UIWidget* widget, const String& text) override;
    void hideToolTip() override;
    void hideToolTipUnlessFor(const UIWidget* widget) override;
    void showToolTip(UIWidget* widget, const String& text, Point globalPos, const Rect& globalRect, int showDelay,
                     int hideDelay, int key, int maxLength) override;

    // Pop-up menu.
    void popupMenu(UIWidget* menu, Point globalPos) override;

    // A UIButton marked as its dialog's default button.
    bool isDefaultButton(const UIWidget* widget) override;

    // UIMessageBox::information without a parent: the lower layers'
    // messages reach the message box through the toolkit's UiHooks.
    int information(const String& title, const String& text, const String& informativeText, int buttons,
                    int flags) override;
};

// Installs one process-wide UIWidgetHooks with setToolkitHooks.
void installWidgetHooks();
