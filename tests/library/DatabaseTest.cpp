#include "foundation/Application.h"
#include "foundation/BinaryReader.h"
#include "foundation/Hooks.h"
#include "foundation/MemoryStream.h"
#include "library/Database.h"
#include "library/LibraryModel.h"
#include "tests/library/LibraryTestSupport.h"
#include "tests/support/DamagedInput.h"
#include "tests/support/RowTable.h"
#include "tests/support/StringPrinting.h"
#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <random>
#include <string>
#include <vector>

namespace {

// Library files put together byte by byte from the format, independently
// of the writer under test.
class LibraryFile {
public:
    LibraryFile(int tagCount, int itemCount, const std::string& name = "", const DateTime& created = {})
    {
        put('K', 1);
        put('R', 1);
        put(0, 2);
        put(1, 4);
        put(1, 4);
        put(1, 4);
        putDate(created);
        std::string field = name;
        field.resize(255, '\0');
        bytes.insert(bytes.end(), field.begin(), field.end());
        for (int i = 0; i < 16; ++i)
            put(static_cast<std::uint64_t>(i * 7 + 1), 1);
        put(static_cast<std::uint32_t>(tagCount), 4);
        put(static_cast<std::uint32_t>(itemCount), 4);
    }

    LibraryFile& item(const std::string& path, std::int64_t usage = 0, const DateTime& date = {})
    {
        putHead(path, usage, date);
        putText(path);
        return *this;
    }

    LibraryFile& tag(const std::string& name, const std::vector<std::uint32_t>& indices, std::int64_t usage = 0,
                     const DateTime& date = {}, int indexCount = -1)
    {
        putHead(name, usage, date);
        put(static_cast<std::uint32_t>(indexCount < 0 ? static_cast<int>(indices.size()) : indexCount), 4);
        putText(name);
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

    void putText(const std::string& text) { bytes.insert(bytes.end(), text.begin(), text.end()); }
};

// A small valid library: three items and two tags, links in record order.
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

std::wstring dateText(const DateTime& d)
{
    return wide(String::format(L"%d-%d-%d %d:%d:%d.%d", d.year(), d.month(), d.day(), d.hour(), d.minute(),
                               d.second(), d.millisecond()));
}

template <typename T, typename P>
int positionIn(const PointerArray<T>& array, P p)
{
    return array.indexOf(const_cast<T>(p));
}

// One record as text: its text, usage, date and the positions of what it
// links to in the other array.
template <typename Links, typename Others>
std::wstring recordLine(const String& text, std::int64_t usage, const DateTime& date, const wchar_t* label,
                        const Links& links, const Others& others)
{
    std::wstring line = wide(text) + L" | " + std::to_wstring(usage) + L" | " + dateText(date) + L" | " + label;
    for (const auto* linked : links)
        line += L" " + std::to_wstring(positionIn(others, linked));
    return line;
}

// Everything the library file keeps, with links in the order the records
// hold them.
std::vector<std::wstring> contentsOf(const LibraryModel& model)
{
    std::vector<std::wstring> lines;
    for (const TaggedItem* item : model.items())
        lines.push_back(recordLine(item->path(), item->usage(), item->date(), L"tags", item->tags(), model.tags()));
    for (const Tag* tag : model.tags())
        lines.push_back(recordLine(tag->name(), tag->usage(), tag->date(), L"items", tag->items(), model.items()));
    return lines;
}

class RecordingUi : public UiHooks {
public:
    class Window : public ProgressWindow {
    public:
        explicit Window(RecordingUi& ui) : m_ui(ui) {}
        void setMessage(const String& text) override { m_ui.messages.push_back(wide(text)); }
        void setPercent(int percent) override { m_ui.lastPercent = percent; }

    private:
        RecordingUi& m_ui;
    };

    int information(const String&, const String& text, const String&, int, int) override
    {
        boxes.push_back(wide(text));
        return 0;
    }

    std::unique_ptr<ProgressWindow> createProgressWindow() override { return std::make_unique<Window>(*this); }

