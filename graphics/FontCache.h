#pragma once

#include "graphics/DrawingSurface.h"
#include "graphics/FontDesc.h"
#include "graphics/NativeFont.h"

#include <memory>

// One realised GDI font, shared by every NativeFont and paint engine that
// asks for its description. Its handle stays valid while anyone holds it,
// and is deleted when the cache and the last holder have let it go.
class CachedFont {
public:
    // Makes the handle as NativeFont::createHFont does, at the quality of
    // the smooth-text switch, and reads its metrics.
    explicit CachedFont(const FontDesc& desc);
    ~CachedFont();
    CachedFont(const CachedFont&) = delete;
    CachedFont& operator=(const CachedFont&) = delete;

    // True for the description, pixel size and quality it was made for.
    bool isFor(const FontDesc& desc, int pixelSize, bool smooth) const;
    const FontDesc& desc() const { return m_desc; }
    // Null when the platform could not make the font.
    FontHandle handle() const { return m_handle; }
    const FontMetrics& metrics() const { return m_metrics; }

private:
    FontDesc m_desc;
    int m_pixelSize;
    bool m_smooth;
    FontHandle m_handle;
    FontMetrics m_metrics;
    // Wine keeps a font's rasterised glyphs only while some context has the
    // font selected (and a handful of others): each font stays selected in
    // a one-pixel surface of its own, so painting in a dozen sizes does not
    // rasterise every glyph again at each paint.
    GdiDrawingSurface m_keeper{1, 1};
    void* m_keeperPrevious = nullptr;
};

// The fonts asked for most recently, at most fontCacheCapacity of them,
// each found again by an equal FontDesc (faces compared exactly), the same
// pixel size and the same smooth-text quality. A font dropped from the
// cache lives on while someone holds it, and is found again while it
// lives, so a description has one handle at a time. One the platform could
// not make (a null handle) is not kept. UI thread only, like all measuring.
constexpr int fontCacheCapacity = 64;

std::shared_ptr<const CachedFont> cachedFont(const FontDesc& desc);
// How many fonts the cache itself holds now.
int cachedFontCount();
// Lets go of every font the cache itself holds.
void clearFontCache();
