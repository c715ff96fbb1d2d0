#pragma once

// Damaged copies of real image files for decoder tests: every length or
// size field of the format set huge in turn, truncations at many points and
// seeded random flips. The field walkers follow the files this program's
// own encoders write, and stop at anything they do not understand.

#include "graphics/Bitmap.h"
#include "graphics/ImageCodec.h"

#include "devkit/Bytes.h"
#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <initializer_list>
#include <iterator>
#include <random>
#include <span>
#include <string>
#include <vector>

enum class ImageFormat { Png, Bmp, Tiff, Gif, Jpeg };

struct ImageField {
    std::size_t offset;
    int width; // bytes: 1, 2 or 4
    bool bigEndian;
};

// For suites that decode images: the codecs run while the suite does.
class ImageCodecSuite : public ::testing::Test {
protected:
    static void SetUpTestSuite() { initImageCodecs(); }
    static void TearDownTestSuite() { shutdownImageCodecs(); }
};

namespace damagedImages {

inline int shiftOf(const ImageField& field, int i)
{
    return field.bigEndian ? 8 * (field.width - 1 - i) : 8 * i;
}

inline std::uint32_t readField(const Bytes& bytes, const ImageField& field)
{
    std::uint32_t value = 0;
    for (int i = 0; i < field.width; ++i)
        value |= std::uint32_t(bytes[field.offset + std::size_t(i)]) << shiftOf(field, i);
    return value;
}

// The low bytes of value, in the field's width and byte order.
inline void writeField(Bytes& bytes, const ImageField& field, std::uint32_t value)
{
    for (int i = 0; i < field.width; ++i)
        bytes[field.offset + std::size_t(i)] = std::uint8_t(value >> shiftOf(field, i));
}

// Little-endian 32-bit words one after the other from at on.
inline void writeWords(Bytes& bytes, std::size_t at, std::initializer_list<std::uint32_t> words)
{
    for (std::uint32_t word : words) {
        writeField(bytes, {at, 4, false}, word);
        at += 4;
    }
}

inline bool fits(const Bytes& bytes, std::size_t offset, std::size_t count)
{
    return offset <= bytes.size() && count <= bytes.size() - offset;
}

inline void addFields(std::vector<ImageField>& fields, std::initializer_list<std::size_t> offsets, int width, bool big)
{
    for (std::size_t offset : offsets)
        fields.push_back({offset, width, big});
}

// Each chunk's length, and the width and height of the header chunk.
inline std::vector<ImageField> pngFields(const Bytes& png)
{
    std::vector<ImageField> fields = {{16, 4, true}, {20, 4, true}};
    for (std::size_t at = 8; fits(png, at, 12); at += 12 + readField(png, fields.back()))
        fields.push_back({at, 4, true});
    return fields;
}

// File size, pixel offset, header size, width, height, image size, colours
// used and important.
inline std::vector<ImageField> bmpFields(const Bytes&)
{
    std::vector<ImageField> fields;
    addFields(fields, {2, 10, 14, 18, 22, 34, 46, 50}, 4, false);
    return fields;
}

// The first directory's offset, entry count, each entry's count and value
// or offset, and the next directory's offset.
inline std::vector<ImageField> tiffFields(const Bytes& tiff)
{
    if (!fits(tiff, 0, 8))
        return {};
    const bool big = tiff[0] == 'M';
    std::vector<ImageField> fields = {{4, 4, big}};
    const std::size_t directory = readField(tiff, fields[0]);
    if (!fits(tiff, directory, 2))
        return fields;
    fields.push_back({directory, 2, big});
    const std::size_t entries = readField(tiff, fields.back());
    std::size_t entry = directory + 2;
    for (std::size_t i = 0; i < entries && fits(tiff, entry, 12); ++i, entry += 12)
        addFields(fields, {entry + 4, entry + 8}, 4, big);
    addFields(fields, {entry}, 4, big);
    return fields;
}

// The screen's and each image's width and height, and every sub-block
// length up to each run's empty block.
inline std::vector<ImageField> gifFields(const Bytes& gif)
{
    if (!fits(gif, 0, 13))
        return {};
    std::vector<ImageField> fields = {{6, 2, false}, {8, 2, false}};
    auto tableSize = [](std::uint8_t flags) { return (flags & 0x80) ? std::size_t(3) << ((flags & 7) + 1) : 0; };
    std::size_t at = 13 + tableSize(gif[10]);
    while (fits(gif, at, 1) && gif[at] != 0x3B) {
        if (gif[at] == 0x21 && fits(gif, at, 2)) {
            at += 2;
        } else if (gif[at] == 0x2C && fits(gif, at, 11)) {
            addFields(fields, {at + 5, at + 7}, 2, false);
            at += 11 + tableSize(gif[at + 9]);
        } else {
            break;
        }
        for (; fits(gif, at, 1) && gif[at] != 0; at += 1 + gif[at])
            fields.push_back({at, 1, false});
        ++at;
    }
    return fields;
}

// Every segment's length up to the scan, and the frame's height and width.
inline std::vector<ImageField> jpegFields(const Bytes& jpeg)
{
    std::vector<ImageField> fields;
    for (std::size_t at = 2; fits(jpeg, at, 4) && jpeg[at] == 0xFF; at += 2 + readField(jpeg, {at + 2, 2, true})) {
        const std::uint8_t marker = jpeg[at + 1];
        fields.push_back({at + 2, 2, true});
        if (marker == 0xC0 || marker == 0xC2)
            addFields(fields, {at + 5, at + 7}, 2, true);
        if (marker == 0xDA)
            break;
    }
    return fields;
}

inline std::uint32_t crc32Of(const std::uint8_t* data, std::size_t size)
{
    std::uint32_t crc = 0xFFFFFFFFu;
    for (std::size_t i = 0; i < size; ++i) {
        crc ^= data[i];
        for (int bit = 0; bit < 8; ++bit)
            crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
    }
    return ~crc;
}

// bytes with count copies of block inserted at at.
inline Bytes insertedCopies(const Bytes& bytes, std::size_t at, const Bytes& block, int count)
{
    Bytes out(bytes.begin(), bytes.begin() + std::ptrdiff_t(at));
    for (int i = 0; i < count; ++i)
        out.insert(out.end(), block.begin(), block.end());
    out.insert(out.end(), bytes.begin() + std::ptrdiff_t(at), bytes.end());
    return out;
}

// A png chunk of the type holding data, with its check.
inline Bytes pngChunk(const std::string& type, const std::string& data)
{
    const std::string body = type + data;
    Bytes chunk(8 + body.size());
    writeField(chunk, {0, 4, true}, std::uint32_t(data.size()));
    std::copy(body.begin(), body.end(), chunk.begin() + 4);
    writeField(chunk, {4 + body.size(), 4, true}, crc32Of(chunk.data() + 4, body.size()));
    return chunk;
}

// count chunks of the type holding data after the header chunk.
inline Bytes withChunks(const Bytes& png, const std::string& type, const std::string& data, int count)
{
    return insertedCopies(png, 33, pngChunk(type, data), count);
}

inline std::string bigEndianWords(std::initializer_list<std::uint32_t> words)
{
    std::string out;
    for (std::uint32_t word : words)
        out += {char(word >> 24), char(word >> 16), char(word >> 8), char(word)};
    return out;
}

// Where the first chunk of the type starts; the size when there is none.
inline std::size_t findPngChunk(const Bytes& png, const std::string& type)
{
    for (std::size_t at = 8; fits(png, at, 12); at += 12 + readField(png, {at, 4, true})) {
        if (std::equal(type.begin(), type.end(), png.begin() + std::ptrdiff_t(at + 4)))
            return at;
    }
    return png.size();
}

// count empty data chunks before the png's own: legal, each read on its
// own.
inline Bytes withEmptyDataChunks(const Bytes& png, int count)
{
    return insertedCopies(png, findPngChunk(png, "IDAT"), pngChunk("IDAT", ""), count);
}

// An icon of entries directory entries, all pointing at the png after them.
inline Bytes iconOfPng(const Bytes& png, std::uint32_t entries)
{
    Bytes icon = bytesOf({0, 0, 1, 0});
    icon.resize(6 + 16 * entries);
    writeField(icon, {4, 2, false}, entries);
    // 24 x 16, no palette, 1 plane, 32 bits, then the size and offset.
    for (std::uint32_t i = 0; i < entries; ++i)
        writeWords(icon, 6 + 16 * i, {0x1018, 0x00200001, std::uint32_t(png.size()), std::uint32_t(icon.size())});
    icon.insert(icon.end(), png.begin(), png.end());
    return icon;
}

// An animation: its control chunk after the header chunk, then frames
// more frames of width x height pixels before the end chunk, each a frame
// control and a frame data chunk holding the image's own pixel data. The
// first frame stays the image.
inline Bytes animatedPng(const Bytes& png, std::uint32_t frames, std::uint32_t width, std::uint32_t height)
{
    const std::size_t data = findPngChunk(png, "IDAT");
    const std::string pixels(png.begin() + std::ptrdiff_t(data + 8),
                             png.begin() + std::ptrdiff_t(data + 8 + readField(png, {data, 4, true})));
    Bytes more;
    for (std::uint32_t i = 0; i < frames; ++i) {
        const std::string control = bigEndianWords({2 * i, width, height, 0, 0, 0x00010000}) + std::string(2, '\0');
        for (const Bytes& chunk : {pngChunk("fcTL", control), pngChunk("fdAT", bigEndianWords({2 * i + 1}) + pixels)})
            more.insert(more.end(), chunk.begin(), chunk.end());
    }
    const Bytes withFrames = insertedCopies(png, png.size() - 12, more, 1);
    return insertedCopies(withFrames, 33, pngChunk("acTL", bigEndianWords({frames + 1, 0})), 1);
}

// A text chunk after the header chunk, so that damage reaches the
// metadata chunks too.
inline Bytes withTextChunk(const Bytes& png)
{
    return withChunks(png, "tEXt", std::string("Comment") + '\0' + "a sample written by the test", 1);
}

// count time chunks after the header chunk: one is sound, more are not.
inline Bytes withTimeChunks(const Bytes& png, int count)
{
    return withChunks(png, "tIME", std::string("\x07\xEA\x0C\x08\x06\x25\x00", 7), count);
}

// A 24 x 16 gif with a 128-colour table, a control extension and literal
// codes only: with a clear code every 100 pixels the codes stay 8 bits
// wide, one byte each. (The platform's gif encoder takes no 32-bit image.)
inline Bytes handMadeGif()
{
    Bytes gif = bytesOf("GIF89a");
    const int head[] = {24, 0, 16, 0, 0xF6, 0, 0};
    gif.insert(gif.end(), std::begin(head), std::end(head));
    for (int i = 0; i < 128; ++i) {
        const int rgb[] = {2 * i, 255 - 2 * i, (7 * i) & 255};
        gif.insert(gif.end(), std::begin(rgb), std::end(rgb));
    }
    // The control extension, then the image descriptor.
    const int blocks[] = {0x21, 0xF9, 4, 0, 0, 0, 0, 0, 0x2C, 0, 0, 0, 0, 24, 0, 16, 0, 0, 7};
    gif.insert(gif.end(), std::begin(blocks), std::end(blocks));
    Bytes codes = {128};
    for (int i = 0; i < 24 * 16; ++i) {
        if (i > 0 && i % 100 == 0)
            codes.push_back(128);
        codes.push_back(std::uint8_t((i % 24 + i / 24 * 5) % 128));
    }
    codes.push_back(129);
    for (std::size_t at = 0; at < codes.size(); at += 255) {
        const std::size_t count = std::min<std::size_t>(255, codes.size() - at);
        gif.push_back(std::uint8_t(count));
        gif.insert(gif.end(), codes.begin() + std::ptrdiff_t(at), codes.begin() + std::ptrdiff_t(at + count));
    }
    gif.insert(gif.end(), {0, 0x3B});
    return gif;
}

// The hand-made gif as the first frame of frames, with a loop block before
// it; each further frame a control block and an image claiming width x
// height whose codes (8 bits wide, as the screen's table is 128 colours)
// are a clear code, one pixel and the end.
inline Bytes animatedGif(int frames, std::uint32_t width, std::uint32_t height)
{
    const Bytes gif = handMadeGif();
    const Bytes loop = bytesOf(std::string("\x21\xFF\x0BNETSCAPE2.0\x03\x01\x00\x00\x00", 19));
    Bytes frame = bytesOf({0x21, 0xF9, 4, 0, 10, 0, 0, 0, 0x2C, 0, 0, 0, 0, 0, 0, 0, 0, 0, 7, 3, 0x80, 5, 0x81, 0});
    writeField(frame, {13, 2, false}, width);
    writeField(frame, {15, 2, false}, height);
    return insertedCopies(insertedCopies(gif, gif.size() - 1, frame, frames - 1), 13 + 384, loop, 1);
}

// The hand-made gif with count application extensions before its image.
inline Bytes withGifExtensions(const Bytes& gif, int count)
{
    const Bytes extension = bytesOf(std::string("\x21\xFF\x0BKESTROLATST\x01\x00\x00", 17));
    return insertedCopies(gif, 13 + 384 + 8, extension, count);
}

// The hand-made gif without its screen's colour table, and its image with
// none of its own.
inline Bytes gifWithoutColourTables(const Bytes& gif)
{
    Bytes out(gif.begin(), gif.begin() + 13);
    out[10] &= 0x7F;
    out.insert(out.end(), gif.begin() + 13 + 384, gif.end());
    return out;
}

// A 24 x 16 bmp of bitsPerPixel bits made by hand (the platform's encoder
// writes few depths): a grey palette up to 8 bits, 5-6-5 bit fields at 16,
// varied pixel bytes. The 1-bit one is 126 bytes long.
inline Bytes handMadeBmp(std::uint32_t bitsPerPixel, bool topDown)
{
    const std::uint32_t colours = bitsPerPixel <= 8 ? 1u << bitsPerPixel : 0;
    const std::uint32_t masks = bitsPerPixel == 16 ? 12 : 0;
    const std::uint32_t rows = (24 * bitsPerPixel + 31) / 32 * 4 * 16;
    const std::uint32_t pixelOffset = 54 + 4 * colours + masks;
    Bytes bmp = bytesOf("BM");
    bmp.resize(pixelOffset + rows);
    writeWords(bmp, 2, {pixelOffset + rows, 0, pixelOffset, 40, 24, topDown ? std::uint32_t(-16) : 16,
                        1 | bitsPerPixel << 16, masks ? 3u : 0u, rows, 2835, 2835, 0, 0});
    if (masks)
        writeWords(bmp, 54, {0xF800, 0x07E0, 0x001F});
    for (std::uint32_t i = 0; i < colours; ++i)
        writeWords(bmp, 54 + 4 * i, {i * 255 / (colours - 1) * 0x010101u});
    for (std::uint32_t i = 0; i < rows; ++i)
        bmp[pixelOffset + i] = std::uint8_t(i * 37 + 11);
    return bmp;
}

// A bottom-up bmp's image as a one-entry icon: its height doubled for the
// mask, and an empty mask of 4-byte rows after its own rows.
inline Bytes iconOf(const Bytes& bmp)
{
    Bytes image(bmp.begin() + 14, bmp.end());
    writeField(image, {8, 4, false}, 32);
    image.resize(image.size() + 4 * 16);
    Bytes icon = bytesOf({0, 0, 1, 0, 1, 0, 24, 16, 0, 0, 1, 0, bmp[28], 0});
    icon.resize(22);
    writeWords(icon, 14, {std::uint32_t(image.size()), 22});
    icon.insert(icon.end(), image.begin(), image.end());
    return icon;
}

// An icon of one entry for each image (bmp-style without its file header,
// or png), the images after the directory in their order.
inline Bytes iconOfImages(const std::vector<Bytes>& images)
{
    Bytes icon = bytesOf({0, 0, 1, 0});
    icon.resize(6 + 16 * images.size());
    writeField(icon, {4, 2, false}, std::uint32_t(images.size()));
    for (std::size_t i = 0; i < images.size(); ++i) {
        writeWords(icon, 6 + 16 * i, {0x1018, 0x00200001, std::uint32_t(images[i].size()), std::uint32_t(icon.size())});
        icon.insert(icon.end(), images[i].begin(), images[i].end());
    }
    return icon;
}

// Entropy-coded data from bits written out, highest first, one string for
// each restart interval: each padded with ones to a byte, as before a
// marker, with the restart markers between them. (No byte here comes out
// 0xFF, which would need a 0 after it.)
inline Bytes jpegScanData(std::initializer_list<std::string> intervals)
{
    Bytes data;
    std::uint8_t restart = 0xD0;
    for (std::string bits : intervals) {
        if (!data.empty())
            data.insert(data.end(), {0xFF, restart++});
        bits.append((8 - bits.size() % 8) % 8, '1');
        for (std::size_t at = 0; at < bits.size(); at += 8)
            data.push_back(std::uint8_t(std::stoul(bits.substr(at, 8), nullptr, 2)));
    }
    return data;
}

// A legal 24 x 16 grey progressive jpeg with restarts, as encoders write
// one: a restart interval of 2 blocks, then a scan of the 6 blocks' DC
// values and one of their other coefficients, each with a restart marker
// between its intervals. Every coefficient is quantised by 8, so a DC value
// v shows as the shade 128 + v: the blocks, left to right, top to bottom,
// are 40, 80, ... 240.
inline Bytes progressiveJpegWithRestarts()
{
    Bytes jpeg = bytesOf({0xFF, 0xD8, 0xFF, 0xDB, 0, 67, 0});
    jpeg.insert(jpeg.end(), 64, 8);
    jpeg.insert(jpeg.end(), {0xFF, 0xC2, 0, 11, 8, 0, 16, 0, 24, 1, 1, 0x11, 0});
    // DC: 12 codes of 4 bits for the bit counts 0 to 11. AC: one code of
    // 1 bit, the end of a block's band.
    jpeg.insert(jpeg.end(), {0xFF, 0xC4, 0, 31, 0x00, 0, 0, 0, 12});
    jpeg.insert(jpeg.end(), 12, 0);
    for (std::uint8_t count = 0; count < 12; ++count)
        jpeg.push_back(count);
    jpeg.insert(jpeg.end(), {0xFF, 0xC4, 0, 20, 0x10, 1});
    jpeg.insert(jpeg.end(), 16, 0);
    jpeg.insert(jpeg.end(), {0xFF, 0xDD, 0, 4, 0, 2});
    jpeg.insert(jpeg.end(), {0xFF, 0xDA, 0, 8, 1, 1, 0x00, 0, 0, 0});
    // Each block's DC value less the one before (0 after a restart): its
    // bit count as a 4-bit code, then its bits, a negative one less 1:
    // -88, +40; -8, +40; +72, +40.
    const Bytes dc = jpegScanData({"0111" "0100111" "0110" "101000", "0100" "0111" "0110" "101000",
                                   "0111" "1001000" "0110" "101000"});
    jpeg.insert(jpeg.end(), dc.begin(), dc.end());
    jpeg.insert(jpeg.end(), {0xFF, 0xDA, 0, 8, 1, 1, 0x00, 1, 63, 0});
    // Each block's band of other coefficients ended at once (a 1-bit code).
    const Bytes ac = jpegScanData({"0" "0", "0" "0", "0" "0"});
    jpeg.insert(jpeg.end(), ac.begin(), ac.end());
    jpeg.insert(jpeg.end(), {0xFF, 0xD9});
    return jpeg;
}

// The colour of a hand-made tiff's pixel.
inline Colour tiffPixel(std::uint32_t x, std::uint32_t y)
{
    return Colour(std::uint8_t(10 * x), std::uint8_t(16 * y), std::uint8_t(7 * x + y));
}

struct TiffEntryValues {
    std::uint32_t tag;
    int width; // 2 for shorts, 4 for longs
    std::vector<std::uint32_t> values;
};

// Appends the values that do not fit their entry's 4 bytes, then the
// directory, and points the header at it.
inline void appendTiffDirectory(Bytes& tiff, bool big, const std::vector<TiffEntryValues>& entries)
{
    std::vector<Bytes> inEntry;
    for (const TiffEntryValues& entry : entries) {
        Bytes values(std::max<std::size_t>(4, entry.values.size() * std::size_t(entry.width)));
        for (std::size_t i = 0; i < entry.values.size(); ++i)
            writeField(values, {i * std::size_t(entry.width), entry.width, big}, entry.values[i]);
        if (values.size() > 4) {
            const auto at = std::uint32_t(tiff.size());
            tiff.insert(tiff.end(), values.begin(), values.end());
            values = Bytes(4);
            writeField(values, {0, 4, big}, at);
        }
        inEntry.push_back(values);
    }
    const std::size_t directory = tiff.size();
    writeField(tiff, {4, 4, big}, std::uint32_t(directory));
    tiff.resize(directory + 2 + 12 * entries.size() + 4);
    writeField(tiff, {directory, 2, big}, std::uint32_t(entries.size()));
    for (std::size_t i = 0; i < entries.size(); ++i) {
        const std::size_t at = directory + 2 + 12 * i;
        writeField(tiff, {at, 2, big}, entries[i].tag);
        writeField(tiff, {at + 2, 2, big}, entries[i].width == 2 ? 3 : 4);
        writeField(tiff, {at + 4, 4, big}, std::uint32_t(entries[i].values.size()));
        std::copy(inEntry[i].begin(), inEntry[i].end(), tiff.begin() + std::ptrdiff_t(at + 8));
    }
}

// A 24 x 16 rgb tiff of tiffPixel colours made by hand (the platform's
// encoder writes one strip): in strips of rowsPerStrip rows, one strip when
// that is more than the height, or with tileSide in square tiles that run
// past the right and bottom edges. Big-endian files hold their strip
// offsets and tile byte counts as shorts.
inline Bytes handMadeTiff(std::uint32_t rowsPerStrip, std::uint32_t tileSide, bool big)
{
    const std::uint32_t chunkWidth = tileSide ? tileSide : 24;
    const std::uint32_t chunkRows = tileSide ? tileSide : std::min(rowsPerStrip, 16u);
    const std::uint32_t across = (24 + chunkWidth - 1) / chunkWidth;
    const std::uint32_t chunks = across * ((16 + chunkRows - 1) / chunkRows);
    Bytes tiff = bytesOf(big ? "MM" : "II");
    tiff.resize(8);
    writeField(tiff, {2, 2, big}, 42);
    std::vector<std::uint32_t> offsets;
    std::vector<std::uint32_t> byteCounts;
    for (std::uint32_t chunk = 0; chunk < chunks; ++chunk) {
        offsets.push_back(std::uint32_t(tiff.size()));
        const std::uint32_t left = chunk % across * chunkWidth;
        const std::uint32_t top = chunk / across * chunkRows;
        const std::uint32_t bottom = tileSide ? top + tileSide : std::min(top + chunkRows, 16u);
        for (std::uint32_t y = top; y < bottom; ++y) {
            for (std::uint32_t x = left; x < left + chunkWidth; ++x) {
                const Colour colour = tiffPixel(x, y);
                tiff.insert(tiff.end(), {colour.red(), colour.green(), colour.blue()});
            }
        }
        byteCounts.push_back(std::uint32_t(tiff.size()) - offsets.back());
    }
    const int width = big ? 2 : 4;
    std::vector<TiffEntryValues> entries = {{256, 2, {24}}, {257, 2, {16}}, {258, 2, {8, 8, 8}},
                                            {259, 2, {1}},  {262, 2, {2}}};
    if (tileSide)
        entries.insert(entries.end(), {{277, 2, {3}}, {322, 4, {tileSide}}, {323, 4, {tileSide}},
                                       {324, 4, offsets}, {325, width, byteCounts}});
    else
        entries.insert(entries.end(),
                       {{273, width, offsets}, {277, 2, {3}}, {278, 4, {rowsPerStrip}}, {279, 4, byteCounts}});
    appendTiffDirectory(tiff, big, entries);
    return tiff;
}

} // namespace damagedImages

