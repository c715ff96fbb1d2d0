#include "graphics/Brush.h"
#include "graphics/Colour.h"
#include "graphics/Gradient.h"
#include "graphics/Pen.h"

#include "tests/support/ColourPrinting.h"
#include "tests/support/RowTable.h"
#include "tests/support/StringPrinting.h"

#include <gtest/gtest.h>

#include <cstring>

TEST(Colour, ChannelsLieInPixelByteOrder)
{
    Colour c(10, 20, 30);
    EXPECT_EQ(c.argb(), 0xFF0A141Eu);
    const unsigned char bytes[4] = {0x1E, 0x14, 0x0A, 0xFF};
    EXPECT_EQ(std::memcmp(bytes, &c, 4), 0);
    c.setGreen(0x99);
    c.setAlpha(0x01);
    EXPECT_EQ(c, Colour::fromArgb(0x010A991Eu));
    EXPECT_EQ(c.rgb(), 0x0A991Eu);
    EXPECT_EQ(c.colorRef(), 0x1E990Au);
}

TEST(Colour, TextForms)
{
    struct Row {
        std::uint32_t argb;
        const wchar_t *hexAlpha, *hex, *prefixed, *rgbText, *argbText;
    };
    const Row rows[] = {
        {0x80FF0000u, L"#80FF0000", L"#FF0000", L"0x80FF0000", L"255,0,0", L"128,255,0,0"},
        {0x000A0B0Cu, L"#000A0B0C", L"#0A0B0C", L"0x000A0B0C", L"10,11,12", L"0,10,11,12"},
    };
    forEachRow(rows, [](const Row& row) {
        Colour c(row.argb);
        EXPECT_EQ(wide(c.toHex(true)), row.hexAlpha);
        EXPECT_EQ(wide(c.toHex(false)), row.hex);
        EXPECT_EQ(wide(c.toPrefixedHex(true)), row.prefixed);
        EXPECT_EQ(wide(c.toRgbText()), row.rgbText);
        EXPECT_EQ(wide(c.toArgbText()), row.argbText);
    });
}

TEST(Colour, DarkerAndLighterClampTheirFactor)
{
    Colour c(0x80, 200, 100, 10);
    EXPECT_EQ(c.darker(0.0), c.darker(0.01));
    EXPECT_EQ(c.darker(2.0), Colour(0x80, 0, 0, 0));
    EXPECT_EQ(c.lighter(-5.0), c.lighter(0.01));
    EXPECT_EQ(c.lighter(1.0), Colour(0x80, 255, 255, 255));
    EXPECT_EQ(c.darker(0.5), Colour(0x80, 100, 50, 5));
    EXPECT_EQ(c.lighter(0.5), Colour(0x80, 227, 177, 132));
}

TEST(Colour, Blending)
{
    struct Row {
        std::uint32_t bottom, top, expected;
    };
    const Row rows[] = {
        {0xFF123456u, 0xFFABCDEFu, 0xFFABCDEFu}, // an opaque top hides the bottom
        {0x00123456u, 0x40ABCDEFu, 0x40ABCDEFu}, // a transparent bottom gives the top unchanged
        {0xFFC80000u, 0x8000C800u, 0xFF636400u}, // half over opaque; the shift rounds down below zero
        {0x80FF0000u, 0x800000FFu, 0xC05300ABu}, // two halves: alpha 192
    };
    forEachRow(rows, [](const Row& row) { EXPECT_EQ(Colour(row.bottom).blended(Colour(row.top)), Colour(row.expected)); });
}

TEST(Colour, Measures)
{
    struct Row {
        std::uint32_t argb;
        int luminance, average, maxChannel, dominant;
        float saturation, hue;
    };
    const Row rows[] = {
        {0xFFFF0000u, 76, 85, 255, 0, 1.0f, 0.0f},
        {0xFF00FF00u, 149, 85, 255, 1, 1.0f, 1.0f / 3},
        {0xFF0000FFu, 29, 85, 255, 2, 1.0f, 2.0f / 3},
        {0xFFFF00FFu, 105, 170, 255, -1, 1.0f, 5.0f / 6},
        {0xFF808080u, 128, 128, 128, -1, 0.0f, 0.0f},
        {0xFF000000u, 0, 0, 0, -1, 0.0f, 0.0f},
    };
    forEachRow(rows, [](const Row& row) {
        Colour c(row.argb);
        EXPECT_EQ(c.luminance(), row.luminance);
        EXPECT_EQ(c.average(), row.average);
        EXPECT_EQ(c.maxChannel(), row.maxChannel);
        EXPECT_EQ(c.dominantChannel(), row.dominant);
        EXPECT_NEAR(c.saturation(), row.saturation, 1e-6);
        EXPECT_NEAR(c.hue(), row.hue, 1e-6);
    });
    EXPECT_NEAR(Colour(255, 255, 255).luminanceF(), 1.0f, 1e-6);
}

TEST(Colour, DerivedColoursKeepAlpha)
{
    Colour c(0x40, 100, 150, 200);
    EXPECT_EQ(c.greyed(), Colour(0x40, 140, 140, 140));
    EXPECT_EQ(c.inverted(), Colour(0x40, 155, 105, 55));
    EXPECT_EQ(c.contrastColour(449), Colour(255, 255, 255));
    EXPECT_EQ(c.contrastColour(450), Colour(0, 0, 0));
    c.setAlphaF(0.5f);
    EXPECT_EQ(c.alpha(), 127);
    c.setAlphaF(-1.0f);
    EXPECT_EQ(c.alpha(), 0);
    c.setAlphaF(7.0f);
    EXPECT_EQ(c.alpha(), 255);
}

