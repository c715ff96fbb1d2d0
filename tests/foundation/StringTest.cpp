#include "foundation/String.h"
#include "foundation/StringList.h"

#include "tests/support/RowTable.h"
#include "tests/support/StringPrinting.h"

#include <gtest/gtest.h>

#include <climits>
#include <new>
#include <random>
#include <string>
#include <vector>

namespace {

std::vector<int> positions(const Array<int>& array)
{
    return std::vector<int>(array.begin(), array.end());
}

// Distinct capacities seen while appending one character at a time.
std::vector<int> capacitiesWhileAppending(int total)
{
    String s;
    std::vector<int> seen;
    for (int i = 0; i < total; ++i) {
        s.append(L'x');
        if (seen.empty() || seen.back() != s.capacity())
            seen.push_back(s.capacity());
    }
    return seen;
}

} // namespace

// --- construction, assignment, growth ---------------------------------------

TEST(StringConstruction, DefaultHasNoBuffer)
{
    String s;
    EXPECT_EQ(s.length(), 0);
    EXPECT_EQ(s.capacity(), 0);
    EXPECT_TRUE(s.isEmpty());
    EXPECT_EQ(s.constData(), nullptr);
    EXPECT_EQ(s.data(), nullptr);
}

TEST(StringConstruction, FromWideText)
{
    EXPECT_EQ(wide(String(L"abc")), L"abc");
    EXPECT_TRUE(String(static_cast<const wchar_t*>(nullptr)).isEmpty());
    EXPECT_TRUE(String(L"").isEmpty());
}

TEST(StringConstruction, FromWideTextWithLength)
{
    EXPECT_EQ(wide(String(L"abcdef", 3)), L"abc");
    EXPECT_EQ(wide(String(L"abcdef", -1)), L"abcdef");
    EXPECT_TRUE(String(L"abc", 0).isEmpty());
    EXPECT_TRUE(String(L"abc", -2).isEmpty());
    EXPECT_TRUE(String(static_cast<const wchar_t*>(nullptr), 3).isEmpty());
    EXPECT_TRUE(String(L"", -1).isEmpty());
}

TEST(StringConstruction, RepeatedCharacter)
{
    EXPECT_EQ(wide(String(L'x', 3)), L"xxx");
    EXPECT_TRUE(String(L'x', 0).isEmpty());
}

TEST(StringConstruction, FromAnsiText)
{
    EXPECT_EQ(wide(String("plain ascii")), L"plain ascii");
    EXPECT_EQ(wide(String("abcdef", 2)), L"ab");
    EXPECT_TRUE(String(static_cast<const char*>(nullptr)).isEmpty());
    EXPECT_TRUE(String("").isEmpty());
}

TEST(StringConstruction, CopiesAreDeep)
{
    String a(L"hello");
    String b(a);
    b.append(L'!');
    EXPECT_EQ(wide(a), L"hello");
    EXPECT_EQ(wide(b), L"hello!");
    EXPECT_NE(a.constData(), b.constData());
}

TEST(StringConstruction, FirstAllocationIsExact)
{
    EXPECT_EQ(String(L"abc").capacity(), 3);
    String s;
    s.append(L"abcde");
    EXPECT_EQ(s.capacity(), 5);
}

TEST(StringAssignment, EmptySourceKeepsTheBuffer)
{
    String s(L"hello");
    int capacity = s.capacity();
    const String emptySource;
    s = emptySource;
    EXPECT_TRUE(s.isEmpty());
    EXPECT_EQ(s.capacity(), capacity);
    ASSERT_NE(s.data(), nullptr);
    EXPECT_EQ(s.data()[0], 0);
}

TEST(StringAssignment, EmptyOrNullTextKeepsTheBuffer)
{
    String s(L"hello");
    s = static_cast<const wchar_t*>(nullptr);
    EXPECT_TRUE(s.isEmpty());
    EXPECT_EQ(s.capacity(), 5);

    s = L"abc";
    s.assign(L"xyz", 0);
    EXPECT_TRUE(s.isEmpty());
    EXPECT_EQ(s.capacity(), 5);

    s = L"abc";
    s.assign(L"");
    EXPECT_TRUE(s.isEmpty());
}

TEST(StringAssignment, AssignWithLength)
{
    String s(L"old text");
    s.assign(L"abcdef", 2);
    EXPECT_EQ(wide(s), L"ab");
    s.assign(L"abcdef", -1);
    EXPECT_EQ(wide(s), L"abcdef");
    s.assign(String(L"copy"));
    EXPECT_EQ(wide(s), L"copy");
    // A given length took a text that began with U+0000 for an empty one.
    s.assign(L"\0ab", 3);
    EXPECT_EQ(wide(s), std::wstring(L"\0ab", 3));
    EXPECT_EQ(wide(String(L"a\0b", 3).mid(1)), std::wstring(L"\0b", 2));
    s.assign(L"\0ab", -1);
    EXPECT_TRUE(s.isEmpty());
}

TEST(StringAssignment, CopiesKeepALeadingZeroUnit)
{
    String s(L'\0', 2);
    s.append(L'x');
    const String copy(s);
    EXPECT_EQ(wide(copy), std::wstring(L"\0\0x", 3));
    String assigned(L"old");
    assigned = s;
    EXPECT_EQ(wide(assigned), std::wstring(L"\0\0x", 3));
}

TEST(StringAssignment, SelfAssignmentKeepsText)
{
    String s(L"same");
    const String& alias = s;
    s = alias;
    EXPECT_EQ(wide(s), L"same");
}

TEST(StringGrowth, AppendingOneCharacterDoublesTheRequest)
{
    // The doubling is of the requested length + 1, and from 524288 on it
    // adds at most 524288 characters at a step.
    std::vector<int> expected = {1,     4,     10,    22,     46,     94,     190,    382,    766,     1534,
                                 3070,  6142,  12286, 24574,  49150,  98302,  196606, 393214, 786430, 1310719};
    EXPECT_EQ(capacitiesWhileAppending(800000), expected);
}

TEST(StringGrowth, ReserveRule)
{
    String s;
    s.reserve(10);
    EXPECT_EQ(s.capacity(), 10); // first buffer: exact
    s.reserve(5);
    EXPECT_EQ(s.capacity(), 10);
    s.reserve(10);
    EXPECT_EQ(s.capacity(), 10);
    s.reserve(11);
    EXPECT_EQ(s.capacity(), 22);
    s.reserve(600000);
    EXPECT_EQ(s.capacity(), 1124288);
}

