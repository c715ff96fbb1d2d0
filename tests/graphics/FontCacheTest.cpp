#include "graphics/DrawingSurface.h"
#include "graphics/FontCache.h"
#include "graphics/FontSystem.h"
#include "graphics/GdiPaintEngine.h"
#include "graphics/Graphics.h"

#include "tests/graphics/GraphicsTestSupport.h"
#include "tests/support/RowTable.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>
#include <set>
#include <vector>

namespace {

LOGFONTW logFontOf(FontHandle handle)
{
    LOGFONTW font = {};
    GetObjectW(handle, sizeof(font), &font);
    return font;
}

bool isLiveFont(FontHandle handle)
{
    return GetObjectType(handle) == OBJ_FONT;
}

FontDesc withFace(const wchar_t* face)
{
    FontDesc desc(L"tahoma", 11, 0);
    desc.setFace(face);
    return desc;
}

// Each starts from an empty cache and leaves one behind, with the smooth-text
// switch as it found it.
class FontCacheTest : public ::testing::Test {
protected:
    void SetUp() override { clearFontCache(); }
    void TearDown() override
    {
        setSmoothTextEnabled(m_smooth);
        clearFontCache();
    }

private:
    bool m_smooth = isSmoothTextEnabled();
};

} // namespace

// Every field of a description that reaches the platform font, and the flag
// that does not, makes a font of its own; an equal description finds it again.
TEST_F(FontCacheTest, AHandleServesOnlyItsOwnDescription)
{
    const FontDesc base(L"tahoma", 11, 0);
    FontDesc otherFlag = base;
    otherFlag.setFlag(0);
    const FontDesc descs[] = {base,
                              FontDesc(L"tahoma", 12, 0),
                              FontDesc(L"tahoma", 11.5f, 0),
                              FontDesc(L"tahoma", 11, FontBold),
                              FontDesc(L"tahoma", 11, FontItalic),
                              FontDesc(L"tahoma", 11, FontUnderline),
                              FontDesc(L"tahoma", 11, FontStrikeOut),
                              FontDesc(L"tahoma", 11, FontBold | FontItalic),
                              withFace(L"Tahoma"),
                              withFace(L"courier new"),
                              otherFlag};
    std::vector<std::shared_ptr<const CachedFont>> held;
    std::set<FontHandle> handles;
    forEachRow(descs, [&](const FontDesc& desc) {
        held.push_back(cachedFont(desc));
        ASSERT_NE(held.back()->handle(), nullptr);
        EXPECT_EQ(held.back()->desc(), desc);
        FontHandle made = NativeFont::createHFont(desc);
        const LOGFONTW cachedLog = logFontOf(held.back()->handle());
        const LOGFONTW madeLog = logFontOf(made);
        EXPECT_EQ(std::memcmp(&cachedLog, &madeLog, sizeof(LOGFONTW)), 0);
        DeleteObject(made);
        handles.insert(held.back()->handle());
    });
    EXPECT_EQ(handles.size(), std::size(descs));
    forEachRow(descs, [&](const FontDesc& desc) {
        const auto again = cachedFont(desc);
        EXPECT_EQ(again->desc(), desc);
        EXPECT_EQ(handles.count(again->handle()), 1u);
    });
    EXPECT_EQ(cachedFontCount(), int(std::size(descs)));
}

TEST_F(FontCacheTest, TheSmoothTextSwitchMakesAnotherFont)
{
    const FontDesc desc(L"tahoma", 11, 0);
    setSmoothTextEnabled(true);
    const auto smooth = cachedFont(desc);
    setSmoothTextEnabled(false);
    const auto plain = cachedFont(desc);
    EXPECT_NE(plain->handle(), smooth->handle());
    EXPECT_EQ(logFontOf(plain->handle()).lfQuality, DEFAULT_QUALITY);
    EXPECT_EQ(logFontOf(smooth->handle()).lfQuality, CLEARTYPE_NATURAL_QUALITY);
}

