#pragma once

#include <cstdint>

// The byte order of every multi-byte value in the program's own files,
// encoded and decoded without regard to the machine's order.

// Stores the low width bytes of value at at, least significant first.
inline void storeLittleEndian(std::uint8_t* at, std::uint64_t value, int width)
{
    for (int i = 0; i < width; ++i)
        at[i] = static_cast<std::uint8_t>(value >> (8 * i));
}

// The width bytes at at, least significant first, zero-extended.
inline std::uint64_t loadLittleEndian(const std::uint8_t* at, int width)
{
    std::uint64_t value = 0;
    for (int i = width - 1; i >= 0; --i)
        value = (value << 8) | at[i];
    return value;
}
