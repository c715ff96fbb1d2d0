#include "foundation/TranslationFile.h"

#include "foundation/CharHelpers.h"
#include "foundation/FileSystem.h"
#include "foundation/Path.h"
#include "foundation/TextFile.h"
#include "foundation/Translator.h"
#include "foundation/XmlDocument.h"

#include <algorithm>
#include <string>
#include <string_view>
#include <vector>

namespace {

// Seven u32 fields: year, month, day, hour, minute, second, millisecond.
constexpr int dateFieldCount = 7;
constexpr int dateByteCount = dateFieldCount * 4;

const String& groupSeparator()
{
    static const String separator(L"/");
    return separator;
}

bool hasTag(const ChunkNode& node, const char* tag)
{
    return strCompare(node.rawTag(), tag) == 0;
}

String itemText(const ChunkNode& node, const char* tag)
{
    const ChunkItem* item = node.item(tag);
    return item ? item->getString() : String();
}

String withUpperFirst(const String& text)
{
    if (text.isEmpty())
        return text;
    String result(text);
    result.data()[0] = toUpperChar(result.at(0));
    return result;
}

// Missing bytes count as 0; the stored value is UTC.
DateTime itemDate(const ChunkNode& node, const char* tag)
{
    std::uint8_t bytes[dateByteCount] = {};
    if (const ChunkItem* item = node.item(tag))
        item->copyTo(bytes, dateByteCount);
    int fields[dateFieldCount];
    for (int i = 0; i < dateFieldCount; ++i) {
        const std::uint8_t* p = bytes + 4 * i;
        fields[i] = static_cast<int>(std::uint32_t(p[0]) | std::uint32_t(p[1]) << 8 | std::uint32_t(p[2]) << 16 |
                                     std::uint32_t(p[3]) << 24);
    }
    return DateTime(fields[0], fields[1], fields[2], fields[3], fields[4], fields[5], fields[6]).toLocal();
}

void setItemDate(ChunkItem& item, const DateTime& value)
{
    const int fields[dateFieldCount] = {value.year(), value.month(),  value.day(),        value.hour(),
                                        value.minute(), value.second(), value.millisecond()};
    std::uint8_t bytes[dateByteCount];
    for (int i = 0; i < dateFieldCount; ++i) {
        for (int b = 0; b < 4; ++b)
            bytes[4 * i + b] = static_cast<std::uint8_t>(static_cast<std::uint32_t>(fields[i]) >> (8 * b));
    }
    item.setBytes(bytes, dateByteCount);
}

// The group node of this name below parent, made when missing.
ChunkNode* groupNode(ChunkNode& parent, const String& name)
{
    for (ChunkNode* child : parent.children()) {
        if (hasTag(*child, "GRUP") && itemText(*child, "NAME") == name)
            return child;
    }
    ChunkNode* group = parent.addChildNode("GRUP");
    group->addItem("NAME")->setString(name);
    return group;
}

// An empty context still needs a group: items directly under "GRPS" would
// be read back as groups.
ChunkNode* groupNodeForContext(ChunkNode& groups, const String& context)
{
    StringList parts = String::split(context, groupSeparator());
    if (parts.isEmpty())
        parts.append(String());
    ChunkNode* node = &groups;
    for (const String& part : parts)
        node = groupNode(*node, part);
    return node;
}

std::uint64_t itemHash(const String& source, const String& context)
{
    return (source + context).hash();
}

// The text as far as a zero-terminated comparison sees it.
std::wstring_view cText(const String& text)
{
    return std::wstring_view(text.c_str());
}

// Neither part holds a null character once cut at its first, so a null
// character between them keeps every pair apart.
std::wstring sourceAndContextKey(std::wstring_view source, std::wstring_view context)
{
    std::wstring key;
    key.reserve(source.size() + 1 + context.size());
    key.append(source);
    key.push_back(L'\0');
    key.append(context);
    return key;
}

std::wstring itemKey(const TranslationItem& item)
{
    return sourceAndContextKey(cText(item.source), cText(item.context));
}

} // namespace

TranslationFile::TranslationFile(const String& productName) : m_productName(productName) {}

TranslationFile::~TranslationFile()
{
    deleteItems();
}

void TranslationFile::deleteItems()
{
    for (TranslationItem* item : m_items)
        delete item;
    m_items.clear();
    rebuildIndex();
}

void TranslationFile::appendItem(TranslationItem* item)
{
    indexNode(m_items.append(item));
}

void TranslationFile::indexNode(ItemNode* node)
{
    const TranslationItem& item = *node->value;
    m_bySource.add(std::wstring(cText(item.source)), node);
    m_bySourceAndContext.add(itemKey(item), node);
    m_byHash.add(item.hash, node);
}

