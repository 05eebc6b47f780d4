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

    // "Hardness"; reading first makes the joint unattached with Hardness 1.
    bool Serialize(Serializer& serializer) override;

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
