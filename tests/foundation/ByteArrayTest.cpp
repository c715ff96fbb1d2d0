#include "foundation/Base64.h"
#include "foundation/ByteArray.h"
#include "foundation/String.h"
#include "foundation/TextConversions.h"

#include "tests/support/StringPrinting.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstring>
#include <initializer_list>
#include <new>
#include <vector>

namespace {

ByteArray bytesOf(std::initializer_list<int> values)
{
    ByteArray bytes;
    for (int v : values)
        bytes.append(static_cast<std::uint8_t>(v));
    return bytes;
}

std::vector<int> contentsOf(const ByteArray& bytes)
{
    std::vector<int> values;
    for (int i = 0; i < bytes.size(); ++i)
        values.push_back(bytes.at(i));
    return values;
}

ByteArray patternBytes(int size)
{
    ByteArray bytes(size);
    for (int i = 0; i < size; ++i)
        bytes.append(static_cast<std::uint8_t>(i * 37 + 11));
    return bytes;
}

ByteArray asciiBytes(const char* text)
{
    return ByteArray(reinterpret_cast<const std::uint8_t*>(text), static_cast<int>(std::strlen(text)));
}

bool hasLineBreak(const String& text)
{
    return text.contains(L'\r') || text.contains(L'\n');
}

} // namespace

TEST(ByteArrayTest, GrowthIsExact)
{
    ByteArray bytes;
    EXPECT_EQ(bytes.capacity(), 0);
    EXPECT_EQ(bytes.data(), nullptr);
    for (int i = 1; i <= 5; ++i) {
        bytes.append(static_cast<std::uint8_t>(i));
        EXPECT_EQ(bytes.capacity(), i);
    }
    bytes.reserve(3);
    EXPECT_EQ(bytes.capacity(), 5);
    bytes.reserve(9);
    EXPECT_EQ(bytes.capacity(), 9);
    EXPECT_EQ(contentsOf(bytes), (std::vector<int>{1, 2, 3, 4, 5}));
}

TEST(ByteArrayTest, SizedConstructorReservesWithoutLength)
{
    ByteArray bytes(16);
    EXPECT_EQ(bytes.capacity(), 16);
    EXPECT_TRUE(bytes.isEmpty());
    EXPECT_EQ(bytes.data(), nullptr);
    bytes.resize(16);
    EXPECT_TRUE(bytes.isAllZero());
}

TEST(ByteArrayTest, ConstructFromDataIgnoresNonPositiveSize)
{
    const std::uint8_t raw[] = {1, 2, 3};
    EXPECT_TRUE(ByteArray(raw, 0).isEmpty());
    EXPECT_TRUE(ByteArray(raw, -4).isEmpty());
    EXPECT_TRUE(ByteArray(nullptr, 3).isEmpty());
    EXPECT_EQ(contentsOf(ByteArray(raw, 3)), (std::vector<int>{1, 2, 3}));
}

TEST(ByteArrayTest, ResizeShrinksInPlaceAndZeroesTheCutByte)
{
    ByteArray bytes = bytesOf({1, 2, 3, 4});
    const std::uint8_t* buffer = bytes.data();
    bytes.resize(2);
    EXPECT_EQ(contentsOf(bytes), (std::vector<int>{1, 2}));
    EXPECT_EQ(bytes.capacity(), 4);
    EXPECT_EQ(buffer[2], 0);
    EXPECT_EQ(buffer[3], 4);
}

TEST(ByteArrayTest, ResizeGrowsWithZeroBytes)
{
    // Growing inside the old buffer used to bring back the bytes of an
    // earlier, longer content.
    ByteArray bytes = bytesOf({9, 8, 7, 6});
    bytes.clear();
    bytes.resize(3);
    EXPECT_EQ(contentsOf(bytes), (std::vector<int>{0, 0, 0}));
    bytes.resize(6);
    EXPECT_EQ(bytes.capacity(), 6);
    EXPECT_EQ(contentsOf(bytes), (std::vector<int>{0, 0, 0, 0, 0, 0}));
    bytes.resize(-1);
    EXPECT_TRUE(bytes.isEmpty());
}

