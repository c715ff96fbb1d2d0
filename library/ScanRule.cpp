#include "library/ScanRule.h"

#include "foundation/Application.h"
#include "foundation/FileSystem.h"
#include "foundation/Hooks.h"
#include "foundation/Path.h"
#include "library/LibraryModel.h"
#include "library/Tag.h"

namespace {

const wchar_t* const ruleContext = L"ScanWindow/Rule";

String ruleWord(const wchar_t* english)
{
    return translate(english, ruleContext);
}

// The names of every tag of the model, in model order.
StringList modelTagNames()
{
    StringList names;
    const LibraryModel* model = shellHooks().libraryModel();
    if (!model)
        return names;
    for (const Tag* tag : model->tags())
        names.append(tag->name());
    return names;
}

// One of three texts by the kind of items the filter admits.
String byItemKind(const Filter& filter, const wchar_t* anyItems, const wchar_t* files, const wchar_t* folders)
{
    switch (filter.itemKind()) {
    case Filter::AnyItems:
        return ruleWord(anyItems);
    case Filter::Files:
        return ruleWord(files);
    default:
        return ruleWord(folders);
    }
}

String flagText(bool on)
{
    return String::fromBool(on, true);
}

// Reads the fields of a rule's text form one after the other, resolving
// the escapes of its form in the texts.
class FieldCursor {
public:
    FieldCursor(const StringList& fields, RuleText::Form form) : m_next(fields.begin()), m_form(form) {}

    // The field as written; the filter field's parts are read apart.
    const String& rawText()
    {
        const String& field = *m_next;
        ++m_next;
        return field;
    }
    String text() { return RuleText::read(rawText(), m_form); }
    bool flag() { return rawText().toBool(); }
    // Read unsigned, so every value written reads back; not a number: 0.
    std::uint32_t number() { return rawText().toUInt(); }
    StringList names()
    {
        StringList names;
        for (const String& name : String::split(rawText(), L",", String::SkipEmptyParts))
            names.append(RuleText::read(name, m_form));
        return names;
    }
    RuleText::Form form() const { return m_form; }

private:
    List<String>::Iterator m_next;
    RuleText::Form m_form;
};

// ":kinds:extensions" (a name before the first ':' is taken too); any other
// shape leaves the Filter empty, which makes the rule invalid.
Filter filterFromField(const String& field, RuleText::Form form)
{
    Filter filter;
    const StringList parts = String::split(field, L":", String::TrimParts);
    if (parts.count() != 3)
        return filter;
    FieldCursor part(parts, form);
    filter.setName(part.text());
    for (const String& kindText : part.names()) {
        const int kind = kindText.toInt();
        if (kind >= Filter::AnyItems && kind <= Filter::Folders)
            filter.addKind(kind);
    }
    filter.setExtensions(part.names());
    return filter;
}

} // namespace

bool ScanRule::isValid() const
{
    if (m_assignableTags.isEmpty() || m_filter.isEmpty())
        return false;
    if (m_hasContentCondition && m_searchWords.isEmpty())
        return false;
    if (!m_isChecked || m_scanPath.isEmpty())
        return false;
    return Path::isNormalized(m_scanPath) && directoryExists(m_scanPath);
}

bool ScanRule::assignsTag(const Tag& tag) const
{
    if (m_assignableTags.isAnyRegisteredTags())
        return true;
    return LibraryModel::containsNameIgnoringCase(tag.name(), m_assignableTags.names());
}

StringList ScanRule::assignableTagNames() const
{
    if (m_assignableTags.isAnyRegisteredTags())
        return modelTagNames();
    return m_assignableTags.names();
}

StringList ScanRule::searchWordNames() const
{
    switch (m_searchWords.mode()) {
    case RuleTagSet::AnyRegisteredTags:
        return modelTagNames();
    case RuleTagSet::AssignableTags:
        return assignableTagNames();
    default:
        return m_searchWords.names();
    }
}

bool ScanRule::emptiesTagsBeforeScan() const
{
    return m_isAutoRule && m_clearBeforeScan && !m_assignableTags.isAnyRegisteredTags();
}

