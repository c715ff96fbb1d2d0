#include "ui/widgets/UIToolTip.h"

#include "foundation/CharHelpers.h"
#include "foundation/DateTime.h"
#include "foundation/Event.h"
#include "foundation/StringList.h"
#include "graphics/DrawingSurface.h"
#include "graphics/Font.h"
#include "graphics/Graphics.h"
#include "ui/PlatformServices.h"
#include "ui/TimerService.h"
#include "ui/UINativeWindow.h"
#include "ui/UIStyleValues.h"

namespace {

// The show delay of a tip asked for again soon after the last one hid.
constexpr int quickShowDelay = 100;

UIToolTip* currentTip = nullptr;
UIToolTipSource* installedSource = nullptr;

// The last request, by the owner's widget number: a pointer could be
// reused by a later widget.
struct LastRequest {
    int key = 0;
    int ownerId = 0;
};
LastRequest lastRequest;

struct LastHiding {
    bool happened = false;
    std::int64_t time = 0;
};
LastHiding lastHiding;

const UIToolTipSource& source()
{
    static const UIToolTipSource platform;
    return installedSource ? *installedSource : platform;
}

bool isLineBreak(wchar_t c)
{
    return c == L'\r' || c == L'\n';
}

bool isShownAsIs(wchar_t c)
{
    return isPrintableChar(c) && !isSpaceChar(c);
}

// A quick re-show follows a hiding within the window, for the same key or
// the same owner (moving from item to item of one list).
bool isQuickReshow(const UIWidget* owner, int key, std::int64_t now)
{
    if (!lastHiding.happened || now - lastHiding.time > toolTipQuickReshowTime)
        return false;
    return (key != 0 && key == lastRequest.key) || owner->id() == lastRequest.ownerId;
}

Margins marginsOf(const UIMargins& m)
{
    return {m.left, m.top, m.right, m.bottom};
}

} // namespace

// ---- The platform's source ----

std::int64_t UIToolTipSource::milliseconds() const
{
    return preciseMilliseconds();
}

Point UIToolTipSource::cursorPosition() const
{
    return ::cursorPosition();
}

bool UIToolTipSource::isMouseButtonHeld() const
{
    return currentMouseButtons().value != 0;
}

// ---- Construction ----

UIToolTip::UIToolTip(UIWidget* owner)
    : UIWidget(owner, WindowDropShadow | WindowNoActivate | WindowStaysOnTop | WindowFrameless),
      m_showDelay(::toolTipShowDelay), m_hideDelay(::toolTipHideDelay)
{
    setFlag(WidgetWindow, true);
    setFlag(WidgetMouseTransparent, true);
    setFlag(WidgetSeeThrough, false);
    setFocusPolicy(NoFocus);
    setSizePolicy(SizeFixed, SizeFixed);
    setStyleName(L"UIToolTip");
}

UIToolTip::~UIToolTip()
{
    if (currentTip == this)
        currentTip = nullptr;
}

// ---- The current tool tip ----

void UIToolTip::showText(UIWidget* owner, const String& text, Point position, const Rect& toolRect, int showDelay,
                         int hideDelay, int key, int maxLength)
{
    if (!owner || source().isMouseButtonHeld() || toolRect.isEmpty() || isShowing())
        return;
    hideCurrent();
    if (text.isEmpty())
        return;
    auto* tip = new UIToolTip(owner);
    currentTip = tip;
    tip->setMaximumLength(maxLength);
    tip->setText(text);
    tip->setShowDelay(tip->chosenShowDelay(showDelay, key));
    lastRequest = {key, owner->id()};
    if (hideDelay >= 1)
        tip->setHideDelay(hideDelay);
    tip->place(position, toolRect);
}

int UIToolTip::chosenShowDelay(int showDelay, int key) const
{
    if (showDelay >= 1)
        return showDelay;
    return isQuickReshow(parent(), key, source().milliseconds()) ? quickShowDelay : ::toolTipShowDelay;
}

// The tool rectangle is cut to the monitor under the position; a tool
// wholly off that monitor gets no tip.
void UIToolTip::place(Point position, const Rect& toolRect)
{
    Rect tool = toolRect;
    const Rect monitor = Screen::monitorRectAt(position, false);
    if (!monitor.isEmpty())
        tool = tool.intersected(monitor);
    if (tool.isEmpty())
        return;
    m_toolRect = tool;
    setPosition(position);
}

