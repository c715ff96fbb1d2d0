#include "library/ItemPathIndex.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <random>
#include <vector>

namespace {

// Stand-ins for items: the index only keeps and compares the pointers.
TaggedItem* fakeItem(std::size_t n)
{
    return reinterpret_cast<TaggedItem*>((n + 1) * 16);
}

std::vector<TaggedItem*> itemsUnder(const ItemPathIndex& index, std::uint32_t hash)
{
    std::vector<TaggedItem*> found;
    index.forEach(hash, [&](TaggedItem* item) { found.push_back(item); });
    std::sort(found.begin(), found.end());
    return found;
}

// Random inserts and erases over few hashes, so that many items share a
// hash and removed slots pile up between growths, against a multimap.
TEST(ItemPathIndexTest, AgreesWithAMultimapThroughInsertsErasesAndGrowth)
{
    std::mt19937 random(29);
    ItemPathIndex index;
    std::multimap<std::uint32_t, TaggedItem*> reference;
    std::size_t nextItem = 0;
    for (int step = 0; step < 20000; ++step) {
        const std::uint32_t hash = random() % 40 * 0x01000193u;
        if (random() % 3 != 0 || reference.empty()) {
            TaggedItem* item = fakeItem(nextItem++);
            index.insert(hash, item);
            reference.emplace(hash, item);
        } else {
            auto victim = reference.begin();
            std::advance(victim, random() % reference.size());
            index.erase(victim->first, victim->second);
            reference.erase(victim);
        }
        if (step % 1000 == 999) {
            index.clear();
            reference.clear();
        }
        std::vector<TaggedItem*> expected;
        const auto range = reference.equal_range(hash);
        for (auto entry = range.first; entry != range.second; ++entry)
            expected.push_back(entry->second);
        std::sort(expected.begin(), expected.end());
        ASSERT_EQ(itemsUnder(index, hash), expected) << "step " << step;
        ASSERT_EQ(index.size(), reference.size()) << "step " << step;
    }
}

TEST(ItemPathIndexTest, ErasingWhatIsNotThereChangesNothing)
{
    ItemPathIndex index;
    index.erase(7, fakeItem(0));
    index.reserve(3);
    index.insert(7, fakeItem(0));
    index.erase(7, fakeItem(1));
    index.erase(8, fakeItem(0));
    EXPECT_EQ(itemsUnder(index, 7), std::vector<TaggedItem*>{fakeItem(0)});
    EXPECT_EQ(index.size(), 1u);
}

// Erase used to match the item alone, so an item under several hashes lost
// whichever entry its probe met first.
TEST(ItemPathIndexTest, EraseTakesOnlyTheEntryUnderTheGivenHash)
{
    std::mt19937 random(3);
    std::vector<std::uint32_t> hashes(200);
    for (std::uint32_t& hash : hashes)
        hash = static_cast<std::uint32_t>(random());
    ItemPathIndex index;
    TaggedItem* item = fakeItem(0);
    for (std::uint32_t hash : hashes)
        index.insert(hash, item);
    // Last in first out, so that an entry that was pushed past another by a
    // shared first slot is taken while the other still stands before it.
    for (std::size_t left = hashes.size(); left > 0; --left) {
        index.erase(hashes[left - 1], item);
        ASSERT_TRUE(itemsUnder(index, hashes[left - 1]).empty()) << left;
        ASSERT_EQ(itemsUnder(index, hashes[0]).size(), left > 1 ? 1u : 0u) << left;
    }
}

// Growth must count removed slots too: counting live items alone lets
// removed slots fill every free one, and a probe for an absent hash never
// ends (the program then hangs here).
TEST(ItemPathIndexTest, ChurnAtASmallSizeLeavesProbesThatEnd)
{
    ItemPathIndex index;
    for (std::uint32_t hash = 1; hash <= 5000; ++hash) {
        index.insert(hash, fakeItem(hash));
        if (hash > 4)
            index.erase(hash - 4, fakeItem(hash - 4));
    }
    EXPECT_TRUE(itemsUnder(index, 0).empty());
    EXPECT_EQ(index.size(), 4u);
}

} // namespace
