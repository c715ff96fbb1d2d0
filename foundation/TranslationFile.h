#pragma once

#include "foundation/ChunkFile.h"
#include "foundation/LanguageInfo.h"
#include "foundation/List.h"
#include "foundation/ListIndex.h"
#include "foundation/String.h"
#include "foundation/StringList.h"

#include <cstdint>

class XmlElement;

// One translated text of a language file.
struct TranslationItem {
    // The names of the enclosing groups, outermost first, joined by "/".
    String context;
    // The English text exactly as in the file.
    String source;
    // The translated text, escape rules applied when it was loaded.
    String translation;
    // String::hash of source followed directly by context.
    std::uint64_t hash = 0;
};

// Groups nested deeper than this fail a load, so a hostile file cannot
// exhaust the stack.
constexpr int maxTranslationGroupDepth = 256;

// A language file read into a flat list of items, from either form:
//
// XML (".xml", UTF-8): <translation language_english=".." language_native=".."
// author=".."><groups><group name=".."><item context="English text"
// translation=".."/><group ...>...</group></group></groups></translation>.
// Every child of "groups" is a group whatever its name; inside a group only
// "item" and "group" are allowed.
//
// Chunk (".lang", format tag "LANG", texts in UTF-8): root node "HEDR" with
// items "ENGL", "NTVL", "ATHR" and "DATE" (seven u32 fields in UTC), root
// node "GRPS" with one node per top-level group; a group has the item
// "NAME" and child nodes "ITEM" (items "CTXT", "TRSN") and "GRUP" (nested
// groups). A missing item reads as empty text, missing date bytes as 0.
//
// Every failed load leaves the file empty. A file without names, or
// without a single item, fails.
//
// Lookups go through an index of the items' sources, contexts and hashes
// that every change of the item list keeps up to date. Change an item's
// context, source or hash only by removing it and adding it again; its
// translation may be edited in place.
class TranslationFile {
public:
    enum Format : int { UnknownFormat = 0, XmlFormat = 1, LangFormat = 2 };

    static constexpr std::uint32_t formatTag = chunkTag("LANG");

    // The product name replaces "%app" in the translations read.
    explicit TranslationFile(const String& productName = String());
    ~TranslationFile();
    TranslationFile(const TranslationFile&) = delete;
    TranslationFile& operator=(const TranslationFile&) = delete;

    const String& productName() const { return m_productName; }
    void setProductName(const String& name) { m_productName = name; }

    // By the extension, in any letter case: "xml" or "lang".
    bool load(const String& path);
    bool loadXml(const String& path);
    bool loadLang(const String& path);
    // The chunk form from bytes; path and name stay empty.
    bool loadFromMemory(const void* data, std::uint64_t size);
    // Empties the header, the items and the group path.
    void clear();

    const LanguageInfo& header() const { return m_header; }
    const String& path() const { return m_header.path; }
    const String& name() const { return m_header.name; }
    const String& englishName() const { return m_header.englishName; }
    const String& nativeName() const { return m_header.nativeName; }
    const String& author() const { return m_header.author; }
    const DateTime& date() const { return m_header.date; }
    void setEnglishName(const String& name) { m_header.englishName = name; }
    void setNativeName(const String& name) { m_header.nativeName = name; }
    void setAuthor(const String& author) { m_header.author = author; }

    const List<TranslationItem*>& items() const { return m_items; }
    bool isEmpty() const { return m_items.isEmpty(); }

    // The first item, in file order, whose source equals the text and, when
    // a context is given, whose context equals it. Texts compare as
    // zero-terminated strings: an item's source or context counts only up to
    // its first null character. Null when none matches or the text is null.
    const TranslationItem* findText(const wchar_t* source, const wchar_t* context = nullptr) const;
    // The first item, in file order, with this hash; null when none.
    const TranslationItem* findHash(std::uint64_t hash) const;

    // Editing and statistics, for tools that make language files.
    bool hasNames() const;
    // Format of the file's own path; UnknownFormat without names.
    int formatOfPath() const;
    // The number of spaces + 1 of each translation, summed.
    int wordCount() const;
    // All characters of the translations, or only those that are not
    // whitespace.
    int characterCount(bool all) const;
    // Every source on its own line, an empty line before each change of
    // context.
    String sourceText() const;
    TranslationItem* findItem(const String& context, const String& source) const;
    // Null, adding nothing, when that context and source exist.
    TranslationItem* addItem(const String& context, const String& source, const String& translation);
    bool removeItem(const String& context, const String& source);
    // Keeps the first of each context and source; returns how many went.
    int removeDuplicateItems();
    // Stable, by context and then source, exactly.
    void sortItems();
    // Writes the chunk form, dated now; false on any failure.
    bool saveLang(const String& path) const;

private:
    bool readXml(const String& path);
    bool readXmlGroup(const XmlElement& group);
    bool readLang(ChunkFile& chunks);
    void readLangHeader(const ChunkNode& header);
    bool readLangGroup(const ChunkNode& group);
    bool enterGroup(const String& name);
    void leaveGroup();
    void appendLoadedItem(const String& source, const String& translation);
    bool finishLoad(bool ok);
    void deleteItems();

    using ItemNode = List<TranslationItem*>::Node;
    void appendItem(TranslationItem* item);
    void indexNode(ItemNode* node);
    void deleteNode(ItemNode*& node);
    ItemNode* findItemNode(const String& context, const String& source) const;
    void rebuildIndex();

    LanguageInfo m_header;
    List<TranslationItem*> m_items;
    // Keyed by the source, and by source and context, each cut at its first
    // null character as the lookups compare them; the full texts are checked
    // by findItem on the few items that share a key.
    TextListIndex<ItemNode> m_bySource;
    TextListIndex<ItemNode> m_bySourceAndContext;
    ListIndex<std::uint64_t, ItemNode> m_byHash;
    // The names of the groups being read, outermost first.
    StringList m_groupPath;
    String m_productName;
};
