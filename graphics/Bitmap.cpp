#include "graphics/Bitmap.h"

#include "graphics/PixelWord.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstring>
#include <new>
#include <utility>

namespace {

struct Geometry {
    std::uint32_t bytesPerPixel = 0;
    std::uint32_t stride = 0;
    std::uint32_t byteCount = 0;
};

// Computed in 64 bits so that no product can wrap: a block larger than
// INT_MAX bytes is refused rather than allocated short.
bool geometryFor(int width, int height, bool hasAlpha, Geometry& out)
{
    if (width < 1 || height < 1)
        return false;
    std::int64_t bytesPerPixel = hasAlpha ? 4 : 3;
    std::int64_t stride = (bytesPerPixel * width + 3) & ~std::int64_t(3);
    std::int64_t byteCount = stride * height;
    if (byteCount > INT_MAX)
        return false;
    out = {std::uint32_t(bytesPerPixel), std::uint32_t(stride), std::uint32_t(byteCount)};
    return true;
}

std::uint8_t toByte(double value)
{
    if (!(value > 0.0))
        return 0;
    if (value >= 255.0)
        return 255;
    return std::uint8_t(value);
}

std::uint8_t premultipliedChannel(int c, int a)
{
    return a == 0 ? 0 : std::uint8_t((c * a + 127) >> 8);
}

std::uint8_t straightChannel(int c, int a)
{
    return a == 0 ? 0 : std::uint8_t(std::min(255, c * 255 / a));
}

} // namespace

template <typename Visit>
void Bitmap::forEachPixel(Visit visit) const
{
    for (int y = 0; y < d.height; ++y) {
        std::uint8_t* p = scanLine(y);
        for (int x = 0; x < d.width; ++x, p += d.bytesPerPixel)
            visit(p);
    }
}

template <typename Test>
bool Bitmap::anyPixel(Test test) const
{
    for (int y = 0; y < d.height; ++y) {
        const std::uint8_t* p = scanLine(y);
        for (int x = 0; x < d.width; ++x, p += d.bytesPerPixel) {
            if (test(p))
                return true;
        }
    }
    return false;
}

Bitmap::Bitmap(const Bitmap& other)
{
    attach(other);
}

Bitmap::Bitmap(Bitmap&& other) noexcept
{
    d = other.d;
    other.d = Fields();
}

Bitmap::Bitmap(int width, int height, bool hasAlpha)
{
    allocate(width, height, hasAlpha);
}

Bitmap::Bitmap(const void* bytes, int width, int height, bool hasAlpha)
{
    if (bytes && allocate(width, height, hasAlpha))
        std::memcpy(d.pixels, bytes, d.byteCount);
}

Bitmap::~Bitmap()
{
    detach();
}

Bitmap& Bitmap::operator=(const Bitmap& other)
{
    if (this == &other)
        return *this;
    detach();
    attach(other);
    return *this;
}

Bitmap& Bitmap::operator=(Bitmap&& other) noexcept
{
    if (this == &other)
        return *this;
    detach();
    d = other.d;
    other.d = Fields();
    return *this;
}

const Bitmap& Bitmap::null()
{
    static const Bitmap empty;
    return empty;
}

Bitmap Bitmap::fromPixels(const void* data, int width, int height, bool hasAlpha, std::int64_t byteCount)
{
    Geometry source;
    if (!data || !geometryFor(width, height, hasAlpha, source))
        return null();
    if (byteCount != -1 && byteCount != source.byteCount)
        return null();
    if (hasAlpha)
        return Bitmap(data, width, height, true);
    Bitmap result(width, height, true);
    if (result.isNull())
        return null();
    const auto* in = static_cast<const std::uint8_t*>(data);
    for (int y = 0; y < height; ++y) {
        const std::uint8_t* from = in + std::size_t(y) * source.stride;
        std::uint8_t* to = result.scanLine(y);
        for (int x = 0; x < width; ++x, from += 3, to += 4) {
            to[0] = from[0];
            to[1] = from[1];
            to[2] = from[2];
            to[3] = 255;
        }
    }
    return result;
}

Bitmap Bitmap::copy() const
{
    if (isNull())
        return null();
    Bitmap result(d.pixels, d.width, d.height, d.hasAlpha);
    result.d.premultiplied = d.premultiplied;
    return result;
}

void Bitmap::fill(Colour colour)
{
    if (isNull())
        return;
    if (!colour.isVisible()) {
        std::memset(d.pixels, 0, d.byteCount);
        return;
    }
    std::uint8_t* row = d.pixels;
    std::memset(row, 0, d.stride);
    for (int x = 0; x < d.width; ++x) {
        std::uint8_t* p = row + std::size_t(x) * d.bytesPerPixel;
        if (d.hasAlpha) {
            writePixelWord(p, colour.argb());
        } else {
            p[0] = colour.blue();
            p[1] = colour.green();
            p[2] = colour.red();
        }
    }
    for (int y = 1; y < d.height; ++y)
        std::memcpy(scanLine(y), row, d.stride);
}

