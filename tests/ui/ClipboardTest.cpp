#include "ui/Clipboard.h"

#include "devkit/Bytes.h"
#include "tests/support/RowTable.h"
#include "tests/ui/WindowTesting.h"

#include <cstring>

namespace {

// Counts the refusals instead of beeping.
class QuietClipboard : public Clipboard {
public:
    int refusals = 0;

protected:
    void refuse() override { ++refusals; }
};

// Puts blocks of raw bytes on the clipboard, as another program would.
void putRaw(std::initializer_list<std::pair<UINT, Bytes>> blocks)
{
    ASSERT_TRUE(OpenClipboard(nullptr));
    EmptyClipboard();
    for (const auto& [format, bytes] : blocks) {
        HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, bytes.size());
        std::memcpy(GlobalLock(block), bytes.data(), bytes.size());
        GlobalUnlock(block);
        SetClipboardData(format, block);
    }
    CloseClipboard();
}

void store32(Bytes& bytes, std::size_t at, std::uint32_t value)
{
    std::memcpy(bytes.data() + at, &value, 4);
}

// A bottom-up DIB header and its pixel rows (already bottom-up).
Bytes dib(int width, int height, int bitCount, const Bytes& pixels)
{
    Bytes bytes(40 + pixels.size(), 0);
    store32(bytes, 0, 40);
    store32(bytes, 4, std::uint32_t(width));
    store32(bytes, 8, std::uint32_t(height));
    bytes[12] = 1;
    bytes[14] = std::uint8_t(bitCount);
    std::copy(pixels.begin(), pixels.end(), bytes.begin() + 40);
    return bytes;
}

// A 32-bit DIB with three bit-field masks after its header.
Bytes bitFieldsDib(int width, int height, std::uint32_t red, std::uint32_t green, std::uint32_t blue,
                   const Bytes& pixels)
{
    Bytes masks(12);
    store32(masks, 0, red);
    store32(masks, 4, green);
    store32(masks, 8, blue);
    masks.insert(masks.end(), pixels.begin(), pixels.end());
    Bytes bytes = dib(width, height, 32, masks);
    store32(bytes, 16, BI_BITFIELDS);
    return bytes;
}

// Adds a bitmap beside what putRaw put, as a program may put both; the
// system then makes neither from the other.
void addBitmap(HBITMAP bitmap)
{
    ASSERT_TRUE(OpenClipboard(nullptr));
    EXPECT_TRUE(SetClipboardData(CF_BITMAP, bitmap));
    CloseClipboard();
}

Bytes pixelBytes(const Bitmap& image)
{
    return Bytes(image.bits(), image.bits() + image.byteCount());
}

class Watcher : public SignalReceiver {
public:
    void changed() { ++changes; }
    int changes = 0;
};

} // namespace

class ClipboardTest : public WidgetTest {
protected:
    QuietClipboard clipboard;
};

TEST_F(ClipboardTest, TextRoundTrip)
{
    ASSERT_TRUE(clipboard.setText(L"Tag \u00e9t\u00e9\r\nnext"));
    EXPECT_EQ(Clipboard::contentKind(), ClipboardText);
    EXPECT_EQ(clipboard.text(), L"Tag \u00e9t\u00e9\r\nnext");
    EXPECT_TRUE(clipboard.image().isNull());
    EXPECT_EQ(clipboard.refusals, 1);
}

TEST_F(ClipboardTest, EmptyTextIsRefusedAndTheOldTextStays)
{
    ASSERT_TRUE(clipboard.setText(L"old"));
    EXPECT_FALSE(clipboard.setText(String()));
    EXPECT_EQ(clipboard.refusals, 1);
    EXPECT_EQ(clipboard.text(), L"old");
}

