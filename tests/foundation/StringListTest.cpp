#include "foundation/StringList.h"

#include "tests/support/StringPrinting.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cwctype>
#include <string>
#include <vector>

namespace {

using Node = StringList::Node;

// The values from head to tail, after checking that the links agree in both
// directions and with the count.
std::vector<std::wstring> linkedItems(const StringList& list)
{
    std::vector<std::wstring> forward;
    const Node* previous = nullptr;
    for (const Node* n = list.first(); n; n = n->next) {
        EXPECT_EQ(n->prev, previous);
        forward.push_back(wide(n->value));
        previous = n;
    }
    EXPECT_EQ(list.last(), previous);
    EXPECT_EQ(static_cast<int>(forward.size()), list.count());

    std::vector<std::wstring> backward;
    for (const Node* n = list.last(); n; n = n->prev)
        backward.push_back(wide(n->value));
    std::reverse(backward.begin(), backward.end());
    EXPECT_EQ(backward, forward);
    return forward;
}

std::vector<std::wstring> texts(const std::vector<const wchar_t*>& values)
{
    return std::vector<std::wstring>(values.begin(), values.end());
}

} // namespace

TEST(StringListBasics, AppendCopiesTheString)
{
    StringList list;
    String s(L"one");
    Node* node = list.append(s);
    s.append(L'!');
    ASSERT_NE(node, nullptr);
    EXPECT_EQ(wide(node->value), L"one");
    EXPECT_EQ(list.first(), node);
    EXPECT_EQ(list.last(), node);
    EXPECT_EQ(linkedItems(list), texts({L"one"}));
}

TEST(StringListBasics, CopyIsDeep)
{
    StringList original = listOf({L"a", L"b", L"c"});
    StringList copy(original);
    copy.first()->value.append(L'!');
    copy.append(String(L"d"));
    EXPECT_EQ(linkedItems(original), texts({L"a", L"b", L"c"}));
    EXPECT_EQ(linkedItems(copy), texts({L"a!", L"b", L"c", L"d"}));
    EXPECT_NE(original.first(), copy.first());
}

TEST(StringListBasics, AssignmentReplacesAndIgnoresItself)
{
    StringList list = listOf({L"x", L"y"});
    StringList other = listOf({L"a"});
    other = list;
    EXPECT_EQ(linkedItems(other), texts({L"x", L"y"}));

    const StringList& alias = list;
    list = alias;
    EXPECT_EQ(linkedItems(list), texts({L"x", L"y"}));
}

TEST(StringListBasics, Clear)
{
    StringList list = listOf({L"a", L"b"});
    list.clear();
    EXPECT_EQ(list.count(), 0);
    EXPECT_EQ(list.first(), nullptr);
    EXPECT_EQ(list.last(), nullptr);
    list.clear();
    EXPECT_EQ(list.count(), 0);
    list.append(String(L"again"));
    EXPECT_EQ(linkedItems(list), texts({L"again"}));
}

TEST(StringListBasics, NodeAt)
{
    StringList list = listOf({L"a", L"b", L"c"});
    EXPECT_EQ(list.nodeAt(0), list.first());
    EXPECT_EQ(list.nodeAt(-2), list.first());
    EXPECT_EQ(wide(list.nodeAt(1)->value), L"b");
    EXPECT_EQ(list.nodeAt(2), list.last());
    EXPECT_EQ(list.nodeAt(3), nullptr);
}

TEST(StringListBasics, RemoveNodeWhileIterating)
{
    StringList list = listOf({L"keep", L"drop", L"drop", L"keep", L"drop"});
    Node* n = list.first();
    while (n) {
        if (n->value == String(L"drop"))
            list.removeNode(n);
        else
            n = n->next;
    }
    EXPECT_EQ(linkedItems(list), texts({L"keep", L"keep"}));
}

TEST(StringListBasics, IndexOf)
{
    StringList list = listOf({L"a", L"b", L"b"});
    EXPECT_EQ(list.indexOf(String(L"b")), 1);
    EXPECT_EQ(list.indexOf(String(L"a")), 0);
    EXPECT_EQ(list.indexOf(String(L"B")), -1);
    EXPECT_EQ(StringList().indexOf(String(L"a")), -1);
}

TEST(StringListSort, Table)
{
    struct Row {
        std::vector<const wchar_t*> input;
        int order;
        std::vector<const wchar_t*> expected;
    };
    const Row rows[] = {
        // Equal strings ignoring case keep their order both ways.
        {{L"b", L"A", L"a"}, 1, {L"A", L"a", L"b"}},
        {{L"b", L"A", L"a"}, 0, {L"b", L"A", L"a"}},
        {{L"b", L"A", L"a"}, -1, {L"b", L"A", L"a"}},
        {{L"B", L"a", L"b", L"A", L"c", L"C"}, 1, {L"a", L"A", L"B", L"b", L"c", L"C"}},
        {{L"B", L"a", L"b", L"A", L"c", L"C"}, 2, {L"c", L"C", L"B", L"b", L"a", L"A"}},
        {{L"c", L"b", L"a"}, 1, {L"a", L"b", L"c"}},
        {{L"a", L"b", L"c"}, 0, {L"c", L"b", L"a"}},
        {{L"a10", L"a9", L"a1"}, 1, {L"a1", L"a10", L"a9"}},
        {{L"b", L"a"}, 1, {L"a", L"b"}},
        {{L"a", L"a", L"a"}, 1, {L"a", L"a", L"a"}},
        // Case is folded upwards: "_" (0x5F) sorts after "A" (0x41), not before "a".
        {{L"_", L"a"}, 1, {L"a", L"_"}},
        // \u00C9 folds to itself and sorts after every ASCII letter.
        {{L"\u00E9", L"E", L"f"}, 1, {L"E", L"f", L"\u00E9"}},
        {{L"", L"b", L""}, 1, {L"", L"", L"b"}},
    };
    for (const Row& row : rows) {
        StringList list = listOf(row.input);
        EXPECT_TRUE(list.sort(row.order));
        EXPECT_EQ(linkedItems(list), texts(row.expected)) << "order " << row.order;
    }
}

