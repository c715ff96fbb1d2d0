#include "library/Scanner.h"

#include "foundation/CharHelpers.h"
#include "foundation/DateTime.h"
#include "foundation/FileSystem.h"
#include "foundation/Hooks.h"
#include "foundation/Path.h"
#include "library/LibraryModel.h"
#include "library/ScanRule.h"
#include "library/Tag.h"
#include "library/TaggedItem.h"

#include <optional>

namespace {

constexpr std::int64_t fileTimeUnitsPerHour = 36000000000LL;

std::wstring lowerKey(const String& text)
{
    return std::wstring(text.toLower().view());
}

// The listing flags of a rule: its walk and its Filter's item kind.
int listingFlags(const ScanRule& rule)
{
    int flags = 0;
    if (rule.scanSubfolders())
        flags |= Recurse;
    if (!rule.scanHidden())
        flags |= SkipHidden;
    switch (rule.filter().itemKind()) {
    case Filter::Files:
        return flags | ListFiles;
    case Filter::Folders:
        return flags | ListFolders;
    default:
        return flags | ListFiles | ListFolders;
    }
}

// Whole hours from the time stamp to now; 0 for an unknown or future time.
// Signed 64 bits hold any difference of two file times in hours.
std::int64_t ageInHours(std::uint64_t stamp, std::uint64_t now)
{
    if (stamp == 0 || stamp >= now)
        return 0;
    return static_cast<std::int64_t>((now - stamp) / fileTimeUnitsPerHour);
}

// matchesWord over a text whose search form (lower-cased unless the case
// matters) is given beside it, so the classes of the original characters
// decide the word boundaries.
bool matchesIn(const String& text, const String& searchText, const String& word, bool wholeWords)
{
    const int length = text.length();
    const int wordLength = word.length();
    if (wordLength == 0 || length < wordLength)
        return false;
    int at = searchText.indexOf(word, 0, true);
    if (at < 0)
        return false;
    if (!wholeWords)
        return true;
    const wchar_t* chars = text.c_str();
    while (at >= 0) {
        const int end = at + wordLength;
        const bool joinedBefore = at > 0 && Scanner::isJoined(chars[at], chars[at - 1]);
        if (!joinedBefore && (end == length || !Scanner::isJoined(chars[end - 1], chars[end])))
            return true;
        if (at + 1 >= length)
            return false;
        at = searchText.indexOf(word, at + 1, true);
    }
    return false;
}

} // namespace

Scanner::Scanner(LibraryModel* model, PointerArray<Tag*>& tags, PointerArray<TaggedItem*>& items)
    : m_model(model), m_tags(tags), m_items(items)
{
    m_nextWithHash.reserve(static_cast<std::size_t>(items.count()));
    for (int i = 0; i < items.count(); ++i)
        indexItem(i);
    for (Tag* tag : tags)
        indexTag(tag);
}

bool Scanner::scan(const List<ScanRule*>& rules, bool silent, bool clearBeforeScan)
{
    const LibraryModel::BusyScope busy(m_model);
    if (!busy.acquired())
        return false;
    std::optional<ScopedWaitCursor> waitCursor;
    if (!silent) {
        waitCursor.emplace();
        shellHooks().setStatus(ShellHooks::StatusScanning);
    }
    bool clearedUsedItems = false;
    for (const ScanRule* rule : rules) {
        if (!rule->isValid())
            continue;
        if (clearBeforeScan && clearsUsedItems(*rule))
            clearedUsedItems = true;
        runRule(*rule);
    }
    if (clearedUsedItems && m_model)
        m_model->recomputeItemUsage();
    if (!silent)
        shellHooks().setStatus(ShellHooks::StatusReady);
    return !m_items.isEmpty();
}

// Clearing a rule's tags deletes the items it leaves without tags. Only an
// item that was used counts in the item usage totals, and recounting them
// walks the whole library, so the caller recounts only when a cleared tag
// held one.
bool Scanner::clearsUsedItems(const ScanRule& rule) const
{
    if (!rule.emptiesTagsBeforeScan())
        return false;
    bool holdsUsed = false;
    for (const String& name : rule.assignableTagNames()) {
        const Tag* tag = m_model ? m_model->findTagByName(name) : nullptr;
        for (int i = 0; tag && !holdsUsed && i < tag->itemCount(); ++i)
            holdsUsed = tag->items()[i]->usage() > 0;
    }
    return rule.clearAssignableTags() && holdsUsed;
}

void Scanner::runRule(const ScanRule& rule)
{
    std::vector<FileEntry> entries = listPaths(rule);
    if (rule.hasDateCondition())
        dropByDate(rule, entries);
    NameSet names = nameSet(rule.assignableTagNames());
    NameSet words = rule.hasContentCondition() ? nameSet(rule.searchWordNames()) : NameSet();
    for (const String& word : words.names)
        words.searchForms.push_back(rule.matchCase() ? word : word.toLower());
    for (const FileEntry& entry : entries) {
        const String key = entry.isFolder ? entry.path + L'\\' : entry.path;
        if (rule.hasContentCondition())
            assignMatches(rule, entry, key, words, names);
        else
            assignAll(key, names);
    }
}

// The rule's listing without the excluded extensions.
std::vector<FileEntry> Scanner::listPaths(const ScanRule& rule)
{
    std::vector<FileEntry> entries;
    const Filter& filter = rule.filter();
    listFileEntries(entries, rule.scanPath(), listingFlags(rule), filter.includeExtensions());
    const StringList& excluded = filter.excludeExtensions();
    if (excluded.isEmpty())
        return entries;
    std::erase_if(entries, [&](const FileEntry& entry) {
        const String extension = Path::extension(entry.path);
        return !extension.isEmpty() && excluded.containsIgnoreCase(extension);
    });
    return entries;
}