void UIToolTip::hideCurrent()
{
    UIToolTip* tip = currentTip;
    if (!tip)
        return;
    tip->hide();
    delete tip;
}

void UIToolTip::hideFor(const UIWidget* widget)
{
    if (isShowing() && currentOwner() == widget)
        hideCurrent();
}

void UIToolTip::hideUnlessFor(const UIWidget* widget)
{
    if (currentTip && currentOwner() != widget)
        hideCurrent();
}

bool UIToolTip::isShowing()
{
    return currentTip && currentTip->isPendingOrVisible();
}

bool UIToolTip::isShowingFor(const UIWidget* owner, const String& text)
{
    return isShowing() && currentOwner() == owner
        && currentTip->text() == cleanedText(text, currentTip->maximumLength());
}

UIToolTip* UIToolTip::current()
{
    return currentTip;
}

UIWidget* UIToolTip::currentOwner()
{
    return currentTip ? currentTip->parent() : nullptr;
}

String UIToolTip::currentText()
{
    return isShowing() ? currentTip->text() : String();
}

void UIToolTip::updateText(const String& text, bool resize)
{
    if (!currentTip)
        return;
    currentTip->setText(text);
    if (resize)
        currentTip->resize(currentTip->preferredSize());
}

void UIToolTip::setSource(UIToolTipSource* source)
{
    installedSource = source;
}

// ---- Text and placement ----

String UIToolTip::cleanedText(const String& text, int maxLength)
{
    const bool cut = maxLength >= 1 && text.length() > maxLength;
    const String given = cut ? text.mid(0, maxLength) : text;
    String result;
    result.reserve(given.length() + 5);
    for (int i = 0; i < given.length(); ++i) {
        const wchar_t c = given.at(i);
        if (isLineBreak(c)) {
            if (!isLineBreak(given.at(i - 1)))
                result += L'\n';
        } else if (isSurrogatePairAt(given.view(), std::size_t(i))) {
            // Letters beyond the first plane are kept whole.
            result += c;
            result += given.at(++i);
        } else {
            result += isShownAsIs(c) ? c : L' ';
        }
    }
    if (cut)
        result += L" ... ";
    return result;
}

Rect UIToolTip::placement(Point cursor, Size size, const Margins& desktopPadding, int verticalOffset)
{
    const Rect below(cursor.x, cursor.y + verticalOffset, size.width, size.height);
    return Screen::fitRect(cursor, below, desktopPadding, verticalOffset, true);
}

Rect UIToolTip::rectFor(Point cursor, Size size) const
{
    return placement(cursor, size, m_style.desktopPadding, m_style.desktopVerticalOffset);
}

// ---- This tip ----

void UIToolTip::setText(const String& text)
{
    m_text = cleanedText(text, m_maximumLength);
    repaint();
}

void UIToolTip::setDelays(int showMs, int hideMs)
{
    m_showDelay = showMs;
    m_hideDelay = hideMs;
}

void UIToolTip::setPosition(Point position)
{
    m_position = position;
    move(position);
    startTimer(ToolTipShowTimerId, m_showDelay);
}

bool UIToolTip::isPending() const
{
    return isTimerActive(ToolTipShowTimerId);
}

bool UIToolTip::isPendingOrVisible() const
{
    return isPending() || isVisible();
}

Size UIToolTip::textBlockSize() const
{
    return textLinesSize(Font(m_style.text.font), textLines(m_text));
}

Size UIToolTip::sizeHint() const
{
    const Size block = textBlockSize();
    const Margins& p = m_style.padding;
    return {block.width + p.left + p.right, block.height + p.top + p.bottom};
}

void UIToolTip::setStyleProperty(const String& name, const String& value)
{
    if (m_style.text.setProperty(name, value))
        return;
    if (name == String(L"background"))
        m_style.background = parseBrushValue(value);
    else if (name == String(L"borderColor"))
        m_style.borderColor = parseColourValue(value);
    else if (name == String(L"padding"))
        m_style.padding = marginsOf(parseMarginsValue(value));
    else if (name == String(L"desktopPadding"))
        m_style.desktopPadding = marginsOf(parseMarginsValue(value));
    else if (name == String(L"desktopVerticalOffset"))
        m_style.desktopVerticalOffset = parseIntValue(value);
}

