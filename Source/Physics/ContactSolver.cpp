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

// A body's share of a pair: its inverse mass and inertia and its velocities (none for a missing body).
struct Side
{
    explicit Side(PhysicsObject* body) : body(body) {}
    PhysicsObject* body;
    float InvMass() const { return body ? body->InvMass : 0.0f; }
    float InvInertia() const { return body ? body->InvInertia : 0.0f; }
    // Velocity of the body's point at r from its position.
    void PointVelocity(float rx, float ry, float& vx, float& vy) const
    {
        if (!body)
        {
            vx = vy = 0.0f;
            return;
        }
        const float w = body->m_angularVelocity.z;
        vx = body->m_velocity.x - w * ry;
        vy = body->m_velocity.y + w * rx;
    }
    void Apply(float px, float py, float rx, float ry, float sign) const
    {
        if (!body)
            return;
        body->m_velocity.x += sign * body->InvMass * px;
        body->m_velocity.y += sign * body->InvMass * py;
        body->m_angularVelocity.z += sign * body->InvInertia * Cross(rx, ry, px, py);
    }
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
    const Side sideA(&a);
    const Side sideB(&b);
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
        sideA.Apply(px, py, rax, ray, 1.0f);
        sideB.Apply(px, py, rbx, rby, -1.0f);
    }
}

void ContactSolver::ApplyImpulses(CollisionPair& pair)
{
    if (!pair.respond)
        return;
    if (pair.colliderA->IsGooHack && pair.colliderB->IsGooHack)
    {
        const float dx = pair.positionA.x - pair.positionB.x;
        const float dy = pair.positionA.y - pair.positionB.y;
        const float length = std::sqrt(dx * dx + dy * dy);
        if (length < FLT_EPSILON)
            return;
        const float ux = dx / length * kGooPush;
        const float uy = dy / length * kGooPush;
        pair.bodyA->AddVelocity(ux, uy);
        pair.bodyB->AddVelocity(-ux, -uy);
        return;
    }
    Solve(pair);
}

void ContactSolver::Solve(CollisionPair& pair)
{
    CollisionData& data = pair.data;
    if (data.m_count == 0)
        return;
    if (data.m_count > 2)
    {
        QUARN_ASSERT_FAILED_AS("c.m_cData->m_count > 2",
                               "There should NEVER be more than two contact points!");
        return;
    }
    const Side a(pair.bodyA);
    const Side b(pair.bodyB);
    const float nx = data.normal.x;
    const float ny = data.normal.y;
    const float tx = ny;
    const float ty = -nx;
    for (std::uint32_t k = 0; k < data.m_count; ++k)
    {
        const Vector4& c = data.contacts[k];
        const float rax = c.x - pair.positionA.x;
        const float ray = c.y - pair.positionA.y;
        const float rbx = c.x - pair.positionB.x;
        const float rby = c.y - pair.positionB.y;
        const auto relativeVelocity = [&](float& dvx, float& dvy)
        {
            float vax = 0.0f;
            float vay = 0.0f;
            float vbx = 0.0f;
            float vby = 0.0f;
            a.PointVelocity(rax, ray, vax, vay);
            b.PointVelocity(rbx, rby, vbx, vby);
            dvx = vax - vbx;
            dvy = vay - vby;
        };
        float dvx = 0.0f;
        float dvy = 0.0f;
        relativeVelocity(dvx, dvy);
        const float dPn = data.normalMasses[k] * (data.biases[k] - (nx * dvx + ny * dvy));
        const float pn = std::max(data.normalImpulses[k] + dPn, 0.0f);
        const float appliedN = pn - data.normalImpulses[k];
        data.normalImpulses[k] = pn;
        a.Apply(nx * appliedN, ny * appliedN, rax, ray, 1.0f);
        b.Apply(nx * appliedN, ny * appliedN, rbx, rby, -1.0f);
        if (pair.friction == 0.0f)
            continue;
        relativeVelocity(dvx, dvy);
        const float limit = pair.friction * data.normalImpulses[k];
        const float dPt = -data.tangentMasses[k] * (tx * dvx + ty * dvy);
        const float pt = std::clamp(data.tangentImpulses[k] + dPt, -limit, limit);
        const float appliedT = pt - data.tangentImpulses[k];
        data.tangentImpulses[k] = pt;
        a.Apply(tx * appliedT, ty * appliedT, rax, ray, 1.0f);
        b.Apply(tx * appliedT, ty * appliedT, rbx, rby, -1.0f);
    }
}

} // namespace Quarn
