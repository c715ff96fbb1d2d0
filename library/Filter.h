#pragma once

#include "foundation/List.h"
#include "foundation/String.h"
#include "foundation/StringList.h"
#include "library/RuleText.h"

#include <cstdint>

// A named choice of item kinds and file extensions that narrows item lists
// and scan rules. An extension entered with a leading '!' excludes; the
// include and exclude lists and the mode are always derived from the
// entered extensions. Copied by value.
class Filter {
public:
    // Item kinds a filter admits (stored and written as these numbers).
    enum Kind : int { NoKind = 0, AnyItems = 1, Files = 2, Folders = 3 };
    enum Mode : std::uint32_t { NoExtensionRule = 0, ExcludeOnly = 1, IncludeOnly = 2, IncludeAndExclude = 3 };

    Filter() = default;
    Filter(const Filter& other) = default;
    Filter& operator=(const Filter& other) = default;
    ~Filter() = default;

    // The translated name of a kind ("any items", "files", "folders");
    // empty for any other value.
    static String kindName(int kind);
    // The kind whose translated name equals the text exactly; 0 for none.
    static int kindFromName(const String& text);

    const String& name() const { return m_name; }
    void setName(const String& name) { m_name = name; }
    // A built-in filter that stands for one kind and carries its name.
    bool isKindOnly() const { return m_kindOnly; }
    const List<int>& kinds() const { return m_kinds; }
    const StringList& extensions() const { return m_extensions; }
    Mode mode() const { return m_mode; }
    const StringList& includeExtensions() const { return m_includeExtensions; }
    const StringList& excludeExtensions() const { return m_excludeExtensions; }

    // No kinds and no extensions.
    bool isEmpty() const;
    bool hasKinds() const { return !m_kinds.isEmpty(); }
    bool hasKind(int kind) const { return m_kinds.contains(kind); }
    // The kind of a built-in filter; 0 for any other.
    int builtInKind() const;
    // The kind of items the filter admits (AnyItems, Files or Folders).
    int itemKind() const;

    // Appends the kind unless it is 0 or already present.
    void addKind(int kind);
    // Makes this the built-in filter of the kind; nothing for 0.
    void setKind(int kind);
    // Keeps the first of exactly equal entries.
    void setExtensions(const StringList& extensions);
    // Kind names among the words become kinds; the other words extensions.
    void parse(const StringList& words);

    // "2" for a built-in filter, else "name:kinds:extensions" (the settings form).
    String toText() const;
    // ":kinds:extensions", the filter field of a scan rule.
    String toRuleText(RuleText::Form form = RuleText::Form::Plain) const;
    // Whether an extension holds a separator only the escaped form keeps.
    bool needsEscapedForm() const;
    // Kind names and extensions joined with ", ".
    String description() const;
    // The name, or the description when the name is empty.
    String displayText() const;
    // The name, or the kind names and a short join of the extensions, as a
    // scan rule's short description shows the filter (made in ScanRule.cpp
    // with the rules' other short texts).
    String ruleDescription() const;

private:
    void splitExtensions();
    String kindsText() const;

    bool m_kindOnly = false;
    String m_name;
    List<int> m_kinds;
    StringList m_extensions;
    Mode m_mode = NoExtensionRule;
    StringList m_includeExtensions;
    StringList m_excludeExtensions;
};
