#include "LibraryTestSupport.h"
#include "tests/support/RowTable.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <random>
#include <set>
#include <string>
#include <type_traits>
#include <vector>

namespace {

class LibraryModelTest : public LibraryFixture {
protected:
    TaggedItem* item(const std::wstring& name, std::int64_t usage = 0)
    {
        return LibraryFixture::item(missingPath(name), usage);
    }
};

// A plain picture of the model for the random test: records by id in
// model order, each side's links in order, and the usages.
struct Reference {
    std::vector<int> tags, items;
    std::map<int, std::vector<int>> tagItems, itemTags;
    std::map<int, std::int64_t> tagUsage, itemUsage;

    static void eraseFirst(std::vector<int>& list, int value)
    {
        const auto found = std::find(list.begin(), list.end(), value);
        if (found != list.end())
            list.erase(found);
    }

    void unlinkItem(int item)
    {
        for (int tag : itemTags[item])
            eraseFirst(tagItems[tag], item);
        itemTags[item].clear();
    }

    void deleteItem(int item)
    {
        unlinkItem(item);
        eraseFirst(items, item);
        itemUsage.erase(item);
    }

    // Unlinks the tag from its items; those left without tags.
    std::set<int> unlinkTag(int tag)
    {
        std::set<int> orphans;
        for (int item : tagItems[tag]) {
            eraseFirst(itemTags[item], tag);
            if (itemTags[item].empty())
                orphans.insert(item);
        }
        tagItems[tag].clear();
        return orphans;
    }
};

// Records are named by their id: tags "t<id>", items "i<id>".
template <typename Record>
int idOf(const Record* record)
{
    if constexpr (std::is_same_v<Record, Tag>)
        return record->name().mid(1).toInt();
    else
        return record->displayName().mid(1).toInt();
}

template <typename Records>
std::vector<int> idsOf(const Records& records)
{
    std::vector<int> ids;
    for (const auto* record : records)
        ids.push_back(idOf(record));
    return ids;
}

void expectModelIs(const LibraryModel& model, const Reference& reference)
{
    ASSERT_EQ(idsOf(model.tags()), reference.tags);
    ASSERT_EQ(idsOf(model.items()), reference.items);
    for (const Tag* tag : model.tags())
        ASSERT_EQ(idsOf(tag->items()), reference.tagItems.at(idOf(tag))) << "tag " << idOf(tag);
    for (const TaggedItem* item : model.items())
        ASSERT_EQ(idsOf(item->tags()), reference.itemTags.at(idOf(item))) << "item " << idOf(item);
    const auto largestAndTotal = [](const std::map<int, std::int64_t>& usages, bool positiveOnly) {
        std::int64_t largest = 0;
        std::int64_t total = 0;
        for (const auto& [id, usage] : usages) {
            largest = std::max(largest, usage);
            total += positiveOnly ? std::max<std::int64_t>(usage, 0) : usage;
        }
        return std::pair(largest, total);
    };
    EXPECT_EQ(std::pair(model.largestTagUsage(), model.totalTagUsage()), largestAndTotal(reference.tagUsage, false));
    EXPECT_EQ(std::pair(model.largestItemUsage(), model.totalItemUsage()), largestAndTotal(reference.itemUsage, true));
}

} // namespace

