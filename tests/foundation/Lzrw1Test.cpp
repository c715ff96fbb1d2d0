#include "foundation/ByteArray.h"
#include "foundation/Lzrw1.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <random>
#include <string>
#include <vector>

namespace {

using Bytes = std::vector<std::uint8_t>;

constexpr std::uint8_t guardByte = 0xCC;
constexpr int guardSize = 64;

Bytes compress(const Bytes& source)
{
    Bytes block(source.size() + 255);
    const int length = lzrw1Compress(source.data(), static_cast<int>(source.size()), block.data());
    EXPECT_GE(length, 4);
    block.resize(static_cast<std::size_t>(std::max(length, 0)));
    return block;
}

// Decompresses into a buffer of capacity bytes followed by guard bytes,
// and fails the test when a guard byte changed.
int decompressGuarded(const Bytes& block, int capacity, Bytes& out)
{
    Bytes buffer(static_cast<std::size_t>(capacity + guardSize), guardByte);
    const int produced = lzrw1Decompress(block.data(), static_cast<int>(block.size()), buffer.data(), capacity);
    for (int i = capacity; i < capacity + guardSize; ++i)
        EXPECT_EQ(buffer[static_cast<std::size_t>(i)], guardByte) << "write past the capacity at " << i;
    out.assign(buffer.begin(), buffer.begin() + std::max(produced, 0));
    return produced;
}

Bytes randomBytes(std::size_t count, unsigned seed)
{
    std::mt19937 random(seed);
    Bytes out(count);
    for (auto& b : out)
        b = static_cast<std::uint8_t>(random() & 0xFF);
    return out;
}

Bytes textBytes(int repeats)
{
    std::string text;
    for (int i = 0; i < repeats; ++i)
        text += "The tag cloud weighs every tag by the items it holds; item " + std::to_string(i % 7) + ". ";
    return Bytes(text.begin(), text.end());
}

Bytes toBytes(const ByteArray& array)
{
    return array.isEmpty() ? Bytes() : Bytes(array.data(), array.data() + array.size());
}

void expectRoundTrip(const Bytes& source, const char* what)
{
    const Bytes block = compress(source);
    EXPECT_LE(block.size(), source.size() + 4) << what;
    Bytes out;
    EXPECT_EQ(decompressGuarded(block, static_cast<int>(source.size()), out), static_cast<int>(source.size()))
        << what;
    EXPECT_EQ(out, source) << what;

    ByteArray container;
    ASSERT_TRUE(compressToByteArray(source.data(), static_cast<int>(source.size()), container)) << what;
    EXPECT_EQ(container.size(), static_cast<int>(block.size()) + 4) << what;
    ByteArray expanded;
    ASSERT_TRUE(decompressFromByteArray(container.data(), container.size(), expanded)) << what;
    EXPECT_EQ(toBytes(expanded), source) << what;
}

} // namespace

TEST(Lzrw1, EmptyInputGivesTheStoredBlock)
{
    const Bytes block = compress({});
    EXPECT_EQ(block, (Bytes{1, 0, 0, 0}));
    ByteArray container;
    ASSERT_TRUE(compressToByteArray(nullptr, 0, container));
    EXPECT_EQ(toBytes(container), (Bytes{0, 0, 0, 0, 1, 0, 0, 0}));
    ByteArray expanded;
    EXPECT_TRUE(decompressFromByteArray(container.data(), container.size(), expanded));
    EXPECT_TRUE(expanded.isEmpty());
}

TEST(Lzrw1, InputsShorterThanSixBytesAreStored)
{
    for (int length = 1; length < 6; ++length) {
        const Bytes source(static_cast<std::size_t>(length), 'a');
        const Bytes block = compress(source);
        ASSERT_EQ(block.size(), source.size() + 4) << length;
        EXPECT_EQ(block[0], 1) << length;
        EXPECT_EQ(Bytes(block.begin() + 4, block.end()), source) << length;
    }
}

