#include "tests/support/DamagedInput.h"
#include "tests/support/TempFolder.h"

#include "foundation/ByteArray.h"
#include "foundation/ChunkFile.h"

#include <gtest/gtest.h>

#include <chrono>

namespace {

constexpr std::uint32_t testFormat = chunkTag("TEST");

// Builds chunk-file bytes by hand, independently of the writer.
class ChunkBytes {
public:
    ChunkBytes& tag(const char* text)
    {
        bytes.insert(bytes.end(), text, text + 4);
        return *this;
    }
    ChunkBytes& u32(std::uint32_t value)
    {
        for (int i = 0; i < 4; ++i)
            bytes.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
        return *this;
    }
    ChunkBytes& raw(const std::string& data)
    {
        bytes.insert(bytes.end(), data.begin(), data.end());
        return *this;
    }
    // A node header without children: tag, child count 0.
    ChunkBytes& leafStart(const char* text) { return tag(text).u32(0); }

    Bytes bytes;
};

// "TEST", root with no children and no items: the smallest valid file.
Bytes minimalFile()
{
    return ChunkBytes().tag("TEST").tag("ROOT").u32(0).u32(0).bytes;
}

// A root holding children A, B, A (the second A holding one item) and one
// item of the root itself.
Bytes sampleFile()
{
    ChunkBytes b;
    b.tag("TEST").tag("ROOT").u32(3);
    b.leafStart("A___").u32(0);
    b.leafStart("B___").u32(0);
    b.leafStart("A___").u32(1).tag("TEXT").u32(5).raw("hello");
    b.u32(1).tag("NUMB").u32(4).u32(0x01020304);
    return b.bytes;
}

// A chain of nodes, each the only child of the one before, depth nodes
// below the root.
Bytes nestedFile(int depth)
{
    ChunkBytes b;
    b.tag("TEST").tag("ROOT");
    for (int i = 0; i < depth; ++i)
        b.u32(1).tag("DEEP");
    b.u32(0);
    for (int i = 0; i <= depth; ++i)
        b.u32(0);
    return b.bytes;
}

bool loadBytes(ChunkFile& file, const Bytes& bytes)
{
    return file.loadFromMemory(bytes.data(), bytes.size());
}

bool isBlank(const ChunkFile& file)
{
    return !file.isLoaded() && !file.root()->hasChildren() && !file.root()->hasItems() && file.path().isEmpty();
}

} // namespace

TEST(ChunkFile, TagIsTheFourBytesReadLittleEndian)
{
    EXPECT_EQ(chunkTag("LANG"), 0x474E414Cu);
}

TEST(ChunkFile, MinimalFileLoadsAsEmptyTree)
{
    ChunkFile file;
    file.setFormatTag(testFormat);
    ASSERT_TRUE(loadBytes(file, minimalFile()));
    EXPECT_TRUE(file.isLoaded());
    EXPECT_FALSE(file.root()->hasChildren());
    EXPECT_FALSE(file.root()->hasItems());
    EXPECT_EQ(file.fileSize(), 16u);
}

TEST(ChunkFile, OneExtraByteFails)
{
    Bytes bytes = minimalFile();
    bytes.push_back(0);
    ChunkFile file;
    file.setFormatTag(testFormat);
    EXPECT_FALSE(loadBytes(file, bytes));
    EXPECT_TRUE(isBlank(file));
}

TEST(ChunkFile, WrongOrUnsetFormatTagFails)
{
    ChunkFile file;
    EXPECT_FALSE(loadBytes(file, minimalFile()));
    file.setFormatTag(chunkTag("LANG"));
    EXPECT_FALSE(loadBytes(file, minimalFile()));
    file.setFormatTag(testFormat);
    EXPECT_TRUE(loadBytes(file, minimalFile()));
}

TEST(ChunkFile, EveryPrefixOfAValidFileFails)
{
    const Bytes bytes = sampleFile();
    ChunkFile file;
    file.setFormatTag(testFormat);
    expectEveryPrefixFailsCleanly(bytes, [&](const Bytes& prefix) {
        const bool loaded = loadBytes(file, prefix);
        EXPECT_TRUE(isBlank(file));
        return loaded;
    });
    EXPECT_TRUE(loadBytes(file, bytes));
}

