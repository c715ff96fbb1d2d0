#include "graphics/Bitmap.h"
#include "graphics/PlatformImages.h"

#include "tests/graphics/GraphicsTestSupport.h"
#include "tests/support/RowTable.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace {

// Pixels as Colour values, whose bytes in memory are B, G, R, A.
Colour derived(Colour onBlack, Colour onWhite, bool deriveAlpha)
{
    std::uint32_t black = onBlack.argb();
    const std::uint32_t white = onWhite.argb();
    alphaFromBackgrounds(reinterpret_cast<std::uint8_t*>(&black), reinterpret_cast<const std::uint8_t*>(&white), 1, 1,
                         deriveAlpha);
    return Colour(black);
}

// 32 x 32, straight alpha: colour and alpha vary over the image, and the
// first pixel is fully transparent.
Bitmap alphaPattern(int size)
{
    Bitmap bitmap(size, size, true);
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x)
            bitmap.setPixel(x, y, Colour(std::uint8_t(y * 8), std::uint8_t(x * 8), 200, std::uint8_t(x * 4)));
    }
    return bitmap;
}

struct DibSection {
    HBITMAP handle = nullptr;
    std::uint8_t* bits = nullptr;
    DibSection(int width, int height)
    {
        BITMAPINFO info = {};
        info.bmiHeader = {sizeof(BITMAPINFOHEADER), width, height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
        void* pixels = nullptr;
        handle = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &pixels, nullptr, 0);
        bits = static_cast<std::uint8_t*>(pixels);
    }
    ~DibSection() { DeleteObject(handle); }
};

} // namespace

TEST(AlphaFromBackgrounds, FixedCases)
{
    struct Row {
        std::uint32_t onBlack, onWhite;
        bool deriveAlpha;
        std::uint32_t expected;
    };
    const Row rows[] = {
        {0x1E140A, 0x1E140A, true, 0xFF1E140A},
        {0x000000, 0xFFFFFF, true, 0},
        {0x000000, 0xFFFFFF, false, 0},
        {0x1E140A, 0x5A5A5A, false, 0xFF1E140A},
        // No alpha left: red 0 over black, 255 over white.
        {0x000028, 0xFF5AFF, true, 0},
        // Lighter over black than over white used to wrap the alpha byte.
        {0xC86464, 0x646464, true, 0xFFC86464},
    };
    forEachRow(rows, [](const Row& row) {
        EXPECT_EQ(Colour(row.expected), derived(Colour(row.onBlack), Colour(row.onWhite), row.deriveAlpha));
    });
}

// Renders straight colours at many alphas over black and over white, as
// the platform would, and expects the colour and alpha back within
// rounding.
TEST(AlphaFromBackgrounds, RecoversBlendedPixels)
{
    for (int alpha = 8; alpha < 256; alpha += 31) {
        for (int colour : {0, 60, 128, 255}) {
            const double a = alpha / 255.0;
            const auto over = [&](int background) { return std::uint8_t(std::lround(colour * a + background * (1 - a))); };
            const std::uint8_t black = over(0);
            const std::uint8_t white = over(255);
            if (black == white || (black == 0 && white == 255))
                continue;
            const Colour result = derived(Colour(0, black, black, black), Colour(0, white, white, white), true);
            SCOPED_TRACE(testing::Message() << "colour " << colour << " alpha " << alpha);
            EXPECT_NEAR(alpha, result.alpha(), 2);
            EXPECT_NEAR(colour, result.red(), 3);
            EXPECT_EQ(result.red(), result.blue());
        }
    }
}

TEST(PlatformImages, IconRoundTripKeepsAlpha)
{
    const Bitmap original = alphaPattern(32);
    HICON icon = original.toIcon();
    ASSERT_NE(icon, nullptr);
    const Bitmap back = Bitmap::fromIcon(icon);
    DestroyIcon(icon);
    ASSERT_EQ(original.size(), back.size());
    // The fully transparent first pixel comes back as black at alpha 1,
    // which keeps the system on the alpha channel.
    EXPECT_EQ(Colour(0x01000000u), back.pixel(0, 0));
    for (int y = 0; y < 32; ++y) {
        for (int x = 1; x < 32; ++x) {
            const Colour want = original.pixel(x, y);
            const Colour got = back.pixel(x, y);
            ASSERT_EQ(want.alpha(), got.alpha()) << x << ", " << y;
            // Straight again, within what premultiplied bytes keep; it used
            // to stay premultiplied under a straight flag.
            const double tolerance = 255.0 / want.alpha() + 1;
            ASSERT_NEAR(want.red(), got.red(), tolerance) << x << ", " << y;
            ASSERT_NEAR(want.green(), got.green(), tolerance) << x << ", " << y;
        }
    }
}

