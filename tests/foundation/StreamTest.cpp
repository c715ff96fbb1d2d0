#include "tests/support/ByteSink.h"
#include "tests/support/TempFolder.h"

#include "foundation/BinaryReader.h"
#include "foundation/BinaryWriter.h"
#include "foundation/ByteArray.h"
#include "foundation/File.h"
#include "foundation/FileStream.h"
#include "foundation/FileSystem.h"
#include "foundation/MemoryStream.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <random>

namespace {

const Bytes tenBytes = bytesOf({0, 1, 2, 3, 4, 5, 6, 7, 8, 9});

// A memory stream that records the count of every read and can be told to
// fail one of them.
class RecordingStream : public MemoryStream {
public:
    RecordingStream(const Bytes& bytes) : MemoryStream(bytes.data(), bytes.size(), true) {}

    int read(void* data, int count) override
    {
        counts.push_back(count);
        if (static_cast<int>(counts.size()) == failAt)
            return -1;
        return MemoryStream::read(data, count);
    }

    std::vector<int> counts;
    int failAt = 0;
};

} // namespace

// Mode 5 (write new, CREATE_NEW), beyond the four modes the streams' Part
// lists, makes a save's temporary file, so 6 is the first unknown one.
TEST(File, OpenRefusesEmptyPathAndUnknownModes)
{
    TempFolder temp;
    File unnamed{String()};
    EXPECT_FALSE(unnamed.open(File::Write));
    File file(temp.file(L"f.bin"));
    for (int mode : {0, 6, -1}) {
        EXPECT_FALSE(file.open(mode)) << mode;
        EXPECT_EQ(file.mode(), 3);
        EXPECT_FALSE(file.isOpen());
    }
}

TEST(File, ModeIsKeptWhileOpenAndResetByClose)
{
    TempFolder temp;
    File file(temp.file(L"f.bin"));
    EXPECT_FALSE(file.open(File::Read)) << "read mode opens existing files only";
    ASSERT_TRUE(file.open(File::Append));
    EXPECT_EQ(file.mode(), File::Append);
    EXPECT_NE(file.handle(), nullptr);
    file.close();
    EXPECT_EQ(file.mode(), 3);
    EXPECT_EQ(file.handle(), nullptr);
    ASSERT_TRUE(file.open(File::Read));
    EXPECT_EQ(file.mode(), File::Read);
}

TEST(File, HandleOperationsRejectBadArguments)
{
    EXPECT_EQ(readFileHandle(nullptr, nullptr, 1), -1);
    EXPECT_EQ(writeFileHandle(nullptr, "x", 1), -1);
    EXPECT_EQ(fileHandleSize(nullptr), 0u);
    EXPECT_EQ(fileHandlePosition(nullptr), 0u);
    EXPECT_EQ(openFileHandle(String(L"C:\\x"), 9), nullptr);
    TempFolder temp;
    void* handle = openFileHandle(temp.file(L"h.bin"), File::Write);
    ASSERT_NE(handle, nullptr);
    char buffer[4] = {};
    EXPECT_EQ(writeFileHandle(handle, buffer, -1), -1);
    EXPECT_EQ(readFileHandle(handle, buffer, -4), -1);
    closeFileHandle(handle);
}

TEST(FileOutputStream, WithoutAppendTruncates)
{
    TempFolder temp;
    const String path = temp.writeFile(L"out.bin", tenBytes);
    {
        FileOutputStream stream(path, false);
        ASSERT_TRUE(stream.isOpen());
        EXPECT_EQ(stream.size(), 0u);
    }
    EXPECT_TRUE(readRaw(path).empty());
}

TEST(FileOutputStream, AppendCreatesMissingFileAndWritesAfterExistingBytes)
{
    TempFolder temp;
    const String path = temp.file(L"log.bin");
    {
        FileOutputStream stream(path, true);
        ASSERT_TRUE(stream.isOpen());
        EXPECT_EQ(stream.write("ab", 2), 2);
    }
    {
        FileOutputStream stream(path, true);
        ASSERT_TRUE(stream.isOpen());
        EXPECT_EQ(stream.position(), 2u);
        EXPECT_EQ(stream.writeByte('c'), 1);
        EXPECT_EQ(stream.size(), 3u);
    }
    EXPECT_EQ(readRaw(path), bytesOf("abc"));
}

