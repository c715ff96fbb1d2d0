#pragma once

#include "foundation/Geometry.h"
#include "graphics/Bitmap.h"
#include "graphics/Colour.h"

#include <cstdint>
#include <memory>

// The platform's device-context handle (HDC) without the platform header.
using DeviceContext = struct HDC__*;

// Something a painter can paint on: a device context, its pixels, its size
// and resolution, and the flag that marks it as being painted.
class DrawingSurface {
public:
    virtual ~DrawingSurface() = default;

    virtual DeviceContext dc() const = 0;
    // Set and cleared by the painter in its begin and end only.
    virtual void setActive(bool active) = 0;
    virtual bool isActive() const = 0;
    // Rows top-down, 4 bytes per pixel in the order B, G, R, A, exactly
    // width x 4 bytes per row; null when the surface has no pixels.
    virtual std::uint8_t* pixels() const = 0;
    virtual int bitsPerPixel() const = 0;
    virtual int width() const = 0;
    virtual int height() const = 0;
    Size size() const { return {width(), height()}; }
    Rect rect() const { return Rect(0, 0, width(), height()); }
    virtual int dpiX() const = 0;
    virtual int dpiY() const = 0;
};

// An off-screen 32-bit top-down DIB section selected into its own memory
// device context: the back buffer of a top-level window.
//
// When the pixel buffer cannot be made (a size whose bytes exceed 2^31 - 1,
// or the platform refuses), the surface has size 0 and no pixels, and every
// pixel operation does nothing until a later resize succeeds.
class GdiDrawingSurface : public DrawingSurface {
public:
    GdiDrawingSurface(int width, int height);
    // The bitmap's size and pixels; a 24-bit bitmap is widened to 32 bits so
    // the rows match.
    explicit GdiDrawingSurface(const Bitmap& bitmap);
    ~GdiDrawingSurface() override;
    GdiDrawingSurface(const GdiDrawingSurface&) = delete;
    GdiDrawingSurface& operator=(const GdiDrawingSurface&) = delete;

    DeviceContext dc() const override;
    void setActive(bool active) override;
    bool isActive() const override;
    std::uint8_t* pixels() const override;
    // 0 before the first resize made a device context.
    int bitsPerPixel() const override;
    int width() const override;
    int height() const override;
    int dpiX() const override;
    int dpiY() const override;

    // A new, empty pixel buffer of w x h; nothing when w or h is below 1 or
    // the size is unchanged. The old contents are lost. New pixels take the
    // fill colour when it is opaque, else they are all zero.
    void resize(int width, int height);

    // The colour later resizes fill new pixels with.
    void setFillColour(Colour colour);
    Colour fillColour() const;
    // Opaque: through GDI, so the alpha bytes are what GDI writes;
    // translucent: every pixel word set to the colour's value.
    void fill(Colour colour);
    bool hasPixels() const;
    // Copies byteCount bytes, or as many as the pixels hold, into the pixels.
    void copyPixelsFrom(const void* source, std::int64_t byteCount);
    // A 32-bit copy of the pixels, with alpha 255 everywhere unless keepAlpha;
    // the empty Bitmap without pixels.
    Bitmap toBitmap(bool keepAlpha) const;

private:
    struct Private;
    std::unique_ptr<Private> d;
};
