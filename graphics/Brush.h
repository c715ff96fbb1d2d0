#pragma once

#include "graphics/Colour.h"
#include "graphics/Gradient.h"

#include <cstdint>

// A fill: a plain colour, or the gradient when it has at least one stop.
class Brush {
public:
    // Transparent white, kind 0.
    Brush() = default;
    // kind is a caller's tag: compared by equality, read by no drawing code.
    explicit Brush(Colour colour, std::uint32_t kind = 0) : m_kind(kind), m_colour(colour) {}
    explicit Brush(const Gradient& gradient) : m_gradient(gradient) {}

    Colour colour() const { return m_colour; }
    void setColour(Colour colour) { m_colour = colour; }
    const Gradient& gradient() const { return m_gradient; }
    void setGradient(const Gradient& gradient) { m_gradient = gradient; }
    std::uint32_t kind() const { return m_kind; }
    void setKind(std::uint32_t kind) { m_kind = kind; }

    bool isPlain() const { return m_gradient.isEmpty(); }
    // Plain: the colour's tests; with stops: the gradient's, whatever the
    // plain colour holds.
    bool isTranslucent() const;
    bool isVisible() const;

    bool operator==(const Brush& other) const;

private:
    std::uint32_t m_kind = 0;
    Colour m_colour = Colour(0x00FFFFFFu);
    Gradient m_gradient;
};