TEST(AtomicFileWrite, ReplacesTheTargetOnlyWhenEverythingWasWritten)
{
    TempFolder temp;
    const String path = temp.writeFile(L"data.bin", bytesOf("old"));

    EXPECT_FALSE(writeFileAtomically(path, [](FileOutputStream& stream) { return stream.write("new", 3) == 0; }));
    EXPECT_EQ(readRaw(path), bytesOf("old"));
    EXPECT_FALSE(fileExists(path + L".tmp"));

    EXPECT_TRUE(writeFileAtomically(path, [](FileOutputStream& stream) { return stream.write("new", 3) == 3; }));
    EXPECT_EQ(readRaw(path), bytesOf("new"));
    EXPECT_FALSE(fileExists(path + L".tmp"));
}

TEST(AtomicFileWrite, FailsWhenTheTemporaryFileCannotBeCreated)
{
    TempFolder temp;
    const String path = temp.writeFile(L"data.bin", bytesOf("old"));
    ASSERT_TRUE(CreateDirectoryW((path + L".tmp").c_str(), nullptr));
    bool called = false;
    EXPECT_FALSE(writeFileAtomically(path, [&](FileOutputStream&) { return called = true; }));
    EXPECT_FALSE(called);
    EXPECT_EQ(readRaw(path), bytesOf("old"));
    EXPECT_FALSE(writeFileAtomically(String(), [](FileOutputStream&) { return true; }));
}

TEST(FileOutputStream, SeekOverwritesInPlace)
{
    TempFolder temp;
    const String path = temp.file(L"seek.bin");
    {
        FileOutputStream stream(path, false);
        stream.write("abcdef", 6);
        EXPECT_TRUE(stream.seek(2));
        EXPECT_EQ(stream.position(), 2u);
        stream.write("XY", 2);
        EXPECT_TRUE(stream.seekToBegin());
        stream.writeByte('Z');
        EXPECT_TRUE(stream.seekToEnd());
        EXPECT_EQ(stream.position(), 6u);
    }
    EXPECT_EQ(readRaw(path), bytesOf("ZbXYef"));
}

TEST(FileInputStream, MissingFileIsNotOpenAndReaderRefusesIt)
{
    TempFolder temp;
    FileInputStream stream(temp.file(L"missing.bin"));
    EXPECT_FALSE(stream.isOpen());
    EXPECT_EQ(stream.readByte(), -1);
    EXPECT_EQ(stream.size(), 0u);
    BinaryReader reader(&stream);
    EXPECT_FALSE(reader.attach());
    EXPECT_FALSE(reader.isAttached());
}

TEST(FileInputStream, ReadsSeeksAndSkips)
{
    TempFolder temp;
    const String path = temp.writeFile(L"in.bin", tenBytes);
    FileInputStream stream(path);
    ASSERT_TRUE(stream.isOpen());
    EXPECT_EQ(stream.size(), 10u);
    EXPECT_EQ(stream.readByte(), 0);
    EXPECT_TRUE(stream.skip(3));
    EXPECT_EQ(stream.position(), 4u);
    std::uint8_t two[2] = {};
    EXPECT_EQ(stream.read(two, 2), 2);
    EXPECT_EQ(two[0], 4);
    EXPECT_EQ(two[1], 5);
    EXPECT_TRUE(stream.seekToEnd());
    EXPECT_EQ(stream.position(), 10u) << "file streams end after the last byte";
    EXPECT_EQ(stream.readByte(), -1);
    EXPECT_TRUE(stream.seek(9));
    EXPECT_EQ(stream.readByte(), 9);
}

TEST(FileInputStream, SkipThatWouldWrapIsRefused)
{
    TempFolder temp;
    const String path = temp.writeFile(L"wrap.bin", tenBytes);
    FileInputStream stream(path);
    ASSERT_TRUE(stream.seek(5));
    EXPECT_FALSE(stream.skip(std::numeric_limits<std::uint64_t>::max() - 1));
    EXPECT_EQ(stream.position(), 5u);
    EXPECT_EQ(stream.readByte(), 5);
}

TEST(FileInputStream, ReadingSharesTheFileWithOtherReaders)
{
    TempFolder temp;
    const String path = temp.writeFile(L"shared.bin", tenBytes);
    FileInputStream first(path);
    FileInputStream second(path);
    EXPECT_TRUE(first.isOpen());
    EXPECT_TRUE(second.isOpen());
}

