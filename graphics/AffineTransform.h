#pragma once

// The painter's coordinate transform: a 3 x 3 float matrix in the row-vector
// convention. A point (x, y) is the row (x, y, 1):
//   x' = m11 x + m21 y + dx,  y' = m12 x + m22 y + dy,
// and, when the matrix is not affine, both are divided by
//   w = m13 x + m23 y + m33.
// A plain value; copying copies the nine floats.
class AffineTransform {
public:
    // The axis a rotation turns about. Only Plane shows on screen: the others
    // tilt the drawing through m13 or m23, which the GDI engine ignores.
    enum class Axis { Horizontal = 0, Vertical = 1, Plane = 2 };

    // The identity.
    AffineTransform() = default;
    // Row by row: m11, m12, m13, m21, m22, m23, m31 (dx), m32 (dy), m33.
    AffineTransform(float m11, float m12, float m13, float m21, float m22, float m23, float m31, float m32,
                    float m33);

    float m11() const { return m_11; }
    float m12() const { return m_12; }
    float m13() const { return m_13; }
    float m21() const { return m_21; }
    float m22() const { return m_22; }
    float m23() const { return m_23; }
    float dx() const { return m_31; }
    float dy() const { return m_32; }
    float m33() const { return m_33; }

    void reset();

    // Each sets this := E x this for its elementary matrix E, so the new
    // operation acts on a point before the transform already held.
    void translate(float dx, float dy);
    void scale(float sx, float sy);
    // Exact at 90, 180, 270, -90 and -270 degrees.
    void rotate(float degrees, Axis axis = Axis::Plane);

    // this := this x other.
    AffineTransform& operator*=(const AffineTransform& other);
    friend AffineTransform operator*(const AffineTransform& a, const AffineTransform& b);

    // Element by element with a scalar; division multiplies by 1 / value.
    AffineTransform operator*(float value) const;
    AffineTransform operator+(float value) const;
    AffineTransform operator-(float value) const;
    AffineTransform operator/(float value) const;

    float determinant() const;
    // The transposed matrix of cofactors.
    AffineTransform adjoint() const;
    // adjoint / determinant; the identity when the determinant is exactly 0.
    AffineTransform inverted() const;

    // Every element pair within fuzzyCompare.
    bool operator==(const AffineTransform& other) const;
    bool operator!=(const AffineTransform& other) const { return !(*this == other); }
    static bool fuzzyCompare(float a, float b);

    bool isAffine() const;
    bool isInvertible() const;
    bool isIdentity() const;
    bool isScaling() const;
    bool isTranslating() const;

    // Maps a point; returns isAffine(). Only a matrix that is not affine
    // divides by w.
    bool map(float x, float y, float& outX, float& outY) const;
    // The same, each result truncated toward zero before and after the
    // division (saturated to the int range; a w of 0 leaves it undivided).
    bool map(int x, int y, int& outX, int& outY) const;

private:
    // Stored in this order: the first two rows' affine part, the translation,
    // then the projective column.
    float m_11 = 1.0f;
    float m_12 = 0.0f;
    float m_21 = 0.0f;
    float m_22 = 1.0f;
    float m_31 = 0.0f;
    float m_32 = 0.0f;
    float m_13 = 0.0f;
    float m_23 = 0.0f;
    float m_33 = 1.0f;

    template <typename Op>
    AffineTransform elementWise(Op op) const;
};
