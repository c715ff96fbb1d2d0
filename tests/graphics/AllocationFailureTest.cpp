#include "graphics/Bitmap.h"

#include "tests/support/DamagedImages.h"
#include "tests/support/RowTable.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <functional>
#include <new>

namespace {

// Allocations of this program larger than this fail, as they would with
// memory exhausted.
std::atomic<std::size_t> allocationLimit{SIZE_MAX};

class AllocationLimit {
public:
    explicit AllocationLimit(std::size_t bytes) { allocationLimit = bytes; }
    ~AllocationLimit() { allocationLimit = SIZE_MAX; }
    AllocationLimit(const AllocationLimit&) = delete;
    AllocationLimit& operator=(const AllocationLimit&) = delete;
};

// A 48-pixel-wide RLE8 bmp of about 2 KB claiming height rows: 256 rows of
// runs, then the end of the bitmap (the rows it leaves out are zero).
Bytes rle8Bmp(std::uint32_t height)
{
    Bytes runs;
    for (int row = 0; row < 256; ++row) {
        const int line[] = {48, row, 0, 0};
        runs.insert(runs.end(), std::begin(line), std::end(line));
    }
    runs.insert(runs.end(), {0, 1});
    const std::uint32_t pixelOffset = 14 + 40 + 1024;
    Bytes bmp = bytesOf("BM");
    bmp.resize(pixelOffset);
    // The file header's size and pixel offset, then the info header.
    damagedImages::writeWords(bmp, 2, {std::uint32_t(pixelOffset + runs.size()), 0, pixelOffset, 40, 48, height,
                                       1 | (8 << 16), 1, std::uint32_t(runs.size()), 2835, 2835, 256, 0});
    for (std::uint32_t i = 0; i < 256; ++i)
        damagedImages::writeWords(bmp, 54 + 4 * i, {i * 0x010101u});
    bmp.insert(bmp.end(), runs.begin(), runs.end());
    return bmp;
}

using AllocationFailure = ImageCodecSuite;

} // namespace

// Replaced for this test program only, so that a test can make large
// allocations fail; the library's nothrow forms and operator delete (free)
// stay as they are and come through here.
void* operator new(std::size_t size)
{
    void* block = size <= allocationLimit ? std::malloc(size ? size : 1) : nullptr;
    if (!block)
        throw std::bad_alloc();
    return block;
}

// An allocation that failed used to throw out of the constructors and the
// decoders; every operation now gives the empty Bitmap instead.
TEST_F(AllocationFailure, EveryOperationGivesTheEmptyBitmap)
{
    Bitmap source(64, 64, true);
    source.fill(Colour(200, 10, 20, 30));
    const Bytes png = sampleImageFile(imageFormatRows[0]);
    Bytes pix(16 + source.byteCount());
    damagedImages::writeWords(pix, 0, {777, 64, 64, source.byteCount()});
    const std::function<Bitmap()> operations[] = {
        [] { return Bitmap(64, 64, true); },
        [&] { return Bitmap(source.bits(), 64, 64, true); },
        [&] { return Bitmap::fromPixels(source.bits(), 64, 64, true, -1); },
        [&] { return source.copy(); },
        [&] { return source.mirrored(true, true); },
        [&] { return source.scaled(128, 128, 0); },
        [&] { return Bitmap::fromData(png.data(), std::int64_t(png.size()), L"png"); },
        [&] { return Bitmap::fromData(pix.data(), std::int64_t(pix.size()), L"pix"); },
    };
    forEachRow(operations, [](const std::function<Bitmap()>& operation) {
        {
            const AllocationLimit limit(1000);
            EXPECT_TRUE(operation().isNull());
        }
        EXPECT_FALSE(operation().isNull());
    });
}

// A 2 KB file whose header claims far more pixels than may be had decodes
// to the empty Bitmap; the same file claiming what fits decodes.
TEST_F(AllocationFailure, TinyFileClaimingTooManyPixelsGivesTheEmptyBitmap)
{
    const Bytes claim = rle8Bmp(65536);
    ASSERT_LT(claim.size(), 2200u);
    {
        const AllocationLimit limit(4 << 20);
        EXPECT_TRUE(Bitmap::fromData(claim.data(), std::int64_t(claim.size()), L"bmp").isNull());
    }
    const Bitmap decoded = Bitmap::fromData(claim.data(), std::int64_t(claim.size()), L"bmp");
    ASSERT_EQ(Size(48, 65536), decoded.size());
    // Bottom-up: the first run fills the image's last row.
    EXPECT_EQ(Colour(255, 0, 0, 0), decoded.pixel(0, 65535));
    EXPECT_EQ(Colour(255, 5, 5, 5), decoded.pixel(47, 65530));
}
