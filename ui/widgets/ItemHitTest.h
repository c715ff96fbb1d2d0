#pragma once

// Hit testing over the entries a widget keeps in a list, each with a
// visible flag and a rectangle its painting wrote (menu and bar entries).

#include "foundation/Geometry.h"
#include "foundation/List.h"

// The first visible entry whose rectangle holds the point, or null.
template <typename Item>
Item* visibleItemAt(const List<Item*>& items, Point p)
{
    for (Item* item : items) {
        if (item->isVisible() && item->rect().contains(p))
            return item;
    }
    return nullptr;
}
