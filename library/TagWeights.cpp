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

struct UsageFigures {
    std::int64_t min = 0;
    std::int64_t max = 0;
    std::int64_t total = 0;
};

// The smallest, largest and summed usage of the records; 0 each for none.
template <typename Record>
UsageFigures usageFigures(const PointerArray<Record*>& records)
{
    UsageFigures figures;
    if (records.isEmpty())
        return figures;
    figures.min = figures.max = records[0]->usage();
    for (const Record* record : records) {
        figures.min = std::min(figures.min, record->usage());
        figures.max = std::max(figures.max, record->usage());
        figures.total = wrappingAdd(figures.total, record->usage());
    }
    return figures;
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
    const UsageFigures usage = usageFigures(m_tags);
    return {static_cast<std::uint32_t>(m_tags.count()), usage.min, usage.max, usage.total};
}

ItemStatistics LibraryModel::itemStatistics() const
{
    const UsageFigures usage = usageFigures(m_items);
    ItemStatistics statistics{static_cast<std::uint32_t>(m_items.count()), 0, 0, usage.min, usage.max, usage.total};
    if (m_items.isEmpty())
        return statistics;
    const auto [fewest, most] = std::minmax_element(m_items.begin(), m_items.end(), [](const auto* a, const auto* b) {
        return a->tagCount() < b->tagCount();
    });
    statistics.minTags = (*fewest)->tagCount();
    statistics.maxTags = (*most)->tagCount();
    return statistics;
}