// The cache keeps at most its capacity; a font it dropped lives while held,
// is found again meanwhile, and is deleted with its last holder.
TEST_F(FontCacheTest, ReleasesTheHandlesNobodyHolds)
{
    const Font held(FontDesc(L"tahoma", 30, 0));
    const FontHandle heldHandle = held.nativeFont().handle();
    const FontHandle dropped = cachedFont(FontDesc(L"tahoma", 31, 0))->handle();
    for (int i = 0; i < fontCacheCapacity; ++i)
        cachedFont(FontDesc(L"tahoma", float(40 + i), 0));
    EXPECT_EQ(cachedFontCount(), fontCacheCapacity);
    EXPECT_FALSE(isLiveFont(dropped));
    EXPECT_TRUE(isLiveFont(heldHandle));
    // Found again while it lives: a description in use has one handle.
    EXPECT_EQ(cachedFont(FontDesc(L"tahoma", 30, 0))->handle(), heldHandle);
    EXPECT_EQ(Font(FontDesc(L"tahoma", 30, 0)).nativeFont().handle(), heldHandle);

    const FontHandle cached = cachedFont(FontDesc(L"tahoma", 40, 0))->handle();
    clearFontCache();
    EXPECT_EQ(cachedFontCount(), 0);
    EXPECT_FALSE(isLiveFont(cached));
    EXPECT_TRUE(isLiveFont(heldHandle));
    auto font = std::make_unique<Font>(FontDesc(L"tahoma", 32, 0));
    const FontHandle own = font->nativeFont().handle();
    clearFontCache();
    font.reset();
    EXPECT_FALSE(isLiveFont(own));
}

// Text drawn through the painter, whose fonts come from the cache, against
// the same text drawn with a font made for it alone, in a dozen sizes and
// styles.
TEST_F(FontCacheTest, TextThroughTheCacheHasTheSamePixels)
{
    const wchar_t text[] = L"Holiday 42";
    const int length = int(std::size(text)) - 1;
    const std::uint32_t styles[] = {0, FontBold, FontItalic};
    std::vector<FontDesc> descs;
    for (int i = 0; i < 12; ++i)
        descs.emplace_back(L"tahoma", float(9 + 3 * (i / 3)), styles[i % 3]);
    const auto at = [](int i) { return Point{4 + (i % 3) * 130, 4 + (i / 3) * 40}; };
    const Colour ink(0xFF203040u);
    const Colour paper(0xFFF0F0E0u);

    GdiPaintEngine engine;
    PaintEngine* previous = currentPaintEngine();
    setCurrentPaintEngine(&engine);
    GdiDrawingSurface cached(400, 170);
    // The second round finds every font in the cache.
    for (int round = 0; round < 2; ++round) {
        cached.fill(paper);
        Graphics painter(&cached);
        painter.setPen(Pen(ink));
        for (int i = 0; i < int(descs.size()); ++i) {
            painter.setFont(descs[std::size_t(i)]);
            painter.drawTextRaw(text, length, at(i).x, at(i).y);
        }
    }
    setCurrentPaintEngine(previous);

    GdiDrawingSurface direct(400, 170);
    direct.fill(paper);
    const HDC dc = direct.dc();
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, ink.colorRef());
    for (int i = 0; i < int(descs.size()); ++i) {
        FontHandle font = NativeFont::createHFont(descs[std::size_t(i)]);
        const HGDIOBJ old = SelectObject(dc, font);
        TextOutW(dc, at(i).x, at(i).y, text, length);
        SelectObject(dc, old);
        DeleteObject(font);
    }
    expectSamePixels(direct.toBitmap(false), cached.toBitmap(false));
}

// The engine selects cached fonts straight over each other and never
// deletes them; at its end the context has its own font back.
TEST_F(FontCacheTest, TheEngineGivesTheContextItsOwnFontBack)
{
    GdiPaintEngine engine;
    PaintEngine* previous = currentPaintEngine();
    setCurrentPaintEngine(&engine);
    GdiDrawingSurface surface(8, 8);
    const HGDIOBJ own = GetCurrentObject(surface.dc(), OBJ_FONT);
    {
        Graphics painter(&surface);
        const FontDesc descs[] = {FontDesc(L"tahoma", 10, 0), FontDesc(L"tahoma", 14, FontBold),
                                  FontDesc(L"tahoma", 10, 0)};
        forEachRow(descs, [&](const FontDesc& desc) {
            painter.setFont(desc);
            EXPECT_EQ(GetCurrentObject(surface.dc(), OBJ_FONT), cachedFont(desc)->handle());
        });
    }
    setCurrentPaintEngine(previous);
    EXPECT_EQ(GetCurrentObject(surface.dc(), OBJ_FONT), own);
    EXPECT_TRUE(isLiveFont(cachedFont(FontDesc(L"tahoma", 14, FontBold))->handle()));
}
