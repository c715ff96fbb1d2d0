#pragma once

#include "foundation/String.h"
#include "graphics/Bitmap.h"

#include <cstdint>

// One image file format: turns bytes or a file into a Bitmap and a Bitmap
// into a file. The codecs live in one ordered registry, filled by
// initImageCodecs and emptied by shutdownImageCodecs; a failing decode or
// load gives the shared empty Bitmap, a failing save false.
class ImageCodec {
public:
    explicit ImageCodec(const String& extension) : m_extension(extension) {}
    virtual ~ImageCodec() = default;
    ImageCodec(const ImageCodec&) = delete;
    ImageCodec& operator=(const ImageCodec&) = delete;

    // The codec's own extension ("pix", "bmp", "jpeg", "png", "tiff", "gif").
    const String& extension() const { return m_extension; }
    // 0 in every codec of the program.
    std::uint32_t flags() const { return m_flags; }

    // Whether the lower-case extension text names this codec's format.
    virtual bool matches(const String& extension) const = 0;
    virtual Bitmap decode(const std::uint8_t* bytes, std::int64_t size) const = 0;
    virtual Bitmap load(const String& path) const = 0;
    virtual bool save(const String& path, const Bitmap& bitmap) const = 0;

private:
    String m_extension;
    std::uint32_t m_flags = 0;
};

namespace ImageCodecRegistry {

// The first codec, in registry order, accepting the trimmed, lower-cased
// text; null for an empty text, one not 3 or 4 characters long, or before
// initImageCodecs.
ImageCodec* findByExtension(const String& text);
bool isSupported(const String& text);

} // namespace ImageCodecRegistry

// Starts GDI+ and fills the registry in the order pix, bmp, jpeg, png, tiff,
// gif. A second call while the codecs run does nothing.
void initImageCodecs();
// Shuts GDI+ down and empties the registry.
void shutdownImageCodecs();
int imageCodecCount();

// The codec named by extension (such as "png") decodes the bytes.
Bitmap loadImageFromMemory(const void* bytes, std::int64_t size, const String& extension);
// The codec named by the path's extension loads the file.
Bitmap loadImageFile(const String& path);
// The codec named by the path's extension writes the file.
bool saveImageFile(const String& path, const Bitmap& bitmap);
