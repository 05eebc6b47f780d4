#include "Physics/ContactSolver.h"

#include "Core/OutputHandler.h"
#include "Core/RestartGameException.h"
#include "GameObjects/PhysicsObject.h"
#include "Physics/Collider.h"
#include "Physics/CollisionPair.h"

#include <algorithm>
#include <cfloat>
#include <cmath>

namespace Quarn
{

namespace
{

constexpr float kBiasFactor = 0.2f;
constexpr float kAllowedPenetration = 0.1f;
constexpr float kGooPush = 20.0f;

float Cross(float ax, float ay, float bx, float by)
{
    return ax * by - ay * bx;
}

// A body's velocities while a pass works on them.
struct Motion
{
    explicit Motion(const PhysicsObject& body)
        : vx(body.m_velocity.x), vy(body.m_velocity.y), w(body.m_angularVelocity.z)
    {
    }
    void StoreIn(PhysicsObject& body) const
    {
        body.m_velocity.x = vx;
        body.m_velocity.y = vy;
        body.m_angularVelocity.z = w;
    }
    // Applies the impulse P at r from the body's position: +P to A, -P to B (sign), through the inverse
    // mass and inertia.
    void Push(float invMass, float invInertia, float px, float py, float rx, float ry, float sign)
    {
        vx += sign * invMass * px;
        vy += sign * invMass * py;
        w += sign * invInertia * Cross(rx, ry, px, py);
    }
    // Velocity of the body's point at r from its position.
    void AtPoint(float rx, float ry, float& pointX, float& pointY) const
    {
        pointX = vx - w * ry;
        pointY = vy + w * rx;
    }
    float vx;
    float vy;
    float w;
};

float EffectiveMass(float mA, float mB, float iA, float iB, float rax, float ray, float rbx, float rby,
                    float nx, float ny)
{
    const float rnA = rax * nx + ray * ny;
    const float rnB = rbx * nx + rby * ny;
    const float k =
        mA + mB + iA * (rax * rax + ray * ray - rnA * rnA) + iB * (rbx * rbx + rby * rby - rnB * rnB);
    return 1.0f / k;
}

} // namespace

void ContactSolver::SetUpPair(CollisionPair& pair)
{
    if (pair.bodyA && pair.bodyB && pair.bodyA->Respond && pair.bodyB->Respond)
        pair.friction = std::sqrt(pair.bodyA->Friction * pair.bodyB->Friction);
    else
        pair.respond = false;
}

void ContactSolver::PrepareContacts(CollisionPair& pair, float invDt)
{
    if (!pair.respond)
        return;
    PhysicsObject& a = *pair.bodyA;
    PhysicsObject& b = *pair.bodyB;
    if (a.InvMass == 0.0f && a.InvInertia == 0.0f && b.InvMass == 0.0f && b.InvInertia == 0.0f)
        pair.respond = false;
    a.m_oldVelocity = a.m_velocity;
    a.m_oldAngularVelocity = a.m_angularVelocity;
    b.m_oldVelocity = b.m_velocity;
    b.m_oldAngularVelocity = b.m_angularVelocity;
    CollisionData& data = pair.data;
    const float nx = data.normal.x;
    const float ny = data.normal.y;
    const float tx = ny;
    const float ty = -nx;
    Motion motionA(a);
    Motion motionB(b);
    for (std::uint32_t k = 0; k < data.m_count && k < 2; ++k)
    {
        const Vector4& c = data.contacts[k];
        const float rax = c.x - pair.positionA.x;
        const float ray = c.y - pair.positionA.y;
        const float rbx = c.x - pair.positionB.x;
        const float rby = c.y - pair.positionB.y;
        data.normalMasses[k] =
            EffectiveMass(a.InvMass, b.InvMass, a.InvInertia, b.InvInertia, rax, ray, rbx, rby, nx, ny);
        data.tangentMasses[k] =
            EffectiveMass(a.InvMass, b.InvMass, a.InvInertia, b.InvInertia, rax, ray, rbx, rby, tx, ty);
        data.biases[k] = -kBiasFactor * invDt * std::min(0.0f, kAllowedPenetration - data.penetration);
        float px = nx * data.normalImpulses[k];
        float py = ny * data.normalImpulses[k];
        if (pair.friction != 0.0f)
        {
            px += tx * data.tangentImpulses[k];
            py += ty * data.tangentImpulses[k];
        }
        motionA.Push(a.InvMass, a.InvInertia, px, py, rax, ray, 1.0f);
        motionB.Push(b.InvMass, b.InvInertia, px, py, rbx, rby, -1.0f);
    }
    motionA.StoreIn(a);
    motionB.StoreIn(b);
}

bool ContactSolver::MakeConstraint(const CollisionPair& pair, Constraint& constraint)
{
    const CollisionData& data = pair.data;
    constraint.a = pair.bodyA;
    constraint.b = pair.bodyB;
    constraint.invMassA = pair.bodyA->InvMass;
    constraint.invInertiaA = pair.bodyA->InvInertia;
    constraint.invMassB = pair.bodyB->InvMass;
    constraint.invInertiaB = pair.bodyB->InvInertia;
    constraint.nx = data.normal.x;
    constraint.ny = data.normal.y;
    constraint.friction = pair.friction;
    constraint.goo = pair.colliderA->IsGooHack && pair.colliderB->IsGooHack;
    constraint.count = data.m_count;
    if (constraint.goo)
    {
        const float dx = pair.positionA.x - pair.positionB.x;
        const float dy = pair.positionA.y - pair.positionB.y;
        const float length = std::sqrt(dx * dx + dy * dy);
        constraint.push = length >= FLT_EPSILON;
        constraint.pushX = constraint.push ? dx / length * kGooPush : 0.0f;
        constraint.pushY = constraint.push ? dy / length * kGooPush : 0.0f;
        return constraint.push;
    }
    for (std::uint32_t k = 0; k < data.m_count && k < 2; ++k)
    {
        const Vector4& c = data.contacts[k];
        constraint.points[k] = {c.x - pair.positionA.x, c.y - pair.positionA.y, c.x - pair.positionB.x,
                                c.y - pair.positionB.y, data.normalMasses[k],   data.tangentMasses[k],
                                data.biases[k],         data.normalImpulses[k], data.tangentImpulses[k]};
    }
    return data.m_count != 0;
}

void ContactSolver::Apply(Constraint& constraint)
{
    PhysicsObject& a = *constraint.a;
    PhysicsObject& b = *constraint.b;
    if (constraint.goo)
    {
        if (constraint.push)
        {
            a.AddVelocity(constraint.pushX, constraint.pushY);
            b.AddVelocity(-constraint.pushX, -constraint.pushY);
        }
        return;
    }
    if (constraint.count > 2)
    {
        QUARN_ASSERT_FAILED_AS("c.m_cData->m_count > 2",
                               "There should NEVER be more than two contact points!");
        return;
    }
    const float mA = constraint.invMassA;
    const float iA = constraint.invInertiaA;
    const float mB = constraint.invMassB;
    const float iB = constraint.invInertiaB;
    const float nx = constraint.nx;
    const float ny = constraint.ny;
    const float tx = ny;
    const float ty = -nx;
    Motion motionA(a);
    Motion motionB(b);
    for (std::uint32_t k = 0; k < constraint.count; ++k)
    {
        Constraint::Point& point = constraint.points[k];
        const auto relativeVelocity = [&](float& dvx, float& dvy)
        {
            float vax = 0.0f;
            float vay = 0.0f;
            float vbx = 0.0f;
            float vby = 0.0f;
            motionA.AtPoint(point.rax, point.ray, vax, vay);
            motionB.AtPoint(point.rbx, point.rby, vbx, vby);
            dvx = vax - vbx;
            dvy = vay - vby;
        };
        float dvx = 0.0f;
        float dvy = 0.0f;
        relativeVelocity(dvx, dvy);
        const float dPn = point.normalMass * (point.bias - (nx * dvx + ny * dvy));
        const float pn = std::max(point.normalImpulse + dPn, 0.0f);
        const float appliedN = pn - point.normalImpulse;
        point.normalImpulse = pn;
        motionA.Push(mA, iA, nx * appliedN, ny * appliedN, point.rax, point.ray, 1.0f);
        motionB.Push(mB, iB, nx * appliedN, ny * appliedN, point.rbx, point.rby, -1.0f);
        if (constraint.friction == 0.0f)
            continue;
        relativeVelocity(dvx, dvy);
        const float limit = constraint.friction * point.normalImpulse;
        const float dPt = -point.tangentMass * (tx * dvx + ty * dvy);
        const float pt = std::clamp(point.tangentImpulse + dPt, -limit, limit);
        const float appliedT = pt - point.tangentImpulse;
        point.tangentImpulse = pt;
        motionA.Push(mA, iA, tx * appliedT, ty * appliedT, point.rax, point.ray, 1.0f);
        motionB.Push(mB, iB, tx * appliedT, ty * appliedT, point.rbx, point.rby, -1.0f);
    }
    motionA.StoreIn(a);
    motionB.StoreIn(b);
}

void ContactSolver::KeepImpulses(const Constraint& constraint, CollisionPair& pair)
{
    for (std::uint32_t k = 0; k < constraint.count && k < 2; ++k)
    {
        pair.data.normalImpulses[k] = constraint.points[k].normalImpulse;
        pair.data.tangentImpulses[k] = constraint.points[k].tangentImpulse;
    }
}

void ContactSolver::ApplyImpulses(CollisionPair& pair)
{
    Constraint constraint;
    if (!pair.respond || !MakeConstraint(pair, constraint))
        return;
    Apply(constraint);
    KeepImpulses(constraint, pair);
}

} // namespace Quarn
