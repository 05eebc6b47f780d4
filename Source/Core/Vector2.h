#pragma once

namespace Quarn
{

// A plain pair of floats (screen positions, 2D directions); no SIMD alignment.
class Vector2
{
public:
    float x = 0.0f;
    float y = 0.0f;

    constexpr Vector2() = default;
    constexpr Vector2(float x_, float y_) : x(x_), y(y_) {}

    // Multiplies by the reciprocal length; a zero vector becomes NaN.
    void Normalize();
    // Divides a copy by the length.
    Vector2 GetNormalized() const;

    friend Vector2 operator+(const Vector2& a, const Vector2& b) { return {a.x + b.x, a.y + b.y}; }
    friend Vector2 operator-(const Vector2& a, const Vector2& b) { return {a.x - b.x, a.y - b.y}; }
    friend Vector2 operator-(const Vector2& a) { return {-a.x, -a.y}; }
    friend Vector2 operator*(const Vector2& a, float s) { return {a.x * s, a.y * s}; }
    bool operator==(const Vector2&) const = default;
};

// Angle of the vector from the +x axis, in (-pi, pi].
float VecToRad(const Vector2& v);
// The same angle in degrees.
float VecToDeg(const Vector2& v);
// Unit vector at the given angle in radians.
Vector2 RadToVec(float angle);

} // namespace Quarn
