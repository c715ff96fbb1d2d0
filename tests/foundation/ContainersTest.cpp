#include "foundation/Array.h"
#include "foundation/Geometry.h"
#include "foundation/List.h"
#include "foundation/String.h"

#include "tests/support/GeometryPrinting.h"
#include "tests/support/RowTable.h"
#include "tests/support/StringPrinting.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <utility>
#include <cstdint>
#include <string>
#include <vector>

namespace {

template <typename T>
List<T> listOf(const std::vector<T>& values)
{
    List<T> list;
    for (const T& v : values)
        list.append(v);
    return list;
}

// The values from head to tail, after checking that the prev and next links
// agree with each other, with head and tail, and with the count.
template <typename T>
std::vector<T> linkedValues(const List<T>& list)
{
    using Node = typename List<T>::Node;
    std::vector<T> forward;
    const Node* previous = nullptr;
    for (const Node* n = list.first(); n; n = n->next) {
        EXPECT_EQ(n->prev, previous);
        forward.push_back(n->value);
        previous = n;
    }
    EXPECT_EQ(list.last(), previous);
    EXPECT_EQ(static_cast<int>(forward.size()), list.count());

    std::vector<T> backward;
    for (const Node* n = list.last(); n; n = n->prev)
        backward.push_back(n->value);
    std::reverse(backward.begin(), backward.end());
    EXPECT_EQ(backward, forward);
    return forward;
}

std::vector<List<int>::Node*> nodesOf(const List<int>& list)
{
    std::vector<List<int>::Node*> nodes;
    for (List<int>::Node* n = list.first(); n; n = n->next)
        nodes.push_back(n);
    return nodes;
}

template <typename T>
std::vector<T> arrayValues(const Array<T>& array)
{
    return std::vector<T>(array.begin(), array.end());
}

// Distinct capacities seen while appending one element at a time.
template <typename Container, typename Make>
std::vector<int> capacitiesWhileAppending(Container& container, int total, Make make)
{
    std::vector<int> seen;
    for (int i = 0; i < total; ++i) {
        container.append(make(i));
        if (seen.empty() || seen.back() != container.capacity())
            seen.push_back(container.capacity());
    }
    return seen;
}

} // namespace

// --- List ------------------------------------------------------------------

TEST(ListBasics, AppendLinksAtTheTail)
{
    List<int> list;
    EXPECT_EQ(list.first(), nullptr);
    EXPECT_EQ(list.last(), nullptr);
    List<int>::Node* a = list.append(1);
    List<int>::Node* b = list.append(2);
    EXPECT_EQ(a->value, 1);
    EXPECT_EQ(b->prev, a);
    EXPECT_EQ(b->next, nullptr);
    EXPECT_EQ(list.first(), a);
    EXPECT_EQ(list.last(), b);
    EXPECT_EQ(linkedValues(list), std::vector<int>({1, 2}));
}

TEST(ListBasics, AppendListCopiesInOrder)
{
    List<int> list = listOf<int>({1, 2});
    List<int> other = listOf<int>({3, 4});
    list.appendList(other);
    EXPECT_EQ(linkedValues(list), std::vector<int>({1, 2, 3, 4}));
    EXPECT_EQ(linkedValues(other), std::vector<int>({3, 4}));
    list.appendList(List<int>());
    EXPECT_EQ(list.count(), 4);
}

// Appending a list to itself used to walk the nodes it was adding, forever.
TEST(ListBasics, AppendListToItselfCopiesOnce)
{
    List<int> list = listOf<int>({1, 2, 3});
    list.appendList(list);
    EXPECT_EQ(linkedValues(list), std::vector<int>({1, 2, 3, 1, 2, 3}));
}

TEST(ListBasics, RangeForWalksTheValues)
{
    List<int> list = listOf<int>({5, 6, 7});
    int sum = 0;
    for (int v : list)
        sum += v;
    EXPECT_EQ(sum, 18);
}

