#include "library/CloudEntry.h"

#include "library/Tag.h"

#include <gtest/gtest.h>

#include <memory>
#include <random>
#include <vector>

namespace {

using Entries = std::vector<CloudEntry>;

struct CloudFixture : ::testing::Test {
    Tag* tag(const wchar_t* name) { return owned.emplace_back(std::make_unique<Tag>(name)).get(); }

    Entries sorted(const Entries& entries, std::uint32_t sortMode)
    {
        List<CloudEntry> list;
        for (const CloudEntry& entry : entries)
            list.append(entry);
        EXPECT_EQ(sortCloudEntries(list, {selected, sortMode}), entries.size() >= 2);
        Entries out;
        for (const CloudEntry& entry : list)
            out.push_back(entry);
        return out;
    }

    // Swaps adjacent entries that compare greater, from the tail towards
    // the head, pass after pass: the order the sort must give.
    Entries bubbleSorted(Entries e, std::uint32_t sortMode)
    {
        for (std::size_t pass = 0; pass < e.size(); ++pass) {
            for (std::size_t later = e.size() - 1; later > pass; --later) {
                if (compareCloudEntries({selected, sortMode}, e[later - 1], e[later]) > 0)
                    std::swap(e[later - 1], e[later]);
            }
        }
        return e;
    }

    std::vector<std::unique_ptr<Tag>> owned;
    PointerArray<Tag*> selected;
};

TEST_F(CloudFixture, SelectedTagsLeadThenNamesOrSizes)
{
    Tag *work = tag(L"#work"), *apple = tag(L"apple"), *banana = tag(L"Banana"), *zebra = tag(L"zebra");
    Tag* small = tag(L"small");
    selected.append(zebra);
    selected.append(small);
    EXPECT_EQ(sorted({{work, 12}, {zebra, 12}, {apple, 12}, {banana, 12}}, CloudOrder::ByName),
              (Entries{{zebra, 12}, {apple, 12}, {banana, 12}, {work, 12}}));
    EXPECT_EQ(sorted({{apple, 14}, {banana, 20}, {work, 14}, {small, 12}}, CloudOrder::BySize),
              (Entries{{small, 12}, {banana, 20}, {apple, 14}, {work, 14}}));
}

TEST_F(CloudFixture, MatchesTheAdjacentSwapOrderOnRandomLists)
{
    std::vector<Tag*> tags;
    for (const wchar_t* name : {L"alpha", L"ALPHA", L"#alpha", L"beta", L"", L"-", L"Gamma", L"gamma2"})
        tags.push_back(tag(name));
    std::mt19937 random(9);
    for (int round = 0; round < 400; ++round) {
        selected.clear();
        for (Tag* t : tags) {
            if (random() % 4 == 0)
                selected.append(t);
        }
        Entries entries(random() % 40);
        for (CloudEntry& entry : entries)
            entry = {tags[random() % tags.size()], static_cast<float>(12 + random() % 4)};
        ASSERT_EQ(sorted(entries, round % 3), bubbleSorted(entries, round % 3)) << "round " << round;
    }
}

} // namespace
