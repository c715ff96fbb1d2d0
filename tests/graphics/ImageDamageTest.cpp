#include "graphics/ImageHeaderCheck.h"

#include "tests/support/DamagedImages.h"
#include "tests/support/RowTable.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <atomic>
#include <string>
#include <thread>
#include <vector>

using ImageDamage = ImageCodecSuite;

namespace {

// A hand-made bmp or icon; dib is where its info header starts.
struct HeaderSample {
    std::string name;
    Bytes bytes;
    std::size_t dib;
};

std::vector<HeaderSample> headerSamples()
{
    using damagedImages::handMadeBmp;
    std::vector<HeaderSample> samples;
    for (std::uint32_t bits : {1, 4, 8, 16, 24, 32}) {
        const std::string name = std::to_string(bits) + " bits ";
        samples.push_back({name + "bottom-up", handMadeBmp(bits, false), 14});
        samples.push_back({name + "top-down", handMadeBmp(bits, true), 14});
        samples.push_back({name + "icon", damagedImages::iconOf(handMadeBmp(bits, false)), 22});
    }
    return samples;
}

struct HeaderChange {
    ImageField field;
    std::uint32_t value;
};

// The info header's size, width, height, bits, compression and colours
// used, a bmp's pixel offset and an icon's entry count, size and offset, set
// one at a time to each damaging value and to 0x10000020; width and height
// also to just under and over the pixel limit for the other side.
std::vector<HeaderChange> headerChanges(const HeaderSample& sample)
{
    using damagedImages::readField;
    const bool icon = sample.dib == 22;
    std::vector<ImageField> fields = {{icon ? 18u : 10u, 4, false}};
    for (std::size_t offset : {0, 4, 8, 14, 16, 32})
        fields.push_back({sample.dib + offset, offset == 14 ? 2 : 4, false});
    if (icon)
        fields.insert(fields.end(), {{4, 2, false}, {14, 4, false}});
    std::vector<HeaderChange> changes;
    for (const ImageField& field : fields) {
        for (std::uint32_t value : damagingValues)
            changes.push_back({field, value});
        changes.push_back({field, 0x10000020u});
    }
    const std::int32_t limit = std::int32_t(Bitmap::maxDecodedPixels);
    const std::int32_t rowsPerLine = std::int32_t(readField(sample.bytes, {sample.dib + 8, 4, false})) / 16;
    for (std::int32_t rows : {limit / 24, limit / 24 + 1})
        changes.push_back({{sample.dib + 8, 4, false}, std::uint32_t(rowsPerLine * rows)});
    for (std::int32_t width : {limit / 16, limit / 16 + 1})
        changes.push_back({{sample.dib + 4, 4, false}, std::uint32_t(width)});
    return changes;
}

bool samePixels(const Bitmap& a, const Bitmap& b)
{
    return a.size() == b.size() && !a.isNull() && std::equal(a.bits(), a.bits() + a.byteCount(), b.bits());
}

} // namespace

// Decoders handed a length field set huge used to read past the memory
// block they were given and end the process.
TEST_F(ImageDamage, DamagedFilesDecodeOrStayEmpty)
{
    forEachRow(imageFormatRows, [](const ImageFormatRow& row) {
        const Bytes original = sampleImageFile(row);
        ASSERT_GT(original.size(), 40u);
        const Bitmap intact = Bitmap::fromData(original.data(), std::int64_t(original.size()), row.extension);
        ASSERT_EQ(Size(24, 16), intact.size());
        int decoded = 0;
        int refused = 0;
        int fieldsSet = 0;
        forEachDamagedImage(row, original, 150, 300, [&](const std::string& what, const Bytes& copy) {
            SCOPED_TRACE(what);
            fieldsSet += what.starts_with("field") ? 1 : 0;
            const Bitmap bitmap = Bitmap::fromData(copy.data(), std::int64_t(copy.size()), row.extension);
            if (bitmap.isNull())
                ++refused;
            else
                ++decoded;
            EXPECT_TRUE(bitmap.isNull() || (bitmap.width() >= 1 && bitmap.height() >= 1 && bitmap.hasAlpha()));
        });
        // The walker found the format's fields, and both outcomes occur:
        // the damage reached the decoder and was survived.
        EXPECT_GE(fieldsSet, 6 * int(std::size(damagingValues)));
        EXPECT_GT(decoded, 0);
        EXPECT_GT(refused, 0);
    });
}

