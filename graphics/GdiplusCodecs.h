#pragma once

#include "graphics/ImageCodec.h"

namespace Gdiplus {
class GpImage;
}

// The formats decoded and encoded by GDI+. GDI+ recognises the format from
// the content, so any of these codecs decodes bmp, jpeg, png, tiff and gif
// bytes alike, always into a 32 bpp straight-alpha Bitmap; saving picks the
// encoder by the path's extension. They work only while GDI+ runs
// (initImageCodecs).
class GdiplusCodec : public ImageCodec {
public:
    // alias: a second extension text accepted besides the codec's own.
    explicit GdiplusCodec(const String& extension, const String& alias = String())
        : ImageCodec(extension), m_alias(alias)
    {
    }

    bool matches(const String& extension) const override;
    Bitmap decode(const std::uint8_t* bytes, std::int64_t size) const override;
    Bitmap load(const String& path) const override;
    bool save(const String& path, const Bitmap& bitmap) const override;

private:
    String m_alias;
};

class BmpCodec : public GdiplusCodec {
public:
    BmpCodec() : GdiplusCodec(L"bmp") {}
};

// Saves with quality 100.
class JpegCodec : public GdiplusCodec {
public:
    JpegCodec() : GdiplusCodec(L"jpeg", L"jpg") {}
};

class PngCodec : public GdiplusCodec {
public:
    PngCodec() : GdiplusCodec(L"png") {}
};

class TiffCodec : public GdiplusCodec {
public:
    TiffCodec() : GdiplusCodec(L"tiff", L"tif") {}
};

class GifCodec : public GdiplusCodec {
public:
    GifCodec() : GdiplusCodec(L"gif") {}
};

// Starts, resp. stops, GDI+ for the codecs; the token, 0 on failure.
std::uintptr_t startGdiplus();
void stopGdiplus(std::uintptr_t token);

// The pixels of a GDI+ bitmap image as a 32 bpp straight-alpha Bitmap,
// whatever its pixel format and row order; metafiles and failures give the
// shared empty Bitmap.
Bitmap bitmapFromGdiplusImage(Gdiplus::GpImage* image);