TEST(ListBasics, CopyAndAssignment)
{
    List<int> original = listOf<int>({1, 2, 3});
    List<int> copy(original);
    copy.first()->value = 9;
    EXPECT_EQ(linkedValues(original), std::vector<int>({1, 2, 3}));
    EXPECT_EQ(linkedValues(copy), std::vector<int>({9, 2, 3}));

    List<int> target = listOf<int>({7});
    target = original;
    EXPECT_EQ(linkedValues(target), std::vector<int>({1, 2, 3}));

    const List<int>& alias = target;
    target = alias;
    EXPECT_EQ(linkedValues(target), std::vector<int>({1, 2, 3}));
}

TEST(ListBasics, ClearEmptiesAndIsReusable)
{
    List<int> list = listOf<int>({1, 2, 3});
    list.clear();
    EXPECT_EQ(list.count(), 0);
    EXPECT_TRUE(list.isEmpty());
    EXPECT_EQ(list.first(), nullptr);
    EXPECT_EQ(list.last(), nullptr);
    list.clear();
    EXPECT_EQ(list.count(), 0);
    list.append(4);
    EXPECT_EQ(linkedValues(list), std::vector<int>({4}));
}

TEST(ListBasics, WideValuesKeepEveryBit)
{
    const std::int64_t big = 0x123456789ABCDEF0LL;
    List<std::int64_t> list = listOf<std::int64_t>({big, big + 1, -big});
    EXPECT_EQ(linkedValues(list), std::vector<std::int64_t>({big, big + 1, -big}));
    EXPECT_NE(list.findNode(big + 1), nullptr);
    EXPECT_EQ(list.findNode(static_cast<std::int64_t>(static_cast<std::uint32_t>(big))), nullptr);

    int objects[3] = {};
    List<int*> pointers = listOf<int*>({&objects[0], &objects[2]});
    EXPECT_EQ(pointers.first()->value, &objects[0]);
    EXPECT_EQ(pointers.last()->value, &objects[2]);

    List<Rect> rects = listOf<Rect>({Rect(1, 2, 3, 4), Rect(-5, -6, 7, 8)});
    EXPECT_EQ(rects.last()->value, Rect(-5, -6, 7, 8));
}

TEST(ListBasics, StringValues)
{
    List<String> list;
    list.append(String(L"one"));
    list.append(String(L"two"));
    List<String> copy(list);
    list.first()->value.append(L'!');
    EXPECT_EQ(wide(list.first()->value), L"one!");
    EXPECT_EQ(wide(copy.first()->value), L"one");
    EXPECT_EQ(wide(copy.last()->value), L"two");
}

TEST(ListRemove, RemoveNodeMovesToTheNextNode)
{
    List<int> list = listOf<int>({1, 2, 3});
    List<int>::Node* n = list.first()->next;
    list.removeNode(n);
    ASSERT_NE(n, nullptr);
    EXPECT_EQ(n->value, 3);
    EXPECT_EQ(linkedValues(list), std::vector<int>({1, 3}));

    list.removeNode(n); // the tail: the iterator becomes null
    EXPECT_EQ(n, nullptr);
    EXPECT_EQ(linkedValues(list), std::vector<int>({1}));

    list.removeNode(n); // a null iterator does nothing
    EXPECT_EQ(list.count(), 1);

    n = list.first();
    list.removeNode(n);
    EXPECT_EQ(n, nullptr);
    EXPECT_EQ(linkedValues(list), std::vector<int>());
    EXPECT_EQ(list.first(), nullptr);
}

