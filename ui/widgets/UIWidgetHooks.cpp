#include "ui/widgets/UIWidgetHooks.h"

#include "ui/widgets/UIToolTip.h"

// ---- Tool tip ----

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

// ---- Installation ----

void installWidgetHooks()
{
    static UIWidgetHooks hooks;
    setToolkitHooks(&hooks);
}