    std::vector<std::wstring> boxes;
    std::vector<std::wstring> messages;
    int lastPercent = -1;
};

class DatabaseTest : public ::testing::Test {
protected:
    void SetUp() override { setUiHooks(&ui); }
    void TearDown() override { setUiHooks(nullptr); }

    String path() const { return folder.file(L"kestrola.database"); }

    bool openBytes(const Bytes& bytes)
    {
        writeRaw(path(), bytes);
        return database.openFile(path(), true);
    }

    // Reads the bytes into the model as it is, without touching the disk.
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

    RecordingUi ui;
    TempFolder folder;
    LibraryModel model;
    Database database{&model};
};

TEST_F(DatabaseTest, FileFromTheFormatLoadsAndSavesBackByteForByte)
{
    const Bytes original = smallLibrary();
    ASSERT_TRUE(openBytes(original));
    EXPECT_EQ(database.lastError(), 0u);
    EXPECT_EQ(wide(database.name()), L"Home");
    EXPECT_EQ(dateText(database.created()), L"2020-1-2 3:4:5.6");
    EXPECT_EQ(contentsOf(model), (std::vector<std::wstring>{
                                     L"C:\\Photos\\beach.jpg | 7 | 2021-6-7 8:9:10.11 | tags 0 1",
                                     L"D:\\Notes\\ | 0 | 2022-1-1 0:0:0.0 | tags 1",
                                     L"C:\\Music\\song.mp3 | 1 | 2023-12-31 23:59:59.999 | tags 0",
                                     L"holiday | 3 | 2019-5-5 0:0:0.0 | items 0 2",
                                     L"work | 0 | 2018-4-4 0:0:0.0 | items 0 1",
                                 }));
    EXPECT_EQ(savedBytes(), original);
}

TEST_F(DatabaseTest, RoundTripKeepsUsagesDatesNamesAndPutsLinksInRecordOrder)
{
    ASSERT_TRUE(database.openFile(path(), true));
    TaggedItem* photo = model.addItem(L"C:\\Fotos\\\u00c4rger \u65e5\u672c.jpg", 5000000000LL, DateTime(2021, 2, 3, 4, 5, 6, 789));
    TaggedItem* folder = model.addItem(L"C:\\Music\\", -3, DateTime(1999, 12, 31));
    TaggedItem* emoji = model.addItem(L"C:\\a\\smile \U0001F600.txt", 0, DateTime());
    Tag* family = model.addTagWithUsage(L"\u5bb6\u65cf", (1LL << 40) + 1, DateTime(2001, 1, 1, 1, 1, 1, 1));
    Tag* holiday = model.addTagWithUsage(L"Urlaub \u00fc", 2, DateTime(2002, 2, 2));
    model.addTagWithUsage(L"empty", 0, DateTime(2003, 3, 3));
    Tag::linkItem(family, emoji);
    Tag::linkItem(holiday, emoji);
    Tag::linkItem(holiday, photo);
    Tag::linkItem(family, photo);
    Tag::linkItem(holiday, folder);
    const std::vector<std::wstring> before = contentsOf(model);
    ASSERT_TRUE(database.save(true));
    EXPECT_FALSE(database.created().isNull());

    ASSERT_TRUE(database.openFile(path(), true));
    std::vector<std::wstring> expected = before;
    // Links come back with a tag's items in item order and an item's tags in tag order.
    expected[0] = L"C:\\Fotos\\\u00c4rger \u65e5\u672c.jpg | 5000000000 | 2021-2-3 4:5:6.789 | tags 0 1";
    expected[2] = L"C:\\a\\smile \U0001F600.txt | 0 | 0-0-0 0:0:0.0 | tags 0 1";
    expected[3] = L"\u5bb6\u65cf | 1099511627777 | 2001-1-1 1:1:1.1 | items 0 2";
    expected[4] = L"Urlaub \u00fc | 2 | 2002-2-2 0:0:0.0 | items 0 1 2";
    EXPECT_EQ(contentsOf(model), expected);
}

TEST_F(DatabaseTest, HeaderAndRecordDamageGiveTheirErrorCodes)
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
        bool opens;
        std::uint32_t code;
    };
    const Row rows[] = {
        {"empty file", {}, true, 0},
        {"308 bytes", Bytes(valid.begin(), valid.begin() + 308), false, 3},
        {"bad magic, first byte", patched(0, 'k', 1), false, 2},
        {"bad magic, second byte", patched(1, 'r', 1), false, 2},
        {"newer minor version", patched(8, 2, 4), false, 4},
        {"newer major version", patched(4, 2, 4), false, 4},
        {"bad magic and bad version", LibraryFile(0, 0).patch(0, 'X', 1).patch(8, 2, 4).bytes, false, 2},
        {"tag count -1", patched(301, 0xFFFFFFFF, 4), false, 2},
        {"item count -1", patched(305, 0xFFFFFFFF, 4), false, 2},
        {"offset 12 is not examined", patched(12, 0xABCD, 4), true, 0},
        {"more items than records", LibraryFile(0, 2).item("C:\\a").bytes, false, 3},
        {"item path length 0", patched(309, 0, 4), false, 3},
        {"item path length beyond the limit", patched(309, 0x7FFFFFFF, 4), false, 3},
        {"index count beyond the file", LibraryFile(1, 0).tag("t", {}, 0, {}, 0x10000000).bytes, false, 3},
        {"index count beyond any buffer", LibraryFile(1, 0).tag("t", {}, 0, {}, 0x7FFFFFFF).bytes, false, 3},
        {"file ends inside an index list", LibraryFile(1, 1).item("C:\\a").tag("t", {0}, 0, {}, 2).bytes, false, 3},
        {"path at the limit", LibraryFile(0, 1).item(longPath).bytes, true, 0},
        {"path one byte over", LibraryFile(0, 1).item(longPath + "p").bytes, false, 3},
        {"name at the limit", LibraryFile(1, 0).tag(std::string(1536, 'n'), {}).bytes, true, 0},
        {"name one byte over", LibraryFile(1, 0).tag(std::string(1537, 'n'), {}).bytes, false, 3},
        {"negative index count", LibraryFile(1, 0).tag("t", {}, 0, {}, -5).bytes, true, 0},
    };
    forEachRow(rows, [&](const Row& row) {
        SCOPED_TRACE(row.what);
        EXPECT_EQ(openBytes(row.bytes), row.opens);
        EXPECT_EQ(database.lastError(), row.code);
        if (!row.opens) {
            EXPECT_EQ(model.itemCount() + model.tagCount(), 0);
        }
        DeleteFileW(database.keptUnreadablePath().c_str());
    });
}

