// The hot-key field's frame: a white field with a thin border, blue under
// the pointer or with the focus, grey when disabled.

#include "StyleCanvas.h"
#include "StyleImages.h"

#include <iterator>

namespace {

constexpr int stateSide = 12;

struct FieldLook {
    Colour border;
    Colour face;
};

// Normal, (unused: as normal), under the pointer or focused, disabled.
const FieldLook fieldLooks[] = {
    {Colour(200, 205, 211), Colour(255, 255, 255)},
    {Colour(200, 205, 211), Colour(255, 255, 255)},
    {Colour(79, 145, 214), Colour(255, 255, 255)},
    {Colour(224, 226, 229), Colour(245, 245, 245)},
};

Bitmap hotKeyBackground()
{
    const int count = int(std::size(fieldLooks));
    Canvas c(stateSide, stateSide * count, 1);
    for (int i = 0; i < count; ++i) {
        const float top = float(i * stateSide);
        c.layer(fieldLooks[i].border, [&](Shapes& s) { s.roundedRect(0, top, stateSide, stateSide, 2); });
        c.layer(fieldLooks[i].face, [&](Shapes& s) { s.roundedRect(1, top + 1, stateSide - 2, stateSide - 2, 1); });
    }
    return c.image();
}

const StyleImageRegistration hotKeySkins{
    {L"skins", L"UIHotKey_Background", hotKeyBackground},
};

} // namespace
