// Finding and merging duplicate tags (names equal ignoring case) and
// duplicate items (the same path ignoring case; a shared path hash alone
// only makes two items candidates).
#include "library/LibraryModel.h"

#include "library/WrappingAdd.h"

#include <algorithm>
#include <string>
#include <unordered_map>
#include <unordered_set>
#include <vector>

namespace {

// Names equal ignoring case exactly when their lower-cased forms are equal.
std::wstring lowerName(const String& name)
{
    return std::wstring(name.toLower().view());
}

template <typename T>
DuplicateGroupList<T> groupsWithOthers(const std::vector<DuplicateGroup<T>>& classes)
{
    DuplicateGroupList<T> groups;
    for (const DuplicateGroup<T>& group : classes) {
        if (!group.others.isEmpty())
            groups.append(group);
    }
    return groups;
}

// Sorts in three counting passes of 11 bits each: linear, and faster
// than comparisons on the large arrays of hashes.
void radixSort(std::vector<std::uint32_t>& values)
{
    constexpr std::uint32_t digits = 1u << 11;
    std::vector<std::uint32_t> buffer(values.size());
    for (int shift : {0, 11, 22}) {
        std::vector<std::size_t> starts(digits + 1, 0);
        for (std::uint32_t v : values)
            ++starts[((v >> shift) & (digits - 1)) + 1];
        for (std::size_t d = 1; d <= digits; ++d)
            starts[d] += starts[d - 1];
        for (std::uint32_t v : values)
            buffer[starts[(v >> shift) & (digits - 1)]++] = v;
        values.swap(buffer);
    }
}

// The hashes that more than one item has, sorted. Sorting the hashes
// apart from the items keeps the work in the cache; an item whose hash no
// other item has can have no duplicates.
std::vector<std::uint32_t> sharedHashes(const PointerArray<TaggedItem*>& items)
{
    std::vector<std::uint32_t> hashes;
    hashes.reserve(static_cast<std::size_t>(items.count()));
    for (const TaggedItem* item : items)
        hashes.push_back(item->pathHash());
    radixSort(hashes);
    std::vector<std::uint32_t> shared;
    for (auto run = hashes.begin(); run != hashes.end();) {
        auto end = std::next(run);
        while (end != hashes.end() && *end == *run)
            ++end;
        if (end - run > 1)
            shared.push_back(*run);
        run = end;
    }
    return shared;
}

bool hasFirstWithPath(const std::unordered_multimap<std::uint32_t, TaggedItem*>& firsts, const TaggedItem& item)
{
    const auto range = firsts.equal_range(item.pathHash());
    return std::any_of(range.first, range.second, [&item](const auto& entry) { return entry.second->samePath(item); });
}

// A null registration date is unknown: it never replaces a known one.
bool isEarlierDate(const DateTime& date, const DateTime& than)
{
    if (date.isNull())
        return false;
    return than.isNull() || date < than;
}

void moveTagsToItem(const TaggedItem* from, TaggedItem* to)
{
    for (Tag* tag : from->tags()) {
        if (!to->hasTag(tag))
            Tag::linkItem(tag, to);
    }
}

} // namespace

TagGroups LibraryModel::findDuplicateTags() const
{
    std::unordered_map<std::wstring, std::size_t> classOfName;
    std::vector<DuplicateGroup<Tag>> classes;
    for (Tag* tag : m_tags) {
        const auto [entry, isNew] = classOfName.try_emplace(lowerName(tag->name()), classes.size());
        if (isNew)
            classes.push_back({tag, {}});
        else
            classes[entry->second].others.append(tag);
    }
    return groupsWithOthers(classes);
}

int LibraryModel::duplicateTagCount() const
{
    return findDuplicateTags().recordCount();
}

// The survivor takes each other tag's usage and items, each item once.
int LibraryModel::mergeDuplicateTags()
{
    const TagGroups groups = findDuplicateTags();
    if (groups.isEmpty())
        return 0;
    std::unordered_set<const Tag*> merged;
    for (const DuplicateGroup<Tag>& group : groups) {
        Tag* survivor = group.first;
        std::unordered_set<const TaggedItem*> survivorItems(survivor->items().begin(), survivor->items().end());
        for (Tag* other : group.others) {
            survivor->setUsage(wrappingAdd(survivor->usage(), other->usage()));
            for (TaggedItem* item : other->items()) {
                if (survivorItems.insert(item).second)
                    Tag::linkItem(survivor, item);
            }
            unlinkTagItems(other, false);
            merged.insert(other);
        }
    }
    m_tags.removeIf([&merged](const Tag* tag) { return merged.count(tag) != 0; });
    for (const Tag* tag : merged)
        delete tag;
    recomputeTagUsage();
    return static_cast<int>(merged.size());
}

