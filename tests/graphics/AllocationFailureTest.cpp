#include "graphics/Bitmap.h"

#include "tests/support/DamagedImages.h"
#include "tests/support/RowTable.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <functional>
#include <initializer_list>
#include <new>
#include <vector>

namespace {

// Allocations of this program larger than this fail, as they would with
// memory exhausted.
std::atomic<std::size_t> allocationLimit{SIZE_MAX};
// The largest allocation asked for, granted or not.
std::atomic<std::size_t> largestAllocation{0};

class AllocationLimit {
public:
    explicit AllocationLimit(std::size_t bytes) { allocationLimit = bytes; }
    ~AllocationLimit() { allocationLimit = SIZE_MAX; }
    AllocationLimit(const AllocationLimit&) = delete;
    AllocationLimit& operator=(const AllocationLimit&) = delete;
};

// A 48-pixel-wide run-length bmp of 8 or 4 bits, of about 2 or 1 KB,
// claiming height rows: 256 rows of runs, then the end of the bitmap (the
// rows it leaves out are zero).
Bytes rleBmp(std::uint32_t bits, std::uint32_t height)
{
    const std::uint32_t colours = 1u << bits;
    Bytes runs;
    for (int row = 0; row < 256; ++row) {
        const int line[] = {48, bits == 8 ? row : (row & 15) * 0x11, 0, 0};
        runs.insert(runs.end(), std::begin(line), std::end(line));
    }
    runs.insert(runs.end(), {0, 1});
    const std::uint32_t pixelOffset = 14 + 40 + 4 * colours;
    Bytes bmp = bytesOf("BM");
    bmp.resize(pixelOffset);
    // The file header's size and pixel offset, then the info header.
    damagedImages::writeWords(bmp, 2, {std::uint32_t(pixelOffset + runs.size()), 0, pixelOffset, 40, 48, height,
                                       1 | (bits << 16), bits == 8 ? 1u : 2u, std::uint32_t(runs.size()), 2835,
                                       2835, colours, 0});
    for (std::uint32_t i = 0; i < colours; ++i)
        damagedImages::writeWords(bmp, 54 + 4 * i, {i * (255 / (colours - 1)) * 0x010101u});
    bmp.insert(bmp.end(), runs.begin(), runs.end());
    return bmp;
}

// The row's sample with the width and height in its header (and a gif's
// image) set to 65535, far more pixels than the limit.
Bytes claimingHugeSize(const ImageFormatRow& row)
{
    using damagedImages::readField;
    Bytes bytes = sampleImageFile(row);
    const std::vector<ImageField> fields = row.fields(bytes);
    std::vector<ImageField> sizes;
    if (row.format == ImageFormat::Bmp)
        sizes = {fields[3], fields[4]};
    else if (row.format == ImageFormat::Png || row.format == ImageFormat::Gif)
        sizes.assign(fields.begin(), fields.begin() + (row.format == ImageFormat::Gif ? 4 : 2));
    // A jpeg's frame sizes follow 3 bytes after their segment's length.
    for (std::size_t i = 1; row.format == ImageFormat::Jpeg && i + 1 < fields.size(); ++i) {
        if (fields[i].offset == fields[i - 1].offset + 3 && sizes.empty())
            sizes = {fields[i], fields[i + 1]};
    }
    // A tiff entry's value follows its count; its tag lies 4 bytes before.
    for (std::size_t i = 2; row.format == ImageFormat::Tiff && i + 1 < fields.size(); i += 2) {
        const std::uint32_t tag = readField(bytes, {fields[i].offset - 4, 2, fields[i].bigEndian});
        if (tag == 256 || tag == 257)
            sizes.push_back(fields[i + 1]);
    }
    EXPECT_GE(sizes.size(), 2u);
    for (const ImageField& field : sizes)
        damagedImages::writeField(bytes, field, 65535);
    if (row.format == ImageFormat::Png)
        damagedImages::writeField(bytes, {29, 4, true}, damagedImages::crc32Of(bytes.data() + 12, 17));
    return bytes;
}

// The count (at 4) or value (at 8) of the first directory's entry for tag,
// in width bytes.
ImageField tiffField(const Bytes& tiff, std::uint32_t tag, std::size_t part, int width = 4)
{
    using damagedImages::readField;
    const bool big = tiff[0] == 'M';
    const std::size_t directory = readField(tiff, {4, 4, big});
    std::size_t at = directory + 2;
    for (std::size_t i = 0; i < readField(tiff, {directory, 2, big}) && readField(tiff, {at, 2, big}) != tag; ++i)
        at += 12;
    return {at + part, width, big};
}

// The bytes with each of the fields set to value.
Bytes changed(Bytes bytes, std::initializer_list<ImageField> fields, std::uint32_t value)
{
    for (const ImageField& field : fields)
        damagedImages::writeField(bytes, field, value);
    return bytes;
}

// Tiffs whose strips, tiles or entry values lie outside their bytes, and
// one whose tiles are larger than the limit.
std::vector<Bytes> tiffClaims()
{
    using damagedImages::handMadeTiff;
    const Bytes oneStrip = handMadeTiff(1000, 0, false);
    const Bytes strips = handMadeTiff(5, 0, false);
    const Bytes bigStrips = handMadeTiff(5, 0, true);
    const Bytes tiles = handMadeTiff(0, 16, false);
    const Bytes bigTiles = handMadeTiff(0, 16, true);
    // The last of the four strips' byte counts, out of line.
    const std::size_t lastCount = damagedImages::readField(strips, tiffField(strips, 279, 8)) + 12;
    return {
        changed(oneStrip, {tiffField(oneStrip, 279, 8)}, 0x7FFFFFF0u),
        changed(oneStrip, {tiffField(oneStrip, 273, 8)}, 0x7FFFFFF0u),
        changed(strips, {{lastCount, 4, false}}, 0x10000),
        // 2^30 byte counts: the decoder used to step through them all.
        changed(strips, {tiffField(strips, 279, 4)}, 0x40000000u),
        // Big-endian, 3 x 2^30 of them: its byte swap wrote far past its block.
        changed(bigStrips, {tiffField(bigStrips, 279, 4)}, 0xC0000000u),
        changed(bigTiles, {tiffField(bigTiles, 325, 10, 2)}, 0xFFFF),
        // 2^32 pixels a tile used to end the process.
        changed(tiles, {tiffField(tiles, 322, 8), tiffField(tiles, 323, 8)}, 0x10000),
    };
}

using AllocationFailure = ImageCodecSuite;

} // namespace