TEST(ChunkFile, ReadsTheTreeInOrder)
{
    ChunkFile file;
    file.setFormatTag(testFormat);
    ASSERT_TRUE(loadBytes(file, sampleFile()));
    const ChunkNode* root = file.root();
    ASSERT_EQ(root->children().count(), 3);
    EXPECT_EQ(root->tag(), L"ROOT");
    EXPECT_EQ(root->children().first()->value->tag(), L"A___");
    const ChunkItem* number = root->item("NUMB");
    ASSERT_NE(number, nullptr);
    EXPECT_EQ(number->getU32(), 0x01020304u);
    EXPECT_EQ(file.fileSize(), sampleFile().size());
}

TEST(ChunkFile, ChildNodeByIndexSkipsOtherTags)
{
    ChunkFile file;
    file.setFormatTag(testFormat);
    ASSERT_TRUE(loadBytes(file, sampleFile()));
    const ChunkNode* second = file.root()->childNode("A___", 1);
    ASSERT_NE(second, nullptr);
    ASSERT_NE(second->item("TEXT"), nullptr);
    EXPECT_EQ(second->item("TEXT")->getString(), L"hello");
    EXPECT_EQ(file.root()->childNode("A___", 2), nullptr);
    EXPECT_EQ(file.root()->childNode("B___", 1), nullptr);
    EXPECT_EQ(file.root()->childNode("C___"), nullptr);
    EXPECT_EQ(file.root()->item("TEXT"), nullptr);
}

// Tags compare as zero-terminated texts, exactly.
TEST(ChunkFile, TagLookupIsCaseSensitive)
{
    ChunkNode node("ROOT");
    node.addChildNode("Abcd");
    EXPECT_NE(node.childNode("Abcd"), nullptr);
    EXPECT_EQ(node.childNode("ABCD"), nullptr);
    EXPECT_EQ(node.childNode("abcd"), nullptr);
}

TEST(ChunkFile, NestingUpToTheCapLoads)
{
    ChunkFile file;
    file.setFormatTag(testFormat);
    EXPECT_TRUE(loadBytes(file, nestedFile(maxChunkDepth)));
    const ChunkNode* node = file.root();
    int depth = 0;
    while (node->hasChildren()) {
        node = node->children().first()->value;
        ++depth;
    }
    EXPECT_EQ(depth, maxChunkDepth);
}

TEST(ChunkFile, NestingBeyondTheCapFails)
{
    ChunkFile file;
    file.setFormatTag(testFormat);
    EXPECT_FALSE(loadBytes(file, nestedFile(maxChunkDepth + 1)));
    EXPECT_TRUE(isBlank(file));
}

// Deep recursion used to be the way a crafted file could end the program.
TEST(ChunkFile, HugeNestingFailsQuickly)
{
    const auto start = std::chrono::steady_clock::now();
    ChunkFile file;
    file.setFormatTag(testFormat);
    EXPECT_FALSE(loadBytes(file, nestedFile(200000)));
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5));
}

// Counts and sizes that the remaining bytes cannot hold fail before
// anything is allocated: a 4 GB item in a 32-byte file must not be tried.
TEST(ChunkFile, ImpossibleCountsAndSizesFailWithoutAllocating)
{
    const Bytes rows[] = {
        ChunkBytes().tag("TEST").tag("ROOT").u32(0x7FFFFFFF).u32(0).bytes,
        ChunkBytes().tag("TEST").tag("ROOT").u32(0xFFFFFFFF).bytes,
        ChunkBytes().tag("TEST").tag("ROOT").u32(0).u32(0xFFFFFFFF).tag("ITEM").u32(0).bytes,
        ChunkBytes().tag("TEST").tag("ROOT").u32(0).u32(1).tag("ITEM").u32(0xFFFFFFF0).raw("abcd").bytes,
        ChunkBytes().tag("TEST").tag("ROOT").u32(0).u32(1).tag("ITEM").u32(5).raw("abcd").bytes,
        ChunkBytes().tag("TEST").tag("ROOT").u32(2).leafStart("A___").u32(0).bytes,
    };
    for (const Bytes& bytes : rows) {
        ChunkFile file;
        file.setFormatTag(testFormat);
        EXPECT_FALSE(loadBytes(file, bytes)) << bytes.size();
        EXPECT_TRUE(isBlank(file));
    }
}

