#include "ui/widgets/UILink.h"

#include "foundation/DateTime.h"
#include "foundation/ShellCommands.h"
#include "graphics/DrawingSurface.h"
#include "graphics/Graphics.h"
#include "ui/UIStyleValues.h"

namespace {

// A second click within this time (a double click) opens nothing more.
constexpr std::int64_t reopenGuardMilliseconds = 200;

UILinkServices* installedServices = nullptr;

UILinkServices& services()
{
    static UILinkServices platform;
    return installedServices ? *installedServices : platform;
}

} // namespace

std::int64_t UILinkServices::milliseconds() const
{
    return preciseMilliseconds();
}

void UILinkServices::shellOpen(const String& target)
{
    openPath(target);
}

void UILink::setServices(UILinkServices* services)
{
    installedServices = services;
}

UILink::UILink(UIWidget* parent, const String& text, const String& target) : UIWidget(parent)
{
    setStyleName(L"UILink");
    setFlag(WidgetSeeThrough, true);
    setFlag(WidgetHoverTracking, true);
    setSizePolicy(SizeFixed, SizeFixed);
    setCursor(Cursor(CursorHand));
    setText(text);
    setTarget(target);
}

UILink::~UILink() = default;

void UILink::setText(const String& text)
{
    if (text == m_text)
        return;
    m_text = text;
    updateLayout();
    repaint();
}

void UILink::setToolTipPrefix(const String& prefix)
{
    m_toolTipPrefix = prefix;
    setToolTip(prefix + m_target);
}

void UILink::setTarget(const String& target)
{
    // A tip the link wrote itself names the old target: it follows too.
    const bool ownTip = toolTipText().isEmpty() || toolTipText() == m_toolTipPrefix + m_target;
    m_target = target;
    if (ownTip && hasAutoToolTip())
        setToolTip(m_toolTipPrefix + target);
}

void UILink::setFont(const FontDesc& font)
{
    m_style.font.setDesc(font);
    updateLayout();
    repaint();
}

void UILink::setHoveredFont(const FontDesc& font)
{
    m_hoveredFont.setDesc(font);
    repaint();
}

void UILink::setFontSize(float points)
{
    FontDesc font = m_style.font.desc();
    font.setSize(points);
    FontDesc hovered = m_hoveredFont.desc();
    hovered.setSize(points);
    m_hoveredFont.setDesc(hovered);
    setFont(font);
}

UILinkLook UILink::look(bool pointerOver) const
{
    if (!isEnabled()) {
        const FontDesc& font = m_hoverMode == LinkAlwaysHovered ? m_hoveredFont.desc() : m_style.font.desc();
        return {font, m_style.disabledShadowForeground, m_style.disabledForeground};
    }
    const bool hoveredFontAndShadow =
        m_hoverMode == LinkAlwaysHovered || (pointerOver && m_hoverMode != LinkHoverKeepsShadow);
    return {pointerOver || m_hoverMode == LinkAlwaysHovered ? m_hoveredFont.desc() : m_style.font.desc(),
            hoveredFontAndShadow ? m_hoveredShadowForeground : m_style.shadowForeground,
            pointerOver ? m_hoveredForeground : m_style.foreground};
}

Size UILink::sizeHint() const
{
    const String& shown = m_text.isEmpty() ? m_target : m_text;
    return {m_style.font.textWidth(shown.constData(), shown.length()), m_style.font.height()};
}

void UILink::setStyleProperty(const String& name, const String& value)
{
    if (m_style.read(name, value))
        return;
    if (name == String(L"hoveredFont"))
        m_hoveredFont.setDesc(parseFontValue(value));
    else if (name == String(L"hoveredForeground"))
        m_hoveredForeground = parsePenValue(value);
    else if (name == String(L"hoveredShadowForeground"))
        m_hoveredShadowForeground = parsePenValue(value);
}

void UILink::paintEvent(UIPaintEvent*)
{
    Graphics g(backBuffer());
    const UILinkLook l = look(isUnderMouse());
    g.setFont(l.font);
    UIAbstractButton::drawShadowedText(g, m_text, rect(), AlignCenter, l.text, l.shadow, m_style.shadowOffset);
}

void UILink::mouseClickEvent(UIMouseEvent* event)
{
    if (event->button() != LeftButton)
        return;
    const std::int64_t now = services().milliseconds();
    if (!m_target.isEmpty() && now - m_lastOpening > reopenGuardMilliseconds) {
        m_lastOpening = now;
        services().shellOpen(m_target);
    }
    clicked.emit();
}

void UILink::enterEvent(UIMouseEvent*)
{
    repaint();
}

void UILink::leaveEvent(UIMouseEvent*)
{
    repaint();
}
