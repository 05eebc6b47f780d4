#include "Physics/DistanceJoint.h"

#include "Core/OutputHandler.h"
#include "Core/RestartGameException.h"
#include "GameObjects/GameObject.h"
#include "GameObjects/PhysicsObject.h"
#include "GameObjects/Transform.h"
#include "Resources/SerializerTypes.h"

#include <cfloat>
#include <cmath>

namespace Quarn
{

DistanceJoint::DistanceJoint(const DistanceJoint& source)
    : ComponentT(source), m_anchor1(source.m_anchor1), m_anchor2(source.m_anchor2), m_r1(source.m_r1),
      m_r2(source.m_r2), m_restLength(source.m_restLength), m_accumulatedImpulse(source.m_accumulatedImpulse),
      m_bias(source.m_bias), m_effectiveMass(source.m_effectiveMass), m_snapable(source.m_snapable),
      Hardness(source.Hardness), m_axis(source.m_axis)
{
}

bool DistanceJoint::Serialize(Serializer& serializer)
{
    // A joint read from a file starts unattached. Writing leaves the joint as it is.
    if (!serializer.IsInput())
    {
        SerializeNamed(serializer, Hardness, "Hardness");
        return true;
    }
    // Read into a joint in play (the inspector does), it leaves its bodies' lists as well.
    if (IsAttached())
        Detach();
    m_anchor1 = m_anchor2 = m_axis = Vector4(0.0f, 0.0f, 0.0f, 0.0f);
    m_restLength = m_accumulatedImpulse = m_bias = 0.0f;
    Hardness = 1.0f;
    SerializeNamed(serializer, Hardness, "Hardness");
    return true;
}

void DistanceJoint::Init(PhysicsObject* body1, PhysicsObject* body2)
{
    // A joint is in both its bodies' lists or in none, so that Detach always empties them of it.
    if (IsAttached())
        Detach();
    if (!body1 || !body2)
    {
        QUARN_REPORT(
            "A DistanceJoint needs two bodies to join; one is missing, so the joint stays unattached");
        return;
    }
    m_snapable = true;
    m_phy1 = body1;
    m_phy2 = body2;
    m_link1 = body1->m_joints.insert(body1->m_joints.end(), this);
    m_link2 = body2->m_joints.insert(body2->m_joints.end(), this);
}

void DistanceJoint::Attach(const Vector4& anchor1, const Vector4& anchor2, float restLength)
{
    m_anchor1 = anchor1;
    m_anchor2 = anchor2;
    m_restLength = restLength;
}

void DistanceJoint::Detach()
{
    if (!m_phy1 || !m_phy2)
    {
        QUARN_ASSERT_FAILED_AS("m_phy1 == NULL || m_phy2 == NULL",
                               "Attempting to detach already invalid joint.");
        return;
    }
    m_phy1->m_joints.erase(m_link1);
    m_phy2->m_joints.erase(m_link2);
    m_phy1 = m_phy2 = nullptr;
}

namespace
{

const Transform* LiveTransform(const PhysicsObject* body)
{
    const GameObject* owner = body ? body->GetOwner() : nullptr;
    return owner && owner->IsLive() ? owner->Get<Transform>() : nullptr;
}

float Cross(const Vector4& a, const Vector4& b)
{
    return a.x * b.y - a.y * b.x;
}

Vector4 Rotated(const Vector4& v, float degrees)
{
    const float angle = Transform::ToRadians(degrees);
    const float c = std::cos(angle);
    const float s = std::sin(angle);
    return Vector4(v.x * c - v.y * s, v.x * s + v.y * c, 0.0f, 0.0f);
}

} // namespace

void DistanceJoint::Prepare(float invDt)
{
    const Transform* t1 = LiveTransform(m_phy1);
    const Transform* t2 = LiveTransform(m_phy2);
    if (!t1 || !t2)
    {
        m_effectiveMass = 0.0f;
        m_axis = Vector4(0.0f, 0.0f, 0.0f, 0.0f);
        return;
    }
    m_r1 = Rotated(m_anchor1, t1->Angle);
    m_r2 = Rotated(m_anchor2, t2->Angle);
    const float dx = t1->Position.x + m_r1.x - t2->Position.x - m_r2.x;
    const float dy = t1->Position.y + m_r1.y - t2->Position.y - m_r2.y;
    const float length = std::sqrt(dx * dx + dy * dy);
    m_axis = length > 0.01f ? Vector4(dx / length, dy / length, 0.0f, 0.0f) : Vector4(0.0f, 0.0f, 0.0f, 0.0f);
    const float c1 = Cross(m_r1, m_axis);
    const float c2 = Cross(m_r2, m_axis);
    const float k =
        m_phy1->InvMass + m_phy2->InvMass + m_phy1->InvInertia * c1 * c1 + m_phy2->InvInertia * c2 * c2;
    m_effectiveMass = k != 0.0f ? 1.0f / k : 0.0f;
    m_bias = (length - m_restLength) * Hardness * invDt / 10.0f;
    const Vector4 p = m_axis * m_accumulatedImpulse;
    m_phy1->m_velocity.x += m_phy1->InvMass * p.x;
    m_phy1->m_velocity.y += m_phy1->InvMass * p.y;
    m_phy2->m_velocity.x -= m_phy2->InvMass * p.x;
    m_phy2->m_velocity.y -= m_phy2->InvMass * p.y;
    m_phy1->m_angularVelocity.z += m_phy1->InvInertia * Cross(m_r1, p);
    m_phy2->m_angularVelocity.z -= m_phy2->InvInertia * Cross(m_r2, p);
    m_accumulatedImpulse = 0.0f;
}

void DistanceJoint::ApplyImpulse()
{
    if (!LiveTransform(m_phy1) || !LiveTransform(m_phy2))
        return;
    PhysicsObject& b1 = *m_phy1;
    PhysicsObject& b2 = *m_phy2;
    const float w1 = b1.m_angularVelocity.z;
    const float w2 = b2.m_angularVelocity.z;
    const float dvx = (b1.m_velocity.x - w1 * m_r1.y) - (b2.m_velocity.x - w2 * m_r2.y);
    const float dvy = (b1.m_velocity.y + w1 * m_r1.x) - (b2.m_velocity.y + w2 * m_r2.x);
    const float lambda = -m_effectiveMass * (m_axis.x * dvx + m_axis.y * dvy + m_bias);
    m_accumulatedImpulse += lambda;
    const Vector4 p = m_axis * lambda;
    b1.m_velocity.x += b1.InvMass * p.x;
    b1.m_velocity.y += b1.InvMass * p.y;
    b2.m_velocity.x -= b2.InvMass * p.x;
    b2.m_velocity.y -= b2.InvMass * p.y;
    b1.m_angularVelocity.z += b1.InvInertia * Cross(m_r1, p);
    b2.m_angularVelocity.z -= b2.InvInertia * Cross(m_r2, p);
}

void DistanceJoint::Damp(float invDt)
{
    if (!LiveTransform(m_phy1) || !LiveTransform(m_phy2))
        return;
    float s = invDt;
    if (s < FLT_EPSILON)
        s = 0.0f;
    if (s > 1.0f)
        s = 1.0f;
    const float factor = 0.9f * s;
    for (PhysicsObject* body : {m_phy1, m_phy2})
    {
        body->m_velocity *= factor;
        body->m_angularVelocity *= factor;
    }
}

} // namespace Quarn
