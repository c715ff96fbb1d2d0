#include "graphics/GdiPaintEngine.h"

#include "graphics/Bitmap.h"
#include "graphics/DrawingSurface.h"
#include "graphics/Graphics.h"
#include "graphics/FontCache.h"
#include "graphics/Resampler.h"

#include <windows.h>
// The lean Windows header leaves out the property types GDI+ needs.
#include <objidl.h>
#include <gdiplus.h>

#include <algorithm>
#include <cmath>
#include <vector>

// Only the flat interface is used; the names below would otherwise clash
// with this program's own Pen, Brush and Bitmap.
using namespace Gdiplus::DllExports;
using Gdiplus::GpBitmap;
using Gdiplus::GpGraphics;
using Gdiplus::GpImage;
using Gdiplus::GpImageAttributes;
using Gdiplus::GpTexture;
using Gdiplus::Ok;
using Gdiplus::PixelFormat;

struct GdiPaintEngine::Private {
    HDC dc = nullptr;
    HGDIOBJ brush = nullptr;
    HGDIOBJ previousBrush = nullptr;
    HGDIOBJ pen = nullptr;
    HGDIOBJ previousPen = nullptr;
    // Held while selected; the cache owns the handle.
    std::shared_ptr<const CachedFont> font;
    HGDIOBJ previousFont = nullptr;

    // Puts back what the engine's own object replaced and deletes it, then
    // selects fresh (when it could be made) in its place.
    void replace(HGDIOBJ& own, HGDIOBJ& previous, HGDIOBJ fresh)
    {
        if (own) {
            SelectObject(dc, previous);
            DeleteObject(own);
        }
        own = fresh;
        previous = fresh ? SelectObject(dc, fresh) : nullptr;
    }

    // Selects a font straight over the one before it: there is nothing to
    // delete, so the context's own font comes back only at the end. A font
    // that could not be made gives the context's own font back.
    void selectFont(std::shared_ptr<const CachedFont> fresh)
    {
        if (!fresh || !fresh->handle()) {
            releaseFont();
            return;
        }
        if (font && font->handle() == fresh->handle())
            return;
        const HGDIOBJ replaced = SelectObject(dc, fresh->handle());
        if (!font)
            previousFont = replaced;
        font = std::move(fresh);
    }

    void releaseFont()
    {
        if (font)
            SelectObject(dc, previousFont);
        font.reset();
        previousFont = nullptr;
    }
};

