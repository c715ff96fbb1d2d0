#include "library/LibraryModel.h"

#include "foundation/Application.h"
#include "foundation/ByteArray.h"
#include "foundation/FileSystem.h"
#include "foundation/Hooks.h"
#include "foundation/Path.h"

#include <algorithm>

namespace {

// Usages come from the library file; a damaged one must not make the
// totals overflow into undefined behaviour, so sums wrap.
std::int64_t wrappingAdd(std::int64_t a, std::int64_t b)
{
    return static_cast<std::int64_t>(static_cast<std::uint64_t>(a) + static_cast<std::uint64_t>(b));
}

// A path the library file can hold: not empty, at most maxPathBytes of UTF-8.
bool fitsLibraryFile(const String& path)
{
    if (path.isEmpty())
        return false;
    // No UTF-16 unit takes more than 3 UTF-8 bytes.
    if (path.length() * 3 <= TaggedItem::maxPathBytes)
        return true;
    return path.toUtf8().size() <= TaggedItem::maxPathBytes;
}

// A path naming an existing folder is looked up with its final '\', as
// the item stores it.
String withFolderSeparator(const String& path)
{
    if (path.isEmpty() || path.endsWith(L'\\') || !directoryExists(path))
        return path;
    return path + L'\\';
}

String programFolder()
{
    const Application* application = Application::instance();
    if (application)
        return application->applicationDirectory();
    return Path::directoryOf(Path::executablePath());
}

// Deletes every record a list or array owns and empties it.
template <typename Pointers>
void deleteAll(Pointers& pointers)
{
    for (auto* pointer : pointers)
        delete pointer;
    pointers.clear();
}

std::wstring lowerName(const String& name)
{
    return std::wstring(name.toLower().view());
}

} // namespace

LibraryModel::LibraryModel()
    : m_background(Colour(0xFF699DCDu)),
      m_foreground(Colour(0xFFFFFFFFu)),
      m_selectedForeground(Colour(0xFF306392u))
{
    shellHooks().imageByName(L"icon_not_found_16x16", m_notFoundIcon16);
    shellHooks().imageByName(L"icon_not_found_48x48", m_notFoundIcon48);
    loadAppearanceSettings();
}

LibraryModel::~LibraryModel()
{
    clear();
    deleteAll(m_scanRules);
    deleteAll(m_filters);
    // The component resets through the model, so it goes while the members live.
    m_database.reset();
}

void LibraryModel::setBackgroundImagePath(const String& path)
{
    m_backgroundImagePath = path;
    shellHooks().reloadTagCloudBackground();
}

void LibraryModel::setItemsCacheMaxSize(int megabytes)
{
    m_itemsCacheMaxSize = std::max(megabytes, 0);
}

bool LibraryModel::containsTag(const Tag* tag) const
{
    return tag && m_tags.lastIndexOf(tag) >= 0;
}

bool LibraryModel::containsItem(const TaggedItem* item) const
{
    return item && m_items.lastIndexOf(item) >= 0;
}

Tag* LibraryModel::findTagByName(const String& name) const
{
    return findTagByName(name, m_tags);
}

Tag* LibraryModel::findTagByName(const String& name, const PointerArray<Tag*>& tags)
{
    if (name.isEmpty())
        return nullptr;
    for (Tag* tag : tags) {
        if (String::equalsIgnoreCase(tag->name(), name))
            return tag;
    }
    return nullptr;
}

TaggedItem* LibraryModel::findItemByPath(const String& path) const
{
    const String key = withFolderSeparator(path);
    const std::uint32_t hash = TaggedItem::hashOfPath(key);
    // The candidates come in no order; the model's order is the order of
    // the sequence numbers.
    TaggedItem* first = nullptr;
    m_pathIndex.forEach(hash, [&](TaggedItem* item) {
        if (item->samePath(key, hash) && (!first || item->m_sequence < first->m_sequence))
            first = item;
    });
    return first;
}

TaggedItem* LibraryModel::findItemByPath(const String& path, const PointerArray<TaggedItem*>& items)
{
    const String key = withFolderSeparator(path);
    const std::uint32_t hash = TaggedItem::hashOfPath(key);
    for (TaggedItem* item : items) {
        if (item->samePath(key, hash))
            return item;
    }
    return nullptr;
}

