#include "graphics/PlatformImages.h"

#include "graphics/Bitmap.h"

#include <windows.h>

#include <algorithm>
#include <cstring>
#include <vector>

namespace {

bool sameColour(const std::uint8_t* a, const std::uint8_t* b)
{
    return a[0] == b[0] && a[1] == b[1] && a[2] == b[2];
}

bool isBlack(const std::uint8_t* p)
{
    return p[0] == 0 && p[1] == 0 && p[2] == 0;
}

bool isWhite(const std::uint8_t* p)
{
    return p[0] == 255 && p[1] == 255 && p[2] == 255;
}

// Over black a blended pixel is c x a, over white c x a + 255 x (1 - a), so
// the red difference gives the alpha. A pixel lighter over black than over
// white fits no blend; its alpha is capped at opaque rather than wrapping.
void deriveStraightPixel(std::uint8_t* onBlack, const std::uint8_t* onWhite)
{
    const float alpha = std::min(1.0f, onBlack[2] / 255.0f - onWhite[2] / 255.0f + 1.0f);
    if (alpha < 1e-6f) {
        std::memset(onBlack, 0, 4);
        return;
    }
    for (int c = 0; c < 3; ++c)
        onBlack[c] = std::uint8_t(std::clamp(onBlack[c] / 255.0f / alpha, 0.0f, 1.0f) * 255.0f);
    onBlack[3] = std::uint8_t(alpha * 255.0f);
}

struct ScreenDc {
    HDC dc = GetDC(nullptr);
    ~ScreenDc()
    {
        if (dc)
            ReleaseDC(nullptr, dc);
    }
};

struct MemoryDc {
    HDC dc = CreateCompatibleDC(nullptr);
    ~MemoryDc()
    {
        if (dc)
            DeleteDC(dc);
    }
};

struct GdiObject {
    HGDIOBJ handle;
    ~GdiObject()
    {
        if (handle)
            DeleteObject(handle);
    }
};

struct Selection {
    HDC dc;
    HGDIOBJ previous;
    Selection(HDC dc, HGDIOBJ object) : dc(dc), previous(SelectObject(dc, object)) {}
    ~Selection() { SelectObject(dc, previous); }
};

// GetIconInfo hands over two bitmaps that the caller must delete.
struct IconParts {
    ICONINFO info = {};
    bool ok;
    explicit IconParts(HICON icon) : ok(icon && GetIconInfo(icon, &info)) {}
    ~IconParts()
    {
        if (info.hbmColor)
            DeleteObject(info.hbmColor);
        if (info.hbmMask)
            DeleteObject(info.hbmMask);
    }
};

BITMAPINFO topDownHeader(int width, int height, WORD bitsPerPixel)
{
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = bitsPerPixel;
    info.bmiHeader.biCompression = BI_RGB;
    return info;
}

HBITMAP createTopDownDib(HDC dc, int width, int height, void** bits)
{
    const BITMAPINFO info = topDownHeader(width, height, 32);
    return CreateDIBSection(dc, &info, DIB_RGB_COLORS, bits, nullptr, 0);
}

// The object's size tells a plain bitmap from a DIB section. The platform
// reports even a top-down section's height as positive; GetDIBits reads
// either row order the right way up.
bool bitmapDimensions(HBITMAP handle, Size& out)
{
    DIBSECTION section = {};
    const int size = GetObjectW(handle, sizeof(section), &section);
    if (size == int(sizeof(BITMAP)))
        out = {section.dsBm.bmWidth, section.dsBm.bmHeight};
    else if (size == int(sizeof(DIBSECTION)))
        out = {section.dsBmih.biWidth, section.dsBmih.biHeight};
    else
        return false;
    return true;
}

// The size of an icon's or cursor's image: its colour bitmap, or half its
// mask, which holds the AND and the XOR halves when there is no colour.
Size iconImageSize(const ICONINFO& info)
{
    Size size;
    if (info.hbmColor)
        return bitmapDimensions(info.hbmColor, size) ? size : Size();
    if (!info.hbmMask || !bitmapDimensions(info.hbmMask, size))
        return Size();
    return {size.width, size.height / 2};
}

bool isDrawableSize(Size size)
{
    return size.width >= 1 && size.height >= 1;
}

// An icon without alpha: pixels inside the mask become transparent, the
// rest opaque; without a mask every pixel is opaque.
void applyIconMask(Bitmap& image, const std::uint8_t* maskPixels)
{
    std::uint8_t* p = image.bits();
    for (std::uint32_t i = 0; i < image.pixelCount(); ++i, p += 4) {
        if (!maskPixels || maskPixels[i * 4 + 2] == 0)
            p[3] = 255;
        else
            std::memset(p, 0, 4);
    }
}

// DrawIconEx blends an icon with alpha over the cleared section, which
// leaves its colours premultiplied; the Bitmap holds straight colours, as
// its flag says.
void straightenBlended(Bitmap& image)
{
    std::uint8_t* p = image.bits();
    for (std::uint32_t i = 0; i < image.pixelCount(); ++i, p += 4) {
        const int alpha = p[3];
        for (int c = 0; c < 3 && alpha < 255; ++c)
            p[c] = alpha == 0 ? 0 : std::uint8_t(std::min(255, p[c] * 255 / alpha));
    }
}

// Fills the compatible bitmap with the stock brush, draws the cursor over
// it and reads the result as 32-bit top-down pixels.
bool renderCursorOver(HDC screen, HDC memory, HBITMAP target, HICON cursor, Size size, int stockBrush, void* out)
{
    {
        Selection selection(memory, target);
        const RECT area = {0, 0, size.width, size.height};
        FillRect(memory, &area, static_cast<HBRUSH>(GetStockObject(stockBrush)));
        if (!DrawIconEx(memory, 0, 0, cursor, size.width, size.height, 0, nullptr, DI_NORMAL))
            return false;
    }
    BITMAPINFO info = topDownHeader(size.width, size.height, 32);
    return GetDIBits(screen, target, 0, UINT(size.height), out, &info, DIB_RGB_COLORS) == size.height;
}

HICON iconFromBitmap(const Bitmap& image, bool isIcon, int hotSpotX, int hotSpotY)
{
    if (image.isNull() || image.width() != image.height() || image.bitsPerPixel() != 32)
        return nullptr;
    ScreenDc screen;
    if (!screen.dc)
        return nullptr;
    void* colourBits = nullptr;
    GdiObject colour{createTopDownDib(screen.dc, image.width(), image.height(), &colourBits)};
    void* maskBits = nullptr;
    GdiObject mask{createTopDownDib(screen.dc, image.width(), image.height(), &maskBits)};
    if (!colour.handle || !mask.handle)
        return nullptr;
    std::memcpy(colourBits, image.bits(), image.byteCount());
    // A transparent first pixel would make the system take the mask
    // instead of the alpha channel.
    auto* first = static_cast<std::uint8_t*>(colourBits);
    if (first[3] == 0) {
        std::memset(first, 0, 3);
        first[3] = 1;
    }
    std::memset(maskBits, 0, image.byteCount());
    ICONINFO info = {isIcon, DWORD(hotSpotX), DWORD(hotSpotY), static_cast<HBITMAP>(mask.handle),
                     static_cast<HBITMAP>(colour.handle)};
    return CreateIconIndirect(&info);
}

} // namespace