TEST(ListRemove, RemoveNodeWhileIterating)
{
    struct Row {
        std::vector<int> input;
        std::vector<int> kept;
    };
    // Odd values are removed; covers head, tail, runs and everything.
    const Row rows[] = {
        {{1, 2, 3, 4, 5, 6, 7, 8, 9, 10}, {2, 4, 6, 8, 10}},
        {{1, 3, 5}, {}},
        {{2, 1, 1, 4}, {2, 4}},
        {{2, 4}, {2, 4}},
        {{1}, {}},
    };
    for (const Row& row : rows) {
        List<int> list = listOf(row.input);
        List<int>::Node* n = list.first();
        while (n) {
            if (n->value % 2)
                list.removeNode(n);
            else
                n = n->next;
        }
        EXPECT_EQ(linkedValues(list), row.kept);
    }
}

TEST(ListRemove, RemoveValueTakesTheFirstMatch)
{
    List<int> list = listOf<int>({1, 2, 1, 3});
    List<int>::Node* secondOne = list.nodeAt(2);
    list.removeValue(1);
    EXPECT_EQ(linkedValues(list), std::vector<int>({2, 1, 3}));
    EXPECT_EQ(list.nodeAt(1), secondOne);
    list.removeValue(42);
    EXPECT_EQ(linkedValues(list), std::vector<int>({2, 1, 3}));
    list.removeValue(3);
    EXPECT_EQ(linkedValues(list), std::vector<int>({2, 1}));
}

TEST(ListSwap, SwapNodesTable)
{
    struct Row {
        int a;
        int b;
        std::vector<int> expected;
    };
    const Row rows[] = {
        {1, 2, {1, 3, 2, 4, 5}}, // adjacent in the middle
        {2, 1, {1, 3, 2, 4, 5}}, // adjacent, arguments reversed
        {0, 1, {2, 1, 3, 4, 5}}, // head and its successor
        {1, 0, {2, 1, 3, 4, 5}},
        {3, 4, {1, 2, 3, 5, 4}}, // tail and its predecessor
        {4, 3, {1, 2, 3, 5, 4}},
        {0, 4, {5, 2, 3, 4, 1}}, // head and tail
        {4, 0, {5, 2, 3, 4, 1}},
        {1, 3, {1, 4, 3, 2, 5}}, // non-adjacent in the middle
        {0, 2, {3, 2, 1, 4, 5}}, // head and a node one apart
        {2, 4, {1, 2, 5, 4, 3}}, // tail and a node one apart
        {0, 3, {4, 2, 3, 1, 5}},
        {2, 2, {1, 2, 3, 4, 5}}, // a node with itself
    };
    for (const Row& row : rows) {
        List<int> list = listOf<int>({1, 2, 3, 4, 5});
        std::vector<List<int>::Node*> nodes = nodesOf(list);
        list.swapNodes(nodes[row.a], nodes[row.b]);
        EXPECT_EQ(linkedValues(list), row.expected) << "swap " << row.a << " and " << row.b;
        // The nodes themselves moved; their values stayed with them.
        for (int i = 0; i < 5; ++i)
            EXPECT_EQ(nodes[i]->value, i + 1);
    }
}

TEST(ListSwap, SwapNodesOfATwoNodeList)
{
    List<int> list = listOf<int>({1, 2});
    List<int>::Node* head = list.first();
    List<int>::Node* tail = list.last();
    list.swapNodes(head, tail);
    EXPECT_EQ(list.first(), tail);
    EXPECT_EQ(list.last(), head);
    EXPECT_EQ(linkedValues(list), std::vector<int>({2, 1}));
    list.swapNodes(head, tail);
    EXPECT_EQ(linkedValues(list), std::vector<int>({1, 2}));
}

TEST(ListSwap, SwapNodesUpdatesHeadAndTail)
{
    List<int> list = listOf<int>({1, 2, 3});
    std::vector<List<int>::Node*> nodes = nodesOf(list);
    list.swapNodes(nodes[0], nodes[2]);
    EXPECT_EQ(list.first(), nodes[2]);
    EXPECT_EQ(list.last(), nodes[0]);
    EXPECT_EQ(nodes[2]->prev, nullptr);
    EXPECT_EQ(nodes[0]->next, nullptr);
    EXPECT_EQ(linkedValues(list), std::vector<int>({3, 2, 1}));
}

