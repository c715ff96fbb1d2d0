#include "ui/widgets/UICheck.h"

#include "graphics/DrawingSurface.h"
#include "graphics/Graphics.h"
#include "ui/UIStyleValues.h"

#include <algorithm>

UICheck::UICheck(UIWidget* parent, const String& text) : UIAbstractButton(parent)
{
    setStyleName(L"UICheck");
    setFlag(WidgetInputControl, true);
    setFlag(WidgetSeeThrough, true);
    setFlag(WidgetHoverTracking, true);
    setFocusPolicy(TabFocus | ClickFocus);
    setCheckable(true);
    setText(text);
}

UICheck::~UICheck() = default;

Size UICheck::sizeHint() const
{
    const int textWidth = text().isEmpty() ? 0 : m_text.font.textSize(text()).width;
    return {m_indicatorSize.width + m_indicatorSpacing + textWidth + 2,
            std::max(m_text.font.height(), m_indicatorSize.height)};
}

void UICheck::setStyleProperty(const String& name, const String& value)
{
    if (m_text.read(name, value))
        return;
    if (name == String(L"indicatorSize"))
        m_indicatorSize = parseSizeValue(value);
    else if (name == String(L"indicatorSpacing"))
        m_indicatorSpacing = parseIntValue(value);
}

void UICheck::setStyleImage(const String& skinName, UISkin* skin)
{
    if (skin && skinName == String(L"UICheck_Indicator"))
        m_indicator = *skin;
}

void UICheck::setChecked(bool checked)
{
    if (!isCheckable() || checked == isChecked())
        return;
    UIAbstractButton::setChecked(checked);
    toggled.emit();
}

void UICheck::paintEvent(UIPaintEvent*)
{
    Graphics g(backBuffer());
    m_indicator.drawAligned(g, Rect(0, 0, m_indicatorSize.width, height()), AlignCenter,
                            clickableState() + (isChecked() ? SkinChecked : 0));
    if (text().isEmpty())
        return;
    const int left = m_indicatorSize.width + m_indicatorSpacing;
    const Rect box(left, 0, std::max(0, width() - left), height());
    g.setFont(m_text.font.desc());
    if (isEnabled())
        drawShadowedText(g, text(), box, textAlignment(), m_text.foreground, m_text.shadowForeground,
                         m_text.shadowOffset);
    else
        drawShadowedText(g, text(), box, textAlignment(), m_text.disabledForeground,
                         m_text.disabledShadowForeground, m_text.shadowOffset);
}

void UICheck::keyPressEvent(UIKeyEvent* event)
{
    if (isActivationKey(event->key()))
        setChecked(!isChecked());
    UIAbstractButton::keyPressEvent(event);
}

void UICheck::mouseClickEvent(UIMouseEvent* event)
{
    if (event->button() == LeftButton)
        setChecked(!isChecked());
    UIAbstractButton::mouseClickEvent(event);
}