TEST(StringGrowth, ReserveAroundTheCap)
{
    struct Row {
        int request;
        int expected;
    };
    const Row rows[] = {{524287, 1048574}, {524288, 1048576}, {524289, 1048577}, {1000000, 1524288}};
    for (const Row& row : rows) {
        String s(L"x");
        s.reserve(row.request);
        EXPECT_EQ(s.capacity(), row.expected) << "request " << row.request;
        EXPECT_EQ(wide(s), L"x");
        EXPECT_EQ(s.data()[1], 0);
    }
}

TEST(StringGrowth, ReserveAfterFreeBufferIsExactAgain)
{
    String s(L"abc");
    s.freeBuffer();
    EXPECT_EQ(s.capacity(), 0);
    EXPECT_EQ(s.length(), 0);
    EXPECT_EQ(s.data(), nullptr);
    s.reserve(7);
    EXPECT_EQ(s.capacity(), 7);
}

TEST(StringGrowth, ClearKeepsTheBuffer)
{
    String s(L"abcdef");
    s.clear();
    EXPECT_TRUE(s.isEmpty());
    EXPECT_EQ(s.capacity(), 6);
    EXPECT_EQ(s.data()[0], 0);
}

TEST(StringGrowth, Resize)
{
    String s(L"abcdef");
    s.resize(3);
    EXPECT_EQ(wide(s), L"abc");
    EXPECT_EQ(s.data()[3], 0);
    s.resize(5);
    EXPECT_EQ(s.length(), 5);
    EXPECT_GE(s.capacity(), 5);
    EXPECT_EQ(s.data()[5], 0);
    EXPECT_EQ(std::wstring(s.data(), 3), L"abc");
}

// --- appending, inserting, removing ------------------------------------------

TEST(StringAppend, TextWithLength)
{
    String s(L"a");
    s.append(L"bcdef", 2);
    EXPECT_EQ(wide(s), L"abc");
    s.append(L"de", -1);
    EXPECT_EQ(wide(s), L"abcde");
    s.append(L"zz", 0);
    s.append(nullptr, 3);
    s.append(static_cast<const wchar_t*>(nullptr));
    s.append(L"");
    s.append(String());
    EXPECT_EQ(wide(s), L"abcde");
}

TEST(StringAppend, OperatorsAndStrings)
{
    String s;
    s += L"ab";
    s += String(L"cd");
    s += L'e';
    EXPECT_EQ(wide(s), L"abcde");
    EXPECT_EQ(s.data()[5], 0);
}

TEST(StringAppend, EightBitCharacterSignExtends)
{
    String s;
    s.append('A');
    s.append(static_cast<char>(0xE9));
    ASSERT_EQ(s.length(), 2);
    EXPECT_EQ(s.at(0), L'A');
    EXPECT_EQ(s.at(1), static_cast<wchar_t>(0xFFE9));
}

TEST(StringAppend, Repeated)
{
    String s(L"a");
    s.appendRepeated(L'-', 3);
    EXPECT_EQ(wide(s), L"a---");
    s.appendRepeated(L'-', 0);
    EXPECT_EQ(wide(s), L"a---");
}

// Lengths past the int32 range must fail before anything is written rather
// than wrap round to a small buffer and run over it.
TEST(StringGrowth, LengthBeyondTheInt32RangeThrowsAndKeepsTheText)
{
    String s(L"ab");
    EXPECT_THROW(s.appendRepeated(L'x', INT_MAX), std::bad_alloc);
    EXPECT_THROW(s.append(L"tiny", INT_MAX), std::bad_alloc);
    EXPECT_THROW(s.reserve(INT_MAX), std::bad_alloc);
    EXPECT_EQ(wide(s), L"ab");
    EXPECT_EQ(s.capacity(), 2);
}

TEST(StringAppend, Prepend)
{
    String s(L"7");
    s.prepend(L'0', 3);
    EXPECT_EQ(wide(s), L"0007");
    String fresh;
    fresh.prepend(L'z', 2);
    EXPECT_EQ(wide(fresh), L"zz");
    s.prepend(L'0', 0);
    EXPECT_EQ(wide(s), L"0007");
}

TEST(StringAppend, AppendingItselfKeepsTheText)
{
    String s(L"ab");
    s.append(s);
    EXPECT_EQ(wide(s), L"abab");
    s.append(s.constData());
    EXPECT_EQ(wide(s), L"abababab");
}

TEST(StringEdit, InsertText)
{
    struct Row {
        const wchar_t* start;
        int pos;
        const wchar_t* inserted;
        const wchar_t* expected;
    };
    const Row rows[] = {
        {L"abc", 0, L"X", L"Xabc"},  {L"abc", 1, L"XY", L"aXYbc"}, {L"abc", 2, L"X", L"abXc"},
        {L"abc", 3, L"XY", L"abcXY"}, {L"", 0, L"XY", L"XY"},       {L"abc", 1, L"", L"abc"},
        {L"", 0, L"", L""},
    };
    for (const Row& row : rows) {
        String s(row.start);
        s.insert(row.pos, String(row.inserted));
        EXPECT_EQ(wide(s), row.expected) << row.start << " at " << row.pos;
        if (!s.isEmpty()) {
            EXPECT_EQ(s.data()[s.length()], 0);
        }
    }
}

TEST(StringEdit, InsertCharacter)
{
    struct Row {
        const wchar_t* start;
        int pos;
        const wchar_t* expected;
    };
    const Row rows[] = {{L"abc", 0, L"Xabc"}, {L"abc", 2, L"abXc"}, {L"abc", 3, L"abcX"}, {L"", 0, L"X"}};
    for (const Row& row : rows) {
        String s(row.start);
        s.insert(row.pos, L'X');
        EXPECT_EQ(wide(s), row.expected) << row.start << " at " << row.pos;
    }
}

TEST(StringEdit, Remove)
{
    struct Row {
        int pos;
        int count;
        const wchar_t* expected;
    };
    const Row rows[] = {
        {0, 1, L"bcdef"}, {2, 2, L"abef"}, {4, 2, L"abcd"}, {5, 1, L"abcde"},
        {0, 6, L""},      {2, 0, L"abcdef"}, {1, 5, L"a"},
    };
    for (const Row& row : rows) {
        String s(L"abcdef");
        s.remove(row.pos, row.count);
        EXPECT_EQ(wide(s), row.expected) << "remove(" << row.pos << ", " << row.count << ")";
        if (!s.isEmpty()) {
            EXPECT_EQ(s.data()[s.length()], 0);
        }
    }
}

TEST(StringEdit, RemoveAllRebuildsAtTheOldLength)
{
    String s(L"a-b-c");
    s.reserve(50);
    ASSERT_EQ(s.capacity(), 100);
    s.removeAll(L'-');
    EXPECT_EQ(wide(s), L"abc");
    EXPECT_EQ(s.capacity(), 5);
    EXPECT_EQ(s.data()[3], 0);
}

