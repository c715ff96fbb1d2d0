#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

class TaggedItem;

// Items by path hash, for the model's look-ups by path. One array of
// (hash, item) slots with open addressing: adding an item touches one slot
// and allocates nothing once reserved, where a node per item cost a library
// load an allocation and a pointer chase each. A hash may hold several
// items; they come in no order.
class ItemPathIndex {
public:
    // Makes room for count items in all without growing again.
    void reserve(std::size_t count);
    void insert(std::uint32_t hash, TaggedItem* item);
    // Takes out the item's entry under the hash; nothing when it has none.
    void erase(std::uint32_t hash, const TaggedItem* item);
    // Keeps the room for the next fill.
    void clear();
    std::size_t size() const { return m_size; }

    // Calls visit with each item under the hash.
    template <typename Visit>
    void forEach(std::uint32_t hash, Visit visit) const
    {
        if (m_slots.empty())
            return;
        for (std::size_t i = home(hash); !isFree(m_slots[i]); i = next(i)) {
            if (m_slots[i].item && m_slots[i].hash == hash)
                visit(m_slots[i].item);
        }
    }

private:
    // Free: never used since the last growth or clear; a slot whose item
    // was erased stays taken (removed), so that probes go on past it.
    struct Slot {
        TaggedItem* item = nullptr;
        std::uint32_t hash = 0;
        bool removed = false;
    };

    static bool isFree(const Slot& slot) { return !slot.item && !slot.removed; }
    // The hash's high bits after a multiplicative mix pick the first slot.
    std::size_t home(std::uint32_t hash) const
    {
        return static_cast<std::size_t>((std::uint64_t(hash) * 0x9E3779B97F4A7C15ull) >> m_shift);
    }
    std::size_t next(std::size_t i) const { return (i + 1) & (m_slots.size() - 1); }
    void rebuild(std::size_t slotCount);

    std::vector<Slot> m_slots;
    int m_shift = 64;
    std::size_t m_size = 0;
    // Items and removed slots: the slots no longer free.
    std::size_t m_taken = 0;
};
