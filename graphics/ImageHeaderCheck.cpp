#include "graphics/ImageHeaderCheck.h"

#include "graphics/Bitmap.h"

#include <algorithm>
#include <cstring>
#include <optional>
#include <string_view>

using namespace std::string_view_literals;

namespace {

constexpr std::int64_t pixelLimit = Bitmap::maxDecodedPixels;

// Bytes whose reads check their range: a read outside gives 0, so a
// truncated header reads as one with zero fields. Of a file's size bytes
// only the first held may be at hand; the rest read as 0 too.
class ByteView {
public:
    ByteView(const std::uint8_t* bytes, std::uint64_t size) : ByteView(bytes, size, size) {}
    ByteView(const std::uint8_t* bytes, std::uint64_t size, std::uint64_t held)
        : m_bytes(bytes), m_size(size), m_held(std::min(held, size))
    {
    }

    std::uint64_t size() const { return m_size; }
    bool has(std::uint64_t offset, std::uint64_t count) const
    {
        return offset <= m_size && count <= m_size - offset;
    }
    // count bytes from offset on, which the caller checked with has.
    ByteView part(std::uint64_t offset, std::uint64_t count) const
    {
        const std::uint64_t start = std::min(offset, m_held);
        return {m_bytes + start, count, std::min(count, m_held - start)};
    }
    bool matches(std::uint64_t at, std::string_view text) const
    {
        return at <= m_held && text.size() <= m_held - at && std::memcmp(m_bytes + at, text.data(), text.size()) == 0;
    }

