#include "graphics/Font.h"

#include "foundation/CharHelpers.h"
#include "graphics/NativeFont.h"

#include <vector>

namespace {

String& ellipsisText()
{
    static String text(L" ... ");
    return text;
}

// The longest prefix within the budget, searched from the longest one below
// the whole text down; widths[i] is the width of the first i + 1 units.
int keptSearchingBackwards(const String& text, const std::vector<int>& widths, int budget)
{
    int kept = static_cast<int>(widths.size()) - 1;
    while (kept > 0 && (widths[kept - 1] > budget || splitsSurrogatePair(text.view(), std::size_t(kept))))
        --kept;
    return kept;
}

// The prefix before the first one beyond the budget, searched from the
// start; all the measured units when none is beyond it.
int keptSearchingForwards(const String& text, const std::vector<int>& widths, int budget)
{
    const int count = static_cast<int>(widths.size());
    int kept = 0;
    while (kept < count && widths[kept] <= budget)
        ++kept;
    return splitsSurrogatePair(text.view(), std::size_t(kept)) ? kept - 1 : kept;
}

} // namespace

Font::Font(const FontDesc& desc, DrawingSurface* surface) : m_native(std::make_unique<NativeFont>())
{
    m_native->set(desc, surface);
}

Font::Font(const Font& other) : Font(other.desc()) {}

Font& Font::operator=(const Font& other)
{
    m_native->set(other.desc(), nullptr);
    return *this;
}

Font::~Font() = default;

bool Font::operator==(const Font& other) const
{
    return this == &other || desc() == other.desc();
}

void Font::setDesc(const FontDesc& desc, DrawingSurface* surface)
{
    m_native->set(desc, surface);
}

const FontDesc& Font::desc() const
{
    return m_native->desc();
}

int Font::ascent() const
{
    return m_native->ascent();
}

int Font::descent() const
{
    return m_native->descent();
}

int Font::height() const
{
    return m_native->ascent() + m_native->descent();
}

int Font::externalLeading() const
{
    return m_native->externalLeading();
}

int Font::maxCharWidth() const
{
    return m_native->maxCharWidth();
}

int Font::charWidth(wchar_t ch) const
{
    return m_native->textWidth(&ch, 1);
}

Size Font::charSize(wchar_t ch) const
{
    return {charWidth(ch), height()};
}

Rect Font::charRect(wchar_t ch) const
{
    return Rect(0, 0, charWidth(ch), height());
}

Size Font::textSize(const wchar_t* text, int length, bool multiLine) const
{
    return m_native->textSize(text, length, multiLine);
}

Size Font::textSize(const String& text, bool multiLine) const
{
    return m_native->textSize(text.constData(), text.length(), multiLine);
}

int Font::textWidth(const wchar_t* text, int length, bool multiLine) const
{
    return m_native->textSize(text, length, multiLine).width;
}

Rect Font::textRect(const String& text, bool multiLine) const
{
    const Size size = textSize(text, multiLine);
    return Rect(0, 0, size.width, size.height);
}

String Font::elidedText(const String& text, const Rect& box, int mode) const
{
    const int width = box.width;
    if (text.isEmpty() || width <= 0)
        return String();
    if (mode == ElideNone)
        return text;
    // No more characters than pixels can fit: a long text in a narrow box
    // is taken as too wide and searched from its start only.
    const bool bounded = text.length() > width;
    const int count = bounded ? width : text.length();
    if (!bounded && m_native->textWidth(text.constData(), count) <= width)
        return text;
    switch (mode) {
    case ElideRight:
        return elidedRight(text, count, bounded, width, String());
    case ElideRightWithEllipsis:
        return elidedRight(text, count, bounded, width, ellipsis());
    case ElideMiddle:
        return elidedMiddle(text, width);
    default:
        return String();
    }
}

// The longest prefix of the first count units whose width leaves room for
// the suffix, then the suffix. Every prefix is measured in one call; the
// search runs from the end, or in the bounded case from the start.
String Font::elidedRight(const String& text, int count, bool bounded, int width, const String& suffix) const
{
    const int suffixWidth = m_native->textWidth(suffix.constData(), suffix.length());
    if (suffixWidth > width)
        return String();
    if (suffixWidth == width)
        return suffix;
    const int budget = width - suffixWidth;
    const std::vector<int> widths = m_native->prefixWidths(text.constData(), count);
    if (static_cast<int>(widths.size()) != count)
        return String();
    const int kept =
        bounded ? keptSearchingForwards(text, widths, budget) : keptSearchingBackwards(text, widths, budget);
    return text.mid(0, kept) + suffix;
}

// As many characters of the head and of the tail as fit in equal halves of
// the width left beside the ellipsis.
String Font::elidedMiddle(const String& text, int width) const
{
    const String& dots = ellipsis();
    const int dotsWidth = m_native->textWidth(dots.constData(), dots.length());
    if (width < dotsWidth)
        return String();
    if (width == dotsWidth)
        return dots;
    const int half = (width - dotsWidth) / 2;
    const int head = headCount(text, half);
    const int tail = tailCount(text, half, text.length() - head);
    return text.mid(0, head) + dots + text.mid(text.length() - tail);
}

int Font::headCount(const String& text, int budget) const
{
    int used = 0;
    int i = 0;
    while (i < text.length()) {
        const int step = unitsOfCharacterAt(text.view(), std::size_t(i));
        const int charWidth = m_native->textWidth(text.charPointer(i), step);
        if (used + charWidth > budget)
            break;
        used += charWidth;
        i += step;
    }
    return i;
}

// Never more than limit units, so head and tail do not overlap even where
// the characters are narrower than the sum of their widths suggests.
int Font::tailCount(const String& text, int budget, int limit) const
{
    int used = 0;
    int taken = 0;
    while (taken < limit) {
        const int end = text.length() - taken;
        const int step = unitsOfCharacterBefore(text.view(), std::size_t(end));
        const int charWidth = m_native->textWidth(text.charPointer(end - step), step);
        if (taken + step > limit || used + charWidth > budget)
            break;
        used += charWidth;
        taken += step;
    }
    return taken;
}

Rect Font::placeText(const String& text, const Rect& box, int flags, bool allowOverflow) const
{
    if (text.isEmpty() || box.width <= 0 || box.height <= 0)
        return Rect::empty;
    const Size size = textSize(text, false);
    return box.alignedRect(size.width, size.height, flags, allowOverflow);
}

const String& Font::ellipsis()
{
    return ellipsisText();
}

void Font::setEllipsis(const String& text)
{
    ellipsisText() = text;
}