TEST_F(DatabaseTest, RepeatedAndOutOfRangeIndicesLinkNothingMore)
{
    ASSERT_TRUE(openBytes(LibraryFile(3, 3)
                              .item("C:\\a")
                              .item("C:\\b")
                              .item("C:\\c")
                              .tag("twice", {2, 0, 2})
                              .tag("past the end", {3, 1})
                              .tag("none", {})
                              .bytes));
    const std::vector<std::wstring> contents = contentsOf(model);
    EXPECT_EQ(std::vector<std::wstring>(contents.begin() + 3, contents.end()),
              (std::vector<std::wstring>{L"twice | 0 | 0-0-0 0:0:0.0 | items 0 2",
                                         L"past the end | 0 | 0-0-0 0:0:0.0 | items 1",
                                         L"none | 0 | 0-0-0 0:0:0.0 | items"}));
}

// The links a walk over every tag's list for every item gives.
TEST_F(DatabaseTest, LinksMatchTheWalkOverEveryListForRandomFiles)
{
    std::mt19937 random(77);
    for (int trial = 0; trial < 200; ++trial) {
        const int itemCount = static_cast<int>(random() % 12);
        const int tagCount = static_cast<int>(random() % 6);
        LibraryFile file(tagCount, itemCount);
        for (int i = 0; i < itemCount; ++i)
            file.item("C:\\i" + std::to_string(i));
        std::vector<std::vector<std::uint32_t>> lists(static_cast<std::size_t>(tagCount));
        for (int t = 0; t < tagCount; ++t) {
            for (unsigned n = random() % 8; n > 0; --n)
                lists[static_cast<std::size_t>(t)].push_back(random() % static_cast<unsigned>(itemCount + 2));
            file.tag("t" + std::to_string(t), lists[static_cast<std::size_t>(t)]);
        }
        std::vector<std::wstring> itemLines;
        std::vector<std::wstring> tagLines(static_cast<std::size_t>(tagCount));
        for (int i = 0; i < itemCount; ++i) {
            std::wstring line = L"C:\\i" + std::to_wstring(i) + L" | 0 | 0-0-0 0:0:0.0 | tags";
            for (int t = 0; t < tagCount; ++t) {
                const auto& list = lists[static_cast<std::size_t>(t)];
                if (std::find(list.begin(), list.end(), static_cast<std::uint32_t>(i)) == list.end())
                    continue;
                line += L" " + std::to_wstring(t);
                tagLines[static_cast<std::size_t>(t)] += L" " + std::to_wstring(i);
            }
            itemLines.push_back(line);
        }
        for (int t = 0; t < tagCount; ++t)
            itemLines.push_back(L"t" + std::to_wstring(t) + L" | 0 | 0-0-0 0:0:0.0 | items" +
                                tagLines[static_cast<std::size_t>(t)]);
        model.clear();
        ASSERT_TRUE(readBytes(file.bytes));
        ASSERT_EQ(contentsOf(model), itemLines) << "trial " << trial;
    }
}

