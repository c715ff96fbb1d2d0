#include "ui/widgets/UITextDocument.h"

#include "foundation/CharHelpers.h"
#include "graphics/Graphics.h"
#include "ui/UIManager.h"
#include "ui/UITheme.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr wchar_t lineFeed = L'\n';
constexpr wchar_t carriageReturn = L'\r';
// Stands in for the width of a document whose lines hold no character.
constexpr int emptyLineWidth = 100;

int themeCursorWidth()
{
    const UITheme* theme = UIManager::instance()->theme();
    return theme ? std::max(theme->metric(MetricTextCursorWidth), 1) : 1;
}

// Rounds towards minus infinity, for line indices above the first line.
int floorDivide(int value, int divisor)
{
    const int quotient = value / divisor;
    return (value % divisor != 0 && (value < 0) != (divisor < 0)) ? quotient - 1 : quotient;
}

// Where a text and the one it becomes differ: the units [from, from +
// removed) of the text give way to inserted units of the other.
struct Difference {
    int from;
    int removed;
    int inserted;
};

// Both texts end in the end marker, which stays: a difference never starts
// past it, where the caret cannot go. Nor does either edge part the halves
// of a surrogate pair, which would leave the caret, or a highlight's edge,
// inside a character.
Difference differenceBetween(const String& text, const String& other)
{
    const int shorter = std::min(text.length(), other.length());
    int from = 0;
    while (from < shorter - 1 && text.at(from) == other.at(from))
        ++from;
    if (from > 0 && isHighSurrogate(text.at(from - 1)))
        --from;
    int kept = 0;
    while (kept < shorter - from && text.at(text.length() - 1 - kept) == other.at(other.length() - 1 - kept))
        ++kept;
    if (kept > 0 && isLowSurrogate(text.at(text.length() - kept)))
        --kept;
    return {from, text.length() - kept - from, other.length() - kept - from};
}

} // namespace

UITextDocumentStyle::UITextDocumentStyle()
{
    pens = {Pen(Colour(0xFF000000u)), Pen(Colour(0xFFFFFFFFu)), Pen(), Pen(Colour(0xFF808080u)),
            Pen(Colour(0xFF808080u))};
    brushes = {Brush(Colour(0x00FFFFFFu)), Brush(Colour(0xFF000000u)), Brush(), Brush(Colour(0x00FFFFFFu)),
               Brush(Colour(0x00FFFFFFu))};
}

UITextDocument::UITextDocument(UIWidget* owner)
    : m_owner(owner), m_formats(std::make_unique<UITextFormatTable>()), m_cursorWidth(themeCursorWidth())
{
    // Made once every member exists: the cursor asks for the lines.
    m_cursor = std::make_unique<UITextCursor>(this);
    m_formats->setDefaultPen(m_style.pens[UITextDocumentStyle::Normal]);
    m_formats->setDefaultBrush(m_style.brushes[UITextDocumentStyle::Normal]);
    m_formats->setDefaultFontStyle(m_font.style());
    m_layout.setMask(m_masked, m_maskCharacter);
    clear();
}

UITextDocument::~UITextDocument() = default;

String UITextDocument::normalise(const String& text)
{
    String copy(text);
    const bool dropped = copy.contains(carriageReturn);
    if (dropped)
        copy.removeAll(carriageReturn);
    if (m_requestedLineEnds == LineEndDetect)
        m_effectiveLineEnds = dropped ? LineEndCrLf : LineEndLf;
    return copy;
}

void UITextDocument::setText(const String& text, int flags)
{
    if (flags & ClearHistory)
        m_history.clear();
    m_text = normalise(text);
    if (m_text.last() != lineFeed)
        m_text.append(lineFeed);
    m_lastLineChange = m_layout.layout(m_text, wrapWidth());
    m_cursor->resetToText();
    if (flags & CursorToEnd)
        m_cursor->move(UITextCursor::MoveDocumentEnd);
    if (!(flags & Silent))
        emit();
}

void UITextDocument::clear()
{
    setText(String(), CursorToEnd);
}

void UITextDocument::relayout()
{
    setText(String(m_text));
}