// Replaced for this test program only, so that a test can make large
// allocations fail; the library's nothrow forms and operator delete (free)
// stay as they are and come through here.
void* operator new(std::size_t size)
{
    for (std::size_t largest = largestAllocation; size > largest;)
        largestAllocation.compare_exchange_weak(largest, size);
    void* block = size <= allocationLimit ? std::malloc(size ? size : 1) : nullptr;
    if (!block)
        throw std::bad_alloc();
    return block;
}

// An allocation that failed used to throw out of the constructors and the
// decoders, and the copy made for the decoder; every operation now gives
// the empty Bitmap instead.
TEST_F(AllocationFailure, EveryOperationGivesTheEmptyBitmap)
{
    Bitmap source(64, 64, true);
    source.fill(Colour(200, 10, 20, 30));
    const Bytes png = sampleImageFile(imageFormatRows[0]);
    Bytes pix(16 + source.byteCount());
    damagedImages::writeWords(pix, 0, {777, 64, 64, source.byteCount()});
    // A png whose copy for the decoder, up to a text chunk left out after
    // its data, is larger than 1,000 bytes.
    const Bytes chunky = damagedImages::withEmptyDataChunks(png, 100);
    const Bytes copied = damagedImages::insertedCopies(chunky, chunky.size() - 12,
        damagedImages::pngChunk("tEXt", std::string("Comment") + '\0' + "after the data"), 1);
    // An icon's entries are sorted in memory of their own, here over 1,000
    // bytes, before the copy.
    const Bytes icon = damagedImages::iconOfPng(copied, 40);
    const std::function<Bitmap()> operations[] = {
        [] { return Bitmap(64, 64, true); },
        [&] { return Bitmap(source.bits(), 64, 64, true); },
        [&] { return Bitmap::fromPixels(source.bits(), 64, 64, true, -1); },
        [&] { return source.copy(); },
        [&] { return source.mirrored(true, true); },
        [&] { return source.scaled(128, 128, 0); },
        [&] { return Bitmap::fromData(png.data(), std::int64_t(png.size()), L"png"); },
        [&] { return Bitmap::fromData(pix.data(), std::int64_t(pix.size()), L"pix"); },
        [&] { return Bitmap::fromData(copied.data(), std::int64_t(copied.size()), L"png"); },
        [&] { return Bitmap::fromData(icon.data(), std::int64_t(icon.size()), L"png"); },
    };
    forEachRow(operations, [](const std::function<Bitmap()>& operation) {
        {
            const AllocationLimit limit(1000);
            EXPECT_TRUE(operation().isNull());
        }
        EXPECT_FALSE(operation().isNull());
    });
}

// Tiny files claiming more pixels than the limit used to decode into
// gigabytes; they give the empty Bitmap before anything large is asked for.
// So do tiffs whose strips, tiles or entry values lie outside their bytes.
TEST_F(AllocationFailure, FilesClaimingMoreThanTheLimitAllocateNothingLarge)
{
    const std::uint32_t overLimit = std::uint32_t(Bitmap::maxDecodedPixels / 48 + 1);
    std::vector<Bytes> claims = {rleBmp(8, overLimit), rleBmp(4, overLimit)};
    for (const ImageFormatRow& row : imageFormatRows)
        claims.push_back(claimingHugeSize(row));
    Bytes icon = damagedImages::iconOf(damagedImages::handMadeBmp(32, false));
    damagedImages::writeField(icon, {30, 4, false}, 0x10000020u);
    claims.push_back(icon);
    for (const Bytes& tiff : tiffClaims())
        claims.push_back(tiff);
    forEachRow(claims, [](const Bytes& claim) {
        ASSERT_LT(claim.size(), 3000u);
        const AllocationLimit limit(64 << 20);
        largestAllocation = 0;
        EXPECT_TRUE(Bitmap::fromData(claim.data(), std::int64_t(claim.size()), L"bmp").isNull());
        EXPECT_LT(largestAllocation, std::size_t(1) << 20);
    });
}

// A 2 KB file claiming just the limit's pixels still decodes.
TEST_F(AllocationFailure, FileClaimingJustTheLimitDecodes)
{
    const std::uint32_t height = std::uint32_t(Bitmap::maxDecodedPixels / 48);
    const Bytes claim = rleBmp(8, height);
    ASSERT_LT(claim.size(), 2200u);
    const Bitmap decoded = Bitmap::fromData(claim.data(), std::int64_t(claim.size()), L"bmp");
    ASSERT_EQ(Size(48, int(height)), decoded.size());
    // Bottom-up: the first run fills the image's last row.
    EXPECT_EQ(Colour(255, 0, 0, 0), decoded.pixel(0, int(height) - 1));
    EXPECT_EQ(Colour(255, 5, 5, 5), decoded.pixel(47, int(height) - 6));
}
