#include "ui/widgets/UIWidgetHooks.h"

#include "ui/widgets/UIButton.h"
#include "ui/widgets/UIMenu.h"

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

void installWidgetHooks()
{
    static UIWidgetHooks hooks;
    setToolkitHooks(&hooks);
}
