#include "foundation/LittleEndian.h"
#include "ui/MimeData.h"
#include "ui/OleDragDrop.h"
#include "ui/TransferFormats.h"

#include "devkit/Bytes.h"
#include "tests/support/ColourPrinting.h"
#include "tests/support/DamagedInput.h"
#include "tests/support/RowTable.h"
#include "tests/support/StringPrinting.h"
#include "tests/ui/WindowTesting.h"

#include <gtest/gtest.h>

namespace {

const wchar_t* const customFormat = L"application/x-kestrola-test";

ByteArray payloadOf(const char* bytes, int size)
{
    return ByteArray(reinterpret_cast<const std::uint8_t*>(bytes), size);
}

// Three columns and two rows, every pixel different, alpha included, so
// that a flip or a lost channel shows.
Bitmap sampleImage()
{
    Bitmap image(3, 2, true);
    for (int y = 0; y < 2; ++y) {
        for (int x = 0; x < 3; ++x)
            image.setPixel(x, y, Colour(std::uint8_t(100 + 50 * y), std::uint8_t(10 * x), std::uint8_t(20 + y),
                                        std::uint8_t(30 + x + y)));
    }
    return image;
}

Bytes pixelsOf(const Bitmap& image)
{
    return Bytes(image.bits(), image.bits() + image.byteCount());
}

Bytes dibHeader(int width, int height, int bitCount, int compression)
{
    Bytes header(dibHeaderSize, 0);
    storeLittleEndian(header.data(), dibHeaderSize, 4);
    storeLittleEndian(header.data() + 4, std::uint32_t(width), 4);
    storeLittleEndian(header.data() + 8, std::uint32_t(height), 4);
    storeLittleEndian(header.data() + 12, 1, 2);
    storeLittleEndian(header.data() + 14, std::uint32_t(bitCount), 2);
    storeLittleEndian(header.data() + 16, std::uint32_t(compression), 4);
    return header;
}

// A 24-bit DIB of width 3: rows of 9 pixel bytes and 3 of padding, the
// bottom row first; pixel (x, row from the bottom) has blue x, green row.
Bytes dib24(int height)
{
    Bytes block = dibHeader(3, height, 24, 0);
    for (int row = 0; row < height; ++row) {
        for (int x = 0; x < 3; ++x)
            block.insert(block.end(), {std::uint8_t(x), std::uint8_t(row), 200});
        block.insert(block.end(), 3, 0);
    }
    return block;
}

Bitmap readDib(const Bytes& block)
{
    return bitmapFromDibBlock(block.data(), block.size());
}

// A data object holding what renderDragData wrote, read back.
class RenderedData {
public:
    explicit RenderedData(const MimeData& data) : stored(renderDragData(object, data)) {}
    ~RenderedData() { object->Release(); }
    RenderedData(const RenderedData&) = delete;
    RenderedData& operator=(const RenderedData&) = delete;

    std::vector<CLIPFORMAT> formats() const
    {
        IEnumFORMATETC* formats = nullptr;
        std::vector<CLIPFORMAT> out;
        if (FAILED(object->EnumFormatEtc(DATADIR_GET, &formats)))
            return out;
        FORMATETC format;
        while (formats->Next(1, &format, nullptr) == S_OK)
            out.push_back(format.cfFormat);
        formats->Release();
        return out;
    }

    DataObject* object = new DataObject;
    int stored;
};

class DragData : public WidgetTest {};

} // namespace

// setData with a built-in name used to add a bytes entry that the text,
// list and image getters then read as the wrong kind.
TEST(TransferBlocks, RawBytesUnderABuiltInNameAreRefused)
{
    MimeData data;
    data.setData(mimeTextFormat, payloadOf("ab", 2));
    EXPECT_TRUE(data.isEmpty());
}

TEST(TransferBlocks, FileListBlockByteForByte)
{
    const Bytes block = bytesOf(fileListBlock(listOf({L"C:\\a", L"D:\\bc"})));
    Bytes expected = bytesOf({20, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1, 0, 0, 0});
    for (char c : std::string("C:\\a\0D:\\bc\0", 11))
        expected.insert(expected.end(), {std::uint8_t(c), 0});
    expected.insert(expected.end(), {0, 0});
    ASSERT_EQ(block.size(), 44u);
    EXPECT_EQ(block, expected);
}

