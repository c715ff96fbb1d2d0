#pragma once

#include "foundation/List.h"
#include "foundation/String.h"
#include "foundation/StringList.h"
#include "library/Filter.h"
#include "library/RuleTagSet.h"
#include "library/RuleText.h"

#include <cstdint>
#include <optional>

class Tag;

// A scan rule: the folder the scanner walks, the Filter of the items it
// takes, conditions on an item's name or path and on its age, and the tags
// the items found receive. The library model owns its rules and stores them
// in the settings in the text form of toSettingsText. Copied member-wise.
//
// The rule reaches the library model through the shell's hooks, for the
// model's tags; with no model it knows no tags.
class ScanRule {
public:
    // When an automatic rule runs. Stored as these numbers, not range-checked.
    enum ScanTime : std::uint32_t { AtProgramStart = 0, AtTagClick = 1 };
    // What the content condition searches.
    enum Subject : std::uint32_t { ItemName = 0, ParentFolderName = 1, EntirePath = 2 };
    // Which time stamp the date condition reads.
    enum DateKind : std::uint32_t { CreationTime = 0, LastWriteTime = 1 };

    // The number of ";"-separated fields of the text form.
    static constexpr int settingsFieldCount = 19;

    ScanRule() = default;
    ScanRule(const ScanRule& other) = default;
    ScanRule& operator=(const ScanRule& other) = default;
    ~ScanRule() = default;

    // An automatic rule runs by its scan time; other rules are run by hand.
    bool isAutoRule() const { return m_isAutoRule; }
    void setIsAutoRule(bool on) { m_isAutoRule = on; }
    // The rule's check mark in the scan window; only checked rules are valid.
    bool isChecked() const { return m_isChecked; }
    void setIsChecked(bool on) { m_isChecked = on; }
    ScanTime scanTime() const { return m_scanTime; }
    void setScanTime(ScanTime time) { m_scanTime = time; }
    // An automatic rule first empties its assignable tags.
    bool clearBeforeScan() const { return m_clearBeforeScan; }
    void setClearBeforeScan(bool on) { m_clearBeforeScan = on; }
    // The tags given to the items found.
    RuleTagSet& assignableTags() { return m_assignableTags; }
    const RuleTagSet& assignableTags() const { return m_assignableTags; }
    void setAssignableTags(const RuleTagSet& tags) { m_assignableTags = tags; }
    // The item kinds and extensions taken.
    Filter& filter() { return m_filter; }
    const Filter& filter() const { return m_filter; }
    void setFilter(const Filter& filter) { m_filter = filter; }
    bool hasContentCondition() const { return m_hasContentCondition; }
    void setHasContentCondition(bool on) { m_hasContentCondition = on; }
    Subject subject() const { return m_subject; }
    void setSubject(Subject subject) { m_subject = subject; }
    RuleTagSet& searchWords() { return m_searchWords; }
    const RuleTagSet& searchWords() const { return m_searchWords; }
    void setSearchWords(const RuleTagSet& words) { m_searchWords = words; }
    // True: every word must occur; false: any word.
    bool allWords() const { return m_allWords; }
    void setAllWords(bool on) { m_allWords = on; }
    const String& scanPath() const { return m_scanPath; }
    void setScanPath(const String& path) { m_scanPath = path; }
    bool scanSubfolders() const { return m_scanSubfolders; }
    void setScanSubfolders(bool on) { m_scanSubfolders = on; }
    bool scanHidden() const { return m_scanHidden; }
    void setScanHidden(bool on) { m_scanHidden = on; }
    // Nonzero: the words are matched with exact case.
    std::uint32_t matchCase() const { return m_matchCase; }
    void setMatchCase(std::uint32_t exact) { m_matchCase = exact; }
    // Whole words and CamelCase parts only.
    bool wholeWords() const { return m_wholeWords; }
    void setWholeWords(bool on) { m_wholeWords = on; }
    bool hasDateCondition() const { return m_hasDateCondition; }
    void setHasDateCondition(bool on) { m_hasDateCondition = on; }
    DateKind dateKind() const { return m_dateKind; }
    void setDateKind(DateKind kind) { m_dateKind = kind; }
    // True: older than days; false: newer.
    bool moreThan() const { return m_moreThan; }
    void setMoreThan(bool on) { m_moreThan = on; }
    std::uint32_t days() const { return m_days; }
    void setDays(std::uint32_t days) { m_days = days; }

    // Checked, with assignable tags, a Filter, search words when the
    // content condition is on, and a normalized path of an existing folder.
    bool isValid() const;
    // Whether the rule gives the tag to the items it finds.
    bool assignsTag(const Tag& tag) const;
    // The names of the tags given: every tag of the model in mode
    // AnyRegisteredTags, else the set's names.
    StringList assignableTagNames() const;
    // The words searched for, by the search words' mode.
    StringList searchWordNames() const;
    // Whether a clearing scan empties this rule's tags: it is automatic,
    // clears before scanning and does not assign every tag.
    bool emptiesTagsBeforeScan() const;
    // For a rule that empties its tags before scanning: each of its tags
    // loses its items, and items left without tags leave the library. True
    // when a tag was emptied.
    bool clearAssignableTags() const;

    // The 19 fields joined with ";"; in the escaped form of RuleText when
    // the folder, a tag name or an extension holds a separator.
    String toSettingsText() const;
    // A rule from its text form, plain or escaped; none when the field
    // count is not 19.
    static std::optional<ScanRule> fromSettingsText(const String& text);
    // Appends a new rule for each "|"-separated text form of the value.
    // Gives back, as they stand, the texts that form no rule, so that they
    // can be kept and written again rather than lost.
    static StringList appendFromSettingsText(const String& value, List<ScanRule*>& rules);
    // The text forms of the rules, then the unread texts, joined with "|".
    static String settingsText(const List<ScanRule*>& rules, const StringList& unreadTexts = StringList());

    // The assignable tags as the rule list shows them.
    String tagsText() const;
    // The content and date conditions in words.
    String conditionText() const;
    // The whole rule in words; the short form fits one line of the list.
    String description(bool shortForm) const;
    // The Filter's display text.
    String filterText() const;

    // Translated names of a subject and a date kind for the Filter's items
    // ("file name", "folder was modified", ...), and each list in order.
    static String subjectName(Subject subject, const Filter& filter);
    static StringList subjectNames(const Filter& filter);
    static String dateKindName(DateKind kind, const Filter& filter);
    static StringList dateKindNames(const Filter& filter);

private:
    bool needsEscapedForm() const;
    String settingsFields(RuleText::Form form) const;
    String assignableText(bool shortForm) const;
    String conditions(bool shortForm) const;
    String contentPhrase(bool shortForm) const;
    String datePhrase(bool afterContent) const;
    String conjunction() const;
    bool joinsAssignableTags() const;

    bool m_isAutoRule = false;
    bool m_isChecked = true;
    ScanTime m_scanTime = AtTagClick;
    bool m_clearBeforeScan = false;
    RuleTagSet m_assignableTags;
    Filter m_filter;
    bool m_hasContentCondition = true;
    Subject m_subject = ItemName;
    RuleTagSet m_searchWords;
    bool m_allWords = false;
    String m_scanPath;
    bool m_scanSubfolders = true;
    bool m_scanHidden = true;
    std::uint32_t m_matchCase = 0;
    bool m_wholeWords = false;
    bool m_hasDateCondition = false;
    DateKind m_dateKind = LastWriteTime;
    bool m_moreThan = false;
    std::uint32_t m_days = 1;
};
