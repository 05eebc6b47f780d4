#pragma once

#include "Core/Vector4.h"
#include "GameObjects/ComponentT.h"

#include <list>

namespace Quarn
{

class PhysicsObject;

// Keeps an anchor on one rigid body at a rest distance from an anchor on another.
class DistanceJoint : public ComponentT<DistanceJoint>
{
public:
    static constexpr const char* kTypeName = "DistanceJoint";

    DistanceJoint() = default;
    // A copy is attached to no body: the bodies' joint lists hold the original.
    DistanceJoint(const DistanceJoint& source);

    // "Hardness"; reading first detaches the joint and resets it, with Hardness 1.
    bool Serialize(Serializer& serializer) override;
    static void RegisterLuaMethods(lua_State* state);

    // Joins the two bodies (appending the joint to both bodies' joint lists); snapable becomes true. A
    // joint already attached leaves its bodies first; with a body missing it is reported and stays
    // unattached.
    void Init(PhysicsObject* body1, PhysicsObject* body2);
    void Attach(const Vector4& anchor1, const Vector4& anchor2, float restLength);
    // Leaves both bodies; a joint that has none is reported.
    void Detach();
    bool IsAttached() const { return m_phy1 && m_phy2; }

    // The solver's steps, with the step's inverse dt: the axis, mass and bias with a warm start; one
    // impulse per pass (it pushes and pulls); damping of both bodies after the passes. A joint without
    // both bodies (not yet joined, or detached), or whose bodies' objects are gone, does nothing.
    void Prepare(float invDt);
    void ApplyImpulse();
    void Damp(float invDt);

    Vector4 m_anchor1{0.0f, 0.0f, 0.0f, 0.0f};
    Vector4 m_anchor2{0.0f, 0.0f, 0.0f, 0.0f};
    Vector4 m_r1{0.0f, 0.0f, 0.0f, 0.0f};
    Vector4 m_r2{0.0f, 0.0f, 0.0f, 0.0f};
    float m_restLength = 0.0f;
    float m_accumulatedImpulse = 0.0f;
    float m_bias = 0.0f;
    float m_effectiveMass = 0.0f;
    bool m_snapable = false;
    float Hardness = 1.0f;
    Vector4 m_axis{0.0f, 0.0f, 0.0f, 0.0f};
    PhysicsObject* m_phy1 = nullptr;
    PhysicsObject* m_phy2 = nullptr;
    std::list<DistanceJoint*>::iterator m_link1;
    std::list<DistanceJoint*>::iterator m_link2;
};

} // namespace Quarn
