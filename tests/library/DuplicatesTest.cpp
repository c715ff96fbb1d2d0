#include "library/LibraryModel.h"

#include "tests/library/LibraryTestSupport.h"

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
        out.emplace_back(group.first, std::vector<T*>(group.others.begin(), group.others.end()));
    return out;
}

template <typename T>
std::vector<T*> vectorOf(const PointerArray<T*>& array)
{
    return std::vector<T*>(array.begin(), array.end());
}

struct DuplicatesFixture : ::testing::Test {
    TaggedItem* item(const wchar_t* path, std::int64_t usage = 0, const DateTime& date = DateTime())
    {
        return model.addItem(path, usage, date);
    }

    Tag* tag(const wchar_t* name, std::int64_t usage, std::vector<TaggedItem*> items)
    {
        Tag* t = model.addTagWithUsage(name, usage, DateTime());
        for (TaggedItem* i : items)
            Tag::linkItem(t, i);
        return t;
    }

    LibraryModel model;
};

TEST_F(DuplicatesFixture, TagsDifferingInCaseMergeIntoTheFirstWithTheUnionOfItems)
{
    TaggedItem *a = item(L"C:\\a.txt"), *b = item(L"C:\\b.txt"), *c = item(L"C:\\c.txt"), *d = item(L"C:\\d.txt");
    Tag* jazz = tag(L"Jazz", 9, {a});
    Tag* music = tag(L"Music", 1, {a, b});
    Tag* lower = tag(L"music", 2, {b, c});
    Tag* upper = tag(L"MUSIC", 3, {d});
    model.recomputeTagUsage();
    EXPECT_EQ(groupsOf(model.findDuplicateTags()), (Groups<Tag>{{music, {lower, upper}}}));
    EXPECT_EQ(model.duplicateTagCount(), 3);
    EXPECT_EQ(model.mergeDuplicateTags(), 2);
    EXPECT_EQ(vectorOf(model.tags()), (std::vector<Tag*>{jazz, music}));
    EXPECT_EQ(music->usage(), 6);
    EXPECT_EQ(vectorOf(music->items()), (std::vector<TaggedItem*>{a, b, c, d}));
    EXPECT_EQ(vectorOf(b->tags()), (std::vector<Tag*>{music}));
    EXPECT_EQ(vectorOf(a->tags()), (std::vector<Tag*>{jazz, music}));
    expectLinksTwoSided(model);
    // The merged usage is the largest now; it used to stay at the old total.
    EXPECT_EQ(model.largestTagUsage(), 9);
    EXPECT_EQ(model.mergeDuplicateTags(), 0);
}

// Two different paths with the same CRC-32 used to count as one item.
TEST_F(DuplicatesFixture, PathsWithTheSameHashStayTwoItems)
{
    TaggedItem* first = item(L"c:\\data\\ammwyl26.txt");
    TaggedItem* second = item(L"C:\\Data\\I7Z3WVUVN0.txt");
    ASSERT_EQ(first->pathHash(), second->pathHash());
    PointerArray<TaggedItem*> edited;
    edited.append(second);
    EXPECT_TRUE(model.findDuplicateItems().isEmpty());
    EXPECT_TRUE(model.findDuplicateItems(&edited).isEmpty());
    EXPECT_EQ(model.removeDuplicateItems(), 0);
    EXPECT_EQ(model.mergeItemDuplicates(first), 0);
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
        EXPECT_EQ(vectorOf(red->items()), std::vector<TaggedItem*>{kept});
        EXPECT_EQ(model.totalItemUsage(), kept->usage());
        expectLinksTwoSided(model);
    }
}

