#pragma once

#include <cstdint>

// The program's own reading of an image file's header, made before the
// platform's decoder sees the bytes: that decoder trusts sizes a damaged or
// hostile file may claim, overflows its row arithmetic and writes to wild
// addresses, or allocates gigabytes for a file of a few hundred bytes.
//
// The format is told from the content, as the platform does: bmp, icon (and
// cursor), png, gif, jpeg and tiff are recognised; anything else is
// refused. Every format is refused when its header claims more than
// Bitmap::maxDecodedPixels pixels. Beyond that:
// - bmp, and the images inside icons (whose height counts the colour rows
//   and the mask): a known header size, a width and height other than 0,
//   bits per pixel 1, 4, 8, 16, 24 or 32 with a compression that fits them,
//   no more palette colours than the depth has, and for uncompressed rows
//   all of them inside the bytes;
// - icons: a directory whose entries lie inside the bytes, each entry's
//   image (bmp-style or png) checked in turn;
// - png: a header chunk first, and every chunk inside the bytes;
// - tiff, its first directory: the entries, and each entry's values, inside
//   the bytes (the decoder allocates what a count claims, reckoned in 32
//   bits); the sizes, and the strip and tile offsets and byte counts,
//   shorts or longs; a tile within the pixel limit too; as many byte counts
//   as offsets, and every strip and tile (its byte count's worth from its
//   offset) inside the bytes.
// gif and jpeg are read only for their sizes (every image descriptor, the
// frame header); their decoders handle the rest, as the tiff decoder does
// later directories, rows per strip (more than the height means one strip)
// and the compressed data.
class ImageHeaderCheck {
public:
    // Whether the bytes may be handed to the platform's decoder.
    static bool isSound(const std::uint8_t* bytes, std::uint64_t size);
};
