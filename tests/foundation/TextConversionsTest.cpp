#include "foundation/CharHelpers.h"
#include "foundation/Random.h"
#include "foundation/String.h"
#include "foundation/TextConversions.h"

#include "tests/support/RowTable.h"
#include "tests/support/StringPrinting.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <limits>
#include <set>
#include <string>
#include <vector>

namespace {

const wchar_t* shown(const wchar_t* s)
{
    return s ? s : L"(null)";
}

const char* shown8(const char* s)
{
    return s ? s : "(null)";
}

constexpr std::int32_t int32Min = std::numeric_limits<std::int32_t>::min();
constexpr std::int32_t int32Max = std::numeric_limits<std::int32_t>::max();
constexpr std::uint32_t uint32Max = std::numeric_limits<std::uint32_t>::max();
constexpr std::int64_t int64Min = std::numeric_limits<std::int64_t>::min();
constexpr std::int64_t int64Max = std::numeric_limits<std::int64_t>::max();
constexpr std::uint64_t uint64Max = std::numeric_limits<std::uint64_t>::max();

template <typename Number>
struct ParseRow {
    const wchar_t* s;
    Number expected;
};

// Checks the String member on every row and, when given, the static form
// on the raw text.
template <typename Number>
void expectParses(Number (String::*member)() const, Number (*onText)(const wchar_t*),
                  const std::vector<ParseRow<Number>>& rows)
{
    forEachRow(rows, [&](const ParseRow<Number>& row) {
        EXPECT_EQ((String(row.s).*member)(), row.expected) << "'" << row.s << "'";
        if (onText) {
            EXPECT_EQ(onText(row.s), row.expected) << "'" << row.s << "'";
        }
    });
}

} // namespace

// --- text to number ----------------------------------------------------------

TEST(NumberParsing, ToInt)
{
    expectParses<int>(&String::toInt, &String::toInt, {
        {L"12abc", 12},
        {L"abc", 0},
        {L"  -7", -7},
        {L"", 0},
        {L"+5", 5},
        {L"007", 7},
        {L"\t\n 42", 42},
        {L"0x1F", 0},
        {L"- 5", 0},
        {L"2147483647", int32Max},
        {L"-2147483648", int32Min},
        // Out-of-range values saturate.
        {L"2147483648", int32Max},
        {L"123456789012", int32Max},
        {L"-123456789012", int32Min},
    });
}

TEST(NumberParsing, ToUInt)
{
    expectParses<std::uint32_t>(&String::toUInt, &String::toUInt, {
        {L"12", 12},
        {L"", 0},
        {L"abc", 0},
        {L"-1", 4294967295U}, // a minus negates modulo 2^32
        {L"-2", 4294967294U},
        {L"4294967295", uint32Max},
        {L"4294967296", uint32Max},
        {L"123456789012", uint32Max},
        {L" 3000000000x", 3000000000U},
    });
}

TEST(NumberParsing, ToInt64)
{
    expectParses<std::int64_t>(&String::toInt64, &String::toInt64, {
        {L"123456789012", 123456789012LL},
        {L"-123456789012", -123456789012LL},
        {L"  -42x", -42},
        {L"", 0},
        {L"9223372036854775807", int64Max},
        {L"-9223372036854775808", int64Min},
        {L"9223372036854775808", int64Max},
        {L"-9223372036854775809", int64Min},
        {L"99999999999999999999", int64Max},
    });
}

TEST(NumberParsing, ToUInt64)
{
    expectParses<std::uint64_t>(&String::toUInt64, nullptr, {
        {L"123", 123},
        {L"", 0},
        {L"18446744073709551615", uint64Max},
        {L"18446744073709551616", uint64Max},
        {L"-1", uint64Max},
        {L"123456789012", 123456789012ULL},
    });
}

