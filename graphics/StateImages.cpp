#include "graphics/StateImages.h"

#include "graphics/Graphics.h"

#include <algorithm>

namespace {

// Straight (not premultiplied) 32-bit pixels for deriving the states from.
Bitmap straightSource(const Bitmap& image)
{
    if (!image.hasAlpha())
        return Bitmap::fromPixels(image.bits(), image.width(), image.height(), false, image.byteCount());
    if (!image.isPremultiplied())
        return image;
    Bitmap straight = image.copy();
    straight.setPremultiplied(false);
    return straight;
}

Bitmap premultiplied(Bitmap image)
{
    image.setPremultiplied(true);
    return image;
}

Bitmap gammaCopy(const Bitmap& source, float gamma)
{
    Bitmap result = source.copy();
    result.applyGamma(gamma);
    return result;
}

Bitmap disabledCopy(const Bitmap& source)
{
    Bitmap result = source.copy();
    result.toGrey();
    result.adjustBrightnessContrast(0, -20);
    std::uint8_t* p = result.bits();
    for (std::uint32_t i = 0; i < result.pixelCount(); ++i, p += 4)
        p[3] = std::uint8_t(p[3] * 35 / 100);
    return result;
}

} // namespace

StateImages::StateImages(const Bitmap& image)
{
    setImage(image);
}

StateImages::StateImages(const String& path)
{
    setImage(Bitmap::load(path));
}

void StateImages::setImage(const Bitmap& image)
{
    if (image.isNull())
        return;
    Bitmap source = straightSource(image);
    if (source.isNull())
        return;
    m_images[Normal] = premultiplied(source.copy());
    m_images[Hot] = premultiplied(gammaCopy(source, 1.15f));
    m_images[Pressed] = premultiplied(gammaCopy(source, 0.9f));
    m_images[Disabled] = premultiplied(disabledCopy(source));
}

void StateImages::setStateImage(int state, const Bitmap& image)
{
    if (isState(state))
        m_images[state] = image.copy();
}

const Bitmap& StateImages::image(int state) const
{
    return isState(state) ? m_images[state] : Bitmap::null();
}

Size StateImages::imageSize(int state) const
{
    return isState(state) ? m_images[state].size() : Size();
}

int StateImages::width() const
{
    int result = 0;
    for (const Bitmap& image : m_images)
        result = std::max(result, image.width());
    return result;
}

int StateImages::height() const
{
    int result = 0;
    for (const Bitmap& image : m_images)
        result = std::max(result, image.height());
    return result;
}

bool StateImages::isNull() const
{
    return std::all_of(std::begin(m_images), std::end(m_images), [](const Bitmap& image) { return image.isNull(); });
}

void StateImages::draw(Graphics& painter, const Rect& box, int flags, int state) const
{
    painter.drawBitmapAligned(image(state), box, flags);
}
