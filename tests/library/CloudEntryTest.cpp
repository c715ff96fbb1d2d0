#include "library/CloudEntry.h"

#include "library/Tag.h"
#include "tests/support/RowTable.h"

#include <gtest/gtest.h>

#include <memory>
#include <random>
#include <utility>
#include <vector>

namespace {

struct CloudFixture : ::testing::Test {
    Tag* tag(const wchar_t* name)
    {
        owned.push_back(std::make_unique<Tag>(name));
        return owned.back().get();
    }

    static std::vector<std::pair<Tag*, float>> sorted(std::vector<CloudEntry> entries, const CloudOrder& order)
    {
        List<CloudEntry> list;
        for (const CloudEntry& entry : entries)
            list.append(entry);
        EXPECT_EQ(sortCloudEntries(list, order), entries.size() >= 2);
        std::vector<std::pair<Tag*, float>> out;
        for (const CloudEntry& entry : list)
            out.emplace_back(entry.tag, entry.fontSize);
        return out;
    }

    // Swaps adjacent entries from the tail towards the head, pass after
    // pass, when they compare greater: the order the sort must match.
    static std::vector<std::pair<Tag*, float>> bubbleSorted(std::vector<CloudEntry> e, const CloudOrder& order)
    {
        const int n = static_cast<int>(e.size());
        for (int pass = 0; pass < n; ++pass) {
            for (int later = n - 1; later > pass; --later) {
                if (compareCloudEntries(order, e[later - 1], e[later]) > 0)
                    std::swap(e[later - 1], e[later]);
            }
        }
        std::vector<std::pair<Tag*, float>> out;
        for (const CloudEntry& entry : e)
            out.emplace_back(entry.tag, entry.fontSize);
        return out;
    }

    std::vector<std::unique_ptr<Tag>> owned;
    PointerArray<Tag*> selected;
};

TEST_F(CloudFixture, ByNameSkipsLeadingMarksAndPutsSelectedFirst)
{
    Tag *work = tag(L"#work"), *apple = tag(L"apple"), *banana = tag(L"Banana"), *zebra = tag(L"zebra");
    selected.append(zebra);
    const auto order = sorted({{work, 12}, {zebra, 12}, {apple, 12}, {banana, 12}}, {selected, CloudOrder::ByName});
    EXPECT_EQ(order, (std::vector<std::pair<Tag*, float>>{{zebra, 12}, {apple, 12}, {banana, 12}, {work, 12}}));
}

TEST_F(CloudFixture, BySizePutsSmallSelectedFirstAndKeepsEqualSizesInOrder)
{
    Tag *a = tag(L"a"), *b = tag(L"b"), *c = tag(L"c"), *small = tag(L"small");
    selected.append(small);
    const auto order = sorted({{a, 14}, {b, 20}, {c, 14}, {small, 12}}, {selected, CloudOrder::BySize});
    EXPECT_EQ(order, (std::vector<std::pair<Tag*, float>>{{small, 12}, {b, 20}, {a, 14}, {c, 14}}));
}

TEST_F(CloudFixture, FewerThanTwoEntriesAreLeftAlone)
{
    Tag* only = tag(L"only");
    EXPECT_EQ(sorted({}, {selected, CloudOrder::ByName}).size(), 0u);
    EXPECT_EQ(sorted({{only, 3}}, {selected, CloudOrder::BySize}), (std::vector<std::pair<Tag*, float>>{{only, 3}}));
}

TEST_F(CloudFixture, MatchesTheAdjacentSwapOrderOnRandomLists)
{
    const wchar_t* names[] = {L"alpha", L"ALPHA", L"#alpha", L"beta", L"", L"-", L"Gamma", L"gamma2"};
    std::vector<Tag*> tags;
    for (const wchar_t* name : names)
        tags.push_back(tag(name));
    std::mt19937 random(9);
    for (int round = 0; round < 400; ++round) {
        selected.clear();
        for (Tag* t : tags) {
            if (random() % 4 == 0)
                selected.append(t);
        }
        std::vector<CloudEntry> entries(random() % 40);
        for (CloudEntry& entry : entries)
            entry = {tags[random() % tags.size()], static_cast<float>(12 + random() % 4)};
        const CloudOrder order{selected, static_cast<std::uint32_t>(round % 3)};
        ASSERT_EQ(sorted(entries, order), bubbleSorted(entries, order)) << "round " << round;
    }
}

} // namespace
