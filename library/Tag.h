#pragma once

#include "foundation/Array.h"
#include "foundation/DateTime.h"
#include "foundation/Geometry.h"
#include "foundation/String.h"
#include "graphics/Colour.h"

#include <cstdint>

class Filter;
class TaggedItem;

// A tag of the library. Its items are linked both ways: the tag lists the
// item exactly when the item lists the tag. The LibraryModel owns tags and
// items and makes and breaks the links; a tag owns neither.
class Tag {
public:
    // Bits of stateFlags.
    enum StateFlag : std::uint32_t {
        // Shown in the tag cloud; every new tag starts with it.
        Shown = 1,
        // Drawn by the tag cloud in its last layout.
        KeptByCloud = 2,
    };

    // The longest name, in UTF-8 bytes, that the library file can hold.
    static constexpr int maxNameBytes = 1536;

    Tag() = default;
    explicit Tag(const String& name) : m_name(name) {}
    ~Tag() = default;
    Tag(const Tag&) = delete;
    Tag& operator=(const Tag&) = delete;

    const String& name() const { return m_name; }
    void setName(const String& name) { m_name = name; }

    const PointerArray<TaggedItem*>& items() const { return m_items; }
    int itemCount() const { return m_items.count(); }
    // Searched from the end, where the latest links are.
    bool hasItem(const TaggedItem* item) const;

    // Creation date, in UTC.
    const DateTime& date() const { return m_date; }
    void setDate(const DateTime& date) { m_date = date; }

    // How often the tag was used (clicked). The model keeps the totals:
    // change it through LibraryModel::recordTagUse or setTagUsage.
    std::int64_t usage() const { return m_usage; }
    void setUsage(std::int64_t usage) { m_usage = usage; }

    std::uint32_t stateFlags() const { return m_stateFlags; }
    void setStateFlags(std::uint32_t flags) { m_stateFlags = flags; }
    void setFlags(std::uint32_t mask) { m_stateFlags |= mask; }
    void clearFlags(std::uint32_t mask) { m_stateFlags &= ~mask; }
    void setFlag(std::uint32_t mask, bool on);

    // The tag's rectangle in the last tag-cloud layout.
    const Rect& cloudRect() const { return m_cloudRect; }
    void setCloudRect(const Rect& rect) { m_cloudRect = rect; }

    // True at once for a filter of any items; else whether an item of the
    // tag passes the filter.
    bool hasItemMatching(const Filter& filter) const;

    // Links both ways, without a duplicate check.
    static void linkItem(Tag* tag, TaggedItem* item);
    // Makes room for that many more links on the item's side, so that a
    // load which knows them grows its tag array once.
    static void reserveLinks(TaggedItem* item, int tagCount);

private:
    friend class LibraryModel;

    PointerArray<TaggedItem*> m_items;
    String m_name;
    DateTime m_date;
    std::int64_t m_usage = 0;
    std::uint32_t m_stateFlags = Shown;
    Rect m_cloudRect;
};

// The tag colours 1 red, 2 yellow, 3 green, 4 blue, 5 violet; white for
// any other index.
Colour tagColour(int index);
