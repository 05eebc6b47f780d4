#include "GameObjects/PhysicsObject.h"

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

} // namespace Quarn