void Bitmap::setAlpha(std::uint8_t alpha, const Rect& r)
{
    if (!d.hasAlpha)
        return;
    Rect area = rect();
    if (!r.isEmpty()) {
        int left = std::max(r.x, 0);
        int top = std::max(r.y, 0);
        // In 64 bits: a rectangle near INT_MAX must not wrap its far edge.
        auto right = int(std::min<std::int64_t>(std::int64_t(r.x) + r.width, d.width));
        auto bottom = int(std::min<std::int64_t>(std::int64_t(r.y) + r.height, d.height));
        area = Rect(left, top, right - left, bottom - top);
    }
    for (int y = area.y; y < area.bottom(); ++y) {
        for (int x = area.x; x < area.right(); ++x)
            pixelAddress(x, y)[3] = alpha;
    }
}

void Bitmap::setPremultiplied(bool p)
{
    if (d.premultiplied == p || !d.hasAlpha)
        return;
    d.premultiplied = p;
    auto convert = p ? premultipliedChannel : straightChannel;
    forEachPixel([convert](std::uint8_t* px) {
        int a = px[3];
        if (a == 255)
            return;
        px[0] = convert(px[0], a);
        px[1] = convert(px[1], a);
        px[2] = convert(px[2], a);
    });
}

bool Bitmap::hasNonZeroAlpha() const
{
    if (!d.hasAlpha)
        return true;
    return anyPixel([](const std::uint8_t* p) { return p[3] != 0; });
}

void Bitmap::toGrey()
{
    forEachPixel([](std::uint8_t* p) {
        auto grey = std::uint8_t((p[1] * 601 + p[2] * 306 + p[0] * 117) >> 10);
        p[0] = p[1] = p[2] = grey;
    });
}

void Bitmap::applyGamma(float gamma)
{
    if (!(gamma > 0.0f))
        return;
    double e = 1.0f / gamma;
    double n = std::pow(255.0, e) / 255.0;
    // A tiny gamma overflows 255^e; the same quotient then comes from logarithms.
    double logN = e * std::log(255.0) - std::log(255.0);
    std::uint8_t table[256];
    for (int v = 0; v < 256; ++v) {
        double value = std::isfinite(n) ? std::pow(double(v), e) / n : std::exp(e * std::log(double(v)) - logN);
        table[v] = toByte(value);
    }
    applyTable(table);
}

void Bitmap::adjustBrightnessContrast(int brightness, int contrast)
{
    float f = (float(contrast) + 100.0f) / 100.0f;
    double offset = double(brightness) + 128.0;
    std::uint8_t table[256];
    for (int v = 0; v < 256; ++v)
        table[v] = toByte(std::trunc((v - 128) * f + offset + 0.5));
    applyTable(table);
}

void Bitmap::applyTable(const std::uint8_t table[256])
{
    if (!d.hasAlpha) {
        for (std::uint32_t i = 0; i < d.byteCount; ++i)
            d.pixels[i] = table[d.pixels[i]];
        return;
    }
    forEachPixel([table](std::uint8_t* p) {
        p[0] = table[p[0]];
        p[1] = table[p[1]];
        p[2] = table[p[2]];
    });
}

void Bitmap::applyChannelTables(const std::uint8_t redTable[256], const std::uint8_t greenTable[256],
                                const std::uint8_t blueTable[256], const std::uint8_t alphaTable[256])
{
    bool withAlpha = d.hasAlpha && alphaTable;
    forEachPixel([=](std::uint8_t* p) {
        p[0] = blueTable[p[0]];
        p[1] = greenTable[p[1]];
        p[2] = redTable[p[2]];
        if (withAlpha)
            p[3] = alphaTable[p[3]];
    });
}

void Bitmap::invert()
{
    if (!d.hasAlpha) {
        for (std::uint32_t i = 0; i < d.byteCount; ++i)
            d.pixels[i] = std::uint8_t(255 - d.pixels[i]);
        return;
    }
    forEachPixel([](std::uint8_t* p) {
        p[0] = std::uint8_t(255 - p[0]);
        p[1] = std::uint8_t(255 - p[1]);
        p[2] = std::uint8_t(255 - p[2]);
    });
}

Bitmap Bitmap::mirrored(bool horizontal, bool vertical) const
{
    if (!d.hasAlpha)
        return null();
    Bitmap result = copy();
    if (result.isNull())
        return null();
    if (vertical) {
        for (int i = 0; i < d.height / 2; ++i)
            std::swap_ranges(result.scanLine(i), result.scanLine(i) + d.stride, result.scanLine(d.height - 1 - i));
    }
    if (horizontal) {
        for (int y = 0; y < d.height; ++y) {
            std::uint8_t* row = result.scanLine(y);
            for (int x = 0; x < d.width / 2; ++x)
                std::swap_ranges(row + 4 * x, row + 4 * x + 4, row + 4 * (d.width - 1 - x));
        }
    }
    return result;
}