TEST_F(ClipboardTest, TextWinsOverAnImage)
{
    putRaw({{CF_UNICODETEXT, {'a', 0, 0, 0}}, {CF_DIB, dib(1, 1, 32, {1, 2, 3, 255})}});
    EXPECT_EQ(Clipboard::contentKind(), ClipboardText);
    EXPECT_TRUE(clipboard.image().isNull());
    EXPECT_EQ(clipboard.refusals, 1);
}

TEST_F(ClipboardTest, MalformedTextBlocksReadEmpty)
{
    const Bytes rows[] = {{0, 0}, {'a', 0, 0}, {'a', 0, 'b', 0}};
    forEachRow(rows, [&](const Bytes& block) {
        EXPECT_TRUE(clipboardText(block.data(), block.size()).isEmpty());
        // Wine ends a text block with a zero unit itself, so only the
        // others reach the reader unchanged.
        if (block[block.size() - 2] != 0)
            return;
        putRaw({{CF_UNICODETEXT, block}});
        const int before = clipboard.refusals;
        EXPECT_TRUE(clipboard.text().isEmpty());
        EXPECT_EQ(clipboard.refusals, before + 1);
    });
    EXPECT_EQ(clipboardText(Bytes{'a', 0, 0, 0, 'b', 0, 0, 0}.data(), 8), L"a");
}

TEST_F(ClipboardTest, DibsWithoutAlphaReadOpaque)
{
    struct Row {
        Bytes block;
        int width;
        // B, G, R of the top-left pixel (the block's last row).
        Bytes topLeft;
    };
    const Row rows[] = {
        // 24 bits, width 3: rows padded from 9 to 12 bytes.
        {dib(3, 2, 24, {1, 1, 1, 2, 2, 2, 3, 3, 3, 0, 0, 0, 10, 20, 30, 4, 4, 4, 5, 5, 5, 0, 0, 0}), 3, {10, 20, 30}},
        // 32 bits whose alpha bytes are all 0.
        {dib(2, 1, 32, {10, 20, 30, 0, 40, 50, 60, 0}), 2, {10, 20, 30}},
    };
    forEachRow(rows, [&](const Row& row) {
        putRaw({{CF_DIB, row.block}});
        EXPECT_EQ(Clipboard::contentKind(), ClipboardImage);
        const Bitmap image = clipboard.image();
        ASSERT_FALSE(image.isNull());
        EXPECT_EQ(image.width(), row.width);
        EXPECT_EQ(image.bitsPerPixel(), 32u);
        EXPECT_EQ(Bytes(image.bits(), image.bits() + 3), row.topLeft);
        for (std::uint32_t i = 0; i < image.pixelCount(); ++i)
            EXPECT_EQ(image.bits()[4 * i + 3], 255) << i;
    });
}

// A DIB the reader refused used to end the read, although the system's
// bitmap of it was there to take.
TEST_F(ClipboardTest, RefusedDibsFallBackToTheBitmap)
{
    struct Row {
        const char* what;
        Bytes block;
        // B, G, R of the top-left pixel.
        Bytes topLeft;
    };
    Bytes topDown = dib(1, 2, 32, {10, 20, 30, 0, 40, 50, 60, 0});
    store32(topDown, 8, std::uint32_t(-2));
    const Row rows[] = {
        {"top-down", topDown, {10, 20, 30}},
        {"16 bits", dib(1, 1, 16, {0x1F, 0x00, 0, 0}), {255, 0, 0}},
        {"other masks", bitFieldsDib(1, 1, 0xFF, 0xFF00, 0xFF0000, {10, 20, 30, 0}), {30, 20, 10}},
        {"only blue's mask other", bitFieldsDib(1, 1, 0xFF0000, 0xFF00, 0xFF000000, {10, 20, 30, 40}), {40, 20, 30}},
    };
    forEachRow(rows, [&](const Row& row) {
        SCOPED_TRACE(row.what);
        putRaw({{CF_DIB, row.block}});
        const Bitmap image = clipboard.image();
        ASSERT_FALSE(image.isNull());
        EXPECT_EQ(Bytes(image.bits(), image.bits() + 3), row.topLeft);
        EXPECT_EQ(image.bits()[3], 255);

        putRaw({{CF_DIB, row.block}});
        const std::uint32_t bitmapPixel = 0x00405060u;
        addBitmap(CreateBitmap(1, 1, 1, 32, &bitmapPixel));
        EXPECT_EQ(clipboard.image().pixel(0, 0), Colour(0x40, 0x50, 0x60));
    });
    EXPECT_EQ(clipboard.refusals, 0);
}