struct ImageFormatRow {
    ImageFormat format;
    const wchar_t* extension;
    std::vector<ImageField> (*fields)(const Bytes&);
};
inline const ImageFormatRow imageFormatRows[] = {
    {ImageFormat::Png, L"png", damagedImages::pngFields},    {ImageFormat::Bmp, L"bmp", damagedImages::bmpFields},
    {ImageFormat::Tiff, L"tiff", damagedImages::tiffFields}, {ImageFormat::Gif, L"gif", damagedImages::gifFields},
    {ImageFormat::Jpeg, L"jpeg", damagedImages::jpegFields},
};

// A 24 x 16 image with varied colours and alpha, written by the program's
// own encoder (the image codecs must be running); empty when it cannot be.
inline Bytes sampleImageFile(const ImageFormatRow& row)
{
    if (row.format == ImageFormat::Gif)
        return damagedImages::handMadeGif();
    Bitmap image(24, 16, true);
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x)
            image.setPixel(x, y, Colour(std::uint8_t(55 + 8 * y), std::uint8_t(10 * x), std::uint8_t(16 * y), 90));
    }
    TempFolder folder;
    const String path = folder.file((std::wstring(L"sample.") + row.extension).c_str());
    if (!image.save(path, true))
        return {};
    const Bytes bytes = readRaw(path);
    return row.format == ImageFormat::Png && bytes.size() > 33 ? damagedImages::withTextChunk(bytes) : bytes;
}

