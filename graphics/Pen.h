#pragma once

#include "graphics/Colour.h"

#include <cstdint>

// Outlines, lines and text: a line style, a colour (also the text colour)
// and a width in pixels.
class Pen {
public:
    // Line styles; any other value draws solid.
    enum Kind : std::uint32_t { Solid = 0, Dash = 1, AlternateDots = 2, DashDot = 3, DashDotDot = 4 };

    // Transparent white, solid, width 1.
    Pen() = default;
    explicit Pen(Colour colour) : m_colour(colour) {}
    Pen(Colour colour, float width, std::uint32_t kind) : m_kind(kind), m_colour(colour), m_width(width) {}

    Colour colour() const { return m_colour; }
    void setColour(Colour colour) { m_colour = colour; }
    std::uint32_t kind() const { return m_kind; }
    void setKind(std::uint32_t kind) { m_kind = kind; }
    float width() const { return m_width; }
    void setWidth(float width) { m_width = width; }

    bool isTranslucent() const { return m_colour.isTranslucent(); }
    bool isVisible() const { return m_colour.isVisible(); }

    bool operator==(const Pen& other) const = default;

private:
    std::uint32_t m_kind = Solid;
    Colour m_colour = Colour(0x00FFFFFFu);
    float m_width = 1.0f;
};