// Programs may hand over a DIB section of either row order as the bitmap;
// a top-down one is read the right way up rather than refused.
TEST_F(ClipboardTest, TopDownSectionAsTheBitmapReadsTheRightWayUp)
{
    BITMAPINFO info = {};
    info.bmiHeader = {sizeof(BITMAPINFOHEADER), 1, -2, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    void* bits = nullptr;
    HBITMAP section = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    ASSERT_NE(section, nullptr);
    const std::uint32_t rows[] = {0x00102030u, 0x00405060u};
    std::memcpy(bits, rows, sizeof(rows));
    putRaw({});
    addBitmap(section);
    const Bitmap image = clipboard.image();
    ASSERT_EQ(image.size(), Size(1, 2));
    EXPECT_EQ(image.pixel(0, 0), Colour(0x10, 0x20, 0x30));
    EXPECT_EQ(image.pixel(0, 1), Colour(0x40, 0x50, 0x60));
}

// Screenshots and browsers put 32-bit DIBs with the standard bit fields;
// they are read as they stand, alpha included.
TEST_F(ClipboardTest, BitFieldsDibWithStandardMasksKeepsItsAlpha)
{
    putRaw({{CF_DIB, bitFieldsDib(2, 1, 0xFF0000, 0xFF00, 0xFF, {10, 20, 30, 128, 40, 50, 60, 255})}});
    const Bitmap image = clipboard.image();
    ASSERT_EQ(image.size(), Size(2, 1));
    EXPECT_EQ(pixelBytes(image), Bytes({10, 20, 30, 128, 40, 50, 60, 255}));
}

TEST_F(ClipboardTest, ImageRoundTripKeepsAlphaAndWidensOtherDepths)
{
    Bitmap translucent(3, 2, true);
    for (std::uint32_t i = 0; i < translucent.byteCount(); ++i)
        translucent.bits()[i] = std::uint8_t(i * 7 + 1);
    ASSERT_TRUE(clipboard.setImage(translucent));
    EXPECT_EQ(pixelBytes(clipboard.image()), pixelBytes(translucent));

    // A 24-bit image used to be written from an empty 32-bit copy.
    Bitmap opaque(3, 2, false);
    opaque.fill(Colour(10, 20, 30));
    ASSERT_TRUE(clipboard.setImage(opaque));
    const Bitmap read = clipboard.image();
    ASSERT_EQ(read.size(), opaque.size());
    EXPECT_EQ(read.bitsPerPixel(), 32u);
    EXPECT_EQ(Colour::fromArgb(*reinterpret_cast<const std::uint32_t*>(read.pixelAddress(2, 1))),
              Colour(10, 20, 30));

    EXPECT_FALSE(clipboard.setImage(Bitmap()));
    EXPECT_EQ(clipboard.refusals, 1);
}

TEST_F(ClipboardTest, WatchingReportsChanges)
{
    Watcher watcher;
    clipboard.connect(&watcher, &Watcher::changed);
    ASSERT_TRUE(clipboard.setWatching(true));
    EXPECT_TRUE(clipboard.isWatching());
    const int joined = watcher.changes;
    putRaw({{CF_UNICODETEXT, {'x', 0, 0, 0}}});
    EXPECT_TRUE(pumpUntil([&] { return watcher.changes > joined; }));
    EXPECT_TRUE(clipboard.setWatching(false));
    EXPECT_FALSE(clipboard.isWatching());
}
