#pragma once

#include "foundation/Geometry.h"
#include "graphics/FontDesc.h"

#include <memory>
#include <vector>

class CachedFont;
class DrawingSurface;

// The platform's font handle (HFONT) without the platform header.
using FontHandle = struct HFONT__*;

// A font's metrics in pixels, as the platform reports them.
struct FontMetrics {
    int ascent = 0;
    int descent = 0;
    int externalLeading = 0;
    int maxCharWidth = 0;
};

// A GDI font for a FontDesc, with the metrics read from it. The handle
// comes from the shared font cache, so NativeFonts of equal descriptions
// share one; it stays valid as long as this NativeFont keeps the
// description. All measuring happens in one display context shared by
// every NativeFont, with the font selected only for one measurement.
class NativeFont {
public:
    NativeFont() = default;
    NativeFont(const NativeFont&) = delete;
    NativeFont& operator=(const NativeFont&) = delete;

    // Takes the font for desc unless it already has one for an equal
    // description (a font that could not be made is asked for again). The
    // surface is not kept: measuring needs none.
    void set(const FontDesc& desc, DrawingSurface* surface);

    const FontDesc& desc() const { return m_desc; }
    // Null until the first set.
    FontHandle handle() const;
    int ascent() const { return m_metrics.ascent; }
    int descent() const { return m_metrics.descent; }
    int externalLeading() const { return m_metrics.externalLeading; }
    int maxCharWidth() const { return m_metrics.maxCharWidth; }

    // {widest line, line count x (ascent + descent)}; {0, 0} for no text.
    // Single-line measures line feeds as ordinary characters; multi-line
    // ends a line at each line feed, and a final line feed adds no line.
    Size textSize(const wchar_t* text, int length, bool multiLine) const;
    // The single-line width of the first length units.
    int textWidth(const wchar_t* text, int length) const;
    // The single-line widths of every prefix in one measurement: widths[i]
    // for the first i + 1 units. Empty when the text cannot be measured.
    std::vector<int> prefixWidths(const wchar_t* text, int length) const;

    // A new font handle for desc, at the description's pixel size and the
    // quality of the smooth-text switch; the caller deletes it.
    static FontHandle createHFont(const FontDesc& desc);
    // The metrics of a font, read in the measuring context; zeros for a
    // font that cannot be selected.
    static FontMetrics metricsOf(FontHandle font);

private:
    FontDesc m_desc;
    std::shared_ptr<const CachedFont> m_cached;
    FontMetrics m_metrics;
};
