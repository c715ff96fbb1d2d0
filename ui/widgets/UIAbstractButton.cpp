#include "ui/widgets/UIAbstractButton.h"

#include "graphics/Graphics.h"
#include "ui/UIStyleValues.h"

namespace {

constexpr int keyEnter = 13;
constexpr int keySpace = 32;

} // namespace

bool UIButtonTextStyle::read(const String& name, const String& value)
{
    if (name == String(L"font"))
        font.setDesc(parseFontValue(value));
    else if (name == String(L"foreground"))
        foreground = parsePenValue(value);
    else if (name == String(L"shadowOffset"))
        shadowOffset = parsePointValue(value);
    else if (name == String(L"shadowForeground"))
        shadowForeground = parsePenValue(value);
    else if (name == String(L"disabledForeground"))
        disabledForeground = parsePenValue(value);
    else if (name == String(L"disabledShadowForeground"))
        disabledShadowForeground = parsePenValue(value);
    else
        return false;
    return true;
}

UIAbstractButton::UIAbstractButton(UIWidget* parent) : UIWidget(parent, 0)
{
    setSizePolicy(SizeFixed, SizeFixed);
}

UIAbstractButton::~UIAbstractButton() = default;

void UIAbstractButton::setText(const String& text)
{
    if (text == m_text)
        return;
    m_text = text;
    updateLayout();
    repaint();
}

void UIAbstractButton::setTextAlignment(int flags)
{
    if (flags == m_textAlignment)
        return;
    m_textAlignment = flags;
    repaint();
}

void UIAbstractButton::setCheckable(bool checkable)
{
    m_checkable = checkable;
}

void UIAbstractButton::setChecked(bool checked)
{
    if (!m_checkable || checked == m_checked)
        return;
    m_checked = checked;
    repaint();
}

void UIAbstractButton::keyPressEvent(UIKeyEvent* event)
{
    if (isActivationKey(event->key()))
        clicked.emit();
}

void UIAbstractButton::mouseClickEvent(UIMouseEvent*)
{
    clicked.emit();
}

void UIAbstractButton::mousePressEvent(UIMouseEvent*)
{
    repaint();
}

void UIAbstractButton::mouseReleaseEvent(UIMouseEvent*)
{
    repaint();
}

void UIAbstractButton::enterEvent(UIMouseEvent*)
{
    repaint();
}

void UIAbstractButton::leaveEvent(UIMouseEvent*)
{
    repaint();
}

int clickableSkinState(const UIWidget& widget)
{
    if (!widget.isEnabled())
        return SkinDisabled;
    if (widget.isPressed() && widget.isUnderMouse())
        return SkinPressedHot;
    if (widget.isPressed() || widget.isUnderMouse())
        return SkinHot;
    return SkinNormal;
}

int UIAbstractButton::clickableState() const
{
    return clickableSkinState(*this);
}

bool UIAbstractButton::isActivationKey(int key)
{
    return key == keyEnter || key == keySpace;
}

void UIAbstractButton::drawShadowedText(Graphics& g, const String& text, const Rect& box, int alignment,
                                        const Pen& pen, const Pen& shadowPen, Point shadowOffset)
{
    g.setPen(shadowPen);
    g.drawText(text, box.adjusted(shadowOffset.x, shadowOffset.y, shadowOffset.x, shadowOffset.y), alignment,
               ElideNone, 1);
    g.setPen(pen);
    g.drawText(text, box, alignment, ElideNone, 1);
}
