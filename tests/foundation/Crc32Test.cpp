#include "foundation/Crc32.h"

#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>

namespace {

std::uint32_t crcOf(const char* text)
{
    std::uint32_t value = 0;
    EXPECT_TRUE(crc32(text, static_cast<std::uint32_t>(std::strlen(text)), &value)) << text;
    return value;
}

} // namespace

TEST(Crc32Check, StandardCheckValues)
{
    struct Row {
        const char* text;
        std::uint32_t crc;
    };
    const Row rows[] = {
        {"123456789", 0xCBF43926u},
        {"a", 0xE8B7BE43u},
        {"abc", 0x352441C2u},
        {"The quick brown fox jumps over the lazy dog", 0x414FA339u},
        {"\xFF\xFF\xFF\xFF", 0xFFFFFFFFu},
    };
    for (const Row& row : rows)
        EXPECT_EQ(crcOf(row.text), row.crc) << row.text;
}

TEST(Crc32Check, SingleZeroByteIsNotZero)
{
    const std::uint8_t zero = 0;
    std::uint32_t value = 0;
    ASSERT_TRUE(crc32(&zero, 1, &value));
    EXPECT_EQ(value, 0xD202EF8Du);
}

TEST(Crc32Check, RefusedInputsLeaveTheValueUntouched)
{
    const char data[] = "abc";
    std::uint32_t value = 0x12345678u;
    EXPECT_FALSE(crc32(data, 0, &value));
    EXPECT_FALSE(crc32(nullptr, 3, &value));
    // The length is never read here, so a huge one must not be walked.
    EXPECT_FALSE(crc32(data, 0xFFFFFFFFu, &value));
    EXPECT_EQ(value, 0x12345678u);
    EXPECT_FALSE(crc32(data, 3, nullptr));
}

TEST(Crc32Check, ObjectValueTextAndNull)
{
    const Crc32 check("123456789", 9);
    EXPECT_EQ(check.value(), 0xCBF43926u);
    EXPECT_FALSE(check.isNull());
    EXPECT_EQ(check.toText(), String(L"cbf43926"));

    // 0x00E7DDCE: no leading zeros in the text.
    EXPECT_EQ(Crc32("ae", 2).toText(), String(L"e7ddce"));

    const Crc32 failed("abc", 0);
    EXPECT_TRUE(failed.isNull());
    EXPECT_EQ(failed.value(), 0u);
    EXPECT_EQ(failed.toText(), String(L"0"));
}

TEST(Crc32Check, FileMatchesMemoryAcrossBlockBoundaries)
{
    TempFolder folder;
    // Sizes around the 4096-byte read blocks.
    for (std::size_t size : {1u, 4095u, 4096u, 4097u, 8192u, 10000u}) {
        const Bytes bytes = randomBytes(size, static_cast<unsigned>(size));
        const String path = folder.writeFile(L"data.bin", bytes);
        std::uint32_t inMemory = 0;
        ASSERT_TRUE(crc32(bytes.data(), static_cast<std::uint32_t>(bytes.size()), &inMemory));
        std::uint32_t fromFile = 0;
        ASSERT_TRUE(crc32OfFile(path, &fromFile)) << size;
        EXPECT_EQ(fromFile, inMemory) << size;
        EXPECT_EQ(Crc32(path).value(), inMemory) << size;
    }
}

TEST(Crc32Check, FileOfCheckText)
{
    TempFolder folder;
    const String path = folder.writeFile(L"check.txt", bytesOf(std::string("123456789")));
    std::uint32_t value = 0;
    ASSERT_TRUE(crc32OfFile(path, &value));
    EXPECT_EQ(value, 0xCBF43926u);
}

TEST(Crc32Check, EmptyFileGivesZero)
{
    TempFolder folder;
    const String path = folder.writeFile(L"empty.bin", {});
    std::uint32_t value = 77;
    EXPECT_TRUE(crc32OfFile(path, &value));
    EXPECT_EQ(value, 0u);
    EXPECT_TRUE(Crc32(path).isNull());
}

TEST(Crc32Check, MissingFileFailsAndLeavesTheValue)
{
    TempFolder folder;
    std::uint32_t value = 99;
    EXPECT_FALSE(crc32OfFile(folder.file(L"missing.bin"), &value));
    EXPECT_EQ(value, 99u);
    EXPECT_TRUE(Crc32(folder.file(L"missing.bin")).isNull());
    // A folder opens for nothing: no file data to read.
    EXPECT_FALSE(crc32OfFile(folder.path(), &value));
    EXPECT_EQ(value, 99u);
}

TEST(Crc32Check, FileOpenByAnotherReaderStillReads)
{
    TempFolder folder;
    const String path = folder.writeFile(L"shared.bin", bytesOf(std::string("abc")));
    // Another reader with read sharing does not block it.
    HANDLE other = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(other, INVALID_HANDLE_VALUE);
    std::uint32_t value = 0;
    EXPECT_TRUE(crc32OfFile(path, &value));
    EXPECT_EQ(value, 0x352441C2u);
    CloseHandle(other);
}

// The CRC takes eight bytes per step through its tables, and folds long runs
// 64 and 16 bytes at a time; every length and every split into two pieces
// must give what one bit at a time gives.
TEST(Crc32Check, EveryLengthAndSplitMatchesTheBitwiseDefinition)
{
    const auto bitwise = [](const std::uint8_t* bytes, std::size_t length) {
        std::uint32_t crc = 0xFFFFFFFFu;
        for (std::size_t i = 0; i < length; ++i) {
            crc ^= bytes[i];
            for (int bit = 0; bit < 8; ++bit)
                crc = (crc & 1) ? 0xEDB88320u ^ (crc >> 1) : crc >> 1;
        }
        return ~crc;
    };
    std::uint8_t bytes[400];
    for (std::size_t i = 0; i < sizeof(bytes); ++i)
        bytes[i] = static_cast<std::uint8_t>(i * 37 + 11 + (i >> 8));
    for (std::uint32_t length = 1; length <= sizeof(bytes); ++length) {
        const std::uint32_t expected = bitwise(bytes, length);
        EXPECT_EQ(Crc32(bytes, length).value(), expected) << length;
        for (std::uint32_t split = 0; split <= length; ++split) {
            Crc32Builder pieces;
            pieces.add(bytes, split);
            pieces.add(bytes + split, length - split);
            EXPECT_EQ(pieces.value(), expected) << length << " split at " << split;
        }
    }
    EXPECT_EQ(Crc32Builder().value(), 0u);
}
