#pragma once

#include "foundation/Array.h"
#include "foundation/String.h"
#include "foundation/StringList.h"
#include "library/RuleText.h"

#include <cstdint>
#include <optional>

class Tag;

// The tag names of a scan rule: the tags it assigns, or the words it
// searches for. A set either names its own tags and words (OwnNames) or
// stands for a whole group by mode. Its names are sorted into those that
// are tags of the library model and plain words; the sorting is only as
// fresh as the last setNames or refresh, so a set read before the library
// is opened holds every name as a plain word until refresh.
class RuleTagSet {
public:
    // Stored and written as these numbers; values are not range-checked.
    enum Mode : std::uint32_t {
        // Every tag of the model.
        AnyRegisteredTags = 0,
        // The rule's own assignable tags.
        AssignableTags = 1,
        // The set's own names.
        OwnNames = 2,
    };

    RuleTagSet() = default;
    RuleTagSet(const RuleTagSet& other) = default;
    RuleTagSet& operator=(const RuleTagSet& other) = default;
    virtual ~RuleTagSet() = default;

    // Equal texts and modes, and for each name list both sets have, equal
    // counts with every name of this set in the other's list; a list one
    // side lacks is not compared.
    bool operator==(const RuleTagSet& other) const;
    bool operator!=(const RuleTagSet& other) const { return !(*this == other); }

    // The translated name of mode 0 or 1; empty for any other.
    static String modeName(Mode mode);

    Mode mode() const { return m_mode; }
    // Also sets the text to the mode's name.
    void setMode(Mode mode);
    bool isAnyRegisteredTags() const { return m_mode == AnyRegisteredTags; }
    bool isAssignableTags() const { return m_mode == AssignableTags; }
    bool usesModeList() const { return m_mode != OwnNames; }
    // No names in mode OwnNames; a set of another mode is never empty.
    bool isEmpty() const;

    const String& text() const { return m_text; }
    void setText(const String& text) { m_text = text; }

    // The model-tag names, then the other names.
    StringList names() const;
    // A lone entry equal to a mode's name selects that mode; otherwise the
    // entries become the set's own names, sorted against the model.
    void setNames(const StringList& names);
    // Sorts the names against the model's current tags again.
    void refresh();
    // After a refresh, the model's tag of each model-tag name.
    PointerArray<Tag*> modelTags();
    // Replaces every name equal to oldName ignoring case; true when one was.
    bool renameName(const String& oldName, const String& newName);
    void clearModelTagNames();

    // The text, or else all names joined with ", ".
    String displayText() const;
    // The same, shortened for one line of the scan window's rule list.
    String shortDisplayText() const;
    // The display text with the word between the names: "a or b".
    String joinedText(const String& word) const;
    String shortJoinedText(const String& word) const;
    String modelTagNamesText() const;
    String otherNamesText() const;
    String shortOtherNamesText() const;

    // The names joined with "," in mode OwnNames, else the mode's name.
    String toSettingsText(RuleText::Form form = RuleText::Form::Plain) const;
    // Whether the settings text holds a separator only the escaped form keeps.
    bool needsEscapedForm() const;

    // The names joined with ", " while the text stays within 32
    // characters (the name that passes the limit included), shortened to
    // the width of the rule list's short texts.
    static String shortJoin(const StringList& names);
    // The text shortened with a trailing ellipsis to that width.
    static String shortened(const String& text);

private:
    StringList settingsNames() const;
    StringList& modelTagNameList();
    StringList& otherNameList();

    String m_text;
    // Absent until first used; absent and empty lists behave alike except
    // in operator==.
    std::optional<StringList> m_modelTagNames;
    std::optional<StringList> m_otherNames;
    Mode m_mode = OwnNames;
};
