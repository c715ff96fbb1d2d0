#include "ui/widgets/UIBalloonTip.h"

#include "foundation/CharHelpers.h"
#include "foundation/Event.h"
#include "foundation/StringList.h"
#include "graphics/DrawingSurface.h"
#include "graphics/Graphics.h"
#include "graphics/Region.h"
#include "graphics/Screen.h"
#include "ui/Clipboard.h"
#include "ui/UIManager.h"
#include "ui/UINativeWindow.h"
#include "ui/UITheme.h"

#include <windows.h>

#include <algorithm>

namespace {

constexpr int keyEscape = 27;
constexpr int keyC = 67;
constexpr int alignLeftTop = 5;

UIBalloonTip* currentBalloon = nullptr;

Rect shifted(const Rect& r, Point offset)
{
    return r.adjusted(offset.x, offset.y, offset.x, offset.y);
}

bool isLineBreak(wchar_t c)
{
    return c == L'\r' || c == L'\n';
}

Size windowSizeFor(Size content, int side, int arrowLength)
{
    if (side == BalloonLeftOfAnchor || side == BalloonRightOfAnchor)
        return {content.width + arrowLength, content.height};
    return {content.width, content.height + arrowLength};
}

bool isHorizontal(int side)
{
    return side == BalloonLeftOfAnchor || side == BalloonRightOfAnchor;
}

// The outline before it is kept inside the desktop area.
struct Attempt {
    int side;
    bool placed;
};

// One way of placing: the sides before (left of or above) and after the
// anchor, the anchor's coordinate and the desktop's edges across that
// direction (where the arrow needs its margin) and along it (where the
// window needs room).
struct Axis {
    int before;
    int after;
    int across;
    int acrossLow;
    int acrossHigh;
    int along;
    int alongLow;
    int alongHigh;
};

// Fails, unless forced, when the anchor is too near an edge across the
// axis; flips to the other side when the window does not fit on the asked one.
Attempt tryAxis(const Axis& a, int side, int margin, int extent, bool forced)
{
    if (!forced && (a.across - a.acrossLow < margin || a.acrossHigh - a.across < margin))
        return {side, false};
    if (side == a.before && a.along - a.alongLow < extent)
        return {a.after, true};
    if (side == a.after && a.alongHigh - a.along < extent)
        return {a.before, true};
    return {side, true};
}

Attempt tryHorizontal(int side, Point anchor, const Rect& d, int margin, int windowWidth, bool forced)
{
    const Axis axis{BalloonLeftOfAnchor, BalloonRightOfAnchor, anchor.y, d.top(), d.bottom(),
                    anchor.x, d.left(), d.right()};
    return tryAxis(axis, side, margin, windowWidth, forced);
}

Attempt tryVertical(int side, Point anchor, const Rect& d, int margin, int windowHeight, bool forced)
{
    const Axis axis{BalloonAboveAnchor, BalloonBelowAnchor, anchor.x, d.left(), d.right(),
                    anchor.y, d.top(), d.bottom()};
    return tryAxis(axis, side, margin, windowHeight, forced);
}

int chooseSide(Size content, int side, Point anchor, const Rect& d, const BalloonArrow& arrow)
{
    const int margin = arrow.thickness / 2 + arrow.borderSpacing;
    const int width = content.width + arrow.length;
    const int height = content.height + arrow.length;
    if (isHorizontal(side)) {
        Attempt a = tryHorizontal(side, anchor, d, margin, width, false);
        if (a.placed)
            return a.side;
        a = tryVertical(BalloonAboveAnchor, anchor, d, margin, height, false);
        return a.placed ? a.side : tryVertical(BalloonAboveAnchor, anchor, d, margin, height, true).side;
    }
    const int vertical = side == BalloonBelowAnchor ? BalloonBelowAnchor : BalloonAboveAnchor;
    Attempt a = tryVertical(vertical, anchor, d, margin, height, false);
    if (a.placed)
        return a.side;
    a = tryHorizontal(BalloonLeftOfAnchor, anchor, d, margin, width, false);
    return a.placed ? a.side : tryHorizontal(BalloonLeftOfAnchor, anchor, d, margin, width, true).side;
}

// Keeps [start, start + extent) inside [low, high) by moving the window,
// while the arrow (at arrowStart, arrowExtent long, within a body of
// bodyExtent) moves the other way so that its tip stays on the anchor, but
// never nearer than spacing to the body's ends. Returns the window's shift.
int keepInside(int start, int extent, int low, int high, int& arrowStart, int arrowExtent, int bodyStart,
               int bodyExtent, int spacing)
{
    int shift = 0;
    if (start < low) {
        shift = low - start;
        arrowStart -= shift;
        const int shortfall = bodyStart + spacing - arrowStart;
        if (shortfall > 0) {
            shift -= shortfall;
            arrowStart += shortfall;
        }
    } else if (start + extent > high) {
        shift = high - (start + extent);
        arrowStart -= shift;
        const int shortfall = arrowStart + arrowExtent - (bodyStart + bodyExtent - spacing);
        if (shortfall > 0) {
            shift += shortfall;
            arrowStart -= shortfall;
        }
    }
    return shift;
}

} // namespace

