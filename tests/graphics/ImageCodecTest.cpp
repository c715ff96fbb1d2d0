#include "graphics/GdiplusCodecs.h"
#include "graphics/ImageCodec.h"
#include "graphics/PixImageCodec.h"
#include "graphics/StateImages.h"

#include "devkit/Bytes.h"
#include "tests/graphics/GraphicsTestSupport.h"
#include "tests/support/DamagedInput.h"
#include "tests/support/RowTable.h"
#include "tests/support/StringPrinting.h"
#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

#include <objidl.h>

#include <gdiplus.h>

#include <cstdlib>
#include <cstring>
#include <vector>

namespace {

class ImageCodecs : public ::testing::Test {
protected:
    static void SetUpTestSuite() { initImageCodecs(); }
    static void TearDownTestSuite() { shutdownImageCodecs(); }

    TempFolder folder;
};

Bytes pixFile(std::uint32_t magic, std::uint32_t width, std::uint32_t height, std::uint32_t byteCount,
              std::size_t pixelBytes)
{
    Bytes out;
    for (std::uint32_t value : {magic, width, height, byteCount}) {
        for (int shift = 0; shift < 32; shift += 8)
            out.push_back(std::uint8_t(value >> shift));
    }
    const Bytes pixels = randomBytes(pixelBytes, 7);
    out.insert(out.end(), pixels.begin(), pixels.end());
    return out;
}

Bitmap decodePix(const Bytes& bytes)
{
    return Bitmap::fromData(bytes.data(), std::int64_t(bytes.size()), L"pix");
}

// 2 x 2 RGBA, written by hand: red opaque, green at alpha 128, blue at
// alpha 0, (10, 20, 30) at alpha 200.
const Bytes partialAlphaPng = bytesOf({
    0x89, 0x50, 0x4e, 0x47, 0x0d, 0x0a, 0x1a, 0x0a, 0x00, 0x00, 0x00, 0x0d, 0x49, 0x48, 0x44, 0x52, 0x00, 0x00, 0x00,
    0x02, 0x00, 0x00, 0x00, 0x02, 0x08, 0x06, 0x00, 0x00, 0x00, 0x72, 0xb6, 0x0d, 0x24, 0x00, 0x00, 0x00, 0x16, 0x49,
    0x44, 0x41, 0x54, 0x78, 0xda, 0x63, 0xf8, 0xcf, 0xc0, 0xf0, 0x1f, 0x08, 0x1b, 0x18, 0x40, 0x34, 0x97, 0x88, 0xdc,
    0x09, 0x00, 0x37, 0x49, 0x05, 0x81, 0x94, 0x71, 0x6d, 0x0e, 0x00, 0x00, 0x00, 0x00, 0x49, 0x45, 0x4e, 0x44, 0xae,
    0x42, 0x60, 0x82,
});

} // namespace

TEST_F(ImageCodecs, FindByExtension)
{
    struct Row {
        const wchar_t* text;
        const wchar_t* codec;
    };
    const Row rows[] = {
        {L" PNG ", L"png"}, {L"tif", L"tiff"}, {L"TIFF", L"tiff"}, {L"jpg", L"jpeg"}, {L"Jpeg", L"jpeg"},
        {L"pix", L"pix"},   {L"bmp", L"bmp"},  {L"gif", L"gif"},   {L"pn", nullptr},  {L"jpegs", nullptr},
        {L"", nullptr},     {L"pcx", nullptr}, {L" . ", nullptr},
    };
    forEachRow(rows, [](const Row& row) {
        const ImageCodec* codec = ImageCodecRegistry::findByExtension(row.text);
        EXPECT_EQ(String(row.codec ? row.codec : L""), codec ? codec->extension() : String());
        EXPECT_EQ(row.codec != nullptr, ImageCodecRegistry::isSupported(row.text));
    });
}

TEST_F(ImageCodecs, RegistryIsEmptyOutsideStartAndShutdown)
{
    // A second start registers nothing twice.
    const int count = imageCodecCount();
    initImageCodecs();
    EXPECT_EQ(count, imageCodecCount());
    shutdownImageCodecs();
    EXPECT_FALSE(ImageCodecRegistry::isSupported(L"pix"));
    initImageCodecs();
}