    std::uint32_t byte(std::uint64_t at) const { return at < m_held ? m_bytes[at] : 0; }
    std::uint32_t word16(std::uint64_t at, bool bigEndian) const
    {
        return bigEndian ? byte(at) << 8 | byte(at + 1) : byte(at + 1) << 8 | byte(at);
    }
    std::uint32_t word32(std::uint64_t at, bool bigEndian) const
    {
        return bigEndian ? word16(at, true) << 16 | word16(at + 2, true)
                         : word16(at + 2, false) << 16 | word16(at, false);
    }
    std::uint32_t le16(std::uint64_t at) const { return word16(at, false); }
    std::uint32_t le32(std::uint64_t at) const { return word32(at, false); }
    std::uint32_t be16(std::uint64_t at) const { return word16(at, true); }
    std::uint32_t be32(std::uint64_t at) const { return word32(at, true); }

private:
    const std::uint8_t* m_bytes;
    std::uint64_t m_size;
    std::uint64_t m_held;
};

// Zero sides pass: the formats that allow them leave those to the decoder.
bool notTooManyPixels(std::uint64_t width, std::uint64_t height)
{
    const auto limit = std::uint64_t(pixelLimit);
    return width <= limit && height <= limit && width * height <= limit;
}

bool soundSize(std::int64_t width, std::int64_t height)
{
    return width >= 1 && height >= 1 && notTooManyPixels(std::uint64_t(width), std::uint64_t(height));
}

// ---- bmp and the images inside icons ----

enum Compression : std::uint32_t { Uncompressed = 0, Rle8 = 1, Rle4 = 2, BitFields = 3 };

constexpr std::uint32_t coreHeaderSize = 12;
constexpr std::uint32_t infoHeaderSize = 40;
constexpr std::uint64_t fileHeaderSize = 14;

struct DibHeader {
    // 0 for a header of unknown size, or one that does not fit the bytes.
    std::uint32_t size = 0;
    std::int64_t width = 0;
    std::int64_t height = 0;
    std::uint32_t bitsPerPixel = 0;
    std::uint32_t compression = Uncompressed;
    std::uint32_t coloursUsed = 0;
};

// The core header, the info header, its two bit-field extensions, and
// versions 4 and 5.
bool isKnownHeaderSize(std::uint32_t size)
{
    return size == coreHeaderSize || size == infoHeaderSize || size == 52 || size == 56 || size == 108
           || size == 124;
}

DibHeader readDibHeader(const ByteView& dib)
{
    DibHeader header;
    const std::uint32_t size = dib.le32(0);
    if (!isKnownHeaderSize(size) || !dib.has(0, size))
        return header;
    header.size = size;
    if (size == coreHeaderSize) {
        header.width = dib.le16(4);
        header.height = dib.le16(6);
        header.bitsPerPixel = dib.le16(10);
        return header;
    }
    header.width = std::int32_t(dib.le32(4));
    header.height = std::int32_t(dib.le32(8));
    header.bitsPerPixel = dib.le16(14);
    header.compression = dib.le32(16);
    header.coloursUsed = dib.le32(32);
    return header;
}

bool isKnownDepth(std::uint32_t bitsPerPixel)
{
    switch (bitsPerPixel) {
    case 1:
    case 4:
    case 8:
    case 16:
    case 24:
    case 32:
        return true;
    default:
        return false;
    }
}

// Run-length rows are bottom-up only.
bool compressionFits(const DibHeader& header, bool topDown)
{
    switch (header.compression) {
    case Uncompressed:
        return true;
    case Rle8:
        return header.bitsPerPixel == 8 && !topDown;
    case Rle4:
        return header.bitsPerPixel == 4 && !topDown;
    case BitFields:
        return header.bitsPerPixel == 16 || header.bitsPerPixel == 32;
    default:
        return false;
    }
}

bool isCompressed(const DibHeader& header)
{
    return header.compression == Rle8 || header.compression == Rle4;
}

// The bytes of rows rows, each filled out to a multiple of 4 bytes; at
// most 4 a pixel, so within the pixel limit this cannot overflow.
std::uint64_t rowBytes(const DibHeader& header, std::int64_t rows)
{
    return std::uint64_t((header.width * header.bitsPerPixel + 31) / 32 * 4) * std::uint64_t(rows);
}

// rows: the colour rows the header claims; held: the bytes from the first
// row to the end.
bool dibIsSound(const DibHeader& header, std::int64_t rows, bool topDown, std::uint64_t held)
{
    if (header.size == 0 || !isKnownDepth(header.bitsPerPixel) || !compressionFits(header, topDown))
        return false;
    if (header.bitsPerPixel <= 8 && header.coloursUsed > (1u << header.bitsPerPixel))
        return false;
    if (!soundSize(header.width, rows))
        return false;
    return isCompressed(header) || rowBytes(header, rows) <= held;
}

bool bmpIsSound(const ByteView& file)
{
    if (!file.has(0, fileHeaderSize))
        return false;
    const DibHeader header = readDibHeader(file.part(fileHeaderSize, file.size() - fileHeaderSize));
    const std::uint64_t pixelOffset = file.le32(10);
    if (header.size == 0 || pixelOffset < fileHeaderSize + header.size || pixelOffset > file.size())
        return false;
    const bool topDown = header.height < 0;
    return dibIsSound(header, topDown ? -header.height : header.height, topDown, file.size() - pixelOffset);
}

// What lies between an icon image's header and its rows.
std::uint64_t tablesAfterHeader(const DibHeader& header)
{
    const std::uint64_t masks = header.size == infoHeaderSize && header.compression == BitFields ? 12 : 0;
    std::uint64_t colours = header.coloursUsed;
    if (colours == 0 && header.bitsPerPixel <= 8)
        colours = std::uint64_t(1) << header.bitsPerPixel;
    return masks + colours * (header.size == coreHeaderSize ? 3 : 4);
}

bool pngIsSound(const ByteView& png);

constexpr std::string_view pngSignature = "\x89PNG\r\n\x1A\n"sv;

// Png, or a bmp without its file header, bottom-up, whose height counts the
// colour rows and the mask below them.
bool iconImageIsSound(const ByteView& image)
{
    if (image.matches(0, pngSignature))
        return pngIsSound(image);
    const DibHeader header = readDibHeader(image);
    const std::uint64_t rowsStart = header.size + tablesAfterHeader(header);
    if (header.size == 0 || rowsStart > image.size())
        return false;
    return dibIsSound(header, header.height / 2, false, image.size() - rowsStart);
}

bool iconIsSound(const ByteView& file)
{
    constexpr std::uint64_t directoryHeaderSize = 6;
    constexpr std::uint64_t entrySize = 16;
    const std::uint32_t count = file.le16(4);
    if (count == 0 || !file.has(directoryHeaderSize, entrySize * count))
        return false;
    for (std::uint32_t i = 0; i < count; ++i) {
        const std::uint64_t entry = directoryHeaderSize + entrySize * i;
        const std::uint64_t size = file.le32(entry + 8);
        const std::uint64_t offset = file.le32(entry + 12);
        if (!file.has(offset, size) || !iconImageIsSound(file.part(offset, size)))
            return false;
    }
    return true;
}

// ---- png ----

constexpr std::uint32_t chunkCode(std::string_view type)
{
    return std::uint32_t(std::uint8_t(type[0])) << 24 | std::uint32_t(std::uint8_t(type[1])) << 16
           | std::uint32_t(std::uint8_t(type[2])) << 8 | std::uint8_t(type[3]);
}

// The platform's decoder reads every ancillary chunk (one whose type starts
// with a lower-case letter: texts, times, colour hints) as a metadata block:
// 5,000 time chunks in a 95 KB file have taken from 0.9 s to 8 s to decode,
// 1,000 take about 0.2 s (bench/imageload_bench). Ordinary files hold a
// handful, an animation two per frame; libpng keeps no more than 1,000
// unknown ones either.
constexpr int maxPngAncillaryChunks = 1000;

// The chunks a png may hold once only; libpng takes a repeat for damage,
// and a repeated time chunk is how a small file became a long decode.
constexpr std::uint32_t pngOnceOnlyChunks[] = {
    chunkCode("IHDR"), chunkCode("PLTE"), chunkCode("tRNS"), chunkCode("cHRM"), chunkCode("gAMA"),
    chunkCode("iCCP"), chunkCode("sBIT"), chunkCode("sRGB"), chunkCode("cICP"), chunkCode("mDCv"),
    chunkCode("cLLi"), chunkCode("eXIf"), chunkCode("bKGD"), chunkCode("hIST"), chunkCode("pHYs"),
    chunkCode("tIME"), chunkCode("acTL"),
};

// What a png's chunks hold beside the pixels, counted chunk by chunk.
class PngChunkTally {
public:
    // False from the first chunk past a bound.
    bool take(std::uint32_t type)
    {
        constexpr std::uint32_t ancillaryBit = 0x20000000;
        if ((type & ancillaryBit) && ++m_ancillary > maxPngAncillaryChunks)
            return false;
        const auto* once = std::find(std::begin(pngOnceOnlyChunks), std::end(pngOnceOnlyChunks), type);
        if (once == std::end(pngOnceOnlyChunks))
            return true;
        const std::uint32_t bit = 1u << (once - std::begin(pngOnceOnlyChunks));
        if (m_seen & bit)
            return false;
        m_seen |= bit;
        return true;
    }

private:
    int m_ancillary = 0;
    std::uint32_t m_seen = 0;
};

// A header chunk first, and every chunk (length, type, data, check) inside
// the bytes and within the tally's bounds up to the end chunk.
bool pngIsSound(const ByteView& png)
{
    constexpr std::uint64_t chunkFrame = 12;
    std::uint64_t at = pngSignature.size();
    if (png.be32(at) != 13 || !png.matches(at + 4, "IHDR"sv) || !soundSize(png.be32(16), png.be32(20)))
        return false;
    PngChunkTally tally;
    while (at < png.size()) {
        const std::uint64_t length = png.be32(at);
        if (!png.has(at, chunkFrame + length))
            return false;
        const std::uint32_t type = png.be32(at + 4);
        if (type == chunkCode("IEND"))
            return true;
        if (!tally.take(type))
            return false;
        at += chunkFrame + length;
    }
    return true;
}

// ---- gif ----

// The platform's decoder reads every extension block (comments, application
// data, one control block per animation frame) as metadata, in a time that
// grows faster than their number: 80,000 application blocks in a 1.4 MB
// file have taken from 2.7 s to 9 s to decode, 10,000 about 0.2 s
// (bench/imageload_bench). Every image is a frame of its own: 80,000 of
// 1 x 1 pixels take over a second, 10,000 about 0.14 s. Long animations
// reach a few thousand frames, each with one control block.
constexpr int maxGifExtensions = 10000;
constexpr int maxGifImages = 10000;

bool hasColourTable(std::uint32_t flags)
{
    return (flags & 0x80) != 0;
}

std::uint64_t colourTableBytes(std::uint32_t flags)
{
    return hasColourTable(flags) ? std::uint64_t(3) << ((flags & 7) + 1) : 0;
}

// Past a run of sub-blocks and the empty block that ends it.
std::uint64_t skipSubBlocks(const ByteView& gif, std::uint64_t at)
{
    while (gif.has(at, 1) && gif.byte(at) != 0)
        at += 1 + gif.byte(at);
    return at + 1;
}

// The screen, every image descriptor and a count of the extensions and
// images; the decoder judges the rest.
bool gifIsSound(const ByteView& gif)
{
    constexpr std::uint32_t extension = 0x21;
    constexpr std::uint32_t imageDescriptor = 0x2C;
    constexpr std::uint64_t descriptorSize = 10;
    const std::uint32_t screenFlags = gif.byte(10);
    if (!notTooManyPixels(gif.le16(6), gif.le16(8)))
        return false;
    std::uint64_t at = 13 + colourTableBytes(screenFlags);
    int extensions = 0;
    int images = 0;
    while (gif.has(at, 1)) {
        const std::uint32_t kind = gif.byte(at);
        if (kind == extension) {
            if (++extensions > maxGifExtensions)
                return false;
            at = skipSubBlocks(gif, at + 2);
        } else if (kind == imageDescriptor) {
            const std::uint32_t imageFlags = gif.byte(at + 9);
            // Without either table the decoder reads colours from a null one.
            if (++images > maxGifImages || !notTooManyPixels(gif.le16(at + 5), gif.le16(at + 7))
                || (!hasColourTable(screenFlags) && !hasColourTable(imageFlags)))
                return false;
            // The code size byte comes before the data's sub-blocks.
            at = skipSubBlocks(gif, at + descriptorSize + colourTableBytes(imageFlags) + 1);
        } else {
            return true;
        }
    }
    return true;
}

// ---- jpeg ----

bool isFrameHeader(std::uint32_t marker)
{
    return marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC;
}

bool standsAlone(std::uint32_t marker)
{
    return marker == 0x01 || (marker >= 0xD0 && marker <= 0xD7);
}

// The first frame header's size; segments are walked up to it.
bool jpegIsSound(const ByteView& jpeg)
{
    std::uint64_t at = 2;
    while (jpeg.has(at, 4) && jpeg.byte(at) == 0xFF) {
        const std::uint32_t marker = jpeg.byte(at + 1);
        if (marker == 0xFF || standsAlone(marker)) {
            at += marker == 0xFF ? 1 : 2;
            continue;
        }
        if (isFrameHeader(marker))
            return notTooManyPixels(jpeg.be16(at + 7), jpeg.be16(at + 5));
        // A scan or the end before any frame: the decoder refuses that.
        if (marker == 0xDA || marker == 0xD9)
            return true;
        at += 2 + jpeg.be16(at + 2);
    }
    return true;
}

// ---- tiff ----

enum TiffTag : std::uint32_t {
    WidthTag = 256,
    HeightTag = 257,
    StripOffsetsTag = 273,
    StripByteCountsTag = 279,
    TileWidthTag = 322,
    TileLengthTag = 323,
    TileOffsetsTag = 324,
    TileByteCountsTag = 325,
};

enum TiffType : std::uint32_t { ShortType = 3, LongType = 4 };

// The bytes one value of a field type takes; 0 for a type the decoder
// skips.
std::uint64_t tiffTypeSize(std::uint32_t type)
{
    switch (type) {
    case 1: // byte
    case 2: // text
    case 6: // signed byte
    case 7: // undefined
        return 1;
    case ShortType:
    case 8: // signed short
        return 2;
    case LongType:
    case 9: // signed long
    case 11: // float
    case 13: // directory offset
        return 4;
    case 5: // rational
    case 10: // signed rational
    case 12: // double
        return 8;
    default:
        return 0;
    }
}

// A tiff's bytes and their byte order.
struct TiffView {
    const ByteView& bytes;
    bool big;

