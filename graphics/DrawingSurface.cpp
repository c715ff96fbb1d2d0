#include "graphics/DrawingSurface.h"

#include <windows.h>

#include <algorithm>
#include <cstring>
#include <limits>

struct GdiDrawingSurface::Private {
    int width = 0;
    int height = 0;
    bool active = false;
    std::uint8_t* pixels = nullptr;
    Colour fillColour;
    HDC dc = nullptr;
    HBITMAP bitmap = nullptr;
    HGDIOBJ previousBitmap = nullptr;

    std::int64_t byteCount() const { return std::int64_t(width) * height * 4; }
    void releaseBitmap();
    bool createBitmap(int w, int h);
    int deviceCaps(int index) const { return dc ? GetDeviceCaps(dc, index) : 0; }
};

namespace {

// The same limit as a Bitmap's block, so every surface can become one.
bool fitsPixelBlock(int width, int height)
{
    return std::int64_t(width) * height * 4 <= std::numeric_limits<std::int32_t>::max();
}

HBITMAP createTopDownDib(int width, int height, void** bits)
{
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    HDC screen = GetDC(nullptr);
    HBITMAP dib = CreateDIBSection(screen, &info, DIB_RGB_COLORS, bits, nullptr, 0);
    ReleaseDC(nullptr, screen);
    return dib;
}

} // namespace

void GdiDrawingSurface::Private::releaseBitmap()
{
    if (bitmap) {
        SelectObject(dc, previousBitmap);
        DeleteObject(bitmap);
    }
    bitmap = nullptr;
    previousBitmap = nullptr;
    pixels = nullptr;
    width = 0;
    height = 0;
}

bool GdiDrawingSurface::Private::createBitmap(int w, int h)
{
    if (!fitsPixelBlock(w, h))
        return false;
    void* bits = nullptr;
    HBITMAP dib = createTopDownDib(w, h, &bits);
    if (!dib || !bits) {
        if (dib)
            DeleteObject(dib);
        return false;
    }
    bitmap = dib;
    pixels = static_cast<std::uint8_t*>(bits);
    previousBitmap = SelectObject(dc, bitmap);
    width = w;
    height = h;
    return true;
}

GdiDrawingSurface::GdiDrawingSurface(int width, int height) : d(std::make_unique<Private>())
{
    resize(width, height);
}

GdiDrawingSurface::GdiDrawingSurface(const Bitmap& bitmap) : GdiDrawingSurface(bitmap.width(), bitmap.height())
{
    if (bitmap.isNull())
        return;
    const Bitmap wide = bitmap.hasAlpha()
        ? bitmap
        : Bitmap::fromPixels(bitmap.bits(), bitmap.width(), bitmap.height(), false, bitmap.byteCount());
    copyPixelsFrom(wide.bits(), wide.byteCount());
}

GdiDrawingSurface::~GdiDrawingSurface()
{
    d->releaseBitmap();
    if (d->dc)
        DeleteDC(d->dc);
}

DeviceContext GdiDrawingSurface::dc() const
{
    return d->dc;
}

void GdiDrawingSurface::setActive(bool active)
{
    d->active = active;
}

bool GdiDrawingSurface::isActive() const
{
    return d->active;
}

std::uint8_t* GdiDrawingSurface::pixels() const
{
    return d->pixels;
}

int GdiDrawingSurface::bitsPerPixel() const
{
    return d->deviceCaps(BITSPIXEL);
}

int GdiDrawingSurface::width() const
{
    return d->width;
}

int GdiDrawingSurface::height() const
{
    return d->height;
}

int GdiDrawingSurface::dpiX() const
{
    return d->deviceCaps(LOGPIXELSX);
}

int GdiDrawingSurface::dpiY() const
{
    return d->deviceCaps(LOGPIXELSY);
}

void GdiDrawingSurface::resize(int width, int height)
{
    if (width <= 0 || height <= 0 || (width == d->width && height == d->height))
        return;
    if (!d->dc) {
        d->dc = CreateCompatibleDC(nullptr);
        if (!d->dc)
            return;
        SetGraphicsMode(d->dc, GM_ADVANCED);
    }
    d->releaseBitmap();
    if (!d->createBitmap(width, height))
        return;
    SelectClipRgn(d->dc, nullptr);
    if (!d->fillColour.isTranslucent())
        fill(d->fillColour);
}

void GdiDrawingSurface::setFillColour(Colour colour)
{
    d->fillColour = colour;
}

Colour GdiDrawingSurface::fillColour() const
{
    return d->fillColour;
}

void GdiDrawingSurface::fill(Colour colour)
{
    if (!d->pixels)
        return;
    if (colour.isTranslucent()) {
        std::fill_n(reinterpret_cast<std::uint32_t*>(d->pixels), std::size_t(d->width) * d->height, colour.argb());
        return;
    }
    const RECT all = {0, 0, d->width, d->height};
    const COLORREF previous = SetBkColor(d->dc, colour.colorRef());
    ExtTextOutW(d->dc, 0, 0, ETO_OPAQUE, &all, nullptr, 0, nullptr);
    SetBkColor(d->dc, previous);
}

bool GdiDrawingSurface::hasPixels() const
{
    return d->pixels != nullptr;
}

void GdiDrawingSurface::copyPixelsFrom(const void* source, std::int64_t byteCount)
{
    if (!d->pixels || !source || byteCount <= 0)
        return;
    // GDI may still hold drawing for these pixels in its queue.
    GdiFlush();
    std::memcpy(d->pixels, source, std::size_t(std::min(byteCount, d->byteCount())));
}

Bitmap GdiDrawingSurface::toBitmap(bool keepAlpha) const
{
    if (!d->pixels)
        return Bitmap::null();
    GdiFlush();
    Bitmap result(d->pixels, d->width, d->height, true);
    if (!keepAlpha)
        result.setAlpha(255);
    return result;
}
