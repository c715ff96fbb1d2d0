#pragma once

// Bitmaps made for graphics tests and pixel checks over them.

#include "graphics/Bitmap.h"

#include "devkit/Bytes.h"
#include "tests/support/ColourPrinting.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <functional>

inline Bitmap filledBitmap(int width, int height, Colour colour, bool alpha = true)
{
    Bitmap bitmap(width, height, alpha);
    bitmap.fill(colour);
    return bitmap;
}

// Seeded random bytes, row slack included.
inline Bitmap randomBitmap(int width, int height, unsigned seed, bool alpha = true)
{
    Bitmap bitmap(width, height, alpha);
    const Bytes bytes = randomBytes(bitmap.byteCount(), seed);
    std::memcpy(bitmap.bits(), bytes.data(), bytes.size());
    return bitmap;
}

// Pixel i (row by row) holds first + i.
inline Bitmap numberedBitmap(int width, int height, std::uint32_t first = 0xFF000000u)
{
    Bitmap bitmap(width, height, true);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x)
            bitmap.setPixel(x, y, Colour(first + std::uint32_t(y * width + x)));
    }
    return bitmap;
}

inline bool sameBytes(const Bitmap& a, const Bitmap& b)
{
    return a.byteCount() == b.byteCount() && std::memcmp(a.bits(), b.bits(), a.byteCount()) == 0;
}

// Every pixel of actual against expected(x, y), each channel within
// tolerance; reports the first few that differ.
inline void expectPixels(const Bitmap& actual, const std::function<Colour(int x, int y)>& expected, int tolerance = 0)
{
    int mismatches = 0;
    for (int y = 0; y < actual.height(); ++y) {
        for (int x = 0; x < actual.width(); ++x) {
            const Colour got = actual.pixel(x, y);
            const Colour want = expected(x, y);
            const bool near = std::abs(got.red() - want.red()) <= tolerance &&
                              std::abs(got.green() - want.green()) <= tolerance &&
                              std::abs(got.blue() - want.blue()) <= tolerance &&
                              std::abs(got.alpha() - want.alpha()) <= tolerance;
            if (!near && mismatches++ < 5)
                ADD_FAILURE() << "pixel (" << x << ", " << y << "): " << ::testing::PrintToString(got) << " instead of "
                              << ::testing::PrintToString(want);
        }
    }
}

// Compares pixels, not row slack.
inline void expectSamePixels(const Bitmap& expected, const Bitmap& actual)
{
    ASSERT_EQ(expected.width(), actual.width());
    ASSERT_EQ(expected.height(), actual.height());
    expectPixels(actual, [&](int x, int y) { return expected.pixel(x, y); });
}
