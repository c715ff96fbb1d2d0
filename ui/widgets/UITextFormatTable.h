#pragma once

// UITextFormatTable: per-character formats of a text document (pen, brush
// and font style), used for highlighting. Kept sorted by index, so looking
// a character up while painting and shifting after an edit stay cheap.

#include "foundation/String.h"
#include "graphics/Brush.h"
#include "graphics/Pen.h"

#include <cstdint>
#include <vector>

struct UITextFormat {
    int index = 0;
    Pen pen;
    Brush brush;
    std::uint32_t fontStyle = 0;
};

class UITextFormatTable {
public:
    const Pen& defaultPen() const { return m_defaultPen; }
    void setDefaultPen(const Pen& pen) { m_defaultPen = pen; }
    const Brush& defaultBrush() const { return m_defaultBrush; }
    void setDefaultBrush(const Brush& brush) { m_defaultBrush = brush; }
    std::uint32_t defaultFontStyle() const { return m_defaultFontStyle; }
    void setDefaultFontStyle(std::uint32_t style) { m_defaultFontStyle = style; }

    // Null when the character has no format.
    const UITextFormat* formatAt(int index) const;
    bool isEmpty() const { return m_formats.empty(); }
    int count() const { return int(m_formats.size()); }
    void clear() { m_formats.clear(); }

    // Gives every character of each occurrence of needle in text the
    // format, replacing the one it had; the number of occurrences.
    int highlight(const String& text, const String& needle, bool caseSensitive, const Pen& pen, const Brush& brush,
                  std::uint32_t fontStyle);
    // What inserted units are formatted like: typed text continues the
    // format before it; text an undo brings back is plain.
    enum NewUnits { LikeThePrevious, Plain };
    // count units were inserted at index: later formats move up, and with
    // LikeThePrevious each inserted unit takes a copy of the format before
    // index, when there is one.
    void inserted(int index, int count, NewUnits newUnits);
    // The units [index, index + count) were removed: their formats go and
    // later ones move down.
    void removed(int index, int count);

private:
    std::vector<UITextFormat>::iterator lowerBound(int index);

    Pen m_defaultPen;
    Brush m_defaultBrush;
    std::uint32_t m_defaultFontStyle = 0;
    std::vector<UITextFormat> m_formats;
};
