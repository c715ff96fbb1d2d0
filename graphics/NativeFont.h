#pragma once

#include "foundation/Geometry.h"
#include "graphics/FontDesc.h"

#include <vector>

class DrawingSurface;

// The platform's font handle (HFONT) without the platform header.
using FontHandle = struct HFONT__*;

// A GDI font made from a FontDesc, with the metrics read from it. All
// measuring happens in one display context shared by every NativeFont,
// with the font selected only for the length of one measurement.
class NativeFont {
public:
    NativeFont() = default;
    ~NativeFont();
    NativeFont(const NativeFont&) = delete;
    NativeFont& operator=(const NativeFont&) = delete;

    // Makes the font for desc unless it already has one for an equal
    // description. The surface is not kept: measuring needs none.
    void set(const FontDesc& desc, DrawingSurface* surface);

    const FontDesc& desc() const { return m_desc; }
    // Null until the first set.
    FontHandle handle() const { return m_font; }
    int ascent() const { return m_ascent; }
    int descent() const { return m_descent; }
    int externalLeading() const { return m_externalLeading; }
    int maxCharWidth() const { return m_maxCharWidth; }

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

private:
    void readMetrics();

    FontDesc m_desc;
    FontHandle m_font = nullptr;
    int m_ascent = 0;
    int m_descent = 0;
    int m_externalLeading = 0;
    int m_maxCharWidth = 0;
};