namespace {

// Selects a stock object for the length of one operation.
class StockSelection {
public:
    StockSelection(HDC dc, int stockObject) : m_dc(dc), m_previous(SelectObject(dc, GetStockObject(stockObject))) {}
    ~StockSelection() { SelectObject(m_dc, m_previous); }
    StockSelection(const StockSelection&) = delete;
    StockSelection& operator=(const StockSelection&) = delete;

private:
    HDC m_dc;
    HGDIOBJ m_previous;
};

// A float pen width truncated toward zero, kept in a range GDI accepts.
int penWidth(float width)
{
    return int(std::clamp(width, 0.0f, 65535.0f));
}

HPEN createPen(const Pen& pen)
{
    const COLORREF colour = pen.colour().colorRef();
    if (pen.kind() == Pen::AlternateDots) {
        // The platform draws alternate dots only with cosmetic pens, which
        // are always one pixel wide.
        const LOGBRUSH solid = {BS_SOLID, colour, 0};
        return ExtCreatePen(PS_COSMETIC | PS_ALTERNATE, 1, &solid, 0, nullptr);
    }
    UINT style = PS_SOLID;
    if (pen.kind() == Pen::Dash)
        style = PS_DASH;
    else if (pen.kind() == Pen::DashDot)
        style = PS_DASHDOT;
    else if (pen.kind() == Pen::DashDotDot)
        style = PS_DASHDOTDOT;
    const LOGPEN logPen = {style, {penWidth(pen.width()), 0}, colour};
    return CreatePenIndirect(&logPen);
}

HBRUSH createSolidBrush(const Brush& brush)
{
    const LOGBRUSH solid = {BS_SOLID, brush.colour().colorRef(), 0};
    return CreateBrushIndirect(&solid);
}

// One colour per line of a gradient of n lines. Each pair of stops spreads
// its colours over its share of the lines, rounded; the last pair over all
// that remain. Shares that round up past n are cut off at n, so no more
// colours are made than there are lines. One stop colours every line.
std::vector<Colour> gradientColours(const Gradient& gradient, int n)
{
    std::vector<Colour> colours;
    colours.reserve(std::size_t(n));
    const int stops = gradient.stopCount();
    if (stops == 1)
        colours.assign(std::size_t(n), gradient.stop(0));
    for (int k = 0; k + 1 < stops; ++k) {
        const int left = n - int(colours.size());
        const bool last = k + 2 == stops;
        const double share = std::round(double(gradient.position(k + 1) - gradient.position(k)) * n);
        const int length = last ? left : int(std::clamp(share, 0.0, double(n)));
        const Colour from = gradient.stop(k);
        const Colour to = gradient.stop(k + 1);
        const auto channel = [&](int a, int b, int j) { return std::uint8_t(a - double(a - b) * j / length); };
        for (int j = 0; j < std::min(length, left); ++j)
            colours.emplace_back(channel(from.red(), to.red(), j), channel(from.green(), to.green(), j),
                                 channel(from.blue(), to.blue(), j));
    }
    return colours;
}

PixelFormat pixelFormatOf(const Bitmap& bitmap, bool consultPremultiplied)
{
    if (!bitmap.hasAlpha())
        return PixelFormat24bppRGB;
    return consultPremultiplied && bitmap.isPremultiplied() ? PixelFormat32bppPARGB : PixelFormat32bppARGB;
}

// GDI+ objects over one device context and one Bitmap's own pixels (no
// copy), disposed together.
class GdiplusCanvas {
public:
    // The image covers part of the bitmap, which must lie inside it.
    GdiplusCanvas(HDC dc, const Bitmap& bitmap, const Rect& part, bool smooth, bool blend, bool consultPremultiplied)
    {
        if (!dc || bitmap.isNull() || GdipCreateFromHDC(dc, &m_graphics) != Ok)
            return;
        GdipSetPageUnit(m_graphics, Gdiplus::UnitPixel);
        GdipSetInterpolationMode(m_graphics, smooth ? Gdiplus::InterpolationModeDefault : Gdiplus::InterpolationModeNearestNeighbor);
        GdipSetCompositingMode(m_graphics, blend ? Gdiplus::CompositingModeSourceOver : Gdiplus::CompositingModeSourceCopy);
        if (blend)
            GdipSetCompositingQuality(m_graphics, Gdiplus::CompositingQualityDefault);
        const int bytesPerPixel = bitmap.hasAlpha() ? 4 : 3;
        auto* first = static_cast<std::uint8_t*>(bitmap.bits()) + std::size_t(part.y) * bitmap.stride() +
                      std::size_t(part.x) * bytesPerPixel;
        GdipCreateBitmapFromScan0(part.width, part.height, int(bitmap.stride()),
                                  pixelFormatOf(bitmap, consultPremultiplied), first, &m_image);
    }
    ~GdiplusCanvas()
    {
        if (m_image)
            GdipDisposeImage(m_image);
        if (m_graphics)
            GdipDeleteGraphics(m_graphics);
    }
    GdiplusCanvas(const GdiplusCanvas&) = delete;
    GdiplusCanvas& operator=(const GdiplusCanvas&) = delete;