TEST(ListSwap, SwapValuesKeepsTheNodesInPlace)
{
    List<int> list = listOf<int>({1, 2, 3});
    std::vector<List<int>::Node*> nodes = nodesOf(list);
    list.swapValues(nodes[0], nodes[2]);
    EXPECT_EQ(nodesOf(list), nodes);
    EXPECT_EQ(linkedValues(list), std::vector<int>({3, 2, 1}));

    List<String> strings;
    List<String>::Node* a = strings.append(String(L"first"));
    List<String>::Node* b = strings.append(String(L"second"));
    strings.swapValues(a, b);
    EXPECT_EQ(strings.first(), a);
    EXPECT_EQ(wide(a->value), L"second");
    EXPECT_EQ(wide(b->value), L"first");
}

TEST(ListInsert, InsertBefore)
{
    List<int> list = listOf<int>({2, 4});
    List<int>::Node* head = list.insertBefore(list.first(), 1);
    EXPECT_EQ(list.first(), head);
    EXPECT_EQ(head->value, 1);
    list.insertBefore(list.last(), 3);
    List<int>::Node* appended = list.insertBefore(nullptr, 5);
    EXPECT_EQ(list.last(), appended);
    EXPECT_EQ(linkedValues(list), std::vector<int>({1, 2, 3, 4, 5}));

    List<int> empty;
    empty.insertBefore(nullptr, 7);
    EXPECT_EQ(linkedValues(empty), std::vector<int>({7}));
}

TEST(ListInsert, InsertAfter)
{
    List<int> list = listOf<int>({1, 3});
    list.insertAfter(list.first(), 2);
    List<int>::Node* tail = list.insertAfter(list.last(), 4);
    EXPECT_EQ(list.last(), tail);
    list.insertAfter(nullptr, 5);
    EXPECT_EQ(linkedValues(list), std::vector<int>({1, 2, 3, 4, 5}));

    List<int> empty;
    empty.insertAfter(nullptr, 7);
    EXPECT_EQ(linkedValues(empty), std::vector<int>({7}));
}

TEST(ListInsert, InsertAt)
{
    struct Row {
        int index;
        std::vector<int> expected;
    };
    const Row rows[] = {
        {0, {9, 1, 2, 3}}, {1, {1, 9, 2, 3}}, {2, {1, 2, 9, 3}}, {3, {1, 2, 3, 9}}, {10, {1, 2, 3, 9}},
    };
    for (const Row& row : rows) {
        List<int> list = listOf<int>({1, 2, 3});
        List<int>::Node* node = list.insertAt(row.index, 9);
        EXPECT_EQ(node->value, 9);
        EXPECT_EQ(linkedValues(list), row.expected) << "insertAt " << row.index;
    }
    List<int> empty;
    empty.insertAt(0, 4);
    EXPECT_EQ(linkedValues(empty), std::vector<int>({4}));
}

TEST(ListFind, NodeAtAndFindNode)
{
    List<int> list = listOf<int>({10, 20, 10});
    EXPECT_EQ(list.nodeAt(0), list.first());
    EXPECT_EQ(list.nodeAt(-1), list.first());
    EXPECT_EQ(list.nodeAt(1)->value, 20);
    EXPECT_EQ(list.nodeAt(2), list.last());
    EXPECT_EQ(list.nodeAt(3), nullptr);
    EXPECT_EQ(list.findNode(10), list.first());
    EXPECT_EQ(list.findNode(20), list.nodeAt(1));
    EXPECT_EQ(list.findNode(30), nullptr);
    EXPECT_TRUE(list.contains(20));
    EXPECT_FALSE(list.contains(30));
    EXPECT_EQ(List<int>().nodeAt(0), nullptr);
}

// --- Array -----------------------------------------------------------------

