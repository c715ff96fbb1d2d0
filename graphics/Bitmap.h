#pragma once

#include "foundation/Geometry.h"
#include "graphics/Colour.h"

#include <cstdint>

// The platform's bitmap and icon handles (HBITMAP, HICON; a cursor is an
// icon handle) without the platform header.
using BitmapHandle = struct HBITMAP__*;
using IconHandle = struct HICON__*;

// The one in-memory image: 24- or 32-bit pixels, rows top-down `stride`
// bytes apart, each pixel B, G, R (24 bpp, rows filled out to a multiple of
// 4 bytes) or B, G, R, A (32 bpp: read as a little-endian word, the value
// of a Colour).
//
// Copies share the pixel block through a reference count; geometry and the
// flags belong to each object. The operations that change pixels in place
// (fill, setAlpha, setPremultiplied, toGrey, applyGamma, ...) write into the
// shared block, so every copy sees the change; take copy() first to keep
// other holders undisturbed. Operations returning a Bitmap always make a new
// block, and on failure return a copy of the shared empty Bitmap.
//
// A block whose byte count would exceed 2^31 - 1, or a width or height
// below 1, is refused: the Bitmap stays empty. Used on the UI thread only.
class Bitmap {
public:
    // Empty: every field 0.
    Bitmap() = default;
    Bitmap(const Bitmap& other);
    Bitmap(Bitmap&& other) noexcept;
    // 32 bpp with hasAlpha, else 24 bpp; the contents are undefined.
    Bitmap(int width, int height, bool hasAlpha);
    // The same, then byteCount() bytes copied from bytes, which must already
    // be laid out as this class's pixels.
    Bitmap(const void* bytes, int width, int height, bool hasAlpha);
    ~Bitmap();

    Bitmap& operator=(const Bitmap& other);
    Bitmap& operator=(Bitmap&& other) noexcept;

    // The shared empty Bitmap, alive for the whole run.
    static const Bitmap& null();

    // Pixels from another component. byteCount -1 skips the size check;
    // otherwise it must be width x height x 4 (hasAlpha) or the 24 bpp
    // stride x height. 24-bit data is expanded to 32 bpp with alpha 255, so
    // the result always has alpha.
    static Bitmap fromPixels(const void* data, int width, int height, bool hasAlpha, std::int64_t byteCount);

    // The most pixels a decoded image may have: 2^27 (512 MB as 32-bit
    // pixels; a 100-megapixel photo still loads). Before the platform's
    // decoder sees any bytes, the program reads the header itself and
    // refuses an image claiming more, or a header that is damaged.
    static constexpr std::int64_t maxDecodedPixels = std::int64_t(1) << 27;

    // Decoded by the image codec named by extension (such as "png"); the
    // shared empty Bitmap when none exists, the header claims more than
    // maxDecodedPixels or is damaged, the bytes do not decode, or memory
    // for the decoder (its copy of the first frame's parts included) runs
    // out.
    static Bitmap fromData(const void* bytes, std::int64_t size, const String& extension);
    // Loaded by the image codec named by the path's extension, with the
    // same checks as fromData; the file's first bytes are checked before
    // the rest is read (see ImageHeaderCheck::checkHead), and the decoder
    // reads through the handle that read them, never the file by its name.
    static Bitmap load(const String& path);
    // Written by the image codec named by the path's extension; false when
    // overwrite is false and the file exists.
    bool save(const String& path, bool overwrite) const;

    // The platform's bitmaps, icons and cursors; see PlatformImages.h.
    // 32 bpp (withAlpha) or 24 bpp pixels of a GDI bitmap or DIB section.
    static Bitmap fromHBitmap(BitmapHandle bitmap, bool withAlpha);
    // Icons and cursors are taken at the size of their colour bitmap (or
    // half their mask's height when they have none).
    static Bitmap fromIcon(IconHandle icon);
    // Colours derived from drawings over black and white; either
    // out-parameter may be null.
    static Bitmap fromCursor(IconHandle cursor, int* hotSpotX, int* hotSpotY);
    // A square 32 bpp Bitmap as an icon; the caller destroys it. Null
    // otherwise.
    IconHandle toIcon() const;
    // A 32 bpp Bitmap of exactly the system cursor size as a cursor with
    // the hot spot inside it; the caller destroys it. Null otherwise.
    IconHandle toCursor(int hotSpotX, int hotSpotY) const;