TEST(NumberParsing, ToBool)
{
    expectParses<bool>(&String::toBool, nullptr, {
        {L" False ", false}, {L"0", false},   {L"", false},     {L"yes", true},  {L"2", true},
        {L"FALSE", false},   {L"false", false}, {L"true", true}, {L" 0 ", false}, {L"00", true},
        {L"\tfalse\n", false}, {L"no", true}, {L"   ", false},  {L"falsey", true},
    });
}

// --- number to text ----------------------------------------------------------

TEST(NumberPrinting, SignedAndUnsigned)
{
    EXPECT_EQ(wide(String::number(0)), L"0");
    EXPECT_EQ(wide(String::number(-1)), L"-1");
    EXPECT_EQ(wide(String::number(int32Min)), L"-2147483648");
    EXPECT_EQ(wide(String::number(int32Max)), L"2147483647");
    EXPECT_EQ(wide(String::number(static_cast<short>(-32768))), L"-32768");
    EXPECT_EQ(wide(String::number(static_cast<short>(32767))), L"32767");
    EXPECT_EQ(wide(String::number(uint32Max)), L"4294967295");
    EXPECT_EQ(wide(String::number(static_cast<unsigned short>(65535))), L"65535");
    EXPECT_EQ(wide(String::number(static_cast<long long>(int64Min))), L"-9223372036854775808");
    EXPECT_EQ(wide(String::number(static_cast<long long>(123456789012LL))), L"123456789012");
    EXPECT_EQ(wide(String::number(static_cast<unsigned long long>(uint64Max))), L"18446744073709551615");
    EXPECT_EQ(wide(String::number(static_cast<unsigned long long>(0))), L"0");
}

TEST(NumberPrinting, RoundTripsThroughParsing)
{
    for (int v : {int32Min, -1000, -1, 0, 1, 99, int32Max})
        EXPECT_EQ(String::number(v).toInt(), v);
    for (long long v : {int64Min, -123456789012LL, 0LL, 123456789012LL, int64Max})
        EXPECT_EQ(String::number(v).toInt64(), v);
    for (unsigned long long v : {0ULL, 4294967296ULL, uint64Max})
        EXPECT_EQ(String::number(v).toUInt64(), v);
}

TEST(NumberPrinting, FromBool)
{
    EXPECT_EQ(wide(String::fromBool(true)), L"1");
    EXPECT_EQ(wide(String::fromBool(false)), L"0");
    EXPECT_EQ(wide(String::fromBool(true, true)), L"1");
    EXPECT_EQ(wide(String::fromBool(true, false)), L"true");
    EXPECT_EQ(wide(String::fromBool(false, false)), L"false");
}

TEST(NumberPrinting, ToHex)
{
    EXPECT_EQ(wide(String::toHex(std::uint32_t{0})), L"0");
    EXPECT_EQ(wide(String::toHex(std::uint32_t{255})), L"ff");
    EXPECT_EQ(wide(String::toHex(std::uint32_t{16})), L"10");
    EXPECT_EQ(wide(String::toHex(std::uint32_t{0xDEADBEEF})), L"deadbeef");
    EXPECT_EQ(wide(String::toHex(std::uint16_t{0xABCD})), L"abcd");
    EXPECT_EQ(wide(String::toHex(std::uint16_t{0})), L"0");
    EXPECT_EQ(wide(String::toHex(std::uint16_t{0x0F})), L"f");
    EXPECT_EQ(wide(String::toHex(std::uint64_t{0x123456789ABCDEF0ULL})), L"123456789abcdef0");
    EXPECT_EQ(wide(String::toHex(uint64Max)), L"ffffffffffffffff");
    EXPECT_EQ(String::toHex(std::uint32_t{0xDEADBEEF}).hexToInt(), 0xDEADBEEFU);
}

