#include "Core/Color4.h"
#include "Core/MathUtil.h"
#include "Core/Matrix4.h"
#include "Core/MatrixBuilders.h"
#include "Core/Quaternion.h"
#include "Core/Vector2.h"
#include "Core/Vector3.h"
#include "Core/Vector4.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <random>

namespace Quarn
{
namespace
{

constexpr float kNaN = std::numeric_limits<float>::quiet_NaN();
constexpr float kInf = std::numeric_limits<float>::infinity();
const float kHalfRoot = std::sqrt(0.5f);

float Degrees(float degrees)
{
    return degrees / 180.0f * kPi;
}

void ExpectNear(const Matrix4& actual, const Matrix4& expected, float tolerance = 1e-5f)
{
    for (int i = 0; i < 16; ++i)
    {
        EXPECT_NEAR(actual[i], expected[i], tolerance) << "float " << i;
    }
}

void ExpectNear(const Vector4& actual, const Vector4& expected, float tolerance = 1e-5f)
{
    EXPECT_NEAR(actual.x, expected.x, tolerance);
    EXPECT_NEAR(actual.y, expected.y, tolerance);
    EXPECT_NEAR(actual.z, expected.z, tolerance);
    EXPECT_NEAR(actual.w, expected.w, tolerance);
}

Vector4 Point(float x, float y, float z)
{
    return {x, y, z, 1.0f};
}

TEST(MathTest, ApproxEqualIsRelativeToTheSmallerMagnitude)
{
    struct Case
    {
        float a, b;
        bool equal;
    };
    const Case cases[] = {
        {0.0f, 0.0f, true},          {1e-30f, 0.0f, false},
        {0.0f, -1.0f, false},        {1.0f, 1.000001f, true},
        {1.0f, 1.0001f, false},      {100.0f, 100.0009f, true},
        {-100.0f, -100.0009f, true}, {1.0f, -1.0f, false},
        {1e6f, 1e6f + 20.0f, false}, {1e-20f, 1.000005e-20f, true},
        {1.0f, kNaN, false},
    };
    for (const Case& c : cases)
    {
        EXPECT_EQ(ApproxEqual(c.a, c.b, 1e-5f), c.equal) << c.a << " vs " << c.b;
        EXPECT_EQ(ApproxEqual(c.b, c.a, 1e-5f), c.equal) << c.b << " vs " << c.a;
    }
}

TEST(MathTest, AnglesOfTwoDimensionalVectors)
{
    struct Case
    {
        Vector2 v;
        float degrees;
    };
    const Case cases[] = {{{1, 0}, 0},    {{0, 1}, 90}, {{-1, 0}, 180},
                          {{0, -1}, -90}, {{1, 1}, 45}, {{-3, -3}, -135}};
    for (const Case& c : cases)
    {
        EXPECT_FLOAT_EQ(VecToDeg(c.v), c.degrees) << c.v.x << "," << c.v.y;
        EXPECT_FLOAT_EQ(VecToRad(c.v), Degrees(c.degrees)) << c.v.x << "," << c.v.y;
    }
    EXPECT_EQ(RadToVec(0.0f), Vector2(1, 0));
    const Vector2 up = RadToVec(kPi / 2.0f);
    EXPECT_NEAR(up.x, 0.0f, 1e-7f);
    EXPECT_FLOAT_EQ(up.y, 1.0f);
}

TEST(MathTest, NormalizingUsesEveryStoredComponent)
{
    Vector2 flat(3, 4);
    EXPECT_EQ(flat.GetNormalized(), Vector2(0.6f, 0.8f));
    flat.Normalize();
    EXPECT_FLOAT_EQ(flat.x, 0.6f);
    EXPECT_FLOAT_EQ(flat.y, 0.8f);

    Vector4 v(3, 4, 0, 0);
    v.Normalize();
    ExpectNear(v, {0.6f, 0.8f, 0, 0}, 1e-7f);
    EXPECT_EQ(Vector4::GetNormalized(Vector4(1, 1, 1, 1)), Vector4(0.5f, 0.5f, 0.5f, 0.5f));
    EXPECT_EQ(Vector4::LengthSquared(Vector4(1, 2, 3, 4)), 30.0f);
    EXPECT_EQ(Vector4::Dot(Vector4(1, 2, 3, 4), Vector4(5, 6, 7, 8)), 70.0f);

    Vector4 zero;
    zero.Normalize();
    EXPECT_TRUE(std::isnan(zero.x) && std::isnan(zero.w));
    EXPECT_TRUE(std::isnan(Vector2().GetNormalized().x));
}

TEST(MathTest, Vector3CarriesItsFourthFloatThroughCopiesAndArithmetic)
{
    for (const Vector3* constant : {&Vector3::Zero(), &Vector3::One(), &Vector3::UnitZ()})
    {
        EXPECT_EQ(constant->w, 0.0f);
    }
    EXPECT_EQ(Vector3::One(), Vector3(1, 1, 1));
    EXPECT_EQ(Vector3::UnitZ(), Vector3(0, 0, 1));

    const Vector3 point(Vector4(1, 2, 3, 1));
    EXPECT_EQ(point.w, 1.0f);
    EXPECT_EQ(Vector4(point), Vector4(1, 2, 3, 1));
    EXPECT_EQ((point + point).w, 2.0f);
    EXPECT_EQ((point * 3.0f).w, 3.0f);
    EXPECT_EQ((-point).w, -1.0f);

    // Cross ignores w and writes 0 there.
    EXPECT_EQ(Vector3::Cross(point, Vector3(Vector4(0, 1, 0, 7))), Vector3(-3, 0, 1));
    EXPECT_EQ(Vector3::Cross(Vector3(1, 0, 0), Vector3(0, 1, 0)), Vector3::UnitZ());

    Vector4 sum(1, 2, 3, 4);
    Vector4& same = (sum += Vector4(1, 1, 1, 1)) *= 2.0f;
    EXPECT_EQ(&same, &sum);
    EXPECT_EQ(sum, Vector4(4, 6, 8, 10));
    EXPECT_EQ(sum - Vector4(4, 6, 8, 10), Vector4());
}

TEST(MathTest, TransformingTranslatesPointsButNotDirections)
{
    const Matrix4 m(1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16);
    // x·row0 + y·row1 + z·row2 + w·row3.
    EXPECT_EQ(Vector4::Transformed(Vector4(1, 0, 0, 0), m), Vector4(1, 2, 3, 4));
    EXPECT_EQ(Vector4(1, 1, 0, 1) * m, Vector4(19, 22, 25, 28));

    const Matrix4 move = MatrixTranslation(10, 20, 30);
    EXPECT_EQ(Point(1, 2, 3) * move, Point(11, 22, 33));
    EXPECT_EQ(Vector4(1, 2, 3, 0) * move, Vector4(1, 2, 3, 0));
    EXPECT_EQ(Vector3(Vector4(1, 2, 3, 1)) * move, Vector3(Vector4(11, 22, 33, 1)));
}

TEST(MathTest, ProductsComposeLeftToRight)
{
    // Scale first, then translate: the translation is not scaled.
    const Matrix4 world = MatrixScaling(2, 2, 2) * MatrixTranslation(1, 0, 0);
    EXPECT_EQ(Point(1, 1, 1) * world, Point(3, 2, 2));

    Matrix4 m(1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16);
    const Matrix4 squared = m * m;
    EXPECT_EQ(squared(0, 0), 90.0f);
    EXPECT_EQ(squared(3, 3), 1 * 13 * 4 + 14 * 8 + 15 * 12 + 16 * 16.0f);
    EXPECT_EQ(&m.Multiply(m), &m);
    EXPECT_EQ(m, squared);

    const Matrix4 transposed = Matrix4(1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16).GetTransposed();
    EXPECT_EQ(transposed, Matrix4(1, 5, 9, 13, 2, 6, 10, 14, 3, 7, 11, 15, 4, 8, 12, 16));

    Matrix4 rotationOnly(1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16);
    rotationOnly.ToRotationOnly();
    EXPECT_EQ(rotationOnly, Matrix4(1, 2, 3, 0, 5, 6, 7, 0, 9, 10, 11, 0, 0, 0, 0, 0));
    EXPECT_EQ(Matrix4(), Matrix4::Identity());
}

TEST(MathTest, InverseTimesMatrixIsTheIdentity)
{
    std::vector<Matrix4> matrices = {
        // The top-left 2 × 2 block of a quarter turn about x is singular: row pivoting handles it.
        MatrixRotationYawPitchRoll(0, Degrees(90), 0),
        MatrixRotationZ(Degrees(30)) * MatrixRotationYawPitchRoll(Degrees(10), Degrees(-70), Degrees(5)),
        MatrixScaling(0.01f, 50, 3) * MatrixRotationZ(Degrees(123)) * MatrixTranslation(-400, 25, 9),
        // First two columns nonzero only in the last rows.
        Matrix4(0, 0, 1, 0, 0, 0, 0, 1, 1, 0, 0, 0, 0, 1, 0, 0),
        Matrix4(0, 0, 2, 1, 0, 0, 1, 3, 4, 1, 0, 0, 1, 5, 0, 0),
    };
    std::mt19937 random(1234);
    std::uniform_real_distribution<float> entry(-10.0f, 10.0f);
    for (int n = 0; n < 100; ++n)
    {
        Matrix4 m;
        for (int i = 0; i < 16; ++i)
        {
            m[i] = entry(random);
        }
        matrices.push_back(m);
    }
    for (const Matrix4& m : matrices)
    {
        const Matrix4 inverse = m.GetInverse();
        ExpectNear(m * inverse, Matrix4::Identity(), 2e-4f);
        ExpectNear(inverse * m, Matrix4::Identity(), 2e-4f);
    }

    Matrix4 inPlace = matrices[2];
    ASSERT_TRUE(inPlace.Inverse(inPlace));
    ExpectNear(inPlace, matrices[2].GetInverse(), 0.0f);
}

TEST(MathTest, SingularMatricesHaveNoInverse)
{
    const Matrix4 singular[] = {
        Matrix4(0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0),
        MatrixScaling(1, 1, 0),
        Matrix4(1, 2, 3, 4, 2, 4, 6, 8, 0, 1, 0, 0, 0, 0, 1, 0),
        Matrix4(1, 0, 0, 0, 0, 1, 0, 0, 1, 1, 0, 0, 0, 0, 0, 0),
        Matrix4(kNaN, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1),
    };
    for (const Matrix4& m : singular)
    {
        Matrix4 target = MatrixTranslation(1, 2, 3);
        EXPECT_FALSE(target.Inverse(m));
        EXPECT_EQ(target, MatrixTranslation(1, 2, 3));
        EXPECT_TRUE(std::isnan(m.GetInverse()[5]));
    }
}

TEST(MathTest, ShortestArcRotation)
{
    struct Case
    {
        Vector3 from, to;
        Quaternion expected;
    };
    const Case cases[] = {
        {{2, 0, 0}, {5, 0, 0}, Quaternion::Identity()},
        {{1, 2, 3}, {0.5f, 1, 1.5f}, Quaternion::Identity()},
        {{0, 0, 1}, {0, 0, -1}, Quaternion(0, 0, -1, 0)},
        {{-3, 0, 0}, {1, 0, 0}, Quaternion(0, 0, -1, 0)},
        {{1, 0, 0}, {0, 1, 0}, Quaternion(kHalfRoot, 0, 0, kHalfRoot)},
    };
    for (const Case& c : cases)
    {
        Quaternion q(5, 6, 7, 8);
        q.SetFromTwoVectors(c.from, c.to);
        EXPECT_NEAR(q.x, c.expected.x, 1e-6f);
        EXPECT_NEAR(q.y, c.expected.y, 1e-6f);
        EXPECT_NEAR(q.z, c.expected.z, 1e-6f);
        EXPECT_NEAR(q.w, c.expected.w, 1e-6f);
    }

    // A general pair: the rotation takes the first direction onto the second.
    const Vector3 from(1, 2, 3);
    const Vector3 to(-2, 0.5f, 1);
    Quaternion q;
    q.SetFromTwoVectors(from, to);
    const Vector4 turned = Vector4::GetNormalized(Vector4(from)) * MatrixRotationQuaternion(q);
    ExpectNear(turned, Vector4::GetNormalized(Vector4(to)));
}

TEST(MathTest, AxisAngleQuaternions)
{
    const Quaternion q = QuaternionFromAxisAngle(Vector3(0, 0, 2), Degrees(90));
    EXPECT_FLOAT_EQ(q.w, kHalfRoot);
    EXPECT_FLOAT_EQ(q.z, 2 * kHalfRoot); // the axis is not normalised
    EXPECT_EQ(q.x, 0.0f);
    const Quaternion stored(1, 2, 3, 4);
    EXPECT_EQ(stored.w, 1.0f);
    EXPECT_EQ(stored.x, 2.0f);
    EXPECT_EQ(Quaternion(), Quaternion::Identity());
}

TEST(MathTest, MatrixBuildersMatchTheirDefinitions)
{
    const float c30 = std::cos(Degrees(30));
    const float s30 = std::sin(Degrees(30));
    struct Case
    {
        const char* name;
        Matrix4 built;
        Matrix4 expected;
    };
    const Case cases[] = {
        {"scaling", MatrixScaling(2, 3, 4), Matrix4(2, 0, 0, 0, 0, 3, 0, 0, 0, 0, 4, 0, 0, 0, 0, 1)},
        {"rotation z", MatrixRotationZ(Degrees(30)),
         Matrix4(c30, s30, 0, 0, -s30, c30, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1)},
        {"translation", MatrixTranslation(5, 6, 7), Matrix4(1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 5, 6, 7, 1)},
        {"yaw", MatrixRotationYawPitchRoll(Degrees(90), 0, 0),
         Matrix4(0, 0, -1, 0, 0, 1, 0, 0, 1, 0, 0, 0, 0, 0, 0, 1)},
        {"pitch", MatrixRotationYawPitchRoll(0, Degrees(90), 0),
         Matrix4(1, 0, 0, 0, 0, 0, 1, 0, 0, -1, 0, 0, 0, 0, 0, 1)},
        {"roll", MatrixRotationYawPitchRoll(0, 0, Degrees(30)), MatrixRotationZ(Degrees(30))},
        // Roll, then pitch, then yaw.
        {"pitch then yaw", MatrixRotationYawPitchRoll(Degrees(90), Degrees(90), 0),
         Matrix4(0, 0, -1, 0, 1, 0, 0, 0, 0, -1, 0, 0, 0, 0, 0, 1)},
        {"quaternion about z",
         MatrixRotationQuaternion(QuaternionFromAxisAngle(Vector3::UnitZ(), Degrees(30))),
         MatrixRotationZ(Degrees(30))},
        // A third of a turn about (1, 1, 1) takes x to y, y to z and z to x.
        {"quaternion about (1, 1, 1)", MatrixRotationQuaternion(Quaternion(0.5f, 0.5f, 0.5f, 0.5f)),
         Matrix4(0, 1, 0, 0, 0, 0, 1, 0, 1, 0, 0, 0, 0, 0, 0, 1)},
        {"look at from the origin", MatrixLookAtRH(Vector3(0, 0, 5), Vector3::Zero(), Vector3(0, 1, 0)),
         Matrix4(1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, -5, 1)},
        {"look along +x with z up", MatrixLookAtRH(Vector3(2, 3, 4), Vector3(3, 3, 4), Vector3(0, 0, 7)),
         Matrix4(0, 0, -1, 0, -1, 0, 0, 0, 0, 1, 0, 0, 3, -4, 2, 1)},
        {"perspective", MatrixPerspectiveFovRH(Degrees(90), 2, 1, 3),
         Matrix4(0.5f, 0, 0, 0, 0, 1, 0, 0, 0, 0, -1.5f, -1, 0, 0, -1.5f, 0)},
        {"transformation",
         MatrixTransformation(Vector3::Zero(), Quaternion::Identity(), Vector3(2, 3, 1), Vector3::Zero(),
                              QuaternionFromAxisAngle(Vector3::UnitZ(), Degrees(90)), Vector3(5, 6, 7)),
         Matrix4(0, 2, 0, 0, -3, 0, 0, 0, 0, 0, 1, 0, 5, 6, 7, 1)},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.name);
        ExpectNear(c.built, c.expected, 1e-6f);
    }
}

TEST(MathTest, LookAtIgnoresTheFourthFloats)
{
    const Vector3 eye(Vector4(2, 3, 4, 1));
    const Vector3 at(Vector4(3, 3, 4, 1));
    ExpectNear(MatrixLookAtRH(eye, at, Vector3(0, 0, 1)),
               MatrixLookAtRH(Vector3(2, 3, 4), Vector3(3, 3, 4), Vector3(0, 0, 1)), 0.0f);
    // The eye goes to the origin and the target straight ahead, down -z.
    const Matrix4 view = MatrixLookAtRH(eye, at, Vector3(0, 0, 1));
    ExpectNear(Point(2, 3, 4) * view, Point(0, 0, 0));
    ExpectNear(Point(3, 3, 4) * view, Point(0, 0, -1));
}

TEST(MathTest, TransformationScalesAndRotatesAboutItsCentres)
{
    const Quaternion none = Quaternion::Identity();
    const Vector3 zero = Vector3::Zero();
    const Vector3 one = Vector3::One();
    const Quaternion halfTurn = QuaternionFromAxisAngle(Vector3::UnitZ(), kPi);
    const Quaternion quarterTurn = QuaternionFromAxisAngle(Vector3::UnitZ(), Degrees(90));

    const Matrix4 aboutCentre = MatrixTransformation(zero, none, one, Vector3(1, 0, 0), halfTurn, zero);
    ExpectNear(Point(1, 0, 0) * aboutCentre, Point(1, 0, 0));
    ExpectNear(Point(0, 0, 0) * aboutCentre, Point(2, 0, 0));

    const Matrix4 scaledAboutCentre =
        MatrixTransformation(Vector3(1, 1, 0), none, Vector3(2, 2, 2), zero, none, zero);
    ExpectNear(Point(1, 1, 0) * scaledAboutCentre, Point(1, 1, 0));
    ExpectNear(Point(0, 0, 0) * scaledAboutCentre, Point(-1, -1, 0));

    // Scaling x in a frame turned a quarter about z stretches world y.
    const Matrix4 turnedScale = MatrixTransformation(zero, quarterTurn, Vector3(2, 1, 1), zero, none, zero);
    ExpectNear(Point(1, 0, 0) * turnedScale, Point(1, 0, 0));
    ExpectNear(Point(0, 1, 0) * turnedScale, Point(0, 2, 0));
}

TEST(MathTest, PackedColours)
{
    struct Case
    {
        float channel;
        int byte;
    };
    const Case cases[] = {
        {0.0f, 0},
        {1.0f, 255},
        {0.999f, 254},
        {0.5f, 127},
        {1.5f, 126},
        {2.0f, 254},
        {-1.0f / 255.0f, 255},
        {-0.5f, 129},
        {-0.001f, 0},
        {kNaN, 0},
        {kInf, 0},
        {-kInf, 0},
        {1e20f, 0},
        {1e9f, static_cast<int>(std::fmod(1e9 * 255.0, 256.0))},
    };
    for (const Case& c : cases)
    {
        EXPECT_EQ(Color4::ChannelToByte(c.channel), c.byte) << c.channel;
    }

    EXPECT_EQ(Color4(1, 0.5f, 0, 1).ToRGBA(), RGBA(0xFFFF7F00));
    const RGBA packed = RGBA::FromARGB(0x80, 0x40, 0x20, 0x10);
    EXPECT_EQ(packed.value, 0x80402010u);
    EXPECT_EQ(packed.A(), 0x80);
    EXPECT_EQ(packed.R(), 0x40);
    EXPECT_EQ(packed.G(), 0x20);
    EXPECT_EQ(packed.B(), 0x10);
    const Color4 unpacked = Color4::FromRGBA(packed);
    EXPECT_EQ(unpacked,
              Color4(float(0x40 / 255.0), float(0x20 / 255.0), float(0x10 / 255.0), float(0x80 / 255.0)));
    for (int byte = 0; byte < 256; ++byte)
    {
        // Truncation of byte / 255 × 255 must not lose a step.
        EXPECT_EQ(Color4::ChannelToByte(Color4::ByteToChannel(static_cast<std::uint8_t>(byte))), byte);
    }
}

} // namespace
} // namespace Quarn
