#pragma once

#include "foundation/Array.h"
#include "graphics/Colour.h"

#include <cstdint>

// Colour stops across a fill: kind 1 changes colour from top to bottom (one
// colour per row); any other kind from left to right (one per column).
// Positions run from 0.0 at the start edge to 1.0 at the end, ascending.
class Gradient {
public:
    enum : std::uint32_t { Vertical = 1 };

    explicit Gradient(std::uint32_t kind = Vertical) : m_kind(kind) {}

    std::uint32_t kind() const { return m_kind; }
    void setKind(std::uint32_t kind) { m_kind = kind; }

    void addStop(Colour colour, float position);
    // Replaces every stop: the colours at evenly spaced positions 0, 1/(n-1),
    // ... (each the previous plus the step); one colour sits at 0.
    void setStops(const Array<Colour>& colours);

    int stopCount() const { return m_stops.count(); }
    Colour stop(int i) const { return m_stops[i]; }
    float position(int i) const { return m_positions[i]; }
    bool isEmpty() const { return m_stops.isEmpty(); }
    // Some stop has alpha < 255, resp. != 0; false without stops.
    bool isTranslucent() const;
    bool isVisible() const;

    // Same kind and the same stops at the same positions. Two empty
    // gradients of one kind are equal.
    bool operator==(const Gradient& other) const;

private:
    std::uint32_t m_kind;
    Array<Colour> m_stops;
    Array<float> m_positions;
};