TaggedItem* LibraryModel::addItem(String path, std::int64_t usage, const DateTime& date)
{
    if (!fitsLibraryFile(path))
        return nullptr;
    auto* item = new TaggedItem;
    item->setPath(std::move(path));
    if (!fitsLibraryFile(item->path())) {
        delete item;
        return nullptr;
    }
    item->setDate(date);
    item->setUsage(usage);
    return adopt(item);
}

void LibraryModel::reserve(int tagCount, int itemCount)
{
    m_tags.reserve(m_tags.count() + std::max(tagCount, 0));
    m_items.reserve(m_items.count() + std::max(itemCount, 0));
    m_pathIndex.reserve(m_pathIndex.size() + static_cast<std::size_t>(std::max(itemCount, 0)));
}

TaggedItem* LibraryModel::adopt(TaggedItem* item)
{
    item->m_model = this;
    item->m_sequence = m_nextSequence++;
    m_items.append(item);
    m_pathIndex.insert(item->pathHash(), item);
    return item;
}

void LibraryModel::itemPathChanging(TaggedItem* item)
{
    m_pathIndex.erase(item->pathHash(), item);
}

void LibraryModel::itemPathChanged(TaggedItem* item)
{
    m_pathIndex.insert(item->pathHash(), item);
}

Tag* LibraryModel::addTag(const String& name)
{
    return addTagWithUsage(name, 0, DateTime::currentUtc());
}

Tag* LibraryModel::addTagWithUsage(const String& name, std::int64_t usage, const DateTime& date)
{
    auto* tag = new Tag(name);
    tag->setDate(date);
    tag->setUsage(usage);
    m_tags.append(tag);
    return tag;
}

void LibraryModel::deleteItem(TaggedItem* item, bool correctTotals)
{
    if (!item || item->m_model != this)
        return;
    const std::int64_t usage = item->usage();
    unlinkItem(item);
    m_items.removeOne(item);
    m_pathIndex.erase(item->pathHash(), item);
    leaveMergeSnapshot(item);
    delete item;
    if (!correctTotals)
        return;
    if (usage == m_largestItemUsage)
        recomputeItemUsage();
    else if (usage > 0)
        m_totalItemUsage = wrappingAdd(m_totalItemUsage, -usage);
}

void LibraryModel::deleteItems(const PointerArray<TaggedItem*>& items, bool correctTotals)
{
    std::unordered_set<TaggedItem*> doomed;
    bool recompute = false;
    std::int64_t removedUsage = 0;
    for (TaggedItem* item : items) {
        if (!item || item->m_model != this || !doomed.insert(item).second)
            continue;
        recompute = recompute || item->usage() == m_largestItemUsage;
        if (item->usage() > 0)
            removedUsage = wrappingAdd(removedUsage, item->usage());
    }
    deleteOwnedItems(doomed);
    if (!correctTotals || doomed.empty())
        return;
    if (recompute)
        recomputeItemUsage();
    else
        m_totalItemUsage = wrappingAdd(m_totalItemUsage, -removedUsage);
}

// One pass over each tag that lists a doomed item and one over the item
// array, instead of a search per item.
void LibraryModel::deleteOwnedItems(const std::unordered_set<TaggedItem*>& doomed)
{
    if (doomed.empty())
        return;
    const auto isDoomed = [&doomed](TaggedItem* item) { return doomed.count(item) != 0; };
    std::unordered_set<Tag*> tags;
    for (TaggedItem* item : doomed)
        tags.insert(item->m_tags.begin(), item->m_tags.end());
    for (Tag* tag : tags)
        tag->m_items.removeIf(isDoomed);
    m_items.removeIf(isDoomed);
    for (TaggedItem* item : doomed) {
        m_pathIndex.erase(item->pathHash(), item);
        leaveMergeSnapshot(item);
        delete item;
    }
}

int LibraryModel::removeTag(Tag* tag)
{
    const int index = m_tags.lastIndexOf(tag);
    if (index < 0)
        return 0;
    const std::int64_t usage = tag->usage();
    std::unordered_set<TaggedItem*> orphans;
    for (TaggedItem* item : tag->m_items) {
        item->m_tags.removeOne(tag);
        if (item->m_tags.isEmpty() && item->m_model == this)
            orphans.insert(item);
    }
    tag->m_items.clear();
    deleteOwnedItems(orphans);
    m_tags.removeAt(index);
    delete tag;
    if (usage == m_largestTagUsage)
        recomputeTagUsage();
    else
        m_totalTagUsage = wrappingAdd(m_totalTagUsage, -usage);
    if (!orphans.empty())
        recomputeItemUsage();
    return static_cast<int>(orphans.size());
}