TEST(ByteArrayTest, AssignmentCopiesDeeply)
{
    ByteArray source = bytesOf({1, 2, 3});
    ByteArray copy(source);
    copy.setAt(0, 42);
    EXPECT_EQ(source.at(0), 1);
    EXPECT_EQ(copy.at(0), 42);

    ByteArray target = bytesOf({5, 6});
    target = source;
    EXPECT_EQ(target, source);
    EXPECT_NE(target.data(), source.data());
}

TEST(ByteArrayTest, AssigningEmptyEmptiesButKeepsBuffer)
{
    const ByteArray empty;
    ByteArray target = bytesOf({1, 2, 3});
    target = empty;
    EXPECT_TRUE(target.isEmpty());
    EXPECT_EQ(target.capacity(), 3);
}

TEST(ByteArrayTest, SelfAssignmentKeepsContents)
{
    ByteArray bytes = bytesOf({1, 2, 3});
    ByteArray& alias = bytes;
    bytes = alias;
    EXPECT_EQ(contentsOf(bytes), (std::vector<int>{1, 2, 3}));
}

TEST(ByteArrayTest, AssignResetsThenCopies)
{
    ByteArray bytes = bytesOf({1, 2, 3, 4});
    bytes.assign(bytes.data() + 1, 2);
    EXPECT_EQ(contentsOf(bytes), (std::vector<int>{2, 3}));
    bytes.assign(nullptr, 0);
    EXPECT_TRUE(bytes.isEmpty());
    EXPECT_EQ(bytes.capacity(), 4);
}

TEST(ByteArrayTest, FreeBufferZeroesFields)
{
    ByteArray bytes = bytesOf({1, 2});
    bytes.freeBuffer();
    EXPECT_EQ(bytes.size(), 0);
    EXPECT_EQ(bytes.capacity(), 0);
    bytes.append(7);
    EXPECT_EQ(contentsOf(bytes), (std::vector<int>{7}));
}

TEST(ByteArrayTest, MoveLeavesSourceEmpty)
{
    ByteArray source = bytesOf({1, 2});
    ByteArray target(std::move(source));
    EXPECT_EQ(contentsOf(target), (std::vector<int>{1, 2}));
    EXPECT_EQ(source.capacity(), 0);
}

TEST(ByteArrayTest, SetAtOutsideTheBytesInUseIsIgnored)
{
    ByteArray bytes = bytesOf({1, 2});
    bytes.setAt(2, 9);
    bytes.setAt(-1, 9);
    EXPECT_EQ(contentsOf(bytes), (std::vector<int>{1, 2}));
}

TEST(ByteArrayTest, AppendArraysIncludingItself)
{
    ByteArray bytes = bytesOf({1, 2});
    bytes.append(ByteArray());
    EXPECT_EQ(bytes.size(), 2);
    bytes.append(bytes);
    EXPECT_EQ(contentsOf(bytes), (std::vector<int>{1, 2, 1, 2}));
    bytes.append(bytes.data() + 1, 2);
    EXPECT_EQ(contentsOf(bytes), (std::vector<int>{1, 2, 1, 2, 2, 1}));
}

// A size that would carry the length past the int32 range must fail before
// anything is copied rather than wrap round to a small buffer.
TEST(ByteArrayTest, AppendBeyondTheInt32RangeThrowsAndKeepsTheBytes)
{
    const std::uint8_t bytes[] = {7, 8};
    ByteArray a(bytes, 2);
    EXPECT_THROW(a.append(bytes, INT_MAX), std::bad_alloc);
    EXPECT_EQ(a.size(), 2);
    EXPECT_EQ(a.capacity(), 2);
    EXPECT_EQ(a.at(1), 8);
}

