// The tag weights, cloud metrics, related tags and statistics of the model.
#include "library/LibraryModel.h"

#include "library/WrappingAdd.h"

#include <algorithm>
#include <unordered_set>
#include <vector>

namespace {

float percentOf(double part, double whole)
{
    return static_cast<float>(part / whole * 100.0);
}

// Membership in the selection, tested for every tag of every item looked
// at: a sorted array answers a small selection in a few comparisons.
class TagSelection {
public:
    explicit TagSelection(const PointerArray<Tag*>& tags) : m_tags(tags.begin(), tags.end())
    {
        std::sort(m_tags.begin(), m_tags.end());
    }

    bool contains(const Tag* tag) const { return std::binary_search(m_tags.begin(), m_tags.end(), tag); }

    bool containsAnyOf(const PointerArray<Tag*>& tags) const
    {
        return std::any_of(tags.begin(), tags.end(), [this](const Tag* tag) { return contains(tag); });
    }

private:
    std::vector<const Tag*> m_tags;
};

// Appends shown tags that are neither selected nor appended already.
class RelatedTagCollector {
public:
    RelatedTagCollector(const TagSelection& selection, PointerArray<Tag*>& out)
        : m_selection(selection), m_out(out), m_taken(out.begin(), out.end())
    {
    }

    void addTagsOf(const TaggedItem* item)
    {
        for (Tag* tag : item->tags()) {
            if ((tag->stateFlags() & Tag::Shown) && !m_selection.contains(tag) && m_taken.insert(tag).second)
                m_out.append(tag);
        }
    }

private:
    const TagSelection& m_selection;
    PointerArray<Tag*>& m_out;
    std::unordered_set<const Tag*> m_taken;
};

// The first of the selected tags with the fewest items.
const Tag* tagWithFewestItems(const PointerArray<Tag*>& tags)
{
    return *std::min_element(tags.begin(), tags.end(),
                             [](const Tag* a, const Tag* b) { return a->itemCount() < b->itemCount(); });
}

bool carriesAll(const TaggedItem* item, const PointerArray<Tag*>& tags)
{
    if (item->tagCount() < tags.count())
        return false;
    return std::all_of(tags.begin(), tags.end(), [item](const Tag* tag) { return item->hasTag(tag); });
}

// The font size of all tags that pick prefers; 0 with no tags.
template <typename Pick>
float pickFontSize(const LibraryModel& model, Pick pick)
{
    if (model.tags().isEmpty())
        return 0.0f;
    const CloudMetrics metrics(model);
    float picked = metrics.fontSize(model.tags()[0]);
    for (const Tag* tag : model.tags())
        picked = pick(picked, metrics.fontSize(tag));
    return picked;
}

} // namespace

float LibraryModel::tagWeight(const Tag* tag) const
{
    return CloudMetrics(*this).weight(tag);
}

float LibraryModel::tagFontSize(const Tag* tag) const
{
    return CloudMetrics(*this).fontSize(tag);
}

float LibraryModel::largestTagFontSize() const
{
    return pickFontSize(*this, [](float a, float b) { return std::max(a, b); });
}

float LibraryModel::smallestTagFontSize() const
{
    return pickFontSize(*this, [](float a, float b) { return std::min(a, b); });
}

float LibraryModel::tagUsagePercent(const Tag* tag) const
{
    if (m_totalTagUsage <= 0)
        return 0.0f;
    return percentOf(static_cast<double>(tag->usage()), static_cast<double>(m_totalTagUsage));
}

float LibraryModel::itemUsagePercent(const TaggedItem* item) const
{
    if (m_totalItemUsage <= 0)
        return 0.0f;
    return percentOf(static_cast<double>(item->usage()), static_cast<double>(m_totalItemUsage));
}

float LibraryModel::tagItemPercent(const Tag* tag, std::optional<int> count) const
{
    if (m_items.isEmpty())
        return 0.0f;
    return percentOf(count.value_or(tag->itemCount()), m_items.count());
}

void LibraryModel::relatedTags(const PointerArray<Tag*>& selected, PointerArray<Tag*>& out) const
{
    if (selected.isEmpty())
        return;
    const TagSelection selection(selected);
    RelatedTagCollector collector(selection, out);
    if (m_collectMode == 1) {
        for (const TaggedItem* item : m_items) {
            if (selection.containsAnyOf(item->tags()))
                collector.addTagsOf(item);
        }
        return;
    }
    for (const TaggedItem* item : tagWithFewestItems(selected)->items()) {
        if (carriesAll(item, selected))
            collector.addTagsOf(item);
    }
}

TagStatistics LibraryModel::tagStatistics() const
{
    TagStatistics statistics;
    statistics.count = static_cast<std::uint32_t>(m_tags.count());
    if (m_tags.isEmpty())
        return statistics;
    statistics.minUsage = statistics.maxUsage = m_tags[0]->usage();
    for (const Tag* tag : m_tags) {
        statistics.minUsage = std::min(statistics.minUsage, tag->usage());
        statistics.maxUsage = std::max(statistics.maxUsage, tag->usage());
        statistics.totalUsage = wrappingAdd(statistics.totalUsage, tag->usage());
    }
    return statistics;
}

ItemStatistics LibraryModel::itemStatistics() const
{
    ItemStatistics statistics;
    statistics.count = static_cast<std::uint32_t>(m_items.count());
    if (m_items.isEmpty())
        return statistics;
    statistics.minTags = statistics.maxTags = m_items[0]->tagCount();
    statistics.minUsage = statistics.maxUsage = m_items[0]->usage();
    for (const TaggedItem* item : m_items) {
        statistics.minTags = std::min(statistics.minTags, item->tagCount());
        statistics.maxTags = std::max(statistics.maxTags, item->tagCount());
        statistics.minUsage = std::min(statistics.minUsage, item->usage());
        statistics.maxUsage = std::max(statistics.maxUsage, item->usage());
        statistics.totalUsage = wrappingAdd(statistics.totalUsage, item->usage());
    }
    return statistics;
}