TEST(StreamHolder, SecondWriterIsRefusedUntilTheFirstDetaches)
{
    ByteSink sink;
    BinaryWriter first(&sink);
    BinaryWriter second(&sink);
    ASSERT_TRUE(first.attach());
    EXPECT_FALSE(first.attach()) << "attaching twice";
    EXPECT_FALSE(second.attach());
    second.detach(); // not attached: must not free the slot
    EXPECT_TRUE(sink.hasHolder());
    EXPECT_FALSE(second.attach());
    first.detach();
    EXPECT_FALSE(sink.hasHolder());
    EXPECT_TRUE(second.attach());
}

TEST(StreamHolder, DestroyingAReaderDetachesIt)
{
    MemoryStream stream(tenBytes.data(), tenBytes.size(), false);
    {
        BinaryReader reader(&stream);
        ASSERT_TRUE(reader.attach());
        EXPECT_TRUE(stream.hasHolder());
    }
    EXPECT_FALSE(stream.hasHolder());
    BinaryReader next(&stream);
    EXPECT_TRUE(next.attach());
}

TEST(StreamHolder, ReleaseOnlyByTheHolderOrWhenFree)
{
    ByteSink sink;
    BinaryWriter a(&sink);
    BinaryWriter b(&sink);
    EXPECT_TRUE(sink.releaseHolder(&a)) << "a free slot releases";
    EXPECT_TRUE(sink.setHolder(&a));
    EXPECT_FALSE(sink.setHolder(&b));
    EXPECT_FALSE(sink.releaseHolder(&b));
    EXPECT_TRUE(sink.releaseHolder(&a));
    EXPECT_FALSE(sink.hasHolder());
}

TEST(StreamHolder, NullOrClosedStreamCannotBeAttached)
{
    BinaryWriter noStream(nullptr);
    EXPECT_FALSE(noStream.attach());
    EXPECT_EQ(noStream.writeBytes("x", 1), -1);
    BinaryReader noInput(nullptr);
    EXPECT_FALSE(noInput.attach());
    EXPECT_EQ(noInput.readUInt32(), 0u);
    EXPECT_TRUE(noInput.readByteArray(4).isEmpty());
}

TEST(MemoryStream, ReadPastTheEndFailsWithoutMoving)
{
    MemoryStream stream(tenBytes.data(), tenBytes.size(), false);
    std::uint8_t buffer[4] = {0xAA, 0xAA, 0xAA, 0xAA};
    ASSERT_TRUE(stream.seek(8));
    EXPECT_EQ(stream.read(buffer, 4), -1);
    EXPECT_EQ(stream.position(), 8u);
    EXPECT_EQ(buffer[0], 0xAA) << "a failed read copies nothing";
    EXPECT_EQ(stream.read(buffer, 2), 2);
    EXPECT_EQ(buffer[0], 8);
    EXPECT_EQ(buffer[1], 9);
    EXPECT_EQ(stream.readByte(), -1);
}

TEST(MemoryStream, SeekToEndStopsAtTheLastByte)
{
    MemoryStream stream(tenBytes.data(), tenBytes.size(), false);
    EXPECT_TRUE(stream.seekToEnd());
    EXPECT_EQ(stream.position(), 9u);
    EXPECT_EQ(stream.readByte(), 9);
    EXPECT_EQ(stream.readByte(), -1);
}

TEST(MemoryStream, EmptyStreamStaysAtZero)
{
    MemoryStream stream(nullptr, 0, false);
    EXPECT_TRUE(stream.isOpen());
    EXPECT_TRUE(stream.seekToEnd());
    EXPECT_EQ(stream.position(), 0u) << "size - 1 used to wrap around";
    EXPECT_EQ(stream.readByte(), -1);
    EXPECT_EQ(stream.currentData(), nullptr);
    std::uint8_t byte = 0;
    EXPECT_EQ(stream.read(&byte, 0), 0);
}