TEST(ChunkFile, RandomByteFlipsLoadOrFailCleanly)
{
    ChunkFile file;
    file.setFormatTag(testFormat);
    int loaded = 0;
    forEachDamagedCopy(sampleFile(), 20240611, 3000, [&](const Bytes& bytes) {
        if (loadBytes(file, bytes)) {
            ++loaded;
            // A loaded tree accounts for every byte of the input.
            EXPECT_EQ(file.fileSize(), bytes.size());
        } else {
            EXPECT_TRUE(isBlank(file));
        }
    });
    EXPECT_GT(loaded, 0);
}

TEST(ChunkFile, SaveWritesTheDocumentedLayout)
{
    TempFolder temp;
    ChunkFile file;
    file.setFormatTag(chunkTag("LANG"));
    ChunkNode* header = file.root()->addChildNode("HEDR");
    header->addItem("ENGL")->setString(String(L"ab"));
    file.root()->addItem("FLAG")->setBool(true);
    const String path = temp.file(L"layout.lang");
    ASSERT_TRUE(file.save(path));
    ChunkBytes expected;
    expected.tag("LANG").tag("ROOT").u32(1);
    expected.tag("HEDR").u32(0).u32(1).tag("ENGL").u32(2).raw("ab");
    expected.u32(1).tag("FLAG").u32(1).raw("\x01");
    EXPECT_EQ(readRaw(path), expected.bytes);
    EXPECT_EQ(file.fileSize(), expected.bytes.size());
}

TEST(ChunkFile, SaveAndLoadRoundTrip)
{
    TempFolder temp;
    ChunkFile out;
    out.setFormatTag(testFormat);
    ChunkNode* values = out.root()->addChildNode("VALS");
    values->addItem("U8__")->setU8(0xAB);
    values->addItem("BOOL")->setBool(true);
    values->addItem("I32_")->setInt32(-123456);
    values->addItem("U32_")->setU32(0xDEADBEEF);
    values->addItem("FLT_")->setFloat(1.5f);
    values->addItem("DBL_")->setDouble(-2.25e100);
    values->addItem("U64_")->setU64(0x0123456789ABCDEFull);
    values->addItem("TEXT")->setString(String(L"Gr\u00FC\u00DFe \u4E2D"));
    values->addItem("NONE");
    out.root()->addChildNode("EMPT");
    const String path = temp.file(L"round.bin");
    ASSERT_TRUE(out.save(path));
    EXPECT_EQ(readRaw(path).size(), out.fileSize());

    ChunkFile in;
    in.setFormatTag(testFormat);
    ASSERT_TRUE(in.load(path));
    EXPECT_EQ(in.path(), path);
    const ChunkNode* read = in.root()->childNode("VALS");
    ASSERT_NE(read, nullptr);
    EXPECT_EQ(read->item("U8__")->getU8(), 0xAB);
    EXPECT_TRUE(read->item("BOOL")->getBool());
    EXPECT_EQ(read->item("I32_")->getInt32(), -123456);
    EXPECT_EQ(read->item("U32_")->getU32(), 0xDEADBEEFu);
    EXPECT_EQ(read->item("FLT_")->getFloat(), 1.5f);
    EXPECT_EQ(read->item("DBL_")->getDouble(), -2.25e100);
    EXPECT_EQ(read->item("U64_")->getInt64(), 0x0123456789ABCDEFll);
    EXPECT_EQ(read->item("TEXT")->getString(), L"Gr\u00FC\u00DFe \u4E2D");
    EXPECT_TRUE(read->item("NONE")->isEmpty());
    EXPECT_NE(in.root()->childNode("EMPT"), nullptr);
    EXPECT_EQ(in.fileSize(), out.fileSize());
}

