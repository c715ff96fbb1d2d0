#include "library/Filter.h"
#include "library/Tag.h"
#include "library/TaggedItem.h"

#include "LibraryTestSupport.h"
#include "tests/support/RowTable.h"

#include <gtest/gtest.h>

#include <initializer_list>
#include <memory>
#include <string>
#include <vector>

namespace {

Filter filterOf(std::initializer_list<int> kinds, std::initializer_list<const wchar_t*> extensions)
{
    Filter filter;
    for (int kind : kinds)
        filter.addKind(kind);
    filter.setExtensions(listOf(extensions));
    return filter;
}

} // namespace

// One item of each kind against filters of every shape: '1' where the item
// passes. Items: a.jpg, b.TMP, a file without extension, a folder, a root.
TEST(FilterTest, MatchingMatrix)
{
    std::vector<std::unique_ptr<TaggedItem>> items;
    for (const String& path : {missingPath(L"a.jpg"), missingPath(L"b.TMP"), missingPath(L"noext"),
                               missingPath(L"folder\\"), String(L"C:\\")}) {
        items.push_back(std::make_unique<TaggedItem>());
        items.back()->setPath(path);
    }
    Filter folders;
    folders.setKind(Filter::Folders);
    struct Row {
        Filter filter;
        const char* passes;
    };
    const Row rows[] = {
        {filterOf({}, {}), "11111"},
        {filterOf({1}, {}), "11111"},
        {filterOf({2}, {}), "11100"},
        {filterOf({3}, {}), "00010"},
        {filterOf({1, 2}, {}), "11100"},
        {filterOf({2, 3}, {}), "11111"},
        {filterOf({3}, {L"jpg"}), "10000"},
        {filterOf({}, {L"JPG"}), "10000"},
        {filterOf({}, {L"!tmp"}), "10111"},
        {filterOf({}, {L"jpg", L"!tmp"}), "10000"},
        {filterOf({}, {L"!"}), "11111"},
        {filterOf({2}, {L"!jpg"}), "01100"},
        {folders, "00010"},
    };
    forEachRow(rows, [&](const Row& row) {
        std::string got;
        for (const auto& item : items)
            got += item->matches(row.filter) ? '1' : '0';
        EXPECT_EQ(got, row.passes);
    });
}

TEST(FilterTest, ExtensionsSplitIntoIncludesAndExcludes)
{
    struct Row {
        std::initializer_list<const wchar_t*> extensions;
        std::vector<std::wstring> include, exclude;
        Filter::Mode mode;
    };
    const Row rows[] = {
        {{}, {}, {}, Filter::NoExtensionRule},
        {{L"jpg", L"!tmp", L"!"}, {L"jpg"}, {L"tmp"}, Filter::IncludeAndExclude},
        {{L"!tmp", L"!bak"}, {}, {L"tmp", L"bak"}, Filter::ExcludeOnly},
        {{L"png", L"gif"}, {L"png", L"gif"}, {}, Filter::IncludeOnly},
        {{L"!"}, {}, {}, Filter::NoExtensionRule},
        // Exact repeats go, the first stays.
        {{L"jpg", L"!a", L"png", L"jpg", L"JPG", L"!a"}, {L"jpg", L"png", L"JPG"}, {L"a"}, Filter::IncludeAndExclude},
    };
    forEachRow(rows, [](const Row& row) {
        Filter filter;
        filter.setExtensions(listOf(row.extensions));
        EXPECT_EQ(vectorOf(filter.includeExtensions()), row.include);
        EXPECT_EQ(vectorOf(filter.excludeExtensions()), row.exclude);
        EXPECT_EQ(filter.mode(), row.mode);
    });
}

TEST(FilterTest, TextForms)
{
    Filter files;
    files.setKind(Filter::Files);
    Filter photos = filterOf({2}, {L"jpg", L"png"});
    photos.setName(L"photos");
    const Filter unnamed = filterOf({}, {L"jpg", L"png"});
    const Filter withEmptyEntry = filterOf({1, 3}, {L"a", L"", L"b"});
    struct Row {
        const Filter* filter;
        const wchar_t *text, *ruleText, *description, *displayText;
    };
    const Row rows[] = {
        {&files, L"2", L":2:", L"files", L"files"},
        {&photos, L"photos:2:jpg,png", L":2:jpg,png", L"files, jpg, png", L"photos"},
        {&unnamed, L"::jpg,png", L"::jpg,png", L"jpg, png", L"jpg, png"},
        {&withEmptyEntry, L":1,3:a,,b", L":1,3:a,,b", L"any items, folders, a, , b", L"any items, folders, a, , b"},
    };
    forEachRow(rows, [](const Row& row) {
        EXPECT_EQ(row.filter->toText(), String(row.text));
        EXPECT_EQ(row.filter->toRuleText(), String(row.ruleText));
        EXPECT_EQ(row.filter->description(), String(row.description));
        EXPECT_EQ(row.filter->displayText(), String(row.displayText));
    });
}

TEST(FilterTest, KindNamesAndParsing)
{
    for (int kind : {Filter::AnyItems, Filter::Files, Filter::Folders})
        EXPECT_EQ(Filter::kindFromName(Filter::kindName(kind)), kind);
    EXPECT_TRUE(Filter::kindName(4).isEmpty());
    EXPECT_EQ(Filter::kindFromName(L"Files"), Filter::NoKind);

    Filter filter;
    filter.setKind(Filter::Folders);
    filter.setKind(0);
    EXPECT_EQ(filter.name(), Filter::kindName(Filter::Folders));
    filter.parse(listOf({L"files", L"jpg", L"folders", L"files", L"png", L"jpg"}));
    EXPECT_FALSE(filter.isKindOnly());
    std::vector<int> kinds;
    for (int kind : filter.kinds())
        kinds.push_back(kind);
    EXPECT_EQ(kinds, (std::vector<int>{2, 3}));
    EXPECT_EQ(vectorOf(filter.extensions()), (std::vector<std::wstring>{L"jpg", L"png"}));
}

TEST(FilterTest, TagMatchesThroughItsItems)
{
    Tag tag(L"t");
    EXPECT_TRUE(tag.hasItemMatching(filterOf({1}, {})));
    EXPECT_FALSE(tag.hasItemMatching(filterOf({2}, {})));
    TaggedItem folder;
    folder.setPath(missingPath(L"folder\\"));
    Tag::linkItem(&tag, &folder);
    EXPECT_FALSE(tag.hasItemMatching(filterOf({2}, {})));
    TaggedItem file;
    file.setPath(missingPath(L"a.txt"));
    Tag::linkItem(&tag, &file);
    EXPECT_TRUE(tag.hasItemMatching(filterOf({2}, {})));
    EXPECT_FALSE(tag.hasItemMatching(filterOf({2}, {L"jpg"})));
}
