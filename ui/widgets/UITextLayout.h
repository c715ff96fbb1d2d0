#pragma once

// UITextLayout: the line records of a text document and the character
// widths they are measured with. Lines end after each line feed; with a
// wrap width, a line wider than it is broken after its last fitting space,
// or by characters when no space fits (a label's, see WrapStyle, differs).
// Widths come from one measuring font (or the mask character's width for
// every character), cached per code unit, and wrapping works on running
// sums, so laying out a megabyte stays linear and an edit re-lays only the
// paragraphs it touched. A surrogate pair is one character: measured whole
// under its first unit, its second unit measures 0, it is as visible as any
// letter when a space to break after is sought, and no line breaks between
// its halves.

#include "foundation/String.h"
#include "graphics/Font.h"
#include "graphics/FontDesc.h"

#include <cstdint>
#include <unordered_map>
#include <vector>

// One line: the characters [start, start + length), its line feed included
// when it has one. A wrapped line ends without one and the next starts
// right after it.
struct UITextLine {
    int start = 0;
    int length = 0;

    int end() const { return start + length; }
    int lastIndex() const { return start + length - 1; }
    bool operator==(const UITextLine&) const = default;
};

// What a layout pass changed: lines [first, first + removed) of the lines
// before became lines [first, first + inserted); the lines after them kept
// their characters and only moved by inserted - removed places.
struct UITextLineChange {
    int first = 0;
    int removed = 0;
    int inserted = 0;
};

class UITextLayout {
public:
    UITextLayout();

    void setFont(const FontDesc& desc);
    const Font& font() const { return m_font; }
    // Ascent + descent of the measuring font.
    int fontHeight() const { return m_fontHeight; }
    // Masked, every character measures as the mask character.
    void setMask(bool masked, wchar_t maskCharacter);
    int charWidth(wchar_t c) const;
    // How lines break, Editor at first; the next layout follows it.
    // A label's lines also break after the last fitting "\" or "/" (so that
    // a path wraps at its folders), give a character wider than the wrap
    // width a line of its own, and take the spaces after a break or at a
    // paragraph's end, which hang past the line instead of making lines of
    // their own. Only spaces hang: every other character (a symbol too)
    // must fit.
    enum class WrapStyle { Editor, Label };
    void setWrapStyle(WrapStyle style) { m_style = style; }
    // The width of the character that begins at unit i; 0 for the second
    // unit of a pair.
    int characterWidth(const String& text, int i) const;
    int textWidth(const String& text, int from, int to) const;

    // Lays the whole text out anew; a wrap width below 1 means no wrapping.
    UITextLineChange layout(const String& text, int wrapWidth);
    // After the text's units [from, from + removed) were replaced by
    // inserted units: re-lays the paragraphs the edit touched and shifts the
    // lines after them. The result equals layout of the new text.
    UITextLineChange update(const String& text, int from, int removed, int inserted, int wrapWidth);

    int count() const { return int(m_lines.size()); }
    const UITextLine& line(int index) const { return m_lines[std::size_t(index)]; }
    const std::vector<UITextLine>& lines() const { return m_lines; }
    // The line holding the character, or -1 outside every line.
    int lineIndexOf(int index) const;

private:
    void appendParagraph(const String& text, int start, int end, int wrapWidth, std::vector<UITextLine>& out);
    void wrapParagraph(const String& text, int start, int end, int wrapWidth, std::vector<UITextLine>& out);
    void appendParagraphs(const String& text, int start, int end, int wrapWidth, std::vector<UITextLine>& out);
    int breakByCharacters(const String& text, int start, int piece, int size, int wrapWidth,
                          int firstVisible) const;
    int afterHangingSpaces(const String& text, int start, int breakAt, int size) const;
    void markSeparators(const String& text, int start, int size);
    int afterFittingSeparator(int firstVisible, int candidate) const;
    int measureCharacter(wchar_t c) const;
    int measurePair(const wchar_t* pair) const;

    Font m_font;
    int m_fontHeight = 0;
    bool m_masked = false;
    WrapStyle m_style = WrapStyle::Editor;
    int m_maskWidth = 0;
    // Width per code unit, -1 until measured.
    mutable std::vector<std::int16_t> m_widths;
    // Width per surrogate pair (both units in one key), once measured.
    mutable std::unordered_map<std::uint32_t, int> m_pairWidths;
    std::vector<UITextLine> m_lines;
    // Scratch of wrapParagraph: running widths and the last space (and
    // separator) up to each index.
    std::vector<int> m_sums;
    std::vector<int> m_spaces;
    std::vector<int> m_separators;
};
