#include "tests/support/ByteSink.h"
#include "tests/support/DamagedInput.h"
#include "tests/support/TempFolder.h"

#include "foundation/BinaryReader.h"
#include "foundation/BinaryWriter.h"
#include "foundation/DataPack.h"
#include "foundation/FileSystem.h"
#include "foundation/MemoryStream.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <map>
#include <string>

namespace {

// Builds pack bytes by hand, independently of the writer under test.
class PackBytes {
public:
    PackBytes& u8(int value)
    {
        bytes.push_back(static_cast<std::uint8_t>(value));
        return *this;
    }
    PackBytes& u32(std::uint32_t value)
    {
        for (int i = 0; i < 4; ++i)
            u8(static_cast<int>((value >> (8 * i)) & 0xFF));
        return *this;
    }
    PackBytes& u64(std::uint64_t value)
    {
        u32(static_cast<std::uint32_t>(value));
        return u32(static_cast<std::uint32_t>(value >> 32));
    }
    PackBytes& units(const std::wstring& text)
    {
        for (wchar_t c : text)
            u8(c & 0xFF).u8(c >> 8);
        return *this;
    }
    PackBytes& data(const Bytes& data)
    {
        bytes.insert(bytes.end(), data.begin(), data.end());
        return *this;
    }
    PackBytes& header(std::int32_t folders, std::int32_t files, std::uint32_t word1 = 1, std::uint32_t word2 = 0)
    {
        u8('F').u8('A').u8(0).u8(0).u32(word1).u32(word2);
        return u32(static_cast<std::uint32_t>(folders)).u32(static_cast<std::uint32_t>(files));
    }
    PackBytes& stamp()
    {
        for (std::uint32_t field : {2020u, 1u, 2u, 3u, 4u, 5u, 6u})
            u32(field);
        return *this;
    }
    PackBytes& folderRecord(std::uint32_t nameBytes, std::int32_t fileCount, std::uint64_t hash = 0,
                            std::uint32_t extra = 0)
    {
        return u32(nameBytes).u64(hash).u32(extra).stamp().u32(static_cast<std::uint32_t>(fileCount));
    }
    PackBytes& fileRecord(std::uint32_t nameBytes, std::uint32_t dataSize, std::uint64_t hash = 0,
                          std::uint32_t extra = 0)
    {
        return u32(nameBytes).u64(hash).u32(extra).stamp().u32(dataSize).u32(0);
    }
    // A record, the name with its zero unit, as the writer makes them.
    PackBytes& folder(const std::wstring& name, std::int32_t fileCount, std::uint64_t hash = 0,
                      std::uint32_t extra = 0)
    {
        return folderRecord(nameBytes(name), fileCount, hash, extra).units(name).terminator(name);
    }
    PackBytes& file(const std::wstring& name, const Bytes& content, std::uint64_t hash = 0, std::uint32_t extra = 0)
    {
        fileRecord(nameBytes(name), static_cast<std::uint32_t>(content.size()), hash, extra);
        return units(name).terminator(name).data(content);
    }

    Bytes bytes;

private:
    static std::uint32_t nameBytes(const std::wstring& name)
    {
        return name.empty() ? 0 : static_cast<std::uint32_t>(2 * name.size() + 2);
    }
    PackBytes& terminator(const std::wstring& name)
    {
        return name.empty() ? *this : u8(0).u8(0);
    }
};

// A memory stream that remembers the largest read it was asked for, so a
// test can tell a reader that trusts a size from one that checks it.
class WatchedStream : public MemoryStream {
public:
    explicit WatchedStream(const Bytes& bytes) : MemoryStream(bytes.data(), bytes.size(), true) {}

    int read(void* data, int count) override
    {
        largestRead = std::max(largestRead, count);
        return MemoryStream::read(data, count);
    }

