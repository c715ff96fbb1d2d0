#include "foundation/XmlWriter.h"

#include "foundation/Array.h"
#include "foundation/TextFile.h"
#include "foundation/XmlDocument.h"
#include "foundation/XmlParser.h"


#include <utility>

namespace {

// An element whose children are still being written.
struct OpenElement {
    const XmlElement* element;
    const ListNode<XmlElement*>* nextChild;
    int depth;
};

void endLine(String& out)
{
    out.append(String::lineBreak());
}

void writeStartOfTag(String& out, const XmlElement& element, int indent)
{
    out.appendRepeated(L' ', indent);
    out.append(L'<');
    out.append(element.name());
    for (const XmlAttribute* attribute : element.attributes()) {
        out.append(L' ');
        out.append(attribute->name());
        out.append(L"=\"");
        out.append(xmlEscape(attribute->value()));
        out.append(L'"');
    }
}

void writeEndTag(String& out, const XmlElement& element, int indent)
{
    out.appendRepeated(L' ', indent);
    out.append(L"</");
    out.append(element.name());
    out.append(L'>');
    endLine(out);
}

// Writes the element whole when it has no children; otherwise only its
// start tag, and the caller writes the children and the end tag.
void writeElementStart(String& out, const XmlElement& element, int indent)
{
    writeStartOfTag(out, element, indent);
    if (element.hasChildren()) {
        out.append(L'>');
    } else if (element.hasText()) {
        out.append(L'>');
        out.append(xmlEscape(element.text()));
        out.append(L"</");
        out.append(element.name());
        out.append(L'>');
    } else {
        out.append(L"/>");
    }
    endLine(out);
}

} // namespace

// An explicit stack instead of recursion, so no tree can exhaust the call
// stack here.
bool XmlWriter::writeText(const wchar_t* encodingName, String& out) const
{
    if (!m_document)
        return false;
    out.append(L"<?xml version=\"1.0\" encoding=\"");
    out.append(encodingName);
    out.append(L"\"?>");
    endLine(out);

    const XmlElement& root = m_document->root();
    Array<OpenElement> open;
    open.append({&root, root.children().first(), -1});
    while (!open.isEmpty()) {
        OpenElement& top = open.last();
        if (!top.nextChild) {
            if (top.depth >= 0)
                writeEndTag(out, *top.element, top.depth * m_indentWidth);
            open.removeAt(open.count() - 1);
            continue;
        }
        const XmlElement* element = top.nextChild->value;
        top.nextChild = top.nextChild->next;
        const int depth = top.depth + 1;
        if (depth >= XmlParser::maxDepth)
            return false;
        writeElementStart(out, *element, depth * m_indentWidth);
        if (element->hasChildren())
            open.append({element, element->children().first(), depth});
    }
    return true;
}

bool XmlWriter::save(const String& path, int encoding) const
{
    if (path.isEmpty())
        return false;
    const std::optional<String> text = fileText(encoding);
    return text && replaceFileWithText(path, *text, encoding);
}

std::optional<String> XmlWriter::fileText(int encoding) const
{
    if (encoding != TextUtf8 && encoding != TextUtf16)
        return std::nullopt;
    String text;
    if (!writeText(encoding == TextUtf8 ? L"utf-8" : L"utf-16", text))
        return std::nullopt;
    return text;
}

bool XmlWriter::saveToString(String& out) const
{
    String text;
    if (!writeText(L"utf-16", text)) {
        out.clear();
        return false;
    }
    out = std::move(text);
    return !out.isEmpty();
}
