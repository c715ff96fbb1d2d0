#include "graphics/AffineTransform.h"

#include "tests/support/RowTable.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

struct Mapped {
    float x, y;
};

Mapped mapped(const AffineTransform& t, float x, float y)
{
    Mapped m{};
    t.map(x, y, m.x, m.y);
    return m;
}

} // namespace

TEST(AffineTransform, QuarterTurnsAreExact)
{
    struct Row {
        float degrees, s, c;
    };
    const Row rows[] = {
        {90, 1, 0}, {-270, 1, 0}, {270, -1, 0}, {-90, -1, 0}, {180, 0, -1},
    };
    forEachRow(rows, [](const Row& row) {
        AffineTransform t;
        t.rotate(row.degrees);
        EXPECT_EQ(t.m11(), row.c);
        EXPECT_EQ(t.m12(), row.s);
        EXPECT_EQ(t.m21(), -row.s);
        EXPECT_EQ(t.m22(), row.c);
        EXPECT_TRUE(t.isAffine());
    });
    AffineTransform t;
    t.rotate(45);
    EXPECT_FLOAT_EQ(t.m11(), 0.70710677f);
    EXPECT_FLOAT_EQ(t.m12(), 0.70710677f);
}

TEST(AffineTransform, LaterOperationsActOnThePointFirst)
{
    AffineTransform t;
    t.translate(10, 0);
    t.scale(2, 2);
    Mapped m = mapped(t, 1, 0);
    EXPECT_EQ(m.x, 12);
    EXPECT_EQ(m.y, 0);
    AffineTransform r;
    r.translate(5, 0);
    r.rotate(90);
    m = mapped(r, 1, 0);
    EXPECT_EQ(m.x, 5);
    EXPECT_EQ(m.y, 1);
}

TEST(AffineTransform, InverseAndTheSingularMatrix)
{
    AffineTransform t;
    t.translate(3, -7);
    t.rotate(30);
    t.scale(2, 0.5f);
    EXPECT_FLOAT_EQ(t.determinant(), 1.0f);
    EXPECT_TRUE((t * t.inverted()).isIdentity());
    AffineTransform product = t.inverted();
    product *= t;
    EXPECT_TRUE(product.isIdentity());

    const AffineTransform singular(1, 2, 0, 2, 4, 0, 5, 6, 1);
    EXPECT_EQ(singular.determinant(), 0.0f);
    EXPECT_FALSE(singular.isInvertible());
    EXPECT_TRUE(singular.inverted().isIdentity());
}

TEST(AffineTransform, FuzzyEqualityAndPredicates)
{
    const AffineTransform identity;
    EXPECT_EQ(identity, AffineTransform(1 + 1e-7f, 0, 0, 0, 1, 0, 0, 0, 1));
    EXPECT_NE(identity, AffineTransform(1 + 1e-5f, 0, 0, 0, 1, 0, 0, 0, 1));
    EXPECT_EQ(identity, AffineTransform(1, 0, 0, 0, 1, 0, 1e-7f, 0, 1));
    EXPECT_NE(identity, AffineTransform(1, 0, 0, 0, 1, 0, 1e-5f, 0, 1));

    struct Row {
        AffineTransform t;
        bool affine, scaling, translating, identity;
    };
    const Row rows[] = {
        {AffineTransform(), true, false, false, true},
        {AffineTransform(2, 0, 0, 0, 1, 0, 0, 0, 1), true, true, false, false},
        {AffineTransform(1, 0, 0, 0, 1, 0, 0, 3, 1), true, false, true, false},
        {AffineTransform(1, 0, 0.01f, 0, 1, 0, 0, 0, 1), false, false, false, false},
    };
    forEachRow(rows, [](const Row& row) {
        EXPECT_EQ(row.t.isAffine(), row.affine);
        EXPECT_EQ(row.t.isScaling(), row.scaling);
        EXPECT_EQ(row.t.isTranslating(), row.translating);
        EXPECT_EQ(row.t.isIdentity(), row.identity);
    });
}

TEST(AffineTransform, ScalarOperationsAreElementWise)
{
    const AffineTransform t(1, 2, 3, 4, 5, 6, 7, 8, 9);
    EXPECT_EQ(t * 2, AffineTransform(2, 4, 6, 8, 10, 12, 14, 16, 18));
    EXPECT_EQ(t + 1, AffineTransform(2, 3, 4, 5, 6, 7, 8, 9, 10));
    EXPECT_EQ(t - 1, AffineTransform(0, 1, 2, 3, 4, 5, 6, 7, 8));
    EXPECT_EQ(t / 2, AffineTransform(0.5f, 1, 1.5f, 2, 2.5f, 3, 3.5f, 4, 4.5f));
    EXPECT_EQ(t.adjoint(), AffineTransform(-3, 6, -3, 6, -12, 6, -3, 6, -3));
}

TEST(AffineTransform, ProjectiveMapping)
{
    AffineTransform t;
    t.rotate(90, AffineTransform::Axis::Vertical);
    EXPECT_FALSE(t.isAffine());
    EXPECT_FLOAT_EQ(t.m13(), -1.0f / 1024);
    float x = 0, y = 0;
    EXPECT_FALSE(t.map(512.0f, 10.0f, x, y));
    EXPECT_FLOAT_EQ(x, 0.0f);
    EXPECT_FLOAT_EQ(y, 20.0f);

    int ix = 0, iy = 0;
    const AffineTransform halving(1, 0, 0.5f, 0, 1, 0, 0, 0, 1);
    EXPECT_FALSE(halving.map(2, -7, ix, iy));
    EXPECT_EQ(ix, 1);
    EXPECT_EQ(iy, -3);
    // A w of 0 used to make the conversion to int undefined.
    const AffineTransform atInfinity(1, 0, 1, 0, 1, 0, 0, 0, -7);
    EXPECT_FALSE(atInfinity.map(7, 8, ix, iy));
    EXPECT_EQ(ix, 7);
    EXPECT_EQ(iy, 8);
}