TEST_F(DatabaseTest, EveryPrefixAndRandomDamageFailCleanlyOrLoad)
{
    const Bytes valid = smallLibrary();
    expectEveryPrefixFailsCleanly(valid, [&](const Bytes& bytes) {
        // The empty file is an empty library (a row of the code table).
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
    EXPECT_EQ(database.lastError(), 3u);
    EXPECT_FALSE(database.hasPath());
    EXPECT_FALSE(fileExists(path()));
    EXPECT_EQ(wide(database.keptUnreadablePath()), wide(path()) + L".bad");
    EXPECT_EQ(readRaw(database.keptUnreadablePath()), damaged);
    ASSERT_EQ(ui.boxes.size(), 1u);
    EXPECT_NE(ui.boxes[0].find(wide(database.errorText())), std::wstring::npos);
    EXPECT_NE(ui.boxes[0].find(wide(database.keptUnreadablePath())), std::wstring::npos);

    // A second unreadable file does not replace the first one kept.
    const Bytes newer = LibraryFile(0, 0).patch(8, 5, 4).bytes;
    EXPECT_FALSE(openBytes(newer));
    EXPECT_EQ(database.lastError(), 4u);
    EXPECT_NE(wide(database.keptUnreadablePath()), wide(path()) + L".bad");
    EXPECT_EQ(readRaw(database.keptUnreadablePath()), newer);
    EXPECT_EQ(readRaw(path() + L".bad"), damaged);
}

TEST_F(DatabaseTest, FailedSaveLeavesTheOldFileAsItWas)
{
    ASSERT_TRUE(openBytes(smallLibrary()));
    model.addItem(L"C:\\new.txt", 0, DateTime());
    const String temporary = path() + L".tmp";
    HANDLE held = INVALID_HANDLE_VALUE;
    const std::function<void()> blockers[] = {
        [&] { folder.makeFolder(L"kestrola.database.tmp"); },
        // Another program holds the file open without letting it be replaced.
        [&] {
            held = CreateFileW(path().c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
        },
    };
    forEachRow(blockers, [&](const std::function<void()>& block) {
        block();
        EXPECT_FALSE(database.save(true));
        EXPECT_EQ(readRaw(path()), smallLibrary());
        if (held != INVALID_HANDLE_VALUE)
            CloseHandle(held);
        held = INVALID_HANDLE_VALUE;
        RemoveDirectoryW(temporary.c_str());
        EXPECT_FALSE(fileExists(temporary));
    });
    EXPECT_TRUE(database.save(true));
}

TEST_F(DatabaseTest, FolderHoldingTheFileNameCannotBeOpenedOrReplaced)
{
    folder.makeFolder(L"kestrola.database");
    EXPECT_FALSE(database.openFile(path(), true));
    EXPECT_EQ(database.lastError(), 1u);
    EXPECT_TRUE(ui.boxes.empty());
    EXPECT_FALSE(database.save(true));
    const DWORD attributes = GetFileAttributesW(path().c_str());
    EXPECT_TRUE(attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY));
}

TEST_F(DatabaseTest, OpeningCreatesMissingFoldersAndAnEmptyFile)
{
    const String deep = folder.path() + L"new\\deeper\\kestrola.database";
    EXPECT_TRUE(database.openFile(deep, true));
    EXPECT_EQ(database.lastError(), 0u);
    EXPECT_TRUE(fileExists(deep));
    EXPECT_TRUE(readRaw(deep).empty());
    EXPECT_EQ(wide(database.path()), wide(deep));
}

TEST_F(DatabaseTest, WriterLeavesOutWhatItsReaderWouldRefuse)
{
    ASSERT_TRUE(database.openFile(path(), true));
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
    ASSERT_EQ(model.itemCount(), 2);
    EXPECT_EQ(wide(model.items()[1]->path()), L"C:\\last.txt");
    ASSERT_EQ(model.tagCount(), 2);
    EXPECT_EQ(wide(model.tags()[0]->name()), wide(String(L'\u65e5', 512)));
    EXPECT_EQ(model.tags()[0]->itemCount(), 2);
    EXPECT_EQ(wide(model.tags()[1]->name()), wide(String(L'a', 1535)));
}

TEST_F(DatabaseTest, LibraryNameRunsToItsFieldEndAndIsCutAtACharacterWhenWritten)
{
    std::string name(253, 'n');
    name += "\xC3\xA9\xC3\xA9";
    ASSERT_TRUE(openBytes(LibraryFile(0, 0, name).bytes));
    // The 254th byte starts a two-byte character whose second byte is cut off.
    EXPECT_EQ(wide(database.name()).substr(0, 254), std::wstring(253, L'n') + L"\uFFFD");
    const Bytes saved = savedBytes();
    EXPECT_EQ(std::string(saved.begin() + 30, saved.begin() + 285), std::string(253, 'n') + std::string(2, '\0'));
}

TEST_F(DatabaseTest, ShownProgressNamesEachStepAndEndsAtTheWholeCount)
{
    writeRaw(path(), smallLibrary());
    ASSERT_TRUE(database.openFile(path(), false));
    EXPECT_EQ(ui.messages, (std::vector<std::wstring>{L"Loading items...", L"Loading tags...", L"Preparing data..."}));
    EXPECT_EQ(ui.lastPercent, 100);
    ui.messages.clear();
    ASSERT_TRUE(database.save(false));
    EXPECT_EQ(ui.messages, (std::vector<std::wstring>{L"Saving items...", L"Saving tags..."}));
}

TEST_F(DatabaseTest, WithoutAPathSaveGoesToTheDataFolder)
{
    EXPECT_TRUE(Database::dataFolder().isEmpty());
    EXPECT_FALSE(database.open(L"kestrola.database", true));
    EXPECT_EQ(database.lastError(), 1u);

    Application application(L"KestrolaDatabaseTest", L"1.0");
    const String folderPath = Database::dataFolder();
    ASSERT_TRUE(folderPath.endsWith(L"\\KestrolaDatabaseTest\\"));
    model.addTagWithUsage(L"five", 5, DateTime());
    model.addTagWithUsage(L"seven", 7, DateTime());
    Database fresh(&model);
    EXPECT_TRUE(fresh.save(true));
    EXPECT_EQ(wide(fresh.path()), wide(Database::defaultPath()));
    EXPECT_TRUE(fileExists(Database::defaultPath()));

    // The model's own open reads the default file and recomputes its totals.
    LibraryModel reopened;
    EXPECT_TRUE(reopened.openDatabase());
    EXPECT_EQ(reopened.tagCount(), 2);
    EXPECT_EQ(reopened.totalTagUsage(), 12);
    EXPECT_EQ(reopened.largestTagUsage(), 7);
    DeleteFileW(Database::defaultPath().c_str());
    RemoveDirectoryW(folderPath.c_str());
}

} // namespace