TEST(ArrayGrowth, AppendingDoublesTheRequest)
{
    // The request is count + 1; from 100000 on growth adds at most 100000.
    Array<int> array;
    std::vector<int> expected = {1,    4,    10,    22,    46,    94,    190,    382,    766,
                                 1534, 3070, 6142, 12286, 24574, 49150, 98302, 196606, 296607};
    EXPECT_EQ(capacitiesWhileAppending(array, 200000, [](int i) { return i; }), expected);
    EXPECT_EQ(array.count(), 200000);
    EXPECT_EQ(array[0], 0);
    EXPECT_EQ(array[199999], 199999);
}

TEST(ArrayGrowth, ReserveRule)
{
    Array<int> array;
    array.reserve(7);
    EXPECT_EQ(array.capacity(), 7); // first allocation: exact
    array.reserve(5);
    EXPECT_EQ(array.capacity(), 7);
    array.reserve(8);
    EXPECT_EQ(array.capacity(), 16);
    array.reserve(600000);
    EXPECT_EQ(array.capacity(), 700000);

    struct Row {
        int request;
        int expected;
    };
    const Row rows[] = {{99999, 199998}, {100000, 200000}, {100001, 200001}, {50000, 100000}};
    for (const Row& row : rows) {
        Array<int> grown;
        grown.append(1);
        grown.reserve(row.request);
        EXPECT_EQ(grown.capacity(), row.expected) << "request " << row.request;
        EXPECT_EQ(grown[0], 1);
    }
}

TEST(ArrayGrowth, CopyReservesExactlyTheCount)
{
    Array<int> array;
    for (int i = 0; i < 5; ++i)
        array.append(i * 10);
    ASSERT_EQ(array.capacity(), 10);
    Array<int> copy(array);
    EXPECT_EQ(copy.capacity(), 5);
    EXPECT_EQ(arrayValues(copy), std::vector<int>({0, 10, 20, 30, 40}));
    copy[0] = 99;
    EXPECT_EQ(array[0], 0);

    Array<int> empty;
    Array<int> emptyCopy(empty);
    EXPECT_EQ(emptyCopy.capacity(), 0);
    EXPECT_EQ(emptyCopy.count(), 0);
}

TEST(ArrayGrowth, ClearAndFree)
{
    Array<int> array;
    for (int i = 0; i < 3; ++i)
        array.append(i);
    array.clearAndFree();
    EXPECT_EQ(array.count(), 0);
    EXPECT_EQ(array.capacity(), 0);
    EXPECT_EQ(array.data(), nullptr);
    array.append(5);
    EXPECT_EQ(array.capacity(), 1);
    EXPECT_EQ(arrayValues(array), std::vector<int>({5}));
}

TEST(ArrayEdit, InsertAndRemoveAtIndex)
{
    Array<int> array;
    array.insert(0, 2);
    array.insert(0, 1);
    array.insert(2, 4);
    array.insert(2, 3);
    array.insert(99, 5);
    EXPECT_EQ(arrayValues(array), std::vector<int>({1, 2, 3, 4, 5}));
    array.removeAt(0);
    array.removeAt(1);
    array.removeAt(2);
    EXPECT_EQ(arrayValues(array), std::vector<int>({2, 4}));
}

TEST(ArrayEdit, RemoveAtIteratorWhileWalking)
{
    Array<int> array;
    for (int i = 1; i <= 10; ++i)
        array.append(i);
    for (int* it = array.begin(); it != array.end();) {
        if (*it % 2 == 0)
            it = array.removeAt(it);
        else
            ++it;
    }
    EXPECT_EQ(arrayValues(array), std::vector<int>({1, 3, 5, 7, 9}));
}

