#include "Physics/DistanceJoint.h"

#include "Resources/SerializerTypes.h"

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
    m_anchor1 = m_anchor2 = m_axis = Vector4(0.0f, 0.0f, 0.0f, 0.0f);
    m_restLength = m_accumulatedImpulse = m_bias = 0.0f;
    m_phy1 = m_phy2 = nullptr;
    Hardness = 1.0f;
    SerializeNamed(serializer, Hardness, "Hardness");
    return true;
}

} // namespace Quarn