TEST(HexText, ByteToHexWritesTwoDigits)
{
    wchar_t out[3] = {L'#', L'#', L'#'};
    byteToHex(0xA5, out);
    EXPECT_EQ(out[0], L'a');
    EXPECT_EQ(out[1], L'5');
    EXPECT_EQ(out[2], L'#');
    byteToHex(0x0F, out);
    EXPECT_EQ(out[0], L'0');
    EXPECT_EQ(out[1], L'f');
}

TEST(HexText, BytesToHexStyles)
{
    struct Row {
        std::vector<std::uint8_t> bytes;
        int style;
        const wchar_t* expected;
    };
    const Row rows[] = {
        {{0x01, 0xAB}, 1, L"01:ab"},
        {{0x01, 0xAB}, 2, L"0x01,0xab"},
        {{0x01, 0xAB}, 3, L"0x01, 0xab"},
        {{0x01, 0xAB}, 4, L"\\x01\\xab"},
        {{0x01, 0xAB}, 0, L"01ab"},
        {{0x01, 0xAB}, 9, L"01ab"},
        {{0xFF}, 1, L"ff"},
        {{0xFF}, 2, L"0xff"},
        {{0xFF}, 3, L"0xff"},
        {{0xFF}, 4, L"\\xff"},
        {{0x00, 0x10, 0xFE}, 1, L"00:10:fe"},
        {{0x00, 0x10, 0xFE}, 3, L"0x00, 0x10, 0xfe"},
        {{0x00, 0x10, 0xFE}, 4, L"\\x00\\x10\\xfe"},
    };
    for (const Row& row : rows) {
        String result = bytesToHex(row.bytes.data(), static_cast<int>(row.bytes.size()), row.style);
        EXPECT_EQ(wide(result), row.expected) << "style " << row.style;
    }
    const std::uint8_t two[] = {0x7F, 0x80};
    EXPECT_EQ(wide(bytesToHex(two, 2)), L"7f80");
}

TEST(HexText, NoBytesGiveTheEmptyString)
{
    const std::uint8_t byte = 0x12;
    for (int style : {0, 1, 2, 3, 4})
        EXPECT_TRUE(bytesToHex(&byte, 0, style).isEmpty()) << "style " << style;
    EXPECT_TRUE(bytesToHex(&byte, 0).isEmpty());
}

// 111 used to get "st" and 112 "nd": the teens are checked on the last two digits.
TEST(Ordinals, Suffix)
{
    struct Row {
        int n;
        const wchar_t* expected;
    };
    const Row rows[] = {
        {1, L"st"},  {2, L"nd"},  {3, L"rd"},  {4, L"th"},   {11, L"th"},  {12, L"th"},  {13, L"th"},
        {21, L"st"}, {22, L"nd"}, {111, L"th"}, {0, L"th"},  {10, L"th"},  {19, L"th"},  {20, L"th"},
        {23, L"rd"}, {101, L"st"}, {112, L"th"}, {113, L"th"}, {121, L"st"}, {-1, L""},  {-10, L"th"}, {-21, L""},
    };
    for (const Row& row : rows)
        EXPECT_EQ(wide(ordinalSuffix(row.n)), row.expected) << row.n;
}

TEST(Ordinals, RomanNumerals)
{
    struct Row {
        const wchar_t* roman;
        const wchar_t* expected;
    };
    const Row rows[] = {
        {L"XIV", L"14"}, {L"MCMXC", L"1990"}, {L"xiv", L"14"},   {L"MMXXIV", L"2024"}, {L"IV", L"4"},
        {L"IX", L"9"},   {L"XL", L"40"},      {L"XC", L"90"},    {L"CD", L"400"},      {L"CM", L"900"},
        {L"III", L"3"},  {L"MDCLXVI", L"1666"}, {L"mcmxc", L"1990"},
        // Another character takes the value of the one before it (0 at the start).
        {L"X?", L"20"},  {L"?X", L"10"},      {L"", L"0"},
    };
    for (const Row& row : rows)
        EXPECT_EQ(wide(romanToNumberText(String(row.roman))), row.expected) << row.roman;
}