TEST(StringListSort, FewerThanTwoStrings)
{
    StringList none;
    EXPECT_FALSE(none.sort(1));
    EXPECT_EQ(none.count(), 0);
    StringList one = listOf({L"x"});
    EXPECT_FALSE(one.sort(0));
    EXPECT_EQ(linkedItems(one), texts({L"x"}));
}

TEST(StringListSort, StableLikeAReferenceSort)
{
    // Many strings that are equal ignoring case but tell apart by their case
    // ("ab", "aB", "Ab", "AB"): the result must match a stable sort by the
    // upper-cased text (ASCII only, so the reference can fold with towupper).
    std::vector<std::wstring> values;
    unsigned seed = 7;
    for (int i = 0; i < 60; ++i) {
        std::wstring v;
        for (int letters = 0; letters < 2; ++letters) {
            seed = seed * 1103515245u + 12345u;
            wchar_t letter = static_cast<wchar_t>(L'a' + (seed >> 16) % 3);
            if ((seed >> 12) & 1)
                letter = static_cast<wchar_t>(std::towupper(letter));
            v += letter;
        }
        values.push_back(v);
    }
    auto key = [](std::wstring s) {
        for (wchar_t& c : s)
            c = static_cast<wchar_t>(std::towupper(c));
        return s;
    };

    for (int order : {1, 0}) {
        StringList list;
        for (const std::wstring& v : values)
            list.append(String(v.c_str()));
        ASSERT_TRUE(list.sort(order));

        std::vector<std::wstring> reference = values;
        std::stable_sort(reference.begin(), reference.end(), [&](const std::wstring& a, const std::wstring& b) {
            return order == 1 ? key(a) < key(b) : key(b) < key(a);
        });
        EXPECT_EQ(linkedItems(list), reference) << "order " << order;
    }
}

TEST(StringListDuplicates, RemoveDuplicates)
{
    struct Row {
        std::vector<const wchar_t*> input;
        int removed;
        std::vector<const wchar_t*> expected;
    };
    const Row rows[] = {
        {{L"a", L"b", L"a", L"a", L"b"}, 3, {L"a", L"b"}},
        {{L"a", L"A"}, 0, {L"a", L"A"}},
        {{L"x", L"x"}, 1, {L"x"}},
        {{L"", L"", L"a", L""}, 2, {L"", L"a"}},
        {{L"a", L"b", L"c"}, 0, {L"a", L"b", L"c"}},
        {{L"a"}, 0, {L"a"}},
        {{}, 0, {}},
        {{L"b", L"a", L"b", L"c", L"a", L"b"}, 3, {L"b", L"a", L"c"}},
    };
    for (const Row& row : rows) {
        StringList list = listOf(row.input);
        EXPECT_EQ(list.removeDuplicates(), row.removed);
        EXPECT_EQ(linkedItems(list), texts(row.expected));
    }
}

TEST(StringListSearch, ContainsIgnoreCase)
{
    StringList list = listOf({L"\u00C9t\u00E9", L"Winter"});
    EXPECT_TRUE(list.containsIgnoreCase(String(L"\u00C9T\u00C9")));
    EXPECT_TRUE(list.containsIgnoreCase(String(L"winter")));
    EXPECT_FALSE(list.containsIgnoreCase(String(L"ete")));
    EXPECT_FALSE(list.containsIgnoreCase(String(L"win")));
    EXPECT_FALSE(StringList().containsIgnoreCase(String(L"a")));
}

TEST(StringListSearch, ContainsSubstring)
{
    StringList list = listOf({L"abcd", L"xyz"});
    EXPECT_TRUE(list.containsSubstring(String(L"bc")));
    EXPECT_TRUE(list.containsSubstring(String(L"xyz")));
    EXPECT_FALSE(list.containsSubstring(String(L"BC")));
    EXPECT_TRUE(list.containsSubstring(String(L"BC"), false));
    EXPECT_FALSE(list.containsSubstring(String(L"cx")));
}

TEST(StringListSearch, Filtered)
{
    StringList list = listOf({L"apple", L"Banana", L"cherry", L"grape"});
    EXPECT_EQ(linkedItems(list.filtered(String(L"an"))), texts({L"Banana"}));
    EXPECT_EQ(linkedItems(list.filtered(String(L"A"), false)), texts({L"apple", L"Banana", L"grape"}));
    EXPECT_EQ(linkedItems(list.filtered(String(L"A"), true)), texts({}));
    EXPECT_EQ(linkedItems(list), texts({L"apple", L"Banana", L"cherry", L"grape"}));
}

TEST(StringListSplitJoin, MembersMatchTheStringForms)
{
    StringList parts = StringList::split(String(L" a ,, b "), String(L","), String::SkipEmptyParts | String::TrimParts);
    EXPECT_EQ(linkedItems(parts), texts({L"a", L"b"}));
    EXPECT_EQ(wide(parts.join(String(L"; "))), L"a; b");
    EXPECT_EQ(wide(listOf({L"a", L"", L"b"}).join(String(L","), String::SkipEmptyParts)), L"a,b");
    EXPECT_TRUE(StringList().join(String(L",")).isEmpty());
}
