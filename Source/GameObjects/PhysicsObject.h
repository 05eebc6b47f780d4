#pragma once

#include "Core/Vector4.h"
#include "GameObjects/ComponentT.h"

#include <list>

namespace Quarn
{

class DistanceJoint;

// The rigid body of a game object: velocities, inverse mass and inertia, friction. Kept with the game
// objects because steering writes its velocity; the physics system owns its behaviour.
class PhysicsObject : public ComponentT<PhysicsObject>
{
public:
    static constexpr const char* kTypeName = "PhysicsObject";

    PhysicsObject() = default;
    // The joints stay attached to the original body.
    PhysicsObject(const PhysicsObject& source);

    // "InvMass", "InvInertia" (InvMass / 6 when absent on input), "Friction", "Elasticity", "Respond",
    // "Velocity", "AngularVelocity".
    bool Serialize(Serializer& serializer) override;
    static void RegisterLuaMethods(lua_State* state);

    // Moves the owner's transform by the velocities over dt: the angle first, then x and y (never z),
    // the transform announcing each change.
    void Integrate(float dt);
    void AddVelocity(float x, float y)
    {
        m_velocity.x += x;
        m_velocity.y += y;
    }

    Vector4 m_velocity{0.0f, 0.0f, 0.0f, 0.0f};
    Vector4 m_angularVelocity{0.0f, 0.0f, 0.0f, 0.0f};
    Vector4 m_oldVelocity{0.0f, 0.0f, 0.0f, 0.0f};
    Vector4 m_oldAngularVelocity{0.0f, 0.0f, 0.0f, 0.0f};
    float InvMass = 0.0f;
    float InvInertia = 0.0f;
    float Friction = 0.0f;
    float Elasticity = 0.0f;
    std::list<DistanceJoint*> m_joints;
    bool Respond = true;
};

} // namespace Quarn