bool ScanRule::clearAssignableTags() const
{
    if (!emptiesTagsBeforeScan())
        return false;
    LibraryModel* model = shellHooks().libraryModel();
    if (!model)
        return false;
    bool cleared = false;
    for (const String& name : assignableTagNames()) {
        Tag* tag = model->findTagByName(name);
        if (!tag || tag->itemCount() == 0)
            continue;
        model->unlinkTagItems(tag, true);
        cleared = true;
    }
    return cleared;
}

// A rule without separators in its texts is written as older versions
// wrote it, so that they, and files compared by hand, see no change.
String ScanRule::toSettingsText() const
{
    if (!needsEscapedForm())
        return settingsFields(RuleText::Form::Plain);
    return RuleText::escapedMark + settingsFields(RuleText::Form::Escaped);
}

bool ScanRule::needsEscapedForm() const
{
    return RuleText::holdsSeparator(m_scanPath, RuleText::Piece::Folder) || m_assignableTags.needsEscapedForm() ||
           m_filter.needsEscapedForm() || m_searchWords.needsEscapedForm();
}

String ScanRule::settingsFields(RuleText::Form form) const
{
    StringList fields;
    fields.append(flagText(m_isAutoRule));
    fields.append(flagText(m_isChecked));
    fields.append(RuleText::written(m_scanPath, RuleText::Piece::Folder, form));
    fields.append(flagText(m_scanSubfolders));
    fields.append(flagText(m_scanHidden));
    fields.append(m_assignableTags.toSettingsText(form));
    fields.append(m_filter.toRuleText(form));
    fields.append(flagText(m_hasContentCondition));
    fields.append(String::number(static_cast<std::uint32_t>(m_subject)));
    fields.append(m_searchWords.toSettingsText(form));
    fields.append(flagText(m_allWords));
    fields.append(String::number(m_matchCase));
    fields.append(flagText(m_wholeWords));
    fields.append(flagText(m_hasDateCondition));
    fields.append(String::number(static_cast<std::uint32_t>(m_dateKind)));
    fields.append(flagText(m_moreThan));
    fields.append(String::number(m_days));
    fields.append(String::number(static_cast<std::uint32_t>(m_scanTime)));
    fields.append(flagText(m_clearBeforeScan));
    return fields.join(L";");
}

// Fields in the order toSettingsText writes them; values are taken as
// they come, without range checks.
std::optional<ScanRule> ScanRule::fromSettingsText(const String& text)
{
    const String trimmed = text.trimmed();
    const bool escaped = trimmed.startsWith(RuleText::escapedMark);
    const StringList fields = String::split(escaped ? trimmed.mid(1) : trimmed, L";", String::TrimParts);
    if (fields.count() != settingsFieldCount)
        return std::nullopt;
    FieldCursor field(fields, escaped ? RuleText::Form::Escaped : RuleText::Form::Plain);
    ScanRule rule;
    rule.m_isAutoRule = field.flag();
    rule.m_isChecked = field.flag();
    rule.m_scanPath = field.text();
    rule.m_scanSubfolders = field.flag();
    rule.m_scanHidden = field.flag();
    rule.m_assignableTags.setNames(field.names());
    rule.m_filter = filterFromField(field.rawText(), field.form());
    rule.m_hasContentCondition = field.flag();
    rule.m_subject = static_cast<Subject>(field.number());
    rule.m_searchWords.setNames(field.names());
    rule.m_allWords = field.flag();
    rule.m_matchCase = field.number();
    rule.m_wholeWords = field.flag();
    rule.m_hasDateCondition = field.flag();
    rule.m_dateKind = static_cast<DateKind>(field.number());
    rule.m_moreThan = field.flag();
    rule.m_days = field.number();
    rule.m_scanTime = static_cast<ScanTime>(field.number());
    rule.m_clearBeforeScan = field.flag();
    return rule;
}

StringList ScanRule::appendFromSettingsText(const String& value, List<ScanRule*>& rules)
{
    StringList unread;
    for (const String& text : String::split(value, L"|", String::SkipEmptyParts)) {
        if (text.trimmed().isEmpty())
            continue;
        std::optional<ScanRule> rule = fromSettingsText(text);
        if (rule)
            rules.append(new ScanRule(*rule));
        else
            unread.append(text);
    }
    return unread;
}

