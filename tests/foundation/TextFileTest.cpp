#include "tests/support/ByteSink.h"
#include "tests/support/DamagedInput.h"
#include "tests/support/TempFolder.h"

#include "foundation/ByteArray.h"
#include "foundation/FileStream.h"
#include "foundation/FileSystem.h"
#include "foundation/MemoryStream.h"
#include "foundation/StringList.h"
#include "foundation/TextFile.h"
#include "foundation/TextReader.h"
#include "foundation/TextWriter.h"

#include <gtest/gtest.h>


namespace {

String fromBytes(const Bytes& bytes, int encoding)
{
    return String::fromBytes(bytes.data(), static_cast<int>(bytes.size()), encoding);
}

Bytes written(int encoding, const String& text)
{
    ByteSink sink;
    TextWriter writer(&sink, encoding);
    EXPECT_TRUE(writer.attach());
    EXPECT_TRUE(writer.write(text));
    return sink.bytes;
}

const String eAcute(L"\u00E9");

} // namespace

TEST(TextWriter, MarkAndBytesForEachEncoding)
{
    const String abc(L"abc");
    EXPECT_EQ(written(TextUtf8, abc), bytesOf({0xEF, 0xBB, 0xBF, 'a', 'b', 'c'}));
    EXPECT_EQ(written(TextUtf16, abc), bytesOf({0xFF, 0xFE, 'a', 0, 'b', 0, 'c', 0}));
    EXPECT_EQ(written(TextAnsi, abc), bytesOf("abc"));
}

TEST(TextWriter, Utf8OfEAcuteIsTwoBytes)
{
    EXPECT_EQ(written(TextUtf8, eAcute), bytesOf({0xEF, 0xBB, 0xBF, 0xC3, 0xA9}));
    EXPECT_EQ(written(TextUtf16, eAcute), bytesOf({0xFF, 0xFE, 0xE9, 0x00}));
}

TEST(TextWriter, UnknownEncodingRefusesToAttach)
{
    for (int encoding : {0, 2, 5, -1}) {
        ByteSink sink;
        TextWriter writer(&sink, encoding);
        EXPECT_FALSE(writer.attach()) << encoding;
        EXPECT_FALSE(sink.hasHolder());
        MemoryStream stream(nullptr, 0, false);
        TextReader reader(&stream, encoding);
        EXPECT_FALSE(reader.attach()) << encoding;
    }
}

TEST(TextWriter, OneMarkPerAttachToAnEmptyStream)
{
    ByteSink sink;
    TextWriter writer(&sink, TextUtf8);
    ASSERT_TRUE(writer.attach());
    writer.write(String(L"a"));
    writer.write(String(L"b"));
    EXPECT_EQ(sink.bytes, bytesOf({0xEF, 0xBB, 0xBF, 'a', 'b'}));
    writer.detach();
    // Re-attaching used to write a second mark in the middle of the text.
    ASSERT_TRUE(writer.attach());
    writer.write(String(L"c"));
    EXPECT_EQ(sink.bytes, bytesOf({0xEF, 0xBB, 0xBF, 'a', 'b', 'c'}));
}

TEST(TextWriter, NoMarkWhenTheStreamAlreadyHoldsBytes)
{
    ByteSink sink(bytesOf("old"));
    TextWriter writer(&sink, TextUtf16);
    ASSERT_TRUE(writer.attach());
    writer.write(String(L"x"));
    EXPECT_EQ(sink.bytes, bytesOf({'o', 'l', 'd', 'x', 0}));
}

TEST(TextWriter, EmptyTextRightAfterAttachWritesTheMarkOnly)
{
    ByteSink sink;
    TextWriter writer(&sink, TextUtf16);
    ASSERT_TRUE(writer.attach());
    EXPECT_TRUE(writer.write(String()));
    EXPECT_EQ(sink.bytes, bytesOf({0xFF, 0xFE}));
}

