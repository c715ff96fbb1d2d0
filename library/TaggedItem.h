#pragma once

#include "foundation/Array.h"
#include "foundation/DateTime.h"
#include "foundation/String.h"
#include "foundation/StringList.h"
#include "graphics/Bitmap.h"

#include <cstdint>
#include <memory>

class Filter;
class LibraryModel;
class Tag;

// A file, folder or drive root of the library. Its identity is its path:
// pathHash (the CRC-32 of the lower-cased path) finds candidates fast, and
// samePath confirms them, since different paths can share a hash.
//
// A display cache (images, dates, texts) is made and filled on first use;
// the library file never stores it.
class TaggedItem {
public:
    enum class Kind : std::uint32_t { File = 0, Folder = 1, DriveRoot = 2 };

    // Values of orderIndex besides the positions 0..n-1 that the library
    // file uses while it is written or read.
    enum OrderMark : std::int32_t { NewItem = -1, MarkedRemoved = -2, PathChanged = -3 };

    // The longest path, in UTF-8 bytes, that the library file can hold.
    static constexpr int maxPathBytes = 1566;

    TaggedItem() = default;
    virtual ~TaggedItem() = default;
    TaggedItem(const TaggedItem&) = delete;
    TaggedItem& operator=(const TaggedItem&) = delete;

    // Stores the path, decides the kind, display name and extension, and
    // computes the hash; a folder path gets its final '\'. May test the disk.
    void setPath(String path);
    const String& path() const { return m_path; }
    const String& displayName() const { return m_displayName; }
    // As typed; empty for folders and roots.
    const String& extension() const { return m_extension; }
    Kind kind() const { return m_kind; }
    bool isRoot() const { return m_isRoot; }
    std::uint32_t pathHash() const { return m_pathHash; }
    // The CRC-32 of the lower-cased path that setPath stores in pathHash.
    static std::uint32_t hashOfPath(const String& path);
    // Whether the item's path equals the path ignoring case, as item
    // identity wants it; hash is the path's hashOfPath.
    bool samePath(const String& path, std::uint32_t hash) const;
    bool samePath(const TaggedItem& other) const { return samePath(other.m_path, other.m_pathHash); }

    bool exists() const;
    bool fileExists() const;
    bool folderExists() const;

    // The registration date, in UTC.
    const DateTime& date() const { return m_date; }
    void setDate(const DateTime& date);
    // How often the item was opened. The model keeps the totals: change it
    // through LibraryModel::recordItemUse or setItemUsage.
    std::int64_t usage() const { return m_usage; }
    void setUsage(std::int64_t usage) { m_usage = usage; }

    const PointerArray<Tag*>& tags() const { return m_tags; }
    int tagCount() const { return m_tags.count(); }
    // Searched from the end.
    bool hasTag(const Tag* tag) const;
    bool hasTagNamed(const String& name) const;
    StringList tagNames() const;
    // Copies the tag pointers into target; nothing when target is this
    // item's own array.
    virtual void copyTags(PointerArray<Tag*>& target) const;

    std::int32_t orderIndex() const { return m_orderIndex; }
    void setOrderIndex(std::int32_t index) { m_orderIndex = index; }
    void markRemoved() { m_orderIndex = MarkedRemoved; }
    bool isMarkedRemoved() const { return m_orderIndex == MarkedRemoved; }
    void markPathChanged() { m_orderIndex = PathChanged; }
    bool isPathChanged() const { return m_orderIndex == PathChanged; }

    bool matches(const Filter& filter) const;

    // Display texts, cached: the registration date in local time, the file
    // size (written to size), the creation and last-write times.
    String dateText();
    String sizeText(std::uint64_t& size);
    String createdText();
    String modifiedText();

    // The 16-pixel icon and the large preview, cached; the not-found
    // images when the shell has none. Filled through the owning model, or
    // the shell's model for an item no model owns.
    Bitmap icon();
    Bitmap reloadIcon();
    Bitmap previewImage();
    Bitmap reloadPreviewImage();
    // The small icon shares the other item's pixels.
    void copyIcon(const TaggedItem& other);

    void resetCaches();
    // Pixel bytes of the two cached images.
    std::int64_t cacheBytes() const;

private:
    friend class LibraryModel;
    friend class Tag;

    // What an item view shows of the item. Apart, since most items of a
    // large library are never shown and a load makes every item: without
    // it an item takes less than half the memory.
    struct DisplayCache {
        Bitmap smallIcon;
        Bitmap previewImage;
        DateTime createdDate;
        String createdText;
        DateTime modifiedDate;
        String modifiedText;
        std::uint64_t cachedSize = 0;
        String sizeText;
    };

    void decideKind();
    LibraryModel* imageModel() const;
    static String timeText(const DateTime& local);
    DisplayCache& display();

    std::unique_ptr<DisplayCache> m_display;

    std::int32_t m_orderIndex = NewItem;
    PointerArray<Tag*> m_tags;
    String m_path;
    String m_displayName;
    String m_extension;
    bool m_isRoot = false;
    DateTime m_date;
    String m_dateText;
    std::int64_t m_usage = 0;
    Kind m_kind = Kind::File;
    std::uint32_t m_pathHash = 0;

    // Set while a model owns the item: it keeps its path index current
    // and serves the images. The sequence orders the model's items.
    LibraryModel* m_model = nullptr;
    std::uint64_t m_sequence = 0;
    // The mark of the last merge that took the item out of its snapshot.
    std::uint64_t m_takenInMerge = 0;
};