// Random links, unlinks and deletions against the plain reference: links
// stay two-sided and in order, orphans go, and the usage totals stay right.
TEST_F(LibraryModelTest, RandomLinkingMatchesAReference)
{
    std::mt19937 random(20240611);
    const auto pick = [&random](const std::vector<int>& ids) {
        return ids[std::uniform_int_distribution<std::size_t>(0, ids.size() - 1)(random)];
    };
    const auto chance = [&random](int percent) { return int(random() % 100) < percent; };
    const auto usage = [&random]() { return std::int64_t(random() % 23) - 2; };
    Reference reference;
    std::map<int, Tag*> tags;
    std::map<int, TaggedItem*> items;
    int nextId = 0;
    for (int step = 0; step < 3000; ++step) {
        SCOPED_TRACE("step " + std::to_string(step));
        const int operation = int(random() % 10);
        if (operation == 0 || reference.tags.size() < 3) {
            const int id = nextId++;
            tags[id] = model.addTag(String(L"t") + String::number(id));
            model.setTagUsage(tags[id], reference.tagUsage[id] = usage());
            reference.tags.push_back(id);
            reference.tagItems[id];
        } else if (operation == 1 || reference.items.size() < 3) {
            const int id = nextId++;
            items[id] = item(L"i" + std::to_wstring(id));
            model.setItemUsage(items[id], reference.itemUsage[id] = usage());
            reference.items.push_back(id);
            reference.itemTags[id];
        } else if (operation == 2) {
            const int tag = pick(reference.tags);
            const int item = pick(reference.items);
            model.recordTagUse(tags[tag]);
            // A use of an item at -1 used to raise the total of positive usages.
            model.recordItemUse(items[item]);
            ++reference.tagUsage[tag];
            ++reference.itemUsage[item];
        } else if (operation <= 4) {
            const int tag = pick(reference.tags);
            const int item = pick(reference.items);
            Tag::linkItem(tags[tag], items[item]);
            reference.tagItems[tag].push_back(item);
            reference.itemTags[item].push_back(tag);
        } else if (operation == 5) {
            const int tag = pick(reference.tags);
            const std::vector<int>& linked = reference.tagItems[tag];
            const int item = !linked.empty() && chance(80) ? pick(linked) : pick(reference.items);
            LibraryModel::unlink(tags[tag], items[item]);
            Reference::eraseFirst(reference.tagItems[tag], item);
            Reference::eraseFirst(reference.itemTags[item], tag);
        } else if (operation == 6) {
            const int item = pick(reference.items);
            LibraryModel::unlinkItem(items[item]);
            reference.unlinkItem(item);
        } else if (operation == 7) {
            const int tag = pick(reference.tags);
            const bool deleteOrphans = chance(50);
            model.unlinkTagItems(tags[tag], deleteOrphans);
            for (int orphan : reference.unlinkTag(tag)) {
                if (deleteOrphans)
                    reference.deleteItem(orphan);
            }
            // Deleting orphans here leaves the totals to the caller.
            model.recomputeItemUsage();
        } else if (operation == 8) {
            if (chance(50)) {
                const int item = pick(reference.items);
                model.deleteItem(items[item], true);
                reference.deleteItem(item);
            } else {
                PointerArray<TaggedItem*> doomed;
                std::set<int> ids;
                for (int n = 0; n < 4; ++n) {
                    const int item = pick(reference.items);
                    doomed.append(items[item]);
                    ids.insert(item);
                }
                model.deleteItems(doomed, true);
                for (int item : ids)
                    reference.deleteItem(item);
            }
        } else {
            const int tag = pick(reference.tags);
            const std::set<int> orphans = reference.unlinkTag(tag);
            for (int orphan : orphans)
                reference.deleteItem(orphan);
            Reference::eraseFirst(reference.tags, tag);
            reference.tagUsage.erase(tag);
            EXPECT_EQ(model.removeTag(tags[tag]), int(orphans.size()));
        }
        expectModelIs(model, reference);
        expectLinksTwoSided(model);
        if (HasFatalFailure())
            return;
    }
}

// The random test checks the corrected totals of deleteItem and removeTag
// in both branches (the largest usage or another); uncorrected, the totals
// are left to the caller.
TEST_F(LibraryModelTest, DeleteItemWithoutCorrectionLeavesTheTotals)
{
    TaggedItem* largest = item(L"a", 9);
    item(L"b", 5);
    model.recomputeItemUsage();
    model.deleteItem(largest, false);
    EXPECT_EQ(model.itemCount(), 1);
    EXPECT_EQ(model.largestItemUsage(), 9);
    EXPECT_EQ(model.totalItemUsage(), 14);
}

