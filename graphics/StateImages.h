#pragma once

#include "foundation/Geometry.h"
#include "graphics/Bitmap.h"

class Graphics;

// The four images a button or menu action draws for its states. Copies
// share the four Bitmaps.
class StateImages {
public:
    enum State : int { Normal = 0, Disabled = 1, Hot = 2, Pressed = 3, StateCount = 4 };

    // Four empty images.
    StateImages() = default;
    explicit StateImages(const Bitmap& image);
    // The four derived from the image file at path (Bitmap::load); four
    // empty images when it does not load.
    explicit StateImages(const String& path);

    // Derives all four from image (the source itself is never changed): the
    // normal image, hot with gamma 1.15, pressed with gamma 0.9, disabled
    // greyed with less contrast at 35% of its alpha; all end premultiplied.
    // A 24-bit source is taken as opaque 32-bit. An empty image leaves the
    // four as they are.
    void setImage(const Bitmap& image);
    // A deep copy of image for that state; other states do nothing.
    void setStateImage(int state, const Bitmap& image);

    // The shared empty Bitmap, resp. an empty Size, for a state outside 0-3.
    const Bitmap& image(int state) const;
    Size imageSize(int state) const;

    // The largest width and height of the four.
    int width() const;
    int height() const;
    Size size() const { return {width(), height()}; }
    // All four are empty.
    bool isNull() const;

    // The image of the state, unscaled, placed in box by Alignment flags;
    // nothing for a state outside 0-3.
    void draw(Graphics& painter, const Rect& box, int flags, int state) const;

private:
    static bool isState(int state) { return state >= 0 && state < StateCount; }

    Bitmap m_images[StateCount];
};
