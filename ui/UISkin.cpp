#include "ui/UISkin.h"

#include "graphics/Graphics.h"

#include <bit>
#include <cstdint>

namespace {

// The position of a single region flag in UISkinRegions; -1 for any other
// value.
int regionIndex(int flag)
{
    if (flag < SkinTopLeft || flag > SkinCentre || !std::has_single_bit(unsigned(flag)))
        return -1;
    return std::countr_zero(unsigned(flag));
}

// Unscaled when the sizes agree, else stretched; nothing for an empty side.
void drawPart(Graphics& g, const UISkin& skin, const Rect& source, const Rect& target)
{
    if (source.isEmpty() || target.isEmpty())
        return;
    if (source.size() == target.size()) {
        g.drawBitmapPart(skin, source.topLeft(), target.topLeft(), source.width, source.height);
        return;
    }
    g.drawBitmapScaled(skin, source, target);
}

} // namespace

UISkin::UISkin(const Bitmap& bitmap, bool vertical)
{
    setImage(bitmap, vertical);
}

void UISkin::setImage(const Bitmap& bitmap, bool vertical)
{
    Bitmap::operator=(bitmap);
    m_vertical = vertical;
    UISkinGeometry plain;
    plain.width = bitmap.width();
    plain.height = bitmap.height();
    setGeometry(plain, 1);
}

void UISkin::setGeometry(const UISkinGeometry& geometry, int stateCount)
{
    m_geometry = geometry;
    m_stateCount = stateCount;
    m_regions.clear();
    if (!isNineSlice() || stateCount < 1)
        return;
    // Only states inside the image get an entry, so a huge count from a
    // damaged file allocates nothing beyond what the image can hold.
    for (int i = 0; hasState(i); ++i) {
        UISkinRegions regions;
        for (int index = 0; index < 9; ++index)
            regions.rects[index] = regionRect(i, 1 << index);
        m_regions.push_back(regions);
    }
}

void UISkin::setNineSlice(int c0, int c1, int c2, int r0, int r1, int r2, int stateCount)
{
    setGeometry({c0, c1, c2, r0, r1, r2, c0 + c1 + c2, r0 + r1 + r2}, stateCount);
}

Rect UISkin::stateRect(int i) const
{
    if (i < 0 || i >= m_stateCount)
        return Rect::empty;
    const std::int64_t w = m_geometry.width;
    const std::int64_t h = m_geometry.height;
    const std::int64_t x = m_vertical ? 0 : i * w;
    const std::int64_t y = m_vertical ? i * h : 0;
    if (w < 1 || h < 1 || x + w > width() || y + h > height())
        return Rect::empty;
    return Rect(int(x), int(y), int(w), int(h));
}

Size UISkin::stateSize() const
{
    if (m_stateCount < 1)
        return {};
    if (m_vertical)
        return {width(), height() / m_stateCount};
    return {width() / m_stateCount, height()};
}

Rect UISkin::regionRect(int i, int flag) const
{
    const Rect s = stateRect(i);
    if (s.isEmpty())
        return Rect::empty;
    const auto& [c0, c1, c2, r0, r1, r2, stateW, stateH] = m_geometry;
    const int sx = s.x;
    const int sy = s.y;
    switch (flag) {
    case SkinTopLeft: return Rect(sx, sy, c0, r0);
    case SkinTop: return Rect(sx + c0, sy, c1, r0);
    case SkinTopRight: return Rect(sx + c0 + c1, sy, c2, r0);
    case SkinRight: return Rect(sx + c0 + c1, sy + r0, c2, r1);
    case SkinBottomRight: return Rect(sx + c0 + c1, sy + r0 + r1, c2, r2);
    case SkinBottom: return Rect(sx + c0, sy + r0 + r1, c1, r2);
    case SkinBottomLeft: return Rect(sx, sy + r0 + r1, c0, r2);
    case SkinLeft: return Rect(sx, sy + r0, c0, r1);
    case SkinCentre: return Rect(sx + c0, sy + r0, c1, r1);
    default: return Rect::empty;
    }
}

const Rect& UISkin::region(int i, int flag) const
{
    const int index = regionIndex(flag);
    if (index < 0 || i < 0 || std::size_t(i) >= m_regions.size())
        return Rect::empty;
    return m_regions[std::size_t(i)].rects[index];
}

bool UISkin::hasState(int i) const
{
    return !stateRect(i).isEmpty();
}

void UISkin::drawNineSlice(Graphics& g, const Rect& target, int i, int mask) const
{
    const Rect s = stateRect(i);
    if (target.isEmpty() || s.isEmpty())
        return;
    if (!isNineSlice()) {
        drawPart(g, *this, s, target);
        return;
    }
    const bool roomForMiddle = target.width >= m_geometry.width - m_geometry.center + 1 &&
                               target.height >= m_geometry.height - m_geometry.middle + 1;
    if (!roomForMiddle)
        return;
    if (target.size() == s.size()) {
        drawPart(g, *this, s, target);
        return;
    }
    drawEdgesAndCentre(g, target, i, mask);
}

void UISkin::drawEdgesAndCentre(Graphics& g, const Rect& target, int i, int mask) const
{
    const int x = target.x;
    const int y = target.y;
    const int w = target.width;
    const int h = target.height;
    const auto& [c0, c1, c2, r0, r1, r2, stateW, stateH] = m_geometry;
    // A border left out of the mask gives its room to the edges and the
    // centre beside it.
    const int left = (mask & (SkinTopLeft | SkinBottomLeft | SkinLeft)) ? x + c0 : x;
    const int right = (mask & (SkinTopRight | SkinRight | SkinBottomRight)) ? x + w - c2 : x + w;
    const int top = (mask & (SkinTopLeft | SkinTop | SkinTopRight)) ? y + r0 : y;
    const int bottom = (mask & (SkinBottomRight | SkinBottom | SkinBottomLeft)) ? y + h - r2 : y + h;
    const Rect targets[9] = {
        Rect(x, y, c0, r0),
        Rect(left, y, right - left, r0),
        Rect(x + w - c2, y, c2, r0),
        Rect(x + w - c2, y + r0, c2, h - r0 - r2),
        Rect(x + w - c2, y + h - r2, c2, r2),
        Rect(left, y + h - r2, right - left, r2),
        Rect(x, y + h - r2, c0, r2),
        Rect(x, y + r0, c0, h - r0 - r2),
        Rect(left, top, right - left, bottom - top),
    };
    for (int index = 0; index < 9; ++index) {
        const int flag = 1 << index;
        if (mask & flag)
            drawPart(g, *this, region(i, flag), targets[index]);
    }
}

void UISkin::drawAt(Graphics& g, Point p, int i, int mask) const
{
    const Rect s = stateRect(i);
    drawNineSlice(g, Rect(p.x, p.y, s.width, s.height), i, mask);
}

void UISkin::drawAligned(Graphics& g, const Rect& target, int flags, int i, Rect* drawn) const
{
    const Rect s = stateRect(i);
    const Rect placed = s.isEmpty() ? Rect::empty : target.alignedRect(s.width, s.height, flags, true);
    if (!s.isEmpty())
        g.drawBitmapPart(*this, s.topLeft(), placed.topLeft(), s.width, s.height);
    if (drawn)
        *drawn = placed;
}

void UISkin::drawRegion(Graphics& g, const Rect& target, int i, int flag) const
{
    drawPart(g, *this, region(i, flag), target);
}