TEST(Lzrw1, ThousandEqualBytesGiveOverlappingCopies)
{
    const Bytes source(1000, 'x');
    const Bytes block = compress(source);
    // One literal, 62 copy items of 16 bytes, 7 trailing literals: 70 items
    // in five groups.
    ASSERT_EQ(block.size(), 146u);
    EXPECT_EQ(block[0], 0);
    EXPECT_EQ(block[4], 0xFE) << "first item literal, the next 15 copies";
    EXPECT_EQ(block[5], 0xFF);
    EXPECT_EQ(block[6], 'x');
    EXPECT_EQ(block[7], 0x0F) << "16 bytes";
    EXPECT_EQ(block[8], 0x01) << "one byte back";
    EXPECT_EQ(block[9], 0x0F);
    EXPECT_EQ(block[10], 0x10) << "then 16 bytes back";
    EXPECT_EQ(Bytes(block.end() - 9, block.end()), (Bytes{'x', 0, 0, 'x', 'x', 'x', 'x', 'x', 'x'}))
        << "the fifth group holds six literals, so its control word is 0";
    Bytes out;
    EXPECT_EQ(decompressGuarded(block, 1000, out), 1000);
    EXPECT_EQ(out, source);
}

TEST(Lzrw1, LastControlWordIsShiftedToBitZero)
{
    std::string text;
    for (int i = 0; i < 5; ++i)
        text += "abcdefgh";
    const Bytes source(text.begin(), text.end());
    // Eight literals, then two copies: the ninth and tenth bits.
    const Bytes expected{0, 0, 0, 0, 0x00, 0x03, 'a', 'b', 'c', 'd', 'e', 'f', 'g', 'h', 0x0F, 0x08, 0x0F, 0x10};
    EXPECT_EQ(compress(source), expected);
}

TEST(Lzrw1, RandomDataFallsBackToTheStoredForm)
{
    const Bytes source = randomBytes(5000, 7);
    const Bytes block = compress(source);
    ASSERT_EQ(block.size(), source.size() + 4);
    EXPECT_EQ(block[0], 1);
    EXPECT_EQ(Bytes(block.begin() + 4, block.end()), source);
}

TEST(Lzrw1, RepetitiveTextShrinks)
{
    const Bytes source = textBytes(200);
    const Bytes block = compress(source);
    EXPECT_EQ(block[0], 0);
    EXPECT_LT(block.size(), source.size() / 3);
}

TEST(Lzrw1, RoundTrips)
{
    expectRoundTrip({}, "empty");
    expectRoundTrip({42}, "one byte");
    expectRoundTrip(Bytes{'a', 'b', 'c', 'a', 'b', 'c', 'a', 'b', 'c', 'a', 'b', 'c'}, "short");
    expectRoundTrip(Bytes(1000, 'x'), "one value");
    expectRoundTrip(Bytes(70000, 0), "zeros beyond 64 KB");
    expectRoundTrip(textBytes(1), "one sentence");
    expectRoundTrip(textBytes(3000), "long text");
    expectRoundTrip(randomBytes(3, 1), "three random bytes");
    expectRoundTrip(randomBytes(100000, 2), "random");
    Bytes mixed = randomBytes(9000, 3);
    for (std::size_t i = 0; i < mixed.size(); i += 5000)
        std::fill_n(mixed.begin() + static_cast<std::ptrdiff_t>(i), 300, 'z');
    const Bytes text = textBytes(40);
    mixed.insert(mixed.end(), text.begin(), text.end());
    expectRoundTrip(mixed, "random with runs and text");
}

TEST(Lzrw1, RoundTripsEveryLengthAroundTheGroupBoundaries)
{
    const Bytes text = textBytes(20);
    for (int length = 0; length <= 600; ++length) {
        const Bytes source(text.begin(), text.begin() + length);
        const Bytes block = compress(source);
        Bytes out;
        ASSERT_EQ(decompressGuarded(block, length, out), length) << length;
        ASSERT_EQ(out, source) << length;
    }
}