TEST(ArrayEdit, RemoveAtIteratorReturnsTheNextElement)
{
    Array<int> array;
    for (int v : {1, 2, 3})
        array.append(v);
    int* next = array.removeAt(array.begin());
    EXPECT_EQ(next, array.begin());
    EXPECT_EQ(*next, 2);
    next = array.removeAt(array.begin() + 1); // the last element
    EXPECT_EQ(next, array.end());
    EXPECT_EQ(arrayValues(array), std::vector<int>({2}));
    next = array.removeAt(array.begin());
    EXPECT_EQ(next, array.end());
    EXPECT_TRUE(array.isEmpty());
}

TEST(ArraySearch, WideValuesAreComparedWhole)
{
    // Values that differ only above bit 31 must not match each other.
    Array<std::int64_t> array;
    array.append(0x100000001LL);
    array.append(-1);
    EXPECT_TRUE(array.contains(0x100000001LL));
    EXPECT_FALSE(array.contains(1));
    EXPECT_FALSE(array.contains(0xFFFFFFFFLL));
    EXPECT_EQ(array.indexOf(-1), 1);
    EXPECT_EQ(array.indexOf(7), -1);

    Array<Rect> rects;
    rects.append(Rect(1, 2, 3, 4));
    rects.append(Rect(1, 2, 3, 5));
    EXPECT_EQ(rects.indexOf(Rect(1, 2, 3, 5)), 1);
    EXPECT_FALSE(rects.contains(Rect(1, 2, 3, 6)));
}

TEST(ArrayOfStrings, GrowthAndCopyKeepValues)
{
    Array<String> array;
    for (int i = 0; i < 300; ++i)
        array.append(String(L"item ") + String::number(i));
    ASSERT_EQ(array.count(), 300);
    for (int i = 0; i < 300; ++i)
        EXPECT_EQ(wide(array[i]), L"item " + std::to_wstring(i));

    Array<String> copy(array);
    EXPECT_EQ(copy.capacity(), 300);
    copy[3] = String(L"changed");
    copy[4].append(L'!');
    EXPECT_EQ(wide(array[3]), L"item 3");
    EXPECT_EQ(wide(array[4]), L"item 4");
    EXPECT_EQ(wide(copy[4]), L"item 4!");

    Array<String> assigned;
    assigned.append(String(L"old"));
    assigned = array;
    EXPECT_EQ(assigned.count(), 300);
    EXPECT_EQ(wide(assigned[299]), L"item 299");
}

TEST(ArrayOfStrings, InsertRemoveAndClear)
{
    Array<String> array;
    for (const wchar_t* s : {L"b", L"d"})
        array.append(String(s));
    array.insert(0, String(L"a"));
    array.insert(2, String(L"c"));
    array.removeAt(3);
    ASSERT_EQ(array.count(), 3);
    EXPECT_EQ(wide(array[0]), L"a");
    EXPECT_EQ(wide(array[1]), L"b");
    EXPECT_EQ(wide(array[2]), L"c");
    EXPECT_EQ(array.indexOf(String(L"c")), 2);
    array.clear();
    EXPECT_EQ(array.count(), 0);
    array.append(String(L"again"));
    EXPECT_EQ(wide(array[0]), L"again");
}

TEST(ArrayOfStrings, AppendingAnOwnElementWhileFull)
{
    // The value passed in lives in the storage that growth frees.
    Array<String> array;
    array.append(String(L"self"));
    ASSERT_EQ(array.count(), array.capacity());
    array.append(array[0]);
    array.append(array[1]);
    array.append(array[2]);
    ASSERT_EQ(array.count(), array.capacity());
    array.insert(0, array[3]);
    ASSERT_EQ(array.count(), 5);
    for (const String& s : array)
        EXPECT_EQ(wide(s), L"self");
}

TEST(ArrayOfStrings, MoveLeavesTheSourceEmpty)
{
    Array<String> array;
    array.append(String(L"x"));
    Array<String> moved(std::move(array));
    EXPECT_EQ(moved.count(), 1);
    EXPECT_EQ(wide(moved[0]), L"x");
    EXPECT_EQ(array.count(), 0);
    EXPECT_EQ(array.capacity(), 0);
}

