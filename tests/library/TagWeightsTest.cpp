#include "library/LibraryModel.h"

#include "tests/support/RowTable.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <vector>

namespace {

struct WeightsFixture : ::testing::Test {
    TaggedItem* item(std::int64_t usage = 0)
    {
        return model.addItem(L"C:\\items\\" + String::number(model.itemCount()) + L".txt", usage, DateTime());
    }

    // A tag with the usage and that many new items.
    Tag* tag(std::int64_t usage, int itemCount = 0)
    {
        Tag* t = model.addTagWithUsage(L"t", usage, DateTime());
        for (int i = 0; i < itemCount; ++i)
            Tag::linkItem(t, item());
        return t;
    }

    LibraryModel model;
};

struct WeightRow {
    std::uint32_t method;
    float minimum, maximum;
    std::vector<int> figures; // usages, or item counts by number of items
    std::vector<float> weights, sizes;
};

TEST_F(WeightsFixture, WeightsAndSizesAtTheThresholds)
{
    const WeightRow rows[] = {
        {CloudMetrics::ByUsage, 12, 24, {0, 0}, {0, 0}, {12, 12}},
        {CloudMetrics::ByUsage, 12, 24, {5, 11}, {5 / 11.0f, 1}, {17, 23}},
        {CloudMetrics::ByUsage, 12, 24, {6, 12}, {0.5f, 1}, {18, 24}},
        {CloudMetrics::ByUsage, 10, 20, {4, 9}, {4 / 9.0f, 1}, {14, 19}},
        {CloudMetrics::ByUsage, 10, 20, {5, 10}, {0.5f, 1}, {15, 20}},
        {CloudMetrics::ByItemCount, 12, 24, {2, 4, 8}, {0.25f, 0.5f, 1}, {15, 18, 24}},
        {CloudMetrics::ByItemCount, 12, 24, {0, 0}, {0, 0}, {12, 12}},
    };
    forEachRow(rows, [this](const WeightRow& row) {
        model.clear();
        model.setWeightMethod(row.method);
        model.setFontMinimumSize(row.minimum);
        model.setFontMaximumSize(row.maximum);
        const bool byUsage = row.method == CloudMetrics::ByUsage;
        for (int figure : row.figures)
            tag(byUsage ? figure : 0, byUsage ? 0 : figure);
        model.recomputeTagUsage();
        for (std::size_t i = 0; i < row.figures.size(); ++i) {
            EXPECT_FLOAT_EQ(model.tagWeight(model.tags()[static_cast<int>(i)]), row.weights[i]);
            EXPECT_FLOAT_EQ(model.tagFontSize(model.tags()[static_cast<int>(i)]), row.sizes[i]);
        }
        EXPECT_FLOAT_EQ(model.largestTagFontSize(), *std::max_element(row.sizes.begin(), row.sizes.end()));
        EXPECT_FLOAT_EQ(model.smallestTagFontSize(), *std::min_element(row.sizes.begin(), row.sizes.end()));
    });
    model.clear();
    EXPECT_EQ(model.largestTagFontSize(), 0.0f);
}

// A usage outside the totals (not yet recomputed, or from a damaged file)
// used to weigh above 1 or below 0 and leave the font range.
TEST_F(WeightsFixture, UsagesOutsideTheTotalsStayInTheFontRange)
{
    Tag *top = tag(4), *stale = tag(0), *negative = tag(0);
    model.recomputeTagUsage();
    stale->setUsage(40);
    negative->setUsage(-3);
    EXPECT_EQ(model.tagWeight(stale), 1.0f);
    EXPECT_EQ(model.tagWeight(negative), 0.0f);
    EXPECT_EQ(model.tagFontSize(stale), model.tagFontSize(top));
    EXPECT_EQ(model.tagFontSize(negative), 12.0f);
}

TEST_F(WeightsFixture, PercentsAndStatistics)
{
    Tag* empty = tag(0);
    EXPECT_EQ(model.tagUsagePercent(empty), 0.0f);
    EXPECT_EQ(model.tagItemPercent(empty), 0.0f);
    Tag* used = tag(3, 1);
    tag(1, 3);
    item(-2);
    model.recomputeTagUsage();
    model.setItemUsage(model.items()[0], 6);
    EXPECT_FLOAT_EQ(model.tagUsagePercent(used), 75);
    EXPECT_FLOAT_EQ(model.itemUsagePercent(model.items()[0]), 100);
    EXPECT_FLOAT_EQ(model.tagItemPercent(used), 20);
    EXPECT_FLOAT_EQ(model.tagItemPercent(used, 2), 40);
    const TagStatistics tags = model.tagStatistics();
    EXPECT_EQ(std::vector<std::int64_t>({tags.count, tags.minUsage, tags.maxUsage, tags.totalUsage}),
              std::vector<std::int64_t>({3, 0, 3, 4}));
    const ItemStatistics items = model.itemStatistics();
    EXPECT_EQ(std::vector<std::int64_t>({items.count, items.minTags, items.maxTags, items.minUsage, items.maxUsage,
                                         items.totalUsage}),
              std::vector<std::int64_t>({5, 0, 1, -2, 6, 4}));
}

// The tags of items with any (mode 1) or all (mode 0) selected tags, shown,
// not selected, each once, in the order the items and their tags give.
std::vector<Tag*> referenceRelated(const LibraryModel& model, const PointerArray<Tag*>& selected,
                                   std::vector<Tag*> out)
{
    const auto consider = [&](const TaggedItem* item) {
        for (Tag* t : item->tags()) {
            if ((t->stateFlags() & Tag::Shown) && !selected.contains(t) && std::count(out.begin(), out.end(), t) == 0)
                out.push_back(t);
        }
    };
    if (model.collectMode() == 1) {
        for (const TaggedItem* item : model.items()) {
            if (std::any_of(selected.begin(), selected.end(), [item](const Tag* t) { return item->hasTag(t); }))
                consider(item);
        }
        return out;
    }
    const Tag* fewest = selected[0];
    for (const Tag* t : selected)
        fewest = t->itemCount() < fewest->itemCount() ? t : fewest;
    for (const TaggedItem* item : fewest->items()) {
        if (item->tagCount() >= selected.count() &&
            std::all_of(selected.begin(), selected.end(), [item](const Tag* t) { return item->hasTag(t); }))
            consider(item);
    }
    return out;
}

TEST_F(WeightsFixture, RelatedTagsMatchTheItemWalksOnRandomModels)
{
    std::mt19937 random(5);
    for (int round = 0; round < 150; ++round) {
        model.clear();
        for (int i = 0; i < 8; ++i)
            tag(0)->setFlag(Tag::Shown, random() % 5 != 0);
        for (int i = 0; i < 30; ++i) {
            TaggedItem* it = item();
            for (Tag* t : model.tags()) {
                if (random() % 3 == 0)
                    Tag::linkItem(t, it);
            }
        }
        PointerArray<Tag*> selected, out;
        for (int i = 1 + static_cast<int>(random() % 3); i > 0; --i)
            selected.append(model.tags()[static_cast<int>(random() % 8)]);
        out.append(model.tags()[static_cast<int>(random() % 8)]);
        model.setCollectMode(round % 2);
        const std::vector<Tag*> expected = referenceRelated(model, selected, {out[0]});
        model.relatedTags(selected, out);
        ASSERT_EQ(std::vector<Tag*>(out.begin(), out.end()), expected) << "round " << round;
    }
}

} // namespace
