#include "library/Tag.h"

#include "library/Filter.h"
#include "library/TaggedItem.h"

bool Tag::hasItem(const TaggedItem* item) const
{
    return m_items.lastIndexOf(item) >= 0;
}

void Tag::setFlag(std::uint32_t mask, bool on)
{
    if (on)
        setFlags(mask);
    else
        clearFlags(mask);
}

bool Tag::hasItemMatching(const Filter& filter) const
{
    if (filter.hasKind(Filter::AnyItems))
        return true;
    for (const TaggedItem* item : m_items) {
        if (item->matches(filter))
            return true;
    }
    return false;
}

void Tag::linkItem(Tag* tag, TaggedItem* item)
{
    tag->m_items.append(item);
    item->m_tags.append(tag);
}

void Tag::reserveLinks(TaggedItem* item, int tagCount)
{
    item->m_tags.reserve(item->m_tags.count() + tagCount);
}

Colour tagColour(int index)
{
    switch (index) {
    case 1:
        return Colour(0xFFFF0000u);
    case 2:
        return Colour(0xFFFFFF00u);
    case 3:
        return Colour(0xFF008000u);
    case 4:
        return Colour(0xFF0000FFu);
    case 5:
        return Colour(0xFFEE82EEu);
    default:
        return Colour(0xFFFFFFFFu);
    }
}