void UITextDocument::replace(int from, int count, const String& text, UITextFormatTable::NewUnits newUnits)
{
    m_text.remove(from, count);
    m_text.insert(from, text);
    m_lastLineChange = m_layout.update(m_text, from, count, text.length(), wrapWidth());
    if (count > 0)
        m_formats->removed(from, count);
    if (!text.isEmpty())
        m_formats->inserted(from, text.length(), newUnits);
}

String UITextDocument::externalText(const String& text) const
{
    if (m_effectiveLineEnds != LineEndCrLf)
        return text;
    String result;
    result.reserve(text.length() + text.count(lineFeed));
    for (int i = 0; i < text.length(); ++i) {
        if (text.at(i) == lineFeed)
            result.append(carriageReturn);
        result.append(text.at(i));
    }
    return result;
}

wchar_t UITextDocument::characterAt(int index) const
{
    return m_masked ? m_maskCharacter : m_text.at(index);
}

void UITextDocument::setFont(const FontDesc& desc)
{
    if (desc == m_font)
        return;
    m_font = desc;
    m_layout.setFont(desc);
    m_layout.setMask(m_masked, m_maskCharacter);
    m_cursorRect = Rect();
    m_formats->setDefaultFontStyle(desc.style());
    if (m_wordWrap)
        relayout();
}

void UITextDocument::setFontSize(float points)
{
    if (points == m_font.size())
        return;
    setFont(FontDesc(m_font.face(), points, m_font.style()));
}

void UITextDocument::setWordWrap(bool on)
{
    if (on == m_wordWrap)
        return;
    m_wordWrap = on;
    relayout();
}

void UITextDocument::setViewport(const Rect& viewport)
{
    m_viewport = viewport;
    if (m_wordWrap)
        relayout();
}

int UITextDocument::wrapWidth() const
{
    return m_wordWrap ? m_viewport.width - m_wrapReserve : 0;
}

void UITextDocument::setMargins(int left, int top, int right, int bottom)
{
    m_leftMargin = left;
    m_topMargin = top;
    m_rightMargin = right;
    m_bottomMargin = bottom;
}

UIMargins UITextDocument::margins() const
{
    return {m_leftMargin, m_topMargin, m_rightMargin, m_bottomMargin};
}

void UITextDocument::setMasked(bool masked)
{
    m_masked = masked;
    applyMask();
}

void UITextDocument::setMaskCharacter(wchar_t c)
{
    m_maskCharacter = c;
    applyMask();
}

// Masking changes every width, so wrapped lines are laid out again, as for
// a new font: wrapping, painting and hit tests keep to one set of widths.
void UITextDocument::applyMask()
{
    m_layout.setMask(m_masked, m_maskCharacter);
    if (m_wordWrap)
        relayout();
}

void UITextDocument::setLineEndMode(int mode)
{
    m_requestedLineEnds = mode;
    m_effectiveLineEnds = mode;
}

void UITextDocument::setStyle(const UITextDocumentStyle& style)
{
    m_style = style;
    m_formats->setDefaultPen(style.pens[UITextDocumentStyle::Normal]);
    m_formats->setDefaultBrush(style.brushes[UITextDocumentStyle::Normal]);
}

const UITextLine* UITextDocument::lineAt(int index) const
{
    if (lineCount() == 0 || index >= lineCount())
        return nullptr;
    return &m_layout.line(std::max(index, 0));
}

Rect UITextDocument::lineRect(int index) const
{
    const int height = fontHeight();
    return {m_horizontalOffset + m_leftMargin, m_verticalOffset + m_topMargin + index * height, m_viewport.width,
            height};
}

int UITextDocument::widestLineWidth() const
{
    const std::vector<UITextLine>& lines = m_layout.lines();
    auto widest = std::max_element(lines.begin(), lines.end(), [](const UITextLine& a, const UITextLine& b) {
        return a.length < b.length;
    });
    int width = emptyLineWidth;
    if (widest != lines.end() && widest->length > 0)
        width = m_layout.textWidth(m_text, widest->start, widest->end());
    return m_leftMargin + m_rightMargin + width;
}

int UITextDocument::contentHeight() const
{
    return m_topMargin + m_bottomMargin + fontHeight() * std::max(lineCount(), 1);
}

Size UITextDocument::contentSize() const
{
    return {widestLineWidth(), contentHeight()};
}

