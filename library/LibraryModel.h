#pragma once

#include "foundation/Array.h"
#include "foundation/DateTime.h"
#include "foundation/List.h"
#include "foundation/String.h"
#include "foundation/StringList.h"
#include "graphics/Bitmap.h"
#include "graphics/Brush.h"
#include "graphics/Pen.h"
#include "library/CloudMetrics.h"
#include "library/DuplicateGroupList.h"
#include "library/Filter.h"
#include "library/ItemPathIndex.h"
#include "library/ScanRule.h"
#include "library/Tag.h"
#include "library/TaggedItem.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <unordered_map>
#include <unordered_set>

class Database;
class ProgressWindow;

// Resets and deletes the model's database component. Database.cpp hands
// over the function, so the model needs no definition of the component.
struct DatabaseDeleter {
    void (*destroy)(Database*) = nullptr;
    void operator()(Database* database) const { destroy(database); }
};

// The one shared document of the program: it owns every tag and item, the
// item filters, the scan rules and the database component, keeps the links
// two-sided and the usage totals current, and holds the tag cloud's
// appearance. UI thread only.
//
// Items are found by path through an index of path hashes; a hash only
// names candidates, the lower-cased paths decide.
class LibraryModel {
public:
    // Loads the not-found images through the hooks of foundation/Hooks.h
    // (the program folder's icons follow when a folder is first shown);
    // the tag-cloud appearance starts at its defaults.
    LibraryModel();
    virtual ~LibraryModel();
    LibraryModel(const LibraryModel&) = delete;
    LibraryModel& operator=(const LibraryModel&) = delete;

    // Null until openDatabase.
    Database* database() const { return m_database.get(); }
    // Creates the database component and opens the library file
    // (Database.cpp).
    bool openDatabase();

    const PointerArray<Tag*>& tags() const { return m_tags; }
    int tagCount() const { return m_tags.count(); }
    const PointerArray<TaggedItem*>& items() const { return m_items; }
    int itemCount() const { return m_items.count(); }
    List<Filter*>& filters() { return m_filters; }
    const List<Filter*>& filters() const { return m_filters; }
    List<ScanRule*>& scanRules() { return m_scanRules; }
    const List<ScanRule*>& scanRules() const { return m_scanRules; }

    // Settings (ModelSettings.cpp). Construction reads the tag-cloud
    // appearance; loadSettings, called before the library file is opened,
    // appends the stored filters and scan rules and reads the rest. A stored
    // rule text that forms no rule is reported once, kept as it stands and
    // saved again after the rules.
    void loadSettings();
    void loadScanRules();
    void saveSettings() const;
    void saveScanRules() const;

    // First-run content, automatic scans and merging scan results
    // (ScanMerge.cpp).
    // The tags "Desktop" and "Recent"; and, while the model holds no scan
    // rule (read or unread) and no filter beyond the built-in ones, a
    // start-up rule for the recent documents folder, a tag-click rule for
    // the desktop, and four filters. Rules and filters come from the
    // settings, which outlive a library made again.
    void createDefaults();
    // The folders the first-run rules scan; empty texts stand for the
    // user's recent documents folder and desktop.
    void setFirstRunFolders(const String& recentFolder, const String& desktopFolder);
    // Appends the automatic, valid rules of the scan time in model order.
    void collectAutoRules(List<ScanRule*>& out, ScanRule::ScanTime time) const;
    // Empties the tags of clearing rules, runs the rules due at program
    // start silently and merges what they found.
    void runStartupScan(bool silent, ProgressWindow& progressWindow);
    // Runs the tag-click rules that assign the tag and merges the result.
    void scanForClickedTag(const Tag* tag);
    // Whether scanForClickedTag of the tag would run any rule.
    bool scansOnClick(const Tag& tag) const;
    // Gives the model an item for each scanned item with tags (the one of
    // the same path, else a new one) and links it to the model tags of the
    // scanned tags' names. Non-silent, it shows progress and processes
    // pending events once per item. False, with nothing done, while the
    // model is busy.
    bool addScannedItems(const PointerArray<TaggedItem*>& scannedItems, bool silent);