TEST(StringEdit, RemoveAllWithoutMatchChangesNothing)
{
    String s(L"abc");
    s.reserve(50);
    s.removeAll(L'-');
    EXPECT_EQ(wide(s), L"abc");
    EXPECT_EQ(s.capacity(), 100);
}

TEST(StringEdit, RemoveAllIsExact)
{
    String s(L"aAaA");
    s.removeAll(L'a');
    EXPECT_EQ(wide(s), L"AA");
    String only(L"---");
    only.removeAll(L'-');
    EXPECT_TRUE(only.isEmpty());
}

TEST(StringEdit, ConcatenationOperators)
{
    String ab(L"ab");
    EXPECT_EQ(wide(ab + String(L"cd")), L"abcd");
    EXPECT_EQ(wide(ab + L"cd"), L"abcd");
    EXPECT_EQ(wide(L"xy" + ab), L"xyab");
    EXPECT_EQ(wide(ab + L'!'), L"ab!");
    EXPECT_EQ(wide(L'!' + ab), L"!ab");
    EXPECT_EQ(wide(String() + String()), L"");
    EXPECT_EQ(wide(ab), L"ab");
}

// --- accessors -----------------------------------------------------------------

TEST(StringAccess, EmptyHasNullDataButNeverNullCStr)
{
    String s;
    EXPECT_EQ(s.constData(), nullptr);
    ASSERT_NE(s.c_str(), nullptr);
    EXPECT_EQ(s.c_str()[0], 0);

    String cleared(L"abc");
    cleared.clear();
    EXPECT_EQ(cleared.constData(), nullptr);
    ASSERT_NE(cleared.c_str(), nullptr);
    EXPECT_EQ(cleared.c_str()[0], 0);
}

TEST(StringAccess, CharactersAndByteCounts)
{
    String s(L"abc");
    EXPECT_EQ(s.at(1), L'b');
    EXPECT_EQ(s[2], L'c');
    EXPECT_EQ(s.first(), L'a');
    EXPECT_EQ(s.last(), L'c');
    EXPECT_EQ(*s.charPointer(1), L'b');
    EXPECT_EQ(s.byteCount(), 6);
    EXPECT_EQ(s.byteCountWithTerminator(), 8);
    EXPECT_EQ(String().byteCount(), 0);
    EXPECT_EQ(String().byteCountWithTerminator(), 0);
}

TEST(StringAccess, SharedStrings)
{
    EXPECT_TRUE(String::empty.isEmpty());
    EXPECT_EQ(wide(String::lineBreak()), L"\r\n");
    EXPECT_EQ(&String::lineBreak(), &String::lineBreak());
}

// --- comparison ----------------------------------------------------------------

TEST(StringCompare, EqualityOfStrings)
{
    struct Row {
        const wchar_t* a;
        const wchar_t* b;
        bool equal;
    };
    const Row rows[] = {
        {L"abc", L"abc", true}, {L"abc", L"abd", false}, {L"abc", L"xbc", false}, {L"abc", L"axc", false},
        {L"abc", L"ab", false}, {L"", L"", true},         {L"a", L"", false},     {L"aXc", L"aYc", false},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(String(row.a) == String(row.b), row.equal) << row.a << " == " << row.b;
        EXPECT_EQ(String(row.b) == String(row.a), row.equal) << row.b << " == " << row.a;
        EXPECT_EQ(String(row.a) != String(row.b), !row.equal) << row.a << " != " << row.b;
    }
}

TEST(StringCompare, EqualityWithRawText)
{
    const wchar_t* none = nullptr;
    EXPECT_TRUE(String(L"abc") == L"abc");
    EXPECT_TRUE(L"abc" == String(L"abc"));
    EXPECT_FALSE(String(L"abc") == L"abd");
    EXPECT_FALSE(String(L"abc") == L"ab");
    EXPECT_FALSE(String(L"a") == none);
    EXPECT_TRUE(String(L"a") != none);
    // An empty String stands for a null text: it equals only a null pointer.
    EXPECT_FALSE(String() == L"");
    EXPECT_FALSE(L"" == String());
    EXPECT_TRUE(String() != L"");
    EXPECT_TRUE(String() == none);
    EXPECT_TRUE(none == String());
    EXPECT_FALSE(String(L"") == L"");
}

TEST(StringCompare, CompareStrings)
{
    struct Row {
        const wchar_t* a;
        const wchar_t* b;
        int caseFlag;
        int expected;
    };
    const Row rows[] = {
        {L"abc", L"abc", 1, 0},   {L"abc", L"abd", 1, -1}, {L"abd", L"abc", 1, 1},  {L"a", L"B", 1, 1},
        {L"a", L"B", 0, -1},      {L"a", L"B", 2, -1},     {L"ABC", L"abc", 0, 0},  {L"ABC", L"abc", 1, -1},
        {nullptr, nullptr, 1, 0}, {nullptr, L"", 1, -1},   {L"", nullptr, 0, 1},    {L"ab", L"abc", 1, -1},
        {L"\u00C9", L"\u00E9", 0, 0},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(compareStrings(row.a, row.b, row.caseFlag), row.expected)
            << (row.a ? row.a : L"(null)") << " vs " << (row.b ? row.b : L"(null)") << " flag " << row.caseFlag;
    }
    EXPECT_EQ(compareStringsIgnoreCase(L"Abc", L"aBC"), 0);
    EXPECT_EQ(compareStringsIgnoreCase(L"a", L"B"), -1);
}

TEST(StringCompare, CompareNamesSkipsLeadingPunctuation)
{
    struct Row {
        const wchar_t* a;
        const wchar_t* b;
        int expected;
    };
    const Row rows[] = {
        {L"#abc", L"ABC", 0}, {L"  b", L"a", 1},  {L"a", L"--b", -1}, {L"!!", L"?", 0},
        {L"!!", L"a", -1},    {L"_a", L"a", 0},   {L"1x", L"x", -1},  {L"(Zoo)", L"apple", 1},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(compareNames(row.a, row.b), row.expected) << row.a << " vs " << row.b;
        EXPECT_EQ(compareNames(row.b, row.a), -row.expected) << row.b << " vs " << row.a;
    }
}

