// Painting is immediate: repaint runs the paint handlers of a widget and its
// subtree into their back buffers, copies each into the window surface at
// its place, and copies the changed rectangle of the window surface to the
// screen. The platform's own paint requests only copy the window surface.

#include "ui/UIWidget.h"

#include "foundation/Event.h"
#include "graphics/DrawingSurface.h"
#include "graphics/Region.h"
#include "ui/UIWidgetAttachment.h"
#include "ui/UIWidgetPrivate.h"

#include <windows.h>

#include <algorithm>

namespace {

constexpr int bufferSlack = 100;
const Colour bufferFill(255, 255, 255);

// The widget's rectangle in its window's client coordinates.
Rect windowRect(const UIWidget* widget)
{
    const Point p = widget->mapToWindow(Point());
    return Rect(p.x, p.y, widget->width(), widget->height());
}

void copyPixels(HDC target, Point to, HDC source, Point from, Size size)
{
    BitBlt(target, to.x, to.y, size.width, size.height, source, from.x, from.y, SRCCOPY);
}

// Screen copies take the surface's pixels as they are, whatever transform a
// painter left on it.
class IdentityTransform {
public:
    explicit IdentityTransform(HDC dc) : m_dc(dc), m_mode(GetGraphicsMode(dc))
    {
        SetGraphicsMode(dc, GM_ADVANCED);
        GetWorldTransform(dc, &m_saved);
        ModifyWorldTransform(dc, nullptr, MWT_IDENTITY);
    }
    ~IdentityTransform()
    {
        SetWorldTransform(m_dc, &m_saved);
        SetGraphicsMode(m_dc, m_mode);
    }
    IdentityTransform(const IdentityTransform&) = delete;
    IdentityTransform& operator=(const IdentityTransform&) = delete;

private:
    HDC m_dc;
    int m_mode;
    XFORM m_saved = {};
};

class ScreenDc {
public:
    explicit ScreenDc(void* window) : m_window(static_cast<HWND>(window)), m_dc(GetDC(m_window)) {}
    ~ScreenDc() { ReleaseDC(m_window, m_dc); }
    ScreenDc(const ScreenDc&) = delete;
    ScreenDc& operator=(const ScreenDc&) = delete;

    HDC dc() const { return m_dc; }

private:
    HWND m_window;
    HDC m_dc;
};

// A window that failed to be made has no handle, and GetDC of none would
// draw on the whole screen.
bool reachesScreen(const UIWidget* window)
{
    return window && window->windowSurface() && window->nativeHandle();
}

GdiDrawingSurface* newSurface(int width, int height)
{
    auto* surface = new GdiDrawingSurface(width, height);
    surface->setFillColour(bufferFill);
    surface->fill(bufferFill);
    return surface;
}

// At least the length, and no more than twice the length a new buffer
// would have: a margin that wide lets a window resized back and forth, even
// by hundreds of pixels, keep its buffers.
bool fitsWithSlack(int buffer, int length)
{
    return buffer >= length && buffer <= 2 * (length + bufferSlack);
}

bool holdsWithSlack(const GdiDrawingSurface* surface, int width, int height)
{
    return surface && fitsWithSlack(surface->width(), width) && fitsWithSlack(surface->height(), height);
}

void growSurface(GdiDrawingSurface* surface, int width, int height)
{
    if (surface->width() < width || surface->height() < height)
        surface->resize(std::max(width, surface->width()), std::max(height, surface->height()));
}

// Overlays go onto the window surface before the flush, so they reach the
// screen with the widgets under them.
void paintAttachments(const List<UIWidgetAttachment*>& attachments, GdiDrawingSurface* surface, const Rect& r)
{
    for (UIWidgetAttachment* attachment : attachments) {
        if (attachment->isEnabled())
            attachment->paint(surface, r);
    }
}

} // namespace

void UIWidgetPrivate::releaseSurfaces()
{
    delete windowSurface;
    windowSurface = nullptr;
    delete backBuffer;
    backBuffer = nullptr;
}

GdiDrawingSurface* UIWidget::backBuffer() const
{
    return d()->backBuffer;
}

GdiDrawingSurface* UIWidget::windowSurface() const
{
    return d()->windowSurface;
}

void UIWidget::ensureBackBuffer(int width, int height)
{
    if (!d()->backBuffer)
        d()->backBuffer = newSurface(width, height);
    else
        growSurface(d()->backBuffer, width, height);
}

void UIWidget::ensureWindowSurface(int width, int height)
{
    if (!d()->windowSurface)
        d()->windowSurface = newSurface(width, height);
    else
        growSurface(d()->windowSurface, width, height);
}

void UIWidget::growBuffers(int width, int height)
{
    if (holdsWithSlack(backBuffer(), width, height))
        return;
    // The slack keeps small changes from reallocating each time; a widget
    // laid out again much smaller (a label wrapped after its box was
    // measured) gets a buffer of its new size rather than keep the first.
    if (backBuffer())
        backBuffer()->resize(width + bufferSlack, height + bufferSlack);
    else
        ensureBackBuffer(width + bufferSlack, height + bufferSlack);
    if (isWindow())
        ensureWindowSurface(width + bufferSlack, height + bufferSlack);
}

Point UIWidget::origin() const
{
    return Point();
}

void UIWidget::repaint()
{
    repaint(rect());
}

