#include "library/ItemPathIndex.h"

namespace {

constexpr std::size_t smallestSlotCount = 16;

// A power of two that keeps a quarter of the slots free at count items, so
// that every probe ends soon at a free slot.
std::size_t slotCountFor(std::size_t count)
{
    std::size_t slots = smallestSlotCount;
    while (slots / 4 * 3 < count)
        slots *= 2;
    return slots;
}

} // namespace

void ItemPathIndex::reserve(std::size_t count)
{
    const std::size_t wanted = slotCountFor(count);
    if (wanted > m_slots.size())
        rebuild(wanted);
}

void ItemPathIndex::insert(std::uint32_t hash, TaggedItem* item)
{
    // Removed slots count, so that a free slot always ends a probe; the
    // rebuild drops them and leaves room to grow.
    if (m_slots.empty() || m_taken + 1 > m_slots.size() / 4 * 3)
        rebuild(slotCountFor(2 * (m_size + 1)));
    std::size_t i = home(hash);
    while (m_slots[i].item)
        i = next(i);
    if (isFree(m_slots[i]))
        ++m_taken;
    m_slots[i] = {item, hash, false};
    ++m_size;
}

void ItemPathIndex::erase(std::uint32_t hash, const TaggedItem* item)
{
    if (m_slots.empty())
        return;
    for (std::size_t i = home(hash); !isFree(m_slots[i]); i = next(i)) {
        if (m_slots[i].item == item && m_slots[i].hash == hash) {
            m_slots[i] = {nullptr, 0, true};
            --m_size;
            return;
        }
    }
}

void ItemPathIndex::clear()
{
    m_slots.assign(m_slots.size(), Slot{});
    m_size = 0;
    m_taken = 0;
}

// Puts every item into slotCount new slots, leaving the removed ones out.
void ItemPathIndex::rebuild(std::size_t slotCount)
{
    std::vector<Slot> old(slotCount);
    old.swap(m_slots);
    m_shift = 64;
    for (std::size_t n = slotCount; n > 1; n /= 2)
        --m_shift;
    m_size = 0;
    m_taken = 0;
    for (const Slot& slot : old) {
        if (slot.item)
            insert(slot.hash, slot.item);
    }
}
