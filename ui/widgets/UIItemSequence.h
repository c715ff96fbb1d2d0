#pragma once

// UIItemSequence: the owned items of a list-like widget (the items table's
// rows, the list view's items) in order, with what both widgets keep about
// them: the index of each item, how many are hidden, the order of the
// visible ones at the last paint (their ranks), the items whose visibility
// changed since then and the items that came in with a rectangle of their
// own (strays). It also answers and changes the items' selection flags;
// the widget decides when to repaint and what to report.
//
// Item is a UISelectableItem with setOwner and data().

#include <algorithm>
#include <cstddef>
#include <iterator>
#include <unordered_map>
#include <unordered_set>
#include <vector>

// Round toward minus and plus infinity; b > 0. For the rank arithmetic of
// items placed at a fixed step.
long long floorDiv(long long a, long long b);
long long ceilDiv(long long a, long long b);

template <class Item>
class UIItemSequence {
public:
    UIItemSequence() = default;
    UIItemSequence(const UIItemSequence&) = delete;
    UIItemSequence& operator=(const UIItemSequence&) = delete;

    // ---- Items ----
    const std::vector<Item*>& items() const { return m_items; }
    int count() const { return int(m_items.size()); }
    bool isEmpty() const { return m_items.empty(); }
    int hiddenCount() const { return m_hiddenCount; }
    int visibleCount() const { return count() - m_hiddenCount; }
    // Null for an index that is no item.
    Item* at(int index) const { return index >= 0 && index < count() ? m_items[std::size_t(index)] : nullptr; }

    // Takes the item at index (in [0, count]) for the owner.
    template <class Owner>
    void link(int index, Item* item, Owner* owner)
    {
        if (!item->isVisible())
            ++m_hiddenCount;
        item->setOwner(owner);
        m_items.insert(m_items.begin() + index, item);
        const bool appended = index == count() - 1;
        if (appended && m_indexValid)
            m_indexOf[item] = index;
        else
            m_indexValid = false;
        // Appended items are ranked by extending; anything else reorders.
        if (!appended)
            m_ranksDirty = true;
        if (!item->rect()->isEmpty())
            m_strays.push_back(item);
    }

    // Hands the item at index back, ownerless and forgotten.
    Item* unlink(int index)
    {
        Item* item = m_items[std::size_t(index)];
        forget(item);
        m_items.erase(m_items.begin() + index);
        if (!item->isVisible())
            --m_hiddenCount;
        item->setOwner(nullptr);
        m_indexValid = false;
        m_ranksDirty = true;
        return item;
    }

    // Deletes every item and forgets everything about them.
    void clear()
    {
        deleteAll();
        m_hiddenCount = 0;
        m_indexOf.clear();
        m_indexValid = true;
        m_ranksDirty = true;
        m_byRank.clear();
        m_rankOf.clear();
        m_replaced.clear();
        m_strays.clear();
    }

    // Without telling the items' owner: for the widget's destructor.
    void deleteAll()
    {
        for (Item* item : m_items) {
            item->setOwner(nullptr);
            delete item;
        }
        m_items.clear();
    }

    void swap(int i, int j)
    {
        std::swap(m_items[std::size_t(i)], m_items[std::size_t(j)]);
        if (m_indexValid) {
            m_indexOf[m_items[std::size_t(i)]] = i;
            m_indexOf[m_items[std::size_t(j)]] = j;
        }
        m_ranksDirty = true;
    }

    // Puts the same items in a new order.
    void reorder(const std::vector<Item*>& order)
    {
        std::copy(order.begin(), order.end(), m_items.begin());
        m_indexValid = false;
        m_ranksDirty = true;
    }

    // An item was shown or hidden.
    void visibilityChanged(const Item* item, bool hidden)
    {
        m_hiddenCount += hidden ? 1 : -1;
        m_ranksDirty = true;
        m_replaced.insert(item);
    }

    void hiddenItemDeleted() { --m_hiddenCount; }

    // -1 for null or an item of another sequence.
    int indexOf(const Item* item) const
    {
        if (!item)
            return -1;
        if (!m_indexValid)
            rebuildIndex();
        const auto it = m_indexOf.find(item);
        return it == m_indexOf.end() ? -1 : it->second;
    }

    // Data 0 finds nothing.
    int indexOfData(int data) const
    {
        if (data == 0)
            return -1;
        const auto it = std::find_if(m_items.begin(), m_items.end(), [data](auto* i) { return i->data() == data; });
        return it == m_items.end() ? -1 : int(it - m_items.begin());
    }

    // ---- Ranks ----
    // Brings the ranks up to date for a paint, which places every item
    // whose visibility changed: none is replaced any more.
    void rankForPaint()
    {
        rebuildRanks();
        m_replaced.clear();
    }

