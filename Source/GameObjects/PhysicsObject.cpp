#include "GameObjects/PhysicsObject.h"

#include "GameObjects/GameObject.h"
#include "GameObjects/Transform.h"
#include "Resources/SerializerTypes.h"

namespace Quarn
{

PhysicsObject::PhysicsObject(const PhysicsObject& source)
    : ComponentT(source), m_velocity(source.m_velocity), m_angularVelocity(source.m_angularVelocity),
      m_oldVelocity(source.m_oldVelocity), m_oldAngularVelocity(source.m_oldAngularVelocity),
      InvMass(source.InvMass), InvInertia(source.InvInertia), Friction(source.Friction),
      Elasticity(source.Elasticity), Respond(source.Respond)
{
}

bool PhysicsObject::Serialize(Serializer& serializer)
{
    SerializeNamed(serializer, InvMass, "InvMass");
    if (!SerializeNamed(serializer, InvInertia, "InvInertia") && serializer.IsInput())
        InvInertia = static_cast<float>(InvMass / 6.0);
    SerializeNamed(serializer, Friction, "Friction");
    SerializeNamed(serializer, Elasticity, "Elasticity");
    SerializeNamed(serializer, Respond, "Respond");
    SerializeNamed(serializer, m_velocity, "Velocity");
    SerializeNamed(serializer, m_angularVelocity, "AngularVelocity");
    return true;
}

void PhysicsObject::Integrate(float dt)
{
    Transform* transform = GetOwner() ? GetOwner()->Get<Transform>() : nullptr;
    if (!transform)
        return;
    float angle = Transform::ToRadians(transform->Angle);
    angle += m_angularVelocity.z * dt;
    transform->Angle = Transform::ToDegrees(angle);
    transform->NotifyChanged();
    transform->Position.x += m_velocity.x * dt;
    transform->Position.y += m_velocity.y * dt;
    transform->NotifyChanged();
}

} // namespace Quarn
