#include "ui/UIPopupRegistry.h"

#include "foundation/List.h"
#include "ui/UIWidget.h"

namespace {

List<UIWidget*>& openPopups()
{
    static List<UIWidget*> popups;
    return popups;
}

bool keepsOpenFor(const UIWidget* popup, const UIWidget* window)
{
    return popup == window || popup->isAncestorOf(window);
}

} // namespace

namespace UIPopupRegistry {

void add(UIWidget* popup)
{
    if (popup && !contains(popup))
        openPopups().append(popup);
}

void remove(UIWidget* popup)
{
    openPopups().removeValue(popup);
}

bool contains(const UIWidget* popup)
{
    return openPopups().contains(const_cast<UIWidget*>(popup));
}

int count()
{
    return openPopups().count();
}

void hideAllOutside(const UIWidget* target)
{
    const UIWidget* window = target ? target->topLevelWidget() : nullptr;
    // Hiding one pop-up may hide or unregister others: work on a copy and
    // skip the ones that left meanwhile.
    const List<UIWidget*> snapshot = openPopups();
    for (UIWidget* popup : snapshot) {
        if (!contains(popup) || keepsOpenFor(popup, window))
            continue;
        if (popup->isVisible())
            popup->hide();
        remove(popup);
    }
}

} // namespace UIPopupRegistry
