#include "graphics/ColourSpaces.h"

#include <algorithm>
#include <cmath>

namespace {

// Out-of-range results are clamped: converting them to a byte directly
// would be undefined.
std::uint8_t truncatedByte(float value)
{
    if (!(value > 0))
        return 0;
    return std::uint8_t(std::min(255.0f, std::trunc(value)));
}

std::uint8_t roundedByte(float unit)
{
    return truncatedByte(unit * 255.0f + 0.5f);
}

// The hue of the largest component in degrees, and the spread of the
// components, shared by the HSL and HSV models.
struct HueChroma {
    float hue;
    float max;
    float min;
};

HueChroma hueChroma(Rgb rgb)
{
    float r = rgb.r / 255.0f;
    float g = rgb.g / 255.0f;
    float b = rgb.b / 255.0f;
    float max = std::max({r, g, b});
    float min = std::min({r, g, b});
    float chroma = max - min;
    float hue = 0;
    if (chroma > 0) {
        if (max == r)
            hue = std::fmod((g - b) / chroma + 6.0f, 6.0f);
        else if (max == g)
            hue = (b - r) / chroma + 2.0f;
        else
            hue = (r - g) / chroma + 4.0f;
    }
    return {hue * 60.0f, max, min};
}

// R, G, B from a hue in degrees, a chroma and the amount added to each.
Rgb fromHueChroma(float hueDegrees, float chroma, float add)
{
    float h = std::fmod(std::fmod(hueDegrees, 360.0f) + 360.0f, 360.0f) / 60.0f;
    float x = chroma * (1 - std::fabs(std::fmod(h, 2.0f) - 1));
    float r = 0, g = 0, b = 0;
    switch (int(h)) {
    case 0: r = chroma, g = x; break;
    case 1: r = x, g = chroma; break;
    case 2: g = chroma, b = x; break;
    case 3: g = x, b = chroma; break;
    case 4: r = x, b = chroma; break;
    default: r = chroma, b = x; break;
    }
    return {roundedByte(r + add), roundedByte(g + add), roundedByte(b + add)};
}

} // namespace

YCbCr rgbToYCbCr(Rgb c)
{
    return {16 + 0.257f * c.r + 0.504f * c.g + 0.098f * c.b, 128 - 0.148f * c.r - 0.291f * c.g + 0.439f * c.b,
            128 + 0.439f * c.r - 0.368f * c.g - 0.071f * c.b};
}

Rgb yCbCrToRgb(YCbCr ycc)
{
    float y = 1.164f * (ycc.y - 16);
    float cr = ycc.cr - 128;
    float cb = ycc.cb - 128;
    return {truncatedByte(y + 1.596f * cr), truncatedByte(y - 0.813f * cr - 0.391f * cb),
            truncatedByte(y + 2.018f * cb)};
}

Hsl rgbToHsl(Rgb rgb)
{
    HueChroma hc = hueChroma(rgb);
    float l = (hc.max + hc.min) / 2;
    float chroma = hc.max - hc.min;
    float s = chroma > 0 ? chroma / (1 - std::fabs(2 * l - 1)) : 0.0f;
    return {hc.hue / 360.0f, s, l};
}

Rgb hslToRgb(Hsl hsl)
{
    float chroma = (1 - std::fabs(2 * hsl.l - 1)) * hsl.s;
    return fromHueChroma(hsl.h * 360.0f, chroma, hsl.l - chroma / 2);
}

Hsv rgbToHsv(Rgb rgb)
{
    HueChroma hc = hueChroma(rgb);
    float s = hc.max > 0 ? (hc.max - hc.min) / hc.max : 0.0f;
    return {hc.hue, s, hc.max};
}

Rgb hsvToRgb(Hsv hsv)
{
    float chroma = hsv.v * hsv.s;
    return fromHueChroma(hsv.h, chroma, hsv.v - chroma);
}

Cmyk rgbToCmyk(Rgb rgb)
{
    float r = rgb.r / 255.0f;
    float g = rgb.g / 255.0f;
    float b = rgb.b / 255.0f;
    float k = 1 - std::max({r, g, b});
    if (k >= 1)
        return {0, 0, 0, 1};
    return {(1 - r - k) / (1 - k), (1 - g - k) / (1 - k), (1 - b - k) / (1 - k), k};
}

Rgb cmykToRgb(Cmyk c)
{
    auto component = [&c](float part) { return roundedByte(1 - (part * (1 - c.k) + c.k)); };
    return {component(c.c), component(c.m), component(c.y)};
}
