// The multi-line editor's frame: a thin rounded border around a clear
// centre, so the editor's own fill (normal, read-only or disabled) shows
// through; blue under the pointer or with the focus, grey when disabled.

#include "StyleCanvas.h"
#include "StyleImages.h"

#include <iterator>

namespace {

constexpr int stateSide = 12;

// Normal, (unused: as normal), under the pointer or focused, disabled.
const Colour borderColours[] = {
    Colour(200, 205, 211),
    Colour(200, 205, 211),
    Colour(79, 145, 214),
    Colour(224, 226, 229),
};

Bitmap textEditBackground()
{
    const int count = int(std::size(borderColours));
    Canvas c(stateSide, stateSide * count, 1);
    for (int i = 0; i < count; ++i) {
        const float top = float(i * stateSide);
        c.layer(borderColours[i], [&](Shapes& s) {
            s.roundedRect(0, top, stateSide, stateSide, 2);
            s.setErasing(true);
            s.rect(1, top + 1, stateSide - 2, stateSide - 2);
        });
    }
    return c.image();
}

const StyleImageRegistration textEditSkins{
    {L"skins", L"UITextEdit_Background", textEditBackground},
};

} // namespace