TEST(MemoryStream, NegativeCountFailsAndCopiesNothing)
{
    MemoryStream stream(tenBytes.data(), tenBytes.size(), false);
    std::uint8_t buffer[4] = {0xAA, 0xAA, 0xAA, 0xAA};
    EXPECT_EQ(stream.read(buffer, -1), -1);
    // Past the end, size - position is negative too; a negative count used
    // to pass the signed comparison and reach the copy.
    ASSERT_TRUE(stream.seek(12));
    EXPECT_EQ(stream.read(buffer, -5), -1);
    EXPECT_EQ(stream.read(buffer, 0), -1) << "a position beyond the size fails";
    EXPECT_EQ(buffer[0], 0xAA);
    EXPECT_EQ(stream.position(), 12u);
    EXPECT_EQ(stream.currentData(), nullptr);
}

TEST(MemoryStream, SeekIsUncheckedButReadsAfterItFail)
{
    MemoryStream stream(tenBytes.data(), tenBytes.size(), false);
    EXPECT_TRUE(stream.seek(std::numeric_limits<std::uint64_t>::max()));
    EXPECT_EQ(stream.readByte(), -1);
    EXPECT_TRUE(stream.seekToBegin());
    EXPECT_TRUE(stream.skip(5));
    ASSERT_NE(stream.currentData(), nullptr);
    EXPECT_EQ(*stream.currentData(), 5);
    EXPECT_EQ(stream.remaining(), 5u);
}

TEST(MemoryStream, SkipThatWouldWrapIsRefused)
{
    MemoryStream stream(tenBytes.data(), tenBytes.size(), false);
    ASSERT_TRUE(stream.seek(5));
    EXPECT_FALSE(stream.skip(std::numeric_limits<std::uint64_t>::max()));
    EXPECT_EQ(stream.position(), 5u);
    EXPECT_FALSE(stream.skip(std::numeric_limits<std::uint64_t>::max() - 4));
    EXPECT_EQ(stream.readByte(), 5);
}

TEST(MemoryStream, CopyIsIndependentOfTheSource)
{
    Bytes source = tenBytes;
    MemoryStream copied(source.data(), source.size(), true);
    MemoryStream borrowed(source.data(), source.size(), false);
    source[0] = 0x55;
    EXPECT_EQ(copied.readByte(), 0);
    EXPECT_EQ(borrowed.readByte(), 0x55);
}

// A library save that filled the disk part-way was reported as done, and
// the cut file took the library's place: every block must reach the target
// whole, and the first one cut short ends the write.
TEST(MemoryOutputStream, WriteToEndsAtTheFirstBlockCutShort)
{
    MemoryOutputStream built;
    const Bytes bytes(5 << 19, 0x5A);
    ASSERT_EQ(built.write(bytes.data(), 3 << 19), 3 << 19);
    ASSERT_EQ(built.write(bytes.data(), 2 << 19), 2 << 19);
    // Room for the first block and part of the second, then for both.
    for (const std::uint64_t room : {std::uint64_t{4} << 19, std::uint64_t{bytes.size()}}) {
        ByteSink disk;
        disk.room = room;
        std::vector<int> written;
        EXPECT_EQ(built.writeTo(disk, [&written](int blocks) { written.push_back(blocks); }), room == bytes.size());
        EXPECT_EQ(written, (room == bytes.size() ? std::vector<int>{1, 2} : std::vector<int>{1})) << room;
        EXPECT_TRUE(room != bytes.size() || disk.bytes == bytes);
    }
}

TEST(BinaryWriter, FourByteValueIsLittleEndian)
{
    ByteSink sink;
    BinaryWriter writer(&sink);
    ASSERT_TRUE(writer.attach());
    EXPECT_TRUE(writer.writeUInt32(0x12345678));
    EXPECT_EQ(sink.bytes, bytesOf({0x78, 0x56, 0x34, 0x12}));
}

TEST(BinaryWriter, EveryWidthIsLittleEndian)
{
    ByteSink sink;
    BinaryWriter writer(&sink);
    ASSERT_TRUE(writer.attach());
    EXPECT_TRUE(writer.writeUInt8(0xAB));
    EXPECT_TRUE(writer.writeInt8(-2));
    EXPECT_TRUE(writer.writeChar('z'));
    EXPECT_TRUE(writer.writeUInt16(0x1234));
    EXPECT_TRUE(writer.writeInt16(-2));
    EXPECT_TRUE(writer.writeWChar(L'\u00E9'));
    EXPECT_TRUE(writer.writeInt32(-2));
    EXPECT_TRUE(writer.writeFloat(1.0f));
    EXPECT_TRUE(writer.writeUInt64(0x0102030405060708ULL));
    EXPECT_TRUE(writer.writeInt64(-2));
    EXPECT_TRUE(writer.writeDouble(1.0));
    const Bytes expected = bytesOf({
        0xAB, 0xFE, 'z',
        0x34, 0x12, 0xFE, 0xFF, 0xE9, 0x00,
        0xFE, 0xFF, 0xFF, 0xFF, 0x00, 0x00, 0x80, 0x3F,
        0x08, 0x07, 0x06, 0x05, 0x04, 0x03, 0x02, 0x01,
        0xFE, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF,
        0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0xF0, 0x3F,
    });
    EXPECT_EQ(sink.bytes, expected);
}