TEST(ByteArrayTest, TakeFromEmptiesTheOther)
{
    ByteArray bytes = bytesOf({1});
    ByteArray other = bytesOf({2, 3});
    bytes.takeFrom(other);
    EXPECT_EQ(contentsOf(bytes), (std::vector<int>{1, 2, 3}));
    EXPECT_TRUE(other.isEmpty());
    EXPECT_EQ(other.capacity(), 2);
    bytes.takeFrom(bytes);
    EXPECT_EQ(bytes.size(), 3);
}

TEST(ByteArrayTest, RemoveSingleBytes)
{
    ByteArray bytes = bytesOf({1, 2, 3, 2, 5});
    bytes.removeAt(1);
    EXPECT_EQ(contentsOf(bytes), (std::vector<int>{1, 3, 2, 5}));
    bytes.removeFirst();
    bytes.removeLast();
    EXPECT_EQ(contentsOf(bytes), (std::vector<int>{3, 2}));
    EXPECT_TRUE(bytes.removeOne(2));
    EXPECT_FALSE(bytes.removeOne(2));
    EXPECT_EQ(contentsOf(bytes), (std::vector<int>{3}));
    bytes.removeLast();
    bytes.removeLast();
    bytes.removeFirst();
    EXPECT_TRUE(bytes.isEmpty());
}

TEST(ByteArrayTest, RemoveEnds)
{
    struct Row {
        int front;
        int back;
        std::vector<int> expected;
    };
    const Row rows[] = {
        {0, 2, {1, 2, 3}},
        {2, 0, {3, 4, 5}},
        {1, 1, {2, 3, 4}},
        {0, 0, {1, 2, 3, 4, 5}},
        {5, 0, {}},
        {0, 5, {}},
        {2, 3, {}},
    };
    for (const Row& row : rows) {
        ByteArray bytes = bytesOf({1, 2, 3, 4, 5});
        bytes.removeEnds(row.front, row.back);
        EXPECT_EQ(contentsOf(bytes), row.expected) << row.front << ", " << row.back;
    }
}

TEST(ByteArrayTest, FillMidAndReversed)
{
    ByteArray bytes = bytesOf({1, 2, 3, 4});
    EXPECT_EQ(contentsOf(bytes.mid(1, 2)), (std::vector<int>{2, 3}));
    EXPECT_EQ(contentsOf(bytes.mid(3, 10)), (std::vector<int>{4}));
    EXPECT_TRUE(bytes.mid(4, 1).isEmpty());
    EXPECT_EQ(contentsOf(bytes.reversed()), (std::vector<int>{4, 3, 2, 1}));
    EXPECT_EQ(contentsOf(bytesOf({7}).reversed()), (std::vector<int>{7}));
    EXPECT_TRUE(ByteArray().reversed().isEmpty());
    bytes.fill(0xAB);
    EXPECT_EQ(contentsOf(bytes), (std::vector<int>{0xAB, 0xAB, 0xAB, 0xAB}));
}

TEST(ByteArrayTest, TrimmedZerosAndZeroCounts)
{
    EXPECT_EQ(contentsOf(bytesOf({0, 1, 0, 2, 0}).trimmedZeros()), (std::vector<int>{1, 0, 2}));
    EXPECT_TRUE(bytesOf({0, 0, 0}).trimmedZeros().isEmpty());
    EXPECT_EQ(bytesOf({1, 0, 2, 0, 0}).sizeWithoutTrailingZeros(), 3);
    EXPECT_EQ(bytesOf({0, 0}).sizeWithoutTrailingZeros(), 0);
    EXPECT_EQ(ByteArray().sizeWithoutTrailingZeros(), 0);
    EXPECT_TRUE(bytesOf({0, 0}).isAllZero());
    EXPECT_FALSE(bytesOf({0, 1}).isAllZero());
    EXPECT_FALSE(ByteArray().isAllZero());
}