    int largestRead = 0;
};

bool openBytes(DataPack& pack, const Bytes& bytes)
{
    return pack.openMemory(bytes.empty() ? nullptr : bytes.data(), static_cast<std::int64_t>(bytes.size()));
}

// Reads through readPack and reports the largest read request.
bool readWatched(DataPack& pack, const Bytes& bytes, int& largestRead)
{
    WatchedStream stream(bytes);
    BinaryReader reader(&stream);
    EXPECT_TRUE(reader.attach());
    const bool ok = pack.readPack(reader);
    reader.detach();
    largestRead = stream.largestRead;
    return ok;
}

Bytes bytesOfPack(const DataPack& pack)
{
    ByteSink sink;
    BinaryWriter writer(&sink);
    EXPECT_TRUE(writer.attach());
    EXPECT_TRUE(pack.savePack(writer));
    writer.detach();
    return sink.bytes;
}

Bytes contentOf(const PackFile& file)
{
    return file.size() ? Bytes(file.data(), file.data() + file.size()) : Bytes();
}

// Two folders, three files, distinct extra words and hashes.
Bytes samplePack()
{
    PackBytes p;
    p.header(2, 3, 7, 9);
    p.folder(L"images", 2, 0x1111, 0xA1);
    p.file(L"logo.png", bytesOf({1, 2, 3, 4}), 0x2222, 0xB1);
    p.file(L"empty.bin", {}, 0x3333, 0xB2);
    p.folder(L"xml/skins", 1, 0x4444, 0xA2);
    p.file(L"skins.xml", bytesOf("<skins/>"), 0x5555, 0xB3);
    return p.bytes;
}

std::uint64_t nameHash(const wchar_t* name)
{
    return String(name).hash();
}

} // namespace

TEST(DataPack, NewPackIsEmptyWithDefaultHeaderWords)
{
    DataPack pack;
    EXPECT_TRUE(pack.isEmpty());
    EXPECT_FALSE(pack.hasFiles());
    EXPECT_EQ(pack.folderCount(), 0);
    EXPECT_EQ(pack.fileCount(), 0);
    EXPECT_EQ(pack.headerWord1(), 1u);
    EXPECT_EQ(pack.headerWord2(), 0u);
    EXPECT_TRUE(pack.fileName().isEmpty());
}

TEST(DataPack, HeaderOnlyOpensAsEmptyPack)
{
    DataPack pack;
    ASSERT_TRUE(openBytes(pack, PackBytes().header(0, 0, 5, 6).bytes));
    EXPECT_TRUE(pack.isEmpty());
    EXPECT_EQ(pack.headerWord1(), 5u);
    EXPECT_EQ(pack.headerWord2(), 6u);
}

TEST(DataPack, HeaderBytesTwoAndThreeAreNotTested)
{
    Bytes bytes = PackBytes().header(0, 0).bytes;
    bytes[2] = 0xFF;
    bytes[3] = 0x7E;
    DataPack pack;
    EXPECT_TRUE(openBytes(pack, bytes));
}

TEST(DataPack, BadHeadersAreRejected)
{
    struct Case {
        const char* what;
        Bytes bytes;
    };
    Bytes wrongMagic = PackBytes().header(0, 0).bytes;
    wrongMagic[1] = 'B';
    Bytes lowerMagic = PackBytes().header(0, 0).bytes;
    lowerMagic[0] = 'f';
    lowerMagic[1] = 'a';
    Bytes short19 = PackBytes().header(0, 0).bytes;
    short19.pop_back();
    const Case cases[] = {
        {"19 bytes", short19},
        {"wrong second magic byte", wrongMagic},
        {"lower-case magic", lowerMagic},
        {"negative folder count", PackBytes().header(-1, 0).bytes},
        {"negative file count", PackBytes().header(0, -1).bytes},
        {"folder count beyond the bytes", PackBytes().header(1, 0).bytes},
    };
    for (const Case& c : cases) {
        DataPack pack;
        EXPECT_FALSE(openBytes(pack, c.bytes)) << c.what;
        EXPECT_TRUE(pack.isEmpty()) << c.what;
    }
}

TEST(DataPack, OpenMemoryRefusesNullAndEmptyInput)
{
    DataPack pack;
    const std::uint8_t byte = 'F';
    EXPECT_FALSE(pack.openMemory(nullptr, 20));
    EXPECT_FALSE(pack.openMemory(&byte, 0));
    EXPECT_FALSE(pack.openMemory(&byte, -5));
    ASSERT_TRUE(openBytes(pack, samplePack()));
    EXPECT_FALSE(pack.openMemory(nullptr, 20));
    EXPECT_TRUE(pack.isEmpty()) << "a refused open starts from an empty pack too";
}

