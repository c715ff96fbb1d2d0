#include "graphics/Bitmap.h"

#include <climits>
#include <cstring>
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

} // namespace

Bitmap::Bitmap(const Bitmap& other)
{
    attach(other);
}

Bitmap::Bitmap(Bitmap&& other) noexcept
{
    copyFields(other);
    other.copyFields(Bitmap());
}

Bitmap::Bitmap(int width, int height, bool hasAlpha)
{
    allocate(width, height, hasAlpha);
}

Bitmap::Bitmap(const void* bytes, int width, int height, bool hasAlpha)
{
    if (bytes && allocate(width, height, hasAlpha))
        std::memcpy(m_pixels, bytes, m_byteCount);
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
    copyFields(other);
    other.copyFields(Bitmap());
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
    Bitmap result(m_pixels, m_width, m_height, m_hasAlpha);
    result.m_premultiplied = m_premultiplied;
    return result;
}

void Bitmap::release()
{
    detach();
    copyFields(Bitmap());
}

bool Bitmap::allocate(int width, int height, bool hasAlpha)
{
    Geometry geometry;
    if (!geometryFor(width, height, hasAlpha, geometry))
        return false;
    m_pixels = new std::uint8_t[geometry.byteCount];
    m_refCount = new std::int32_t(1);
    m_width = width;
    m_height = height;
    m_bytesPerPixel = geometry.bytesPerPixel;
    m_bitsPerPixel = geometry.bytesPerPixel * 8;
    m_stride = geometry.stride;
    m_rowSlack = geometry.stride - std::uint32_t(width) * geometry.bytesPerPixel;
    m_columnBytes = std::uint32_t(height) * geometry.bytesPerPixel;
    m_pixelCount = std::uint32_t(width) * std::uint32_t(height);
    m_byteCount = geometry.byteCount;
    m_hasAlpha = hasAlpha;
    m_premultiplied = false;
    return true;
}

void Bitmap::attach(const Bitmap& other)
{
    copyFields(other);
    if (m_refCount)
        ++*m_refCount;
}

void Bitmap::detach()
{
    if (!m_refCount)
        return;
    if (--*m_refCount == 0) {
        delete[] m_pixels;
        delete m_refCount;
    }
    m_pixels = nullptr;
    m_refCount = nullptr;
}

void Bitmap::copyFields(const Bitmap& other)
{
    m_pixels = other.m_pixels;
    m_refCount = other.m_refCount;
    m_width = other.m_width;
    m_height = other.m_height;
    m_bitsPerPixel = other.m_bitsPerPixel;
    m_bytesPerPixel = other.m_bytesPerPixel;
    m_stride = other.m_stride;
    m_rowSlack = other.m_rowSlack;
    m_columnBytes = other.m_columnBytes;
    m_pixelCount = other.m_pixelCount;
    m_byteCount = other.m_byteCount;
    m_hasAlpha = other.m_hasAlpha;
    m_premultiplied = other.m_premultiplied;
}
