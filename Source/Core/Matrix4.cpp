#include "Core/Matrix4.h"

#include <algorithm>
#include <cmath>
#include <iterator>
#include <limits>
#include <utility>

namespace Quarn
{
namespace
{

// A 2 × 2 block [[a, b], [c, d]] of the block inverse.
struct Block
{
    float a, b, c, d;
};

Block operator*(const Block& p, const Block& q)
{
    return {p.a * q.a + p.b * q.c, p.a * q.b + p.b * q.d, p.c * q.a + p.d * q.c, p.c * q.b + p.d * q.d};
}

Block operator+(const Block& p, const Block& q)
{
    return {p.a + q.a, p.b + q.b, p.c + q.c, p.d + q.d};
}

Block operator-(const Block& p, const Block& q)
{
    return {p.a - q.a, p.b - q.b, p.c - q.c, p.d - q.d};
}

Block operator-(const Block& p)
{
    return {-p.a, -p.b, -p.c, -p.d};
}

// A block counts as invertible when |det| exceeds 1e-5 × its largest entry (NaN never does).
bool InvertBlock(const Block& p, Block& inverse)
{
    const float det = p.a * p.d - p.b * p.c;
    const float largest = std::max({std::fabs(p.a), std::fabs(p.b), std::fabs(p.c), std::fabs(p.d)});
    if (!(std::fabs(det) > 1e-5f * largest))
    {
        return false;
    }
    const float reciprocal = 1.0f / det;
    inverse = {p.d * reciprocal, -p.b * reciprocal, -p.c * reciprocal, p.a * reciprocal};
    return true;
}

Block GetBlock(const Matrix4& m, int row, int column)
{
    return {m(row, column), m(row, column + 1), m(row + 1, column), m(row + 1, column + 1)};
}

void SetBlock(Matrix4& m, int row, int column, const Block& p)
{
    m(row, column) = p.a;
    m(row, column + 1) = p.b;
    m(row + 1, column) = p.c;
    m(row + 1, column + 1) = p.d;
}

void SwapRows(Matrix4& m, int first, int second)
{
    for (int c = 0; c < 4; ++c)
    {
        std::swap(m(first, c), m(second, c));
    }
}

void SwapColumns(Matrix4& m, int first, int second)
{
    for (int r = 0; r < 4; ++r)
    {
        std::swap(m(r, first), m(r, second));
    }
}

// The pair of rows whose first two columns form the best-conditioned top-left block: the first pair
// whose 2 × 2 determinant clears a tenth of the squared size of those columns, else the largest.
std::pair<int, int> ChoosePivotRows(const Matrix4& m)
{
    static constexpr std::pair<int, int> kPairs[] = {{0, 1}, {0, 2}, {0, 3}, {1, 2}, {1, 3}, {2, 3}};
    float squares = 0.0f;
    for (int r = 0; r < 4; ++r)
    {
        squares += m(r, 0) * m(r, 0) + m(r, 1) * m(r, 1);
    }
    const float threshold = 0.1f * squares;
    std::pair<int, int> best = kPairs[0];
    float bestDet = -1.0f;
    for (const auto& [i, j] : kPairs)
    {
        const float det = std::fabs(m(i, 0) * m(j, 1) - m(i, 1) * m(j, 0));
        if (det > threshold)
        {
            return {i, j};
        }
        if (det > bestDet)
        {
            bestDet = det;
            best = {i, j};
        }
    }
    return best;
}

} // namespace

Matrix4::Matrix4() : Matrix4(1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1) {}

Matrix4::Matrix4(float m00, float m01, float m02, float m03, float m10, float m11, float m12, float m13,
                 float m20, float m21, float m22, float m23, float m30, float m31, float m32, float m33)
    : m_values{m00, m01, m02, m03, m10, m11, m12, m13, m20, m21, m22, m23, m30, m31, m32, m33}
{
}

const Matrix4& Matrix4::Identity()
{
    static const Matrix4 identity;
    return identity;
}

Matrix4& Matrix4::Multiply(const Matrix4& rhs)
{
    float product[16];
    for (int r = 0; r < 4; ++r)
    {
        for (int c = 0; c < 4; ++c)
        {
            float sum = 0.0f;
            for (int k = 0; k < 4; ++k)
            {
                sum += (*this)(r, k) * rhs(k, c);
            }
            product[4 * r + c] = sum;
        }
    }
    std::copy(std::begin(product), std::end(product), m_values);
    return *this;
}

Matrix4 Matrix4::GetTransposed() const
{
    Matrix4 transposed;
    for (int r = 0; r < 4; ++r)
    {
        for (int c = 0; c < 4; ++c)
        {
            transposed(c, r) = (*this)(r, c);
        }
    }
    return transposed;
}

// Inverts by 2 × 2 blocks after moving the best pivot row pair to the top; swapping result columns
// undoes the row permutation.
bool Matrix4::Inverse(const Matrix4& source)
{
    Matrix4 m = source;
    const auto [first, second] = ChoosePivotRows(m);
    SwapRows(m, 0, first);
    SwapRows(m, 1, second);

    const Block p = GetBlock(m, 0, 0);
    const Block q = GetBlock(m, 0, 2);
    const Block r = GetBlock(m, 2, 0);
    const Block s = GetBlock(m, 2, 2);
    Block pInverse;
    if (!InvertBlock(p, pInverse))
    {
        return false;
    }
    const Block pInverseQ = pInverse * q;
    const Block rPInverse = r * pInverse;
    Block y;
    if (!InvertBlock(s - r * pInverseQ, y))
    {
        return false;
    }
    Matrix4 result;
    SetBlock(result, 0, 0, pInverse + pInverseQ * y * rPInverse);
    SetBlock(result, 0, 2, -(pInverseQ * y));
    SetBlock(result, 2, 0, -(y * rPInverse));
    SetBlock(result, 2, 2, y);
    SwapColumns(result, 1, second);
    SwapColumns(result, 0, first);
    *this = result;
    return true;
}

Matrix4 Matrix4::GetInverse() const
{
    const float nan = std::numeric_limits<float>::quiet_NaN();
    Matrix4 inverse(nan, nan, nan, nan, nan, nan, nan, nan, nan, nan, nan, nan, nan, nan, nan, nan);
    inverse.Inverse(*this);
    return inverse;
}

void Matrix4::ToRotationOnly()
{
    for (int index : {3, 7, 11, 12, 13, 14, 15})
    {
        m_values[index] = 0.0f;
    }
}

} // namespace Quarn