TEST_F(LibraryModelTest, CollidingHashesStayTwoItems)
{
    TaggedItem* a = LibraryFixture::item(collidingPathA);
    TaggedItem* b = LibraryFixture::item(collidingPathB);
    ASSERT_EQ(a->pathHash(), b->pathHash());
    // A collision of the hash alone used to make two files one item.
    EXPECT_FALSE(a->samePath(*b) || b->samePath(*a));
    EXPECT_EQ(model.itemCount(), 2);
    EXPECT_EQ(model.findItemByPath(collidingPathA), a);
    EXPECT_EQ(model.findItemByPath(collidingPathB), b);
    EXPECT_EQ(model.findItemByPath(L"C:\\MUSIC\\50236140.MP3"), b);
    EXPECT_EQ(LibraryModel::findItemByPath(collidingPathB, model.items()), b);

    model.beginMerge();
    EXPECT_EQ(model.takeSnapshotItem(b->pathHash(), collidingPathB), b);
    EXPECT_EQ(model.takeSnapshotItem(b->pathHash(), collidingPathB), nullptr);
    EXPECT_EQ(model.mergeSnapshotCount(), 1);
    EXPECT_EQ(model.takeSnapshotItem(a->pathHash(), L"C:\\Music\\191.MP3"), a);
    model.endMerge();
}

// A merge's snapshot answers as a copy of the items made at its start
// would, through takes, adds, path changes and deletions, merge after
// merge, and holds nothing once the merge ends.
TEST_F(LibraryModelTest, MergeSnapshotAgreesWithACopy)
{
    std::mt19937 random(11);
    std::vector<String> paths = {collidingPathA, collidingPathB};
    for (int n = 0; n < 30; ++n)
        paths.push_back(missingPath(L"m" + std::to_wstring(n % 15) + (n % 2 ? L".TXT" : L".txt")));
    const auto anyPath = [&]() { return paths[random() % paths.size()]; };
    const auto anyItem = [&]() { return model.items()[int(random() % model.itemCount())]; };
    for (int merge = 0; merge < 60; ++merge) {
        // Some merges add no items at all, before or during the merge.
        const bool adds = random() % 2;
        while (model.itemCount() < 20)
            model.addItem(anyPath(), 0, DateTime());
        model.beginMerge();
        std::vector<TaggedItem*> copy(model.items().begin(), model.items().end());
        for (int step = 0; step < 60; ++step) {
            const int operation = int(random() % 8);
            if (operation == 0 && adds) {
                model.addItem(anyPath(), 0, DateTime());
            } else if (operation == 1 && model.itemCount() > 0) {
                anyItem()->setPath(anyPath());
            } else if (operation == 2 && model.itemCount() > 0) {
                TaggedItem* doomed = anyItem();
                std::erase(copy, doomed);
                model.deleteItem(doomed, false);
            } else {
                const String path = anyPath();
                const std::uint32_t hash = TaggedItem::hashOfPath(path);
                const auto found = std::find_if(copy.begin(), copy.end(),
                                                [&](const TaggedItem* item) { return item->samePath(path, hash); });
                TaggedItem* expected = found == copy.end() ? nullptr : *found;
                if (expected)
                    copy.erase(found);
                ASSERT_EQ(model.takeSnapshotItem(hash, path), expected) << "merge " << merge << ", step " << step;
            }
            ASSERT_EQ(model.mergeSnapshotCount(), int(copy.size())) << "merge " << merge << ", step " << step;
        }
        model.endMerge();
        EXPECT_EQ(model.mergeSnapshotCount(), 0);
        for (const TaggedItem* item : model.items())
            EXPECT_EQ(model.takeSnapshotItem(item->pathHash(), item->path()), nullptr);
    }
}

