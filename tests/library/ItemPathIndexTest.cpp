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

} // namespace