TEST(ByteArrayTest, SearchSingleBytes)
{
    const ByteArray bytes = bytesOf({5, 6, 5, 7});
    EXPECT_EQ(bytes.indexOf(5), 0);
    EXPECT_EQ(bytes.indexOf(5, 1), 2);
    EXPECT_EQ(bytes.indexOf(5, 3), -1);
    EXPECT_EQ(bytes.indexOf(7, 4), -1);
    EXPECT_EQ(bytes.indexOf(9), -1);
    EXPECT_EQ(bytes.lastIndexOf(5), 2);
    EXPECT_EQ(bytes.lastIndexOf(9), -1);
    EXPECT_TRUE(bytes.contains(7));
    EXPECT_FALSE(bytes.contains(8));
    EXPECT_EQ(bytes.count(5), 2);
    EXPECT_EQ(ByteArray().indexOf(0), -1);
}

TEST(ByteArrayTest, SearchByteSequences)
{
    struct Row {
        const char* haystack;
        const char* needle;
        int expected;
    };
    const Row rows[] = {
        {"aaab", "aab", 1}, {"abcabd", "abd", 3}, {"abc", "abc", 0}, {"abc", "abcd", -1},
        {"abc", "", -1},    {"", "a", -1},        {"xyz", "z", 2},   {"ababac", "abac", 2},
    };
    for (const Row& row : rows) {
        const auto* haystack = reinterpret_cast<const std::uint8_t*>(row.haystack);
        const auto* needle = reinterpret_cast<const std::uint8_t*>(row.needle);
        EXPECT_EQ(ByteArray::indexOf(haystack, static_cast<int>(std::strlen(row.haystack)), needle,
                                     static_cast<int>(std::strlen(row.needle))),
                  row.expected)
            << row.haystack << " / " << row.needle;
    }
}

TEST(ByteArrayTest, CompareBytesIsUnsignedAndOrdersNulls)
{
    const std::uint8_t low[] = {0x01, 0x7F};
    const std::uint8_t high[] = {0x01, 0x80};
    EXPECT_EQ(compareBytes(low, high, 2), -1);
    EXPECT_EQ(compareBytes(high, low, 2), 1);
    EXPECT_EQ(compareBytes(low, high, 1), 0);
    EXPECT_EQ(compareBytes(low, low, 2), 0);
    EXPECT_EQ(compareBytes(nullptr, low, 2), -1);
    EXPECT_EQ(compareBytes(low, nullptr, 2), 1);
    EXPECT_EQ(compareBytes(nullptr, nullptr, 2), 0);

    EXPECT_EQ(bytesOf({1, 0x80}).compare(high, 2), 0);
    EXPECT_EQ(bytesOf({1, 0x80}).compare(low, 2), 1);
    EXPECT_EQ(ByteArray().compare(low, 2), -1);
}

TEST(ByteArrayTest, ToHexIsLowerCase)
{
    EXPECT_EQ(bytesOf({0x0A, 0xFF, 0x00, 0x9c}).toHex(), String(L"0aff009c"));
    EXPECT_TRUE(ByteArray().toHex().isEmpty());
}

TEST(ByteArrayTest, FromHexSkipsSeparatorsAndDropsUnpairedDigit)
{
    struct Row {
        const wchar_t* text;
        std::vector<int> expected;
    };
    const Row rows[] = {
        {L"0A-ff-1", {0x0A, 0xFF}},
        {L"0a:0B 7c", {0x0A, 0x0B, 0x7C}},
        {L"0xg1h2", {0x01}},
        {L"g1h2xyz", {0x12}},
        {L"zz", {}},
        {L"", {}},
        {L"f", {}},
        {L"0-A", {0x0A}},
    };
    for (const Row& row : rows)
        EXPECT_EQ(contentsOf(ByteArray::fromHex(String(row.text))), row.expected) << String(row.text).length();
}

