#pragma once

// Flat, smooth-edged drawing for the style's images. Every shape is painted
// white on black at four times the final size; the box-filtered result
// becomes the alpha of one flat colour, which gives smooth edges although
// the painter itself does not smooth them.

#include "graphics/Bitmap.h"
#include "graphics/Colour.h"
#include "graphics/Graphics.h"

#include <functional>
#include <utility>
#include <vector>

// White (or, erasing, black) shapes on an oversampled surface; coordinates
// are multiplied by unit, so icons are drawn in a 0..1 box and skins in
// their own pixels.
class Shapes {
public:
    Shapes(Graphics& g, float unit);

    void setErasing(bool erasing);
    void rect(float x, float y, float w, float h);
    void circle(float cx, float cy, float r);
    void roundedRect(float x, float y, float w, float h, float r);
    void polygon(const std::vector<std::pair<float, float>>& points);
    // A stroke of the given width with square ends.
    void line(float x1, float y1, float x2, float y2, float width);
    // The band between two radii from one angle to another, in degrees
    // counted anticlockwise from the right on the screen.
    void arc(float cx, float cy, float outer, float inner, float from, float to);

private:
    int pixel(float v) const;
    Rect scaled(float x, float y, float w, float h) const;

    Graphics& m_g;
    float m_unit;
    Colour m_ink;
};

// An image built from flat layers, each a colour shown through shapes.
class Canvas {
public:
    Canvas(int width, int height, float unit);

    void layer(Colour colour, const std::function<void(Shapes&)>& draw);
    const Bitmap& image() const { return m_image; }

private:
    Bitmap m_image;
    float m_unit;
};
