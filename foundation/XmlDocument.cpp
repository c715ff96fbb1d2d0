#include "foundation/XmlDocument.h"

#include "foundation/StringList.h"
#include "foundation/TextFile.h"
#include "foundation/XmlParser.h"
#include "foundation/XmlWriter.h"

#include <initializer_list>

namespace {

StringList listOf(std::initializer_list<const wchar_t*> texts)
{
    StringList list;
    for (const wchar_t* text : texts)
        list.append(String(text));
    return list;
}

XmlElement* childNamed(const XmlElement& parent, const String& name, bool caseSensitive)
{
    return caseSensitive ? parent.child(name) : parent.childNoCase(name);
}

} // namespace

String xmlEscape(const String& text)
{
    static const StringList from = listOf({L"&", L"'", L"\"", L"<", L">"});
    static const StringList to = listOf({L"&amp;", L"&apos;", L"&quot;", L"&lt;", L"&gt;"});
    return text.replaceAll(from, to);
}

String xmlUnescape(const String& text)
{
    static const StringList from = listOf({L"&apos;", L"&quot;", L"&lt;", L"&gt;", L"&amp;"});
    static const StringList to = listOf({L"'", L"\"", L"<", L">", L"&"});
    if (!text.contains(L'&'))
        return text;
    return text.replaceAll(from, to);
}

XmlDocument::XmlDocument() : m_root(L"ROOT") {}

void XmlDocument::clear()
{
    m_root.clearChildren();
    m_root.clearAttributes();
}

bool XmlDocument::parse(const String& text)
{
    clear();
    if (!text.startsWith(String(L"<?xml")))
        return false;
    return XmlParser(this).parse(text);
}

bool XmlDocument::load(const String& path, int encoding)
{
    clear();
    if (encoding != TextUtf8 && encoding != TextUtf16)
        return false;
    const String text = String::fromFile(path, encoding);
    if (text.isEmpty())
        return false;
    return XmlParser(this).parse(text);
}

bool XmlDocument::save(const String& path, int encoding) const
{
    return XmlWriter(this).save(path, encoding);
}

bool XmlDocument::saveToString(String& out) const
{
    return XmlWriter(this).saveToString(out);
}

XmlElement* XmlDocument::findElement(const String& path) const
{
    return findPath(path, true);
}

XmlElement* XmlDocument::findElementNoCase(const String& path) const
{
    return findPath(path, false);
}

XmlElement* XmlDocument::findDescendant(const String& name) const
{
    return m_root.findDescendant(name);
}

// A path of one part names a top-level element: the walk then ends after
// its first step. Slashes around the parts do not matter.
XmlElement* XmlDocument::findPath(const String& path, bool caseSensitive) const
{
    const StringList parts = String::split(path, String(L"/"), String::SkipEmptyParts);
    if (parts.isEmpty())
        return nullptr;
    const XmlElement* parent = &m_root;
    XmlElement* element = nullptr;
    for (const String& part : parts) {
        element = childNamed(*parent, part, caseSensitive);
        if (!element)
            return nullptr;
        parent = element;
    }
    return element;
}