// Keeps the entries older (moreThan) or newer than the rule's days, by the
// time stamps the listing read.
void Scanner::dropByDate(const ScanRule& rule, std::vector<FileEntry>& entries)
{
    const std::uint64_t now = DateTime::currentUtc().toFileTime();
    const std::int64_t limit = static_cast<std::int64_t>(rule.days()) * 24;
    const bool creation = rule.dateKind() == ScanRule::CreationTime;
    std::erase_if(entries, [&](const FileEntry& entry) {
        const std::int64_t hours = ageInHours(creation ? entry.creationTime : entry.writeTime, now);
        return rule.moreThan() ? hours <= limit : hours >= limit;
    });
}

void Scanner::assignAll(const String& key, NameSet& names)
{
    TaggedItem* item = findOrCreateScanItem(key);
    for (std::size_t i = 0; i < names.names.size(); ++i) {
        Tag* tag = tagOf(names, i);
        if (!item->hasTag(tag))
            Tag::linkItem(tag, item);
    }
}

void Scanner::assignMatches(const ScanRule& rule, const FileEntry& entry, const String& key, NameSet& words,
                            NameSet& names)
{
    const String text = subjectText(rule, entry);
    const String searchText = rule.matchCase() ? text : text.toLower();
    const bool wordsAreTags = rule.searchWords().isAssignableTags();
    TaggedItem* item = nullptr;
    for (std::size_t i = 0; i < words.names.size(); ++i) {
        const bool found = matchesIn(text, searchText, words.searchForms[i], rule.wholeWords());
        if (rule.allWords()) {
            if (!found)
                return;
            continue;
        }
        if (!found)
            continue;
        if (!wordsAreTags) {
            assignAll(key, names);
            return;
        }
        if (!item)
            item = findOrCreateScanItem(key);
        Tag* tag = tagOf(words, i);
        if (!item->hasTag(tag))
            Tag::linkItem(tag, item);
    }
    if (rule.allWords())
        assignAll(key, names);
}

// Subject 0 the name without its extension, 1 the name of the folder that
// holds the entry, 2 the whole path.
String Scanner::subjectText(const ScanRule& rule, const FileEntry& entry)
{
    switch (rule.subject()) {
    case ScanRule::ItemName:
        return Path::baseName(entry.path);
    case ScanRule::ParentFolderName:
        return Path::fileName(entry.path.mid(0, entry.folderLength - 1));
    default:
        return entry.path;
    }
}

Scanner::NameSet Scanner::nameSet(const List<String>& names)
{
    NameSet set;
    for (const String& name : names)
        set.names.push_back(name);
    set.tags.assign(set.names.size(), nullptr);
    return set;
}

// The result tag of the set's name at the index, resolved once per rule.
Tag* Scanner::tagOf(NameSet& names, std::size_t index)
{
    Tag*& tag = names.tags[index];
    if (tag)
        return tag;
    const String& name = names.names[index];
    const auto found = name.isEmpty() ? m_tagNames.end() : m_tagNames.find(lowerKey(name));
    if (found != m_tagNames.end())
        return tag = found->second;
    tag = new Tag(name);
    tag->setDate(DateTime::currentUtc());
    m_tags.append(tag);
    indexTag(tag);
    return tag;
}

TaggedItem* Scanner::findOrCreateScanItem(const String& path)
{
    const std::uint32_t hash = TaggedItem::hashOfPath(path);
    const auto chain = m_itemChains.find(hash);
    if (chain != m_itemChains.end()) {
        for (int i = chain->second.first; i >= 0; i = m_nextWithHash[static_cast<std::size_t>(i)]) {
            if (m_items[i]->samePath(path, hash))
                return m_items[i];
        }
    }
    auto* item = new TaggedItem;
    item->setPath(path);
    item->setDate(DateTime::currentUtc());
    m_items.append(item);
    indexItem(m_items.count() - 1);
    return item;
}

void Scanner::findOrCreateScanTag(TaggedItem* item, const String& name)
{
    NameSet names{{name}, {nullptr}, {}};
    Tag* tag = tagOf(names, 0);
    if (!item->hasTag(tag))
        Tag::linkItem(tag, item);
}

void Scanner::indexItem(int index)
{
    m_nextWithHash.push_back(-1);
    const auto [chain, added] = m_itemChains.try_emplace(m_items[index]->pathHash(), ItemChain{index, index});
    if (added)
        return;
    m_nextWithHash[static_cast<std::size_t>(chain->second.last)] = index;
    chain->second.last = index;
}

void Scanner::indexTag(Tag* tag)
{
    if (!tag->name().isEmpty())
        m_tagNames.try_emplace(lowerKey(tag->name()), tag);
}

bool Scanner::matchesWord(const String& text, const String& word, bool matchCase, bool wholeWords)
{
    if (matchCase)
        return matchesIn(text, text, word, wholeWords);
    return matchesIn(text, text.toLower(), word.toLower(), wholeWords);
}

bool Scanner::isJoined(wchar_t c, wchar_t n)
{
    if (isSpaceChar(n))
        return false;
    if (isDigitChar(c))
        return isDigitChar(n);
    if (!isAlphaChar(n))
        return false;
    if (!isLowerChar(c))
        return isUpperChar(n);
    return isLowerChar(n);
}

void Scanner::deleteResults(PointerArray<Tag*>& tags, PointerArray<TaggedItem*>& items)
{
    for (TaggedItem* item : items)
        delete item;
    items.clear();
    for (Tag* tag : tags)
        delete tag;
    tags.clear();
}