TEST(DataPack, ReadsEveryFieldOfAHandBuiltPack)
{
    DataPack pack;
    ASSERT_TRUE(openBytes(pack, samplePack()));
    EXPECT_EQ(pack.headerWord1(), 7u);
    EXPECT_EQ(pack.headerWord2(), 9u);
    ASSERT_EQ(pack.folderCount(), 2);
    EXPECT_EQ(pack.fileCount(), 3);
    EXPECT_TRUE(pack.hasFiles());

    const PackFolder* images = pack.folders().first()->value;
    EXPECT_EQ(wide(images->name()), L"images");
    EXPECT_EQ(images->hash(), 0x1111u) << "hashes are taken from the file, not recomputed";
    EXPECT_EQ(images->extra(), 0xA1u);
    EXPECT_EQ(images->dateTime(), DateTime(2020, 1, 2, 3, 4, 5, 6));
    ASSERT_EQ(images->fileCount(), 2);

    const PackFile* logo = images->files().first()->value;
    EXPECT_EQ(wide(logo->name()), L"logo.png");
    EXPECT_EQ(logo->hash(), 0x2222u);
    EXPECT_EQ(logo->extra(), 0xB1u);
    EXPECT_EQ(contentOf(*logo), bytesOf({1, 2, 3, 4}));

    const PackFile* empty = images->files().last()->value;
    EXPECT_EQ(empty->size(), 0);
    EXPECT_EQ(empty->data(), nullptr);

    const PackFile* skins = pack.findFile(String(L"xml/skins"), String(L"skins.xml"));
    ASSERT_NE(skins, nullptr);
    EXPECT_EQ(contentOf(*skins), bytesOf("<skins/>"));
}

TEST(DataPack, NameWithoutZeroUnitReadsBackWhole)
{
    PackBytes p;
    p.header(1, 1);
    p.folderRecord(2 * 6, 1).units(L"images");
    p.fileRecord(2 * 5, 2).units(L"a.png").data(bytesOf({9, 8}));
    DataPack pack;
    ASSERT_TRUE(openBytes(pack, p.bytes));
    EXPECT_NE(pack.findFile(String(L"images"), String(L"a.png")), nullptr);
}

TEST(DataPack, NameByteCountLimits)
{
    const std::wstring longest(255, L'n');
    struct Case {
        const char* what;
        std::uint32_t byteCount;
        std::wstring units;
        bool loads;
    };
    const Case cases[] = {
        {"255 units and the zero unit", 512, longest + L'\0', true},
        {"255 units without zero unit", 510, longest, true},
        {"256 units, no room for the zero unit", 512, longest + L'x', false},
        {"an odd last byte that is not zero", 511, longest + L'x', false},
        {"600 bytes", 600, std::wstring(300, L'n'), false},
        {"empty name", 0, L"", true},
    };
    for (const Case& c : cases) {
        PackBytes p;
        p.header(1, 0).folderRecord(c.byteCount, 0).units(c.units);
        p.bytes.resize(p.bytes.size() - (2 * c.units.size() - c.byteCount));
        DataPack pack;
        int largestRead = 0;
        EXPECT_EQ(readWatched(pack, p.bytes, largestRead), c.loads) << c.what;
        EXPECT_LE(largestRead, 512) << c.what;
        if (c.loads) {
            ASSERT_EQ(pack.folderCount(), 1) << c.what;
            EXPECT_EQ(pack.folders().first()->value->name().length(), std::min<int>(255, c.units.size()))
                << c.what;
        }
    }
}

TEST(DataPack, DataSizePastTheEndFailsWithoutReadingIt)
{
    PackBytes p;
    p.header(1, 1).folder(L"f", 1).fileRecord(4, 0x7FFFFFF0).units(L"a").u8(0).u8(0).data(bytesOf({1, 2, 3}));
    DataPack pack;
    int largestRead = 0;
    EXPECT_FALSE(readWatched(pack, p.bytes, largestRead));
    EXPECT_LT(largestRead, static_cast<int>(p.bytes.size())) << "the size must be checked before it is read";
    EXPECT_TRUE(pack.isEmpty());
}