TEST(TextWriter, TypedValues)
{
    ByteSink sink;
    TextWriter writer(&sink, TextAnsi);
    ASSERT_TRUE(writer.attach());
    writer.writeLine(true);
    writer.writeLine(false);
    writer.writeLine(static_cast<std::int16_t>(-32768));
    writer.writeLine(static_cast<std::uint16_t>(65535));
    writer.writeLine(-7);
    writer.writeLine(4294967295u);
    writer.writeLine(static_cast<std::int64_t>(-9223372036854775807LL - 1));
    writer.writeLine(static_cast<std::uint64_t>(18446744073709551615ULL));
    writer.writeLine(L'x');
    writer.writeLine(L"wide");
    const std::string expected = "1\r\n0\r\n-32768\r\n65535\r\n-7\r\n4294967295\r\n"
                                 "-9223372036854775808\r\n18446744073709551615\r\nx\r\nwide\r\n";
    EXPECT_EQ(sink.bytes, bytesOf(expected));
}

TEST(TextWriter, FloatingPointTextReadsBack)
{
    ByteSink sink;
    TextWriter writer(&sink, TextAnsi);
    ASSERT_TRUE(writer.attach());
    writer.write(1.5f);
    writer.write(L' ');
    writer.write(-0.25);
    const String text = fromBytes(sink.bytes, TextAnsi);
    const StringList parts = String::split(text, String(L" "));
    ASSERT_EQ(parts.count(), 2) << wide(text);
    EXPECT_EQ(parts.first()->value.toDouble(), 1.5);
    EXPECT_EQ(parts.last()->value.toDouble(), -0.25);
    EXPECT_FALSE(text.contains(L',')) << "'.' is the decimal point in every locale";
}

TEST(TextWriter, LineEndCanBeChanged)
{
    ByteSink sink;
    TextWriter writer(&sink, TextAnsi);
    ASSERT_TRUE(writer.attach());
    EXPECT_EQ(wide(writer.lineEnd()), L"\r\n");
    writer.setLineEnd(String(L"\n"));
    writer.writeLine(String(L"a"));
    EXPECT_EQ(sink.bytes, bytesOf("a\n"));
}

TEST(TextWriter, ReportsFailedWrites)
{
    ByteSink sink;
    sink.failWrites = true;
    TextWriter writer(&sink, TextUtf8);
    ASSERT_TRUE(writer.attach());
    EXPECT_FALSE(writer.write(String(L"abc")));
    EXPECT_FALSE(writer.writeLine(1));
}

TEST(TextReader, MarkOnlyFilesReadEmpty)
{
    EXPECT_TRUE(fromBytes(bytesOf({0xEF, 0xBB, 0xBF}), TextUtf8).isEmpty());
    EXPECT_TRUE(fromBytes(bytesOf({0xFF, 0xFE}), TextUtf16).isEmpty());
    EXPECT_TRUE(fromBytes(bytesOf({'a'}), TextUtf16).isEmpty()) << "one byte is no UTF-16 unit";
    EXPECT_TRUE(fromBytes(Bytes(), TextUtf8).isEmpty());
}

TEST(TextReader, MarkIsOptional)
{
    EXPECT_EQ(wide(fromBytes(bytesOf({0xC3, 0xA9}), TextUtf8)), L"\u00E9");
    EXPECT_EQ(wide(fromBytes(bytesOf({'h', 0, 'i', 0}), TextUtf16)), L"hi");
    EXPECT_EQ(wide(fromBytes(bytesOf({0xFF, 0xFE, 'h', 0, 'i', 0}), TextUtf16)), L"hi");
}

TEST(TextReader, OddTrailingByteOfUtf16IsDropped)
{
    EXPECT_EQ(wide(fromBytes(bytesOf({0xFF, 0xFE, 'h', 0, 'i'}), TextUtf16)), L"h");
}

TEST(TextReader, AForeignMarkStaysInTheText)
{
    const Bytes utf8 = bytesOf({0xEF, 0xBB, 0xBF, 'a', 'b', 'c'});
    const String ansi = fromBytes(utf8, TextAnsi);
    EXPECT_EQ(ansi, String::fromAnsi("\xEF\xBB\xBF" "abc"));
    EXPECT_EQ(ansi.length(), 6);
}

TEST(TextReader, TextIsCutAtTheFirstZero)
{
    const String withZero(L"ab\0cd", 5);
    for (int encoding : {TextAnsi, TextUtf8, TextUtf16})
        EXPECT_EQ(wide(fromBytes(written(encoding, withZero), encoding)), L"ab") << encoding;
}

