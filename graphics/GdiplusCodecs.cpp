#include "graphics/GdiplusCodecs.h"

#include "foundation/FileSystem.h"
#include "foundation/Path.h"

#include <windows.h>

#include <objidl.h>

#include <gdiplus.h>

#include <climits>
#include <cstring>
#include <memory>
#include <vector>

// Gdiplus has a Bitmap of its own, so its names are taken one by one.
using namespace Gdiplus::DllExports;
using Gdiplus::BitmapData;
using Gdiplus::EncoderParameters;
using Gdiplus::EncoderParameterValueTypeLong;
using Gdiplus::GdiplusStartupInput;
using Gdiplus::GpBitmap;
using Gdiplus::GpImage;
using Gdiplus::GpRect;
using Gdiplus::ImageCodecInfo;
using Gdiplus::ImageLockModeRead;
using Gdiplus::ImageType;
using Gdiplus::ImageTypeBitmap;
using Gdiplus::ImageTypeUnknown;
using Gdiplus::Ok;
using Gdiplus::PixelFormat;

namespace {

struct ImageDisposer {
    void operator()(GpImage* image) const { GdipDisposeImage(image); }
};
using ImagePointer = std::unique_ptr<GpImage, ImageDisposer>;

bool validDimension(UINT value)
{
    return value != 0 && value <= UINT(INT_MAX);
}

// The image in 32 bpp ARGB: the image itself, or a converted clone held
// by keeper until the pixels are copied.
GpBitmap* argbBitmap(GpImage* image, UINT width, UINT height, ImagePointer& keeper)
{
    PixelFormat format = 0;
    if (GdipGetImagePixelFormat(image, &format) != Ok)
        return nullptr;
    if (format == PixelFormat32bppARGB)
        return static_cast<GpBitmap*>(image);
    GpBitmap* clone = nullptr;
    if (GdipCloneBitmapAreaI(0, 0, INT(width), INT(height), PixelFormat32bppARGB, static_cast<GpBitmap*>(image),
                             &clone)
        != Ok)
        return nullptr;
    keeper.reset(clone);
    return clone;
}

// Copies row by row by the locked stride, which may be padded or negative
// (a bottom-up image), so no row is read from the wrong place.
bool copyLockedRows(const BitmapData& data, Bitmap& target)
{
    const std::size_t rowBytes = std::size_t(target.width()) * 4;
    if (data.Width != UINT(target.width()) || data.Height != UINT(target.height()) || !data.Scan0
        || std::size_t(data.Stride < 0 ? -std::int64_t(data.Stride) : data.Stride) < rowBytes)
        return false;
    const auto* row = static_cast<const std::uint8_t*>(data.Scan0);
    for (int y = 0; y < target.height(); ++y, row += data.Stride)
        std::memcpy(target.scanLine(y), row, rowBytes);
    return true;
}

Bitmap decodeFromGlobal(HGLOBAL memory)
{
    IStream* stream = nullptr;
    if (CreateStreamOnHGlobal(memory, FALSE, &stream) != S_OK)
        return Bitmap::null();
    GpImage* image = nullptr;
    Bitmap result;
    if (GdipLoadImageFromStream(stream, &image) == Ok) {
        result = bitmapFromGdiplusImage(image);
        GdipDisposeImage(image);
    }
    stream->Release();
    return result;
}

Bitmap gdiplusDecode(const std::uint8_t* bytes, std::int64_t size)
{
    if (!bytes || size < 1 || std::uint64_t(size) > SIZE_MAX)
        return Bitmap::null();
    HGLOBAL memory = GlobalAlloc(GPTR, SIZE_T(size));
    if (!memory)
        return Bitmap::null();
    std::memcpy(GlobalLock(memory), bytes, SIZE_T(size));
    GlobalUnlock(memory);
    Bitmap result = decodeFromGlobal(memory);
    GlobalFree(memory);
    return result;
}

Bitmap gdiplusLoadFile(const String& path)
{
    const String name = path.trimmed().toLower();
    if (!fileExists(name))
        return Bitmap::null();
    GpImage* image = nullptr;
    if (GdipLoadImageFromFile(name.c_str(), &image) != Ok)
        return Bitmap::null();
    Bitmap result = bitmapFromGdiplusImage(image);
    GdipDisposeImage(image);
    return result;
}

const wchar_t* mimeTypeFor(const String& extension)
{
    struct Entry {
        const wchar_t* extension;
        const wchar_t* mimeType;
    };
    static const Entry table[] = {
        {L"bmp", L"image/bmp"}, {L"jpg", L"image/jpeg"}, {L"jpeg", L"image/jpeg"}, {L"png", L"image/png"},
        {L"tif", L"image/tiff"}, {L"tiff", L"image/tiff"}, {L"gif", L"image/gif"},
    };
    for (const Entry& entry : table) {
        if (extension == entry.extension)
            return entry.mimeType;
    }
    return nullptr;
}

bool findImageEncoder(const wchar_t* mimeType, CLSID& out)
{
    UINT count = 0;
    UINT bytes = 0;
    if (GdipGetImageEncodersSize(&count, &bytes) != Ok || count == 0 || bytes < count * sizeof(ImageCodecInfo))
        return false;
    std::vector<std::uint8_t> buffer(bytes);
    auto* encoders = reinterpret_cast<ImageCodecInfo*>(buffer.data());
    if (GdipGetImageEncoders(count, bytes, encoders) != Ok)
        return false;
    for (UINT i = 0; i < count; ++i) {
        if (encoders[i].MimeType && std::wcscmp(encoders[i].MimeType, mimeType) == 0) {
            out = encoders[i].Clsid;
            return true;
        }
    }
    return false;
}

PixelFormat formatOf(const Bitmap& bitmap)
{
    if (!bitmap.hasAlpha())
        return PixelFormat24bppRGB;
    return bitmap.isPremultiplied() ? PixelFormat32bppPARGB : PixelFormat32bppARGB;
}

bool saveImage(const String& path, const Bitmap& bitmap)
{
    const String name = path.trimmed().toLower();
    if (name.isEmpty() || bitmap.isNull())
        return false;
    const wchar_t* mimeType = mimeTypeFor(Path::extension(name));
    CLSID encoder;
    if (!mimeType || !findImageEncoder(mimeType, encoder))
        return false;
    ULONG quality = 100;
    EncoderParameters parameters = {1, {{Gdiplus::EncoderQuality, 1, EncoderParameterValueTypeLong, &quality}}};
    const bool isJpeg = std::wcscmp(mimeType, L"image/jpeg") == 0;
    GpBitmap* image = nullptr;
    if (GdipCreateBitmapFromScan0(bitmap.width(), bitmap.height(), INT(bitmap.stride()), formatOf(bitmap),
                                  bitmap.bits(), &image)
        != Ok)
        return false;
    const bool saved = GdipSaveImageToFile(image, path.c_str(), &encoder, isJpeg ? &parameters : nullptr) == Ok;
    GdipDisposeImage(image);
    return saved;
}

} // namespace