// What each field is set to in turn (its low bytes, in the field's width):
// huge, 0, -1, the largest int, -2^30, 2^30, and just over and under the
// pixel limit.
inline const std::uint32_t damagingValues[] = {
    0x7FFFFFF0u, 0, 0xFFFFFFFFu, 0x7FFFFFFFu, 0xC0000000u, 0x40000000u,
    std::uint32_t(Bitmap::maxDecodedPixels + 1), std::uint32_t(Bitmap::maxDecodedPixels - 1),
};
// Huge, 0 and -2^30: enough for a test that only needs some decodes to fail.
inline const std::uint32_t fewDamagingValues[] = {0x7FFFFFF0u, 0, 0xC0000000u};

// Calls visit(description, copy) for: every length or size field of the
// format set to each of values (by default every damaging value) in turn;
// truncations at up to truncations points spread over the file; flips
// copies with random bytes changed.
inline void forEachDamagedImage(const ImageFormatRow& row, const Bytes& original, int truncations, int flips,
                                const std::function<void(const std::string&, const Bytes&)>& visit,
                                std::span<const std::uint32_t> values = damagingValues)
{
    using namespace damagedImages;
    for (const ImageField& field : row.fields(original)) {
        if (!fits(original, field.offset, std::size_t(field.width)))
            continue;
        for (std::uint32_t value : values) {
            Bytes copy = original;
            writeField(copy, field, value);
            visit("field at " + std::to_string(field.offset) + " set to " + std::to_string(value), copy);
        }
    }
    const std::size_t step = std::max<std::size_t>(1, original.size() / std::size_t(std::max(truncations, 1)));
    for (std::size_t length = 0; length < original.size(); length += step) {
        const Bytes prefix(original.begin(), original.begin() + std::ptrdiff_t(length));
        visit("truncated to " + std::to_string(length), prefix);
    }
    std::mt19937 random(unsigned(row.format) + 41);
    for (int trial = 0; trial < flips; ++trial) {
        Bytes copy = original;
        const int count = 1 + int(random() % 4);
        for (int i = 0; i < count; ++i)
            copy[random() % copy.size()] ^= std::uint8_t(1 + random() % 255);
        visit("flipped copy " + std::to_string(trial), copy);
    }
}
