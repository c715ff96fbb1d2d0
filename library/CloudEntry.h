#pragma once

#include "foundation/Array.h"
#include "foundation/List.h"

#include <cstdint>

class Tag;

// The tag cloud's record of one tag it lays out.
struct CloudEntry {
    Tag* tag = nullptr;
    // The tag's font size when the entry was made.
    float fontSize = 0.0f;

    bool operator==(const CloudEntry&) const = default;
};

// What the cloud's order depends on: the cloud's selected tags, which
// lead, and the model's sort mode.
struct CloudOrder {
    // Values of the model's sortMode.
    enum SortMode : std::uint32_t { Unsorted = 0, ByName = 1, BySize = 2 };

    const PointerArray<Tag*>& selectedTags;
    std::uint32_t sortMode;
};

// -1 when a comes first, 1 when b does, 0 when either order will do:
// selected tags first, then the others by name (sort mode 1, ignoring case
// and whatever precedes a name's first letter or digit) or from the
// largest font size down (any other mode).
int compareCloudEntries(const CloudOrder& order, const CloudEntry& a, const CloudEntry& b);

// Sorts by compareCloudEntries, keeping the order of entries that compare
// equal. False, with nothing changed, when there are fewer than 2 entries.
bool sortCloudEntries(List<CloudEntry>& list, const CloudOrder& order);