    std::uint32_t word16(std::uint64_t at) const { return bytes.word16(at, big); }
    std::uint32_t word32(std::uint64_t at) const { return bytes.word32(at, big); }
};

// A directory entry; tag 0 for one the directory does not hold.
struct TiffEntry {
    std::uint32_t tag = 0;
    std::uint32_t type = 0;
    std::uint64_t count = 0;
    // Where the values lie: inside the entry when they fit its 4 bytes.
    std::uint64_t values = 0;

    std::uint64_t valueBytes() const { return tiffTypeSize(type) * count; }
};

TiffEntry readTiffEntry(const TiffView& tiff, std::uint64_t at)
{
    TiffEntry entry{tiff.word16(at), tiff.word16(at + 2), tiff.word32(at + 4), at + 8};
    if (entry.valueBytes() > 4)
        entry.values = tiff.word32(at + 8);
    return entry;
}

// Value i of a short or long entry.
std::uint64_t tiffValue(const TiffView& tiff, const TiffEntry& entry, std::uint64_t i)
{
    return entry.type == ShortType ? tiff.word16(entry.values + 2 * i) : tiff.word32(entry.values + 4 * i);
}

// What the decoder sizes its buffers and reads by.
struct TiffDirectory {
    std::uint64_t width = 0;
    std::uint64_t height = 0;
    std::uint64_t tileWidth = 0;
    std::uint64_t tileLength = 0;
    TiffEntry stripOffsets;
    TiffEntry stripByteCounts;
    TiffEntry tileOffsets;
    TiffEntry tileByteCounts;
};

// Notes what the decoder sizes its buffers and reads by; false when such
// an entry is neither short nor long, as no sound file has it.
bool takeTiffEntry(TiffDirectory& directory, const TiffView& tiff, const TiffEntry& entry)
{
    switch (entry.tag) {
    case WidthTag:
        directory.width = tiffValue(tiff, entry, 0);
        break;
    case HeightTag:
        directory.height = tiffValue(tiff, entry, 0);
        break;
    case TileWidthTag:
        directory.tileWidth = tiffValue(tiff, entry, 0);
        break;
    case TileLengthTag:
        directory.tileLength = tiffValue(tiff, entry, 0);
        break;
    case StripOffsetsTag:
        directory.stripOffsets = entry;
        break;
    case StripByteCountsTag:
        directory.stripByteCounts = entry;
        break;
    case TileOffsetsTag:
        directory.tileOffsets = entry;
        break;
    case TileByteCountsTag:
        directory.tileByteCounts = entry;
        break;
    default:
        return true;
    }
    return entry.type == ShortType || entry.type == LongType;
}

// The first directory, its entries and each entry's values inside the
// bytes: the decoder allocates what an entry's count claims and reads into
// it, with the size worked out in 32 bits.
std::optional<TiffDirectory> readTiffDirectory(const TiffView& tiff)
{
    constexpr std::uint64_t entrySize = 12;
    const std::uint64_t first = tiff.word32(4) + 2;
    const std::uint64_t end = first + entrySize * tiff.word16(first - 2);
    if (!tiff.bytes.has(first, end - first))
        return std::nullopt;
    TiffDirectory directory;
    for (std::uint64_t at = first; at < end; at += entrySize) {
        const TiffEntry entry = readTiffEntry(tiff, at);
        if (!tiff.bytes.has(entry.values, entry.valueBytes()) || !takeTiffEntry(directory, tiff, entry))
            return std::nullopt;
    }
    return directory;
}

// Every strip or tile inside the bytes: at each offset as many bytes as
// its count says. Without counts the decoder works them out, and the
// offsets alone must lie inside.
bool tiffChunksInside(const TiffView& tiff, const TiffEntry& offsets, const TiffEntry& byteCounts)
{
    const bool counted = byteCounts.tag != 0;
    if (counted && byteCounts.count != offsets.count)
        return false;
    for (std::uint64_t i = 0; i < offsets.count; ++i) {
        const std::uint64_t size = counted ? tiffValue(tiff, byteCounts, i) : 0;
        if (!tiff.bytes.has(tiffValue(tiff, offsets, i), size))
            return false;
    }
    return true;
}

// A tile larger than the limit is refused as the image is: the decoder
// allocates a whole tile.
bool tiffIsSound(const ByteView& bytes)
{
    const TiffView tiff{bytes, bytes.byte(0) == 'M'};
    const std::optional<TiffDirectory> directory = readTiffDirectory(tiff);
    return directory && notTooManyPixels(directory->width, directory->height)
           && notTooManyPixels(directory->tileWidth, directory->tileLength)
           && tiffChunksInside(tiff, directory->stripOffsets, directory->stripByteCounts)
           && tiffChunksInside(tiff, directory->tileOffsets, directory->tileByteCounts);
}

struct Format {
    std::string_view signature;
    bool (*isSound)(const ByteView&);
    // Whether the first ImageHeaderCheck::headBytes and the file's size
    // are all the check reads.
    bool judgedFromHead;
};

// The formats the platform's decoder tells from their first bytes.
const Format formats[] = {
    {"BM"sv, bmpIsSound, true},         {"\0\0\1\0"sv, iconIsSound, false}, {"\0\0\2\0"sv, iconIsSound, false},
    {pngSignature, pngIsSound, false},  {"GIF87a"sv, gifIsSound, false},    {"GIF89a"sv, gifIsSound, false},
    {"\xFF\xD8"sv, jpegIsSound, false}, {"II*\0"sv, tiffIsSound, false},   {"MM\0*"sv, tiffIsSound, false},
};

// The format of a file no larger than any image within the limit can be.
const Format* formatOf(const ByteView& view)
{
    if (view.size() > ImageHeaderCheck::maxFileBytes)
        return nullptr;
    for (const Format& format : formats) {
        if (view.matches(0, format.signature))
            return &format;
    }
    return nullptr;
}

} // namespace

bool ImageHeaderCheck::isSound(const std::uint8_t* bytes, std::uint64_t size)
{
    if (!bytes)
        return false;
    const ByteView view(bytes, size);
    const Format* format = formatOf(view);
    return format && format->isSound(view);
}

ImageHeaderCheck::HeadVerdict ImageHeaderCheck::checkHead(const std::uint8_t* head, std::uint64_t headSize,
                                                          std::uint64_t fileSize)
{
    if (!head || headSize > fileSize)
        return HeadVerdict::Refused;
    const ByteView view(head, fileSize, headSize);
    const Format* format = formatOf(view);
    if (!format)
        return HeadVerdict::Refused;
    if (!format->judgedFromHead)
        return HeadVerdict::NeedsWholeFile;
    return headSize >= std::min(headBytes, fileSize) && format->isSound(view) ? HeadVerdict::Sound
                                                                               : HeadVerdict::Refused;
}
