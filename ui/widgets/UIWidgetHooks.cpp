#include "ui/widgets/UIWidgetHooks.h"

#include "ui/widgets/UIMenu.h"

void UIWidgetHooks::popupMenu(UIWidget* menu, Point globalPos)
{
    // Context menus are set as plain widgets; only menus are ever set.
    static_cast<UIMenu*>(menu)->popup(globalPos);
}

void installWidgetHooks()
{
    static UIWidgetHooks hooks;
    setToolkitHooks(&hooks);
}
