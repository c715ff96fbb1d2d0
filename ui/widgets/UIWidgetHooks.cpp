#include "ui/widgets/UIWidgetHooks.h"

#include "ui/widgets/UIButton.h"

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