// --- PointerArray ----------------------------------------------------------

TEST(PointerArrayGrowth, CapacitiesDouble)
{
    int slots[5] = {};
    PointerArray<int*> array;
    std::vector<int> capacities;
    for (int& slot : slots) {
        array.append(&slot);
        capacities.push_back(array.capacity());
    }
    EXPECT_EQ(capacities, std::vector<int>({1, 2, 4, 4, 8}));
    for (int i = 0; i < 5; ++i)
        EXPECT_EQ(array[i], &slots[i]);
}

TEST(PointerArrayGrowth, GrowthIsCappedAt100000)
{
    static int target;
    PointerArray<int*> array;
    std::vector<int> expected;
    for (int c = 1; c <= 131072; c *= 2)
        expected.push_back(c);
    expected.push_back(231072);
    EXPECT_EQ(capacitiesWhileAppending(array, 131073, [](int) { return &target; }), expected);
}

TEST(PointerArrayGrowth, ReserveIsExact)
{
    int value = 0;
    PointerArray<int*> array;
    array.reserve(10);
    EXPECT_EQ(array.capacity(), 10);
    array.reserve(5);
    EXPECT_EQ(array.capacity(), 10);
    array.append(&value);
    array.reserve(11);
    EXPECT_EQ(array.capacity(), 11);
    EXPECT_EQ(array.count(), 1);
    EXPECT_EQ(array[0], &value);
}

TEST(PointerArrayRemove, RemoveOne)
{
    int v[4] = {};
    struct Row {
        std::vector<int> start; // indices into v
        int removed;
        std::vector<int> expected;
    };
    const Row rows[] = {
        {{0, 1, 2}, 0, {1, 2}},    // the first: the rest move down
        {{0, 1, 2}, 2, {0, 1}},    // the last: nothing moves
        {{0, 1, 2}, 1, {0, 2}},
        {{0, 1, 2}, 3, {0, 1, 2}}, // absent: unchanged
        {{0, 1, 0}, 0, {1, 0}},    // only the first of equal pointers
        {{0}, 0, {}},
        {{}, 0, {}},
    };
    for (const Row& row : rows) {
        PointerArray<int*> array;
        for (int i : row.start)
            array.append(&v[i]);
        int capacity = array.capacity();
        array.removeOne(&v[row.removed]);
        std::vector<int*> expected;
        for (int i : row.expected)
            expected.push_back(&v[i]);
        EXPECT_EQ(std::vector<int*>(array.begin(), array.end()), expected) << "removing " << row.removed;
        EXPECT_EQ(array.count(), static_cast<int>(row.expected.size()));
        EXPECT_EQ(array.capacity(), capacity);
    }
}

TEST(PointerArrayCopy, CopyAndAssignment)
{
    int v[3] = {};
    PointerArray<int*> array;
    for (int& x : v)
        array.append(&x);
    PointerArray<int*> copy(array);
    EXPECT_EQ(copy.count(), 3);
    EXPECT_EQ(copy[2], &v[2]);
    copy.removeOne(&v[0]);
    EXPECT_EQ(array.count(), 3);
    EXPECT_EQ(array[0], &v[0]);

    PointerArray<int*> assigned;
    assigned.append(&v[1]);
    assigned = array;
    EXPECT_EQ(std::vector<int*>(assigned.begin(), assigned.end()), std::vector<int*>({&v[0], &v[1], &v[2]}));
    EXPECT_TRUE(assigned.contains(&v[1]));
    EXPECT_EQ(assigned.indexOf(&v[2]), 2);
}

// --- indices outside the container ---------------------------------------------

