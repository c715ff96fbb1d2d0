#include "graphics/Brush.h"

bool Brush::isTranslucent() const
{
    return isPlain() ? m_colour.isTranslucent() : m_gradient.isTranslucent();
}

bool Brush::isVisible() const
{
    return isPlain() ? m_colour.isVisible() : m_gradient.isVisible();
}

bool Brush::operator==(const Brush& other) const
{
    return m_colour == other.m_colour && m_kind == other.m_kind && m_gradient == other.m_gradient;
}