TEST(StringCompare, EqualsIgnoreCase)
{
    struct Row {
        const wchar_t* a;
        const wchar_t* b;
        bool ignoringCase;
        bool exact;
    };
    const Row rows[] = {
        {L"abc", L"abc", true, true},  {L"Abc", L"aBC", true, false},
        {L"abc", L"abd", false, false}, {L"a", L"ab", false, false},
        {L"", L"", true, true},         {L"\u00C9COLE", L"\u00E9cole", true, false},
        {L"aXc", L"ayc", false, false},
    };
    for (const Row& row : rows) {
        String a(row.a), b(row.b);
        EXPECT_EQ(String::equalsIgnoreCase(a, b), row.ignoringCase) << row.a << " / " << row.b;
        EXPECT_EQ(String::equalsIgnoreCaseFromEnd(a, b), row.ignoringCase) << row.a << " / " << row.b;
        EXPECT_EQ(String::equalsFromEnd(a, b), row.exact) << row.a << " / " << row.b;
    }
}

TEST(StringCompare, Versions)
{
    struct Row {
        const wchar_t* a;
        const wchar_t* b;
        int expected;
    };
    const Row rows[] = {
        {L"1.10", L"1.9", 1},     {L"1.8", L"1.8.0", 0},   {L"1.8b", L"1.8", -2},   {L"1.8", L"1.8b", -2},
        {L" 2.0 ", L"2.0", 0},    {L"1.8.3", L"1.8.3", 0}, {L"1.8.4", L"1.8.3", 1}, {L"2", L"1.99.99", 1},
        {L"10.0", L"9.9", 1},     {L"1..2", L"1.0.2", 0},  {L"1.2.", L"1.2", 0},    {L".5", L"0.5", 0},
        {L"", L"1.0", -2},        {L"1.0", L"   ", -2},    {L"1.-2", L"1.2", -2},   {L"1.0.0.1", L"1", 1},
        {L"v1.0", L"1.0", -2},    {L"1,0", L"1.0", -2},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(compareVersions(String(row.a), String(row.b)), row.expected) << row.a << " vs " << row.b;
        int mirrored = row.expected == -2 ? -2 : -row.expected;
        EXPECT_EQ(compareVersions(String(row.b), String(row.a)), mirrored) << row.b << " vs " << row.a;
    }
}

// --- character search ---------------------------------------------------------

TEST(StringCharSearch, IndexOf)
{
    String s(L"abcabc");
    EXPECT_EQ(s.indexOf(L'b'), 1);
    EXPECT_EQ(s.indexOf(L'b', 2), 4);
    EXPECT_EQ(s.indexOf(L'c', 5), 5);
    EXPECT_EQ(s.indexOf(L'a', 4), -1);
    EXPECT_EQ(s.indexOf(L'z'), -1);
    EXPECT_EQ(s.indexOf(L'\0'), -1);
    EXPECT_EQ(String().indexOf(L'a'), -1);
    EXPECT_EQ(s.indexOf(L'B'), -1);
    EXPECT_EQ(s.indexOf(L'B', 0, false), 1);
}

TEST(StringCharSearch, LastIndexOfContainsCount)
{
    String s(L"aXbxc");
    EXPECT_EQ(s.lastIndexOf(L'x'), 3);
    EXPECT_EQ(s.lastIndexOf(L'X'), 1);
    EXPECT_EQ(s.lastIndexOf(L'X', false), 3);
    EXPECT_EQ(s.lastIndexOf(L'z'), -1);
    EXPECT_EQ(String().lastIndexOf(L'a'), -1);
    EXPECT_TRUE(s.contains(L'b'));
    EXPECT_FALSE(s.contains(L'B'));
    EXPECT_TRUE(s.contains(L'B', false));
    EXPECT_FALSE(String().contains(L'a'));
    EXPECT_EQ(s.count(L'x'), 1);
    EXPECT_EQ(s.count(L'x', false), 2);
    EXPECT_EQ(String().count(L'x'), 0);
    EXPECT_EQ(String(L"1-1-1").count(L'1', false), 3);
}

TEST(StringCharSearch, StartsAndEndsWithCharacter)
{
    String s(L"Abc");
    EXPECT_TRUE(s.startsWith(L'A'));
    EXPECT_FALSE(s.startsWith(L'a'));
    EXPECT_TRUE(s.startsWith(L'a', false));
    EXPECT_TRUE(s.endsWith(L'c'));
    EXPECT_TRUE(s.endsWith(L'C', false));
    EXPECT_FALSE(s.endsWith(L'C'));
    EXPECT_FALSE(String().startsWith(L'a'));
    EXPECT_FALSE(String().endsWith(L'a'));
}

TEST(StringCharSearch, IgnoringCaseMatchesNonAsciiLetters)
{
    String s(L"\u00E9t\u00C9");                       // étÉ
    EXPECT_EQ(s.indexOf(L'\u00C9', 0, false), 0);   // É finds é
    EXPECT_EQ(s.indexOf(L'\u00C9', 0, true), 2);
    EXPECT_EQ(s.lastIndexOf(L'\u00E9', false), 2);
    EXPECT_EQ(s.count(L'\u00E9', false), 2);
    EXPECT_EQ(s.count(L'\u00E9', true), 1);
    EXPECT_TRUE(s.startsWith(L'\u00C9', false));
    EXPECT_FALSE(s.startsWith(L'\u00C9', true));
    EXPECT_TRUE(s.endsWith(L'\u00E9', false));
}

// --- text search ---------------------------------------------------------------

TEST(StringTextSearch, IndexOfTable)
{
    struct Row {
        const wchar_t* haystack;
        const wchar_t* needle;
        int from;
        bool caseSensitive;
        int expected;
    };
    const Row rows[] = {
        {L"aaab", L"aab", 0, true, 1},
        {L"abc", L"abc", 0, true, 0},
        // A match must start at or after from: an equal-length needle at 1 cannot fit.
        {L"abc", L"abc", 1, true, -1},
        {L"abc", L"abd", 0, true, -1},
        {L"", L"x", 0, true, -1},
        {L"abc", L"", 0, true, -1},
        {L"ab", L"abc", 0, true, -1},
        {L"abcabc", L"abc", 1, true, 3},
        {L"abcabc", L"abc", 3, true, 3},
        {L"abcabc", L"abc", 4, true, -1},
        {L"abcabc", L"bc", 4, true, 4},
        {L"abcabc", L"bc", 5, true, -1},
        {L"xxABC", L"abc", 0, false, 2},
        {L"xxABC", L"abc", 0, true, -1},
        {L",", L",", 0, true, 0},
        {L",", L",", 1, true, -1},
        {L"CAF\u00C9", L"caf\u00E9", 0, false, 0},
        {L"l'\u00C9T\u00C9", L"\u00E9t\u00E9", 0, false, 2},
        {L"l'\u00C9T\u00C9", L"\u00E9t\u00E9", 0, true, -1},
        {L"ABAB", L"ab", 1, false, 2},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(String(row.haystack).indexOf(String(row.needle), row.from, row.caseSensitive), row.expected)
            << "'" << row.needle << "' in '" << row.haystack << "' from " << row.from;
    }
}

