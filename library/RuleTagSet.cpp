#include "library/RuleTagSet.h"

#include "foundation/Application.h"
#include "foundation/Hooks.h"
#include "graphics/Font.h"
#include "library/LibraryModel.h"
#include "library/Tag.h"

#include <string_view>
#include <unordered_set>

namespace {

const wchar_t* const scanWindowContext = L"ScanWindow";
const String nameSeparator(L", ");
// A join grows no further once it is longer than this many characters.
constexpr int shortJoinLength = 32;
constexpr int shortTextWidth = 150;
constexpr float shortTextPoints = 14.0f;

// Made on first use: fonts need the platform's display context.
const Font& shortTextFont()
{
    static const Font font(FontDesc(defaultFontDesc().face(), shortTextPoints, 0));
    return font;
}

bool isModelTag(const LibraryModel* model, const String& name)
{
    return model && model->findTagByName(name);
}

String joinedNames(const std::optional<StringList>& names)
{
    return names ? names->join(nameSeparator) : String();
}

bool hasNames(const std::optional<StringList>& names)
{
    return names && !names->isEmpty();
}

// Both parts joined with ", " when both have text.
String joinedParts(const String& first, const String& second)
{
    if (first.isEmpty())
        return second;
    if (second.isEmpty())
        return first;
    return first + nameSeparator + second;
}

std::optional<StringList> unlessEmpty(StringList&& names)
{
    if (names.isEmpty())
        return std::nullopt;
    return std::move(names);
}

// Every name of ours is among theirs, counts equal; a missing list on
// either side is not compared.
bool sameNames(const std::optional<StringList>& ours, const std::optional<StringList>& theirs)
{
    if (!ours || !theirs)
        return true;
    if (ours->count() != theirs->count())
        return false;
    std::unordered_set<std::wstring_view> present;
    for (const String& name : *theirs)
        present.insert(name.view());
    for (const String& name : *ours) {
        if (!present.contains(name.view()))
            return false;
    }
    return true;
}

bool renameIn(std::optional<StringList>& names, const String& oldName, const String& newName)
{
    if (!names)
        return false;
    bool renamed = false;
    for (String& name : *names) {
        if (String::equalsIgnoreCase(name, oldName)) {
            name = newName;
            renamed = true;
        }
    }
    return renamed;
}

String wordBetween(const String& text, const String& word)
{
    return text.replace(nameSeparator, L' ' + word + L' ', false);
}

} // namespace

bool RuleTagSet::operator==(const RuleTagSet& other) const
{
    return m_text == other.m_text && m_mode == other.m_mode && sameNames(m_modelTagNames, other.m_modelTagNames) &&
           sameNames(m_otherNames, other.m_otherNames);
}

String RuleTagSet::modeName(Mode mode)
{
    switch (mode) {
    case AnyRegisteredTags:
        return translate(L"any of registered tags", scanWindowContext);
    case AssignableTags:
        return translate(L"assignable tags", scanWindowContext);
    default:
        return String();
    }
}

void RuleTagSet::setMode(Mode mode)
{
    m_mode = mode;
    m_text = modeName(mode);
}

bool RuleTagSet::isEmpty() const
{
    return m_mode == OwnNames && !hasNames(m_modelTagNames) && !hasNames(m_otherNames);
}

StringList RuleTagSet::names() const
{
    StringList all;
    if (m_modelTagNames)
        all.appendList(*m_modelTagNames);
    if (m_otherNames)
        all.appendList(*m_otherNames);
    return all;
}

void RuleTagSet::setNames(const StringList& names)
{
    m_modelTagNames.reset();
    m_otherNames.reset();
    m_mode = OwnNames;
    m_text.clear();
    if (names.count() == 1) {
        const String& only = names.first()->value;
        if (only == modeName(AnyRegisteredTags)) {
            setMode(AnyRegisteredTags);
            return;
        }
        if (only == modeName(AssignableTags)) {
            setMode(AssignableTags);
            return;
        }
    }
    const LibraryModel* model = shellHooks().libraryModel();
    for (const String& name : names) {
        StringList& list = isModelTag(model, name) ? modelTagNameList() : otherNameList();
        list.append(name);
    }
}

