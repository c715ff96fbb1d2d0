#include "ui/widgets/UITextCursor.h"

#include "foundation/CharHelpers.h"
#include "ui/widgets/UITextDocument.h"

#include <algorithm>
#include <string_view>

UITextCursor::UITextCursor(UITextDocument* document) : m_document(document)
{
    if (m_document->lineCount() > 0)
        setPosition(0);
}

int UITextCursor::wordClassOf(wchar_t c)
{
    if (isAlnumChar(c))
        return WordLetters;
    return isSpaceChar(c) ? WordSpace : WordOther;
}

int UITextCursor::lastPosition() const
{
    return std::max(m_document->length() - 1, 0);
}

// Clamped into the text, and off the second half of a pair.
int UITextCursor::characterStart(int position) const
{
    const int clamped = std::clamp(position, 0, lastPosition());
    return splitsSurrogatePair(m_document->text().view(), std::size_t(clamped)) ? clamped - 1 : clamped;
}

int UITextCursor::unitsBefore() const
{
    return unitsOfCharacterBefore(m_document->text().view(), std::size_t(m_position));
}

int UITextCursor::unitsAfter() const
{
    return unitsOfCharacterAt(m_document->text().view(), std::size_t(m_position));
}

const UITextLine* UITextCursor::currentLine() const
{
    return m_lineIndex < 0 ? nullptr : &m_document->layout().line(m_lineIndex);
}

bool UITextCursor::isAtLineStart() const
{
    const UITextLine* line = currentLine();
    return line && m_position == line->start;
}

bool UITextCursor::isAtLineEnd() const
{
    const UITextLine* line = currentLine();
    return line && m_position == line->lastIndex();
}

bool UITextCursor::isAtEnd() const
{
    return m_position == lastPosition();
}

bool UITextCursor::isOnLastLine() const
{
    return m_lineIndex >= 0 && m_lineIndex == m_document->lineCount() - 1;
}

void UITextCursor::updateLine()
{
    m_lineIndex = m_document->layout().lineIndexOf(m_position);
    if (m_lineIndex < 0) {
        m_column = 0;
        return;
    }
    const int start = m_document->layout().line(m_lineIndex).start;
    m_column = characterCount(m_document->text().view().substr(std::size_t(start), std::size_t(m_position - start)));
}

void UITextCursor::resetToText()
{
    m_position = characterStart(m_position);
    m_anchor = characterStart(m_anchor);
    updateLine();
}

void UITextCursor::setPosition(int position, bool keepAnchor)
{
    const int oldPosition = m_position;
    const int oldAnchor = m_anchor;
    const bool hadSelection = hasSelection();
    m_position = characterStart(position);
    if (!keepAnchor)
        m_anchor = m_position;
    updateLine();
    if (m_position != oldPosition)
        positionChanged.emit(oldPosition, m_position);
    emitSelectionChange(oldPosition, oldAnchor, hadSelection);
}

void UITextCursor::emitSelectionChange(int oldPosition, int oldAnchor, bool hadSelection)
{
    const bool moved = m_anchor != oldAnchor || m_position != oldPosition;
    if (hasSelection() ? (!hadSelection || moved) : hadSelection)
        selectionChanged.emit();
}

void UITextCursor::setSelection(int start, int length)
{
    setPosition(start);
    setPosition(start + length, true);
}

void UITextCursor::clearSelection()
{
    if (!hasSelection())
        return;
    m_anchor = m_position;
    selectionChanged.emit();
}

String UITextCursor::selectedText() const
{
    return m_document->text().mid(selectionStart(), selectionEnd() - selectionStart());
}

bool UITextCursor::move(int operation, bool keepAnchor)
{
    const int to = target(operation);
    if (to < 0)
        return false;
    setPosition(to, keepAnchor);
    return true;
}

