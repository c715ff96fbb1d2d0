#include "ui/widgets/UITextFormatTable.h"

#include <algorithm>

std::vector<UITextFormat>::iterator UITextFormatTable::lowerBound(int index)
{
    return std::lower_bound(m_formats.begin(), m_formats.end(), index,
                            [](const UITextFormat& format, int value) { return format.index < value; });
}

const UITextFormat* UITextFormatTable::formatAt(int index) const
{
    auto found = std::lower_bound(m_formats.begin(), m_formats.end(), index,
                                  [](const UITextFormat& format, int value) { return format.index < value; });
    return found != m_formats.end() && found->index == index ? &*found : nullptr;
}

int UITextFormatTable::highlight(const String& text, const String& needle, bool caseSensitive, const Pen& pen,
                                 const Brush& brush, std::uint32_t fontStyle)
{
    const Array<int> starts = text.findAll(needle, 0, caseSensitive);
    std::vector<UITextFormat> added;
    for (int i = 0; i < starts.size(); ++i) {
        for (int unit = 0; unit < needle.length(); ++unit)
            added.push_back({starts[i] + unit, pen, brush, fontStyle});
    }
    // Occurrences do not overlap, so the new formats are sorted; a merge
    // lets them replace the old ones of the same index.
    std::vector<UITextFormat> merged;
    merged.reserve(m_formats.size() + added.size());
    auto old = m_formats.begin();
    for (const UITextFormat& format : added) {
        while (old != m_formats.end() && old->index < format.index)
            merged.push_back(*old++);
        if (old != m_formats.end() && old->index == format.index)
            ++old;
        merged.push_back(format);
    }
    merged.insert(merged.end(), old, m_formats.end());
    m_formats.swap(merged);
    return starts.size();
}

void UITextFormatTable::inserted(int index, int count, NewUnits newUnits)
{
    auto tail = lowerBound(index);
    for (auto it = tail; it != m_formats.end(); ++it)
        it->index += count;
    const UITextFormat* before = formatAt(index - 1);
    if (!before || count < 1 || newUnits == Plain)
        return;
    const UITextFormat copy = *before;
    std::vector<UITextFormat> copies(std::size_t(count), copy);
    for (int i = 0; i < count; ++i)
        copies[std::size_t(i)].index = index + i;
    m_formats.insert(lowerBound(index), copies.begin(), copies.end());
}

void UITextFormatTable::removed(int index, int count)
{
    auto first = lowerBound(index);
    auto last = lowerBound(index + count);
    for (auto it = last; it != m_formats.end(); ++it)
        it->index -= count;
    m_formats.erase(first, last);
}
