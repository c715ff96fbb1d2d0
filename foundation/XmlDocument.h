#pragma once

#include "foundation/String.h"
#include "foundation/XmlElement.h"

// The program's XML model: a tree of XmlElements under an invisible root
// named "ROOT", whose children are the top-level elements of the text. The
// dialect is small: elements, attributes in either quote, character data,
// comments and the five named entities after a leading declaration.
//
// A failed parse or load leaves what was read so far in the tree until the
// next clear, parse or load; callers test the result and ignore the tree
// on false.
class XmlDocument {
public:
    XmlDocument();
    ~XmlDocument() = default;
    XmlDocument(const XmlDocument&) = delete;
    XmlDocument& operator=(const XmlDocument&) = delete;

    XmlElement& root() { return m_root; }
    const XmlElement& root() const { return m_root; }
    // Deletes the top-level elements and the root's attributes.
    void clear();
    bool isEmpty() const { return !m_root.hasChildren(); }

    // The text must begin with "<?xml".
    bool parse(const String& text);
    // Encoding 3 UTF-8 or 4 UTF-16LE. The text needs no "<?xml" prefix but
    // must hold the end of a declaration ("?>").
    bool load(const String& path, int encoding);
    bool save(const String& path, int encoding) const;
    // The tree with a "utf-16" declaration and CRLF line ends.
    bool saveToString(String& out) const;

    // Follows a "/" path from the root, taking at each step the first
    // child of that name; null at the first miss. "a" finds only a
    // top-level "a", never a deeper one.
    XmlElement* findElement(const String& path) const;
    XmlElement* findElementNoCase(const String& path) const;
    // The first element of the name anywhere in the tree, depth first in
    // document order.
    XmlElement* findDescendant(const String& name) const;

private:
    XmlElement* findPath(const String& path, bool caseSensitive) const;

    XmlElement m_root;
};

// The five named entities. Escaping replaces "&" first so nothing is
// escaped twice; unescaping replaces "&amp;" last, so "&amp;lt;" becomes
// "&lt;" and not "<". Other entities and numeric references stay as they are.
String xmlEscape(const String& text);
String xmlUnescape(const String& text);