// The path index answers as the walk over the items does, through adds,
// path changes, repeats in other case and deletions.
TEST_F(LibraryModelTest, PathIndexAgreesWithTheWalk)
{
    tree.makeFolder(L"dir");
    std::mt19937 random(7);
    std::vector<String> paths = {collidingPathA, collidingPathB, tree.file(L"dir"), tree.file(L"DIR\\")};
    for (int n = 0; n < 40; ++n)
        paths.push_back(missingPath(L"f" + std::to_wstring(n % 25) + (n % 2 ? L".TXT" : L".txt")));
    const auto anyPath = [&]() { return paths[random() % paths.size()]; };
    for (int step = 0; step < 2000; ++step) {
        const int operation = int(random() % 4);
        if (operation == 0 || model.itemCount() < 5)
            model.addItem(anyPath(), 0, DateTime());
        else if (operation == 1)
            model.items()[int(random() % model.itemCount())]->setPath(anyPath());
        else if (operation == 2)
            model.deleteItem(model.items()[int(random() % model.itemCount())], false);
        const String query = anyPath();
        ASSERT_EQ(model.findItemByPath(query), LibraryModel::findItemByPath(query, model.items()))
            << "step " << step << ": " << wide(query);
    }
    model.clear();
    TaggedItem* folder = model.addItem(tree.file(L"Dir\\"), 0, DateTime());
    EXPECT_EQ(model.findItemByPath(tree.file(L"dir")), folder);
}

TEST_F(LibraryModelTest, AddItemRefusesPathsTheLibraryFileCannotHold)
{
    struct Row {
        wchar_t unit;
        int count;
        bool accepted;
    };
    // 1566 UTF-8 bytes fit; the units take 1, 2 and 3 bytes.
    const Row rows[] = {
        {L'a', 1566 - 20, true}, {L'a', 1567 - 20, false}, {0x00E9, 773, true},
        {0x00E9, 774, false},    {0x3042, 515, true},      {0x3042, 516, false},
    };
    forEachRow(rows, [this](const Row& row) {
        // "Z:\kestrola-missing\" takes 20 bytes.
        const String path = missingPath(std::wstring(std::size_t(row.count), row.unit));
        EXPECT_EQ(model.addItem(path, 0, DateTime()) != nullptr, row.accepted);
    });
    EXPECT_EQ(model.addItem(String(), 0, DateTime()), nullptr);
    EXPECT_EQ(model.itemCount(), 3);
}

TEST_F(LibraryModelTest, LookupsAndForeignTags)
{
    Tag* empty = model.addTag(String());
    Tag* music = model.addTag(L"Music");
    model.addTag(L"music");
    EXPECT_EQ(model.findTagByName(String()), nullptr);
    EXPECT_EQ(model.findTagByName(L"MUSIC"), music);

    Tag foreign(L"x");
    PointerArray<Tag*> selection;
    for (Tag* tag : {music, static_cast<Tag*>(nullptr), &foreign, empty})
        selection.append(tag);
    EXPECT_TRUE(model.removeForeignTags(selection));
    EXPECT_EQ(tagNamesOf(selection), (std::vector<std::wstring>{L"Music", L""}));
    EXPECT_FALSE(model.removeForeignTags(selection));

    Tag::linkItem(music, item(L"a.txt"));
    item(L"b.txt");
    EXPECT_EQ(model.untaggedItemCount(), 1);
    EXPECT_EQ(model.removeTag(nullptr), 0);
}

TEST_F(LibraryModelTest, BuiltInFiltersAreMadeAtTheHead)
{
    auto* photos = new Filter;
    photos->setName(L"photos");
    model.filters().append(photos);
    Filter* any = model.anyItemsFilter();
    EXPECT_EQ(model.filters().first()->value, any);
    EXPECT_EQ(any->builtInKind(), Filter::AnyItems);
    EXPECT_EQ(model.anyItemsFilter(), any);
    Filter* files = model.filesFilter();
    EXPECT_EQ(model.filters().first()->value, files);
    EXPECT_EQ(model.filters().count(), 3);
}

