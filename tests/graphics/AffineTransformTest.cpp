#include "graphics/AffineTransform.h"

#include "tests/support/RowTable.h"

#include <gtest/gtest.h>

#include <utility>

namespace {

std::pair<float, float> mapped(const AffineTransform& t, float x, float y)
{
    std::pair<float, float> m;
    t.map(x, y, m.first, m.second);
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
    EXPECT_EQ(mapped(t, 1, 0), std::make_pair(12.0f, 0.0f));
    AffineTransform r;
    r.translate(5, 0);
    r.rotate(90);
    EXPECT_EQ(mapped(r, 1, 0), std::make_pair(5.0f, 1.0f));
}

// A translation after another operation also acts on the point first: with
// its product taken the other way round, (0, 0) would land on the plain
// offset instead of the transformed one.
TEST(AffineTransform, TranslationAfterAnotherOperationIsTransformedByIt)
{
    struct Row {
        void (*before)(AffineTransform&);
        std::pair<float, float> point, expected;
    };
    const Row rows[] = {
        {[](AffineTransform& t) { t.scale(2, 3); }, {1, 1}, {22, 18}},
        {[](AffineTransform& t) { t.rotate(90); }, {0, 0}, {-5, 10}},
    };
    forEachRow(rows, [](const Row& row) {
        AffineTransform t;
        row.before(t);
        t.translate(10, 5);
        EXPECT_EQ(mapped(t, row.point.first, row.point.second), row.expected);
    });
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
    EXPECT_EQ(AffineTransform(1, 2, 3, 4, 5, 6, 7, 8, 9).adjoint(), AffineTransform(-3, 6, -3, 6, -12, 6, -3, 6, -3));
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
