#include "graphics/GdiplusCodecs.h"

#include "graphics/BoundedFileStream.h"
#include "graphics/BoundedMemoryStream.h"
#include "graphics/ImageHeaderCheck.h"

#include "foundation/FileStream.h"
#include "foundation/FileSystem.h"
#include "foundation/Path.h"

#include <windows.h>

#include <objidl.h>

#include <gdiplus.h>

#include <algorithm>
#include <climits>
#include <cstring>
#include <memory>
#include <new>
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
using Gdiplus::ImageLockModeUserInputBuf;
using Gdiplus::ImageType;
using Gdiplus::ImageTypeBitmap;
using Gdiplus::ImageTypeUnknown;
using Gdiplus::Ok;
using Gdiplus::PixelFormat;

namespace {

constexpr std::int64_t fileReadChunk = 1 << 20;

bool validDimension(UINT value)
{
    return value != 0 && value <= UINT(INT_MAX);
}

// GDI+ converts the pixels straight into the Bitmap's block, whatever the
// image's own format and row order: no converted clone or locked copy
// lives beside the decoded image and the result.
bool copyPixelsInto(GpImage* image, Bitmap& target)
{
    const GpRect area(0, 0, target.width(), target.height());
    BitmapData data = {};
    data.Width = UINT(target.width());
    data.Height = UINT(target.height());
    data.Stride = INT(target.stride());
    data.PixelFormat = PixelFormat32bppARGB;
    data.Scan0 = target.bits();
    auto* bitmap = static_cast<GpBitmap*>(image);
    if (GdipBitmapLockBits(bitmap, &area, ImageLockModeRead | ImageLockModeUserInputBuf, PixelFormat32bppARGB,
                           &data)
        != Ok)
        return false;
    return GdipBitmapUnlockBits(bitmap, &data) == Ok;
}

// A null stream (one that could not be made) gives the empty Bitmap.
Bitmap decodeStream(IStream* stream)
{
    GpImage* image = nullptr;
    if (!stream || GdipLoadImageFromStream(stream, &image) != Ok)
        return Bitmap::null();
    Bitmap result = bitmapFromGdiplusImage(image);
    GdipDisposeImage(image);
    return result;
}

Bitmap gdiplusDecode(const std::uint8_t* bytes, std::int64_t size)
{
    if (!bytes || size < 1 || std::uint64_t(size) > SIZE_MAX)
        return Bitmap::null();
    // The platform's decoder trusts the sizes in a header; the program
    // reads them first, and gives it only what the first frame needs.
    const ImageHeaderCheck::DecoderInput input = ImageHeaderCheck::decoderInput(bytes, std::uint64_t(size));
    if (input.isRefused())
        return Bitmap::null();
    // Damaged length fields make decoders seek far past the end; this
    // stream answers such reads with nothing.
    const BoundedMemoryStream stream(input.head(), std::size_t(input.headSize()), input.tail(),
                                     std::size_t(input.tailSize()));
    return decodeStream(stream.stream());
}

Bitmap decodeWholeFile(FileInputStream& stream, std::uint64_t size)
{
    if (size > SIZE_MAX)
        return Bitmap::null();
    const std::unique_ptr<std::uint8_t[]> bytes(new (std::nothrow) std::uint8_t[std::size_t(size)]);
    if (!bytes || readWholeStream(stream, bytes.get(), fileReadChunk) != std::int64_t(size))
        return Bitmap::null();
    return gdiplusDecode(bytes.get(), std::int64_t(size));
}

// The decoder reads the file through the handle the check read, never by
// its name: another file may stand there by now, and Wine's GDI+ keeps the
// file it opened when it refuses it.
Bitmap decodeOpenFile(FileInputStream& file)
{
    const BoundedFileStream stream(file);
    return decodeStream(stream.stream());
}

// The first bytes tell the format before the rest is read, so that a file
// that is no image, or too large to be one, costs only those. A bmp, whose
// header alone is checked, is decoded from the open file without its bytes
// held beside the decoder's; the others take the same path as bytes in
// memory.
Bitmap gdiplusLoadFile(const String& path)
{
    const String name = path.trimmed().toLower();
    if (!fileExists(name))
        return Bitmap::null();
    FileInputStream stream(name);
    const std::uint64_t size = stream.size();
    std::uint8_t head[ImageHeaderCheck::headBytes];
    const int headSize = stream.read(head, int(std::min<std::uint64_t>(size, sizeof head)));
    if (size == 0 || headSize < 1)
        return Bitmap::null();
    switch (ImageHeaderCheck::checkHead(head, std::uint64_t(headSize), size)) {
    case ImageHeaderCheck::HeadVerdict::Sound:
        return decodeOpenFile(stream);
    case ImageHeaderCheck::HeadVerdict::NeedsWholeFile:
        return decodeWholeFile(stream, size);
    case ImageHeaderCheck::HeadVerdict::Refused:
        break;
    }
    return Bitmap::null();
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
    // The header check reads what the decoder reads, but should the two
    // ever differ, the result keeps the pixel limit all the same.
    if (std::uint64_t(width) * height > std::uint64_t(Bitmap::maxDecodedPixels))
        return Bitmap::null();
    Bitmap result(int(width), int(height), true);
    if (result.isNull() || !copyPixelsInto(image, result))
        return Bitmap::null();
    return result;
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