    // The visible items in order at the last paint; null where one left.
    const std::vector<Item*>& byRank() const { return m_byRank; }
    // -1 unless the last paint placed the item and it kept its visibility.
    int placedRank(const Item* item) const
    {
        if (m_replaced.contains(item))
            return -1;
        const auto it = m_rankOf.find(item);
        return it == m_rankOf.end() ? -1 : it->second;
    }

    const std::vector<Item*>& strays() const { return m_strays; }
    template <class Predicate>
    void dropStraysIf(Predicate drop)
    {
        std::erase_if(m_strays, drop);
    }

    // ---- Selection ----
    // False when the item already was so.
    static bool setSelected(Item* item, bool on)
    {
        if (item->isSelected() == on)
            return false;
        item->setSelected(on);
        return true;
    }

    // Whether anything changed.
    bool selectOnly(const Item* item)
    {
        bool changed = false;
        for (Item* i : m_items)
            changed |= setSelected(i, i == item);
        return changed;
    }

    bool selectEach(const std::vector<Item*>& items, bool on)
    {
        bool changed = false;
        for (Item* i : items)
            changed |= setSelected(i, on);
        return changed;
    }

    bool selectAll(bool on) { return selectEach(m_items, on); }

    // Selects the indices in [lo, hi] and deselects the others.
    bool selectIndexRange(int lo, int hi)
    {
        bool changed = false;
        for (int i = 0; i < count(); ++i)
            changed |= setSelected(m_items[std::size_t(i)], i >= lo && i <= hi);
        return changed;
    }

    // Selects the touched items and deselects the others unless asked to
    // keep them.
    bool selectTouched(std::vector<Item*> touched, bool keepOthers)
    {
        std::sort(touched.begin(), touched.end());
        bool changed = false;
        for (Item* i : m_items) {
            if (std::binary_search(touched.begin(), touched.end(), i))
                changed |= setSelected(i, true);
            else if (!keepOthers)
                changed |= setSelected(i, false);
        }
        return changed;
    }

    bool isSelected(int index) const
    {
        const Item* item = at(index);
        return item && item->isSelected();
    }

    bool anySelected() const { return std::any_of(m_items.begin(), m_items.end(), isItemSelected); }
    int selectedCount() const { return int(std::count_if(m_items.begin(), m_items.end(), isItemSelected)); }

    Item* firstSelected() const
    {
        const auto it = std::find_if(m_items.begin(), m_items.end(), isItemSelected);
        return it == m_items.end() ? nullptr : *it;
    }

    std::vector<Item*> selected() const
    {
        std::vector<Item*> result;
        std::copy_if(m_items.begin(), m_items.end(), std::back_inserter(result), isItemSelected);
        return result;
    }

private:
    static bool isItemSelected(const Item* item) { return item->isSelected(); }

    void rebuildIndex() const
    {
        m_indexOf.clear();
        m_indexOf.reserve(m_items.size());
        for (int i = 0; i < count(); ++i)
            m_indexOf[m_items[std::size_t(i)]] = i;
        m_indexValid = true;
    }

    void rebuildRanks()
    {
        if (m_ranksDirty) {
            m_byRank.clear();
            m_rankOf.clear();
            m_rankOf.reserve(std::size_t(visibleCount()));
            m_rankedCount = 0;
            m_ranksDirty = false;
        }
        for (int i = m_rankedCount; i < count(); ++i) {
            Item* item = m_items[std::size_t(i)];
            if (!item->isVisible())
                continue;
            m_rankOf[item] = int(m_byRank.size());
            m_byRank.push_back(item);
        }
        m_rankedCount = count();
    }

    void forget(const Item* item)
    {
        const auto it = m_rankOf.find(item);
        if (it != m_rankOf.end()) {
            m_byRank[std::size_t(it->second)] = nullptr;
            m_rankOf.erase(it);
        }
        m_replaced.erase(item);
        m_strays.erase(std::remove(m_strays.begin(), m_strays.end(), item), m_strays.end());
    }

    std::vector<Item*> m_items;
    int m_hiddenCount = 0;
    // Item to index, rebuilt after the order changed.
    mutable std::unordered_map<const Item*, int> m_indexOf;
    mutable bool m_indexValid = true;
    // Rebuilt by the next paint after a change other than appending.
    bool m_ranksDirty = true;
    // Items the ranks cover while only appends followed.
    int m_rankedCount = 0;
    std::vector<Item*> m_byRank;
    std::unordered_map<const Item*, int> m_rankOf;
    // Items whose visibility changed since the last paint: their stored
    // rectangle (reset on hiding) is the one that holds.
    std::unordered_set<const Item*> m_replaced;
    // Items that came in since the last paint with a rectangle of their own.
    std::vector<Item*> m_strays;
};
