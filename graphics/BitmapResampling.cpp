// The Bitmap operations that make a new image from one or two others:
// resizing, rectangles, compositing, blur, rotation and magnification.
#include "graphics/Bitmap.h"

#include "graphics/GaussianKernel.h"
#include "graphics/PixelWord.h"
#include "graphics/Resampler.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstring>
#include <vector>

namespace {

std::uint8_t channel(std::uint32_t argb, int shift)
{
    return std::uint8_t(argb >> shift);
}

// Source s (top) over destination d (bottom), both straight alpha. The
// shifts give the floor of the quotient, negative differences included.
std::uint32_t over(std::uint32_t s, std::uint32_t d)
{
    int da = channel(d, 24);
    if (da == 0)
        return s;
    int k = 255 - channel(s, 24);
    int a = 255 - (((255 - da) * k) >> 8);
    int w = (k * da) / a;
    std::uint32_t result = std::uint32_t(a) << 24;
    for (int shift = 0; shift < 24; shift += 8) {
        int sc = channel(s, shift);
        int dc = channel(d, shift);
        result |= std::uint32_t(sc + (((dc - sc) * w) >> 8)) << shift;
    }
    return result;
}

// The cubic convolution kernel with a = -1.
float cubic(float x)
{
    float t = std::fabs(x);
    if (t < 1)
        return t * t * t - 2 * t * t + 1;
    if (t < 2)
        return -t * t * t + 5 * t * t - 8 * t + 4;
    return 0;
}

// x div factor, rounded toward minus infinity.
std::int64_t floorDiv(std::int64_t x, std::int64_t factor)
{
    std::int64_t q = x / factor;
    return (x % factor != 0 && x < 0) ? q - 1 : q;
}

bool isQuarterTurn(float degrees, int& quarters)
{
    float turns = std::fmod(degrees, 360.0f);
    if (turns < 0)
        turns += 360.0f;
    if (std::fmod(turns, 90.0f) != 0)
        return false;
    quarters = int(turns / 90.0f) % 4;
    return true;
}

} // namespace

Bitmap Bitmap::scaled(int width, int height, int mode) const
{
    if (isNull() || width < 1 || height < 1)
        return null();
    if (width == d.width && height == d.height)
        return copy();
    Bitmap result;
    if (mode == int(ResampleMode::Nearest)) {
        result = Bitmap(width, height, d.hasAlpha);
        if (result.isNull())
            return null();
        double xr = double(d.width) / width;
        double yr = double(d.height) / height;
        for (int y = 0; y < height; ++y) {
            const std::uint8_t* row = scanLine(int(y * yr));
            std::uint8_t* out = result.scanLine(y);
            for (int x = 0; x < width; ++x, out += d.bytesPerPixel)
                std::memcpy(out, row + std::size_t(x * xr) * d.bytesPerPixel, d.bytesPerPixel);
        }
    } else {
        std::unique_ptr<ResampleFilter> filter = makeResampleFilter(mode);
        if (!filter)
            return null();
        result = Resampler(*filter).scale(*this, width, height);
    }
    result.d.premultiplied = !result.isNull() && d.premultiplied;
    return result;
}

Bitmap Bitmap::scaledToHeight(int height, int mode) const
{
    Size size = this->size().scaledToHeight(height);
    return scaled(size.width, size.height, mode);
}

Bitmap Bitmap::scaledToFit(int maxWidth, int maxHeight, int mode) const
{
    if (isNull() || maxWidth < 1 || maxHeight < 1)
        return null();
    if (d.width <= maxWidth && d.height <= maxHeight)
        return copy();
    Size size = this->size().scaledToFit({maxWidth, maxHeight});
    return scaled(std::max(1, size.width), std::max(1, size.height), mode);
}

Bitmap Bitmap::copyRect(const Rect& r) const
{
    if (!d.hasAlpha || r.isEmpty() || r.x < 0 || r.y < 0)
        return null();
    if (std::int64_t(r.x) + r.width > d.width || std::int64_t(r.y) + r.height > d.height)
        return null();
    if (r == rect())
        return copy();
    Bitmap result(r.width, r.height, true);
    if (result.isNull())
        return null();
    for (int k = 0; k < r.height; ++k)
        std::memcpy(result.scanLine(k), pixelAddress(r.x, r.y + k), result.d.stride);
    result.d.premultiplied = d.premultiplied;
    return result;
}

Bitmap Bitmap::appendedBelow(const Bitmap& other) const
{
    if (isNull() || other.d.width != d.width || other.d.hasAlpha != d.hasAlpha)
        return null();
    if (std::int64_t(d.height) + other.d.height > INT_MAX)
        return null();
    Bitmap result(d.width, d.height + other.d.height, d.hasAlpha);
    if (result.isNull())
        return null();
    std::memcpy(result.d.pixels, d.pixels, d.byteCount);
    std::memcpy(result.d.pixels + d.byteCount, other.d.pixels, other.d.byteCount);
    result.d.premultiplied = d.premultiplied;
    return result;
}

void Bitmap::drawBitmap(const Bitmap& source, Point p)
{
    if (!d.hasAlpha || !source.d.hasAlpha)
        return;
    Rect area = rect().intersected(Rect(p.x, p.y, source.d.width, source.d.height));
    if (area.isEmpty())
        return;
    int sx = area.x - p.x;
    int sy = area.y - p.y;
    for (int k = 0; k < area.height; ++k) {
        const std::uint8_t* in = source.pixelAddress(sx, sy + k);
        std::uint8_t* out = pixelAddress(area.x, area.y + k);
        for (int x = 0; x < area.width; ++x, in += 4, out += 4)
            writePixelWord(out, over(readPixelWord(in), readPixelWord(out)));
    }
}

