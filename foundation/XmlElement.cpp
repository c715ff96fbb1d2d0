#include "foundation/XmlElement.h"

#include "foundation/Array.h"

namespace {

bool namesMatch(const String& a, const String& b, bool caseSensitive)
{
    return caseSensitive ? a == b : String::equalsIgnoreCase(a, b);
}

XmlAttribute* findAttribute(const List<XmlAttribute*>& attributes, const String& name, bool caseSensitive)
{
    for (XmlAttribute* attribute : attributes) {
        if (namesMatch(attribute->name(), name, caseSensitive))
            return attribute;
    }
    return nullptr;
}

XmlElement* findChild(const List<XmlElement*>& children, const String& name, bool caseSensitive)
{
    for (XmlElement* element : children) {
        if (namesMatch(element->name(), name, caseSensitive))
            return element;
    }
    return nullptr;
}

XmlElement* popLast(Array<XmlElement*>& stack)
{
    XmlElement* element = stack.last();
    stack.removeAt(stack.count() - 1);
    return element;
}

// Pushed last to first, so that popping visits them in document order.
void pushChildrenReversed(Array<XmlElement*>& stack, const List<XmlElement*>& children)
{
    for (auto* node = children.last(); node; node = node->prev)
        stack.append(node->value);
}

} // namespace

XmlElement::~XmlElement()
{
    clearAttributes();
    clearChildren();
}

const String& XmlElement::attribute(const String& name) const
{
    const XmlAttribute* record = attributeRecord(name);
    return record ? record->value() : String::empty;
}

const String& XmlElement::attributeNoCase(const String& name) const
{
    const XmlAttribute* record = attributeRecordNoCase(name);
    return record ? record->value() : String::empty;
}

XmlAttribute* XmlElement::attributeRecord(const String& name) const
{
    return findAttribute(m_attributes, name, true);
}

XmlAttribute* XmlElement::attributeRecordNoCase(const String& name) const
{
    return findAttribute(m_attributes, name, false);
}

XmlElement* XmlElement::child(const String& name) const
{
    return findChild(m_children, name, true);
}

XmlElement* XmlElement::childNoCase(const String& name) const
{
    return findChild(m_children, name, false);
}

XmlElement* XmlElement::findChildByAttribute(const String& name, const String& value) const
{
    for (XmlElement* element : m_children) {
        const XmlAttribute* record = element->attributeRecord(name);
        if (record && record->value() == value)
            return element;
    }
    return nullptr;
}

// An explicit stack instead of recursion: a tree built in code may be
// deeper than the call stack allows.
XmlElement* XmlElement::findDescendant(const String& name) const
{
    Array<XmlElement*> stack;
    pushChildrenReversed(stack, m_children);
    while (!stack.isEmpty()) {
        XmlElement* element = popLast(stack);
        if (element->m_name == name)
            return element;
        pushChildrenReversed(stack, element->m_children);
    }
    return nullptr;
}

XmlAttribute* XmlElement::addAttribute(const String& name, const String& value)
{
    auto* attribute = new XmlAttribute(name, value);
    m_attributes.append(attribute);
    return attribute;
}

void XmlElement::appendAttribute(XmlAttribute* attribute)
{
    m_attributes.append(attribute);
}

void XmlElement::appendChild(XmlElement* element)
{
    m_children.append(element);
}

XmlElement* XmlElement::addChild(const String& name)
{
    auto* element = new XmlElement(name);
    m_children.append(element);
    return element;
}

void XmlElement::clearAttributes()
{
    for (XmlAttribute* attribute : m_attributes)
        delete attribute;
    m_attributes.clear();
}

// Each element's children are moved onto the work stack before it is
// deleted, so its destructor finds no children and never recurses.
void XmlElement::clearChildren()
{
    Array<XmlElement*> stack;
    pushChildrenReversed(stack, m_children);
    m_children.clear();
    while (!stack.isEmpty()) {
        XmlElement* element = popLast(stack);
        pushChildrenReversed(stack, element->m_children);
        element->m_children.clear();
        delete element;
    }
}
