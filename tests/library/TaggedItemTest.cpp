#include "library/TaggedItem.h"

#include "foundation/Crc32.h"

#include "LibraryTestSupport.h"
#include "tests/support/RowTable.h"

#include <gtest/gtest.h>

namespace {

using TaggedItemTest = LibraryFixture;

// The case-blind hash and its confirmation by path are pinned with the
// model's colliding items.
TEST_F(TaggedItemTest, SetPathDecidesKindNameAndExtension)
{
    tree.makeFolder(L"Data");
    tree.makeFolder(L"Album.2010");
    tree.writeFile(L"photo.JPG", bytesOf("x"));
    tree.writeFile(L"README", bytesOf("x"));
    using Kind = TaggedItem::Kind;
    struct Row {
        const wchar_t* path; // below the tree, but for the drive root
        const wchar_t* stored;
        Kind kind;
        const wchar_t *displayName, *extension;
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
        {L"C:\\", L"C:\\", Kind::DriveRoot, L"C:\\", L""},
    };
    forEachRow(rows, [&](const Row& row) {
        const bool root = row.kind == Kind::DriveRoot;
        const String base = root ? String() : tree.path();
        TaggedItem item;
        item.setPath(base + row.path);
        EXPECT_EQ(item.path(), base + row.stored);
        EXPECT_EQ(item.kind(), row.kind);
        EXPECT_EQ(item.displayName(), String(row.displayName));
        EXPECT_EQ(item.extension(), String(row.extension));
        EXPECT_EQ(item.isRoot(), root);
        EXPECT_EQ(item.pathHash(), TaggedItem::hashOfPath(item.path()));
    });
}

TEST_F(TaggedItemTest, DisplayTexts)
{
    TaggedItem file;
    file.setPath(tree.writeFile(L"data.bin", Bytes(1536, 'x')));
    std::uint64_t size = 0;
    EXPECT_TRUE(file.sizeText(size).endsWith(String(L"Kb")));
    EXPECT_EQ(size, 1536u);
    EXPECT_NE(file.createdText(), String(L"-"));
    EXPECT_NE(file.modifiedText(), String(L"-"));

    TaggedItem folder;
    folder.setPath(tree.path());
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

} // namespace

// The hash lowers the path a piece at a time instead of through a copy; it
// must stay the CRC-32 of the lowered copy, also where a surrogate pair
// straddles two pieces.
TEST(TaggedItemHash, IsTheCrcOfTheLowerCasedPath)
{
    const String pair(L"\xD801\xDC00", 2);
    const String rows[] = {
        L"C:\\Users\\Me\\Photo.JPG",
        L"C:\\\x00C4rger\\\x03A3\x0418\\",
        String(L"D:\\") + pair + L"\\x",
        String(L'A', 255) + pair + L"B",
        String(L'Q', 254) + pair + String(L'Z', 300),
    };
    for (const String& path : rows) {
        const String lower = path.toLower();
        EXPECT_EQ(TaggedItem::hashOfPath(path), Crc32(lower.constData(), std::uint32_t(lower.byteCount())).value())
            << path.length();
    }
    EXPECT_EQ(TaggedItem::hashOfPath(String()), 0u);
}