TEST(TextReader, ReadAllStartsAtTheBeginningInChunks)
{
    const Bytes bytes = written(TextUtf16, String(L"chunked text"));
    MemoryStream stream(bytes.data(), bytes.size(), false);
    TextReader reader(&stream, TextUtf16);
    ASSERT_TRUE(reader.attach());
    stream.seek(5);
    EXPECT_EQ(wide(reader.readAll(3)), L"chunked text");
    EXPECT_TRUE(reader.readAll(0).isEmpty()) << "a chunk size of 0 cannot read";
}

TEST(TextReader, ReadLinesWithAndWithoutSkippingEmptyLines)
{
    const Bytes bytes = bytesOf("a\r\n\r\nb");
    MemoryStream stream(bytes.data(), bytes.size(), false);
    TextReader reader(&stream, TextAnsi);
    ASSERT_TRUE(reader.attach());
    EXPECT_EQ(vectorOf(reader.readLines(0)), (std::vector<std::wstring>{L"a", L"", L"b"}));
    EXPECT_EQ(vectorOf(reader.readLines(String::SkipEmptyParts)), (std::vector<std::wstring>{L"a", L"b"}));
}

TEST(TextReader, ReadLinesTrimsAndUsesItsLineEnd)
{
    const Bytes bytes = bytesOf(" a \n  \nb");
    MemoryStream stream(bytes.data(), bytes.size(), false);
    TextReader reader(&stream, TextUtf8);
    reader.setLineEnd(String(L"\n"));
    EXPECT_EQ(vectorOf(reader.readLines(String::TrimParts)), (std::vector<std::wstring>{L"a", L"", L"b"}));
    EXPECT_EQ(vectorOf(reader.readLines(String::TrimParts | String::SkipEmptyParts)),
              (std::vector<std::wstring>{L"a", L"b"}));
}

TEST(TextReader, EveryPrefixAndRandomDamageDecodeWithoutFault)
{
    const String text(L"h\u00E9llo \u20AC w\u00F6rld\r\nzwei");
    for (int encoding : {TextAnsi, TextUtf8, TextUtf16}) {
        const Bytes whole = written(encoding, text);
        for (std::size_t n = 0; n <= whole.size(); ++n) {
            const String prefix = fromBytes(Bytes(whole.begin(), whole.begin() + n), encoding);
            EXPECT_LE(prefix.length(), text.length() + 1) << encoding << " " << n;
        }
        forEachDamagedCopy(whole, 99, 500, [&](const Bytes& damaged) {
            EXPECT_LE(fromBytes(damaged, encoding).length(), static_cast<int>(damaged.size()));
        }, 1);
    }
}

TEST(TextFile, StringRoundTripInEveryEncoding)
{
    TempFolder temp;
    const String path = temp.file(L"text.txt");
    const String text(L"caf\u00E9\r\nline two");
    for (int encoding : {TextUtf8, TextUtf16}) {
        ASSERT_TRUE(text.saveToFile(path, encoding));
        EXPECT_EQ(String::fromFile(path, encoding), text) << encoding;
    }
    const String ascii(L"plain ascii");
    ASSERT_TRUE(ascii.saveToFile(path, TextAnsi));
    EXPECT_EQ(String::fromFile(path, TextAnsi), ascii);
}

TEST(TextFile, Utf8FileOfEAcute)
{
    TempFolder temp;
    const String path = temp.file(L"e.txt");
    ASSERT_TRUE(eAcute.saveToFile(path, TextUtf8));
    EXPECT_EQ(readRaw(path), bytesOf({0xEF, 0xBB, 0xBF, 0xC3, 0xA9}));
    EXPECT_EQ(String::fromFile(path, TextUtf8), eAcute);
}

TEST(TextFile, AppendingPutsNoMarkInTheMiddle)
{
    TempFolder temp;
    const String path = temp.file(L"append.txt");
    ASSERT_TRUE(String(L"one").saveToFile(path, TextUtf8, true)) << "appending creates the file";
    ASSERT_TRUE(String(L"two").saveToFile(path, TextUtf8, true));
    EXPECT_EQ(readRaw(path), bytesOf({0xEF, 0xBB, 0xBF, 'o', 'n', 'e', 't', 'w', 'o'}));
    EXPECT_EQ(wide(String::fromFile(path, TextUtf8)), L"onetwo");
}