bool LibraryModel::removeForeignTags(PointerArray<Tag*>& tags) const
{
    const std::unordered_set<const Tag*> owned(m_tags.begin(), m_tags.end());
    return tags.removeIf([&owned](Tag* tag) { return !tag || owned.count(tag) == 0; }) > 0;
}

void LibraryModel::clear()
{
    endMerge();
    deleteAll(m_tags);
    deleteAll(m_items);
    m_pathIndex.clear();
}

int LibraryModel::untaggedItemCount() const
{
    return static_cast<int>(
        std::count_if(m_items.begin(), m_items.end(), [](const TaggedItem* item) { return item->tagCount() == 0; }));
}

bool LibraryModel::containsNameIgnoringCase(const String& name, const StringList& list)
{
    return !name.isEmpty() && list.containsIgnoreCase(name);
}

void LibraryModel::unlink(Tag* tag, TaggedItem* item)
{
    tag->m_items.removeOne(item);
    item->m_tags.removeOne(tag);
}

void LibraryModel::unlinkItem(TaggedItem* item)
{
    for (Tag* tag : item->m_tags)
        tag->m_items.removeOne(item);
    item->m_tags.clear();
}

void LibraryModel::unlinkTagItems(Tag* tag, bool deleteOrphans)
{
    std::unordered_set<TaggedItem*> orphans;
    for (TaggedItem* item : tag->m_items) {
        item->m_tags.removeOne(tag);
        if (deleteOrphans && item->m_tags.isEmpty() && item->m_model == this)
            orphans.insert(item);
    }
    tag->m_items.clear();
    deleteOwnedItems(orphans);
}

void LibraryModel::recordTagUse(Tag* tag)
{
    tag->setUsage(wrappingAdd(tag->usage(), 1));
    m_totalTagUsage = wrappingAdd(m_totalTagUsage, 1);
    m_largestTagUsage = std::max(m_largestTagUsage, tag->usage());
}

// The item total sums positive usages only, so a use that leaves the usage
// at 0 or below adds nothing to it.
void LibraryModel::recordItemUse(TaggedItem* item)
{
    item->setUsage(wrappingAdd(item->usage(), 1));
    if (item->usage() > 0)
        m_totalItemUsage = wrappingAdd(m_totalItemUsage, 1);
    m_largestItemUsage = std::max(m_largestItemUsage, item->usage());
}

void LibraryModel::recomputeTagUsage()
{
    m_largestTagUsage = 0;
    m_totalTagUsage = 0;
    for (const Tag* tag : m_tags) {
        m_largestTagUsage = std::max(m_largestTagUsage, tag->usage());
        m_totalTagUsage = wrappingAdd(m_totalTagUsage, tag->usage());
    }
}

void LibraryModel::recomputeItemUsage()
{
    m_largestItemUsage = 0;
    m_totalItemUsage = 0;
    for (const TaggedItem* item : m_items) {
        m_largestItemUsage = std::max(m_largestItemUsage, item->usage());
        if (item->usage() > 0)
            m_totalItemUsage = wrappingAdd(m_totalItemUsage, item->usage());
    }
}

void LibraryModel::setTagUsage(Tag* tag, std::int64_t usage)
{
    tag->setUsage(usage);
    recomputeTagUsage();
}

void LibraryModel::setItemUsage(TaggedItem* item, std::int64_t usage)
{
    item->setUsage(usage);
    recomputeItemUsage();
}

Filter* LibraryModel::builtInFilter(int kind)
{
    for (Filter* filter : m_filters) {
        if (filter->builtInKind() == kind)
            return filter;
    }
    auto* filter = new Filter;
    filter->setKind(kind);
    m_filters.insertBefore(m_filters.first(), filter);
    return filter;
}

Filter* LibraryModel::anyItemsFilter()
{
    return builtInFilter(Filter::AnyItems);
}

Filter* LibraryModel::filesFilter()
{
    return builtInFilter(Filter::Files);
}

const Bitmap& LibraryModel::notFoundImage(int kind) const
{
    if (kind == 1)
        return m_notFoundIcon16;
    if (kind == 2)
        return m_notFoundIcon48;
    return Bitmap::null();
}

Bitmap LibraryModel::loadSmallIcon(const String& path)
{
    return loadIcon(path, m_smallIconCache, m_notFoundIcon16, m_folderIcon16);
}

Bitmap LibraryModel::loadLargeIcon(const String& path)
{
    return loadIcon(path, m_largeIconCache, m_notFoundIcon48, m_folderIcon48);
}