    // A new block with the same size, depth, bytes and premultiplied flag.
    Bitmap copy() const;

    int width() const { return d.width; }
    int height() const { return d.height; }
    Size size() const { return {d.width, d.height}; }
    Rect rect() const { return Rect(0, 0, d.width, d.height); }
    std::uint32_t pixelCount() const { return d.pixelCount; }
    std::uint32_t byteCount() const { return d.byteCount; }
    std::uint32_t stride() const { return d.stride; }
    std::uint32_t bitsPerPixel() const { return d.bitsPerPixel; }
    std::uint32_t bytesPerPixel() const { return d.bytesPerPixel; }
    // Bytes after the last pixel of each row (0 at 32 bpp).
    std::uint32_t rowSlack() const { return d.rowSlack; }
    // height x bytesPerPixel: the size of one column copied out.
    std::uint32_t columnBytes() const { return d.columnBytes; }
    bool hasAlpha() const { return d.hasAlpha; }
    bool isPremultiplied() const { return d.premultiplied; }
    bool isNull() const { return d.pixels == nullptr; }

    // Direct access to the shared block; no argument is checked.
    std::uint8_t* bits() const { return d.pixels; }
    std::uint8_t* scanLine(int y) const { return d.pixels + std::size_t(y) * d.stride; }
    std::uint8_t* pixelAddress(int x, int y) const { return scanLine(y) + std::size_t(x) * d.bytesPerPixel; }
    std::uint8_t* rowStartPixel(int x) const { return d.pixels + std::size_t(x) * d.bytesPerPixel; }

    // Alpha 0 zeroes the whole block; any other colour is written unchanged
    // into every pixel, whatever the premultiplied flag.
    void fill(Colour colour);
    // The alpha of every pixel in r (the whole Bitmap when r is empty),
    // clipped to the Bitmap; nothing at 24 bpp.
    void setAlpha(std::uint8_t alpha, const Rect& r = Rect());
    // Converts the colour bytes of every pixel with alpha below 255 to or
    // from premultiplied form; nothing when the flag already equals p or
    // the Bitmap has no alpha. The flag is this object's own.
    void setPremultiplied(bool p);
    // True without alpha; else whether some pixel's alpha is not 0 (GDI
    // leaves zero alpha in 32-bit data that has no real alpha channel).
    bool hasNonZeroAlpha() const;
    void toGrey();
    // 255 x (v / 255)^(1/gamma) per colour byte; a gamma <= 0 is ignored.
    void applyGamma(float gamma);
    // (v - 128) x (contrast + 100) / 100 + brightness + 128 per colour byte.
    void adjustBrightnessContrast(int brightness, int contrast);
    // B, G, R through the table (every byte of the block at 24 bpp).
    void applyTable(const std::uint8_t table[256]);
    // R, G, B each through its own table, and A through alphaTable when given.
    void applyChannelTables(const std::uint8_t redTable[256], const std::uint8_t greenTable[256],
                            const std::uint8_t blueTable[256], const std::uint8_t alphaTable[256] = nullptr);
    // 255 - value for B, G, R at 32 bpp; every byte of the block at 24 bpp.
    void invert();

    // A flipped copy; only for 32 bpp, else the empty Bitmap. The vertical
    // step runs first.
    Bitmap mirrored(bool horizontal, bool vertical) const;

    // Resized with mode 0 nearest neighbour, 1 box, 2 Mitchell, 3 Catmull-
    // Rom or 4 Lanczos (see ResampleMode). The result has this Bitmap's
    // depth and premultiplied flag: the bytes are resampled as stored. The
    // same size gives copy(); a side below 1 or another mode the empty Bitmap.
    Bitmap scaled(int width, int height, int mode) const;
    // The width follows the aspect ratio.
    Bitmap scaledToHeight(int height, int mode) const;
    // A Bitmap that already fits is copied; else scaled to the largest size
    // of its aspect ratio inside the box, each side at least 1.
    Bitmap scaledToFit(int maxWidth, int maxHeight, int mode) const;
    // A 32 bpp copy of r, which must lie inside this 32 bpp Bitmap; else the
    // empty Bitmap. Keeps the premultiplied flag.
    Bitmap copyRect(const Rect& r) const;
    // This Bitmap's rows followed by other's; the empty Bitmap unless both
    // have the same width and depth.
    Bitmap appendedBelow(const Bitmap& other) const;

