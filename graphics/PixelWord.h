#pragma once

#include <cstdint>
#include <cstring>

// A 32 bpp pixel read or written as one little-endian word (the value of a
// Colour), wherever it lies in memory.

inline std::uint32_t readPixelWord(const std::uint8_t* p)
{
    std::uint32_t value;
    std::memcpy(&value, p, 4);
    return value;
}

inline void writePixelWord(std::uint8_t* p, std::uint32_t value)
{
    std::memcpy(p, &value, 4);
}
