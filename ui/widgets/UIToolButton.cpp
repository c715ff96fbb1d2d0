#include "ui/widgets/UIToolButton.h"

#include "graphics/DrawingSurface.h"
#include "graphics/Graphics.h"
#include "ui/TimerService.h"
#include "ui/widgets/UIMenu.h"

#include <algorithm>

namespace {

// The arrow of a drop-down button sits in this much extra width.
constexpr int menuArrowWidth = 12;
// Between the icon and the caption below it.
constexpr int captionGap = 4;
constexpr double pressedShadowDarkening = 0.15;

} // namespace

UIToolButton::UIToolButton(UIWidget* parent, const StateImages& icon, const String& text)
    : UIAbstractButton(parent), m_icon(icon)
{
    setText(text);
    setStyleName(L"UIToolButton");
    setFlag(WidgetSeeThrough, true);
    setFlag(WidgetHoverTracking, true);
    setFocusPolicy(TabFocus | ClickFocus);
    setTextAlignment(AlignBottom | AlignHCenter);
}

UIToolButton::~UIToolButton()
{
    killTimer(ToolButtonMenuGuardTimerId);
}

Size UIToolButton::sizeHint() const
{
    Size size = m_icon.size();
    if (m_displayMode == ToolButtonIconAndCaption) {
        if (!text().isEmpty())
            size.width = std::max(size.width, m_text.font.textWidth(text().constData(), text().length()));
        size.height += m_text.font.height() + captionGap;
    }
    size.width += m_padding.left + m_padding.right + arrowRoom();
    size.height += m_padding.top + m_padding.bottom;
    return size;
}

void UIToolButton::setStyleProperty(const String& name, const String& value)
{
    if (m_text.read(name, value))
        return;
    if (name == String(L"padding"))
        m_padding = parseMarginsValue(value);
}

void UIToolButton::setStyleImage(const String& skinName, UISkin* skin)
{
    if (!skin)
        return;
    if (skinName == String(L"UIToolButton_Background"))
        m_background = *skin;
    else if (skinName == String(L"UIToolButton_Arrow"))
        m_arrow = *skin;
}

void UIToolButton::setDisplayMode(int mode)
{
    m_displayMode = mode;
    updateLayout();
    repaint();
}

void UIToolButton::setPadding(const UIMargins& padding)
{
    m_padding = padding;
    updateLayout();
    repaint();
}

void UIToolButton::setIcon(const StateImages& icon)
{
    m_icon = icon;
    updateLayout();
    repaint();
}

void UIToolButton::setFlat(bool flat)
{
    m_flat = flat;
    repaint();
}

void UIToolButton::setMenu(UIMenu* menu)
{
    if (m_menu)
        m_menu->hidden.disconnectReceiver(this);
    m_menu = menu;
    updateLayout();
    if (!menu)
        return;
    setCheckable(true);
    menu->hidden.connect(this, &UIToolButton::menuHidden);
}

void UIToolButton::menuHidden()
{
    setChecked(false);
    m_menuReady = false;
    startTimer(ToolButtonMenuGuardTimerId, shortTimerInterval());
}

bool UIToolButton::isMenuVisible() const
{
    return m_menu && m_menu->isVisible();
}

int UIToolButton::arrowRoom() const
{
    return m_menu ? menuArrowWidth : 0;
}

int UIToolButton::backgroundState() const
{
    if (!isEnabled())
        return SkinDisabled;
    if (isCheckable()) {
        if (isChecked())
            return SkinPressedHot;
        return isUnderMouse() ? SkinHot : SkinNormal;
    }
    if (isMenuVisible() || isPressedUnderMouse())
        return SkinPressedHot;
    return isUnderMouse() ? SkinHot : SkinNormal;
}

int UIToolButton::iconState() const
{
    if (!isEnabled())
        return StateImages::Disabled;
    if (isMenuVisible() || isPressedUnderMouse() || (isCheckable() && isChecked()))
        return StateImages::Pressed;
    return isUnderMouse() ? StateImages::Hot : StateImages::Normal;
}

void UIToolButton::paintEvent(UIPaintEvent*)
{
    Graphics g(backBuffer());
    const Rect r = rect();
    if (!m_flat) {
        const int state = backgroundState();
        m_background.drawNineSlice(g, r, state, SkinAllRegions);
        if (m_menu)
            m_arrow.drawAligned(g, r.adjusted(0, 0, -m_padding.right, 0), AlignRight | AlignVCenter, state);
    }
    if (!m_icon.isNull()) {
        const Rect iconBox = r.adjusted(0, m_padding.top, -arrowRoom(), 0);
        m_icon.draw(g, iconBox, AlignTop | AlignHCenter, iconState());
    }
    if (m_displayMode != ToolButtonIconOnly && !text().isEmpty())
        paintCaption(g);
}

void UIToolButton::paintCaption(Graphics& g) const
{
    Pen shadow = m_text.shadowForeground;
    if (isPressedUnderMouse() || isChecked())
        shadow.setColour(shadow.colour().darker(pressedShadowDarkening));
    const Pen& pen = isEnabled() ? m_text.foreground : m_text.disabledForeground;
    g.setFont(m_text.font.desc());
    drawShadowedText(g, text(), rect().adjusted(0, 0, 0, -m_padding.bottom), textAlignment(), pen, shadow,
                     m_text.shadowOffset);
}

void UIToolButton::mousePressEvent(UIMouseEvent* event)
{
    UIAbstractButton::mousePressEvent(event);
    if (!m_menu || !isEnabled() || !m_menuReady)
        return;
    setChecked(true);
    m_menu->popup(mapToGlobal(Point(0, height())));
}

void UIToolButton::customEvent(UICustomEvent* event)
{
    if (event->code() != ToolButtonMenuGuardTimerId)
        return;
    killTimer(ToolButtonMenuGuardTimerId);
    m_menuReady = true;
}
