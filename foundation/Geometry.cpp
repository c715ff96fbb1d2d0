#include "foundation/Geometry.h"

#include <algorithm>

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
