#include "ui/UIToolkitHooks.h"

#include "foundation/Hooks.h"

namespace {

UIToolkitHooks& defaultHooks()
{
    static UIToolkitHooks hooks;
    return hooks;
}

UIToolkitHooks* installedHooks = nullptr;

} // namespace

void UIToolkitHooks::hideToolTipFor(UIWidget*) {}

bool UIToolkitHooks::isToolTipShowing(const UIWidget*, const String&)
{
    return false;
}

void UIToolkitHooks::hideToolTip() {}

void UIToolkitHooks::hideToolTipUnlessFor(const UIWidget*) {}

void UIToolkitHooks::showToolTip(UIWidget*, const String&, Point, const Rect&, int, int, int, int) {}

void UIToolkitHooks::popupMenu(UIWidget*, Point) {}

bool UIToolkitHooks::isDefaultButton(const UIWidget*)
{
    return false;
}

int UIToolkitHooks::information(const String&, const String&, const String&, int, int)
{
    return 0;
}

std::unique_ptr<ProgressWindow> UIToolkitHooks::createProgressWindow()
{
    return std::make_unique<ProgressWindow>();
}

void setToolkitHooks(UIToolkitHooks* hooks)
{
    installedHooks = hooks;
}

UIToolkitHooks& toolkitHooks()
{
    return installedHooks ? *installedHooks : defaultHooks();
}
