#include "library/Scanner.h"

#include "foundation/Path.h"

#include "LibraryTestSupport.h"
#include "tests/support/RowTable.h"

#include <gtest/gtest.h>

#include <map>
#include <utility>

namespace {

using Paths = std::set<std::wstring>;

TEST(ScannerWords, MatchesWordTable)
{
    struct Row {
        const wchar_t *text, *word;
        bool matchCase, wholeWords, expected;
    };
    const Row rows[] = {
        {L"FooBar", L"Bar", false, true, true},
        {L"fooBar", L"foo", false, true, true},
        {L"Trip2010", L"2010", false, true, true},
        {L"my-tag", L"tag", false, true, true},
        {L"tagged tag", L"tag", false, true, true},
        {L"FooBar", L"bar", false, true, true},
        {L"foobar", L"bar", false, true, false},
        {L"FOOBAR", L"BAR", false, true, false},
        {L"Tagged", L"tag", false, true, false},
        {L"Tagged", L"tag", false, false, true},
        {L"Tagged", L"tag", true, false, false},
        {L"Tagged", L"", false, false, false},
        {L"ta", L"tag", false, false, false},
        {L"Caf\u00e9bar", L"caf", false, true, false},
        {L"cr\u00e8me br\u00fbl\u00e9e", L"BR\u00dbL\u00c9E", false, true, true},
    };
    forEachRow(rows, [](const Row& row) {
        EXPECT_EQ(Scanner::matchesWord(row.text, row.word, row.matchCase, row.wholeWords), row.expected)
            << wide(row.text) << L" / " << wide(row.word);
    });
}

class ScannerTest : public ScanFixture {};

// One tree, walked with each mix of subfolders, hidden items, item kind and
// extensions in mixed case.
TEST_F(ScannerTest, WalksTheTreeByTheRule)
{
    for (const wchar_t* name : {L"sub", L"sub\\deeper", L"secret"})
        folder(name);
    for (const wchar_t* name :
         {L"a.txt", L"b.JPG", L"c.Tmp", L"sub\\d.TXT", L"sub\\deeper\\e.jpg", L"secret\\f.txt", L"h.txt"})
        file(name);
    const String dotFile = file(L".profile");
    SetFileAttributesW(tree.file(L"h.txt").c_str(), FILE_ATTRIBUTE_HIDDEN);
    SetFileAttributesW(tree.file(L"secret").c_str(), FILE_ATTRIBUTE_HIDDEN);
    // Wine reports dot-files as hidden; take whatever it says.
    const bool dotHidden = GetFileAttributesW(dotFile.c_str()) & FILE_ATTRIBUTE_HIDDEN;
    const Paths withDot = dotHidden ? Paths{} : Paths{L".profile"};

    struct Row {
        bool subfolders, hidden;
        int kind;
        StringList extensions;
        Paths expected;
    };
    auto plus = [](Paths paths, const Paths& more) {
        paths.insert(more.begin(), more.end());
        return paths;
    };
    const Row rows[] = {
        {false, false, Filter::Files, {}, plus({L"a.txt", L"b.JPG", L"c.Tmp"}, withDot)},
        {false, true, Filter::Files, {}, {L"a.txt", L"b.JPG", L"c.Tmp", L"h.txt", L".profile"}},
        {false, false, Filter::Folders, {}, {L"sub\\"}},
        {false, true, Filter::AnyItems, {}, {L"a.txt", L"b.JPG", L"c.Tmp", L"h.txt", L".profile", L"sub\\", L"secret\\"}},
        {true, false, Filter::Files, listOf({L"TXT", L"jpg"}), {L"a.txt", L"b.JPG", L"sub\\d.TXT", L"sub\\deeper\\e.jpg"}},
        {true, true, Filter::Files, listOf({L"!tmp", L"!JPG"}),
         {L"a.txt", L"h.txt", L".profile", L"sub\\d.TXT", L"secret\\f.txt"}},
        {true, false, Filter::Folders, {}, {L"sub\\", L"sub\\deeper\\"}},
    };
    forEachRow(rows, [&](const Row& row) {
        ScanRule walk = rule({L"t"}, row.kind);
        walk.setScanSubfolders(row.subfolders);
        walk.setScanHidden(row.hidden);
        walk.filter().setExtensions(row.extensions);
        EXPECT_EQ(foundBy(walk), row.expected);
    });
}

TEST_F(ScannerTest, SearchesEachSubject)
{
    folder(L"Docs");
    for (const wchar_t* name : {L"Docs\\Report.pdf", L"Docs\\README", L"Docs\\.profile"})
        file(name);
    struct Row {
        ScanRule::Subject subject;
        const wchar_t* word;
        Paths expected;
    };
    const Paths all = {L"Docs\\Report.pdf", L"Docs\\README", L"Docs\\.profile"};
    const Row rows[] = {
        {ScanRule::ItemName, L"Report", {L"Docs\\Report.pdf"}},
        {ScanRule::ItemName, L"pdf", {}},
        {ScanRule::ItemName, L"README", {L"Docs\\README"}},
        {ScanRule::ItemName, L"profile", {}},
        {ScanRule::ParentFolderName, L"docs", all},
        {ScanRule::ParentFolderName, L"Report", {}},
        {ScanRule::EntirePath, L"pdf", {L"Docs\\Report.pdf"}},
        {ScanRule::EntirePath, L"docs\\", all},
    };
    forEachRow(rows, [&](const Row& row) {
        ScanRule search = rule({L"t"});
        search.setHasContentCondition(true);
        search.setSubject(row.subject);
        search.searchWords().setNames(listOf({row.word}));
        EXPECT_EQ(foundBy(search), row.expected);
    });
}

// Whole hours decide: 48.5 hours are 48 whole hours, neither more nor less
// than two days. A future date counts as age 0. Days x 24 beyond 32 bits
// once compared wrongly.
TEST_F(ScannerTest, AgeBoundaryAtWholeHours)
{
    file(L"young.txt", 47.5);
    file(L"edge.txt", 48.5);
    file(L"old.txt", 49.5);
    file(L"future.txt", -5);
    struct Row {
        std::uint32_t days;
        bool moreThan;
        Paths expected;
    };
    const Row rows[] = {
        {2, true, {L"old.txt"}},
        {2, false, {L"young.txt", L"future.txt"}},
        {0xFFFFFFFFu, false, {L"young.txt", L"edge.txt", L"old.txt", L"future.txt"}},
        {0xFFFFFFFFu, true, {}},
    };
    forEachRow(rows, [&](const Row& row) {
        ScanRule dated = rule({L"t"});
        dated.setHasDateCondition(true);
        dated.setMoreThan(row.moreThan);
        dated.setDays(row.days);
        EXPECT_EQ(foundBy(dated), row.expected);
    });
}

TEST_F(ScannerTest, RulesOnOnePathShareOneItemAndTagsIgnoreCase)
{
    file(L"a.txt");
    ScanRule first = rule({L"Tag"});
    ScanRule second = rule({L"tag", L"Other"});
    ASSERT_TRUE(scan({&first, &second}));
    ASSERT_EQ(resultItems.count(), 1);
    ASSERT_EQ(resultTags.count(), 2);
    EXPECT_EQ(wide(resultTags[0]->name()), L"Tag");
    EXPECT_EQ(setOf(resultItems[0]->tagNames()), (std::set<std::wstring>{L"Tag", L"Other"}));
    EXPECT_EQ(resultTags[0]->itemCount(), 1);
}

// Words that are the assignable tags: any word gives each matching word as
// a tag; all words need every one.
TEST_F(ScannerTest, AssignableWordsGiveTheirOwnTags)
{
    file(L"FooBar.txt");
    file(L"Foo.txt");
    ScanRule words = rule({L"Foo", L"Bar"});
    words.setHasContentCondition(true);
    words.setWholeWords(true);
    words.searchWords().setMode(RuleTagSet::AssignableTags);
    EXPECT_EQ(foundBy(words), (Paths{L"FooBar.txt", L"Foo.txt"}));
    std::map<std::wstring, int> tagCounts;
    for (const TaggedItem* item : resultItems)
        tagCounts[wide(Path::fileName(item->path()))] = item->tagCount();
    EXPECT_EQ(tagCounts, (std::map<std::wstring, int>{{L"FooBar.txt", 2}, {L"Foo.txt", 1}}));
    words.setAllWords(true);
    EXPECT_EQ(foundBy(words), (Paths{L"FooBar.txt"}));
}

// Invalid rules and a busy model give nothing; a scan by hand shows the
// wait cursor and the scan status until it ends.
TEST_F(ScannerTest, NothingFromInvalidRulesOrWhileBusyAndStatusUnlessSilent)
{
    file(L"a.txt");
    ScanRule valid = rule({L"t"});
    ScanRule unchecked = valid;
    unchecked.setIsChecked(false);
    EXPECT_FALSE(scan({}));
    EXPECT_FALSE(scan({&unchecked}));
    {
        const LibraryModel::BusyScope busy(&model);
        EXPECT_FALSE(scan({&valid}));
    }
    EXPECT_TRUE(resultTags.isEmpty());
    EXPECT_TRUE(scan({&valid}));
    EXPECT_TRUE(hooks.statuses.empty());
    EXPECT_TRUE(scan({&valid}, false));
    EXPECT_EQ(hooks.statuses, (std::vector<int>{ShellHooks::StatusScanning, ShellHooks::StatusReady}));
    EXPECT_EQ(hooks.cursorDepth, 0);
    EXPECT_EQ(resultItems.count(), 1);
}

} // namespace