TEST(Lzrw1, DecodesHandBuiltBlocks)
{
    struct Case {
        const char* what;
        Bytes block;
        std::string expected;
    };
    const Case cases[] = {
        {"stored", {1, 0, 0, 0, 'h', 'i'}, "hi"},
        {"literal then overlapping copy", {0, 0, 0, 0, 0x02, 0x00, 'a', 0x03, 0x01}, "aaaaa"},
        {"compressed block without items", {0, 0, 0, 0}, ""},
        {"unused flag bytes are ignored", {0, 9, 9, 9, 0x00, 0x00, 'q'}, "q"},
    };
    for (const Case& c : cases) {
        Bytes out;
        EXPECT_EQ(decompressGuarded(c.block, 64, out), static_cast<int>(c.expected.size())) << c.what;
        EXPECT_EQ(std::string(out.begin(), out.end()), c.expected) << c.what;
    }
}

TEST(Lzrw1, CopiesReachBackTheFullWindow)
{
    // 4095 literals, then one copy item of 3 bytes from 4095 bytes back.
    Bytes source = randomBytes(4095, 11);
    Bytes block{0, 0, 0, 0};
    int items = 0;
    std::size_t control = 0;
    auto startGroupIfDue = [&] {
        if (items % 16 == 0) {
            control = block.size();
            block.push_back(0);
            block.push_back(0);
        }
    };
    for (std::uint8_t byte : source) {
        startGroupIfDue();
        block.push_back(byte);
        ++items;
    }
    startGroupIfDue();
    const int bit = items % 16;
    block[control + bit / 8] |= static_cast<std::uint8_t>(1 << (bit % 8));
    block.push_back(0xF2);
    block.push_back(0xFF);
    Bytes out;
    ASSERT_EQ(decompressGuarded(block, 4098, out), 4098);
    EXPECT_EQ(Bytes(out.begin() + 4095, out.end()), Bytes(source.begin(), source.begin() + 3));
}

TEST(Lzrw1, CorruptBlocksAreRejected)
{
    struct Case {
        const char* what;
        Bytes block;
        int capacity;
    };
    const Case cases[] = {
        {"shorter than the flag field", {0, 0, 0}, 16},
        {"stored bytes beyond the capacity", {1, 0, 0, 0, 'a', 'b', 'c'}, 2},
        {"copy before any output", {0, 0, 0, 0, 0x01, 0x00, 0x02, 0x01}, 16},
        {"copy with offset 0", {0, 0, 0, 0, 0x02, 0x00, 'a', 0x02, 0x00}, 16},
        {"copy reaching before the output", {0, 0, 0, 0, 0x02, 0x00, 'a', 0x02, 0x02}, 16},
        {"copy past the capacity", {0, 0, 0, 0, 0x02, 0x00, 'a', 0x0F, 0x01}, 8},
        {"literal past the capacity", {0, 0, 0, 0, 0x00, 0x00, 'a', 'b', 'c'}, 2},
        {"copy item cut short", {0, 0, 0, 0, 0x02, 0x00, 'a', 0x02}, 16},
        {"control word without items", {0, 0, 0, 0, 0x00, 0x00}, 16},
        {"half a control word", {0, 0, 0, 0, 0x00}, 16},
    };
    for (const Case& c : cases) {
        Bytes out;
        EXPECT_EQ(decompressGuarded(c.block, c.capacity, out), -1) << c.what;
    }
}

TEST(Lzrw1, BadArgumentsAreRefused)
{
    std::uint8_t buffer[300] = {};
    const std::uint8_t source[4] = {1, 2, 3, 4};
    EXPECT_EQ(lzrw1Compress(source, -1, buffer), -1);
    EXPECT_EQ(lzrw1Compress(nullptr, 4, buffer), -1);
    EXPECT_EQ(lzrw1Compress(source, 4, nullptr), -1);
    EXPECT_EQ(lzrw1Decompress(nullptr, 8, buffer, 10), -1);
    EXPECT_EQ(lzrw1Decompress(source, 4, buffer, -1), -1);
    EXPECT_EQ(lzrw1Decompress(source, 4, nullptr, 10), -1);
    ByteArray out;
    EXPECT_FALSE(compressToByteArray(source, -1, out));
    EXPECT_FALSE(compressToByteArray(nullptr, 4, out));
}