TEST(DataPack, HugeCountsInASmallFileFailFast)
{
    struct Case {
        const char* what;
        Bytes bytes;
    };
    PackBytes folderCount;
    folderCount.header(0x7FFFFFFF, 0).u32(0).u32(0).u32(0).u32(0).u32(0);
    PackBytes folderFiles;
    folderFiles.header(1, 0).folder(L"f", 0x7FFFFFFF).data(Bytes(20, 0));
    const Case cases[] = {
        {"folder count 0x7FFFFFFF in 40 bytes", folderCount.bytes},
        {"folder file count 0x7FFFFFFF", folderFiles.bytes},
    };
    ASSERT_EQ(folderCount.bytes.size(), 40u);
    for (const Case& c : cases) {
        DataPack pack;
        int largestRead = 0;
        EXPECT_FALSE(readWatched(pack, c.bytes, largestRead)) << c.what;
        EXPECT_LE(largestRead, 52) << c.what;
        EXPECT_TRUE(pack.isEmpty()) << c.what;
    }
}

TEST(DataPack, NegativeFolderFileCountReadsAsNoFiles)
{
    PackBytes p;
    p.header(2, 0).folder(L"a", -3).folder(L"b", 0);
    DataPack pack;
    ASSERT_TRUE(openBytes(pack, p.bytes));
    EXPECT_EQ(pack.folderCount(), 2);
    EXPECT_FALSE(pack.hasFiles());
}

TEST(DataPack, FailedReadKeepsNothingHalfRead)
{
    Bytes broken = samplePack();
    broken.resize(broken.size() - 1);
    DataPack pack;
    ASSERT_TRUE(openBytes(pack, PackBytes().header(1, 0, 3, 4).folder(L"kept", 0).bytes));

    MemoryStream stream(broken.data(), broken.size(), false);
    BinaryReader reader(&stream);
    ASSERT_TRUE(reader.attach());
    EXPECT_FALSE(pack.readPack(reader));
    reader.detach();
    ASSERT_EQ(pack.folderCount(), 1) << "a failed read appends nothing";
    EXPECT_EQ(wide(pack.folders().first()->value->name()), L"kept");
    EXPECT_EQ(pack.headerWord1(), 3u);
    EXPECT_EQ(pack.headerWord2(), 4u);

    EXPECT_FALSE(openBytes(pack, broken));
    EXPECT_TRUE(pack.isEmpty()) << "an open starts from an empty pack";
}

TEST(DataPack, EveryPrefixOfAValidPackFailsCleanly)
{
    const Bytes whole = samplePack();
    expectEveryPrefixFailsCleanly(whole, [](const Bytes& prefix) {
        DataPack pack;
        const bool opened = openBytes(pack, prefix);
        EXPECT_TRUE(pack.isEmpty());
        return opened;
    });
    DataPack pack;
    EXPECT_TRUE(openBytes(pack, whole));
}

TEST(DataPack, RandomByteFlipsLoadOrFailCleanly)
{
    int loaded = 0;
    forEachDamagedCopy(samplePack(), 20240531, 4000, [&](const Bytes& bytes) {
        DataPack pack;
        int largestRead = 0;
        if (!readWatched(pack, bytes, largestRead)) {
            EXPECT_TRUE(pack.isEmpty());
            return;
        }
        ++loaded;
        int dataBytes = 0;
        for (const PackFolder* folder : pack.folders()) {
            for (const PackFile* file : folder->files())
                dataBytes += file->size();
        }
        EXPECT_LE(dataBytes, static_cast<int>(bytes.size()));
        EXPECT_LE(largestRead, static_cast<int>(bytes.size()));
    });
    EXPECT_GT(loaded, 0) << "flips in data bytes and hashes still load";
}