void UIToolTip::setStyleImage(const String& skinName, UISkin* skin)
{
    if (skin && skinName == String(L"UIToolTip_Background"))
        m_background = *skin;
}

// ---- Showing, tracking and hiding ----

void UIToolTip::setVisible(bool visible)
{
    if (visible) {
        UIWidget::setVisible(true);
        return;
    }
    const bool wasShowing = currentTip == this && isPendingOrVisible();
    killTimer(ToolTipShowTimerId);
    killTimer(ToolTipHideTimerId);
    killTimer(ToolTipTrackTimerId);
    if (wasShowing) {
        m_toolRect = Rect();
        lastHiding = {true, source().milliseconds()};
    }
    UIWidget::setVisible(false);
}

void UIToolTip::customEvent(UICustomEvent* event)
{
    switch (event->code()) {
    case ToolTipShowTimerId:
        showNow();
        break;
    case ToolTipTrackTimerId:
        track();
        break;
    case ToolTipHideTimerId:
        hide();
        break;
    default:
        break;
    }
}

void UIToolTip::showNow()
{
    killTimer(ToolTipShowTimerId);
    const Point cursor = source().cursorPosition();
    if (!staysFor(cursor))
        return;
    const Rect r = rectFor(cursor, preferredSize());
    resize(r.size());
    move(r.topLeft());
    setStaysOnTop(true);
    show();
    if (m_options & ToolTipHidesAfterDelay)
        restartTimer(ToolTipHideTimerId, m_hideDelay);
    if (m_hideDelay > shortTimerInterval())
        startTimer(ToolTipTrackTimerId, shortTimerInterval());
}

// Follows the pointer; each move gives the tip its full hide delay again.
void UIToolTip::track()
{
    const Point cursor = source().cursorPosition();
    if (!staysFor(cursor))
        return;
    const Point corner = rectFor(cursor, size()).topLeft();
    if (corner == geometry().topLeft())
        return;
    move(corner);
    if (m_options & ToolTipHidesAfterDelay)
        restartTimer(ToolTipHideTimerId, m_hideDelay);
}

bool UIToolTip::staysFor(Point cursor)
{
    if (!source().isMouseButtonHeld()) {
        const UIWidget* owner = parent();
        const UIWidget* window = owner ? owner->topLevelWidget() : nullptr;
        const bool overTool = !(m_options & ToolTipHidesOutsideTool) || m_toolRect.contains(cursor);
        if (window && window->isActiveWindow() && window->isVisible() && owner->isVisible() && overTool)
            return true;
    }
    hide();
    return false;
}

void UIToolTip::focusOutEvent(UIFocusEvent*)
{
    hide();
}

// ---- Painting ----

void UIToolTip::paintEvent(UIPaintEvent*)
{
    Graphics g(backBuffer());
    g.fillRect(rect(), m_style.background);
    if (!m_background.isNull()) {
        m_background.drawNineSlice(g, rect(), 0, SkinAllRegions);
    } else if (!isDropShadowEnabled()) {
        g.setPen(Pen(m_style.borderColor));
        g.drawRect(0, 0, width() - 1, height() - 1);
    }
    g.setFont(m_style.text.font);
    const Margins& p = m_style.padding;
    const Size block = textBlockSize();
    const Rect placed = rect().adjusted(p.left, p.top, -p.right, -p.bottom).alignedRect(block.width, block.height, m_alignment);
    const Point shadow = m_style.text.shadowOffset;
    const int lineHeight = g.font().height();
    int y = placed.y;
    for (const String& line : textLines(m_text)) {
        g.setPen(m_style.text.shadowForeground);
        g.drawTextRaw(line.constData(), line.length(), placed.x + shadow.x, y + shadow.y);
        g.setPen(m_style.text.foreground);
        g.drawTextRaw(line.constData(), line.length(), placed.x, y);
        y += lineHeight;
    }
}
