#pragma once

// Lets GoogleTest print a Colour in failure messages. Every test source
// that compares Colours includes this, so that all of them print the same
// way.

#include "graphics/Colour.h"

#include <ostream>

inline void PrintTo(const Colour& c, std::ostream* os)
{
    *os << std::hex << "0x" << c.argb() << std::dec;
}
