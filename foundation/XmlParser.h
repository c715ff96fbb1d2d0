#pragma once

#include "foundation/String.h"

class XmlDocument;

// Reads XML text into a document: skips the leading declaration, then runs
// the reading states as a chain of commands over the text, one character
// at a time by index. It adds to the document without clearing it first.
class XmlParser {
public:
    // Deeper elements fail the parse, so a hostile file cannot build a tree
    // that exhausts the stack of whoever walks it.
    static constexpr int maxDepth = 512;

    explicit XmlParser(XmlDocument* document = nullptr) : m_document(document) {}

    void setDocument(XmlDocument* document) { m_document = document; }
    XmlDocument* document() const { return m_document; }

    // False when no document is attached, the text holds no "?>" outside a
    // comment, or the markup after it is malformed.
    bool parse(const String& text);

private:
    bool run();

    XmlDocument* m_document;
    String m_text;
};