UIBalloonTip::UIBalloonTip(UIWidget* parent)
    : UIWidget(parent, WindowFrameless | WindowStaysOnTop), m_font(FontDesc()), m_titleFont(FontDesc()),
      m_showDelay(TimerClient::shortTimerInterval())
{
    setFlag(WidgetWindow, true);
    setFlag(WidgetHoverTracking, true);
    setSizePolicy(SizeFixed, SizeFixed);
    setFocusPolicy(ClickFocus);
    setLayoutEnabled(false);
    setStyleName(L"UIBalloonTip");
}

UIBalloonTip::~UIBalloonTip()
{
    if (currentBalloon != this)
        return;
    hide();
    currentBalloon = nullptr;
}

// ---- The one balloon ----

void UIBalloonTip::showBalloon(UIWidget* parent, Point anchor, const String& title, const String& text, int iconKind,
                               const Bitmap& image, int side, int showDelay, int timeout, int sound,
                               int backgroundKind)
{
    hideCurrent();
    auto* balloon = new UIBalloonTip(parent);
    currentBalloon = balloon;
    balloon->m_title = title;
    balloon->setText(text);
    balloon->m_image = image;
    balloon->m_iconKind = iconKind;
    balloon->m_sound = sound;
    balloon->m_side = side;
    balloon->setBackgroundKind(backgroundKind);
    if (showDelay > 0)
        balloon->m_showDelay = showDelay;
    if (timeout > 0)
        balloon->m_timeout = timeout;
    balloon->showAt(anchor);
}

void UIBalloonTip::hideFor(const UIWidget* parent)
{
    if (isShowing() && currentBalloon->parent() == parent)
        hideCurrent();
}

String UIBalloonTip::currentText()
{
    return isShowing() ? currentBalloon->m_text : String();
}

void UIBalloonTip::updateText(const String& text, bool resize)
{
    if (!currentBalloon || text.isEmpty())
        return;
    currentBalloon->setText(text);
    if (resize)
        currentBalloon->placeAt(currentBalloon->m_anchor);
}

bool UIBalloonTip::isCurrent(const UIBalloonTip* balloon)
{
    return balloon && balloon == currentBalloon;
}

void UIBalloonTip::hideCurrent()
{
    if (!currentBalloon)
        return;
    UIBalloonTip* balloon = currentBalloon;
    balloon->hide();
    currentBalloon = nullptr;
    delete balloon;
}

bool UIBalloonTip::isShowing()
{
    return currentBalloon && (currentBalloon->isTimerActive(balloonShowTimerId) || currentBalloon->isVisible());
}

UIWidget* UIBalloonTip::currentParent()
{
    return currentBalloon ? currentBalloon->parent() : nullptr;
}

// ---- Contents ----

String UIBalloonTip::normalisedText(const String& text)
{
    String result;
    const int n = text.length();
    for (int i = 0; i < n; ++i) {
        const wchar_t c = text[i];
        if (isLineBreak(c)) {
            if (i == 0 || !isLineBreak(text[i - 1]))
                result += L'\n';
        } else if (isSurrogatePairAt(text.view(), std::size_t(i))) {
            result += c;
            result += text[++i];
        } else if (isSpaceChar(c) || !isPrintableChar(c)) {
            result += L' ';
        } else {
            result += c;
        }
    }
    return result;
}

