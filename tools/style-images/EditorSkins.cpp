// The text editors' frames: a one-pixel border with a clear inside, so the
// editor's own fill (normal, read-only, disabled) shows through; blue while
// active or under the pointer, grey when disabled. The multi-line editor's
// border has rounded corners.

#include "StyleCanvas.h"
#include "StyleImages.h"

#include <iterator>

namespace {

constexpr int stateSide = 12;

// Normal, (unused: as normal), active or under the pointer, disabled.
const Colour borderLooks[] = {
    Colour(200, 205, 211),
    Colour(200, 205, 211),
    Colour(79, 145, 214),
    Colour(224, 226, 229),
};

// Square corners for a radius of 0.
Bitmap editorBackground(float cornerRadius)
{
    const int count = int(std::size(borderLooks));
    Canvas c(stateSide, stateSide * count, 1);
    for (int i = 0; i < count; ++i) {
        const float top = float(i * stateSide);
        c.layer(borderLooks[i], [&](Shapes& s) {
            if (cornerRadius > 0)
                s.roundedRect(0, top, stateSide, stateSide, cornerRadius);
            else
                s.rect(0, top, stateSide, stateSide);
            s.setErasing(true);
            s.rect(1, top + 1, stateSide - 2, stateSide - 2);
        });
    }
    return c.image();
}

const StyleImageRegistration editorSkins{
    {L"skins", L"UILineEdit_Background", [] { return editorBackground(0); }},
    {L"skins", L"UITextEdit_Background", [] { return editorBackground(2); }},
};

} // namespace