// A bmp or icon header claiming a width of 2^31 - 1, a height of -2^30 or
// 2^30, or rows the file does not hold used to end the process inside the
// platform's decoder, from memory and from a file alike. Whatever decodes
// holds no more pixels than the file does.
TEST_F(ImageDamage, DamagedBmpAndIconHeadersGiveTheEmptyBitmap)
{
    TempFolder folder;
    const String path = folder.file(L"damaged.bmp");
    forEachRow(headerSamples(), [&](const HeaderSample& sample) {
        SCOPED_TRACE(sample.name);
        ASSERT_TRUE(writeRaw(path, sample.bytes));
        ASSERT_EQ(Size(24, 16), Bitmap::load(path).size());
        const Bitmap intact = Bitmap::fromData(sample.bytes.data(), std::int64_t(sample.bytes.size()), L"bmp");
        ASSERT_EQ(Size(24, 16), intact.size());
        int refused = 0;
        for (const HeaderChange& change : headerChanges(sample)) {
            SCOPED_TRACE(std::to_string(change.field.offset) + " set to " + std::to_string(std::int32_t(change.value)));
            Bytes copy = sample.bytes;
            damagedImages::writeField(copy, change.field, change.value);
            ASSERT_TRUE(writeRaw(path, copy));
            const Bitmap fromMemory = Bitmap::fromData(copy.data(), std::int64_t(copy.size()), L"bmp");
            for (const Bitmap& bitmap : {fromMemory, Bitmap::load(path)}) {
                refused += bitmap.isNull() ? 1 : 0;
                EXPECT_TRUE(bitmap.isNull() || (bitmap.width() <= 24 && bitmap.height() <= 16))
                    << testing::PrintToString(bitmap.size());
            }
        }
        EXPECT_GT(refused, 0);
    });
    EXPECT_EQ(126u, damagedImages::handMadeBmp(1, false).size());
}

// The check of every strip and tile refuses no sound layout: several strips
// (as longs or shorts), rows per strip beyond the height, tiles running past
// the edges, either byte order.
TEST_F(ImageDamage, TiffsInStripsAndTilesDecode)
{
    struct Row {
        std::uint32_t rowsPerStrip;
        std::uint32_t tileSide;
        bool bigEndian;
    };
    const Row rows[] = {{5, 0, false}, {5, 0, true}, {1000, 0, false}, {16, 0, true}, {0, 16, false}, {0, 16, true}};
    forEachRow(rows, [](const Row& row) {
        const Bytes tiff = damagedImages::handMadeTiff(row.rowsPerStrip, row.tileSide, row.bigEndian);
        const Bitmap bitmap = Bitmap::fromData(tiff.data(), std::int64_t(tiff.size()), L"tiff");
        ASSERT_EQ(Size(24, 16), bitmap.size());
        for (int y = 0; y < 16; ++y) {
            for (int x = 0; x < 24; ++x)
                ASSERT_EQ(damagedImages::tiffPixel(x, y), bitmap.pixel(x, y)) << x << ", " << y;
        }
    });
}

// Only the first frame is shown, and only it is decoded: legal files once
// refused for their many frames or text chunks load, and later frames
// over the pixel limit cost nothing. So do legal files whose rules the
// check loosened: fill bytes before a jpeg's marker, bytes after a png's
// end, icon entries sharing a png. From memory and from a file alike, each
// the first frame's pixels exactly.
TEST_F(ImageDamage, TheFirstFrameLoadsWhateverFollowsIt)
{
    using namespace damagedImages;
    const Bytes png = sampleImageFile(imageFormatRows[0]);
    const Bytes gif = handMadeGif();
    const Bytes jpeg = sampleImageFile(imageFormatRows[4]);
    struct Row {
        std::string what;
        Bytes bytes;
        const Bytes& firstFrame;
    };
    const std::string text = std::string("Comment") + '\0' + "x";
    const Row rows[] = {
        {"apng of 600 frames", animatedPng(png, 600, 24, 16), png},
        {"apng of later frames over the pixel limit", animatedPng(png, 3, 16384, 8193), png},
        {"png of 1,001 text chunks", withChunks(png, "tEXt", text, 1001), png},
        {"gif of 10,000 frames with a loop block", animatedGif(10000, 1, 1), gif},
        {"gif of later frames over the pixel limit", animatedGif(3, 16384, 8193), gif},
        {"jpeg with fill bytes before a marker", insertedCopies(jpeg, 2, bytesOf({0xFF, 0xFF, 0xFF}), 1), jpeg},
        {"png with bytes after its end chunk", insertedCopies(png, png.size(), bytesOf("after the end"), 1), png},
        // Used to be refused, its copies larger than the file.
        {"icon whose entries all point at one png", iconOfPng(png, 3), png},
    };
    TempFolder folder;
    forEachRow(rows, [&](const Row& row) {
        const Bitmap expected = Bitmap::fromData(row.firstFrame.data(), std::int64_t(row.firstFrame.size()), L"png");
        ASSERT_EQ(Size(24, 16), expected.size());
        const String path = folder.writeFile(L"image.png", row.bytes);
        const Bitmap fromData = Bitmap::fromData(row.bytes.data(), std::int64_t(row.bytes.size()), L"png");
        for (const Bitmap& bitmap : {fromData, Bitmap::load(path)})
            EXPECT_TRUE(samePixels(expected, bitmap));
    });
}