TEST(TransferBlocks, TextBlocks)
{
    EXPECT_EQ(bytesOf(textBlock(String())), Bytes(4, 0));
    EXPECT_EQ(bytesOf(textBlock(L"ab")), bytesOf({'a', 0, 'b', 0, 0, 0, 0, 0}));
    struct Row {
        Bytes block;
        bool taken;
        const wchar_t* text;
    };
    const Row rows[] = {
        {bytesOf({'a', 0, 'b', 0, 0, 0}), true, L"ab"},
        {bytesOf({'a', 0, 0, 0, 'b', 0}), true, L"a"},
        {bytesOf({0, 0}), true, L""},
        {bytesOf({'a', 0, 'b', 0}), false, L""},
        {bytesOf({'a', 0, 0}), false, L""},
        {Bytes(), false, L""},
    };
    forEachRow(rows, [](const Row& row) {
        const std::optional<String> text = textFromBlock(row.block.data(), row.block.size());
        ASSERT_EQ(text.has_value(), row.taken);
        if (text) {
            EXPECT_EQ(*text, String(row.text));
        }
    });
}

TEST(TransferBlocks, FileListReader)
{
    Bytes ansi = bytesOf({20, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0});
    const std::string names("C:\\x.txt\0D:\\y\0\0", 15);
    ansi.insert(ansi.end(), names.begin(), names.end());
    EXPECT_EQ(vectorOf(fileListFromBlock(ansi.data(), ansi.size())),
              (std::vector<std::wstring>{L"C:\\x.txt", L"D:\\y"}));

    Bytes cut = bytesOf(fileListBlock(listOf({L"C:\\a", L"D:\\bc"})));
    cut.resize(cut.size() - 4);
    EXPECT_EQ(vectorOf(fileListFromBlock(cut.data(), cut.size())), std::vector<std::wstring>{L"C:\\a"})
        << "a name running past the block is left out";

    Bytes badOffset = bytesOf(fileListBlock(listOf({L"C:\\a"})));
    storeLittleEndian(badOffset.data(), 4000, 4);
    EXPECT_TRUE(fileListFromBlock(badOffset.data(), badOffset.size()).isEmpty());
}

TEST(TransferBlocks, DibOf24BitsWithWidthThreeReadsWithOpaqueAlpha)
{
    const Bitmap image = readDib(dib24(2));
    ASSERT_FALSE(image.isNull());
    ASSERT_EQ(image.size(), Size(3, 2));
    EXPECT_EQ(image.pixel(2, 0), Colour(255, 200, 1, 2)) << "the block's last row is the top row";
    EXPECT_EQ(image.pixel(0, 1), Colour(255, 200, 0, 0));
}

TEST(TransferBlocks, DibHeaderChecks)
{
    struct Row {
        int offset;
        int width;
        std::uint32_t value;
        bool reads;
    };
    const Row rows[] = {
        {8, 4, std::uint32_t(-2), false}, // top-down
        {16, 4, 3, false},                // bitfields
        {14, 2, 16, false},               // 16 bits
        {12, 2, 2, false},                // planes
        {4, 4, 0x7FFFFFFF, false},        // width past the block
    };
    forEachRow(rows, [](const Row& row) {
        Bytes block = dib24(2);
        storeLittleEndian(block.data() + row.offset, row.value, row.width);
        EXPECT_EQ(readDib(block).isNull(), !row.reads);
    });
    Bytes padded = dib24(2);
    padded.insert(padded.end(), 16, 0xEE);
    EXPECT_FALSE(readDib(padded).isNull());
    padded.resize(padded.size() - 17);
    EXPECT_TRUE(readDib(padded).isNull());
}

TEST(TransferBlocks, PrivateBlocks)
{
    const ByteArray payload(reinterpret_cast<const std::uint8_t*>("xyz"), 3);
    Bytes block = bytesOf(privateBlock(customFormat, payload));
    ASSERT_EQ(block.size(), std::size_t(privateBlockHeaderSize) + 3);
    const std::optional<PrivateTransferEntry> entry = privateEntryFromBlock(block.data(), block.size());
    ASSERT_TRUE(entry.has_value());
    EXPECT_EQ(entry->format, String(customFormat));
    EXPECT_EQ(bytesOf(entry->bytes), bytesOf(payload));

    storeLittleEndian(block.data() + 512, 4, 4);
    EXPECT_FALSE(privateEntryFromBlock(block.data(), block.size())) << "a length past the block adds nothing";
    block.resize(privateBlockHeaderSize - 1);
    EXPECT_FALSE(privateEntryFromBlock(block.data(), block.size()));

    const String longName(std::wstring(300, L'n').c_str());
    const Bytes longBlock = bytesOf(privateBlock(longName, payload));
    const std::optional<PrivateTransferEntry> cut = privateEntryFromBlock(longBlock.data(), longBlock.size());
    ASSERT_TRUE(cut.has_value());
    EXPECT_EQ(cut->format.length(), privateFormatNameLimit);
}