TEST(DataPack, SaveWritesTheFormatByteForByte)
{
    DataPack pack;
    ASSERT_TRUE(openBytes(pack, samplePack()));
    PackBytes expected;
    expected.header(2, 3, 7, 9);
    expected.folder(L"images", 2, nameHash(L"images"), 0xA1);
    expected.file(L"logo.png", bytesOf({1, 2, 3, 4}), nameHash(L"logo.png"), 0xB1);
    expected.file(L"empty.bin", {}, nameHash(L"empty.bin"), 0xB2);
    expected.folder(L"xml/skins", 1, nameHash(L"xml/skins"), 0xA2);
    expected.file(L"skins.xml", bytesOf("<skins/>"), nameHash(L"skins.xml"), 0xB3);
    EXPECT_EQ(bytesOfPack(pack), expected.bytes) << "a save computes the hashes again from the names";
}

TEST(DataPack, EmptyNameIsWrittenWithoutZeroUnit)
{
    PackBytes p;
    p.header(1, 0).folder(L"", 0);
    DataPack pack;
    ASSERT_TRUE(openBytes(pack, p.bytes));
    EXPECT_EQ(bytesOfPack(pack), p.bytes);
}

TEST(DataPack, SaveAndReopenKeepsEverything)
{
    TempFolder temp;
    const String path = temp.file(L"round.pak");
    DataPack original;
    ASSERT_TRUE(openBytes(original, samplePack()));
    original.setHeaderWord1(0xDEADBEEF);
    original.setHeaderWord2(42);
    PackFolder* images = original.findFolder(String(L"images"));
    images->setDateTime(DateTime(1999, 12, 31, 23, 59, 58, 999));
    images->files().first()->value->setExtra(0xFFFFFFFF);
    images->files().first()->value->setHash(12345);
    ASSERT_TRUE(original.saveFile(path));

    DataPack reopened;
    ASSERT_TRUE(reopened.openFile(path));
    EXPECT_EQ(reopened.fileName(), path);
    EXPECT_EQ(reopened.headerWord1(), 0xDEADBEEFu);
    EXPECT_EQ(reopened.headerWord2(), 42u);
    ASSERT_EQ(reopened.folderCount(), original.folderCount());
    auto folderA = original.folders().first();
    auto folderB = reopened.folders().first();
    for (; folderA && folderB; folderA = folderA->next, folderB = folderB->next) {
        const PackFolder& a = *folderA->value;
        const PackFolder& b = *folderB->value;
        EXPECT_EQ(a.name(), b.name());
        EXPECT_EQ(b.hash(), a.name().hash());
        EXPECT_EQ(a.extra(), b.extra());
        EXPECT_EQ(a.dateTime(), b.dateTime());
        ASSERT_EQ(a.fileCount(), b.fileCount());
        auto fileA = a.files().first();
        auto fileB = b.files().first();
        for (; fileA && fileB; fileA = fileA->next, fileB = fileB->next) {
            EXPECT_EQ(fileA->value->name(), fileB->value->name());
            EXPECT_EQ(fileB->value->hash(), fileA->value->name().hash());
            EXPECT_EQ(fileA->value->extra(), fileB->value->extra());
            EXPECT_EQ(fileA->value->dateTime(), fileB->value->dateTime());
            EXPECT_EQ(contentOf(*fileA->value), contentOf(*fileB->value));
        }
    }
    EXPECT_EQ(readRaw(path), bytesOfPack(reopened));
}

TEST(DataPack, SaveRefusesNamesThatCannotBeReadBack)
{
    DataPack pack;
    ASSERT_TRUE(openBytes(pack, samplePack()));
    pack.folders().first()->value->setName(String(L'x', 256));
    ByteSink sink;
    BinaryWriter writer(&sink);
    ASSERT_TRUE(writer.attach());
    EXPECT_FALSE(pack.savePack(writer));
    writer.detach();
    EXPECT_TRUE(sink.bytes.empty()) << "nothing is written before the names are checked";
}

TEST(DataPack, SaveReportsAFailedWrite)
{
    DataPack pack;
    ASSERT_TRUE(openBytes(pack, samplePack()));
    ByteSink sink;
    sink.failWrites = true;
    BinaryWriter writer(&sink);
    ASSERT_TRUE(writer.attach());
    EXPECT_FALSE(pack.savePack(writer));
    writer.detach();
    EXPECT_FALSE(pack.saveFile(String()));
}