TEST_F(DuplicatesFixture, MergingAnItemTakesUsagesTagsAndTheEarliestKnownDate)
{
    TaggedItem* kept = item(L"C:\\a.txt", 2, DateTime(2020, 5, 1));
    TaggedItem* older = item(L"c:\\a.TXT", 3, DateTime(2019, 1, 1));
    // A null date is unknown; it used to replace every real one as "earliest".
    item(L"C:\\A.txt", 1, DateTime());
    Tag* red = tag(L"red", 0, {older});
    EXPECT_EQ(model.mergeItemDuplicates(kept), 2);
    EXPECT_EQ(vectorOf(model.items()), std::vector<TaggedItem*>{kept});
    EXPECT_EQ(kept->usage(), 6);
    EXPECT_EQ(kept->date(), DateTime(2019, 1, 1));
    EXPECT_EQ(vectorOf(red->items()), std::vector<TaggedItem*>{kept});
    EXPECT_EQ(model.largestItemUsage(), 6);
}

// The finders as quadratic walks: tags equal ignoring case; items with
// the same hash and the same path ignoring case.
Groups<Tag> walkTags(const PointerArray<Tag*>& tags)
{
    Groups<Tag> groups;
    for (Tag* t : tags) {
        const auto holds = [t](const auto& g) { return std::count(g.second.begin(), g.second.end(), t) != 0; };
        if (std::any_of(groups.begin(), groups.end(), holds))
            continue;
        std::vector<Tag*> same;
        for (Tag* u : tags) {
            if (u != t && String::equalsIgnoreCase(u->name(), t->name()))
                same.push_back(u);
        }
        if (!same.empty())
            groups.emplace_back(t, same);
    }
    return groups;
}

Groups<TaggedItem> walkItems(const std::vector<TaggedItem*>& subjects, const PointerArray<TaggedItem*>& all,
                             bool laterOnly)
{
    const auto same = [](const TaggedItem* a, const TaggedItem* b) {
        return a->pathHash() == b->pathHash() && String::equalsIgnoreCase(a->path(), b->path());
    };
    Groups<TaggedItem> groups;
    for (TaggedItem* x : subjects) {
        if (std::any_of(groups.begin(), groups.end(), [&](const auto& g) { return same(g.first, x); }))
            continue;
        std::vector<TaggedItem*> found;
        const int from = laterOnly ? all.indexOf(x) + 1 : 0;
        for (int i = from; i < all.count(); ++i) {
            if (all[i] != x && same(all[i], x))
                found.push_back(all[i]);
        }
        if (!found.empty())
            groups.emplace_back(x, found);
    }
    return groups;
}

TEST_F(DuplicatesFixture, FindersMatchTheQuadraticWalksOnRandomModels)
{
    const wchar_t* names[] = {L"Music", L"music", L"MUSIC", L"Jazz", L"jAZZ", L"", L"\u00c9t\u00e9", L"\u00e9T\u00c9"};
    const wchar_t* paths[] = {L"C:\\a.txt", L"c:\\A.TXT", L"Z:\\kestrola-missing\\b", L"z:\\KESTROLA-MISSING\\B", L"c:\\data\\ammwyl26.txt",
                              L"c:\\data\\i7z3wvuvn0.txt", L"C:\\\u00c9.txt", L"c:\\\u00e9.TXT"};
    std::mt19937 random(3);
    for (int round = 0; round < 200; ++round) {
        model.clear();
        for (int i = static_cast<int>(random() % 12); i > 0; --i)
            model.addTag(names[random() % std::size(names)]);
        std::vector<TaggedItem*> edited;
        for (int i = static_cast<int>(random() % 14); i > 0; --i) {
            edited.push_back(item(paths[random() % std::size(paths)]));
            if (random() % 3 == 0)
                std::swap(edited.back(), edited[random() % edited.size()]);
        }
        edited.resize(edited.size() / 2);
        PointerArray<TaggedItem*> editedArray;
        for (TaggedItem* x : edited)
            editedArray.append(x);
        const std::vector<TaggedItem*> all = vectorOf(model.items());
        ASSERT_EQ(groupsOf(model.findDuplicateTags()), walkTags(model.tags())) << "round " << round;
        ASSERT_EQ(groupsOf(model.findDuplicateItems()), walkItems(all, model.items(), true)) << "round " << round;
        ASSERT_EQ(groupsOf(model.findDuplicateItems(&editedArray)), walkItems(edited, model.items(), false))
            << "round " << round;
    }
}

} // namespace