TEST(StringTextSearch, ContainsAndAffixes)
{
    String s(L"Hello World");
    EXPECT_TRUE(s.contains(String(L"o W")));
    EXPECT_FALSE(s.contains(String(L"world")));
    EXPECT_TRUE(s.contains(String(L"world"), false));
    EXPECT_FALSE(String().contains(String(L"a")));

    struct Row {
        const wchar_t* s;
        const wchar_t* affix;
        bool caseSensitive;
        bool starts;
        bool ends;
    };
    const Row rows[] = {
        {L"abc", L"ab", true, true, false},   {L"abc", L"bc", true, false, true},
        {L"abc", L"abc", true, true, true},   {L"ab", L"abc", true, false, false},
        {L"abc", L"", true, false, false},    {L"", L"", true, false, false},
        {L"ABC", L"ab", false, true, false},  {L"ABC", L"ab", true, false, false},
        {L"ABC", L"bc", false, false, true},  {L"\u00C9T\u00C9", L"t\u00E9", false, false, true},
        {L"\u00C9T\u00C9", L"\u00E9", false, true, true},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(String(row.s).startsWith(String(row.affix), row.caseSensitive), row.starts)
            << row.s << " startsWith " << row.affix;
        EXPECT_EQ(String(row.s).endsWith(String(row.affix), row.caseSensitive), row.ends)
            << row.s << " endsWith " << row.affix;
    }
}

TEST(StringTextSearch, CountAndFindAll)
{
    struct Row {
        const wchar_t* haystack;
        const wchar_t* needle;
        bool caseSensitive;
        std::vector<int> expected;
    };
    // The equal-length cases (",", "&", "abc") used to loop forever.
    const Row rows[] = {
        {L",", L",", true, {0}},
        {L"&", L"&", true, {0}},
        {L"abc", L"abc", true, {0}},
        {L"aaaa", L"aa", true, {0, 2}},
        {L"aaaaa", L"aa", true, {0, 2}},
        {L"a,b,,c", L",", true, {1, 3, 4}},
        {L"abc", L"x", true, {}},
        {L"", L",", true, {}},
        {L"ab", L"abc", true, {}},
        {L"Aa aA", L"aa", false, {0, 3}},
        {L"Aa aA", L"aa", true, {}},
        {L"\u00C9t\u00E9", L"\u00E9", false, {0, 2}},
        {L"ab,", L",", true, {2}},
    };
    for (const Row& row : rows) {
        String s(row.haystack);
        String needle(row.needle);
        EXPECT_EQ(positions(s.findAll(needle, 0, row.caseSensitive)), row.expected)
            << "'" << row.needle << "' in '" << row.haystack << "'";
        EXPECT_EQ(s.count(needle, row.caseSensitive), static_cast<int>(row.expected.size()))
            << "'" << row.needle << "' in '" << row.haystack << "'";
    }
}

TEST(StringTextSearch, FindAllFromAPosition)
{
    EXPECT_EQ(positions(String(L"a,b,c").findAll(String(L","), 2)), std::vector<int>({3}));
    EXPECT_EQ(positions(String(L"a,b,c").findAll(String(L","), 1)), std::vector<int>({1, 3}));
    EXPECT_TRUE(String(L"abc").findAll(String(L"abc"), 1).isEmpty());
    EXPECT_TRUE(String(L"ab,").findAll(String(L","), 3).isEmpty());
    EXPECT_TRUE(String(L"abc").findAll(String()).isEmpty());
}

TEST(StringTextSearch, BlankAndOuterWhitespace)
{
    EXPECT_FALSE(String().isBlank());
    EXPECT_TRUE(String(L" \t\r\n").isBlank());
    EXPECT_FALSE(String(L" a ").isBlank());
    EXPECT_TRUE(String(L" a").hasOuterWhitespace());
    EXPECT_TRUE(String(L"a\t").hasOuterWhitespace());
    EXPECT_TRUE(String(L"\na").hasOuterWhitespace());
    EXPECT_FALSE(String(L"a b").hasOuterWhitespace());
    EXPECT_FALSE(String().hasOuterWhitespace());
}

// --- replace -------------------------------------------------------------------

TEST(StringReplace, TextTable)
{
    struct Row {
        const wchar_t* s;
        const wchar_t* before;
        const wchar_t* after;
        bool caseSensitive;
        const wchar_t* expected;
    };
    const Row rows[] = {
        // Escaping a text that is just the needle used to loop forever.
        {L"&", L"&", L"&amp;", true, L"&amp;"},
        {L"a&b&", L"&", L"&amp;", true, L"a&amp;b&amp;"},
        {L"x", L"x", L"yy", true, L"yy"},
        {L"aa", L"a", L"", true, L""},
        {L"abc", L"abc", L"", true, L""},
        {L"abc", L"b", L"", true, L"ac"},
        {L"abc", L"abcd", L"x", true, L"abc"},
        {L"abc", L"x", L"y", true, L"abc"},
        {L"aaa", L"aa", L"b", true, L"ba"},
        {L"Hello HELLO", L"hello", L"hi", false, L"hi hi"},
        {L"Hello HELLO", L"hello", L"hi", true, L"Hello HELLO"},
        {L"\u00C9t\u00E9", L"\u00E9", L"e", false, L"ete"},
        {L"a.b.c", L".", L"::", true, L"a::b::c"},
        {L"", L"a", L"b", true, L""},
    };
    for (const Row& row : rows) {
        String source(row.s);
        String result = source.replace(String(row.before), String(row.after), row.caseSensitive);
        EXPECT_EQ(wide(result), row.expected) << "'" << row.s << "' replace '" << row.before << "'";
        EXPECT_EQ(wide(source), row.s);
    }
}

TEST(StringReplace, Character)
{
    String s(L"aAb");
    EXPECT_EQ(wide(s.replaceChar(L'a', L'x')), L"xAb");
    EXPECT_EQ(wide(s.replaceChar(L'a', L'x', false)), L"xxb");
    EXPECT_EQ(wide(s.replaceChar(L'A', L'x', false)), L"xxb");
    EXPECT_EQ(wide(String(L"\u00C9t\u00E9").replaceChar(L'\u00E9', L'e', false)), L"ete");
    EXPECT_EQ(wide(String(L"1-2").replaceChar(L'-', L'+', false)), L"1+2");
    EXPECT_TRUE(String().replaceChar(L'a', L'b').isEmpty());
    EXPECT_EQ(wide(s), L"aAb");
}

