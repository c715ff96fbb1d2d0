#pragma once

#include <utility>

// Node of a List: the value first, then the links.
template <typename T>
struct ListNode {
    T value;
    ListNode* prev = nullptr;
    ListNode* next = nullptr;
};

// Doubly linked list that owns its nodes (never the objects that pointer
// values point to). Iterators are node pointers; range-for walks the values.
template <typename T>
class List {
public:
    using Node = ListNode<T>;

    class Iterator {
    public:
        explicit Iterator(Node* node) : m_node(node) {}
        T& operator*() const { return m_node->value; }
        T* operator->() const { return &m_node->value; }
        Iterator& operator++()
        {
            m_node = m_node->next;
            return *this;
        }
        bool operator==(const Iterator& other) const = default;

    private:
        Node* m_node;
    };

    List() = default;
    List(const List& other) { appendList(other); }
    virtual ~List() { clear(); }

    List& operator=(const List& other)
    {
        if (this == &other)
            return *this;
        clear();
        appendList(other);
        return *this;
    }

    int count() const { return m_count; }
    bool isEmpty() const { return m_count == 0; }
    Node* first() const { return m_head; }
    Node* last() const { return m_tail; }

    Iterator begin() const { return Iterator(m_head); }
    Iterator end() const { return Iterator(nullptr); }

    Node* append(const T& value)
    {
        Node* node = new Node{value};
        linkAfterTail(node);
        return node;
    }

    // Appending a list to itself copies each value once.
    void appendList(const List& other)
    {
        Node* n = other.m_head;
        for (int remaining = other.m_count; remaining > 0; --remaining, n = n->next)
            append(n->value);
    }

    // Inserts before the given node; a null node appends.
    Node* insertBefore(Node* position, const T& value)
    {
        Node* node = new Node{value};
        insertNodeBefore(position, node);
        return node;
    }

    // Inserts after the given node; a null node appends.
    Node* insertAfter(Node* position, const T& value)
    {
        if (!position || position == m_tail)
            return append(value);
        return insertBefore(position->next, value);
    }

    // Inserts so that the value ends up at the index; at or past the end appends.
    Node* insertAt(int index, const T& value)
    {
        if (index >= m_count)
            return append(value);
        return insertBefore(nodeAt(index), value);
    }

    // The node reached from the head after i steps (the head for i below 1).
    // i is not checked: i == count gives null.
    Node* nodeAt(int i) const
    {
        Node* node = m_head;
        for (int step = 0; step < i && node; ++step)
            node = node->next;
        return node;
    }

    Node* findNode(const T& value) const
    {
        for (Node* n = m_head; n; n = n->next) {
            if (n->value == value)
                return n;
        }
        return nullptr;
    }

    bool contains(const T& value) const { return findNode(value) != nullptr; }

    // Unlinks and frees the node and moves the iterator to the node after it.
    void removeNode(Node*& node)
    {
        if (!node)
            return;
        Node* next = node->next;
        unlink(node);
        delete node;
        node = next;
    }

    void removeValue(const T& value)
    {
        Node* node = findNode(value);
        removeNode(node);
    }

    // Exchanges the places of two nodes, adjacent or not; a null node (the
    // node past the end) swaps nothing.
    void swapNodes(Node* a, Node* b)
    {
        if (a == b || !a || !b)
            return;
        if (b->next == a)
            std::swap(a, b);
        if (a->next == b) {
            unlink(b);
            insertNodeBefore(a, b);
            return;
        }
        Node* afterA = a->next;
        Node* afterB = b->next;
        unlink(a);
        unlink(b);
        insertNodeBefore(afterB, a);
        insertNodeBefore(afterA, b);
    }

    // Exchanges the values of two nodes; the nodes stay where they are.
    void swapValues(Node* a, Node* b)
    {
        if (!a || !b)
            return;
        using std::swap;
        swap(a->value, b->value);
    }

    // Relinks the nodes in the given order; the array holds every node of
    // this list exactly once. Lets sorts move nodes without copying values.
    void relink(Node* const* nodes, int n)
    {
        m_head = m_tail = nullptr;
        m_count = 0;
        for (int i = 0; i < n; ++i)
            linkAfterTail(nodes[i]);
    }

    void clear()
    {
        if (m_count == 0)
            return;
        Node* node = m_head;
        while (node) {
            Node* next = node->next;
            delete node;
            node = next;
        }
        m_head = m_tail = nullptr;
        m_count = 0;
    }

private:
    void linkAfterTail(Node* node)
    {
        node->prev = m_tail;
        node->next = nullptr;
        if (m_tail)
            m_tail->next = node;
        else
            m_head = node;
        m_tail = node;
        ++m_count;
    }

    // Links a detached node before position; a null position appends.
    void insertNodeBefore(Node* position, Node* node)
    {
        if (!position) {
            linkAfterTail(node);
            return;
        }
        node->prev = position->prev;
        node->next = position;
        if (position->prev)
            position->prev->next = node;
        else
            m_head = node;
        position->prev = node;
        ++m_count;
    }

    void unlink(Node* node)
    {
        if (node->prev)
            node->prev->next = node->next;
        else
            m_head = node->next;
        if (node->next)
            node->next->prev = node->prev;
        else
            m_tail = node->prev;
        node->prev = node->next = nullptr;
        --m_count;
    }

    Node* m_head = nullptr;
    Node* m_tail = nullptr;
    int m_count = 0;
};