TEST_F(LibraryModelTest, IconsAreAskedOncePerExtension)
{
    // Start-up asks the shell for nothing.
    EXPECT_TRUE(hooks.iconRequests.empty());
    const String firstText = tree.writeFile(L"a.txt", bytesOf("x"));
    const String secondText = tree.writeFile(L"b.TXT", bytesOf("x"));
    const String program = tree.writeFile(L"tool.exe", bytesOf("x"));
    const String plain = tree.writeFile(L"README", bytesOf("x"));
    const String otherPlain = tree.writeFile(L"LICENSE", bytesOf("x"));
    hooks.iconRequests.clear();

    EXPECT_EQ(model.loadSmallIcon(missingPath(L"a.txt")).bits(), model.notFoundImage(1).bits());
    EXPECT_TRUE(hooks.iconRequests.empty());
    // Every folder shows the program folder's icon, asked for at the first
    // folder shown rather than at start-up, and only then.
    EXPECT_EQ(model.loadSmallIcon(tree.path()).width(), 16);
    EXPECT_EQ(model.loadSmallIcon(tree.path()).width(), 16);
    EXPECT_EQ(hooks.iconRequests.size(), 1u);
    hooks.iconRequests.clear();

    const Bitmap first = model.loadSmallIcon(firstText);
    EXPECT_EQ(model.loadSmallIcon(secondText).bits(), first.bits());
    model.loadSmallIcon(program);
    model.loadSmallIcon(program);
    // The first file without an extension used to get no icon at all.
    EXPECT_FALSE(model.loadSmallIcon(plain).isNull());
    model.loadSmallIcon(otherPlain);
    EXPECT_EQ(hooks.iconRequests,
              (std::vector<std::wstring>{wide(firstText), wide(program), wide(program), wide(plain)}));

    // Clearing keeps the last entry, so only other extensions ask again.
    model.clearCachedImages();
    model.loadSmallIcon(otherPlain);
    model.loadSmallIcon(firstText);
    EXPECT_EQ(hooks.iconRequests.size(), 5u);
    EXPECT_EQ(model.loadLargeIcon(firstText).width(), 48);
    EXPECT_TRUE(model.notFoundImage(3).isNull());
}

TEST_F(LibraryModelTest, ItemImagesAndCaches)
{
    
    TaggedItem* file = model.addItem(tree.writeFile(L"a.txt", bytesOf("x")), 0, DateTime());
    TaggedItem* missing = item(L"b.txt");
    EXPECT_EQ(file->icon().width(), 16);
    EXPECT_EQ(missing->icon().bits(), model.notFoundImage(1).bits());
    EXPECT_EQ(file->previewImage().width(), 48);
    hooks.answerThumbnails = true;
    EXPECT_EQ(file->previewImage().width(), 48);
    EXPECT_EQ(file->reloadPreviewImage().width(), 128);
    missing->copyIcon(*file);
    EXPECT_EQ(missing->icon().bits(), file->icon().bits());

    EXPECT_EQ(model.itemCacheBytes(), 16 * 16 * 4 + 128 * 128 * 4 + 16 * 16 * 4);
    model.clearItemCaches();
    EXPECT_EQ(model.itemCacheBytes(), 0);

    // A new path drops what was cached for the old one.
    file->icon();
    EXPECT_NE(file->createdText(), String(L"-"));
    ASSERT_GT(file->cacheBytes(), 0);
    file->setPath(missingPath(L"moved.txt"));
    EXPECT_EQ(file->cacheBytes(), 0);
    EXPECT_EQ(file->createdText(), String(L"-"));

    // An item no model owns is served by the shell's model.
    TaggedItem loose;
    loose.setPath(missingPath(L"c.txt"));
    EXPECT_EQ(loose.icon().bits(), model.notFoundImage(1).bits());
}
