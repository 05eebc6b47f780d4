#include "Physics/ContactSolver.h"
#include "Physics/PhysicsTestSupport.h"

namespace Quarn::test
{
namespace
{

// A pair record between two objects with bodies, touching at one contact point between them.
class ContactSolverTest : public PhysicsTest
{
protected:
    CollisionPair MakePair(float penetration)
    {
        Start();
        GameObject& a = Object("a", 0.0f, 1.0f);
        GameObject& b = Object("b", 0.0f, -1.0f);
        m_a = &AddBody(a, 1.0f);
        m_b = &AddBody(b, 0.0f);
        m_b->InvInertia = 0.0f;
        m_colliderA = &AddBox(a, 1.0f);
        m_colliderB = &AddBox(b, 1.0f);
        CollisionPair pair;
        pair.colliderA = m_colliderA;
        pair.colliderB = m_colliderB;
        pair.positionA = a.Get<Transform>()->Position;
        pair.positionB = b.Get<Transform>()->Position;
        pair.bodyA = m_a;
        pair.bodyB = m_b;
        pair.data.m_count = 1;
        pair.data.collided = true;
        pair.data.contacts[0] = Vector4(0.0f, 0.0f, 0.0f, 0.0f);
        pair.data.normal = Vector4(0.0f, 1.0f, 0.0f, 0.0f);
        pair.data.penetration = penetration;
        ContactSolver::SetUpPair(pair);
        return pair;
    }

    PhysicsObject* m_a = nullptr;
    PhysicsObject* m_b = nullptr;
    Collider* m_colliderA = nullptr;
    Collider* m_colliderB = nullptr;
};

// The bias is 0 up to 0.1 units of overlap and 0.2 x invDt per unit beyond; a body resting on a static
// one gets a normal impulse that never goes negative.
TEST_F(ContactSolverTest, TheBiasStartsPastATenthOfAUnitAndImpulsesOnlyPush)
{
    const struct
    {
        float penetration;
        float bias;
    } cases[] = {{0.05f, 0.0f}, {0.1f, 0.0f}, {0.3f, 0.04f * 60.0f}};
    for (const auto& c : cases)
    {
        CollisionPair pair = MakePair(c.penetration);
        m_a->m_velocity = Vector4(0.0f, -3.0f, 0.0f, 0.0f);
        ContactSolver::PrepareContacts(pair, 60.0f);
        EXPECT_NEAR(pair.data.biases[0], c.bias, 1e-4f) << c.penetration;
        ContactSolver::ApplyImpulses(pair);
        EXPECT_GE(pair.data.normalImpulses[0], 0.0f);
        EXPECT_NEAR(m_a->m_velocity.y, c.bias, 1e-4f) << "the approach is stopped, the bias pushes out";
        m_a->m_velocity = Vector4(0.0f, 5.0f, 0.0f, 0.0f);
        const float before = pair.data.normalImpulses[0];
        ContactSolver::ApplyImpulses(pair);
        EXPECT_GE(pair.data.normalImpulses[0], 0.0f);
        EXPECT_LE(pair.data.normalImpulses[0], before) << "separating bodies are not pulled back";
    }
}

// Two goo objects 6 units apart (within the 8-unit touch) are pushed 20 units a second per pass, away
// from each other; at one spot nothing happens.
TEST_F(ContactSolverTest, GooPairsPushApartEveryPass)
{
    CollisionPair pair = MakePair(0.0f);
    m_b->InvMass = 1.0f;
    m_colliderA->IsGooHack = m_colliderB->IsGooHack = true;
    pair.positionB.y = -5.0f;
    for (int pass = 0; pass < 10; ++pass)
        ContactSolver::ApplyImpulses(pair);
    EXPECT_FLOAT_EQ(m_a->m_velocity.y, 200.0f);
    EXPECT_FLOAT_EQ(m_b->m_velocity.y, -200.0f);
    pair.positionB.y = 1.0f;
    ContactSolver::ApplyImpulses(pair);
    EXPECT_FLOAT_EQ(m_a->m_velocity.y, 200.0f);
}

// Joint damping scales both bodies' velocities by 0.9 for a step of 1/60 s or shorter, and stops them
// in a step of dt 0.
TEST_F(ContactSolverTest, JointsDampTheirBodies)
{
    MakePair(0.0f);
    m_b->InvMass = 1.0f;
    DistanceJoint joint;
    joint.Init(m_a, m_b);
    m_a->m_velocity = Vector4(10.0f, 0.0f, 0.0f, 0.0f);
    m_b->m_angularVelocity.z = 2.0f;
    joint.Damp(60.0f);
    EXPECT_FLOAT_EQ(m_a->m_velocity.x, 9.0f);
    EXPECT_FLOAT_EQ(m_b->m_angularVelocity.z, 1.8f);
    joint.Damp(0.0f);
    EXPECT_EQ(m_a->m_velocity.x, 0.0f);
    joint.Detach();
    CapturedErrors errors;
    joint.Detach();
    EXPECT_TRUE(errors.Any("Attempting to detach already invalid joint."));
}

} // namespace
} // namespace Quarn::test