ItemGroups LibraryModel::findDuplicateItems(const PointerArray<TaggedItem*>* items) const
{
    if (items)
        return findDuplicatesOf(*items);
    // The classes of the candidates, per hash, each confirmed by path, in
    // the order of their first items.
    const std::vector<std::uint32_t> shared = sharedHashes(m_items);
    if (shared.empty())
        return {};
    std::unordered_map<std::uint32_t, std::vector<std::size_t>> classesOfHash;
    std::vector<DuplicateGroup<TaggedItem>> classes;
    for (TaggedItem* item : m_items) {
        if (!std::binary_search(shared.begin(), shared.end(), item->pathHash()))
            continue;
        std::vector<std::size_t>& sameHash = classesOfHash[item->pathHash()];
        const auto match = std::find_if(sameHash.begin(), sameHash.end(),
                                        [&](std::size_t c) { return classes[c].first->samePath(*item); });
        if (match != sameHash.end()) {
            classes[*match].others.append(item);
            continue;
        }
        sameHash.push_back(classes.size());
        classes.push_back({item, {}});
    }
    return groupsWithOthers(classes);
}

ItemGroups LibraryModel::findDuplicatesOf(const PointerArray<TaggedItem*>& items) const
{
    ItemGroups groups;
    std::unordered_multimap<std::uint32_t, TaggedItem*> firsts;
    for (TaggedItem* item : items) {
        if (!item || hasFirstWithPath(firsts, *item))
            continue;
        PointerArray<TaggedItem*> others = otherItemsWithPath(*item);
        if (others.isEmpty())
            continue;
        firsts.emplace(item->pathHash(), item);
        groups.append({item, others});
    }
    return groups;
}

// The model items with the item's path other than itself, in model order.
PointerArray<TaggedItem*> LibraryModel::otherItemsWithPath(const TaggedItem& item) const
{
    std::vector<TaggedItem*> found;
    forEachItemWithHash(item.pathHash(), [&](TaggedItem* candidate) {
        if (candidate != &item && candidate->samePath(item))
            found.push_back(candidate);
    });
    std::sort(found.begin(), found.end(),
              [](const TaggedItem* a, const TaggedItem* b) { return a->m_sequence < b->m_sequence; });
    PointerArray<TaggedItem*> others;
    others.reserve(static_cast<int>(found.size()));
    for (TaggedItem* other : found)
        others.append(other);
    return others;
}

int LibraryModel::duplicateItemCount() const
{
    return findDuplicateItems().recordCount();
}

// Each survivor takes the tags of its duplicates; their usages and dates
// go with them. A survivor the model does not own would be left holding
// the model's tags, so its group is passed over.
int LibraryModel::removeDuplicateItems(const PointerArray<TaggedItem*>* items)
{
    PointerArray<TaggedItem*> removed;
    for (const DuplicateGroup<TaggedItem>& group : findDuplicateItems(items)) {
        if (group.first->m_model != this)
            continue;
        for (TaggedItem* other : group.others) {
            moveTagsToItem(other, group.first);
            removed.append(other);
        }
    }
    deleteItems(removed, true);
    return removed.count();
}

// The item takes the usages, tags and earliest registration date of the
// other items with its path.
int LibraryModel::mergeItemDuplicates(TaggedItem* item)
{
    if (!item || item->m_model != this)
        return 0;
    const PointerArray<TaggedItem*> others = otherItemsWithPath(*item);
    if (others.isEmpty())
        return 0;
    for (TaggedItem* other : others) {
        item->setUsage(wrappingAdd(item->usage(), other->usage()));
        if (isEarlierDate(other->date(), item->date()))
            item->setDate(other->date());
        moveTagsToItem(other, item);
    }
    deleteItems(others, false);
    recomputeItemUsage();
    return others.count();
}