// Lines are laid out one font height apart from the top margin, so the line
// under y is found by division; only lines from the first visible one on
// answer, as painting left them.
int UITextDocument::lineIndexAtY(int y) const
{
    const int height = fontHeight();
    if (height < 1)
        return -1;
    const int index = floorDivide(y - (m_verticalOffset + m_topMargin), height);
    return index >= std::max(m_firstVisibleLine, 0) && index < lineCount() ? index : -1;
}

// By characters, so that no hit lands between the halves of a pair.
int UITextDocument::columnAt(const UITextLine& line, int x) const
{
    const std::wstring_view units = m_text.view();
    const int lineX = m_horizontalOffset + m_leftMargin;
    int right = lineX;
    for (int i = line.start; i < line.end();) {
        const int width = m_layout.characterWidth(m_text, i);
        const int next = i + unitsOfCharacterAt(units, std::size_t(i));
        right += width;
        if (right >= x)
            return x < right - int(std::lround(width * 0.5)) || next >= line.end() ? i : next;
        i = next;
    }
    return x < lineX ? line.start : line.end() - unitsOfCharacterBefore(units, std::size_t(line.end()));
}

bool UITextDocument::hitTest(Point point, int* index) const
{
    if (lineCount() == 0)
        return false;
    int lineIndex = lineIndexAtY(point.y);
    if (lineIndex < 0) {
        const int lastBottom = lineRect(lineCount() - 1).bottom();
        if (point.y <= m_viewport.y + m_topMargin)
            lineIndex = m_cursor->lineIndex() >= 1 ? m_cursor->lineIndex() - 1 : 0;
        else if (point.y >= lastBottom || point.y >= m_viewport.height - m_bottomMargin - m_topMargin)
            lineIndex = lineCount() - 1;
        else
            return false;
    }
    *index = columnAt(m_layout.line(lineIndex), point.x);
    return true;
}

// Masked, no character counts as a letter, so no word is given away.
String UITextDocument::wordAt(Point point, const String& extra) const
{
    int index = 0;
    if (!hitTest(point, &index))
        return {};
    auto inWord = [&](int i) { return isAlnumChar(characterAt(i)) || extra.contains(characterAt(i)); };
    if (!inWord(index))
        return {};
    const UITextLine& line = m_layout.line(lineOf(index));
    int start = index;
    while (start > line.start && inWord(start - 1))
        --start;
    int end = index + 1;
    while (end < line.end() && inWord(end))
        ++end;
    return m_text.mid(start, end - start);
}

void UITextDocument::paint(Graphics& g)
{
    const LineRange visible = startPaint(g);
    paintLines(g, visible.first, visible.last);
}

void UITextDocument::paint(Graphics& g, const Rect& area)
{
    const LineRange visible = startPaint(g);
    const int height = fontHeight();
    if (area.isEmpty() || visible.first > visible.last)
        return;
    const int top = m_verticalOffset + m_topMargin;
    const int from = std::max(visible.first, floorDivide(area.y - top, height));
    const int to = std::min(visible.last, floorDivide(area.bottom() - 1 - top, height));
    paintLines(g, from, to);
}

// An empty document is painted too: its one line places the cursor and
// answers hit tests, so neither outlives the text that was cleared.
UITextDocument::LineRange UITextDocument::startPaint(Graphics& g)
{
    m_cursorRect = Rect();
    m_firstVisibleLine = -1;
    g.setBrush(Brush(Colour(0x00FFFFFFu)));
    const int height = fontHeight();
    if (height < 1)
        return {0, -1};
    // The lines with -height <= y <= height + viewport height.
    const int top = m_verticalOffset + m_topMargin;
    const LineRange visible{std::max(-floorDivide(top + height, height), 0),
                            std::min(floorDivide(height + m_viewport.height - top, height), lineCount() - 1)};
    if (visible.first > visible.last)
        return visible;
    m_firstVisibleLine = visible.first;
    placeCursor(visible);
    return visible;
}

void UITextDocument::placeCursor(LineRange visible)
{
    const int position = m_cursor->position();
    const int index = lineOf(position);
    if (index < visible.first || index > visible.last)
        return;
    const Rect rect = lineRect(index);
    const int x = rect.x + m_layout.textWidth(m_text, m_layout.line(index).start, position);
    m_cursorRect = {x, rect.y, m_cursorWidth, rect.height};
}