    // A scan, a merge or a save holds the model busy; another one does not
    // start meanwhile, since the non-silent ones process events.
    bool isBusy() const { return m_busy; }
    class BusyScope {
    public:
        // Holds the model busy unless it already was (or is null).
        explicit BusyScope(LibraryModel* model);
        ~BusyScope();
        BusyScope(const BusyScope&) = delete;
        BusyScope& operator=(const BusyScope&) = delete;
        // Whether this scope made the model busy (a null model counts).
        bool acquired() const { return m_acquired; }

    private:
        LibraryModel* m_model;
        bool m_acquired;
    };

    // Tag-cloud appearance.
    float fontMinimumSize() const { return m_fontMinimumSize; }
    void setFontMinimumSize(float size) { m_fontMinimumSize = size; }
    float fontMaximumSize() const { return m_fontMaximumSize; }
    void setFontMaximumSize(float size) { m_fontMaximumSize = size; }
    const String& fontFamily() const { return m_fontFamily; }
    void setFontFamily(const String& family) { m_fontFamily = family; }
    // 0 real size, 1 stretched, 2 tiled.
    std::uint32_t backgroundImageDrawMode() const { return m_backgroundImageDrawMode; }
    void setBackgroundImageDrawMode(std::uint32_t mode) { m_backgroundImageDrawMode = mode; }
    String backgroundImagePath() const { return m_backgroundImagePath; }
    // Also makes the tag cloud reload its background.
    void setBackgroundImagePath(const String& path);
    const Brush& background() const { return m_background; }
    void setBackground(const Brush& brush) { m_background = brush; }
    const Pen& foreground() const { return m_foreground; }
    void setForeground(const Pen& pen) { m_foreground = pen; }
    const Pen& selectedForeground() const { return m_selectedForeground; }
    void setSelectedForeground(const Pen& pen) { m_selectedForeground = pen; }
    // 0 items that carry all selected tags, 1 items that carry any of them.
    std::uint32_t collectMode() const { return m_collectMode; }
    void setCollectMode(std::uint32_t mode) { m_collectMode = mode; }
    // Tag-cloud order: 0 none, 1 by name, 2 by size.
    std::uint32_t sortMode() const { return m_sortMode; }
    void setSortMode(std::uint32_t mode) { m_sortMode = mode; }
    // 0 by usage, 1 by number of items.
    std::uint32_t weightMethod() const { return m_weightMethod; }
    void setWeightMethod(std::uint32_t method) { m_weightMethod = method; }
    std::uint32_t filterByNameMode() const { return m_filterByNameMode; }
    void setFilterByNameMode(std::uint32_t mode) { m_filterByNameMode = mode; }
    // Limit of the item display caches in megabytes.
    int itemsCacheMaxSize() const { return m_itemsCacheMaxSize; }
    // A negative size stores 0.
    void setItemsCacheMaxSize(int megabytes);

    std::int64_t largestTagUsage() const { return m_largestTagUsage; }
    std::int64_t totalTagUsage() const { return m_totalTagUsage; }
    std::int64_t largestItemUsage() const { return m_largestItemUsage; }
    // The sum of the positive item usages.
    std::int64_t totalItemUsage() const { return m_totalItemUsage; }

    // Tags and items. Look-ups give null for no match or an empty text.
    bool containsTag(const Tag* tag) const;
    bool containsItem(const TaggedItem* item) const;
    // The first tag, in order, whose name equals the text ignoring case.
    Tag* findTagByName(const String& name) const;
    static Tag* findTagByName(const String& name, const PointerArray<Tag*>& tags);
    // The first item, in order, with the same path ignoring case; a path
    // naming an existing folder gets its final '\' first. The model's own
    // look-up goes through its path index; the static one walks the array.
    TaggedItem* findItemByPath(const String& path) const;
    static TaggedItem* findItemByPath(const String& path, const PointerArray<TaggedItem*>& items);
    // A new item at the end, or null when the path is empty or too long for
    // the library file.
    TaggedItem* addItem(String path, std::int64_t usage, const DateTime& date);
    // Makes room for that many more tags and items, so that a load which
    // knows its counts grows the arrays and the path index once.
    void reserve(int tagCount, int itemCount);
    // A new tag at the end, created now; no check for a tag of that name.
    Tag* addTag(const String& name);
    Tag* addTagWithUsage(const String& name, std::int64_t usage, const DateTime& date);
    // Unlinks, removes and deletes an item of the model (others are left
    // alone). correctTotals keeps the item usage totals right.
    void deleteItem(TaggedItem* item, bool correctTotals);
    // The same for many items at once, with at most one recompute; items
    // the model does not own, and repeats, are passed over.
    void deleteItems(const PointerArray<TaggedItem*>& items, bool correctTotals);
    // Removes and deletes a tag of the model and every item left without
    // tags; the number of items deleted. Both usage totals stay right.
    int removeTag(Tag* tag);
    // Drops null entries and tags the model does not own from the array;
    // true when anything was dropped.
    bool removeForeignTags(PointerArray<Tag*>& tags) const;
    // Deletes every tag and item; usage totals, settings and filters stay.
    void clear();
    int untaggedItemCount() const;
    static bool containsNameIgnoringCase(const String& name, const StringList& list);

