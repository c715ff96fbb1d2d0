#include "library/CloudEntry.h"

#include "foundation/String.h"
#include "library/Tag.h"

#include <algorithm>
#include <unordered_set>
#include <vector>

namespace {

bool isSelected(const CloudOrder& order, const Tag* tag)
{
    return order.selectedTags.lastIndexOf(tag) >= 0;
}

int compareSizes(float a, float b)
{
    if (a > b)
        return -1;
    if (a < b)
        return 1;
    return 0;
}

// The comparison once each entry's selection is known.
int compareKnowingSelection(std::uint32_t sortMode, const CloudEntry& a, bool aSelected, const CloudEntry& b,
                            bool bSelected)
{
    if (aSelected || bSelected) {
        if (aSelected == bSelected)
            return 0;
        return aSelected ? -1 : 1;
    }
    if (sortMode == CloudOrder::ByName)
        return compareNames(a.tag->name().c_str(), b.tag->name().c_str());
    return compareSizes(a.fontSize, b.fontSize);
}

struct SortKey {
    List<CloudEntry>::Node* node;
    bool selected;
};

} // namespace

int compareCloudEntries(const CloudOrder& order, const CloudEntry& a, const CloudEntry& b)
{
    return compareKnowingSelection(order.sortMode, a, isSelected(order, a.tag), b, isSelected(order, b.tag));
}

// A stable sort gives the one order that swapping adjacent entries only
// when they compare greater gives, with each entry's selection looked up
// once instead of at every comparison.
bool sortCloudEntries(List<CloudEntry>& list, const CloudOrder& order)
{
    if (list.count() < 2)
        return false;
    const std::unordered_set<const Tag*> selected(order.selectedTags.begin(), order.selectedTags.end());
    std::vector<SortKey> keys;
    keys.reserve(static_cast<std::size_t>(list.count()));
    for (List<CloudEntry>::Node* node = list.first(); node; node = node->next)
        keys.push_back({node, selected.count(node->value.tag) != 0});
    std::stable_sort(keys.begin(), keys.end(), [&order](const SortKey& a, const SortKey& b) {
        return compareKnowingSelection(order.sortMode, a.node->value, a.selected, b.node->value, b.selected) < 0;
    });
    std::vector<List<CloudEntry>::Node*> nodes;
    nodes.reserve(keys.size());
    for (const SortKey& key : keys)
        nodes.push_back(key.node);
    list.relink(nodes.data(), static_cast<int>(nodes.size()));
    return true;
}
