#include "foundation/Geometry.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdint>

const Point Point::origin{};
const Rect Rect::empty{};

bool Rect::contains(Point p) const
{
    return x <= p.x && p.x < x + width && y <= p.y && p.y < y + height;
}

bool Rect::contains(const Rect& r) const
{
    return r.x >= x && r.y >= y && r.x + r.width <= x + width && r.y + r.height <= y + height;
}

bool Rect::intersects(const Rect& r) const
{
    if (isEmpty() || r.isEmpty())
        return false;
    return r.x < x + width && x < r.x + r.width && r.y < y + height && y < r.y + r.height;
}

// Edges in 64 bits, so that a rectangle reaching past INT_MAX cannot wrap.
Rect Rect::intersected(const Rect& other) const
{
    std::int64_t left = std::max(x, other.x);
    std::int64_t top = std::max(y, other.y);
    std::int64_t right = std::min(std::int64_t(x) + width, std::int64_t(other.x) + other.width);
    std::int64_t bottom = std::min(std::int64_t(y) + height, std::int64_t(other.y) + other.height);
    if (right < left || bottom < top)
        return empty;
    return Rect(int(left), int(top), int(std::min<std::int64_t>(right - left, INT_MAX)),
                int(std::min<std::int64_t>(bottom - top, INT_MAX)));
}

// Edges in 64 bits as above; a union reaching past INT_MAX is cut there.
Rect Rect::united(const Rect& other) const
{
    if (other.isEmpty())
        return *this;
    if (isEmpty())
        return other;
    const int left = std::min(x, other.x);
    const int top = std::min(y, other.y);
    const std::int64_t right = std::max(std::int64_t(x) + width, std::int64_t(other.x) + other.width);
    const std::int64_t bottom = std::max(std::int64_t(y) + height, std::int64_t(other.y) + other.height);
    return Rect(left, top, int(std::min<std::int64_t>(right - left, INT_MAX)),
                int(std::min<std::int64_t>(bottom - top, INT_MAX)));
}

void Rect::setLeft(int left)
{
    width = std::max(0, width + x - left);
    x = left;
}

void Rect::setTop(int top)
{
    height = std::max(0, height + y - top);
    y = top;
}

Rect Rect::adjusted(int dl, int dt, int dr, int db) const
{
    return {x + dl, y + dt, width - dl + dr, height - dt + db};
}

Rect Rect::alignedRect(int w, int h, int flags, bool allowOverflow) const
{
    Rect result{x, y, w, h};
    if (flags == 0)
        return result;
    if (w > width && !allowOverflow)
        flags = (flags & ~(AlignRight | AlignHCenter)) | AlignLeft;
    if (h > height && !allowOverflow)
        flags = (flags & ~(AlignBottom | AlignVCenter)) | AlignTop;
    if ((flags & AlignRight) && !(flags & AlignLeft))
        result.x = x + width - w;
    if ((flags & AlignBottom) && !(flags & AlignTop))
        result.y = y + height - h;
    if (flags & AlignVCenter)
        result.y = y + (height - h) / 2;
    if (flags & AlignHCenter)
        result.x = x + (width - w) / 2;
    return result;
}

namespace {

// Saturated, so that a far-off value cannot make the conversion undefined.
int truncatedToInt(double value)
{
    if (std::isnan(value))
        return 0;
    return int(std::clamp(std::trunc(value), double(INT_MIN), double(INT_MAX)));
}

// side x wanted / given, the quotient formed in double from a float given
// side and stored as float.
int scaledSide(int side, int wanted, int given)
{
    auto quotient = float(double(side) * wanted / double(float(given)));
    return toNearestInt(quotient);
}

} // namespace

int toNearestInt(float x)
{
    return truncatedToInt(x >= 0 ? x + 0.5f : x - 0.5f);
}

int toNearestInt(double x)
{
    return truncatedToInt(x >= 0 ? x + 0.5 : x - 0.5);
}

Size Size::scaledToWidth(int w) const
{
    if (width <= 0 || height <= 0 || w <= 0)
        return {};
    return {w, scaledSide(height, w, width)};
}

Size Size::scaledToHeight(int h) const
{
    if (width <= 0 || height <= 0 || h <= 0)
        return {};
    return {scaledSide(width, h, height), h};
}

Size Size::scaledToFit(Size bounds) const
{
    if (isEmpty() || bounds.width <= 0 || bounds.height <= 0)
        return {};
    Size t = scaledToWidth(bounds.width);
    if (t.height <= bounds.height)
        return t;
    return t.scaledToHeight(bounds.height);
}
