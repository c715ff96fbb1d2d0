#include "graphics/PixImageCodec.h"

#include "foundation/BinaryReader.h"
#include "foundation/BinaryWriter.h"
#include "foundation/FileStream.h"
#include "foundation/FileSystem.h"
#include "foundation/MemoryStream.h"

namespace {

struct PixHeader {
    std::uint32_t magic = 0;
    std::uint32_t width = 0;
    std::uint32_t height = 0;
    std::uint32_t byteCount = 0;
};

PixHeader readHeader(BinaryReader& reader)
{
    PixHeader header;
    header.magic = reader.readUInt32();
    header.width = reader.readUInt32();
    header.height = reader.readUInt32();
    header.byteCount = reader.readUInt32();
    return header;
}

// The whole file size the header promises, or -1 for a header that no
// file can match. Computed in 64 bits, so no product wraps.
std::int64_t fileSizeFor(const PixHeader& header)
{
    if (header.magic != PixImageCodec::magic)
        return -1;
    const std::int32_t width = std::int32_t(header.width);
    const std::int32_t height = std::int32_t(header.height);
    if (width <= 0 || height <= 0)
        return -1;
    const std::int64_t byteCount = std::int64_t(width) * height * 4;
    if (byteCount != header.byteCount)
        return -1;
    return PixImageCodec::headerSize + byteCount;
}

// Reads the header and then the pixels into a new Bitmap, once the
// stream's size is known to match the header exactly.
Bitmap readPix(InputStream& stream)
{
    BinaryReader reader(&stream);
    if (!reader.attach() || stream.size() <= std::uint64_t(PixImageCodec::headerSize))
        return Bitmap::null();
    const PixHeader header = readHeader(reader);
    const std::int64_t fileSize = fileSizeFor(header);
    if (fileSize < 0 || std::uint64_t(fileSize) != stream.size())
        return Bitmap::null();
    Bitmap bitmap(int(header.width), int(header.height), true);
    if (bitmap.isNull() || reader.readBytes(bitmap.bits(), bitmap.byteCount()) != bitmap.byteCount())
        return Bitmap::null();
    return bitmap;
}

// The pixels as a 32 bpp Bitmap: 24-bit ones become opaque 32-bit ones.
Bitmap thirtyTwoBit(const Bitmap& bitmap)
{
    if (bitmap.hasAlpha())
        return bitmap;
    return Bitmap::fromPixels(bitmap.bits(), bitmap.width(), bitmap.height(), false, bitmap.byteCount());
}

} // namespace

bool PixImageCodec::matches(const String& extension) const
{
    return extension == L"pix";
}

Bitmap PixImageCodec::decode(const std::uint8_t* bytes, std::int64_t size) const
{
    if (!bytes || size <= headerSize)
        return Bitmap::null();
    MemoryStream stream(bytes, std::uint64_t(size), false);
    return readPix(stream);
}

Bitmap PixImageCodec::load(const String& path) const
{
    if (!fileExists(path))
        return Bitmap::null();
    FileInputStream stream(path);
    return readPix(stream);
}

bool PixImageCodec::save(const String& path, const Bitmap& bitmap) const
{
    if (path.isEmpty() || bitmap.isNull())
        return false;
    const Bitmap pixels = thirtyTwoBit(bitmap);
    return writeFileAtomically(path, [&pixels](FileOutputStream& stream) {
        BinaryWriter writer(&stream);
        return writer.attach() && writer.writeUInt32(magic) && writer.writeUInt32(std::uint32_t(pixels.width()))
               && writer.writeUInt32(std::uint32_t(pixels.height())) && writer.writeUInt32(pixels.byteCount())
               && writer.writeBytes(pixels.bits(), pixels.byteCount()) == std::int64_t(pixels.byteCount());
    });
}