    // Links (Tag::linkItem makes them).
    // Removes the first occurrence on each side.
    static void unlink(Tag* tag, TaggedItem* item);
    // Removes the item from each of its tags and empties its tag array.
    static void unlinkItem(TaggedItem* item);
    // Removes the tag from each of its items and empties its item array;
    // with deleteOrphans, items left without tags are deleted (totals are
    // not corrected).
    void unlinkTagItems(Tag* tag, bool deleteOrphans);

    // Usage counters.
    void recordTagUse(Tag* tag);
    void recordItemUse(TaggedItem* item);
    void recomputeTagUsage();
    void recomputeItemUsage();
    void setTagUsage(Tag* tag, std::int64_t usage);
    void setItemUsage(TaggedItem* item, std::int64_t usage);

    // The first built-in filter of any items (of files); one is made at the
    // head of the list when there is none.
    Filter* anyItemsFilter();
    Filter* filesFilter();

    // Images. Kind 1 the 16-pixel, 2 the 48-pixel not-found image; any
    // other a null Bitmap.
    const Bitmap& notFoundImage(int kind) const;
    // The shell's icon for the path, cached per extension (executables and
    // shortcuts per file); the not-found image for a missing path.
    Bitmap loadSmallIcon(const String& path);
    Bitmap loadLargeIcon(const String& path);
    void clearCachedImages();
    void clearCachedLargeImages();
    std::int64_t itemCacheBytes() const;
    void clearItemCaches();

    // Merging scan results. beginMerge takes every item into the snapshot;
    // endMerge empties the snapshot and the merge tags. Neither walks the
    // items.
    void beginMerge();
    // The first snapshot item with this path (hash is its
    // TaggedItem::hashOfPath), taken out of the snapshot; null when none.
    TaggedItem* takeSnapshotItem(std::uint32_t hash, const String& path);
    // Links the item to the model tag of each scanned tag's name, made
    // when missing, unless the item has it already.
    void addTagsToItem(TaggedItem* item, const PointerArray<Tag*>& scannedTags);
    void endMerge();
    int mergeSnapshotCount() const { return m_mergeSnapshotCount; }
    const PointerArray<Tag*>& mergeTags() const { return m_mergeTags; }

    // Model items whose path hash is the hash, in no order; for finders
    // that group items by path.
    template <typename Visit>
    void forEachItemWithHash(std::uint32_t hash, Visit visit) const
    {
        m_pathIndex.forEach(hash, visit);
    }

    // Tag weights and cloud metrics (TagWeights.cpp). Weighing every tag
    // of a layout is linear through one CloudMetrics.
    float tagWeight(const Tag* tag) const;
    float tagFontSize(const Tag* tag) const;
    // Of all tags; 0 with no tags.
    float largestTagFontSize() const;
    float smallestTagFontSize() const;
    // Shares in percent of the usage totals, and of the model's items for
    // count items (the tag's own when no count is given); 0 when the total
    // or the model's item count is not above 0.
    float tagUsagePercent(const Tag* tag) const;
    float itemUsagePercent(const TaggedItem* item) const;
    float tagItemPercent(const Tag* tag, std::optional<int> count = std::nullopt) const;
    // Appends the shown tags found on the items that carry all selected
    // tags (collectMode 0) or any of them (1), leaving out the selected
    // tags and those out holds already.
    void relatedTags(const PointerArray<Tag*>& selected, PointerArray<Tag*>& out) const;
    TagStatistics tagStatistics() const;
    ItemStatistics itemStatistics() const;

