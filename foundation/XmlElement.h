#pragma once

#include "foundation/List.h"
#include "foundation/String.h"

// One name/value pair of an element. The web services also use it as a
// plain parameter of their requests.
class XmlAttribute {
public:
    XmlAttribute(const String& name, const String& value) : m_name(name), m_value(value) {}

    const String& name() const { return m_name; }
    void setName(const String& name) { m_name = name; }
    const String& value() const { return m_value; }
    void setValue(const String& value) { m_value = value; }

private:
    String m_name;
    String m_value;
};

// A node of the XML tree: name, character data (entities already replaced),
// attributes and children in the order they were added. The element owns
// its attributes and children; deleting it deletes the whole subtree
// without recursion, so trees of any depth can be released.
// Name lookups are exact unless the function says NoCase.
class XmlElement {
public:
    XmlElement() = default;
    explicit XmlElement(const String& name) : m_name(name) {}
    ~XmlElement();
    XmlElement(const XmlElement&) = delete;
    XmlElement& operator=(const XmlElement&) = delete;

    const String& name() const { return m_name; }
    void setName(const String& name) { m_name = name; }
    bool hasName() const { return !m_name.isEmpty(); }
    const String& text() const { return m_text; }
    void setText(const String& text) { m_text = text; }
    bool hasText() const { return !m_text.isEmpty(); }

    const List<XmlAttribute*>& attributes() const { return m_attributes; }
    const List<XmlElement*>& children() const { return m_children; }
    bool hasAttributes() const { return !m_attributes.isEmpty(); }
    bool hasChildren() const { return !m_children.isEmpty(); }

    // The value of the first attribute with this name, else String::empty.
    const String& attribute(const String& name) const;
    const String& attributeNoCase(const String& name) const;
    XmlAttribute* attributeRecord(const String& name) const;
    XmlAttribute* attributeRecordNoCase(const String& name) const;
    bool hasAttribute(const String& name) const { return attributeRecord(name) != nullptr; }

    // The first child with this name, else null.
    XmlElement* child(const String& name) const;
    XmlElement* childNoCase(const String& name) const;
    // The first child having an attribute with exactly this name and value.
    XmlElement* findChildByAttribute(const String& name, const String& value) const;
    // The first element with this name below this one, depth first in
    // document order; the element itself is not a candidate.
    XmlElement* findDescendant(const String& name) const;

    XmlAttribute* addAttribute(const String& name, const String& value);
    // Both take ownership of what they are given.
    void appendAttribute(XmlAttribute* attribute);
    void appendChild(XmlElement* element);
    XmlElement* addChild(const String& name);

    void clearAttributes();
    void clearChildren();

private:
    String m_name;
    String m_text;
    List<XmlAttribute*> m_attributes;
    List<XmlElement*> m_children;
};