TEST(DataPack, OpenFileStartsEmptyAndKeepsThePathOnlyOnSuccess)
{
    TempFolder temp;
    const String good = temp.writeFile(L"good.pak", samplePack());
    const String bad = temp.writeFile(L"bad.pak", bytesOf("not a pack at all, but long enough"));
    DataPack pack;
    ASSERT_TRUE(pack.openFile(good));
    EXPECT_EQ(pack.fileName(), good);
    EXPECT_FALSE(pack.openFile(bad));
    EXPECT_TRUE(pack.fileName().isEmpty());
    EXPECT_TRUE(pack.isEmpty());
    ASSERT_TRUE(pack.openFile(good));
    EXPECT_FALSE(pack.openFile(temp.file(L"missing.pak")));
    EXPECT_TRUE(pack.isEmpty());
    EXPECT_FALSE(pack.openFile(String()));
    ASSERT_TRUE(pack.openFile(good));
    EXPECT_FALSE(pack.openFile(String()));
    EXPECT_TRUE(pack.isEmpty()) << "an empty path is a failed open too";
}

TEST(DataPack, LookupsAreCaseSensitive)
{
    PackBytes p;
    p.header(1, 1).folder(L"images", 1).file(L"Logo.png", bytesOf({1}));
    DataPack pack;
    ASSERT_TRUE(openBytes(pack, p.bytes));
    EXPECT_NE(pack.findFile(String(L"images"), String(L"Logo.png")), nullptr);
    EXPECT_EQ(pack.findFile(String(L"images"), String(L"logo.png")), nullptr);
    EXPECT_EQ(pack.findFile(String(L"Images"), String(L"Logo.png")), nullptr);
    EXPECT_EQ(pack.findFolder(String(L"IMAGES")), nullptr);
    EXPECT_EQ(pack.findFile(String(L"missing"), String(L"Logo.png")), nullptr);
}

TEST(DataPack, LookupsFindTheFirstOfEqualNames)
{
    PackBytes p;
    p.header(2, 3);
    p.folder(L"x", 2).file(L"f", bytesOf({1})).file(L"f", bytesOf({2}));
    p.folder(L"x", 1).file(L"f", bytesOf({3}));
    DataPack pack;
    ASSERT_TRUE(openBytes(pack, p.bytes));
    const PackFile* file = pack.findFile(String(L"x"), String(L"f"));
    ASSERT_NE(file, nullptr);
    EXPECT_EQ(contentOf(*file), bytesOf({1}));
    EXPECT_EQ(pack.findFolder(String(L"x")), pack.folders().first()->value);
}

TEST(DataPack, HashLookupsUseTheStoredHashes)
{
    DataPack pack;
    ASSERT_TRUE(openBytes(pack, samplePack()));
    const PackFile* logo = pack.findFileByHash(0x1111, 0x2222);
    ASSERT_NE(logo, nullptr);
    EXPECT_EQ(wide(logo->name()), L"logo.png");
    EXPECT_EQ(pack.findFileByHash(0x1111, 0x5555), nullptr) << "skins.xml lies in the other folder";
    EXPECT_EQ(pack.findFolderByHash(nameHash(L"images")), nullptr);
    EXPECT_EQ(pack.findFolderByHash(0x4444), pack.folders().last()->value);
}

TEST(DataPack, AddFileAppendsFoldersAndFiles)
{
    TempFolder temp;
    temp.writeFile(L"a.bin", bytesOf({1, 2, 3}));
    temp.writeFile(L"b.bin", bytesOf({4, 5}));
    DataPack pack;
    const DateTime before = DateTime::currentUtc();
    PackFile* first = pack.addFile(temp.file(L"a.bin"), String(L"one"), String(L"a"));
    ASSERT_NE(first, nullptr);
    EXPECT_NE(pack.addFile(temp.file(L"b.bin"), String(L"two"), String(L"b")), nullptr);
    EXPECT_NE(pack.addFile(temp.file(L"b.bin"), String(L"one"), String(L"b")), nullptr);
    const DateTime after = DateTime::currentUtc();

    ASSERT_EQ(pack.folderCount(), 2);
    EXPECT_EQ(wide(pack.folders().first()->value->name()), L"one");
    EXPECT_EQ(wide(pack.folders().last()->value->name()), L"two");
    EXPECT_EQ(pack.folders().first()->value->fileCount(), 2);
    EXPECT_EQ(first->hash(), nameHash(L"a"));
    EXPECT_EQ(pack.folders().first()->value->hash(), nameHash(L"one"));
    EXPECT_EQ(first->extra(), 0u);
    EXPECT_EQ(contentOf(*first), bytesOf({1, 2, 3}));
    EXPECT_FALSE(first->dateTime() < before);
    EXPECT_FALSE(first->dateTime() > after);
}

