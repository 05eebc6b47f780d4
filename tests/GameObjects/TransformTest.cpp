#include "GameObjects/Transform.h"
#include "Core/MathUtil.h"
#include "Resources/XMLInput.h"
#include "support/TempDir.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

namespace Quarn::test
{
namespace
{

using ::testing::ElementsAre;

constexpr float kTolerance = 1e-4f;

void ExpectPoint(const Vector4& actual, float x, float y, float z)
{
    EXPECT_NEAR(actual.x, x, kTolerance);
    EXPECT_NEAR(actual.y, y, kTolerance);
    EXPECT_NEAR(actual.z, z, kTolerance);
}

Vector4 Map(const Matrix4& world, float x, float y, float z)
{
    return Vector4(x, y, z, 1.0f) * world;
}

struct WorldCase
{
    const char* name;
    Vector4 scale;
    float angle;
    Vector4 position;
    Vector4 point;
    Vector4 expected;
};

TEST(TransformTest, WorldMatrixScalesThenTurnsThenMoves)
{
    const WorldCase cases[] = {
        {"default", {1, 1, 1, 0}, 0.0f, {0, 0, 0, 0}, {3, -4, 5, 1}, {3, -4, 5, 1}},
        {"scale, quarter turn, move", {2, 1, 1, 0}, 90.0f, {10, 0, 0, 0}, {1, 0, 0, 1}, {10, 2, 0, 1}},
        {"half turn", {1, 1, 1, 0}, 180.0f, {0, 0, 0, 0}, {1, 2, 0, 1}, {-1, -2, 0, 1}},
        {"z scaled and moved", {1, 1, 3, 0}, 0.0f, {0, 0, 7, 0}, {0, 0, 1, 1}, {0, 0, 10, 1}},
        {"w of position and scale take no part",
         {1, 1, 1, 9},
         0.0f,
         {1, 2, 3, 9},
         {0, 0, 0, 1},
         {1, 2, 3, 1}},
    };
    for (const WorldCase& c : cases)
    {
        SCOPED_TRACE(c.name);
        Transform transform;
        transform.Scale = c.scale;
        transform.Angle = c.angle;
        transform.Position = c.position;
        ExpectPoint(c.point * transform.GetWorldMatrix(), c.expected.x, c.expected.y, c.expected.z);
    }
    Transform fresh;
    EXPECT_EQ(fresh.GetWorldMatrix(), Matrix4::Identity());
}

TEST(TransformTest, MatrixIsRebuiltAfterAChangeIsNotifiedOnly)
{
    Transform transform;
    transform.GetWorldMatrix();
    transform.Position.x = 5.0f;
    ExpectPoint(Map(transform.GetWorldMatrix(), 0, 0, 0), 0, 0, 0);
    transform.NotifyChanged();
    ExpectPoint(Map(transform.GetWorldMatrix(), 0, 0, 0), 5, 0, 0);
}

TEST(TransformTest, YawPitchMatrixTurnsAfterScalingAndLeavesThePlainMatrixAlone)
{
    Transform transform;
    transform.Scale = Vector4(2, 1, 1, 0);
    transform.Position = Vector4(10, 0, 0, 0);
    const Matrix4 plain = transform.GetWorldMatrix();

    // Yaw a quarter turn about y: x goes to -z after the scaling doubled it.
    ExpectPoint(Map(transform.GetWorldMatrixYawPitch(0.0f, kPi / 2), 1, 0, 0), 10, 0, -2);
    // Pitch a quarter turn about x: y goes to z.
    ExpectPoint(Map(transform.GetWorldMatrixYawPitch(kPi / 2, 0.0f), 0, 1, 0), 10, 0, 1);

    EXPECT_EQ(transform.GetWorldMatrix(), plain);
    transform.Angle = 90.0f;
    transform.NotifyChanged();
    transform.GetWorldMatrixYawPitch(kPi / 2, kPi / 2);
    ExpectPoint(Map(transform.GetWorldMatrix(), 1, 0, 0), 10, 2, 0);
}

TEST(TransformTest, ListenersGetRisingIdsAndAreCalledInOrderOnEveryChange)
{
    Transform first;
    Transform second;
    std::vector<std::string> calls;
    const std::uint32_t a = first.AddListener([&] { calls.push_back("first"); });
    const std::uint32_t b = second.AddListener([&] { calls.push_back("second:1"); });
    const std::uint32_t c = second.AddListener([&] { calls.push_back("second:2"); });
    EXPECT_EQ(b, a + 1) << "one counter for every transform";
    EXPECT_EQ(c, b + 1);

    second.RemoveListener(a);
    second.SetPositionAngleScale(Vector4(1, 1, 1, 0), Vector4(1, 2, 3, 0), kPi / 2);
    second.Assign(first);
    EXPECT_THAT(calls, ElementsAre("second:1", "second:2", "second:1", "second:2"));

    calls.clear();
    second.RemoveListener(b);
    second.NotifyChanged();
    first.NotifyChanged();
    EXPECT_THAT(calls, ElementsAre("second:2", "first"));
}

TEST(TransformTest, ListenersMayChangeTheListWhileBeingCalled)
{
    Transform transform;
    std::vector<std::string> calls;
    std::uint32_t selfRemoving = 0;
    std::uint32_t removedByOther = 0;
    selfRemoving = transform.AddListener(
        [&]
        {
            calls.push_back("self");
            transform.RemoveListener(selfRemoving);
        });
    transform.AddListener(
        [&]
        {
            calls.push_back("remover");
            transform.RemoveListener(removedByOther);
            transform.AddListener([&] { calls.push_back("added"); });
        });
    removedByOther = transform.AddListener([&] { calls.push_back("removed"); });

    transform.NotifyChanged();
    EXPECT_THAT(calls, ElementsAre("self", "remover")) << "a listener added during the call waits";
    calls.clear();
    transform.NotifyChanged();
    EXPECT_THAT(calls, ElementsAre("remover", "added"));
}

TEST(TransformTest, CopyCarriesTheFieldsButNoListeners)
{
    Transform original;
    int calls = 0;
    original.AddListener([&] { ++calls; });
    original.Position = Vector4(1, 2, 3, 0);
    original.Angle = 30.0f;

    Transform copy(original);
    EXPECT_TRUE(copy.m_listeners.empty());
    EXPECT_EQ(copy.Position, original.Position);
    EXPECT_FLOAT_EQ(copy.Angle, 30.0f);
    copy.NotifyChanged();
    EXPECT_EQ(calls, 0);
}

TEST(TransformTest, AnglesConvertBetweenDegreesAndRadians)
{
    Transform transform;
    transform.SetPositionAngleScale(transform.Scale, transform.Position, kPi / 2);
    EXPECT_FLOAT_EQ(transform.Angle, 90.0f);
    EXPECT_FLOAT_EQ(Transform::ToRadians(transform.Angle), kPi / 2);
    EXPECT_FLOAT_EQ(Transform::ToDegrees(-kPi), -180.0f);
}

TEST(TransformTest, LookAtTurnsTowardsThePoint)
{
    struct Case
    {
        Vector2 point;
        float degrees;
    };
    const Case cases[] = {
        {{15, 5}, 0.0f}, {{5, 10}, 90.0f}, {{5, 0}, -90.0f}, {{0, 5}, 180.0f}, {{0, 0}, -135.0f}};
    for (const Case& c : cases)
    {
        Transform transform;
        transform.Position = Vector4(5, 5, 0, 0);
        transform.LookAt(c.point);
        EXPECT_NEAR(transform.Angle, c.degrees, 1e-3f) << c.point.x << ", " << c.point.y;
    }

    Transform transform;
    transform.Angle = 12.0f;
    int calls = 0;
    transform.AddListener([&] { ++calls; });
    transform.LookAt(Vector2(0, 0));
    EXPECT_FLOAT_EQ(transform.Angle, 12.0f) << "no direction to its own position";
    EXPECT_EQ(calls, 0);
    EXPECT_FALSE(std::isnan(transform.GetWorldMatrix()[0]));
}

TEST(TransformTest, LoadingWithoutScaleKeepsTheDefaultScale)
{
    TempDir dir;
    const auto path = dir.Write("transform.xml", "<?xml version=\"1.0\" ?>\n<root>"
                                                 "<Position><X>1</X><Y>2</Y><Z>3</Z></Position>"
                                                 "<Angle>45</Angle></root>\n");
    Transform transform;
    int calls = 0;
    transform.AddListener([&] { ++calls; });
    XMLInput input(path);
    transform.Serialize(input);

    EXPECT_EQ(transform.Position, Vector4(1, 2, 3, 0));
    EXPECT_EQ(transform.Scale, Vector4(1, 1, 1, 0));
    EXPECT_FLOAT_EQ(transform.Angle, 45.0f);
    EXPECT_EQ(calls, 0) << "loading tells no listener";
}

} // namespace
} // namespace Quarn::test