TEST(TextFile, EmptyStringLeavesAnEmptyFile)
{
    TempFolder temp;
    const String path = temp.writeFile(L"empty.txt", bytesOf("old contents"));
    EXPECT_TRUE(String().saveToFile(path, TextUtf8));
    EXPECT_TRUE(readRaw(path).empty()) << "no mark either";
    EXPECT_FALSE(String(L"x").saveToFile(path, 2));
    EXPECT_FALSE(String(L"x").saveToFile(temp.file(L"no\\such\\folder.txt"), TextUtf8));
}

TEST(TextFile, MissingOrUnreadableFilesGiveEmptyResults)
{
    TempFolder temp;
    EXPECT_TRUE(String::fromFile(temp.file(L"missing.txt"), TextUtf8).isEmpty());
    EXPECT_TRUE(String::fromFile(temp.path(), TextUtf8).isEmpty());
    EXPECT_TRUE(StringList::fromFile(temp.file(L"missing.txt"), TextUtf8).isEmpty());
    const String path = temp.writeFile(L"x.txt", bytesOf("x"));
    EXPECT_TRUE(String::fromFile(path, 2).isEmpty());
    EXPECT_TRUE(String::fromBytes(nullptr, 4, TextUtf8).isEmpty());
    EXPECT_TRUE(String::fromBytes("abc", -1, TextUtf8).isEmpty());
}

TEST(TextFile, StringListSaveAndLoad)
{
    TempFolder temp;
    const String path = temp.file(L"list.txt");
    StringList list;
    list.append(String(L"a"));
    list.append(String(L"b"));
    list.saveToFile(path, TextAnsi);
    EXPECT_EQ(readRaw(path), bytesOf({'a', 0x0D, 0x0A, 'b', 0x0D, 0x0A}));
    // Every line ends in a line break, so the split leaves an empty last part.
    EXPECT_EQ(vectorOf(StringList::fromFile(path, TextAnsi)), (std::vector<std::wstring>{L"a", L"b", L""}));

    list.append(String());
    list.append(String(L"\u00E9"));
    list.saveToFile(path, TextUtf16);
    EXPECT_EQ(vectorOf(StringList::fromFile(path, TextUtf16)),
              (std::vector<std::wstring>{L"a", L"b", L"", L"\u00E9", L""}));
}

TEST(TextFile, EmptyStringListLeavesAnEmptyFileWithoutMark)
{
    TempFolder temp;
    const String path = temp.writeFile(L"list.txt", bytesOf("old"));
    StringList().saveToFile(path, TextUtf8);
    EXPECT_TRUE(fileExists(path));
    EXPECT_TRUE(readRaw(path).empty());
}

TEST(TextFile, ByteArrayRoundTrip)
{
    TempFolder temp;
    const String path = temp.file(L"bytes.bin");
    Bytes raw(70000);
    for (std::size_t i = 0; i < raw.size(); ++i)
        raw[i] = static_cast<std::uint8_t>(i * 7);
    const ByteArray bytes(raw.data(), static_cast<int>(raw.size()));
    ASSERT_TRUE(bytes.saveToFile(path));
    EXPECT_EQ(readRaw(path), raw);
    ByteArray back(raw.data(), 3);
    ASSERT_TRUE(back.fromFile(path));
    EXPECT_EQ(back, bytes);
}

TEST(TextFile, ByteArrayEmptyCases)
{
    TempFolder temp;
    const String path = temp.writeFile(L"empty.bin", bytesOf("old"));
    EXPECT_FALSE(ByteArray().saveToFile(path));
    EXPECT_TRUE(fileExists(path));
    EXPECT_TRUE(readRaw(path).empty()) << "the file is truncated all the same";
    const std::uint8_t seed[] = {1, 2};
    ByteArray bytes(seed, 2);
    EXPECT_FALSE(bytes.fromFile(path)) << "an empty file";
    EXPECT_TRUE(bytes.isEmpty());
    bytes.assign(seed, 2);
    EXPECT_FALSE(bytes.fromFile(temp.file(L"missing.bin")));
    EXPECT_TRUE(bytes.isEmpty());
    EXPECT_FALSE(bytes.fromFile(temp.path()));
    EXPECT_EQ(bytesOf(bytes), Bytes());
}
