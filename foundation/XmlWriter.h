#pragma once

#include "foundation/String.h"

#include <optional>

class XmlDocument;

// Writes a document as indented text, one element per line, with CRLF line
// ends. An element with children is written without its text; one with
// neither children nor text as a single tag ending in "/>". Attribute
// values and texts go out with the five named entities.
class XmlWriter {
public:
    explicit XmlWriter(const XmlDocument* document = nullptr) : m_document(document) {}

    void setDocument(const XmlDocument* document) { m_document = document; }
    const XmlDocument* document() const { return m_document; }
    // Spaces per depth level.
    void setIndentWidth(int width) { m_indentWidth = width; }
    int indentWidth() const { return m_indentWidth; }

    // Encoding 3 UTF-8 or 4 UTF-16LE, with its byte-order mark. The text
    // goes to a temporary file beside the target, which replaces the target
    // only once every byte is written and flushed, so a failed save leaves
    // the old file as it was.
    bool save(const String& path, int encoding) const;
    // The text save writes in the encoding, before it is encoded; none
    // where save fails for anything but the path.
    std::optional<String> fileText(int encoding) const;
    // The text with a "utf-16" declaration.
    bool saveToString(String& out) const;

private:
    // False when no document is attached or the tree is deeper than the
    // parser accepts, which would make a file nothing can read back.
    bool writeText(const wchar_t* encodingName, String& out) const;

    const XmlDocument* m_document;
    int m_indentWidth = 4;
};