void Bitmap::gaussianBlur(float radius)
{
    if (isNull())
        return;
    GaussianKernel kernel = makeGaussianKernel(radius, std::max(d.width, d.height));
    if (kernel.taps.empty())
        return;
    Bitmap across(d.width, d.height, d.hasAlpha);
    if (across.isNull())
        return;
    int channels = int(d.bytesPerPixel);
    for (int y = 0; y < d.height; ++y)
        convolveLine(scanLine(y), across.scanLine(y), channels, d.width, kernel);
    std::vector<std::uint8_t> column(d.columnBytes);
    std::vector<std::uint8_t> blurred(d.columnBytes);
    for (int x = 0; x < d.width; ++x) {
        for (int y = 0; y < d.height; ++y)
            std::memcpy(&column[std::size_t(y) * d.bytesPerPixel], across.pixelAddress(x, y), d.bytesPerPixel);
        convolveLine(column.data(), blurred.data(), channels, d.height, kernel);
        for (int y = 0; y < d.height; ++y)
            std::memcpy(pixelAddress(x, y), &blurred[std::size_t(y) * d.bytesPerPixel], d.bytesPerPixel);
    }
}

Bitmap Bitmap::rotated90() const
{
    return rotated(90.0f, Colour(0x00FFFFFFu));
}

Bitmap Bitmap::rotated(float degrees, Colour background) const
{
    if (!d.hasAlpha)
        return copy();
    if (!std::isfinite(degrees))
        return null();
    int quarters = 0;
    if (isQuarterTurn(degrees, quarters))
        return quarterTurned(quarters);
    double radians = double(degrees) * 3.14159265358979323846 / 180.0;
    double c = std::cos(radians);
    double s = std::sin(radians);
    // A hair below each whole number, so that rounding error cannot add a
    // column of background.
    int width = std::max(1, int(std::ceil(d.width * std::fabs(c) + d.height * std::fabs(s) - 1e-6)));
    int height = std::max(1, int(std::ceil(d.width * std::fabs(s) + d.height * std::fabs(c) - 1e-6)));
    Bitmap result(width, height, true);
    if (result.isNull())
        return null();
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            double dx = x + 0.5 - width / 2.0;
            double dy = y + 0.5 - height / 2.0;
            double u = c * dx + s * dy + d.width / 2.0 - 0.5;
            double v = -s * dx + c * dy + d.height / 2.0 - 0.5;
            writePixelWord(result.pixelAddress(x, y), sampleCubic(float(u), float(v), background.argb()));
        }
    }
    return result;
}

Bitmap Bitmap::quarterTurned(int quarters) const
{
    if (quarters == 0)
        return copy();
    if (quarters == 2)
        return mirrored(true, true);
    Bitmap result(d.height, d.width, true);
    if (result.isNull())
        return null();
    for (int y = 0; y < result.d.height; ++y) {
        std::uint8_t* out = result.scanLine(y);
        for (int x = 0; x < result.d.width; ++x, out += 4) {
            const std::uint8_t* in = quarters == 1 ? pixelAddress(y, d.height - 1 - x) : pixelAddress(d.width - 1 - y, x);
            std::memcpy(out, in, 4);
        }
    }
    result.d.premultiplied = d.premultiplied;
    return result;
}

// Four by four pixels around (u, v) in pixel-index coordinates, those
// outside the Bitmap taking background.
std::uint32_t Bitmap::sampleCubic(float u, float v, std::uint32_t background) const
{
    auto ix = int(std::floor(u));
    auto iy = int(std::floor(v));
    float fx = u - float(ix);
    float fy = v - float(iy);
    float wx[4] = {cubic(fx + 1), cubic(fx), cubic(1 - fx), cubic(2 - fx)};
    float wy[4] = {cubic(fy + 1), cubic(fy), cubic(1 - fy), cubic(2 - fy)};
    float sums[4] = {0, 0, 0, 0};
    for (int m = 0; m < 4; ++m) {
        int y = iy - 1 + m;
        for (int k = 0; k < 4; ++k) {
            int x = ix - 1 + k;
            bool inside = x >= 0 && y >= 0 && x < d.width && y < d.height;
            std::uint32_t value = inside ? readPixelWord(pixelAddress(x, y)) : background;
            float w = wx[k] * wy[m];
            for (int c = 0; c < 4; ++c)
                sums[c] += w * float(channel(value, 8 * c));
        }
    }
    std::uint32_t result = 0;
    for (int c = 0; c < 4; ++c)
        result |= std::uint32_t(std::clamp(std::trunc(double(sums[c]) + 0.5), 0.0, 255.0)) << (8 * c);
    return result;
}

Bitmap Bitmap::magnified(Point centre, int factor, Size view, Colour background, Point offset) const
{
    if (!d.hasAlpha || factor < 1 || view.isEmpty())
        return null();
    Bitmap result(view.width, view.height, true);
    if (result.isNull())
        return null();
    for (int y = 0; y < view.height; ++y) {
        std::int64_t sy = centre.y + floorDiv(std::int64_t(y) + offset.y - view.height / 2, factor);
        std::uint8_t* out = result.scanLine(y);
        for (int x = 0; x < view.width; ++x, out += 4) {
            std::int64_t sx = centre.x + floorDiv(std::int64_t(x) + offset.x - view.width / 2, factor);
            bool inside = sx >= 0 && sy >= 0 && sx < d.width && sy < d.height;
            writePixelWord(out, inside ? readPixelWord(pixelAddress(int(sx), int(sy))) : background.argb());
        }
    }
    return result;
}
