#include "graphics/AffineTransform.h"

#include <climits>
#include <cmath>

namespace {

constexpr float tolerance = 1e-6f;
// pi / 180 as a float.
constexpr float radiansPerDegree = 0.0174532924f;

// Tested on (value + 1) - 1 so that values below float resolution at 1
// count as 0.
bool isNearZero(float value)
{
    float shifted = (value + 1.0f) - 1.0f;
    return std::fabs(shifted) <= tolerance;
}

// Truncated toward zero and saturated: a point far outside the int range
// (or not a number) must not make the conversion undefined.
int truncatedToInt(float value)
{
    if (std::isnan(value))
        return 0;
    if (value >= float(INT_MAX))
        return INT_MAX;
    if (value <= float(INT_MIN))
        return INT_MIN;
    return int(value);
}

struct SineCosine {
    float s;
    float c;
};

SineCosine sineCosine(float degrees)
{
    if (degrees == 90.0f || degrees == -270.0f)
        return {1.0f, 0.0f};
    if (degrees == 270.0f || degrees == -90.0f)
        return {-1.0f, 0.0f};
    if (degrees == 180.0f)
        return {0.0f, -1.0f};
    double radians = degrees * radiansPerDegree;
    return {float(std::sin(radians)), float(std::cos(radians))};
}

// The distance of the eye from the drawing plane, for the tilting rotations.
constexpr float eyeDistance = 1024.0f;

} // namespace

AffineTransform::AffineTransform(float m11, float m12, float m13, float m21, float m22, float m23, float m31,
                                 float m32, float m33)
    : m_11(m11), m_12(m12), m_21(m21), m_22(m22), m_31(m31), m_32(m32), m_13(m13), m_23(m23), m_33(m33)
{
}

void AffineTransform::reset()
{
    *this = AffineTransform();
}

void AffineTransform::translate(float dx, float dy)
{
    AffineTransform e;
    e.m_31 = dx;
    e.m_32 = dy;
    *this = e * *this;
}

void AffineTransform::scale(float sx, float sy)
{
    AffineTransform e;
    e.m_11 = sx;
    e.m_22 = sy;
    *this = e * *this;
}

void AffineTransform::rotate(float degrees, Axis axis)
{
    auto [s, c] = sineCosine(degrees);
    AffineTransform e;
    switch (axis) {
    case Axis::Plane:
        e.m_11 = c;
        e.m_12 = s;
        e.m_21 = -s;
        e.m_22 = c;
        break;
    case Axis::Vertical:
        e.m_11 = c;
        e.m_13 = -s / eyeDistance;
        break;
    case Axis::Horizontal:
        e.m_22 = c;
        e.m_23 = -s / eyeDistance;
        break;
    }
    *this = e * *this;
}

AffineTransform& AffineTransform::operator*=(const AffineTransform& other)
{
    *this = *this * other;
    return *this;
}

AffineTransform operator*(const AffineTransform& a, const AffineTransform& b)
{
    return AffineTransform(a.m_11 * b.m_11 + a.m_12 * b.m_21 + a.m_13 * b.m_31,
                           a.m_11 * b.m_12 + a.m_12 * b.m_22 + a.m_13 * b.m_32,
                           a.m_11 * b.m_13 + a.m_12 * b.m_23 + a.m_13 * b.m_33,
                           a.m_21 * b.m_11 + a.m_22 * b.m_21 + a.m_23 * b.m_31,
                           a.m_21 * b.m_12 + a.m_22 * b.m_22 + a.m_23 * b.m_32,
                           a.m_21 * b.m_13 + a.m_22 * b.m_23 + a.m_23 * b.m_33,
                           a.m_31 * b.m_11 + a.m_32 * b.m_21 + a.m_33 * b.m_31,
                           a.m_31 * b.m_12 + a.m_32 * b.m_22 + a.m_33 * b.m_32,
                           a.m_31 * b.m_13 + a.m_32 * b.m_23 + a.m_33 * b.m_33);
}

