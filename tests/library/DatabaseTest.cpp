#include "foundation/Application.h"
#include "foundation/BinaryReader.h"
#include "foundation/MemoryStream.h"
#include "library/Database.h"
#include "LibraryTestSupport.h"
#include "tests/support/ByteSink.h"
#include "tests/support/DamagedInput.h"
#include "tests/support/HeldFile.h"
#include "tests/support/Links.h"
#include "tests/support/OtherWriter.h"
#include "tests/support/RowTable.h"

#include <functional>
#include <optional>
#include <random>
#include <utility>

namespace {

// Library files put together byte by byte from the format, independently
// of the writer under test.
class LibraryFile {
public:
    LibraryFile(int tagCount, int itemCount, const std::string& name = "", const DateTime& created = {})
    {
        put('K' | 'R' << 8, 4);
        put(1, 4);
        put(1, 4);
        put(1, 4);
        putDate(created);
        std::string field = name;
        field.resize(255, '\0');
        bytes.insert(bytes.end(), field.begin(), field.end());
        put(0x0123456789ABCDEF, 8);
        put(0xFEDCBA9876543210, 8);
        put(static_cast<std::uint32_t>(tagCount), 4);
        put(static_cast<std::uint32_t>(itemCount), 4);
    }

    LibraryFile& item(const std::string& path, std::int64_t usage = 0, const DateTime& date = {})
    {
        putHead(path, usage, date);
        bytes.insert(bytes.end(), path.begin(), path.end());
        return *this;
    }

    // indexCount -1 writes the number of indices given.
    LibraryFile& tag(const std::string& name, const std::vector<std::uint32_t>& indices, std::int64_t usage = 0,
                     const DateTime& date = {}, int indexCount = -1)
    {
        putHead(name, usage, date);
        put(static_cast<std::uint32_t>(indexCount < 0 ? static_cast<int>(indices.size()) : indexCount), 4);
        bytes.insert(bytes.end(), name.begin(), name.end());
        for (std::uint32_t index : indices)
            put(index, 4);
        return *this;
    }

    LibraryFile& patch(std::size_t offset, std::uint64_t value, int width)
    {
        for (int i = 0; i < width; ++i)
            bytes[offset + static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(value >> (8 * i));
        return *this;
    }

    Bytes bytes;

private:
    void put(std::uint64_t value, int width)
    {
        for (int i = 0; i < width; ++i)
            bytes.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
    }

    void putDate(const DateTime& d)
    {
        for (int field : {d.year(), d.month(), d.day(), d.hour(), d.minute(), d.second(), d.millisecond()})
            put(static_cast<std::uint16_t>(field), 2);
    }

    void putHead(const std::string& text, std::int64_t usage, const DateTime& date)
    {
        put(text.size(), 4);
        putDate(date);
        put(0, 4);
        put(static_cast<std::uint64_t>(usage), 8);
    }
};

// Three items and two tags, the links in record order.
Bytes smallLibrary()
{
    return LibraryFile(2, 3, "Home", DateTime(2020, 1, 2, 3, 4, 5, 6))
        .item("C:\\Photos\\beach.jpg", 7, DateTime(2021, 6, 7, 8, 9, 10, 11))
        .item("D:\\Notes\\", 0, DateTime(2022, 1, 1))
        .item("C:\\Music\\song.mp3", 1, DateTime(2023, 12, 31, 23, 59, 59, 999))
        .tag("holiday", {0, 2}, 3, DateTime(2019, 5, 5))
        .tag("work", {0, 1}, 0, DateTime(2018, 4, 4))
        .bytes;
}

// A record as text: its text, usage, date and the positions of what it
// links to, in its own order.
template <typename Links, typename Others>
std::wstring recordLine(const String& text, std::int64_t usage, const DateTime& d, const Links& links,
                        const Others& others)
{
    std::wstring line = wide(text) + L" | " + std::to_wstring(usage) +
                        wide(String::format(L" | %d-%d-%d %d:%d:%d.%d |", d.year(), d.month(), d.day(), d.hour(),
                                            d.minute(), d.second(), d.millisecond()));
    for (const auto* linked : links)
        line += L" " + std::to_wstring(others.lastIndexOf(linked));
    return line;
}

// Everything the library file keeps: items, then tags.
std::vector<std::wstring> contentsOf(const LibraryModel& model)
{
    std::vector<std::wstring> lines;
    for (const TaggedItem* item : model.items())
        lines.push_back(recordLine(item->path(), item->usage(), item->date(), item->tags(), model.tags()));
    for (const Tag* tag : model.tags())
        lines.push_back(recordLine(tag->name(), tag->usage(), tag->date(), tag->items(), model.items()));
    return lines;
}

class DatabaseTest : public ::testing::Test {
protected:
    // A first run scans these instead of the user's own Recent folder and
    // Desktop; they do not exist, so the first-run rules find nothing.
    DatabaseTest() { model.setFirstRunFolders(folder.file(L"recent"), folder.file(L"desktop")); }

    String path() const { return folder.file(L"kestrola.database"); }

    bool openBytes(const Bytes& bytes)
    {
        writeRaw(path(), bytes);
        return database.openFile(path(), true);
    }

    // Into the model as it is, without the disk.
    bool readBytes(const Bytes& bytes)
    {
        MemoryStream stream(bytes.data(), bytes.size(), false);
        BinaryReader reader(&stream);
        ProgressWindow window;
        return reader.attach() && database.read(reader, true, window);
    }

    Bytes savedBytes()
    {
        EXPECT_TRUE(database.save(true));
        return readRaw(path());
    }

    // A session on the small library, no copy beside left from before, that
    // made one tag.
    bool openWithNewTag(const wchar_t* tag)
    {
        DeleteFileW((path() + L".new").c_str());
        if (!openBytes(smallLibrary()))
            return false;
        ui.boxes.clear();
        model.addTag(tag);
        return true;
    }

    static void expectKeptTag(const String& file, const wchar_t* tag)
    {
        LibraryModel kept;
        Database keptFile(&kept);
        ASSERT_TRUE(keptFile.openFile(file, true));
        EXPECT_NE(kept.findTagByName(tag), nullptr);
    }