void UIBalloonTip::setText(const String& text)
{
    m_text = normalisedText(text);
    repaint();
}

void UIBalloonTip::setDelays(int showDelay, int timeout)
{
    m_showDelay = showDelay;
    m_timeout = timeout;
}

void UIBalloonTip::setBackgroundKind(int kind)
{
    if (kind == m_backgroundKind)
        return;
    m_backgroundKind = kind;
    if (kind == 0)
        m_backgroundSkin = m_loadedBackgroundSkin;
}

const Bitmap& UIBalloonTip::iconImage() const
{
    if (m_iconKind == 0)
        return m_image;
    const UITheme* theme = UIManager::instance()->theme();
    if (!theme || m_iconKind < 1 || m_iconKind > 12)
        return Bitmap::null();
    return theme->image(ImageInformationBig + m_iconKind - 1);
}

// ---- Size ----

Size UIBalloonTip::contentSize() const
{
    const Style& s = m_style;
    int w = 0;
    int h = 0;
    if (!m_title.isEmpty()) {
        w = m_titleFont.textSize(m_title).width;
        h = m_titleFont.height();
    }
    if (!m_text.isEmpty()) {
        const Size lines = textLinesSize(m_font, textLines(m_text));
        w = std::max(w, lines.width);
        h += lines.height;
    }
    if (!m_title.isEmpty() && !m_text.isEmpty())
        h += s.verticalSpacing;
    const Bitmap& icon = iconImage();
    if (!icon.isNull()) {
        if (m_iconPosition == 0) {
            w += icon.width() + s.horizontalSpacing;
            h = std::max(h, icon.height());
        } else {
            h += icon.height() + s.verticalSpacing;
            w = std::max(w, icon.width());
        }
    }
    w += s.horizontalSpacing + m_closeSkin.stateWidth() + s.padding.left + s.padding.right;
    h += s.padding.top + s.padding.bottom;
    return {w, h};
}

Size UIBalloonTip::sizeHint() const
{
    return windowSizeFor(contentSize(), m_side, m_style.arrowLength);
}

// ---- Placement ----

BalloonArrow UIBalloonTip::arrowMeasures() const
{
    return {m_style.arrowLength, m_style.arrowThickness, m_style.arrowBorderSpacing};
}

BalloonLayout UIBalloonTip::layoutAt(Size window, int side, Point o, const BalloonArrow& arrow)
{
    const int l = arrow.length;
    const int t = arrow.thickness;
    switch (side) {
    case BalloonLeftOfAnchor: {
        const Rect body(o.x, o.y, window.width - l, window.height);
        return {body, Rect(body.right(), o.y + body.height / 2 - t / 2, l, t)};
    }
    case BalloonRightOfAnchor: {
        const Rect body(o.x + l, o.y, window.width - l, window.height);
        return {body, Rect(o.x, o.y + body.height / 2 - t / 2, l, t)};
    }
    case BalloonBelowAnchor: {
        const Rect body(o.x, o.y + l, window.width, window.height - l);
        return {body, Rect(o.x + body.width / 2 - t / 2, o.y, t, l)};
    }
    default: {
        const Rect body(o.x, o.y, window.width, window.height - l);
        return {body, Rect(o.x + body.width / 2 - t / 2, body.bottom(), t, l)};
    }
    }
}

BalloonPlacement UIBalloonTip::place(Size content, int side, Point a, const Rect& d, const BalloonArrow& arrow)
{
    BalloonPlacement p;
    p.side = chooseSide(content, side, a, d, arrow);
    p.layout = layoutAt(windowSizeFor(content, p.side, arrow.length), p.side, Point(0, 0), arrow);
    const Size b = p.layout.body.size();
    const int l = arrow.length;
    Rect& arrowRect = p.layout.arrow;
    const Rect& body = p.layout.body;
    switch (p.side) {
    case BalloonLeftOfAnchor:
        p.position = Point(a.x - b.width - l, a.y - b.height / 2);
        break;
    case BalloonRightOfAnchor:
        p.position = Point(a.x, a.y - b.height / 2);
        break;
    case BalloonBelowAnchor:
        p.position = Point(a.x - b.width / 2, a.y);
        break;
    default:
        p.position = Point(a.x - b.width / 2, a.y - b.height - l);
        break;
    }
    if (isHorizontal(p.side))
        p.position.y += keepInside(p.position.y, b.height, d.top(), d.bottom(), arrowRect.y, arrowRect.height,
                                   body.y, body.height, arrow.borderSpacing);
    else
        p.position.x += keepInside(p.position.x, b.width, d.left(), d.right(), arrowRect.x, arrowRect.width, body.x,
                                   body.width, arrow.borderSpacing);
    return p;
}

