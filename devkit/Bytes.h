#pragma once

// Raw bytes for the tests, the benchmarks and the demos: literals, copies of
// a ByteArray and seeded random runs, kept apart from the code under test
// (no test framework here).

#include "foundation/ByteArray.h"

#include <cstdint>
#include <initializer_list>
#include <random>
#include <string>
#include <vector>

using Bytes = std::vector<std::uint8_t>;

inline Bytes bytesOf(std::initializer_list<int> values)
{
    Bytes out;
    for (int v : values)
        out.push_back(static_cast<std::uint8_t>(v));
    return out;
}

inline Bytes bytesOf(const std::string& text)
{
    return Bytes(text.begin(), text.end());
}

inline Bytes bytesOf(const ByteArray& array)
{
    return array.isEmpty() ? Bytes() : Bytes(array.data(), array.data() + array.size());
}

// The same bytes for the same seed on every run.
inline Bytes randomBytes(std::size_t count, unsigned seed)
{
    std::mt19937 random(seed);
    Bytes out(count);
    for (auto& b : out)
        b = static_cast<std::uint8_t>(random());
    return out;
}