// Out of range, a read gives the default value, a write lands nowhere, an
// insert clamps and a removal removes nothing. Each row starts from an array
// and a list holding 1, 2, 3 and a pointer array pointing at 1 and 2.
TEST(ContainerIndices, OutOfRangeNeverReachesOutside)
{
    using Ints = std::vector<int>;
    struct Row {
        const char* call;
        Ints (*apply)(Array<int>& a, List<int>& l, PointerArray<int*>& p);
        Ints expected;
    };
    static int other = 9;
    const auto deref = [](int* p) { return p ? *p : 0; };
    // removeAt(3) used to drop the last element; removeAt(-1) and insert(-2) wrote before the storage.
    const Row rows[] = {
        {"a[3], a[-1], a.at(INT_MIN)", [](auto& a, auto&, auto&) { return Ints{a[3], a[-1], a.at(INT_MIN)}; },
         {0, 0, 0}},
        {"a[3] = 9", [](auto& a, auto&, auto&) { return a[3] = 9, a[-1] = 9, arrayValues(a); }, {1, 2, 3}},
        {"last() of none", [](auto&, auto&, auto&) { return Ints{Array<int>().last()}; }, {0}},
        {"insert(-2, 7)", [](auto& a, auto&, auto&) { return a.insert(-2, 7), arrayValues(a); }, {7, 1, 2, 3}},
        {"insert(9, 7)", [](auto& a, auto&, auto&) { return a.insert(9, 7), arrayValues(a); }, {1, 2, 3, 7}},
        {"removeAt(3)", [](auto& a, auto&, auto&) { return a.removeAt(3), a.removeAt(-1), arrayValues(a); }, {1, 2, 3}},
        {"removeAt(end())", [](auto& a, auto&, auto&) { return Ints{a.removeAt(a.end()) == a.end(), a.count()}; },
         {1, 3}},
        {"p[2] = &other", [](auto&, auto&, auto& p) { return p[2] = &other, p[-1] = &other, Ints{p.count(), *p[1]}; },
         {2, 2}},
        {"p.removeAt(2), (-1)", [](auto&, auto&, auto& p) { return p.removeAt(2), p.removeAt(-1), Ints{p.count()}; },
         {2}},
        {"p[2], p[-1]", [](auto&, auto&, auto& p) { return Ints{std::as_const(p)[2] == nullptr, p[-1] == nullptr}; },
         {1, 1}},
        {"nodeAt(3), (-2)", [](auto&, auto& l, auto&) { return Ints{l.nodeAt(3) == nullptr, l.nodeAt(-2)->value}; },
         {1, 1}},
        {"insertAt(-1, 7)", [](auto&, auto& l, auto&) { return l.insertAt(-1, 7), linkedValues(l); }, {7, 1, 2, 3}},
        {"insertAt(9, 7)", [](auto&, auto& l, auto&) { return l.insertAt(9, 7), linkedValues(l); }, {1, 2, 3, 7}},
        {"swapNodes(head, past the end)",
         [](auto&, auto& l, auto&) { return l.swapNodes(l.first(), l.nodeAt(3)), linkedValues(l); }, {1, 2, 3}},
        {"swapValues(past the end, head)",
         [](auto&, auto& l, auto&) { return l.swapValues(l.nodeAt(5), l.first()), linkedValues(l); }, {1, 2, 3}},
    };
    forEachRow(rows, [&](const Row& row) {
        SCOPED_TRACE(row.call);
        Array<int> a;
        List<int> l = listOf<int>({1, 2, 3});
        int values[] = {1, 2, 3};
        PointerArray<int*> p;
        for (int& v : values) {
            a.append(v);
            if (v < 3)
                p.append(&v);
        }
        EXPECT_EQ(row.apply(a, l, p), row.expected);
        EXPECT_EQ(deref(p[0]) + deref(p[1]), 3);
    });
}

TEST(ContainerIndices, StringElementsOutOfRangeReadEmpty)
{
    Array<String> strings;
    strings.append(String(L"a"));
    strings[2] = String(L"x");
    EXPECT_EQ(strings.count(), 1);
    EXPECT_TRUE(strings[2].isEmpty());
    EXPECT_EQ(wide(strings[0]), L"a");
}
