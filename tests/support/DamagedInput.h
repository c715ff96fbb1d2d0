#pragma once

// Damage runs for readers of outside bytes: every prefix of a valid input,
// and seeded random byte flips. The reader under test must fail cleanly or
// load; a crash or a hang fails the whole program.

#include "devkit/Bytes.h"

#include <gtest/gtest.h>

#include <cstddef>
#include <cstdint>
#include <functional>
#include <random>
#include <string>

// Calls read on every proper prefix of whole (the empty one included) and
// expects false from each; read must also check that nothing is left
// half-built, by its own expectations.
inline void expectEveryPrefixFailsCleanly(const Bytes& whole, const std::function<bool(const Bytes&)>& read)
{
    for (std::size_t length = 0; length < whole.size(); ++length) {
        SCOPED_TRACE("prefix of " + std::to_string(length) + " bytes");
        const Bytes prefix(whole.begin(), whole.begin() + static_cast<std::ptrdiff_t>(length));
        EXPECT_FALSE(read(prefix));
    }
}

// Hands visit count copies of original, each with one to maxFlips bytes
// changed at random positions, from a fixed seed so runs repeat.
inline void forEachDamagedCopy(const Bytes& original, unsigned seed, int count,
                               const std::function<void(const Bytes&)>& visit, int maxFlips = 4)
{
    if (original.empty())
        return;
    std::mt19937 random(seed);
    for (int trial = 0; trial < count; ++trial) {
        SCOPED_TRACE("damaged copy " + std::to_string(trial));
        Bytes bytes = original;
        const int flips = 1 + static_cast<int>(random() % static_cast<unsigned>(maxFlips));
        for (int i = 0; i < flips; ++i)
            bytes[random() % bytes.size()] ^= static_cast<std::uint8_t>(1 + random() % 255);
        visit(bytes);
    }
}