// --- characters and zero-terminated texts ----------------------------------------

TEST(CharText, Lengths)
{
    EXPECT_EQ(wcsLength(L"abc"), 3);
    EXPECT_EQ(wcsLength(L""), 0);
    EXPECT_EQ(strLength("ab"), 2);
    EXPECT_EQ(wcsByteLength(L"abc"), 6);
    EXPECT_FALSE(isNonEmptyText(nullptr));
    EXPECT_FALSE(isNonEmptyText(L""));
    EXPECT_TRUE(isNonEmptyText(L"a"));
    EXPECT_FALSE(isNonEmptyText8(nullptr));
    EXPECT_FALSE(isNonEmptyText8(""));
    EXPECT_TRUE(isNonEmptyText8("a"));
}

TEST(CharText, WcsCompare)
{
    struct Row {
        const wchar_t* a;
        const wchar_t* b;
        int exact;
        int noCase;
    };
    const Row rows[] = {
        {nullptr, nullptr, 0, 0},
        {nullptr, L"", -1, -1},
        {L"abc", L"abc", 0, 0},
        {L"a", L"b", -1, -1},
        {L"ab", L"abc", -1, -1},
        {L"a", L"B", 1, -1},
        {L"ABC", L"abc", -1, 0},
        {L"\uFFFF", L"a", 1, 1}, // units compare unsigned
        {L"a", L"\u00E9", -1, -1},
        {L"\u00E9", L"\u00C9", 1, 0},
        // Case is folded upwards: '_' (0x5F) is above 'A' (0x41).
        {L"_", L"a", -1, 1},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(wcsCompare(row.a, row.b), row.exact) << shown(row.a) << " vs " << shown(row.b);
        EXPECT_EQ(wcsCompare(row.b, row.a), -row.exact) << shown(row.b) << " vs " << shown(row.a);
        EXPECT_EQ(wcsCompareNoCase(row.a, row.b), row.noCase) << shown(row.a) << " vs " << shown(row.b);
        EXPECT_EQ(wcsCompareNoCase(row.b, row.a), -row.noCase) << shown(row.b) << " vs " << shown(row.a);
    }
}

TEST(CharText, WcsnCompare)
{
    struct Row {
        const wchar_t* a;
        const wchar_t* b;
        int n;
        int exact;
        int noCase;
    };
    const Row rows[] = {
        {L"abc", L"abd", 3, -1, -1},
        {L"abz", L"aba", 3, 25, 25}, // the raw difference, not clamped
        {L"abc", L"abd", 2, 0, 0},
        {L"abc", L"xyz", 0, 0, 0},
        {L"abc", L"xyz", -5, 0, 0},
        {L"ab", L"abc", 3, -'c', -'C'},
        {L"abc", L"ABD", 3, 'a' - 'A', 'C' - 'D'},
        {L"abc", L"ABC", 3, 'a' - 'A', 0},
        {L"same", L"same", 10, 0, 0},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(wcsnCompare(row.a, row.b, row.n), row.exact) << row.a << " vs " << row.b << " n " << row.n;
        EXPECT_EQ(wcsnCompareNoCase(row.a, row.b, row.n), row.noCase) << row.a << " vs " << row.b << " n " << row.n;
    }
    EXPECT_LT(wcsnCompare(nullptr, L"a", 1), 0);
    EXPECT_GT(wcsnCompare(L"a", nullptr, 1), 0);
    EXPECT_EQ(wcsnCompare(nullptr, nullptr, 1), 0);
    EXPECT_LT(wcsnCompareNoCase(nullptr, L"a", 1), 0);
}

