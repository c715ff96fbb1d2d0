#include "ui/widgets/UITextLayout.h"

#include "foundation/CharHelpers.h"

#include <algorithm>
#include <cwchar>
#include <string_view>

namespace {

constexpr wchar_t lineFeed = L'\n';

// Break candidates are plain spaces; tabs and other blanks count as visible.
// Visibility is judged per character: a pair is visible at its first unit,
// and its second unit is no character of its own. To a label every other
// character is visible: symbols (stars, arrows, a rule of box-drawing lines)
// are text that must fit, and only spaces may hang past its line.
bool isVisibleAt(std::wstring_view text, int i, UITextLayout::WrapStyle style)
{
    if (isSurrogatePairAt(text, std::size_t(i)))
        return true;
    if (splitsSurrogatePair(text, std::size_t(i)))
        return false;
    const wchar_t c = text[std::size_t(i)];
    return c != L' ' && (style == UITextLayout::WrapStyle::Label || isPrintableChar(c));
}

bool isPathSeparator(wchar_t c)
{
    return c == L'\\' || c == L'/';
}

bool endsParagraph(const String& text, const UITextLine& line)
{
    return text.at(line.lastIndex()) == lineFeed;
}

} // namespace

UITextLayout::UITextLayout() : m_font(FontDesc()), m_widths(65536, -1)
{
    m_fontHeight = m_font.ascent() + m_font.descent();
}

void UITextLayout::setFont(const FontDesc& desc)
{
    m_font.setDesc(desc);
    m_fontHeight = m_font.ascent() + m_font.descent();
    std::fill(m_widths.begin(), m_widths.end(), std::int16_t(-1));
    m_pairWidths.clear();
}

void UITextLayout::setMask(bool masked, wchar_t maskCharacter)
{
    m_masked = masked;
    m_maskWidth = m_font.charWidth(maskCharacter);
}

int UITextLayout::measureCharacter(wchar_t c) const
{
    std::int16_t& width = m_widths[c];
    if (width < 0)
        width = std::int16_t(std::clamp(m_font.charWidth(c), 0, 32767));
    return width;
}

int UITextLayout::measurePair(const wchar_t* pair) const
{
    const std::uint32_t key = std::uint32_t(pair[0]) << 16 | pair[1];
    const auto known = m_pairWidths.find(key);
    if (known != m_pairWidths.end())
        return known->second;
    const int width = std::max(m_font.textWidth(pair, 2), 0);
    m_pairWidths.emplace(key, width);
    return width;
}

int UITextLayout::charWidth(wchar_t c) const
{
    return m_masked ? m_maskWidth : measureCharacter(c);
}

int UITextLayout::characterWidth(const String& text, int i) const
{
    const std::wstring_view units = text.view();
    if (splitsSurrogatePair(units, std::size_t(i)))
        return 0;
    if (m_masked || !isSurrogatePairAt(units, std::size_t(i)))
        return charWidth(text.at(i));
    return measurePair(text.charPointer(i));
}

int UITextLayout::textWidth(const String& text, int from, int to) const
{
    int width = 0;
    for (int i = std::max(from, 0); i < to && i < text.length(); ++i)
        width += characterWidth(text, i);
    return width;
}

UITextLineChange UITextLayout::layout(const String& text, int wrapWidth)
{
    const int before = count();
    m_lines.clear();
    appendParagraphs(text, 0, text.length(), wrapWidth, m_lines);
    return {0, before, count()};
}

UITextLineChange UITextLayout::update(const String& text, int from, int removed, int inserted, int wrapWidth)
{
    const int delta = inserted - removed;
    int first = lineIndexOf(from);
    int last = lineIndexOf(from + removed);
    if (first < 0 || last < 0)
        return layout(text, wrapWidth);
    // Lines before the edit are unchanged, so their ends are read in place;
    // lines after it are read shifted by delta.
    while (first > 0 && !endsParagraph(text, m_lines[std::size_t(first - 1)]))
        --first;
    auto endsShifted = [&](int index) {
        return text.at(m_lines[std::size_t(index)].lastIndex() + delta) == lineFeed;
    };
    while (last + 1 < count() && !endsShifted(last))
        ++last;
    const int start = m_lines[std::size_t(first)].start;
    const int end = m_lines[std::size_t(last)].end() + delta;
    std::vector<UITextLine> fresh;
    appendParagraphs(text, start, end, wrapWidth, fresh);
    for (std::size_t i = std::size_t(last) + 1; i < m_lines.size(); ++i)
        m_lines[i].start += delta;
    m_lines.erase(m_lines.begin() + first, m_lines.begin() + last + 1);
    m_lines.insert(m_lines.begin() + first, fresh.begin(), fresh.end());
    return {first, last + 1 - first, int(fresh.size())};
}

int UITextLayout::lineIndexOf(int index) const
{
    if (m_lines.empty() || index < 0 || index >= m_lines.back().end())
        return -1;
    auto after = std::upper_bound(m_lines.begin(), m_lines.end(), index,
                                  [](int value, const UITextLine& line) { return value < line.start; });
    return int(after - m_lines.begin()) - 1;
}

void UITextLayout::appendParagraphs(const String& text, int start, int end, int wrapWidth,
                                    std::vector<UITextLine>& out)
{
    const wchar_t* data = text.c_str();
    while (start < end) {
        const wchar_t* feed = std::wmemchr(data + start, lineFeed, std::size_t(end - start));
        const int stop = feed ? int(feed - data) + 1 : end;
        appendParagraph(text, start, stop, wrapWidth, out);
        start = stop;
    }
}