TEST(ByteArrayTest, HexRoundTrip)
{
    const ByteArray bytes = patternBytes(256);
    EXPECT_EQ(ByteArray::fromHex(bytes.toHex()), bytes);
}

TEST(Base64Test, KnownVectors)
{
    struct Row {
        const char* bytes;
        const wchar_t* text;
    };
    const Row rows[] = {
        {"f", L"Zg=="},       {"fo", L"Zm8="},         {"foo", L"Zm9v"},   {"foob", L"Zm9vYg=="},
        {"fooba", L"Zm9vYmE="}, {"foobar", L"Zm9vYmFy"}, {"abc", L"YWJj"},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(asciiBytes(row.bytes).toBase64(), String(row.text)) << row.bytes;
        EXPECT_EQ(ByteArray::fromBase64(String(row.text)), asciiBytes(row.bytes)) << row.bytes;
    }
}

TEST(Base64Test, HundredBytesGiveOneLine)
{
    const String text = patternBytes(100).toBase64();
    EXPECT_EQ(text.length(), 136);
    EXPECT_FALSE(hasLineBreak(text));
}

TEST(Base64Test, RoundTripForEverySizeUpTo300)
{
    EXPECT_TRUE(ByteArray().toBase64().isEmpty());
    for (int size = 1; size <= 300; ++size) {
        const ByteArray bytes = patternBytes(size);
        const String text = bytes.toBase64();
        ASSERT_EQ(text.length(), (size + 2) / 3 * 4) << size;
        ASSERT_FALSE(hasLineBreak(text)) << size;
        ASSERT_EQ(ByteArray::fromBase64(text), bytes) << size;
    }
}

TEST(Base64Test, LongInputStaysOneLine)
{
    const ByteArray bytes = patternBytes(30000);
    const String text = bytes.toBase64();
    EXPECT_EQ(text.length(), 40000);
    EXPECT_FALSE(hasLineBreak(text));
    EXPECT_EQ(ByteArray::fromBase64(text), bytes);
}

TEST(Base64Test, DecoderAcceptsLineBreaksAndSurroundingWhitespace)
{
    EXPECT_EQ(ByteArray::fromBase64(String(L"Zm9v\r\nYmFy\r\n")), asciiBytes("foobar"));
    EXPECT_EQ(ByteArray::fromBase64(String(L"  Zm9vYmFy  ")), asciiBytes("foobar"));
}

TEST(Base64Test, InvalidCharacterGivesEmpty)
{
    const wchar_t* bad[] = {L"YW*j", L"Y!Jj", L"YWJj\x00e9", L"-_-_", L"\x0416WJj"};
    for (const wchar_t* text : bad)
        EXPECT_TRUE(ByteArray::fromBase64(String(text)).isEmpty()) << String(text).length();
    EXPECT_TRUE(ByteArray::fromBase64(String()).isEmpty());
}

TEST(Base64Test, BadArgumentsLeaveOutputUntouched)
{
    const std::uint8_t raw[] = {1, 2, 3};
    String text(L"keep");
    EXPECT_FALSE(base64Encode(nullptr, 3, text));
    EXPECT_FALSE(base64Encode(raw, 0, text));
    EXPECT_FALSE(base64Encode(raw, 0xFFFFFFFFu, text));
    EXPECT_EQ(text, String(L"keep"));

    ByteArray bytes = bytesOf({9});
    EXPECT_FALSE(base64Decode(nullptr, 4, bytes));
    EXPECT_FALSE(base64Decode(L"YWJj", 0, bytes));
    EXPECT_FALSE(base64Decode(L"YWJj", 0xFFFFFFFFu, bytes));
    EXPECT_EQ(contentsOf(bytes), (std::vector<int>{9}));
}