    bool isValid() const { return m_graphics && m_image; }
    GpGraphics* graphics() const { return m_graphics; }
    GpImage* image() const { return m_image; }

private:
    GpGraphics* m_graphics = nullptr;
    GpBitmap* m_image = nullptr;
};

// The viewport and the window are both an origin and an extent, set and
// read by parallel pairs of functions.
using SetOrigin = BOOL(WINAPI*)(HDC, int, int, LPPOINT);
using SetExtent = BOOL(WINAPI*)(HDC, int, int, LPSIZE);
using GetOrigin = BOOL(WINAPI*)(HDC, LPPOINT);
using GetExtent = BOOL(WINAPI*)(HDC, LPSIZE);

void setOriginAndExtent(HDC dc, const Rect& r, SetOrigin setOrigin, SetExtent setExtent)
{
    setOrigin(dc, r.x, r.y, nullptr);
    setExtent(dc, r.width, r.height, nullptr);
}

Rect originAndExtent(HDC dc, GetOrigin getOrigin, GetExtent getExtent)
{
    POINT origin = {};
    SIZE extent = {};
    if (!dc || !getOrigin(dc, &origin) || !getExtent(dc, &extent))
        return Rect();
    return Rect(origin.x, origin.y, extent.cx, extent.cy);
}

} // namespace

GdiPaintEngine::GdiPaintEngine() : PaintEngine(String(L"GDI")), d(std::make_unique<Private>()) {}

GdiPaintEngine::~GdiPaintEngine()
{
    end();
}

bool GdiPaintEngine::begin(PaintState* state, DrawingSurface* surface)
{
    if (isActive() || !state || !surface || surface->isActive())
        return false;
    end();
    HDC dc = surface->dc();
    if (!dc)
        return false;
    d->dc = dc;
    m_surface = surface;
    m_state = state;
    SetMapMode(dc, MM_TEXT);
    SetGraphicsMode(dc, GM_ADVANCED);
    SetStretchBltMode(dc, HALFTONE);
    SetBkMode(dc, TRANSPARENT);
    SetBkColor(dc, 0);
    return true;
}

bool GdiPaintEngine::end()
{
    d->replace(d->pen, d->previousPen, nullptr);
    d->replace(d->brush, d->previousBrush, nullptr);
    d->releaseFont();
    if (d->dc) {
        // The next painter starts from the identity and no clip, so the
        // context must not keep this painter's.
        ModifyWorldTransform(d->dc, nullptr, MWT_IDENTITY);
        SelectClipRgn(d->dc, nullptr);
        GdiFlush();
    }
    d->dc = nullptr;
    m_state = nullptr;
    m_surface = nullptr;
    return true;
}

void GdiPaintEngine::updateState(PaintState* state)
{
    if (!d->dc)
        return;
    switch (state->dirtyFlags()) {
    case PaintState::DirtyTransform: {
        const AffineTransform& t = state->transform();
        const XFORM xform = {t.m11(), t.m12(), t.m21(), t.m22(), t.dx(), t.dy()};
        SetWorldTransform(d->dc, &xform);
        break;
    }
    case PaintState::DirtyClip: {
        const Region& clip = state->clipRegion();
        SelectClipRgn(d->dc, clip.isEmpty() ? nullptr : static_cast<HRGN>(clip.handle()));
        break;
    }
    case PaintState::DirtyFillBrush:
        d->replace(d->brush, d->previousBrush, createSolidBrush(state->fillBrush()));
        break;
    case PaintState::DirtyPen:
        SetTextColor(d->dc, state->pen().colour().colorRef());
        d->replace(d->pen, d->previousPen, createPen(state->pen()));
        break;
    case PaintState::DirtyFont:
        d->selectFont(cachedFont(state->fontDesc()));
        break;
    default:
        break;
    }
}

void GdiPaintEngine::setViewport(const Rect& r)
{
    if (d->dc)
        setOriginAndExtent(d->dc, r, SetViewportOrgEx, SetViewportExtEx);
}

Rect GdiPaintEngine::viewport() const
{
    return originAndExtent(d->dc, GetViewportOrgEx, GetViewportExtEx);
}

void GdiPaintEngine::setWindow(const Rect& r)
{
    if (d->dc)
        setOriginAndExtent(d->dc, r, SetWindowOrgEx, SetWindowExtEx);
}

Rect GdiPaintEngine::window() const
{
    return originAndExtent(d->dc, GetWindowOrgEx, GetWindowExtEx);
}

