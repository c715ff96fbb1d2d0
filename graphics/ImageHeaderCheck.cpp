#include "graphics/ImageHeaderCheck.h"

#include "graphics/Bitmap.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <new>
#include <optional>
#include <span>
#include <string_view>
#include <utility>

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

    // Where the first byte of the value from offset on lies; the size when
    // there is none.
    std::uint64_t indexOf(std::uint8_t value, std::uint64_t offset) const
    {
        if (offset >= m_held)
            return m_size;
        const void* found = std::memchr(m_bytes + offset, value, m_held - offset);
        return found ? std::uint64_t(static_cast<const std::uint8_t*>(found) - m_bytes) : m_size;
    }

    // count bytes from offset on, which must be held.
    void copyTo(std::uint8_t* out, std::uint64_t offset, std::uint64_t count) const
    {
        std::memcpy(out, m_bytes + offset, std::size_t(count));
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

// The parts of the bytes the decoder is given, kept one after the other by
// a format's walk: a head that is copied, then a tail read where it lies,
// the last run of parts that follow each other in the bytes (all of them,
// when nothing is left out between them). A first walk only measures them;
// a second copies the head into a block of the size the first found.
class DecoderBytes {
public:
    explicit DecoderBytes(const ByteView& source) : m_source(source) {}
    DecoderBytes(const ByteView& source, std::uint8_t* head, std::uint64_t headSize)
        : m_source(source), m_head(head), m_headSize(headSize)
    {
    }

    // count bytes from offset on, as far as the bytes reach.
    void keep(std::uint64_t offset, std::uint64_t count)
    {
        count = std::min(count, m_source.size() - std::min(offset, m_source.size()));
        if (count == 0)
            return;
        if (offset != m_runEnd) {
            m_runStart = m_size;
            m_runSource = offset;
        }
        if (m_size < m_headSize)
            m_source.copyTo(m_head + m_size, offset, std::min(count, m_headSize - m_size));
        m_size += count;
        m_runEnd = offset + count;
    }
    // A byte of the walk's own, such as a trailer after what is kept.
    void add(std::uint8_t value)
    {
        if (m_source.has(m_runEnd, 1) && m_source.byte(m_runEnd) == value) {
            keep(m_runEnd, 1);
            return;
        }
        if (m_size < m_headSize)
            m_head[m_size] = value;
        m_runStart = ++m_size;
        m_runEnd = noRun;
    }
    // Over bytes of the head; only a copy changes.
    void putLe32(std::uint64_t at, std::uint64_t value)
    {
        for (std::uint64_t i = 0; i < 4 && at + i < m_headSize; ++i)
            m_head[at + i] = std::uint8_t(value >> (8 * i));
    }

    std::uint64_t size() const { return m_size; }
    std::uint64_t headSize() const { return m_runStart; }
    std::uint64_t tailSize() const { return m_size - m_runStart; }
    // Where the tail lies in the bytes, when there is one.
    std::uint64_t tailOffset() const { return m_runSource; }

private:
    static constexpr std::uint64_t noRun = UINT64_MAX;

    const ByteView& m_source;
    std::uint8_t* m_head = nullptr;
    std::uint64_t m_headSize = 0;
    std::uint64_t m_size = 0;
    // The last run: where it starts among the parts given and in the bytes,
    // and where in the bytes a part must start to continue it.
    std::uint64_t m_runStart = 0;
    std::uint64_t m_runSource = 0;
    std::uint64_t m_runEnd = 0;
};

// The walk of a format whose decoder is given the bytes as they stand.
template <bool (*isSound)(const ByteView&)>
bool asTheyStand(const ByteView& bytes, DecoderBytes& given)
{
    given.keep(0, bytes.size());
    return isSound(bytes);
}

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

// A bmp without its file header, bottom-up, whose height counts the colour
// rows and the mask below them.
bool iconDibIsSound(const ByteView& image)
{
    const DibHeader header = readDibHeader(image);
    const std::uint64_t rowsStart = header.size + tablesAfterHeader(header);
    if (header.size == 0 || rowsStart > image.size())
        return false;
    return dibIsSound(header, header.height / 2, false, image.size() - rowsStart);
}

// ---- png ----

constexpr std::string_view pngSignature = "\x89PNG\r\n\x1A\n"sv;

constexpr std::uint32_t chunkCode(std::string_view type)
{
    return std::uint32_t(std::uint8_t(type[0])) << 24 | std::uint32_t(std::uint8_t(type[1])) << 16
           | std::uint32_t(std::uint8_t(type[2])) << 8 | std::uint8_t(type[3]);
}

// The chunks that shape the pixels: the critical ones, and the ancillary
// ones a decoder reads for transparency, gamma and colour space. Left out
// with texts, times, animation and private chunks: iCCP, because GDI+
// loads without colour correction unless asked for it (the program never
// asks), so an embedded profile changes no pixel of the result; and bKGD,
// which GDI+ only reports as metadata and never composites with.
constexpr std::uint32_t pngCriticalChunks[] = {chunkCode("IHDR"), chunkCode("PLTE"), chunkCode("IDAT"),
                                               chunkCode("IEND")};
constexpr std::uint32_t pngShownAncillaryChunks[] = {chunkCode("tRNS"), chunkCode("gAMA"), chunkCode("cHRM"),
                                                     chunkCode("sRGB"), chunkCode("sBIT")};
// Of those, the ones a png may hold once only; libpng takes a repeat for
// damage.
constexpr std::uint32_t pngOnceOnlyChunks[] = {
    chunkCode("IHDR"), chunkCode("PLTE"), chunkCode("tRNS"), chunkCode("gAMA"),
    chunkCode("cHRM"), chunkCode("sRGB"), chunkCode("sBIT"),
};

template <std::size_t count>
bool isListed(const std::uint32_t (&list)[count], std::uint32_t type)
{
    return std::find(std::begin(list), std::end(list), type) != std::end(list);
}

enum class ChunkFate { Shown, LeftOut, Refused };

// Sorts a png's chunks, one after the other, into those the decoder is
// given and those left out.
class PngChunkSorter {
public:
    ChunkFate take(std::uint32_t type)
    {
        // Bit 5 of the type's first letter: lower case for an ancillary
        // chunk, which a decoder may skip.
        constexpr std::uint32_t ancillaryBit = 0x20000000;
        const bool critical = (type & ancillaryBit) == 0;
        if (critical ? !isListed(pngCriticalChunks, type) : !isListed(pngShownAncillaryChunks, type))
            return critical ? ChunkFate::Refused : ChunkFate::LeftOut;
        const auto* once = std::find(std::begin(pngOnceOnlyChunks), std::end(pngOnceOnlyChunks), type);
        if (once == std::end(pngOnceOnlyChunks))
            return ChunkFate::Shown;
        const std::uint32_t bit = 1u << (once - std::begin(pngOnceOnlyChunks));
        if (m_seen & bit)
            return ChunkFate::Refused;
        m_seen |= bit;
        return ChunkFate::Shown;
    }

private:
    std::uint32_t m_seen = 0;
};

// A header chunk first, and every chunk (length, type, data, check) inside
// the bytes up to the end chunk; keep(offset, count) is called for the
// signature and each chunk the decoder is given.
template <typename Keep>
bool walkPng(const ByteView& png, Keep keep)
{
    constexpr std::uint64_t chunkFrame = 12;
    std::uint64_t at = pngSignature.size();
    if (png.be32(at) != 13 || !png.matches(at + 4, "IHDR"sv) || !soundSize(png.be32(16), png.be32(20)))
        return false;
    keep(0, at);
    PngChunkSorter sorter;
    while (at < png.size()) {
        const std::uint64_t length = png.be32(at);
        if (!png.has(at, chunkFrame + length))
            return false;
        const std::uint32_t type = png.be32(at + 4);
        const ChunkFate fate = sorter.take(type);
        if (fate == ChunkFate::Refused)
            return false;
        if (fate == ChunkFate::Shown)
            keep(at, chunkFrame + length);
        if (type == chunkCode("IEND"))
            return true;
        at += chunkFrame + length;
    }
    return true;
}

// Bytes after the end chunk are left out without a copy: the decoder reads
// the bytes as they are up to there. Chunks left out before the data
// (texts, the pixel size) leave a copy of the signature and the header.
bool pngWalk(const ByteView& png, DecoderBytes& given)
{
    return walkPng(png, [&](std::uint64_t at, std::uint64_t count) { given.keep(at, count); });
}

// ---- gif ----

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

// The screen and the first image, and the control block last before it
// (which says which colour is transparent), then the trailer: the
// platform's decoder reads every frame and extension block, and keeps
// every frame decoded. The first image's descriptor is checked; the
// decoder judges the rest.
bool gifWalk(const ByteView& gif, DecoderBytes& given)
{
    constexpr std::uint32_t extension = 0x21;
    constexpr std::uint32_t graphicControl = 0xF9;
    constexpr std::uint32_t imageDescriptor = 0x2C;
    constexpr std::uint64_t descriptorSize = 10;
    const std::uint32_t screenFlags = gif.byte(10);
    if (!notTooManyPixels(gif.le16(6), gif.le16(8)))
        return false;
    std::uint64_t at = 13 + colourTableBytes(screenFlags);
    given.keep(0, at);
    std::uint64_t control = 0;
    std::uint64_t controlEnd = 0;
    while (gif.has(at, 1) && gif.byte(at) == extension) {
        const std::uint64_t end = skipSubBlocks(gif, at + 2);
        if (gif.byte(at + 1) == graphicControl) {
            control = at;
            controlEnd = end;
        }
        at = end;
    }
    if (!gif.has(at, 1) || gif.byte(at) != imageDescriptor)
        return true;
    const std::uint32_t imageFlags = gif.byte(at + 9);
    // Without either table the decoder reads colours from a null one.
    if (!notTooManyPixels(gif.le16(at + 5), gif.le16(at + 7))
        || (!hasColourTable(screenFlags) && !hasColourTable(imageFlags)))
        return false;
    // The code size byte comes before the data's sub-blocks.
    const std::uint64_t end = skipSubBlocks(gif, at + descriptorSize + colourTableBytes(imageFlags) + 1);
    given.keep(control, controlEnd - control);
    given.keep(at, end - at);
    if (end <= gif.size())
        given.add(0x3B);
    return true;
}

// ---- jpeg ----

// Each scan costs the decoder a pass over every block of the components it
// holds: a 2048 x 2048 progressive file decodes in 42 ms, with its last
// 16-byte scan repeated 1,000 times in 4.7 s. So the scans are bounded by
// what they cost, scan pixels (a scan's frame pixels times its
// components), to what 200 scans of a 4096 x 4096 image cost; and, as each
// scan also costs the decoder its tables, to 200 in number. Legal
// progressive files hold about ten scans: at the pixel limit 25 scans of
// one component pass. The bound still lets a file of 40 KB cost seconds
// (1.2 to 3.2 s measured on a loaded machine): 200 refining scans of
// 4096 x 4096 pixels, each of which looks at every coefficient of every
// block.
constexpr int maxJpegScans = 200;
constexpr std::uint64_t maxJpegScanPixels = std::uint64_t(maxJpegScans) * 4096 * 4096;

// What the scans met so far cost the decoder.
class JpegScans {
public:
    void takeFrame(std::uint64_t pixels)
    {
        m_framePixels = std::max(m_framePixels, pixels);
        m_framed = true;
    }
    // False for a scan before any frame, or one past the bounds.
    bool takeScan(std::uint32_t components)
    {
        m_pixels += m_framePixels * std::max<std::uint32_t>(components, 1);
        return m_framed && ++m_count <= maxJpegScans && m_pixels <= maxJpegScanPixels;
    }
    bool any() const { return m_count > 0; }

private:
    bool m_framed = false;
    std::uint64_t m_framePixels = 0;
    int m_count = 0;
    std::uint64_t m_pixels = 0;
};

bool isFrameHeader(std::uint32_t marker)
{
    return marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC;
}

// The markers the decoder reads a length after: frame headers, tables,
// the scan header, the restart interval, the line count, application data
// and comments. After any other (restarts, temporary use, and codes it does
// not know, which within a scan with restarts it takes for damage and
// searches past) it reads on from the next marker, so a length there would
// hide the scans after it.
bool hasLength(std::uint32_t marker)
{
    return isFrameHeader(marker) || marker == 0xC4 || marker == 0xCC || (marker >= 0xDA && marker <= 0xDD)
           || (marker >= 0xE0 && marker <= 0xEF) || marker == 0xFE;
}

// Where the code of the next marker from at on lies, found as the decoder
// finds it: any other bytes skipped, then fill bytes (0xFF), and a 0xFF
// followed by 0 (a data byte within a scan) is no marker. The size when
// there is none.
std::uint64_t nextMarker(const ByteView& jpeg, std::uint64_t at)
{
    for (at = jpeg.indexOf(0xFF, at); jpeg.has(at, 2); at = jpeg.indexOf(0xFF, at + 1)) {
        const std::uint32_t next = jpeg.byte(at + 1);
        if (next != 0xFF && next != 0)
            return at + 1;
    }
    return jpeg.size();
}

// Every marker up to the end: each frame header met within the pixel
// limit, a frame header before the first scan and every segment before it
// inside the bytes (the decoder refuses what it cannot walk so far), and
// every scan the decoder reads within the bounds. Past the first scan a
// file cut short is the decoder's to judge.
bool jpegIsSound(const ByteView& jpeg)
{
    constexpr std::uint32_t startOfScan = 0xDA;
    constexpr std::uint32_t endOfImage = 0xD9;
    JpegScans scans;
    for (std::uint64_t at = nextMarker(jpeg, 2); at < jpeg.size(); at = nextMarker(jpeg, at)) {
        const std::uint32_t marker = jpeg.byte(at);
        ++at;
        if (marker == endOfImage)
            break;
        if (!hasLength(marker))
            continue;
        if (isFrameHeader(marker)) {
            const std::uint64_t width = jpeg.be16(at + 5);
            const std::uint64_t height = jpeg.be16(at + 3);
            if (!notTooManyPixels(width, height))
                return false;
            scans.takeFrame(width * height);
        }
        // The component count follows the length.
        if (marker == startOfScan && !scans.takeScan(jpeg.byte(at + 2)))
            return false;
        // The decoder skips a length below 2 as the length's own 2 bytes,
        // and reads on from there.
        const std::uint64_t length = std::max<std::uint64_t>(jpeg.be16(at), 2);
        if (!jpeg.has(at, length))
            break;
        at += length;
    }
    return scans.any();
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

// ---- icons ----

// One of an icon's images, however many entries point at it.
struct IconImage {
    std::uint64_t offset = 0;
    std::uint64_t size = 0;
    // A png whose walk leaves parts out is given as its shown part, placed
    // after the icon's own bytes.
    bool leavesPartsOut = false;
    std::uint64_t shownOffset = 0;
    std::uint64_t shownSize = 0;

    std::pair<std::uint64_t, std::uint64_t> place() const { return {offset, size}; }
};

bool isEarlier(const IconImage& a, const IconImage& b)
{
    return a.place() < b.place();
}

// The images of an icon's entries, each distinct one once, sorted by place;
// entries that share one image walk and copy it once.
class IconImages {
public:
    static constexpr std::uint64_t directoryHeaderSize = 6;
    static constexpr std::uint64_t entrySize = 16;

    explicit IconImages(const ByteView& file) : m_file(file) {}

    // False when the directory lies outside the bytes, or no block for its
    // images can be had.
    bool read()
    {
        const std::uint32_t entries = m_file.le16(4);
        if (entries == 0 || !m_file.has(directoryHeaderSize, entrySize * entries))
            return false;
        m_images.reset(new (std::nothrow) IconImage[entries]);
        if (!m_images)
            return false;
        for (std::uint32_t i = 0; i < entries; ++i)
            m_images[i] = imageOf(entry(i));
        std::sort(m_images.get(), m_images.get() + entries, isEarlier);
        const auto samePlace = [](const IconImage& a, const IconImage& b) { return a.place() == b.place(); };
        m_count = std::uint32_t(std::unique(m_images.get(), m_images.get() + entries, samePlace) - m_images.get());
        return true;
    }

    // Every image inside the bytes and sound, each png's walk noting
    // whether it leaves parts out. The pngs together are no larger than
    // the file, so that their walks and copies cost at most its bytes
    // however many entries point into them.
    bool areSound()
    {
        std::uint64_t pngBytes = 0;
        for (const IconImage& image : images()) {
            if (!m_file.has(image.offset, image.size))
                return false;
            pngBytes += isPng(image) ? image.size : 0;
        }
        if (pngBytes > m_file.size())
            return false;
        for (IconImage& image : images()) {
            if (!isSound(image))
                return false;
        }
        return true;
    }

    // The icon's bytes, then the shown part of each png that leaves parts
    // out, its entries pointed there.
    void give(DecoderBytes& given)
    {
        given.keep(0, m_file.size());
        for (IconImage& image : images()) {
            if (!image.leavesPartsOut)
                continue;
            image.shownOffset = given.size();
            walkPng(view(image), [&](std::uint64_t at, std::uint64_t count) { given.keep(image.offset + at, count); });
            image.shownSize = given.size() - image.shownOffset;
        }
        const std::uint32_t entries = m_file.le16(4);
        for (std::uint32_t i = 0; i < entries; ++i) {
            const IconImage& image = *std::lower_bound(images().begin(), images().end(), imageOf(entry(i)), isEarlier);
            if (image.leavesPartsOut) {
                given.putLe32(entry(i) + 8, image.shownSize);
                given.putLe32(entry(i) + 12, image.shownOffset);
            }
        }
    }

private:
    static std::uint64_t entry(std::uint32_t i) { return directoryHeaderSize + entrySize * i; }
    IconImage imageOf(std::uint64_t at) const { return {m_file.le32(at + 12), m_file.le32(at + 8)}; }
    std::span<IconImage> images() const { return {m_images.get(), m_count}; }
    ByteView view(const IconImage& image) const { return m_file.part(image.offset, image.size); }
    bool isPng(const IconImage& image) const { return view(image).matches(0, pngSignature); }

    bool isSound(IconImage& image) const
    {
        if (!isPng(image))
            return iconDibIsSound(view(image));
        DecoderBytes shown(view(image));
        if (!pngWalk(view(image), shown))
            return false;
        image.leavesPartsOut = shown.headSize() > 0;
        return true;
    }

    const ByteView& m_file;
    std::unique_ptr<IconImage[]> m_images;
    std::uint32_t m_count = 0;
};

// Bmp-style images stay as they are; an icon whose pngs leave nothing out
// is read as it is. The directory lies in the head, where its entries are
// pointed at the pngs' shown parts.
bool iconWalk(const ByteView& file, DecoderBytes& given)
{
    IconImages images(file);
    if (!images.read() || !images.areSound())
        return false;
    images.give(given);
    return true;
}

struct Format {
    std::string_view signature;
    // Whether the bytes are sound, keeping what the decoder is given.
    bool (*walk)(const ByteView&, DecoderBytes&);
    // Whether the first ImageHeaderCheck::headBytes and the file's size
    // are all the check reads.
    bool judgedFromHead;
};

// The formats the platform's decoder tells from their first bytes.
const Format formats[] = {
    {"BM"sv, asTheyStand<bmpIsSound>, true},          {"\0\0\1\0"sv, iconWalk, false},
    {"\0\0\2\0"sv, iconWalk, false},                 {pngSignature, pngWalk, false},
    {"GIF87a"sv, gifWalk, false},                    {"GIF89a"sv, gifWalk, false},
    {"\xFF\xD8"sv, asTheyStand<jpegIsSound>, false}, {"II*\0"sv, asTheyStand<tiffIsSound>, false},
    {"MM\0*"sv, asTheyStand<tiffIsSound>, false},
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

// The format of sound bytes, whose walk kept what the decoder is given;
// null for bytes refused.
const Format* soundFormatOf(const ByteView& view, DecoderBytes& given)
{
    const Format* format = formatOf(view);
    return format && format->walk(view, given) ? format : nullptr;
}

} // namespace

const std::uint64_t ImageHeaderCheck::maxFileBytes = 8 * std::uint64_t(Bitmap::maxDecodedPixels) + (64 << 20);

bool ImageHeaderCheck::isSound(const std::uint8_t* bytes, std::uint64_t size)
{
    if (!bytes)
        return false;
    const ByteView view(bytes, size);
    DecoderBytes given(view);
    return soundFormatOf(view, given) != nullptr;
}

// The head's block is asked for without an exception: one that cannot be
// had refuses the bytes, as any other allocation of the graphics layer
// gives the empty Bitmap.
ImageHeaderCheck::DecoderInput ImageHeaderCheck::decoderInput(const std::uint8_t* bytes, std::uint64_t size)
{
    DecoderInput input;
    if (!bytes)
        return input;
    const ByteView view(bytes, size);
    DecoderBytes measured(view);
    const Format* format = soundFormatOf(view, measured);
    if (!format)
        return input;
    const std::uint64_t headSize = measured.headSize();
    if (headSize > 0) {
        input.m_head.reset(new (std::nothrow) std::uint8_t[std::size_t(headSize)]);
        DecoderBytes copied(view, input.m_head.get(), headSize);
        // The walk asks for memory of its own again (an icon's images).
        if (!input.m_head || !format->walk(view, copied))
            return {};
        input.m_headSize = headSize;
    }
    input.m_tailSize = measured.tailSize();
    input.m_tail = bytes + (input.m_tailSize > 0 ? measured.tailOffset() : 0);
    return input;
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
    DecoderBytes given(view);
    return headSize >= std::min(headBytes, fileSize) && soundFormatOf(view, given) ? HeadVerdict::Sound
                                                                                   : HeadVerdict::Refused;
}