TEST(CharText, EightBitCompare)
{
    struct Row {
        const char* a;
        const char* b;
        int exact;
        int noCaseSign;
    };
    const Row rows[] = {
        {"abc", "abc", 0, 0}, {"a", "b", -1, -1},    {"b", "a", 1, 1},        {"ABC", "abc", -1, 0},
        {"a", "B", 1, -1},    {nullptr, "", -1, -1}, {nullptr, nullptr, 0, 0}, {"ab", "abc", -1, -1},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(strCompare(row.a, row.b), row.exact) << shown8(row.a) << " vs " << shown8(row.b);
        int noCase = strCompareNoCase(row.a, row.b);
        EXPECT_EQ((noCase > 0) - (noCase < 0), row.noCaseSign) << shown8(row.a) << " vs " << shown8(row.b);
    }
}

TEST(CharText, Find)
{
    const wchar_t* hello = L"hello";
    EXPECT_EQ(wcsFind(hello, L"ll"), hello + 2);
    EXPECT_EQ(wcsFind(hello, L"lo!"), nullptr);
    const char* narrow = "hello";
    EXPECT_EQ(strFind(narrow, "lo"), narrow + 3);
    EXPECT_EQ(strFind(narrow, "x"), nullptr);
}

TEST(CharText, IndexOfCharacter)
{
    struct Row {
        const wchar_t* s;
        wchar_t c;
        bool caseSensitive;
        int index;
        int count;
    };
    const Row rows[] = {
        {nullptr, L'a', true, -1, 0},
        {L"", L'a', true, -1, 0},
        {L"abc", L'\0', true, -1, 0},
        {L"abc", L'c', true, 2, 1},
        {L"ABC", L'b', false, 1, 1},
        {L"ABC", L'b', true, -1, 0},
        {L"aAa", L'a', false, 0, 3},
        {L"aAa", L'A', true, 1, 1},
        {L"x\u00C9\u00E9", L'\u00E9', false, 1, 2},
        {L"x\u00C9\u00E9", L'\u00E9', true, 2, 1},
        {L"1-1", L'1', false, 0, 2},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(wcsIndexOf(row.s, row.c, row.caseSensitive), row.index) << shown(row.s);
        EXPECT_EQ(wcsContains(row.s, row.c, row.caseSensitive), row.index >= 0) << shown(row.s);
        EXPECT_EQ(wcsCount(row.s, row.c, row.caseSensitive), row.count) << shown(row.s);
    }
    EXPECT_EQ(strIndexOf("ABC", 'b', false), 1);
    EXPECT_EQ(strIndexOf("ABC", 'b', true), -1);
    EXPECT_EQ(strIndexOf("abc", 'c'), 2);
    EXPECT_TRUE(strContains("xYz", 'y', false));
    EXPECT_FALSE(strContains("xYz", 'y', true));
}

TEST(CharText, CaseMapping)
{
    EXPECT_EQ(toLowerChar(0), 0);
    EXPECT_EQ(toUpperChar(0), 0);
    EXPECT_EQ(toLowerChar(L'A'), L'a');
    EXPECT_EQ(toUpperChar(L'z'), L'Z');
    EXPECT_EQ(toLowerChar(L'\u00C9'), L'\u00E9');
    EXPECT_EQ(toUpperChar(L'\u00E9'), L'\u00C9');
    EXPECT_EQ(toUpperChar(L'1'), L'1');

    wchar_t wide[] = L"\u00C9t\u00E9 Ab1";
    toLowerText(wide);
    EXPECT_EQ(std::wstring(wide), L"\u00E9t\u00E9 ab1");
    toUpperText(wide);
    EXPECT_EQ(std::wstring(wide), L"\u00C9T\u00C9 AB1");

    EXPECT_EQ(toLower8('A'), 'a');
    EXPECT_EQ(toUpper8('a'), 'A');
    EXPECT_EQ(toLower8('\0'), '\0');
    EXPECT_EQ(toUpper8('5'), '5');
    char narrow[] = "Mixed Case 9";
    toLowerText8(narrow);
    EXPECT_STREQ(narrow, "mixed case 9");
    toUpperText8(narrow);
    EXPECT_STREQ(narrow, "MIXED CASE 9");
}

