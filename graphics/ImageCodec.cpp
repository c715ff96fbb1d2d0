#include "graphics/ImageCodec.h"

#include "foundation/FileSystem.h"
#include "foundation/List.h"
#include "foundation/Path.h"
#include "graphics/GdiplusCodecs.h"
#include "graphics/PixImageCodec.h"

namespace {

struct Registry {
    List<ImageCodec*> codecs;
    std::uintptr_t gdiplusToken = 0;
};

Registry& registry()
{
    static Registry instance;
    return instance;
}

} // namespace

ImageCodec* ImageCodecRegistry::findByExtension(const String& text)
{
    const String extension = text.trimmed().toLower();
    if (extension.length() != 3 && extension.length() != 4)
        return nullptr;
    for (ImageCodec* codec : registry().codecs) {
        if (codec->matches(extension))
            return codec;
    }
    return nullptr;
}

bool ImageCodecRegistry::isSupported(const String& text)
{
    return findByExtension(text) != nullptr;
}

void initImageCodecs()
{
    Registry& r = registry();
    if (!r.codecs.isEmpty())
        return;
    r.gdiplusToken = startGdiplus();
    r.codecs.append(new PixImageCodec);
    r.codecs.append(new BmpCodec);
    r.codecs.append(new JpegCodec);
    r.codecs.append(new PngCodec);
    r.codecs.append(new TiffCodec);
    r.codecs.append(new GifCodec);
}

void shutdownImageCodecs()
{
    Registry& r = registry();
    if (r.gdiplusToken != 0) {
        stopGdiplus(r.gdiplusToken);
        r.gdiplusToken = 0;
    }
    for (ImageCodec* codec : r.codecs)
        delete codec;
    r.codecs.clear();
}

int imageCodecCount()
{
    return registry().codecs.count();
}

Bitmap loadImageFromMemory(const void* bytes, std::int64_t size, const String& extension)
{
    const ImageCodec* codec = ImageCodecRegistry::findByExtension(extension);
    if (!codec)
        return Bitmap::null();
    return codec->decode(static_cast<const std::uint8_t*>(bytes), size);
}

Bitmap loadImageFile(const String& path)
{
    const ImageCodec* codec = ImageCodecRegistry::findByExtension(Path::extension(path));
    if (!codec)
        return Bitmap::null();
    return codec->load(path);
}

bool saveImageFile(const String& path, const Bitmap& bitmap)
{
    const ImageCodec* codec = ImageCodecRegistry::findByExtension(Path::extension(path));
    return codec && codec->save(path, bitmap);
}

Bitmap Bitmap::fromData(const void* bytes, std::int64_t size, const String& extension)
{
    return loadImageFromMemory(bytes, size, extension);
}

Bitmap Bitmap::load(const String& path)
{
    return loadImageFile(path);
}

bool Bitmap::save(const String& path, bool overwrite) const
{
    if (!overwrite && fileExists(path))
        return false;
    return saveImageFile(path, *this);
}
