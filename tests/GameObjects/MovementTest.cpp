#include "GameObjectTestSupport.h"

#include "Core/RGBA.h"
#include "Core/Random.h"
#include "Core/Vector3.h"
#include "GameObjects/GameObject.h"
#include "GameObjects/Movement.h"
#include "GameObjects/PhysicsObject.h"
#include "GameObjects/Transform.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <vector>

namespace Quarn::test
{
namespace
{

class MovementTest : public GameObjectTest
{
protected:
    // A live object at position with the parts steering needs (a body and a movement unless told).
    GameObject& Make(Vector4 position, bool body = true, bool movement = true)
    {
        GameObject* object = m_manager.CreateIntern(new GameObject());
        auto* transform = new Transform();
        transform->Position = position;
        object->SetComponent(Transform::TypeId(), transform, Transform::kTypeName);
        if (body)
            object->SetComponent(PhysicsObject::TypeId(), new PhysicsObject(), PhysicsObject::kTypeName);
        if (movement)
            object->SetComponent(Movement::TypeId(), new Movement(), Movement::kTypeName);
        return *object;
    }

    static Movement& M(GameObject& object) { return *object.Get<Movement>(); }
    static Vector4& Velocity(GameObject& object) { return object.Get<PhysicsObject>()->m_velocity; }