TEST(DataPack, AddFileRefusesBadSourcesAndNeverReplaces)
{
    TempFolder temp;
    temp.writeFile(L"a.bin", bytesOf({1}));
    temp.writeFile(L"b.bin", bytesOf({2}));
    temp.writeFile(L"empty.bin", {});
    DataPack pack;
    ASSERT_NE(pack.addFile(temp.file(L"a.bin"), String(L"f"), String(L"x")), nullptr);
    EXPECT_EQ(pack.addFile(temp.file(L"b.bin"), String(L"f"), String(L"x")), nullptr);
    EXPECT_EQ(contentOf(*pack.findFile(String(L"f"), String(L"x"))), bytesOf({1}));
    EXPECT_EQ(pack.addFile(temp.file(L"missing.bin"), String(L"g"), String(L"y")), nullptr);
    EXPECT_EQ(pack.addFile(temp.file(L"empty.bin"), String(L"g"), String(L"y")), nullptr);
    EXPECT_EQ(pack.addFile(temp.path(), String(L"g"), String(L"y")), nullptr) << "a folder is not a file";
    EXPECT_EQ(pack.addFile(temp.file(L"b.bin"), String(L"g"), String(L'n', 256)), nullptr);
    EXPECT_EQ(pack.folderCount(), 1) << "a refused file creates no folder";
}

TEST(DataPack, RemoveFolderAndClear)
{
    PackBytes p;
    p.header(3, 1).folder(L"a", 0).folder(L"b", 1).file(L"f", bytesOf({1})).folder(L"b", 0);
    DataPack pack;
    ASSERT_TRUE(openBytes(pack, p.bytes));
    pack.removeFolder(String(L"b"));
    ASSERT_EQ(pack.folderCount(), 2);
    EXPECT_FALSE(pack.hasFiles()) << "the first folder named b went";
    pack.removeFolder(String(L"none"));
    EXPECT_EQ(pack.folderCount(), 2);
    pack.clear();
    EXPECT_TRUE(pack.isEmpty());
}

TEST(DataPackTool, SafePackPaths)
{
    const struct {
        const wchar_t* name;
        bool safe;
    } cases[] = {
        {L"images", true},       {L"xml/skins", true},  {L"a.b/c d", true},   {L"..x", true},
        {L"", false},            {L"/", false},         {L"/images", false},  {L"images/", false},
        {L"a//b", false},        {L"..", false},        {L"a/../..", false},  {L". .", false},
        {L"...", false},         {L"C:", false},        {L"c:/x", false},     {L"\\x", false},
        {L"a\\..\\b", false},    {L"a*", false},        {L"a\x01", false},    {L".", false},
        {L"AUX", false},         {L"x/com1.txt", false}, {L"nul /x", false},  {L"console", true},
    };
    for (const auto& c : cases)
        EXPECT_EQ(isSafePackPath(String(c.name)), c.safe) << c.name;
}