TEST(PlatformImages, MaskOnlyIconIsCutByItsMask)
{
    // 16 x 16: the AND half has the left eight columns set (transparent),
    // the XOR half is all clear (black).
    std::vector<std::uint8_t> mask(16 * 2 * 32, 0);
    for (int row = 0; row < 16; ++row)
        mask[row * 2] = 0xFF;
    HBITMAP maskBitmap = CreateBitmap(16, 32, 1, 1, mask.data());
    ICONINFO info = {TRUE, 0, 0, maskBitmap, nullptr};
    HICON icon = CreateIconIndirect(&info);
    DeleteObject(maskBitmap);
    ASSERT_NE(icon, nullptr);
    const Bitmap bitmap = Bitmap::fromIcon(icon);
    DestroyIcon(icon);
    ASSERT_EQ(Size(16, 16), bitmap.size());
    expectPixels(bitmap, [](int x, int) { return Colour(x < 8 ? 0u : 0xFF000000u); });
}

TEST(PlatformImages, IconAndCursorRefusals)
{
    const int size = GetSystemMetrics(SM_CXCURSOR);
    ASSERT_EQ(size, GetSystemMetrics(SM_CYCURSOR));
    const Bitmap cursorSized(size, size, true);
    EXPECT_EQ(nullptr, Bitmap(size + 1, size + 1, true).toCursor(0, 0));
    EXPECT_EQ(nullptr, cursorSized.toCursor(size, 0));
    EXPECT_EQ(nullptr, cursorSized.toCursor(0, -1));
    EXPECT_EQ(nullptr, Bitmap(size, size, false).toCursor(0, 0));
    EXPECT_EQ(nullptr, Bitmap(16, 8, true).toIcon());
    EXPECT_EQ(nullptr, Bitmap(16, 16, false).toIcon());
    EXPECT_EQ(nullptr, Bitmap().toIcon());
    EXPECT_TRUE(Bitmap::fromIcon(nullptr).isNull());
}

TEST(PlatformImages, CursorRoundTrip)
{
    const int size = GetSystemMetrics(SM_CXCURSOR);
    // Opaque at the top, transparent below.
    Bitmap original(size, size, true);
    original.fill(Colour(0xFF2080C0u));
    original.setAlpha(0, Rect(0, size / 2, size, size - size / 2));
    original.setPremultiplied(true);
    HCURSOR cursor = original.toCursor(3, 5);
    ASSERT_NE(cursor, nullptr);
    int hotX = -1;
    int hotY = -1;
    const Bitmap back = Bitmap::fromCursor(cursor, &hotX, &hotY);
    DestroyCursor(cursor);
    EXPECT_EQ(3, hotX);
    EXPECT_EQ(5, hotY);
    ASSERT_EQ(original.size(), back.size());
    EXPECT_EQ(Colour(0xFF2080C0u), back.pixel(size - 1, 0));
    EXPECT_EQ(Colour(0u), back.pixel(size - 1, size - 1));

    // The system's own arrow, made elsewhere, reads too.
    EXPECT_FALSE(Bitmap::fromCursor(LoadCursorW(nullptr, IDC_ARROW), nullptr, nullptr).isNull());
    // An icon is not a cursor.
    HICON icon = original.toIcon();
    EXPECT_TRUE(Bitmap::fromCursor(icon, &hotX, &hotY).isNull());
    DestroyIcon(icon);
}

void fillNumbered(const DibSection& dib, int count)
{
    for (std::uint32_t i = 0; i < std::uint32_t(count); ++i) {
        const std::uint32_t value = 0xFF000000u + i;
        std::memcpy(dib.bits + i * 4, &value, 4);
    }
}

// A top-down section is read the right way up, not refused: a program may
// put one on the clipboard as its bitmap (the clipboard test reads one),
// and the platform reports a top-down section's height as positive anyway,
// so its height could not tell it apart.
TEST(PlatformImages, FromHBitmapReadsEitherRowOrder)
{
    struct Row {
        int dibHeight;
        std::uint32_t topLeft, bottomRight;
    };
    // A bottom-up DIB's first row in memory is the image's bottom row.
    const Row rows[] = {{2, 0xFF000003u, 0xFF000002u}, {-2, 0xFF000000u, 0xFF000005u}};
    forEachRow(rows, [](const Row& row) {
        DibSection dib(3, row.dibHeight);
        ASSERT_NE(dib.handle, nullptr);
        fillNumbered(dib, 6);
        const Bitmap bitmap = Bitmap::fromHBitmap(dib.handle, true);
        ASSERT_EQ(Size(3, 2), bitmap.size());
        EXPECT_EQ(Colour(row.topLeft), bitmap.pixel(0, 0));
        EXPECT_EQ(Colour(row.bottomRight), bitmap.pixel(2, 1));
        const Bitmap rgb = Bitmap::fromHBitmap(dib.handle, false);
        EXPECT_EQ(24u, rgb.bitsPerPixel());
        EXPECT_EQ(Colour(row.bottomRight), rgb.pixel(2, 1));
    });
    EXPECT_TRUE(Bitmap::fromHBitmap(nullptr, true).isNull());
}
