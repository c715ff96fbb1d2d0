#pragma once

// UITextDocument: the editing engine under the one-line and the multi-line
// editor. It holds the text (always ending in one line feed, the end
// marker, never a carriage return), its lines, optionally word-wrapped to
// the viewport, a cursor, per-character formats, an undo history of
// snapshots, and paints the characters one by one in state colours. It
// knows no keys or mouse events: the owner turns input into its operations,
// paints background, frame and caret, and pushes undo snapshots.
//
// The document is its own change signal, emitted without argument
// whenever the text changed.

#include "foundation/Geometry.h"
#include "foundation/Signal.h"
#include "foundation/String.h"
#include "graphics/Brush.h"
#include "graphics/FontDesc.h"
#include "graphics/Pen.h"
#include "ui/UIStyleValues.h"
#include "ui/widgets/UITextCursor.h"
#include "ui/widgets/UITextFormatTable.h"
#include "ui/widgets/UITextHistory.h"
#include "ui/widgets/UITextLayout.h"

#include <array>
#include <cstdint>
#include <memory>

class Graphics;
class UIWidget;

// The document's colours (UITextStyle, the text look that labels and
// buttons share, is another record): a pen (text colour) and a brush (cell
// background) per use: 0 normal text, 1 selected while active, 2 selected
// while not active, 3 disabled, 4 read only (kept for the owner; painting
// never picks it).
struct UITextDocumentStyle {
    enum Use : int { Normal = 0, SelectedActive = 1, SelectedInactive = 2, Disabled = 3, ReadOnly = 4 };

    UITextDocumentStyle();

    std::array<Pen, 5> pens;
    std::array<Brush, 5> brushes;
};

class UITextDocument : public Signal {
public:
    // setText flags.
    enum TextFlag : int { ClearHistory = 1, CursorToEnd = 2, Silent = 4 };
    // State flags, set by the owner before every paint.
    enum StateFlag : int { StateReadOnly = 1, StateEnabled = 2, StateActive = 4 };
    // Line-end modes.
    enum LineEndMode : int { LineEndDetect = 0, LineEndLf = 1, LineEndCrLf = 2 };

    explicit UITextDocument(UIWidget* owner = nullptr);
    ~UITextDocument() override;

    UIWidget* owner() const { return m_owner; }
    UITextCursor* cursor() const { return m_cursor.get(); }
    UITextFormatTable* formatTable() const { return m_formats.get(); }
    UITextHistory* history() { return &m_history; }

    void setText(const String& text, int flags = 0);
    void clear();
    void relayout();
    // With the end marker; the document is empty when its length is 1.
    const String& text() const { return m_text; }
    int length() const { return m_text.length(); }
    bool isEmpty() const { return m_text.length() <= 1; }
    // The text with CR LF line ends when the effective mode is CR LF.
    String externalText(const String& text) const;
    wchar_t characterAt(int index) const;
    // Drops every CR; in detect mode the effective mode becomes CR LF when
    // one was dropped, else LF.
    String normalise(const String& text);

    void setFont(const FontDesc& desc);
    const FontDesc& font() const { return m_font; }
    void setFontSize(float points);
    float fontSize() const { return m_font.size(); }
    int fontHeight() const { return m_layout.fontHeight(); }
    int charWidth(wchar_t c) const { return m_layout.charWidth(c); }

    void setWordWrap(bool on);
    bool wordWrap() const { return m_wordWrap; }
    void setViewport(const Rect& viewport);
    const Rect& viewport() const { return m_viewport; }
    void setMargins(int left, int top, int right, int bottom);
    UIMargins margins() const;
    void setStateFlags(int flags) { m_stateFlags = flags; }
    int stateFlags() const { return m_stateFlags; }
    void setVerticalOffset(int offset) { m_verticalOffset = offset; }
    int verticalOffset() const { return m_verticalOffset; }
    void setHorizontalOffset(int offset) { m_horizontalOffset = offset; }
    int horizontalOffset() const { return m_horizontalOffset; }
    void setMasked(bool masked);
    bool isMasked() const { return m_masked; }
    void setMaskCharacter(wchar_t c);
    wchar_t maskCharacter() const { return m_maskCharacter; }
    void setLineEndMode(int mode);
    int requestedLineEndMode() const { return m_requestedLineEnds; }
    int effectiveLineEndMode() const { return m_effectiveLineEnds; }
    void setStyle(const UITextDocumentStyle& style);
    const UITextDocumentStyle& style() const { return m_style; }
    int cursorWidth() const { return m_cursorWidth; }
    int wrapReserve() const { return m_wrapReserve; }

