#include "graphics/Region.h"

#include "graphics/Bitmap.h"
#include "graphics/PixelWord.h"

#include <windows.h>

#include <cstring>
#include <utility>
#include <vector>

namespace {

RegionHandle newEmptyHandle()
{
    return CreateRectRgn(0, 0, 0, 0);
}

// Opaque black, read as a little-endian pixel word.
constexpr std::uint32_t opaqueBlack = 0xFF000000u;

// Each maximal run of pixels in one row that differ from opaque black, as a
// one-pixel-high rectangle.
void appendRuns(const std::uint8_t* row, int width, int y, std::vector<RECT>& runs)
{
    int x = 0;
    while (x < width) {
        if (readPixelWord(row + 4 * x) == opaqueBlack) {
            ++x;
            continue;
        }
        int start = x;
        while (x < width && readPixelWord(row + 4 * x) != opaqueBlack)
            ++x;
        runs.push_back({start, y, x, y + 1});
    }
}

} // namespace

RegionHandle combineRegionHandles(RegionHandle a, RegionHandle b, int mode)
{
    RegionHandle result = newEmptyHandle();
    if (result && CombineRgn(result, a, b, mode) == ERROR) {
        DeleteObject(result);
        return nullptr;
    }
    return result;
}

Region::Region(const Rect& r) : Region(r.x, r.y, r.width, r.height)
{
}

Region::Region(int x, int y, int width, int height) : Region(CreateRectRgn(x, y, x + width, y + height))
{
}

Region::Region(RegionHandle handle)
{
    if (!handle)
        return;
    m_handle = handle;
    m_refCount = new int(1);
}

Region::Region(const Region& other)
{
    attach(other);
}

Region::Region(Region&& other) noexcept
    : m_handle(std::exchange(other.m_handle, nullptr)), m_refCount(std::exchange(other.m_refCount, nullptr))
{
}

Region::~Region()
{
    release();
}

Region& Region::operator=(const Region& other)
{
    if (this == &other)
        return *this;
    release();
    attach(other);
    return *this;
}

Region& Region::operator=(Region&& other) noexcept
{
    if (this == &other)
        return *this;
    release();
    m_handle = std::exchange(other.m_handle, nullptr);
    m_refCount = std::exchange(other.m_refCount, nullptr);
    return *this;
}

// An operand without a handle is the empty set: only a difference from it,
// or an intersection with it, is empty; otherwise the result copies the
// operand that has a handle.
Region Region::combined(const Region& other, int mode) const
{
    if (m_handle && other.m_handle)
        return Region(combineRegionHandles(m_handle, other.m_handle, mode));
    if (mode == RGN_AND)
        return Region();
    const Region& kept = (m_handle || mode == RGN_DIFF) ? *this : other;
    return kept.copied();
}

Region Region::copied() const
{
    if (!m_handle)
        return Region();
    return Region(combineRegionHandles(m_handle, m_handle, RGN_COPY));
}

Region Region::subtracted(const Region& other) const
{
    return combined(other, RGN_DIFF);
}

Region Region::united(const Region& other) const
{
    return combined(other, RGN_OR);
}

Region Region::intersected(const Region& other) const
{
    return combined(other, RGN_AND);
}

Region Region::xored(const Region& other) const
{
    return combined(other, RGN_XOR);
}

bool Region::contains(Point p) const
{
    return m_handle && PtInRegion(m_handle, p.x, p.y);
}

bool Region::contains(const Rect& r) const
{
    if (!m_handle)
        return false;
    RECT box = {r.left(), r.top(), r.right(), r.bottom()};
    return RectInRegion(m_handle, &box);
}

void Region::translate(int dx, int dy)
{
    if (m_handle)
        OffsetRgn(m_handle, dx, dy);
}

Rect Region::boundingRect() const
{
    if (!m_handle)
        return Rect::empty;
    RECT box;
    if (GetRgnBox(m_handle, &box) == ERROR)
        return Rect::empty;
    return Rect(box.left, box.top, box.right - box.left, box.bottom - box.top);
}

bool Region::isEmpty() const
{
    return boundingRect().isEmpty();
}

bool Region::operator==(const Region& other) const
{
    if (!m_handle || !other.m_handle)
        return !m_handle && !other.m_handle;
    return EqualRgn(m_handle, other.m_handle);
}

// All runs go to the platform in one call: uniting them one at a time
// would cost a pass over the growing region per run.
Region Region::fromBitmap(const Bitmap& bitmap)
{
    if (bitmap.bitsPerPixel() != 32)
        return Region();
    std::vector<RECT> runs;
    for (int y = 0; y < bitmap.height(); ++y)
        appendRuns(bitmap.scanLine(y), bitmap.width(), y, runs);
    if (runs.empty())
        return Region();
    std::vector<std::uint8_t> data(sizeof(RGNDATAHEADER) + runs.size() * sizeof(RECT));
    RGNDATAHEADER header = {};
    header.dwSize = sizeof(RGNDATAHEADER);
    header.iType = RDH_RECTANGLES;
    header.nCount = DWORD(runs.size());
    header.rcBound = {0, 0, bitmap.width(), bitmap.height()};
    std::memcpy(data.data(), &header, sizeof header);
    std::memcpy(data.data() + sizeof header, runs.data(), runs.size() * sizeof(RECT));
    return Region(ExtCreateRegion(nullptr, DWORD(data.size()), reinterpret_cast<const RGNDATA*>(data.data())));
}

void Region::attach(const Region& other)
{
    m_handle = other.m_handle;
    m_refCount = other.m_refCount;
    if (m_refCount)
        ++*m_refCount;
}

void Region::release()
{
    if (!m_refCount)
        return;
    if (--*m_refCount == 0) {
        DeleteObject(m_handle);
        delete m_refCount;
    }
    m_handle = nullptr;
    m_refCount = nullptr;
}