bool GdiPaintEngine::penVisible() const
{
    return m_state && m_state->pen().isVisible();
}

bool GdiPaintEngine::hint(unsigned bit) const
{
    const Graphics* painter = m_state ? m_state->painter() : nullptr;
    return painter ? painter->hasRenderHint(bit) : (Graphics::AlphaBlending & bit) != 0;
}

void GdiPaintEngine::ellipse(const Rect& r)
{
    if (!d->dc)
        return;
    const HGDIOBJ pen = penVisible() ? GetCurrentObject(d->dc, OBJ_PEN) : GetStockObject(NULL_PEN);
    const HGDIOBJ brush = m_state->fillBrush().isVisible() ? GetCurrentObject(d->dc, OBJ_BRUSH)
                                                           : GetStockObject(NULL_BRUSH);
    const HGDIOBJ previousPen = SelectObject(d->dc, pen);
    const HGDIOBJ previousBrush = SelectObject(d->dc, brush);
    Ellipse(d->dc, r.x, r.y, r.right(), r.bottom());
    SelectObject(d->dc, previousBrush);
    SelectObject(d->dc, previousPen);
}

void GdiPaintEngine::lines(const PointPair* pairs, int count)
{
    if (!d->dc || !pairs || count < 1 || !penVisible())
        return;
    for (int i = 0; i < count; ++i) {
        MoveToEx(d->dc, pairs[i].p1.x, pairs[i].p1.y, nullptr);
        LineTo(d->dc, pairs[i].p2.x, pairs[i].p2.y);
    }
}

void GdiPaintEngine::fillPolygon(const Point* points, int count, int fillMode)
{
    if (!d->dc || !points || count < 3)
        return;
    const Brush& brush = m_state->fillBrush();
    if (!brush.isVisible())
        return;
    if (!brush.isPlain()) {
        fillGradient(points, brush);
        return;
    }
    if (fillMode == 0)
        SetPolyFillMode(d->dc, WINDING);
    else if (fillMode == 1)
        SetPolyFillMode(d->dc, ALTERNATE);
    std::vector<POINT> corners(static_cast<std::size_t>(count));
    std::transform(points, points + count, corners.begin(), [](Point p) { return POINT{p.x, p.y}; });
    StockSelection noOutline(d->dc, NULL_PEN);
    Polygon(d->dc, corners.data(), count);
}

// Lines of colour across the rectangle spanned by the first three points:
// rows for a vertical gradient, columns otherwise.
void GdiPaintEngine::fillGradient(const Point* points, const Brush& brush)
{
    const Rect area(points[0].x, points[0].y, points[1].x - points[0].x, points[2].y - points[0].y);
    const bool vertical = brush.gradient().kind() == Gradient::Vertical;
    const int n = vertical ? area.height : area.width;
    if (n < 1)
        return;
    const std::vector<Colour> colours = gradientColours(brush.gradient(), n);
    StockSelection dcPen(d->dc, DC_PEN);
    const COLORREF previousColour = GetDCPenColor(d->dc);
    for (int i = 0; i < int(colours.size()); ++i) {
        SetDCPenColor(d->dc, colours[std::size_t(i)].colorRef());
        const PointPair line = vertical ? PointPair{{area.x, area.y + i}, {area.right(), area.y + i}}
                                        : PointPair{{area.x + i, area.y}, {area.x + i, area.bottom()}};
        lines(&line, 1);
    }
    SetDCPenColor(d->dc, previousColour);
}

void GdiPaintEngine::rects(const Rect* rects, int count)
{
    if (!d->dc || !rects || !penVisible())
        return;
    StockSelection outlineOnly(d->dc, NULL_BRUSH);
    for (int i = 0; i < count; ++i)
        Rectangle(d->dc, rects[i].x, rects[i].y, rects[i].right(), rects[i].bottom());
}

void GdiPaintEngine::invertRect(const Rect& r, bool invert)
{
    if (d->dc && invert)
        BitBlt(d->dc, r.x, r.y, r.width, r.height, d->dc, r.x, r.y, DSTINVERT);
}