TEST_F(ImageCodecs, PixHeadersThatCannotMatchAreRefused)
{
    struct Row {
        Bytes bytes;
        bool decodes;
    };
    Bytes longer = pixFile(777, 1, 1, 4, 4);
    longer.push_back(0);
    const Row rows[] = {
        {pixFile(777, 1, 1, 4, 4), true},
        {pixFile(777, 3, 2, 24, 24), true},
        {longer, false},
        {pixFile(777, 1, 1, 5, 4), false},
        {pixFile(777, 0, 1, 0, 4), false},
        {pixFile(778, 1, 1, 4, 4), false},
        {pixFile(777, 1, 1, 4, 0), false},
        {pixFile(777, 0xFFFFFFFF, 1, 0xFFFFFFFC, 4), false},
        // A byte count that wraps to 4 in 32 bits.
        {pixFile(777, 0x40000001, 1, 4, 4), false},
        {pixFile(777, 0x10000, 0x10000, 0, 4), false},
        // About 2 GB promised over a few bytes: refused before anything that
        // size is allocated or read.
        {pixFile(777, 40000, 13000, 2080000000u, 64), false},
    };
    forEachRow(rows, [this](const Row& row) {
        EXPECT_EQ(row.decodes, !decodePix(row.bytes).isNull());
        EXPECT_EQ(row.decodes, !Bitmap::load(folder.writeFile(L"image.pix", row.bytes)).isNull());
    });
}

TEST_F(ImageCodecs, PixRoundTrip)
{
    Bitmap original = randomBitmap(7, 5, 3);
    original.setPremultiplied(true);
    const String path = folder.file(L"round.pix");
    ASSERT_TRUE(original.save(path, false));
    EXPECT_FALSE(original.save(path, false));

    const Bytes file = readRaw(path);
    ASSERT_EQ(16u + original.byteCount(), file.size());
    EXPECT_EQ(0, std::memcmp(file.data() + 16, original.bits(), original.byteCount()));
    const Bitmap loaded = Bitmap::load(path);
    EXPECT_FALSE(loaded.isPremultiplied());
    expectSamePixels(original, loaded);
    expectSamePixels(original, decodePix(file));
}

TEST_F(ImageCodecs, DamagedPixFilesFailCleanly)
{
    const Bytes whole = pixFile(777, 3, 2, 24, 24);
    expectEveryPrefixFailsCleanly(whole, [](const Bytes& prefix) { return !decodePix(prefix).isNull(); });
    forEachDamagedCopy(whole, 11, 2000, [](const Bytes& bytes) {
        const Bitmap bitmap = decodePix(bytes);
        if (!bitmap.isNull()) {
            EXPECT_EQ(bytes.size(), 16u + bitmap.byteCount());
        }
    });
}

TEST_F(ImageCodecs, PngWithPartialAlphaDecodesExactly)
{
    // Under the extension "bmp" as well: the content names the format.
    for (const wchar_t* extension : {L"png", L"bmp"}) {
        const Bitmap bitmap = Bitmap::fromData(partialAlphaPng.data(), std::int64_t(partialAlphaPng.size()), extension);
        ASSERT_EQ(Size(2, 2), bitmap.size());
        EXPECT_EQ(32u, bitmap.bitsPerPixel());
        EXPECT_FALSE(bitmap.isPremultiplied());
        const std::uint32_t expected[2][2] = {{0xFFFF0000u, 0x8000FF00u}, {0x000000FFu, 0xC80A141Eu}};
        expectPixels(bitmap, [&](int x, int y) { return Colour(expected[y][x]); });
    }
}

// Rows laid out by hand: packed, padded, bottom-up (a negative stride) and
// in a 24-bit format that GDI+ converts first.
TEST_F(ImageCodecs, GdiplusPixelsAreCopiedByTheirStride)
{
    struct Row {
        int stride;
        Gdiplus::PixelFormat format;
    };
    const Row rows[] = {
        {12, PixelFormat32bppARGB}, {16, PixelFormat32bppARGB}, {-16, PixelFormat32bppARGB}, {-12, PixelFormat24bppRGB}};
    forEachRow(rows, [](const Row& row) {
        const int bytesPerPixel = row.format == PixelFormat24bppRGB ? 3 : 4;
        std::vector<std::uint8_t> buffer(std::size_t(std::abs(row.stride)) * 2, 0xEE);
        std::uint8_t* scan0 = row.stride < 0 ? buffer.data() - row.stride : buffer.data();
        const auto expected = [bytesPerPixel](int x, int y) {
            return Colour(bytesPerPixel == 4 ? std::uint8_t(128 + x) : 255, 200, std::uint8_t(50 + y),
                          std::uint8_t(x + 10 * y));
        };
        for (int y = 0; y < 2; ++y) {
            for (int x = 0; x < 3; ++x) {
                const std::uint32_t value = expected(x, y).argb();
                std::memcpy(scan0 + y * row.stride + x * bytesPerPixel, &value, std::size_t(bytesPerPixel));
            }
        }
        Gdiplus::GpBitmap* image = nullptr;
        ASSERT_EQ(Gdiplus::Ok, Gdiplus::DllExports::GdipCreateBitmapFromScan0(3, 2, row.stride, row.format, scan0, &image));
        const Bitmap bitmap = bitmapFromGdiplusImage(image);
        Gdiplus::DllExports::GdipDisposeImage(image);
        ASSERT_EQ(Size(3, 2), bitmap.size());
        expectPixels(bitmap, expected);
    });
}