    FakeLibraryHooks ui;
    TempFolder folder;
    LibraryModel model;
    Database database{&model};
};

TEST_F(DatabaseTest, FileFromTheFormatLoadsAndSavesBackByteForByte)
{
    const Bytes original = smallLibrary();
    ASSERT_TRUE(openBytes(original));
    EXPECT_EQ(wide(database.name()), L"Home");
    EXPECT_EQ(database.created(), DateTime(2020, 1, 2, 3, 4, 5, 6));
    EXPECT_EQ(contentsOf(model), (std::vector<std::wstring>{
                                     L"C:\\Photos\\beach.jpg | 7 | 2021-6-7 8:9:10.11 | 0 1",
                                     L"D:\\Notes\\ | 0 | 2022-1-1 0:0:0.0 | 1",
                                     L"C:\\Music\\song.mp3 | 1 | 2023-12-31 23:59:59.999 | 0",
                                     L"holiday | 3 | 2019-5-5 0:0:0.0 | 0 2",
                                     L"work | 0 | 2018-4-4 0:0:0.0 | 0 1",
                                 }));
    EXPECT_EQ(savedBytes(), original);
}

TEST_F(DatabaseTest, RoundTripKeepsUsagesDatesAndNamesAndPutsLinksInRecordOrder)
{
    // An empty file opens as a first run; its first-run tags are not under test.
    ASSERT_TRUE(openBytes({}));
    model.clear();
    TaggedItem* photo =
        model.addItem(L"C:\\F\\\u00c4rger \u65e5\u672c.jpg", 5000000000LL, DateTime(2021, 2, 3, 4, 5, 6, 7));
    TaggedItem* smile = model.addItem(L"C:\\a\\\U0001F600.txt", -3, DateTime(1999, 12, 31));
    Tag* family = model.addTagWithUsage(L"\u5bb6\u65cf", (1LL << 40) + 1, DateTime(2001, 1, 1, 1, 1, 1, 1));
    Tag* holiday = model.addTagWithUsage(L"Urlaub \u00fc", 2, DateTime(2002, 2, 2));
    Tag::linkItem(family, smile);
    Tag::linkItem(holiday, smile);
    Tag::linkItem(family, photo);
    ASSERT_TRUE(database.save(true));
    EXPECT_FALSE(database.created().isNull());

    ASSERT_TRUE(database.openFile(path(), true));
    EXPECT_EQ(contentsOf(model), (std::vector<std::wstring>{
                                     L"C:\\F\\\u00c4rger \u65e5\u672c.jpg | 5000000000 | 2021-2-3 4:5:6.7 | 0",
                                     L"C:\\a\\\U0001F600.txt | -3 | 1999-12-31 0:0:0.0 | 0 1",
                                     L"\u5bb6\u65cf | 1099511627777 | 2001-1-1 1:1:1.1 | 0 1",
                                     L"Urlaub \u00fc | 2 | 2002-2-2 0:0:0.0 | 1",
                                 }));
}

TEST_F(DatabaseTest, DamagedHeadersAndRecordsGiveTheirErrorCodes)
{
    const Bytes valid = smallLibrary();
    const auto patched = [&](std::size_t offset, std::uint64_t value, int width) {
        LibraryFile file(0, 0);
        file.bytes = valid;
        return file.patch(offset, value, width).bytes;
    };
    const std::string longPath = "C:\\" + std::string(1563, 'p');
    struct Row {
        const char* what;
        Bytes bytes;
        std::uint32_t code; // 0 for a file that opens
    };
    const Row rows[] = {
        {"empty file", {}, 0},
        {"308 bytes", Bytes(valid.begin(), valid.begin() + 308), 3},
        {"bad magic, first byte", patched(0, 'k', 1), 2},
        {"bad magic, second byte", patched(1, 'r', 1), 2},
        {"newer minor version", patched(8, 2, 4), 4},
        {"newer major version", patched(4, 2, 4), 4},
        {"bad magic and bad version", LibraryFile(0, 0).patch(0, 'X', 1).patch(8, 2, 4).bytes, 2},
        {"tag count -1", patched(301, 0xFFFFFFFF, 4), 2},
        {"item count -1", patched(305, 0xFFFFFFFF, 4), 2},
        {"offset 12 is not examined", patched(12, 0xABCD, 4), 0},
        {"more items than records", LibraryFile(0, 2).item("C:\\a").bytes, 3},
        {"item path length 0", patched(309, 0, 4), 3},
        {"path at the limit", LibraryFile(0, 1).item(longPath).bytes, 0},
        {"path one byte over", LibraryFile(0, 1).item(longPath + "p").bytes, 3},
        {"name at the limit", LibraryFile(1, 0).tag(std::string(1536, 'n'), {}).bytes, 0},
        {"name one byte over", LibraryFile(1, 0).tag(std::string(1537, 'n'), {}).bytes, 3},
        {"index count beyond the file", LibraryFile(1, 0).tag("t", {}, 0, {}, 0x10000000).bytes, 3},
        {"index count beyond any buffer", LibraryFile(1, 0).tag("t", {}, 0, {}, 0x7FFFFFFF).bytes, 3},
        {"file ends inside an index list", LibraryFile(1, 1).item("C:\\a").tag("t", {0}, 0, {}, 2).bytes, 3},
        {"negative index count", LibraryFile(1, 0).tag("t", {}, 0, {}, -5).bytes, 0},
    };
    forEachRow(rows, [&](const Row& row) {
        SCOPED_TRACE(row.what);
        EXPECT_EQ(openBytes(row.bytes), row.code == 0);
        EXPECT_EQ(database.lastError(), row.code);
        if (row.code != 0) {
            EXPECT_EQ(model.itemCount() + model.tagCount(), 0);
        }
        DeleteFileW(database.keptUnreadablePath().c_str());
    });
}

// The reader makes room for the counts the header gives; counts far beyond
// the file must neither allocate for them nor upset the path index of the
// items that were there or that were read.
TEST_F(DatabaseTest, HeaderCountsThatLieReserveNoMoreThanTheFileHolds)
{
    const auto threeItems = [](int tagCount, int itemCount) {
        return LibraryFile(tagCount, itemCount).item("C:\\new\\a.txt").item("C:\\new\\B\\").item("C:\\new\\c");
    };
    struct Row {
        const char* what;
        Bytes bytes;
        std::uint32_t code;
        int itemsRead;
    };
    const Row rows[] = {
        {"true counts", threeItems(1, 3).tag("t", {0, 2}).bytes, 0, 3},
        {"the largest counts", threeItems(0x7FFFFFFF, 0x7FFFFFFF).bytes, 3, 3},
        {"items beyond the file", threeItems(1, 0x10000000).bytes, 3, 3},
        {"tags beyond the file", threeItems(0x7FFFFFFF, 3).tag("t", {1}).bytes, 3, 3},
    };
    forEachRow(rows, [&](const Row& row) {
        model.clear();
        model.addItem(L"C:\\old\\x.txt", 0, DateTime());
        model.addItem(L"C:\\old\\y.txt", 0, DateTime());
        EXPECT_EQ(readBytes(row.bytes), row.code == 0);
        EXPECT_EQ(database.lastError(), row.code);
        ASSERT_EQ(model.itemCount(), 2 + row.itemsRead);
        // No record takes less than a byte.
        EXPECT_LE(model.items().capacity(), 2 + static_cast<int>(row.bytes.size()));
        EXPECT_LE(model.tags().capacity(), static_cast<int>(row.bytes.size()));
        for (TaggedItem* item : model.items())
            EXPECT_EQ(model.findItemByPath(item->path().toUpper()), item) << wide(item->path());
        expectLinksTwoSided(model);
    });
}

// The reference is the walk over every tag's list for every item, which
// the buckets replace: repeats and indices past the items link nothing.
TEST_F(DatabaseTest, LinksOfRandomFilesMatchTheWalkOverEveryList)
{
    std::mt19937 random(77);
    for (int trial = 0; trial < 200; ++trial) {
        const int itemCount = static_cast<int>(random() % 12);
        const int tagCount = static_cast<int>(random() % 6);
        LibraryFile file(tagCount, itemCount);
        LibraryModel expected;
        for (int i = 0; i < itemCount; ++i) {
            file.item("C:\\i" + std::to_string(i));
            expected.addItem(String::format(L"C:\\i%d", i), 0, DateTime());
        }
        std::vector<std::vector<std::uint32_t>> lists(static_cast<std::size_t>(tagCount));
        for (auto& list : lists) {
            for (unsigned n = random() % 8; n > 0; --n)
                list.push_back(random() % static_cast<unsigned>(itemCount + 2));
            file.tag("t", list);
            expected.addTagWithUsage(L"t", 0, DateTime());
        }
        for (int i = 0; i < itemCount; ++i) {
            for (int t = 0; t < tagCount; ++t) {
                const auto& list = lists[static_cast<std::size_t>(t)];
                if (std::find(list.begin(), list.end(), static_cast<std::uint32_t>(i)) != list.end())
                    Tag::linkItem(expected.tags()[t], expected.items()[i]);
            }
        }
        model.clear();
        ASSERT_TRUE(readBytes(file.bytes));
        ASSERT_EQ(contentsOf(model), contentsOf(expected)) << "trial " << trial;
    }
}

TEST_F(DatabaseTest, EveryPrefixAndRandomDamageFailCleanlyOrLoad)
{
    const Bytes valid = smallLibrary();
    expectEveryPrefixFailsCleanly(valid, [&](const Bytes& bytes) {
        // The empty file is an empty library, a row of the code table.
        if (bytes.empty())
            return false;
        model.clear();
        const bool loaded = readBytes(bytes);
        EXPECT_EQ(database.lastError(), 3u);
        expectLinksTwoSided(model);
        return loaded;
    });
    forEachDamagedCopy(valid, 2024, 3000, [&](const Bytes& bytes) {
        model.clear();
        if (!readBytes(bytes)) {
            EXPECT_TRUE(database.lastError() >= 2 && database.lastError() <= 4);
        }
        expectLinksTwoSided(model);
    });
}

TEST_F(DatabaseTest, FailedReadKeepsTheUnreadableFileAsideAndSaysSo)
{
    const Bytes damaged = LibraryFile(0, 1).item("C:\\a").patch(309, 0, 4).bytes;
    EXPECT_FALSE(openBytes(damaged));
    EXPECT_FALSE(database.hasPath());
    EXPECT_FALSE(fileExistsRaw(path()));
    EXPECT_EQ(wide(database.keptUnreadablePath()), wide(path()) + L".bad");
    EXPECT_EQ(readRaw(database.keptUnreadablePath()), damaged);
    ASSERT_EQ(ui.boxes.size(), 1u);
    EXPECT_NE(ui.boxes[0].find(wide(database.errorText())), std::wstring::npos);
    EXPECT_NE(ui.boxes[0].find(wide(database.keptUnreadablePath())), std::wstring::npos);

    // A second unreadable file keeps the first one kept.
    const Bytes newer = LibraryFile(0, 0).patch(8, 5, 4).bytes;
    EXPECT_FALSE(openBytes(newer));
    EXPECT_NE(wide(database.keptUnreadablePath()), wide(path()) + L".bad");
    EXPECT_EQ(readRaw(database.keptUnreadablePath()), newer);
    EXPECT_EQ(readRaw(path() + L".bad"), damaged);
}

// A replace that failed (its temporary file refused, or the file held
// without delete sharing) lost the session: it goes beside, and the user
// learns which file failed. A save into a place where no file was any more
// made an empty file there first, and left it when the write failed: the
// next start read that as a new library. A name beside that failed was
// told together with the file's own place, which is told why instead.
TEST_F(DatabaseTest, FailedReplaceKeepsTheOldFileAndTheSessionGoesBeside)
{
    const String temporary = path() + L".tmp";
    const String besideTemporary = path() + L".new.tmp";
    const HeldFileWait noWait(0);
    std::optional<HeldFile> held;
    struct Row {
        std::function<void()> block;
        // Whether no file is in the place, and whether the first name
        // beside fails too while the place is in use.
        bool placeGone;
        bool besideFails;
    };
    const Row rows[] = {
        {[&] { folder.makeFolder(L"kestrola.database.tmp"); }, false, false},
        {[&] { held.emplace(path(), Hold::NoDeleteSharing); }, false, false},
        {[&] {
             DeleteFileW(path().c_str());
             folder.makeFolder(L"kestrola.database.tmp");
         },
         true, false},
        {[&] {
             held.emplace(path(), Hold::NoSharing);
             folder.makeFolder(L"kestrola.database.new.tmp");
         },
         false, true},
    };
    forEachRow(rows, [&](const Row& row) {
        ASSERT_TRUE(openBytes(smallLibrary()));
        DeleteFileW((path() + L".new").c_str());
        DeleteFileW((path() + L"_0000.new").c_str());
        ui.boxes.clear();
        model.addItem(L"C:\\new.txt", 0, DateTime());
        row.block();
        EXPECT_TRUE(database.save(true));
        held.reset();
        EXPECT_EQ(fileExistsRaw(path()), !row.placeGone);
        EXPECT_TRUE(row.placeGone || readRaw(path()) == smallLibrary());
        EXPECT_EQ(wide(database.besidePath()), wide(path()) + (row.besideFails ? L"_0000.new" : L".new"));
        std::vector<std::wstring> unwritten{wide(path())};
        if (row.besideFails)
            unwritten.push_back(wide(path()) + L".new");
        EXPECT_EQ(vectorOf(database.unwrittenPaths()), unwritten);
        ASSERT_EQ(ui.boxes.size(), 1u);
        const wchar_t* why = row.besideFails ? L" is in use" : L" could not be written";
        EXPECT_NE(ui.boxes[0].find(wide(path()) + why), std::wstring::npos) << ui.boxes[0];
        EXPECT_EQ(ui.boxes[0].find(L"saved as " + wide(path()) + L".\n"), std::wstring::npos) << ui.boxes[0];
        RemoveDirectoryW(temporary.c_str());
        RemoveDirectoryW(besideTemporary.c_str());
        EXPECT_FALSE(fileExistsRaw(temporary));
    });
    ui.boxes.clear();

    // A folder holding the file's name can neither be opened nor replaced:
    // what the session adds goes beside it.
    folder.makeFolder(L"held");
    const String heldName = folder.file(L"held");
    EXPECT_FALSE(database.openFile(heldName, true));
    EXPECT_EQ(database.lastError(), 1u);
    EXPECT_TRUE(database.save(true)) << "nothing read and nothing added: nothing to keep";
    EXPECT_TRUE(ui.boxes.empty());
    model.addTag(L"new");
    EXPECT_TRUE(database.save(true));
    EXPECT_EQ(ui.boxes.size(), 1u);
    expectKeptTag(heldName + L".new", L"new");
}

TEST_F(DatabaseTest, WriterLeavesOutWhatItsReaderWouldRefuse)
{
    // An empty file opens as a first run; its first-run tags are not under test.
    ASSERT_TRUE(openBytes({}));
    model.clear();
    TaggedItem* first = model.addItem(L"C:\\first.txt", 0, DateTime());
    TaggedItem* tooLong = model.addItem(L"C:\\long.txt", 0, DateTime());
    TaggedItem* last = model.addItem(L"C:\\last.txt", 0, DateTime());
    tooLong->setPath(L"C:\\" + String(L'\u00e9', 800) + L".txt");
    Tag* tag = model.addTagWithUsage(String(L'\u65e5', 600), 0, DateTime());
    model.addTagWithUsage(String(), 0, DateTime());
    model.addTagWithUsage(String(L'a', 1535) + L"\u00e9", 0, DateTime());
    for (TaggedItem* item : {first, tooLong, last})
        Tag::linkItem(tag, item);
    ASSERT_TRUE(database.save(true));

    ASSERT_TRUE(database.openFile(path(), true));
    EXPECT_EQ(contentsOf(model), (std::vector<std::wstring>{
                                     L"C:\\first.txt | 0 | 0-0-0 0:0:0.0 | 0",
                                     L"C:\\last.txt | 0 | 0-0-0 0:0:0.0 | 0",
                                     wide(String(L'\u65e5', 512)) + L" | 0 | 0-0-0 0:0:0.0 | 0 1",
                                     std::wstring(1535, L'a') + L" | 0 | 0-0-0 0:0:0.0 |",
                                 }));
}

// The 254th byte starts a character whose second byte lies beyond the field.
TEST_F(DatabaseTest, LibraryNameRunsToItsFieldEndAndIsWrittenCutAtACharacter)
{
    ASSERT_TRUE(openBytes(LibraryFile(0, 0, std::string(253, 'n') + "\xC3\xA9\xC3\xA9").bytes));
    EXPECT_EQ(wide(database.name()), std::wstring(253, L'n') + L"\uFFFD");
    const Bytes saved = savedBytes();
    EXPECT_EQ(std::string(saved.begin() + 30, saved.begin() + 285), std::string(253, 'n') + std::string(2, '\0'));
}

TEST_F(DatabaseTest, DataFolderHoldsTheDefaultFileOnceTheApplicationNamesIt)
{
    EXPECT_TRUE(Database::dataFolder().isEmpty());
    EXPECT_FALSE(database.open(L"kestrola.database", true));
    EXPECT_EQ(database.lastError(), 1u);

    const String deep = folder.path() + L"new\\deeper\\kestrola.database";
    EXPECT_TRUE(database.openFile(deep, true));
    EXPECT_TRUE(fileExistsRaw(deep) && readRaw(deep).empty());
    database.reset();
    // That first run ended before its first save: the next start is a first run again.
    EXPECT_TRUE(database.openFile(deep, true));
    EXPECT_NE(model.findTagByName(L"Desktop"), nullptr);
    database.reset();

    Application application(L"KestrolaDatabaseTest", L"1.0");
    ASSERT_TRUE(Database::dataFolder().endsWith(L"\\KestrolaDatabaseTest\\"));
    model.addTagWithUsage(L"five", 5, DateTime());
    model.addTagWithUsage(L"seven", 7, DateTime());
    Database fresh(&model);
    EXPECT_TRUE(fresh.save(true));
    EXPECT_EQ(wide(fresh.path()), wide(Database::defaultPath()));

    // The model's own open reads the default file and recomputes its totals.
    LibraryModel reopened;
    EXPECT_TRUE(reopened.openDatabase());
    EXPECT_EQ(reopened.tagCount(), 2);
    EXPECT_EQ(reopened.totalTagUsage(), 12);
    EXPECT_EQ(reopened.largestTagUsage(), 7);
    DeleteFileW(Database::defaultPath().c_str());
    RemoveDirectoryW(Database::dataFolder().c_str());
}

// Held by another program at open, without sharing or with a byte-range
// lock over it (which read as damage: the file went aside as ".bad" and the
// next save wrote an empty library in its place), the library is never
// written over; what the session added goes beside it, told once.
TEST_F(DatabaseTest, LibraryHeldAtOpenIsNeverWrittenOverAndTheSessionGoesBeside)
{
    forEachRow(std::vector<Hold>{Hold::NoSharing, Hold::ByteRangeLock}, [&](Hold hold) {
        DeleteFileW((path() + L".new").c_str());
        ASSERT_TRUE(writeRaw(path(), smallLibrary()));
        ui.boxes.clear();
        HeldFile held(path(), hold);
        ASSERT_TRUE(held.isHeld());
        EXPECT_FALSE(database.openFile(path(), true));
        EXPECT_EQ(model.scanRules().count(), 0) << "first-run content in place of a library held open";
        EXPECT_EQ(wide(database.heldPath()), wide(path()));
        EXPECT_FALSE(fileExistsRaw(path() + L".bad"));
        ASSERT_EQ(ui.boxes.size(), 1u);
        EXPECT_NE(ui.boxes[0].find(L"in use"), std::wstring::npos) << ui.boxes[0];
        EXPECT_TRUE(database.save(true)) << "the session changed nothing";
        EXPECT_FALSE(fileExistsRaw(path() + L".new"));
        held.release();
        model.addTag(L"new");
        EXPECT_TRUE(database.save(true));
        model.addTag(L"newer");
        EXPECT_TRUE(database.save(true));
        ASSERT_EQ(ui.boxes.size(), 2u) << "where the session went is told once";
        EXPECT_NE(ui.boxes[1].find(L"could not be read when this session began"), std::wstring::npos);
        // Another program held the file beside at the next save, which named
        // the library and lost the session's changes since: it goes on to
        // the next name, and says that the copy is in use.
        model.addTag(L"newest");
        std::optional<HeldFile> heldBeside(std::in_place, path() + L".new", Hold::NoSharing);
        EXPECT_TRUE(database.save(true));
        heldBeside.reset();
        EXPECT_EQ(readRaw(path()), smallLibrary());
        EXPECT_EQ(wide(database.besidePath()), wide(path()) + L"_0000.new");
        ASSERT_EQ(ui.boxes.size(), 3u);
        EXPECT_NE(ui.boxes[2].find(wide(path()) + L".new, is in use"), std::wstring::npos) << ui.boxes[2];
        expectKeptTag(database.besidePath(), L"newest");
        DeleteFileW(database.besidePath().c_str());

        // Once read, the file is the library again.
        ASSERT_TRUE(database.openFile(path(), true));
        EXPECT_TRUE(database.heldPath().isEmpty());
        EXPECT_EQ(savedBytes(), smallLibrary());
    });
}

// The fake hooks, with progress windows that run the action once, at the
// first message a save gives them: another program's write meanwhile.
class MidSaveHooks : public FakeLibraryHooks {
public:
    std::function<void()> action;