void alphaFromBackgrounds(std::uint8_t* onBlack, const std::uint8_t* onWhite, int width, int height,
                          bool deriveAlpha)
{
    const std::int64_t count = std::int64_t(std::max(width, 0)) * std::max(height, 0);
    for (std::int64_t i = 0; i < count; ++i, onBlack += 4, onWhite += 4) {
        if (sameColour(onBlack, onWhite))
            onBlack[3] = 255;
        else if (isBlack(onBlack) && isWhite(onWhite))
            std::memset(onBlack, 0, 4);
        else if (deriveAlpha)
            deriveStraightPixel(onBlack, onWhite);
        else
            onBlack[3] = 255;
    }
}

Bitmap Bitmap::fromHBitmap(BitmapHandle bitmap, bool withAlpha)
{
    Size size;
    if (!bitmap || !bitmapDimensions(bitmap, size) || !isDrawableSize(size))
        return null();
    Bitmap result(size.width, size.height, withAlpha);
    ScreenDc screen;
    if (result.isNull() || !screen.dc)
        return null();
    BITMAPINFO info = topDownHeader(size.width, size.height, withAlpha ? 32 : 24);
    if (GetDIBits(screen.dc, bitmap, 0, UINT(size.height), result.bits(), &info, DIB_RGB_COLORS) != size.height)
        return null();
    return result;
}

