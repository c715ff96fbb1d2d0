#pragma once

#include "foundation/Array.h"
#include "foundation/List.h"

class Tag;
class TaggedItem;

// One group of duplicates: the record that survives a merge and the others
// that merge into it, in the model's order. The records are not owned.
template <typename T>
struct DuplicateGroup {
    T* first = nullptr;
    PointerArray<T*> others;
};

// Groups of duplicate tags or items, in the model order of their first
// records. Appending copies a group's array; clearing frees the groups and
// their arrays, never the records.
template <typename T>
class DuplicateGroupList : public List<DuplicateGroup<T>> {
public:
    // The records in all groups, each group's first included.
    int recordCount() const
    {
        int count = 0;
        for (const DuplicateGroup<T>& group : *this)
            count += group.others.count() + 1;
        return count;
    }
};

using TagGroups = DuplicateGroupList<Tag>;
using ItemGroups = DuplicateGroupList<TaggedItem>;