TEST(Colour, ByName)
{
    struct Row {
        const wchar_t* name;
        std::uint32_t argb;
    };
    const Row rows[] = {
        {L"aliceblue", 0xFFF0F8FFu}, {L"yellowgreen", 0xFF9ACD32u}, {L"transparent", 0x00FFFFFFu},
        {L"Red", 0xFFFF00FFu},       {L"grey", 0xFFFF00FFu},        {L"", 0xFFFF00FFu},
        {L"zzz", 0xFFFF00FFu},
    };
    forEachRow(rows, [](const Row& row) { EXPECT_EQ(colourByName(row.name), Colour(row.argb)); });
    EXPECT_EQ(colourByName(String(L"red\0x", 5)), Colour(0xFFFF00FFu));
}

TEST(Colour, Arrays)
{
    Array<Colour> steps = colourSteps(Colour(0xFF00FF00u), Colour(0x7F808000u), 4);
    ASSERT_EQ(steps.count(), 4);
    EXPECT_EQ(steps[0], Colour(0xFF00FF00u));
    EXPECT_EQ(steps[3], Colour(0x9F60A000u));
    EXPECT_EQ(darkerColours(steps, 1.0)[3], Colour(0x9F000000u));
    EXPECT_EQ(lighterColours(steps, 1.0)[0], Colour(0xFFFFFFFFu));

    const Array<Colour>& wheel = hueWheelColours();
    ASSERT_EQ(wheel.count(), 24);
    const int basicAt[] = {0, 4, 8, 12, 16, 20};
    for (int i = 0; i < 6; ++i)
        EXPECT_EQ(wheel[basicAt[i]], basicHueColours()[i]);
    EXPECT_EQ(wheel[1], Colour(255, 64, 0));
    EXPECT_EQ(wheel[5], Colour(192, 255, 0));
    EXPECT_EQ(wheel[23], Colour(255, 0, 64));
}

TEST(Gradient, SetStopsSpacesPositionsEvenly)
{
    Gradient g;
    g.addStop(Colour(1u), 0.25f);
    g.setStops(basicHueColours());
    g.setStops(colourSteps(Colour(0u), Colour(0xFFFFFFFFu), 3));
    ASSERT_EQ(g.stopCount(), 3);
    EXPECT_EQ(g.position(0), 0.0f);
    EXPECT_EQ(g.position(1), 0.5f);
    EXPECT_EQ(g.position(2), 1.0f);
    EXPECT_EQ(g.stop(1), Colour(0x55555555u));
    g.setStops(colourSteps(Colour(0u), Colour(0u), 1));
    ASSERT_EQ(g.stopCount(), 1);
    EXPECT_EQ(g.position(0), 0.0f);
}

TEST(Brush, VisibilityFollowsTheStopsWhenThereAreAny)
{
    Brush brush(Colour(0xFF102030u));
    EXPECT_TRUE(brush.isVisible());
    EXPECT_FALSE(brush.isTranslucent());
    Gradient g;
    g.addStop(Colour(0x00FFFFFFu), 0.0f);
    brush.setGradient(g);
    EXPECT_FALSE(brush.isVisible());
    EXPECT_TRUE(brush.isTranslucent());
    EXPECT_FALSE(Brush().isVisible());
    EXPECT_EQ(Brush(g).colour(), Colour(0x00FFFFFFu));
}

// Empty gradients, and so plain brushes, used to compare unequal, even to themselves.
TEST(Gradient, EqualityOfGradientsBrushesAndPens)
{
    const auto gradient = [](std::uint32_t kind, std::initializer_list<std::pair<std::uint32_t, float>> stops) {
        Gradient g(kind);
        for (auto [argb, position] : stops)
            g.addStop(Colour(argb), position);
        return g;
    };
    const Gradient empty;
    const Gradient oneStop = gradient(0, {{0xFF010203u, 0.0f}});
    const Colour c(0xFF010203u);
    struct Row {
        bool equal, expected;
    };
    const Row rows[] = {
        {empty == empty, true},
        {Gradient(1) == Gradient(1), true},
        {Gradient(1) == Gradient(2), false},
        {gradient(1, {{5, 0.0f}, {6, 1.0f}}) == gradient(1, {{5, 0.0f}, {6, 1.0f}}), true},
        {gradient(1, {{5, 0.0f}, {6, 1.0f}}) == gradient(1, {{5, 0.0f}, {6, 0.9f}}), false},
        {gradient(1, {{5, 0.0f}, {6, 1.0f}}) == gradient(1, {{5, 0.0f}, {7, 1.0f}}), false},
        {gradient(1, {{5, 0.0f}}) == gradient(1, {{5, 0.0f}, {5, 0.0f}}), false},
        {Brush(c) == Brush(c), true},
        {Brush() == Brush(), true},
        {Brush(c, 1) == Brush(c, 0), false},
        {Brush(c) == Brush(Colour(0xFF010204u)), false},
        {Brush(oneStop) == Brush(), false},
        {Brush(oneStop) != Brush(), true},
        {Pen() == Pen(Colour(0x00FFFFFFu), 1.0f, Pen::Solid), true},
        {Pen(c) == Pen(c, 1.0f, Pen::Solid), true},
        {Pen(c) == Pen(c, 1.5f, Pen::Solid), false},
        {Pen(c) == Pen(c, 1.0f, Pen::Dash), false},
        {Pen(c) != Pen(Colour(0xFE010203u)), true},
    };
    forEachRow(rows, [](const Row& row) { EXPECT_EQ(row.equal, row.expected); });
}