void UIBalloonTip::showAt(Point anchor)
{
    if (!isEnabled())
        return;
    setParentWindowFlag(WindowKeepActiveFrame, true);
    placeAt(anchor);
    startTimer(balloonShowTimerId, m_showDelay);
}

// Sized from the contents as they are now, not from the last layout pass,
// so a changed text re-places the arrow on its anchor.
void UIBalloonTip::placeAt(Point anchor)
{
    m_anchor = anchor;
    const UIMargins& dp = m_style.desktopPadding;
    const Rect desktop = Screen::monitorRectAt(anchor, true).adjusted(dp.left, dp.top, -dp.right, -dp.bottom);
    const BalloonPlacement p = place(contentSize(), m_side, anchor, desktop, arrowMeasures());
    m_side = p.side;
    m_bodyRect = p.layout.body;
    m_arrowRect = p.layout.arrow;
    m_position = p.position;
    resize(sizeHint());
    move(m_position);
    shapeWindow();
    repaint();
}

void UIBalloonTip::shapeWindow()
{
    const Rect& a = m_arrowRect;
    const int centreX = a.x + a.width / 2;
    const int middleY = a.y + a.height / 2;
    POINT tri[3];
    switch (m_side) {
    case BalloonLeftOfAnchor:
        tri[0] = {a.left(), a.bottom()}, tri[1] = {a.right(), middleY}, tri[2] = {a.left(), a.top()};
        break;
    case BalloonRightOfAnchor:
        tri[0] = {a.right(), a.bottom()}, tri[1] = {a.left(), middleY}, tri[2] = {a.right(), a.top()};
        break;
    case BalloonBelowAnchor:
        tri[0] = {a.left(), a.bottom()}, tri[1] = {centreX, a.top()}, tri[2] = {a.right(), a.bottom()};
        break;
    default:
        tri[0] = {centreX, a.bottom()}, tri[1] = {a.left(), a.top()}, tri[2] = {a.right(), a.top()};
        break;
    }
    const INT counts[1] = {3};
    HRGN arrow = CreatePolyPolygonRgn(tri, counts, 1, WINDING);
    const Rect& b = m_bodyRect;
    HRGN body = CreateRoundRectRgn(b.left(), b.top(), b.right() + 1, b.bottom() + 1, m_style.cornerDiametr,
                                   m_style.cornerDiametr);
    HRGN shape = CreateRectRgn(0, 0, 0, 0);
    CombineRgn(shape, arrow, body, RGN_OR);
    DeleteObject(arrow);
    DeleteObject(body);
    // After a successful call the system owns the shape.
    if (!SetWindowRgn(static_cast<HWND>(nativeHandle()), shape, TRUE))
        DeleteObject(shape);
}

void UIBalloonTip::setParentWindowFlag(std::uint32_t flag, bool on)
{
    if (UIWidget* p = parent())
        p->topLevelWidget()->setWindowFlag(flag, on);
}

void UIBalloonTip::setVisible(bool visible)
{
    if (visible) {
        UIWidget::setVisible(true);
        return;
    }
    const bool wasShowing = currentBalloon == this && isShowing();
    killTimer(balloonShowTimerId);
    killTimer(balloonTimeoutTimerId);
    killTimer(balloonWatchTimerId);
    m_closeHovered = false;
    if (!wasShowing) {
        UIWidget::setVisible(false);
        return;
    }
    setParentWindowFlag(WindowKeepActiveFrame, false);
    setParentWindowFlag(WindowNoActivate, false);
    UIWidget::setVisible(false);
}