template <typename Op>
AffineTransform AffineTransform::elementWise(Op op) const
{
    return AffineTransform(op(m_11), op(m_12), op(m_13), op(m_21), op(m_22), op(m_23), op(m_31), op(m_32),
                           op(m_33));
}

AffineTransform AffineTransform::operator*(float value) const
{
    return elementWise([value](float e) { return e * value; });
}

AffineTransform AffineTransform::operator+(float value) const
{
    return elementWise([value](float e) { return e + value; });
}

AffineTransform AffineTransform::operator-(float value) const
{
    return elementWise([value](float e) { return e - value; });
}

AffineTransform AffineTransform::operator/(float value) const
{
    return *this * (1.0f / value);
}

float AffineTransform::determinant() const
{
    return m_11 * (m_22 * m_33 - m_23 * m_32) - m_12 * (m_21 * m_33 - m_23 * m_31) +
           m_13 * (m_21 * m_32 - m_22 * m_31);
}

AffineTransform AffineTransform::adjoint() const
{
    return AffineTransform(m_22 * m_33 - m_23 * m_32, m_13 * m_32 - m_12 * m_33, m_12 * m_23 - m_13 * m_22,
                           m_23 * m_31 - m_21 * m_33, m_11 * m_33 - m_13 * m_31, m_13 * m_21 - m_11 * m_23,
                           m_21 * m_32 - m_22 * m_31, m_12 * m_31 - m_11 * m_32, m_11 * m_22 - m_12 * m_21);
}

AffineTransform AffineTransform::inverted() const
{
    float det = determinant();
    if (det == 0.0f)
        return AffineTransform();
    return adjoint() / det;
}

bool AffineTransform::operator==(const AffineTransform& o) const
{
    return fuzzyCompare(m_11, o.m_11) && fuzzyCompare(m_12, o.m_12) && fuzzyCompare(m_13, o.m_13) &&
           fuzzyCompare(m_21, o.m_21) && fuzzyCompare(m_22, o.m_22) && fuzzyCompare(m_23, o.m_23) &&
           fuzzyCompare(m_31, o.m_31) && fuzzyCompare(m_32, o.m_32) && fuzzyCompare(m_33, o.m_33);
}

bool AffineTransform::fuzzyCompare(float a, float b)
{
    return std::fabs(a - b) <= tolerance;
}

bool AffineTransform::isAffine() const
{
    return isNearZero(m_13) && isNearZero(m_23);
}

bool AffineTransform::isInvertible() const
{
    return std::fabs(determinant()) > tolerance;
}

bool AffineTransform::isIdentity() const
{
    return *this == AffineTransform();
}

bool AffineTransform::isScaling() const
{
    return !fuzzyCompare(m_11, 1.0f) || !fuzzyCompare(m_22, 1.0f);
}

bool AffineTransform::isTranslating() const
{
    return !isNearZero(m_31) || !isNearZero(m_32);
}

bool AffineTransform::map(float x, float y, float& outX, float& outY) const
{
    outX = m_11 * x + m_21 * y + m_31;
    outY = m_12 * x + m_22 * y + m_32;
    if (isAffine())
        return true;
    float w = m_13 * x + m_23 * y + m_33;
    outX /= w;
    outY /= w;
    return false;
}

bool AffineTransform::map(int x, int y, int& outX, int& outY) const
{
    float fx = float(x);
    float fy = float(y);
    outX = truncatedToInt(m_11 * fx + m_21 * fy + m_31);
    outY = truncatedToInt(m_12 * fx + m_22 * fy + m_32);
    if (isAffine())
        return true;
    float w = m_13 * fx + m_23 * fy + m_33;
    if (w == 0.0f)
        return false;
    outX = truncatedToInt(float(outX) / w);
    outY = truncatedToInt(float(outY) / w);
    return false;
}
