#include "LibraryTestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <utility>
#include <vector>

namespace {

template <typename T>
using Groups = std::vector<std::pair<T*, std::vector<T*>>>;

template <typename T>
Groups<T> groupsOf(const DuplicateGroupList<T>& list)
{
    Groups<T> out;
    for (const DuplicateGroup<T>& group : list)
        out.emplace_back(group.first, vectorOf(group.others));
    return out;
}

using DuplicatesFixture = LibraryFixture;

TEST_F(DuplicatesFixture, TagsDifferingInCaseMergeIntoTheFirstWithTheUnionOfItems)
{
    TaggedItem *a = item(L"C:\\a.txt"), *b = item(L"C:\\b.txt"), *c = item(L"C:\\c.txt"), *d = item(L"C:\\d.txt");
    Tag *jazz = tag(L"Jazz", 9, {a}), *music = tag(L"Music", 1, {a, b});
    Tag *lower = tag(L"music", 2, {b, c}), *upper = tag(L"MUSIC", 3, {d});
    model.recomputeTagUsage();
    EXPECT_EQ(groupsOf(model.findDuplicateTags()), (Groups<Tag>{{music, {lower, upper}}}));
    EXPECT_EQ(model.duplicateTagCount(), 3);
    EXPECT_EQ(model.mergeDuplicateTags(), 2);
    EXPECT_EQ(vectorOf(model.tags()), (std::vector<Tag*>{jazz, music}));
    EXPECT_EQ(vectorOf(music->items()), (std::vector<TaggedItem*>{a, b, c, d}));
    expectLinksTwoSided(model);
    EXPECT_EQ(music->usage(), 6);
    // The usage totals used to stay as they were before the merge.
    EXPECT_EQ(model.largestTagUsage(), 9);
    EXPECT_EQ(model.mergeDuplicateTags(), 0);
}

// Two different paths with the same CRC-32 used to count as one item.
TEST_F(DuplicatesFixture, PathsWithTheSameHashStayTwoItems)
{
    TaggedItem *first = item(L"c:\\data\\ammwyl26.txt"), *second = item(L"C:\\Data\\I7Z3WVUVN0.txt");
    ASSERT_EQ(first->pathHash(), second->pathHash());
    PointerArray<TaggedItem*> edited;
    edited.append(second);
    EXPECT_TRUE(model.findDuplicateItems().isEmpty());
    EXPECT_TRUE(model.findDuplicateItems(&edited).isEmpty());
    EXPECT_EQ(model.removeDuplicateItems() + model.mergeItemDuplicates(first), 0);
    EXPECT_EQ(model.itemCount(), 2);
}

TEST_F(DuplicatesFixture, RemovingKeepsTheFirstItemOrTheEditedOne)
{
    for (const bool fromEdited : {false, true}) {
        model.clear();
        TaggedItem *older = item(L"C:\\a.txt", 4), *newer = item(L"c:\\A.TXT", 1);
        Tag *red = tag(L"red", 0, {older}), *blue = tag(L"blue", 0, {newer});
        model.recomputeItemUsage();
        PointerArray<TaggedItem*> edited;
        edited.append(newer);
        EXPECT_EQ(model.removeDuplicateItems(fromEdited ? &edited : nullptr), 1);
        TaggedItem* kept = fromEdited ? newer : older;
        EXPECT_EQ(vectorOf(model.items()), std::vector<TaggedItem*>{kept});
        EXPECT_EQ(vectorOf(kept->tags()), fromEdited ? (std::vector<Tag*>{blue, red}) : (std::vector<Tag*>{red, blue}));
        EXPECT_EQ(model.totalItemUsage(), kept->usage());
        expectLinksTwoSided(model);
    }
}

TEST_F(DuplicatesFixture, MergingAnItemTakesUsagesTagsAndTheEarliestKnownDate)
{
    TaggedItem* kept = item(L"C:\\a.txt", 2, DateTime(2020, 5, 1));
    Tag* red = tag(L"red", 0, {item(L"c:\\a.TXT", 3, DateTime(2019, 1, 1))});
    // A null date is unknown; it used to replace every real one as "earliest".
    item(L"C:\\A.txt", 1, DateTime());
    EXPECT_EQ(model.mergeItemDuplicates(kept), 2);
    EXPECT_EQ(vectorOf(model.items()), std::vector<TaggedItem*>{kept});
    EXPECT_EQ(std::vector<std::int64_t>({kept->usage(), model.largestItemUsage()}), std::vector<std::int64_t>({6, 6}));
    EXPECT_EQ(kept->date(), DateTime(2019, 1, 1));
    EXPECT_EQ(vectorOf(red->items()), std::vector<TaggedItem*>{kept});
}

// The item finders as quadratic walks: each subject not the same as the
// first of a group so far collects the other items that are the same,
// from all positions or only from later ones.
Groups<TaggedItem> walk(const std::vector<TaggedItem*>& subjects, const PointerArray<TaggedItem*>& all, bool later)
{
    const auto same = [](const TaggedItem* a, const TaggedItem* b) {
        return a->pathHash() == b->pathHash() && String::equalsIgnoreCase(a->path(), b->path());
    };
    Groups<TaggedItem> groups;
    for (TaggedItem* x : subjects) {
        if (std::any_of(groups.begin(), groups.end(), [&](const auto& g) { return same(g.first, x); }))
            continue;
        std::vector<TaggedItem*> found;
        for (int i = later ? all.indexOf(x) + 1 : 0; i < all.count(); ++i) {
            if (all[i] != x && same(all[i], x))
                found.push_back(all[i]);
        }
        if (!found.empty())
            groups.emplace_back(x, found);
    }
    return groups;
}

TEST_F(DuplicatesFixture, ItemFindersMatchTheQuadraticWalksOnRandomModels)
{
    const wchar_t* paths[] = {L"C:\\a.txt", L"c:\\A.TXT", L"Z:\\kestrola-missing\\b", L"z:\\KESTROLA-MISSING\\B",
                              L"c:\\data\\ammwyl26.txt", L"c:\\data\\i7z3wvuvn0.txt", L"C:\\\u00c9.txt", L"c:\\\u00e9.TXT"};
    std::mt19937 random(3);
    for (int round = 0; round < 200; ++round) {
        model.clear();
        for (int i = static_cast<int>(random() % 14); i > 0; --i)
            item(paths[random() % std::size(paths)]);
        std::vector<TaggedItem*> edited = vectorOf(model.items());
        std::shuffle(edited.begin(), edited.end(), random);
        edited.resize(edited.size() / 2);
        PointerArray<TaggedItem*> editedArray;
        for (TaggedItem* x : edited)
            editedArray.append(x);
        ASSERT_EQ(groupsOf(model.findDuplicateItems()), walk(vectorOf(model.items()), model.items(), true));
        ASSERT_EQ(groupsOf(model.findDuplicateItems(&editedArray)), walk(edited, model.items(), false));
    }
}

} // namespace