    int lineCount() const { return m_layout.count(); }
    // Index 0 or less gives the first line; null past the last or when
    // there are no lines.
    const UITextLine* lineAt(int index) const;
    // The line index holding the character; -1 outside [0, length - 1].
    int lineOf(int index) const { return m_layout.lineIndexOf(index); }
    // (horizontal offset + left margin, its y, viewport width, font height).
    Rect lineRect(int index) const;
    const UITextLayout& layout() const { return m_layout; }
    // The lines the last change of the text replaced, so that an owner can
    // repaint only those.
    const UITextLineChange& lastLineChange() const { return m_lastLineChange; }

    int widestLineWidth() const;
    int contentHeight() const;
    Size contentSize() const;

    // The character index at the point, or false.
    bool hitTest(Point point, int* index) const;
    String wordAt(Point point, const String& extra) const;
    Rect cursorRect() const { return m_cursorRect; }
    int firstVisibleLine() const { return m_firstVisibleLine; }
    // Every visible line; the cursor rectangle and the first visible line
    // are found anew, also for an empty document.
    void paint(Graphics& g);
    // The same, drawing only the visible lines that meet area (owner
    // coordinates).
    void paint(Graphics& g, const Rect& area);

    bool undo();
    bool redo();
    bool canUndo() const { return m_history.canUndo(); }
    bool canRedo() const { return m_history.canRedo(); }
    void clearHistory() { m_history.clear(); }

    int highlight(const String& text, bool caseSensitive, const Pen& pen, const Brush& brush, std::uint32_t fontStyle);
    void clearHighlights() { m_formats->clear(); }
    bool hasFormats() const { return !m_formats->isEmpty(); }

private:
    friend class UITextCursor;

    // Replaces [from, from + count) by text (already normalised) and
    // updates lines and formats, without signals.
    void replace(int from, int count, const String& text,
                 UITextFormatTable::NewUnits newUnits = UITextFormatTable::LikeThePrevious);
    int wrapWidth() const;
    void applyMask();
    int lineIndexAtY(int y) const;
    int columnAt(const UITextLine& line, int x) const;
    // Line indices, both included.
    struct LineRange {
        int first;
        int last;
    };

    // Resets the cursor rectangle and the first visible line and finds
    // them anew; the visible lines.
    LineRange startPaint(Graphics& g);
    // The cursor rectangle when the cursor's line is visible.
    void placeCursor(LineRange visible);
    void paintLines(Graphics& g, int from, int to);
    void paintLine(Graphics& g, int lineIndex, const Rect& rect);
    void paintCharacter(Graphics& g, int index, int x, int y);
    bool restore(const String* snapshot);

    UIWidget* m_owner;
    std::unique_ptr<UITextCursor> m_cursor;
    std::unique_ptr<UITextFormatTable> m_formats;
    FontDesc m_font;
    UITextLayout m_layout;
    UITextDocumentStyle m_style;
    int m_stateFlags = StateEnabled;
    int m_cursorWidth = 1;
    UITextHistory m_history;
    String m_text;
    int m_leftMargin = 0;
    int m_topMargin = 0;
    int m_rightMargin = 0;
    int m_bottomMargin = 0;
    bool m_wordWrap = false;
    Rect m_viewport;
    UITextLineChange m_lastLineChange;
    Rect m_cursorRect;
    int m_verticalOffset = 0;
    int m_horizontalOffset = 0;
    // From the last paint; -1 before the first one.
    int m_firstVisibleLine = -1;
    int m_requestedLineEnds = LineEndCrLf;
    int m_effectiveLineEnds = LineEndCrLf;
    bool m_masked = false;
    wchar_t m_maskCharacter = 0x25CF;
    int m_wrapReserve = 30;
};
