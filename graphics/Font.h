#pragma once

#include "foundation/Geometry.h"
#include "foundation/String.h"
#include "graphics/FontDesc.h"

#include <memory>

class DrawingSurface;
class NativeFont;

// How elidedText shortens a text that does not fit.
enum ElideMode : int {
    ElideNone = 0,
    // The longest prefix that fits.
    ElideRight = 1,
    // The longest prefix that fits with the ellipsis after it.
    ElideRightWithEllipsis = 2,
    // As much of the head and of the tail as fit in equal halves, with the
    // ellipsis between them.
    ElideMiddle = 3,
};

// A realised font for measuring text: metrics, sizes of texts and of single
// characters, shortened (elided) texts for a width, and the placement of a
// text in a box. Each Font owns its own platform font; copies make another.
// There is no word wrapping: a text has as many lines as line feeds.
class Font {
public:
    // The surface is not kept: measuring uses a shared display context.
    explicit Font(const FontDesc& desc, DrawingSurface* surface = nullptr);
    Font(const Font& other);
    Font& operator=(const Font& other);
    ~Font();

    // The same object, or fonts of equal descriptions.
    bool operator==(const Font& other) const;
    bool operator!=(const Font& other) const { return !(*this == other); }

    // Recreates the platform font only when the description changes.
    void setDesc(const FontDesc& desc, DrawingSurface* surface = nullptr);
    const FontDesc& desc() const;
    const NativeFont& nativeFont() const { return *m_native; }

    // Metrics in pixels; height is ascent + descent.
    int ascent() const;
    int descent() const;
    int height() const;
    int externalLeading() const;
    int maxCharWidth() const;

    int charWidth(wchar_t ch) const;
    // {charWidth, height}, and the rectangle (0, 0) of that size.
    Size charSize(wchar_t ch) const;
    Rect charRect(wchar_t ch) const;

    // {widest line, lines x height}; {0, 0} for a null or empty text.
    // Single-line measures line feeds as ordinary characters.
    Size textSize(const wchar_t* text, int length, bool multiLine) const;
    Size textSize(const String& text, bool multiLine = false) const;
    int textWidth(const wchar_t* text, int length, bool multiLine = false) const;
    Rect textRect(const String& text, bool multiLine = false) const;

    // The text shortened to the box's width by an ElideMode; the text itself
    // when it fits (in ElideNone always). A text with more units than the
    // box has pixels is taken as too wide without measuring it whole. The
    // empty text for an empty text, a box without width or an unknown mode
    // when the text does not fit. A surrogate pair is never cut in half.
    String elidedText(const String& text, const Rect& box, int mode) const;
    // The single-line size of the text placed in the box by Alignment flags
    // (Rect::alignedRect); the empty rectangle for an empty text or box.
    Rect placeText(const String& text, const Rect& box, int flags, bool allowOverflow) const;

    // The ellipsis of every elision, " ... " until replaced.
    static const String& ellipsis();
    static void setEllipsis(const String& text);

private:
    String elidedRight(const String& text, int count, bool bounded, int width, const String& suffix) const;
    String elidedMiddle(const String& text, int width) const;
    int headCount(const String& text, int budget) const;
    int tailCount(const String& text, int budget, int limit) const;

    std::unique_ptr<NativeFont> m_native;
};