TEST(CharClasses, Table)
{
    struct Row {
        wchar_t c;
        bool space, digit, alpha, alnum, printable, lower, upper;
    };
    const Row rows[] = {
        //  c        space  digit  alpha  alnum  print  lower  upper
        {L' ', true, false, false, false, true, false, false},
        {L'\t', true, false, false, false, false, false, false},
        {L'\n', true, false, false, false, false, false, false},
        {L'\v', true, false, false, false, false, false, false},
        {L'\f', true, false, false, false, false, false, false},
        {L'\r', true, false, false, false, false, false, false},
        {L'a', false, false, true, true, true, true, false},
        {L'Z', false, false, true, true, true, false, true},
        {L'5', false, true, false, true, true, false, false},
        {L'!', false, false, false, false, true, false, false},
        {L'\u00E9', false, false, true, true, true, true, false},
        {L'\u00C9', false, false, true, true, true, false, true},
        {L'\x01', false, false, false, false, false, false, false},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(static_cast<int>(row.c));
        EXPECT_EQ(isSpaceChar(row.c), row.space);
        EXPECT_EQ(isDigitChar(row.c), row.digit);
        EXPECT_EQ(isAlphaChar(row.c), row.alpha);
        EXPECT_EQ(isAlnumChar(row.c), row.alnum);
        // Whether tab counts as blank differs between runtimes.
        if (row.c != L'\t') {
            EXPECT_EQ(isPrintableChar(row.c), row.printable);
        }
        EXPECT_EQ(isLowerChar(row.c), row.lower);
        EXPECT_EQ(isUpperChar(row.c), row.upper);
    }
}

TEST(CharClasses, AsciiLetters)
{
    struct Row {
        wchar_t c;
        bool letter, lower, upper, letterOrDigit;
    };
    const Row rows[] = {
        {L'a', true, true, false, true},    {L'z', true, true, false, true},    {L'A', true, false, true, true},
        {L'Z', true, false, true, true},    {L'7', false, false, false, true},  {L'@', false, false, false, false},
        {L'[', false, false, false, false}, {L'`', false, false, false, false}, {L'{', false, false, false, false},
        {L'_', false, false, false, false}, {L'\u00E9', false, false, false, false},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(static_cast<int>(row.c));
        EXPECT_EQ(isAsciiLetter(row.c), row.letter);
        EXPECT_EQ(isAsciiLower(row.c), row.lower);
        EXPECT_EQ(isAsciiUpper(row.c), row.upper);
        EXPECT_EQ(isAsciiLetterOrDigit(row.c), row.letterOrDigit);
    }
}

TEST(CharClasses, HexDigitValue)
{
    struct Row {
        wchar_t c;
        int value;
    };
    const Row rows[] = {
        {L'0', 0},   {L'9', 9},   {L'a', 10},  {L'f', 15},  {L'A', 10},  {L'F', 15}, {L'g', -1},
        {L'G', -1},  {L'/', -1},  {L':', -1},  {L'@', -1},  {L'`', -1},  {L' ', -1}, {L'\u0660', -1},
    };
    for (const Row& row : rows)
        EXPECT_EQ(hexDigitValue(row.c), row.value) << static_cast<int>(row.c);
}

// --- code pages ------------------------------------------------------------------

TEST(CodePages, KindsMapToPlatformCodePages)
{
    EXPECT_EQ(codePageOf(CodePageLatin1), 28591U);
    EXPECT_EQ(codePageOf(CodePageUtf8), 65001U);
}

