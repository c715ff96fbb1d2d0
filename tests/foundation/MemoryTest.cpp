#include "foundation/Memory.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

namespace {

using Bytes = std::vector<std::uint8_t>;

} // namespace

TEST(Memory, ReverseBlocks)
{
    const struct {
        std::size_t blockSize;
        Bytes expected;
    } cases[] = {
        {1, {6, 5, 4, 3, 2, 1}},
        {2, {5, 6, 3, 4, 1, 2}},
        {3, {4, 5, 6, 1, 2, 3}},
        {4, {1, 2, 3, 4, 5, 6}},
        {6, {1, 2, 3, 4, 5, 6}},
        {12, {1, 2, 3, 4, 5, 6}},
        {0, {1, 2, 3, 4, 5, 6}},
    };
    for (const auto& c : cases) {
        Bytes data{1, 2, 3, 4, 5, 6};
        reverseBlocks(data.data(), data.size(), c.blockSize);
        EXPECT_EQ(data, c.expected) << c.blockSize;
    }
}

TEST(Memory, ReverseBlocksOfAnEvenCountAndOfNothing)
{
    Bytes data{1, 2, 3, 4, 5, 6, 7, 8};
    reverseBlocks(data.data(), data.size(), 2);
    EXPECT_EQ(data, (Bytes{7, 8, 5, 6, 3, 4, 1, 2}));
    reverseBlocks(data.data(), 0, 1);
    reverseBlocks(nullptr, 8, 2);
    EXPECT_EQ(data, (Bytes{7, 8, 5, 6, 3, 4, 1, 2}));
}

TEST(Memory, MoveHandlesOverlapBothWays)
{
    Bytes forward{1, 2, 3, 4, 5, 6};
    moveMemory(forward.data() + 2, forward.data(), 4);
    EXPECT_EQ(forward, (Bytes{1, 2, 1, 2, 3, 4}));
    Bytes backward{1, 2, 3, 4, 5, 6};
    moveMemory(backward.data(), backward.data() + 2, 4);
    EXPECT_EQ(backward, (Bytes{3, 4, 5, 6, 5, 6}));
}

TEST(Memory, FillZeroAndCopyStayInTheirRange)
{
    Bytes data(8, 9);
    fillMemory(data.data() + 1, 0xAB, 3);
    EXPECT_EQ(data, (Bytes{9, 0xAB, 0xAB, 0xAB, 9, 9, 9, 9}));
    zeroMemory(data.data() + 2, 2);
    EXPECT_EQ(data, (Bytes{9, 0xAB, 0, 0, 9, 9, 9, 9}));
    const Bytes source{1, 2, 3};
    copyMemory(data.data() + 5, source.data(), source.size());
    EXPECT_EQ(data, (Bytes{9, 0xAB, 0, 0, 9, 1, 2, 3}));
    zeroMemory(nullptr, 0);
    copyMemory(nullptr, nullptr, 0);
}
