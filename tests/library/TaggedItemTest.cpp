#include "library/TaggedItem.h"

#include "LibraryTestSupport.h"
#include "tests/support/RowTable.h"
#include "tests/support/StringPrinting.h"
#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

#include <string>

namespace {

// Two lower-case paths whose CRC-32 values are equal.
const wchar_t* const collidingPathA = L"c:\\music\\191.mp3";
const wchar_t* const collidingPathB = L"c:\\music\\50236140.mp3";

} // namespace

TEST(TaggedItemTest, SetPathDecidesKindNameAndExtension)
{
    TempFolder temp;
    temp.makeFolder(L"Data");
    temp.makeFolder(L"Album.2010");
    temp.writeFile(L"photo.JPG", bytesOf("x"));
    temp.writeFile(L"README", bytesOf("x"));
    using Kind = TaggedItem::Kind;
    struct Row {
        const wchar_t* path;  // below the temporary folder
        const wchar_t* stored;
        Kind kind;
        const wchar_t* displayName;
        const wchar_t* extension;
    };
    const Row rows[] = {
        {L"Data", L"Data\\", Kind::Folder, L"Data", L""},
        {L"Data\\", L"Data\\", Kind::Folder, L"Data", L""},
        {L"Album.2010", L"Album.2010", Kind::File, L"Album.2010", L"2010"},
        {L"photo.JPG", L"photo.JPG", Kind::File, L"photo.JPG", L"JPG"},
        {L"README", L"README", Kind::File, L"README", L""},
        {L"nothing", L"nothing", Kind::File, L"nothing", L""},
        {L"gone\\", L"gone\\", Kind::Folder, L"gone", L""},
        {L"gone.txt", L"gone.txt", Kind::File, L"gone.txt", L"txt"},
    };
    forEachRow(rows, [&](const Row& row) {
        TaggedItem item;
        item.setPath(temp.path() + row.path);
        EXPECT_EQ(item.path(), temp.path() + row.stored);
        EXPECT_EQ(item.kind(), row.kind);
        EXPECT_EQ(item.displayName(), String(row.displayName));
        EXPECT_EQ(item.extension(), String(row.extension));
        EXPECT_FALSE(item.isRoot());
        EXPECT_EQ(item.pathHash(), TaggedItem::hashOfPath(item.path()));
    });

    TaggedItem root;
    root.setPath(L"C:\\");
    EXPECT_EQ(root.kind(), Kind::DriveRoot);
    EXPECT_TRUE(root.isRoot());
    EXPECT_EQ(root.displayName(), String(L"C:\\"));
    EXPECT_TRUE(root.extension().isEmpty());
}

TEST(TaggedItemTest, HashIgnoresCaseAndSamePathConfirmsIt)
{
    TaggedItem upper;
    upper.setPath(L"C:\\A\\B.txt");
    TaggedItem lower;
    lower.setPath(L"c:\\a\\b.TXT");
    EXPECT_EQ(upper.pathHash(), lower.pathHash());
    EXPECT_TRUE(upper.samePath(lower));
    EXPECT_EQ(TaggedItem::hashOfPath(String()), 0u);

    // A collision of the hash alone used to make two files one item.
    TaggedItem a;
    a.setPath(collidingPathA);
    TaggedItem b;
    b.setPath(collidingPathB);
    ASSERT_EQ(a.pathHash(), b.pathHash());
    EXPECT_FALSE(a.samePath(b));
    EXPECT_FALSE(b.samePath(a));
}

TEST(TaggedItemTest, DisplayTexts)
{
    TempFolder temp;
    Bytes content(1536, 'x');
    TaggedItem file;
    file.setPath(temp.writeFile(L"data.bin", content));
    std::uint64_t size = 0;
    EXPECT_TRUE(file.sizeText(size).endsWith(String(L"Kb")));
    EXPECT_EQ(size, 1536u);
    EXPECT_NE(file.createdText(), String(L"-"));
    EXPECT_NE(file.modifiedText(), String(L"-"));

    TaggedItem folder;
    folder.setPath(temp.path());
    EXPECT_TRUE(folder.sizeText(size).endsWith(String(L"Bytes")));
    EXPECT_EQ(size, 0u);

    TaggedItem missing;
    missing.setPath(missingPath(L"a.txt"));
    EXPECT_EQ(missing.createdText(), String(L"-"));
    EXPECT_EQ(missing.modifiedText(), String(L"-"));

    // The registration date is shown in local time, whatever the zone.
    const DateTime date(2021, 3, 4, 12, 30, 0);
    missing.setDate(date);
    const DateTime local = date.toLocal();
    const String day = String::format(L"%04d/%02d/%02d ", local.year(), local.month(), local.day());
    EXPECT_TRUE(missing.dateText().startsWith(day)) << wide(missing.dateText());
    missing.setDate(DateTime(2000, 1, 2, 12, 0, 0));
    EXPECT_FALSE(missing.dateText().startsWith(day));
}
