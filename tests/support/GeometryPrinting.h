#pragma once

// Lets GoogleTest print the geometry value types in failure messages. Every
// test source that compares them includes this, so that all of them print
// the same way.

#include "foundation/Geometry.h"

#include <ostream>

inline void PrintTo(const Point& p, std::ostream* os)
{
    *os << "(" << p.x << ", " << p.y << ")";
}

inline void PrintTo(const Size& s, std::ostream* os)
{
    *os << s.width << "x" << s.height;
}

inline void PrintTo(const Rect& r, std::ostream* os)
{
    *os << "{" << r.x << ", " << r.y << ", " << r.width << ", " << r.height << "}";
}