// Deletes the item and its node, and moves node on to the next one.
void TranslationFile::deleteNode(ItemNode*& node)
{
    const TranslationItem& item = *node->value;
    // A key edited in place is not found; rebuilding then keeps the index
    // from pointing at the deleted node.
    const bool indexed = m_bySource.remove(cText(item.source), node) &&
                         m_bySourceAndContext.remove(itemKey(item), node) && m_byHash.remove(item.hash, node);
    delete node->value;
    m_items.removeNode(node);
    if (!indexed)
        rebuildIndex();
}

void TranslationFile::rebuildIndex()
{
    m_bySource.clear();
    m_bySourceAndContext.clear();
    m_byHash.clear();
    for (ItemNode* node = m_items.first(); node; node = node->next)
        indexNode(node);
}

void TranslationFile::clear()
{
    m_header = LanguageInfo();
    deleteItems();
    m_groupPath.clear();
}

bool TranslationFile::load(const String& path)
{
    clear();
    if (!fileExists(path))
        return false;
    const String extension = Path::extension(path, Path::LowerCase);
    if (extension == L"xml")
        return loadXml(path);
    if (extension == L"lang")
        return loadLang(path);
    return false;
}

bool TranslationFile::loadXml(const String& path)
{
    clear();
    m_header.path = path;
    m_header.name = Path::baseName(path);
    return finishLoad(readXml(path));
}

bool TranslationFile::loadLang(const String& path)
{
    clear();
    m_header.path = path;
    m_header.name = Path::baseName(path);
    ChunkFile chunks;
    chunks.setFormatTag(formatTag);
    return finishLoad(chunks.load(path) && readLang(chunks));
}

bool TranslationFile::loadFromMemory(const void* data, std::uint64_t size)
{
    clear();
    ChunkFile chunks;
    chunks.setFormatTag(formatTag);
    return finishLoad(chunks.loadFromMemory(data, size) && readLang(chunks));
}

// A file that reads without error but holds no item still fails.
bool TranslationFile::finishLoad(bool ok)
{
    if (ok && !m_items.isEmpty())
        return true;
    clear();
    return false;
}

bool TranslationFile::readXml(const String& path)
{
    XmlDocument document;
    if (!document.load(path, TextUtf8))
        return false;
    const XmlElement* translation = document.findElement(L"translation");
    if (!translation)
        return false;
    m_header.englishName = translation->attribute(L"language_english");
    m_header.nativeName = translation->attribute(L"language_native");
    m_header.author = translation->attribute(L"author");
    const XmlElement* groups = translation->child(L"groups");
    if (!hasNames() || !groups)
        return false;
    for (const XmlElement* group : groups->children()) {
        if (!readXmlGroup(*group))
            return false;
    }
    return true;
}

bool TranslationFile::readXmlGroup(const XmlElement& group)
{
    if (!enterGroup(group.attribute(L"name")))
        return false;
    for (const XmlElement* child : group.children()) {
        if (child->name() == L"item")
            appendLoadedItem(child->attribute(L"context"), child->attribute(L"translation"));
        else if (child->name() != L"group" || !readXmlGroup(*child))
            return false;
    }
    leaveGroup();
    return true;
}

bool TranslationFile::readLang(ChunkFile& chunks)
{
    const ChunkNode* header = chunks.root()->childNode("HEDR");
    const ChunkNode* groups = chunks.root()->childNode("GRPS");
    if (!header || !groups)
        return false;
    readLangHeader(*header);
    if (!hasNames())
        return false;
    for (const ChunkNode* group : groups->children()) {
        if (!readLangGroup(*group))
            return false;
    }
    return true;
}

void TranslationFile::readLangHeader(const ChunkNode& header)
{
    m_header.englishName = withUpperFirst(itemText(header, "ENGL"));
    m_header.nativeName = withUpperFirst(itemText(header, "NTVL"));
    m_header.author = itemText(header, "ATHR");
    m_header.date = itemDate(header, "DATE");
}

bool TranslationFile::readLangGroup(const ChunkNode& group)
{
    if (!enterGroup(itemText(group, "NAME")))
        return false;
    for (const ChunkNode* child : group.children()) {
        if (hasTag(*child, "ITEM"))
            appendLoadedItem(itemText(*child, "CTXT"), itemText(*child, "TRSN"));
        else if (!hasTag(*child, "GRUP") || !readLangGroup(*child))
            return false;
    }
    leaveGroup();
    return true;
}

bool TranslationFile::enterGroup(const String& name)
{
    if (m_groupPath.count() >= maxTranslationGroupDepth)
        return false;
    m_groupPath.append(name);
    return true;
}

void TranslationFile::leaveGroup()
{
    auto* last = m_groupPath.last();
    m_groupPath.removeNode(last);
}

void TranslationFile::appendLoadedItem(const String& source, const String& translation)
{
    auto* item = new TranslationItem;
    item->context = m_groupPath.join(groupSeparator());
    item->source = source;
    item->translation = applyTranslationEscapes(translation, m_productName);
    item->hash = itemHash(source, item->context);
    appendItem(item);
}

bool TranslationFile::hasNames() const
{
    return !m_header.englishName.isEmpty() && !m_header.nativeName.isEmpty();
}

