#include "library/LibraryModel.h"

#include "foundation/System.h"
#include "library/Database.h"

#include "LibraryTestSupport.h"

#include <gtest/gtest.h>

#include <functional>

namespace {

// The text of each element, in order.
template <typename Elements, typename Text>
std::vector<std::wstring> textsOf(const Elements& elements, Text text)
{
    std::vector<std::wstring> texts;
    for (const auto* element : elements)
        texts.push_back(wide(text(*element)));
    return texts;
}

class ScanMergeTest : public ScanFixture {
protected:
    ScanMergeTest()
    {
        recent = folder(L"recent");
        desktop = folder(L"desktop");
        model.setFirstRunFolders(recent, desktop);
    }

    TaggedItem* scanned(const String& path, std::initializer_list<const wchar_t*> tags)
    {
        Scanner scanner(nullptr, resultTags, resultItems);
        TaggedItem* item = scanner.findOrCreateScanItem(path);
        for (const wchar_t* name : tags)
            scanner.findOrCreateScanTag(item, name);
        return item;
    }

    String recent;
    String desktop;
};

TEST_F(ScanMergeTest, FirstRunDefaultsExactly)
{
    model.createDefaults();
    EXPECT_EQ(tagNamesOf(model.tags()), (std::vector<std::wstring>{L"Desktop", L"Recent"}));
    EXPECT_EQ(textsOf(model.scanRules(), std::mem_fn(&ScanRule::toSettingsText)), (std::vector<std::wstring>{
                               L"1;1;" + wide(recent) + L";0;0;Recent;:1:;0;0;;0;0;0;0;1;0;1;0;1",
                               L"1;1;" + wide(desktop) + L";0;0;Desktop;:2:;0;0;;0;0;0;0;1;0;1;1;1",
                           }));
    EXPECT_EQ(textsOf(model.filters(), std::mem_fn(&Filter::toText)), (std::vector<std::wstring>{
                                 L"images::bmp,jpg,jpeg,png,gif,tiff,raw,psd",
                                 L"music::mp3,ogg,wma,wav,flac",
                                 L"video::avi,mpeg,mp4,flv,mpg,mov,mkv,3gp,divx,xvid",
                                 L"office::doc,docx,xls,xlsx,ppt,pptx",
                             }));
}

TEST(ScanMergeDefaults, FirstRunRulesScanTheUsersFolders)
{
    FakeLibraryHooks hooks;
    LibraryModel model;
    model.createDefaults();
    const ScanRule* first = model.scanRules().first()->value;
    const ScanRule* second = model.scanRules().last()->value;
    EXPECT_EQ(first->scanPath(), specialFolderPath(SpecialFolder::Recent));
    EXPECT_EQ(second->scanPath(), specialFolderPath(SpecialFolder::Desktop));
}

TEST_F(ScanMergeTest, MergeAddsOnlyMissingTagsAndSkipsUntaggedResults)
{
    Tag* kept = model.addTag(L"Kept");
    Tag* recentTag = model.addTag(L"Recent");
    const DateTime date(Date(2001, 2, 3), Time(4, 5, 6, 7));
    TaggedItem* old = model.addItem(missingPath(L"Old.txt"), 0, date);
    model.setItemUsage(old, 9);
    Tag::linkItem(kept, old);
    scanned(missingPath(L"OLD.TXT"), {L"kept", L"New"});
    scanned(missingPath(L"bare.txt"), {});
    scanned(missingPath(L"r.txt"), {L"recent", L"NEW"});

    ASSERT_TRUE(model.addScannedItems(resultItems, true));
    EXPECT_EQ(tagNamesOf(model.tags()), (std::vector<std::wstring>{L"Kept", L"Recent", L"New"}));
    EXPECT_EQ(tagNamesOf(old->tags()), (std::vector<std::wstring>{L"Kept", L"New"}));
    EXPECT_EQ(tagNamesOf(model.findItemByPath(missingPath(L"R.TXT"))->tags()),
              (std::vector<std::wstring>{L"Recent", L"New"}));
    EXPECT_EQ(old->date(), date);
    EXPECT_EQ(old->usage(), 9);
    EXPECT_EQ(model.itemCount(), 2);
    EXPECT_EQ(model.findItemByPath(missingPath(L"bare.txt")), nullptr);
    ASSERT_EQ(recentTag->itemCount(), 1);
    EXPECT_EQ(recentTag->items()[0], model.findItemByPath(missingPath(L"r.txt")));
    EXPECT_EQ(model.mergeSnapshotCount(), 0);
    EXPECT_TRUE(model.mergeTags().isEmpty());
    expectLinksTwoSided(model);
}

// While the model is busy, neither a merge nor a save starts.
TEST_F(ScanMergeTest, NonSilentMergeShowsProgressAndRefusesWhileBusy)
{
    Database database(&model);
    ASSERT_TRUE(database.openFile(tree.writeFile(L"lib.database", Bytes()), true));
    scanned(missingPath(L"a.txt"), {L"t"});
    {
        const LibraryModel::BusyScope busy(&model);
        EXPECT_FALSE(model.addScannedItems(resultItems, false));
        EXPECT_FALSE(database.save(true));
        EXPECT_EQ(model.itemCount(), 0);
    }
    EXPECT_TRUE(database.save(true));
    EXPECT_TRUE(model.addScannedItems(resultItems, false));
    EXPECT_EQ(hooks.statuses, (std::vector<int>{ShellHooks::StatusPreparing, ShellHooks::StatusReady}));
    EXPECT_EQ(hooks.cursorDepth, 0);
    EXPECT_EQ(model.itemCount(), 1);
}

// A first start: the library file is made, the defaults applied and the
// start-up rule tags the recent folder's entries; Desktop waits for a click.
TEST_F(ScanMergeTest, OpeningAMissingFileAppliesDefaultsAndScans)
{
    file(L"recent\\one.lnk");
    file(L"recent\\two.lnk");
    file(L"desktop\\note.txt");
    const String data = folder(L"data") + L"kestrola.database";
    Database database(&model);
    ASSERT_TRUE(database.openFile(data, true));
    EXPECT_TRUE(fileExists(data));
    EXPECT_TRUE(readRaw(data).empty());
    EXPECT_EQ(tagNamesOf(model.tags()), (std::vector<std::wstring>{L"Desktop", L"Recent"}));
    EXPECT_EQ(model.tags()[0]->itemCount(), 0);
    EXPECT_EQ(model.tags()[1]->itemCount(), 2);
    EXPECT_EQ(model.itemCount(), 2);
    EXPECT_EQ(model.scanRules().count(), 2);
    expectLinksTwoSided(model);

    // A saved file gets no second set of defaults, but the scan again.
    ASSERT_TRUE(database.save(true));
    ASSERT_TRUE(database.openFile(data, true));
    EXPECT_EQ(model.scanRules().count(), 2);
    EXPECT_EQ(tagNamesOf(model.tags()), (std::vector<std::wstring>{L"Desktop", L"Recent"}));
    EXPECT_EQ(model.itemCount(), 2);
}

// Only tag-click rules that assign the clicked tag run; clearing first
// deletes the items the tag alone held.
TEST_F(ScanMergeTest, TagClickRunsOnlyTheRulesOfThatTag)
{
    file(L"desktop\\note.txt");
    folder(L"other");
    file(L"other\\x.txt");
    model.createDefaults();
    ScanRule* other = new ScanRule(rule({L"Other"}));
    other->setScanPath(tree.file(L"other"));
    other->setIsAutoRule(true);
    model.scanRules().append(other);
    Tag* desktopTag = model.tags()[0];
    TaggedItem* gone = model.addItem(missingPath(L"gone.txt"), 0, DateTime());
    Tag::linkItem(desktopTag, gone);

    model.scanForClickedTag(desktopTag);
    ASSERT_EQ(desktopTag->itemCount(), 1);
    EXPECT_EQ(desktopTag->items()[0]->path(), desktop + L"note.txt");
    EXPECT_EQ(model.findTagByName(L"Other"), nullptr);
    EXPECT_EQ(model.itemCount(), 1);
    EXPECT_EQ(hooks.cursorDepth, 0);

    model.scanForClickedTag(model.tags()[1]);
    EXPECT_EQ(model.itemCount(), 1);
    expectLinksTwoSided(model);
}

} // namespace