// Names that change sides go to the end of their new list, in order.
void RuleTagSet::refresh()
{
    const LibraryModel* model = shellHooks().libraryModel();
    StringList modelTagNames;
    StringList otherNames;
    StringList nowOther;
    if (m_modelTagNames) {
        for (const String& name : *m_modelTagNames)
            (isModelTag(model, name) ? modelTagNames : nowOther).append(name);
    }
    if (m_otherNames) {
        for (const String& name : *m_otherNames)
            (isModelTag(model, name) ? modelTagNames : otherNames).append(name);
    }
    otherNames.appendList(nowOther);
    m_modelTagNames = unlessEmpty(std::move(modelTagNames));
    m_otherNames = unlessEmpty(std::move(otherNames));
}

PointerArray<Tag*> RuleTagSet::modelTags()
{
    refresh();
    PointerArray<Tag*> tags;
    const LibraryModel* model = shellHooks().libraryModel();
    if (!model || !m_modelTagNames)
        return tags;
    for (const String& name : *m_modelTagNames)
        tags.append(model->findTagByName(name));
    return tags;
}

bool RuleTagSet::renameName(const String& oldName, const String& newName)
{
    const bool inModelTags = renameIn(m_modelTagNames, oldName, newName);
    const bool inOthers = renameIn(m_otherNames, oldName, newName);
    return inModelTags || inOthers;
}

void RuleTagSet::clearModelTagNames()
{
    if (m_modelTagNames)
        m_modelTagNames->clear();
}

String RuleTagSet::displayText() const
{
    if (!m_text.isEmpty())
        return m_text;
    return joinedParts(modelTagNamesText(), otherNamesText());
}

// The other names join only while the model-tag names leave room.
String RuleTagSet::shortDisplayText() const
{
    if (!m_text.isEmpty())
        return m_text;
    const String modelTagNames = m_modelTagNames ? shortJoin(*m_modelTagNames) : String();
    if (modelTagNames.length() > shortJoinLength)
        return modelTagNames;
    return shortened(joinedParts(modelTagNames, shortOtherNamesText()));
}

String RuleTagSet::joinedText(const String& word) const
{
    return wordBetween(displayText(), word);
}

String RuleTagSet::shortJoinedText(const String& word) const
{
    return shortened(wordBetween(shortDisplayText(), word));
}

String RuleTagSet::modelTagNamesText() const
{
    return joinedNames(m_modelTagNames);
}

String RuleTagSet::otherNamesText() const
{
    return joinedNames(m_otherNames);
}

String RuleTagSet::shortOtherNamesText() const
{
    return m_otherNames ? shortJoin(*m_otherNames) : String();
}

String RuleTagSet::toSettingsText(RuleText::Form form) const
{
    return RuleText::joined(settingsNames(), RuleText::Piece::Name, form);
}

bool RuleTagSet::needsEscapedForm() const
{
    return RuleText::anyHoldsSeparator(settingsNames(), RuleText::Piece::Name);
}

// A translated mode name may hold a "," too, so it is written as a name.
StringList RuleTagSet::settingsNames() const
{
    if (m_mode == OwnNames)
        return names();
    StringList modeText;
    modeText.append(modeName(m_mode));
    return modeText;
}

String RuleTagSet::shortJoin(const StringList& names)
{
    String text;
    for (const String& name : names) {
        text = joinedParts(text, name);
        if (text.length() > shortJoinLength)
            break;
    }
    return shortened(text);
}

String RuleTagSet::shortened(const String& text)
{
    const Font& font = shortTextFont();
    return font.elidedText(text, Rect(0, 0, shortTextWidth, font.height()), ElideRightWithEllipsis);
}

StringList& RuleTagSet::modelTagNameList()
{
    if (!m_modelTagNames)
        m_modelTagNames.emplace();
    return *m_modelTagNames;
}

StringList& RuleTagSet::otherNameList()
{
    if (!m_otherNames)
        m_otherNames.emplace();
    return *m_otherNames;
}