// Whatever the header check passed, a decoded image over the pixel limit
// gives the empty Bitmap, as Bitmap.h promises: here a 1-bit image of
// 16 MB that would have become 512 MB of pixels.
TEST_F(ImageCodecs, DecodedImagesOverThePixelLimitAreEmpty)
{
    const auto rows = std::int32_t(Bitmap::maxDecodedPixels / 16384);
    const Size sizes[] = {{16384, rows + 1}, {rows + 1, 16384}, {64, 64}};
    forEachRow(sizes, [](const Size& size) {
        Gdiplus::GpBitmap* image = nullptr;
        using Gdiplus::DllExports::GdipCreateBitmapFromScan0;
        ASSERT_EQ(Gdiplus::Ok,
                  GdipCreateBitmapFromScan0(size.width, size.height, 0, PixelFormat1bppIndexed, nullptr, &image));
        const Bitmap bitmap = bitmapFromGdiplusImage(image);
        Gdiplus::DllExports::GdipDisposeImage(image);
        EXPECT_EQ(size.width * std::int64_t(size.height) <= Bitmap::maxDecodedPixels, !bitmap.isNull());
    });
}

TEST_F(ImageCodecs, LosslessFormatsRoundTrip)
{
    struct Row {
        const wchar_t* name;
        bool hasAlpha;
    };
    // Width 5 gives 24-bit rows with slack, and padded strides in GDI+; a
    // 24-bit "pix" is written as opaque 32-bit pixels.
    const Row rows[] = {{L"a.png", true},  {L"b.png", false}, {L"c.bmp", false},
                        {L"d.tif", true},  {L"e.TIFF", false}, {L"f.pix", false}};
    forEachRow(rows, [this](const Row& row) {
        Bitmap original = randomBitmap(5, 4, 9, row.hasAlpha);
        const String path = folder.file(row.name);
        ASSERT_TRUE(original.save(path, true));
        const Bitmap loaded = Bitmap::load(path);
        EXPECT_EQ(32u, loaded.bitsPerPixel());
        expectSamePixels(original, loaded);
    });
}

// Grey is the one colour JPEG keeps exactly: a uniform block has only a DC
// term, and at quality 100 it is not quantised.
TEST_F(ImageCodecs, UniformGreyJpegDecodesExactly)
{
    Bitmap original(16, 16, true);
    original.fill(Colour(128, 128, 128));
    const String path = folder.file(L"grey.JPG");
    ASSERT_TRUE(original.save(path, false));
    expectSamePixels(original, Bitmap::load(path));
    const Bytes bytes = readRaw(path);
    expectSamePixels(original, Bitmap::fromData(bytes.data(), std::int64_t(bytes.size()), L"jpg"));
}

TEST_F(ImageCodecs, SaveRefusals)
{
    const Bitmap bitmap = randomBitmap(2, 2, 1);
    EXPECT_FALSE(bitmap.save(folder.file(L"image.pcx"), true));
    EXPECT_FALSE(Bitmap().save(folder.file(L"image.png"), true));
    EXPECT_FALSE(bitmap.save(L"", true));
    EXPECT_TRUE(Bitmap::load(folder.file(L"missing.png")).isNull());
    EXPECT_TRUE(Bitmap::load(folder.file(L"missing.pix")).isNull());
    EXPECT_FALSE(fileExistsRaw(folder.file(L"image.pcx")));
}

TEST_F(ImageCodecs, StateImagesFromAPath)
{
    const String path = folder.file(L"state.pix");
    ASSERT_TRUE(randomBitmap(3, 2, 2).save(path, true));
    EXPECT_EQ(Size(3, 2), StateImages(path).imageSize(StateImages::Disabled));
    EXPECT_TRUE(StateImages(folder.file(L"missing.pix")).isNull());
}
