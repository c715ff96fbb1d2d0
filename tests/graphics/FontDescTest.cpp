#include "graphics/FontDesc.h"

#include "foundation/System.h"
#include "graphics/FontSystem.h"
#include "graphics/NativeFont.h"
#include "graphics/Screen.h"
#include "tests/support/RowTable.h"
#include "tests/support/StringPrinting.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <set>

namespace {

int installedQueries = 0;
bool segoeInstalled = false;

// The LOGFONTW a new font handle was made from.
LOGFONTW logFontOf(const FontDesc& desc)
{
    LOGFONTW font = {};
    FontHandle handle = NativeFont::createHFont(desc);
    GetObjectW(handle, sizeof(font), &font);
    DeleteObject(handle);
    return font;
}

} // namespace

TEST(FontDesc, FacesByIdAndEquality)
{
    EXPECT_EQ(FontDesc(FontFace::Default, 10, 0).face(), defaultFontDesc().face());
    EXPECT_EQ(FontDesc(static_cast<FontFace>(9), 10, 0).face(), L"microsoft sans serif");
    EXPECT_EQ(FontDesc(static_cast<FontFace>(-1), 10, 0).face(), L"microsoft sans serif");
    EXPECT_EQ(FontDesc(), defaultFontDesc());

    const FontDesc base(L"Segoe UI", 12, FontBold);
    FontDesc copy;
    copy = base;
    EXPECT_EQ(copy, base);
    FontDesc otherCase = base, otherSize = base, otherStyle = base, otherFlag = base;
    otherCase.setFace(L"segoe ui");
    otherSize.setSize(12.5f);
    otherStyle.setStyle(FontBold | FontItalic);
    otherFlag.setFlag(0);
    const FontDesc others[] = {otherCase, otherSize, otherStyle, otherFlag};
    forEachRow(others, [&](const FontDesc& other) {
        EXPECT_NE(other, base);
        EXPECT_NE(base, other);
    });
}

TEST(FontDesc, PointsAndPixels)
{
    struct Row {
        float points;
        double dpi;
        int pixels;
    };
    const Row toPixels[] = {{12, 96, 16}, {13, 96, 17}, {12, 120, 20}, {0.375f, 96, 1}, {-0.375f, 96, -1}, {12, 0, 0}};
    forEachRow(toPixels, [](const Row& row) { EXPECT_EQ(FontDesc::pointsToPixels(row.points, row.dpi), row.pixels); });
    // 15 px at 96 DPI are 11.25 points, 2 px are 1.5 points.
    const Row toPoints[] = {{11, 96, 15}, {2, 96, 2}, {12, 120, 20}, {0, 0, 15}};
    forEachRow(toPoints, [](const Row& row) { EXPECT_EQ(FontDesc::pixelsToPoints(row.pixels, row.dpi), row.points); });

    FontDesc desc(L"tahoma", 12, 0);
    EXPECT_EQ(desc.pixelSize(), FontDesc::pointsToPixels(12, Screen::dpiY()));
    desc.setPixelSize(15);
    EXPECT_EQ(desc.size(), FontDesc::pixelsToPoints(15, Screen::dpiY()));
}

TEST(FontDesc, DefaultFaceAndSizeRule)
{
    struct Row {
        int major;
        std::uint32_t localeId;
        bool segoeInstalled;
        const wchar_t* face;
        float size;
        int queries; // the rule asks only before version 6
    };
    const Row rows[] = {
        {10, 0x0409, false, L"segoe ui", 12, 0},
        {6, 0x0411, false, L"segoe ui", 13, 0},
        {5, 0x0804, true, L"segoe ui", 13, 1},
        {5, 0x0412, false, L"microsoft sans serif", 13, 1},
        {0, 0x0407, false, L"microsoft sans serif", 12, 1},
    };
    forEachRow(rows, [](const Row& row) {
        installedQueries = 0;
        segoeInstalled = row.segoeInstalled;
        const auto isInstalled = +[](const String&) {
            ++installedQueries;
            return segoeInstalled;
        };
        EXPECT_EQ(defaultFontDescFor(row.major, row.localeId, isInstalled), FontDesc(row.face, row.size, 0));
        EXPECT_EQ(installedQueries, row.queries);
    });
    int major = 0;
    int minor = 0;
    windowsVersion(major, minor);
    EXPECT_EQ(defaultFontDesc(), defaultFontDescFor(major, GetUserDefaultLCID(), isFontInstalled));
}

TEST(FontSystem, FamiliesAreSortedOnceEachAndKept)
{
    const StringList& families = fontFamilies();
    ASSERT_FALSE(families.isEmpty());
    EXPECT_EQ(&fontFamilies(), &families);
    const std::set<std::wstring> names = setOf(families);
    EXPECT_EQ(static_cast<int>(names.size()), families.count());
    StringList sorted = families;
    sorted.sort(1);
    EXPECT_EQ(vectorOf(sorted), vectorOf(families));

    const String first = families.first()->value;
    EXPECT_TRUE(isFontInstalled(first));
    // Only an exactly equal name counts as installed.
    const String lower = first.toLower();
    EXPECT_EQ(isFontInstalled(lower), names.count(wide(lower)) == 1);
    EXPECT_FALSE(isFontInstalled(L""));
    EXPECT_FALSE(isFontInstalled(L"no such family at all"));
}

TEST(FontSystem, SizesOfOneFace)
{
    Array<int> sizes;
    sizes.append(-99);
    fontSizes(sizes, fontFamilies().first()->value);
    EXPECT_FALSE(sizes.contains(-99));
    for (int i = 0; i < sizes.count(); ++i)
        EXPECT_EQ(sizes.indexOf(sizes[i]), i);
    fontSizes(sizes, String(L'x', 200));
    EXPECT_TRUE(sizes.isEmpty());
}

TEST(FontSystem, FontsAreMadeFromTheDescription)
{
    const FontDesc plain(L"tahoma", 12, 0);
    const LOGFONTW font = logFontOf(plain);
    EXPECT_EQ(font.lfHeight, plain.pixelSize());
    EXPECT_EQ(font.lfWeight + font.lfItalic + font.lfUnderline + font.lfStrikeOut, 0);
    const LOGFONTW styled = logFontOf(FontDesc(L"tahoma", 12, FontBold | FontItalic | FontUnderline | FontStrikeOut));
    EXPECT_EQ(styled.lfWeight, 700);
    EXPECT_TRUE(styled.lfItalic && styled.lfUnderline && styled.lfStrikeOut);

    EXPECT_EQ(font.lfQuality, CLEARTYPE_NATURAL_QUALITY);
    setSmoothTextEnabled(false);
    EXPECT_EQ(logFontOf(plain).lfQuality, DEFAULT_QUALITY);
    setSmoothTextEnabled(true);

    // An over-long face name is cut to the LOGFONTW field, not overrun.
    const String longFace(L'q', 40);
    EXPECT_EQ(String(logFontOf(FontDesc(longFace, 12, 0)).lfFaceName), longFace.mid(0, 31));
}
