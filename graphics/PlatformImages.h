#pragma once

#include <cstdint>

// The conversions between Bitmap and the platform's bitmaps, icons and
// cursors are Bitmap's own (Bitmap::fromHBitmap, fromIcon, fromCursor,
// toIcon, toCursor); this is the arithmetic they share that needs no GDI.

// Derives straight alpha from two renderings of the same image, one over
// black and one over white (32-bit B, G, R, x pixels, width x height of
// them), writing the result over the black one. A pixel alike on both is
// opaque; black on black and white on white is transparent; otherwise,
// with deriveAlpha, alpha comes from the red channel's difference and the
// colour is un-premultiplied, else the pixel is taken as opaque.
void alphaFromBackgrounds(std::uint8_t* onBlack, const std::uint8_t* onWhite, int width, int height,
                          bool deriveAlpha);
