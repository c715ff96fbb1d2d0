#pragma once

#include "foundation/Geometry.h"
#include "foundation/String.h"

#include <memory>

class ProgressWindow;

class UIWidget;

// The widget core calls a few widget classes that are built on top of it:
// the tool tip, the pop-up menu and the push button. Those classes install
// their implementation of this interface at start-up (tests install fakes);
// until then the defaults below do nothing and answer "none".
//
// An installed implementation is not owned and must outlive its use;
// installing null puts the defaults back. UI thread only.
class UIToolkitHooks {
public:
    UIToolkitHooks() = default;
    virtual ~UIToolkitHooks() = default;
    UIToolkitHooks(const UIToolkitHooks&) = delete;
    UIToolkitHooks& operator=(const UIToolkitHooks&) = delete;

    // Tool tip: hides the tip when it belongs to the widget.
    virtual void hideToolTipFor(UIWidget* widget);
    // Tool tip: the tip shows this text for this widget now.
    virtual bool isToolTipShowing(const UIWidget* widget, const String& text);
    // Tool tip: hides whatever tip shows now.
    virtual void hideToolTip();
    // Tool tip: hides the tip when one shows for another widget.
    virtual void hideToolTipUnlessFor(const UIWidget* widget);
    virtual void showToolTip(UIWidget* widget, const String& text, Point globalPos, const Rect& globalRect,
                             int showDelay, int hideDelay, int key, int maxLength);

    // Pop-up menu: opens the menu (a UIMenu) at a screen position.
    virtual void popupMenu(UIWidget* menu, Point globalPos);

    // Push button: the default button of a dialog.
    virtual bool isDefaultButton(const UIWidget* widget);

    // Message box: a modal information box without parent, for the lower
    // layers' UiHooks::information; the code it returns (0 when none shows).
    virtual int information(const String& title, const String& text, const String& informativeText, int buttons,
                            int flags);

    // Progress window: a new, hidden one for the lower layers' long loads
    // and saves (UiHooks::createProgressWindow); one that shows nothing by
    // default. Never null.
    virtual std::unique_ptr<ProgressWindow> createProgressWindow();
};

void setToolkitHooks(UIToolkitHooks* hooks);
UIToolkitHooks& toolkitHooks();