TEST(StringReplace, InPlaceRange)
{
    struct Row {
        const wchar_t* s;
        int pos;
        int count;
        const wchar_t* inserted;
        const wchar_t* expected;
    };
    const Row rows[] = {
        {L"abcdef", 1, 2, L"XY Z", L"aXY Zdef"}, {L"abcdef", 4, 10, L"Z", L"abcdZ"},
        {L"abcdef", 0, 6, L"", L""},             {L"abcdef", 5, 1, L"XYZ", L"abcdeXYZ"},
        {L"abcdef", 0, 1, L"", L"bcdef"},        {L"abcdef", 6, 1, L"Z", L"abcdef"},
        {L"abcdef", -1, 1, L"Z", L"abcdef"},     {L"abcdef", 2, 0, L"Z", L"abcdef"},
        {L"", 0, 1, L"Z", L""},                  {L"abc", 1, INT_MAX, L"Z", L"aZ"},
    };
    for (const Row& row : rows) {
        String s(row.s);
        s.replace(row.pos, row.count, String(row.inserted));
        EXPECT_EQ(wide(s), row.expected) << row.s << " replace(" << row.pos << ", " << row.count << ")";
    }
}

TEST(StringReplace, AllPairsInListOrder)
{
    String s(L"ab");
    EXPECT_EQ(wide(s.replaceAll(listOf({L"a", L"b"}), listOf({L"b", L"c"}))), L"cc");
    EXPECT_EQ(wide(String(L"abc").replaceAll(listOf({L"a", L"b", L"c"}), listOf({L"1"}))), L"1bc");
    EXPECT_EQ(wide(String(L"ABC").replaceAll(listOf({L"b"}), listOf({L"-"}), false)), L"A-C");
    EXPECT_TRUE(String().replaceAll(listOf({L"a"}), listOf({L"b"})).isEmpty());
    EXPECT_EQ(wide(s.replaceAll(StringList(), StringList())), L"ab");
}

// --- substrings, trimming, case ---------------------------------------------------

TEST(StringSubstring, Mid)
{
    struct Row {
        int start;
        int count;
        const wchar_t* expected;
    };
    const Row rows[] = {
        {-3, -1, L"def"}, {0, 6, L"abcdef"}, {6, 2, L""},  {2, 3, L"cde"}, {1, -1, L"bcdef"}, {-1, -1, L"f"},
        {0, -1, L"abcdef"}, {-3, 2, L"de"},  {2, 0, L""},  {1, -2, L""},   {5, 1, L"f"},      {0, 1, L"a"},
    };
    String s(L"abcdef");
    for (const Row& row : rows)
        EXPECT_EQ(wide(s.mid(row.start, row.count)), row.expected) << "mid(" << row.start << ", " << row.count << ")";
    EXPECT_TRUE(String().mid(0).isEmpty());
    EXPECT_EQ(wide(s.mid(2)), L"cdef");
    EXPECT_EQ(wide(s.substringFrom(4)), L"ef");
    EXPECT_TRUE(s.substringFrom(6).isEmpty());
}

TEST(StringSubstring, Trimmed)
{
    struct Row {
        const wchar_t* s;
        const wchar_t* both;
        const wchar_t* right;
    };
    const Row rows[] = {
        {L"  ab c\t\n", L"ab c", L"  ab c"}, {L"abc", L"abc", L"abc"}, {L" \t\r\n\v\f", L"", L""},
        {L"", L"", L""},                     {L"\tx", L"x", L"\tx"},   {L"x ", L"x", L"x"},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(wide(String(row.s).trimmed()), row.both) << "trimmed '" << row.s << "'";
        EXPECT_EQ(wide(String(row.s).trimmedRight()), row.right) << "trimmedRight '" << row.s << "'";
    }
}

TEST(StringSubstring, TrimmedBySet)
{
    EXPECT_EQ(wide(String(L"--ab--").trimmed(String(L"-"))), L"ab");
    EXPECT_EQ(wide(String(L"xyabyx").trimmed(String(L"xy"))), L"ab");
    EXPECT_EQ(wide(String(L"ab").trimmed(String(L"-"))), L"ab");
    EXPECT_TRUE(String(L"----").trimmed(String(L"-")).isEmpty());
    EXPECT_EQ(wide(String(L"Aab").trimmed(String(L"a"))), L"Aab");
    EXPECT_EQ(wide(String(L"--ab--").trimmedLeft(String(L"-"))), L"ab--");
    EXPECT_EQ(wide(String(L"ab--").trimmedLeft(String(L"-"))), L"ab--");
    EXPECT_TRUE(String(L"--").trimmedLeft(String(L"-")).isEmpty());
}

TEST(StringSubstring, CaseMapping)
{
    String s(L"\u00C9t\u00C9 Abc 1");
    EXPECT_EQ(wide(s.toLower()), L"\u00E9t\u00E9 abc 1");
    EXPECT_EQ(wide(s.toUpper()), L"\u00C9T\u00C9 ABC 1");
    EXPECT_TRUE(String().toLower().isEmpty());
    EXPECT_TRUE(String().toUpper().isEmpty());
    EXPECT_EQ(wide(s), L"\u00C9t\u00C9 Abc 1");
}

// Every piece, those that cut a surrogate pair included, lowers as the
// same units of the whole text lowered.
TEST(StringSubstring, LowerUnitsOfEveryPieceMatchTheWholeLowered)
{
    const String text(L"\u00C9a\U00010400B\U00010428Z");
    const String lowered = text.toLower();
    for (int from = 0; from <= text.length(); ++from) {
        for (int count = 0; from + count <= text.length(); ++count) {
            std::wstring piece(static_cast<std::size_t>(count), L'?');
            text.lowerUnits(from, count, piece.data());
            EXPECT_EQ(piece, wide(lowered.mid(from, count))) << "from " << from << ", count " << count;
        }
    }
}

// --- placeholder, format, hashes, hex ---------------------------------------------

TEST(StringPlaceholder, Arg)
{
    EXPECT_EQ(wide(String(L"^ of ^").arg(String(L"1"))), L"1 of ^");
    EXPECT_EQ(wide(String(L"^ items loading").arg(String(L"12"))), L"12 items loading");
    EXPECT_EQ(wide(String(L"no marker").arg(String(L"x"))), L"no marker");
    EXPECT_EQ(wide(String(L"a^").arg(String())), L"a");
    EXPECT_TRUE(String(L"^").arg(String()).isEmpty());
    EXPECT_TRUE(String().arg(String(L"x")).isEmpty());
}