Bitmap GdiplusCodec::decode(const std::uint8_t* bytes, std::int64_t size) const
{
    return gdiplusDecode(bytes, size);
}

Bitmap GdiplusCodec::load(const String& path) const
{
    return gdiplusLoadFile(path);
}

bool GdiplusCodec::save(const String& path, const Bitmap& bitmap) const
{
    return saveImage(path, bitmap);
}

bool GdiplusCodec::matches(const String& extension) const
{
    return extension == this->extension() || (!m_alias.isEmpty() && extension == m_alias);
}

Bitmap bitmapFromGdiplusImage(GpImage* image)
{
    ImageType type = ImageTypeUnknown;
    if (GdipGetImageType(image, &type) != Ok || type != ImageTypeBitmap)
        return Bitmap::null();
    UINT width = 0;
    UINT height = 0;
    if (GdipGetImageWidth(image, &width) != Ok || GdipGetImageHeight(image, &height) != Ok
        || !validDimension(width) || !validDimension(height))
        return Bitmap::null();
    Bitmap result(int(width), int(height), true);
    if (result.isNull())
        return Bitmap::null();
    ImagePointer clone;
    GpBitmap* source = argbBitmap(image, width, height, clone);
    if (!source)
        return Bitmap::null();
    const GpRect area(0, 0, INT(width), INT(height));
    BitmapData data = {};
    if (GdipBitmapLockBits(source, &area, ImageLockModeRead, PixelFormat32bppARGB, &data) != Ok)
        return Bitmap::null();
    const bool copied = copyLockedRows(data, result);
    GdipBitmapUnlockBits(source, &data);
    return copied ? result : Bitmap::null();
}

std::uintptr_t startGdiplus()
{
    GdiplusStartupInput input;
    ULONG_PTR token = 0;
    if (Gdiplus::GdiplusStartup(&token, &input, nullptr) != Ok)
        return 0;
    return token;
}

void stopGdiplus(std::uintptr_t token)
{
    Gdiplus::GdiplusShutdown(token);
}
