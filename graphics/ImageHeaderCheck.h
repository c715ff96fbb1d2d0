#pragma once

#include "graphics/Bitmap.h"

#include <cstdint>

// The program's own reading of an image file's header, made before the
// platform's decoder sees the bytes: that decoder trusts sizes a damaged or
// hostile file may claim, overflows its row arithmetic and writes to wild
// addresses, or allocates gigabytes for a file of a few hundred bytes.
//
// The format is told from the content, as the platform does: bmp, icon (and
// cursor), png, gif, jpeg and tiff are recognised; anything else is
// refused. Every format is refused when its header claims more than
// Bitmap::maxDecodedPixels pixels, or the file is larger than
// maxFileBytes. Beyond that:
// - bmp, and the images inside icons (whose height counts the colour rows
//   and the mask): a known header size, a width and height other than 0,
//   bits per pixel 1, 4, 8, 16, 24 or 32 with a compression that fits them,
//   no more palette colours than the depth has, and for uncompressed rows
//   all of them inside the bytes;
// - icons: a directory whose entries lie inside the bytes, each entry's
//   image (bmp-style or png) checked in turn;
// - png: a header chunk first, every chunk inside the bytes, no more than
//   1,000 ancillary chunks and no once-only chunk (such as tIME) repeated;
// - tiff, its first directory: the entries, and each entry's values, inside
//   the bytes (the decoder allocates what a count claims, reckoned in 32
//   bits); the sizes, and the strip and tile offsets and byte counts,
//   shorts or longs; a tile within the pixel limit too; as many byte counts
//   as offsets, and every strip and tile (its byte count's worth from its
//   offset) inside the bytes.
// - gif: the screen's and every image's size, a colour table for every
//   image (its own or the screen's), and no more than 10,000 extension
//   blocks and 10,000 images;
// - jpeg: the frame header's size.
// Their decoders handle the rest, as the tiff decoder does later
// directories, rows per strip (more than the height means one strip) and
// the compressed data. The bounds on chunks and blocks, and their reasons,
// stand where they are defined in the source.
class ImageHeaderCheck {
public:
    // The largest file accepted: the widest pixel these formats store,
    // 16-bit red, green, blue and alpha, takes 8 bytes, so an image within
    // the pixel limit takes at most 1 GB, and 64 MB more allows for its
    // headers, tables and metadata. A larger file holds more than any one
    // image the program would decode, and is refused for its size alone.
    static constexpr std::uint64_t maxFileBytes = 8 * std::uint64_t(Bitmap::maxDecodedPixels) + (64 << 20);
    // What checkHead wants of a file's first bytes: every signature and the
    // largest bmp header.
    static constexpr std::uint64_t headBytes = 256;

    // Whether the bytes may be handed to the platform's decoder.
    static bool isSound(const std::uint8_t* bytes, std::uint64_t size);

    enum class HeadVerdict { Refused, Sound, NeedsWholeFile };
    // A file of fileSize bytes judged from its first headSize bytes (at
    // least headBytes, or the whole file), so that a file that is no image,
    // or too large to be one, is refused before the rest is read. Sound
    // only for a bmp, whose header alone says where its rows lie; the other
    // formats need isSound over the whole file.
    static HeadVerdict checkHead(const std::uint8_t* head, std::uint64_t headSize, std::uint64_t fileSize);
};