void GdiPaintEngine::bitmap(const Bitmap& bitmap, const Rect& source, const Rect& target)
{
    if (source.size() == target.size()) {
        bitmapPart(bitmap, source.topLeft(), target.topLeft(), target.width, target.height);
        return;
    }
    // Wine's GDI+ leaves the first target row or column of a stretched
    // image unpainted at some scale factors, so a part that lies inside the
    // bitmap is resampled here and drawn at its own size.
    const bool smooth = hint(Graphics::SmoothScaling);
    const Bitmap part = source == bitmap.rect() ? bitmap : bitmap.copyRect(source);
    const Bitmap scaled = part.isNull() ? Bitmap() : part.scaled(target.width, target.height, int(smooth ? ResampleMode::Mitchell : ResampleMode::Nearest));
    if (!scaled.isNull()) {
        bitmapPart(scaled, Point::origin, target.topLeft(), target.width, target.height);
        return;
    }
    drawBitmapGdiplus(bitmap, source, target, smooth, hint(Graphics::AlphaBlending));
}

void GdiPaintEngine::bitmapPart(const Bitmap& bitmap, Point source, Point target, int width, int height)
{
    drawBitmapGdiplus(bitmap, Rect(source.x, source.y, width, height), Rect(target.x, target.y, width, height),
                      hint(Graphics::SmoothScaling), hint(Graphics::AlphaBlending));
}

void GdiPaintEngine::drawBitmapGdiplus(const Bitmap& bitmap, const Rect& source, const Rect& target, bool smooth,
                                       bool blend)
{
    // Wine's GDI+ leaves the first target row unpainted for some source
    // rectangles that start inside the image, so a source within the
    // bitmap becomes an image of its own over the same pixels.
    const bool inside = bitmap.rect().contains(source);
    GdiplusCanvas canvas(d->dc, bitmap, inside ? source : bitmap.rect(), smooth, blend, true);
    if (!canvas.isValid())
        return;
    const Rect from = inside ? Rect(0, 0, source.width, source.height) : source;
    GdipSetPixelOffsetMode(canvas.graphics(), Gdiplus::PixelOffsetModeHalf);
    GdipSetSmoothingMode(canvas.graphics(), Gdiplus::SmoothingModeHighSpeed);
    GpImageAttributes* attributes = nullptr;
    GdipCreateImageAttributes(&attributes);
    GdipSetImageAttributesWrapMode(attributes, Gdiplus::WrapModeTileFlipXY, 0x00FFFFFF, FALSE);
    GdipDrawImageRectRectI(canvas.graphics(), canvas.image(), target.x, target.y, target.width, target.height,
                           from.x, from.y, from.width, from.height, Gdiplus::UnitPixel, attributes, nullptr, nullptr);
    GdipDisposeImageAttributes(attributes);
}

void GdiPaintEngine::tile(const Bitmap& bitmap, const Rect& r)
{
    if (r.isEmpty())
        return;
    GdiplusCanvas canvas(d->dc, bitmap, bitmap.rect(), hint(Graphics::SmoothScaling), hint(Graphics::AlphaBlending),
                         false);
    if (!canvas.isValid())
        return;
    GdipSetPixelOffsetMode(canvas.graphics(), Gdiplus::PixelOffsetModeHighQuality);
    GdipSetSmoothingMode(canvas.graphics(), Gdiplus::SmoothingModeNone);
    GpTexture* texture = nullptr;
    if (GdipCreateTexture(canvas.image(), Gdiplus::WrapModeTile, &texture) != Ok)
        return;
    GdipFillRectangleI(canvas.graphics(), texture, r.x, r.y, r.width, r.height);
    GdipDeleteBrush(texture);
}

void GdiPaintEngine::text(const wchar_t* text, int length, int x, int y)
{
    if (d->dc && text && length > 0 && penVisible())
        TextOutW(d->dc, x, y, text, length);
}