    // Duplicate tags and items (Duplicates.cpp). Tags are duplicates when
    // their names are equal ignoring case, items when their paths are.
    // Each group's first is the one kept. A merge recomputes the usage
    // totals it changes.
    TagGroups findDuplicateTags() const;
    // The tags in all groups, each group's first included.
    int duplicateTagCount() const;
    // The number of tags removed.
    int mergeDuplicateTags();
    // The duplicates of the given items among the model's (each item
    // first of its group), or, without items, of all model items.
    ItemGroups findDuplicateItems(const PointerArray<TaggedItem*>* items = nullptr) const;
    int duplicateItemCount() const;
    // Each first takes its duplicates' tags; the number of items removed.
    int removeDuplicateItems(const PointerArray<TaggedItem*>* items = nullptr);
    // The item takes the usages, tags and earliest date of the other items
    // with its path; the number of items removed.
    int mergeItemDuplicates(TaggedItem* item);

private:
    friend class TaggedItem;

    struct IconCacheEntry {
        Bitmap image;
        String extension;
    };

    struct IconCache {
        int size;
        List<IconCacheEntry> entries;
        std::optional<IconCacheEntry> last;
    };

    Bitmap loadIcon(const String& path, IconCache& cache, const Bitmap& notFound, std::optional<Bitmap>& folder);
    TaggedItem* adopt(TaggedItem* item);
    void deleteOwnedItems(const std::unordered_set<TaggedItem*>& doomed);
    Filter* builtInFilter(int kind);
    void itemPathChanging(TaggedItem* item);
    void itemPathChanged(TaggedItem* item);
    Tag* mergeTagNamed(const String& name) const;
    void addMergeTag(Tag* tag);
    bool inMergeSnapshot(const TaggedItem* item) const;
    void leaveMergeSnapshot(TaggedItem* item);
    void loadAppearanceSettings();
    void loadFilterSettings();
    bool hasOwnRulesOrFilters() const;
    void mergeScannedItem(const TaggedItem* scanned);
    List<ScanRule*> clickRulesFor(const Tag& tag) const;
    ItemGroups findDuplicatesOf(const PointerArray<TaggedItem*>& items) const;
    PointerArray<TaggedItem*> otherItemsWithPath(const TaggedItem& item) const;

    std::unique_ptr<Database, DatabaseDeleter> m_database;
    PointerArray<Tag*> m_tags;
    PointerArray<TaggedItem*> m_items;
    List<Filter*> m_filters;
    List<ScanRule*> m_scanRules;
    StringList m_unreadScanRules;

    // The tag-cloud appearance, at the defaults of its settings keys until
    // the model settings read them.
    float m_fontMinimumSize = 12.0f;
    float m_fontMaximumSize = 24.0f;
    String m_fontFamily;
    std::uint32_t m_backgroundImageDrawMode = 0;
    String m_backgroundImagePath;
    Brush m_background;
    Pen m_foreground;
    Pen m_selectedForeground;
    std::uint32_t m_collectMode = 0;
    std::uint32_t m_sortMode = 0;
    std::uint32_t m_weightMethod = 0;
    std::uint32_t m_filterByNameMode = 0;

    std::int64_t m_largestTagUsage = 0;
    std::int64_t m_totalTagUsage = 0;
    std::int64_t m_largestItemUsage = 0;
    std::int64_t m_totalItemUsage = 0;

    Bitmap m_notFoundIcon16;
    Bitmap m_notFoundIcon48;
    // The program folder's icons, asked for when a folder is first shown:
    // the shell takes long to answer the first time, so not at start-up.
    std::optional<Bitmap> m_folderIcon16;
    std::optional<Bitmap> m_folderIcon48;
    IconCache m_smallIconCache{16, {}, std::nullopt};
    IconCache m_largeIconCache{48, {}, std::nullopt};

    ItemPathIndex m_pathIndex;
    std::uint64_t m_nextSequence = 1;
    // The merge's snapshot: the items whose sequence is below the mark and
    // whose m_takenInMerge is not the mark. 0 outside a merge, so that no
    // item is in the snapshot then.
    std::uint64_t m_mergeMark = 0;
    int m_mergeSnapshotCount = 0;
    PointerArray<Tag*> m_mergeTags;
    // Lower-cased names of the merge tags, first one wins.
    std::unordered_map<std::wstring, Tag*> m_mergeTagNames;

    int m_itemsCacheMaxSize = 0;

    String m_firstRunRecentFolder;
    String m_firstRunDesktopFolder;
    bool m_busy = false;
};
