#pragma once

#include <cstdint>

// Usages come from the library file; a damaged one must not make a sum
// overflow into undefined behaviour, so sums of usages wrap.
inline std::int64_t wrappingAdd(std::int64_t a, std::int64_t b)
{
    return static_cast<std::int64_t>(static_cast<std::uint64_t>(a) + static_cast<std::uint64_t>(b));
}