    // Composites source (straight alpha) over this Bitmap with its top-left
    // corner at p, clipped to both; in place. Nothing unless both are 32 bpp.
    void drawBitmap(const Bitmap& source, Point p);
    // Separable Gaussian blur of all channels in place; radius 0 changes
    // nothing.
    void gaussianBlur(float radius);

    // Turned clockwise by degrees about the centre into a Bitmap large
    // enough to hold it, uncovered pixels taking background. Quarter turns
    // move pixels exactly; other angles sample with a cubic kernel. A
    // Bitmap without alpha gives a plain copy.
    Bitmap rotated(float degrees, Colour background) const;
    Bitmap rotated90() const;
    // Mirrored both ways (a half turn).
    Bitmap flipped() const { return mirrored(true, true); }
    // A view of view.width x view.height pixels showing the pixels around
    // centre enlarged factor times; pixels outside this Bitmap show
    // background. offset moves the view, in view pixels. 32 bpp only.
    Bitmap magnified(Point centre, int factor, Size view, Colour background, Point offset = Point()) const;

    // Single pixels; no argument is checked.
    void setPixel(int x, int y, Colour colour);
    void setPixel(Point p, Colour colour) { setPixel(p.x, p.y, colour); }
    // Alpha 255 at 24 bpp.
    Colour pixel(int x, int y) const;
    Colour pixel(Point p) const { return pixel(p.x, p.y); }
    // One alpha byte; nothing, resp. 255, at 24 bpp.
    void setPixelAlpha(int x, int y, std::uint8_t alpha);
    std::uint8_t pixelAlpha(int x, int y) const;

    // Some 32-bit pixel equals value (false at 24 bpp).
    bool containsPixelValue(std::uint32_t value) const;
    // alpha set on every pixel whose B, G, R equal colour's (32 bpp).
    void setAlphaWhereColour(Colour colour, std::uint8_t alpha);
    // New 32 bpp Bitmap of (a, a, a, 255) pixels; empty without alpha.
    Bitmap alphaAsGrey() const;
    // Each alpha := the red byte of other's pixel (other at either depth);
    // nothing without alpha or when the sizes differ.
    void setAlphaFromRed(const Bitmap& other);
    // Every alpha is 0 or 255; false without alpha.
    bool isAlphaBinary() const;
    // Some alpha lies strictly between 0 and 255.
    bool hasPartialAlpha() const;
    // The mean of each channel (alpha 255 at 24 bpp); transparent black
    // for the empty Bitmap.
    Colour averageColour() const;

    // One row of stride() bytes.
    void copyRowOut(int y, void* out) const;
    void copyRowIn(int y, const void* in);

    // Drops this object's share of the block and leaves it empty; the
    // block itself is freed only when no other copy holds it.
    void release();

private:
    bool allocate(int width, int height, bool hasAlpha);
    // quarters x 90 degrees clockwise, moving whole pixels.
    Bitmap quarterTurned(int quarters) const;
    std::uint32_t sampleCubic(float u, float v, std::uint32_t background) const;
    void attach(const Bitmap& other);
    void detach();
    // Calls visit(pixel address) for every pixel, row by row, skipping the
    // row slack.
    template <typename Visit>
    void forEachPixel(Visit visit) const;
    template <typename Test>
    bool anyPixel(Test test) const;

    // Every field in one record, so that sharing and moving copy them at once.
    struct Fields {
        std::uint8_t* pixels = nullptr;
        std::int32_t* refCount = nullptr;
        std::int32_t width = 0;
        std::int32_t height = 0;
        std::uint32_t bitsPerPixel = 0;
        std::uint32_t bytesPerPixel = 0;
        std::uint32_t stride = 0;
        std::uint32_t rowSlack = 0;
        std::uint32_t columnBytes = 0;
        std::uint32_t pixelCount = 0;
        std::uint32_t byteCount = 0;
        bool hasAlpha = false;
        bool premultiplied = false;
    };
    Fields d;
};