// The new position of an operation, or -1 when it cannot act.
int UITextCursor::target(int operation)
{
    const UITextLine* line = currentLine();
    const bool lineBound = operation >= MoveLineStart && operation <= MoveDown;
    if (lineBound && !line)
        return -1;
    switch (operation) {
    case MoveDocumentStart:
        return 0;
    case MoveDocumentEnd:
        return lastPosition();
    case MoveLineStart:
        return line->start;
    case MoveLineEnd:
        return line->lastIndex();
    case MoveWordStart:
        return wordStart();
    case MoveWordEnd:
        return wordEnd();
    case MoveUp:
        return m_lineIndex > 0 ? verticalTarget(m_lineIndex - 1) : -1;
    case MoveDown:
        return m_lineIndex + 1 < m_document->lineCount() ? verticalTarget(m_lineIndex + 1) : -1;
    case MoveLeft:
        return m_position > 0 ? m_position - unitsBefore() : -1;
    case MoveRight:
        return m_position < lastPosition() ? m_position + unitsAfter() : -1;
    case MovePreviousWordStart:
        return m_position > 0 ? previousWordStart() : -1;
    case MoveNextWordStart:
        return m_position < lastPosition() ? nextWordStart() : -1;
    default:
        return -1;
    }
}

int UITextCursor::wordStart()
{
    const String& text = m_document->text();
    const int lineStart = currentLine()->start;
    m_wordClass = wordClassOf(text.at(m_position));
    int i = m_position;
    while (i > lineStart && wordClassOf(text.at(i - 1)) == m_wordClass)
        --i;
    return i;
}

int UITextCursor::wordEnd() const
{
    const int last = currentLine()->lastIndex();
    if (m_position >= last)
        return -1;
    const String& text = m_document->text();
    int i = m_position;
    while (i < last && wordClassOf(text.at(i)) == m_wordClass)
        ++i;
    return i;
}

// The column counts characters, so a pair on either line takes one place.
int UITextCursor::verticalTarget(int lineIndex) const
{
    const UITextLine& line = m_document->layout().line(lineIndex);
    const std::wstring_view units = m_document->text().view();
    int i = line.start;
    for (int column = 0; column < m_column && i < line.lastIndex(); ++column)
        i += unitsOfCharacterAt(units, std::size_t(i));
    return std::min(i, line.lastIndex());
}

// Back over white space, then over the run of the class found there.
int UITextCursor::previousWordStart() const
{
    const String& text = m_document->text();
    int i = m_position;
    while (i > 0 && wordClassOf(text.at(i - 1)) == WordSpace)
        --i;
    if (i == 0)
        return 0;
    const int wordClass = wordClassOf(text.at(i - 1));
    while (i > 0 && wordClassOf(text.at(i - 1)) == wordClass)
        --i;
    return i;
}

// Over the run of the class at the position, then over white space.
int UITextCursor::nextWordStart() const
{
    const String& text = m_document->text();
    const int last = lastPosition();
    int i = m_position;
    const int wordClass = wordClassOf(text.at(i));
    while (i < last && wordClassOf(text.at(i)) == wordClass)
        ++i;
    while (i < last && wordClassOf(text.at(i)) == WordSpace)
        ++i;
    return i;
}

void UITextCursor::select(int kind)
{
    switch (kind) {
    case SelectWord:
        if (move(MoveWordStart))
            move(MoveWordEnd, true);
        return;
    case SelectLine:
        if (move(MoveLineStart))
            move(MoveLineEnd, true);
        return;
    case SelectAll:
        move(MoveDocumentStart);
        setPosition(lastPosition(), true);
        return;
    default:
        return;
    }
}

bool UITextCursor::insertText(const String& text)
{
    const String normal = m_document->normalise(text);
    if (normal.isEmpty())
        return false;
    removeSelectedText();
    const int at = m_position;
    m_document->replace(at, 0, normal);
    setPosition(at + normal.length());
    m_document->emit();
    return true;
}

bool UITextCursor::removeSelectedText()
{
    if (!hasSelection())
        return false;
    const int start = selectionStart();
    m_document->replace(start, selectionEnd() - start, String());
    setPosition(start);
    m_document->emit();
    return true;
}

bool UITextCursor::deletePrevious()
{
    if (m_position <= 0)
        return false;
    const int count = unitsBefore();
    const int at = m_position - count;
    m_document->replace(at, count, String());
    setPosition(at);
    m_document->emit();
    return true;
}

bool UITextCursor::deleteNext()
{
    if (m_position >= lastPosition())
        return false;
    const int at = m_position;
    m_document->replace(at, unitsAfter(), String());
    setPosition(at);
    m_document->emit();
    return true;
}
