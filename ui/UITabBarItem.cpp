#include "ui/UITabBarItem.h"

#include "ui/UIWidget.h"

void UITabBarItem::setText(const String& text)
{
    m_text = text;
    repaintOwner();
}

void UITabBarItem::setIcon(const StateImages& icon)
{
    m_icon = icon;
    repaintOwner();
}

void UITabBarItem::setChecked(bool on)
{
    if (m_checkable)
        m_checked = on;
}

void UITabBarItem::repaintOwner()
{
    if (m_owner)
        m_owner->repaint();
}