    std::unique_ptr<ProgressWindow> createProgressWindow() override { return std::make_unique<Window>(action); }

private:
    struct Window : ProgressWindow {
        explicit Window(std::function<void()>& action) : action(action) {}
        void setMessage(const String&) override
        {
            if (action)
                std::exchange(action, nullptr)();
        }
        std::function<void()>& action;
    };
};

// Another program wrote the library after this run read or created it,
// before the save or while the save wrote the new file, and the save
// replaced that with the session's library, also one rewritten in place or
// made anew keeping size and time, which its identity does not show.
TEST_F(DatabaseTest, LibraryChangedSinceItWasReadIsNotWrittenOver)
{
    struct Row {
        bool existed;
        std::optional<Rewrite> rewrite;
        bool whileWriting;
    };
    const Bytes replaced = LibraryFile(0, 1).item("C:\\theirs.txt").bytes;
    Bytes rewritten = smallLibrary();
    rewritten[30] = 'h';
    MidSaveHooks hooks;
    hooks.model = &model;
    const std::vector<Row> rows = {
        {true, {}, false}, {false, {}, false}, {true, Rewrite::InPlace, false}, {true, Rewrite::Recreated, false},
        {true, {}, true},  {false, {}, true},  {true, Rewrite::InPlace, true},  {true, Rewrite::Recreated, true},
    };
    forEachRow(rows, [&](const Row& row) {
        DeleteFileW(path().c_str());
        DeleteFileW((path() + L".new").c_str());
        hooks.boxes.clear();
        ASSERT_TRUE(row.existed ? openBytes(smallLibrary()) : database.openFile(path(), true));
        const Bytes& theirs = row.rewrite ? rewritten : replaced;
        const auto writeTheirs = [&] {
            ASSERT_TRUE(row.rewrite ? rewriteKeepingSizeAndTime(path(), theirs, *row.rewrite) : writeRaw(path(), theirs));
        };
        if (row.whileWriting)
            hooks.action = writeTheirs;
        else
            writeTheirs();
        model.addTag(L"mine");
        EXPECT_TRUE(database.save(!row.whileWriting));
        EXPECT_EQ(readRaw(path()), theirs);
        ASSERT_EQ(hooks.boxes.size(), 1u);
        EXPECT_NE(hooks.boxes[0].find(wide(database.besidePath())), std::wstring::npos) << hooks.boxes[0];
        EXPECT_NE(hooks.boxes[0].find(L"was changed by another program"), std::wstring::npos) << hooks.boxes[0];
        expectKeptTag(database.besidePath(), L"mine");
    });
}

// Once another program had held the library through one save, every later
// save of the run went beside it, though the file was this run's again. The
// next save free to write it puts the session back, and removes the copy
// beside unless another program changed that meanwhile.
TEST_F(DatabaseTest, LibraryHeldForOneSaveGetsTheSessionBack)
{
    forEachRow(std::vector<bool>{false, true}, [&](bool copyChanged) {
        ASSERT_TRUE(openWithNewTag(L"held"));
        std::optional<HeldFile> held(std::in_place, path(), Hold::NoSharing);
        ASSERT_TRUE(database.save(true));
        held.reset();
        const String copy = database.besidePath();
        ASSERT_EQ(wide(copy), wide(path()) + L".new");
        if (copyChanged) {
            ASSERT_TRUE(writeRaw(copy, bytesOf("theirs")));
        }
        EXPECT_TRUE(database.save(true)) << "nothing changed since, but the session is beside";
        EXPECT_TRUE(database.besidePath().isEmpty());
        expectKeptTag(path(), L"held");
        EXPECT_EQ(fileExistsRaw(copy), copyChanged);
        ASSERT_EQ(ui.boxes.size(), 2u);
        EXPECT_NE(ui.boxes[1].find(L"saved in its place again"), std::wstring::npos) << ui.boxes[1];
        EXPECT_NE(ui.boxes[1].find(copyChanged ? L"is left as it is" : L"was removed"), std::wstring::npos)
            << ui.boxes[1];
        EXPECT_TRUE(database.save(true));
        EXPECT_EQ(ui.boxes.size(), 2u);
    });
}

// Another program removed or changed the copy a save kept beside the
// library it held. The next save of the session, though unchanged, wrote
// nothing, which lost it once the copy was gone; a save wrote over a copy
// that another program had changed; a held copy was said to be changed,
// and a folder at its name removed. A copy the user made read-only still
// holds what this run wrote, yet is theirs to keep: neither the read-only
// check nor the name passed over may be skipped. The session is saved
// again, beside, never over another file; once back in place, the copy
// goes only as this run wrote it; each message says what became of the
// copy. The user moved the copy into a folder of their own and left a link
// at its name: their file was removed through the link, a save beside
// wrote over the link, and an unchanged session took it for its own copy.
TEST_F(DatabaseTest, CopyBesideIsWrittenOverAndRemovedOnlyAsThisRunWroteIt)
{
    const HeldFileWait noWait(0);
    std::optional<HeldFile> heldCopy;
    folder.makeFolder(L"mine");
    const String moved = folder.file(L"mine\\kept.database");
    struct Row {
        std::function<void(const String&)> act;
        const wchar_t* told;
        // Whether what the other program left at the copy's name stays.
        bool stays;
        // Whether the session changed before its next save beside.
        bool changed;
    };
    const Row rows[] = {
        {[](const String& copy) { EXPECT_TRUE(DeleteFileW(copy.c_str())); }, L"is no longer there", false, false},
        {[](const String& copy) {
             Bytes theirs = readRaw(copy);
             theirs[40] ^= 1;
             EXPECT_TRUE(rewriteKeepingSizeAndTime(copy, theirs, Rewrite::InPlace));
         },
         L"was changed by another program", true, false},
        {[&](const String& copy) { heldCopy.emplace(copy, Hold::Writing); }, L"is in use", true, true},
        {[](const String& copy) { EXPECT_TRUE(SetFileAttributesW(copy.c_str(), FILE_ATTRIBUTE_READONLY)); },
         L"is read-only", true, true},
        {[](const String& copy) { EXPECT_TRUE(DeleteFileW(copy.c_str()) && CreateDirectoryW(copy.c_str(), nullptr)); },
         L"A folder stands at the name", true, false},
        {[&](const String& copy) {
             DeleteFileW(moved.c_str());
             EXPECT_TRUE(MoveFileW(copy.c_str(), moved.c_str()) && makeLink(copy, moved));
         },
         L"was changed by another program", true, false},
    };
    const auto clear = [](const String& name) {
        if (FileSystem::isLink(name))
            removeLink(name);
        SetFileAttributesW(name.c_str(), FILE_ATTRIBUTE_NORMAL);
        DeleteFileW(name.c_str());
        RemoveDirectoryW(name.c_str());
    };
    // What stands at the name, as the other program left it.
    const auto standing = [](const String& name) { return directoryExists(name) ? Bytes{'/'} : readRaw(name); };
    forEachRow(rows, [&](const Row& row) {
        ASSERT_TRUE(openWithNewTag(L"kept"));
        std::optional<HeldFile> held(std::in_place, path(), Hold::NoSharing);
        ASSERT_TRUE(database.save(true));
        // While the library is held the session goes beside again; once it
        // is free, back in its place.
        for (const bool placeFree : {false, true}) {
            const String copy = database.besidePath();
            row.act(copy);
            const Bytes left = standing(copy);
            if (placeFree)
                held.reset();
            else if (row.changed)
                model.addTag(L"changed");
            ASSERT_TRUE(database.save(true));
            heldCopy.reset();
            const String again = database.besidePath();
            const std::wstring beside = wide(path()) + (row.stays ? L"_0000.new" : L".new");
            EXPECT_EQ(wide(again), placeFree ? std::wstring() : beside);
            expectKeptTag(placeFree ? path() : again, L"kept");
            EXPECT_TRUE(!row.stays || standing(copy) == left);
            ASSERT_EQ(ui.boxes.size(), placeFree ? 3u : 2u);
            EXPECT_NE(ui.boxes.back().find(row.told), std::wstring::npos) << ui.boxes.back();
            EXPECT_TRUE(placeFree || ui.boxes.back().find(L"saved as " + beside) != std::wstring::npos);
            if (placeFree || row.stays)
                clear(copy);
        }
    });
}

// A session saved in its place that then changed nothing wrote nothing at
// the exit, though another program had removed the file: the session was
// in no file. It is saved again.
TEST_F(DatabaseTest, SessionWhoseSavedFileWentIsSavedAgain)
{
    ASSERT_TRUE(openWithNewTag(L"saved"));
    ASSERT_TRUE(database.save(true));
    ASSERT_TRUE(DeleteFileW(path().c_str()));
    EXPECT_TRUE(database.save(true));
    expectKeptTag(path(), L"saved");
    EXPECT_TRUE(ui.boxes.empty());
}

// A session that changed nothing wrote the library at every save: beside
// another program's file, with a message, or over its own.
TEST_F(DatabaseTest, SessionThatChangedNothingWritesNothing)
{
    for (const bool replaced : {false, true}) {
        ASSERT_TRUE(openBytes(smallLibrary()));
        ASSERT_TRUE(!replaced || writeRaw(path(), LibraryFile(0, 0).bytes));
        const FileIdentity before = FileSystem::identity(path());
        EXPECT_TRUE(database.save(true));
        EXPECT_EQ(FileSystem::identity(path()), before) << replaced;
        EXPECT_FALSE(fileExistsRaw(path() + L".new"));
        EXPECT_TRUE(ui.boxes.empty());
        // Nor once its changes are saved.
        model.addTag(L"mine");
        ASSERT_TRUE(database.save(true));
        const FileIdentity saved = FileSystem::identity(replaced ? database.besidePath() : path());
        EXPECT_TRUE(database.save(true));
        EXPECT_EQ(FileSystem::identity(replaced ? database.besidePath() : path()), saved) << replaced;
    }
}

// A session that changed nothing since its save, whose file (in its place
// or the copy beside) another program held without sharing reads, was
// taken for changed: the save waited, wrote another copy beside and told
// the user. Held and still the file this run wrote by its identity, it is
// kept; held after another program changed it, it goes as before. One that
// had kept the size and given the write time back was kept too, and the
// session was nowhere: its change time tells.
TEST_F(DatabaseTest, HeldFileStillAsSavedIsKeptAndNothingIsWritten)
{
    enum class Change { None, Written, KeepingSizeAndTime };
    struct Row {
        bool beside;
        Change changedBeforeHold;
    };
    const Row rows[] = {{false, Change::None},    {false, Change::Written}, {false, Change::KeepingSizeAndTime},
                        {true, Change::None},     {true, Change::Written}};
    const HeldFileWait noWait(0);
    forEachRow(rows, [&](const Row& row) {
        ASSERT_TRUE(openWithNewTag(L"saved"));
        std::optional<HeldFile> library;
        if (row.beside)
            library.emplace(path(), Hold::NoSharing);
        ASSERT_TRUE(database.save(true));
        const String file = row.beside ? database.besidePath() : path();
        Bytes theirs = readRaw(file);
        theirs[theirs.size() / 2] ^= 1;
        ASSERT_TRUE(row.changedBeforeHold != Change::Written || writeRaw(file, bytesOf("theirs")));
        ASSERT_TRUE(row.changedBeforeHold != Change::KeepingSizeAndTime ||
                    rewriteKeepingSizeAndTime(file, theirs, Rewrite::InPlace));
        const FileIdentity before = FileSystem::identity(file);
        const std::size_t told = ui.boxes.size();
        std::optional<HeldFile> held(std::in_place, file, Hold::NoSharing);
        ASSERT_TRUE(held->isHeld());
        EXPECT_TRUE(database.save(true));
        held.reset();
        library.reset();
        const String another = path() + (row.beside ? L"_0000.new" : L".new");
        const bool changed = row.changedBeforeHold != Change::None;
        EXPECT_EQ(fileExistsRaw(another), changed);
        EXPECT_EQ(ui.boxes.size() > told, changed);
        if (changed)
            expectKeptTag(another, L"saved");
        EXPECT_EQ(FileSystem::identity(file), before);
        DeleteFileW(another.c_str());
    });
}

// A library of megabytes reaches and leaves the disk in many blocks, summed
// as they pass rather than read again: bytes after its records that its
// reader never takes must still count, or the file would not be this run's
// own, and every block must reach the file written.
TEST_F(DatabaseTest, LibraryOfManyBlocksIsSavedInItsPlaceByteForByte)
{
    const auto library = [](std::int64_t usage) {
        const int count = 15000;
        LibraryFile file(1, count, "Big", DateTime(2020, 1, 2));
        std::vector<std::uint32_t> all;
        for (int i = 0; i < count; ++i) {
            file.item("C:\\" + std::string(200, 'f') + "\\" + std::to_string(i) + ".txt", i, DateTime(2022, 1, 1));
            all.push_back(static_cast<std::uint32_t>(i));
        }
        return file.tag("all", all, usage, DateTime(2021, 1, 1)).bytes;
    };
    Bytes withTail = library(1);
    withTail.resize(withTail.size() + (3 << 19), 0xAB);
    ASSERT_TRUE(openBytes(withTail));
    model.findTagByName(L"all")->setUsage(2);
    EXPECT_EQ(savedBytes(), library(2));
    EXPECT_TRUE(database.besidePath().isEmpty());
}

// A full disk cut the library short, and the save took the cut file for
// the whole: it replaced the library and the save said it succeeded.
TEST_F(DatabaseTest, LibraryCutShortByAFullDiskIsNotTakenForWritten)
{
    ASSERT_TRUE(openBytes(smallLibrary()));
    const Database::Built built(database);
    ByteSink disk;
    disk.room = smallLibrary().size() / 2;
    EXPECT_FALSE(built.writeTo(disk, false));
}

// The save replaced the link with a plain file, and the file it led to (in
// a synced folder, say) kept the old library.
TEST_F(DatabaseTest, LibraryReachedThroughALinkIsSavedToTheFileItLeadsTo)
{
    folder.makeFolder(L"synced");
    const String target = folder.writeFile(L"synced\\kestrola.database", smallLibrary());
    if (!makeLink(path(), target))
        GTEST_SKIP() << "no file link could be made here";
    const LinkRemover remover{path()};
    ASSERT_TRUE(database.openFile(path(), true));
    model.addTag(L"new");
    ASSERT_TRUE(database.save(true));
    EXPECT_TRUE(database.besidePath().isEmpty());
    expectKeptTag(target, L"new");
    EXPECT_EQ(readRaw(path()), readRaw(target)) << "the link still leads to the file";
}

// A link at a save's temporary name, to another program's file in another
// folder: the save wrote the library into that file, through a hard link or
// a symbolic one, and moved it into the library's place. The file stays as
// it was, and the save lands: at its name once the link is removed, which
// Wine cannot do for a Linux link without removing its file, so there that
// link stays and the session goes to the next name, and the user is told.
TEST_F(DatabaseTest, LinkAtTheTemporaryNameIsRemovedAndItsFileLeftAlone)
{
    const HeldFileWait noWait(0);
    folder.makeFolder(L"theirs");
    const Bytes precious = bytesOf("another program's file");
    const String theirs = folder.file(L"theirs\\precious.txt");
    struct Row {
        LinkKind kind;
        bool beside;
    };
    const Row rows[] = {
        {LinkKind::Symbolic, false}, {LinkKind::Hard, false}, {LinkKind::Symbolic, true}, {LinkKind::Hard, true}};
    forEachRow(rows, [&](const Row& row) {
        ASSERT_TRUE(openWithNewTag(L"saved") && writeRaw(theirs, precious));
        std::optional<HeldFile> held;
        if (row.beside)
            held.emplace(path(), Hold::NoSharing);
        const String saved = row.beside ? path() + L".new" : path();
        const LinkRemover link{saved + L".tmp"};
        if (!makeLink(row.kind, link.link, theirs))
            GTEST_SKIP() << "no file link could be made here";
        EXPECT_TRUE(database.save(true));
        const String landed = database.besidePath().isEmpty() ? path() : database.besidePath();
        const bool linkStays = row.kind == LinkKind::Symbolic && wineUnixName();
        const String next = row.beside ? path() + L"_0000.new" : path() + L".new";
        EXPECT_EQ(wide(landed), wide(linkStays ? next : saved));
        expectKeptTag(landed, L"saved");
        EXPECT_EQ(ui.boxes.size(), landed == path() ? 0u : 1u);
        EXPECT_EQ(readRaw(theirs), precious);
        EXPECT_EQ(readRaw(link.link), linkStays ? precious : Bytes());
        held.reset();
        DeleteFileW(next.c_str());
        DeleteFileW((path() + L".new").c_str());
    });
}

// The same link while the drive of its file is away: the save replaced the
// link with a plain file, and the next start read that in place of the
// user's library.
TEST_F(DatabaseTest, LibraryLinkWhoseFileIsAwayIsNeitherMovedNorWrittenOver)
{
    const String synced = folder.makeFolder(L"synced");
    const String away = folder.file(L"away");
    const String target = folder.writeFile(L"synced\\kestrola.database", smallLibrary());
    if (!makeLink(path(), target))
        GTEST_SKIP() << "no file link could be made here";
    const LinkRemover remover{path()};
    ASSERT_TRUE(MoveFileW(synced.c_str(), away.c_str()));
    EXPECT_FALSE(database.openFile(path(), true));
    model.addTag(L"new");
    EXPECT_TRUE(database.save(true));
    EXPECT_FALSE(fileExistsRaw(path() + L".bad"));
    ASSERT_TRUE(MoveFileW(away.c_str(), synced.c_str()));
    EXPECT_EQ(readRaw(path()), smallLibrary()) << "the link still leads to the user's library";
    expectKeptTag(database.besidePath(), L"new");
}

// The same on the default path, which open fills in from the file name: the
// held file keeps its place and the session's library goes beside it.
TEST_F(DatabaseTest, LibraryInUseOnTheDefaultPathIsNeverWrittenOver)
{
    const Application application(L"KestrolaInUseTest", L"1.0");
    const String defaultPath = Database::defaultPath();
    CreateDirectoryW(Database::dataFolder().c_str(), nullptr);
    ASSERT_TRUE(writeRaw(defaultPath, smallLibrary()));
    HANDLE held = CreateFileW(defaultPath.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    EXPECT_FALSE(database.open(Database::defaultFileName(), true));
    EXPECT_EQ(wide(database.heldPath()), wide(defaultPath));
    CloseHandle(held);
    model.addTag(L"new");
    EXPECT_TRUE(database.save(true));
    EXPECT_EQ(readRaw(defaultPath), smallLibrary());
    expectKeptTag(database.besidePath(), L"new");
    DeleteFileW(database.besidePath().c_str());
    DeleteFileW(defaultPath.c_str());
    RemoveDirectoryW(Database::dataFolder().c_str());
}

// The first-run content goes only to a library file that opens and holds
// nothing; its length used to be asked of the disk apart from the read, and
// a file whose length could not be read counted as empty.
TEST_F(DatabaseTest, FirstRunContentOnlyForAnEmptyFileThatOpens)
{
    struct Row {
        const char* name;
        bool exists;
        bool held;
    };
    const Row rows[] = {{"missing", false, false}, {"empty", true, false}, {"empty, held by another program", true, true}};
    forEachRow(rows, [&](const Row& row) {
        DeleteFileW(path().c_str());
        if (row.exists)
            writeRaw(path(), {});
        HANDLE held = row.held ? CreateFileW(path().c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr)
                               : INVALID_HANDLE_VALUE;
        LibraryModel opened;
        opened.setFirstRunFolders(folder.file(L"recent"), folder.file(L"desktop"));
        Database file(&opened);
        EXPECT_EQ(file.openFile(path(), true), !row.held);
        EXPECT_EQ(opened.findTagByName(L"Desktop") != nullptr, !row.held);
        EXPECT_EQ(opened.scanRules().count(), row.held ? 0 : 2);
        EXPECT_EQ(opened.filters().count(), row.held ? 0 : 4);
        if (held != INVALID_HANDLE_VALUE)
            CloseHandle(held);
    });
}

// The review found no test at the limit itself: paths of exactly the
// longest length a record stores, in one- and two-byte characters.
TEST_F(DatabaseTest, ItemsWithTheLongestStoredPathKeepTheirLinks)
{
    ASSERT_TRUE(openBytes({}));
    model.clear();
    const String ascii = L"C:\\" + String(L'a', TaggedItem::maxPathBytes - 3);
    const String accented = L"C:\\" + String(L'\u00e9', (TaggedItem::maxPathBytes - 4) / 2) + L"b";
    ASSERT_EQ(accented.toUtf8().size(), TaggedItem::maxPathBytes);
    Tag* first = model.addTagWithUsage(L"first", 1, DateTime());
    Tag* second = model.addTagWithUsage(L"second", 2, DateTime());
    const DateTime date(2024, 2, 29, 12, 0, 0, 0);
    TaggedItem* items[] = {model.addItem(ascii, 3, date), model.addItem(L"C:\\short", 0, date),
                           model.addItem(accented, 4, date)};
    ASSERT_TRUE(items[0] && items[1] && items[2]);
    Tag::linkItem(first, items[0]);
    Tag::linkItem(first, items[2]);
    Tag::linkItem(second, items[1]);
    Tag::linkItem(second, items[2]);
    const std::vector<std::wstring> before = contentsOf(model);
    ASSERT_TRUE(database.save(true));
    ASSERT_TRUE(database.openFile(path(), true));
    EXPECT_EQ(contentsOf(model), before);
    expectLinksTwoSided(model);
}

} // namespace