// The shell is asked once per extension; executables and shortcuts carry
// their own icons and are asked each time.
Bitmap LibraryModel::loadIcon(const String& path, IconCache& cache, const Bitmap& notFound,
                              std::optional<Bitmap>& folder)
{
    if (!fileExists(path) && !directoryExists(path))
        return notFound;
    const String extension = Path::extension(path, Path::LowerCase);
    if (extension.isEmpty() && path.endsWith(L'\\')) {
        if (!folder) {
            folder.emplace();
            uiHooks().shellFileIcon(programFolder(), cache.size, *folder);
        }
        return *folder;
    }
    Bitmap image;
    if (extension == L"exe" || extension == L"lnk") {
        uiHooks().shellFileIcon(path, cache.size, image);
        return image.isNull() ? notFound : image;
    }
    if (cache.last && cache.last->extension == extension)
        return cache.last->image;
    for (const IconCacheEntry& entry : cache.entries) {
        if (entry.extension == extension)
            return entry.image;
    }
    if (!uiHooks().shellFileIcon(path, cache.size, image) || image.isNull())
        return notFound;
    cache.entries.append({image, extension});
    cache.last = IconCacheEntry{image, extension};
    return image;
}

void LibraryModel::clearCachedImages()
{
    m_smallIconCache.entries.clear();
}

void LibraryModel::clearCachedLargeImages()
{
    m_largeIconCache.entries.clear();
}

std::int64_t LibraryModel::itemCacheBytes() const
{
    std::int64_t bytes = 0;
    for (const TaggedItem* item : m_items)
        bytes += item->cacheBytes();
    return bytes;
}

void LibraryModel::clearItemCaches()
{
    for (TaggedItem* item : m_items)
        item->resetCaches();
}

// The snapshot is not copied: it is every item older than the merge's mark
// that this merge has not taken, so beginning and ending cost nothing per
// item and a merge costs what its result holds.
void LibraryModel::beginMerge()
{
    endMerge();
    // Items made from now on get later sequence numbers; a mark of its own
    // keeps items taken in an earlier merge from counting as taken now.
    m_mergeMark = m_nextSequence++;
    m_mergeSnapshotCount = m_items.count();
}

bool LibraryModel::inMergeSnapshot(const TaggedItem* item) const
{
    return item->m_sequence < m_mergeMark && item->m_takenInMerge != m_mergeMark;
}

void LibraryModel::leaveMergeSnapshot(TaggedItem* item)
{
    if (!inMergeSnapshot(item))
        return;
    item->m_takenInMerge = m_mergeMark;
    --m_mergeSnapshotCount;
}

// The first in the model's order, as the path index finds it.
TaggedItem* LibraryModel::takeSnapshotItem(std::uint32_t hash, const String& path)
{
    TaggedItem* first = nullptr;
    forEachItemWithHash(hash, [&](TaggedItem* item) {
        if (inMergeSnapshot(item) && item->samePath(path, hash) && (!first || item->m_sequence < first->m_sequence))
            first = item;
    });
    if (first)
        leaveMergeSnapshot(first);
    return first;
}

void LibraryModel::addTagsToItem(TaggedItem* item, const PointerArray<Tag*>& scannedTags)
{
    for (const Tag* scanned : scannedTags) {
        Tag* tag = mergeTagNamed(scanned->name());
        if (!tag) {
            tag = findTagByName(scanned->name());
            if (!tag) {
                tag = addTag(scanned->name());
                addMergeTag(tag);
                Tag::linkItem(tag, item);
                continue;
            }
            addMergeTag(tag);
        }
        if (!item->hasTag(tag))
            Tag::linkItem(tag, item);
    }
}

// Like findTagByName over the merge tags: the first of that name, and
// nothing for an empty name.
Tag* LibraryModel::mergeTagNamed(const String& name) const
{
    if (name.isEmpty())
        return nullptr;
    const auto found = m_mergeTagNames.find(lowerName(name));
    return found == m_mergeTagNames.end() ? nullptr : found->second;
}

void LibraryModel::addMergeTag(Tag* tag)
{
    m_mergeTags.append(tag);
    m_mergeTagNames.emplace(lowerName(tag->name()), tag);
}

void LibraryModel::endMerge()
{
    m_mergeMark = 0;
    m_mergeSnapshotCount = 0;
    m_mergeTags.clear();
    m_mergeTagNames.clear();
}
