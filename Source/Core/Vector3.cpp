#include "Core/Vector3.h"

#include "Resources/SerializerTypes.h"

namespace Quarn
{

Vector3 Vector3::Cross(const Vector3& a, const Vector3& b)
{
    return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}

void Vector3::Serialize(Serializer& s)
{
    SerializeNamed(s, x, "X");
    SerializeNamed(s, y, "Y");
    SerializeNamed(s, z, "Z");
}

const Vector3& Vector3::Zero()
{
    static const Vector3 zero(0.0f, 0.0f, 0.0f);
    return zero;
}

const Vector3& Vector3::One()
{
    static const Vector3 one(1.0f, 1.0f, 1.0f);
    return one;
}

const Vector3& Vector3::UnitZ()
{
    static const Vector3 unitZ(0.0f, 0.0f, 1.0f);
    return unitZ;
}

} // namespace Quarn
