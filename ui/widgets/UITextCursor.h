#pragma once

// UITextCursor: the position and anchor in a text document, its moves and
// selections, and the editing operations at the position. The selection is
// [min(anchor, position), max(anchor, position)); positions run from 0 to
// the index of the document's end marker, and never lie between the two
// halves of a surrogate pair: moves, selections and deletions take a pair
// as one character.

#include "foundation/Signal.h"
#include "foundation/String.h"

class UITextDocument;
struct UITextLine;

class UITextCursor {
public:
    enum Operation : int {
        MoveDocumentStart = 1,
        MoveDocumentEnd = 2,
        MoveLineStart = 3,
        MoveLineEnd = 4,
        MoveWordStart = 5,
        MoveWordEnd = 6,
        MoveUp = 7,
        MoveDown = 8,
        MoveLeft = 9,
        MoveRight = 10,
        // Ctrl+Left and Ctrl+Right: the start of the previous or next word,
        // across lines.
        MovePreviousWordStart = 11,
        MoveNextWordStart = 12,
    };
    enum SelectionKind : int { SelectWord = 0, SelectLine = 1, SelectAll = 2 };
    // 0 letters and digits (of every script), 1 white space, 2 the rest.
    enum WordClass : int { WordLetters = 0, WordSpace = 1, WordOther = 2 };

    explicit UITextCursor(UITextDocument* document);
    virtual ~UITextCursor() = default;
    UITextCursor(const UITextCursor&) = delete;
    UITextCursor& operator=(const UITextCursor&) = delete;

    // (old position, new position).
    Signal positionChanged;
    Signal selectionChanged;

    // Positions outside the text are clamped into it, and one inside a pair
    // goes to the pair's start.
    void setPosition(int position, bool keepAnchor = false);
    // False for an unknown operation or one that cannot move.
    bool move(int operation, bool keepAnchor = false);
    void select(int kind);
    void setSelection(int start, int length);
    void clearSelection();
    String selectedText() const;
    bool hasSelection() const { return m_anchor != m_position; }
    int selectionStart() const { return m_anchor < m_position ? m_anchor : m_position; }
    int selectionEnd() const { return m_anchor < m_position ? m_position : m_anchor; }

    int position() const { return m_position; }
    int anchor() const { return m_anchor; }
    int lineIndex() const { return m_lineIndex; }
    // The characters between the line start and the position; Up and Down
    // keep it.
    int column() const { return m_column; }
    int wordClass() const { return m_wordClass; }
    // Null when the position lies on no line.
    const UITextLine* currentLine() const;
    bool isAtLineStart() const;
    bool isAtLineEnd() const;
    bool isAtStart() const { return m_position == 0; }
    bool isAtEnd() const;
    bool isOnFirstLine() const { return m_lineIndex == 0; }
    bool isOnLastLine() const;

    // Each is true when it changed the text; the document then emits its
    // change once.
    bool insertText(const String& text);
    bool removeSelectedText();
    bool deletePrevious();
    bool deleteNext();

    // After the document's text was replaced: clamps position and anchor
    // into it and re-derives the line and column, without signals.
    void resetToText();

    static int wordClassOf(wchar_t c);

private:
    int lastPosition() const;
    int characterStart(int position) const;
    // The units of the character before and after the position.
    int unitsBefore() const;
    int unitsAfter() const;
    int target(int operation);
    int wordStart();
    int wordEnd() const;
    int verticalTarget(int lineIndex) const;
    int previousWordStart() const;
    int nextWordStart() const;
    void updateLine();
    void emitSelectionChange(int oldPosition, int oldAnchor, bool hadSelection);

    UITextDocument* m_document;
    int m_position = 0;
    int m_anchor = 0;
    int m_lineIndex = -1;
    int m_column = 0;
    int m_wordClass = WordLetters;
};
