#include "graphics/Colour.h"

#include <algorithm>

namespace {

double clampFactor(double f)
{
    return std::clamp(f, 0.01, 1.0);
}

template <typename Channel>
Colour mapChannels(Colour c, Channel channel)
{
    return Colour(c.alpha(), std::uint8_t(channel(c.red())), std::uint8_t(channel(c.green())),
                  std::uint8_t(channel(c.blue())));
}

void appendHexByte(String& text, std::uint8_t value)
{
    static const wchar_t digits[] = L"0123456789ABCDEF";
    text.append(digits[value >> 4]);
    text.append(digits[value & 15]);
}

template <typename Map>
Array<Colour> mapColours(const Array<Colour>& colours, Map map)
{
    Array<Colour> result;
    result.reserve(colours.count());
    for (Colour c : colours)
        result.append(map(c));
    return result;
}

String hexText(Colour c, const wchar_t* prefix, bool withAlpha)
{
    String text(prefix);
    if (withAlpha)
        appendHexByte(text, c.alpha());
    appendHexByte(text, c.red());
    appendHexByte(text, c.green());
    appendHexByte(text, c.blue());
    return text;
}

} // namespace

void Colour::setAlphaF(float f)
{
    setAlpha(std::uint8_t(255.0f * clampFloat(f, 0.0f, 1.0f)));
}

Colour Colour::darker(double f) const
{
    f = clampFactor(f);
    return mapChannels(*this, [f](int c) { return int(c - c * f); });
}

Colour Colour::lighter(double f) const
{
    f = clampFactor(f);
    return mapChannels(*this, [f](int c) { return int(c + (255 - c) * f); });
}

Colour Colour::blended(Colour top) const
{
    int bottomAlpha = alpha();
    if (bottomAlpha == 0)
        return top;
    int topAlpha = top.alpha();
    int resultAlpha = 255 - (((255 - bottomAlpha) * (255 - topAlpha)) >> 8);
    int weight = bottomAlpha * (255 - topAlpha) / resultAlpha;
    auto mix = [weight](int bottom, int over) { return std::uint8_t(over + (((bottom - over) * weight) >> 8)); };
    return Colour(std::uint8_t(resultAlpha), mix(red(), top.red()), mix(green(), top.green()),
                  mix(blue(), top.blue()));
}

Colour Colour::greyed() const
{
    auto grey = std::uint8_t(0.299 * red() + 0.587 * green() + 0.114 * blue());
    return Colour(alpha(), grey, grey, grey);
}

Colour Colour::inverted() const
{
    return mapChannels(*this, [](int c) { return 255 - c; });
}

Colour Colour::contrastColour(int threshold) const
{
    if (red() + green() + blue() > threshold)
        return Colour(255, 255, 255);
    return Colour(0, 0, 0);
}

int Colour::luminance() const
{
    return (red() * 19595 + green() * 38470 + blue() * 7471) >> 16;
}

float Colour::luminanceF() const
{
    return float((0.299 * red() + 0.587 * green() + 0.114 * blue()) / 255.0);
}

int Colour::average() const
{
    return (red() + green() + blue()) / 3;
}

int Colour::maxChannel() const
{
    return std::max({red(), green(), blue()});
}

int Colour::dominantChannel() const
{
    int r = red();
    int g = green();
    int b = blue();
    if (r > g && r > b)
        return 0;
    if (g > r && g > b)
        return 1;
    if (b > r && b > g)
        return 2;
    return -1;
}

float Colour::saturation() const
{
    float high = maxChannel() / 255.0f;
    float low = std::min({red(), green(), blue()}) / 255.0f;
    if (high == 0.0f)
        return 0.0f;
    return (high - low) / high;
}

float Colour::hue() const
{
    float r = red() / 255.0f;
    float g = green() / 255.0f;
    float b = blue() / 255.0f;
    float high = std::max({r, g, b});
    float low = std::min({r, g, b});
    float d = high - low;
    if (d == 0.0f)
        return 0.0f;
    auto delta = [high, d](float x) { return ((high - x) / 6.0f + d / 2.0f) / d; };
    float h;
    if (high == r)
        h = delta(b) - delta(g);
    else if (high == g)
        h = 1.0f / 3.0f + delta(r) - delta(b);
    else
        h = 2.0f / 3.0f + delta(g) - delta(r);
    if (h < 0.0f)
        return h + 1.0f;
    if (h > 1.0f)
        return h - 1.0f;
    return h;
}

String Colour::toHex(bool withAlpha) const
{
    return hexText(*this, L"#", withAlpha);
}

String Colour::toPrefixedHex(bool withAlpha) const
{
    return hexText(*this, L"0x", withAlpha);
}

String Colour::toRgbText() const
{
    return String::format(L"%d,%d,%d", red(), green(), blue());
}

String Colour::toArgbText() const
{
    return String::format(L"%d,%d,%d,%d", alpha(), red(), green(), blue());
}

Array<Colour> darkerColours(const Array<Colour>& colours, double f)
{
    return mapColours(colours, [f](Colour c) { return c.darker(f); });
}

Array<Colour> lighterColours(const Array<Colour>& colours, double f)
{
    return mapColours(colours, [f](Colour c) { return c.lighter(f); });
}

Array<Colour> colourSteps(Colour from, Colour to, int n)
{
    Array<Colour> result;
    if (n < 1)
        return result;
    result.reserve(n);
    auto step = [n](int a, int b, int i) { return std::uint8_t(a - (a - b) * i / n); };
    for (int i = 0; i < n; ++i)
        result.append(Colour(step(from.alpha(), to.alpha(), i), step(from.red(), to.red(), i),
                             step(from.green(), to.green(), i), step(from.blue(), to.blue(), i)));
    return result;
}

const Array<Colour>& basicHueColours()
{
    static const Array<Colour> colours = [] {
        Array<Colour> list;
        for (std::uint32_t rgb : {0xFF0000u, 0xFFFF00u, 0x00FF00u, 0x00FFFFu, 0x0000FFu, 0xFF00FFu})
            list.append(Colour(0xFF000000u | rgb));
        return list;
    }();
    return colours;
}

// Walks the six edges of the RGB cube's hue ring. On each edge one channel
// climbs or falls through the levels 0, 64, 128, 192, 255 while the others
// stay put, so each edge contributes four colours.
const Array<Colour>& hueWheelColours()
{
    static const Array<Colour> colours = [] {
        static const int moves[6][2] = {{1, +1}, {0, -1}, {2, +1}, {1, -1}, {0, +1}, {2, -1}};
        auto value = [](int level) { return std::uint8_t(std::min(255, level * 64)); };
        int level[3] = {4, 0, 0};
        Array<Colour> list;
        for (const auto& move : moves) {
            for (int step = 0; step < 4; ++step) {
                list.append(Colour(value(level[0]), value(level[1]), value(level[2])));
                level[move[0]] += move[1];
            }
        }
        return list;
    }();
    return colours;
}

float clampFloat(float value, float lo, float hi)
{
    return std::clamp(value, lo, hi);
}

int clampChannel(int value)
{
    return std::clamp(value, 0, 255);
}

float scaleChannel(float value)
{
    return value * 0.03137f;
}