TEST(BinaryWriter, ReportsFailedAndRefusedWrites)
{
    ByteSink sink;
    BinaryWriter writer(&sink);
    EXPECT_EQ(writer.writeBytes("abc", -1), -1);
    EXPECT_EQ(writer.writeBytes("abc", 0x100000003LL), -1) << "only counts that fit an int reach the stream";
    EXPECT_EQ(writer.writeByteArray(ByteArray()), 0);
    sink.failWrites = true;
    EXPECT_FALSE(writer.writeUInt16(1));
    EXPECT_EQ(writer.writeBytes("abc", 3), -1);
    EXPECT_TRUE(sink.bytes.empty());
}

TEST(BinaryReader, RoundTripOfEveryType)
{
    ByteSink sink;
    BinaryWriter writer(&sink);
    ASSERT_TRUE(writer.attach());
    writer.writeInt8(-128);
    writer.writeUInt8(255);
    writer.writeChar('q');
    writer.writeInt16(-32768);
    writer.writeUInt16(65535);
    writer.writeWChar(L'\u20AC');
    writer.writeInt32(std::numeric_limits<std::int32_t>::min());
    writer.writeUInt32(0xFFFFFFFFu);
    writer.writeFloat(-2.5f);
    writer.writeDouble(3.141592653589793);
    writer.writeInt64(std::numeric_limits<std::int64_t>::min());
    writer.writeUInt64(0xFEDCBA9876543210ULL);
    const std::uint8_t raw[] = {1, 2, 3};
    writer.writeByteArray(ByteArray(raw, 3));

    MemoryStream stream(sink.bytes.data(), sink.bytes.size(), false);
    BinaryReader reader(&stream);
    ASSERT_TRUE(reader.attach());
    EXPECT_EQ(reader.readInt8(), -128);
    EXPECT_EQ(reader.readUInt8(), 255);
    EXPECT_EQ(reader.readChar(), 'q');
    EXPECT_EQ(reader.readInt16(), -32768);
    EXPECT_EQ(reader.readUInt16(), 65535);
    EXPECT_EQ(reader.readWChar(), L'\u20AC');
    EXPECT_EQ(reader.readInt32(), std::numeric_limits<std::int32_t>::min());
    EXPECT_EQ(reader.readUInt32(), 0xFFFFFFFFu);
    EXPECT_EQ(reader.readFloat(), -2.5f);
    EXPECT_EQ(reader.readDouble(), 3.141592653589793);
    EXPECT_EQ(reader.readInt64(), std::numeric_limits<std::int64_t>::min());
    EXPECT_EQ(reader.readUInt64(), 0xFEDCBA9876543210ULL);
    EXPECT_EQ(bytesOf(reader.readByteArray(3)), bytesOf({1, 2, 3}));
    EXPECT_EQ(stream.remaining(), 0u);
}

TEST(BinaryReader, NaNKeepsItsBitPattern)
{
    ByteSink sink;
    BinaryWriter writer(&sink);
    ASSERT_TRUE(writer.attach());
    const double nan = std::numeric_limits<double>::quiet_NaN();
    writer.writeDouble(nan);
    MemoryStream stream(sink.bytes.data(), sink.bytes.size(), false);
    BinaryReader reader(&stream);
    const double back = reader.readDouble();
    EXPECT_TRUE(std::isnan(back));
    EXPECT_EQ(std::memcmp(&back, &nan, sizeof(double)), 0);
}