// ---- Timers and input ----

bool UIBalloonTip::hidesByWatch()
{
    bool hides = currentMouseButtons().value != 0;
    if (const UIWidget* p = parent())
        hides = hides || !p->topLevelWidget()->isVisible() || !p->isVisible();
    if (hides)
        hide();
    return hides;
}

void UIBalloonTip::onShowTimer()
{
    killTimer(balloonShowTimerId);
    if (hidesByWatch())
        return;
    setStaysOnTop(true);
    show();
    setFocus();
    if (m_sound != 0)
        UIManager::instance()->playMessageSound(m_sound);
    if (m_timeout > 0)
        startTimer(balloonTimeoutTimerId, m_timeout);
    startTimer(balloonWatchTimerId, TimerClient::shortTimerInterval());
}

void UIBalloonTip::customEvent(UICustomEvent* event)
{
    switch (event->code()) {
    case balloonShowTimerId:
        onShowTimer();
        return;
    case balloonTimeoutTimerId:
        hide();
        return;
    case balloonWatchTimerId:
        hidesByWatch();
        return;
    default:
        UIWidget::customEvent(event);
        return;
    }
}

void UIBalloonTip::copyToClipboard() const
{
    String joined = m_title;
    if (!joined.isEmpty() && !m_text.isEmpty())
        joined += L"\r\n";
    joined += m_text;
    if (!joined.isEmpty())
        UIManager::instance()->clipboard().setText(joined);
}

void UIBalloonTip::keyPressEvent(UIKeyEvent* event)
{
    if (event->key() == keyEscape)
        hide();
    else if (event->key() == keyC && event->modifiers().testFlag(ControlModifier))
        copyToClipboard();
}

void UIBalloonTip::mouseClickEvent(UIMouseEvent*)
{
    hide();
}

void UIBalloonTip::focusOutEvent(UIFocusEvent*)
{
    hide();
}

void UIBalloonTip::leaveEvent(UIMouseEvent*)
{
    if (!m_closeHovered)
        return;
    m_closeHovered = false;
    repaint();
}

void UIBalloonTip::mouseMoveEvent(UIMouseEvent* event)
{
    const bool hovered = m_closeRect.contains(event->position());
    if (hovered == m_closeHovered)
        return;
    m_closeHovered = hovered;
    repaint();
}

// ---- Painting ----

const UISkin& UIBalloonTip::arrowSkin() const
{
    switch (m_side) {
    case BalloonLeftOfAnchor:
        return m_arrowRightSkin;
    case BalloonRightOfAnchor:
        return m_arrowLeftSkin;
    case BalloonBelowAnchor:
        return m_arrowTopSkin;
    default:
        return m_arrowBottomSkin;
    }
}

// The arrow reaches into the body as far as its skin is long, so the
// skin's joint covers the body's border.
Rect UIBalloonTip::extendedArrowRect(const UISkin& skin) const
{
    Rect r = m_arrowRect;
    const int across = isHorizontal(m_side) ? skin.stateWidth() - r.width : skin.stateHeight() - r.height;
    const int grow = std::max(0, across);
    switch (m_side) {
    case BalloonLeftOfAnchor:
        return r.adjusted(-grow, 0, 0, 0);
    case BalloonRightOfAnchor:
        return r.adjusted(0, 0, grow, 0);
    case BalloonBelowAnchor:
        return r.adjusted(0, 0, 0, grow);
    default:
        return r.adjusted(0, -grow, 0, 0);
    }
}

void UIBalloonTip::paintEvent(UIPaintEvent*)
{
    Graphics g(backBuffer());
    g.fillRect(rect(), m_style.background);
    m_backgroundSkin.drawNineSlice(g, rect(), 0, SkinAllRegions);
    const UISkin& arrow = arrowSkin();
    const Rect arrowArea = extendedArrowRect(arrow);
    arrow.drawNineSlice(g, arrowArea, 0, SkinAllRegions);
    g.setClipRegion(Region(m_bodyRect).subtracted(Region(arrowArea)));
    m_borderSkin.drawNineSlice(g, m_bodyRect, 0, SkinAllRegions);
    g.resetClip();
    paintContents(g);
}

