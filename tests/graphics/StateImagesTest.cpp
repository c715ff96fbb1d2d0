#include "graphics/StateImages.h"

#include "tests/graphics/GraphicsTestSupport.h"
#include "tests/support/GeometryPrinting.h"

#include <gtest/gtest.h>

namespace {

// One opaque mid-grey pixel beside one fully transparent pixel.
Bitmap twoPixels()
{
    Bitmap source(2, 1, true);
    source.setPixel(0, 0, Colour(0xFF808080u));
    source.setPixel(1, 0, Colour(0x00808080u));
    return source;
}

} // namespace

TEST(StateImages, DerivesFourPremultipliedImages)
{
    Bitmap source = twoPixels();
    StateImages images(source);
    for (int state = 0; state < StateImages::StateCount; ++state) {
        const Bitmap& image = images.image(state);
        ASSERT_FALSE(image.isNull());
        EXPECT_TRUE(image.isPremultiplied());
        EXPECT_NE(image.bits(), source.bits());
        EXPECT_EQ(image.pixel(1, 0), Colour(0u)) << state;
    }
    EXPECT_EQ(images.image(StateImages::Normal).pixel(0, 0), Colour(0xFF808080u));
    EXPECT_GT(images.image(StateImages::Hot).pixel(0, 0).red(), 0x80);
    EXPECT_LT(images.image(StateImages::Pressed).pixel(0, 0).red(), 0x80);
    EXPECT_EQ(images.image(StateImages::Disabled).pixel(0, 0).alpha(), 89);
    // The source is never changed.
    EXPECT_TRUE(sameBytes(source, twoPixels()));
    EXPECT_FALSE(source.isPremultiplied());

    // An opaque source is expanded to 32 bits.
    const StateImages fromOpaque(filledBitmap(3, 2, Colour(0xFF404040u), false));
    EXPECT_TRUE(fromOpaque.image(StateImages::Normal).hasAlpha());
    EXPECT_EQ(fromOpaque.image(StateImages::Normal).pixel(2, 1), Colour(0xFF404040u));
    EXPECT_EQ(fromOpaque.image(StateImages::Disabled).pixel(2, 1).alpha(), 89);
}

TEST(StateImages, PremultipliedSourceIsMadeStraightFirst)
{
    Bitmap source(1, 1, true);
    source.setPixel(0, 0, Colour(0x80FF0000u));
    Bitmap premultiplied = source.copy();
    premultiplied.setPremultiplied(true);
    StateImages fromStraight(source);
    StateImages fromPremultiplied(premultiplied);
    // Red 255 at alpha 128 premultiplies to 127, comes back straight as 253
    // and premultiplies to 126; premultiplying 127 a second time would give 63.
    EXPECT_EQ(fromPremultiplied.image(0).pixel(0, 0), Colour(0x807E0000u));
    EXPECT_EQ(fromStraight.image(0).pixel(0, 0), Colour(0x807F0000u));
    EXPECT_TRUE(premultiplied.isPremultiplied());
}

TEST(StateImages, BadStatesAndEmptySources)
{
    StateImages images;
    EXPECT_TRUE(images.isNull());
    EXPECT_EQ(images.size(), (Size{0, 0}));
    images.setImage(twoPixels());
    const std::uint8_t* normal = images.image(0).bits();
    images.setImage(Bitmap());
    EXPECT_EQ(images.image(0).bits(), normal);
    for (int state : {-1, 4, 1000}) {
        EXPECT_EQ(&images.image(state), &Bitmap::null());
        EXPECT_EQ(images.imageSize(state), Size());
        images.setStateImage(state, Bitmap(9, 9, true));
    }
    EXPECT_EQ(images.size(), (Size{2, 1}));
}

TEST(StateImages, SetStateImageCopiesAndCopiesShare)
{
    StateImages images;
    Bitmap tall(1, 7, true);
    images.setStateImage(StateImages::Pressed, tall);
    images.setStateImage(StateImages::Hot, Bitmap(5, 2, false));
    EXPECT_NE(images.image(StateImages::Pressed).bits(), tall.bits());
    EXPECT_EQ(images.width(), 5);
    EXPECT_EQ(images.height(), 7);
    EXPECT_EQ(images.imageSize(StateImages::Hot), (Size{5, 2}));
    EXPECT_FALSE(images.isNull());

    StateImages copy = images;
    EXPECT_EQ(copy.image(StateImages::Pressed).bits(), images.image(StateImages::Pressed).bits());
}