TEST(StringFormat, PercentSIsAWideText)
{
    EXPECT_EQ(wide(String::format(L"%s and %s", L"one", L"two")), L"one and two");
    EXPECT_EQ(wide(String::format(L"[%s]", L"\u00E9t\u00E9")), L"[\u00E9t\u00E9]");
    EXPECT_EQ(wide(String::format(L"%ls", L"wide")), L"wide");
    EXPECT_EQ(wide(String::format(L"%d-%05d %x", 7, 42, 255)), L"7-00042 ff");
    EXPECT_EQ(wide(String::format(L"100%%")), L"100%");
    EXPECT_TRUE(String::format(L"%s", L"").isEmpty());
}

TEST(StringFormat, LongOutputIsNotCut)
{
    // Lengths around the first buffer's 4096 characters, and far past it.
    for (int length : {4094, 4095, 4096, 4097, 10000, 100000}) {
        String big(L'q', length);
        String out = String::format(L"%s|%d", big.c_str(), 5);
        ASSERT_EQ(out.length(), length + 2) << "length " << length;
        EXPECT_EQ(wide(out), wide(big) + L"|5");
    }
}

TEST(StringHash, Hash64)
{
    EXPECT_EQ(String(L"abc").hash(), 999494ULL);
    EXPECT_EQ(String(L"a").hash(), 97ULL);
    EXPECT_EQ(String().hash(), 0ULL);
    EXPECT_EQ(String(L"The quick brown fox jumps over the lazy dog").hash(), 75800989434364141ULL);
    EXPECT_EQ(String(L"\u00E9t\u00E9").hash(), 2388782ULL);
}

TEST(StringHash, Hash64StopsAtAZeroUnit)
{
    String s(L"ab\0cd", 5);
    ASSERT_EQ(s.length(), 5);
    EXPECT_EQ(s.hash(), String(L"ab").hash());
}

TEST(StringHash, Hash32)
{
    EXPECT_EQ(String(L"abc").hash32(), 96354U);
    EXPECT_EQ(String().hash32(), 0U);
    EXPECT_EQ(String(L"The quick brown fox jumps over the lazy dog").hash32(), 3685539155U);
}

TEST(StringHex, HexToInt)
{
    struct Row {
        const wchar_t* s;
        std::uint32_t expected;
    };
    const Row rows[] = {
        {L"0x1F", 31},          {L"g1", 1},           {L"", 0},          {L"ff", 255},
        {L"FF", 255},           {L"DEAD-beef", 0xDEADBEEFU}, {L"ffffffff", 0xFFFFFFFFU},
        {L"123456789", 0x23456789U}, {L"xyz", 0},    {L"#00ff00", 0xFF00U},
    };
    for (const Row& row : rows)
        EXPECT_EQ(String(row.s).hexToInt(), row.expected) << row.s;
}

TEST(StringHex, HexToInt64)
{
    EXPECT_EQ(String(L"0x123456789abcdef0").hexToInt64(), 0x123456789ABCDEF0ULL);
    EXPECT_EQ(String(L"1ffffffff").hexToInt64(), 0x1FFFFFFFFULL);
    EXPECT_EQ(String(L"1123456789abcdef0").hexToInt64(), 0x123456789ABCDEF0ULL);
    EXPECT_EQ(String().hexToInt64(), 0ULL);
}

// --- split and join -------------------------------------------------------------

TEST(StringSplit, FlagMatrix)
{
    struct Row {
        const wchar_t* text;
        const wchar_t* separator;
        int flags;
        std::vector<std::wstring> expected;
    };
    const Row rows[] = {
        {L"a,,b,", L",", 0, {L"a", L"", L"b", L""}},
        {L"a,,b,", L",", 1, {L"a", L"b"}},
        {L" a , b ", L",", 2, {L"a", L"b"}},
        {L" a , b ", L",", 0, {L" a ", L" b "}},
        {L" a ", L",", 2, {L" a "}},
        {L" a ,  , b", L",", 2, {L"a", L"", L"b"}},
        {L" a ,  , b", L",", 3, {L"a", L"b"}},
        {L"a\t,\nb", L",", 2, {L"a", L"b"}},
        // A text equal to its separator used to loop forever.
        {L",", L",", 0, {L"", L""}},
        {L",", L",", 1, {}},
        {L",", L",", 2, {L"", L""}},
        {L",", L",", 3, {}},
        {L"x", L"x", 0, {L"", L""}},
        {L"", L",", 0, {}},
        {L"abc", L"", 0, {}},
        {L"abc", L",", 1, {L"abc"}},
        {L"a--b--c", L"--", 0, {L"a", L"b", L"c"}},
        {L"a---b", L"--", 0, {L"a", L"-b"}},
        {L"a,b", L"A", 0, {L"a,b"}},
        {L" a b ", L" ", 0, {L"", L"a", L"b", L""}},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(vectorOf(String::split(String(row.text), String(row.separator), row.flags)), row.expected)
            << "split('" << row.text << "', '" << row.separator << "', " << row.flags << ")";
    }
}

TEST(StringSplit, JoinFlagMatrix)
{
    struct Row {
        std::vector<const wchar_t*> list;
        const wchar_t* separator;
        int flags;
        const wchar_t* expected;
    };
    const Row rows[] = {
        {{L"a", L"", L"b"}, L",", 0, L"a,,b"},
        {{L"a", L"", L"b"}, L",", 1, L"a,b"},
        {{L"  x "}, L",", 2, L"  x "},
        {{L"  x "}, L",", 0, L"  x "},
        {{}, L",", 0, L""},
        {{}, L",", 3, L""},
        {{L" a ", L" ", L"b"}, L",", 2, L"a,,b"},
        {{L" a ", L" ", L"b"}, L",", 3, L"a,b"},
        {{L"", L"a", L""}, L",", 0, L",a,"},
        {{L"", L"a", L""}, L",", 1, L"a"},
        {{L"", L""}, L",", 1, L""},
        {{L"a", L"b", L"c"}, L", ", 0, L"a, b, c"},
        {{L"a", L"b"}, L"", 0, L"ab"},
        {{L" a ", L"b"}, L"-", 0, L" a -b"},
        {{L" a ", L"b"}, L"-", 1, L" a -b"},
        {{L"a", L"", L"", L"b", L""}, L"/", 1, L"a/b"},
    };
    for (const Row& row : rows) {
        StringList list = listOf(row.list);
        EXPECT_EQ(wide(String::join(list, String(row.separator), row.flags)), row.expected)
            << "join with '" << row.separator << "', flags " << row.flags;
    }
}