void UITextDocument::paintLines(Graphics& g, int from, int to)
{
    for (int i = from; i <= to; ++i)
        paintLine(g, i, lineRect(i));
}

void UITextDocument::paintLine(Graphics& g, int lineIndex, const Rect& rect)
{
    const UITextLine& line = m_layout.line(lineIndex);
    const int limit = m_viewport.x + m_viewport.width + m_layout.font().maxCharWidth();
    // Unscrolled lines begin at the left margin, whatever the viewport's x;
    // only a character that scrolling carried wholly left of both is out of
    // sight and skipped.
    const int left = std::min(m_viewport.x, m_leftMargin);
    int x = rect.x;
    for (int i = line.start; i < line.end() && x <= limit; i += unitsOfCharacterAt(m_text.view(), std::size_t(i))) {
        const int width = m_layout.characterWidth(m_text, i);
        if (x + width >= left)
            paintCharacter(g, i, x, rect.y);
        x += width;
    }
}

// A format of another font style draws in that style but advances by the
// document font's width, so wrapping, painting and hit tests agree. A
// surrogate pair is drawn in one call, as one glyph.
void UITextDocument::paintCharacter(Graphics& g, int index, int x, int y)
{
    const wchar_t c = m_text.at(index);
    const UITextFormat* format = m_formats->formatAt(index);
    FontDesc font = m_font;
    if (format)
        font.setStyle(format->fontStyle);
    g.setFont(font);
    const Rect cell(x, y, m_layout.characterWidth(m_text, index), fontHeight());
    Pen pen = m_style.pens[UITextDocumentStyle::Disabled];
    const Brush* fill = nullptr;
    if (m_stateFlags & StateEnabled) {
        const bool selected = index >= m_cursor->selectionStart() && index < m_cursor->selectionEnd();
        const int pair = (m_stateFlags & StateActive) ? UITextDocumentStyle::SelectedActive : UITextDocumentStyle::SelectedInactive;
        if (selected) {
            fill = &m_style.brushes[std::size_t(pair)];
            pen = m_style.pens[std::size_t(pair)];
        } else {
            fill = format ? &format->brush : nullptr;
            pen = format ? format->pen : m_formats->defaultPen();
        }
    }
    if (fill && fill->isVisible())
        g.fillRect(cell, *fill);
    const bool masked = m_masked && c != lineFeed;
    const wchar_t shown = masked ? m_maskCharacter : c;
    // White space would be drawn in the invisible colour of the painter's
    // brush: it is left out.
    if (isSpaceChar(shown))
        return;
    g.setPen(pen);
    if (masked)
        g.drawTextRaw(&shown, 1, x, y);
    else
        g.drawTextRaw(m_text.charPointer(index), unitsOfCharacterAt(m_text.view(), std::size_t(index)), x, y);
}

// Only the units that differ from the snapshot are replaced, as an edit
// would replace them: highlights stay on the text they marked (text that
// comes back comes back plain: snapshots keep no formats), and the
// selection holds what came back, or the caret sits where text went. False
// without a snapshot to go to.
bool UITextDocument::restore(const String* snapshot)
{
    if (!snapshot)
        return false;
    const Difference difference = differenceBetween(m_text, *snapshot);
    const int from = difference.from;
    // The selection may lie away from the change: it goes while its
    // characters are still where it was drawn, so its owner repaints them.
    m_cursor->clearSelection();
    replace(from, difference.removed, snapshot->mid(from, difference.inserted), UITextFormatTable::Plain);
    m_cursor->setPosition(from);
    m_cursor->setPosition(from + difference.inserted, true);
    emit();
    return true;
}

bool UITextDocument::undo()
{
    return restore(m_history.undo());
}

bool UITextDocument::redo()
{
    return restore(m_history.redo());
}

int UITextDocument::highlight(const String& text, bool caseSensitive, const Pen& pen, const Brush& brush,
                              std::uint32_t fontStyle)
{
    if (text.isEmpty())
        return 0;
    return m_formats->highlight(m_text, text, caseSensitive, pen, brush, fontStyle);
}