TEST(ChunkFile, LoadOfMissingFileFails)
{
    TempFolder temp;
    ChunkFile file;
    file.setFormatTag(testFormat);
    EXPECT_FALSE(file.load(temp.file(L"missing.bin")));
    EXPECT_FALSE(file.load(String()));
    EXPECT_FALSE(file.isLoaded());
}

TEST(ChunkFile, CloseEmptiesALoadedFileOnly)
{
    TempFolder temp;
    const String path = temp.writeFile(L"sample.bin", sampleFile());
    ChunkFile file;
    file.setFormatTag(testFormat);
    ASSERT_TRUE(file.load(path));
    file.close();
    EXPECT_TRUE(isBlank(file));

    ChunkFile built;
    built.root()->addChildNode("KEEP");
    built.close();
    EXPECT_TRUE(built.root()->hasChildren());
}

TEST(ChunkFile, SaveFailsForEmptyPathOrMissingFolder)
{
    TempFolder temp;
    ChunkFile file;
    file.setFormatTag(testFormat);
    EXPECT_FALSE(file.save(String()));
    EXPECT_FALSE(file.save(temp.file(L"no-such-folder\\x.bin")));
}

TEST(ChunkItem, SizesCountHeaders)
{
    ChunkNode node("ROOT");
    ChunkNode* child = node.addChildNode("KID_");
    child->addItem("DATA")->setBytes("abcdef", 6);
    node.addItem("FLAG")->setU8(1);
    EXPECT_EQ(child->contentSize(), 14u);
    EXPECT_EQ(child->totalSize(), 26u);
    EXPECT_EQ(node.contentSize(), 26u + 9u);
    EXPECT_EQ(node.totalSize(), 47u);
}

TEST(ChunkItem, EmptyItemGivesEmptyStringAndTextNeedsNoTerminator)
{
    ChunkItem empty("TEXT");
    EXPECT_TRUE(empty.isEmpty());
    EXPECT_EQ(empty.data(), nullptr);
    EXPECT_TRUE(empty.getString().isEmpty());

    // Bytes followed by more bytes that are not part of the item.
    const char buffer[] = "abcXYZ";
    ChunkItem text("TEXT");
    text.setBytes(buffer, 3);
    EXPECT_EQ(text.getString(), L"abc");
}

TEST(ChunkItem, EmptyStringLeavesTheDataAsItWas)
{
    ChunkItem item("TEXT");
    item.setString(String(L"kept"));
    item.setString(String());
    EXPECT_EQ(item.getString(), L"kept");
    EXPECT_EQ(item.size(), 4u);
}

TEST(ChunkItem, ShortItemsGiveZero)
{
    ChunkItem item("DATA");
    item.setU8(0xFF);
    EXPECT_EQ(item.getU8(), 0xFF);
    EXPECT_EQ(item.getU32(), 0u);
    EXPECT_EQ(item.getInt32(), 0);
    EXPECT_EQ(item.getDouble(), 0.0);
    EXPECT_EQ(item.getInt64(), 0);
    ChunkItem none("NONE");
    EXPECT_FALSE(none.getBool());
}

TEST(ChunkItem, CopyToStopsAtTheSize)
{
    ChunkItem item("DATA");
    item.setBytes("abc", 3);
    char buffer[8] = "zzzzzzz";
    item.copyTo(buffer, 8);
    EXPECT_STREQ(buffer, "abczzzz");
    const ByteArray bytes = item.toByteArray();
    ASSERT_EQ(bytes.size(), 3);
    EXPECT_EQ(bytes[2], 'c');
}

TEST(ChunkItem, LongTagsAreCutToFourCharacters)
{
    ChunkItem item("LONGTAG");
    EXPECT_EQ(item.tag(), L"LONG");
    EXPECT_EQ(item.totalSize(), 8u);
}