TEST(CodePages, DecodeFailuresLeaveTheOutputUntouched)
{
    struct Row {
        int kind;
        const char* bytes;
        int length;
    };
    const Row rows[] = {
        {3, nullptr, -1}, {3, nullptr, 4}, {3, "", -1}, {3, "\0abc", 4}, {3, "abc", 0},
        {3, "abc", -2},   {0, "abc", -1},  {4, "abc", -1}, {-1, "abc", 3},
    };
    for (const Row& row : rows) {
        String out(L"keep");
        EXPECT_FALSE(decodeText(row.kind, row.bytes, row.length, out))
            << "kind " << row.kind << " length " << row.length;
        EXPECT_EQ(wide(out), L"keep") << "kind " << row.kind << " length " << row.length;
    }
}

TEST(CodePages, DecodeUtf8)
{
    String out(L"old contents");
    ASSERT_TRUE(decodeText(CodePageUtf8, "caf\xC3\xA9", -1, out));
    EXPECT_EQ(wide(out), L"caf\u00E9");

    ASSERT_TRUE(decodeText(CodePageUtf8, "abcdef", 3, out));
    EXPECT_EQ(wide(out), L"abc");
}

TEST(CodePages, DecodeUtf8SurrogatePair)
{
    // U+1F600 takes four bytes and becomes two UTF-16 units.
    String out;
    ASSERT_TRUE(decodeText(CodePageUtf8, "a\xF0\x9F\x98\x80z", -1, out));
    ASSERT_EQ(out.length(), 4);
    EXPECT_EQ(out.at(0), L'a');
    EXPECT_EQ(out.at(1), static_cast<wchar_t>(0xD83D));
    EXPECT_EQ(out.at(2), static_cast<wchar_t>(0xDE00));
    EXPECT_EQ(out.at(3), L'z');
}

TEST(CodePages, DecodeLatin1AndAnsi)
{
    String out;
    ASSERT_TRUE(decodeText(CodePageLatin1, "\xE9\x80\xFF", -1, out));
    // Latin-1 maps every byte to the unit of the same value (0x80 is not the euro sign).
    EXPECT_EQ(wide(out), L"\u00E9\u0080\u00FF");

    ASSERT_TRUE(decodeText(CodePageAnsi, "plain", -1, out));
    EXPECT_EQ(wide(out), L"plain");
}

TEST(CodePages, SingleCharacters)
{
    EXPECT_EQ(charToUtf8Byte(L'A'), 'A');
    EXPECT_EQ(charToUtf8Byte(L'\u00E9'), 0); // needs two bytes
    EXPECT_EQ(utf8ByteToChar('A'), L'A');
    EXPECT_EQ(charToAnsi(L'z'), 'z');
    EXPECT_EQ(ansiToChar('z'), L'z');
}

// --- random numbers --------------------------------------------------------------

TEST(RandomNumbers, IntStaysInRange)
{
    std::srand(1);
    std::set<int> seen;
    for (int i = 0; i < 2000; ++i) {
        EXPECT_EQ(randomInt(5, 5), 5);
        int v = randomInt(0, 9);
        ASSERT_GE(v, 0);
        ASSERT_LE(v, 9);
        seen.insert(v);
    }
    EXPECT_EQ(seen.size(), 10U);
}

TEST(RandomNumbers, WideIntRangeDoesNotOverflow)
{
    // rand() * 2000001 overflows 32 bits; the sum must be formed in 64.
    std::srand(2);
    int lowest = int32Max;
    int highest = int32Min;
    for (int i = 0; i < 2000; ++i) {
        int v = randomInt(-1000000, 1000000);
        ASSERT_GE(v, -1000000);
        ASSERT_LE(v, 1000000);
        lowest = std::min(lowest, v);
        highest = std::max(highest, v);
    }
    EXPECT_LT(lowest, -900000);
    EXPECT_GT(highest, 900000);
}