Bitmap Bitmap::fromIcon(IconHandle icon)
{
    IconParts parts(icon);
    const Size size = parts.ok ? iconImageSize(parts.info) : Size();
    if (!isDrawableSize(size))
        return null();
    Bitmap result(size.width, size.height, true);
    MemoryDc memory;
    if (result.isNull() || !memory.dc)
        return null();
    void* pixels = nullptr;
    GdiObject dib{createTopDownDib(memory.dc, size.width, size.height, &pixels)};
    if (!dib.handle)
        return null();
    Selection selection(memory.dc, dib.handle);
    if (!DrawIconEx(memory.dc, 0, 0, icon, size.width, size.height, 0, nullptr, DI_NORMAL))
        return null();
    GdiFlush();
    std::memcpy(result.bits(), pixels, result.byteCount());
    if (result.hasNonZeroAlpha()) {
        straightenBlended(result);
        return result;
    }
    std::memset(pixels, 0, result.byteCount());
    const bool maskDrawn = DrawIconEx(memory.dc, 0, 0, icon, size.width, size.height, 0, nullptr, DI_MASK);
    GdiFlush();
    applyIconMask(result, maskDrawn ? static_cast<const std::uint8_t*>(pixels) : nullptr);
    return result;
}

Bitmap Bitmap::fromCursor(IconHandle cursor, int* hotSpotX, int* hotSpotY)
{
    IconParts parts(cursor);
    const Size size = parts.ok && !parts.info.fIcon ? iconImageSize(parts.info) : Size();
    if (!isDrawableSize(size))
        return null();
    Bitmap result(size.width, size.height, true);
    if (result.isNull())
        return null();
    std::vector<std::uint8_t> onWhite(result.byteCount());
    ScreenDc screen;
    MemoryDc memory;
    if (!screen.dc || !memory.dc)
        return null();
    GdiObject target{CreateCompatibleBitmap(screen.dc, size.width, size.height)};
    const auto targetBitmap = static_cast<HBITMAP>(target.handle);
    if (!targetBitmap
        || !renderCursorOver(screen.dc, memory.dc, targetBitmap, cursor, size, BLACK_BRUSH, result.bits())
        || !renderCursorOver(screen.dc, memory.dc, targetBitmap, cursor, size, WHITE_BRUSH, onWhite.data()))
        return null();
    alphaFromBackgrounds(result.bits(), onWhite.data(), size.width, size.height, true);
    if (hotSpotX)
        *hotSpotX = int(parts.info.xHotspot);
    if (hotSpotY)
        *hotSpotY = int(parts.info.yHotspot);
    return result;
}

IconHandle Bitmap::toIcon() const
{
    return iconFromBitmap(*this, true, width() / 2, height() / 2);
}

IconHandle Bitmap::toCursor(int hotSpotX, int hotSpotY) const
{
    if (width() != GetSystemMetrics(SM_CXCURSOR) || height() != GetSystemMetrics(SM_CYCURSOR) || hotSpotX < 0
        || hotSpotX >= width() || hotSpotY < 0 || hotSpotY >= height())
        return nullptr;
    return iconFromBitmap(*this, false, hotSpotX, hotSpotY);
}