    static void ExpectFinite(GameObject& object)
    {
        const Movement& movement = *object.Get<Movement>();
        EXPECT_TRUE(std::isfinite(movement.SteeringForce.x) && std::isfinite(movement.SteeringForce.y));
        EXPECT_TRUE(std::isfinite(movement.WanderTarget.x) && std::isfinite(movement.WanderTarget.y));
        if (const PhysicsObject* body = object.Get<PhysicsObject>())
        {
            EXPECT_TRUE(std::isfinite(body->m_velocity.x) && std::isfinite(body->m_velocity.y));
        }
        EXPECT_TRUE(std::isfinite(object.Get<Transform>()->Angle));
    }
};

TEST_F(MovementTest, SeekFromRestPushesAtFullSpeedTowardsTheTarget)
{
    GameObject& seeker = Make(Vector4(0, 0, 0, 0));
    M(seeker).Seek(Vector2(100, 0));
    M(seeker).Update(0.1f);
    EXPECT_FLOAT_EQ(M(seeker).SteeringForce.x, 800.0f);
    EXPECT_FLOAT_EQ(M(seeker).SteeringForce.y, 0.0f);
    EXPECT_FLOAT_EQ(Velocity(seeker).x, 80.0f);
    EXPECT_FLOAT_EQ(Velocity(seeker).y, 0.0f);
}

TEST_F(MovementTest, ForceIsRecomputedOnlyAfterTheIntervalAndAppliedEveryFrame)
{
    GameObject& seeker = Make(Vector4(0, 0, 0, 0));
    M(seeker).Seek(Vector2(100, 0));
    M(seeker).Update(0.04f);
    EXPECT_FLOAT_EQ(M(seeker).SteeringForce.x, 0.0f);
    M(seeker).Update(0.02f);
    EXPECT_FLOAT_EQ(M(seeker).SteeringForce.x, 800.0f);
    M(seeker).Seek(Vector2(-100, 0));
    M(seeker).Update(0.01f);
    EXPECT_FLOAT_EQ(M(seeker).SteeringForce.x, 800.0f) << "the last force again between recomputations";
    EXPECT_FLOAT_EQ(Velocity(seeker).x, 800.0f * 0.03f);
}

TEST_F(MovementTest, EarlierBehavioursTakeTheForceBudgetFirst)
{
    GameObject& mover = Make(Vector4(0, 0, 0, 0));
    M(mover).Flee(Vector2(0, -100));
    M(mover).Seek(Vector2(100, 0));
    M(mover).Update(0.1f);
    EXPECT_NEAR(M(mover).SteeringForce.x, 400.0f, 1e-3f) << "seek cut to what flee left";
    EXPECT_NEAR(M(mover).SteeringForce.y, 800.0f, 1e-3f);

    GameObject& stuck = Make(Vector4(0, 0, 0, 0));
    M(stuck).MaxForce = 0.0f;
    M(stuck).Seek(Vector2(100, 0));
    M(stuck).Update(0.1f);
    EXPECT_FLOAT_EQ(M(stuck).SteeringForce.x, 0.0f);
    ExpectFinite(stuck);
}

TEST_F(MovementTest, SpeedIsCappedAndTheOwnerFacesAlongItsVelocity)
{
    GameObject& mover = Make(Vector4(0, 0, 0, 0));
    Velocity(mover) = Vector4(3000, 4000, 7, 1);
    M(mover).Update(0.01f);
    EXPECT_FLOAT_EQ(Velocity(mover).x, 480.0f);
    EXPECT_FLOAT_EQ(Velocity(mover).y, 640.0f);
    EXPECT_EQ(Velocity(mover).z, 0.0f);

    Velocity(mover) = Vector4(0, 5, 0, 0);
    M(mover).Update(0.01f);
    EXPECT_FLOAT_EQ(mover.Get<Transform>()->Angle, 90.0f);
    Velocity(mover) = Vector4(0, 0, 0, 0);
    M(mover).Update(0.01f);
    EXPECT_FLOAT_EQ(mover.Get<Transform>()->Angle, 0.0f);
}

TEST_F(MovementTest, PursuingADestroyedTargetSwitchesPursuitOff)
{
    GameObject& hunter = Make(Vector4(0, 0, 0, 0));
    GameObject& prey = Make(Vector4(100, 0, 0, 0), true, false);
    M(hunter).Pursue(prey.GetHandle());
    M(hunter).Update(0.1f);
    EXPECT_GT(M(hunter).SteeringForce.x, 0.0f);
    EXPECT_TRUE(M(hunter).IsOn(Movement::Pursuing));

    m_manager.Destroy(prey.GetHandle());
    m_manager.FrameEnd();
    M(hunter).Update(0.1f);
    EXPECT_FALSE(M(hunter).IsOn(Movement::Pursuing));
    EXPECT_FLOAT_EQ(M(hunter).SteeringForce.x, 0.0f);
}

// One recomputation of a single behaviour, pinned to the steering formulas. The force budget is
// lifted so that no force is cut.
TEST_F(MovementTest, BehaviourForcesFollowTheSteeringFormulas)
{
    const float lookAhead = 200.0f / (800.0f + 300.0f);
    const Vector2 predicted(200.0f, 300.0f * lookAhead);
    const Vector2 towardsPredicted =
        predicted * (800.0f / std::sqrt(predicted.x * predicted.x + predicted.y * predicted.y));

    // The wander step from the two draws the component will make: the second gives x, the first y.
    SeedEngineRand(11);
    const double jy = 2.0 * (EngineRand() / 32767.0) - 1.0;
    const double jx = 2.0 * (EngineRand() / 32767.0) - 1.0;
    const double radius = 10.0, jitter = 40.0, distance = 20.0, elapsed = 0.1;
    double wx = jx * jitter * elapsed, wy = jy * jitter * elapsed;
    const double scale = radius / std::sqrt(wx * wx + wy * wy);
    wx *= scale;
    wy *= scale;
    // Heading straight up (90 degrees): the local point (wx + distance, wy) turns to (-wy, wx + distance).
    const Vector2 wander(static_cast<float>(-wy), static_cast<float>(wx + distance));

    struct Case
    {
        const char* name;
        Vector4 velocity;
        std::function<void(Movement&)> start;
        Vector2 force;
    };
    GameObject* target = nullptr;
    const std::vector<Case> cases = {
        // d * (2 * min(dist / deceleration, MaxSpeed) - |v|) * 0.1, d not normalised.
        {"arrive at rest", {}, [](Movement& m) { m.Arrive(Vector2(100, 0), 2.0f); }, {1000.0f, 0.0f}},
        {"arrive moving",
         {10, 0, 0, 0},
         [](Movement& m) { m.Arrive(Vector2(30, 40), 1.0f); },
         {270.0f, 360.0f}},
        {"arrive far, speed capped",
         {},
         [](Movement& m) { m.Arrive(Vector2(10000, 0), 3.0f); },
         {1.6e6f, 0.0f}},
        // Flee from where the pursuer will be: 100 / (800 + 200) seconds ahead, at (80, 0).
        {"evade",
         {},
         [&](Movement& m)
         {
             target = &Make(Vector4(100, 0, 0, 0), true, false);
             Velocity(*target) = Vector4(-200, 0, 0, 0);
             m.Evade(target->GetHandle());
         },
         {-800.0f, 0.0f}},
        // Facing each other (headings' dot below -0.95): seek the target itself, not where it will be.
        {"pursue head-on",
         {100, 0, 0, 0},
         [&](Movement& m)
         {
             target = &Make(Vector4(200, 0, 0, 0), true, false);
             Velocity(*target) = Vector4(-300, 20, 0, 0);
             m.Pursue(target->GetHandle());
         },
         {700.0f, 0.0f}},
        {"pursue crossing",
         {100, 0, 0, 0},
         [&](Movement& m)
         {
             target = &Make(Vector4(200, 0, 0, 0), true, false);
             Velocity(*target) = Vector4(0, 300, 0, 0);
             m.Pursue(target->GetHandle());
         },
         towardsPredicted - Vector2(100, 0)},
        {"wander",
         {0, 50, 0, 0},
         [&](Movement& m)
         {
             SeedEngineRand(11);
             m.Wander(static_cast<float>(radius), static_cast<float>(jitter), static_cast<float>(distance));
         },
         wander},
    };
    for (const Case& c : cases)
    {
        GameObject& mover = Make(Vector4(0, 0, 0, 0));
        Velocity(mover) = c.velocity;
        M(mover).MaxForce = 1e9f;
        c.start(M(mover));
        M(mover).Update(0.1f);
        const float tolerance = 1e-4f * std::max(1.0f, std::abs(c.force.x) + std::abs(c.force.y));
        EXPECT_NEAR(M(mover).SteeringForce.x, c.force.x, tolerance) << c.name;
        EXPECT_NEAR(M(mover).SteeringForce.y, c.force.y, tolerance) << c.name;
    }
}

TEST_F(MovementTest, WanderRepeatsWithTheSameSeed)
{
    auto run = [this]
    {
        SeedEngineRand(7);
        GameObject& wanderer = Make(Vector4(0, 0, 0, 0));
        M(wanderer).Wander(10.0f, 40.0f, 20.0f);
        for (int frame = 0; frame < 5; ++frame)
            M(wanderer).Update(0.06f);
        return M(wanderer).WanderTarget;
    };
    const Vector4 first = run();
    const Vector4 second = run();
    EXPECT_EQ(first, second);
    EXPECT_NEAR(std::sqrt(first.x * first.x + first.y * first.y), 10.0f, 1e-3f) << "on the wander circle";
}

TEST_F(MovementTest, UnsetTargetsAndDegenerateSettingsGiveNoNaN)
{
    struct Case
    {
        const char* name;
        void (*setUp)(Movement&);
    };
    const Case cases[] = {
        {"everything on, nothing set", [](Movement& m) { m.EnableAll(); }},
        {"wander without jitter", [](Movement& m) { m.Wander(5.0f, 0.0f, 10.0f); }},
        {"arrive with deceleration 0", [](Movement& m) { m.Arrive(Vector2(50, 50), 0.0f); }},
        {"pursue and evade with speed 0",
         [](Movement& m)
         {
             m.MaxSpeed = 0.0f;
             m.Pursue(m.GetOwnerHandle());
             m.Evade(m.GetOwnerHandle());
         }},
        {"seek onto itself", [](Movement& m) { m.Seek(Vector2(0, 0)); }},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.name);
        GameObject& mover = Make(Vector4(0, 0, 0, 0));
        c.setUp(M(mover));
        for (int frame = 0; frame < 3; ++frame)
            M(mover).Update(0.06f);
        ExpectFinite(mover);
    }
}

TEST_F(MovementTest, OwnerWithoutBodyOrTransformIsLeftAlone)
{
    GameObject& bodiless = Make(Vector4(0, 0, 0, 0), false);
    M(bodiless).Seek(Vector2(100, 0));
    M(bodiless).Update(0.1f);
    EXPECT_FLOAT_EQ(M(bodiless).SteeringForce.x, 0.0f);

    GameObject& placeless = Make(Vector4(0, 0, 0, 0));
    placeless.SetComponent(Transform::TypeId(), nullptr, Transform::kTypeName);
    M(placeless).Seek(Vector2(100, 0));
    M(placeless).Update(0.1f);
    EXPECT_FLOAT_EQ(Velocity(placeless).x, 0.0f);
}

TEST_F(MovementTest, ArrowOfTheForceIsRequestedEveryFrame)
{
    int arrows = 0;
    Vector3 tip;
    m_messages.RegisterListener<void(Vector3, Vector3, RGBA)>("DrawDebugArrow",
                                                              [&](Vector3, Vector3 to, RGBA colour)
                                                              {
                                                                  ++arrows;
                                                                  tip = to;
                                                                  EXPECT_EQ(colour, RGBA(0xFFFF0000u));
                                                              });
    GameObject& seeker = Make(Vector4(10, 0, 0, 0));
    M(seeker).Seek(Vector2(100, 0));
    M(seeker).Update(0.1f);
    M(seeker).Update(0.01f);
    EXPECT_EQ(arrows, 2);
    EXPECT_NEAR(tip.x, 10.0f + 800.0f / 1200.0f * 50.0f, 1e-3f);
}

} // namespace
} // namespace Quarn::test