TEST(DataPackTool, PackAndExtractATree)
{
    TempFolder temp;
    const String source = temp.file(L"source\\");
    const std::map<std::wstring, Bytes> files = {
        {L"root.txt", bytesOf("root")},
        {L"images\\logo.png", bytesOf({0x89, 'P', 'N', 'G', 0, 1, 2})},
        {L"images\\icons\\small.png", Bytes(5000, 0xAB)},
        {L"xml\\skins.xml", bytesOf("<skins/>")},
    };
    for (const auto& [name, content] : files) {
        const String path = source + name.c_str();
        ASSERT_TRUE(createPath(path.mid(0, path.lastIndexOf(L'\\') + 1)));
        ASSERT_TRUE(writeRaw(path, content));
    }
    ASSERT_TRUE(writeRaw(source + L"empty.txt", {}));

    int packed = 0;
    const String packPath = temp.writeFile(L"out.pak", bytesOf("old pack"));
    ASSERT_TRUE(packFolder(source, packPath, packed));
    EXPECT_EQ(packed, 4) << "the empty file is not stored";

    DataPack pack;
    ASSERT_TRUE(pack.openFile(packPath));
    EXPECT_NE(pack.findFile(String(L"/"), String(L"root.txt")), nullptr);
    EXPECT_NE(pack.findFile(String(L"images"), String(L"logo.png")), nullptr);
    EXPECT_NE(pack.findFile(String(L"images/icons"), String(L"small.png")), nullptr);
    EXPECT_NE(pack.findFile(String(L"xml"), String(L"skins.xml")), nullptr);

    int extracted = 0;
    const String target = temp.file(L"target\\new");
    ASSERT_TRUE(extractPack(packPath, target, extracted));
    EXPECT_EQ(extracted, 4);
    for (const auto& [name, content] : files)
        EXPECT_EQ(readRaw(target + L"\\" + name.c_str()), content) << name.c_str();
    StringList listed;
    ASSERT_TRUE(listFiles(listed, target, ListFiles | Recurse));
    EXPECT_EQ(listed.count(), 4);
}

TEST(DataPackTool, PackFailsForAMissingFolder)
{
    TempFolder temp;
    int packed = 7;
    EXPECT_FALSE(packFolder(temp.file(L"missing"), temp.file(L"x.pak"), packed));
    EXPECT_EQ(packed, 0);
    EXPECT_FALSE(fileExists(temp.file(L"x.pak")));
}

TEST(DataPackTool, ExtractRefusesNamesThatLeaveTheTarget)
{
    const struct {
        const wchar_t* folder;
        const wchar_t* file;
    } cases[] = {
        {L"..", L"evil.txt"},      {L"a/../..", L"evil.txt"}, {L"/", L"..\\evil.txt"}, {L"/", L"..."},
        {L"C:", L"evil.txt"},      {L"\\x", L"evil.txt"},     {L"ok", L"../evil.txt"}, {L"ok", L"c:evil.txt"},
        {L"/", L"AUX"},            {L"/", L"com1.txt"},       {L"nul", L"x.txt"},
    };
    for (const auto& c : cases) {
        TempFolder temp;
        PackBytes p;
        p.header(1, 1).folder(c.folder, 1).file(c.file, bytesOf("x"));
        const String packPath = temp.writeFile(L"evil.pak", p.bytes);
        int extracted = 0;
        EXPECT_FALSE(extractPack(packPath, temp.file(L"inner\\target"), extracted)) << c.folder << L" " << c.file;
        EXPECT_EQ(extracted, 0);
        StringList listed;
        ASSERT_TRUE(listFiles(listed, temp.path(), ListFiles | Recurse));
        EXPECT_EQ(listed.count(), 1) << "only the pack itself";
    }
}

TEST(DataPackTool, ExtractNeedsAnExistingPack)
{
    TempFolder temp;
    int extracted = 3;
    EXPECT_FALSE(extractPack(temp.file(L"missing.pak"), temp.file(L"t"), extracted));
    EXPECT_EQ(extracted, 0);
    temp.writeFile(L"bad.pak", bytesOf("FB"));
    EXPECT_FALSE(extractPack(temp.file(L"bad.pak"), temp.file(L"t"), extracted));
}

// The header's total file count had to fit the remaining bytes, so a pack
// whose total was wrong did not open; only the folders' own counts matter.
TEST(DataPack, WrongTotalFileCountStillOpens)
{
    for (const std::uint32_t total : {0u, 2u, 4u, 0x7FFFFFFFu}) {
        Bytes bytes = samplePack();
        for (int i = 0; i < 4; ++i)
            bytes[16 + i] = static_cast<std::uint8_t>(total >> (8 * i));
        DataPack pack;
        ASSERT_TRUE(openBytes(pack, bytes)) << total;
        EXPECT_EQ(pack.fileCount(), 3) << total;
        EXPECT_EQ(bytesOfPack(pack)[16], 3) << "a save writes the true total";
    }
}