int TranslationFile::formatOfPath() const
{
    if (!hasNames())
        return UnknownFormat;
    const String extension = Path::extension(m_header.path, Path::LowerCase);
    if (extension == L"xml")
        return XmlFormat;
    if (extension == L"lang")
        return LangFormat;
    return UnknownFormat;
}

int TranslationFile::wordCount() const
{
    int words = 0;
    for (const TranslationItem* item : m_items)
        words += item->translation.count(L' ') + 1;
    return words;
}

int TranslationFile::characterCount(bool all) const
{
    int characters = 0;
    for (const TranslationItem* item : m_items) {
        const String& text = item->translation;
        for (int i = 0; i < text.length(); ++i) {
            if (all || !isSpaceChar(text.at(i)))
                ++characters;
        }
    }
    return characters;
}

String TranslationFile::sourceText() const
{
    String text;
    const String* previousContext = nullptr;
    for (const TranslationItem* item : m_items) {
        if (previousContext && *previousContext != item->context)
            text += String::lineBreak();
        text += item->source;
        text += String::lineBreak();
        previousContext = &item->context;
    }
    return text;
}

const TranslationItem* TranslationFile::findText(const wchar_t* source, const wchar_t* context) const
{
    if (!source)
        return nullptr;
    const ItemNode* node = context ? m_bySourceAndContext.first(sourceAndContextKey(source, context))
                                   : m_bySource.first(std::wstring_view(source));
    return node ? node->value : nullptr;
}

const TranslationItem* TranslationFile::findHash(std::uint64_t hash) const
{
    const ItemNode* node = m_byHash.first(hash);
    return node ? node->value : nullptr;
}

// The texts compare in full here, so only the items that share the cut key
// are checked, in file order.
TranslationFile::ItemNode* TranslationFile::findItemNode(const String& context, const String& source) const
{
    const std::wstring key = sourceAndContextKey(cText(source), cText(context));
    const std::vector<ItemNode*>* nodes = m_bySourceAndContext.nodes(key);
    if (!nodes)
        return nullptr;
    for (ItemNode* node : *nodes) {
        if (node->value->context == context && node->value->source == source)
            return node;
    }
    return nullptr;
}

TranslationItem* TranslationFile::findItem(const String& context, const String& source) const
{
    const ItemNode* node = findItemNode(context, source);
    return node ? node->value : nullptr;
}

TranslationItem* TranslationFile::addItem(const String& context, const String& source, const String& translation)
{
    if (findItemNode(context, source))
        return nullptr;
    auto* item = new TranslationItem{context, source, translation, itemHash(source, context)};
    appendItem(item);
    return item;
}

bool TranslationFile::removeItem(const String& context, const String& source)
{
    ItemNode* node = findItemNode(context, source);
    if (!node)
        return false;
    deleteNode(node);
    return true;
}

// Every duplicate is picked while the index still holds all items, then all
// go at once and the index is rebuilt, so many copies of one text cost no
// more than distinct texts.
int TranslationFile::removeDuplicateItems()
{
    std::vector<ItemNode*> duplicates;
    for (ItemNode* node = m_items.first(); node; node = node->next) {
        if (findItemNode(node->value->context, node->value->source) != node)
            duplicates.push_back(node);
    }
    for (ItemNode* node : duplicates) {
        delete node->value;
        m_items.removeNode(node);
    }
    if (!duplicates.empty())
        rebuildIndex();
    return static_cast<int>(duplicates.size());
}

void TranslationFile::sortItems()
{
    std::vector<List<TranslationItem*>::Node*> nodes;
    for (auto* node = m_items.first(); node; node = node->next)
        nodes.push_back(node);
    std::stable_sort(nodes.begin(), nodes.end(), [](const auto* a, const auto* b) {
        const int byContext = wcsCompare(a->value->context.c_str(), b->value->context.c_str());
        if (byContext != 0)
            return byContext < 0;
        return wcsCompare(a->value->source.c_str(), b->value->source.c_str()) < 0;
    });
    m_items.relink(nodes.data(), static_cast<int>(nodes.size()));
    // Each key keeps its items in file order, which has just changed.
    rebuildIndex();
}

bool TranslationFile::saveLang(const String& path) const
{
    ChunkFile chunks;
    chunks.setFormatTag(formatTag);
    ChunkNode* header = chunks.root()->addChildNode("HEDR");
    header->addItem("ENGL")->setString(m_header.englishName);
    header->addItem("NTVL")->setString(m_header.nativeName);
    header->addItem("ATHR")->setString(m_header.author);
    setItemDate(*header->addItem("DATE"), DateTime::currentUtc());
    ChunkNode* groups = chunks.root()->addChildNode("GRPS");
    for (const TranslationItem* item : m_items) {
        ChunkNode* node = groupNodeForContext(*groups, item->context)->addChildNode("ITEM");
        node->addItem("CTXT")->setString(item->source);
        node->addItem("TRSN")->setString(item->translation);
    }
    return chunks.save(path);
}
