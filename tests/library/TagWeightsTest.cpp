#include "LibraryTestSupport.h"
#include "tests/support/RowTable.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

namespace {

struct WeightsFixture : LibraryFixture {
    TaggedItem* item() { return LibraryFixture::item(missingPath(std::to_wstring(model.itemCount()))); }
    Tag* tag(std::int64_t usage, std::initializer_list<TaggedItem*> items = {})
    {
        return LibraryFixture::tag(L"t", usage, items);
    }
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
        for (int figure : row.figures) {
            Tag* made = tag(byUsage ? figure : 0);
            for (int n = byUsage ? 0 : figure; n > 0; --n)
                Tag::linkItem(made, item());
        }
        model.recomputeTagUsage();
        for (int i = 0; i < model.tagCount(); ++i) {
            EXPECT_FLOAT_EQ(model.tagWeight(model.tags()[i]), row.weights[static_cast<std::size_t>(i)]);
            EXPECT_FLOAT_EQ(model.tagFontSize(model.tags()[i]), row.sizes[static_cast<std::size_t>(i)]);
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
    EXPECT_EQ(model.tagUsagePercent(top), 0.0f) << "a total of 0 gives no share";
    model.recomputeTagUsage();
    stale->setUsage(40);
    negative->setUsage(-3);
    EXPECT_EQ(std::vector<float>({model.tagWeight(stale), model.tagWeight(negative)}), std::vector<float>({1, 0}));
    EXPECT_EQ(model.tagFontSize(stale), model.tagFontSize(top));
    EXPECT_EQ(model.tagFontSize(negative), 12.0f);
}

TEST_F(WeightsFixture, RelatedTagsOfItemsWithAllOrAnySelectedTags)
{
    TaggedItem *i1 = item(), *i2 = item(), *i3 = item(), *i4 = item();
    Tag *a = tag(0, {i1, i2, i4}), *b = tag(0, {i1, i3, i4}), *x = tag(0, {i1, i4}), *y = tag(0, {i2});
    Tag *z = tag(0, {i3}), *hidden = tag(0, {i4}), *w = tag(0, {i4});
    hidden->setFlag(Tag::Shown, false);
    PointerArray<Tag*> selected, all, any;
    selected.append(a);
    selected.append(b);
    model.relatedTags(selected, all);
    EXPECT_EQ(vectorOf(all), (std::vector<Tag*>{x, w}));
    model.setCollectMode(1);
    any.append(y);
    model.relatedTags(selected, any);
    EXPECT_EQ(vectorOf(any), (std::vector<Tag*>{y, x, z, w}));
}

} // namespace
