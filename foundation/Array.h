#pragma once

#include <cstddef>
#include <memory>
#include <new>
#include <type_traits>
#include <utility>

// Growable array that owns its elements. The first allocation is exact;
// later growth doubles the requested size but adds at most 100000
// elements at a step, so huge arrays do not double their memory.
template <typename T>
class Array {
public:
    Array() = default;
    Array(const Array& other) { copyFrom(other); }
    Array(Array&& other) noexcept { takeFrom(other); }
    virtual ~Array() { clearAndFree(); }

    Array& operator=(const Array& other)
    {
        if (this == &other)
            return *this;
        clear();
        copyFrom(other);
        return *this;
    }

    Array& operator=(Array&& other) noexcept
    {
        if (this == &other)
            return *this;
        clearAndFree();
        takeFrom(other);
        return *this;
    }

    int count() const { return m_count; }
    int size() const { return m_count; }
    int capacity() const { return m_capacity; }
    bool isEmpty() const { return m_count == 0; }
    T* data() { return m_data; }
    const T* data() const { return m_data; }

    T& operator[](int i) { return m_data[i]; }
    const T& operator[](int i) const { return m_data[i]; }
    T& at(int i) { return m_data[i]; }
    const T& at(int i) const { return m_data[i]; }
    T& last() { return m_data[m_count - 1]; }
    const T& last() const { return m_data[m_count - 1]; }

    T* begin() { return m_data; }
    T* end() { return m_data + m_count; }
    const T* begin() const { return m_data; }
    const T* end() const { return m_data + m_count; }

    void reserve(int n)
    {
        if (m_capacity >= n)
            return;
        reallocate(grownCapacity(n));
    }

    void append(const T& value)
    {
        if (m_count == m_capacity) {
            T copy(value); // value may live inside the storage about to move
            reserve(m_count + 1);
            new (m_data + m_count) T(std::move(copy));
        } else {
            new (m_data + m_count) T(value);
        }
        ++m_count;
    }

    void insert(int index, const T& value)
    {
        if (index >= m_count) {
            append(value);
            return;
        }
        T copy(value);
        reserve(m_count + 1);
        new (m_data + m_count) T(std::move(m_data[m_count - 1]));
        for (int i = m_count - 1; i > index; --i)
            m_data[i] = std::move(m_data[i - 1]);
        m_data[index] = std::move(copy);
        ++m_count;
    }

    void removeAt(int index)
    {
        for (int i = index; i + 1 < m_count; ++i)
            m_data[i] = std::move(m_data[i + 1]);
        --m_count;
        std::destroy_at(m_data + m_count);
    }

    // Removes the element the iterator points at and returns the iterator of
    // the element that took its place (end() when it was the last).
    T* removeAt(T* position)
    {
        int index = static_cast<int>(position - m_data);
        removeAt(index);
        return m_data + index;
    }

    int indexOf(const T& value) const
    {
        for (int i = 0; i < m_count; ++i) {
            if (m_data[i] == value)
                return i;
        }
        return -1;
    }

    bool contains(const T& value) const { return indexOf(value) != -1; }

    void clear()
    {
        std::destroy_n(m_data, m_count);
        m_count = 0;
    }

    void clearAndFree()
    {
        clear();
        ::operator delete(m_data);
        m_data = nullptr;
        m_capacity = 0;
    }

private:
    static constexpr int maxGrowthStep = 100000;

    int grownCapacity(int n) const
    {
        if (m_capacity == 0)
            return n;
        if (2 * static_cast<long long>(n) < static_cast<long long>(n) + maxGrowthStep)
            return 2 * n;
        return n + maxGrowthStep;
    }

    void reallocate(int newCapacity)
    {
        T* fresh = static_cast<T*>(::operator new(sizeof(T) * static_cast<std::size_t>(newCapacity)));
        std::uninitialized_move_n(m_data, m_count, fresh);
        std::destroy_n(m_data, m_count);
        ::operator delete(m_data);
        m_data = fresh;
        m_capacity = newCapacity;
    }

    void copyFrom(const Array& other)
    {
        if (other.m_count == 0)
            return;
        reserve(other.m_count);
        std::uninitialized_copy_n(other.m_data, other.m_count, m_data);
        m_count = other.m_count;
    }

    void takeFrom(Array& other)
    {
        m_data = std::exchange(other.m_data, nullptr);
        m_count = std::exchange(other.m_count, 0);
        m_capacity = std::exchange(other.m_capacity, 0);
    }

    T* m_data = nullptr;
    int m_count = 0;
    int m_capacity = 0;
};

// Growable array of pointers without a virtual table. It grows by doubling
// its capacity (at most 100000 more at a step) only when it is full.
template <typename P>
class PointerArray {
public:
    PointerArray() = default;
    PointerArray(const PointerArray& other) { copyFrom(other); }
    ~PointerArray() { delete[] m_data; }

    PointerArray& operator=(const PointerArray& other)
    {
        if (this == &other)
            return *this;
        m_count = 0;
        copyFrom(other);
        return *this;
    }

    int count() const { return m_count; }
    int capacity() const { return m_capacity; }
    bool isEmpty() const { return m_count == 0; }
    P* data() { return m_data; }
    P& operator[](int i) { return m_data[i]; }
    P operator[](int i) const { return m_data[i]; }
    P* begin() { return m_data; }
    P* end() { return m_data + m_count; }
    const P* begin() const { return m_data; }
    const P* end() const { return m_data + m_count; }

    void append(P p)
    {
        if (m_count == m_capacity)
            reserve(grownCapacity());
        m_data[m_count++] = p;
    }

    void removeOne(P p)
    {
        const int index = indexOf(p);
        if (index >= 0)
            removeAt(index);
    }

    int indexOf(P p) const
    {
        for (int i = 0; i < m_count; ++i) {
            if (m_data[i] == p)
                return i;
        }
        return -1;
    }

    bool contains(P p) const { return indexOf(p) != -1; }

    // From the end, where the latest entries are. Takes a pointer to const
    // as well, so membership tests need no cast.
    int lastIndexOf(const std::remove_pointer_t<P>* p) const
    {
        for (int i = m_count - 1; i >= 0; --i) {
            if (m_data[i] == p)
                return i;
        }
        return -1;
    }

    void removeAt(int index)
    {
        for (int i = index; i + 1 < m_count; ++i)
            m_data[i] = m_data[i + 1];
        --m_count;
    }

    // Removes every entry the predicate picks, keeping the order of the
    // rest, in one pass; the number removed.
    template <typename Predicate>
    int removeIf(Predicate remove)
    {
        int kept = 0;
        for (int i = 0; i < m_count; ++i) {
            if (!remove(m_data[i]))
                m_data[kept++] = m_data[i];
        }
        const int removed = m_count - kept;
        m_count = kept;
        return removed;
    }

    void reserve(int n)
    {
        if (n <= m_capacity)
            return;
        P* fresh = new P[n];
        for (int i = 0; i < m_count; ++i)
            fresh[i] = m_data[i];
        delete[] m_data;
        m_data = fresh;
        m_capacity = n;
    }

    void clear() { m_count = 0; }

private:
    int grownCapacity() const
    {
        if (m_capacity == 0)
            return 1;
        if (2 * m_capacity < m_capacity + 100000)
            return 2 * m_capacity;
        return m_capacity + 100000;
    }

    void copyFrom(const PointerArray& other)
    {
        reserve(other.m_count);
        for (int i = 0; i < other.m_count; ++i)
            m_data[i] = other.m_data[i];
        m_count = other.m_count;
    }

    P* m_data = nullptr;
    int m_count = 0;
    int m_capacity = 0;
};