TEST(StringSplit, JoinUndoesSplitWithoutFlags)
{
    for (const wchar_t* s : {L"a,b,c", L",a,,b,", L",", L"no separator", L",,,"}) {
        StringList parts = String::split(String(s), String(L","));
        EXPECT_EQ(wide(String::join(parts, String(L","))), s);
    }
}

// --- searching ignoring case, against lowering both texts whole ----------------

namespace {

// Mixed-case letters, non-ASCII letters whose case forms differ (Greek final
// sigma, dotted and dotless i, sharp s), surrogate pairs of a cased alphabet
// and lone surrogates.
String randomCasedText(std::mt19937& random, int maxLength)
{
    static const wchar_t* const pieces[] = {
        L"a", L"A", L"b", L"B", L"\u00E9", L"\u00C9", L"\u03C3", L"\u03A3", L"\u03C2", L"\u0130", L"\u0131", L"i",
        L"I", L"\u00DF", L"\u1E9E", L"\u0416", L"\u0436", L"\xD801\xDC00", L"\xD801\xDC28", L"\xD801", L"\xDC00", L"-",
    };
    std::uniform_int_distribution<int> pick(0, static_cast<int>(std::size(pieces)) - 1);
    const int count = std::uniform_int_distribution<int>(0, maxLength)(random);
    String text;
    for (int i = 0; i < count; ++i)
        text.append(pieces[pick(random)]);
    return text;
}

// A piece of the text, sometimes with its case flipped, so that most needles occur.
String randomNeedle(std::mt19937& random, const String& text)
{
    if (text.isEmpty() || random() % 4 == 0)
        return randomCasedText(random, 3);
    const int start = std::uniform_int_distribution<int>(0, text.length() - 1)(random);
    const int count = std::uniform_int_distribution<int>(1, 4)(random);
    const String piece = text.mid(start, count);
    return random() % 2 ? piece.toUpper() : piece;
}

} // namespace

TEST(StringTextSearch, IgnoringCaseMatchesLoweringBothTextsWhole)
{
    std::mt19937 random(20240708);
    for (int round = 0; round < 4000; ++round) {
        const String text = randomCasedText(random, 24);
        const String needle = randomNeedle(random, text);
        const int from = std::uniform_int_distribution<int>(-2, text.length() + 1)(random);
        SCOPED_TRACE(::testing::PrintToString(needle) + " in " + ::testing::PrintToString(text) + " from "
                     + std::to_string(from));
        const String lowerText = text.toLower();
        const String lowerNeedle = needle.toLower();
        EXPECT_EQ(text.indexOf(needle, from, false), lowerText.indexOf(lowerNeedle, from, true));
        EXPECT_EQ(positions(text.findAll(needle, from, false)), positions(lowerText.findAll(lowerNeedle, from, true)));
        EXPECT_EQ(text.count(needle, false), lowerText.count(lowerNeedle, true));
    }
}

// --- indices and counts outside the text ---------------------------------------

namespace {

std::wstring unitText(wchar_t c)
{
    return std::to_wstring(static_cast<int>(c));
}

} // namespace

TEST(StringEdit, RangesOutsideTheTextAreClampedToIt)
{
    struct Row {
        const char* call;
        std::wstring (*apply)(String& s);
        const wchar_t* expected;
    };
    // Each row starts from "abcdef". remove(5, 3) used to hand a negative count to wmemmove.
    const Row rows[] = {
        {"remove(5, 3)", [](String& s) { return s.remove(5, 3), wide(s); }, L"abcde"},
        {"remove(4, INT_MAX)", [](String& s) { return s.remove(4, INT_MAX), wide(s); }, L"abcd"},
        {"remove(-2, 3)", [](String& s) { return s.remove(-2, 3), wide(s); }, L"def"},
        {"remove(9, 2)", [](String& s) { return s.remove(9, 2), wide(s); }, L"abcdef"},
        {"remove(9, 6)", [](String& s) { return s.remove(9, 6), wide(s); }, L""},
        {"insert(-3, XY)", [](String& s) { return s.insert(-3, String(L"XY")), wide(s); }, L"XYabcdef"},
        {"insert(99, XY)", [](String& s) { return s.insert(99, String(L"XY")), wide(s); }, L"abcdefXY"},
        {"replace(4, 9, XY)", [](String& s) { return s.replace(4, 9, String(L"XY")), wide(s); }, L"abcdXY"},
        {"replace(2, INT_MAX, X)", [](String& s) { return s.replace(2, INT_MAX, String(L"X")), wide(s); }, L"abX"},
        {"replace(6, 1, XY)", [](String& s) { return s.replace(6, 1, String(L"XY")), wide(s); }, L"abcdef"},
        {"mid(4, 9)", [](String& s) { return wide(s.mid(4, 9)); }, L"ef"},
        {"mid(2, INT_MAX)", [](String& s) { return wide(s.mid(2, INT_MAX)); }, L"cdef"},
        {"mid(-9, 2)", [](String& s) { return wide(s.mid(-9, 2)); }, L"ab"},
        {"mid(INT_MIN, 1)", [](String& s) { return wide(s.mid(INT_MIN, 1)); }, L"a"},
        {"substringFrom(9)", [](String& s) { return wide(s.substringFrom(9)); }, L""},
        {"substringFrom(INT_MIN)", [](String& s) { return wide(s.substringFrom(INT_MIN)); }, L"abcdef"},
        {"at(6), at(-1), [INT_MAX]",
         [](String& s) { return unitText(s.at(6)) + unitText(s.at(-1)) + unitText(s[INT_MAX]); }, L"000"},
        {"first(), last() of no text",
         [](String&) { return unitText(String().first()) + unitText(String().last()); }, L"00"},
        {"charPointer(9)", [](String& s) { return std::wstring(s.charPointer(9)); }, L""},
        {"charPointer(1) of no text", [](String&) { return std::wstring(String().charPointer(1)); }, L""},
        {"indexOf(c, -5)", [](String& s) { return std::to_wstring(s.indexOf(L'c', -5)); }, L"2"},
        {"indexOf(CD, -5)", [](String& s) { return std::to_wstring(s.indexOf(String(L"CD"), -5, false)); }, L"2"},
        {"findAll(f, INT_MAX)",
         [](String& s) { return std::to_wstring(s.findAll(String(L"f"), INT_MAX).count()); }, L"0"},
    };
    forEachRow(rows, [](const Row& row) {
        SCOPED_TRACE(row.call);
        String s(L"abcdef");
        EXPECT_EQ(row.apply(s), row.expected);
        EXPECT_LE(s.length(), s.capacity());
        EXPECT_EQ(s.c_str()[s.length()], 0);
    });
}
