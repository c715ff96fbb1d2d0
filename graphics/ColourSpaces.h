#pragma once

#include <cstdint>

// Conversions between 8-bit R, G, B and other colour models.

struct Rgb {
    std::uint8_t r = 0;
    std::uint8_t g = 0;
    std::uint8_t b = 0;
    bool operator==(const Rgb&) const = default;
};

struct YCbCr {
    float y = 0;
    float cb = 0;
    float cr = 0;
};

// h as a fraction of a turn (0-1); s and l 0-1. The double-cone model.
struct Hsl {
    float h = 0;
    float s = 0;
    float l = 0;
};

// h in degrees (0-360); s and v 0-1. The hexcone model.
struct Hsv {
    float h = 0;
    float s = 0;
    float v = 0;
};

// Each component 0-1.
struct Cmyk {
    float c = 0;
    float m = 0;
    float y = 0;
    float k = 0;
};

// The studio-range (16-235) conversion.
YCbCr rgbToYCbCr(Rgb rgb);
// Truncated, then clamped to 0-255.
Rgb yCbCrToRgb(YCbCr ycc);
Hsl rgbToHsl(Rgb rgb);
Rgb hslToRgb(Hsl hsl);
Hsv rgbToHsv(Rgb rgb);
Rgb hsvToRgb(Hsv hsv);
Cmyk rgbToCmyk(Rgb rgb);
Rgb cmykToRgb(Cmyk cmyk);