TEST(BinaryReader, ShortTypedReadGivesZeroAndLeavesTheBytes)
{
    const Bytes three = bytesOf({0x01, 0x02, 0x03});
    MemoryStream stream(three.data(), three.size(), false);
    BinaryReader reader(&stream);
    EXPECT_EQ(reader.readUInt32(), 0u);
    EXPECT_EQ(reader.readDouble(), 0.0);
    EXPECT_EQ(reader.readFloat(), 0.0f);
    EXPECT_EQ(reader.readUInt16(), 0x0201);
    EXPECT_EQ(reader.readUInt16(), 0);
    EXPECT_EQ(reader.readUInt8(), 3);
    EXPECT_EQ(reader.readInt8(), 0);
}

TEST(BinaryReader, EveryPrefixOfARecordReadsWhatIsThere)
{
    ByteSink sink;
    BinaryWriter writer(&sink);
    writer.writeUInt8(0x11);
    writer.writeUInt16(0x2222);
    writer.writeUInt32(0x33333333);
    writer.writeUInt64(0x4444444444444444ULL);
    writer.writeDouble(5.5);
    // The fields grow in width, so once one is cut off every later one is.
    for (std::size_t length = 0; length <= sink.bytes.size(); ++length) {
        MemoryStream stream(sink.bytes.data(), length, false);
        BinaryReader reader(&stream);
        EXPECT_EQ(reader.readUInt8(), length >= 1 ? 0x11 : 0) << length;
        EXPECT_EQ(reader.readUInt16(), length >= 3 ? 0x2222 : 0) << length;
        EXPECT_EQ(reader.readUInt32(), length >= 7 ? 0x33333333u : 0u) << length;
        EXPECT_EQ(reader.readUInt64(), length >= 15 ? 0x4444444444444444ULL : 0u) << length;
        EXPECT_EQ(reader.readDouble(), length >= 23 ? 5.5 : 0.0) << length;
    }
}

TEST(BinaryReader, ReadByteArrayRefusesMoreThanRemains)
{
    MemoryStream stream(tenBytes.data(), tenBytes.size(), false);
    BinaryReader reader(&stream);
    ASSERT_TRUE(stream.seek(5));
    EXPECT_TRUE(reader.readByteArray(8).isEmpty());
    EXPECT_TRUE(reader.readByteArray(-1).isEmpty());
    // A count from a damaged file must fail at once, not allocate 2 GB first.
    const ByteArray huge = reader.readByteArray(0x7FFFFFFF);
    EXPECT_TRUE(huge.isEmpty());
    EXPECT_EQ(huge.capacity(), 0);
    EXPECT_EQ(stream.position(), 5u);
    EXPECT_EQ(bytesOf(reader.readByteArray(5)), bytesOf({5, 6, 7, 8, 9}));
    EXPECT_TRUE(reader.readByteArray(1).isEmpty());
    EXPECT_TRUE(reader.readByteArray(0).isEmpty());
}

TEST(BinaryReader, ReadBytesReportsTheStreamResult)
{
    MemoryStream stream(tenBytes.data(), tenBytes.size(), false);
    BinaryReader reader(&stream);
    std::uint8_t buffer[16] = {};
    EXPECT_EQ(reader.readBytes(buffer, 0x100000004LL), -1);
    EXPECT_EQ(reader.readBytes(buffer, -1), -1);
    EXPECT_EQ(reader.readBytes(buffer, 11), -1);
    EXPECT_EQ(reader.readBytes(buffer, 10), 10);
}

TEST(BinaryReader, ReadAllReadsInChunks)
{
    RecordingStream stream(tenBytes);
    BinaryReader reader(&stream);
    ASSERT_TRUE(stream.skip(7));
    std::uint8_t buffer[10] = {};
    EXPECT_EQ(reader.readAll(buffer, 4), 10) << "reads from the start whatever the position";
    EXPECT_EQ(stream.counts, (std::vector<int>{4, 4, 2}));
    EXPECT_EQ(Bytes(buffer, buffer + 10), tenBytes);
}

TEST(BinaryReader, ReadAllChunkLargerThanTheStream)
{
    RecordingStream stream(tenBytes);
    BinaryReader reader(&stream);
    std::uint8_t buffer[10] = {};
    EXPECT_EQ(reader.readAll(buffer, 65536), 10);
    EXPECT_EQ(stream.counts, (std::vector<int>{10}));
}