void UITextLayout::appendParagraph(const String& text, int start, int end, int wrapWidth,
                                   std::vector<UITextLine>& out)
{
    if (wrapWidth < 1) {
        out.push_back({start, end - start});
        return;
    }
    wrapParagraph(text, start, end, wrapWidth, out);
}

// Each piece breaks after the last space whose head fits, else by
// characters. A piece that follows a space break takes the tail width of
// that break (the space included) as its own width, so its head is measured
// from that space on; the running sums reproduce those figures exactly.
void UITextLayout::wrapParagraph(const String& text, int start, int end, int wrapWidth,
                                 std::vector<UITextLine>& out)
{
    const int size = end - start;
    m_sums.assign(std::size_t(size) + 1, 0);
    m_spaces.assign(std::size_t(size), -1);
    for (int i = 0; i < size; ++i) {
        const wchar_t c = text.at(start + i);
        // A pair's second unit adds nothing, so no break falls inside it.
        m_sums[std::size_t(i) + 1] = m_sums[std::size_t(i)] + characterWidth(text, start + i);
        m_spaces[std::size_t(i)] = c == L' ' ? i : (i > 0 ? m_spaces[std::size_t(i) - 1] : -1);
    }
    markSeparators(text, start, size);
    auto width = [&](int from, int to) { return m_sums[std::size_t(to)] - m_sums[std::size_t(from)]; };
    const std::wstring_view units = text.view();
    int lastVisible = size - 1;
    while (lastVisible >= 0 && !isVisibleAt(units, start + lastVisible, m_style))
        --lastVisible;
    // Where the width that must fit ends: a label's spaces after the last
    // visible character hang past its line.
    const int measuredEnd = m_style == WrapStyle::Label ? lastVisible + 1 : size;
    int firstVisible = -1;
    int piece = 0;
    bool known = false;
    int knownWidth = 0;
    for (;;) {
        if (width(piece, std::max(piece, measuredEnd)) <= wrapWidth) {
            out.push_back({start + piece, size - piece});
            return;
        }
        if (firstVisible < piece) {
            firstVisible = piece;
            while (firstVisible < size && !isVisibleAt(units, start + firstVisible, m_style))
                ++firstVisible;
        }
        if (firstVisible < size && lastVisible > firstVisible) {
            const int lineWidth = known ? knownWidth : width(piece, lastVisible);
            const int threshold = wrapWidth - lineWidth + m_sums[std::size_t(lastVisible)];
            const auto from = m_sums.begin() + firstVisible + 1;
            const auto to = m_sums.begin() + lastVisible;
            const int fitting = int(std::upper_bound(from, to, threshold) - m_sums.begin()) - 1;
            const int space = fitting > firstVisible ? m_spaces[std::size_t(fitting)] : -1;
            if (space > firstVisible && start + space > 0) {
                const int next = afterHangingSpaces(text, start, space + 1, size);
                out.push_back({start + piece, next - piece});
                knownWidth = width(next - 1, lastVisible);
                known = true;
                piece = next;
                continue;
            }
        }
        const int breakAt = breakByCharacters(text, start, piece, size, wrapWidth, firstVisible);
        if (breakAt >= size) {
            out.push_back({start + piece, size - piece});
            return;
        }
        out.push_back({start + piece, breakAt - piece});
        piece = breakAt;
        known = false;
    }
}

// Where a piece too wide for the wrap width ends when no space break fits,
// or size when it stays whole. An editor keeps a piece unbroken when not
// even its first character fits; a label gives that character a line of
// its own, so that the rest of the paragraph still wraps.
int UITextLayout::breakByCharacters(const String& text, int start, int piece, int size, int wrapWidth,
                                    int firstVisible) const
{
    const int limit = m_sums[std::size_t(piece)] + wrapWidth;
    const auto from = m_sums.begin() + piece + 1;
    const auto to = m_sums.begin() + size;
    int candidate = int(std::upper_bound(from, to, limit) - m_sums.begin()) - 1;
    if (candidate <= piece && m_style == WrapStyle::Editor)
        return size;
    if (candidate <= piece)
        candidate = piece + unitsOfCharacterAt(text.view(), std::size_t(start + piece));
    return afterHangingSpaces(text, start, afterFittingSeparator(firstVisible, candidate), size);
}

// A label's line takes the spaces that follow its break, so that no line
// starts with them or is made of them alone.
int UITextLayout::afterHangingSpaces(const String& text, int start, int breakAt, int size) const
{
    if (m_style != WrapStyle::Label)
        return breakAt;
    while (breakAt < size && text.at(start + breakAt) == L' ')
        ++breakAt;
    return breakAt;
}

void UITextLayout::markSeparators(const String& text, int start, int size)
{
    if (m_style != WrapStyle::Label)
        return;
    m_separators.assign(std::size_t(size), -1);
    for (int i = 0; i < size; ++i) {
        const int before = i > 0 ? m_separators[std::size_t(i) - 1] : -1;
        m_separators[std::size_t(i)] = isPathSeparator(text.at(start + i)) ? i : before;
    }
}

// Where a piece that breaks by characters before candidate ends instead:
// just after the last separator that fits in it, when one follows the
// piece's first visible character (a line of a lone separator helps no one).
int UITextLayout::afterFittingSeparator(int firstVisible, int candidate) const
{
    if (m_style != WrapStyle::Label)
        return candidate;
    const int separator = m_separators[std::size_t(candidate) - 1];
    return separator > firstVisible ? separator + 1 : candidate;
}