String ScanRule::settingsText(const List<ScanRule*>& rules, const StringList& unreadTexts)
{
    StringList texts;
    for (const ScanRule* rule : rules)
        texts.append(rule->toSettingsText());
    texts.appendList(unreadTexts);
    return texts.join(L"|");
}

String ScanRule::tagsText() const
{
    if (m_assignableTags.isAnyRegisteredTags())
        return m_assignableTags.text();
    return assignableText(false);
}

String ScanRule::conditionText() const
{
    return conditions(false);
}

String ScanRule::description(bool shortForm) const
{
    const String filterPart = shortForm ? m_filter.ruleDescription() : filterText();
    return ruleWord(L"Assign") + L" (" + assignableText(shortForm) + L") " + ruleWord(L"to") + L" (" + filterPart +
           L") " + conditions(shortForm);
}

String ScanRule::filterText() const
{
    return m_filter.displayText();
}

String ScanRule::subjectName(Subject subject, const Filter& filter)
{
    switch (subject) {
    case ItemName:
        return byItemKind(filter, L"item name", L"file name", L"folder name");
    case ParentFolderName:
        return ruleWord(L"parent folder name");
    default:
        return ruleWord(L"entire path");
    }
}

StringList ScanRule::subjectNames(const Filter& filter)
{
    StringList names;
    for (Subject subject : {ItemName, ParentFolderName, EntirePath})
        names.append(subjectName(subject, filter));
    return names;
}

String ScanRule::dateKindName(DateKind kind, const Filter& filter)
{
    if (kind == CreationTime)
        return byItemKind(filter, L"item was created", L"file was created", L"folder was created");
    return byItemKind(filter, L"item was modified", L"file was modified", L"folder was modified");
}

StringList ScanRule::dateKindNames(const Filter& filter)
{
    StringList names;
    for (DateKind kind : {CreationTime, LastWriteTime})
        names.append(dateKindName(kind, filter));
    return names;
}

// With search words that are the assignable tags, the tags are shown
// joined by the rule's "and"/"or".
bool ScanRule::joinsAssignableTags() const
{
    return m_hasContentCondition && !m_searchWords.isEmpty() && m_searchWords.isAssignableTags();
}

String ScanRule::assignableText(bool shortForm) const
{
    if (joinsAssignableTags()) {
        return shortForm ? m_assignableTags.shortJoinedText(conjunction())
                         : m_assignableTags.joinedText(conjunction());
    }
    return shortForm ? m_assignableTags.shortDisplayText() : m_assignableTags.displayText();
}

String ScanRule::conditions(bool shortForm) const
{
    String text;
    if (m_hasContentCondition)
        text = contentPhrase(shortForm);
    if (m_hasDateCondition)
        text += datePhrase(m_hasContentCondition);
    return text;
}

String ScanRule::contentPhrase(bool shortForm) const
{
    const String head = ruleWord(L"if") + L' ' + subjectName(m_subject, m_filter) + L' ' + ruleWord(L"contains");
    if (m_searchWords.isAssignableTags())
        return head + L' ' + ruleWord(L"it") + L' ';
    const String words =
        shortForm ? m_searchWords.shortJoinedText(conjunction()) : m_searchWords.joinedText(conjunction());
    return head + L" (" + words + L") ";
}

String ScanRule::datePhrase(bool afterContent) const
{
    String text = afterContent ? ruleWord(L"and") + L' ' : String();
    text += ruleWord(L"if") + L' ' + dateKindName(m_dateKind, m_filter) + L' ';
    text += ruleWord(m_moreThan ? L"more than" : L"less than") + L' ' + String::number(m_days) + L' ';
    return text + ruleWord(L"day(s)") + L' ' + ruleWord(L"ago");
}

String ScanRule::conjunction() const
{
    return ruleWord(m_allWords ? L"and" : L"or");
}

// Kept with the rules' short texts, whose short join of names it shares.
String Filter::ruleDescription() const
{
    if (!m_name.isEmpty())
        return m_name;
    StringList kindNames;
    for (int kind : m_kinds)
        kindNames.append(kindName(kind));
    String text = kindNames.join(L", ");
    if (hasKinds() && !m_extensions.isEmpty())
        text += L", ";
    return text + RuleTagSet::shortJoin(m_extensions);
}
