#pragma once

#include "foundation/Array.h"
#include "foundation/String.h"

#include <cstdint>

// A 32-bit colour 0xAARRGGBB. Stored as one little-endian word, its bytes lie
// in memory as blue, green, red, alpha: the same order as a 32-bit pixel of
// a Bitmap, so a pixel word and a Colour convert without shuffling.
class Colour {
public:
    // Transparent black.
    constexpr Colour() = default;
    constexpr explicit Colour(std::uint32_t argb) : m_argb(argb) {}
    // Opaque.
    constexpr Colour(std::uint8_t r, std::uint8_t g, std::uint8_t b) : Colour(255, r, g, b) {}
    constexpr Colour(std::uint8_t a, std::uint8_t r, std::uint8_t g, std::uint8_t b)
        : m_argb(std::uint32_t(a) << 24 | std::uint32_t(r) << 16 | std::uint32_t(g) << 8 | b)
    {
    }

    static constexpr Colour fromArgb(std::uint32_t argb) { return Colour(argb); }

    constexpr std::uint32_t argb() const { return m_argb; }
    void setArgb(std::uint32_t argb) { m_argb = argb; }

    constexpr std::uint8_t alpha() const { return std::uint8_t(m_argb >> 24); }
    constexpr std::uint8_t red() const { return std::uint8_t(m_argb >> 16); }
    constexpr std::uint8_t green() const { return std::uint8_t(m_argb >> 8); }
    constexpr std::uint8_t blue() const { return std::uint8_t(m_argb); }
    void setAlpha(std::uint8_t value) { setChannel(24, value); }
    void setRed(std::uint8_t value) { setChannel(16, value); }
    void setGreen(std::uint8_t value) { setChannel(8, value); }
    void setBlue(std::uint8_t value) { setChannel(0, value); }
    // alpha = trunc(255 x f), f clamped to 0..1.
    void setAlphaF(float f);

    constexpr bool isTranslucent() const { return alpha() < 255; }
    constexpr bool isVisible() const { return alpha() != 0; }

    // R << 16 | G << 8 | B, without alpha.
    constexpr std::uint32_t rgb() const { return m_argb & 0x00FFFFFFu; }
    // GDI's packing R | G << 8 | B << 16; alpha is dropped.
    constexpr std::uint32_t colorRef() const { return red() | std::uint32_t(green()) << 8 | std::uint32_t(blue()) << 16; }

    // f is clamped to 0.01..1; darker(1) is black and lighter(1) white, each
    // keeping this colour's alpha.
    Colour darker(double f) const;
    Colour lighter(double f) const;
    // top laid over this colour in 8-bit integer arithmetic.
    Colour blended(Colour top) const;
    // Grey of the same luminance, alpha kept.
    Colour greyed() const;
    // 255 - c for R, G and B; alpha kept.
    Colour inverted() const;
    // Opaque white when R + G + B > threshold, else opaque black.
    Colour contrastColour(int threshold) const;

    // (R x 19595 + G x 38470 + B x 7471) >> 16.
    int luminance() const;
    // (0.299 R + 0.587 G + 0.114 B) / 255.
    float luminanceF() const;
    int average() const;
    int maxChannel() const;
    // 0 red, 1 green, 2 blue when that channel is strictly the largest; -1 on a tie.
    int dominantChannel() const;
    // 0..1; 0 for black.
    float saturation() const;
    // 0..1; 0 for greys.
    float hue() const;

    // "#AARRGGBB" or "#RRGGBB", upper-case digits.
    String toHex(bool withAlpha) const;
    // As toHex with "0x" in place of "#".
    String toPrefixedHex(bool withAlpha) const;
    // "R,G,B" and "A,R,G,B" in decimal.
    String toRgbText() const;
    String toArgbText() const;

    constexpr bool operator==(const Colour&) const = default;

private:
    void setChannel(int shift, std::uint8_t value)
    {
        m_argb = (m_argb & ~(0xFFu << shift)) | std::uint32_t(value) << shift;
    }

    std::uint32_t m_argb = 0;
};

static_assert(sizeof(Colour) == 4, "a Colour must be exactly one pixel word");

// A named colour: the CSS colour keywords (the "gray" spellings) and
// "transparent" (0x00FFFFFF); names compare exactly, case included. Opaque
// magenta for an empty or unknown name.
Colour colourByName(const String& name);

// New arrays with every element made darker, resp. lighter, by f.
Array<Colour> darkerColours(const Array<Colour>& colours, double f);
Array<Colour> lighterColours(const Array<Colour>& colours, double f);
// n colours; element i has each channel c_from - (c_from - c_to) x i / n.
Array<Colour> colourSteps(Colour from, Colour to, int n);
// Opaque red, yellow, green, cyan, blue, magenta (built on first use).
const Array<Colour>& basicHueColours();
// 24 opaque colours around the hue wheel from red, in steps of 64 in one
// channel (built on first use).
const Array<Colour>& hueWheelColours();

// value clamped to lo..hi.
float clampFloat(float value, float lo, float hi);
// value clamped to 0..255.
int clampChannel(int value);
// A value 0..255 scaled to about 0..8 (x 0.03137).
float scaleChannel(float value);
