#include "graphics/Gradient.h"

#include <algorithm>

void Gradient::addStop(Colour colour, float position)
{
    m_stops.append(colour);
    m_positions.append(position);
}

void Gradient::setStops(const Array<Colour>& colours)
{
    m_stops = colours;
    m_positions.clear();
    int n = colours.count();
    float step = n > 1 ? 1.0f / float(n - 1) : 0.0f;
    float position = 0.0f;
    for (int i = 0; i < n; ++i, position += step)
        m_positions.append(position);
}

bool Gradient::isTranslucent() const
{
    return std::any_of(m_stops.begin(), m_stops.end(), [](Colour c) { return c.isTranslucent(); });
}

bool Gradient::isVisible() const
{
    return std::any_of(m_stops.begin(), m_stops.end(), [](Colour c) { return c.isVisible(); });
}

bool Gradient::operator==(const Gradient& other) const
{
    if (m_kind != other.m_kind || stopCount() != other.stopCount())
        return false;
    for (int i = 0; i < stopCount(); ++i) {
        if (m_positions[i] != other.m_positions[i] || m_stops[i] != other.m_stops[i])
            return false;
    }
    return true;
}
