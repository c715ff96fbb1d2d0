#include "library/Filter.h"

#include "foundation/Application.h"

#include <string_view>
#include <unordered_set>

namespace {

const wchar_t* const filtersContext = L"Filters";

String joinedKinds(const List<int>& kinds, const String& separator, bool asNames)
{
    StringList texts;
    for (int kind : kinds)
        texts.append(asNames ? Filter::kindName(kind) : String::number(kind));
    return texts.join(separator);
}

} // namespace

String Filter::kindName(int kind)
{
    switch (kind) {
    case AnyItems:
        return translate(L"any items", filtersContext);
    case Files:
        return translate(L"files", filtersContext);
    case Folders:
        return translate(L"folders", filtersContext);
    default:
        return String();
    }
}

int Filter::kindFromName(const String& text)
{
    for (int kind : {AnyItems, Files, Folders}) {
        if (text == kindName(kind))
            return kind;
    }
    return NoKind;
}

bool Filter::isEmpty() const
{
    return m_kinds.isEmpty() && m_extensions.isEmpty();
}

int Filter::builtInKind() const
{
    return m_kindOnly && hasKinds() ? m_kinds.first()->value : NoKind;
}

int Filter::itemKind() const
{
    if (!hasKinds())
        return Files;
    if (m_kindOnly)
        return m_kinds.first()->value;
    if (m_kinds.count() > 1)
        return hasKind(Folders) ? AnyItems : Files;
    const int only = m_kinds.first()->value;
    if (only != Folders)
        return only;
    return m_extensions.isEmpty() ? Folders : AnyItems;
}

void Filter::addKind(int kind)
{
    if (kind != NoKind && !hasKind(kind))
        m_kinds.append(kind);
}

void Filter::setKind(int kind)
{
    if (kind == NoKind)
        return;
    m_kinds.clear();
    m_extensions.clear();
    splitExtensions();
    m_kindOnly = true;
    m_name = kindName(kind);
    m_kinds.append(kind);
}

void Filter::setExtensions(const StringList& extensions)
{
    m_extensions.clear();
    std::unordered_set<std::wstring_view> seen;
    for (const String& extension : extensions) {
        if (seen.insert(extension.view()).second)
            m_extensions.append(extension);
    }
    splitExtensions();
}

void Filter::parse(const StringList& words)
{
    m_kindOnly = false;
    m_name.clear();
    m_kinds.clear();
    StringList extensions;
    for (const String& word : words) {
        const int kind = kindFromName(word);
        if (kind != NoKind)
            addKind(kind);
        else
            extensions.append(word);
    }
    setExtensions(extensions);
}

void Filter::splitExtensions()
{
    m_includeExtensions.clear();
    m_excludeExtensions.clear();
    for (const String& extension : m_extensions) {
        if (!extension.startsWith(L'!'))
            m_includeExtensions.append(extension);
        else if (extension.length() > 1)
            m_excludeExtensions.append(extension.mid(1));
    }
    const bool include = !m_includeExtensions.isEmpty();
    const bool exclude = !m_excludeExtensions.isEmpty();
    if (include)
        m_mode = exclude ? IncludeAndExclude : IncludeOnly;
    else
        m_mode = exclude ? ExcludeOnly : NoExtensionRule;
}

String Filter::kindsText() const
{
    return joinedKinds(m_kinds, L",", false);
}

String Filter::toText() const
{
    if (m_kindOnly && hasKinds())
        return String::number(m_kinds.first()->value);
    return m_name + L':' + kindsText() + L':' + m_extensions.join(L",");
}

String Filter::toRuleText(RuleText::Form form) const
{
    return L':' + kindsText() + L':' + RuleText::joined(m_extensions, RuleText::Piece::Extension, form);
}

bool Filter::needsEscapedForm() const
{
    return RuleText::anyHoldsSeparator(m_extensions, RuleText::Piece::Extension);
}

String Filter::description() const
{
    String text = joinedKinds(m_kinds, L", ", true);
    if (hasKinds() && !m_extensions.isEmpty())
        text += L", ";
    return text + m_extensions.join(L", ");
}

String Filter::displayText() const
{
    return m_name.isEmpty() ? description() : m_name;
}
