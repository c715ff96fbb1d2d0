#include "ui/widgets/UIWidgetHooks.h"

#include "ui/widgets/UIButton.h"
#include "ui/widgets/UIMenu.h"
#include "ui/widgets/UIMessageBox.h"
#include "ui/widgets/UIToolTip.h"

void UIWidgetHooks::hideToolTipFor(UIWidget* widget)
{
    UIToolTip::hideFor(widget);
}

bool UIWidgetHooks::isToolTipShowing(const UIWidget* widget, const String& text)
{
    return UIToolTip::isShowingFor(widget, text);
}

void UIWidgetHooks::hideToolTip()
{
    UIToolTip::hideCurrent();
}

void UIWidgetHooks::hideToolTipUnlessFor(const UIWidget* widget)
{
    UIToolTip::hideUnlessFor(widget);
}

void UIWidgetHooks::showToolTip(UIWidget* widget, const String& text, Point globalPos, const Rect& globalRect,
                                int showDelay, int hideDelay, int key, int maxLength)
{
    UIToolTip::showText(widget, text, globalPos, globalRect, showDelay, hideDelay, key, maxLength);
}

void UIWidgetHooks::popupMenu(UIWidget* menu, Point globalPos)
{
    // Context menus are set as plain widgets; only menus are ever set.
    static_cast<UIMenu*>(menu)->popup(globalPos);
}

bool UIWidgetHooks::isDefaultButton(const UIWidget* widget)
{
    const auto* button = dynamic_cast<const UIButton*>(widget);
    return button && button->isDefault();
}

int UIWidgetHooks::information(const String& title, const String& text, const String& informativeText, int buttons,
                               int flags)
{
    return UIMessageBox::information(nullptr, title, text, informativeText, buttons, flags);
}

void installWidgetHooks()
{
    static UIWidgetHooks hooks;
    setToolkitHooks(&hooks);
}