TEST(RandomNumbers, Int64AndFloats)
{
    std::srand(3);
    const std::int64_t lo = -1000000000000LL;
    const std::int64_t hi = 1000000000000LL;
    for (int i = 0; i < 1000; ++i) {
        std::int64_t v = randomInt64(lo, hi);
        ASSERT_GE(v, lo);
        ASSERT_LE(v, hi);
        EXPECT_EQ(randomInt64(42, 42), 42);
        float f = randomFloat(1.5f, 2.5f);
        ASSERT_GE(f, 1.5f);
        ASSERT_LE(f, 2.5f);
        double d = randomDouble(-1.0, 1.0);
        ASSERT_GE(d, -1.0);
        ASSERT_LT(d, 1.0);
    }
}

// A span wider than half the 64-bit range used to overflow the product.
TEST(RandomNumbers, Int64WideSpanStaysInRange)
{
    std::srand(5);
    const std::int64_t lo = -(1LL << 62);
    const std::int64_t hi = 1LL << 62;
    bool sawNegative = false;
    bool sawPositive = false;
    for (int i = 0; i < 2000; ++i) {
        const std::int64_t v = randomInt64(lo, hi);
        ASSERT_GE(v, lo);
        ASSERT_LE(v, hi);
        sawNegative = sawNegative || v < -(1LL << 60);
        sawPositive = sawPositive || v > (1LL << 60);
    }
    EXPECT_TRUE(sawNegative);
    EXPECT_TRUE(sawPositive);
}

TEST(RandomNumbers, BitSequenceFollowsTheSeed)
{
    auto bits = [](std::uint64_t seed) {
        seedRandomBit(seed);
        std::vector<bool> out;
        for (int i = 0; i < 2000; ++i)
            out.push_back(randomBit());
        return out;
    };
    std::vector<bool> first = bits(42);
    EXPECT_EQ(bits(42), first);
    EXPECT_NE(bits(43), first);
    int ones = 0;
    for (bool b : first)
        ones += b;
    EXPECT_GT(ones, 800);
    EXPECT_LT(ones, 1200);
}

// --- scrambling ------------------------------------------------------------------

TEST(Scrambling, XorsEveryByte)
{
    String scrambled = xorDescramble(L"AB", 0x20);
    ASSERT_EQ(scrambled.length(), 2);
    EXPECT_EQ(scrambled.at(0), static_cast<wchar_t>(0x2061));
    EXPECT_EQ(scrambled.at(1), static_cast<wchar_t>(0x2062));
    EXPECT_EQ(xorDescramble(String(L"AB"), 0x20), scrambled);
}

TEST(Scrambling, RoundTripAndEdges)
{
    String original(L"Secret \u00E9\u4E2D");
    for (std::uint8_t key : {0x00, 0x5A, 0xFF}) {
        String once = xorDescramble(original, key);
        EXPECT_EQ(once.length(), original.length());
        EXPECT_EQ(xorDescramble(once, key), original) << "key " << int(key);
    }
    EXPECT_EQ(xorDescramble(original, 0), original);
    EXPECT_TRUE(xorDescramble(static_cast<const wchar_t*>(nullptr), 0x5A).isEmpty());
    EXPECT_TRUE(xorDescramble(L"", 0x5A).isEmpty());
    EXPECT_TRUE(xorDescramble(String(), 0x5A).isEmpty());
}

TEST(Scrambling, ZeroUnitsInTheResultKeepTheLength)
{
    // 0x4141 with key 0x41 becomes a zero unit; the length must not shrink.
    String scrambled = xorDescramble(L"\u4141B", 0x41);
    ASSERT_EQ(scrambled.length(), 2);
    EXPECT_EQ(scrambled.at(0), 0);
    EXPECT_EQ(scrambled.at(1), static_cast<wchar_t>(0x4103));
}

TEST(Scrambling, ZeroUnitsInTheInputRoundTrip)
{
    // The scrambled form may hold zero units; descrambling reads them all.
    const String scrambled = xorDescramble(L"\u4141B", 0x41);
    EXPECT_EQ(wide(xorDescramble(scrambled, 0x41)), L"\u4141B");
}