// A clearing scan recounts the item usage totals only when a deleted item
// was used; either way they stay those of a full recount.
TEST_F(ScannerTest, ClearingKeepsTheItemUsageTotals)
{
    const std::int64_t orphanUsages[] = {0, -2, 1, 2, 9};
    forEachRow(orphanUsages, [&](std::int64_t orphanUsage) {
        model.clear();
        tag(L"Cleared", 0, {item(missingPath(L"orphan.txt"), orphanUsage)});
        tag(L"Kept", 0, {item(missingPath(L"kept.txt"), 5)});
        model.recomputeItemUsage();
        ScanRule clearing = rule({L"Cleared"});
        clearing.setIsAutoRule(true);
        clearing.setClearBeforeScan(true);
        scan({&clearing}, true, true);
        EXPECT_EQ(model.itemCount(), 1);
        EXPECT_EQ(model.largestItemUsage(), 5);
        EXPECT_EQ(model.totalItemUsage(), 5);
    });
}

// The recount check used to walk the rule's tags before it asked whether
// the rule clears at all; a rule that clears nothing reads no tag for it.
TEST_F(ScannerTest, RuleThatClearsNothingReadsNoTagsForTheClearing)
{
    tag(L"Big", 0, {item(missingPath(L"used.txt"), 3)});
    ScanRule everyTag = rule({});
    everyTag.assignableTags().setMode(RuleTagSet::AnyRegisteredTags);
    everyTag.setIsAutoRule(true);
    everyTag.setClearBeforeScan(true);
    file(L"a.txt");
    hooks.modelRequests = 0;
    ASSERT_TRUE(scan({&everyTag}, true, false));
    const int plainRequests = std::exchange(hooks.modelRequests, 0);
    ASSERT_TRUE(scan({&everyTag}, true, true));
    EXPECT_EQ(hooks.modelRequests, plainRequests);
}