TEST(BinaryReader, ReadAllFailsOnEmptyStreamBadChunkOrFailedRead)
{
    MemoryStream empty(nullptr, 0, false);
    BinaryReader emptyReader(&empty);
    std::uint8_t buffer[10] = {};
    EXPECT_EQ(emptyReader.readAll(buffer, 4), -1);

    RecordingStream stream(tenBytes);
    BinaryReader reader(&stream);
    EXPECT_EQ(reader.readAll(buffer, 0), -1);
    EXPECT_EQ(reader.readAll(buffer, -4), -1);
    // The last, partial chunk failing used to be added to the total unseen.
    stream.failAt = 3;
    EXPECT_EQ(reader.readAll(buffer, 4), -1);
    stream.counts.clear();
    stream.failAt = 1;
    EXPECT_EQ(reader.readAll(buffer, 4), -1);
    EXPECT_EQ(stream.counts.size(), 1u) << "stops at the first failed chunk";
}

TEST(BinaryReader, FileRoundTrip)
{
    TempFolder temp;
    const String path = temp.file(L"data.bin");
    {
        FileOutputStream stream(path, false);
        BinaryWriter writer(&stream);
        ASSERT_TRUE(writer.attach());
        EXPECT_TRUE(writer.writeUInt32(0xCAFEBABE));
        EXPECT_TRUE(writer.writeDouble(-0.125));
    }
    FileInputStream stream(path);
    BinaryReader reader(&stream);
    ASSERT_TRUE(reader.attach());
    EXPECT_EQ(reader.readUInt32(), 0xCAFEBABEu);
    EXPECT_EQ(reader.readDouble(), -0.125);
    EXPECT_EQ(reader.readUInt8(), 0);
    EXPECT_TRUE(reader.readByteArray(1).isEmpty());
}

TEST(BinaryReader, RandomDamageNeverReadsOutOfBounds)
{
    std::mt19937 random(1234);
    for (int round = 0; round < 2000; ++round) {
        Bytes bytes(random() % 24);
        for (auto& b : bytes)
            b = static_cast<std::uint8_t>(random());
        MemoryStream stream(bytes.data(), bytes.size(), false);
        BinaryReader reader(&stream);
        stream.seek(random() % 32);
        const std::uint64_t before = stream.remaining();
        const ByteArray array = reader.readByteArray(static_cast<int>(random() % 64) - 16);
        EXPECT_LE(static_cast<std::uint64_t>(array.size()), before);
        reader.readUInt64();
        reader.readUInt32();
        EXPECT_LE(stream.remaining(), before);
    }
}

// The buffered file stream against the bytes it reads: random reads of
// every length class, single bytes, seeks (past the end too) and skips over
// a file several buffers long.
TEST(FileInputStream, RandomReadsSeeksAndSkipsMatchTheFile)
{
    const Bytes content = randomBytes(300000, 8080);
    std::mt19937 random(8081);
    TempFolder temp;
    const String path = temp.writeFile(L"big.bin", content);
    FileInputStream stream(path);
    ASSERT_TRUE(stream.isOpen());
    ASSERT_EQ(stream.size(), content.size());
    const std::uint64_t size = content.size();
    const int lengths[] = {0, 1, 7, 52, 4096, 65535, 65536, 100000};
    std::uint64_t position = 0;
    for (int step = 0; step < 4000; ++step) {
        const unsigned kind = random() % 8;
        if (kind == 0) {
            position = random() % (size + 100);
            ASSERT_TRUE(stream.seek(position));
        } else if (kind == 1) {
            const std::uint64_t count = random() % 3000;
            ASSERT_TRUE(stream.skip(count));
            position += count;
        } else if (kind == 2) {
            const int expected = position < size ? content[position] : -1;
            ASSERT_EQ(stream.readByte(), expected) << step;
            position += expected >= 0 ? 1 : 0;
        } else {
            const int count = lengths[random() % 8];
            Bytes buffer(static_cast<std::size_t>(count) + 1);
            const int got = stream.read(buffer.data(), count);
            ASSERT_EQ(got, static_cast<int>(std::min<std::uint64_t>(count, size - std::min(position, size)))) << step;
            const auto at = content.begin() + static_cast<std::ptrdiff_t>(position);
            ASSERT_TRUE(std::equal(buffer.begin(), buffer.begin() + got, at)) << step;
            position += static_cast<std::uint64_t>(got);
        }
        ASSERT_EQ(stream.position(), position) << step;
        ASSERT_EQ(stream.remaining(), size - std::min(position, size)) << step;
    }
}