void UIBalloonTip::paintContents(Graphics& g)
{
    const Style& s = m_style;
    Rect c = m_bodyRect.adjusted(s.padding.left, s.padding.top, -s.padding.right, -s.padding.bottom);
    const Size close = m_closeSkin.stateSize();
    m_closeRect = Rect(c.right() - close.width, c.top(), close.width, close.height);
    m_closeSkin.drawNineSlice(g, m_closeRect, m_closeHovered ? 1 : 0, SkinAllRegions);
    c.width -= close.width + s.horizontalSpacing;
    const Bitmap& icon = iconImage();
    if (!icon.isNull() && m_iconPosition == 0) {
        g.drawBitmapAligned(icon, Rect(c.x, c.y, icon.width(), c.height), m_iconAlignment);
        c = c.adjusted(icon.width() + s.horizontalSpacing, 0, 0, 0);
    } else if (!icon.isNull()) {
        g.drawBitmapAligned(icon, Rect(c.x, c.y, c.width, icon.height()), m_iconAlignment);
        c = c.adjusted(0, icon.height() + s.verticalSpacing, 0, 0);
    }
    if (!m_title.isEmpty()) {
        g.setFont(s.title.font);
        g.setPen(s.title.shadowForeground);
        g.drawText(m_title, shifted(c, s.title.shadowOffset), alignLeftTop, 0, 1);
        g.setPen(s.title.foreground);
        g.drawText(m_title, c, alignLeftTop, 0, 1);
        c = c.adjusted(0, m_titleFont.height() + s.verticalSpacing, 0, 0);
    }
    if (m_text.isEmpty())
        return;
    g.setFont(s.text.font);
    for (const String& line : textLines(m_text)) {
        g.setPen(s.text.shadowForeground);
        g.drawText(line, shifted(c, s.text.shadowOffset), alignLeftTop, 0, 1);
        g.setPen(s.text.foreground);
        g.drawText(line, c, alignLeftTop, 0, 1);
        c = c.adjusted(0, m_font.height(), 0, 0);
    }
}

// ---- Style ----

void UIBalloonTip::setStyleProperty(const String& name, const String& value)
{
    Style& s = m_style;
    if (s.text.setProperty(name, value)) {
        m_font.setDesc(s.text.font);
        return;
    }
    if (s.title.setPrefixedProperty(L"title", name, value)) {
        m_titleFont.setDesc(s.title.font);
        return;
    }
    if (name == L"background")
        s.background = parseBrushValue(value);
    else if (name == L"horizontalSpacing")
        s.horizontalSpacing = parseIntValue(value);
    else if (name == L"verticalSpacing")
        s.verticalSpacing = parseIntValue(value);
    else if (name == L"padding")
        s.padding = parseMarginsValue(value);
    else if (name == L"desktopPadding")
        s.desktopPadding = parseMarginsValue(value);
    else if (name == L"cornerDiametr")
        s.cornerDiametr = parseIntValue(value);
    else if (name == L"arrowLength")
        s.arrowLength = parseIntValue(value);
    else if (name == L"arrowThickness")
        s.arrowThickness = parseIntValue(value);
    else if (name == L"arrowBorderSpacing")
        s.arrowBorderSpacing = parseIntValue(value);
}

void UIBalloonTip::setStyleImage(const String& skinName, UISkin* skin)
{
    if (skinName == L"UIBalloonTip_Background") {
        m_loadedBackgroundSkin = *skin;
        m_backgroundSkin = *skin;
    } else if (skinName == L"UIBalloonTip_BackgroundBorder")
        m_borderSkin = *skin;
    else if (skinName == L"UIBalloonTip_CloseButton")
        m_closeSkin = *skin;
    else if (skinName == L"UIBalloonTip_ArrowLeft")
        m_arrowLeftSkin = *skin;
    else if (skinName == L"UIBalloonTip_ArrowTop")
        m_arrowTopSkin = *skin;
    else if (skinName == L"UIBalloonTip_ArrowRight")
        m_arrowRightSkin = *skin;
    else if (skinName == L"UIBalloonTip_ArrowBottom")
        m_arrowBottomSkin = *skin;
}
