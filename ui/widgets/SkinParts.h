#pragma once

// A widget's table from skin names to the skins of its style record, for
// its setStyleImage slot.

#include "foundation/String.h"
#include "ui/UISkin.h"

#include <span>

template <typename Style>
struct SkinPart {
    const wchar_t* name;
    UISkin Style::*skin;
};

// Copies the skin into the style's field of that name; nothing for a name
// the table does not hold.
template <typename Style>
void takeSkinPart(std::span<const SkinPart<Style>> parts, Style& style, const String& name, const UISkin& skin)
{
    for (const SkinPart<Style>& part : parts) {
        if (name == part.name) {
            style.*part.skin = skin;
            return;
        }
    }
}