TEST(Base64Test, FailedDecodeEmptiesOutput)
{
    ByteArray bytes = bytesOf({9});
    EXPECT_FALSE(base64Decode(L"YW*j", 4, bytes));
    EXPECT_TRUE(bytes.isEmpty());
    EXPECT_TRUE(base64DecodeToBytes(L"YW*j", 4).isEmpty());
    EXPECT_TRUE(base64EncodeToString(nullptr, 4).isEmpty());
}

TEST(StringEncodingTest, Utf8RoundTripOfAccentedLetter)
{
    const String text(L"\x00e9");
    const ByteArray bytes = text.toUtf8();
    EXPECT_EQ(contentsOf(bytes), (std::vector<int>{0xC3, 0xA9}));
    EXPECT_EQ(String::fromUtf8(reinterpret_cast<const char*>(bytes.data()), bytes.size()), text);
    EXPECT_EQ(String::fromUtf8("\xC3\xA9"), text);
}

TEST(StringEncodingTest, Utf8RoundTripOfSurrogatePair)
{
    const String text(L"a\xD83D\xDE00z");
    const ByteArray bytes = text.toUtf8();
    EXPECT_EQ(contentsOf(bytes), (std::vector<int>{'a', 0xF0, 0x9F, 0x98, 0x80, 'z'}));
    EXPECT_EQ(String::fromUtf8(reinterpret_cast<const char*>(bytes.data()), bytes.size()), text);
}

TEST(StringEncodingTest, Latin1IsOneBytePerCharacter)
{
    const String text(L"A\x00e9\x00ff");
    EXPECT_EQ(contentsOf(text.toLatin1()), (std::vector<int>{'A', 0xE9, 0xFF}));
    EXPECT_EQ(String::fromLatin1("A\xE9\xFF", 3), text);
}

TEST(StringEncodingTest, AnsiRoundTripOfAscii)
{
    const String text(L"Plain ASCII 123");
    const ByteArray bytes = text.toAnsi();
    EXPECT_EQ(bytes, asciiBytes("Plain ASCII 123"));
    EXPECT_EQ(String::fromAnsi("Plain ASCII 123"), text);
}

TEST(StringEncodingTest, EmptyStringsGiveEmptyResults)
{
    EXPECT_TRUE(String().toUtf8().isEmpty());
    EXPECT_TRUE(String().toAnsi().isEmpty());
    ByteArray out = bytesOf({1});
    EXPECT_FALSE(String().toEncoding(CodePageUtf8, out));
    EXPECT_EQ(out.size(), 1);
    EXPECT_TRUE(String::fromUtf8(nullptr).isEmpty());
    EXPECT_TRUE(String::fromUtf8("", 0).isEmpty());
}

TEST(StringEncodingTest, EncodeTextRejectsBadArgumentsWithoutTouchingOutput)
{
    struct Row {
        int kind;
        const wchar_t* text;
        int length;
    };
    const Row rows[] = {
        {4, L"abc", 3}, {0, L"abc", 3}, {3, nullptr, 3}, {3, L"", -1}, {3, L"abc", 0}, {3, L"abc", -2},
    };
    for (const Row& row : rows) {
        ByteArray out = bytesOf({7, 7});
        EXPECT_FALSE(encodeText(row.kind, row.text, row.length, out)) << row.kind << " " << row.length;
        EXPECT_EQ(contentsOf(out), (std::vector<int>{7, 7})) << row.kind << " " << row.length;
    }
}

TEST(StringEncodingTest, EncodeTextStopsAtTheTerminatorWithoutCountingIt)
{
    ByteArray out = bytesOf({1, 2, 3, 4, 5, 6});
    EXPECT_TRUE(encodeText(CodePageUtf8, L"ab", -1, out));
    EXPECT_EQ(contentsOf(out), (std::vector<int>{'a', 'b'}));
    EXPECT_TRUE(encodeText(CodePageLatin1, L"abc", 2, out));
    EXPECT_EQ(contentsOf(out), (std::vector<int>{'a', 'b'}));
}
