#pragma once

// Helpers shared by the XML tests: a compact description of a tree for
// table rows, tree comparison and seeded random trees.

#include "tests/support/StringPrinting.h"

#include "foundation/XmlDocument.h"

#include <random>
#include <string>

namespace xmltest {

// name[attr=value,...]"text"(child child ...)
inline std::wstring describe(const XmlElement& element)
{
    std::wstring out = wide(element.name());
    if (element.hasAttributes()) {
        out += L'[';
        for (const XmlAttribute* a : element.attributes())
            out += (out.back() == L'[' ? L"" : L",") + wide(a->name()) + L'=' + wide(a->value());
        out += L']';
    }
    if (element.hasText())
        out += L'"' + wide(element.text()) + L'"';
    if (element.hasChildren()) {
        out += L'(';
        for (const XmlElement* child : element.children())
            out += (out.back() == L'(' ? L"" : L" ") + describe(*child);
        out += L')';
    }
    return out;
}

// The top-level elements, separated by spaces.
inline std::wstring describe(const XmlDocument& document)
{
    std::wstring out;
    for (const XmlElement* element : document.root().children())
        out += (out.empty() ? L"" : L" ") + describe(*element);
    return out;
}

inline bool sameAttributes(const XmlElement& a, const XmlElement& b)
{
    if (a.attributes().count() != b.attributes().count())
        return false;
    for (auto *x = a.attributes().first(), *y = b.attributes().first(); x; x = x->next, y = y->next) {
        if (x->value->name() != y->value->name() || x->value->value() != y->value->value())
            return false;
    }
    return true;
}

// Equal names, attributes and children; texts are compared only where the
// writer keeps them, on elements without children.
inline bool sameTree(const XmlElement& a, const XmlElement& b)
{
    if (a.name() != b.name() || !sameAttributes(a, b) || a.children().count() != b.children().count())
        return false;
    if (!a.hasChildren() && a.text() != b.text())
        return false;
    for (auto *x = a.children().first(), *y = b.children().first(); x; x = x->next, y = y->next) {
        if (!sameTree(*x->value, *y->value))
            return false;
    }
    return true;
}

class RandomTree {
public:
    explicit RandomTree(unsigned seed) : m_random(seed) {}

    void fill(XmlDocument& document)
    {
        const int count = pick(1, 3);
        for (int i = 0; i < count; ++i)
            fillElement(*document.root().addChild(name()), 0);
    }

private:
    int pick(int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(m_random); }

    String name()
    {
        static const wchar_t first[] = L"abcXYZ09";
        static const wchar_t rest[] = L"abz-_.7";
        String out(first[pick(0, 7)], 1);
        for (int n = pick(0, 6); n > 0; --n)
            out.append(rest[pick(0, 6)]);
        return out;
    }

    // Markup characters, entity look-alikes, line breaks, tabs, non-ASCII
    // letters and a surrogate pair.
    String text()
    {
        static const wchar_t* pieces[] = {L"a", L" ", L"&", L"<", L">", L"\"", L"'", L"&amp;", L"&lt;",
                                          L"&#65;", L"\r\n", L"\t", L"\u00e9", L"\u4e2d", L"\U0001F600", L"?>",
                                          L"<!--", L"=", L"/"};
        String out;
        for (int n = pick(0, 8); n > 0; --n)
            out.append(pieces[pick(0, 18)]);
        return out;
    }

    void fillElement(XmlElement& element, int depth)
    {
        for (int n = pick(0, 3); n > 0; --n)
            element.addAttribute(name(), text());
        const int children = depth < 4 ? pick(0, 3) : 0;
        if (children == 0)
            element.setText(text());
        for (int i = 0; i < children; ++i)
            fillElement(*element.addChild(name()), depth + 1);
    }

    std::mt19937 m_random;
};

} // namespace xmltest