TEST(Lzrw1, ContainerLengthMustMatchTheBlock)
{
    const Bytes source = textBytes(10);
    ByteArray container;
    ASSERT_TRUE(compressToByteArray(source.data(), static_cast<int>(source.size()), container));
    Bytes bytes = toBytes(container);
    const auto stated = static_cast<std::uint32_t>(source.size());
    struct Case {
        const char* what;
        std::uint32_t length;
    };
    const Case cases[] = {
        {"one byte more", stated + 1},
        {"one byte less", stated - 1},
        {"zero", 0},
        {"more than a block can expand to", 0xFFFFFFFF},
        {"above the largest array", 0x80000000},
    };
    for (const Case& c : cases) {
        Bytes changed = bytes;
        for (int i = 0; i < 4; ++i)
            changed[static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(c.length >> (8 * i));
        ByteArray out;
        out.append(7);
        EXPECT_FALSE(decompressFromByteArray(changed.data(), static_cast<int>(changed.size()), out)) << c.what;
        EXPECT_TRUE(out.isEmpty()) << c.what;
    }
    ByteArray out;
    EXPECT_FALSE(decompressFromByteArray(bytes.data(), 7, out)) << "shorter than length and flag";
    EXPECT_FALSE(decompressFromByteArray(nullptr, 20, out));
}

TEST(Lzrw1, RandomFlipsExpandOrFailCleanly)
{
    const Bytes source = textBytes(30);
    ByteArray container;
    ASSERT_TRUE(compressToByteArray(source.data(), static_cast<int>(source.size()), container));
    const Bytes original = toBytes(container);
    std::mt19937 random(424242);
    int rejected = 0;
    for (int trial = 0; trial < 3000; ++trial) {
        Bytes bytes = original;
        const int flips = 1 + static_cast<int>(random() % 3);
        for (int i = 0; i < flips; ++i) {
            // Keep the stated length mostly intact so the block itself is tested.
            const std::size_t at = 4 + random() % (bytes.size() - 4);
            bytes[at] ^= static_cast<std::uint8_t>(1 + random() % 255);
        }
        Bytes block(bytes.begin() + 4, bytes.end());
        Bytes out;
        const int produced = decompressGuarded(block, static_cast<int>(source.size()), out);
        EXPECT_LE(produced, static_cast<int>(source.size())) << trial;
        ByteArray expanded;
        if (decompressFromByteArray(bytes.data(), static_cast<int>(bytes.size()), expanded))
            EXPECT_EQ(expanded.size(), static_cast<int>(source.size())) << trial;
        else
            ++rejected;
    }
    EXPECT_GT(rejected, 0);
}

TEST(Lzrw1, ByteArrayCompressedRoundTrips)
{
    ByteArray text;
    for (int i = 0; i < 200; ++i)
        text.append(reinterpret_cast<const std::uint8_t*>("tag cloud "), 10);
    const ByteArray packed = text.compressed();
    ASSERT_LT(packed.size(), text.size());
    ByteArray back;
    ASSERT_TRUE(decompressFromByteArray(packed.data(), packed.size(), back));
    EXPECT_EQ(back, text);
    const ByteArray empty = ByteArray().compressed();
    ASSERT_GE(empty.size(), 4);
    EXPECT_EQ(empty.at(0) | empty.at(1) | empty.at(2) | empty.at(3), 0);
}

// Only flag 1 means stored: a block with another flag than 0 was refused
// instead of having its items read.
TEST(Lzrw1, AnyFlagButStoredReadsItems)
{
    for (const int flag : {2, 0x80, 0xFF}) {
        const auto f = static_cast<std::uint8_t>(flag);
        Bytes out;
        EXPECT_EQ(decompressGuarded({f, 0, 0, 0, 0x02, 0x00, 'a', 0x03, 0x01}, 64, out), 5) << flag;
        EXPECT_EQ(std::string(out.begin(), out.end()), "aaaaa") << flag;
        EXPECT_EQ(decompressGuarded({f, 0, 0, 0, 0x02, 0x00, 'a', 0x0F, 0x01}, 8, out), -1)
            << "items stay bounded by the capacity, flag " << flag;
    }
}
