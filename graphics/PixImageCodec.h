#pragma once

#include "graphics/ImageCodec.h"

// The program's own "pix" format: a 16-byte header of little-endian 32-bit
// values (magic 777, width, height, pixel byte count = width x height x 4)
// followed by the pixels, rows top-down, B, G, R, A, exactly as a 32 bpp
// Bitmap stores them. The file does not record premultiplication, so a
// decoded Bitmap is always straight.
class PixImageCodec : public ImageCodec {
public:
    static constexpr std::uint32_t magic = 777;
    static constexpr int headerSize = 16;

    PixImageCodec() : ImageCodec(L"pix") {}

    bool matches(const String& extension) const override;
    // Refuses anything but one complete header and exactly its pixels.
    Bitmap decode(const std::uint8_t* bytes, std::int64_t size) const override;
    // Refuses a file whose size does not match its header before reading
    // the pixels.
    Bitmap load(const String& path) const override;
    // A 24-bit Bitmap is written as opaque 32-bit pixels, so that the file
    // reads back.
    bool save(const String& path, const Bitmap& bitmap) const override;
};
