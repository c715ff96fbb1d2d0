#include "tests/support/TempFolder.h"

#include "foundation/DateTime.h"
#include "foundation/FileSystem.h"
#include "foundation/LogFile.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// The file's text after its FF FE mark; empty when the mark is missing.
std::wstring logText(const String& path)
{
    const Bytes bytes = readRaw(path);
    if (bytes.size() < 2 || bytes[0] != 0xFF || bytes[1] != 0xFE)
        return {};
    std::wstring text;
    for (std::size_t i = 2; i + 1 < bytes.size(); i += 2)
        text.push_back(static_cast<wchar_t>(bytes[i] | (bytes[i + 1] << 8)));
    return text;
}

std::vector<std::wstring> linesOf(const std::wstring& text)
{
    std::vector<std::wstring> lines;
    std::size_t start = 0;
    while (start < text.size()) {
        const std::size_t end = text.find(L"\r\n", start);
        if (end == std::wstring::npos) {
            lines.push_back(text.substr(start) + L"<no line end>");
            break;
        }
        lines.push_back(text.substr(start, end - start));
        start = end + 2;
    }
    return lines;
}

bool isDigitAt(const std::wstring& line, std::size_t at)
{
    return at < line.size() && line[at] >= L'0' && line[at] <= L'9';
}

// "dd.MM.yyyy hh:mm:ss | " followed by the text.
bool hasStamp(const std::wstring& line)
{
    const std::wstring shape = L"00.00.0000 00:00:00 | ";
    if (line.size() < shape.size())
        return false;
    for (std::size_t i = 0; i < shape.size(); ++i) {
        if (shape[i] == L'0' ? !isDigitAt(line, i) : line[i] != shape[i])
            return false;
    }
    return true;
}

std::wstring dateText(const Date& date)
{
    wchar_t text[16];
    swprintf(text, 16, L"%02d.%02d.%04d", date.day(), date.month(), date.year());
    return text;
}

} // namespace

TEST(LogFile, StartsClosedWithTheDefaultLimit)
{
    LogFile log;
    EXPECT_FALSE(log.isOpen());
    EXPECT_EQ(log.sizeLimit(), 10485760u);
    EXPECT_TRUE(log.path().isEmpty());
    EXPECT_FALSE(log.writeLine(String(L"nobody hears this")));
}

TEST(LogFile, WritesStampedUtf16Lines)
{
    TempFolder temp;
    const String path = temp.file(L"kestrola.log");
    LogFile log;
    ASSERT_TRUE(log.open(path));
    EXPECT_TRUE(fileExists(path));
    EXPECT_TRUE(readRaw(path).empty()) << "opening writes nothing";
    const Date before = Date::currentUtc();
    ASSERT_TRUE(log.writeLine(String(L"first")));
    ASSERT_TRUE(log.writeLine(String(L"zweite Zeile \u00e4")));
    const Date after = Date::currentUtc();
    log.close();

    const std::vector<std::wstring> lines = linesOf(logText(path));
    ASSERT_EQ(lines.size(), 2u);
    for (const std::wstring& line : lines) {
        EXPECT_TRUE(hasStamp(line)) << line;
        const std::wstring date = line.substr(0, 10);
        EXPECT_TRUE(date == dateText(before) || date == dateText(after)) << line;
    }
    EXPECT_EQ(lines[0].substr(22), L"first");
    EXPECT_EQ(lines[1].substr(22), L"zweite Zeile \u00e4");
}

TEST(LogFile, ContinuesAnExistingLogWithoutASecondMark)
{
    TempFolder temp;
    const String path = temp.file(L"kestrola.log");
    {
        LogFile log;
        ASSERT_TRUE(log.open(path));
        ASSERT_TRUE(log.writeLine(String(L"one")));
    }
    LogFile log;
    ASSERT_TRUE(log.open(path));
    ASSERT_TRUE(log.writeLine(String(L"two")));
    log.close();
    const std::wstring text = logText(path);
    EXPECT_EQ(text.find(L'\xFEFF'), std::wstring::npos);
    const std::vector<std::wstring> lines = linesOf(text);
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0].substr(22), L"one");
    EXPECT_EQ(lines[1].substr(22), L"two");
}

TEST(LogFile, ALogAtItsLimitStartsAgainEmpty)
{
    TempFolder temp;
    const String path = temp.file(L"kestrola.log");
    LogFile log;
    log.setSizeLimit(100);
    ASSERT_TRUE(log.open(path));
    ASSERT_TRUE(log.writeLine(String(L"a line long enough to pass the limit of one hundred bytes")));
    ASSERT_GE(FileSystem::fileSize(path), 100u);
    ASSERT_TRUE(log.writeLine(String(L"after")));
    log.close();
    const std::vector<std::wstring> lines = linesOf(logText(path));
    ASSERT_EQ(lines.size(), 1u) << "older lines are dropped";
    EXPECT_EQ(lines[0].substr(22), L"after");
}

TEST(LogFile, BelowTheLimitNothingIsDropped)
{
    TempFolder temp;
    const String path = temp.file(L"kestrola.log");
    LogFile log;
    log.setSizeLimit(1000);
    ASSERT_TRUE(log.open(path));
    for (int i = 0; i < 5; ++i)
        ASSERT_TRUE(log.writeLine(String::number(i)));
    log.close();
    EXPECT_EQ(linesOf(logText(path)).size(), 5u);
}

// Reopening on another path used to keep writing to the old file while
// path() named the new one.
TEST(LogFile, OpeningAnotherPathMovesTheLog)
{
    TempFolder temp;
    LogFile log;
    ASSERT_TRUE(log.open(temp.file(L"a.log")));
    ASSERT_TRUE(log.open(temp.file(L"b.log")));
    EXPECT_EQ(log.path(), temp.file(L"b.log"));
    ASSERT_TRUE(log.writeLine(String(L"to b")));
    log.close();
    EXPECT_TRUE(readRaw(temp.file(L"a.log")).empty());
    EXPECT_EQ(linesOf(logText(temp.file(L"b.log"))).size(), 1u);
}

TEST(LogFile, OpenFailsInAMissingFolder)
{
    TempFolder temp;
    LogFile log;
    EXPECT_FALSE(log.open(temp.file(L"missing\\x.log")));
    EXPECT_FALSE(log.isOpen());
    EXPECT_FALSE(log.writeLine(String(L"lost")));
    EXPECT_FALSE(log.open(String()));
}

TEST(LogFile, CloseEndsWriting)
{
    TempFolder temp;
    LogFile log;
    ASSERT_TRUE(log.open(temp.file(L"x.log")));
    log.close();
    EXPECT_FALSE(log.isOpen());
    EXPECT_FALSE(log.writeLine(String(L"after close")));
    EXPECT_TRUE(readRaw(temp.file(L"x.log")).empty());
}
