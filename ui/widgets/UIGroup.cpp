#include "ui/widgets/UIGroup.h"

#include "foundation/Event.h"
#include "graphics/DrawingSurface.h"
#include "graphics/Font.h"
#include "graphics/Graphics.h"
#include "ui/UIStyleValues.h"

#include <algorithm>

namespace {

constexpr int indicatorNormal = 0;
constexpr int indicatorHover = 1;
constexpr int indicatorDisabled = 3;
constexpr int indicatorChecked = 4;

// The frame starts this far below the band.
constexpr int bandGap = 2;
// Room around the title in the size hint.
constexpr int titleRoom = 20;

} // namespace

UIGroup::UIGroup(UIWidget* parent) : UIWidget(parent)
{
    setSizePolicy(SizeResizable, SizeResizable);
    setFlag(WidgetSeeThrough, true);
    setFlag(WidgetHoverTracking, true);
    setLayoutVertical(true);
    applyLayoutSpacingMetrics();
    setStyleName(L"UIGroup");
    updateTopMargin();
}

void UIGroup::setTitle(const String& title)
{
    if (title == m_title)
        return;
    m_title = title;
    updateTopMargin();
}

void UIGroup::setCheckable(bool on)
{
    if (on == m_checkable)
        return;
    m_checkable = on;
    updateTopMargin();
}

void UIGroup::setChecked(bool on)
{
    if (!m_checkable || on == m_checked)
        return;
    m_checked = on;
    repaint();
    toggled.emit();
}

int UIGroup::fontHeight() const
{
    return m_text.font.height();
}

int UIGroup::titleTextWidth() const
{
    return m_text.font.textWidth(m_title.c_str(), m_title.length());
}

int UIGroup::indicatorRoom() const
{
    return m_checkable ? m_indicator.stateWidth() + m_indicatorSpacing : 0;
}

int UIGroup::bandHeight() const
{
    const int textHeight = m_title.isEmpty() ? 0 : fontHeight();
    const int indicatorHeight = m_checkable ? m_indicator.stateHeight() : 0;
    return std::max(textHeight, indicatorHeight);
}

void UIGroup::updateTopMargin()
{
    applyLayoutMarginMetrics();
    if (!hasBand())
        return;
    // The font height counts even without a title, so that a checkable
    // group's children line up with those of titled groups.
    const int indicatorHeight = m_checkable ? m_indicator.stateHeight() : 0;
    setLayoutTopMargin(layoutMargins().top + std::max(fontHeight(), indicatorHeight));
}

Rect UIGroup::titleRect() const
{
    if (!m_title.isEmpty())
        return Rect(0, 0, titleTextWidth() + indicatorRoom(), bandHeight());
    if (m_checkable)
        return Rect(0, 0, m_indicator.stateWidth(), bandHeight());
    return Rect();
}

int UIGroup::indicatorState() const
{
    const int checked = m_checked ? indicatorChecked : 0;
    if (!isEnabled())
        return indicatorDisabled + checked;
    // The cursor position is on the screen; the title rectangle is the
    // widget's own.
    const bool hovered = titleRect().contains(mapFromGlobal(cursorPosition()));
    return (hovered ? indicatorHover : indicatorNormal) + checked;
}

Size UIGroup::sizeHint() const
{
    const int titleWidth = (m_title.isEmpty() ? 0 : titleTextWidth()) + indicatorRoom();
    const int titleHeight = hasBand() ? bandHeight() + bandGap : 0;
    // Building the layout's cells only refreshes its cache.
    const Size layout = const_cast<UIGroup*>(this)->layoutSize();
    return Size{std::max(layout.width, titleWidth + titleRoom), std::max(layout.height, titleHeight + titleRoom)};
}

void UIGroup::paintEvent(UIPaintEvent*)
{
    Graphics g(backBuffer());
    if (!m_background.isTranslucent())
        g.fillRect(rect(), m_background);
    const int frameTop = hasBand() ? bandHeight() + bandGap : 0;
    m_frame.drawNineSlice(g, Rect(0, frameTop, width(), std::max(0, height() - frameTop)), 0, SkinAllRegions);
    if (!m_title.isEmpty())
        drawTitle(g);
    if (m_checkable)
        m_indicator.drawAt(g, Point{0, 0}, indicatorState(), SkinAllRegions);
}

void UIGroup::drawTitle(Graphics& g) const
{
    const int room = indicatorRoom();
    g.setFont(m_text.font.desc());
    UIAbstractButton::drawShadowedText(g, m_title, Rect(room, 0, width() - room, bandHeight()), m_titleAlignment,
                                       isEnabled() ? m_text.foreground : m_text.disabledForeground,
                                       m_text.shadowForeground, m_text.shadowOffset);
}

void UIGroup::mouseMoveEvent(UIMouseEvent* event)
{
    if (!takesMouse())
        return;
    const bool hovered = titleRect().contains(event->position());
    if (hovered == m_hovered)
        return;
    m_hovered = hovered;
    repaint();
}

void UIGroup::leaveEvent(UIMouseEvent*)
{
    if (!takesMouse())
        return;
    m_hovered = false;
    repaint();
}

void UIGroup::mousePressEvent(UIMouseEvent* event)
{
    if (takesMouse() && event->button() == LeftButton)
        m_pressed = titleRect().contains(event->position());
}

void UIGroup::mouseReleaseEvent(UIMouseEvent* event)
{
    if (!takesMouse() || event->button() != LeftButton || !m_pressed)
        return;
    m_pressed = false;
    if (titleRect().contains(event->position()))
        setChecked(!m_checked);
}

void UIGroup::setStyleProperty(const String& name, const String& value)
{
    if (m_text.read(name, value))
        return;
    if (name == String(L"background"))
        m_background = parseBrushValue(value);
    else if (name == String(L"indicatorSpacing"))
        m_indicatorSpacing = parseIntValue(value);
}

void UIGroup::setStyleImage(const String& skinName, UISkin* skin)
{
    if (skinName == String(L"UIGroup_Background"))
        m_frame = *skin;
    else if (skinName == String(L"UIGroup_Indicator"))
        m_indicator = *skin;
}
