#include "ui/UIHeaderSection.h"

void UIHeaderSection::setVisible(bool visible)
{
    m_visible = visible;
    if (visible)
        return;
    m_rect = Rect();
    m_textRect = Rect();
}

void UIHeaderSection::setWidth(int width)
{
    if (m_minimumWidth > 0 && width < m_minimumWidth)
        width = m_minimumWidth;
    if (m_lowerBound >= 1 && width < m_lowerBound)
        width = m_lowerBound;
    m_width = width;
}

void UIHeaderSection::setMinimumWidth(int width)
{
    m_minimumWidth = width;
    setWidth(m_width);
}

void UIHeaderSection::setLowerBound(int width)
{
    m_lowerBound = width;
    setWidth(m_width);
}
