#pragma once

#include "foundation/Array.h"
#include "foundation/List.h"
#include "foundation/String.h"

#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

class LibraryModel;
class ScanRule;
class Tag;
class TaggedItem;
struct FileEntry;

// Runs scan rules over the file system and collects what they find as
// result items and result tags, which are not part of the library: the
// scan window shows them for review, the automatic scans merge them into
// the model. Runs on the UI thread and processes no events.
//
// Result items are found by path and result tags by name through indexes
// that give the first match in array order, as a walk over the arrays
// would.
class Scanner {
public:
    // The model is the library whose tags clearing rules empty and whose
    // usage totals follow; it may be null. The arrays receive and own what
    // the scan makes; what they already hold is found like new results.
    Scanner(LibraryModel* model, PointerArray<Tag*>& tags, PointerArray<TaggedItem*>& items);
    Scanner(const Scanner&) = delete;
    Scanner& operator=(const Scanner&) = delete;

    // Applies the valid rules in order; with clearBeforeScan, clearing
    // rules first empty their tags in the model. Unless silent, the wait
    // cursor and the "Scan..." status show meanwhile. True when the item
    // array holds an item at the end; false at once while the model is busy.
    bool scan(const List<ScanRule*>& rules, bool silent, bool clearBeforeScan);

    // The result item of the path (a folder's path ends in '\'), made when
    // there is none.
    TaggedItem* findOrCreateScanItem(const String& path);
    // Gives the item the result tag of the name (ignoring case), made when
    // there is none, unless the item has it already.
    void findOrCreateScanTag(TaggedItem* item, const String& name);

    // Whether the word occurs in the text; with wholeWords only where
    // isJoined finds a boundary on both sides. An empty word never matches.
    static bool matchesWord(const String& text, const String& word, bool matchCase, bool wholeWords);
    // Whether no word boundary lies between the character c at the edge of
    // an occurrence and its neighbour n outside it: digits join digits,
    // letters join letters except at a lower-to-upper step (CamelCase).
    static bool isJoined(wchar_t c, wchar_t n);

    // Deletes every result tag and item and empties both arrays.
    static void deleteResults(PointerArray<Tag*>& tags, PointerArray<TaggedItem*>& items);

private:
    // The names of one rule and their result tags, found on first use.
    struct NameSet {
        std::vector<String> names;
        std::vector<Tag*> tags;
        // The names as searched: lower-cased unless the case matters.
        std::vector<String> searchForms;
    };
    struct ItemChain {
        int first;
        int last;
    };

    void runRule(const ScanRule& rule);
    bool clearsUsedItems(const ScanRule& rule) const;
    void assignAll(const String& key, NameSet& names);
    void assignMatches(const ScanRule& rule, const FileEntry& entry, const String& key, NameSet& words,
                       NameSet& names);
    Tag* tagOf(NameSet& names, std::size_t index);
    void indexItem(int index);
    void indexTag(Tag* tag);
    static NameSet nameSet(const List<String>& names);
    static std::vector<FileEntry> listPaths(const ScanRule& rule);
    static void dropByDate(const ScanRule& rule, std::vector<FileEntry>& entries);
    static String subjectText(const ScanRule& rule, const FileEntry& entry);

    LibraryModel* m_model;
    PointerArray<Tag*>& m_tags;
    PointerArray<TaggedItem*>& m_items;
    // Path hash to the first and last result item of that hash; next
    // links the items of one hash in array order.
    std::unordered_map<std::uint32_t, ItemChain> m_itemChains;
    std::vector<int> m_nextWithHash;
    // Lower-cased tag name to the first result tag of that name.
    std::unordered_map<std::wstring, Tag*> m_tagNames;
};
