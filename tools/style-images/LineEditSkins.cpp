// The line edit's frame: a one-pixel border with a clear inside, so the
// field's own background brush (normal, read-only, disabled) shows through;
// blue while active or under the pointer, grey when disabled.

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

Bitmap lineEditBackground()
{
    const int count = int(std::size(borderLooks));
    Canvas c(stateSide, stateSide * count, 1);
    for (int i = 0; i < count; ++i) {
        const float top = float(i * stateSide);
        c.layer(borderLooks[i], [&](Shapes& s) {
            s.rect(0, top, stateSide, stateSide);
            s.setErasing(true);
            s.rect(1, top + 1, stateSide - 2, stateSide - 2);
            s.setErasing(false);
        });
    }
    return c.image();
}

const StyleImageRegistration lineEditSkins{
    {L"skins", L"UILineEdit_Background", lineEditBackground},
};

} // namespace