TEST(TransferBlocks, DamagedBlocksFailCleanly)
{
    const Bytes dib = bytesOf(dibBlock(sampleImage()));
    expectEveryPrefixFailsCleanly(dib, [](const Bytes& b) { return !readDib(b).isNull(); });
    const Bytes privateBytes = bytesOf(privateBlock(customFormat, payloadOf("q", 1)));
    expectEveryPrefixFailsCleanly(privateBytes,
                                  [](const Bytes& b) { return privateEntryFromBlock(b.data(), b.size()).has_value(); });
    const Bytes blocks[] = {dib, privateBytes, bytesOf(fileListBlock(listOf({L"C:\\a", L"D:\\bc"}))),
                            bytesOf(textBlock(L"text"))};
    for (const Bytes& block : blocks) {
        forEachDamagedCopy(block, 15, 500, [](const Bytes& b) {
            readDib(b);
            privateEntryFromBlock(b.data(), b.size());
            fileListFromBlock(b.data(), b.size());
            textFromBlock(b.data(), b.size());
        });
    }
}

TEST_F(DragData, FormatsAndBlocksKeepEntryOrder)
{
    MimeData data;
    data.setText(L"first");
    data.setData(customFormat, payloadOf("ab", 2));
    data.setFilePaths(listOf({L"C:\\a"}));
    data.setText(L"second");
    data.setFilePaths(data.filePaths());
    EXPECT_EQ(vectorOf(data.formats()), (std::vector<std::wstring>{mimeTextFormat, customFormat, mimeFileListFormat}));
    EXPECT_EQ(data.text(), String(L"second"));
    EXPECT_TRUE(data.data(mimeTextFormat).isEmpty()) << "the built-in names have no raw bytes";
    EXPECT_TRUE(data.data(L"TEXT/PLAIN").isEmpty()) << "names are case-sensitive";
    const RenderedData rendered(data);
    EXPECT_EQ(rendered.stored, 3);
    EXPECT_EQ(rendered.formats(), (std::vector<CLIPFORMAT>{CF_UNICODETEXT, privateTransferFormat(), CF_HDROP}));
    MimeData copy;
    copy.copyFrom(data);
    EXPECT_EQ(vectorOf(copy.formats()), vectorOf(data.formats()));
}

TEST_F(DragData, EachKindRoundTrips)
{
    MimeData data;
    data.setText(L"Gr\u00fc\u00dfe");
    data.setFilePaths(listOf({L"C:\\one.txt", L"C:\\Folder with spaces"}));
    data.setImage(sampleImage());
    data.setData(customFormat, payloadOf("\0\1\2", 3));
    const RenderedData rendered(data);
    ASSERT_EQ(rendered.stored, 4);
    MimeData read;
    EXPECT_EQ(readDroppedData(rendered.object, read), 4);
    EXPECT_EQ(read.text(), data.text());
    EXPECT_EQ(vectorOf(read.filePaths()), vectorOf(data.filePaths()));
    EXPECT_EQ(read.image().size(), Size(3, 2));
    EXPECT_EQ(pixelsOf(read.image()), pixelsOf(sampleImage()));
    EXPECT_EQ(bytesOf(read.data(customFormat)), bytesOf(data.data(customFormat)));

    MimeData emptyText;
    emptyText.setText(String());
    const RenderedData renderedEmpty(emptyText);
    MimeData readEmpty;
    EXPECT_EQ(readDroppedData(renderedEmpty.object, readEmpty), 1);
    EXPECT_TRUE(readEmpty.hasText());
}

// A 24-bit image was written under a 32-bit header without its pixels.
TEST_F(DragData, ImagesWithoutAlphaAreWidenedBeforeWriting)
{
    Bitmap opaque(3, 2, false);
    opaque.fill(Colour(9, 8, 7));
    const Bytes block = bytesOf(dibBlock(opaque));
    ASSERT_EQ(block.size(), std::size_t(dibHeaderSize) + 3 * 2 * 4);
    const Bitmap read = readDib(block);
    ASSERT_FALSE(read.isNull());
    EXPECT_EQ(read.pixel(2, 1), Colour(255, 9, 8, 7));
}