// A legal progressive jpeg with restart markers in its scans, as encoders
// write one, loads every block: the check seeks the next marker after a
// code that is no segment, and a restart is such a code.
TEST_F(ImageDamage, AProgressiveJpegWithRestartsLoads)
{
    const Bytes jpeg = damagedImages::progressiveJpegWithRestarts();
    const Bitmap bitmap = Bitmap::fromData(jpeg.data(), std::int64_t(jpeg.size()), L"jpeg");
    ASSERT_EQ(Size(24, 16), bitmap.size());
    for (int y = 0; y < 16; ++y) {
        for (int x = 0; x < 24; ++x) {
            const auto shade = std::uint8_t(40 + 40 * (x / 8 + 3 * (y / 8)));
            ASSERT_EQ(Colour(shade, shade, shade), bitmap.pixel(x, y)) << x << ", " << y;
        }
    }
}

// Wine's decoder kept a bmp it refused open (16 bits, colour masks of zero,
// which the header check lets through): the user's file could not be
// renamed or deleted until the program ended.
TEST_F(ImageDamage, ABmpTheDecoderRefusesIsLetGo)
{
    TempFolder folder;
    Bytes bmp = damagedImages::handMadeBmp(16, false);
    damagedImages::writeWords(bmp, 54, {0, 0, 0});
    ASSERT_TRUE(ImageHeaderCheck::isSound(bmp.data(), bmp.size()));
    const String path = folder.writeFile(L"refused.bmp", bmp);
    const String renamed = folder.file(L"renamed.bmp");
    EXPECT_TRUE(Bitmap::load(path).isNull());
    EXPECT_TRUE(MoveFileW(path.c_str(), renamed.c_str()));
    EXPECT_TRUE(DeleteFileW(renamed.c_str()));
}

// Another program swaps the folder that holds the file back and forth (Wine
// lets a folder be renamed while a file in it is open): whatever a load
// decodes is the file whose header it checked, never the other one, which
// the check refuses (pixels said to start inside the header) and the
// decoder would show 12 pixels wide.
TEST_F(ImageDamage, ABmpIsDecodedFromTheFileItsHeaderWasCheckedIn)
{
    using damagedImages::handMadeBmp;
    TempFolder folder;
    Bytes other = handMadeBmp(24, false);
    damagedImages::writeWords(other, 10, {10});
    damagedImages::writeWords(other, 18, {12});
    ASSERT_FALSE(ImageHeaderCheck::isSound(other.data(), other.size()));
    const String shown = folder.makeFolder(L"shown");
    const String swapped = folder.makeFolder(L"swapped");
    const String spare = folder.file(L"spare");
    writeRaw(shown + L"image.bmp", handMadeBmp(24, false));
    writeRaw(swapped + L"image.bmp", other);
    std::atomic<bool> done = false;
    std::thread swapper([&] {
        while (!done) {
            MoveFileW(shown.c_str(), spare.c_str());
            MoveFileW(swapped.c_str(), shown.c_str());
            MoveFileW(spare.c_str(), swapped.c_str());
        }
    });
    int checked = 0;
    int unchecked = 0;
    for (int i = 0; i < 10000; ++i) {
        const Bitmap bitmap = Bitmap::load(shown + L"image.bmp");
        if (!bitmap.isNull())
            ++(bitmap.width() == 24 ? checked : unchecked);
    }
    done = true;
    swapper.join();
    EXPECT_EQ(0, unchecked);
    EXPECT_GT(checked, 0);
}