void Bitmap::setPixel(int x, int y, Colour colour)
{
    std::uint8_t* p = pixelAddress(x, y);
    if (d.hasAlpha) {
        writePixelWord(p, colour.argb());
        return;
    }
    p[0] = colour.blue();
    p[1] = colour.green();
    p[2] = colour.red();
}

Colour Bitmap::pixel(int x, int y) const
{
    const std::uint8_t* p = pixelAddress(x, y);
    if (d.hasAlpha)
        return Colour(readPixelWord(p));
    return Colour(p[2], p[1], p[0]);
}

void Bitmap::setPixelAlpha(int x, int y, std::uint8_t alpha)
{
    if (d.hasAlpha)
        pixelAddress(x, y)[3] = alpha;
}

std::uint8_t Bitmap::pixelAlpha(int x, int y) const
{
    return d.hasAlpha ? pixelAddress(x, y)[3] : 255;
}

bool Bitmap::containsPixelValue(std::uint32_t value) const
{
    if (!d.hasAlpha)
        return false;
    return anyPixel([value](const std::uint8_t* p) { return readPixelWord(p) == value; });
}

void Bitmap::setAlphaWhereColour(Colour colour, std::uint8_t alpha)
{
    if (!d.hasAlpha)
        return;
    forEachPixel([colour, alpha](std::uint8_t* p) {
        if ((readPixelWord(p) & 0x00FFFFFFu) == colour.rgb())
            p[3] = alpha;
    });
}

Bitmap Bitmap::alphaAsGrey() const
{
    if (!d.hasAlpha)
        return null();
    Bitmap result(d.width, d.height, true);
    if (result.isNull())
        return null();
    for (std::uint32_t i = 0; i < d.pixelCount; ++i) {
        std::uint8_t a = d.pixels[i * 4 + 3];
        writePixelWord(result.d.pixels + i * 4, Colour(255, a, a, a).argb());
    }
    return result;
}

void Bitmap::setAlphaFromRed(const Bitmap& other)
{
    if (!d.hasAlpha || other.isNull() || other.size() != size())
        return;
    for (int y = 0; y < d.height; ++y) {
        for (int x = 0; x < d.width; ++x)
            pixelAddress(x, y)[3] = other.pixelAddress(x, y)[2];
    }
}

bool Bitmap::isAlphaBinary() const
{
    return d.hasAlpha && !hasPartialAlpha();
}

bool Bitmap::hasPartialAlpha() const
{
    if (!d.hasAlpha)
        return false;
    return anyPixel([](const std::uint8_t* p) { return p[3] != 0 && p[3] != 255; });
}

Colour Bitmap::averageColour() const
{
    if (isNull())
        return Colour();
    std::uint64_t sum[4] = {0, 0, 0, 0};
    bool withAlpha = d.hasAlpha;
    forEachPixel([&sum, withAlpha](std::uint8_t* p) {
        for (int c = 0; c < 3; ++c)
            sum[c] += p[c];
        sum[3] += withAlpha ? p[3] : 255;
    });
    auto mean = [this](std::uint64_t total) { return std::uint8_t(total / d.pixelCount); };
    return Colour(mean(sum[3]), mean(sum[2]), mean(sum[1]), mean(sum[0]));
}

void Bitmap::copyRowOut(int y, void* out) const
{
    std::memcpy(out, scanLine(y), d.stride);
}

void Bitmap::copyRowIn(int y, const void* in)
{
    std::memcpy(scanLine(y), in, d.stride);
}

void Bitmap::release()
{
    detach();
    d = Fields();
}

bool Bitmap::allocate(int width, int height, bool hasAlpha)
{
    Geometry geometry;
    if (!geometryFor(width, height, hasAlpha, geometry))
        return false;
    // A block that cannot be had leaves the Bitmap empty, like any refused
    // size: an image file may claim far more pixels than memory holds.
    auto* pixels = new (std::nothrow) std::uint8_t[geometry.byteCount];
    auto* refCount = pixels ? new (std::nothrow) std::int32_t(1) : nullptr;
    if (!refCount) {
        delete[] pixels;
        return false;
    }
    d.pixels = pixels;
    d.refCount = refCount;
    d.width = width;
    d.height = height;
    d.bytesPerPixel = geometry.bytesPerPixel;
    d.bitsPerPixel = geometry.bytesPerPixel * 8;
    d.stride = geometry.stride;
    d.rowSlack = geometry.stride - std::uint32_t(width) * geometry.bytesPerPixel;
    d.columnBytes = std::uint32_t(height) * geometry.bytesPerPixel;
    d.pixelCount = std::uint32_t(width) * std::uint32_t(height);
    d.byteCount = geometry.byteCount;
    d.hasAlpha = hasAlpha;
    d.premultiplied = false;
    return true;
}

void Bitmap::attach(const Bitmap& other)
{
    d = other.d;
    if (d.refCount)
        ++*d.refCount;
}

void Bitmap::detach()
{
    if (!d.refCount)
        return;
    if (--*d.refCount == 0) {
        delete[] d.pixels;
        delete d.refCount;
    }
    d.pixels = nullptr;
    d.refCount = nullptr;
}