void UIWidget::repaint(const Rect& area)
{
    UIWidget* window = topLevelWidget();
    // Noted on the widget itself, whose setUpdatesEnabled(true) makes up for
    // it: a child's noted on its window was only painted at the window's
    // next show.
    if (testFlag(WidgetCreated) && !testFlag(WidgetUpdatesEnabled)) {
        setFlagBit(WidgetRepaintPending, true);
        return;
    }
    if (!testFlag(WidgetCreated) || !isVisible() || !window || !window->windowSurface()) {
        if (window)
            window->setFlag(WidgetRepaintPending, true);
        return;
    }
    const Rect r = area.intersected(rect());
    if (r.isEmpty())
        return;
    paintWidget(origin(), r);
    paintChildren(origin());
    const Point at = isWindow() ? Point() : mapToWindow(Point());
    const Rect inWindow(at.x + r.x, at.y + r.y, r.width, r.height);
    paintAttachments(window->d()->attachments, window->windowSurface(), inWindow);
    flushRect(inWindow);
}

// Only r of the back buffer reaches the window surface: outside it the
// surface already holds what the last paint left.
void UIWidget::paintWidget(Point origin, const Rect& r)
{
    const HDC buffer = backBuffer()->dc();
    UIWidget* window = topLevelWidget();
    if (isWindow()) {
        UIPaintEvent paint(origin, r);
        paintEvent(&paint);
        copyPixels(windowSurface()->dc(), r.topLeft(), buffer, r.topLeft(), r.size());
        return;
    }
    UIWidget* owner = parent();
    if (testFlag(WidgetSeeThrough) && owner)
        copyPixels(buffer, Point(), owner->backBuffer()->dc(), pos(), size());
    UIPaintEvent paint(origin, r);
    paintEvent(&paint);
    if (!window || !window->windowSurface())
        return;
    const Size visible = owner ? Size{std::min(width(), owner->width()), std::min(height(), owner->height())} : size();
    const Rect shown = r.intersected(Rect(0, 0, visible.width, visible.height));
    if (shown.isEmpty())
        return;
    const Point at = mapToWindow(shown.topLeft());
    copyPixels(window->windowSurface()->dc(), at, buffer, shown.topLeft(), shown.size());
}

void UIWidget::paintChildren(Point origin)
{
    for (UIWidget* child : m_children) {
        if (child->isWindow() || !child->testFlag(WidgetVisible))
            continue;
        child->paintWidget(origin, child->rect());
        child->paintChildren(origin);
    }
}

void UIWidget::flushRect(const Rect& r)
{
    UIWidget* window = topLevelWidget();
    if (r.width < 1 || r.height < 1 || !reachesScreen(window))
        return;
    if (!testFlag(WidgetUpdatesEnabled)) {
        window->setFlag(WidgetRepaintPending, true);
        return;
    }
    if (!testFlag(WidgetCreated) || !isVisible() || isWorkstationLocked())
        return;
    const HDC surface = window->windowSurface()->dc();
    const IdentityTransform identity(surface);
    const ScreenDc screen(window->nativeHandle());
    copyPixels(screen.dc(), r.topLeft(), surface, r.topLeft(), r.size());
}

void UIWidget::copyToScreen(GdiDrawingSurface* surface, const Rect& r, Point source)
{
    UIWidget* window = topLevelWidget();
    if (!surface || r.width < 1 || r.height < 1 || !reachesScreen(window))
        return;
    if (!testFlag(WidgetCreated) || !isVisible() || !testFlag(WidgetUpdatesEnabled) || isWorkstationLocked())
        return;
    const ScreenDc screen(window->nativeHandle());
    copyPixels(screen.dc(), r.topLeft(), surface->dc(), source, r.size());
}

void UIWidget::drawCaret(const Rect& r, bool on)
{
    UIWidget* window = topLevelWidget();
    if (!reachesScreen(window))
        return;
    const ScreenDc screen(window->nativeHandle());
    if (!on) {
        const HDC surface = window->windowSurface()->dc();
        const IdentityTransform identity(surface);
        copyPixels(screen.dc(), r.topLeft(), surface, r.topLeft(), r.size());
        return;
    }
    Region clip(windowRect(this));
    for (UIWidget* child : m_children) {
        if (!child->isWindow() && child->testFlag(WidgetVisible))
            clip = clip.subtracted(Region(windowRect(child)));
    }
    SelectClipRgn(screen.dc(), clip.handle());
    PatBlt(screen.dc(), r.x, r.y, r.width, r.height, DSTINVERT);
    SelectClipRgn(screen.dc(), nullptr);
}

void UIWidget::uncoveredRegion(Region& out) const
{
    Region region(rect());
    for (UIWidget* child : m_children) {
        if (child->isWindow() || child->testFlag(WidgetSeeThrough))
            continue;
        region = region.subtracted(Region(child->geometry()));
    }
    out = region;
}

void UIWidget::addAttachment(UIWidgetAttachment* attachment)
{
    d()->attachments.append(attachment);
}

void UIWidget::setAttachmentEnabled(int kind, bool on)
{
    for (UIWidgetAttachment* attachment : d()->attachments) {
        if (attachment->kind() != kind)
            continue;
        if (attachment->isEnabled() != on) {
            attachment->setEnabled(on);
            repaint();
        }
        return;
    }
}

bool UIWidget::hasAttachment(int kind) const
{
    for (UIWidgetAttachment* attachment : d()->attachments) {
        if (attachment->kind() == kind)
            return true;
    }
    return false;
}

void UIWidget::deleteAttachments()
{
    for (UIWidgetAttachment* attachment : d()->attachments)
        delete attachment;
    d()->attachments.clear();
}
