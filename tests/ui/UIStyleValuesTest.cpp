#include "ui/UIStyleValues.h"

#include "graphics/Gradient.h"

#include "tests/support/ColourPrinting.h"
#include "tests/support/GeometryPrinting.h"
#include "tests/support/RowTable.h"
#include "tests/support/StringPrinting.h"

#include <gtest/gtest.h>

#include <vector>

TEST(UIStyleValues, ColoursReadEveryFormAndFallBackToUnset)
{
    struct Row {
        const wchar_t* text;
        std::uint32_t argb;
    };
    const std::vector<Row> rows = {
        {L"255,0,0", 0xFFFF0000u},
        {L"128,255,0,0", 0x80FF0000u},
        {L" 300 , -5 , 7 ", 0xFFFF0007u},
        {L"1,2", 0x00FFFFFFu},
        {L"1,2,3,4,5", 0x00FFFFFFu},
        {L"16711680", 0x00FF0000u},
        {L"4294967295", 0x7FFFFFFFu},
        {L"transparent", 0x00FFFFFFu},
        {L"red", 0x00FFFFFFu},
        {L"", 0x00FFFFFFu},
    };
    forEachRow(rows, [](const Row& row) {
        EXPECT_EQ(parseColourValue(row.text), Colour(row.argb)) << wide(row.text);
        EXPECT_EQ(parsePenValue(row.text).colour(), Colour(row.argb));
    });
}

TEST(UIStyleValues, FontsChangeOnlyTheGivenPartsOfTheDefault)
{
    const FontDesc standard = defaultFontDesc();
    const float offset = standard.size() - 12.0f;
    struct Row {
        const wchar_t* text;
        const wchar_t* face;
        float size;
        std::uint32_t addedStyle;
    };
    const std::vector<Row> rows = {
        {L"default,10,bold", nullptr, 10.0f + offset, FontBold},
        {L",,underline", nullptr, standard.size(), FontUnderline},
        {L"Mono Face ,9,", L"Mono Face ", 9.0f + offset, 0},
        {L"x,,underline-bold", L"x", standard.size(), FontBold | FontUnderline},
        {L"Arial,10", nullptr, standard.size(), 0},
        {L"Arial", nullptr, standard.size(), 0},
        {L"a,1,Bold", L"a", 1.0f + offset, 0},
    };
    forEachRow(rows, [&](const Row& row) {
        const FontDesc font = parseFontValue(row.text);
        EXPECT_EQ(font.face(), row.face ? String(row.face) : standard.face());
        EXPECT_FLOAT_EQ(font.size(), row.size);
        EXPECT_EQ(font.style(), standard.style() | row.addedStyle);
    });
}

TEST(UIStyleValues, BrushesAreSolidOrEvenlySpacedGradients)
{
    struct Row {
        const wchar_t* text;
        std::vector<std::uint32_t> stops; // empty: a solid brush
        std::uint32_t solid;
    };
    const std::vector<Row> rows = {
        {L"1,2,3", {}, 0xFF010203u},
        {L"1,2,3|", {}, 0xFF010203u},
        {L"red|blue", {0x00FFFFFFu, 0x00FFFFFFu}, 0},
        {L"255,0,0||0,0,255|0,255,0", {0xFFFF0000u, 0xFF0000FFu, 0xFF00FF00u}, 0},
    };
    forEachRow(rows, [](const Row& row) {
        const Brush brush = parseBrushValue(row.text);
        ASSERT_EQ(brush.gradient().stopCount(), int(row.stops.size()));
        if (row.stops.empty()) {
            EXPECT_EQ(brush.colour(), Colour(row.solid));
        }
        for (int i = 0; i < int(row.stops.size()); ++i) {
            EXPECT_EQ(brush.gradient().stop(i), Colour(row.stops[i]));
            EXPECT_FLOAT_EQ(brush.gradient().position(i), float(i) / float(row.stops.size() - 1));
        }
    });
}

TEST(UIStyleValues, GeometryAndNumbersFallBackToTheFirstNumber)
{
    struct Row {
        const wchar_t* text;
        UIMargins margins;
        Point point;
        Size size;
        int number;
    };
    const std::vector<Row> rows = {
        {L" 1, 2 ,3,4 ", {1, 2, 3, 4}, {}, {1, 1}, 1},
        {L"7", {7, 7, 7, 7}, {}, {7, 7}, 7},
        {L"3,4", {3, 3, 3, 3}, {3, 4}, {3, 4}, 3},
        {L"5,6,7", {5, 5, 5, 5}, {}, {5, 5}, 5},
        {L"word", {}, {}, {}, 0},
        {L"-2 , x", {-2, -2, -2, -2}, {-2, 0}, {-2, 0}, -2},
    };
    forEachRow(rows, [](const Row& row) {
        EXPECT_EQ(parseMarginsValue(row.text), row.margins);
        EXPECT_EQ(parsePointValue(row.text), row.point);
        EXPECT_EQ(parseSizeValue(row.text), row.size);
        EXPECT_EQ(parseIntValue(row.text), row.number);
        EXPECT_EQ(parseSwitchValue(row.text), row.number != 0);
    });
    EXPECT_FLOAT_EQ(parseFloatValue(L" 2.5 "), 2.5f);
    EXPECT_FLOAT_EQ(parseFloatValue(L"x"), 0.0f);
}
